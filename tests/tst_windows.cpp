// The Windows build's quilm-sort.exe, run under Wine from this Linux build:
// the same plan as the Linux command for the shared camera files, a real run
// that does what its plan said, kills from outside (SIGKILL of the Wine
// process) each followed by a run that finishes the job, and two runs into one
// output at once. scripts/windows/test.sh runs it with
//   QUILM_WINE_SORTCOMMAND  the quilm-sort.exe to test
//   QUILM_WIN_KILLS         how many kills (50 unless set)
// and WINEPREFIX, WINEPATH and LC_ALL set for Wine. Without the first it skips.
#include "EngineTest.h"
#include "Invariant.h"
#include "SortCommand.h"
#include "TestImages.h"
#include "engine/FHNaming.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr int WaitMs = 120000;

// Drive C: of the Wine prefix, where the runs' folders lie; Wine shows the
// rest of this machine as drive Z:.
QString driveC()
{
    return QDir::cleanPath(qEnvironmentVariable("WINEPREFIX") + QStringLiteral("/drive_c"));
}

QString windowsPath(const QString &path)
{
    const bool onC = path.startsWith(driveC() + QLatin1Char('/'));
    QString windows
        = onC ? QStringLiteral("C:") + path.mid(driveC().size()) : QStringLiteral("Z:") + path;
    return windows.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString linuxPath(QString path)
{
    if (path.startsWith(QLatin1String("C:"), Qt::CaseInsensitive))
        path.replace(0, 2, driveC());
    else if (path.startsWith(QLatin1String("Z:"), Qt::CaseInsensitive))
        path.remove(0, 2);
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// A folder of its own on drive C:.
std::unique_ptr<QTemporaryDir> folderOnC()
{
    QDir().mkpath(driveC() + QStringLiteral("/quilm-tests"));
    return std::make_unique<QTemporaryDir>(driveC() + QStringLiteral("/quilm-tests/run-XXXXXX"));
}

// An event of the Windows command as the Linux command would have written it:
// its paths, also those inside the texts, with "/"; no time taken.
QJsonObject asOnLinux(QJsonObject event)
{
    for (const char *key : { "source", "target", "group", "heldBy" }) {
        if (event.contains(QLatin1String(key)))
            event[QLatin1String(key)] = linuxPath(event.value(QLatin1String(key)).toString());
    }
    if (event.contains(QLatin1String("text"))) {
        static const QRegularExpression path(QStringLiteral("[CZ]:(\\\\[^'\"]*)"));
        QString text = event.value(QLatin1String("text")).toString();
        QRegularExpressionMatch match;
        int from = 0;
        while ((match = path.match(text, from)).hasMatch()) {
            const QString onLinux = linuxPath(match.captured(0));
            text.replace(match.capturedStart(), match.capturedLength(), onLinux);
            from = match.capturedStart() + onLinux.size();
        }
        event[QLatin1String("text")] = text;
    }
    event.remove(QLatin1String("seconds"));
    return event;
}

QStringList linesOf(const QList<QJsonObject> &events)
{
    QStringList lines;
    for (const QJsonObject &event : events)
        lines << QString::fromUtf8(QJsonDocument(event).toJson(QJsonDocument::Compact));
    return lines;
}

// The first line where the two differ, or an empty text.
QString firstDifference(const QStringList &a, const QStringList &b)
{
    for (int i = 0; i < qMax(a.size(), b.size()); ++i) {
        if (a.value(i) != b.value(i))
            return QStringLiteral("line %1:\n  %2\n  %3").arg(i + 1).arg(a.value(i), b.value(i));
    }
    return QString();
}

QStringList leftBehindUnder(const QString &folder)
{
    QStringList found;
    QDirIterator it(
        folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = it.fileName();
        if (isTemporaryName(path) || name.startsWith(QLatin1String(".quilm-")))
            found << path;
    }
    return found;
}

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString copy = to + path.mid(from.size());
        if (!QDir().mkpath(QFileInfo(copy).path()) || !QFile::copy(path, copy))
            return false;
    }
    return true;
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cameraFilesPlan();
    void killedAndRunAgain();
    void twoRunsIntoOneOutput();

private:
    // quilm-sort.exe under Wine, its journals in the folder.
    SortCommand windowsCommand(const QStringList &arguments, const QString &journals) const;
    bool addPhotos(const QString &folder, const QString &prefix, int count);

    QStringList m_wine; // { wine64, quilm-sort.exe }
    QTemporaryDir m_library;
    quint64 m_serial = 0;
};

void TestWindows::initTestCase()
{
    const QString program = qEnvironmentVariable("QUILM_WINE_SORTCOMMAND");
    if (program.isEmpty())
        QSKIP("set QUILM_WINE_SORTCOMMAND to a Windows build's quilm-sort.exe "
              "(scripts/windows/test.sh does)");
    const QString wine
        = qEnvironmentVariable("QUILM_WINE64", QStringLiteral("/usr/lib/wine/wine64"));
    QVERIFY2(QFileInfo(program).isFile(), qPrintable(program));
    QVERIFY2(QFileInfo(wine).isExecutable(), qPrintable(wine));
    m_wine = QStringList { wine, windowsPath(program) };
    QVERIFY(m_library.isValid());
}

SortCommand TestWindows::windowsCommand(const QStringList &arguments, const QString &journals) const
{
    SortCommand command;
    command.program = m_wine;
    command.arguments = arguments;
    command.environment.insert(QStringLiteral("QUILM_JOURNAL_DIR"), windowsPath(journals));
    command.waitMs = WaitMs;
    return command;
}

bool TestWindows::addPhotos(const QString &folder, const QString &prefix, int count)
{
    // One photo per hour of a few days, each one of a kind by the bytes after
    // its picture, in a folder of its month.
    for (int i = 0; i < count; ++i) {
        const QDateTime taken = QDateTime(QDate(2015, 1, 30), QTime(0, 0)).addSecs(3600LL * 7 * i);
        const QString path = QStringLiteral("%1/%2/%3%4.JPG")
                                 .arg(folder, taken.toString("yyyy-MM"), prefix)
                                 .arg(i, 3, 10, QLatin1Char('0'));
        const QString model = m_library.filePath(taken.toString("HHmm") + ".JPG");
        if (!QFileInfo::exists(model)
            && !TestImages::makeImage(model, "Canon", taken.toString("yyyy:MM:dd HH:mm:ss")))
            return false;
        QFile source(model);
        QFile file(path);
        const QByteArray content = source.open(QIODevice::ReadOnly)
            ? source.readAll() + QByteArray::number(++m_serial)
            : QByteArray();
        if (content.isEmpty() || !QDir().mkpath(QFileInfo(path).path())
            || !file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return false;
    }
    return true;
}

// The shared camera files, planned by both builds, then sorted by Windows'.
void TestWindows::cameraFilesPlan()
{
    const QString data = QStringLiteral(QUILM_TESTDATA_DIR);
    if (!QFileInfo::exists(data + "/camera-jpeg") || !QFileInfo::exists(data + "/camera-formats"))
        QSKIP("no shared camera files");
    const auto root = folderOnC();
    const QString in = root->filePath("in");
    const QString out = root->filePath("out");
    for (const char *set : { "camera-jpeg", "camera-formats" })
        QVERIFY(copyTree(data + '/' + set, in + '/' + set));
    const QStringList options { "--json", "-r", "--types", "all" };

    SortCommand native;
    native.arguments = options + QStringList { "--dry-run", in, out };
    QCOMPARE(native.run(), 0);
    SortCommand windows
        = windowsCommand(options + QStringList { "--dry-run", windowsPath(in), windowsPath(out) },
            root->filePath("j"));
    QCOMPARE(windows.run(), 0);
    QList<QJsonObject> linuxPlan;
    QList<QJsonObject> windowsPlan;
    QCOMPARE(native.parseEvents(linuxPlan), QString());
    QCOMPARE(windows.parseEvents(windowsPlan), QString());
    // Moves go in capture order; what stays, and the makers in the order they
    // were met, in the order of the listing, which is the file system's own.
    const auto plan = [](const QList<QJsonObject> &events) {
        QStringList moves;
        QStringList rest;
        for (QJsonObject event : events) {
            if (event.contains("makers")) {
                QStringList makers = event.value("makers").toString().split('|');
                makers.sort();
                event["makers"] = makers.join('|');
            }
            (event.value("event") == QLatin1String("move") ? moves : rest)
                << linesOf({ asOnLinux(event) });
        }
        rest.sort();
        return moves + rest;
    };
    const QStringList expected = plan(linuxPlan);
    const QStringList planned = plan(windowsPlan);
    QVERIFY2(planned == expected, qPrintable(firstDifference(expected, planned)));
    int moves = 0;
    for (const QJsonObject &event : qAsConst(windowsPlan))
        moves += event.value("event") == QLatin1String("move");
    QVERIFY(moves > 30);
    qInfo("the same plan from both builds: %d events, %d moves", int(planned.size()), moves);

    // Then for real: every file where the plan said, with its content.
    QHash<QString, QByteArray> before;
    for (const QJsonObject &event : qAsConst(windowsPlan)) {
        if (event.value("event") == QLatin1String("move"))
            before.insert(event.value("source").toString(),
                Invariant::hashOf(linuxPath(event.value("source").toString())));
    }
    Invariant invariant(in, out);
    invariant.record();
    SortCommand real = windowsCommand(
        options + QStringList { windowsPath(in), windowsPath(out) }, root->filePath("j"));
    QCOMPARE(real.run(), 0);
    QList<QJsonObject> done;
    QCOMPARE(real.parseEvents(done), QString());
    const auto moved = [](const QList<QJsonObject> &events) {
        QStringList lines;
        for (QJsonObject event : events) {
            if (event.value("event") == QLatin1String("summary")) {
                event.remove("seconds");
                event.remove("dryRun");
            } else if (event.value("event") == QLatin1String("report")) {
                continue;
            }
            lines << linesOf({ event });
        }
        return lines;
    };
    QVERIFY2(moved(done) == moved(windowsPlan),
        qPrintable(firstDifference(moved(windowsPlan), moved(done))));
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        QVERIFY2(!QFileInfo::exists(linuxPath(it.key())), qPrintable(it.key()));
    }
    for (const QJsonObject &event : qAsConst(done)) {
        if (event.value("event") == QLatin1String("move"))
            QCOMPARE(Invariant::hashOf(linuxPath(event.value("target").toString())),
                before.value(event.value("source").toString()));
    }
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(leftBehindUnder(out), QStringList());
}

// Each run killed at a random moment, then run again to the end: no photo
// lost or doubled, none left under a temporary name.
void TestWindows::killedAndRunAgain()
{
    const int kills = qEnvironmentVariableIntValue("QUILM_WIN_KILLS") > 0
        ? qEnvironmentVariableIntValue("QUILM_WIN_KILLS")
        : 50;
    constexpr int Photos = 120;
    const QString tree = m_library.filePath("tree");
    QVERIFY(addPhotos(tree, "p", Photos));
    const QStringList options { "-r", "--folders", "month" };

    // How long a whole run takes, Wine's start included: the kills fall in it.
    const auto timing = folderOnC();
    QVERIFY(copyTree(tree, timing->filePath("in")));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(windowsCommand(options
                     + QStringList { windowsPath(timing->filePath("in")),
                         windowsPath(timing->filePath("out")) },
                 timing->filePath("j"))
                 .run(),
        0);
    const qint64 wholeUs = clock.nsecsElapsed() / 1000;
    QCOMPARE(TestImages::filesUnder(timing->filePath("out")).size(), Photos);

    int struck = 0; // kills that ended a run before it finished
    int midway = 0; // of those, kills that left photos on both sides
    for (int i = 0; i < kills; ++i) {
        const auto root = folderOnC();
        const QString in = root->filePath("in");
        const QString out = root->filePath("out");
        QVERIFY(copyTree(tree, in));
        Invariant invariant(in, out);
        invariant.record();
        const QStringList arguments = options + QStringList { windowsPath(in), windowsPath(out) };

        SortCommand killed = windowsCommand(arguments, root->filePath("j"));
        killed.killAfterUs = QRandomGenerator::global()->bounded(int(wholeUs));
        killed.run();
        if (killed.exitCode == -1) {
            ++struck;
            const int moved = TestImages::filesUnder(out).size();
            midway += moved > 0 && moved < Photos;
        }
        // A kill may cut one move short: the photo is at both ends until the
        // next run finishes it.
        QVERIFY2(invariant.check(1).isEmpty(), qPrintable(invariant.check(1)));

        SortCommand again = windowsCommand(arguments, root->filePath("j"));
        QCOMPARE(again.run(), 0);
        const QString problems = invariant.check();
        QVERIFY2(
            problems.isEmpty(), qPrintable(QStringLiteral("kill %1: %2").arg(i).arg(problems)));
        QCOMPARE(leftBehindUnder(out), QStringList());
        QCOMPARE(TestImages::filesUnder(in), QStringList());
        QCOMPARE(TestImages::filesUnder(out).size(), Photos);
    }
    qInfo("%d kills of quilm-sort.exe (a whole run takes %lld ms): %d ended a run, %d of them "
          "with photos on both sides; every run after a kill finished the job",
        kills, wholeUs / 1000, struck, midway);
    QVERIFY(midway > 0);
}

// Two commands into one output at once: the later one is refused and moves
// nothing; the earlier one sorts all of its photos.
void TestWindows::twoRunsIntoOneOutput()
{
    constexpr int Each = 300;
    int refusals = 0;
    for (int attempt = 0; attempt < 3 && refusals == 0; ++attempt) {
        const auto root = folderOnC();
        QVERIFY(addPhotos(root->filePath("in/a"), "a", Each));
        QVERIFY(addPhotos(root->filePath("in/b"), "b", Each));
        Invariant invariant(root->filePath("in"), root->filePath("out"));
        invariant.record();
        QProcess runs[2];
        for (int i = 0; i < 2; ++i) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("QUILM_JOURNAL_DIR", windowsPath(root->filePath("j")));
            runs[i].setProcessEnvironment(environment);
            runs[i].start(m_wine.first(),
                m_wine.mid(1)
                    + QStringList { "-r", windowsPath(root->filePath(i == 0 ? "in/a" : "in/b")),
                        windowsPath(root->filePath("out")) });
            QVERIFY(runs[i].waitForStarted(WaitMs));
        }
        int moved = 0;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(runs[i].waitForFinished(WaitMs));
            const QString input = root->filePath(i == 0 ? "in/a" : "in/b");
            const QString err = QString::fromUtf8(runs[i].readAllStandardError());
            if (runs[i].exitCode() == 0) {
                QCOMPARE(TestImages::filesUnder(input), QStringList());
                moved += Each;
                continue;
            }
            QCOMPARE(runs[i].exitCode(), 1);
            const QRegularExpression refused(
                QStringLiteral("^quilm-sort: error: Another sort into '%1' is running \\(process "
                               "\\d+ \\(quilm-sort\\.exe\\)\\); nothing was moved")
                    .arg(QRegularExpression::escape(windowsPath(root->filePath("out")))));
            QVERIFY2(refused.match(err).hasMatch(), qPrintable(err));
            QCOMPARE(TestImages::filesUnder(input).size(), Each);
            ++refusals;
        }
        QCOMPARE(moved, refusals == 1 ? Each : 2 * Each);
        QCOMPARE(invariant.check(), QString());
        QCOMPARE(leftBehindUnder(root->filePath("out")), QStringList());
    }
    QCOMPARE(refusals, 1);
}

QUILM_ENGINE_TEST_MAIN(TestWindows)

#include "tst_windows.moc"
