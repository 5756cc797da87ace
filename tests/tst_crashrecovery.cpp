#include "FHNaming.h"
#include "FHSafeMove.h"
#include "FHexiv2Application.h"
#include "Invariant.h"
#include "SortDriver.h"
#include "TestImages.h"
#include "TestSupport.h"

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
    struct Outcome
    {
        bool killed = false;
        bool leftPartial = false;
        QString problems;
    };

    static QList<Scenario> scenarios();
    Outcome killAndRecover(const Scenario &s, const QByteArray &kill, int killAfterMs);
    QString finalState(const QString &input, const QString &output, int mode) const;
    static QString folderFor(int mode, const QDateTime &date);
    static QStringList partialsUnder(const QString &folder);

    QTemporaryDir m_library;
    QHash<QByteArray, QDateTime> m_captured; // content -> capture time
    QString m_earlier;                       // a photo sorted by an earlier run
    bool m_otherFs = false;                  // /dev/shm is another file system
};

void TestCrashRecovery::initTestCase()
{
    QVERIFY(m_library.isValid());
    // Two share a second; two are big enough to take several writes to copy.
    const struct
    {
        const char *name;
        const char *date;
        int padTo;
    } photos[] = { { "a.JPG", "2014:12:31 23:34:45", 300 * 1024 },
        { "b.PNG", "2014:12:31 23:34:45", 0 }, { "c.jpg", "2015:01:02 08:00:00", 0 },
        { "d.JPEG", "2014:12:31 10:00:00", 0 }, { "e.JPG", "2015:01:02 07:59:59", 600 * 1024 },
        { "f.PNG", "2014:12:30 12:00:00", 0 }, { "earlier.JPG", "2014:12:30 09:00:00", 0 } };
    QDir().mkpath(m_library.filePath("in"));
    for (const auto &photo : photos) {
        const bool earlier = qstrcmp(photo.name, "earlier.JPG") == 0;
        const QString path = earlier ? m_library.filePath(photo.name)
                                     : m_library.filePath(QStringLiteral("in/") + photo.name);
        QVERIFY(TestImages::makeImage(path, "Canon", photo.date));
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        if (file.size() < photo.padTo)
            file.write(QByteArray(int(photo.padTo - file.size()), '\x5a')); // after the image's end
        file.close();
        m_captured.insert(Invariant::hashOf(path),
            QDateTime::fromString(photo.date, QStringLiteral("yyyy:MM:dd hh:mm:ss")));
        if (earlier)
            m_earlier = path;
    }
    struct stat shm, here;
    m_otherFs = ::stat("/dev/shm", &shm) == 0
        && ::stat(QFile::encodeName(m_library.path()).constData(), &here) == 0
        && shm.st_dev != here.st_dev;
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
    QTest::newRow("pass 1 and 2, mode 0") << 0 << QByteArray("renameat2")
                                          << QList<int> { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    QTest::newRow("pass 1 and 2, mode 1") << 4 << QByteArray("renameat2") << QList<int> { 3, 6, 9 };
    QTest::newRow("pass 1 and 2, mode 2") << 8 << QByteArray("renameat2") << QList<int> { 2, 8 };
    QTest::newRow("link fallback, link") << 1 << QByteArray("link") << QList<int> { 2, 9 };
    QTest::newRow("link fallback, unlink") << 5 << QByteArray("unlink") << QList<int> { 1, 4, 10 };
    QTest::newRow("rename fallback") << 2 << QByteArray("rename") << QList<int> { 3, 10 };
    QTest::newRow("cross-fs copy, write") << 7 << QByteArray("write,path=.quilm-partial-")
                                          << QList<int> { 1, 2, 3, 5, 7, 9 };
    QTest::newRow("cross-fs copy, fsync") << 3 << QByteArray("fsync,path=.quilm-partial-")
                                          << QList<int> { 2 };
    QTest::newRow("cross-fs copy, put in place")
        << 11 << QByteArray("renameat2,path=.quilm-partial-") << QList<int> { 1, 5 };
    QTest::newRow("cross-fs copy, source removal") << 7 << QByteArray("unlink") << QList<int> { 1, 4 };
}

void TestCrashRecovery::killAtCall()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, call);
    QFETCH(QList<int>, points);
    const Scenario s = scenarios().at(scenario);
    for (const int n : points) {
        const QByteArray kill
            = "call=" + call + ",action=kill,skip=" + QByteArray::number(n - 1);
        const Outcome outcome = killAndRecover(s, kill, -1);
        QVERIFY2(outcome.killed, qPrintable(s.name + " never reached " + kill));
        QVERIFY2(outcome.problems.isEmpty(), qPrintable(s.name + ", " + kill + ":\n" + outcome.problems));
    }
}

void TestCrashRecovery::randomTimedKills()
{
    const QList<Scenario> all = scenarios();
    int killed = 0;
    for (int i = 0; i < 6; ++i) {
        const Scenario &s = all.at(i % 2 == 0 ? 4 * (i / 2) : 4 * (i / 2) + 3);
        const Outcome outcome
            = killAndRecover(s, {}, int(QRandomGenerator::global()->bounded(40)));
        QVERIFY2(outcome.problems.isEmpty(), qPrintable(s.name + ":\n" + outcome.problems));
        killed += outcome.killed;
    }
    qInfo("%d of 6 random kills struck before the sort ended", killed);
}

void TestCrashRecovery::campaign()
{
    const int randomKills = qEnvironmentVariableIntValue("QUILM_CRASH_CAMPAIGN");
    if (randomKills <= 0)
        QSKIP("set QUILM_CRASH_CAMPAIGN=N to try every call point and N random kills");
    int tried = 0;
    int survived = 0;
    int partials = 0;
    QStringList failures;
    const auto tally = [&](const QString &what, const Outcome &outcome) {
        if (!outcome.killed)
            return;
        ++tried;
        partials += outcome.leftPartial;
        if (outcome.problems.isEmpty())
            ++survived;
        else
            failures << what + QLatin1String(":\n") + outcome.problems;
    };

    const QList<QByteArray> calls { "renameat2", "rename", "link", "unlink",
        "write,path=.quilm-partial-", "fsync,path=.quilm-partial-", "close,path=.quilm-partial-" };
    for (const Scenario &s : scenarios()) {
        int points = 0;
        for (const QByteArray &call : calls) {
            for (int n = 1;; ++n) {
                const QByteArray kill
                    = "call=" + call + ",action=kill,skip=" + QByteArray::number(n - 1);
                const Outcome outcome = killAndRecover(s, kill, -1);
                if (!outcome.killed)
                    break;
                ++points;
                tally(s.name + QLatin1String(", ") + QString::fromLatin1(kill), outcome);
            }
        }
        qInfo("%s: %d call points", qPrintable(s.name), points);
    }
    const int deterministic = tried;

    const QList<Scenario> all = scenarios();
    for (int i = 0; i < randomKills; ++i) {
        const Scenario &s = all.at(int(QRandomGenerator::global()->bounded(all.size())));
        const int delay = int(QRandomGenerator::global()->bounded(60));
        tally(QStringLiteral("%1, killed after %2 ms").arg(s.name).arg(delay),
            killAndRecover(s, {}, delay));
    }
    qInfo("kills tried: %d (%d at call points, %d random of %d started)", tried, deterministic,
        tried - deterministic, randomKills);
    qInfo("kills survived with nothing lost: %d; partial copies left and removed: %d", survived,
        partials);
    QVERIFY2(failures.isEmpty(),
        qPrintable(QStringLiteral("%1 failed, first:\n%2").arg(failures.size()).arg(failures.first())));
}

TestCrashRecovery::Outcome TestCrashRecovery::killAndRecover(
    const Scenario &s, const QByteArray &kill, int killAfterMs)
{
    Outcome outcome;
    QTemporaryDir root;
    std::unique_ptr<QTemporaryDir> shm;
    QString input = root.filePath("in");
    if (s.crossFs && m_otherFs) {
        shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/quilm-crash-XXXXXX"));
        input = shm->filePath("in");
    }
    const QString output = root.filePath("out");
    const QString work = root.filePath("work");
    QDir().mkpath(input);
    QDir().mkpath(work);
    for (const QString &name : TestImages::filesUnder(m_library.filePath("in")))
        QFile::copy(m_library.filePath("in/" + name), input + '/' + name);
    const QString earlierFolder = output + '/'
        + folderFor(s.mode, QDateTime::fromString("2014:12:30 09:00:00", "yyyy:MM:dd hh:mm:ss"));
    QDir().mkpath(earlierFolder);
    QFile::copy(m_earlier, earlierFolder + "/001.JPG");
    QFile notes(output + "/notes.txt");
    notes.open(QIODevice::WriteOnly);
    notes.write("not a photo\n");
    notes.close();

    QByteArray faults = s.faults;
    if (s.crossFs && !m_otherFs)
        faults += "|call=renameat2,errno=EXDEV,path=" + QFile::encodeName(input);
    Invariant invariant(input, output);
    invariant.record();

    SortDriver driver;
    driver.input = input;
    driver.output = output;
    driver.mode = s.mode;
    driver.workDir = work;
    driver.faults = kill.isEmpty() ? faults : faults + '|' + kill;
    driver.killAfterMs = killAfterMs;
    const SortDriver::Outcome first = driver.run();
    QStringList problems;
    if (first == SortDriver::Failed)
        problems << QStringLiteral("the killed run failed: ") + driver.failure;
    outcome.killed = first == SortDriver::Killed;
    if (outcome.killed && driver.signal != SIGKILL)
        problems << QStringLiteral("ended by signal %1").arg(driver.signal);
    if (!outcome.killed && first == SortDriver::Finished && !driver.report.boxes.isEmpty())
        problems << QStringLiteral("boxes: ") + driver.report.boxes.join(" | ");
    if (const QString broken = invariant.check(Invariant::OneCut); !broken.isEmpty())
        problems << QStringLiteral("after the kill:\n") + broken;
    outcome.leftPartial = !partialsUnder(output).isEmpty();

    driver.faults = faults;
    driver.killAfterMs = -1;
    if (driver.run() != SortDriver::Finished)
        problems << QStringLiteral("the second run failed: ") + driver.failure;
    else if (!driver.report.boxes.isEmpty())
        problems << QStringLiteral("the second run showed: ") + driver.report.boxes.join(" | ");
    if (const QString broken = invariant.check(); !broken.isEmpty())
        problems << QStringLiteral("after the second run:\n") + broken;
    if (const QString wrong = finalState(input, output, s.mode); !wrong.isEmpty())
        problems << wrong;
    outcome.problems = problems.join('\n');
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

int main(int argc, char **argv)
{
    FHexiv2Application app(argc, argv);
    TestCrashRecovery test;
    return runTestObject(&test, argc, argv);
}

#include "tst_crashrecovery.moc"
