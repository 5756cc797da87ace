#include "EngineTest.h"
#include "Invariant.h"
#include "SortCommand.h"
#include "TestImages.h"
#include "engine/FHNaming.h"
#include "engine/FHPaths.h"
#include "engine/platform/FHOutputLock.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#ifndef Q_OS_WIN
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

constexpr int WaitMs = 60000;

// What the system calls a process of the program and of this test.
#ifdef Q_OS_WIN
const QString CommandName = QStringLiteral("quilm-sort.exe");
const QString TestName = QStringLiteral("tst_command.exe");
#else
const QString CommandName = QStringLiteral("quilm-sort");
const QString TestName = QStringLiteral("tst_command");
#endif

SortCommand runCommand(const QStringList &arguments,
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    SortCommand command;
    command.arguments = arguments;
    command.environment = environment;
    command.run();
    return command;
}

#ifndef Q_OS_WIN
// The command with its standard error on a terminal: what the terminal showed.
QByteArray runOnTerminal(const QStringList &arguments, int &exitCode)
{
    exitCode = -1;
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return QByteArray();
    QList<QByteArray> args { QByteArrayLiteral(QUILM_SORTCOMMAND) };
    for (const QString &argument : arguments)
        args << QFile::encodeName(argument);
    std::vector<char *> argv;
    for (QByteArray &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(slave, STDERR_FILENO);
        ::close(master);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(slave);
    QByteArray shown;
    QElapsedTimer timer;
    timer.start();
    while (pid > 0 && timer.elapsed() < WaitMs) {
        pollfd fd { master, POLLIN, 0 };
        if (::poll(&fd, 1, 1000) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0)
            break; // the child is gone and with it the terminal's other end
        shown.append(buffer, int(got));
    }
    if (pid > 0) {
        ::kill(pid, SIGKILL); // harmless once it has ended: it is not reaped yet
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (WIFEXITED(status))
            exitCode = WEXITSTATUS(status);
    }
    ::close(master);
    return shown;
}
#endif

QStringList lines(const QByteArray &text)
{
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList numbered(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QStringLiteral("%1.JPG").arg(i, 3, 10, QLatin1Char('0'));
    return names;
}

} // namespace

// quilm-sort as a process: exit codes, what it writes, and its lock on the output.
class TestCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exitCodes_data();
    void exitCodes();
    void jsonEvents_data();
    void jsonEvents();
    void progressOnlyOnTerminal_data();
    void progressOnlyOnTerminal();
    void humanDryRun_data();
    void humanDryRun();
    void lockedOutputIsRefused();
    void twoRunsIntoOneOutput();
    void killedRunLeavesNoLock();
    void runsWithoutDisplay();
    void reasonsOfFilesLeft_data();
    void reasonsOfFilesLeft();

private:
    QString path(const QString &name) const { return m_root->filePath(name); }
    // count photos taken an hour apart, one of a kind each, named prefix001.JPG, ...
    bool addPhotos(const QString &folder, const QString &prefix, int count);
    // The four kinds a run meets: dated (one with sub-seconds), undated, not an image.
    bool addMixedInput(const QString &folder);
    QString expand(QString text) const;

    std::unique_ptr<QTemporaryDir> m_root;
    QHash<int, QByteArray> m_hours; // a JPEG taken at that hour
    quint64 m_serial = 0;
};

void TestCommand::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(path("in")));
}

bool TestCommand::addPhotos(const QString &folder, const QString &prefix, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const int hour = i % 48;
        if (!m_hours.contains(hour)) {
            const QString made = path(QStringLiteral("hour%1.JPG").arg(hour));
            QFile file(made);
            if (!TestImages::makeImage(made, "Canon",
                    QDateTime(QDate(2015, 1, 1), QTime(0, 0))
                        .addSecs(3600 * hour)
                        .toString("yyyy:MM:dd HH:mm:ss"))
                || !file.open(QIODevice::ReadOnly))
                return false;
            m_hours.insert(hour, file.readAll());
            file.remove();
        }
        QFile file(
            QStringLiteral("%1/%2%3.JPG").arg(folder, prefix).arg(i + 1, 3, 10, QLatin1Char('0')));
        // Bytes after the end of the picture make it one of a kind and leave it readable.
        const QByteArray content = m_hours.value(hour) + "\n" + QByteArray::number(++m_serial);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return false;
    }
    return true;
}

bool TestCommand::addMixedInput(const QString &folder)
{
    QDir().mkpath(folder + "/sub");
    QFile notes(folder + "/notes.JPG");
    return TestImages::makeImage(folder + "/a.JPG", "Canon", "2014:12:31 23:00:00")
        && TestImages::makeImage(folder + "/sub/b.PNG", "NIKON", "2015:01:02 08:00:00")
        && TestImages::writeTags(
            folder + "/sub/b.PNG", { { "Exif.Photo.SubSecTimeOriginal", "25" } })
        && TestImages::makeImage(folder + "/undated.JPG") && notes.open(QIODevice::WriteOnly)
        && notes.write("shopping list\n") > 0;
}

// %root and the path that follows it up to a quote, as the command shows it.
QString TestCommand::expand(QString text) const
{
    static const QRegularExpression rooted("%root([^'\"]*)");
    QRegularExpressionMatch match;
    while ((match = rooted.match(text)).hasMatch())
        text.replace(match.capturedStart(), match.capturedLength(),
            FHPaths::shown(m_root->path() + match.captured(1)));
    return text;
}

void TestCommand::exitCodes_data()
{
    // %root is the temporary folder; "in" holds three dated photos (and, with
    // undated, a photo without a date). stderr: its exact lines, none when empty.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("undated");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutPattern");
    QTest::addColumn<QStringList>("stderrLines");

    const QStringList folders { "%root/in", "%root/out" };
    const QString tryHelp = "Try 'quilm-sort --help' for more information.";
#ifdef Q_OS_WIN
    const QString watchUsage; // the watch is a Linux service
#else
    const QString watchUsage = "       \\S*quilm-sort --watch \\[options\\] INPUT OUTPUT\\n"
                               "       \\S*quilm-sort --watch --settings FILE\\n";
#endif
    QTest::newRow("normal run") << folders << false << 0
                                << "^Moved 3 files in [0-9.]+ s( \\(\\d+ files/s\\))?\\.\\n"
                                   "Camera makers: Canon\\n$"
                                << QStringList();
    QTest::newRow("files left")
        << folders << true << 0
        << "^Moved 3 files .*\\nLeft in place: 1 \\(no capture date\\)\\.\\n"
        << QStringList();
    QTest::newRow("missing input")
        << QStringList { "%root/nowhere", "%root/out" } << false << 1 << "^$"
        << QStringList { "quilm-sort: error 0X000106: Path '%root/nowhere' does not exist. It is "
                         "expected as 'input directory'" };
    // A pattern the run would refuse is refused before it: a usage error, in the
    // engine's words.
    QTest::newRow("pattern without ${NUM}")
        << (QStringList { "--pattern", "${YYYY}" } + folders) << false << 2 << "^$"
        << QStringList { "quilm-sort: Keywords ${NUM} is missing in customized naming string "
                         "'${YYYY}'",
               tryHelp };
    QTest::newRow("pattern with a slash")
        << (QStringList { "--pattern", "a/${NUM}" } + folders) << false << 2 << "^$"
        << QStringList { "quilm-sort: the naming pattern 'a/${NUM}' cannot be used: it holds "
                         "\"/\", which would send the photos into other folders",
               tryHelp };
    QTest::newRow("pattern too long")
        << (QStringList { "--pattern", QString(250, 'x') + "${NUM}" } + folders) << false << 2
        << "^$"
        << QStringList { "quilm-sort: the naming pattern '" + QString(250, 'x')
                   + "${NUM}' cannot be used: the names would be longer than 255 bytes",
               tryHelp };
    QTest::newRow("bad pattern, missing input")
        << QStringList { "--pattern", "${YYYY}", "%root/nowhere", "%root/out" } << false << 2
        << "^$"
        << QStringList { "quilm-sort: Keywords ${NUM} is missing in customized naming string "
                         "'${YYYY}'",
               tryHelp };
    QTest::newRow("bad --folders")
        << (QStringList { "--folders", "week" } + folders) << false << 2 << "^$"
        << QStringList { "quilm-sort: --folders takes none, month or day, not 'week'", tryHelp };
    QTest::newRow("four jobs") << (QStringList { "--jobs", "4" } + folders) << false << 0
                               << "^Moved 3 files " << QStringList();
    for (const char *jobs : { "0", "-1", "two", "257" }) {
        QTest::newRow(qPrintable(QStringLiteral("--jobs %1").arg(jobs)))
            << (QStringList { "--jobs", jobs } + folders) << false << 2 << "^$"
            << QStringList { QStringLiteral("quilm-sort: --jobs takes a number of threads from "
                                            "1 to 256, not '%1'")
                                 .arg(jobs),
                   tryHelp };
    }
    QTest::newRow("missing OUTPUT")
        << QStringList { "%root/in" } << false << 2 << "^$"
        << QStringList { "quilm-sort: expected INPUT and OUTPUT, got 1 folder(s)", tryHelp };
    QTest::newRow("unknown option")
        << (QStringList { "--frobnicate" } + folders) << false << 2 << "^$"
        << QStringList { "quilm-sort: Unknown option 'frobnicate'.", tryHelp };
    // --undo takes an optional run id, which the parser alone cannot show.
    QTest::newRow("help") << QStringList { "--help" } << false << 0
                          << "^Usage: \\S*quilm-sort(\\.exe)? \\[options\\] INPUT OUTPUT\\n"
                             "       \\S*quilm-sort(\\.exe)? --undo \\[ID\\] \\[options\\]\\n"
                             "       \\S*quilm-sort(\\.exe)? --runs \\[--json\\]\\n"
            + watchUsage
            + ".*\\n  --undo \\[ID\\]  +Move the files .*"
              "\\nExit status:\\n  0  .*\\n  1  .*\\n  2  usage error\\n$"
                          << QStringList();
    QTest::newRow("version") << QStringList { "--version" } << false << 0
                             << "^quilm-sort \\d+\\.\\d+\\.\\d+\\n$" << QStringList();
}

void TestCommand::exitCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, undated);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutPattern);
    QFETCH(QStringList, stderrLines);
    QVERIFY(addPhotos(path("in"), "p", 3));
    if (undated)
        QVERIFY(TestImages::makeImage(path("in/undated.JPG")));
    const QStringList input = TestImages::filesUnder(path("in"));

    for (QString &argument : arguments)
        argument = argument.replace("%root", m_root->path());
    const SortCommand result = runCommand(arguments);
    QCOMPARE(result.exitCode, exitCode);
    const QRegularExpression stdoutExpected(
        stdoutPattern, QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(
        stdoutExpected.match(QString::fromUtf8(result.out)).hasMatch(), result.out.constData());
    for (QString &line : stderrLines)
        line = expand(line);
    QCOMPARE(lines(result.err), stderrLines);

    const bool ran = exitCode == 0 && arguments.contains(path("out"));
    QCOMPARE(QFileInfo::exists(path("out")), ran);
    QCOMPARE(TestImages::filesUnder(path("out")), ran ? numbered(3) : QStringList());
    QCOMPARE(TestImages::filesUnder(path("in")),
        ran && undated ? QStringList { "undated.JPG" }
            : ran      ? QStringList()
                       : input);
}

void TestCommand::jsonEvents_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("dryRun");
    QTest::addColumn<int>("moved");
    QTest::addColumn<int>("notMoved");
    QTest::addColumn<QString>("errorCode"); // of the report that ends the run

    QTest::newRow("run") << QStringList { "-r" } << false << 2 << 2 << QString();
    QTest::newRow("dry run") << QStringList { "-r", "-n" } << true << 2 << 2 << QString();
    QTest::newRow("all images") << QStringList { "-r", "--all-images", "--folders", "day" } << false
                                << 4 << 0 << QString();
    QTest::newRow("top only") << QStringList() << false << 1 << 2 << QString();
    // OUTPUT is a file.
    QTest::newRow("failed run") << QStringList() << false << 0 << 0 << "0X000107";
}

void TestCommand::jsonEvents()
{
    QFETCH(QStringList, options);
    QFETCH(bool, dryRun);
    QFETCH(int, moved);
    QFETCH(int, notMoved);
    QFETCH(QString, errorCode);
    QVERIFY(addMixedInput(path("in")));
    if (!errorCode.isEmpty())
        QVERIFY(QFile(path("out")).open(QIODevice::WriteOnly));
    const TestImages::Contents before = TestImages::contentsUnder({ path("in") });
    QHash<QString, QByteArray> contentAt;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        contentAt.insert(it.value().first(), it.key());

    const SortCommand result
        = runCommand(options + QStringList { "--json", path("in"), path("out") });
    QCOMPARE(result.exitCode, errorCode.isEmpty() ? 0 : 1);
    QVERIFY(result.out.endsWith('\n'));

    const QRegularExpression captured("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(\\.\\d{3})?$");
    const QRegularExpression code("^0X[0-9A-F]{6}$");
    const QStringList reasons { "no-capture-date", "no-camera-maker", "unreadable", "changed",
        "undecodable-name", "stopped" };
    const QHash<QString, QString> cameraTimes { { "a.JPG", "2014-12-31T23:00:00" },
        { "b.PNG", "2015-01-02T08:00:00.250" } };
    QHash<QString, int> events;
    QStringList errorCodes;
    QJsonObject summary;
    QList<QJsonObject> parsed;
    QCOMPARE(result.parseEvents(parsed), QString());
    for (const QJsonObject &e : qAsConst(parsed)) {
        const QByteArray line = QJsonDocument(e).toJson(QJsonDocument::Compact);
        const QString kind = e.value("event").toString();
        ++events[kind];
        QStringList keys = e.keys();
        keys.sort();
        if (kind == "move") {
            // A camera's photo names its camera.
            QCOMPARE(
                keys.removeAll("camera"), e.value("dateFrom") == QLatin1String("exif") ? 1 : 0);
            QCOMPARE(keys, QStringList({ "captured", "dateFrom", "event", "source", "target" }));
            const QString source = FHPaths::internal(e.value("source").toString());
            const QString target = FHPaths::internal(e.value("target").toString());
            // With the system's own separators.
            QCOMPARE(e.value("source").toString(), QDir::toNativeSeparators(source));
            QCOMPARE(e.value("target").toString(), QDir::toNativeSeparators(target));
            QVERIFY2(contentAt.contains(source), qPrintable(source));
            QVERIFY2(target.startsWith(path("out") + '/'), qPrintable(target));
            QVERIFY2(captured.match(e.value("captured").toString()).hasMatch(), line.constData());
            // The camera's time with its sub-seconds, or the file's.
            const QString exif = cameraTimes.value(QFileInfo(source).fileName());
            QCOMPARE(e.value("dateFrom").toString(), exif.isEmpty() ? "file" : "exif");
            if (!exif.isEmpty())
                QCOMPARE(e.value("captured").toString(), exif);
            // The photo is where the event says, or (dry run) still where it was.
            QCOMPARE(Invariant::hashOf(dryRun ? source : target), contentAt.value(source));
            QCOMPARE(QFileInfo::exists(dryRun ? target : source), false);
        } else if (kind == "skip") {
            QCOMPARE(keys, QStringList({ "event", "reason", "source" }));
            QVERIFY2(reasons.contains(e.value("reason").toString()), line.constData());
            const QString source = FHPaths::internal(e.value("source").toString());
            QCOMPARE(e.value("source").toString(), QDir::toNativeSeparators(source));
            QCOMPARE(Invariant::hashOf(source), contentAt.value(source));
        } else if (kind == "report") {
            const QString level = e.value("level").toString();
            QVERIFY2(level == "message" || level == "error", line.constData());
            QVERIFY(!e.value("text").toString().isEmpty());
            if (e.contains("code")) {
                QCOMPARE(level, QString("error"));
                QVERIFY2(code.match(e.value("code").toString()).hasMatch(), line.constData());
                errorCodes << e.value("code").toString();
            }
            keys.removeOne("code");
            QCOMPARE(keys, QStringList({ "event", "level", "text" }));
        } else if (kind == "summary") {
            summary = e;
            QCOMPARE(keys,
                QStringList({ "dryRun", "event", "makers", "moved", "notMoved", "otherTypes",
                    "seconds", "stopped", "waiting" }));
            QVERIFY(e.value("otherTypes").isObject());
            QVERIFY(e.value("moved").isDouble() && e.value("notMoved").isDouble());
            QVERIFY(e.value("seconds").isDouble() && e.value("seconds").toDouble() >= 0);
            // To the millisecond, as it is measured.
            QVERIFY2(
                QRegularExpression("\"seconds\":\\d+(\\.\\d{1,3})?,").match(result.out).hasMatch(),
                result.out.constData());
            QVERIFY(e.value("makers").isString());
            QVERIFY(e.value("dryRun").isBool() && e.value("stopped").isBool());
        } else {
            QFAIL(line.constData());
        }
    }
    QCOMPARE(events.value("summary"), 1);
    QCOMPARE(summary.value("moved").toInt(), moved);
    QCOMPARE(summary.value("notMoved").toInt(), notMoved);
    QCOMPARE(summary.value("dryRun").toBool(), dryRun);
    QCOMPARE(summary.value("stopped").toBool(), false);
    QCOMPARE(events.value("move"), moved);
    QCOMPARE(events.value("skip"), notMoved);
    QCOMPARE(errorCodes, errorCode.isEmpty() ? QStringList() : QStringList { errorCode });
    if (moved > 0)
        QVERIFY(summary.value("makers").toString().contains("Canon"));
}

void TestCommand::progressOnlyOnTerminal_data()
{
    QTest::addColumn<bool>("onTerminal"); // standard error, that is
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("progress");
    QTest::newRow("terminal") << true << QStringList() << true;
    QTest::newRow("terminal, quiet") << true << QStringList { "-q" } << false;
    QTest::newRow("pipe") << false << QStringList() << false;
    QTest::newRow("pipe, dry run") << false << QStringList { "-n" } << false;
    QTest::newRow("pipe, JSON") << false << QStringList { "--json" } << false;
}

void TestCommand::progressOnlyOnTerminal()
{
    QFETCH(bool, onTerminal);
    QFETCH(QStringList, options);
    QFETCH(bool, progress);
    QVERIFY(addPhotos(path("in"), "p", 50));
    const QStringList arguments = options + QStringList { path("in"), path("out") };
    QByteArray shown;
    int exitCode = -1;
    if (onTerminal) {
#ifdef Q_OS_WIN
        QSKIP("no console can be made for the command here");
#else
        shown = runOnTerminal(arguments, exitCode);
#endif
    } else {
        const SortCommand result = runCommand(arguments);
        shown = result.err;
        exitCode = result.exitCode;
    }
    QCOMPARE(exitCode, 0);
    if (progress) {
        // Drawn over itself, and wiped before the summary.
        QVERIFY2(shown.contains("\r\033[K") && shown.contains("% reading"), shown.constData());
        QVERIFY(shown.endsWith("\r\033[K"));
    } else {
        QCOMPARE(shown, QByteArray());
    }
}

void TestCommand::humanDryRun_data()
{
    // Moves in capture order; the files that stay, in any order.
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<QStringList>("summary");

    const QStringList stays { "notes.JPG stays: unreadable", "undated.JPG stays: no capture date" };
    QTest::newRow("month folders")
        << QStringList { "-r", "--folders", "month" } << "out"
        << QStringList { "a.JPG -> 2014-12/001.JPG", "sub/b.PNG -> 2015-01/001.PNG" }
        << QStringList { "Would move 2 files \\(planned in [0-9.]+ s\\)\\.",
               "Left in place: 1 \\(no capture date\\), 1 \\(unreadable\\)\\.",
               "Camera makers: Canon\\|NIKON" };
    QTest::newRow("in place")
        << QStringList() << "in" << QStringList { "a.JPG -> 001.JPG" }
        << QStringList { "Would move 1 files \\(planned in [0-9.]+ s\\)\\.",
               "Left in place: 1 \\(no capture date\\), 1 \\(unreadable\\)\\.",
               "Camera makers: Canon" };
    QTest::newRow("pattern, output below a new folder")
        << QStringList { "-r", "--pattern", "${YYYY}_${NUM}" } << "new/out"
        << QStringList { "a.JPG -> 2014_001.JPG", "sub/b.PNG -> 2015_002.PNG" }
        << QStringList { "Would move 2 files \\(planned in [0-9.]+ s\\)\\.",
               "Left in place: 1 \\(no capture date\\), 1 \\(unreadable\\)\\.",
               "Camera makers: Canon\\|NIKON" };
}

void TestCommand::humanDryRun()
{
    QFETCH(QStringList, options);
    QFETCH(QString, output);
    QFETCH(QStringList, moves);
    QFETCH(QStringList, summary);
    QVERIFY(addMixedInput(path("in")));
    const TestImages::Contents before = TestImages::contentsUnder({ m_root->path() });
    const QStringList files = TestImages::filesUnder(m_root->path());

    const SortCommand result = runCommand(options + QStringList { "-n", path("in"), path(output) });
    QCOMPARE(result.exitCode, 0);
    QStringList printed = lines(result.out);
    QCOMPARE(printed.size(), moves.size() + 2 + summary.size());
    for (QString &move : moves)
        move = QDir::toNativeSeparators(move);
    QCOMPARE(printed.mid(0, moves.size()), moves);
    QStringList stays = printed.mid(moves.size(), 2);
    stays.sort();
    QCOMPARE(stays,
        QStringList({ "notes.JPG stays: unreadable", "undated.JPG stays: no capture date" }));
    for (int i = 0; i < summary.size(); ++i)
        QVERIFY2(QRegularExpression("^" + summary.at(i) + "$")
                     .match(printed.at(moves.size() + 2 + i))
                     .hasMatch(),
            qPrintable(printed.at(moves.size() + 2 + i)));
    // The unreadable file is named on standard error; nothing else is said there.
    QCOMPARE(lines(result.err).size(), 1);
    QVERIFY(result.err.contains(FHPaths::shown(path("in/notes.JPG")).toUtf8()));

    QCOMPARE(TestImages::checkEachContentOnce(before, { m_root->path() }), QString());
    QCOMPARE(TestImages::filesUnder(m_root->path()), files);
    QCOMPARE(QFileInfo::exists(path("out")), false);
    QCOMPARE(QFileInfo::exists(path("new")), false);
}

void TestCommand::lockedOutputIsRefused()
{
    QVERIFY(addPhotos(path("in"), "p", 3));
    QVERIFY(QDir().mkpath(path("out")));
    FHOutputLock lock;
    QVERIFY(lock.tryLock(path("out")));
    const SortCommand result = runCommand({ path("in"), path("out") });
    lock.unlock();

    QCOMPARE(result.exitCode, 1);
    QCOMPARE(lines(result.err),
        QStringList { QStringLiteral("quilm-sort: error: Another sort into '%1' is running "
                                     "(process %2 (%3)); nothing was moved. Try again "
                                     "once it has finished.")
                          .arg(FHPaths::shown(path("out")))
                          .arg(QCoreApplication::applicationPid())
                          .arg(TestName) });
    QCOMPARE(TestImages::filesUnder(path("in")).size(), 3);
    QCOMPARE(TestImages::filesUnder(path("out")), QStringList());
}

void TestCommand::twoRunsIntoOneOutput()
{
    constexpr int Each = 300;
    QVERIFY(addPhotos(path("in/a"), "a", Each));
    QVERIFY(addPhotos(path("in/b"), "b", Each));
    Invariant invariant(path("in"), path("out"));
    invariant.record();

    QProcess runs[2];
    qint64 pids[2];
    for (int i = 0; i < 2; ++i) {
        runs[i].start(QStringLiteral(QUILM_SORTCOMMAND),
            { "--json", path(i == 0 ? "in/a" : "in/b"), path("out") });
        QVERIFY(runs[i].waitForStarted(WaitMs));
        pids[i] = runs[i].processId();
    }
    int moved = 0;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(runs[i].waitForFinished(WaitMs));
        QCOMPARE(runs[i].exitStatus(), QProcess::NormalExit);
        const QString input = path(i == 0 ? "in/a" : "in/b");
        const QString err = QString::fromUtf8(runs[i].readAllStandardError());
        if (runs[i].exitCode() == 0) {
            QCOMPARE(err, QString());
            QCOMPARE(TestImages::filesUnder(input), QStringList());
            moved += Each;
            continue;
        }
        // Refused: the other run held the lock, and this one moved nothing.
        QCOMPARE(runs[i].exitCode(), 1);
        const QString holder = QStringLiteral("Another sort into '%1' is running (process %2 "
                                              "(%3)); nothing was moved")
                                   .arg(FHPaths::shown(path("out")))
                                   .arg(pids[1 - i])
                                   .arg(CommandName);
        QVERIFY2(err.contains(holder), qPrintable(err));
        QCOMPARE(TestImages::filesUnder(input).size(), Each);
    }
    QVERIFY(moved > 0);
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(TestImages::filesUnder(path("out")), numbered(moved));
}

void TestCommand::killedRunLeavesNoLock()
{
    constexpr int Count = 300;
    QVERIFY(addPhotos(path("in"), "p", Count));
    Invariant invariant(path("in"), path("out"));
    invariant.record();

    // Killed by SIGKILL as the tenth photo moves, with hundreds still to move
    // and name.
#ifdef Q_OS_WIN
    // No fault shim: killed from outside once ten photos have moved.
    QProcess run;
    run.start(QStringLiteral(QUILM_SORTCOMMAND), { path("in"), path("out") });
    QVERIFY(run.waitForStarted(WaitMs));
    QElapsedTimer waited;
    waited.start();
    while (TestImages::filesUnder(path("out")).size() < 10 && waited.elapsed() < WaitMs
        && !run.waitForFinished(1))
        ;
    run.kill();
    QVERIFY(run.waitForFinished(WaitMs));
    QCOMPARE(run.exitStatus(), QProcess::CrashExit);
#else
    SortCommand run;
    run.arguments = QStringList { path("in"), path("out") };
    run.faults = "call=renameat2,action=kill,skip=9";
    QCOMPARE(run.run(), -1);
#endif
    QVERIFY(!TestImages::filesUnder(path("out")).isEmpty());

    FHOutputLock lock;
    QVERIFY(lock.tryLock(path("out")));
    lock.unlock();
    QCOMPARE(invariant.check(), QString());

    const SortCommand next = runCommand({ path("in"), path("out") });
    QCOMPARE(next.exitCode, 0);
    QCOMPARE(next.err, QByteArray());
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(TestImages::filesUnder(path("in")), QStringList());
    QCOMPARE(TestImages::filesUnder(path("out")), numbered(Count));
}

void TestCommand::runsWithoutDisplay()
{
    QVERIFY(addPhotos(path("in"), "p", 2));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QString::fromLatin1(name));
    const SortCommand result = runCommand({ path("in"), path("out") }, environment);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(TestImages::filesUnder(path("out")), numbered(2));

#ifdef Q_OS_WIN
    // The names of the DLLs it imports stand in its import table as they are.
    QFile program(QStringLiteral(QUILM_SORTCOMMAND));
    QVERIFY(program.open(QIODevice::ReadOnly));
    const QByteArray libraries = program.readAll();
    QVERIFY(libraries.contains("Qt5Core.dll"));
    QVERIFY(!libraries.contains("Qt5Gui.dll") && !libraries.contains("Qt5Widgets.dll"));
#else
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), { QStringLiteral(QUILM_SORTCOMMAND) });
    QVERIFY(ldd.waitForFinished(WaitMs));
    const QByteArray libraries = ldd.readAllStandardOutput();
    QVERIFY2(libraries.contains("libQt5Core"), libraries.constData());
    QVERIFY2(!libraries.contains("libQt5Gui") && !libraries.contains("libQt5Widgets"),
        libraries.constData());
#endif
}

void TestCommand::reasonsOfFilesLeft_data()
{
    QTest::addColumn<QString>("make"); // null: no such tag
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("reason");

    QTest::newRow("no EXIF date") << "Canon" << QString() << "no-capture-date";
    QTest::newRow("a date, no maker") << QString() << "2014:12:31 10:00:00"
                                      << "no-camera-maker";
    QTest::newRow("a date and a maker") << "Canon"
                                        << "2014:12:31 10:00:00" << QString();
}

// Each file left behind says why, in the words a user can act on.
void TestCommand::reasonsOfFilesLeft()
{
    QFETCH(QString, make);
    QFETCH(QString, date);
    QFETCH(QString, reason);
    QVERIFY(QDir().mkpath(path("in")));
    QVERIFY(TestImages::makeImage(path("in/a.JPG"), make, QString()));
    if (!date.isNull())
        QVERIFY(
            TestImages::writeTags(path("in/a.JPG"), { { "Exif.Photo.DateTimeOriginal", date } }));
    const SortCommand result = runCommand({ "--json", "-n", path("in"), path("out") });
    QCOMPARE(result.exitCode, 0);
    QList<QJsonObject> events;
    QCOMPARE(result.parseEvents(events), QString());
    QCOMPARE(events.first().value("event").toString(), reason.isEmpty() ? "move" : "skip");
    QCOMPARE(events.first().value("reason").toString(), reason);
}

QUILM_ENGINE_TEST_MAIN(TestCommand)

#include "tst_command.moc"
