<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>FHAlignDialog</name>
    <message>
        <location filename="../ui/FHAlignDialog.cpp" line="+128"/>
        <source>Align a camera&apos;s clock</source>
        <translation>Align a camera&apos;s clock</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reference: %1</source>
        <translation>Reference: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Clock to set: %1</source>
        <translation>Clock to set: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Camera time: %1</source>
        <translation>Camera time: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With its offset %1: %2</source>
        <translation>With its offset %1: %2</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>No picture to show</source>
        <translation>No picture to show</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>If both photos show the same moment, the clock of %1 gets the offset %2: each of its capture times moves from the camera&apos;s time to the reference&apos;s.</source>
        <translation>If both photos show the same moment, the clock of %1 gets the offset %2: each of its capture times moves from the camera&apos;s time to the reference&apos;s.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Swap</source>
        <translation>&amp;Swap</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Take the offset</source>
        <translation>&amp;Take the offset</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>FHCameraModel</name>
    <message>
        <location filename="../ui/FHCameraModel.cpp" line="+112"/>
        <source>Added to every capture time of this camera: +01:00 for a clock an hour behind, -2.03:30 for two days and three and a half hours ahead</source>
        <translation>Added to every capture time of this camera: +01:00 for a clock an hour behind, -2.03:30 for two days and three and a half hours ahead</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>GPS says %1</source>
        <translation>GPS says %1</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Camera</source>
        <translation>Camera</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files</source>
        <translation>Files</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>First shot</source>
        <translation>First shot</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Last shot</source>
        <translation>Last shot</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Clock offset</source>
        <translation>Clock offset</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>GPS check</source>
        <translation>GPS check</translation>
    </message>
</context>
<context>
    <name>FHCheckVersion</name>
    <message>
        <location filename="../shell/FHCheckVersion.cpp" line="+131"/>
        <source>The version server&apos;s reply is longer than %1 bytes.</source>
        <translation>The version server&apos;s reply is longer than %1 bytes.</translation>
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
        <translation>&amp;HEIF and AVIF images</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;RAW files of cameras</source>
        <translation>&amp;RAW files of cameras</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;WebP and TIFF images</source>
        <translation>&amp;WebP and TIFF images</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Videos</source>
        <translation>&amp;Videos</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>File types</source>
        <translation>File types</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A sort moves the files of the kinds checked here. Files of the other kinds stay in the input directory.</source>
        <translation>A sort moves the files of the kinds checked here. Files of the other kinds stay in the input directory.</translation>
    </message>
</context>
<context>
    <name>FHFirstStartQuestion</name>
    <message>
        <location filename="../ui/FHFirstStartQuestion.cpp" line="+39"/>
        <source>Sort the photos</source>
        <translation>Sort the photos</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Photos to be moved and renamed: %1</source>
        <translation>Photos to be moved and renamed: %1</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>%n file(s) would stay in the input; the preview says why.</source>
        <translation>
            <numerusform>%n file would stay in the input; the preview says why.</numerusform>
            <numerusform>%n files would stay in the input; the preview says why.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>They move from the input folder into the output folder and are renamed in the order they were taken. The preview lists every file&apos;s new folder and name before anything moves.</source>
        <translation>They move from the input folder into the output folder and are renamed in the order they were taken. The preview lists every file&apos;s new folder and name before anything moves.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Preview</source>
        <translation>Preview</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sort</source>
        <translation>Sort</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Don&apos;t ask again</source>
        <translation>Don&apos;t ask again</translation>
    </message>
</context>
<context>
    <name>FHFolderRows</name>
    <message>
        <location filename="../ui/FHFolderRows.cpp" line="+92"/>
        <source>&amp;Input Directory</source>
        <translation>&amp;Input Directory</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Output Directory</source>
        <translation>&amp;Output Directory</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Other folder...</source>
        <translation>Other folder...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Browse</source>
        <translation>Browse</translation>
    </message>
</context>
<context>
    <name>FHInfoBoxes</name>
    <message>
        <location filename="../ui/FHInfoBoxes.cpp" line="+31"/>
        <source>Press %1 to see the reports of this session.</source>
        <translation>Press %1 to see the reports of this session.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>version</source>
        <translation>version</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Website</source>
        <translation>Website</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Technical Support</source>
        <translation>Technical Support</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>For more information please visit:</source>
        <translation>For more information please visit:</translation>
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
        <translation>&amp;File</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Language</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Exit</source>
        <translation>&amp;Exit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;User manual</source>
        <translation>&amp;User manual</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;About</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Output</source>
        <translation>Output</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;html&gt;&lt;body&gt;&lt;p&gt;Quilm searches for image files in &lt;b&gt;Input Directory&lt;/b&gt; and move them into &lt;b&gt;Output Directory&lt;/b&gt;. Inside their destination image files will be sorted by their precise time and renamed in ascending order, i.e. &lt;i&gt;001.png, 002.png, 003.png&lt;/i&gt;. Options are: 1. Move images further into sub-folders of &lt;b&gt;Output Directory&lt;/b&gt;. The sub-folders imply the creation date of those image files, in the format of &lt;i&gt;YYYY-MM&lt;/i&gt; or &lt;i&gt;YYYY-MM-DD&lt;/i&gt;; 2. Customize output file name, i.e. &lt;i&gt;Paris 2014-12-31 001.jpg.&lt;/i&gt; &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p&gt;Quilm searches for image files in &lt;b&gt;Input Directory&lt;/b&gt; and move them into &lt;b&gt;Output Directory&lt;/b&gt;. Inside their destination image files will be sorted by their precise time and renamed in ascending order, i.e. &lt;i&gt;001.png, 002.png, 003.png&lt;/i&gt;. Options are: 1. Move images further into sub-folders of &lt;b&gt;Output Directory&lt;/b&gt;. The sub-folders imply the creation date of those image files, in the format of &lt;i&gt;YYYY-MM&lt;/i&gt; or &lt;i&gt;YYYY-MM-DD&lt;/i&gt;; 2. Customize output file name, i.e. &lt;i&gt;Paris 2014-12-31 001.jpg.&lt;/i&gt; &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="-57"/>
        <source>A sort is in progress. Stop it and quit? The files moved so far still get their final names; the others stay in the input directory.</source>
        <translation>A sort is in progress. Stop it and quit? The files moved so far still get their final names; the others stay in the input directory.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>File &amp;types...</source>
        <translation>File &amp;types...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Undo last sort...</source>
        <translation>&amp;Undo last sort...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pre&amp;view</source>
        <translation>Pre&amp;view</translation>
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
        <translation>STOP</translation>
    </message>
    <message>
        <location line="-179"/>
        <source>Found new version</source>
        <translation>Found new version</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>. Click to download.</source>
        <translation>. Click to download.</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Looking for the cameras whose clocks you set right…</source>
        <translation>Looking for the cameras whose clocks you set right…</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Counting the files the sort would move…</source>
        <translation>Counting the files the sort would move…</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Stopping… the files moved so far get their final names.</source>
        <translation>Stopping… the files moved so far get their final names.</translation>
    </message>
</context>
<context>
    <name>FHNaming</name>
    <message>
        <location filename="../ui/FHRuleDialog.cpp" line="+19"/>
        <source>it holds &quot;/&quot;, which would send the photos into other folders</source>
        <translation>it holds &quot;/&quot;, which would send the photos into other folders</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it holds a NUL character</source>
        <translation>it holds a NUL character</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the names would be longer than 255 bytes</source>
        <translation>the names would be longer than 255 bytes</translation>
    </message>
</context>
<context>
    <name>FHOptionGroup</name>
    <message>
        <location filename="../ui/FHOptionGroup.cpp" line="+171"/>
        <source>Option</source>
        <translation>Option</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Process images from digital &amp;cameras and smart phones only, i.e. &apos;Canon&apos;, &apos;Nikon&apos;, &apos;iPhone&apos;, &apos;SamSung&apos;, etc.</source>
        <translation>Process images from digital &amp;cameras and smart phones only, i.e. &apos;Canon&apos;, &apos;Nikon&apos;, &apos;iPhone&apos;, &apos;SamSung&apos;, etc.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Process &amp;all kinds of images , i.e. including hand-drawn pictures and screenshots.</source>
        <translation>Process &amp;all kinds of images , i.e. including hand-drawn pictures and screenshots.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Recursively enter sub-folders when reading images from Input Directory</source>
        <translation>Recursively enter sub-folders when reading images from Input Directory</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Yes</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do not c&amp;ustomize output file names so they will default to ascending integers, i.e. 001.jpg, 002.jpg, 003.jpg, etc.</source>
        <translation>Do not c&amp;ustomize output file names so they will default to ascending integers, i.e. 001.jpg, 002.jpg, 003.jpg, etc.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Set output file &amp;pattern to:</source>
        <translation>Set output file &amp;pattern to:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Rules</source>
        <translation>&amp;Rules</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Operations on sub-folders of output directory:</source>
        <translation>Operations on sub-folders of output directory:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do no&amp;t create sub-folders</source>
        <translation>Do no&amp;t create sub-folders</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Create and name by &amp;month (format=YYYY-MM)</source>
        <translation>Create and name by &amp;month (format=YYYY-MM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Create and name by &amp;day (format=YYYY-MM-DD)</source>
        <translation>Create and name by &amp;day (format=YYYY-MM-DD)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Keep the originals (copy)</source>
        <translation>&amp;Keep the originals (copy)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Skip files already in the library</source>
        <translation>&amp;Skip files already in the library</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A file whose bytes the output folder holds already, or held and lost since, stays where it is</source>
        <translation>A file whose bytes the output folder holds already, or held and lost since, stays where it is</translation>
    </message>
</context>
<context>
    <name>FHPlanModel</name>
    <message>
        <location filename="../ui/FHPlanModel.cpp" line="+191"/>
        <source>Camera (EXIF)</source>
        <translation>Camera (EXIF)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Video container</source>
        <translation>Video container</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File name</source>
        <translation>File name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File date</source>
        <translation>File date</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>%1
Moves with %2 as one shot</source>
        <translation>%1
Moves with %2 as one shot</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The camera&apos;s clock said %1; its offset %2 is added</source>
        <translation>The camera&apos;s clock said %1; its offset %2 is added</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Original name</source>
        <translation>Original name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>New folder</source>
        <translation>New folder</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>New name</source>
        <translation>New name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Taken</source>
        <translation>Taken</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Date from</source>
        <translation>Date from</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Camera</source>
        <translation>Camera</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Picture</source>
        <translation>Picture</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stays because</source>
        <translation>Stays because</translation>
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
        <translation>HEIF images</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>RAW images</source>
        <translation>RAW images</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>WebP and TIFF images</source>
        <translation>WebP and TIFF images</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Videos</source>
        <translation>Videos</translation>
    </message>
    <message>
        <location line="+281"/>
        <source>Listing the files…</source>
        <translation>Listing the files…</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Reading capture dates: %1 of %2</source>
        <translation>Reading capture dates: %1 of %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choosing the new names: %1 of %2</source>
        <translation>Choosing the new names: %1 of %2</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>The offset %1 would move shots of %2 before 1970 or past next year. It was not taken.</source>
        <translation>The offset %1 would move shots of %2 before 1970 or past next year. It was not taken.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Preview of the sort</source>
        <translation>Preview of the sort</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Working out where each file would go. Nothing is moved until you choose Sort now.</source>
        <translation>Working out where each file would go. Nothing is moved until you choose Sort now.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>From:</source>
        <translation>From:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Into:</source>
        <translation>Into:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Filter:</source>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Name, folder, date or reason</source>
        <translation>Name, folder, date or reason</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Target folder</source>
        <translation>Target folder</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Files</source>
        <translation>Files</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fi&amp;les</source>
        <translation>Fi&amp;les</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>C&amp;ameras (%1)</source>
        <translation>C&amp;ameras (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double-click an offset to set a camera&apos;s clock right.</source>
        <translation>Double-click an offset to set a camera&apos;s clock right.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>To set a clock from a photo of the same moment, select one file of each camera under Files and choose Align clocks.</source>
        <translation>To set a clock from a photo of the same moment, select one file of each camera under Files and choose Align clocks.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Take the &amp;GPS offset</source>
        <translation>Take the &amp;GPS offset</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Align &amp;clocks…</source>
        <translation>Align &amp;clocks…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select one file of each of two cameras under Files.</source>
        <translation>Select one file of each of two cameras under Files.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notes (%1)…</source>
        <translation>Notes (%1)…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sort now</source>
        <translation>Sort now</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No file would move.</source>
        <translation>No file would move.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Files to move: %1 · Target folders: %2</source>
        <translation>Files to move: %1 · Target folders: %2</translation>
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
        <translation>Files that stay where they are: %1 (%2)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Files of kinds not chosen, not sorted: %1 (%2)</source>
        <translation>Files of kinds not chosen, not sorted: %1 (%2)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Temporary names left by an earlier run, named as well: %1</source>
        <translation>Temporary names left by an earlier run, named as well: %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Shown: %1 of %2</source>
        <translation>Shown: %1 of %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The input folder changed after this preview was made.</source>
        <translation>The input folder changed after this preview was made.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The target folders changed after this preview was made.</source>
        <translation>The target folders changed after this preview was made.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The input and target folders changed after this preview was made.</source>
        <translation>The input and target folders changed after this preview was made.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Files added</source>
        <translation>Files added</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files removed</source>
        <translation>Files removed</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files changed</source>
        <translation>Files changed</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files added to the target folders</source>
        <translation>Files added to the target folders</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files removed from the target folders</source>
        <translation>Files removed from the target folders</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files changed in the target folders</source>
        <translation>Files changed in the target folders</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A sort now works on the folder as it is now, so its result differs from this preview.</source>
        <translation>A sort now works on the folder as it is now, so its result differs from this preview.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Sort anyway</source>
        <translation>Sort anyway</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Preview again</source>
        <translation>Preview again</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Notes made while planning the sort: %1</source>
        <translation>Notes made while planning the sort: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The same notes are written to the log when the files are sorted.</source>
        <translation>The same notes are written to the log when the files are sorted.</translation>
    </message>
</context>
<context>
    <name>FHRuleDialog</name>
    <message>
        <location filename="../ui/FHRuleDialog.cpp" line="+58"/>
        <source>You could add any text to the customized file name, i.e. &apos;Paris&apos; as the place. But following keywords will be replaced with real value, i.e. ${YYYY} will be replaced with 2014, if the image is taken in the year of 2014. The table below demonstrates the rules with an example taken at 23:34:45 on the 31st of December 2014.</source>
        <translation>You could add any text to the customized file name, i.e. &apos;Paris&apos; as the place. But following keywords will be replaced with real value, i.e. ${YYYY} will be replaced with 2014, if the image is taken in the year of 2014. The table below demonstrates the rules with an example taken at 23:34:45 on the 31st of December 2014.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Keywords</source>
        <translation>Keywords</translation>
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
        <translation>Meaning</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Number</source>
        <translation>Number</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Year</source>
        <translation>Year</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Month</source>
        <translation>Month</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Day</source>
        <translation>Day</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hour</source>
        <translation>Hour</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Minute</source>
        <translation>Minute</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Second</source>
        <translation>Second</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Digits</source>
        <translation>Digits</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Example</source>
        <translation>Example</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>NOTE:</source>
        <translation>NOTE:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>is mandatory</source>
        <translation>is mandatory</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Please update example field below and result will be shown in the result field.</source>
        <translation>Please update example field below and result will be shown in the result field.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Example:</source>
        <translation>Example:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Result:</source>
        <translation>Result:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Paris ${YYYY}-${mm}-${DD} ${NUM}</source>
        <translation>Paris ${YYYY}-${mm}-${DD} ${NUM}</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>is missing.</source>
        <translation>is missing.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not usable: %1.</source>
        <translation>Not usable: %1.</translation>
    </message>
</context>
<context>
    <name>FHRunSummary</name>
    <message numerus="yes">
        <location filename="../ui/FHRunSummary.cpp" line="+86"/>
        <source>%n file(s) not reached: the sort ended with an error before them. They are still in the input.</source>
        <translation>
            <numerusform>%n file not reached: the sort ended with an error before it. It is still in the input.</numerusform>
            <numerusform>%n files not reached: the sort ended with an error before them. They are still in the input.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n file(s) not reached: the sort was stopped before them. They are still in the input.</source>
        <translation>
            <numerusform>%n file not reached: the sort was stopped before it. It is still in the input.</numerusform>
            <numerusform>%n files not reached: the sort was stopped before them. They are still in the input.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+9"/>
        <source>%n file(s) moved wait in the output under temporary names: the next START gives them their final names, or %1 moves them back.</source>
        <translation>
            <numerusform>%n file moved waits in the output under a temporary name: the next START gives it its final name, or %1 moves it back.</numerusform>
            <numerusform>%n files moved wait in the output under temporary names: the next START gives them their final names, or %1 moves them back.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Left in the input: &apos;%1&apos; (%2)</source>
        <translation>Left in the input: &apos;%1&apos; (%2)</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The sort was stopped.</source>
        <translation>The sort was stopped.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The sort ended with an error; the Output panel says which.</source>
        <translation>The sort ended with an error; the Output panel says which.</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) moved.</source>
        <translation>
            <numerusform>%n file moved.</numerusform>
            <numerusform>%n files moved.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n file(s) still in the input.</source>
        <translation>
            <numerusform>%n file still in the input.</numerusform>
            <numerusform>%n files still in the input.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n file(s) stayed in the input.</source>
        <translation>
            <numerusform>%n file stayed in the input.</numerusform>
            <numerusform>%n files stayed in the input.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+14"/>
        <source>%n file(s) of kinds not chosen stayed in the input (%1). To sort them, choose their kinds under %2.</source>
        <translation>
            <numerusform>%n file of a kind not chosen stayed in the input (%1). To sort it, choose its kind under %2.</numerusform>
            <numerusform>%n files of kinds not chosen stayed in the input (%1). To sort them, choose their kinds under %2.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The sort failed before moving any file.</source>
        <translation>The sort failed before moving any file.</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>Stopped: %n file(s) moved.</source>
        <translation>
            <numerusform>Stopped: %n file moved.</numerusform>
            <numerusform>Stopped: %n files moved.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>Failed: %n file(s) moved.</source>
        <translation>
            <numerusform>Failed: %n file moved.</numerusform>
            <numerusform>Failed: %n files moved.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) sorted in %1 s.</source>
        <translation>
            <numerusform>%n file sorted in %1 s.</numerusform>
            <numerusform>%n files sorted in %1 s.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n left in the input.</source>
        <translation>
            <numerusform>%n left in the input.</numerusform>
            <numerusform>%n left in the input.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n under temporary names until the next START or Undo.</source>
        <translation>
            <numerusform>%n under a temporary name until the next START or Undo.</numerusform>
            <numerusform>%n under temporary names until the next START or Undo.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n of other kinds: %1</source>
        <translation>
            <numerusform>%n of another kind: %1</numerusform>
            <numerusform>%n of other kinds: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FHSkipReason</name>
    <message>
        <location filename="../engine/FHSkipReason.cpp" line="+22"/>
        <source>No capture date</source>
        <translation>No capture date</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no capture date</source>
        <translation>no capture date</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No camera maker</source>
        <translation>No camera maker</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no camera maker</source>
        <translation>no camera maker</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unreadable</source>
        <translation>Unreadable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>unreadable</source>
        <translation>unreadable</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changed since it was listed</source>
        <translation>Changed since it was listed</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>changed since the listing</source>
        <translation>changed since the listing</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Name not valid in the file-name encoding</source>
        <translation>Name not valid in the file-name encoding</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>name not valid</source>
        <translation>name not valid</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not reached, the run was stopped</source>
        <translation>Not reached, the run was stopped</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Name differs from another only in letter case</source>
        <translation>Name differs from another only in letter case</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>name differs from another only in letter case</source>
        <translation>name differs from another only in letter case</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Belongs to a file of a kind not chosen</source>
        <translation>Belongs to a file of a kind not chosen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>belongs to a file of a kind not chosen</source>
        <translation>belongs to a file of a kind not chosen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Already in the library</source>
        <translation>Already in the library</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>already in the library</source>
        <translation>already in the library</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Imported before, since deleted</source>
        <translation>Imported before, since deleted</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>imported before and deleted since</source>
        <translation>imported before and deleted since</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its copy read back wrong</source>
        <translation>Its copy read back wrong</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>its copy read back wrong</source>
        <translation>its copy read back wrong</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No longer where the sort put it</source>
        <translation>No longer where the sort put it</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its original path is taken</source>
        <translation>Its original path is taken</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Another file of its shot stays</source>
        <translation>Another file of its shot stays</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its original is no longer in the input</source>
        <translation>Its original is no longer in the input</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Already in the library: %1</source>
        <translation>Already in the library: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Imported on %1, since deleted</source>
        <translation>Imported on %1, since deleted</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>already in the library as %1</source>
        <translation>already in the library as %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>imported on %1 and deleted since</source>
        <translation>imported on %1 and deleted since</translation>
    </message>
</context>
<context>
    <name>FHUndoDialog</name>
    <message>
        <location filename="../ui/FHUndoDialog.cpp" line="+71"/>
        <location line="+32"/>
        <source>Undo the last sort</source>
        <translation>Undo the last sort</translation>
    </message>
    <message>
        <location line="-31"/>
        <source>There is no sort to undo.</source>
        <translation>There is no sort to undo.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Every sort on record has been undone, or none has moved a file yet.</source>
        <translation>Every sort on record has been undone, or none has moved a file yet.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>&lt;p&gt;&lt;b&gt;Move the files of this sort back?&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Each file goes back where it was, under its old name. A file that changed since, or whose old place is taken, stays where it is.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Move the files of this sort back?&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Each file goes back where it was, under its old name. A file that changed since, or whose old place is taken, stays where it is.&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Sorted:</source>
        <translation>Sorted:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>From:</source>
        <translation>From:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Into:</source>
        <translation>Into:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files:</source>
        <translation>Files:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stopped before the end; the files it moved go back.</source>
        <translation>Stopped before the end; the files it moved go back.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ended by a failure; the files it moved go back.</source>
        <translation>Ended by a failure; the files it moved go back.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cut short; the files it moved go back.</source>
        <translation>Cut short; the files it moved go back.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>State:</source>
        <translation>State:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Moving the files back…</source>
        <translation>Moving the files back…</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Why it stays</source>
        <translation>Why it stays</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>Its old place %1 is taken</source>
        <translation>Its old place %1 is taken</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not found where the sort put it (it came from %1)</source>
        <translation>Not found where the sort put it (it came from %1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changed after the sort (it came from %1)</source>
        <translation>Changed after the sort (it came from %1)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stays with its shot, as %1 stays (it came from %2)</source>
        <translation>Stays with its shot, as %1 stays (it came from %2)</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>The undo ended early; the output panel says why. Undoing again finishes it.</source>
        <translation>The undo ended early; the output panel says why. Undoing again finishes it.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files moved back: %1</source>
        <translation>Files moved back: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files that stay where they are: %1</source>
        <translation>Files that stay where they are: %1</translation>
    </message>
</context>
<context>
    <name>QMessageBox</name>
    <message>
        <location filename="../ui/FHMainWindow.cpp" line="-432"/>
        <source>Show Details...</source>
        <translation>Show Details...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hide Details...</source>
        <translation>Hide Details...</translation>
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
        <translation>Close</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Yes</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
</context>
</TS>
