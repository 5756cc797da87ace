#include "EngineTest.h"
#include "Invariant.h"
#include "SortCommand.h"
#include "TestImages.h"
#include "engine/FHPaths.h"
#include "engine/platform/FHOutputLock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A file's times, taken and given back.
class KeptTimes
{
public:
    explicit KeptTimes(const QString &path)
        : m_path(path)
    {
#ifdef Q_OS_WIN
        m_kept = times(GENERIC_READ, false);
#else
        struct stat st;
        m_kept = ::stat(QFile::encodeName(path), &st) == 0;
        m_times[0] = st.st_atim;
        m_times[1] = st.st_mtim;
#endif
    }
    bool restore() const
    {
#ifdef Q_OS_WIN
        return m_kept && const_cast<KeptTimes *>(this)->times(FILE_WRITE_ATTRIBUTES, true);
#else
        return m_kept && ::utimensat(AT_FDCWD, QFile::encodeName(m_path), m_times, 0) == 0;
#endif
    }

private:
    QString m_path;
    bool m_kept = false;
#ifdef Q_OS_WIN
    bool times(DWORD access, bool set)
    {
        const HANDLE file = ::CreateFileW(m_path.toStdWString().c_str(), access,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
            nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const bool done = set ? ::SetFileTime(file, &m_times[0], &m_times[1], &m_times[2])
                              : ::GetFileTime(file, &m_times[0], &m_times[1], &m_times[2]);
        ::CloseHandle(file);
        return done;
    }
    FILETIME m_times[3];
#else
    struct timespec m_times[2];
#endif
};

// The path as the journal keeps it, inside its JSON quotes.
QByteArray asStored(const QString &path)
{
    const QByteArray quoted
        = QJsonDocument(QJsonArray { FHPaths::shown(path) }).toJson(QJsonDocument::Compact);
    return quoted.mid(2, quoted.size() - 4); // ["..."]
}

// quilm-sort with the fault shim preloaded when faults are given; killAfterUs
// kills it from outside that long after it started.
SortCommand runCommand(
    const QStringList &arguments, const QByteArray &faults = QByteArray(), qint64 killAfterUs = -1)
{
    SortCommand command;
    command.arguments = arguments;
    command.faults = faults;
    command.killAfterUs = killAfterUs;
    command.run();
    return command;
}

QString treeText(const QString &folder)
{
    return TestImages::treeOf(folder).join(QStringLiteral(" | "));
}

// The run of the journal's --runs --json listing, by id.
QJsonObject runById(const QList<QJsonObject> &runs, const QString &id)
{
    for (const QJsonObject &run : runs) {
        if (run.value(QStringLiteral("id")).toString() == id)
            return run;
    }
    return QJsonObject();
}

} // namespace

// quilm-sort --undo, --undo --dry-run and --runs as a process: events, exit
// codes, the journal's rules, an undo killed and run again, and a journal that
// cannot be kept.
class TestUndoCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void undoEvents_data();
    void undoEvents();
    void humanDryRun();
    void exitCodes_data();
    void exitCodes();
    void newestNotUndoneFirst();
    void undoKilled_data();
    void undoKilled();
    void randomUndoKills();
    void journalUnwritable_data();
    void journalUnwritable();
    void oldJournalsPruned_data();
    void oldJournalsPruned();
    void nothingOutsideTheRunsFolders_data();
    void nothingOutsideTheRunsFolders();
    void damagedLine();
    void partlyUndoneIsFinished();
    void leftoverNamedIsUndone();
    void copyRun_data();
    void copyRun();

private:
    QString path(const QString &name) const { return m_root->filePath(name); }
    QString journalFolder() const { return m_data->filePath("quilm/journal"); }
    // Four photos, one with a sidecar, into the folder.
    bool addPhotos(const QString &folder);
    // Sorts in into out; the run's id, or empty.
    QString sort(const QString &in = QString(), const QByteArray &faults = QByteArray());
    QList<QJsonObject> runs();
    // After a sort: 001.JPG edited, 003.JPG removed, a new p4.PNG in the input.
    bool makeConflicts();
    // Replaces the first line of the run's journal that holds `from`.
    bool editJournal(const QString &id, const QByteArray &from, const QByteArray &to);

    QTemporaryDir m_library;
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<QTemporaryDir> m_shm;
};

void TestUndoCommand::initTestCase()
{
    QVERIFY(m_library.isValid());
    for (int i = 1; i <= 4; ++i) {
        const QString name = QStringLiteral("p%1.%2").arg(i).arg(i == 4 ? "PNG" : "JPG");
        QVERIFY(TestImages::makeImage(
            m_library.filePath(name), "Canon", QStringLiteral("2015:01:01 0%1:00:00").arg(i)));
    }
    QFile sidecar(m_library.filePath("p2.xmp"));
    QVERIFY(sidecar.open(QIODevice::WriteOnly) && sidecar.write("<x:xmpmeta/>") > 0);
}

void TestUndoCommand::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(addPhotos(path("in")));
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid());
    useDataFolder(m_data->path());
    m_shm.reset();
}

bool TestUndoCommand::addPhotos(const QString &folder)
{
    QDir().mkpath(folder);
    for (const QString &name : TestImages::filesUnder(m_library.path())) {
        // Bytes after the picture make each copy one of a kind.
        QFile source(m_library.filePath(name));
        QFile copy(folder + '/' + name);
        const QByteArray content
            = source.open(QIODevice::ReadOnly) ? source.readAll() + folder.toUtf8() : QByteArray();
        if (content.isEmpty() || !copy.open(QIODevice::WriteOnly)
            || copy.write(content) != content.size())
            return false;
    }
    return true;
}

QString TestUndoCommand::sort(const QString &in, const QByteArray &faults)
{
    runCommand({ "--types", "all", in.isEmpty() ? path("in") : in, path("out") }, faults);
    const QList<QJsonObject> all = runs();
    return all.isEmpty() ? QString() : all.first().value("id").toString();
}

QList<QJsonObject> TestUndoCommand::runs()
{
    QList<QJsonObject> events;
    const SortCommand result = runCommand({ "--runs", "--json" });
    if (result.exitCode != 0 || !result.parseEvents(events).isEmpty())
        return {};
    return events;
}

bool TestUndoCommand::makeConflicts()
{
    QFile edited(path("out/001.JPG"));
    QFile taken(path("in/p4.PNG"));
    return edited.open(QIODevice::Append) && edited.write("edited") > 0 && edited.flush()
        && QFile::remove(path("out/003.JPG")) && taken.open(QIODevice::WriteOnly)
        && taken.write("the user's own") > 0 && taken.flush();
}

void TestUndoCommand::undoEvents_data()
{
    QTest::addColumn<bool>("dryRun");
    QTest::addColumn<bool>("conflicts");
    QTest::addColumn<QStringList>("moved"); // "output -> input"
    QTest::addColumn<QStringList>("skipped"); // "reason output"

    const QStringList all { "001.JPG -> p1.JPG", "002.JPG -> p2.JPG", "002.xmp -> p2.xmp",
        "003.JPG -> p3.JPG", "004.PNG -> p4.PNG" };
    const QStringList left { "changed 001.JPG", "missing 003.JPG", "original-taken 004.PNG" };
    const QStringList rest { "002.JPG -> p2.JPG", "002.xmp -> p2.xmp" };
    QTest::newRow("undo") << false << false << all << QStringList();
    QTest::newRow("dry run") << true << false << all << QStringList();
    QTest::newRow("undo, conflicts") << false << true << rest << left;
    QTest::newRow("dry run, conflicts") << true << true << rest << left;
}

void TestUndoCommand::undoEvents()
{
    QFETCH(bool, dryRun);
    QFETCH(bool, conflicts);
    QFETCH(QStringList, moved);
    QFETCH(QStringList, skipped);
    const QString in = treeText(path("in"));
    const QString id = sort();
    QVERIFY(!id.isEmpty());
    if (conflicts)
        QVERIFY(makeConflicts());
    const QString inBefore = treeText(path("in"));
    const QString outBefore = treeText(path("out"));
    const QStringList journals = QDir(journalFolder()).entryList(QDir::Files);

    QStringList arguments { "--undo", "--json" };
    if (dryRun)
        arguments << "--dry-run";
    const SortCommand result = runCommand(arguments);
    QCOMPARE(result.exitCode, 0);
    QList<QJsonObject> events;
    QCOMPARE(result.parseEvents(events), QString());
    QVERIFY(!events.isEmpty());

    const QDir input(path("in"));
    const QDir output(path("out"));
    QStringList moves;
    QStringList skips;
    int reports = 0;
    for (const QJsonObject &e : qAsConst(events)) {
        const QString kind = e.value("event").toString();
        const QStringList keys = e.keys();
        if (kind == "move") {
            QCOMPARE(keys, QStringList({ "event", "source", "target" }));
            QCOMPARE(e.value("source").toString(),
                QDir::toNativeSeparators(FHPaths::internal(e.value("source").toString())));
            moves << output.relativeFilePath(FHPaths::internal(e.value("source").toString()))
                    + " -> "
                    + input.relativeFilePath(FHPaths::internal(e.value("target").toString()));
        } else if (kind == "skip") {
            QCOMPARE(keys, QStringList({ "event", "reason", "source" }));
            skips << e.value("reason").toString() + ' '
                    + output.relativeFilePath(FHPaths::internal(e.value("source").toString()));
        } else if (kind == "report") {
            QCOMPARE(e.value("level").toString(), QString("message"));
            ++reports;
        } else {
            QCOMPARE(kind, QString("summary"));
            QCOMPARE(keys,
                QStringList({ "dryRun", "event", "makers", "moved", "notMoved", "otherTypes",
                    "seconds", "stopped", "waiting" }));
            QCOMPARE(e.value("moved").toInt(-1), moved.size());
            QCOMPARE(e.value("notMoved").toInt(-1), skipped.size());
            QCOMPARE(e.value("dryRun").toBool(!dryRun), dryRun);
            QVERIFY(e.value("seconds").toDouble(-1) >= 0);
        }
    }
    QCOMPARE(events.last().value("event").toString(), QString("summary"));
    moves.sort();
    skips.sort();
    QCOMPARE(moves, moved);
    QCOMPARE(skips, skipped);
    QCOMPARE(reports, skipped.size()); // each says why its file stays

    const QJsonObject run = runById(runs(), id);
    // Files left for the user's reasons leave the run undone in part only.
    QCOMPARE(run.value("undone").toBool(), !dryRun && !conflicts);
    QCOMPARE(run.value("partlyUndone").toBool(), !dryRun && conflicts);
    if (dryRun) {
        QCOMPARE(treeText(path("in")), inBefore);
        QCOMPARE(treeText(path("out")), outBefore);
        QCOMPARE(QDir(journalFolder()).entryList(QDir::Files), journals);
    } else if (!conflicts) {
        QCOMPARE(treeText(path("in")), in);
        QCOMPARE(treeText(path("out")), QString("<none>"));
    }
}

// What would go back and what stays, in words, relative to the two folders.
void TestUndoCommand::humanDryRun()
{
    QVERIFY(!sort().isEmpty());
    QVERIFY(makeConflicts());

    const SortCommand result = runCommand({ "--undo", "--dry-run" });
    QCOMPARE(result.exitCode, 0);
    const QStringList lines = QString::fromUtf8(result.out)
                                  .replace(QRegularExpression("in \\d+\\.\\d s"), "in # s")
                                  .split('\n', Qt::SkipEmptyParts);
    const QString changed = "changed since it was sorted";
    const QStringList expected { "001.JPG stays: " + changed, "002.JPG -> p2.JPG",
        "002.xmp -> p2.xmp", "003.JPG stays: no longer where the sort put it",
        "004.PNG stays: its original path is taken", "Would move 2 files back (planned in # s).",
        "Left where they are: 1 (" + changed
            + "), 1 (no longer where the sort put it), 1 (its original path is taken)." };
    QCOMPARE(lines, expected);
}

void TestUndoCommand::exitCodes_data()
{
    // Before the command: "none", "sorted" (one run), "undone" (undone too) or
    // "locked" (sorted, and another sort holds the output). %id is the sort's
    // id, %undo the undo's; %journal the journal folder, %out the output.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutPattern");
    QTest::addColumn<QString>("stderrPattern");

    const QString tryHelp = "\nTry 'quilm-sort --help' for more information\\.\n$";
    const QString nothing = "^quilm-sort: error: there is no sort to undo in '%journal'\n$";
    const QString noRun = "^quilm-sort: error: Unable to undo: no run '%1' in '%journal'\n$";
    QTest::newRow("nothing sorted") << "none" << QStringList { "--undo" } << 1 << "^$" << nothing;
    QTest::newRow("nothing sorted, dry run")
        << "none" << QStringList { "--undo", "--dry-run" } << 1 << "^$" << nothing;
    QTest::newRow("every sort undone")
        << "undone" << QStringList { "--undo" } << 1 << "^$" << nothing;
    QTest::newRow("unknown id") << "sorted" << QStringList { "--undo", "20000101-000000-000-1" }
                                << 1 << "^$" << noRun.arg("20000101-000000-000-1");
    QTest::newRow("an id outside the journal folder")
        << "sorted" << QStringList { "--undo", "../journal/%id" } << 1 << "^$"
        << noRun.arg("\\.\\./journal/%id");
    QTest::newRow("an undo's id")
        << "undone" << QStringList { "--undo", "%undo" } << 1 << "^$"
        << "^quilm-sort: error: Unable to undo '%undo': it is an undo itself, not a sort\n$";
    QTest::newRow("two ids") << "sorted" << QStringList { "--undo", "%id", "%id" } << 2 << "^$"
                             << "^quilm-sort: --undo takes at most one run id" + tryHelp;
    QTest::newRow("--runs with a folder")
        << "sorted" << QStringList { "--runs", "%id" } << 2 << "^$"
        << "^quilm-sort: --runs takes no folders" + tryHelp;
    // Nothing left to move back: harmless.
    QTest::newRow("an undone run again, by id")
        << "undone" << QStringList { "--undo", "%id", "--json" } << 0
        << "^\\{\"event\":\"summary\",\"moved\":0,\"notMoved\":0,[^\n]*\\}\n$"
        << "^$";
    QTest::newRow("no runs listed") << "none" << QStringList { "--runs" } << 0 << "^$"
                                    << "^$";
    QTest::newRow("another sort into the output")
        << "locked" << QStringList { "--undo" } << 1 << "^$"
        << "^quilm-sort: error: Another sort into '%out' is running \\(.*\\); nothing was moved "
           "back\\. Try again once it has finished\\.\n$";
}

void TestUndoCommand::exitCodes()
{
    QFETCH(QString, before);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutPattern);
    QFETCH(QString, stderrPattern);
    QString id;
    QString undo;
    if (before != "none")
        QVERIFY(!(id = sort()).isEmpty());
    if (before == "undone") {
        QCOMPARE(runCommand({ "--undo" }).exitCode, 0);
        undo = runs().value(0).value("id").toString();
    }
    FHOutputLock lock;
    if (before == "locked")
        QVERIFY(lock.tryLock(path("out")));
    const QString in = treeText(path("in"));
    const QString out = treeText(path("out"));
    const auto expand = [&](QString text, bool pattern) {
        const auto value
            = [pattern](const QString &v) { return pattern ? QRegularExpression::escape(v) : v; };
        return text.replace("%id", value(id))
            .replace("%undo", value(undo))
            .replace("%journal", value(FHPaths::shown(journalFolder())))
            .replace("%out", value(FHPaths::shown(path("out"))));
    };
    for (QString &argument : arguments)
        argument = expand(argument, false);

    const SortCommand result = runCommand(arguments);
    QCOMPARE(result.exitCode, exitCode);
    const QRegularExpression stdoutExpected(expand(stdoutPattern, true));
    QVERIFY2(
        stdoutExpected.match(QString::fromUtf8(result.out)).hasMatch(), result.out.constData());
    const QRegularExpression stderrExpected(expand(stderrPattern, true));
    QVERIFY2(
        stderrExpected.match(QString::fromUtf8(result.err)).hasMatch(), result.err.constData());
    QCOMPARE(treeText(path("in")), in);
    QCOMPARE(treeText(path("out")), out);
}

// Three runs into one output, the last cut short and the one before failed:
// --undo undoes them newest first, and --runs tells each one's state.
void TestUndoCommand::newestNotUndoneFirst()
{
    if (!SortCommand::HasFaultShim)
        QSKIP("the runs that fail and are cut short need the fault shim");
    QVERIFY(addPhotos(path("in2")) && addPhotos(path("in3")));
    const QString in = treeText(path("in"));
    const QString in2 = treeText(path("in2"));
    const QString in3 = treeText(path("in3"));
    QVERIFY(QDir().mkpath(path("out")));
    const QStringList ids { sort(path("in")),
        sort(path("in2"), "call=renameat2,errno=ENOSPC,skip=7"),
        sort(path("in3"), "call=renameat2,action=kill,skip=2") };
    QCOMPARE(QSet<QString>(ids.cbegin(), ids.cend()).size(), 3);
    QVERIFY(!ids.contains(QString()));

    const QList<QJsonObject> listed = runs();
    QCOMPARE(listed.size(), 3);
    const QStringList outcomes { "", "failed", "completed" };
    for (int i = 0; i < 3; ++i) {
        const QJsonObject run = listed.at(i);
        QCOMPARE(run.keys(),
            QStringList({ "event", "files", "id", "input", "kind", "outcome", "output",
                "partlyUndone", "time", "undone" }));
        QCOMPARE(run.value("id").toString(), ids.at(2 - i));
        QCOMPARE(run.value("kind").toString(), QString("sort"));
        QCOMPARE(run.value("outcome").toString(), outcomes.at(i));
        QCOMPARE(run.value("files").toInt(), 5);
        QCOMPARE(run.value("output").toString(), path("out"));
        QVERIFY(QDateTime::fromString(run.value("time").toString(), Qt::ISODate).isValid());
    }
    const SortCommand human = runCommand({ "--runs" });
    QCOMPARE(human.exitCode, 0);
    const QStringList lines = QString::fromUtf8(human.out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    const QStringList states { "cut short", "failed", "completed" };
    const QStringList inputs { path("in3"), path("in2"), path("in") };
    for (int i = 0; i < 3; ++i) {
        const QRegularExpression line(
            QStringLiteral("^%1  \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "
                           "     5 files  %2 +%3 -> %4$")
                .arg(ids.at(2 - i), states.at(i), QRegularExpression::escape(inputs.at(i)),
                    QRegularExpression::escape(path("out"))));
        QVERIFY2(line.match(lines.at(i)).hasMatch(), qPrintable(lines.at(i)));
    }

    for (int i = 0; i < 3; ++i) {
        const SortCommand result = runCommand({ "--undo", "--json" });
        QCOMPARE(result.exitCode, 0);
        const QJsonObject undo = runs().value(0);
        QCOMPARE(undo.value("kind").toString(), QString("undo"));
        QCOMPARE(undo.value("outcome").toString(), QString("completed"));
        QVERIFY(runById(runs(), ids.at(2 - i)).value("undone").toBool());
        const QRegularExpression state("  undo of " + ids.at(2 - i) + "  ");
        QVERIFY(state.match(QString::fromUtf8(runCommand({ "--runs" }).out)).hasMatch());
    }
    QCOMPARE(runCommand({ "--undo" }).exitCode, 1);
    QCOMPARE(treeText(path("in")), in);
    QCOMPARE(treeText(path("in2")), in2);
    QCOMPARE(treeText(path("in3")), in3);
    QCOMPARE(treeText(path("out")), QString());
}

void TestUndoCommand::undoKilled_data()
{
    // Faults of the file system for every run, and the kill of the first undo.
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<bool>("otherFs"); // the input on another file system
    QTest::addColumn<QByteArray>("kill");

    const QByteArray none;
    const QByteArray link = "call=renameat2,errno=EINVAL";
    // Five files go back: four photos, one with its sidecar.
    for (const int n : { 1, 3, 5 })
        QTest::addRow("rename %d", n)
            << none << false << "call=renameat2,skip=" + QByteArray::number(n - 1);
    // The undo's header, its batch, its end, then the sort marked undone.
    for (const int n : { 1, 2, 3, 4 })
        QTest::addRow("journal write %d", n)
            << none << false << "call=write,path=/quilm/journal/,skip=" + QByteArray::number(n - 1);
    QTest::newRow("link fallback, link 2") << link << false << QByteArray("call=link,skip=1");
    QTest::newRow("link fallback, unlink 2") << link << false << QByteArray("call=unlink,skip=1");
    QTest::newRow("across file systems, write 2")
        << none << true << QByteArray("call=write,path=.quilm-partial-,skip=1");
    QTest::newRow("across file systems, fsync 2")
        << none << true << QByteArray("call=fsync,path=.quilm-partial-,skip=1");
    QTest::newRow("across file systems, put in place 2")
        << none << true << QByteArray("call=renameat2,path=.quilm-partial-,skip=1");
    QTest::newRow("across file systems, sorted file removal 2")
        << none << true << QByteArray("call=unlink,skip=1");
}

// An undo cut short is finished by running it again: the same end as one
// undo that was never cut.
void TestUndoCommand::undoKilled()
{
    QFETCH(QByteArray, faults);
    QFETCH(bool, otherFs);
    QFETCH(QByteArray, kill);
    if (!SortCommand::HasFaultShim)
        QSKIP("kills at a chosen call need the fault shim");
    QString in = path("in");
#ifndef Q_OS_WIN
    if (otherFs) {
        m_shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/quilm-undo-XXXXXX"));
        struct stat a, b;
        if (!m_shm->isValid() || ::stat(QFile::encodeName(m_shm->path()).constData(), &a) != 0
            || ::stat(QFile::encodeName(m_root->path()).constData(), &b) != 0
            || a.st_dev == b.st_dev)
            QSKIP("no second file system at /dev/shm");
        in = m_shm->filePath("in");
        QVERIFY(addPhotos(in));
    }
#else
    Q_UNUSED(otherFs);
#endif
    QVERIFY(QDir().mkpath(path("out")));
    const QString inBefore = treeText(in);
    const QString outBefore = treeText(path("out"));
    Invariant invariant(in, path("out"));
    invariant.record();
    const QString id = sort(in, faults);
    QVERIFY(!id.isEmpty());

    const QByteArray killing
        = (faults.isEmpty() ? QByteArray() : faults + '|') + kill + ",action=kill";
    QCOMPARE(runCommand({ "--undo" }, killing).exitCode, -1);
    QCOMPARE(invariant.check(1), QString());
    const SortCommand again = runCommand({ "--undo", "--json" }, faults);
    QCOMPARE(again.exitCode, 0);
    QVERIFY(runById(runs(), id).value("undone").toBool());
    QCOMPARE(invariant.check() + "\ninput: " + treeText(in) + "\noutput: " + treeText(path("out")),
        "\ninput: " + inBefore + "\noutput: " + outBefore);
}

// Kills at a random move of an undo of more files than one batch, and one
// from outside at a random moment.
void TestUndoCommand::randomUndoKills()
{
    constexpr int Files = 305;
    for (int i = 5; i < Files; ++i)
        QVERIFY(TestImages::makeImage(path("in/more%1.JPG").arg(i), "Canon",
            QStringLiteral("2016:01:01 10:%1:%2")
                .arg(i / 60, 2, 10, QLatin1Char('0'))
                .arg(i % 60, 2, 10, QLatin1Char('0'))));
    const QString inBefore = treeText(path("in"));
    QRandomGenerator *random = QRandomGenerator::global();
    int struck = 0;
    constexpr int Kills = 3;
    for (int i = 0; i < Kills; ++i) {
        const QString id = sort();
        QVERIFY(!id.isEmpty());
        if (i + 1 < Kills && SortCommand::HasFaultShim) {
            const QByteArray skip = QByteArray::number(random->bounded(Files));
            QCOMPARE(
                runCommand({ "--undo" }, "call=renameat2,action=kill,skip=" + skip).exitCode, -1);
        } else {
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(runCommand({ "--undo", "--dry-run" }).exitCode, 0);
            runCommand({ "--undo" }, {}, random->bounded(int(clock.nsecsElapsed() / 1000) + 1));
        }
        // Struck while moving: files on both sides.
        struck += !TestImages::filesUnder(path("out")).isEmpty()
            && TestImages::filesUnder(path("in")).size() > 1;
        if (!runById(runs(), id).value("undone").toBool())
            QCOMPARE(runCommand({ "--undo" }).exitCode, 0);
        QCOMPARE(treeText(path("in")), inBefore);
        QCOMPARE(treeText(path("out")), QString("<none>"));
    }
    qInfo("%d of %d kills struck while files were going back", struck, Kills);
}

void TestUndoCommand::journalUnwritable_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("faults");

    QTest::newRow("the journal folder is a file") << "file" << QByteArray();
    QTest::newRow("the data folder is a file") << "data" << QByteArray();
    QTest::newRow("the journal cannot be created")
        << "" << QByteArray("call=open,path=/quilm/journal/,errno=EACCES");
    QTest::newRow("the journal's first line cannot be written")
        << "" << QByteArray("call=write,path=/quilm/journal/,errno=ENOSPC");
}

// A sort that could not be undone does not start: it ends before anything
// moves, and says which journal it could not keep.
void TestUndoCommand::journalUnwritable()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, faults);
    if (!faults.isEmpty() && !SortCommand::HasFaultShim)
        QSKIP("needs the fault shim");
    if (how == "file" || how == "data") {
        const QString blocked = how == "file" ? journalFolder() : m_data->filePath("quilm");
        QVERIFY(QDir().mkpath(QFileInfo(blocked).path()));
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("in the way\n") > 0);
    }
    const QString in = treeText(path("in"));

    const SortCommand result = runCommand({ "--json", path("in"), path("out") }, faults);
    QCOMPARE(result.exitCode, 1);
    const QString err = QString::fromUtf8(result.err);
    QVERIFY2(err.startsWith("quilm-sort: error: Unable to keep the journal that makes a sort "
                            "undoable: "),
        qPrintable(err));
    QVERIFY2(err.contains(FHPaths::shown(journalFolder())), qPrintable(err));
    QVERIFY2(err.contains("Nothing was moved."), qPrintable(err));
    QCOMPARE(treeText(path("in")), in);
    QCOMPARE(TestImages::filesUnder(path("out")), QStringList());
    QList<QJsonObject> events;
    QCOMPARE(result.parseEvents(events), QString());
    QCOMPARE(events.last().value("moved").toInt(-1), 0);
    QCOMPARE(treeText(path("out")), QString("<none>"));
}

void TestUndoCommand::oldJournalsPruned_data()
{
    QTest::addColumn<QList<int>>("hoursOld"); // of the journals before the run
    QTest::addColumn<int>("kept"); // of them after it

    QList<int> many;
    for (int i = 1; i <= 105; ++i)
        many << i;
    QTest::newRow("105 recent runs") << many << 99;
    QTest::newRow("older than 90 days") << QList<int> { 24, 89 * 24, 91 * 24, 400 * 24 } << 2;
}

// The journals of the last 100 runs, none older than 90 days, are kept.
void TestUndoCommand::oldJournalsPruned()
{
    QFETCH(QList<int>, hoursOld);
    QFETCH(int, kept);
    QVERIFY(QDir().mkpath(journalFolder()));
    const QDateTime now = QDateTime::currentDateTime();
    QStringList names;
    for (const int hours : hoursOld) {
        const QDateTime time = now.addSecs(-3600LL * hours);
        const QString id = time.toString("yyyyMMdd-HHmmss-zzz") + "-1";
        QFile journal(journalFolder() + '/' + id + ".jsonl");
        const QByteArray header = "{\"record\":\"run\",\"id\":\"" + id.toUtf8()
            + "\",\"kind\":\"sort\",\"time\":\"" + time.toString(Qt::ISODateWithMs).toUtf8()
            + "\",\"input\":\"/nowhere\",\"output\":\"/nowhere\"}\n";
        QVERIFY(journal.open(QIODevice::WriteOnly) && journal.write(header) == header.size());
        names << id + ".jsonl";
    }
    names.sort();
    const QString id = sort();
    QVERIFY(!id.isEmpty());
    const QStringList expected = names.mid(names.size() - kept) << id + ".jsonl";
    QCOMPARE(QDir(journalFolder()).entryList(QDir::Files, QDir::Name), expected);
}

bool TestUndoCommand::editJournal(const QString &id, const QByteArray &from, const QByteArray &to)
{
    QFile journal(journalFolder() + '/' + id + ".jsonl");
    if (!journal.open(QIODevice::ReadWrite))
        return false;
    QByteArray text = journal.readAll();
    const int at = text.indexOf(from);
    if (at < 0)
        return false;
    text.replace(at, from.size(), to);
    return journal.resize(0) && journal.seek(0) && journal.write(text) == text.size();
}

void TestUndoCommand::nothingOutsideTheRunsFolders_data()
{
    QTest::addColumn<QString>("change"); // made between the sort and the undo
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrPattern");

    QTest::newRow("an input folder swapped for a link")
        << "link" << 0 << "symbolic link stands where a folder is expected";
    QTest::newRow("a source edited to lie elsewhere")
        << "source" << 1
        << "line \\d+ of '[^']+' names '[^']+[/\\\\]elsewhere[/\\\\]p1.JPG', which lies outside";
    QTest::newRow("a folder edited to lie elsewhere")
        << "folder" << 1
        << "line \\d+ of '[^']+' names the folder '[^']+[/\\\\]elsewhere', which lies";
}

// Undo touches nothing but the run's own folders: not a folder that a link now
// leads to, not a path an edited journal names.
void TestUndoCommand::nothingOutsideTheRunsFolders()
{
    QFETCH(QString, change);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrPattern);
    QVERIFY(addPhotos(path("in/a/b")));
    QVERIFY(QDir().mkpath(path("elsewhere")));
    QCOMPARE(runCommand({ "-r", "--folders", "month", path("in"), path("out") }).exitCode, 0);
    const QString id = runs().value(0).value("id").toString();
    const QString out = treeText(path("out"));
    if (change == "link") {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes a shortcut on Windows, not a link");
#endif
        QVERIFY(QDir(path("in/a")).removeRecursively());
        QVERIFY(QFile::link(path("elsewhere"), path("in/a")));
    } else if (change == "source") {
        QVERIFY(
            editJournal(id, asStored(path("in/a/b/p1.JPG")), asStored(path("elsewhere/p1.JPG"))));
    } else {
        QVERIFY(editJournal(id, "{\"record\":\"folder\",\"path\":\"",
            "{\"record\":\"folder\",\"path\":\"" + asStored(path("elsewhere")) + "\"}\n"
                + "{\"record\":\"folder\",\"path\":\""));
    }
    const SortCommand undo = runCommand({ "--undo" });
    QCOMPARE(undo.exitCode, exitCode);
    QVERIFY2(QRegularExpression(stderrPattern).match(QString::fromUtf8(undo.err)).hasMatch(),
        undo.err.constData());
    QCOMPARE(TestImages::filesUnder(path("elsewhere")), QStringList());
    QVERIFY(QFileInfo(path("elsewhere")).isDir());
    if (change == "link") // what came from in/a stays: four photos and a sidecar
        QCOMPARE(TestImages::filesUnder(path("out")).size(), 5);
    else
        QCOMPARE(treeText(path("out")), out);
}

// A damaged line of the journal is told, with its number, and its file is
// looked for all the same.
void TestUndoCommand::damagedLine()
{
    const QString in = treeText(path("in"));
    const QString id = sort();
    QVERIFY(editJournal(id, "{\"record\":\"named\"", "{\"record\":\"named\x01"));
    const SortCommand undo = runCommand({ "--undo" });
    QCOMPARE(undo.exitCode, 0);
    QVERIFY2(QRegularExpression("Line \\d+ of the journal of run '" + id + "' is damaged")
                 .match(QString::fromUtf8(undo.err))
                 .hasMatch(),
        undo.err.constData());
    QCOMPARE(treeText(path("in")), in);
    QCOMPARE(TestImages::filesUnder(path("out")), QStringList());
    QVERIFY(runById(runs(), id).value("undone").toBool());
}

// An undo that left a file for a reason of the user's leaves the run undone in
// part; once the way is clear, the next undo finishes it.
void TestUndoCommand::partlyUndoneIsFinished()
{
    const QString in = treeText(path("in"));
    const QString id = sort();
    const QString edited = path("out/001.JPG");
    const qint64 size = QFileInfo(edited).size();
    const KeptTimes times(edited);
    QFile file(edited);
    QVERIFY(file.open(QIODevice::Append) && file.write("edited") > 0);
    file.close();
    QCOMPARE(runCommand({ "--undo" }).exitCode, 0);
    QVERIFY(runById(runs(), id).value("partlyUndone").toBool());
    QCOMPARE(TestImages::filesUnder(path("out")), QStringList { "001.JPG" });
    // While the obstacle stays, nothing is offered.
    QCOMPARE(runCommand({ "--undo" }).exitCode, 1);

    QVERIFY(file.resize(size));
    QVERIFY(times.restore());
    const SortCommand finish = runCommand({ "--undo", "--json" });
    QCOMPARE(finish.exitCode, 0);
    QCOMPARE(treeText(path("in")), in);
    QVERIFY(runById(runs(), id).value("undone").toBool());
}

// A temporary name in a folder the run sorts into, of no journal's, is named
// with the rest, told as such, and named back by the undo.
void TestUndoCommand::leftoverNamedIsUndone()
{
    QVERIFY(QDir().mkpath(path("out")));
    const QString leftover = path("out/2014-05-05-10-00-00_0000000001.JPG");
    QVERIFY(QFile::copy(m_library.filePath("p1.JPG"), leftover));
    const QString out = treeText(path("out"));
    const SortCommand sorted = runCommand({ "--json", path("in"), path("out") });
    QCOMPARE(sorted.exitCode, 0);
    QList<QJsonObject> events;
    QCOMPARE(sorted.parseEvents(events), QString());
    QStringList named;
    for (const QJsonObject &e : events) {
        if (e.value("event").toString() == "leftover")
            named << e.value("source").toString() + " -> " + e.value("target").toString();
    }
    QCOMPARE(named,
        QStringList { FHPaths::shown(leftover) + " -> " + FHPaths::shown(path("out/001.JPG")) });
    QCOMPARE(runCommand({ "--undo" }).exitCode, 0);
    QCOMPARE(treeText(path("out")), out);
}

void TestUndoCommand::copyRun_data()
{
    QTest::addColumn<QString>("verify");
    QTest::newRow("copies read back") << "full";
    QTest::newRow("copies not read back") << "none";
}

// --copy keeps the originals and puts their bytes in the output; the same card
// again copies nothing; an undo removes the copies and keeps the originals.
void TestUndoCommand::copyRun()
{
    QFETCH(QString, verify);
    const QStringList sorted { "--json", "--types", "all", "--copy", "--verify", verify, path("in"),
        path("out") };
    const auto contents = [](const QString &folder) {
        QStringList hashes;
        for (const QString &entry : TestImages::treeOf(folder))
            hashes << entry.section(QLatin1Char(' '), 1);
        hashes.sort();
        return hashes;
    };
    const QString in = treeText(path("in"));
    const int files = TestImages::filesUnder(path("in")).size();

    SortCommand copy = runCommand(sorted);
    QCOMPARE(copy.exitCode, 0);
    QList<QJsonObject> events;
    QCOMPARE(copy.parseEvents(events), QString());
    int copies = 0;
    for (const QJsonObject &event : qAsConst(events)) {
        if (event.value("event") == QLatin1String("move")) {
            QVERIFY2(event.value("copy").toBool(), qPrintable(event.value("source").toString()));
            ++copies;
        }
    }
    QCOMPARE(copies, files);
    QCOMPARE(treeText(path("in")), in);
    QCOMPARE(contents(path("out")), contents(path("in")));
    QVERIFY(QFileInfo::exists(path("out/.quilm/library.db")));

    SortCommand again = runCommand(sorted);
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(again.parseEvents(events), QString());
    QStringList reasons;
    for (const QJsonObject &event : qAsConst(events)) {
        if (event.value("event") != QLatin1String("summary"))
            reasons << event.value("reason").toString();
    }
    QCOMPARE(reasons, QVector<QString>(files, QStringLiteral("duplicate")).toList());
    QCOMPARE(TestImages::filesUnder(path("out")).size(), files);

    QCOMPARE(runCommand({ "--undo" }).exitCode, 0);
    QCOMPARE(TestImages::filesUnder(path("out")), QStringList());
    QCOMPARE(treeText(path("in")), in);
}

QUILM_ENGINE_TEST_MAIN(TestUndoCommand)

#include "tst_undocommand.moc"
