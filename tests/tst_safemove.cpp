#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHException.h"
#include "engine/FHIO.h"
#include "engine/FHNaming.h"
#include "engine/FHSafeMove.h"
#include "engine/platform/FHFolder.h"
#include "shell/FHexiv2Application.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The move that never loses a photo, driven into its failure paths by the
// fault shim (faultshim.cpp, preloaded by CTest) and, as root, by a real
// small file system.
class TestSafeMove : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void shimIsLoaded();
    void crossDeviceMoveKeepsContentTimeAndMode();
    void crossDeviceFailures_data();
    void crossDeviceFailures();
    void fallbacksNeverReplace_data();
    void fallbacksNeverReplace();
    void realCrossDeviceMove();
    void smallFileSystem();
    void stalePartialCopiesAreRemoved();
    void failedRunLosesNothing_data();
    void failedRunLosesNothing();

private:
    QString src(const QString &name) const { return m_src->filePath(name); }
    QString dst(const QString &name) const { return m_dst->filePath(name); }
    static QByteArray randomBytes(int size);
    static void writeFile(const QString &path, const QByteArray &content);
    static QByteArray readFile(const QString &path);
    static QStringList partialsUnder(const QString &folder);
    static int moveCode(FHIO &guard, const QString &target);

    std::unique_ptr<QTemporaryDir> m_src;
    std::unique_ptr<QTemporaryDir> m_dst;
};

void TestSafeMove::init()
{
    m_src = std::make_unique<QTemporaryDir>();
    m_dst = std::make_unique<QTemporaryDir>();
    QVERIFY(m_src->isValid() && m_dst->isValid());
}

void TestSafeMove::cleanup()
{
    qunsetenv("QUILM_FAULTS");
}

QByteArray TestSafeMove::randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

void TestSafeMove::writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), qint64(content.size()));
}

QByteArray TestSafeMove::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList TestSafeMove::partialsUnder(const QString &folder)
{
    QStringList found;
    for (const QString &name : TestImages::filesUnder(folder)) {
        if (QFileInfo(name).fileName().startsWith(QLatin1String(FHSafeMove::PartialPrefix)))
            found << name;
    }
    return found;
}

int TestSafeMove::moveCode(FHIO &guard, const QString &target)
{
    try {
        guard.renameTo(target);
    } catch (const FHException &e) {
        return e.code();
    }
    return 0;
}

void TestSafeMove::shimIsLoaded()
{
    writeFile(src("probe"), "x");
    qputenv("QUILM_FAULTS", "call=unlink,path=probe,errno=EPERM");
    QVERIFY2(::unlink(QFile::encodeName(src("probe")).constData()) != 0 && errno == EPERM,
        "the fault shim is not preloaded; run this test through CTest");
}

void TestSafeMove::crossDeviceMoveKeepsContentTimeAndMode()
{
    const QByteArray content = randomBytes(700 * 1024); // several copy buffers
    writeFile(src("a.JPG"), content);
    ::chmod(QFile::encodeName(src("a.JPG")).constData(), 0640);
    const QDateTime modified(QDate(2001, 4, 6), QTime(11, 51, 40), Qt::UTC);
    {
        QFile file(src("a.JPG"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    qputenv("QUILM_FAULTS", "call=renameat2,errno=EXDEV,path=" + QFile::encodeName(m_src->path()));

    FHIO guard(src("a.JPG"), "image file in input directory");
    QCOMPARE(moveCode(guard, dst("b.JPG")), 0);
    QCOMPARE(guard.currentFile(), dst("b.JPG"));
    QVERIFY(!QFile::exists(src("a.JPG")));
    QVERIFY(readFile(dst("b.JPG")) == content);
    QCOMPARE(QFileInfo(dst("b.JPG")).lastModified().toUTC(), modified);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(dst("b.JPG")).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, 0640u);
    QCOMPARE(partialsUnder(m_dst->path()), QStringList());
}

void TestSafeMove::crossDeviceFailures_data()
{
    QTest::addColumn<QByteArray>("fault");

    QTest::newRow("disk full during the copy")
        << QByteArray("call=write,path=.quilm-partial-,after=4096,errno=ENOSPC");
    QTest::newRow("first write fails") << QByteArray("call=write,path=.quilm-partial-,errno=EIO");
    QTest::newRow("copy cannot be created")
        << QByteArray("call=open,path=.quilm-partial-,errno=EDQUOT");
    QTest::newRow("sync fails") << QByteArray("call=fsync,path=.quilm-partial-,errno=EIO");
    QTest::newRow("close fails") << QByteArray("call=close,path=.quilm-partial-,errno=EIO");
    QTest::newRow("putting in place fails")
        << QByteArray("call=renameat2,path=.quilm-partial-,errno=EIO");
    QTest::newRow("source cannot be removed") << QByteArray("call=unlink,path=%src,errno=EACCES");
    QTest::newRow("target appeared") << QByteArray();
}

void TestSafeMove::crossDeviceFailures()
{
    QFETCH(QByteArray, fault);
    const QByteArray content = randomBytes(300 * 1024);
    writeFile(src("a.JPG"), content);
    if (fault.isEmpty())
        writeFile(dst("b.JPG"), "already here");
    fault.replace("%src", QFile::encodeName(m_src->path()));
    qputenv("QUILM_FAULTS",
        "call=renameat2,errno=EXDEV,path=" + QFile::encodeName(m_src->path()) + '|' + fault);

    FHIO guard(src("a.JPG"), "image file in input directory");
    QCOMPARE(moveCode(guard, dst("b.JPG")), 265);
    qunsetenv("QUILM_FAULTS");
    QCOMPARE(guard.currentFile(), src("a.JPG"));
    QVERIFY(readFile(src("a.JPG")) == content);
    QCOMPARE(TestImages::filesUnder(m_dst->path()),
        fault.isEmpty() ? QStringList { "b.JPG" } : QStringList());
    if (fault.isEmpty())
        QCOMPARE(readFile(dst("b.JPG")), QByteArray("already here"));
}

void TestSafeMove::fallbacksNeverReplace_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::newRow("no-replace flag refused: hard link")
        << QByteArray("call=renameat2,errno=EINVAL");
    QTest::newRow("no flag, no hard links: checked rename")
        << QByteArray("call=renameat2,errno=ENOSYS|call=link,errno=EPERM");
}

void TestSafeMove::fallbacksNeverReplace()
{
    QFETCH(QByteArray, fault);
    writeFile(src("a.JPG"), "first");
    writeFile(src("b.JPG"), "second");
    writeFile(dst("taken.JPG"), "taken");
    qputenv("QUILM_FAULTS", fault);

    FHIO first(src("a.JPG"), "role");
    QCOMPARE(moveCode(first, dst("a.JPG")), 0);
    FHIO second(src("b.JPG"), "role");
    QCOMPARE(moveCode(second, dst("taken.JPG")), 265);
    QCOMPARE(moveCode(second, dst("a.JPG")), 265);
    qunsetenv("QUILM_FAULTS");

    QCOMPARE(TestImages::filesUnder(m_src->path()), QStringList { "b.JPG" });
    QCOMPARE(readFile(dst("a.JPG")), QByteArray("first"));
    QCOMPARE(readFile(dst("taken.JPG")), QByteArray("taken"));
    QCOMPARE(readFile(src("b.JPG")), QByteArray("second"));
}

void TestSafeMove::realCrossDeviceMove()
{
    struct stat shm, here;
    if (::stat("/dev/shm", &shm) != 0
        || ::stat(QFile::encodeName(m_dst->path()).constData(), &here) != 0
        || shm.st_dev == here.st_dev)
        QSKIP("no second file system at /dev/shm");
    QTemporaryDir other(QStringLiteral("/dev/shm/quilm-test-XXXXXX"));
    QVERIFY(other.isValid());
    const QByteArray content = randomBytes(100 * 1024);
    writeFile(other.filePath("a.JPG"), content);

    FHIO guard(other.filePath("a.JPG"), "role");
    QCOMPARE(moveCode(guard, dst("a.JPG")), 0);
    QVERIFY(readFile(dst("a.JPG")) == content);
    QVERIFY(!QFile::exists(other.filePath("a.JPG")));
    QCOMPARE(partialsUnder(m_dst->path()), QStringList());
}

void TestSafeMove::smallFileSystem()
{
    if (::geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    const QString mountPoint = dst("small");
    QVERIFY(QDir().mkdir(mountPoint));
    if (::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("cannot mount a tmpfs here");
    const auto unmount = qScopeGuard([&] { ::umount(QFile::encodeName(mountPoint).constData()); });

    // Too big for the 64 KiB: refused, and nothing is lost or left behind.
    const QByteArray big = randomBytes(70000);
    writeFile(src("big.JPG"), big);
    FHIO bigGuard(src("big.JPG"), "role");
    QCOMPARE(moveCode(bigGuard, mountPoint + "/big.JPG"), 265);
    QVERIFY(readFile(src("big.JPG")) == big);
    QCOMPARE(TestImages::filesUnder(mountPoint), QStringList());

    const QByteArray small = randomBytes(10000);
    writeFile(src("small.JPG"), small);
    FHIO smallGuard(src("small.JPG"), "role");
    QCOMPARE(moveCode(smallGuard, mountPoint + "/small.JPG"), 0);
    QVERIFY(readFile(mountPoint + "/small.JPG") == small);
    QVERIFY(!QFile::exists(src("small.JPG")));
}

void TestSafeMove::stalePartialCopiesAreRemoved()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    QVERIFY(child > 0);
    ::waitpid(child, nullptr, 0); // its pid now belongs to no process
    const auto partial = [](qint64 pid) {
        return QStringLiteral("%1%2-0123abcd")
            .arg(QLatin1String(FHSafeMove::PartialPrefix))
            .arg(pid);
    };
    writeFile(dst(partial(child)), "stale");
    writeFile(dst(partial(::getpid())), "ours, in progress");
    writeFile(dst(partial(1)), "another running process");

    int error = 0;
    FHSafeMove::removeStalePartialCopies(FHFolder::open(m_dst->path(), &error));
    QCOMPARE(partialsUnder(m_dst->path()), QStringList({ partial(1), partial(::getpid()) }));

    // A run that moves into the folder clears it too.
    writeFile(dst(partial(child)), "stale");
    QVERIFY(TestImages::makeImage(src("a.JPG"), "Canon", "2014:12:31 23:34:45"));
    SortRunner r;
    r.options.inputDir = m_src->path();
    r.options.outputDir = m_dst->path();
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QVERIFY(!QFile::exists(dst(partial(child))));
    QVERIFY(QFile::exists(dst("001.JPG")));
}

void TestSafeMove::failedRunLosesNothing_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<bool>("rerunFinishes");

    QTest::newRow("copy across fails in pass 1") << QByteArray(
        "call=renameat2,errno=EXDEV,path=%src|call=write,path=.quilm-partial-,after=100,errno="
        "ENOSPC") << true;
    QTest::newRow("move fails in pass 1")
        << QByteArray("call=renameat2,errno=EIO,skip=1,path=%src") << true;
    QTest::newRow("rename fails in pass 2")
        << QByteArray("call=renameat2,errno=EIO,skip=3,path=%dst") << true;
}

void TestSafeMove::failedRunLosesNothing()
{
    QFETCH(QByteArray, fault);
    QFETCH(bool, rerunFinishes);
    QVERIFY(TestImages::makeImage(src("a.JPG"), "Canon", "2014:12:31 23:34:45"));
    QVERIFY(TestImages::makeImage(src("b.PNG"), "Canon", "2014:12:31 23:34:46"));
    QVERIFY(TestImages::makeImage(src("c.JPG"), "Canon", "2014:12:31 23:34:47"));
    const TestImages::Contents before = TestImages::contentsUnder({ m_src->path() });
    fault.replace("%src", QFile::encodeName(m_src->path()));
    fault.replace("%dst", QFile::encodeName(m_dst->path()));
    qputenv("QUILM_FAULTS", fault);

    SortRunner r;
    r.options.inputDir = m_src->path();
    r.options.outputDir = m_dst->path();
    r.run();
    qunsetenv("QUILM_FAULTS");
    QCOMPARE(r.boxTexts(), QStringList { "0X000109" });
    const QStringList both { m_src->path(), m_dst->path() };
    QCOMPARE(TestImages::checkEachContentOnce(before, both), QString());
    QVERIFY(r.moved < 3u || fault.contains("skip=3"));
    // Naming needs no room: after a failure of pass 1 the files moved so far
    // have their final names.
    if (!fault.contains("skip=3")) {
        for (const QString &name : TestImages::filesUnder(m_dst->path()))
            QVERIFY2(!isTemporaryName(name), qPrintable(name));
    }

    if (rerunFinishes) {
        r.run();
        QCOMPARE(r.boxTexts(), QStringList());
        QCOMPARE(TestImages::checkEachContentOnce(before, both), QString());
        QCOMPARE(TestImages::filesUnder(m_dst->path()),
            QStringList({ "001.JPG", "002.PNG", "003.JPG" }));
    }
}

QUILM_TEST_MAIN(TestSafeMove)

#include "tst_safemove.moc"
