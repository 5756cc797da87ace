#include "Invariant.h"
#include "SortDriver.h"
#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHFileIdentity.h"
#include "engine/FHFolderTree.h"
#include "engine/FHJournal.h"
#include "engine/FHNaming.h"
#include "engine/FHSafeMove.h"
#include "engine/platform/FHFolder.h"
#include "shell/FHexiv2Application.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

// A sort killed at any point loses nothing, and the next run into the same
// output finishes the job. Kills come from the fault shim at chosen system calls
// and from outside at random times. CTest runs a bounded set; with
// QUILM_CRASH_CAMPAIGN=N the campaign tries every call point of every scenario
// and N random kills, and prints its figures (scripts/crash-campaign.sh).
class TestCrashRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killAtCall_data();
    void killAtCall();
    void randomTimedKills();
    void cutMoveIsFinished_data();
    void cutMoveIsFinished();
    void campaign();

private:
    // How the file system behaves: its faults (no kill), and whether the input
    // lies on another file system than the output.
    struct Scenario
    {
        QString name;
        int mode = 0;
        QByteArray faults;
        bool crossFs = false;
    };
    // A kill by the shim at a call (rule), or from outside after some µs.
    struct Kill
    {
        QByteArray rule;
        qint64 afterUs = -1;
    };
    struct Outcome
    {
        int kills = 0; // that struck before the run ended
        int partials = 0; // kills that left a partial copy
        QString problems;
    };

    bool addPhotos(const QString &folder, int more);
    static QList<Scenario> scenarios();
    static Kill atCall(const QByteArray &call, int n);
    // A kill at a random moment of the scenario's sort.
    Kill randomKill(const Scenario &s);
    SortDriver setUp(const Scenario &s, const QTemporaryDir &root);
    // Runs the sort once per kill, then once more to the end, checking each time.
    Outcome killAndRecover(const Scenario &s, const QList<Kill> &kills);
    QString finalState(const QString &input, const QString &output, int mode) const;
    static QString folderFor(int mode, const QDateTime &date);
    static QStringList partialsUnder(const QString &folder);

    QTemporaryDir m_library;
    QHash<QByteArray, QDateTime> m_captured; // content -> capture time
    QString m_earlier; // a photo sorted by an earlier run
    QString m_photos; // the photos each run sorts
    bool m_otherFs = false; // /dev/shm is another file system
    QHash<QString, qint64> m_sortUs; // scenario -> time of a whole sort
    std::unique_ptr<QTemporaryDir> m_shm; // the input on another file system
};

void TestCrashRecovery::initTestCase()
{
    QVERIFY(m_library.isValid());
    QVERIFY(
        TestImages::makeImage(m_library.filePath("earlier.JPG"), "Canon", "2014:12:30 09:00:00"));
    m_earlier = m_library.filePath("earlier.JPG");
    m_captured.insert(Invariant::hashOf(m_earlier), QDateTime(QDate(2014, 12, 30), QTime(9, 0)));
    QVERIFY(addPhotos(m_library.filePath("small"), 0));
    m_photos = m_library.filePath("small");
    struct stat shm, here;
    m_otherFs = ::stat("/dev/shm", &shm) == 0
        && ::stat(QFile::encodeName(m_library.path()).constData(), &here) == 0
        && shm.st_dev != here.st_dev;
}

// Six photos, of which two share a second and two take several writes to copy;
// then `more` photos at random times, all later than the earlier run's photo.
bool TestCrashRecovery::addPhotos(const QString &folder, int more)
{
    struct Photo
    {
        QString name;
        QDateTime date;
        int padTo;
    };
    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
    };
    QList<Photo> photos { { "a.JPG", at(2014, 12, 31, 23, 34, 45), 300 * 1024 },
        { "b.PNG", at(2014, 12, 31, 23, 34, 45), 0 }, { "c.jpg", at(2015, 1, 2, 8, 0, 0), 0 },
        { "d.JPEG", at(2014, 12, 31, 10, 0, 0), 0 },
        { "e.JPG", at(2015, 1, 2, 7, 59, 59), 600 * 1024 },
        { "f.PNG", at(2014, 12, 30, 12, 0, 0), 0 } };
    const QStringList suffixes { "JPG", "jpg", "PNG", "JPEG" };
    QRandomGenerator *random = QRandomGenerator::global();
    for (int i = 0; i < more; ++i) {
        photos.append({ QStringLiteral("g%1.%2").arg(i).arg(suffixes.at(i % suffixes.size())),
            at(2014, 12, 30, 10, 0, 0).addSecs(random->bounded(60 * 86400)),
            i % 5 == 0 ? 270 * 1024 : 0 });
    }
    QDir().mkpath(folder);
    for (const Photo &photo : photos) {
        const QString path = folder + '/' + photo.name;
        if (!TestImages::makeImage(
                path, "Canon", photo.date.toString(QStringLiteral("yyyy:MM:dd hh:mm:ss"))))
            return false;
        QFile file(path);
        if (!file.open(QIODevice::Append))
            return false;
        if (file.size() < photo.padTo)
            file.write(QByteArray(int(photo.padTo - file.size()), '\x5a')); // after the image's end
        file.close();
        m_captured.insert(Invariant::hashOf(path), photo.date);
    }
    return true;
}

QList<TestCrashRecovery::Scenario> TestCrashRecovery::scenarios()
{
    QList<Scenario> list;
    for (int mode = 0; mode <= 2; ++mode) {
        const QString m = QStringLiteral(" mode %1").arg(mode);
        list << Scenario { QStringLiteral("rename") + m, mode, {}, false };
        // File systems that refuse the no-replace flag (network shares): link and unlink.
        list << Scenario { QStringLiteral("link fallback") + m, mode, "call=renameat2,errno=EINVAL",
            false };
        list << Scenario { QStringLiteral("rename fallback") + m, mode,
            "call=renameat2,errno=ENOSYS|call=link,errno=EPERM", false };
        list << Scenario { QStringLiteral("cross-fs copy") + m, mode, {}, true };
    }
    return list;
}

void TestCrashRecovery::killAtCall_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<QList<int>>("points");

    // scenarios(): 4 per mode (rename, link fallback, rename fallback, cross-fs).
    QTest::newRow("pass 1 and 2, mode 0")
        << 0 << QByteArray("renameat2") << QList<int> { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    QTest::newRow("pass 1 and 2, mode 1") << 4 << QByteArray("renameat2") << QList<int> { 3, 6, 9 };
    QTest::newRow("pass 1 and 2, mode 2") << 8 << QByteArray("renameat2") << QList<int> { 2, 8 };
    QTest::newRow("link fallback, link") << 1 << QByteArray("link") << QList<int> { 2, 9 };
    QTest::newRow("link fallback, unlink") << 5 << QByteArray("unlink") << QList<int> { 1, 4, 10 };
    QTest::newRow("rename fallback") << 2 << QByteArray("rename") << QList<int> { 3, 10 };
    QTest::newRow("cross-fs copy, write")
        << 7 << QByteArray("write,path=.quilm-partial-") << QList<int> { 1, 2, 3, 5, 7, 9 };
    QTest::newRow("cross-fs copy, fsync")
        << 3 << QByteArray("fsync,path=.quilm-partial-") << QList<int> { 2 };
    QTest::newRow("cross-fs copy, put in place")
        << 11 << QByteArray("renameat2,path=.quilm-partial-") << QList<int> { 1, 5 };
    QTest::newRow("cross-fs copy, source removal")
        << 7 << QByteArray("unlink") << QList<int> { 1, 4 };
}

void TestCrashRecovery::killAtCall()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, call);
    QFETCH(QList<int>, points);
    const Scenario s = scenarios().at(scenario);
    for (const int n : points) {
        const Outcome outcome = killAndRecover(s, { atCall(call, n) });
        QVERIFY2(outcome.kills == 1, qPrintable(s.name + " never reached " + atCall(call, n).rule));
        QVERIFY2(outcome.problems.isEmpty(),
            qPrintable(s.name + ", " + atCall(call, n).rule + ":\n" + outcome.problems));
        // A copy cut off mid-write stays as a partial copy, under no photo's name,
        // until the next run clears it.
        if (call.startsWith("write"))
            QCOMPARE(outcome.partials, 1);
    }
}

// Also kills the run that recovers from the first kill.
void TestCrashRecovery::randomTimedKills()
{
    const QList<Scenario> all = scenarios();
    int started = 0;
    int struck = 0;
    for (int i = 0; i < 6; ++i) {
        const Scenario &s = all.at(i % 4 == 3 ? 3 : i % 4 * 4); // modes 0 to 2, cross-fs
        QList<Kill> kills { randomKill(s) };
        if (i % 2)
            kills << randomKill(s);
        const Outcome outcome = killAndRecover(s, kills);
        QVERIFY2(outcome.problems.isEmpty(), qPrintable(s.name + ":\n" + outcome.problems));
        started += kills.size();
        struck += outcome.kills;
    }
    qInfo("%d of %d random kills struck before the sort ended", struck, started);
}

// What a cut move leaves, made by hand with the journal the cut run would have
// left: the next run keeps one of the two, and only when the journal names the
// pair and they are one file, or one photo copied across file systems.
void TestCrashRecovery::cutMoveIsFinished_data()
{
    QTest::addColumn<QString>("leftover"); // how the second one was made
    QTest::addColumn<bool>("otherFs");
    QTest::addColumn<bool>("journaled"); // a journal names the move
    QTest::addColumn<bool>("finished"); // the next run keeps only one

    QTest::newRow("pass 1: a second name in the output") << "link" << false << true << true;
    QTest::newRow("pass 1: a second name the user made") << "link" << false << false << false;
    QTest::newRow("pass 1: a complete copy on another file system")
        << "copy" << true << true << true;
    QTest::newRow("pass 1: a copy on another file system, no journal")
        << "copy" << true << false << false;
    QTest::newRow("pass 1: equal bytes on one file system") << "copy" << false << true << false;
    QTest::newRow("pass 1: another photo of the same second") << "other" << true << true << false;
    QTest::newRow("pass 2: a second name beside the final name")
        << "final" << false << true << true;
    QTest::newRow("pass 2: two names the user made") << "final" << false << false << false;
}

void TestCrashRecovery::cutMoveIsFinished()
{
    QFETCH(QString, leftover);
    QFETCH(bool, otherFs);
    QFETCH(bool, journaled);
    QFETCH(bool, finished);
    if (otherFs && !m_otherFs)
        QSKIP("no second file system at /dev/shm");
    QTemporaryDir root;
    QTemporaryDir shm(QStringLiteral("/dev/shm/quilm-cut-XXXXXX"));
    const QString input = (otherFs ? shm.path() : root.path()) + "/in";
    const QString output = root.filePath("out");
    QVERIFY(QDir().mkpath(input) && QDir().mkpath(output));
    const QString photo = input + "/a.JPG";
    QVERIFY(TestImages::makeImage(photo, "Canon", "2014:12:31 23:34:45"));
    const QString temporary = output + '/'
        + temporaryName(QDateTime(QDate(2014, 12, 31), QTime(23, 34, 45)), 7) + ".JPG";
    FHJournalStore::File moved;
    moved.source = photo;
    moved.temporary = temporary;
    moved.identity = FHFileIdentity::of(FHFolderTree::strict(), photo);
    int error = 0;
    moved.identity.edgeHash
        = FHFileIdentities::edgeHash(FHFolder::open(input, &error), QStringLiteral("a.JPG"));
    if (leftover == "link")
        QCOMPARE(::link(QFile::encodeName(photo), QFile::encodeName(temporary)), 0);
    else if (leftover == "copy")
        QVERIFY(QFile::copy(photo, temporary));
    else if (leftover == "other")
        QVERIFY(TestImages::makeImage(temporary, "Canon", "2014:12:31 23:34:45"));
    else {
        QVERIFY(QFile::rename(photo, output + "/001.JPG"));
        QCOMPARE(::link(QFile::encodeName(output + "/001.JPG"), QFile::encodeName(temporary)), 0);
    }
    FHJournal journal; // the run cut short, as it was when it died
    if (journaled) {
        QVERIFY(journal.begin("sort",
            { { "input", input }, { "output", output }, { "folders", 0 },
                { "pattern", "${NUM}" } }));
        journal.add(FHJournal::fileRecord(moved));
        if (leftover == "final")
            journal.add(FHJournal::namedRecord(temporary, output + "/001.JPG", 1));
        QVERIFY(journal.write());
    }
    Invariant invariant(input, output);
    invariant.record();

    SortRunner r;
    r.options.inputDir = input;
    r.options.outputDir = output;
    const ReportWatch watch;
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(TestImages::filesUnder(input), QStringList());
    const QStringList both { "001.JPG", "002.JPG" };
    QCOMPARE(TestImages::filesUnder(output), finished ? QStringList { "001.JPG" } : both);
    if (leftover != "other")
        QCOMPARE(TestImages::contentsUnder({ output }).size(), 1);
    const bool reported = finished && leftover != "final";
    QCOMPARE(checkReported(watch.take({}), photo, {}).isEmpty(), reported);
    if (reported)
        QVERIFY(watch.take({}).log.contains("Finished the interrupted move of '" + photo));
}

void TestCrashRecovery::campaign()
{
    const int randomKills = qEnvironmentVariableIntValue("QUILM_CRASH_CAMPAIGN");
    if (randomKills <= 0)
        QSKIP("set QUILM_CRASH_CAMPAIGN=N to try every call point and N random kills");
    QVERIFY(addPhotos(m_library.filePath("large"), 18));
    m_photos = m_library.filePath("large");
    m_sortUs.clear();
    int tried = 0;
    int survived = 0;
    int partials = 0;
    QStringList failures;
    const auto tally = [&](const QString &what, const Outcome &outcome) {
        tried += outcome.kills;
        partials += outcome.partials;
        if (outcome.problems.isEmpty())
            survived += outcome.kills;
        else
            failures << what + QLatin1String(":\n") + outcome.problems;
    };

    const QList<QByteArray> calls { "renameat2", "rename", "link", "unlink",
        "write,path=.quilm-partial-", "fsync,path=.quilm-partial-", "close,path=.quilm-partial-" };
    for (const Scenario &s : scenarios()) {
        const int before = tried;
        for (const QByteArray &call : calls) {
            for (int n = 1;; ++n) {
                const Outcome outcome = killAndRecover(s, { atCall(call, n) });
                if (outcome.kills == 0)
                    break;
                tally(s.name + QLatin1String(", ") + QString::fromLatin1(atCall(call, n).rule),
                    outcome);
            }
        }
        qInfo("%s: %d call points; kills survived so far: %d of %d", qPrintable(s.name),
            tried - before, survived, tried);
    }
    const int deterministic = tried;

    // Random kills, every third one followed by a kill of the recovering run.
    const QList<Scenario> all = scenarios();
    int started = 0;
    for (int i = 0; i < randomKills; ++i) {
        const Scenario &s = all.at(int(QRandomGenerator::global()->bounded(all.size())));
        QList<Kill> kills { randomKill(s) };
        if (i % 3 == 2)
            kills << randomKill(s);
        started += kills.size();
        tally(s.name + QLatin1String(", random kills"), killAndRecover(s, kills));
        if ((i + 1) % 500 == 0)
            qInfo("%d random runs; kills survived so far: %d of %d", i + 1, survived, tried);
    }
    qInfo("kills tried: %d (%d at call points, %d random that struck of %d)", tried, deterministic,
        tried - deterministic, started);
    qInfo("kills survived with nothing lost: %d; partial copies left and removed: %d", survived,
        partials);
    if (!failures.isEmpty())
        QFAIL(qPrintable(
            QStringLiteral("%1 failed, first:\n%2").arg(failures.size()).arg(failures.first())));
}

TestCrashRecovery::Kill TestCrashRecovery::atCall(const QByteArray &call, int n)
{
    return { "call=" + call + ",action=kill,skip=" + QByteArray::number(n - 1), -1 };
}

TestCrashRecovery::Kill TestCrashRecovery::randomKill(const Scenario &s)
{
    if (!m_sortUs.contains(s.name)) {
        // A whole sort, to learn how long it takes.
        QTemporaryDir root;
        SortDriver driver = setUp(s, root);
        driver.run();
        m_sortUs.insert(s.name, driver.sortUs);
    }
    return { {}, QRandomGenerator::global()->bounded(int(m_sortUs.value(s.name)) + 1) };
}

SortDriver TestCrashRecovery::setUp(const Scenario &s, const QTemporaryDir &root)
{
    SortDriver driver;
    driver.options.inputDir = root.filePath("in");
    if (s.crossFs && m_otherFs) {
        m_shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/quilm-crash-XXXXXX"));
        driver.options.inputDir = m_shm->filePath("in");
    }
    driver.options.outputDir = root.filePath("out");
    driver.workDir = root.filePath("work");
    driver.options.folders = FHFolderMode(s.mode);
    driver.faults = s.faults;
    if (s.crossFs && !m_otherFs)
        driver.faults
            += "|call=renameat2,errno=EXDEV,path=" + QFile::encodeName(driver.options.inputDir);

    QDir().mkpath(driver.options.inputDir);
    QDir().mkpath(driver.workDir);
    for (const QString &name : TestImages::filesUnder(m_photos))
        QFile::copy(m_photos + '/' + name, driver.options.inputDir + '/' + name);
    const QString earlierFolder = driver.options.outputDir + '/'
        + folderFor(s.mode, m_captured.value(Invariant::hashOf(m_earlier)));
    QDir().mkpath(earlierFolder);
    QFile::copy(m_earlier, earlierFolder + "/001.JPG");
    QFile notes(driver.options.outputDir + "/notes.txt");
    if (notes.open(QIODevice::WriteOnly))
        notes.write("not a photo\n");
    return driver;
}

TestCrashRecovery::Outcome TestCrashRecovery::killAndRecover(
    const Scenario &s, const QList<Kill> &kills)
{
    Outcome outcome;
    QTemporaryDir root;
    SortDriver driver = setUp(s, root);
    const QByteArray faults = driver.faults;
    Invariant invariant(driver.options.inputDir, driver.options.outputDir);
    invariant.record();

    QStringList problems;
    for (const Kill &kill : kills) {
        driver.faults = kill.rule.isEmpty() ? faults : faults + '|' + kill.rule;
        driver.killAfterUs = kill.afterUs;
        const SortDriver::Outcome result = driver.run();
        if (result == SortDriver::Failed)
            problems << QStringLiteral("a killed run failed: ") + driver.failure;
        if (result == SortDriver::Finished && !driver.report.boxes.isEmpty())
            problems << QStringLiteral("a run showed: ") + driver.report.boxes.join(" | ");
        if (result == SortDriver::Killed) {
            ++outcome.kills;
            if (driver.signal != SIGKILL)
                problems << QStringLiteral("ended by signal %1").arg(driver.signal);
        }
        if (const QString broken = invariant.check(outcome.kills); !broken.isEmpty())
            problems << QStringLiteral("after a kill:\n") + broken;
        outcome.partials += !partialsUnder(driver.options.outputDir).isEmpty();
    }

    driver.faults = faults;
    driver.killAfterUs = -1;
    if (driver.run() != SortDriver::Finished)
        problems << QStringLiteral("the last run failed: ") + driver.failure;
    else if (!driver.report.boxes.isEmpty())
        problems << QStringLiteral("the last run showed: ") + driver.report.boxes.join(" | ");
    if (const QString broken = invariant.check(); !broken.isEmpty())
        problems << QStringLiteral("after the last run:\n") + broken;
    if (const QString wrong = finalState(driver.options.inputDir, driver.options.outputDir, s.mode);
        !wrong.isEmpty())
        problems << wrong;
    outcome.problems = problems.join('\n');
    m_shm.reset();
    return outcome;
}

// Every photo in the folder of its capture date, under a final name; numbers
// 1, 2, 3, ... in each folder, ascending with capture time; nothing else left.
QString TestCrashRecovery::finalState(const QString &input, const QString &output, int mode) const
{
    QStringList problems;
    const QStringList left = TestImages::filesUnder(input);
    if (!left.isEmpty())
        problems << QStringLiteral("left in the input: ") + left.join(", ");
    QMap<QString, QMap<int, QDateTime>> folders; // folder -> number -> capture time
    for (const QString &name : TestImages::filesUnder(output)) {
        const QFileInfo info(output + '/' + name);
        if (name == QLatin1String("notes.txt"))
            continue;
        if (info.fileName().startsWith(QLatin1String(FHSafeMove::PartialPrefix))) {
            problems << QStringLiteral("partial copy left: ") + name;
            continue;
        }
        if (temporaryNamePattern().match(info.baseName()).hasMatch()) {
            problems << QStringLiteral("temporary name left: ") + name;
            continue;
        }
        bool numbered = false;
        const int number = info.baseName().toInt(&numbered);
        const QDateTime captured = m_captured.value(Invariant::hashOf(info.filePath()));
        if (!numbered || !captured.isValid()) {
            problems << QStringLiteral("stray file: ") + name;
            continue;
        }
        const QString folder = QFileInfo(name).path();
        const QString expected = folderFor(mode, captured);
        if (folder != (expected.isEmpty() ? QStringLiteral(".") : expected))
            problems << QStringLiteral("in the wrong folder: ") + name;
        if (folders[folder].contains(number))
            problems << QStringLiteral("number given twice: ") + name;
        folders[folder].insert(number, captured);
    }
    for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
        const QList<int> numbers = it.value().keys();
        const QList<QDateTime> times = it.value().values();
        for (int i = 0; i < numbers.size(); ++i) {
            if (numbers.at(i) != i + 1)
                problems << QStringLiteral("%1: numbers %2 are not 1 to %3")
                                .arg(it.key())
                                .arg(QString::number(numbers.first()) + "..."
                                    + QString::number(numbers.last()))
                                .arg(numbers.size());
            if (i > 0 && times.at(i) < times.at(i - 1))
                problems << QStringLiteral("%1: number %2 was taken before number %3")
                                .arg(it.key())
                                .arg(numbers.at(i))
                                .arg(numbers.at(i - 1));
        }
    }
    return problems.join('\n');
}

QString TestCrashRecovery::folderFor(int mode, const QDateTime &date)
{
    if (mode == 1)
        return date.toString(QStringLiteral("yyyy-MM"));
    if (mode == 2)
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    return QString();
}

QStringList TestCrashRecovery::partialsUnder(const QString &folder)
{
    QStringList found;
    for (const QString &name : TestImages::filesUnder(folder)) {
        if (QFileInfo(name).fileName().startsWith(QLatin1String(FHSafeMove::PartialPrefix)))
            found << name;
    }
    return found;
}

QUILM_TEST_MAIN(TestCrashRecovery)

#include "tst_crashrecovery.moc"
