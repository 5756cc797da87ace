#include "Invariant.h"
#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHExif.h"
#include "shell/FHexiv2Application.h"

#include <QTemporaryDir>
#include <QtTest>

#include <exiv2/exiv2.hpp>

#include <algorithm>

using Placement = QMap<QString, QString>; // output file -> input file whose content it holds

class TestSortRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void modes_data();
    void modes();
    void captureOrder();
    void burstOrder_data();
    void burstOrder();
    void earlierFinalNamesKeepTheirNumbers();
    void recursion_data();
    void recursion();
    void exifOnly_data();
    void exifOnly();
    void progress_data();
    void progress();
    void failures_data();
    void failures();
    void outputEqualsInput();
    void outputInsideInputWithRecursion();
    void unreadableFileDoesNotStopTheRun_data();
    void unreadableFileDoesNotStopTheRun();
    void leftoverTemporaryNameTakesNextTag_data();
    void leftoverTemporaryNameTakesNextTag();
    void deletedFinalNameIsSkipped();
    void datePrefixedPatternTwiceOnOneDay();
    void foldersNotSortedIntoAreLeftAlone();
    void deepOutputIsCreatedAndMakersGrow();
    void patternsWithDots_data();
    void patternsWithDots();

private:
    QString in(const QString &name = QString()) const { return m_root->filePath("in/" + name); }
    QString out(const QString &name = QString()) const { return m_root->filePath("out/" + name); }
    // A JPEG, PNG or GIF by suffix; date in EXIF form, or null for none.
    void image(const QString &path, const QString &date, const QString &make = "Canon");
    void textFile(const QString &path, const QByteArray &content);
    void remember(const QString &path);
    SortRunner runner() const;
    // Where each input content ended up, by output file name relative to the output.
    Placement placement() const;
    QString contentCheck() const;

    std::unique_ptr<QTemporaryDir> m_root;
    TestImages::Contents m_inputs;
    QHash<QByteArray, QString> m_inputNames;
};

void TestSortRun::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(in()));
    m_inputs.clear();
    m_inputNames.clear();
}

void TestSortRun::image(const QString &path, const QString &date, const QString &make)
{
    QDir().mkpath(QFileInfo(path).path());
    QVERIFY(TestImages::makeImage(path, date.isNull() ? QString() : make, date));
    remember(path);
}

void TestSortRun::textFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    remember(path);
}

void TestSortRun::remember(const QString &path)
{
    const TestImages::Contents one = TestImages::contentsUnder({ QFileInfo(path).path() });
    for (auto it = one.cbegin(); it != one.cend(); ++it) {
        if (it.value().contains(path)) {
            m_inputs[it.key()].append(path);
            m_inputNames[it.key()] = QFileInfo(path).fileName();
        }
    }
}

SortRunner TestSortRun::runner() const
{
    SortRunner r;
    r.options.inputDir = in();
    r.options.outputDir = out();
    return r;
}

Placement TestSortRun::placement() const
{
    Placement result;
    const TestImages::Contents now = TestImages::contentsUnder({ out() });
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        for (const QString &path : it.value())
            result[QDir(out()).relativeFilePath(path)] = m_inputNames.value(it.key(), "?");
    }
    return result;
}

QString TestSortRun::contentCheck() const
{
    return TestImages::checkEachContentOnce(m_inputs, { m_root->path() });
}

void TestSortRun::modes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<Placement>("expected");

    QTest::newRow("no sub-folders")
        << 0 << Placement { { "001.JPG", "eve.JPG" }, { "002.JPG", "jan.JPG" } };
    QTest::newRow("per month") << 1
                               << Placement { { "2014-12/001.JPG", "eve.JPG" },
                                      { "2015-01/001.JPG", "jan.JPG" } };
    QTest::newRow("per day") << 2
                             << Placement { { "2014-12-31/001.JPG", "eve.JPG" },
                                    { "2015-01-02/001.JPG", "jan.JPG" } };
}

void TestSortRun::modes()
{
    QFETCH(int, mode);
    QFETCH(Placement, expected);
    image(in("jan.JPG"), "2015:01:02 08:00:00");
    image(in("eve.JPG"), "2014:12:31 23:34:45");

    SortRunner r = runner();
    r.options.folders = FHFolderMode(mode);
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(placement(), expected);
    QCOMPARE(r.moved, 2u);
    QCOMPARE(r.notMoved, 0);
    QCOMPARE(TestImages::filesUnder(in()), QStringList());
    // Every path in hand reached the status line, the final names included.
    for (const QString &name : expected.keys())
        QVERIFY(r.currentFiles.contains(QDir::toNativeSeparators(out(name))));
}

void TestSortRun::captureOrder()
{
    image(in("c.JPG"), "2014:06:01 12:00:00");
    image(in("a.png"), "2013:01:01 00:00:00");
    image(in("e.JPEG"), "2014:06:01 12:00:01");
    image(in("b.jpg"), "2013:01:01 00:00:01");
    image(in("d.PNG"), "2014:01:01 00:00:00");

    SortRunner r = runner();
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(placement(),
        (Placement { { "001.png", "a.png" }, { "002.jpg", "b.jpg" }, { "003.PNG", "d.PNG" },
            { "004.JPG", "c.JPG" }, { "005.JPEG", "e.JPEG" } }));
}

void TestSortRun::burstOrder_data()
{
    // Each shot: "folder/name|sub-seconds"; no "|" means no sub-second tag. All
    // are taken in the same second; expected: the shots in their final order.
    QTest::addColumn<QStringList>("shots");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("sub-seconds of a burst")
        << QStringList { "e.JPG|50", "b.JPG|10", "a.JPG|90", "d.JPG|00", "c.JPG|70", "f.JPG|20" }
        << QStringList { "d.JPG", "b.JPG", "f.JPG", "e.JPG", "c.JPG", "a.JPG" };
    QTest::newRow("lengths are fractions") << QStringList { "p.JPG|6", "q.JPG|500", "r.JPG|49",
        "s.JPG|5", "t.JPG|50" } << QStringList { "r.JPG", "q.JPG", "s.JPG", "t.JPG", "p.JPG" };
    QTest::newRow("absent and non-digit sub-seconds count as zero") << QStringList { "a.JPG|1",
        "b.JPG", "c.JPG|abc", "d.JPG|2x" } << QStringList { "b.JPG", "c.JPG", "a.JPG", "d.JPG" };
    QTest::newRow("natural name order")
        << QStringList { "IMG_1002.JPG", "IMG_997.JPG", "IMG_1000.JPG", "IMG_998.JPG",
               "IMG_1004.JPG", "IMG_999.JPG", "IMG_1001.JPG", "IMG_1003.JPG" }
        << QStringList { "IMG_997.JPG", "IMG_998.JPG", "IMG_999.JPG", "IMG_1000.JPG",
               "IMG_1001.JPG", "IMG_1002.JPG", "IMG_1003.JPG", "IMG_1004.JPG" };
    QTest::newRow("ties across folders go by path")
        << QStringList { "b/IMG_2.JPG", "a/IMG_2.JPG", "b/IMG_1.JPG", "a/IMG_10.JPG" }
        << QStringList { "b/IMG_1.JPG", "a/IMG_2.JPG", "b/IMG_2.JPG", "a/IMG_10.JPG" };
}

void TestSortRun::burstOrder()
{
    QFETCH(QStringList, shots);
    QFETCH(QStringList, expected);
    QHash<QByteArray, QString> shotOf;
    for (const QString &shot : shots) {
        const QString name = shot.section('|', 0, 0);
        image(in(name), "2014:12:31 23:34:45");
        if (shot.contains('|'))
            QVERIFY(TestImages::writeTags(
                in(name), { { "Exif.Photo.SubSecTimeOriginal", shot.section('|', 1) } }));
        shotOf.insert(Invariant::hashOf(in(name)), name);
    }
    SortRunner r = runner();
    r.options.recursive = true;
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QStringList order;
    for (const QString &name : TestImages::filesUnder(out()))
        order << shotOf.value(Invariant::hashOf(out(name)), name);
    QCOMPARE(order, expected);
}

void TestSortRun::earlierFinalNamesKeepTheirNumbers()
{
    for (const char *name : { "001.JPG", "002.JPG", "003.JPG" })
        image(out(name), "2010:01:01 00:00:00");
    image(in("late.JPEG"), "2014:12:31 23:00:00");
    image(in("early.PNG"), "2014:01:01 10:00:00");
    image(in("middle.JPG"), "2014:06:01 10:00:00");

    SortRunner r = runner();
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(placement(),
        (Placement { { "001.JPG", "001.JPG" }, { "002.JPG", "002.JPG" }, { "003.JPG", "003.JPG" },
            { "004.PNG", "early.PNG" }, { "005.JPG", "middle.JPG" },
            { "006.JPEG", "late.JPEG" } }));
}

void TestSortRun::recursion_data()
{
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<Placement>("expected");
    QTest::addColumn<QStringList>("leftInInput");

    QTest::newRow("top only") << false << Placement { { "001.JPG", "top.JPG" } }
                              << QStringList { "sub/deeper/low.JPG" };
    QTest::newRow("recursive") << true
                               << Placement { { "001.JPG", "low.JPG" }, { "002.JPG", "top.JPG" } }
                               << QStringList();
}

void TestSortRun::recursion()
{
    QFETCH(bool, recursive);
    QFETCH(Placement, expected);
    QFETCH(QStringList, leftInInput);
    image(in("top.JPG"), "2014:06:01 00:00:00");
    image(in("sub/deeper/low.JPG"), "2014:01:01 00:00:00");

    SortRunner r = runner();
    r.options.recursive = recursive;
    r.run();
    QCOMPARE(placement(), expected);
    QCOMPARE(TestImages::filesUnder(in()), leftInInput);
}

void TestSortRun::exifOnly_data()
{
    QTest::addColumn<bool>("exifOnly");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void TestSortRun::exifOnly()
{
    QFETCH(bool, exifOnly);
    image(in("dated.JPG"), "2014:12:31 23:34:45");
    image(in("plain.JPG"), QString());
    image(in("plain.GIF"), QString());
    image(in("nomake.PNG"), QString());
    QVERIFY(TestImages::writeTags(
        in("nomake.PNG"), { { "Exif.Photo.DateTimeOriginal", "2014:12:31 23:34:45" } }));
    image(in("nodate.JPG"), QString());
    QVERIFY(TestImages::writeTags(in("nodate.JPG"), { { "Exif.Image.Make", "Hasselblad" } }));
    image(in("baddate.JPG"), "0000:00:00 00:00:00", "Leica");
    // Hashes again: the tags written above changed two inputs.
    m_inputs = TestImages::contentsUnder({ in() });
    for (auto it = m_inputs.cbegin(); it != m_inputs.cend(); ++it)
        m_inputNames[it.key()] = QFileInfo(it.value().first()).fileName();

    SortRunner r = runner();
    r.options.exifOnly = exifOnly;
    r.options.folders = FHFolderMode(1);
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(contentCheck(), QString());
    // Makers of images left behind are collected too.
    QVERIFY(r.makers == "Canon|Apple|Nikon|Samsung|Hasselblad|Leica"
        || r.makers == "Canon|Apple|Nikon|Samsung|Leica|Hasselblad");
    if (exifOnly) {
        QCOMPARE(r.moved, 1u);
        QCOMPARE(r.notMoved, 5);
        QCOMPARE(placement(), (Placement { { "2014-12/001.JPG", "dated.JPG" } }));
        QCOMPARE(TestImages::filesUnder(in()).size(), 5);
    } else {
        QCOMPARE(r.moved, 6u);
        QCOMPARE(r.notMoved, 0);
        QCOMPARE(TestImages::filesUnder(in()), QStringList());
        // A date without a maker counts here; images without a date go by
        // their files' times: made just now.
        QCOMPARE(placement().value("2014-12/002.PNG"), "nomake.PNG");
        const QString month = QDate::currentDate().toString("yyyy-MM");
        int dated = 0;
        for (const QString &name : placement().keys())
            dated += name.startsWith(month + "/") ? 1 : 0;
        QCOMPARE(dated, 4);
    }
}

void TestSortRun::progress_data()
{
    QTest::addColumn<int>("images");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<QList<int>>("expected");

    QList<int> hundred { 10, 20 };
    for (int v = 21; v <= 49; ++v)
        hundred << v;
    hundred << 50;
    for (int v = 51; v <= 99; ++v)
        hundred << v;
    hundred << 100;
    QTest::newRow("none") << 0 << 1 << QList<int> { 10, 20, 50, 100 };
    // Between the fixed points the bar follows the files done: reading and moving
    // from 20 to 50, naming from 50 to 100.
    QTest::newRow("one") << 1 << 1 << QList<int> { 10, 20, 35, 50, 100 };
    QTest::newRow("hundred") << 100 << 1 << hundred;
    // Threads read ahead: the bar may skip values while reading, never go back.
    QTest::newRow("hundred, four threads") << 100 << 4 << hundred;
}

void TestSortRun::progress()
{
    QFETCH(int, images);
    QFETCH(int, jobs);
    QFETCH(QList<int>, expected);
    for (int i = 0; i < images; ++i)
        image(in(QStringLiteral("%1.JPG").arg(i)),
            QStringLiteral("2014:12:31 23:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')));
    SortRunner r = runner();
    r.options.jobs = jobs;
    r.run();
    if (jobs == 1) {
        QCOMPARE(r.progress, expected);
    } else {
        QString seen;
        for (const int value : qAsConst(r.progress))
            seen += QString::number(value) + ' ';
        QVERIFY2(std::is_sorted(r.progress.cbegin(), r.progress.cend()), qPrintable(seen));
        const QList<int> afterReading = r.progress.mid(r.progress.indexOf(50));
        QCOMPARE(afterReading, expected.mid(expected.indexOf(50)));
        QCOMPARE(r.progress.mid(0, 2), expected.mid(0, 2));
    }
    QCOMPARE(r.moved, quint32(images));
    QCOMPARE(TestImages::filesUnder(out()).size(), images);
}

void TestSortRun::failures_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<quint32>("moved");

    QTest::newRow("pattern without number")
        << "pattern"
        << "0X00010A"
        << "Keywords ${NUM} is missing in customized naming string '${YYYY}'" << 0u;
    QTest::newRow("number keyword in lower case")
        << "lowercase"
        << "0X00010A"
        << "Keywords ${NUM} is missing in customized naming string '${num}'" << 0u;
    QTest::newRow("missing input")
        << "noinput"
        << "0X000106"
        << "Path '%in' does not exist. It is expected as 'input directory'" << 0u;
    QTest::newRow("input is a file")
        << "inputfile"
        << "0X000107"
        << "Path '%in' exists as a file. It is expected as 'input directory'" << 0u;
    QTest::newRow("output is a file")
        << "outputfile"
        << "0X000107"
        << "Path '%out' exists as a file. It is expected as 'output directory'" << 0u;
    QTest::newRow("output below a file")
        << "outputbelowfile"
        << "0X000105"
        << "Unable to create directory '%out', It is expected as 'output directory'" << 0u;
    QTest::newRow("month folder is a file") << "monthfile"
                                            << "0X000107"
                                            << "Path '%out2015-01' exists as a file. It is "
                                               "expected as 'sub-directory in output directory'"
                                            << 1u;
}

void TestSortRun::failures()
{
    QFETCH(QString, situation);
    QFETCH(QString, code);
    QFETCH(QString, message);
    QFETCH(quint32, moved);

    image(in("eve.JPG"), "2014:12:31 23:34:45");
    image(in("jan.JPG"), "2015:01:02 08:00:00");
    image(in("feb.JPG"), "2015:02:02 08:00:00");
    SortRunner r = runner();
    r.options.folders = FHFolderMode(1);
    if (situation == "pattern") {
        r.options.namePattern = "${YYYY}";
        r.options.inputDir = m_root->filePath("nowhere"); // the pattern is checked first
    } else if (situation == "lowercase") {
        r.options.namePattern = "${num}";
    } else if (situation == "noinput") {
        r.options.inputDir = m_root->filePath("nowhere");
    } else if (situation == "inputfile") {
        r.options.inputDir = in("eve.JPG");
    } else if (situation == "outputfile") {
        r.options.outputDir = in("jan.JPG");
    } else if (situation == "outputbelowfile") {
        r.options.outputDir = in("jan.JPG/sorted");
    } else if (situation == "monthfile") {
        textFile(out("2015-01"), "in the folder's place");
        // Only the December image may go before the run meets 2015-01: list it first.
        r.options.nameFilters = QStringList { "eve.JPG", "jan.JPG" };
    }
    message.replace("%in", QDir::toNativeSeparators(r.options.inputDir));
    message.replace("%out", QDir::toNativeSeparators(r.options.outputDir));
    r.run();

    QCOMPARE(r.boxes.size(), 1);
    QCOMPARE(plainTextOf(r.boxes[0].text), "Quilm run time error " + code);
    QCOMPARE(r.boxes[0].informativeText.isEmpty(), false);
    QCOMPARE(plainTextOf(r.boxes[0].informativeText).simplified(), message.simplified());
    if (situation == "pattern" || situation == "lowercase")
        QCOMPARE(r.progress, QList<int>());
    if (situation == "monthfile") {
        // Which of the two comes first is up to the file system.
        QVERIFY(r.moved <= moved);
    } else {
        QCOMPARE(r.moved, moved);
    }
    QCOMPARE(contentCheck(), QString());
    // The log holds the message too.
    QFile log(QDir::current().filePath("Quilm.Log.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(log.readAll()).contains(message));
}

void TestSortRun::outputEqualsInput()
{
    // Enough files that the directory is read in several chunks while files are
    // renamed in it: a listing read during the moves delivers some of them again.
    constexpr int Count = 3000;
    image(in("template.JPG"), "2014:12:31 23:34:45");
    QFile templateFile(in("template.JPG"));
    QVERIFY(templateFile.open(QIODevice::ReadOnly));
    const QByteArray jpeg = templateFile.readAll();
    templateFile.remove();
    m_inputs.clear();
    for (int i = 0; i < Count; ++i) {
        QFile file(in(QStringLiteral("img%1.JPG").arg(i)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(jpeg + QByteArray::number(i)); // distinct content; still a readable JPEG
    }
    m_inputs = TestImages::contentsUnder({ in() });

    SortRunner r = runner();
    r.options.outputDir = r.options.inputDir;
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(r.moved, quint32(Count));
    QCOMPARE(contentCheck(), QString());
    QStringList expected;
    for (int i = 1; i <= Count; ++i)
        expected << QStringLiteral("%1.JPG").arg(i, 3, 10, QLatin1Char('0'));
    expected.sort();
    QCOMPARE(TestImages::filesUnder(in()), expected);
}

void TestSortRun::outputInsideInputWithRecursion()
{
    for (int i = 0; i < 20; ++i)
        image(in(QStringLiteral("img%1.JPG").arg(i)),
            QStringLiteral("2014:%1:01 10:00:00").arg(i % 12 + 1, 2, 10, QLatin1Char('0')));
    SortRunner r = runner();
    r.options.outputDir = in("sorted");
    r.options.recursive = true;
    r.options.folders = FHFolderMode(1);
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(r.moved, 20u);
    QCOMPARE(contentCheck(), QString());
    QCOMPARE(TestImages::filesUnder(in("sorted")).size(), 20);
    QVERIFY(TestImages::filesUnder(in("sorted")).contains("2014-01/001.JPG"));
    // What is sorted already is not input to the next run.
    const QStringList sorted = TestImages::treeOf(in("sorted"));
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(r.moved, 0u);
    QCOMPARE(TestImages::treeOf(in("sorted")), sorted);
}

void TestSortRun::unreadableFileDoesNotStopTheRun_data()
{
    exifOnly_data();
}

void TestSortRun::unreadableFileDoesNotStopTheRun()
{
    QFETCH(bool, exifOnly);
    image(in("a.JPG"), "2014:12:31 23:34:45");
    {
        QFile text(in("notes.JPG"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("shopping list\n");
        QFile full(in("a.JPG"));
        QVERIFY(full.open(QIODevice::ReadOnly));
        QFile cut(in("cut.JPG"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(full.read(40));
    }
    image(in("z.JPG"), "2014:12:31 23:34:46");
    m_inputs = TestImages::contentsUnder({ in() });
    for (auto it = m_inputs.cbegin(); it != m_inputs.cend(); ++it)
        m_inputNames[it.key()] = QFileInfo(it.value().first()).fileName();

    QStringList libraryTexts;
    for (const char *name : { "notes.JPG", "cut.JPG" }) {
        QString maker;
        QDateTime date;
        try {
            lookupCaptureDate(in(name), &maker, date);
        } catch (const Exiv2::Error &e) {
            libraryTexts << QString::fromUtf8(e.what());
        }
    }
    QCOMPARE(libraryTexts.size(), 2);

    SortRunner r = runner();
    r.options.exifOnly = exifOnly;
    r.run();
    QCOMPARE(r.boxTexts(), QStringList()); // reported without a box
    QCOMPARE(contentCheck(), QString());
    QCOMPARE(r.moved, exifOnly ? 2u : 4u);
    QCOMPARE(r.notMoved, exifOnly ? 2 : 0);
    if (exifOnly)
        QCOMPARE(TestImages::filesUnder(in()), QStringList({ "cut.JPG", "notes.JPG" }));

    QFile log(QDir::current().filePath("Quilm.Log.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString logText = QString::fromUtf8(log.readAll());
    for (const char *name : { "notes.JPG", "cut.JPG" }) {
        const QString path = QDir::toNativeSeparators(in(name));
        QVERIFY2(logText.contains("'" + path + "'"), qPrintable(logText));
    }
    for (const QString &text : libraryTexts)
        QVERIFY2(logText.contains(text), qPrintable(text));
}

void TestSortRun::leftoverTemporaryNameTakesNextTag_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("same kind") << "JPG";
    // Under one tag the two would be one shot, and share a number.
    QTest::newRow("another kind") << "PNG";
}

void TestSortRun::leftoverTemporaryNameTakesNextTag()
{
    QFETCH(QString, suffix);
    // Left by an interrupted run: same capture second, tag 0.
    image(out("2014-12-31-23-34-45_0000000000.JPG"), "2014:12:31 23:34:45");
    image(in("new." + suffix), "2014:12:31 23:34:45");
    SortRunner r = runner();
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(r.moved, 1u);
    QCOMPARE(placement(),
        (Placement { { "001.JPG", "2014-12-31-23-34-45_0000000000.JPG" },
            { "002." + suffix, "new." + suffix } }));
}

void TestSortRun::deletedFinalNameIsSkipped()
{
    image(out("001.JPG"), "2010:01:01 00:00:00");
    image(out("003.JPG"), "2010:01:01 00:00:00");
    QDir().mkpath(out("005.JPG")); // a folder takes a name too
    image(in("b.JPG"), "2014:12:31 23:00:00");
    image(in("a.JPG"), "2014:12:31 22:00:00");
    image(in("c.JPG"), "2014:12:31 23:30:00");
    SortRunner r = runner();
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(contentCheck(), QString());
    QCOMPARE(placement(),
        (Placement { { "001.JPG", "001.JPG" }, { "003.JPG", "003.JPG" }, { "004.JPG", "a.JPG" },
            { "006.JPG", "b.JPG" }, { "007.JPG", "c.JPG" } }));
}

void TestSortRun::datePrefixedPatternTwiceOnOneDay()
{
    image(in("a.JPG"), "2014:12:31 08:00:00");
    image(in("b.JPG"), "2014:12:31 09:00:00");
    SortRunner r = runner();
    r.options.namePattern = "${YYYY}${mm}${DD}-${NUM}";
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());

    image(in("c.JPG"), "2014:12:31 10:00:00");
    image(in("d.JPG"), "2014:12:31 07:00:00");
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(r.moved, 2u);
    QCOMPARE(placement(),
        (Placement { { "20141231-001.JPG", "a.JPG" }, { "20141231-002.JPG", "b.JPG" },
            { "20141231-003.JPG", "d.JPG" }, { "20141231-004.JPG", "c.JPG" } }));
}

// A file named like a temporary name in a folder the run neither sorts into
// nor finds in a journal is the user's: it keeps its name.
void TestSortRun::foldersNotSortedIntoAreLeftAlone()
{
    image(out("old/0-first.JPG"), QString());
    image(out("old/2010-01-01-00-00-00_0000000005.JPG"), "2010:01:01 00:00:00");
    textFile(out("old/notes.txt"), "not an image name");
    image(out("2015-01-01-00-00-00_0000000001.JPG"), QString()); // top level: left alone
    image(in("eve.JPG"), "2014:12:31 23:34:45");
    SortRunner r = runner();
    r.options.folders = FHFolderMode(1);
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(placement(),
        (Placement { { "old/0-first.JPG", "0-first.JPG" },
            { "old/2010-01-01-00-00-00_0000000005.JPG", "2010-01-01-00-00-00_0000000005.JPG" },
            { "old/notes.txt", "notes.txt" },
            { "2015-01-01-00-00-00_0000000001.JPG", "2015-01-01-00-00-00_0000000001.JPG" },
            { "2014-12/001.JPG", "eve.JPG" } }));
}

void TestSortRun::deepOutputIsCreatedAndMakersGrow()
{
    image(in("a.JPG"), "2014:12:31 23:34:45", "NIKON CORPORATION");
    image(in("b.JPG"), "2014:12:31 23:34:46", "canon");
    SortRunner r = runner();
    r.options.outputDir = m_root->filePath("one/two/three");
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(TestImages::filesUnder(r.options.outputDir), QStringList({ "001.JPG", "002.JPG" }));
    QCOMPARE(r.makers, QStringLiteral("Canon|Apple|Nikon|Samsung|NIKON CORPORATION"));
}

void TestSortRun::patternsWithDots_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("mode");
    QTest::addColumn<Placement>("expected"); // after a second run into the same output

    const auto placed = [](const QString &eve, const QString &jan, const QString &late) {
        return Placement { { eve + ".JPG", "eve.JPG" }, { jan + ".JPG", "jan.JPG" },
            { late + ".JPG", "late.JPG" }, { late + ".JPG.xmp", "late.JPG.xmp" } };
    };
    for (int mode = 0; mode < 3; ++mode) {
        const QString dec = QStringList { "", "2014-12/", "2014-12-31/" }.at(mode);
        const QString jan = QStringList { "", "2015-01/", "2015-01-02/" }.at(mode);
        // Numbers go on after those of the first run in each folder.
        const int lateNumber = mode == 0 ? 3 : 2;
        const QString late = QStringLiteral("%1").arg(lateNumber, 3, 10, QLatin1Char('0'));
        QTest::addRow("no dot, mode %d", mode)
            << "${NUM}" << mode << placed(dec + "001", jan + (mode ? "001" : "002"), dec + late);
        QTest::addRow("one dot, mode %d", mode)
            << "Paris.${NUM}" << mode
            << placed(dec + "Paris.001", jan + (mode ? "Paris.001" : "Paris.002"),
                   dec + "Paris." + late);
        QTest::addRow("a leading dot, mode %d", mode)
            << ".${NUM}" << mode
            << placed(dec + ".001", jan + (mode ? ".001" : ".002"), dec + "." + late);
        QTest::addRow("three dots, mode %d", mode)
            << "${YYYY}.${mm}.${DD}-${NUM}" << mode
            << placed(dec + "2014.12.31-001", jan + (mode ? "2015.01.02-001" : "2015.01.02-002"),
                   dec + "2014.12.31-002"); // the first name free on that day
    }
}

// A dot in the pattern is part of the name, not the start of its suffix: the
// first run names every photo, the next one goes on numbering.
void TestSortRun::patternsWithDots()
{
    QFETCH(QString, pattern);
    QFETCH(int, mode);
    QFETCH(Placement, expected);
    image(in("eve.JPG"), "2014:12:31 23:34:45");
    image(in("jan.JPG"), "2015:01:02 08:00:00");
    SortRunner r = runner();
    r.options.folders = FHFolderMode(mode);
    r.options.namePattern = pattern;
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    image(in("late.JPG"), "2014:12:31 23:50:00");
    textFile(in("late.JPG.xmp"), "<x:xmpmeta/>");
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(placement(), expected);
    QCOMPARE(TestImages::filesUnder(in()), QStringList());
}

QUILM_TEST_MAIN(TestSortRun)

#include "tst_sortrun.moc"
