// Imports from a card into a library: copies that leave the card as it was,
// only what is new, the read-back of every copy, and the ledger of the library.
#include "EngineRun.h"
#include "EngineTest.h"
#include "Invariant.h"
#include "SortCommand.h"
#include "TestImages.h"
#include "engine/FHFileIdentity.h"
#include "engine/FHLedger.h"
#include "engine/FHNaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

namespace {

// Each file below the folder with its number, size, time and content: what
// "the card is as it was" compares.
QStringList snapshot(const QString &folder)
{
    QStringList files;
    for (const QString &name : TestImages::filesUnder(folder)) {
        const QString path = folder + '/' + name;
        const FHFileIdentity id = FHFileIdentity::of(path);
        files << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(name)
                     .arg(id.inode)
                     .arg(id.size)
                     .arg(id.modifiedNs)
                     .arg(QString::fromLatin1(Invariant::hashOf(path).toHex().left(16)));
    }
    return files;
}

struct Events
{
    QList<QJsonObject> all;
    int exitCode = -1;
    QByteArray said;

    QList<QJsonObject> of(const QString &event, const QString &reason = QString()) const
    {
        QList<QJsonObject> found;
        for (const QJsonObject &e : all) {
            if (e.value("event").toString() == event
                && (reason.isEmpty() || e.value("reason").toString() == reason))
                found << e;
        }
        return found;
    }
};

// Empty when every file of the library has a row of the ledger that says it
// is there, with its size, and no such row names a file that is not there.
QString ledgerMatches(const QString &library)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(FHLedger::pathOf(library)).constData(), &db,
            SQLITE_OPEN_READONLY, nullptr)
        != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("no ledger");
    }
    QHash<QString, qint64> rows;
    sqlite3_stmt *query = nullptr;
    sqlite3_prepare_v2(db, "SELECT path, size FROM files WHERE present = 1", -1, &query, nullptr);
    while (sqlite3_step(query) == SQLITE_ROW)
        rows.insert(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(query, 0))),
            sqlite3_column_int64(query, 1));
    sqlite3_finalize(query);
    sqlite3_close(db);
    QStringList problems;
    for (const QString &name : TestImages::filesUnder(library)) {
        if (!rows.contains(name))
            problems << "not in the ledger: " + name;
        else if (rows.value(name) != QFileInfo(library + '/' + name).size())
            problems << "another size in the ledger: " + name;
        rows.remove(name);
    }
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        problems << "in the ledger, not in the library: " + it.key();
    return problems.join('\n');
}

int countRows(const QString &library, const char *where)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(FHLedger::pathOf(library)).constData(), &db,
        SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *query = nullptr;
    sqlite3_prepare_v2(
        db, QByteArray("SELECT count(*) FROM files WHERE ") + where, -1, &query, nullptr);
    const int count = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int(query, 0) : -1;
    sqlite3_finalize(query);
    sqlite3_close(db);
    return count;
}

qint64 bytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

} // namespace

class TestLibrary : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sameCardTwice();
    void deletedNotImportedAgain();
    void noFalseDuplicate_data();
    void noFalseDuplicate();
    void libraryWithoutLedger();
    void shotWithANewFile();
    void flippedBitFailsTheReadBack_data();
    void flippedBitFailsTheReadBack();
    void killedCopies_data();
    void killedCopies();
    void undoOfACopy();
    void undoWithDuplicatesLeft();
    void damagedLedger();

private:
    QString card(const QString &name = {}) const { return m_root->filePath("card/" + name); }
    QString library(const QString &name = {}) const
    {
        return (m_library.isEmpty() ? m_root->filePath("lib") : m_library) + '/' + name;
    }
    bool photo(const QString &name, int minute);
    Events sort(const QStringList &arguments, const QByteArray &faults = {});

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_library; // a folder of its own, else lib beside the card
};

void TestLibrary::init()
{
    // A card in memory, as tmpfs: the copies go to another file system.
    m_root = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/quilm-library-XXXXXX"));
    if (!m_root->isValid())
        m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(card("DCIM")));
    m_library.clear();
}

bool TestLibrary::photo(const QString &name, int minute)
{
    return TestImages::makeImage(card(name), "Canon",
        QStringLiteral("2024:05:17 10:%1:00").arg(minute, 2, 10, QLatin1Char('0')));
}

Events TestLibrary::sort(const QStringList &arguments, const QByteArray &faults)
{
    SortCommand command;
    command.arguments = QStringList { "--json", "--folders", "month", "-r" } + arguments
        << card() << library();
    command.faults = faults;
    Events events;
    events.exitCode = command.run();
    events.said = command.err;
    command.parseEvents(events.all);
    return events;
}

void TestLibrary::sameCardTwice()
{
    for (int i = 0; i < 4; ++i)
        QVERIFY(photo(QStringLiteral("DCIM/IMG_%1.JPG").arg(i), i));
    const QStringList cardBefore = snapshot(card());

    Events first = sort({ "--copy" });
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(first.of("move").size(), 4);
    for (const QJsonObject &move : first.of("move"))
        QVERIFY(move.value("copy").toBool());
    QCOMPARE(snapshot(card()), cardBefore);

    Events second = sort({ "--copy" });
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(second.of("move").size(), 0);
    QCOMPARE(second.of("skip", "duplicate").size(), 4);
    for (const QJsonObject &skip : second.of("skip")) {
        const QString of = skip.value("of").toString();
        QVERIFY2(of.startsWith(library("2024-05/")) && QFile::exists(of), qPrintable(of));
        QCOMPARE(Invariant::hashOf(of), Invariant::hashOf(skip.value("source").toString()));
    }
    QCOMPARE(snapshot(card()), cardBefore);

    // Taken after the others: exactly it comes in, after their numbers.
    QVERIFY(photo("DCIM/IMG_9.JPG", 30));
    Events third = sort({ "--copy" });
    QCOMPARE(third.of("move").size(), 1);
    QCOMPARE(third.of("move").first().value("target").toString(), library("2024-05/005.JPG"));
    QCOMPARE(third.of("skip", "duplicate").size(), 4);
    QCOMPARE(TestImages::filesUnder(library()).size(), 5);
    QCOMPARE(ledgerMatches(library()), QString());
}

void TestLibrary::deletedNotImportedAgain()
{
    for (int i = 0; i < 3; ++i)
        QVERIFY(photo(QStringLiteral("DCIM/IMG_%1.JPG").arg(i), i));
    QCOMPARE(sort({ "--copy" }).exitCode, 0);
    QVERIFY(QFile::remove(library("2024-05/002.JPG")));

    Events again = sort({ "--copy" });
    QCOMPARE(again.of("move").size(), 0);
    const QList<QJsonObject> before = again.of("skip", "imported-before");
    QCOMPARE(before.size(), 1);
    QCOMPARE(before.first().value("source").toString(), card("DCIM/IMG_1.JPG"));
    const QDateTime imported
        = QDateTime::fromString(before.first().value("imported").toString(), Qt::ISODate);
    QVERIFY(qAbs(imported.secsTo(QDateTime::currentDateTime())) < 600);

    Events back = sort({ "--copy", "--reimport" });
    QCOMPARE(back.of("move").size(), 1);
    QCOMPARE(back.of("move").first().value("source").toString(), card("DCIM/IMG_1.JPG"));
    QCOMPARE(ledgerMatches(library()), QString());
}

void TestLibrary::noFalseDuplicate_data()
{
    QTest::addColumn<bool>("inTheLibrary"); // else both on the card

    QTest::newRow("two on the card") << false;
    QTest::newRow("one in the library") << true;
}

// Same size, one byte apart in the middle: two photos.
void TestLibrary::noFalseDuplicate()
{
    QFETCH(bool, inTheLibrary);
    QVERIFY(photo("DCIM/IMG_1.JPG", 1));
    QFile twin(card("DCIM/IMG_2.JPG"));
    QVERIFY(QFile::copy(card("DCIM/IMG_1.JPG"), twin.fileName()));
    QVERIFY(twin.open(QIODevice::ReadWrite));
    const qint64 middle = twin.size() / 2;
    QVERIFY(twin.seek(middle));
    char byte = 0;
    QVERIFY(twin.getChar(&byte) && twin.seek(middle) && twin.putChar(char(byte ^ 0x01)));
    twin.close();
    if (inTheLibrary) {
        QVERIFY(QDir().mkpath(library("2024-05")));
        QVERIFY(QFile::rename(twin.fileName(), library("2024-05/001.JPG")));
    }
    Events run = sort({ "--copy" });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.of("skip").size(), 0);
    QCOMPARE(run.of("move").size(), inTheLibrary ? 1 : 2);
    QCOMPARE(TestImages::filesUnder(library()).size(), 2);
}

// A library sorted before it had a ledger: duplicates are found without
// reading the whole library, only its files of an incoming size.
void TestLibrary::libraryWithoutLedger()
{
    QVERIFY(QDir().mkpath(library("2023-01")));
    for (int i = 0; i < 8; ++i) {
        QFile big(library(QStringLiteral("2023-01/%1.JPG").arg(i + 1, 3, 10, QLatin1Char('0'))));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.write(QByteArray(300 * 1024 + i, char('a' + i))) > 0);
    }
    QVERIFY(photo("DCIM/IMG_1.JPG", 1));
    QVERIFY(photo("DCIM/IMG_2.JPG", 2));
    QVERIFY(photo("DCIM/IMG_3.JPG", 3));
    QVERIFY(QFile::copy(card("DCIM/IMG_1.JPG"), library("2023-01/100.JPG")));
    QVERIFY(!QFile::exists(FHLedger::pathOf(library())));

    EngineRun run;
    run.options.inputDir = card();
    run.options.outputDir = library();
    run.options.recursive = true;
    run.options.copy = true;
    const qint64 before = bytesReadSoFar();
    QCOMPARE(run.run(), FHSortEngine::Completed);
    const qint64 read = bytesReadSoFar() - before;
    QCOMPARE(run.reports.errors, QStringList());
    int duplicates = 0;
    for (const FHPlanEntry &entry : qAsConst(run.plan.entries))
        duplicates += entry.reason == FHSkipReason::Duplicate ? 1 : 0;
    QCOMPARE(duplicates, 1);
    QCOMPARE(TestImages::filesUnder(library()).size(), 11);
    // Of the nine files found there, the one of an incoming size was hashed.
    QCOMPARE(countRows(library(), "run = '' AND hash IS NOT NULL"), 1);
    QCOMPARE(countRows(library(), "run = ''"), 9);
    QVERIFY2(read > 0 && read < 300 * 1024, qPrintable(QString::number(read)));
    QCOMPARE(ledgerMatches(library()), QString());
}

// A RAW whose JPEG the library holds comes in with that JPEG: one number.
void TestLibrary::shotWithANewFile()
{
    QVERIFY(photo("DCIM/IMG_1.JPG", 1));
    QCOMPARE(sort({ "--copy", "--types", "all" }).exitCode, 0);
    QVERIFY(TestImages::makeImage(card("DCIM/IMG_1.CR2"), "Canon", "2024:05:17 10:01:00"));
    Events run = sort({ "--copy", "--types", "all" });
    QCOMPARE(run.of("move").size(), 2);
    QStringList targets;
    for (const QJsonObject &move : run.of("move"))
        targets << QFileInfo(move.value("target").toString()).fileName();
    targets.sort();
    QCOMPARE(targets, QStringList({ "002.CR2", "002.JPG" }));
    QCOMPARE(run.of("report").size(), 1);
    QVERIFY(
        run.of("report").first().value("text").toString().contains("with the rest of its shot"));
}

void TestLibrary::flippedBitFailsTheReadBack_data()
{
    QTest::addColumn<bool>("copy");

    QTest::newRow("copy") << true;
    QTest::newRow("move across file systems") << false;
}

void TestLibrary::flippedBitFailsTheReadBack()
{
    QFETCH(bool, copy);
    if (QFileInfo(m_root->path()).canonicalFilePath().startsWith(QDir::tempPath()))
        QSKIP("no second file system for the library");
    for (int i = 0; i < 3; ++i)
        QVERIFY(photo(QStringLiteral("DCIM/IMG_%1.JPG").arg(i), i));
    const QByteArray second = Invariant::hashOf(card("DCIM/IMG_1.JPG"));
    // The library on the disk, the card in memory.
    QTemporaryDir disk;
    const QString out = disk.filePath("lib");
    SortCommand command;
    command.arguments = QStringList { "--json", "-r" } << card() << out;
    if (copy)
        command.arguments.prepend("--copy");
    command.faults = "call=write,path=.quilm-partial-,action=flip,skip=1,count=1";
    QCOMPARE(command.run(), 0);
    QList<QJsonObject> events;
    QCOMPARE(command.parseEvents(events), QString());
    QStringList skipped;
    for (const QJsonObject &e : events) {
        if (e.value("event") == "skip")
            skipped << QFileInfo(e.value("source").toString()).fileName() + ' '
                    + e.value("reason").toString();
    }
    QCOMPARE(skipped, QStringList { "IMG_1.JPG verify-failed" });
    QCOMPARE(Invariant::hashOf(card("DCIM/IMG_1.JPG")), second);
    QCOMPARE(TestImages::filesUnder(out), QStringList({ "001.JPG", "002.JPG" }));
    QCOMPARE(TestImages::filesUnder(card("DCIM")).size(), copy ? 3 : 1);
}

void TestLibrary::killedCopies_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<int>("calls"); // how many of them a run makes, at least

    QTest::newRow("a partial copy made") << QByteArray("open,path=.quilm-partial-") << 5;
    QTest::newRow("a copy written") << QByteArray("write,path=.quilm-partial-") << 5;
    QTest::newRow("a copy made durable") << QByteArray("fsync,path=.quilm-partial-") << 5;
    // Onto a journaled file system (the disk), written out, then synced together.
    QTest::newRow("a copy written out") << QByteArray("sync_file_range,path=.quilm-partial-") << 5;
    QTest::newRow("the copies made durable together") << QByteArray("syncfs,path=/lib-") << 2;
    QTest::newRow("a copy given its temporary name")
        << QByteArray("renameat2,path=.quilm-partial-") << 5;
    QTest::newRow("a temporary name made final") << QByteArray("renameat2,path=/lib/") << 10;
    QTest::newRow("the journal written") << QByteArray("write,path=/quilm/journal/") << 3;
    QTest::newRow("the ledger written") << QByteArray("write,path=/.quilm/") << 1;
    QTest::newRow("at random") << QByteArray() << 12;
}

// Killed at each call of a kind, then run again: the card is as it was, each
// photo is in the library once, as verified, under its final name, and the
// ledger tells the library as it is.
void TestLibrary::killedCopies()
{
    QFETCH(QByteArray, call);
    QFETCH(int, calls);
    for (int i = 0; i < 5; ++i)
        QVERIFY(photo(QStringLiteral("DCIM/IMG_%1.JPG").arg(i), i));
    const QStringList cardBefore = snapshot(card());
    const TestImages::Contents contents = TestImages::contentsUnder({ card() });
    QTemporaryDir disk;
    for (int n = 0; n < calls; ++n) {
        // A library of its own each time (the journals of the runs before
        // would tell its photos as imported and deleted since), every other
        // one on the disk: a copy to another file system is read back.
        m_library = (n % 2 ? m_root->path() : disk.path()) + QStringLiteral("/lib-%1").arg(n);
        SortCommand killed;
        killed.arguments = QStringList { "--copy", "--folders", "month", "-r" } << card()
                                                                                << library();
        if (call.isEmpty())
            killed.killAfterUs = QRandomGenerator::global()->bounded(40000);
        else
            killed.faults = "call=" + call + ",action=kill,skip=" + QByteArray::number(n);
        killed.run();

        Events again = sort({ "--copy" });
        QVERIFY2(again.exitCode == 0, again.said.constData());
        QCOMPARE(snapshot(card()), cardBefore);
        QStringList problems;
        for (auto it = contents.cbegin(); it != contents.cend(); ++it) {
            int found = 0;
            for (const QString &name : TestImages::filesUnder(library()))
                found += Invariant::hashOf(library(name)) == it.key() ? 1 : 0;
            if (found != 1)
                problems << QStringLiteral("%1 found %2 times").arg(it.value().first()).arg(found);
        }
        for (const QString &name : TestImages::filesUnder(library())) {
            if (isTemporaryName(name) || name.contains(".quilm-partial-"))
                problems << "left: " + name;
        }
        if (const QString ledger = ledgerMatches(library()); !ledger.isEmpty())
            problems << ledger;
        QVERIFY2(problems.isEmpty(),
            qPrintable(QStringLiteral("killed at %1 %2:\n").arg(QString::fromLatin1(call)).arg(n)
                + problems.join('\n')));
    }
}

void TestLibrary::undoOfACopy()
{
    for (int i = 0; i < 3; ++i)
        QVERIFY(photo(QStringLiteral("DCIM/IMG_%1.JPG").arg(i), i));
    const QStringList cardBefore = snapshot(card());
    QCOMPARE(sort({ "--copy" }).exitCode, 0);
    // One copy is the only one left: its original went.
    QVERIFY(QFile::remove(card("DCIM/IMG_2.JPG")));

    SortCommand undo;
    undo.arguments = QStringList { "--undo", "--json" };
    QCOMPARE(undo.run(), 0);
    QList<QJsonObject> events;
    QCOMPARE(undo.parseEvents(events), QString());
    QStringList skipped;
    for (const QJsonObject &e : events) {
        if (e.value("event") == "skip")
            skipped << e.value("reason").toString();
    }
    QCOMPARE(skipped, QStringList { "original-gone" });
    QCOMPARE(TestImages::filesUnder(library()), QStringList { "2024-05/003.JPG" });
    QCOMPARE(snapshot(card()), cardBefore.mid(0, 2));
    QCOMPARE(ledgerMatches(library()), QString());
}

void TestLibrary::undoWithDuplicatesLeft()
{
    QVERIFY(photo("DCIM/IMG_1.JPG", 1));
    QVERIFY(photo("DCIM/IMG_2.JPG", 2));
    QVERIFY(QFile::copy(card("DCIM/IMG_1.JPG"), card("DCIM/copy of IMG_1.JPG")));
    const QStringList cardBefore = snapshot(card());
    Events run = sort({});
    QCOMPARE(run.of("move").size(), 2);
    QCOMPARE(run.of("skip", "duplicate").size(), 1);
    // Either name of the photo may be the one that stays.
    QCOMPARE(TestImages::filesUnder(card()).size(), 1);

    SortCommand undo;
    undo.arguments = QStringList { "--undo" };
    QCOMPARE(undo.run(), 0);
    QCOMPARE(snapshot(card()), cardBefore);
    QCOMPARE(TestImages::filesUnder(library()), QStringList());
}

// A ledger that cannot be read is set aside and made anew; nothing is lost
// and the duplicates are still found.
void TestLibrary::damagedLedger()
{
    QVERIFY(photo("DCIM/IMG_1.JPG", 1));
    QVERIFY(photo("DCIM/IMG_2.JPG", 2));
    QCOMPARE(sort({ "--copy" }).exitCode, 0);
    QFile ledger(FHLedger::pathOf(library()));
    QVERIFY(ledger.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(ledger.write(QByteArray(8192, 'x')) > 0);
    ledger.close();

    Events run = sort({ "--copy" });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.of("skip", "duplicate").size(), 2);
    QCOMPARE(run.of("report").size(), 1);
    QVERIFY(run.of("report").first().value("text").toString().contains("set aside"));
    QCOMPARE(ledgerMatches(library()), QString());
}

QUILM_ENGINE_TEST_MAIN(TestLibrary)
#include "tst_library.moc"
