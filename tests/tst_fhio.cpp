#include "EngineTest.h"
#include "engine/FHException.h"
#include "engine/FHIO.h"
#include "engine/FHPaths.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestFHIO : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pathsAreAbsoluteAndNative();
    void setCurrentFileEmits();
    void checks_data();
    void checks();
    void makeDirectoryOnExistingDirectoryDoesNothing();
    void makeDirectoryCreatesEveryLevel();
    void makeDirectoryFailures_data();
    void makeDirectoryFailures();
    void listing();
    void listingEndsAndEndListWithoutListing();
    void nameParts();
    void renameMovesAndEmits();
    void renameToSamePathDoesNothing();
    void renameWithOtherSpellingIsAttempted();
    void renameOntoExistingFileFails();
    void renameOfMissingFileFails();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // The same, as a report shows it.
    QString shown(const QString &name) const { return FHPaths::shown(path(name)); }
    void writeFile(const QString &name, const QByteArray &content = "data");
    static int codeOf(
        const std::function<void()> &action, QString *message = nullptr, QString *reason = nullptr);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFHIO::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFHIO::writeFile(const QString &name, const QByteArray &content)
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

int TestFHIO::codeOf(const std::function<void()> &action, QString *message, QString *reason)
{
    try {
        action();
    } catch (const FHException &e) {
        if (message)
            *message = e.message();
        if (reason)
            *reason = e.systemReason();
        return e.code();
    }
    return 0;
}

void TestFHIO::pathsAreAbsoluteAndNative()
{
    QVERIFY(QDir().mkpath(path(QStringLiteral("a/b"))));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
    FHIO relative(QStringLiteral("a/./b"), QStringLiteral("role"));
    QCOMPARE(relative.currentFile(), QDir::toNativeSeparators(path(QStringLiteral("a/b"))));
    QVERIFY(QFileInfo(relative.currentFile()).isAbsolute());

    QSignalSpy spy(&relative, &FHIO::getCurrentFile);
    relative.setCurrentFile(QStringLiteral("a//c.JPG"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QDir::toNativeSeparators(path(QStringLiteral("a/c.JPG"))));
}

void TestFHIO::setCurrentFileEmits()
{
    FHIO guard(m_dir->path(), QStringLiteral("role"));
    QSignalSpy spy(&guard, &FHIO::getCurrentFile);
    QCOMPARE(spy.count(), 0); // construction emits nothing
    guard.setCurrentFile(path(QStringLiteral("x.JPG")));
    guard.setCurrentFile(path(QStringLiteral("y.JPG")));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(guard.currentFile(), shown(QStringLiteral("y.JPG")));
    guard.setRole(QStringLiteral("other"));
    QCOMPARE(guard.role(), QStringLiteral("other"));
}

void TestFHIO::checks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("directoryCode");
    QTest::addColumn<int>("fileCode");

    QTest::newRow("directory") << "dir" << 0 << 264;
    QTest::newRow("file") << "file" << 263 << 0;
    QTest::newRow("missing") << "missing" << 262 << 262;
    QTest::newRow("link to directory") << "linkdir" << 263 << 264;
    QTest::newRow("link to file") << "linkfile" << 263 << 264;
    QTest::newRow("dangling link") << "dangling" << 262 << 262;
}

void TestFHIO::checks()
{
    QFETCH(QString, kind);
    QFETCH(int, directoryCode);
    QFETCH(int, fileCode);
#ifdef Q_OS_WIN
    if (kind.startsWith("link") || kind == "dangling")
        QSKIP("QFile::link makes shortcuts here, and Wine shows no links");
#endif

    QDir().mkdir(path(QStringLiteral("dir")));
    writeFile(QStringLiteral("file"));
    QFile::link(path(QStringLiteral("dir")), path(QStringLiteral("linkdir")));
    QFile::link(path(QStringLiteral("file")), path(QStringLiteral("linkfile")));
    QFile::link(path(QStringLiteral("nowhere")), path(QStringLiteral("dangling")));

    FHIO guard(path(kind), QStringLiteral("input directory"));
    QString message;
    QString reason;
    QCOMPARE(codeOf([&] { QVERIFY(guard.checkDirectory()); }, &message, &reason), directoryCode);
    // A link is refused as a link, not as a file.
    QCOMPARE(reason.contains("symbolic link"), kind.startsWith("link"));
    if (directoryCode) {
        const QString format = directoryCode == 262
            ? QStringLiteral("Path '%1' does not exist. It is expected as '%2'")
            : QStringLiteral("Path '%1' exists as a file. It is expected as '%2'");
        QCOMPARE(message, format.arg(shown(kind), QStringLiteral("input directory")));
    }
    QCOMPARE(codeOf([&] { QVERIFY(guard.checkFile()); }), fileCode);
}

void TestFHIO::makeDirectoryOnExistingDirectoryDoesNothing()
{
    FHIO guard(m_dir->path(), QStringLiteral("output directory"));
    QSignalSpy spy(&guard, &FHIO::getCurrentFile);
    writeFile(QStringLiteral("keep.JPG"));
    guard.makeDirectory();
    QCOMPARE(spy.count(), 0);
    QVERIFY(QFile::exists(path(QStringLiteral("keep.JPG"))));
}

void TestFHIO::makeDirectoryCreatesEveryLevel()
{
    FHIO guard(path(QStringLiteral("one/two/three")), QStringLiteral("output directory"));
    QSignalSpy spy(&guard, &FHIO::getCurrentFile);
    guard.makeDirectory();
    QVERIFY(QFileInfo(path(QStringLiteral("one/two/three"))).isDir());
    QCOMPARE(spy.count(), 0);
}

void TestFHIO::makeDirectoryFailures_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("code");

    QTest::newRow("file stands there") << "file" << 263;
    QTest::newRow("link to directory") << "linkdir" << 263;
    QTest::newRow("below a file") << "file/sub" << 261;
}

void TestFHIO::makeDirectoryFailures()
{
    QFETCH(QString, target);
    QFETCH(int, code);
#ifdef Q_OS_WIN
    if (target.startsWith("link"))
        QSKIP("QFile::link makes shortcuts here, and Wine shows no links");
#endif
    writeFile(QStringLiteral("file"));
    QDir().mkdir(path(QStringLiteral("dir")));
    QFile::link(path(QStringLiteral("dir")), path(QStringLiteral("linkdir")));

    FHIO guard(path(target), QStringLiteral("output directory"));
    QString message;
    QCOMPARE(codeOf([&] { guard.makeDirectory(); }, &message), code);
    QVERIFY(message.contains(QStringLiteral("'%1'").arg(shown(target))));
    QVERIFY(message.endsWith(QStringLiteral("It is expected as 'output directory'")));
    QCOMPARE(QFileInfo(path(QStringLiteral("file"))).size(), 4);
}

void TestFHIO::listing()
{
    writeFile(QStringLiteral("a.JPG"));
    writeFile(QStringLiteral("b.jpg"));
    writeFile(QStringLiteral("c.txt"));
    QDir().mkdir(path(QStringLiteral("sub")));
    writeFile(QStringLiteral("sub/d.Jpg"));
#ifndef Q_OS_WIN
    QFile::link(path(QStringLiteral("a.JPG")), path(QStringLiteral("link.JPG")));
#endif

    FHIO lister(m_dir->path(), QStringLiteral("input directory"));
    FHIO target(m_dir->path(), QStringLiteral("image file in input directory"));
    QSignalSpy spy(&target, &FHIO::getCurrentFile);
    const auto names = [&](QDirIterator::IteratorFlags flags) {
        QStringList found;
        lister.beginList({ QStringLiteral("*.JPG") },
            QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot, flags);
        while (lister.nextEntry(&target))
            found << QDir(m_dir->path()).relativeFilePath(target.currentFile());
        lister.endList();
        found.sort();
        return found;
    };
    QCOMPARE(names(QDirIterator::NoIteratorFlags), QStringList({ "a.JPG", "b.jpg" }));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(names(QDirIterator::Subdirectories), QStringList({ "a.JPG", "b.jpg", "sub/d.Jpg" }));
    // The listing guard keeps its own path and role.
    QCOMPARE(lister.currentFile(), FHPaths::shown(m_dir->path()));
    QCOMPARE(lister.role(), QStringLiteral("input directory"));
}

void TestFHIO::listingEndsAndEndListWithoutListing()
{
    writeFile(QStringLiteral("only.JPG"));
    FHIO lister(m_dir->path(), QStringLiteral("input directory"));
    FHIO target(m_dir->path(), QStringLiteral("file"));
    lister.endList(); // nothing open: nothing happens
    QVERIFY(!lister.nextEntry(&target));
    lister.beginList({ QStringLiteral("*.JPG") }, QDir::Files, QDirIterator::NoIteratorFlags);
    QVERIFY(lister.nextEntry(&target));
    QVERIFY(!lister.nextEntry(&target));
    QCOMPARE(target.currentFile(), shown(QStringLiteral("only.JPG")));
    lister.endList();
    lister.endList();
    QVERIFY(!lister.nextEntry(&target));

    FHIO unreadable(path(QStringLiteral("missing")), QStringLiteral("input directory"));
    unreadable.beginList({ QStringLiteral("*") }, QDir::Files, QDirIterator::NoIteratorFlags);
    QVERIFY(!unreadable.nextEntry(&target));
}

void TestFHIO::nameParts()
{
    writeFile(QStringLiteral("photo.tar.JPG"));
    FHIO guard(path(QStringLiteral("photo.tar.JPG")), QStringLiteral("file"));
    QCOMPARE(guard.suffix(), QStringLiteral("JPG"));
    QCOMPARE(guard.baseName(), QStringLiteral("photo"));
    const QDateTime created = guard.created();
    QVERIFY(created.isValid());
    QVERIFY(qAbs(created.secsTo(QDateTime::currentDateTime())) < 60);
}

void TestFHIO::renameMovesAndEmits()
{
    writeFile(QStringLiteral("a.JPG"), "content a");
    QDir().mkdir(path(QStringLiteral("out")));
    FHIO guard(path(QStringLiteral("a.JPG")), QStringLiteral("image file in input directory"));
    QSignalSpy spy(&guard, &FHIO::getCurrentFile);
    guard.renameTo(path(QStringLiteral("out/b.JPG")));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(guard.currentFile(), shown(QStringLiteral("out/b.JPG")));
    QVERIFY(!QFile::exists(path(QStringLiteral("a.JPG"))));
    QFile moved(path(QStringLiteral("out/b.JPG")));
    QVERIFY(moved.open(QIODevice::ReadOnly));
    QCOMPARE(moved.readAll(), QByteArray("content a"));
}

void TestFHIO::renameToSamePathDoesNothing()
{
    writeFile(QStringLiteral("a.JPG"));
    FHIO guard(path(QStringLiteral("a.JPG")), QStringLiteral("file"));
    QSignalSpy spy(&guard, &FHIO::getCurrentFile);
    guard.renameTo(guard.path());
    QCOMPARE(spy.count(), 0);
    QVERIFY(QFile::exists(path(QStringLiteral("a.JPG"))));
}

void TestFHIO::renameWithOtherSpellingIsAttempted()
{
    writeFile(QStringLiteral("a.JPG"), "keep me");
    FHIO guard(path(QStringLiteral("a.JPG")), QStringLiteral("file"));
    const QString sameFile = m_dir->path() + QStringLiteral("//a.JPG");
    QString message;
    // The move is tried, and a move onto an existing name, itself included, fails.
    QCOMPARE(codeOf([&] { guard.renameTo(sameFile); }, &message), 265);
    QCOMPARE(message,
        QStringLiteral("Unable to rename file from '%1' to '%2'. It is expected as 'file'")
            .arg(shown(QStringLiteral("a.JPG")), FHPaths::shown(sameFile)));
    QFile file(path(QStringLiteral("a.JPG")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestFHIO::renameOntoExistingFileFails()
{
    writeFile(QStringLiteral("a.JPG"), "first");
    writeFile(QStringLiteral("b.JPG"), "second");
    FHIO guard(path(QStringLiteral("a.JPG")), QStringLiteral("role"));
    QSignalSpy spy(&guard, &FHIO::getCurrentFile);
    QCOMPARE(codeOf([&] { guard.renameTo(path(QStringLiteral("b.JPG"))); }), 265);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(guard.currentFile(), shown(QStringLiteral("a.JPG")));
    for (const auto &expected : { qMakePair(QStringLiteral("a.JPG"), QByteArray("first")),
             qMakePair(QStringLiteral("b.JPG"), QByteArray("second")) }) {
        QFile file(path(expected.first));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected.second);
    }
}

void TestFHIO::renameOfMissingFileFails()
{
    FHIO guard(path(QStringLiteral("gone.JPG")), QStringLiteral("role"));
    QCOMPARE(codeOf([&] { guard.renameTo(path(QStringLiteral("new.JPG"))); }), 265);
    QVERIFY(!QFile::exists(path(QStringLiteral("new.JPG"))));
}

QUILM_ENGINE_TEST_MAIN(TestFHIO)
#include "tst_fhio.moc"
