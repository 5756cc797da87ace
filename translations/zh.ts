<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>FHAlignDialog</name>
    <message>
        <location filename="../ui/FHAlignDialog.cpp" line="+128"/>
        <source>Align a camera&apos;s clock</source>
        <translation>校准相机时钟</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reference: %1</source>
        <translation>参照：%1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Clock to set: %1</source>
        <translation>要校准的时钟：%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Camera time: %1</source>
        <translation>相机时间：%1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With its offset %1: %2</source>
        <translation>加上其偏差 %1：%2</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>No picture to show</source>
        <translation>没有可显示的图片</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>If both photos show the same moment, the clock of %1 gets the offset %2: each of its capture times moves from the camera&apos;s time to the reference&apos;s.</source>
        <translation>如果两张照片拍的是同一时刻，%1 的时钟将得到偏差 %2：它的每个拍摄时间都从相机时间移到参照的时间。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Swap</source>
        <translation>交换(&amp;S)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Take the offset</source>
        <translation>采用此偏差(&amp;T)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>FHCameraModel</name>
    <message>
        <location filename="../ui/FHCameraModel.cpp" line="+112"/>
        <source>Added to every capture time of this camera: +01:00 for a clock an hour behind, -2.03:30 for two days and three and a half hours ahead</source>
        <translation>加到此相机的每个拍摄时间上：时钟慢一小时填 +01:00，快两天三个半小时填 -2.03:30</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>GPS says %1</source>
        <translation>GPS 显示 %1</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Camera</source>
        <translation>相机</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files</source>
        <translation>文件</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>First shot</source>
        <translation>第一张</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Last shot</source>
        <translation>最后一张</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Clock offset</source>
        <translation>时钟偏差</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>GPS check</source>
        <translation>GPS 核对</translation>
    </message>
</context>
<context>
    <name>FHCheckVersion</name>
    <message>
        <location filename="../shell/FHCheckVersion.cpp" line="+131"/>
        <source>The version server&apos;s reply is longer than %1 bytes.</source>
        <translation>版本服务器的回复超过 %1 字节。</translation>
    </message>
</context>
<context>
    <name>FHFileTypesDialog</name>
    <message>
        <location filename="../ui/FHFileTypesDialog.cpp" line="+75"/>
        <source>&amp;Photos</source>
        <translation>照片(&amp;P)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;HEIF and AVIF images</source>
        <translation>HEIF 和 AVIF 图像(&amp;H)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;RAW files of cameras</source>
        <translation>相机 RAW 文件(&amp;R)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;WebP and TIFF images</source>
        <translation>WebP 和 TIFF 图像(&amp;W)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Videos</source>
        <translation>视频(&amp;V)</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>File types</source>
        <translation>文件类型</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A sort moves the files of the kinds checked here. Files of the other kinds stay in the input directory.</source>
        <translation>排序只移动此处勾选的类型的文件。其他类型的文件留在输入目录中。</translation>
    </message>
</context>
<context>
    <name>FHFirstStartQuestion</name>
    <message>
        <location filename="../ui/FHFirstStartQuestion.cpp" line="+39"/>
        <source>Sort the photos</source>
        <translation>整理照片</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Photos to be moved and renamed: %1</source>
        <translation>将被移动并重命名的照片：%1</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>%n file(s) would stay in the input; the preview says why.</source>
        <translation>
            <numerusform>%n 个文件将留在输入目录中；预览会说明原因。</numerusform>
        </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>They move from the input folder into the output folder and are renamed in the order they were taken. The preview lists every file&apos;s new folder and name before anything moves.</source>
        <translation>它们将从输入目录移动到输出目录，并按拍摄顺序重命名。预览会在移动任何文件之前列出每个文件的新文件夹和新名称。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Preview</source>
        <translation>预览</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sort</source>
        <translation>整理</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Don&apos;t ask again</source>
        <translation>不再询问</translation>
    </message>
</context>
<context>
    <name>FHFolderRows</name>
    <message>
        <location filename="../ui/FHFolderRows.cpp" line="+92"/>
        <source>&amp;Input Directory</source>
        <translation>输入目录(&amp;I)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Output Directory</source>
        <translation>输出目录(&amp;O)</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Other folder...</source>
        <translation>其他文件夹...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Browse</source>
        <translation>选择文件夹</translation>
    </message>
</context>
<context>
    <name>FHInfoBoxes</name>
    <message>
        <location filename="../ui/FHInfoBoxes.cpp" line="+31"/>
        <source>Press %1 to see the reports of this session.</source>
        <translation>按 %1 查看本次运行的报告。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>version</source>
        <translation>版本</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Website</source>
        <translation>网站</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Technical Support</source>
        <translation>技术支持</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>For more information please visit:</source>
        <translation>更多信息请访问：</translation>
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
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Language</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Exit</source>
        <translation>退出(&amp;E)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;User manual</source>
        <translation>用户手册(&amp;U)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;About</source>
        <translation>关于 Quilm(&amp;A)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Output</source>
        <translation>输出</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Description</source>
        <translation>说明</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;html&gt;&lt;body&gt;&lt;p&gt;Quilm searches for image files in &lt;b&gt;Input Directory&lt;/b&gt; and move them into &lt;b&gt;Output Directory&lt;/b&gt;. Inside their destination image files will be sorted by their precise time and renamed in ascending order, i.e. &lt;i&gt;001.png, 002.png, 003.png&lt;/i&gt;. Options are: 1. Move images further into sub-folders of &lt;b&gt;Output Directory&lt;/b&gt;. The sub-folders imply the creation date of those image files, in the format of &lt;i&gt;YYYY-MM&lt;/i&gt; or &lt;i&gt;YYYY-MM-DD&lt;/i&gt;; 2. Customize output file name, i.e. &lt;i&gt;Paris 2014-12-31 001.jpg.&lt;/i&gt; &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p&gt;Quilm 在&lt;b&gt;输入目录&lt;/b&gt;中查找图像文件，并将它们移动到&lt;b&gt;输出目录&lt;/b&gt;。在目标位置，图像文件按精确的拍摄时间排序，并按升序重新命名，例如 &lt;i&gt;001.png、002.png、003.png&lt;/i&gt;。可选：1. 将图像进一步移入&lt;b&gt;输出目录&lt;/b&gt;的子文件夹，子文件夹以图像的拍摄日期命名，格式为 &lt;i&gt;YYYY-MM&lt;/i&gt; 或 &lt;i&gt;YYYY-MM-DD&lt;/i&gt;；2. 自定义输出文件名，例如 &lt;i&gt;巴黎 2014-12-31 001.jpg&lt;/i&gt;。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="-57"/>
        <source>A sort is in progress. Stop it and quit? The files moved so far still get their final names; the others stay in the input directory.</source>
        <translation>正在排序。要停止排序并退出吗？已移动的文件仍会获得最终名称；其余文件留在输入目录中。</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>File &amp;types...</source>
        <translation>文件类型(&amp;T)...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Undo last sort...</source>
        <translation>撤销上次排序(&amp;U)...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pre&amp;view</source>
        <translation>预览(&amp;V)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+184"/>
        <source>START</source>
        <translation>开始</translation>
    </message>
    <message>
        <location line="-184"/>
        <location line="+184"/>
        <source>STOP</source>
        <translation>停止</translation>
    </message>
    <message>
        <location line="-179"/>
        <source>Found new version</source>
        <translation>发现新版本</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>. Click to download.</source>
        <translation>。点击下载。</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Looking for the cameras whose clocks you set right…</source>
        <translation>正在查找您校准过时钟的相机…</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Counting the files the sort would move…</source>
        <translation>正在统计将被移动的文件…</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Stopping… the files moved so far get their final names.</source>
        <translation>正在停止…已移动的文件正在获得最终名称。</translation>
    </message>
</context>
<context>
    <name>FHNaming</name>
    <message>
        <location filename="../ui/FHRuleDialog.cpp" line="+19"/>
        <source>it holds &quot;/&quot;, which would send the photos into other folders</source>
        <translation>其中含有“/”，会把照片移到其他文件夹中</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it holds a NUL character</source>
        <translation>其中含有 NUL 字符</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the names would be longer than 255 bytes</source>
        <translation>文件名会超过 255 字节</translation>
    </message>
</context>
<context>
    <name>FHOptionGroup</name>
    <message>
        <location filename="../ui/FHOptionGroup.cpp" line="+171"/>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Process images from digital &amp;cameras and smart phones only, i.e. &apos;Canon&apos;, &apos;Nikon&apos;, &apos;iPhone&apos;, &apos;SamSung&apos;, etc.</source>
        <translation>仅处理数码相机和智能手机拍摄的图像(&amp;C)，例如 Canon、Nikon、iPhone、Samsung 等。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Process &amp;all kinds of images , i.e. including hand-drawn pictures and screenshots.</source>
        <translation>处理所有类型的图像(&amp;A)，包括手绘图片和屏幕截图。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Recursively enter sub-folders when reading images from Input Directory</source>
        <translation>读取输入目录中的图像时，同时读取其子文件夹</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do not c&amp;ustomize output file names so they will default to ascending integers, i.e. 001.jpg, 002.jpg, 003.jpg, etc.</source>
        <translation>不自定义输出文件名(&amp;U)，默认使用升序编号，例如 001.jpg、002.jpg、003.jpg 等。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Set output file &amp;pattern to:</source>
        <translation>自定义文件名(&amp;P)：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Rules</source>
        <translation>规则(&amp;R)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Operations on sub-folders of output directory:</source>
        <translation>输出目录中的子文件夹：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do no&amp;t create sub-folders</source>
        <translation>不创建子文件夹(&amp;T)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Create and name by &amp;month (format=YYYY-MM)</source>
        <translation>按月创建子文件夹(&amp;M)（YYYY-MM）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Create and name by &amp;day (format=YYYY-MM-DD)</source>
        <translation>按日创建子文件夹(&amp;D)（YYYY-MM-DD）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Keep the originals (copy)</source>
        <translation>保留原始文件（复制）(&amp;K)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Skip files already in the library</source>
        <translation>跳过已在库中的文件(&amp;S)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A file whose bytes the output folder holds already, or held and lost since, stays where it is</source>
        <translation>输出文件夹中已有（或曾经有过但已删除）相同内容的文件将保留在原处</translation>
    </message>
</context>
<context>
    <name>FHPlanModel</name>
    <message>
        <location filename="../ui/FHPlanModel.cpp" line="+191"/>
        <source>Camera (EXIF)</source>
        <translation>相机 (EXIF)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Video container</source>
        <translation>视频容器</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File name</source>
        <translation>文件名</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File date</source>
        <translation>文件日期</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>%1
Moves with %2 as one shot</source>
        <translation>%1
与 %2 作为同一张照片一起移动</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The camera&apos;s clock said %1; its offset %2 is added</source>
        <translation>相机时钟显示 %1；已加上其偏差 %2</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Original name</source>
        <translation>原名称</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>New folder</source>
        <translation>新文件夹</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>New name</source>
        <translation>新名称</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Taken</source>
        <translation>拍摄时间</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Date from</source>
        <translation>日期来源</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Camera</source>
        <translation>相机</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Picture</source>
        <translation>图片</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stays because</source>
        <translation>保留原因</translation>
    </message>
</context>
<context>
    <name>FHPreviewDialog</name>
    <message>
        <location filename="../ui/FHPreviewDialog.cpp" line="+69"/>
        <source>Photos</source>
        <translation>照片</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>HEIF images</source>
        <translation>HEIF 图像</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>RAW images</source>
        <translation>RAW 图像</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>WebP and TIFF images</source>
        <translation>WebP 和 TIFF 图像</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Videos</source>
        <translation>视频</translation>
    </message>
    <message>
        <location line="+281"/>
        <source>Listing the files…</source>
        <translation>正在列出文件…</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Reading capture dates: %1 of %2</source>
        <translation>正在读取拍摄日期：%1 / %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choosing the new names: %1 of %2</source>
        <translation>正在确定新名称：%1 / %2</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>The offset %1 would move shots of %2 before 1970 or past next year. It was not taken.</source>
        <translation>偏差 %1 会把 %2 的照片移到 1970 年之前或明年之后，因此未采用。</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Preview of the sort</source>
        <translation>整理预览</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Working out where each file would go. Nothing is moved until you choose Sort now.</source>
        <translation>正在计算每个文件的去向。在您选择“立即整理”之前不会移动任何文件。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>From:</source>
        <translation>来自：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Into:</source>
        <translation>移至：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Filter:</source>
        <translation>筛选(&amp;F)：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Name, folder, date or reason</source>
        <translation>名称、文件夹、日期或原因</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Target folder</source>
        <translation>目标文件夹</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Files</source>
        <translation>文件数</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fi&amp;les</source>
        <translation>文件(&amp;L)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>C&amp;ameras (%1)</source>
        <translation>相机 (%1)(&amp;A)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double-click an offset to set a camera&apos;s clock right.</source>
        <translation>双击偏差即可校准相机时钟。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>To set a clock from a photo of the same moment, select one file of each camera under Files and choose Align clocks.</source>
        <translation>若要按同一时刻的照片校准时钟，请在“文件”中为两台相机各选一个文件，然后点击“校准时钟”。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Take the &amp;GPS offset</source>
        <translation>采用 GPS 偏差(&amp;G)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Align &amp;clocks…</source>
        <translation>校准时钟(&amp;C)…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select one file of each of two cameras under Files.</source>
        <translation>请在“文件”中为两台相机各选一个文件。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notes (%1)…</source>
        <translation>备注 (%1)…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sort now</source>
        <translation>立即整理</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No file would move.</source>
        <translation>没有文件会被移动。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Files to move: %1 · Target folders: %2</source>
        <translation>待移动文件：%1 · 目标文件夹：%2</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+10"/>
        <location line="+37"/>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <location line="-44"/>
        <source>Files that stay where they are: %1 (%2)</source>
        <translation>保留在原处的文件：%1（%2）</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Files of kinds not chosen, not sorted: %1 (%2)</source>
        <translation>未选择类型的文件，不整理：%1（%2）</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Temporary names left by an earlier run, named as well: %1</source>
        <translation>之前整理留下的临时名称，也将命名：%1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Shown: %1 of %2</source>
        <translation>显示：%1 / %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The input folder changed after this preview was made.</source>
        <translation>生成此预览后，输入目录已发生变化。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The target folders changed after this preview was made.</source>
        <translation>生成此预览后，目标文件夹已发生变化。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The input and target folders changed after this preview was made.</source>
        <translation>生成此预览后，输入目录和目标文件夹已发生变化。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Files added</source>
        <translation>新增文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files removed</source>
        <translation>移除的文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files changed</source>
        <translation>更改的文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files added to the target folders</source>
        <translation>目标文件夹中新增的文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files removed from the target folders</source>
        <translation>从目标文件夹移除的文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files changed in the target folders</source>
        <translation>目标文件夹中更改的文件</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A sort now works on the folder as it is now, so its result differs from this preview.</source>
        <translation>现在整理将基于文件夹的当前状态，因此结果会与此预览不同。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Sort anyway</source>
        <translation>仍然整理</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Preview again</source>
        <translation>重新预览</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Notes made while planning the sort: %1</source>
        <translation>规划整理时的备注：%1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The same notes are written to the log when the files are sorted.</source>
        <translation>整理文件时，相同的备注会写入日志。</translation>
    </message>
</context>
<context>
    <name>FHRuleDialog</name>
    <message>
        <location filename="../ui/FHRuleDialog.cpp" line="+58"/>
        <source>You could add any text to the customized file name, i.e. &apos;Paris&apos; as the place. But following keywords will be replaced with real value, i.e. ${YYYY} will be replaced with 2014, if the image is taken in the year of 2014. The table below demonstrates the rules with an example taken at 23:34:45 on the 31st of December 2014.</source>
        <translation>自定义文件名中可以加入任意文字，例如用“巴黎”表示地点。但下列关键字会被替换为实际的值，例如图像拍摄于 2014 年，${YYYY} 就会被替换为 2014。下表以 2014 年 12 月 31 日 23:34:45 拍摄的图像为例说明这些规则。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Keywords</source>
        <translation>关键字</translation>
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
        <translation>含义</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Number</source>
        <translation>序号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Year</source>
        <translation>年</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Month</source>
        <translation>月</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Day</source>
        <translation>日</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hour</source>
        <translation>时</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Minute</source>
        <translation>分</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Second</source>
        <translation>秒</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Digits</source>
        <translation>位数</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Example</source>
        <translation>示例</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>NOTE:</source>
        <translation>注意：</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>is mandatory</source>
        <translation>必不可少</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Please update example field below and result will be shown in the result field.</source>
        <translation>请修改下面的示例，结果会立即显示在结果栏中。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Example:</source>
        <translation>示例：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Result:</source>
        <translation>结果：</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Paris ${YYYY}-${mm}-${DD} ${NUM}</source>
        <translation>巴黎 ${YYYY}-${mm}-${DD} ${NUM}</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>is missing.</source>
        <translation>缺失。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not usable: %1.</source>
        <translation>无法使用：%1。</translation>
    </message>
</context>
<context>
    <name>FHRunSummary</name>
    <message numerus="yes">
        <location filename="../ui/FHRunSummary.cpp" line="+86"/>
        <source>%n file(s) not reached: the sort ended with an error before them. They are still in the input.</source>
        <translation>
            <numerusform>%n 个文件未处理：排序在处理它们之前因错误而结束。它们仍在输入目录中。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n file(s) not reached: the sort was stopped before them. They are still in the input.</source>
        <translation>
            <numerusform>%n 个文件未处理：排序在处理它们之前已停止。它们仍在输入目录中。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+9"/>
        <source>%n file(s) moved wait in the output under temporary names: the next START gives them their final names, or %1 moves them back.</source>
        <translation>
            <numerusform>%n 个已移动的文件以临时名称留在输出目录中：再次点击“开始”会给它们最终名称，或用“%1”将它们移回。</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Left in the input: &apos;%1&apos; (%2)</source>
        <translation>留在输入目录中：“%1”（%2）</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The sort was stopped.</source>
        <translation>排序已停止。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The sort ended with an error; the Output panel says which.</source>
        <translation>排序因错误而结束；输出面板说明了是什么错误。</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) moved.</source>
        <translation>
            <numerusform>已移动 %n 个文件。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n file(s) still in the input.</source>
        <translation>
            <numerusform>%n 个文件仍在输入目录中。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n file(s) stayed in the input.</source>
        <translation>
            <numerusform>%n 个文件留在输入目录中。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+14"/>
        <source>%n file(s) of kinds not chosen stayed in the input (%1). To sort them, choose their kinds under %2.</source>
        <translation>
            <numerusform>%n 个未选类型的文件留在输入目录中（%1）。如需排序，请在 %2 中选择其类型。</numerusform>
        </translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The sort failed before moving any file.</source>
        <translation>排序失败，没有移动任何文件。</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>Stopped: %n file(s) moved.</source>
        <translation>
            <numerusform>已停止：已移动 %n 个文件。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>Failed: %n file(s) moved.</source>
        <translation>
            <numerusform>失败：已移动 %n 个文件。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) sorted in %1 s.</source>
        <translation>
            <numerusform>已在 %1 秒内排序 %n 个文件。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n left in the input.</source>
        <translation>
            <numerusform>%n 个留在输入目录中。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n under temporary names until the next START or Undo.</source>
        <translation>
            <numerusform>%n 个使用临时名称，直到下次“开始”或撤销。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n of other kinds: %1</source>
        <translation>
            <numerusform>%n 个其他类型：%1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FHSkipReason</name>
    <message>
        <location filename="../engine/FHSkipReason.cpp" line="+22"/>
        <source>No capture date</source>
        <translation>无拍摄日期</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no capture date</source>
        <translation>无拍摄日期</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No camera maker</source>
        <translation>无相机制造商</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no camera maker</source>
        <translation>无相机制造商</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unreadable</source>
        <translation>无法读取</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>unreadable</source>
        <translation>无法读取</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changed since it was listed</source>
        <translation>列出后已更改</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>changed since the listing</source>
        <translation>列出后已被更改</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Name not valid in the file-name encoding</source>
        <translation>文件名编码无效</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>name not valid</source>
        <translation>文件名无效</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not reached, the run was stopped</source>
        <translation>未处理，整理已停止</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Name differs from another only in letter case</source>
        <translation>文件名与另一个仅大小写不同</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>name differs from another only in letter case</source>
        <translation>文件名与另一个仅大小写不同</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Belongs to a file of a kind not chosen</source>
        <translation>属于未选择类型的文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>belongs to a file of a kind not chosen</source>
        <translation>属于未选择类型的文件</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Already in the library</source>
        <translation>已在图库中</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>already in the library</source>
        <translation>已在图库中</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Imported before, since deleted</source>
        <translation>以前导入过，之后已删除</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>imported before and deleted since</source>
        <translation>以前导入过，之后已删除</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its copy read back wrong</source>
        <translation>副本回读不一致</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>its copy read back wrong</source>
        <translation>副本回读不一致</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No longer where the sort put it</source>
        <translation>已不在整理时放置的位置</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its original path is taken</source>
        <translation>原路径已被占用</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Another file of its shot stays</source>
        <translation>同一拍摄的另一个文件留下</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Its original is no longer in the input</source>
        <translation>原件已不在输入目录中</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Already in the library: %1</source>
        <translation>已在库中：%1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Imported on %1, since deleted</source>
        <translation>已于 %1 导入，之后被删除</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>already in the library as %1</source>
        <translation>已在库中，为 %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>imported on %1 and deleted since</source>
        <translation>已于 %1 导入，之后被删除</translation>
    </message>
</context>
<context>
    <name>FHUndoDialog</name>
    <message>
        <location filename="../ui/FHUndoDialog.cpp" line="+71"/>
        <location line="+32"/>
        <source>Undo the last sort</source>
        <translation>撤销上次整理</translation>
    </message>
    <message>
        <location line="-31"/>
        <source>There is no sort to undo.</source>
        <translation>没有可撤销的整理。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Every sort on record has been undone, or none has moved a file yet.</source>
        <translation>所有记录的整理都已撤销，或尚未移动任何文件。</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>&lt;p&gt;&lt;b&gt;Move the files of this sort back?&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Each file goes back where it was, under its old name. A file that changed since, or whose old place is taken, stays where it is.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;将此次整理的文件移回？&lt;/b&gt;&lt;/p&gt;&lt;p&gt;每个文件都会以原名称回到原来的位置。此后更改过的文件，或原位置已被占用的文件，将保留在原处。&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Sorted:</source>
        <translation>整理时间：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>From:</source>
        <translation>来自：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Into:</source>
        <translation>移至：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files:</source>
        <translation>文件数：</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stopped before the end; the files it moved go back.</source>
        <translation>整理在结束前停止；已移动的文件将移回。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ended by a failure; the files it moved go back.</source>
        <translation>因故障而结束；已移动的文件将移回。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cut short; the files it moved go back.</source>
        <translation>中途中断；已移动的文件将移回。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>State:</source>
        <translation>状态：</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Moving the files back…</source>
        <translation>正在移回文件…</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Why it stays</source>
        <translation>保留原因</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>Its old place %1 is taken</source>
        <translation>其原位置 %1 已被占用</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not found where the sort put it (it came from %1)</source>
        <translation>在整理放置的位置找不到（来自 %1）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changed after the sort (it came from %1)</source>
        <translation>整理后已更改（来自 %1）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stays with its shot, as %1 stays (it came from %2)</source>
        <translation>与同一拍摄的文件一起保留，因为 %1 保留（原位置：%2）</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>The undo ended early; the output panel says why. Undoing again finishes it.</source>
        <translation>撤销提前结束；输出面板说明了原因。再次撤销即可完成。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files moved back: %1</source>
        <translation>已移回的文件：%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files that stay where they are: %1</source>
        <translation>保留在原处的文件：%1</translation>
    </message>
</context>
<context>
    <name>QMessageBox</name>
    <message>
        <location filename="../ui/FHMainWindow.cpp" line="-432"/>
        <source>Show Details...</source>
        <translation>显示详细信息...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hide Details...</source>
        <translation>隐藏详细信息...</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <location line="-6"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
</context>
</TS>
