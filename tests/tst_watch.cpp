#include "EngineTest.h"
#include "Invariant.h"
#include "SortCommand.h"
#include "SortDriver.h"
#include "TestImages.h"
#include "cli/FHSettle.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <thread>

namespace {

bool g_ownMounts = false; // root, in a mount namespace of the test's own

// quilm-sort --watch --json as a process, and the events it has printed.
class Watch
{
public:
    // faults: rules for the fault shim (see faultshim.cpp), if any.
    explicit Watch(const QStringList &arguments, const QByteArray &faults = {})
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (!faults.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QUILM_FAULTSHIM));
            env.insert(QStringLiteral("QUILM_FAULTS"), QString::fromLatin1(faults));
            m_process.setProcessEnvironment(env);
        }
        m_process.start(QStringLiteral(QUILM_SORTCOMMAND),
            QStringList { QStringLiteral("--watch"), QStringLiteral("--json") } + arguments);
    }
    ~Watch()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Until an event satisfies the test (from the one after `from`), or ms pass.
    int waitFor(const std::function<bool(const QJsonObject &)> &test, int ms = 30000, int from = 0)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            read();
            for (int i = from; i < events.size(); ++i) {
                if (test(events.at(i)))
                    return i;
            }
            if (timer.elapsed() > ms || m_process.state() == QProcess::NotRunning)
                return -1;
            m_process.waitForReadyRead(100);
        }
    }
    int batchEnd(int from = 0, int ms = 30000)
    {
        return waitFor([](const QJsonObject &e) { return isBatch(e, "end"); }, ms, from);
    }
    int report(const QString &text, int ms = 30000)
    {
        return waitFor(
            [&text](const QJsonObject &e) {
                return e.value("event") == "report" && e.value("text").toString().contains(text);
            },
            ms);
    }
    // SIGTERM; the exit code, -1 when it did not end by itself.
    int stop()
    {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(30000))
            return -1;
        read();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    qint64 pid() const { return m_process.processId(); }
    int count(const char *event, const char *state = nullptr) const
    {
        return int(std::count_if(events.cbegin(), events.cend(), [&](const QJsonObject &e) {
            return e.value("event") == event && (!state || e.value("state") == state);
        }));
    }
    static bool isBatch(const QJsonObject &e, const char *state)
    {
        return e.value("event") == "batch" && e.value("state") == state;
    }

    QList<QJsonObject> events;

private:
    void read()
    {
        m_buffer += m_process.readAllStandardOutput();
        int end;
        while ((end = m_buffer.indexOf('\n')) >= 0) {
            events << QJsonDocument::fromJson(m_buffer.left(end)).object();
            m_buffer.remove(0, end + 1);
        }
    }

    QProcess m_process;
    QByteArray m_buffer;
};

// n photos with distinct capture times, one second apart from `first`.
QStringList makePhotos(const QString &folder, int n, int first = 0)
{
    QDir().mkpath(folder);
    QStringList paths;
    const QDateTime start(QDate(2020, 1, 1), QTime(0, 0));
    for (int i = 0; i < n; ++i) {
        const QString path
            = QStringLiteral("%1/IMG_%2.JPG").arg(folder).arg(first + i, 5, 10, QChar('0'));
        if (!TestImages::makeImage(path, QStringLiteral("Canon"),
                start.addSecs(first + i).toString(QStringLiteral("yyyy:MM:dd HH:mm:ss"))))
            return {};
        paths << path;
    }
    return paths;
}

// Moves every file of one folder into another, as a sync tool drops them.
void dropAll(const QString &from, const QString &to)
{
    for (const QString &name : QDir(from).entryList(QDir::Files))
        QFile::rename(from + '/' + name, to + '/' + name);
}

// The names below the output, "" when they are 001, 002, ... n with no gap;
// else what is wrong.
QString numbersProblem(const QString &output, int n)
{
    const QStringList names = TestImages::filesUnder(output).filter(QRegularExpression("^[^.]"));
    QStringList expected;
    for (int i = 1; i <= n; ++i)
        expected << QStringLiteral("%1.JPG").arg(i, 3, 10, QChar('0'));
    expected.sort();
    if (names == expected)
        return QString();
    return QStringLiteral("%1 files, from %2 to %3")
        .arg(names.size())
        .arg(names.value(0), names.value(names.size() - 1));
}

qint64 residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    status.open(QIODevice::ReadOnly);
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+)")).match(status.readAll());
    return match.captured(1).toLongLong();
}

qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    stat.open(QIODevice::ReadOnly);
    const QList<QByteArray> fields = stat.readAll().split(')').value(1).split(' ');
    return fields.value(12).toLongLong() + fields.value(13).toLongLong(); // utime, stime
}

QString mountResult(const QStringList &command)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAllStandardError());
    return QString();
}

} // namespace

class TestWatch : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void partialNames_data();
    void partialNames();
    void settleRules_data();
    void settleRules();

    void slowWrite_data();
    void slowWrite();
    void burstAcrossBatches();
    void partialNameRenamed();
    void pollsFuseMount();
    void foldersComeBack_data();
    void foldersComeBack();
    void stopMidBatch_data();
    void stopMidBatch();
    void windowSortsMeanwhile();
    void soak();

private:
    QScopedPointer<QTemporaryDir> m_dir;
    QString m_in, m_out, m_staging;
};

void TestWatch::init()
{
    m_dir.reset(new QTemporaryDir);
    m_in = m_dir->filePath("in");
    m_out = m_dir->filePath("out");
    m_staging = m_dir->filePath("staging");
    for (const QString &folder : { m_in, m_staging })
        QDir().mkpath(folder);
}

void TestWatch::partialNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("partial");
    QTest::newRow("photo") << "IMG_1.JPG" << false;
    QTest::newRow("tilde inside") << "IMG~1.JPG" << false;
    QTest::newRow("part inside") << "IMG.part.JPG" << false;
    QTest::newRow("hidden") << ".IMG_1.JPG" << true;
    QTest::newRow("rsync") << ".IMG_1.JPG.Xa3b9Z" << true;
    QTest::newRow("office") << "~$IMG_1.JPG" << true;
    QTest::newRow("backup") << "IMG_1.JPG~" << true;
    QTest::newRow("part") << "IMG_1.JPG.part" << true;
    QTest::newRow("PART") << "IMG_1.JPG.PART" << true;
    QTest::newRow("partial") << "IMG_1.JPG.partial" << true;
    QTest::newRow("tmp") << "IMG_1.tmp" << true;
    QTest::newRow("crdownload") << "IMG_1.JPG.crdownload" << true;
    QTest::newRow("resilio") << "IMG_1.JPG.!sync" << true;
    QTest::newRow("winscp") << "IMG_1.JPG.filepart" << true;
}

void TestWatch::partialNames()
{
    QFETCH(QString, name);
    QFETCH(bool, partial);
    QCOMPARE(FHSettle::isPartialName(name), partial);
}

// Looks at one file, "size,mtime@ms" or "size,mtime@ms,w" (held open for
// writing), with a settle time of 1000 ms; the state after the last look.
void TestWatch::settleRules_data()
{
    QTest::addColumn<QString>("looks");
    QTest::addColumn<int>("state");
    QTest::newRow("new") << "10,1@0" << int(FHSettle::Changing);
    QTest::newRow("unchanged too short") << "10,1@0 10,1@999" << int(FHSettle::Changing);
    QTest::newRow("unchanged long enough") << "10,1@0 10,1@1000" << int(FHSettle::Settled);
    QTest::newRow("grew") << "10,1@0 20,1@1000" << int(FHSettle::Changing);
    QTest::newRow("same size, new time") << "10,1@0 10,2@1000" << int(FHSettle::Changing);
    QTest::newRow("grew, then still")
        << "10,1@0 20,2@900 20,2@1800 20,2@1900" << int(FHSettle::Settled);
    QTest::newRow("still but open") << "10,1@0 10,1@5000,w" << int(FHSettle::Writing);
    QTest::newRow("closed at last") << "10,1@0 10,1@5000,w 10,1@5100" << int(FHSettle::Settled);
}

void TestWatch::settleRules()
{
    QFETCH(QString, looks);
    QFETCH(int, state);
    FHSettle settle(1000);
    FHSettle::State last = FHSettle::Changing;
    for (const QString &look : looks.split(' ')) {
        const QStringList parts = look.split(QRegularExpression("[,@]"));
        last = settle.see("/in/a.JPG", { parts[0].toLongLong(), parts[1].toLongLong() },
            parts[2].toLongLong(), parts.value(3) == "w");
    }
    QCOMPARE(int(last), state);
    // Once a batch took it, it is not taken again until it changes.
    if (state == FHSettle::Settled) {
        settle.markDone("/in/a.JPG");
        QVERIFY(settle.settled().isEmpty());
        const QStringList parts = looks.split(' ').last().split(QRegularExpression("[,@]"));
        QCOMPARE(settle.see("/in/a.JPG", { parts[0].toLongLong(), parts[1].toLongLong() }, 99999),
            FHSettle::Done);
        QCOMPARE(
            settle.see("/in/a.JPG", { parts[0].toLongLong() + 1, 7 }, 99999), FHSettle::Changing);
    }
}

// A file written in chunks for longer than the settle time is never taken
// before its last byte: pauses shorter than the settle time, or longer ones
// while the writer holds it open.
void TestWatch::slowWrite_data()
{
    QTest::addColumn<bool>("heldOpen");
    QTest::addColumn<int>("chunks");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<QString>("settle");
    QTest::newRow("appended, short pauses") << false << 16 << 250 << "1";
    QTest::newRow("held open, long pauses") << true << 4 << 1200 << "0.5";
}

void TestWatch::slowWrite()
{
    QFETCH(bool, heldOpen);
    QFETCH(int, chunks);
    QFETCH(int, pauseMs);
    QFETCH(QString, settle);
    QVERIFY(makePhotos(m_staging, 1).size() == 1);
    QFile source(m_staging + "/IMG_00000.JPG");
    QVERIFY(source.open(QIODevice::ReadOnly));
    QByteArray bytes = source.readAll();
    bytes.append(QByteArray(200000, 'x')); // after the image's end, as a longer upload has
    const QString path = m_in + "/IMG_1.JPG";
    // Taken before its last byte, the file would be sorted even so: its bytes
    // are dated by the file with --all-images.
    Watch watch({ "--settle", settle, "--all-images", m_in, m_out });
    QVERIFY(watch.report("Watching") >= 0);
    QFile file(path);
    const int size = (bytes.size() + chunks - 1) / chunks;
    for (int i = 0; i < chunks; ++i) {
        if (!file.isOpen())
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
        QCOMPARE(file.write(bytes.mid(i * size, size)), qint64(bytes.mid(i * size, size).size()));
        file.flush();
        if (!heldOpen)
            file.close();
        QTest::qWait(pauseMs);
        QVERIFY2(QFileInfo(path).size() == qMin<qint64>(bytes.size(), (i + 1) * size),
            qPrintable(QStringLiteral("taken after chunk %1 of %2").arg(i + 1).arg(chunks)));
    }
    file.close();
    QVERIFY(watch.batchEnd() >= 0);
    QCOMPARE(watch.stop(), 0);
    QCOMPARE(TestImages::filesUnder(m_in), QStringList());
    QFile sorted(m_out + "/001.JPG");
    QVERIFY(sorted.open(QIODevice::ReadOnly));
    QVERIFY(sorted.readAll() == bytes);
}

// 2,000 photos dropped at once, 500 more while the first batch runs: all
// sorted, numbered on across the batches.
void TestWatch::burstAcrossBatches()
{
    QVERIFY(makePhotos(m_staging, 2000).size() == 2000);
    const QString more = m_dir->filePath("more");
    QVERIFY(makePhotos(more, 500, 2000).size() == 500);
    const TestImages::Contents before = TestImages::contentsUnder({ m_staging, more });
    Watch watch({ "--settle", "0.5", m_in, m_out });
    QVERIFY(watch.report("Watching") >= 0);
    dropAll(m_staging, m_in);
    QVERIFY(watch.waitFor([](const QJsonObject &e) { return Watch::isBatch(e, "start"); }) >= 0);
    dropAll(more, m_in);
    for (int from = 0, moved = 0; moved < 2500;) {
        from = watch.batchEnd(from, 60000);
        QVERIFY2(from >= 0, qPrintable(QStringLiteral("%1 of 2,500 sorted").arg(moved)));
        moved += watch.events.at(from++).value("moved").toInt();
    }
    QCOMPARE(watch.stop(), 0);
    QVERIFY(watch.count("batch", "end") >= 2);
    QCOMPARE(numbersProblem(m_out, 2500), QString());
    QCOMPARE(TestImages::checkEachContentOnce(before, { m_in, m_out }), QString());
}

// Names that writers give a file until it is whole are never taken; once
// renamed to a photo's name, the file is taken after it has settled.
void TestWatch::partialNameRenamed()
{
    QVERIFY(makePhotos(m_staging, 3).size() == 3);
    const QStringList partial { ".IMG_1.JPG", "~$IMG_2.JPG", "IMG_3.JPG.part" };
    for (int i = 0; i < 3; ++i)
        QVERIFY(
            QFile::rename(QStringLiteral("%1/IMG_%2.JPG").arg(m_staging).arg(i, 5, 10, QChar('0')),
                m_in + '/' + partial[i]));
    Watch watch({ "--settle", "0.5", m_in, m_out });
    QVERIFY(watch.report("Watching") >= 0);
    QTest::qWait(2000);
    QCOMPARE(watch.count("batch", "start"), 0);
    QElapsedTimer sinceRename;
    QVERIFY(QFile::rename(m_in + "/IMG_3.JPG.part", m_in + "/IMG_3.JPG"));
    sinceRename.start();
    QVERIFY(watch.waitFor([](const QJsonObject &e) { return Watch::isBatch(e, "start"); }) >= 0);
    QVERIFY2(sinceRename.elapsed() >= 450, qPrintable(QString::number(sinceRename.elapsed())));
    const int end = watch.batchEnd();
    QVERIFY(end >= 0);
    QCOMPARE(watch.events.at(end).value("moved").toInt(), 1);
    QCOMPARE(watch.stop(), 0);
    QCOMPARE(TestImages::filesUnder(m_out), QStringList { "001.JPG" });
    QCOMPARE(TestImages::filesUnder(m_in), QStringList({ ".IMG_1.JPG", "~$IMG_2.JPG" }));
}

// On FUSE (bindfs over a folder), files written into the folder underneath
// are never announced: the watch polls.
void TestWatch::pollsFuseMount()
{
    if (!g_ownMounts || QStandardPaths::findExecutable("bindfs").isEmpty())
        QSKIP("needs root, a mount namespace and bindfs");
    const QString lower = m_dir->filePath("lower");
    QDir().mkpath(lower);
    const QString problem = mountResult({ "bindfs", lower, m_in });
    if (!problem.isEmpty())
        QSKIP(qPrintable("bindfs cannot mount here: " + problem));
    const auto unmount
        = qScopeGuard([this] { ::umount2(QFile::encodeName(m_in).constData(), MNT_DETACH); });
    {
        Watch watch({ m_in, m_out });
        QVERIFY(watch.report("as changes on fuse") >= 0);
        QCOMPARE(watch.stop(), 0);
    }
    Watch watch({ "--poll", "0.5", "--settle", "0.2", m_in, m_out });
    QVERIFY(watch.report("Watching") >= 0);
    QCOMPARE(makePhotos(lower, 3).size(), 3);
    int moved = 0;
    for (int from = 0; moved < 3 && (from = watch.batchEnd(from, 20000)) >= 0; ++from)
        moved += watch.events.at(from).value("moved").toInt();
    QCOMPARE(moved, 3);
    QCOMPARE(watch.stop(), 0);
    QCOMPARE(numbersProblem(m_out, 3), QString());
}

// The input removed and made again, the output unmounted and mounted again:
// told once, waited for, and sorted into once back.
void TestWatch::foldersComeBack_data()
{
    QTest::addColumn<bool>("output");
    QTest::newRow("input removed") << false;
    QTest::newRow("output unmounted") << true;
}

void TestWatch::foldersComeBack()
{
    QFETCH(bool, output);
    if (output && !g_ownMounts)
        QSKIP("needs root and a mount namespace");
    const auto mountOutput = [this] {
        return mountResult({ "mount", "-t", "tmpfs", "-o", "size=64m", "quilm-test", m_out });
    };
    QDir().mkpath(m_out);
    if (output)
        QCOMPARE(mountOutput(), QString());
    const auto unmount = qScopeGuard([&] {
        if (output)
            ::umount2(QFile::encodeName(m_out).constData(), MNT_DETACH);
    });
    QVERIFY(makePhotos(m_staging, 2).size() == 2);
    Watch watch({ "--settle", "0.2", m_in, m_out });
    QVERIFY(watch.report("Watching") >= 0);
    QVERIFY(QFile::rename(m_staging + "/IMG_00000.JPG", m_in + "/IMG_00000.JPG"));
    const int first = watch.batchEnd();
    QVERIFY(first >= 0);
    if (output)
        QCOMPARE(::umount2(QFile::encodeName(m_out).constData(), 0), 0);
    else
        QVERIFY(QDir(m_in).removeRecursively());
    const QString gone = QStringLiteral("folder '%1' is gone").arg(output ? m_out : m_in);
    QVERIFY(watch.report(gone) >= 0);
    if (output) {
        // Nothing is sorted onto the folder the share was mounted on.
        QVERIFY(QFile::rename(m_staging + "/IMG_00001.JPG", m_in + "/IMG_00001.JPG"));
        QTest::qWait(1500);
        QCOMPARE(TestImages::filesUnder(m_out), QStringList());
        QCOMPARE(mountOutput(), QString());
    } else {
        QTest::qWait(1500);
        QVERIFY(QDir().mkpath(m_in));
        QVERIFY(QFile::rename(m_staging + "/IMG_00001.JPG", m_in + "/IMG_00001.JPG"));
    }
    QVERIFY(watch.report("is back") >= 0);
    const int end = watch.batchEnd(first + 1);
    QVERIFY(end >= 0);
    QCOMPARE(watch.events.at(end).value("moved").toInt(), 1);
    QCOMPARE(watch.stop(), 0);
    QCOMPARE(std::count_if(watch.events.cbegin(), watch.events.cend(),
                 [](const QJsonObject &e) { return e.value("text").toString().contains("gone"); }),
        1);
    QCOMPARE(TestImages::filesUnder(m_in), QStringList());
    QVERIFY(TestImages::filesUnder(m_out).contains(output ? "001.JPG" : "002.JPG"));
}

// SIGTERM in the middle of a batch: exit 0, every moved file named, nothing
// under a temporary name; the next watch sorts the rest, numbered on.
// A stop as the batch begins (before its run may have an engine), or while
// the watch stands still before its 100th move (the fault shim stops it there;
// SIGTERM waits until it goes on).
void TestWatch::stopMidBatch_data()
{
    QTest::addColumn<QByteArray>("faults");
    QTest::newRow("as it begins") << QByteArray();
    QTest::newRow("while moving") << QByteArray(
        "call=renameat2,path=/out/,skip=99,count=1,action=stop");
}

void TestWatch::stopMidBatch()
{
    QFETCH(QByteArray, faults);
    QVERIFY(makePhotos(m_in, 600).size() == 600);
    Invariant invariant(m_in, m_out);
    invariant.record();
    {
        Watch watch({ "--settle", "0", m_in, m_out }, faults);
        QVERIFY(
            watch.waitFor([](const QJsonObject &e) { return Watch::isBatch(e, "start"); }) >= 0);
        if (!faults.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(SortCommand::processState(watch.pid()), 'T', 30000);
            ::kill(pid_t(watch.pid()), SIGTERM);
            ::kill(pid_t(watch.pid()), SIGCONT);
        }
        QCOMPARE(watch.stop(), 0);
        const int end = watch.batchEnd(0, 0);
        QVERIFY(end >= 0);
        QCOMPARE(watch.events.at(end).value("outcome").toString(), QString("stopped"));
        QVERIFY(watch.events.at(end).value("moved").toInt() < 600);
    }
    QCOMPARE(invariant.check(), QString());
    static const QRegularExpression temporary("_[0-9a-f]{10}\\.");
    QCOMPARE(TestImages::filesUnder(m_out).filter(temporary), QStringList());
    Watch again({ "--settle", "0", m_in, m_out });
    QVERIFY(again.batchEnd() >= 0);
    QCOMPARE(again.stop(), 0);
    QCOMPARE(numbersProblem(m_out, 600), QString());
    QCOMPARE(invariant.check(), QString());
}

// The window sorts into the output while a watch runs and files arrive for
// it: both finish, nothing is lost, the numbers run on.
void TestWatch::windowSortsMeanwhile()
{
    const QString windowInput = m_dir->filePath("window");
    QVERIFY(makePhotos(windowInput, 400).size() == 400);
    QVERIFY(makePhotos(m_staging, 50, 400).size() == 50);
    const TestImages::Contents before = TestImages::contentsUnder({ windowInput, m_staging });
    Watch watch({ "--settle", "0.2", m_in, m_out });
    QVERIFY(watch.report("Watching") >= 0);
    SortDriver window;
    window.options.inputDir = windowInput;
    window.options.outputDir = m_out;
    window.workDir = m_dir->filePath("work");
    QDir().mkpath(window.workDir);
    std::thread drop([this] {
        QThread::msleep(300);
        dropAll(m_staging, m_in);
    });
    const SortDriver::Outcome outcome = window.run();
    drop.join();
    QCOMPARE(outcome, SortDriver::Finished);
    QCOMPARE(window.moved, 400u);
    int moved = 0;
    for (int from = 0; moved < 50 && (from = watch.batchEnd(from)) >= 0; ++from)
        moved += watch.events.at(from).value("moved").toInt();
    QCOMPARE(moved, 50);
    QCOMPARE(watch.stop(), 0);
    QCOMPARE(numbersProblem(m_out, 450), QString());
    QCOMPARE(TestImages::checkEachContentOnce(before, { windowInput, m_in, m_out }), QString());
    QCOMPARE(TestImages::filesUnder(windowInput) + TestImages::filesUnder(m_in), QStringList());
}

// 100 batches in a row: the watch's memory stays as it was after the 10th,
// and idle on inotify it takes no CPU to speak of.
void TestWatch::soak()
{
    QVERIFY(makePhotos(m_staging, 100).size() == 100);
    const QStringList names = QDir(m_staging).entryList(QDir::Files);
    Watch watch({ "--settle", "0", m_in, m_out });
    QVERIFY(watch.report("Watching") >= 0);
    qint64 afterTenth = 0;
    for (int i = 0, from = 0; i < 100; ++i, ++from) {
        QVERIFY(QFile::rename(m_staging + '/' + names[i], m_in + '/' + names[i]));
        from = watch.batchEnd(from);
        QVERIFY2(from >= 0, qPrintable(QStringLiteral("batch %1").arg(i + 1)));
        if (i == 9)
            afterTenth = residentKb(watch.pid());
    }
    const qint64 afterHundredth = residentKb(watch.pid());
    const qint64 ticks = cpuTicks(watch.pid());
    QTest::qWait(3000);
    const qint64 idleTicks = cpuTicks(watch.pid()) - ticks;
    QCOMPARE(watch.stop(), 0);
    QCOMPARE(watch.count("batch", "end"), 100);
    QCOMPARE(numbersProblem(m_out, 100), QString());
    qInfo("resident: %lld KiB after batch 10, %lld KiB after batch 100; idle: %lld ticks in 3 s",
        afterTenth, afterHundredth, idleTicks);
    // 1 % of 3 s is 3 ticks of 10 ms.
    QVERIFY2(idleTicks <= 3, qPrintable(QString::number(idleTicks)));
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizer's quarantine keeps freed memory: resident size is not compared");
#endif
    QVERIFY2(afterHundredth <= afterTenth * 11 / 10,
        qPrintable(QStringLiteral("%1 KiB after 10, %2 KiB after 100")
                       .arg(afterTenth)
                       .arg(afterHundredth)));
}

int main(int argc, char **argv)
{
    // Before any thread starts: a namespace of our own, where mounts stay private.
    g_ownMounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
        && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return quilmEngineTestMain(argc, argv, [] { return new TestWatch; });
}

#include "tst_watch.moc"
