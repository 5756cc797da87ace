#include "Invariant.h"
#include "SortDriver.h"
#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHIO.h"
#include "engine/FHSafeMove.h"
#include "shell/FHexiv2Application.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Mounts are made in a mount namespace of this process alone, so none outlives it.
bool g_ownMounts = false;
} // namespace

// File-system faults met by whole runs: a disk that fills, read-only and
// forbidden folders, another file system, and other programs that change the
// input or take an output name while the run works. Each run reports the
// failure, loses nothing and changes nothing it should not.
class TestFsFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void invariantSeesBreaches_data();
    void invariantSeesBreaches();
    void diskFills_data();
    void diskFills();
    void readOnly_data();
    void readOnly();
    void noPermission_data();
    void noPermission();
    void otherFileSystem_data();
    void otherFileSystem();
    void inputChangesBeforeMove_data();
    void inputChangesBeforeMove();
    void nameTakenBeforeMove_data();
    void nameTakenBeforeMove();
    void folderSwappedForALink_data();
    void folderSwappedForALink();

private:
    void mountTmpfs(const QString &path, const QByteArray &options);
    void bindReadOnly(const QString &from, const QString &to);
    static QStringList makePhotos(const QString &folder, int count, int size = 0);
    QString expand(QString text) const;
    SortRunner runner() const;
    SortDriver driver() const;

    std::unique_ptr<QTemporaryDir> m_root;
    QStringList m_mounts;
    QString m_in;
    QString m_out;
};

#define REQUIRE_MOUNTS()                                                                           \
    if (!g_ownMounts)                                                                              \
    QSKIP("mounting needs root and a mount namespace of its own")

void TestFsFaults::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_in = m_root->filePath("in");
    m_out = m_root->filePath("out");
    QVERIFY(QDir().mkpath(m_in));
}

void TestFsFaults::cleanup()
{
    while (!m_mounts.isEmpty())
        ::umount2(QFile::encodeName(m_mounts.takeLast()).constData(), MNT_DETACH);
    m_root.reset();
}

void TestFsFaults::mountTmpfs(const QString &path, const QByteArray &options)
{
    QVERIFY(QDir().mkpath(path));
    QVERIFY2(
        ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, options.constData()) == 0,
        std::strerror(errno));
    m_mounts << path;
}

void TestFsFaults::bindReadOnly(const QString &from, const QString &to)
{
    QVERIFY(QDir().mkpath(from) && QDir().mkpath(to));
    const QByteArray target = QFile::encodeName(to);
    QCOMPARE(
        ::mount(QFile::encodeName(from).constData(), target.constData(), nullptr, MS_BIND, nullptr),
        0);
    m_mounts << to;
    QCOMPARE(
        ::mount(nullptr, target.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
        0);
}

// Photos taken a minute apart, padded to the size when one is given.
QStringList TestFsFaults::makePhotos(const QString &folder, int count, int size)
{
    QStringList paths;
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("%1/p%2.JPG").arg(folder).arg(i);
        const QString date = QStringLiteral("2014:12:31 10:%1:00").arg(i, 2, 10, QLatin1Char('0'));
        if (!TestImages::makeImage(path, "Canon", date))
            return {};
        QFile file(path);
        if (size > 0
            && (!file.open(QIODevice::Append) || file.size() > size
                || file.write(QByteArray(int(size - file.size()), '\0')) < 0))
            return {};
        paths << path;
    }
    return paths;
}

QString TestFsFaults::expand(QString text) const
{
    return text.replace("%in", m_in).replace("%out", m_out);
}

SortRunner TestFsFaults::runner() const
{
    SortRunner r;
    r.options.inputDir = m_in;
    r.options.outputDir = m_out;
    return r;
}

SortDriver TestFsFaults::driver() const
{
    SortDriver d;
    d.options.inputDir = m_in;
    d.options.outputDir = m_out;
    d.workDir = m_root->filePath("work");
    QDir().mkpath(d.workDir);
    return d;
}

// The checker every test here relies on.
void TestFsFaults::invariantSeesBreaches_data()
{
    QTest::addColumn<QString>("breach");
    QTest::addColumn<QString>("seen"); // in the checker's lines

    QTest::newRow("photo moved into the output") << "move"
                                                 << "";
    QTest::newRow("partial copy under another name") << "partial"
                                                     << "";
    QTest::newRow("photo removed") << "remove"
                                   << "lost";
    QTest::newRow("photo copied") << "copy"
                                  << "doubled";
    QTest::newRow("photo cut short under its name") << "truncate"
                                                    << "foreign content";
    QTest::newRow("output file changed") << "change"
                                         << "changed in the output";
    QTest::newRow("output file removed") << "drop"
                                         << "gone from the output";
}

void TestFsFaults::invariantSeesBreaches()
{
    QFETCH(QString, breach);
    QFETCH(QString, seen);
    QCOMPARE(makePhotos(m_in, 2).size(), 2);
    QVERIFY(QDir().mkpath(m_out));
    QFile notes(m_out + "/notes.txt");
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("notes") == 5);
    notes.close();
    Invariant invariant(m_in, m_out);
    invariant.record();
    QCOMPARE(invariant.check(), QString());

    const QString photo = m_in + "/p0.JPG";
    if (breach == "move" || breach == "truncate")
        QVERIFY(QFile::rename(photo, m_out + "/001.JPG"));
    if (breach == "partial" || breach == "copy" || breach == "truncate")
        QVERIFY(QFile::copy(
            m_in + "/p1.JPG", m_out + (breach == "copy" ? "/002.JPG" : "/.quilm-partial-1-0")));
    if (breach == "truncate")
        QVERIFY(QFile::resize(m_out + "/.quilm-partial-1-0", 1000)
            && QFile::rename(m_out + "/.quilm-partial-1-0", m_out + "/002.JPG")
            && QFile::remove(m_in + "/p1.JPG"));
    if (breach == "remove")
        QVERIFY(QFile::remove(photo));
    if (breach == "change")
        QVERIFY(notes.open(QIODevice::Append) && notes.write("!") == 1);
    notes.close();
    if (breach == "drop")
        QVERIFY(QFile::remove(m_out + "/notes.txt"));
    const QString problems = invariant.check();
    QVERIFY2(seen.isEmpty() ? problems.isEmpty() : problems.contains(seen), qPrintable(problems));
}

void TestFsFaults::diskFills_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<quint32>("fit"); // into 80 KiB, counted in 4 KiB pages

    QTest::newRow("16 KiB - 1") << 16 * 1024 - 1 << 5u;
    QTest::newRow("16 KiB") << 16 * 1024 << 5u;
    QTest::newRow("16 KiB + 1") << 16 * 1024 + 1 << 4u;
    QTest::newRow("32 KiB") << 32 * 1024 << 2u;
    QTest::newRow("48 KiB + 1") << 48 * 1024 + 1 << 1u;
}

void TestFsFaults::diskFills()
{
    QFETCH(int, size);
    QFETCH(quint32, fit);
    REQUIRE_MOUNTS();
    QCOMPARE(makePhotos(m_in, 6, size).size(), 6);
    mountTmpfs(m_out, "size=80k");
    Invariant invariant(m_in, m_out);
    invariant.record();

    // Every file as it comes, so that no ledger takes room from the photos.
    SortRunner r = runner();
    r.options.duplicates = FHDuplicates::Import;
    const ReportWatch watch;
    r.run();
    QCOMPARE(checkReported(watch.take(r.boxTexts()), expand("Unable to rename file from '%in/"),
                 { "0X000109" }),
        QString());
    QCOMPARE(r.moved, fit);
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(TestImages::filesUnder(m_in).size(), int(6 - fit));
    for (const QString &name : TestImages::filesUnder(m_out))
        QVERIFY2(!name.startsWith(FHSafeMove::PartialPrefix), qPrintable(name));

    // Room made, the same run finishes.
    QCOMPARE(
        ::mount("tmpfs", QFile::encodeName(m_out).constData(), "tmpfs", MS_REMOUNT, "size=1m"), 0);
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(TestImages::filesUnder(m_out),
        QStringList({ "001.JPG", "002.JPG", "003.JPG", "004.JPG", "005.JPG", "006.JPG" }));
}

void TestFsFaults::readOnly_data()
{
    QTest::addColumn<bool>("readOnlyInput");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ledger"); // the library's ledger is kept

    // Nothing moves where the library's ledger cannot be kept.
    const QString noLedger = "Unable to keep the library's ledger, which tells the photos it "
                             "holds already: cannot create '%out/.quilm' (Read-only file system). "
                             "Nothing was moved; --duplicates import sorts without it.";
    QTest::newRow("output read-only") << false << 0 << noLedger << noLedger << true;
    // Without it, the first move finds out.
    QTest::newRow("output read-only, every file as it comes")
        << false << 0 << "0X000109"
        << "Unable to rename file from '%in/" << false;
    QTest::newRow("output read-only, sub-folders")
        << false << 1 << "0X000105"
        << "Unable to create directory '%out/2014-12'" << false;
    // The copy is made, the source cannot go: the copy goes again.
    QTest::newRow("input read-only") << true << 0 << "0X000109"
                                     << "Unable to rename file from '%in/" << true;
}

void TestFsFaults::readOnly()
{
    QFETCH(bool, readOnlyInput);
    QFETCH(int, mode);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(bool, ledger);
    REQUIRE_MOUNTS();
    const QString source = m_root->filePath("source");
    QCOMPARE(makePhotos(source, 3).size(), 3);
    if (readOnlyInput) {
        bindReadOnly(source, m_in);
        QVERIFY(QDir().mkpath(m_out));
    } else {
        QVERIFY(QDir(m_in).removeRecursively() && QDir().rename(source, m_in));
        bindReadOnly(m_root->filePath("empty"), m_out);
    }
    Invariant invariant(m_in, m_out);
    invariant.record();

    SortRunner r = runner();
    r.options.folders = FHFolderMode(mode);
    if (!ledger)
        r.options.duplicates = FHDuplicates::Import;
    const ReportWatch watch;
    r.run();
    QCOMPARE(checkReported(watch.take(r.boxTexts()), expand(text), { expand(box) }), QString());
    QCOMPARE(r.moved, 0u);
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(TestImages::filesUnder(m_out), QStringList());
}

void TestFsFaults::noPermission_data()
{
    QTest::addColumn<QString>("folder"); // made unwritable or unreadable
    QTest::addColumn<int>("permissions");
    QTest::addColumn<bool>("exifOnly");
    QTest::addColumn<quint32>("moved");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("box");

    const QString rename = "Unable to rename file from '%in/";
    QTest::newRow("input not writable") << "%in" << 0555 << true << 0u << rename << true;
    QTest::newRow("output not writable")
        << "%out" << 0555 << true << 0u
        << "Unable to keep the library's ledger, which tells the photos it holds already: "
           "cannot create '%out/.quilm' (Permission denied). Nothing was moved; --duplicates "
           "import sorts without it."
        << true;
    QTest::newRow("input unreadable")
        << "%in" << 0333 << true << 0u
        << "Unable to read directory '%in' (Permission denied): no image in it is sorted" << true;
    QTest::newRow("input sub-folder unreadable")
        << "%in/sub" << 0333 << true << 3u
        << "Unable to read directory '%in/sub' (Permission denied): no image in it is sorted"
        << false;
    QTest::newRow("output unreadable")
        << "%out" << 0333 << true << 3u
        << "Unable to read directory '%out' (Permission denied): the images in it keep their "
           "temporary names"
        << true;
    QTest::newRow("photo unreadable, exifOnly")
        << "%in/p0.JPG" << 0 << true << 2u << "Unable to read EXIF data of '%in/p0.JPG'" << false;
    QTest::newRow("photo unreadable, dated by its file")
        << "%in/p0.JPG" << 0 << false << 3u << "Unable to read EXIF data of '%in/p0.JPG'" << false;
}

void TestFsFaults::noPermission()
{
    QFETCH(QString, folder);
    QFETCH(int, permissions);
    QFETCH(bool, exifOnly);
    QFETCH(quint32, moved);
    QFETCH(QString, text);
    QFETCH(bool, box);
    if (::geteuid() != 0)
        QSKIP("needs root to start the run as nobody");
    QCOMPARE(makePhotos(m_in, 3).size(), 3);
    if (folder == "%in/sub")
        QCOMPARE(makePhotos(m_in + "/sub", 1).size(), 1);
    QVERIFY(QDir().mkpath(m_out));
    SortDriver d = driver();
    for (const QString &path : { m_root->path(), m_in, m_out, d.workDir })
        QVERIFY(::chmod(QFile::encodeName(path).constData(), path == m_root->path() ? 0755 : 0777)
            == 0);
    QVERIFY(::chmod(QFile::encodeName(expand(folder)).constData(), mode_t(permissions)) == 0);
    Invariant invariant(m_in, m_out);
    invariant.record();

    d.asNobody = true;
    d.options.exifOnly = exifOnly;
    d.options.recursive = true;
    const SortDriver::Outcome outcome = d.run();
    if (outcome == SortDriver::Failed && d.failure.startsWith("cannot start"))
        QSKIP("cannot start the run as nobody");
    QVERIFY2(outcome == SortDriver::Finished, qPrintable(d.failure));
    const QString expected = expand(text);
    QCOMPARE(checkReported(d.report, expected,
                 !box                                          ? QStringList()
                     : expected.startsWith("Unable to rename") ? QStringList { "0X000109" }
                                                               : QStringList { expected }),
        QString());
    QCOMPARE(d.moved, moved);
    QCOMPARE(invariant.check(), QString());
}

void TestFsFaults::otherFileSystem_data()
{
    QTest::addColumn<bool>("otherInput"); // else the output is elsewhere
    QTest::addColumn<int>("mode");

    QTest::newRow("output elsewhere") << false << 0;
    QTest::newRow("output elsewhere, per day") << false << 2;
    QTest::newRow("input elsewhere") << true << 1;
}

void TestFsFaults::otherFileSystem()
{
    QFETCH(bool, otherInput);
    QFETCH(int, mode);
    std::unique_ptr<QTemporaryDir> shm;
    QString elsewhere = m_root->filePath("elsewhere");
    if (g_ownMounts) {
        mountTmpfs(elsewhere, "size=16m");
    } else {
        shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/quilm-test-XXXXXX"));
        struct stat a, b;
        if (!shm->isValid() || ::stat("/dev/shm", &a) != 0
            || ::stat(QFile::encodeName(m_root->path()).constData(), &b) != 0
            || a.st_dev == b.st_dev)
            QSKIP("no second file system to use");
        elsewhere = shm->path();
    }
    if (otherInput)
        m_in = elsewhere + "/in";
    else
        m_out = elsewhere + "/out";
    QCOMPARE(makePhotos(m_in, 3).size(), 3);
    QCOMPARE(makePhotos(m_in + "/big", 1, 700 * 1024).size(), 1); // several writes
    QVERIFY(QFile::rename(m_in + "/big/p0.JPG", m_in + "/big.JPG"));
    Invariant invariant(m_in, m_out);
    invariant.record();

    SortRunner r = runner();
    r.options.folders = FHFolderMode(mode);
    r.run();
    QCOMPARE(r.boxTexts(), QStringList());
    QCOMPARE(r.moved, 4u);
    QCOMPARE(invariant.check(), QString());
    const QString folder = mode == 0 ? "" : mode == 1 ? "2014-12/" : "2014-12-31/";
    QStringList expected;
    for (int i = 1; i <= 4; ++i)
        expected << QStringLiteral("%1%2.JPG").arg(folder).arg(i, 3, 10, QLatin1Char('0'));
    QCOMPARE(TestImages::filesUnder(m_out), expected);
}

void TestFsFaults::inputChangesBeforeMove_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<quint32>("moved");
    QTest::addColumn<QString>("text"); // reported, without a box

    QTest::newRow("removed") << "remove" << 2u
                             << "'%in/p1.JPG' was removed after the input directory was listed";
    QTest::newRow("replaced by another photo") << "photo" << 3u << QString();
    QTest::newRow("replaced by a link") << "link" << 2u
                                        << "'%in/p1.JPG' is no longer a file since the input "
                                           "directory was listed; it is left where it is";
    QTest::newRow("replaced by a folder") << "folder" << 2u
                                          << "'%in/p1.JPG' is no longer a file since the input "
                                             "directory was listed; it is left where it is";
}

void TestFsFaults::inputChangesBeforeMove()
{
    QFETCH(QString, change);
    QFETCH(quint32, moved);
    QFETCH(QString, text);
    QCOMPARE(makePhotos(m_in, 3).size(), 3);
    const QString victim = m_in + "/p1.JPG";
    const QString elsewhere = m_root->filePath("elsewhere.JPG");
    QVERIFY(TestImages::makeImage(elsewhere, "Canon", "2014:12:31 12:00:00"));
    Invariant invariant(m_in, m_out);
    invariant.record();

    // Between the listing and the move of that one file, as the run announces it.
    auto *app = qobject_cast<FHexiv2Application *>(QCoreApplication::instance());
    bool done = false;
    const QMetaObject::Connection hook
        = connect(app->fileGuard(), &FHIO::getCurrentFile, this, [&](const QString &path) {
              if (done || path != victim)
                  return;
              done = true;
              invariant.forget(victim);
              QFile::remove(victim);
              if (change == "photo")
                  QFile::copy(elsewhere, victim);
              else if (change == "link")
                  QFile::link(elsewhere, victim);
              else if (change == "folder")
                  QDir().mkdir(victim);
              if (QFileInfo(victim).isFile())
                  invariant.adopt(victim);
          });
    SortRunner r = runner();
    // On one thread the file is announced before it is read; other threads
    // may have read it before.
    r.options.jobs = 1;
    const ReportWatch watch;
    r.run();
    disconnect(hook);
    QVERIFY(done);
    const RunReport report = watch.take(r.boxTexts());
    if (text.isEmpty()) {
        QCOMPARE(report.boxes, QStringList());
        QVERIFY2(!report.panel.contains(victim), qPrintable(report.panel));
    } else {
        QCOMPARE(checkReported(report, expand(text), {}), QString());
    }
    QCOMPARE(r.moved, moved);
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(TestImages::filesUnder(m_out).size(), int(moved));
    QVERIFY(QFileInfo::exists(elsewhere));
}

void TestFsFaults::nameTakenBeforeMove_data()
{
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<quint32>("moved");
    QTest::addColumn<QString>("text");

    QTest::newRow("temporary name, pass 1")
        << QByteArray("call=renameat2,path=%out,action=take,count=1") << 0u
        << "Unable to rename file from '%in/";
    QTest::newRow("final name, pass 2")
        << QByteArray("call=renameat2,path=/002.JPG,action=take,count=1") << 3u
        << "' to '%out/002.JPG'";
    QTest::newRow("final name, pass 2, without the no-replace flag")
        << QByteArray("call=renameat2,errno=EINVAL|call=link,path=/002.JPG,action=take,count=1")
        << 3u << "' to '%out/002.JPG'";
}

void TestFsFaults::nameTakenBeforeMove()
{
    QFETCH(QByteArray, faults);
    QFETCH(quint32, moved);
    QFETCH(QString, text);
    QCOMPARE(makePhotos(m_in, 3).size(), 3);
    QVERIFY(QDir().mkpath(m_out));
    Invariant invariant(m_in, m_out);
    invariant.record();
    invariant.expect("taken by another process\n");

    SortDriver d = driver();
    d.faults = expand(QString::fromLatin1(faults)).toLocal8Bit();
    QCOMPARE(d.run(), SortDriver::Finished);
    QCOMPARE(checkReported(d.report, expand(text), { "0X000109" }), QString());
    QCOMPARE(d.moved, moved);
    QCOMPARE(invariant.check(), QString());

    // The other program's file keeps its content; the next run sorts the rest.
    d.faults.clear();
    QCOMPARE(d.run(), SortDriver::Finished);
    QCOMPARE(d.report.boxes, QStringList());
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(TestImages::filesUnder(m_in), QStringList());
    QCOMPARE(
        TestImages::filesUnder(m_out), QStringList({ "001.JPG", "002.JPG", "003.JPG", "004.JPG" }));
}

void TestFsFaults::folderSwappedForALink_data()
{
    QTest::addColumn<QString>("folder"); // swapped for a link to a folder elsewhere
    QTest::addColumn<int>("mode");

    QTest::newRow("an input sub-folder") << "%in/sub" << 0;
    QTest::newRow("an output sub-folder") << "%out/2014-12" << 1;
}

// Another process swaps a folder for a link while the run moves files: nothing
// comes in from where the link leads, nothing goes there.
void TestFsFaults::folderSwappedForALink()
{
    QFETCH(QString, folder);
    QFETCH(int, mode);
    folder = expand(folder);
    QCOMPARE(makePhotos(m_in, 2).size(), 2);
    QCOMPARE(makePhotos(m_in + "/sub", 6).size(), 6);
    QVERIFY(QDir().mkpath(m_out + "/2014-12"));
    const QString victim = m_root->filePath("victim");
    QCOMPARE(makePhotos(victim, 3).size(), 3);
    const QStringList victimBefore = TestImages::treeOf(victim);
    Invariant invariant(m_in, m_out);
    invariant.record();

    SortDriver d = driver();
    d.options.recursive = true;
    d.options.folders = FHFolderMode(mode);
    d.faults = QStringLiteral("call=renameat2,skip=3,count=1,action=swap,folder=%1,link=%2")
                   .arg(folder, victim)
                   .toUtf8();
    QVERIFY2(d.run() == SortDriver::Finished, qPrintable(d.failure));
    QVERIFY2(QFileInfo(folder).isSymLink(), "the folder was not swapped");
    QCOMPARE(TestImages::treeOf(victim), victimBefore);
    QVERIFY2(d.report.log.contains(folder), qPrintable(d.report.log));
    // Every photo is where the run left it, in the input or the output, and
    // nothing of the victim's is among them.
    QVERIFY(QFile::remove(folder));
    QCOMPARE(invariant.check(), QString());
}

int main(int argc, char **argv)
{
    // Before any thread starts: a namespace of our own, where mounts stay private.
    g_ownMounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
        && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return quilmTestMain(argc, argv, [] { return new TestFsFaults; });
}

#include "tst_fsfaults.moc"
