#include "cli/FHSortCommand.h"

#include "cli/FHCommandLine.h"
#include "cli/FHConsoleReporter.h"
#include "cli/FHPlanPrinter.h"
#include "cli/FHServiceSettings.h"
#ifndef Q_OS_WIN
#include "cli/FHWatch.h"
#endif
#include "engine/FHCameraClock.h"
#include "engine/FHCameraMakers.h"
#include "engine/FHException.h"
#include "engine/FHExif.h"
#include "engine/FHFileTypes.h"
#include "engine/FHIO.h"
#include "engine/FHJournal.h"
#include "engine/FHNaming.h"
#include "engine/FHPaths.h"
#include "engine/FHSortEngine.h"
#include "engine/FHUndo.h"

#include <QCoreApplication>
#include <QDir>
#include <QScopeGuard>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

std::atomic<FHSortEngine *> s_engine { nullptr };
// Raised by stopRunningSort(): a stop that comes between two runs, or before
// a run's engine exists, still stops it.
std::atomic<bool> s_stopAsked { false };

// The first Ctrl+C ends pass 1 after the file in hand, so that every moved file
// still gets its final name; a second one ends the process.
void stopOnSignal(int number)
{
    if (FHSortEngine *engine = s_engine.load())
        engine->stop();
    std::signal(number, SIG_DFL);
}

// --runs: the runs on record, newest first.
int listRuns(bool json)
{
    for (const FHJournalStore::Run &run : FHJournalStore::runs()) {
        if (json) {
            FHConsoleReporter::printEvent({ { QStringLiteral("event"), QStringLiteral("run") },
                { QStringLiteral("id"), run.id }, { QStringLiteral("kind"), run.kind },
                { QStringLiteral("time"), run.time.toString(Qt::ISODate) },
                { QStringLiteral("input"), FHPaths::shown(run.input) },
                { QStringLiteral("output"), FHPaths::shown(run.output) },
                { QStringLiteral("files"), run.fileCount },
                { QStringLiteral("outcome"), run.outcome },
                { QStringLiteral("undone"), !run.undoneBy.isEmpty() },
                { QStringLiteral("partlyUndone"),
                    run.undoneBy.isEmpty() && !run.partlyUndoneBy.isEmpty() } });
            continue;
        }
        const QString state = run.kind == QLatin1String("undo")
            ? QStringLiteral("undo of %1").arg(run.undoes)
            : !run.undoneBy.isEmpty()       ? QStringLiteral("undone")
            : !run.partlyUndoneBy.isEmpty() ? QStringLiteral("partly undone")
            : run.outcome.isEmpty()         ? QStringLiteral("cut short")
                                            : run.outcome;
        std::printf("%s  %s  %6d files  %-13s  %s -> %s\n", qUtf8Printable(run.id),
            qUtf8Printable(run.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))), run.fileCount,
            qUtf8Printable(state), qUtf8Printable(FHPaths::shown(run.input)),
            qUtf8Printable(FHPaths::shown(run.output)));
    }
    return FHSortCommand::Done;
}

// --undo [ID]: the files of a run go back.
int undo(QString id, bool dryRun, bool json, bool quiet)
{
    FHConsoleReporter console(json, quiet);
    if (id.isEmpty())
        id = FHUndo::lastUndoableRun();
    if (id.isEmpty()) {
        console.error(QStringLiteral("there is no sort to undo in '%1'")
                          .arg(FHPaths::shown(FHJournalStore::folder())));
        return FHSortCommand::RunFailed;
    }
    FHIO fileGuard(QDir::currentPath(), QStringLiteral("quilm-sort"));
    FHUndo undo(&fileGuard, &console);
    FHSortPlan plan;
    FHJournalStore::Run run;
    const FHUndo::Outcome outcome = undo.run(id, dryRun, plan, &run);
    const FHPlanPrinter printer(FHPlanPrinter::Undo, run.output, run.input, console);
    printer.printFiles(plan, dryRun);
    // After kills and reruns a sort may take more than one undo: say so.
    if (!dryRun && outcome == FHUndo::Completed) {
        if (const QString more = FHUndo::lastUndoableRun(); !more.isEmpty())
            console.message(QStringLiteral("More to undo: run %1 (quilm-sort --undo).").arg(more));
    }
    if (console.json() || (!quiet && !plan.entries.isEmpty()))
        printer.printSummary(plan, QString(), dryRun, false);
    return outcome == FHUndo::Completed ? FHSortCommand::Done : FHSortCommand::RunFailed;
}

int usageError(const QString &text)
{
    std::fprintf(stderr, "quilm-sort: %s\nTry 'quilm-sort --help' for more information.\n",
        qUtf8Printable(text));
    return FHSortCommand::UsageError;
}

// One run of the engine with the command's reports and progress line. With
// ownSignals, the first Ctrl+C or SIGTERM stops it and a second one ends the
// process; a watch handles the signals itself.
FHSortEngine::Outcome runEngine(
    const FHSortOptions &options, FHConsoleReporter &console, FHSortPlan &plan, bool ownSignals)
{
    FHIO fileGuard(QDir::currentPath(), QStringLiteral("quilm-sort"));
    FHSortEngine engine(&fileGuard, &console);
    // The EXIF library's complaints go where the reports go, with the file they
    // are about: never through the progress line, never past --quiet. A damaged
    // file can make it say the same thing many times over.
    QString complainedOf;
    int complaints = 0;
    routeExifLibraryMessages([&](const QString &text) {
        if (fileGuard.currentFile() != complainedOf) {
            complainedOf = fileGuard.currentFile();
            complaints = 0;
        }
        if (++complaints <= 3)
            console.message(QStringLiteral("%1: %2").arg(complainedOf, text));
    });
    const auto unroute = qScopeGuard([] { routeExifLibraryMessages({}); });
    int percent = 0;
    QObject::connect(&engine, &FHSortEngine::progress, [&percent](int value) { percent = value; });
    QObject::connect(&engine, &FHSortEngine::filesDone,
        [&](FHSortEngine::Stage stage, qint64 done, qint64 total) {
            static const char *const names[] = { "reading", "moving", "naming" };
            console.showProgress(percent,
                QLatin1String(
                    options.dryRun && stage != FHSortEngine::Reading ? "planning" : names[stage]),
                done, total, fileGuard.currentFile());
        });

    if (!ownSignals)
        engine.stopWhen(&s_stopAsked);
    s_engine = &engine;
    if (ownSignals) {
        std::signal(SIGINT, stopOnSignal);
        std::signal(SIGTERM, stopOnSignal);
    }
    const FHSortEngine::Outcome outcome = engine.run(options, plan);
    if (ownSignals) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
    s_engine = nullptr;
    console.clearProgress();
    return outcome;
}

// The cameras of a dry run, one line or event each.
void printCameras(const FHSortPlan &plan, FHConsoleReporter &console)
{
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    for (const FHCameraSummary &camera : cameraSummaries(plan)) {
        const QString shift = FHCameraClock::shiftText(camera.shift);
        if (console.json())
            FHConsoleReporter::printEvent({ { QStringLiteral("event"), QStringLiteral("camera") },
                { QStringLiteral("camera"), camera.camera },
                { QStringLiteral("files"), camera.files },
                { QStringLiteral("first"), camera.first.toString(Qt::ISODate) },
                { QStringLiteral("last"), camera.last.toString(Qt::ISODate) },
                { QStringLiteral("shift"), shift } });
        else
            console.printLine(
                QStringLiteral("%1  %2 files  %3 to %4  %5")
                    .arg(camera.camera)
                    .arg(camera.files)
                    .arg(camera.first.toString(format), camera.last.toString(format), shift));
    }
}

// The sort itself, once its options are known.
int sort(const FHSortOptions &options, bool json, bool quiet, bool cameras)
{
    muteExifLibraryWarnings();
    FHConsoleReporter console(json, quiet);
    FHSortPlan plan; // the makers it meets, from none
    const FHSortEngine::Outcome outcome = runEngine(options, console, plan, true);

    const QDir here(QDir::currentPath());
    const FHPlanPrinter printer(FHPlanPrinter::Sort,
        QDir::cleanPath(here.absoluteFilePath(options.inputDir)),
        QDir::cleanPath(here.absoluteFilePath(options.outputDir)), console);
    if (!plan.refusal.isEmpty())
        return FHSortCommand::UsageError;
    if (cameras) {
        printCameras(plan, console);
        return outcome == FHSortEngine::Completed ? FHSortCommand::Done : FHSortCommand::RunFailed;
    }
    printer.printFiles(plan, options.dryRun);
    printer.printLeftovers(plan, options.dryRun);
    const QString makers = FHCameraMakers::toText(plan.cameraMakers);
    // A run that failed before it listed anything has nothing to sum up.
    const bool listed = outcome != FHSortEngine::Failed || !plan.entries.isEmpty();
    if (console.json() || (listed && !quiet))
        printer.printSummary(plan, makers, options.dryRun, outcome == FHSortEngine::Stopped);
    return outcome == FHSortEngine::Completed ? FHSortCommand::Done : FHSortCommand::RunFailed;
}

// The command line, with the arguments of the settings file it names.
bool parseAll(const QStringList &arguments, FHCommandLine &line, QString *problem)
{
    if (!line.parse(arguments)) {
        *problem = line.errorText();
        return false;
    }
    if (line.settingsFile().isEmpty())
        return true;
    QStringList more;
    if (!FHServiceSettings::read(line.settingsFile(), &more, problem))
        return false;
    if (!line.parse(arguments + more)) {
        *problem = QStringLiteral("%1 (with the settings of '%2')")
                       .arg(line.errorText(), line.settingsFile());
        return false;
    }
    return true;
}

#ifndef Q_OS_WIN
// --watch: the options are read again from the settings file on SIGHUP.
int watch(const QStringList &arguments, const FHCommandLine &line)
{
    FHWatch::Settings settings;
    QString problem;
    const auto load = [arguments](FHWatch::Settings &settings, QString *problem) {
        FHCommandLine line;
        return parseAll(arguments, line, problem) && line.sortOptions(settings.options, problem)
            && line.watchTimes(&settings.settleMs, &settings.pollMs, &settings.alwaysPoll, problem);
    };
    if (line.dryRun())
        return usageError(QStringLiteral("--watch cannot be a dry run"));
    if (!load(settings, &problem))
        return usageError(problem);
    muteExifLibraryWarnings();
    FHConsoleReporter console(line.json(), line.quiet());
    FHWatch watch(
        settings, line.settingsFile().isEmpty() ? FHWatch::Loader() : FHWatch::Loader(load),
        [&console](const FHSortOptions &options, FHSortPlan &plan) {
            return runEngine(options, console, plan, false);
        },
        console);
    return watch.run();
}
#endif

} // namespace

void FHSortCommand::stopRunningSort()
{
    s_stopAsked = true;
    if (FHSortEngine *engine = s_engine.load())
        engine->stop();
}

int FHSortCommand::run(const QStringList &arguments)
{
    FHCommandLine line;
    QString problem;
    if (!parseAll(arguments, line, &problem))
        return usageError(problem);
    if (line.help()) {
        std::fputs(qUtf8Printable(line.helpText()), stdout);
        return Done;
    }
    if (line.version()) {
        std::printf("%s %s\n", qUtf8Printable(QCoreApplication::applicationName()),
            qUtf8Printable(QCoreApplication::applicationVersion()));
        return Done;
    }
    if (line.runs())
        return line.folders().isEmpty() ? listRuns(line.json())
                                        : usageError(QStringLiteral("--runs takes no folders"));
    if (line.undo()) {
        if (line.folders().size() > 1)
            return usageError(QStringLiteral("--undo takes at most one run id"));
        muteExifLibraryWarnings();
        return undo(line.folders().value(0), line.dryRun(), line.json(), line.quiet());
    }
#ifndef Q_OS_WIN
    if (line.watch())
        return watch(arguments, line);
#endif
    FHSortOptions options;
    if (!line.sortOptions(options, &problem))
        return usageError(problem);
    return sort(options, line.json(), line.quiet(), line.cameras());
}
