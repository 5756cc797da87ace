<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>FHAlignDialog</name>
    <message>
        <location filename="../ui/FHAlignDialog.cpp" line="+128"/>
        <source>Align a camera&apos;s clock</source>
        <translation>Uhr einer Kamera abgleichen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reference: %1</source>
        <translation>Bezug: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Clock to set: %1</source>
        <translation>Zu stellende Uhr: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Camera time: %1</source>
        <translation>Zeit der Kamera: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With its offset %1: %2</source>
        <translation>Mit ihrem Versatz %1: %2</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>No picture to show</source>
        <translation>Kein Bild zum Anzeigen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>If both photos show the same moment, the clock of %1 gets the offset %2: each of its capture times moves from the camera&apos;s time to the reference&apos;s.</source>
        <translation>Wenn beide Fotos denselben Augenblick zeigen, erhält die Uhr von %1 den Versatz %2: Jede ihrer Aufnahmezeiten rückt von der Zeit der Kamera auf die des Bezugs.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Swap</source>
        <translation>&amp;Tauschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Take the offset</source>
        <translation>Versatz &amp;übernehmen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>FHCameraModel</name>
    <message>
        <location filename="../ui/FHCameraModel.cpp" line="+112"/>
        <source>Added to every capture time of this camera: +01:00 for a clock an hour behind, -2.03:30 for two days and three and a half hours ahead</source>
        <translation>Wird zu jeder Aufnahmezeit dieser Kamera addiert: +01:00 für eine Uhr, die eine Stunde nachgeht, -2.03:30 für eine, die zwei Tage und dreieinhalb Stunden vorgeht</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>GPS says %1</source>
        <translation>GPS meint %1</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Camera</source>
        <translation>Kamera</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>First shot</source>
        <translation>Erste Aufnahme</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Last shot</source>
        <translation>Letzte Aufnahme</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Clock offset</source>
        <translation>Uhrversatz</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>GPS check</source>
        <translation>GPS-Abgleich</translation>
    </message>
</context>
<context>
    <name>FHCheckVersion</name>
    <message>
        <location filename="../shell/FHCheckVersion.cpp" line="+131"/>
        <source>The version server&apos;s reply is longer than %1 bytes.</source>
        <translation>Die Antwort des Versionsservers ist länger als %1 Byte.</translation>
    </message>
</context>
<context>
    <name>FHFileTypesDialog</name>
    <message>
        <location filename="../ui/FHFileTypesDialog.cpp" line="+75"/>
        <source>&amp;Photos</source>
        <translation>&amp;Fotos</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;HEIF and AVIF images</source>
        <translation>&amp;HEIF- und AVIF-Bilder</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;RAW files of cameras</source>
        <translation>&amp;RAW-Dateien von Kameras</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;WebP and TIFF images</source>
        <translation>&amp;WebP- und TIFF-Bilder</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Videos</source>
        <translation>&amp;Videos</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>File types</source>
        <translation>Dateitypen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A sort moves the files of the kinds checked here. Files of the other kinds stay in the input directory.</source>
        <translation>Eine Sortierung verschiebt die Dateien der hier angekreuzten Arten. Dateien anderer Arten bleiben im Eingabeordner.</translation>
    </message>
</context>
<context>
    <name>FHFirstStartQuestion</name>
    <message>
        <location filename="../ui/FHFirstStartQuestion.cpp" line="+39"/>
        <source>Sort the photos</source>
        <translation>Fotos sortieren</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Photos to be moved and renamed: %1</source>
        <translation>Zu verschiebende und umzubenennende Fotos: %1</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>%n file(s) would stay in the input; the preview says why.</source>
        <translation>
            <numerusform>%n Datei bliebe im Eingabeordner; die Vorschau sagt, warum.</numerusform>
            <numerusform>%n Dateien blieben im Eingabeordner; die Vorschau sagt, warum.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>They move from the input folder into the output folder and are renamed in the order they were taken. The preview lists every file&apos;s new folder and name before anything moves.</source>
        <translation>Sie werden aus dem Eingabeordner in den Ausgabeordner verschoben und in der Reihenfolge der Aufnahme umbenannt. Die Vorschau zeigt für jede Datei den neuen Ordner und Namen, bevor etwas verschoben wird.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Don&apos;t ask again</source>
        <translation>Nicht mehr fragen</translation>
    </message>
</context>
<context>
    <name>FHFolderRows</name>
    <message>
        <location filename="../ui/FHFolderRows.cpp" line="+92"/>
        <source>&amp;Input Directory</source>
        <translation>&amp;Eingabeordner</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Output Directory</source>
        <translation>&amp;Ausgabeordner</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Other folder...</source>
        <translation>Anderer Ordner...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Browse</source>
        <translation>Ordner wählen</translation>
    </message>
</context>
<context>
    <name>FHInfoBoxes</name>
    <message>
        <location filename="../ui/FHInfoBoxes.cpp" line="+31"/>
        <source>Press %1 to see the reports of this session.</source>
        <translation>Mit %1 zeigen Sie die Meldungen dieser Sitzung an.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Website</source>
        <translation>Website</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Technical Support</source>
        <translation>Technischer Support</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>For more information please visit:</source>
        <translation>Weitere Informationen finden Sie unter:</translation>
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
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Language</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;User manual</source>
        <translation>&amp;Handbuch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;About</source>
        <translation>Ü&amp;ber Quilm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Output</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;html&gt;&lt;body&gt;&lt;p&gt;Quilm searches for image files in &lt;b&gt;Input Directory&lt;/b&gt; and move them into &lt;b&gt;Output Directory&lt;/b&gt;. Inside their destination image files will be sorted by their precise time and renamed in ascending order, i.e. &lt;i&gt;001.png, 002.png, 003.png&lt;/i&gt;. Options are: 1. Move images further into sub-folders of &lt;b&gt;Output Directory&lt;/b&gt;. The sub-folders imply the creation date of those image files, in the format of &lt;i&gt;YYYY-MM&lt;/i&gt; or &lt;i&gt;YYYY-MM-DD&lt;/i&gt;; 2. Customize output file name, i.e. &lt;i&gt;Paris 2014-12-31 001.jpg.&lt;/i&gt; &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p&gt;Quilm sucht Bilddateien im &lt;b&gt;Eingabeordner&lt;/b&gt; und verschiebt sie in den &lt;b&gt;Ausgabeordner&lt;/b&gt;. Dort werden sie nach dem genauen Aufnahmezeitpunkt sortiert und fortlaufend umbenannt, z.&#xa0;B. &lt;i&gt;001.png, 002.png, 003.png&lt;/i&gt;. Optionen: 1. Bilder zusätzlich in Unterordner des &lt;b&gt;Ausgabeordners&lt;/b&gt; einsortieren, benannt nach dem Aufnahmedatum im Format &lt;i&gt;JJJJ-MM&lt;/i&gt; oder &lt;i&gt;JJJJ-MM-TT&lt;/i&gt;; 2. eigene Dateinamen, z.&#xa0;B. &lt;i&gt;Paris 2014-12-31 001.jpg&lt;/i&gt;.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="-57"/>
        <source>A sort is in progress. Stop it and quit? The files moved so far still get their final names; the others stay in the input directory.</source>
        <translation>Eine Sortierung läuft. Anhalten und beenden? Die bereits verschobenen Dateien erhalten noch ihre endgültigen Namen; die übrigen bleiben im Eingabeordner.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>File &amp;types...</source>
        <translation>Datei&amp;typen...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Undo last sort...</source>
        <translation>Letzte Sortierung &amp;rückgängig machen...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pre&amp;view</source>
        <translation>&amp;Vorschau</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+184"/>
        <source>START</source>
        <translation>START</translation>
    </message>
    <message>
        <location line="-184"/>
        <location line="+184"/>
        <source>STOP</source>
        <translation>STOPP</translation>
    </message>
    <message>
        <location line="-179"/>
        <source>Found new version</source>
        <translation>Neue Version</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>. Click to download.</source>
        <translation> verfügbar – zum Herunterladen klicken.</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Looking for the cameras whose clocks you set right…</source>
        <translation>Suche nach den Kameras, deren Uhren Sie gestellt haben…</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Counting the files the sort would move…</source>
        <translation>Die zu verschiebenden Dateien werden gezählt…</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Stopping… the files moved so far get their final names.</source>
        <translation>Wird angehalten… die bereits verschobenen Dateien erhalten ihre endgültigen Namen.</translation>
    </message>
</context>
<context>
    <name>FHNaming</name>
    <message>
        <location filename="../ui/FHRuleDialog.cpp" line="+19"/>
        <source>it holds &quot;/&quot;, which would send the photos into other folders</source>
        <translation>es enthält „/“, wodurch die Fotos in andere Ordner gelangen würden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it holds a NUL character</source>
        <translation>es enthält ein NUL-Zeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the names would be longer than 255 bytes</source>
        <translation>die Namen wären länger als 255 Byte</translation>
    </message>
</context>
<context>
    <name>FHOptionGroup</name>
    <message>
        <location filename="../ui/FHOptionGroup.cpp" line="+171"/>
        <source>Option</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Process images from digital &amp;cameras and smart phones only, i.e. &apos;Canon&apos;, &apos;Nikon&apos;, &apos;iPhone&apos;, &apos;SamSung&apos;, etc.</source>
        <translation>Nur Bilder von Digital&amp;kameras und Smartphones verarbeiten, z.&#xa0;B. von Canon, Nikon, iPhone oder Samsung.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Process &amp;all kinds of images , i.e. including hand-drawn pictures and screenshots.</source>
        <translation>A&amp;lle Bilder verarbeiten, auch Zeichnungen und Bildschirmfotos.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Recursively enter sub-folders when reading images from Input Directory</source>
        <translation>Auch Unterordner des Eingabeordners durchsuchen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do not c&amp;ustomize output file names so they will default to ascending integers, i.e. 001.jpg, 002.jpg, 003.jpg, etc.</source>
        <translation>Dateinamen nicht anpassen, sondern &amp;fortlaufend nummerieren, z.&#xa0;B. 001.jpg, 002.jpg, 003.jpg usw.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Set output file &amp;pattern to:</source>
        <translation>Eigenes Namens&amp;muster:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Rules</source>
        <translation>&amp;Regeln</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Operations on sub-folders of output directory:</source>
        <translation>Unterordner im Ausgabeordner:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do no&amp;t create sub-folders</source>
        <translation>Keine &amp;Unterordner anlegen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Create and name by &amp;month (format=YYYY-MM)</source>
        <translation>Ein Ordner pro M&amp;onat (JJJJ-MM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Create and name by &amp;day (format=YYYY-MM-DD)</source>
        <translation>Ein Ordner pro &amp;Tag (JJJJ-MM-TT)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Keep the originals (copy)</source>
        <translation>Originale behalten (ko&amp;pieren)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Skip files already in the library</source>
        <translation>Dateien überspringen, die schon in der Bibl&amp;iothek sind</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A file whose bytes the output folder holds already, or held and lost since, stays where it is</source>
        <translation>Eine Datei, deren Inhalt der Ausgabeordner schon enthält oder enthielt und seither verloren hat, bleibt, wo sie ist</translation>
    </message>
</context>
<context>
    <name>FHPlanModel</name>
    <message>
        <location filename="../ui/FHPlanModel.cpp" line="+191"/>
        <source>Camera (EXIF)</source>
        <translation>Kamera (EXIF)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Video container</source>
        <translation>Videocontainer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File date</source>
        <translation>Dateidatum</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>%1
Moves with %2 as one shot</source>
        <translation>%1
Wird mit %2 als eine Aufnahme verschoben</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The camera&apos;s clock said %1; its offset %2 is added</source>
        <translation>Die Uhr der Kamera zeigte %1; ihr Versatz %2 wird addiert</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Original name</source>
        <translation>Ursprünglicher Name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>New folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>New name</source>
        <translation>Neuer Name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Taken</source>
        <translation>Aufgenommen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Date from</source>
        <translation>Datum aus</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Camera</source>
        <translation>Kamera</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Picture</source>
        <translation>Bild</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stays because</source>
        <translation>Bleibt, weil</translation>
    </message>
</context>
<context>
    <name>FHPreviewDialog</name>
    <message>
        <location filename="../ui/FHPreviewDialog.cpp" line="+69"/>
        <source>Photos</source>
        <translation>Fotos</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>HEIF images</source>
        <translation>HEIF-Bilder</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>RAW images</source>
        <translation>RAW-Bilder</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>WebP and TIFF images</source>
        <translation>WebP- und TIFF-Bilder</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Videos</source>
        <translation>Videos</translation>
    </message>
    <message>
        <location line="+281"/>
        <source>Listing the files…</source>
        <translation>Dateien werden aufgelistet…</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Reading capture dates: %1 of %2</source>
        <translation>Aufnahmedaten werden gelesen: %1 von %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choosing the new names: %1 of %2</source>
        <translation>Neue Namen werden gewählt: %1 von %2</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>The offset %1 would move shots of %2 before 1970 or past next year. It was not taken.</source>
        <translation>Der Versatz %1 würde Aufnahmen von %2 vor 1970 oder hinter das nächste Jahr verschieben. Er wurde nicht übernommen.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Preview of the sort</source>
        <translation>Vorschau der Sortierung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Working out where each file would go. Nothing is moved until you choose Sort now.</source>
        <translation>Es wird ermittelt, wohin jede Datei käme. Nichts wird verschoben, bevor Sie „Jetzt sortieren“ wählen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Into:</source>
        <translation>Nach:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Filter:</source>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Name, folder, date or reason</source>
        <translation>Name, Ordner, Datum oder Grund</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Target folder</source>
        <translation>Zielordner</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fi&amp;les</source>
        <translation>&amp;Dateien</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>C&amp;ameras (%1)</source>
        <translation>&amp;Kameras (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double-click an offset to set a camera&apos;s clock right.</source>
        <translation>Doppelklicken Sie auf einen Versatz, um die Uhr einer Kamera zu stellen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>To set a clock from a photo of the same moment, select one file of each camera under Files and choose Align clocks.</source>
        <translation>Um eine Uhr nach einem Foto desselben Augenblicks zu stellen, wählen Sie unter Dateien je eine Datei beider Kameras und dann Uhren abgleichen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Take the &amp;GPS offset</source>
        <translation>&amp;GPS-Versatz übernehmen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Align &amp;clocks…</source>
        <translation>&amp;Uhren abgleichen…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select one file of each of two cameras under Files.</source>
        <translation>Wählen Sie unter Dateien je eine Datei von zwei Kameras.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notes (%1)…</source>
        <translation>Hinweise (%1)…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sort now</source>
        <translation>Jetzt sortieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No file would move.</source>
        <translation>Keine Datei würde verschoben.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Files to move: %1 · Target folders: %2</source>
        <translation>Zu verschiebende Dateien: %1 · Zielordner: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+10"/>
        <location line="+37"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="-44"/>
        <source>Files that stay where they are: %1 (%2)</source>
        <translation>Dateien, die bleiben, wo sie sind: %1 (%2)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Files of kinds not chosen, not sorted: %1 (%2)</source>
        <translation>Dateien nicht gewählter Arten, nicht sortiert: %1 (%2)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Temporary names left by an earlier run, named as well: %1</source>
        <translation>Von einer früheren Sortierung hinterlassene Zwischennamen, ebenfalls benannt: %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Shown: %1 of %2</source>
        <translation>Angezeigt: %1 von %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The input folder changed after this preview was made.</source>
        <translation>Der Eingabeordner hat sich seit dieser Vorschau geändert.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The target folders changed after this preview was made.</source>
        <translation>Die Zielordner haben sich seit dieser Vorschau geändert.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The input and target folders changed after this preview was made.</source>
        <translation>Der Eingabeordner und die Zielordner haben sich seit dieser Vorschau geändert.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Files added</source>
        <translation>Hinzugekommene Dateien</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files removed</source>
        <translation>Entfernte Dateien</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files changed</source>
        <translation>Geänderte Dateien</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files added to the target folders</source>
        <translation>In den Zielordnern hinzugekommene Dateien</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files removed from the target folders</source>
        <translation>Aus den Zielordnern entfernte Dateien</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files changed in the target folders</source>
        <translation>In den Zielordnern geänderte Dateien</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A sort now works on the folder as it is now, so its result differs from this preview.</source>
        <translation>Eine Sortierung jetzt arbeitet mit dem Ordner, wie er jetzt ist; ihr Ergebnis weicht von dieser Vorschau ab.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Sort anyway</source>
        <translation>Trotzdem sortieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Preview again</source>
        <translation>Erneut vorschauen</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Notes made while planning the sort: %1</source>
        <translation>Hinweise beim Planen der Sortierung: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The same notes are written to the log when the files are sorted.</source>
        <translation>Dieselben Hinweise kommen beim Sortieren ins Protokoll.</translation>
    </message>
</context>
<context>
    <name>FHRuleDialog</name>
    <message>
        <location filename="../ui/FHRuleDialog.cpp" line="+58"/>
        <source>You could add any text to the customized file name, i.e. &apos;Paris&apos; as the place. But following keywords will be replaced with real value, i.e. ${YYYY} will be replaced with 2014, if the image is taken in the year of 2014. The table below demonstrates the rules with an example taken at 23:34:45 on the 31st of December 2014.</source>
        <translation>Der Dateiname darf beliebigen Text enthalten, etwa „Paris“ als Ort. Die folgenden Platzhalter werden jedoch durch echte Werte ersetzt: ${YYYY} wird zum Beispiel zu 2014, wenn das Bild 2014 aufgenommen wurde. Die Tabelle zeigt die Regeln am Beispiel eines Bildes vom 31. Dezember 2014, 23:34:45&#xa0;Uhr.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Keywords</source>
        <translation>Platzhalter</translation>
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
        <translation>Bedeutung</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Number</source>
        <translation>Nummer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Month</source>
        <translation>Monat</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Day</source>
        <translation>Tag</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hour</source>
        <translation>Std.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Minute</source>
        <translation>Min.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Second</source>
        <translation>Sek.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Digits</source>
        <translation>Stellen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Example</source>
        <translation>Beispiel</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>NOTE:</source>
        <translation>Hinweis:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>is mandatory</source>
        <translation>ist Pflicht</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Please update example field below and result will be shown in the result field.</source>
        <translation>Ändern Sie das Beispiel unten; das Ergebnis erscheint sofort im Feld darunter.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Example:</source>
        <translation>Beispiel:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Result:</source>
        <translation>Ergebnis:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Paris ${YYYY}-${mm}-${DD} ${NUM}</source>
        <translation>Paris ${YYYY}-${mm}-${DD} ${NUM}</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>is missing.</source>
        <translation>fehlt.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not usable: %1.</source>
        <translation>Nicht verwendbar: %1.</translation>
    </message>
</context>
<context>
    <name>FHRunSummary</name>
    <message numerus="yes">
        <location filename="../ui/FHRunSummary.cpp" line="+86"/>
        <source>%n file(s) not reached: the sort ended with an error before them. They are still in the input.</source>
        <translation>
            <numerusform>%n Datei nicht erreicht: Die Sortierung endete vorher mit einem Fehler. Sie ist noch im Eingabeordner.</numerusform>
            <numerusform>%n Dateien nicht erreicht: Die Sortierung endete vorher mit einem Fehler. Sie sind noch im Eingabeordner.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n file(s) not reached: the sort was stopped before them. They are still in the input.</source>
        <translation>
            <numerusform>%n Datei nicht erreicht: Die Sortierung wurde vorher angehalten. Sie ist noch im Eingabeordner.</numerusform>
            <numerusform>%n Dateien nicht erreicht: Die Sortierung wurde vorher angehalten. Sie sind noch im Eingabeordner.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+9"/>
        <source>%n file(s) moved wait in the output under temporary names: the next START gives them their final names, or %1 moves them back.</source>
        <translation>
            <numerusform>%n verschobene Datei wartet im Ausgabeordner unter einem vorläufigen Namen: Der nächste START gibt ihr den endgültigen Namen, oder %1 verschiebt sie zurück.</numerusform>
            <numerusform>%n verschobene Dateien warten im Ausgabeordner unter vorläufigen Namen: Der nächste START gibt ihnen die endgültigen Namen, oder %1 verschiebt sie zurück.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Left in the input: &apos;%1&apos; (%2)</source>
        <translation>Im Eingabeordner geblieben: „%1“ (%2)</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The sort was stopped.</source>
        <translation>Die Sortierung wurde angehalten.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The sort ended with an error; the Output panel says which.</source>
        <translation>Die Sortierung endete mit einem Fehler; der Ausgabebereich sagt, mit welchem.</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) moved.</source>
        <translation>
            <numerusform>%n Datei verschoben.</numerusform>
            <numerusform>%n Dateien verschoben.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n file(s) still in the input.</source>
        <translation>
            <numerusform>%n Datei ist noch im Eingabeordner.</numerusform>
            <numerusform>%n Dateien sind noch im Eingabeordner.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n file(s) stayed in the input.</source>
        <translation>
            <numerusform>%n Datei ist im Eingabeordner geblieben.</numerusform>
            <numerusform>%n Dateien sind im Eingabeordner geblieben.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+14"/>
        <source>%n file(s) of kinds not chosen stayed in the input (%1). To sort them, choose their kinds under %2.</source>
        <translation>
            <numerusform>%n Datei einer nicht gewählten Art ist im Eingabeordner geblieben (%1). Um sie zu sortieren, wählen Sie ihre Art unter %2.</numerusform>
            <numerusform>%n Dateien nicht gewählter Arten sind im Eingabeordner geblieben (%1). Um sie zu sortieren, wählen Sie ihre Arten unter %2.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The sort failed before moving any file.</source>
        <translation>Die Sortierung schlug fehl, bevor eine Datei verschoben wurde.</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>Stopped: %n file(s) moved.</source>
        <translation>
            <numerusform>Angehalten: %n Datei verschoben.</numerusform>
            <numerusform>Angehalten: %n Dateien verschoben.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>Failed: %n file(s) moved.</source>
        <translation>
            <numerusform>Fehlgeschlagen: %n Datei verschoben.</numerusform>
            <numerusform>Fehlgeschlagen: %n Dateien verschoben.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) sorted in %1 s.</source>
        <translation>
            <numerusform>%n Datei in %1 s sortiert.</numerusform>
            <numerusform>%n Dateien in %1 s sortiert.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n left in the input.</source>
        <translation>
            <numerusform>%n im Eingabeordner.</numerusform>
            <numerusform>%n im Eingabeordner.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n under temporary names until the next START or Undo.</source>
        <translation>
            <numerusform>%n unter vorläufigem Namen bis zum nächsten START oder Rückgängigmachen.</numerusform>
            <numerusform>%n unter vorläufigen Namen bis zum nächsten START oder Rückgängigmachen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n of other kinds: %1</source>
        <translation>
            <numerusform>%n anderer Art: %1</numerusform>
            <numerusform>%n anderer Arten: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FHSkipReason</name>
    <message>
        <location filename="../engine/FHSkipReason.cpp" line="+22"/>
        <source>No capture date</source>
        <translation>Kein Aufnahmedatum</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no capture date</source>
        <translation>kein Aufnahmedatum</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No camera maker</source>
        <translation>Kein Kamerahersteller</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no camera maker</source>
        <translation>kein Kamerahersteller</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unreadable</source>
        <translation>Nicht lesbar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>unreadable</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changed since it was listed</source>
        <translation>Seit dem Auflisten geändert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>changed since the listing</source>
        <translation>seit dem Auflisten geändert</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Name not valid in the file-name encoding</source>
        <translation>Name in der Dateinamen-Kodierung ungültig</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>name not valid</source>
        <translation>Name ungültig</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not reached, the run was stopped</source>
        <translation>Nicht erreicht, die Sortierung wurde angehalten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Name differs from another only in letter case</source>
        <translation>Name unterscheidet sich von einem anderen nur in der Groß- und Kleinschreibung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>name differs from another only in letter case</source>
        <translation>Name unterscheidet sich von einem anderen nur in der Groß- und Kleinschreibung</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Belongs to a file of a kind not chosen</source>
        <translation>Gehört zu einer Datei einer nicht gewählten Art</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>belongs to a file of a kind not chosen</source>
        <translation>gehört zu einer Datei einer nicht gewählten Art</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Already in the library</source>
        <translation>Bereits in der Bibliothek</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>already in the library</source>
        <translation>bereits in der Bibliothek</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Imported before, since deleted</source>
        <translation>Früher importiert, seither gelöscht</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>imported before and deleted since</source>
        <translation>früher importiert und seither gelöscht</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its copy read back wrong</source>
        <translation>Die Kopie las sich falsch zurück</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>its copy read back wrong</source>
        <translation>die Kopie las sich falsch zurück</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No longer where the sort put it</source>
        <translation>Nicht mehr dort, wo die Sortierung sie ablegte</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its original path is taken</source>
        <translation>Der ursprüngliche Pfad ist belegt</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Another file of its shot stays</source>
        <translation>Eine andere Datei ihrer Aufnahme bleibt</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its original is no longer in the input</source>
        <translation>Das Original ist nicht mehr in der Eingabe</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Already in the library: %1</source>
        <translation>Schon in der Bibliothek: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Imported on %1, since deleted</source>
        <translation>Am %1 importiert, seither gelöscht</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>already in the library as %1</source>
        <translation>schon in der Bibliothek als %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>imported on %1 and deleted since</source>
        <translation>am %1 importiert und seither gelöscht</translation>
    </message>
</context>
<context>
    <name>FHUndoDialog</name>
    <message>
        <location filename="../ui/FHUndoDialog.cpp" line="+71"/>
        <location line="+32"/>
        <source>Undo the last sort</source>
        <translation>Letzte Sortierung rückgängig machen</translation>
    </message>
    <message>
        <location line="-31"/>
        <source>There is no sort to undo.</source>
        <translation>Es gibt keine Sortierung zum Rückgängigmachen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Every sort on record has been undone, or none has moved a file yet.</source>
        <translation>Jede aufgezeichnete Sortierung wurde rückgängig gemacht, oder keine hat schon eine Datei verschoben.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>&lt;p&gt;&lt;b&gt;Move the files of this sort back?&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Each file goes back where it was, under its old name. A file that changed since, or whose old place is taken, stays where it is.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Die Dateien dieser Sortierung zurückverschieben?&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Jede Datei kommt unter ihrem alten Namen dorthin zurück, wo sie war. Eine Datei, die sich seitdem geändert hat oder deren alter Platz belegt ist, bleibt, wo sie ist.&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Sorted:</source>
        <translation>Sortiert:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Into:</source>
        <translation>Nach:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files:</source>
        <translation>Dateien:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stopped before the end; the files it moved go back.</source>
        <translation>Vor dem Ende angehalten; die verschobenen Dateien kommen zurück.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ended by a failure; the files it moved go back.</source>
        <translation>Durch einen Fehler beendet; die verschobenen Dateien kommen zurück.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cut short; the files it moved go back.</source>
        <translation>Abgebrochen; die verschobenen Dateien kommen zurück.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>State:</source>
        <translation>Zustand:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Moving the files back…</source>
        <translation>Dateien werden zurückverschoben…</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Why it stays</source>
        <translation>Warum sie bleibt</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>Its old place %1 is taken</source>
        <translation>Ihr alter Platz %1 ist belegt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not found where the sort put it (it came from %1)</source>
        <translation>Nicht dort, wo die Sortierung sie ablegte (sie kam aus %1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changed after the sort (it came from %1)</source>
        <translation>Nach der Sortierung geändert (sie kam aus %1)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stays with its shot, as %1 stays (it came from %2)</source>
        <translation>Bleibt bei ihrer Aufnahme, da %1 bleibt (sie kam aus %2)</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>The undo ended early; the output panel says why. Undoing again finishes it.</source>
        <translation>Das Rückgängigmachen endete vorzeitig; der Ausgabebereich sagt, warum. Erneutes Rückgängigmachen schließt es ab.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files moved back: %1</source>
        <translation>Zurückverschobene Dateien: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files that stay where they are: %1</source>
        <translation>Dateien, die bleiben, wo sie sind: %1</translation>
    </message>
</context>
<context>
    <name>QMessageBox</name>
    <message>
        <location filename="../ui/FHMainWindow.cpp" line="-432"/>
        <source>Show Details...</source>
        <translation>Details einblenden...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hide Details...</source>
        <translation>Details ausblenden...</translation>
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
        <translation>Schließen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
</context>
</TS>
