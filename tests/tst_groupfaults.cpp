#include "Invariant.h"
#include "ShotFiles.h"
#include "SortDriver.h"
#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHIO.h"
#include "shell/FHexiv2Application.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Mounts are made in a mount namespace of this process alone, so none outlives it.
bool g_ownMounts = false;

// The shots: a photo, RAW and JPEG with a sidecar (the one under test), a live
// photo whose edits sort ahead of it, a photo. The temporary names of the one
// under test, and so the calls that move it, hold "-10-00-00_": its time.
const QByteArray ShotTime = "-10-00-00_";
const QStringList Sorted { "001.JPG", "002.CR2", "002.CR2.xmp", "002.JPG", "003.AAE", "003.HEIC",
    "003.MOV", "004.JPG" };

// How the file system moves a file: natively, or on file systems that refuse
// the no-replace flag, or hard links too, or across file systems by copying.
struct Scenario
{
    const char *name;
    QByteArray faults;
    bool crossFs;
    bool inPlace;
};

const QList<Scenario> &scenarios()
{
    static const QList<Scenario> all {
        { "rename", {}, false, false },
        { "link fallback", "call=renameat2,errno=EINVAL", false, false },
        { "rename fallback", "call=renameat2,errno=ENOSYS|call=link,errno=EPERM", false, false },
        { "cross-fs copy", {}, true, false },
        { "in place", {}, false, true },
    };
    return all;
}

} // namespace

// The files of one shot under faults: a kill at any call of its move, a disk
// that fills, a member taken or removed by another program. Nothing is lost, no
// member ends up under another shot's number, the report says where each member
// is, and the next run finishes the shot under one number.
class TestGroupFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void killAtEachCall_data();
    void killAtEachCall();
    void smallDiskFills();
    void memberFault_data();
    void memberFault();
    void memberRemoved_data();
    void memberRemoved();
    void liveEditsKeepTheirPhoto();

private:
    // The photos in the input; the driver of a run of the scenario.
    SortDriver setUp(const Scenario &s, int padTo = 0);
    QString in(const QString &name = {}) const { return m_in + '/' + name; }
    // Where each member of the shot is, by the files and by the report: empty
    // when every member is at its source or the report names where it is.
    QString membersAccountedFor(const RunReport &report) const;
    // Empty when the run after a fault left the output as the layout says (any
    // layout, when none is given), each shot under a number of its own, nothing
    // in the input and nothing half done; the invariant's breaches included.
    QString finished(const QStringList &boxes, const Invariant &invariant,
        const QStringList &layout = Sorted, bool captureOrder = true) const;

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<QTemporaryDir> m_shm; // the input on another file system
    QStringList m_mounts;
    QString m_in;
    QString m_out;
    ShotFiles m_shots;
    QHash<QString, QByteArray> m_members; // source -> content, of the shot under test
};

void TestGroupFaults::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_shots = ShotFiles();
    m_members.clear();
}

void TestGroupFaults::cleanup()
{
    while (!m_mounts.isEmpty())
        ::umount2(QFile::encodeName(m_mounts.takeLast()).constData(), MNT_DETACH);
    m_shm.reset();
    m_root.reset();
}

SortDriver TestGroupFaults::setUp(const Scenario &s, int padTo)
{
    SortDriver d;
    m_in = m_root->filePath("in");
    m_out = s.inPlace ? m_in : m_root->filePath("out");
    d.faults = s.faults;
    if (s.crossFs) {
        const QString elsewhere = m_root->filePath("elsewhere");
        QDir().mkpath(elsewhere);
        struct stat shm, here;
        if (g_ownMounts
            && ::mount("tmpfs", QFile::encodeName(elsewhere).constData(), "tmpfs", 0, "size=16m")
                == 0) {
            m_mounts << elsewhere;
            m_in = elsewhere + "/in";
        } else if (::stat("/dev/shm", &shm) == 0
            && ::stat(QFile::encodeName(m_root->path()).constData(), &here) == 0
            && shm.st_dev != here.st_dev) {
            m_shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/quilm-group-XXXXXX"));
            m_in = m_shm->filePath("in");
        } else {
            // Also refuses a move back into the input: a file cannot go back there.
            d.faults = "call=renameat2,errno=EXDEV,path=" + QFile::encodeName(m_in);
        }
    }
    const QDateTime day(QDate(2014, 12, 31), QTime(10, 0));
    const bool made = m_shots.make(in("IMG_0.JPG"), "R", day.addSecs(-3600))
        && m_shots.make(in("IMG_1.CR2"), "S", day, padTo)
        && m_shots.make(in("IMG_1.JPG"), "S", day.addSecs(2), padTo)
        && m_shots.make(in("IMG_1.CR2.xmp"), "S")
        && m_shots.make(in("IMG_3.HEIC"), "L", day.addSecs(300))
        && m_shots.make(in("IMG_3.MOV"), "L", day.addSecs(301))
        && m_shots.make(in("IMG_3.AAE"), "L")
        && m_shots.make(in("IMG_2.JPG"), "T", day.addSecs(600));
    if (!made)
        qWarning("cannot make the photos");
    for (const char *name : { "IMG_1.CR2", "IMG_1.JPG", "IMG_1.CR2.xmp" })
        m_members.insert(in(name), Invariant::hashOf(in(name)));
    d.options.inputDir = m_in;
    d.options.outputDir = m_out;
    d.options.nameFilters = FHFileTypes::nameFilters(FHFileTypes::AllFamilies);
    d.workDir = m_root->filePath("work");
    QDir().mkpath(d.workDir);
    return d;
}

QString TestGroupFaults::membersAccountedFor(const RunReport &report) const
{
    const TestImages::Contents now = TestImages::contentsUnder(
        m_in == m_out ? QStringList { m_in } : QStringList { m_in, m_out });
    QStringList problems;
    for (auto it = m_members.cbegin(); it != m_members.cend(); ++it) {
        const QStringList at = now.value(it.value());
        if (at == QStringList { it.key() })
            continue;
        if (at.size() != 1)
            problems << QStringLiteral("%1 is at %2").arg(it.key(), at.join(", "));
        else if (!report.log.contains(it.key()) || !report.log.contains(at.first()))
            problems << QStringLiteral("the report does not say that %1 is at %2")
                            .arg(it.key(), at.first());
    }
    return problems.join('\n');
}

// What the run after a fault must leave: the shot between its neighbours under
// one number, nothing in the input, nothing left half done.
QString TestGroupFaults::finished(const QStringList &boxes, const Invariant &invariant,
    const QStringList &layout, bool captureOrder) const
{
    QStringList problems;
    if (!boxes.isEmpty())
        problems << "boxes: " + boxes.join(" | ");
    if (const QString broken = invariant.check(); !broken.isEmpty())
        problems << broken;
    if (const QString shots = m_shots.check(m_out, m_in == m_out ? QString() : m_in, captureOrder);
        !shots.isEmpty())
        problems << shots;
    const QStringList out = TestImages::filesUnder(m_out);
    if (!layout.isEmpty() && out != layout)
        problems << "output: " + out.join(", ");
    if (m_in != m_out && !TestImages::filesUnder(m_in).isEmpty())
        problems << "left in the input: " + TestImages::filesUnder(m_in).join(", ");
    return problems.join('\n');
}

namespace {

const QString NumberShared
    = QStringLiteral("a sidecar left alone under a final name holds a place in the listing, and "
                     "its number goes to the next shot, which then seems to own it");
const QString TakenForMember
    = QStringLiteral("the next run takes another program's file under a member's temporary name "
                     "for that member: the shot is not resumed, and that file shares the number "
                     "of the member that could not go back");

} // namespace

void TestGroupFaults::killAtEachCall_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QByteArray>("rule");
    QTest::addColumn<QString>("fault"); // a known fault: the row is expected to fail

    // A kill before the call on each member in turn; `first` skips the calls on
    // the photo ahead of the shot. Faults: the known ones, by member.
    const auto add = [](int scenario, const char *what, const QByteArray &call, int first,
                         const QStringList &faults) {
        for (int member = 0; member < 3; ++member)
            QTest::addRow("%s, %s, member %d", scenarios().at(scenario).name, what, member + 1)
                << scenario
                << "call=" + call + ",action=kill,skip=" + QByteArray::number(first + member)
                << faults.value(member);
    };
    add(0, "pass 1", "renameat2,path=IMG_1.", 0, {});
    add(0, "pass 2", "renameat2,path=/002.", 0, {});
    add(1, "pass 1 link", "link,path=IMG_1.", 0, {});
    add(1, "pass 1 unlink", "unlink,path=IMG_1.", 0, {});
    add(1, "pass 2 link", "link,path=/002.", 0, {});
    add(1, "pass 2 unlink", "unlink,path=" + ShotTime, 0, {});
    add(2, "pass 1", "rename,path=IMG_1.", 0, {});
    add(2, "pass 2", "rename,path=/002.", 0, {});
    add(3, "copy written", "write,path=.quilm-partial-", 1, {});
    add(3, "copy synced", "fsync,path=.quilm-partial-", 1, {});
    add(3, "copy closed", "close,path=.quilm-partial-", 1, {});
    add(3, "copy put in place", "renameat2,path=.quilm-partial-", 1, {});
    add(3, "source removed", "unlink,path=IMG_1.", 0, {});
    add(3, "pass 2", "renameat2,path=/002.", 0, {});
    add(4, "pass 1", "renameat2,path=IMG_1.", 0, {});
    add(4, "pass 2", "renameat2,path=/002.", 0, {});
}

// Then a run to the end.
void TestGroupFaults::killAtEachCall()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, rule);
    QFETCH(QString, fault);
    SortDriver d = setUp(scenarios().at(scenario));
    Invariant invariant(m_in, m_in == m_out ? m_root->filePath("none") : m_out);
    invariant.record();
    const QByteArray faults = d.faults;

    d.faults = faults.isEmpty() ? rule : faults + '|' + rule;
    QCOMPARE(d.run(), SortDriver::Killed);
    QCOMPARE(invariant.check(1), QString());

    d.faults = faults;
    QVERIFY2(d.run() == SortDriver::Finished, qPrintable(d.failure));
    if (!fault.isEmpty())
        QEXPECT_FAIL("", qPrintable(fault), Abort);
    QCOMPARE(finished(d.report.boxes, invariant), QString());
}

// The edits of a live photo sort ahead of it: named first, they are alone when
// a crash stops pass 2 right after them. Sorted in place, the next run leaves
// them as a sidecar without its photo and gives their number to the photo
// ahead in the listing.
void TestGroupFaults::liveEditsKeepTheirPhoto()
{
    SortDriver d = setUp(scenarios().at(4));
    Invariant invariant(m_in, m_root->filePath("none"));
    invariant.record();
    d.faults = "call=renameat2,path=/003.,skip=1,action=kill";
    QCOMPARE(d.run(), SortDriver::Killed);
    QVERIFY(QFileInfo::exists(in("003.AAE")));

    d.faults.clear();
    QVERIFY2(d.run() == SortDriver::Finished, qPrintable(d.failure));
    QEXPECT_FAIL("", qPrintable(NumberShared), Abort);
    QCOMPARE(finished(d.report.boxes, invariant), QString());
}

// A real disk: the output's tmpfs holds the photo ahead and the RAW, not the JPEG.
void TestGroupFaults::smallDiskFills()
{
    if (!g_ownMounts)
        QSKIP("mounting needs root and a mount namespace of its own");
    SortDriver d = setUp(scenarios().at(0), 40 * 1024);
    // Every file as it comes, so that no ledger takes room from the photos.
    d.options.duplicates = FHDuplicates::Import;
    const QByteArray out = QFile::encodeName(m_out);
    QVERIFY(QDir().mkpath(m_out));
    QVERIFY2(::mount("tmpfs", out.constData(), "tmpfs", 0, "size=64k") == 0, std::strerror(errno));
    m_mounts << m_out;
    Invariant invariant(m_in, m_out);
    invariant.record();

    QVERIFY2(d.run() == SortDriver::Finished, qPrintable(d.failure));
    QCOMPARE(d.report.boxes, QStringList { "0X000109" });
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(membersAccountedFor(d.report), QString());
    QVERIFY2(d.report.log.contains("No space left on device"), qPrintable(d.report.log));

    QCOMPARE(::mount("tmpfs", out.constData(), "tmpfs", MS_REMOUNT, "size=1m"), 0);
    QVERIFY2(d.run() == SortDriver::Finished, qPrintable(d.failure));
    QCOMPARE(finished(d.report.boxes, invariant), QString());
}

void TestGroupFaults::memberFault_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QByteArray>("rule");
    QTest::addColumn<bool>("taken"); // another program takes the name, else the disk fills
    QTest::addColumn<QString>("fault"); // a known fault of the next run

    for (int member = 0; member < 3; ++member) {
        const QByteArray skip = QByteArray::number(member);
        const QByteArray copySkip = QByteArray::number(member + 1);
        for (const bool taken : { false, true }) {
            const char *const kind = taken ? "taken" : "disk full";
            const QByteArray what = taken ? "call=renameat2,action=take,count=1"
                                          : "call=renameat2,errno=ENOSPC,count=1";
            QTest::addRow("%s, copy of member %d", kind, member + 1)
                << 3
                << (taken ? "call=renameat2,action=take,count=1,path=.quilm-partial-,skip="
                          : "call=write,errno=ENOSPC,path=%out/.quilm-partial-,skip=")
                    + copySkip
                << taken << QString();
            QTest::addRow("%s, pass 1, member %d", kind, member + 1)
                << 0 << what + ",path=IMG_1.,skip=" + skip << taken << QString();
            QTest::addRow("%s, pass 2, member %d", kind, member + 1)
                << 0 << what + ",path=/002.,skip=" + skip << taken << QString();
        }
    }
    // The disk stays full: the named file cannot go back to its temporary name.
    QTest::newRow("disk full, pass 2, member 2, no way back")
        << 0 << QByteArray("call=renameat2,errno=ENOSPC,path=/002.,skip=1") << false << QString();
    // The RAW moved, the JPEG's name is taken, and the RAW cannot go back.
    QTest::newRow("taken, member 2, member 1 cannot go back")
        << 0
        << QByteArray("call=renameat2,action=take,count=1,path=IMG_1.,skip=1|"
                      "call=renameat2,errno=EACCES,path=IMG_1.,skip=1")
        << true << TakenForMember;
}

// The disk fills, or another program takes the name, at one call of the
// shot's move.
void TestGroupFaults::memberFault()
{
    QFETCH(int, scenario);
    QFETCH(QByteArray, rule);
    QFETCH(bool, taken);
    QFETCH(QString, fault);
    SortDriver d = setUp(scenarios().at(scenario));
    Invariant invariant(m_in, m_out);
    invariant.record();
    if (taken)
        invariant.expect("taken by another process\n");
    const QByteArray faults = d.faults;

    d.faults = faults + '|' + rule.replace("%out", QFile::encodeName(m_out));
    QVERIFY2(d.run() == SortDriver::Finished, qPrintable(d.failure));
    QCOMPARE(d.report.boxes, QStringList { "0X000109" });
    if (!taken)
        QVERIFY2(d.report.log.contains("No space left on device"), qPrintable(d.report.log));
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(membersAccountedFor(d.report), QString());

    // The other program's file keeps its name, or takes a number of its own.
    d.faults = faults;
    QVERIFY2(d.run() == SortDriver::Finished, qPrintable(d.failure));
    if (!fault.isEmpty())
        QEXPECT_FAIL("", qPrintable(fault), Abort);
    if (!taken) {
        QCOMPARE(finished(d.report.boxes, invariant), QString());
        return;
    }
    QCOMPARE(finished(d.report.boxes, invariant, {}), QString());
    QCOMPARE(TestImages::filesUnder(m_out).size(), Sorted.size() + 1);
}

void TestGroupFaults::memberRemoved_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<int>("seen"); // removed when the run names it for the nth time
    QTest::addColumn<bool>("failed"); // the run ends with a box
    QTest::addColumn<QStringList>("layout"); // after the next run
    QTest::addColumn<bool>("captureOrder"); // of the whole output
    QTest::addColumn<QStringList>("orphans"); // sidecars left without their file, which stay

    const auto without = [](const QString &name) {
        QStringList layout = Sorted;
        layout.removeOne(name);
        return layout;
    };
    // Photos are read, named, then moved; sidecars only named and moved. Without
    // its RAW, the rest of the shot stays for the next run, which adds it after
    // the photos already sorted; the RAW's own sidecar stays where the RAW was.
    const QStringList none;
    QTest::newRow("RAW, before its shot is named")
        << "IMG_1.CR2" << 2 << false
        << QStringList { "001.JPG", "002.AAE", "002.HEIC", "002.MOV", "003.JPG", "004.JPG" }
        << false << QStringList { "IMG_1.CR2.xmp" };
    // A file is looked at once more right before it moves: one gone by then is
    // left out as it would have been before its shot was named.
    QTest::newRow("RAW, as it moves")
        << "IMG_1.CR2" << 3 << false
        << QStringList { "001.JPG", "002.AAE", "002.HEIC", "002.MOV", "003.JPG", "004.JPG" }
        << false << QStringList { "IMG_1.CR2.xmp" };
    QTest::newRow("JPEG, before its shot is named")
        << "IMG_1.JPG" << 2 << false << without("002.JPG") << true << none;
    QTest::newRow("JPEG, as it moves")
        << "IMG_1.JPG" << 3 << false << without("002.JPG") << true << none;
    QTest::newRow("sidecar, before its shot is named")
        << "IMG_1.CR2.xmp" << 1 << false << without("002.CR2.xmp") << true << none;
    QTest::newRow("sidecar, as it moves")
        << "IMG_1.CR2.xmp" << 2 << false << without("002.CR2.xmp") << true << none;
}

// Another program removes a member between the listing and its move.
void TestGroupFaults::memberRemoved()
{
    QFETCH(QString, member);
    QFETCH(int, seen);
    QFETCH(bool, failed);
    QFETCH(QStringList, layout);
    QFETCH(bool, captureOrder);
    QFETCH(QStringList, orphans);
    setUp(scenarios().at(0));
    const QString victim = in(member);
    Invariant invariant(m_in, m_out);
    invariant.record();
    m_members.remove(victim);

    auto *app = qobject_cast<FHexiv2Application *>(QCoreApplication::instance());
    int named = 0;
    const QMetaObject::Connection hook
        = connect(app->fileGuard(), &FHIO::getCurrentFile, this, [&](const QString &path) {
              if (path == victim && ++named == seen) {
                  invariant.forget(victim);
                  QFile::remove(victim);
              }
          });
    SortRunner r;
    r.options.inputDir = m_in;
    r.options.outputDir = m_out;
    r.options.nameFilters = FHFileTypes::nameFilters(FHFileTypes::AllFamilies);
    const ReportWatch watch;
    r.run();
    disconnect(hook);
    QCOMPARE(named, seen);
    const RunReport report = watch.take(r.boxTexts());
    QCOMPARE(report.boxes, failed ? QStringList { "0X000109" } : QStringList());
    QVERIFY2(report.log.contains(victim), qPrintable(report.log));
    QCOMPARE(invariant.check(), QString());
    // A run that went on sorted the rest of the shot together.
    QCOMPARE(failed ? membersAccountedFor(report) : m_shots.check(m_out, m_in), QString());

    r.run();
    for (const QString &orphan : orphans) {
        QVERIFY2(QFile::exists(in(orphan)), qPrintable(orphan));
        invariant.forget(in(orphan));
        QVERIFY(QFile::remove(in(orphan)));
    }
    QCOMPARE(finished(r.boxTexts(), invariant, layout, captureOrder), QString());
}

int main(int argc, char **argv)
{
    // Before any thread starts: a namespace of our own, where mounts stay private.
    g_ownMounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
        && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return quilmTestMain(argc, argv, [] { return new TestGroupFaults; });
}

#include "tst_groupfaults.moc"
