#include "EngineTest.h"
#include "Invariant.h"
#include "RecordingReporter.h"
#include "SortDriver.h"
#include "TestImages.h"
#include "engine/FHFileTypes.h"
#include "engine/FHIO.h"
#include "engine/FHJournal.h"
#include "engine/FHSortEngine.h"
#include "engine/FHUndo.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Mounts are made in a mount namespace of this process alone, so none outlives it.
bool g_ownMounts = false;

// What an undo did, as "reason path" (path relative to the output) for every
// file it left where it is.
struct Undone
{
    FHUndo::Outcome outcome = FHUndo::Failed;
    quint32 moved = 0;
    QStringList skipped;
    QStringList errors;
};

// A folder's tree on one line, which a failed comparison shows whole.
QString treeText(const QString &folder)
{
    return TestImages::treeOf(folder).join(QStringLiteral(" | "));
}

} // namespace

// An undo puts the input back as it was and leaves the output as it was before
// the run, whatever ended the run: its end, a failure, a kill at any call of a
// move. What the user changed since stays, each file with its reason.
class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void finishedRun_data();
    void finishedRun();
    void faultEndedRun_data();
    void faultEndedRun();
    void killedRun_data();
    void killedRun();
    void randomKills();
    void finishedByNextRun_data();
    void finishedByNextRun();
    void killsRerunsAndUndos_data();
    void killsRerunsAndUndos();
    void journalRemovedMidRun();
    void conflicts_data();
    void conflicts();
    void acrossFileSystems_data();
    void acrossFileSystems();

private:
    struct Scenario
    {
        int mode = 1;
        QByteArray faults; // of the file system, for every run
        bool otherFs = false; // the input on another file system
    };
    static QList<Scenario> scenarios();

    // A folder on another file system than the temporary folders, or empty.
    QString elsewhere();
    // Puts the input on a second file system; false where there is none.
    bool inputElsewhere();
    void mountTmpfs(const QString &path, const QByteArray &options);
    // The photos into `in`; an earlier run's photo and a note into `out`.
    bool setUp(const QString &in, const QString &out, int mode, bool withEarlier = true);
    SortDriver driver(const Scenario &s);
    FHSortEngine::Outcome sort(int mode, bool recursive, quint32 *moved = nullptr);
    Undone undoLast() const;
    // What differs, after an undo, from the trees before the run, one line each.
    QString afterUndo(const QString &in, const QString &out, const QStringList &skipped,
        const Invariant *invariant = nullptr) const;

    QTemporaryDir m_library;
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<QTemporaryDir> m_shm;
    QStringList m_mounts;
    QString m_in;
    QString m_out;
    QHash<QString, qint64> m_sortUs; // a whole sort, by scenario
};

#define REQUIRE_MOUNTS()                                                                           \
    if (!g_ownMounts)                                                                              \
    QSKIP("mounting needs root and a mount namespace of its own")

void TestUndo::initTestCase()
{
    QVERIFY(m_library.isValid());
    const auto photo = [this](const QString &name, const QString &date, int padTo = 0) {
        const QString path = m_library.filePath("photos/" + name);
        QDir().mkpath(QFileInfo(path).path());
        if (!TestImages::makeImage(path, date.isEmpty() ? QString() : "Canon", date))
            return false;
        QFile file(path);
        // Bytes after the picture's end: a copy across file systems takes two
        // writes, and a small file system fills.
        return padTo == 0
            || (file.open(QIODevice::Append)
                && file.write(QByteArray(int(padTo - file.size()), 'z')) > 0);
    };
    const auto text = [this](const QString &name, const QByteArray &content) {
        QFile file(m_library.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    };
    QVERIFY(photo("a.JPG", "2014:12:31 10:00:00"));
    QVERIFY(photo("s.JPG", "2014:12:31 12:00:00"));
    QVERIFY(text("photos/s.xmp", "<x:xmpmeta>s</x:xmpmeta>"));
    QVERIFY(photo("c.jpg", "2015:01:01 09:00:00"));
    QVERIFY(photo("b.JPG", "2015:01:02 08:00:00", 300 * 1024));
    QVERIFY(photo("undated.JPG", QString()));
    QVERIFY(text("photos/notes.txt", "not a photo\n"));
    QVERIFY(photo("sub/d.JPG", "2015:01:01 10:00:00"));
    QVERIFY(photo("sub/deep/IMG_1.CR2", "2014:12:31 14:00:00"));
    QVERIFY(photo("sub/deep/IMG_1.JPG", "2014:12:31 14:00:10"));
    QVERIFY(text("photos/sub/deep/IMG_1.xmp", "<x:xmpmeta>IMG_1</x:xmpmeta>"));
    QVERIFY(photo("../earlier.JPG", "2014:12:30 09:00:00"));
    QVERIFY(photo("../added.JPG", "2014:12:31 09:00:00"));
}

void TestUndo::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_in = m_root->filePath("in");
    m_out = m_root->filePath("out");
    // Each test's runs on their own: the undo takes the newest.
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data->path()));
}

void TestUndo::cleanup()
{
    while (!m_mounts.isEmpty())
        ::umount2(QFile::encodeName(m_mounts.takeLast()).constData(), MNT_DETACH);
    m_shm.reset();
    m_root.reset();
}

QList<TestUndo::Scenario> TestUndo::scenarios()
{
    return { { 1, {}, false }, { 0, {}, false },
        // File systems without the no-replace flag: link and unlink, or a plain rename.
        { 1, "call=renameat2,errno=EINVAL", false },
        { 1, "call=renameat2,errno=ENOSYS|call=link,errno=EPERM", false }, { 2, {}, true } };
}

void TestUndo::mountTmpfs(const QString &path, const QByteArray &options)
{
    QVERIFY(QDir().mkpath(path));
    QVERIFY2(
        ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, options.constData()) == 0,
        std::strerror(errno));
    m_mounts << path;
}

QString TestUndo::elsewhere()
{
    if (g_ownMounts) {
        const QString path = m_root->filePath("elsewhere");
        mountTmpfs(path, "size=16m");
        return m_mounts.contains(path) ? path : QString();
    }
    m_shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/quilm-undo-XXXXXX"));
    struct stat a, b;
    if (!m_shm->isValid() || ::stat(QFile::encodeName(m_shm->path()).constData(), &a) != 0
        || ::stat(QFile::encodeName(m_root->path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
        return QString();
    return m_shm->path();
}

bool TestUndo::inputElsewhere()
{
    m_in = elsewhere();
    if (m_in.isEmpty())
        return false;
    m_in += "/in";
    return true;
}

bool TestUndo::setUp(const QString &in, const QString &out, int mode, bool withEarlier)
{
    const QString photos = m_library.filePath("photos");
    for (const QString &name : TestImages::filesUnder(photos)) {
        QDir().mkpath(QFileInfo(in + '/' + name).path());
        if (!QFile::copy(photos + '/' + name, in + '/' + name))
            return false;
    }
    if (!withEarlier)
        return true;
    const QString folder = out + QStringList { "", "/2014-12", "/2014-12-30" }.at(mode);
    QFile notes(out + "/notes.txt");
    return QDir().mkpath(folder)
        && QFile::copy(m_library.filePath("earlier.JPG"), folder + "/001.JPG")
        && notes.open(QIODevice::WriteOnly) && notes.write("the output's own\n") > 0;
}

SortDriver TestUndo::driver(const Scenario &s)
{
    SortDriver d;
    d.options.inputDir = m_in;
    d.options.outputDir = m_out;
    d.options.folders = FHFolderMode(s.mode);
    d.faults = s.faults;
    d.workDir = m_root->filePath("work");
    QDir().mkpath(d.workDir);
    return d;
}

FHSortEngine::Outcome TestUndo::sort(int mode, bool recursive, quint32 *moved)
{
    RecordingReporter reporter;
    FHIO guard(QDir::currentPath(), QStringLiteral("test"));
    FHSortEngine engine(&guard, &reporter);
    FHSortOptions options;
    options.inputDir = m_in;
    options.outputDir = m_out;
    options.folders = FHFolderMode(mode);
    options.recursive = recursive;
    options.nameFilters = FHFileTypes::nameFilters(FHFileTypes::AllFamilies);
    FHSortPlan plan;
    const FHSortEngine::Outcome outcome = engine.run(options, plan);
    if (!reporter.errors.isEmpty())
        qWarning() << "sort:" << reporter.errors;
    if (moved)
        *moved = plan.movedCount;
    return outcome;
}

Undone TestUndo::undoLast() const
{
    Undone undone;
    const QString id = FHUndo::lastUndoableRun();
    if (id.isEmpty()) {
        undone.errors << QStringLiteral("no run to undo");
        return undone;
    }
    RecordingReporter reporter;
    FHIO guard(QDir::currentPath(), QStringLiteral("test"));
    FHUndo undo(&guard, &reporter);
    FHSortPlan plan;
    undone.outcome = undo.run(id, false, plan);
    undone.moved = plan.movedCount;
    const QDir output(m_out);
    for (const FHPlanEntry &entry : qAsConst(plan.entries)) {
        if (entry.reason != FHSkipReason::None)
            undone.skipped << skipReasonName(entry.reason) + ' '
                    + output.relativeFilePath(entry.sourcePath());
    }
    undone.skipped.sort();
    undone.errors = reporter.errors;
    return undone;
}

QString TestUndo::afterUndo(const QString &in, const QString &out, const QStringList &skipped,
    const Invariant *invariant) const
{
    QStringList problems;
    if (!skipped.isEmpty())
        problems << QStringLiteral("left: ") + skipped.join(QStringLiteral(", "));
    if (const QString now = treeText(m_in); now != in)
        problems << QStringLiteral("input: %1\n  was: %2").arg(now, in);
    if (const QString now = treeText(m_out); now != out)
        problems << QStringLiteral("output: %1\n   was: %2").arg(now, out);
    if (const QString broken = invariant ? invariant->check() : QString(); !broken.isEmpty())
        problems << broken;
    return problems.join(QLatin1Char('\n'));
}

void TestUndo::finishedRun_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<QString>("output"); // "new", "earlier" (photos of a run before), "input"
    QTest::addColumn<quint32>("moved");

    // Top level: a JPEG with a sidecar and three single photos. Below: a RAW
    // stand-in with its JPEG and sidecar, and one more photo.
    QTest::newRow("no folders, new output") << 0 << false << "new" << 5u;
    QTest::newRow("no folders, earlier output, recursive") << 0 << true << "earlier" << 9u;
    QTest::newRow("per month, earlier output, recursive") << 1 << true << "earlier" << 9u;
    QTest::newRow("per day, new output, recursive") << 2 << true << "new" << 9u;
    QTest::newRow("per month, into the input itself") << 1 << false << "input" << 5u;
}

void TestUndo::finishedRun()
{
    QFETCH(int, mode);
    QFETCH(bool, recursive);
    QFETCH(QString, output);
    QFETCH(quint32, moved);
    if (output == "input")
        m_out = m_in;
    QVERIFY(setUp(m_in, m_out, mode, output != "new"));
    const QString in = treeText(m_in);
    const QString out = treeText(m_out);

    quint32 sorted = 0;
    QCOMPARE(sort(mode, recursive, &sorted), FHSortEngine::Completed);
    QCOMPARE(sorted, moved);
    const Undone undone = undoLast();
    QCOMPARE(undone.errors, QStringList());
    QCOMPARE(undone.outcome, FHUndo::Completed);
    QCOMPARE(undone.moved, moved);
    QCOMPARE(afterUndo(in, out, undone.skipped), QString());
    QCOMPARE(FHUndo::lastUndoableRun(), QString());
}

void TestUndo::faultEndedRun_data()
{
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("where"); // "disk", "input elsewhere", "small output"

    QTest::newRow("pass 1: a move finds the disk full")
        << QByteArray("call=renameat2,errno=ENOSPC,skip=2") << 1 << "disk";
    QTest::newRow("pass 2: a rename fails")
        << QByteArray("call=renameat2,errno=EIO,skip=6") << 1 << "disk";
    QTest::newRow("pass 2: the journal cannot be written")
        << QByteArray("call=write,path=/quilm/journal/,skip=2,errno=ENOSPC") << 0 << "disk";
    QTest::newRow("pass 2: the journal fills the disk mid-line")
        << QByteArray("call=write,path=/quilm/journal/,skip=2,after=100,errno=ENOSPC") << 0
        << "disk";
    QTest::newRow("a copy across file systems finds the disk full") << QByteArray(
        "call=write,path=.quilm-partial-,skip=2,errno=ENOSPC") << 2 << "input elsewhere";
    QTest::newRow("the output file system fills") << QByteArray() << 1 << "small output";
}

// The run ends with some photos moved; the undo puts them back.
void TestUndo::faultEndedRun()
{
    QFETCH(QByteArray, faults);
    QFETCH(int, mode);
    QFETCH(QString, where);
    if (where == "input elsewhere" && !inputElsewhere())
        QSKIP("no second file system");
    if (where == "small output") {
        REQUIRE_MOUNTS();
        // Room for the library's ledger and all but the large photo, which
        // comes last.
        mountTmpfs(m_out, "size=256k");
    }
    QVERIFY(setUp(m_in, m_out, mode));
    const QString in = treeText(m_in);
    const QString out = treeText(m_out);

    SortDriver d = driver({ mode, faults, false });
    QCOMPARE(d.run(), SortDriver::Finished);
    QVERIFY2(!d.report.boxes.isEmpty(), "the run did not fail");
    QVERIFY2(d.moved > 0, "the run failed before any move");
    const Undone undone = undoLast();
    QCOMPARE(undone.errors, QStringList());
    QCOMPARE(undone.outcome, FHUndo::Completed);
    QCOMPARE(afterUndo(in, out, undone.skipped), QString());
    QCOMPARE(FHUndo::lastUndoableRun(), QString());
}

void TestUndo::killedRun_data()
{
    // scenarios(): 0 per month, 1 no folders, 2 link fallback, 3 rename
    // fallback, 4 across file systems.
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<int>("n");

    // Five files move: four photos (one with its sidecar); then five renames.
    for (int n = 1; n <= 10; ++n)
        QTest::addRow("rename %d", n) << 0 << QByteArray("renameat2") << n;
    QTest::newRow("rename 4, no folders") << 1 << QByteArray("renameat2") << 4;
    QTest::newRow("rename 9, no folders") << 1 << QByteArray("renameat2") << 9;
    // Header, pass 1, pass 2.
    for (int n = 1; n <= 3; ++n)
        QTest::addRow("journal write %d", n) << 0 << QByteArray("write,path=/quilm/journal/") << n;
    QTest::newRow("link fallback, link 2") << 2 << QByteArray("link") << 2;
    QTest::newRow("link fallback, link 8") << 2 << QByteArray("link") << 8;
    QTest::newRow("link fallback, unlink 2") << 2 << QByteArray("unlink") << 2;
    QTest::newRow("link fallback, unlink 8") << 2 << QByteArray("unlink") << 8;
    QTest::newRow("rename fallback, 3") << 3 << QByteArray("rename") << 3;
    QTest::newRow("rename fallback, 8") << 3 << QByteArray("rename") << 8;
    QTest::newRow("across file systems, write 1")
        << 4 << QByteArray("write,path=.quilm-partial-") << 1;
    QTest::newRow("across file systems, write 6, the second of the large photo")
        << 4 << QByteArray("write,path=.quilm-partial-") << 6;
    QTest::newRow("across file systems, fsync 3")
        << 4 << QByteArray("fsync,path=.quilm-partial-") << 3;
    QTest::newRow("across file systems, put in place 2")
        << 4 << QByteArray("renameat2,path=.quilm-partial-") << 2;
    QTest::newRow("across file systems, source removal 1") << 4 << QByteArray("unlink") << 1;
    QTest::newRow("across file systems, source removal 4") << 4 << QByteArray("unlink") << 4;
}

void TestUndo::killedRun()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, call);
    QFETCH(int, n);
    const Scenario s = scenarios().at(scenario);
    if (s.otherFs && !inputElsewhere())
        QSKIP("no second file system");
    QVERIFY(setUp(m_in, m_out, s.mode));
    const QString in = treeText(m_in);
    const QString out = treeText(m_out);
    Invariant invariant(m_in, m_out);
    invariant.record();

    SortDriver d = driver(s);
    d.faults += "|call=" + call + ",action=kill,skip=" + QByteArray::number(n - 1);
    QCOMPARE(d.run(), SortDriver::Killed);
    QCOMPARE(invariant.check(1), QString());
    // A run killed before its journal named a file has nothing to undo.
    Undone undone;
    if (!FHUndo::lastUndoableRun().isEmpty()) {
        undone = undoLast();
        QCOMPARE(undone.errors, QStringList());
        QCOMPARE(undone.outcome, FHUndo::Completed);
    }
    QCOMPARE(afterUndo(in, out, undone.skipped, &invariant), QString());
}

// Kills from outside at any moment of a sort on one file system, where every
// move is a single rename.
void TestUndo::randomKills()
{
    int struck = 0;
    constexpr int Kills = 4;
    for (int i = 0; i < Kills; ++i) {
        const Scenario s = scenarios().at(i % 2);
        const QString name = QString::number(i % 2);
        if (!m_sortUs.contains(name)) {
            init();
            QVERIFY(setUp(m_in, m_out, s.mode));
            SortDriver whole = driver(s);
            QCOMPARE(whole.run(), SortDriver::Finished);
            m_sortUs.insert(name, whole.sortUs);
        }
        init();
        QVERIFY(setUp(m_in, m_out, s.mode));
        const QString in = treeText(m_in);
        const QString out = treeText(m_out);
        Invariant invariant(m_in, m_out);
        invariant.record();
        SortDriver d = driver(s);
        d.killAfterUs = QRandomGenerator::global()->bounded(int(m_sortUs.value(name)) + 1);
        const SortDriver::Outcome outcome = d.run();
        QVERIFY2(outcome != SortDriver::Failed, qPrintable(d.failure));
        struck += outcome == SortDriver::Killed;
        Undone undone;
        if (!FHUndo::lastUndoableRun().isEmpty()) {
            undone = undoLast();
            QCOMPARE(undone.errors, QStringList());
        }
        QCOMPARE(afterUndo(in, out, undone.skipped, &invariant), QString());
    }
    qInfo("%d of %d kills struck before the sort ended", struck, Kills);
}

void TestUndo::finishedByNextRun_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QByteArray>("kill");
    QTest::addColumn<bool>("photoAdded"); // between the two runs

    QTest::newRow("killed in pass 1")
        << 1 << QByteArray("call=renameat2,action=kill,skip=2") << false;
    QTest::newRow("killed in pass 2, a photo added")
        << 1 << QByteArray("call=renameat2,action=kill,skip=6") << true;
    QTest::newRow("across file systems, killed before a photo's source went")
        << 4 << QByteArray("call=unlink,action=kill") << false;
    QTest::newRow("across file systems, killed before a shot's JPEG went")
        << 4 << QByteArray("call=unlink,action=kill,skip=1") << false;
}

// The next run finishes what a killed run left; undoing both, newest first,
// brings back what was there before either.
void TestUndo::finishedByNextRun()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, kill);
    QFETCH(bool, photoAdded);
    const Scenario s = scenarios().at(scenario);
    if (s.otherFs && !inputElsewhere())
        QSKIP("no second file system");
    QVERIFY(setUp(m_in, m_out, s.mode));
    QStringList in = TestImages::treeOf(m_in);
    const QString out = treeText(m_out);
    Invariant invariant(m_in, m_out);
    invariant.record();
    SortDriver d = driver(s);
    d.faults = s.faults + '|' + kill;
    QCOMPARE(d.run(), SortDriver::Killed);
    if (photoAdded) {
        QVERIFY(QFile::copy(m_library.filePath("added.JPG"), m_in + "/added.JPG"));
        invariant.adopt(m_in + "/added.JPG");
        in << TestImages::treeOf(m_in).filter(QRegularExpression("^added\\.JPG "));
        in.sort();
    }
    d.faults = s.faults;
    QCOMPARE(d.run(), SortDriver::Finished);
    QCOMPARE(d.report.boxes, QStringList());
    QCOMPARE(invariant.check(), QString());

    QStringList skipped;
    for (int run = 0; run < 2; ++run) {
        const Undone undone = undoLast();
        QCOMPARE(undone.errors, QStringList());
        QCOMPARE(undone.outcome, FHUndo::Completed);
        skipped += undone.skipped;
    }
    QCOMPARE(afterUndo(in.join(" | "), out, skipped), QString());
}

void TestUndo::killsRerunsAndUndos_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QByteArray>("call"); // the run is killed at each of these in turn
    QTest::addColumn<bool>("hardLink"); // two names of one photo in the input

    QTest::newRow("one file system") << 0 << QByteArray("renameat2") << false;
    QTest::newRow("two names of one photo") << 0 << QByteArray("renameat2") << true;
    QTest::newRow("link and unlink") << 2 << QByteArray("unlink") << true;
    QTest::newRow("across file systems") << 4 << QByteArray("unlink") << false;
}

// Whatever call a kill strikes, the next run finishes the sort, and undo,
// repeated while it says there is more, gives back the input exactly: every
// name, every byte, the two names of one photo as one file.
void TestUndo::killsRerunsAndUndos()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, call);
    QFETCH(bool, hardLink);
    const Scenario s = scenarios().at(scenario);
    // QUILM_UNDO_CAMPAIGN=N adds N sequences of kills at random moments, the
    // rerun killed too every other time.
    const int randomRounds = qEnvironmentVariableIntValue("QUILM_UNDO_CAMPAIGN");
    qint64 sortUs = 0;
    int kills = 0;
    int sequences = 0;
    for (int n = 1, random = 0; n <= 40 || random < randomRounds; ++n) {
        cleanup();
        init();
        if (s.otherFs && !inputElsewhere())
            QSKIP("no second file system");
        QVERIFY(setUp(m_in, m_out, s.mode));
        if (hardLink)
            QCOMPARE(
                ::link(QFile::encodeName(m_in + "/a.JPG"), QFile::encodeName(m_in + "/COPY_a.JPG")),
                0);
        const QString in = treeText(m_in);
        const QString out = treeText(m_out);
        SortDriver d = driver(s);
        if (n <= 40) {
            d.faults
                = s.faults + "|call=" + call + ",action=kill,skip=" + QByteArray::number(n - 1);
            if (d.run() != SortDriver::Killed) {
                sortUs = d.sortUs;
                n = 40;
                continue;
            }
            ++kills;
        } else {
            ++random;
            for (int k = 0; k < 1 + random % 2; ++k) {
                d.killAfterUs = QRandomGenerator::global()->bounded(int(sortUs) + 1);
                kills += d.run() == SortDriver::Killed;
            }
            d.killAfterUs = -1;
        }
        ++sequences;
        d.faults = s.faults;
        QCOMPARE(d.run(), SortDriver::Finished);
        QStringList skipped;
        for (int undo = 0; undo < 6 && !FHUndo::lastUndoableRun().isEmpty(); ++undo) {
            const Undone undone = undoLast();
            QCOMPARE(undone.errors, QStringList());
            skipped += undone.skipped;
        }
        QVERIFY2(FHUndo::lastUndoableRun().isEmpty(), qPrintable(QString::number(n)));
        const QString problems = afterUndo(in, out, skipped);
        QVERIFY2(problems.isEmpty(),
            qPrintable(QStringLiteral("sequence %1 (%2):\n%3")
                           .arg(n)
                           .arg(QString::fromLatin1(call))
                           .arg(problems)));
        if (hardLink) {
            struct stat a, b;
            QVERIFY(::lstat(QFile::encodeName(m_in + "/a.JPG"), &a) == 0
                && ::lstat(QFile::encodeName(m_in + "/COPY_a.JPG"), &b) == 0);
            QCOMPARE(a.st_ino, b.st_ino);
        }
    }
    QVERIFY(kills > 3);
    qInfo("%d kills in %d sequences, each followed by a run and undos", kills, sequences);
}

// A journal someone removes while the run goes on: the run says at its end
// that it cannot be undone.
void TestUndo::journalRemovedMidRun()
{
    QVERIFY(setUp(m_in, m_out, 1));
    RecordingReporter reporter;
    FHIO guard(QDir::currentPath(), QStringLiteral("test"));
    FHSortEngine engine(&guard, &reporter);
    bool removed = false;
    connect(&guard, &FHIO::getCurrentFile, this, [&](const QString &path) {
        if (removed || !path.startsWith(m_out))
            return;
        const QDir journals(FHJournalStore::folder());
        for (const QString &name : journals.entryList(QDir::Files))
            removed = QFile::remove(journals.filePath(name)) || removed;
    });
    FHSortOptions options;
    options.inputDir = m_in;
    options.outputDir = m_out;
    FHSortPlan plan;
    QCOMPARE(engine.run(options, plan), FHSortEngine::Completed);
    QVERIFY(removed);
    QCOMPARE(reporter.errors.filter("cannot be undone: its journal").size(), 1);
    QCOMPARE(FHUndo::lastUndoableRun(), QString());
}

void TestUndo::conflicts_data()
{
    // After a recursive run per month: 2014-12/001.JPG (earlier), 002.JPG (a),
    // 003.JPG and 003.xmp (s), 004.CR2, 004.JPG and 004.xmp (IMG_1);
    // 2015-01/001.jpg (c), 002.JPG (d), 003.JPG (b).
    QTest::addColumn<QString>("change"); // what the user does between sort and undo
    QTest::addColumn<bool>("otherFs"); // the input on another file system
    QTest::addColumn<QStringList>("skipped");
    QTest::addColumn<QStringList>("kept"); // in the output besides what was there before
    QTest::addColumn<QStringList>("notBack"); // input files that do not come back

    QTest::newRow("nothing") << "" << false << QStringList() << QStringList() << QStringList();
    QTest::newRow("a photo edited")
        << "edit 2014-12/002.JPG" << false << QStringList { "changed 2014-12/002.JPG" }
        << QStringList { "2014-12/002.JPG" } << QStringList { "a.JPG" };
    QTest::newRow("a copied photo edited, its size and time kept")
        << "overwrite 2014-12/002.JPG" << true << QStringList { "changed 2014-12/002.JPG" }
        << QStringList { "2014-12/002.JPG" } << QStringList { "a.JPG" };
    QTest::newRow("a photo renamed")
        << "rename 2015-01/003.JPG 2015-01/mine.JPG" << false
        << QStringList { "missing 2015-01/003.JPG" } << QStringList { "2015-01/mine.JPG" }
        << QStringList { "b.JPG" };
    QTest::newRow("a new file at an original path")
        << "create in/b.JPG" << false << QStringList { "original-taken 2015-01/003.JPG" }
        << QStringList { "2015-01/003.JPG" } << QStringList { "b.JPG" };
    QTest::newRow("an output folder removed")
        << "remove 2015-01" << false
        << QStringList { "missing 2015-01/001.jpg", "missing 2015-01/002.JPG",
               "missing 2015-01/003.JPG" }
        << QStringList() << QStringList { "b.JPG", "c.jpg", "sub/d.JPG" };
    QTest::newRow("the JPEG of a shot edited")
        << "edit 2014-12/004.JPG" << false
        << QStringList { "changed 2014-12/004.JPG", "shot-held 2014-12/004.CR2",
               "shot-held 2014-12/004.xmp" }
        << QStringList { "2014-12/004.CR2", "2014-12/004.JPG", "2014-12/004.xmp" }
        << QStringList { "sub/deep/IMG_1.CR2", "sub/deep/IMG_1.JPG", "sub/deep/IMG_1.xmp" };
    QTest::newRow("a shot's RAW path taken")
        << "create in/sub/deep/IMG_1.CR2" << false
        << QStringList { "original-taken 2014-12/004.CR2", "shot-held 2014-12/004.JPG",
               "shot-held 2014-12/004.xmp" }
        << QStringList { "2014-12/004.CR2", "2014-12/004.JPG", "2014-12/004.xmp" }
        << QStringList { "sub/deep/IMG_1.CR2", "sub/deep/IMG_1.JPG", "sub/deep/IMG_1.xmp" };
    // A shot goes back whole or stays whole.
    QTest::newRow("a shot's sidecar removed")
        << "remove 2014-12/003.xmp" << false
        << QStringList { "missing 2014-12/003.xmp", "shot-held 2014-12/003.JPG" }
        << QStringList { "2014-12/003.JPG" } << QStringList { "s.JPG", "s.xmp" };
    QTest::newRow("input folders removed")
        << "remove in/sub" << false << QStringList() << QStringList() << QStringList();
}

void TestUndo::conflicts()
{
    QFETCH(QString, change);
    QFETCH(bool, otherFs);
    QFETCH(QStringList, skipped);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, notBack);
    if (otherFs) {
        m_in = elsewhere();
        if (m_in.isEmpty())
            QSKIP("no second file system");
        m_in += "/in";
    }
    QVERIFY(setUp(m_in, m_out, 1));
    const QStringList in = TestImages::treeOf(m_in);
    const QStringList out = TestImages::treeOf(m_out);
    QCOMPARE(sort(1, true), FHSortEngine::Completed);

    const QStringList words = change.split(' ');
    const auto at = [this](const QString &path) {
        return path.startsWith("in/") ? m_in + path.mid(2) : m_out + '/' + path;
    };
    if (words.first() == "edit") {
        QFile file(at(words.at(1)));
        QVERIFY(file.open(QIODevice::Append) && file.write("edited") == 6);
    } else if (words.first() == "overwrite") {
        // Another file with the same size and time: only its content tells.
        const QByteArray path = QFile::encodeName(at(words.at(1)));
        struct stat st;
        QCOMPARE(::stat(path.constData(), &st), 0);
        QFile file(at(words.at(1)));
        QVERIFY(
            file.open(QIODevice::ReadWrite) && file.seek(file.size() - 1) && file.write("y") == 1);
        file.close();
        const struct timespec times[2] = { st.st_atim, st.st_mtim };
        QCOMPARE(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
    } else if (words.first() == "rename") {
        QVERIFY(QFile::rename(at(words.at(1)), at(words.at(2))));
    } else if (words.first() == "create") {
        QFile file(at(words.at(1)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("the user's own") > 0);
    } else if (words.first() == "remove") {
        const QFileInfo info(at(words.at(1)));
        QVERIFY(info.isDir() ? QDir(info.filePath()).removeRecursively()
                             : QFile::remove(info.filePath()));
    }
    const QStringList inBeforeUndo = TestImages::treeOf(m_in);
    const QStringList outBeforeUndo = TestImages::treeOf(m_out);

    const Undone undone = undoLast();
    QCOMPARE(undone.errors, QStringList());
    QCOMPARE(undone.outcome, FHUndo::Completed);
    QCOMPARE(undone.skipped, skipped);

    // The input as before, but for the files that stay away and what the user
    // put in their place.
    const auto entryFor = [](const QStringList &tree, const QString &name) {
        for (const QString &entry : tree) {
            if (entry.startsWith(name + ' '))
                return entry;
        }
        return QString();
    };
    QStringList expectedIn;
    for (const QString &entry : in) {
        const QString name = entry.section(' ', 0, 0);
        expectedIn << (notBack.contains(name) ? entryFor(inBeforeUndo, name) : entry);
    }
    expectedIn.removeAll(QString());
    QCOMPARE(treeText(m_in), expectedIn.join(" | "));
    QStringList expectedOut = out;
    for (const QString &name : kept) {
        expectedOut << entryFor(outBeforeUndo, name);
        if (!expectedOut.contains(QFileInfo(name).path() + '/'))
            expectedOut << QFileInfo(name).path() + '/';
    }
    expectedOut.sort();
    QCOMPARE(treeText(m_out), expectedOut.join(" | "));
}

void TestUndo::acrossFileSystems_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("mode");

    QTest::newRow("input elsewhere, per day") << "input elsewhere" << 2;
    QTest::newRow("output elsewhere") << "output elsewhere" << 0;
    QTest::newRow("input through a bind mount of the same file system") << "bind mount" << 1;
    QTest::newRow("input file system full during the undo, then room made") << "full input" << 1;
}

// A photo moved to another file system is a copy there: only its content can
// tell it is still the photo the run moved.
void TestUndo::acrossFileSystems()
{
    QFETCH(QString, layout);
    QFETCH(int, mode);
    if (layout == "bind mount" || layout == "full input") {
        REQUIRE_MOUNTS();
        const QString real = m_root->filePath("real");
        m_in = m_root->filePath("mounted");
        if (layout == "bind mount") {
            QVERIFY(QDir().mkpath(real) && QDir().mkpath(m_in));
            QCOMPARE(::mount(QFile::encodeName(real).constData(),
                         QFile::encodeName(m_in).constData(), nullptr, MS_BIND, nullptr),
                0);
            m_mounts << m_in;
        } else {
            mountTmpfs(m_in, "size=1m");
        }
    } else {
        const QString other = elsewhere();
        if (other.isEmpty())
            QSKIP("no second file system");
        if (layout == "input elsewhere")
            m_in = other + "/in";
        else
            m_out = other + "/out";
    }
    QVERIFY(setUp(m_in, m_out, mode));
    const QString in = treeText(m_in);
    const QString out = treeText(m_out);
    QCOMPARE(sort(mode, true), FHSortEngine::Completed);

    if (layout == "full input") {
        // The large photo cannot go back until the user makes room.
        QFile filler(m_in + "/filler.bin");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(64 * 1024, 'f')) > 0 && filler.flush()) { }
        filler.close();
        QVERIFY(filler.resize(filler.size() - 128 * 1024));
        const Undone cut = undoLast();
        QCOMPARE(cut.outcome, FHUndo::Failed);
        QVERIFY(!cut.errors.isEmpty());
        QVERIFY(filler.remove());
    }
    const Undone undone = undoLast();
    QCOMPARE(undone.errors, QStringList());
    QCOMPARE(undone.outcome, FHUndo::Completed);
    QCOMPARE(afterUndo(in, out, undone.skipped), QString());
}

int main(int argc, char **argv)
{
    // Before any thread starts: a namespace of our own, where mounts stay private.
    g_ownMounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
        && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return quilmEngineTestMain(argc, argv, [] { return new TestUndo; });
}

#include "tst_undo.moc"
