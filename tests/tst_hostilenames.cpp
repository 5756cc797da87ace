#include "Invariant.h"
#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHOutputWidget.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// File and folder names that hold what shells, formats, markup and encodings
// treat specially go through whole runs, both passes, and reach every report
// as they are.
class TestHostileNames : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void wholeRuns_data();
    void wholeRuns();
    void longFinalName_data();
    void longFinalName();
    void reportsShowNamesLiterally();
    void undecodableName_data();
    void undecodableName();

private:
    QString in(const QString &name = QString()) const { return m_in + '/' + name; }
    QString out(const QString &name = QString()) const { return m_out + '/' + name; }
    void makeFolders(const QString &inName, const QString &outName);

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_in;
    QString m_out;
};

namespace {

const QString HostileInFolder = QStringLiteral("in <b>&amp;</b> \"q\" 'q' %1 -x 照片 🎉\nline");
const QString HostileOutFolder = QStringLiteral("-out  & 100%2 <i> é 𝄞\ttab $(id)");

// Input names in capture order: the first is taken first.
QStringList hostileNames()
{
    return {
        "with space.JPG", "  two  spaces  .JPG", "it's \"quoted\".JPG", "<b>bold<b> & co &amp;.JPG",
        "100% %1 %2 %L1.JPG", "-rf.JPG", "--help.jpg", "new\nline.JPG", "tab\there.JPG",
        "back\\slash.JPG", "$(echo hi) `id` ; #.JPG", "*?[a].JPG", "照片.JPG", "Café crème.jpeg",
        QStringLiteral("Cafe\u0301 decomposed.JPG"), "🎉 party.PNG", "a.JPG", "a.jpg", "a.Jpg",
        "a.b.c.JPG", "2014-12-31-23-34-45_0000000000.JPG", QString(251, 'x') + ".JPG", // 255 bytes
        QString(83, QChar(0x7167)) + "xx.GIF", // 255 bytes in UTF-8
        QString(62, 'e') + QString::fromUtf8("🎉").repeated(47) + ".PNG", // 254 bytes
    };
}

int utf8Length(const QString &name)
{
    return name.toUtf8().size();
}

} // namespace

void TestHostileNames::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    FHOutputWidget::instance()->clear();
}

void TestHostileNames::makeFolders(const QString &inName, const QString &outName)
{
    m_in = m_root->filePath(inName);
    m_out = m_root->filePath(outName);
    QVERIFY(QDir().mkpath(m_in));
}

void TestHostileNames::wholeRuns_data()
{
    QTest::addColumn<QString>("inFolder");
    QTest::addColumn<QString>("outFolder");
    QTest::addColumn<int>("mode");

    QTest::newRow("plain folders") << "in"
                                   << "out" << 0;
    QTest::newRow("hostile folders") << HostileInFolder << HostileOutFolder << 0;
    QTest::newRow("hostile folders, per day") << HostileInFolder << HostileOutFolder << 2;
    QTest::newRow("output inside input")
        << HostileInFolder << HostileInFolder + "/" + HostileOutFolder << 1;
}

void TestHostileNames::wholeRuns()
{
    QFETCH(QString, inFolder);
    QFETCH(QString, outFolder);
    QFETCH(int, mode);
    makeFolders(inFolder, outFolder);
    const QStringList names = hostileNames();
    QVERIFY(utf8Length(names.at(names.size() - 3)) == 255);
    QVERIFY(utf8Length(names.at(names.size() - 2)) == 255);
    QHash<QByteArray, QString> byContent;
    for (int i = 0; i < names.size(); ++i) {
        const QString date = QStringLiteral("2014:06:15 %1:%2:00")
                                 .arg(i / 60, 2, 10, QLatin1Char('0'))
                                 .arg(i % 60, 2, 10, QLatin1Char('0'));
        const bool gif = names[i].endsWith(".GIF");
        QVERIFY2(
            TestImages::makeImage(in(names[i]), gif ? QString() : "Canon", gif ? QString() : date),
            qPrintable(names[i]));
    }
    const TestImages::Contents before = TestImages::contentsUnder({ m_in });
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        byContent[it.key()] = QFileInfo(it.value().first()).fileName();
    QCOMPARE(byContent.size(), names.size());
    Invariant invariant(m_in, m_out);
    invariant.record();

    SortRunner r;
    r.options.inputDir = m_in;
    r.options.outputDir = m_out;
    r.options.folders = FHFolderMode(mode);
    r.options.exifOnly = false; // the GIF goes by its creation time: last
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(r.moved, quint32(names.size()));
    // The invariant lists input and output apart, so an output inside the input
    // would count twice there.
    if (m_out.startsWith(m_in + '/'))
        QCOMPARE(TestImages::checkEachContentOnce(before, { m_in }), QString());
    else
        QCOMPARE(invariant.check(), QString());
    // Each file reached the status line under its own name.
    for (const QString &name : names)
        QVERIFY2(r.currentFiles.contains(in(name)), qPrintable(name));

    // Numbers follow the capture order; every file keeps its own suffix.
    QMap<QString, QString> placed; // output name -> input name
    const TestImages::Contents after = TestImages::contentsUnder({ m_out });
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        placed[QFileInfo(it.value().first()).fileName()] = byContent.value(it.key());
    QStringList order = names;
    const QString gifName = names.at(names.size() - 2);
    order.removeAll(gifName);
    if (mode == 0)
        order.append(gifName);
    int number = 0;
    for (const QString &name : order) {
        const QString finalName = QStringLiteral("%1.%2")
                                      .arg(++number, 3, 10, QLatin1Char('0'))
                                      .arg(QFileInfo(name).suffix());
        QCOMPARE(placed.value(finalName), name);
    }
    if (mode != 0)
        QCOMPARE(placed.key(gifName), "001.GIF");
    QCOMPARE(TestImages::filesUnder(m_in).filter(QRegularExpression("^[^/]*$")), QStringList());
}

void TestHostileNames::longFinalName_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("outcome"); // fits, or refused before anything moves

    // A pattern must leave room for a three-digit number and the longest
    // name part a file of the run keeps (".JPEG.xmp" of a sidecar).
    QTest::newRow("255 bytes with the longest suffix") << "${NUM}" + QString(243, 'n') << "fits";
    QTest::newRow("256 bytes with the longest suffix") << "${NUM}" + QString(244, 'n') << "refused";
    QTest::newRow("255 bytes in UTF-8") << "${NUM}" + QString(81, QChar(0x7167)) << "fits";
    QTest::newRow("256 bytes in UTF-8") << "${NUM}" + QString(81, QChar(0x7167)) + "x"
                                        << "refused";
    QTest::newRow("in a hostile folder") << "${NUM}" + QString(300, 'n') << "refused";
}

void TestHostileNames::longFinalName()
{
    QFETCH(QString, pattern);
    QFETCH(QString, outcome);
    makeFolders(QString(QTest::currentDataTag()).contains("hostile") ? HostileInFolder : "in",
        QString(QTest::currentDataTag()).contains("hostile") ? HostileOutFolder : "out");
    const QString longName = QString(251, 'x') + ".JPG";
    QVERIFY(TestImages::makeImage(in(longName), "Canon", "2014:06:15 10:00:00"));
    QVERIFY(TestImages::makeImage(in("second.JPG"), "Canon", "2014:06:15 11:00:00"));
    Invariant invariant(m_in, m_out);
    invariant.record();

    SortRunner r;
    r.options.inputDir = m_in;
    r.options.outputDir = m_out;
    r.options.namePattern = pattern;
    ReportWatch watch;
    r.run();
    QCOMPARE(invariant.check(), QString());
    if (outcome == "refused") {
        QCOMPARE(r.moved, 0u);
        QCOMPARE(r.boxes.size(), 1);
        QVERIFY2(r.boxTexts().at(0).contains("the names would be longer than 255 bytes"),
            qPrintable(r.boxTexts().at(0)));
        QCOMPARE(TestImages::filesUnder(m_in).size(), 2);
        QVERIFY(!QFileInfo::exists(m_out));
        return;
    }
    QCOMPARE(r.moved, 2u);
    QCOMPARE(TestImages::filesUnder(m_in), QStringList());
    QCOMPARE(r.boxTexts(), QStringList());
    QString name = pattern;
    name.replace("${NUM}", "001");
    QCOMPARE(TestImages::filesUnder(m_out),
        QStringList({ name + ".JPG", QString(name).replace(0, 3, "002") + ".JPG" }));
}

void TestHostileNames::reportsShowNamesLiterally()
{
    makeFolders(HostileInFolder, HostileOutFolder);
    const QString unreadable = "<b>notes<b> &amp;  %1 \"q\"\n-x.JPG";
    QFile text(in(unreadable));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("shopping list");
    text.close();

    SortRunner r;
    r.options.inputDir = m_in;
    r.options.outputDir = m_out;
    ReportWatch unreadableWatch;
    r.run();
    QCOMPARE(r.notMoved, 1);
    QCOMPARE(checkReported(unreadableWatch.take(r.boxTexts()),
                 "'" + QDir::toNativeSeparators(in(unreadable)) + "'", {}),
        QString());

    // A run-time error box and its panel line name the hostile output folder.
    r.options.outputDir = m_out + "\n  twice";
    QFile blocker(r.options.outputDir);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ReportWatch errorWatch;
    r.run();
    const QString message = "Path '" + QDir::toNativeSeparators(r.options.outputDir)
        + "' exists as a file. It is expected as 'output directory'";
    const RunReport report = errorWatch.take(r.boxTexts());
    QCOMPARE(checkReported(report, message, { "0X000107" }), QString());
    QCOMPARE(plainTextOf(r.boxes.at(0).informativeText), message);
    QCOMPARE(report.panel, message);
}

void TestHostileNames::undecodableName_data()
{
    QTest::addColumn<bool>("recursive");
    QTest::newRow("top folder") << false;
    QTest::newRow("recursive") << true;
}

void TestHostileNames::undecodableName()
{
    // Names in another encoding than the system's, as old cameras and archives
    // leave them: Latin-1 "café", a file and a folder. The toolkit cannot name
    // them, so they stay; the user is told, and they count as not moved.
    QFETCH(bool, recursive);
    makeFolders("in", "out");
    QVERIFY(TestImages::makeImage(in("good.JPG"), "Canon", "2014:06:15 10:00:00"));
    QFile good(in("good.JPG"));
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray jpeg = good.readAll();
    const QByteArray folder = QFile::encodeName(m_in);
    QVERIFY(::mkdir(folder + "/f\xf6lder", 0755) == 0);
    int serial = 0;
    for (const QByteArray name : { "/caf\xe9.JPG", "/f\xf6lder/inside.JPG", "/caf\xe9.txt" }) {
        const int fd = ::open(folder + name, O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        const QByteArray bytes = jpeg + QByteArray::number(++serial);
        QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        ::close(fd);
    }

    SortRunner r;
    r.options.inputDir = m_in;
    r.options.outputDir = m_out;
    r.options.recursive = recursive;
    ReportWatch watch;
    r.run();
    const RunReport report = watch.take(r.boxTexts());
    QCOMPARE(checkReported(report, "'" + in("caf\\xE9.JPG") + "'", {}), QString());
    QCOMPARE(r.moved, 1u);
    QCOMPARE(r.notMoved, recursive ? 2 : 1);
    QCOMPARE(TestImages::filesUnder(m_out), QStringList { "001.JPG" });
    for (const QByteArray name : { "/caf\xe9.JPG", "/f\xf6lder/inside.JPG", "/caf\xe9.txt" })
        QVERIFY(::access(folder + name, F_OK) == 0);
    QCOMPARE(report.panel.contains(in("f\\xF6lder/inside.JPG")), recursive);
    QVERIFY(!report.panel.contains(".txt"));
}

QUILM_TEST_MAIN(TestHostileNames)

#include "tst_hostilenames.moc"
