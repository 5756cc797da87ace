#include "HostileFiles.h"
#include "Invariant.h"
#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHExif.h"
#include "shell/FHexiv2Application.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// Each hostile file goes through a whole run beside good images: the run goes
// on, the good images are sorted, and nothing is lost or doubled.
namespace {

// A crafted file may lose its maker and keep its date: with all kinds of
// images it is dated all the same.
bool hasCameralessDate(const QString &path)
{
    QString maker;
    QDateTime date;
    bool cameraless = false;
    try {
        lookupCaptureDate(path, &maker, date, nullptr, &cameraless);
    } catch (const std::exception &) {
        return false;
    }
    return cameraless;
}

} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void besideGoodImages_data();
    void besideGoodImages();
    void allInOneRun_data();
    void allInOneRun();
    void specialFilesAreLeftAlone();

private:
    QList<HostileFiles::Case> m_cases;
};

namespace {

struct Run
{
    QTemporaryDir root;
    QHash<QByteArray, QString> names; // content -> input file name

    QString in(const QString &name = QString()) const { return root.filePath("in/" + name); }
    QString out() const { return root.filePath("out"); }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(in(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), qint64(bytes.size()));
    }
    void addGoodImages()
    {
        QVERIFY(TestImages::makeImage(in("good-jan.PNG"), "Canon", "2014:01:01 10:00:00"));
        QVERIFY(TestImages::makeImage(in("good-dec.JPG"), "Nikon", "2014:12:31 23:34:45"));
    }
    void remember()
    {
        const TestImages::Contents before = TestImages::contentsUnder({ in() });
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            names[it.key()] = QFileInfo(it.value().first()).fileName();
    }
    // Input file names in the order of the output files' names, which are their numbers.
    QStringList sortedOrder() const
    {
        QMap<QString, QString> byOutput;
        const TestImages::Contents now = TestImages::contentsUnder({ out() });
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            for (const QString &path : it.value())
                byOutput[QFileInfo(path).fileName()] = names.value(it.key(), "?");
        }
        return byOutput.values();
    }
};

} // namespace

void TestHostileFiles::initTestCase()
{
    m_cases = HostileFiles::cases();
    QVERIFY(m_cases.size() >= 30);
    for (const HostileFiles::Case &c : m_cases)
        QVERIFY2(c.name == "empty.JPG" || !c.bytes.isEmpty(), qPrintable(c.name));
}

void TestHostileFiles::besideGoodImages_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("exifOnly");
    const QList<HostileFiles::Case> &cases = m_cases;
    for (int i = 0; i < cases.size(); ++i) {
        for (const bool exifOnly : { true, false }) {
            QTest::addRow("%s, exifOnly %s", qPrintable(cases[i].name), exifOnly ? "on" : "off")
                << i << exifOnly;
        }
    }
}

void TestHostileFiles::besideGoodImages()
{
    QFETCH(int, index);
    QFETCH(bool, exifOnly);
    const HostileFiles::Case &hostile = m_cases.at(index);
    Run run;
    QVERIFY(QDir().mkpath(run.in()));
    run.addGoodImages();
    run.write(hostile.name, hostile.bytes);
    run.remember();
    const bool cameraless = hasCameralessDate(run.in(hostile.name));
    Invariant invariant(run.in(), run.out());
    invariant.record();

    SortRunner r;
    r.options.inputDir = run.in();
    r.options.outputDir = run.out();
    r.options.exifOnly = exifOnly;
    r.run();

    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(r.progress.last(), 100);
    QCOMPARE(invariant.check(), QString());
    // The crafted date lies between the good images; a file dated by its
    // creation time (now) comes last.
    QStringList expected { "good-jan.PNG", "good-dec.JPG" };
    if (hostile.dated || (!exifOnly && cameraless))
        expected.insert(1, hostile.name);
    else if (!exifOnly)
        expected.append(hostile.name);
    QCOMPARE(run.sortedOrder(), expected);
    QCOMPARE(r.moved, quint32(expected.size()));
    QCOMPARE(r.notMoved, 3 - expected.size());
    QCOMPARE(TestImages::filesUnder(run.in()),
        expected.size() == 3 ? QStringList() : QStringList { hostile.name });
    // Each output keeps its own suffix.
    const QString suffix = QFileInfo(hostile.name).suffix();
    if (expected.contains(hostile.name)) {
        const QString name = QStringLiteral("%1.%2")
                                 .arg(expected.indexOf(hostile.name) + 1, 3, 10, QLatin1Char('0'))
                                 .arg(suffix);
        QVERIFY2(TestImages::filesUnder(run.out()).contains(name), qPrintable(name));
    }
}

void TestHostileFiles::allInOneRun_data()
{
    QTest::addColumn<bool>("exifOnly");
    QTest::addColumn<int>("jobs");
    QTest::newRow("exifOnly on") << true << 1;
    QTest::newRow("exifOnly off") << false << 1;
    QTest::newRow("exifOnly on, four threads") << true << 4;
}

void TestHostileFiles::allInOneRun()
{
    QFETCH(bool, exifOnly);
    QFETCH(int, jobs);
    Run run;
    QVERIFY(QDir().mkpath(run.in()));
    run.addGoodImages();
    int dated = 2;
    for (const HostileFiles::Case &hostile : m_cases) {
        run.write(hostile.name, hostile.bytes);
        dated += hostile.dated || (!exifOnly && hasCameralessDate(run.in(hostile.name))) ? 1 : 0;
    }
    run.remember();
    Invariant invariant(run.in(), run.out());
    invariant.record();

    SortRunner r;
    r.options.inputDir = run.in();
    r.options.outputDir = run.out();
    r.options.exifOnly = exifOnly;
    r.options.folders = FHFolderMode(2);
    r.options.jobs = jobs;
    r.run();

    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(invariant.check(), QString());
    const int all = m_cases.size() + 2;
    QCOMPARE(r.moved, quint32(exifOnly ? dated : all));
    // With all kinds of images, a date without a maker counts too.
    QCOMPARE(r.notMoved, exifOnly ? all - dated : 0);
    const QStringList sorted = TestImages::filesUnder(run.out());
    QVERIFY2(sorted.contains("2014-01-01/001.PNG"), qPrintable(sorted.join(' ')));
    QVERIFY2(sorted.contains("2014-12-31/001.JPG"), qPrintable(sorted.join(' ')));
    QCOMPARE(sorted.filter("2014-06-15/").size(), dated - 2);
}

void TestHostileFiles::specialFilesAreLeftAlone()
{
    // Named like images, but no reader may touch them: reading a pipe would
    // wait for ever, and a link's target lies elsewhere.
    Run run;
    QVERIFY(QDir().mkpath(run.in("folder.JPG")));
    run.addGoodImages();
    QVERIFY(TestImages::makeImage(
        run.root.filePath("elsewhere.JPG"), "Canon", HostileFiles::CraftedDate));
    QVERIFY(QFile::link(run.root.filePath("elsewhere.JPG"), run.in("link.JPG")));
    QVERIFY(QFile::link(run.root.filePath("nowhere.JPG"), run.in("dangling.JPG")));
    run.remember(); // before the pipe: hashing would read it
    QCOMPARE(::mkfifo(QFile::encodeName(run.in("pipe.JPG")).constData(), 0644), 0);
    const QStringList special { "dangling.JPG", "folder.JPG", "link.JPG", "pipe.JPG" };

    SortRunner r;
    r.options.inputDir = run.in();
    r.options.outputDir = run.out();
    r.options.exifOnly = false;
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(r.moved, 2u);
    QCOMPARE(r.notMoved, 0);
    QCOMPARE(run.sortedOrder(), QStringList({ "good-jan.PNG", "good-dec.JPG" }));
    QCOMPARE(
        QDir(run.in()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), special);
    QVERIFY(QFileInfo(run.in("link.JPG")).isSymLink());
    QVERIFY(QFileInfo::exists(run.root.filePath("elsewhere.JPG")));
}

QUILM_TEST_MAIN(TestHostileFiles)

#include "tst_hostilefiles.moc"
