<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>FHAlignDialog</name>
    <message>
        <location filename="../ui/FHAlignDialog.cpp" line="+128"/>
        <source>Align a camera&apos;s clock</source>
        <translation>Régler l&apos;horloge d&apos;un appareil</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reference: %1</source>
        <translation>Référence : %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Clock to set: %1</source>
        <translation>Horloge à régler : %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Camera time: %1</source>
        <translation>Heure de l&apos;appareil : %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With its offset %1: %2</source>
        <translation>Avec son décalage %1 : %2</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>No picture to show</source>
        <translation>Aucune image à montrer</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>If both photos show the same moment, the clock of %1 gets the offset %2: each of its capture times moves from the camera&apos;s time to the reference&apos;s.</source>
        <translation>Si les deux photos montrent le même instant, l&apos;horloge de %1 reçoit le décalage %2 : chacune de ses heures de prise de vue passe de l&apos;heure de l&apos;appareil à celle de la référence.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Swap</source>
        <translation>&amp;Inverser</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Take the offset</source>
        <translation>&amp;Prendre ce décalage</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>FHCameraModel</name>
    <message>
        <location filename="../ui/FHCameraModel.cpp" line="+112"/>
        <source>Added to every capture time of this camera: +01:00 for a clock an hour behind, -2.03:30 for two days and three and a half hours ahead</source>
        <translation>Ajouté à chaque heure de prise de vue de cet appareil : +01:00 pour une horloge en retard d&apos;une heure, -2.03:30 pour une horloge en avance de deux jours et trois heures et demie</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>GPS says %1</source>
        <translation>Le GPS indique %1</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Camera</source>
        <translation>Appareil</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>First shot</source>
        <translation>Première prise</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Last shot</source>
        <translation>Dernière prise</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Clock offset</source>
        <translation>Décalage de l&apos;horloge</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>GPS check</source>
        <translation>Contrôle GPS</translation>
    </message>
</context>
<context>
    <name>FHCheckVersion</name>
    <message>
        <location filename="../shell/FHCheckVersion.cpp" line="+131"/>
        <source>The version server&apos;s reply is longer than %1 bytes.</source>
        <translation>La réponse du serveur de versions dépasse %1&#xa0;octets.</translation>
    </message>
</context>
<context>
    <name>FHFileTypesDialog</name>
    <message>
        <location filename="../ui/FHFileTypesDialog.cpp" line="+75"/>
        <source>&amp;Photos</source>
        <translation>&amp;Photos</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;HEIF and AVIF images</source>
        <translation>Images &amp;HEIF et AVIF</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;RAW files of cameras</source>
        <translation>Fichiers &amp;RAW des appareils photo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;WebP and TIFF images</source>
        <translation>Images &amp;WebP et TIFF</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Videos</source>
        <translation>&amp;Vidéos</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>File types</source>
        <translation>Types de fichiers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A sort moves the files of the kinds checked here. Files of the other kinds stay in the input directory.</source>
        <translation>Un tri déplace les fichiers des types cochés ici. Les fichiers des autres types restent dans le dossier source.</translation>
    </message>
</context>
<context>
    <name>FHFirstStartQuestion</name>
    <message>
        <location filename="../ui/FHFirstStartQuestion.cpp" line="+39"/>
        <source>Sort the photos</source>
        <translation>Trier les photos</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Photos to be moved and renamed: %1</source>
        <translation>Photos à déplacer et renommer : %1</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>%n file(s) would stay in the input; the preview says why.</source>
        <translation>
            <numerusform>%n fichier resterait dans le dossier source ; l’aperçu dit pourquoi.</numerusform>
            <numerusform>%n fichiers resteraient dans le dossier source ; l’aperçu dit pourquoi.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>They move from the input folder into the output folder and are renamed in the order they were taken. The preview lists every file&apos;s new folder and name before anything moves.</source>
        <translation>Elles passent du dossier d&apos;entrée au dossier de sortie et sont renommées dans l&apos;ordre de prise de vue. L&apos;aperçu indique le nouveau dossier et le nouveau nom de chaque fichier avant tout déplacement.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sort</source>
        <translation>Trier</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Don&apos;t ask again</source>
        <translation>Ne plus demander</translation>
    </message>
</context>
<context>
    <name>FHFolderRows</name>
    <message>
        <location filename="../ui/FHFolderRows.cpp" line="+92"/>
        <source>&amp;Input Directory</source>
        <translation>Dossier &amp;source</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Output Directory</source>
        <translation>Dossier de &amp;destination</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Other folder...</source>
        <translation>Autre dossier...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Browse</source>
        <translation>Choisir un dossier</translation>
    </message>
</context>
<context>
    <name>FHInfoBoxes</name>
    <message>
        <location filename="../ui/FHInfoBoxes.cpp" line="+31"/>
        <source>Press %1 to see the reports of this session.</source>
        <translation>Appuyez sur %1 pour afficher les messages de cette session.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>version</source>
        <translation>version</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Website</source>
        <translation>Site web</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Technical Support</source>
        <translation>Assistance technique</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>For more information please visit:</source>
        <translation>Pour en savoir plus&#xa0;:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&lt;a href=&quot;%1&quot;&gt;%1&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;%1&quot;&gt;%1&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>FHMainWindow</name>
    <message>
        <location filename="../ui/FHMainWindow.cpp" line="+308"/>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Language</source>
        <translation>&amp;Langue</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Exit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;User manual</source>
        <translation>&amp;Manuel d’utilisation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;About</source>
        <translation>À &amp;propos de Quilm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Output</source>
        <translation>Sortie</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;html&gt;&lt;body&gt;&lt;p&gt;Quilm searches for image files in &lt;b&gt;Input Directory&lt;/b&gt; and move them into &lt;b&gt;Output Directory&lt;/b&gt;. Inside their destination image files will be sorted by their precise time and renamed in ascending order, i.e. &lt;i&gt;001.png, 002.png, 003.png&lt;/i&gt;. Options are: 1. Move images further into sub-folders of &lt;b&gt;Output Directory&lt;/b&gt;. The sub-folders imply the creation date of those image files, in the format of &lt;i&gt;YYYY-MM&lt;/i&gt; or &lt;i&gt;YYYY-MM-DD&lt;/i&gt;; 2. Customize output file name, i.e. &lt;i&gt;Paris 2014-12-31 001.jpg.&lt;/i&gt; &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p&gt;Quilm recherche les images du &lt;b&gt;dossier source&lt;/b&gt; et les déplace dans le &lt;b&gt;dossier de destination&lt;/b&gt;. Elles y sont triées selon leur date de prise de vue exacte et renommées dans l’ordre, par ex. &lt;i&gt;001.png, 002.png, 003.png&lt;/i&gt;. Options&#xa0;: 1. ranger en outre les images dans des sous-dossiers du &lt;b&gt;dossier de destination&lt;/b&gt;, nommés d’après leur date au format &lt;i&gt;AAAA-MM&lt;/i&gt; ou &lt;i&gt;AAAA-MM-JJ&lt;/i&gt;&#xa0;; 2. personnaliser le nom des fichiers, par ex. &lt;i&gt;Paris 2014-12-31 001.jpg&lt;/i&gt;.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="-57"/>
        <source>A sort is in progress. Stop it and quit? The files moved so far still get their final names; the others stay in the input directory.</source>
        <translation>Un tri est en cours. L’arrêter et quitter&#xa0;? Les fichiers déjà déplacés reçoivent encore leur nom définitif&#xa0;; les autres restent dans le dossier source.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>File &amp;types...</source>
        <translation>&amp;Types de fichiers...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Undo last sort...</source>
        <translation>&amp;Annuler le dernier tri...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Progress</source>
        <translation>Progression</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pre&amp;view</source>
        <translation>Pré&amp;visualiser</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+184"/>
        <source>START</source>
        <translation>LANCER</translation>
    </message>
    <message>
        <location line="-184"/>
        <location line="+184"/>
        <source>STOP</source>
        <translation>ARRÊTER</translation>
    </message>
    <message>
        <location line="-179"/>
        <source>Found new version</source>
        <translation>Nouvelle version</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>. Click to download.</source>
        <translation> disponible. Cliquez pour la télécharger.</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Looking for the cameras whose clocks you set right…</source>
        <translation>Recherche des appareils dont vous avez réglé l&apos;horloge…</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Counting the files the sort would move…</source>
        <translation>Décompte des fichiers que le tri déplacerait…</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Stopping… the files moved so far get their final names.</source>
        <translation>Arrêt en cours… les fichiers déjà déplacés reçoivent leur nom définitif.</translation>
    </message>
</context>
<context>
    <name>FHNaming</name>
    <message>
        <location filename="../ui/FHRuleDialog.cpp" line="+19"/>
        <source>it holds &quot;/&quot;, which would send the photos into other folders</source>
        <translation>il contient «&#xa0;/&#xa0;», ce qui enverrait les photos dans d’autres dossiers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it holds a NUL character</source>
        <translation>il contient un caractère NUL</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the names would be longer than 255 bytes</source>
        <translation>les noms dépasseraient 255&#xa0;octets</translation>
    </message>
</context>
<context>
    <name>FHOptionGroup</name>
    <message>
        <location filename="../ui/FHOptionGroup.cpp" line="+171"/>
        <source>Option</source>
        <translation>Options</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Process images from digital &amp;cameras and smart phones only, i.e. &apos;Canon&apos;, &apos;Nikon&apos;, &apos;iPhone&apos;, &apos;SamSung&apos;, etc.</source>
        <translation>Ne traiter que les &amp;photos d’appareils photo et de smartphones, par ex. Canon, Nikon, iPhone, Samsung, etc.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Process &amp;all kinds of images , i.e. including hand-drawn pictures and screenshots.</source>
        <translation>&amp;Traiter toutes les images, y compris les dessins et les captures d’écran.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Recursively enter sub-folders when reading images from Input Directory</source>
        <translation>Parcourir aussi les sous-dossiers du dossier source</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Yes</source>
        <translation>&amp;Oui</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>&amp;Non</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do not c&amp;ustomize output file names so they will default to ascending integers, i.e. 001.jpg, 002.jpg, 003.jpg, etc.</source>
        <translation>N&amp;e pas personnaliser les noms de fichiers et les numéroter dans l’ordre, par ex. 001.jpg, 002.jpg, 003.jpg, etc.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Set output file &amp;pattern to:</source>
        <translation>Nommer selon le &amp;modèle&#xa0;:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Rules</source>
        <translation>&amp;Règles</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Operations on sub-folders of output directory:</source>
        <translation>Sous-dossiers à créer&#xa0;:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do no&amp;t create sub-folders</source>
        <translation>Ne pas &amp;créer de sous-dossiers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Create and name by &amp;month (format=YYYY-MM)</source>
        <translation>Un dossier par mo&amp;is (AAAA-MM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Create and name by &amp;day (format=YYYY-MM-DD)</source>
        <translation>Un dossier par &amp;jour (AAAA-MM-JJ)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Keep the originals (copy)</source>
        <translation>&amp;Garder les originaux (copie)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Skip files already in the library</source>
        <translation>Ignorer les fichiers déjà dans la &amp;bibliothèque</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A file whose bytes the output folder holds already, or held and lost since, stays where it is</source>
        <translation>Un fichier dont le dossier de destination contient déjà le contenu, ou l’a contenu puis perdu, reste où il est</translation>
    </message>
</context>
<context>
    <name>FHPlanModel</name>
    <message>
        <location filename="../ui/FHPlanModel.cpp" line="+191"/>
        <source>Camera (EXIF)</source>
        <translation>Appareil (EXIF)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Video container</source>
        <translation>Conteneur vidéo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File name</source>
        <translation>Nom de fichier</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File date</source>
        <translation>Date du fichier</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>%1
Moves with %2 as one shot</source>
        <translation>%1
Se déplace avec %2 comme une seule prise</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The camera&apos;s clock said %1; its offset %2 is added</source>
        <translation>L&apos;horloge de l&apos;appareil indiquait %1 ; son décalage %2 est ajouté</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Original name</source>
        <translation>Nom d&apos;origine</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>New folder</source>
        <translation>Nouveau dossier</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>New name</source>
        <translation>Nouveau nom</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Taken</source>
        <translation>Prise le</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Date from</source>
        <translation>Date issue de</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Camera</source>
        <translation>Appareil</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Picture</source>
        <translation>Image</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stays because</source>
        <translation>Reste car</translation>
    </message>
</context>
<context>
    <name>FHPreviewDialog</name>
    <message>
        <location filename="../ui/FHPreviewDialog.cpp" line="+69"/>
        <source>Photos</source>
        <translation>Photos</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>HEIF images</source>
        <translation>Images HEIF</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>RAW images</source>
        <translation>Images RAW</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>WebP and TIFF images</source>
        <translation>Images WebP et TIFF</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Videos</source>
        <translation>Vidéos</translation>
    </message>
    <message>
        <location line="+281"/>
        <source>Listing the files…</source>
        <translation>Relevé des fichiers…</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Reading capture dates: %1 of %2</source>
        <translation>Lecture des dates de prise de vue : %1 sur %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choosing the new names: %1 of %2</source>
        <translation>Choix des nouveaux noms : %1 sur %2</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>The offset %1 would move shots of %2 before 1970 or past next year. It was not taken.</source>
        <translation>Le décalage %1 placerait des prises de %2 avant 1970 ou après l&apos;an prochain. Il n&apos;a pas été pris.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Preview of the sort</source>
        <translation>Aperçu du tri</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Working out where each file would go. Nothing is moved until you choose Sort now.</source>
        <translation>Calcul de la destination de chaque fichier. Rien n&apos;est déplacé avant que vous choisissiez « Trier maintenant ».</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>From:</source>
        <translation>De :</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Into:</source>
        <translation>Vers :</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Filter:</source>
        <translation>&amp;Filtre :</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Name, folder, date or reason</source>
        <translation>Nom, dossier, date ou raison</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Target folder</source>
        <translation>Dossier cible</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fi&amp;les</source>
        <translation>Fic&amp;hiers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>C&amp;ameras (%1)</source>
        <translation>&amp;Appareils (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double-click an offset to set a camera&apos;s clock right.</source>
        <translation>Double-cliquez sur un décalage pour régler l&apos;horloge d&apos;un appareil.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>To set a clock from a photo of the same moment, select one file of each camera under Files and choose Align clocks.</source>
        <translation>Pour régler une horloge d&apos;après une photo du même instant, choisissez sous Fichiers un fichier de chaque appareil, puis Aligner les horloges.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Take the &amp;GPS offset</source>
        <translation>Prendre le décalage &amp;GPS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Align &amp;clocks…</source>
        <translation>A&amp;ligner les horloges…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select one file of each of two cameras under Files.</source>
        <translation>Choisissez sous Fichiers un fichier de chacun de deux appareils.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notes (%1)…</source>
        <translation>Notes (%1)…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sort now</source>
        <translation>Trier maintenant</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No file would move.</source>
        <translation>Aucun fichier ne serait déplacé.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Files to move: %1 · Target folders: %2</source>
        <translation>Fichiers à déplacer : %1 · Dossiers cibles : %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+10"/>
        <location line="+37"/>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <location line="-44"/>
        <source>Files that stay where they are: %1 (%2)</source>
        <translation>Fichiers qui restent en place : %1 (%2)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Files of kinds not chosen, not sorted: %1 (%2)</source>
        <translation>Fichiers de types non choisis, non triés : %1 (%2)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Temporary names left by an earlier run, named as well: %1</source>
        <translation>Noms provisoires laissés par un tri précédent, renommés aussi : %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Shown: %1 of %2</source>
        <translation>Affichés : %1 sur %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The input folder changed after this preview was made.</source>
        <translation>Le dossier d&apos;entrée a changé depuis cet aperçu.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The target folders changed after this preview was made.</source>
        <translation>Les dossiers de destination ont changé depuis cet aperçu.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The input and target folders changed after this preview was made.</source>
        <translation>Le dossier d&apos;entrée et les dossiers de destination ont changé depuis cet aperçu.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Files added</source>
        <translation>Fichiers ajoutés</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files removed</source>
        <translation>Fichiers retirés</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files changed</source>
        <translation>Fichiers modifiés</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files added to the target folders</source>
        <translation>Fichiers ajoutés aux dossiers de destination</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files removed from the target folders</source>
        <translation>Fichiers retirés des dossiers de destination</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files changed in the target folders</source>
        <translation>Fichiers modifiés dans les dossiers de destination</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A sort now works on the folder as it is now, so its result differs from this preview.</source>
        <translation>Un tri maintenant porte sur le dossier tel qu&apos;il est ; son résultat diffère de cet aperçu.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Sort anyway</source>
        <translation>Trier quand même</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Preview again</source>
        <translation>Nouvel aperçu</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Notes made while planning the sort: %1</source>
        <translation>Notes relevées en préparant le tri : %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The same notes are written to the log when the files are sorted.</source>
        <translation>Les mêmes notes sont écrites dans le journal lors du tri.</translation>
    </message>
</context>
<context>
    <name>FHRuleDialog</name>
    <message>
        <location filename="../ui/FHRuleDialog.cpp" line="+58"/>
        <source>You could add any text to the customized file name, i.e. &apos;Paris&apos; as the place. But following keywords will be replaced with real value, i.e. ${YYYY} will be replaced with 2014, if the image is taken in the year of 2014. The table below demonstrates the rules with an example taken at 23:34:45 on the 31st of December 2014.</source>
        <translation>Le nom de fichier peut contenir n’importe quel texte, par exemple «&#xa0;Paris&#xa0;» pour le lieu. Les mots-clés suivants sont toutefois remplacés par une valeur réelle&#xa0;: ${YYYY} devient 2014 si la photo a été prise en 2014. Le tableau ci-dessous illustre ces règles avec une photo prise le 31 décembre 2014 à 23:34:45.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Keywords</source>
        <translation>Mot-clé</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>${NUM}</source>
        <translation>${NUM}</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>${YYYY}</source>
        <translation>${YYYY}</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>${mm}</source>
        <translation>${mm}</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>${DD}</source>
        <translation>${DD}</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>${HH}</source>
        <translation>${HH}</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>${MM}</source>
        <translation>${MM}</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>${SS}</source>
        <translation>${SS}</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Meaning</source>
        <translation>Sens</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Number</source>
        <translation>Numéro</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Year</source>
        <translation>Année</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Month</source>
        <translation>Mois</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Day</source>
        <translation>Jour</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hour</source>
        <translation>Heure</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Minute</source>
        <translation>Minute</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Second</source>
        <translation>Seconde</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Digits</source>
        <translation>Chiffres</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Example</source>
        <translation>Exemple</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>NOTE:</source>
        <translation>Remarque&#xa0;:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>is mandatory</source>
        <translation>est obligatoire</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Please update example field below and result will be shown in the result field.</source>
        <translation>Modifiez l’exemple ci-dessous&#xa0;: le résultat s’affiche aussitôt dans le champ Résultat.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Example:</source>
        <translation>Exemple&#xa0;:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Result:</source>
        <translation>Résultat&#xa0;:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Paris ${YYYY}-${mm}-${DD} ${NUM}</source>
        <translation>Paris ${YYYY}-${mm}-${DD} ${NUM}</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>is missing.</source>
        <translation>est manquant.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not usable: %1.</source>
        <translation>Inutilisable&#xa0;: %1.</translation>
    </message>
</context>
<context>
    <name>FHRunSummary</name>
    <message numerus="yes">
        <location filename="../ui/FHRunSummary.cpp" line="+86"/>
        <source>%n file(s) not reached: the sort ended with an error before them. They are still in the input.</source>
        <translation>
            <numerusform>%n fichier non atteint&#xa0;: le tri s’est terminé sur une erreur avant lui. Il est encore dans le dossier source.</numerusform>
            <numerusform>%n fichiers non atteints&#xa0;: le tri s’est terminé sur une erreur avant eux. Ils sont encore dans le dossier source.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n file(s) not reached: the sort was stopped before them. They are still in the input.</source>
        <translation>
            <numerusform>%n fichier non atteint&#xa0;: le tri a été arrêté avant lui. Il est encore dans le dossier source.</numerusform>
            <numerusform>%n fichiers non atteints&#xa0;: le tri a été arrêté avant eux. Ils sont encore dans le dossier source.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+9"/>
        <source>%n file(s) moved wait in the output under temporary names: the next START gives them their final names, or %1 moves them back.</source>
        <translation>
            <numerusform>%n fichier déplacé attend dans le dossier de destination sous un nom provisoire&#xa0;: un nouveau clic sur LANCER lui donne son nom définitif, ou %1 le remet à sa place.</numerusform>
            <numerusform>%n fichiers déplacés attendent dans le dossier de destination sous des noms provisoires&#xa0;: un nouveau clic sur LANCER leur donne leur nom définitif, ou %1 les remet à leur place.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Left in the input: &apos;%1&apos; (%2)</source>
        <translation>Resté dans le dossier source&#xa0;: «&#xa0;%1&#xa0;» (%2)</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The sort was stopped.</source>
        <translation>Le tri a été arrêté.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The sort ended with an error; the Output panel says which.</source>
        <translation>Le tri s’est terminé sur une erreur&#xa0;; le panneau de sortie dit laquelle.</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) moved.</source>
        <translation>
            <numerusform>%n fichier déplacé.</numerusform>
            <numerusform>%n fichiers déplacés.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n file(s) still in the input.</source>
        <translation>
            <numerusform>%n fichier est encore dans le dossier source.</numerusform>
            <numerusform>%n fichiers sont encore dans le dossier source.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n file(s) stayed in the input.</source>
        <translation>
            <numerusform>%n fichier est resté dans le dossier source.</numerusform>
            <numerusform>%n fichiers sont restés dans le dossier source.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+14"/>
        <source>%n file(s) of kinds not chosen stayed in the input (%1). To sort them, choose their kinds under %2.</source>
        <translation>
            <numerusform>%n fichier d’un type non choisi est resté dans le dossier source (%1). Pour le trier, choisissez son type dans %2.</numerusform>
            <numerusform>%n fichiers de types non choisis sont restés dans le dossier source (%1). Pour les trier, choisissez leurs types dans %2.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The sort failed before moving any file.</source>
        <translation>Le tri a échoué avant de déplacer le moindre fichier.</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>Stopped: %n file(s) moved.</source>
        <translation>
            <numerusform>Arrêté&#xa0;: %n fichier déplacé.</numerusform>
            <numerusform>Arrêté&#xa0;: %n fichiers déplacés.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>Failed: %n file(s) moved.</source>
        <translation>
            <numerusform>Échec&#xa0;: %n fichier déplacé.</numerusform>
            <numerusform>Échec&#xa0;: %n fichiers déplacés.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) sorted in %1 s.</source>
        <translation>
            <numerusform>%n fichier trié en %1&#xa0;s.</numerusform>
            <numerusform>%n fichiers triés en %1&#xa0;s.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n left in the input.</source>
        <translation>
            <numerusform>%n resté dans la source.</numerusform>
            <numerusform>%n restés dans la source.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n under temporary names until the next START or Undo.</source>
        <translation>
            <numerusform>%n sous un nom provisoire jusqu’au prochain LANCER ou à l’annulation.</numerusform>
            <numerusform>%n sous des noms provisoires jusqu’au prochain LANCER ou à l’annulation.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n of other kinds: %1</source>
        <translation>
            <numerusform>%n d’un autre type&#xa0;: %1</numerusform>
            <numerusform>%n d’autres types&#xa0;: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FHSkipReason</name>
    <message>
        <location filename="../engine/FHSkipReason.cpp" line="+22"/>
        <source>No capture date</source>
        <translation>Pas de date de prise de vue</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no capture date</source>
        <translation>pas de date de prise de vue</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No camera maker</source>
        <translation>Pas de fabricant d’appareil</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no camera maker</source>
        <translation>pas de fabricant d’appareil</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unreadable</source>
        <translation>Illisible</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>unreadable</source>
        <translation>illisible</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changed since it was listed</source>
        <translation>Modifié depuis le relevé</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>changed since the listing</source>
        <translation>modifié depuis l’inventaire</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Name not valid in the file-name encoding</source>
        <translation>Nom non valide dans le codage des noms de fichiers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>name not valid</source>
        <translation>nom non valide</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not reached, the run was stopped</source>
        <translation>Non atteint, le tri a été arrêté</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Name differs from another only in letter case</source>
        <translation>Nom qui ne diffère d’un autre que par la casse</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>name differs from another only in letter case</source>
        <translation>nom qui ne diffère d’un autre que par la casse</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Belongs to a file of a kind not chosen</source>
        <translation>Appartient à un fichier d’un type non choisi</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>belongs to a file of a kind not chosen</source>
        <translation>appartient à un fichier d’un type non choisi</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Already in the library</source>
        <translation>Déjà dans la bibliothèque</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>already in the library</source>
        <translation>déjà dans la bibliothèque</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Imported before, since deleted</source>
        <translation>Déjà importé, supprimé depuis</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>imported before and deleted since</source>
        <translation>déjà importé et supprimé depuis</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its copy read back wrong</source>
        <translation>Sa copie relue diffère</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>its copy read back wrong</source>
        <translation>sa copie relue diffère</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No longer where the sort put it</source>
        <translation>N&apos;est plus là où le tri l&apos;a mis</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its original path is taken</source>
        <translation>Son chemin d&apos;origine est pris</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Another file of its shot stays</source>
        <translation>Un autre fichier de sa prise de vue reste</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its original is no longer in the input</source>
        <translation>Son original n&apos;est plus dans l&apos;entrée</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Already in the library: %1</source>
        <translation>Déjà dans la bibliothèque : %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Imported on %1, since deleted</source>
        <translation>Importé le %1, supprimé depuis</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>already in the library as %1</source>
        <translation>déjà dans la bibliothèque sous %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>imported on %1 and deleted since</source>
        <translation>importé le %1 et supprimé depuis</translation>
    </message>
</context>
<context>
    <name>FHUndoDialog</name>
    <message>
        <location filename="../ui/FHUndoDialog.cpp" line="+71"/>
        <location line="+32"/>
        <source>Undo the last sort</source>
        <translation>Annuler le dernier tri</translation>
    </message>
    <message>
        <location line="-31"/>
        <source>There is no sort to undo.</source>
        <translation>Il n&apos;y a aucun tri à annuler.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Every sort on record has been undone, or none has moved a file yet.</source>
        <translation>Chaque tri enregistré a été annulé, ou aucun n&apos;a encore déplacé de fichier.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Undo</source>
        <translation>Annuler le tri</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>&lt;p&gt;&lt;b&gt;Move the files of this sort back?&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Each file goes back where it was, under its old name. A file that changed since, or whose old place is taken, stays where it is.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Remettre en place les fichiers de ce tri ?&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Chaque fichier retourne là où il était, sous son ancien nom. Un fichier modifié depuis, ou dont l&apos;ancienne place est prise, reste où il est.&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Sorted:</source>
        <translation>Trié le :</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>From:</source>
        <translation>De :</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Into:</source>
        <translation>Vers :</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files:</source>
        <translation>Fichiers :</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stopped before the end; the files it moved go back.</source>
        <translation>Arrêté avant la fin ; les fichiers déplacés reviennent.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ended by a failure; the files it moved go back.</source>
        <translation>Interrompu par une erreur ; les fichiers déplacés reviennent.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cut short; the files it moved go back.</source>
        <translation>Interrompu ; les fichiers déplacés reviennent.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>State:</source>
        <translation>État :</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Moving the files back…</source>
        <translation>Remise en place des fichiers…</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Why it stays</source>
        <translation>Pourquoi il reste</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>Its old place %1 is taken</source>
        <translation>Son ancienne place %1 est prise</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not found where the sort put it (it came from %1)</source>
        <translation>Introuvable là où le tri l&apos;a mis (il venait de %1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changed after the sort (it came from %1)</source>
        <translation>Modifié après le tri (il venait de %1)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stays with its shot, as %1 stays (it came from %2)</source>
        <translation>Reste avec sa prise de vue, car %1 reste (il venait de %2)</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>The undo ended early; the output panel says why. Undoing again finishes it.</source>
        <translation>L&apos;annulation s&apos;est arrêtée tôt ; le panneau de sortie dit pourquoi. L&apos;annuler de nouveau la termine.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files moved back: %1</source>
        <translation>Fichiers remis en place : %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files that stay where they are: %1</source>
        <translation>Fichiers qui restent en place : %1</translation>
    </message>
</context>
<context>
    <name>QMessageBox</name>
    <message>
        <location filename="../ui/FHMainWindow.cpp" line="-432"/>
        <source>Show Details...</source>
        <translation>Afficher les détails...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hide Details...</source>
        <translation>Masquer les détails...</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <location line="-6"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Yes</source>
        <translation>&amp;Oui</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>&amp;Non</translation>
    </message>
</context>
</TS>
