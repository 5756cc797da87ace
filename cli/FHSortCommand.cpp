#include "cli/FHSortCommand.h"

#include "cli/FHConsoleReporter.h"
#include "cli/FHPlanPrinter.h"
#include "engine/FHCameraMakers.h"
#include "engine/FHException.h"
#include "engine/FHExif.h"
#include "engine/FHFileTypes.h"
#include "engine/FHIO.h"
#include "engine/FHJournal.h"
#include "engine/FHNaming.h"
#include "engine/FHSortEngine.h"
#include "engine/FHUndo.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

std::atomic<FHSortEngine *> s_engine { nullptr };

// The first Ctrl+C ends pass 1 after the file in hand, so that every moved file
// still gets its final name; a second one ends the process.
void stopOnSignal(int number)
{
    if (FHSortEngine *engine = s_engine.load())
        engine->stop();
    std::signal(number, SIG_DFL);
}

QString helpText(const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    // The parser's usage line is the sort; the undo and the listing get theirs.
    const int end = text.indexOf(QLatin1Char('\n'));
    const QString program = text.left(end).section(QLatin1Char(' '), 1, 1);
    const QString indent(QStringLiteral("Usage: ").size(), QLatin1Char(' '));
    text.insert(end + 1,
        QStringLiteral("%1%2 --undo [ID] [options]\n%1%2 --runs [--json]\n").arg(indent, program));
    // Nor does it know an optional value: --undo's run id is named by hand, in
    // the room its column leaves.
    static const QRegularExpression undoName(
        QStringLiteral("^(  --undo) {5}"), QRegularExpression::MultilineOption);
    text.replace(undoName, QStringLiteral("\\1 [ID]"));
    return text
        + QStringLiteral("\nExit status:\n"
                         "  0  the run completed, also when files were left in place\n"
                         "  1  a failure ended the run (its code is in the message)\n"
                         "  2  usage error\n");
}

// --runs: the runs on record, newest first.
int listRuns(bool json)
{
    for (const FHJournalStore::Run &run : FHJournalStore::runs()) {
        if (json) {
            FHConsoleReporter::printEvent({ { QStringLiteral("event"), QStringLiteral("run") },
                { QStringLiteral("id"), run.id }, { QStringLiteral("kind"), run.kind },
                { QStringLiteral("time"), run.time.toString(Qt::ISODate) },
                { QStringLiteral("input"), run.input }, { QStringLiteral("output"), run.output },
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
            qUtf8Printable(state), qUtf8Printable(run.input), qUtf8Printable(run.output));
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
        console.error(
            QStringLiteral("there is no sort to undo in '%1'").arg(FHJournalStore::folder()));
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

// What the run would refuse the pattern for before moving anything, asked
// before the run so that it is a usage error; empty when it would take it.
QString patternProblem(const FHSortOptions &options)
{
    if (!options.namePattern.contains(QLatin1String("${NUM}"), Qt::CaseSensitive))
        return FHException(
            FHError::NumKeywordMissing, FHError::NumKeywordMissingFormat, options.namePattern)
            .message();
    // Measured as the run measures it: the longest name part a file keeps is a
    // sidecar's, as in ".JPEG.xmp", in the output as the run names it.
    int longestSuffix = 0;
    for (const QString &filter : options.nameFilters)
        longestSuffix = qMax(longestSuffix, filter.toUtf8().size() - filter.lastIndexOf('.'));
    longestSuffix += 4;
    const QString output = QDir::toNativeSeparators(
        QDir::cleanPath(QFileInfo(options.outputDir).absoluteFilePath()));
    const QString problem = namePatternProblem(options.namePattern, output, longestSuffix);
    if (problem.isEmpty())
        return QString();
    return QStringLiteral("the naming pattern '%1' cannot be used: %2")
        .arg(options.namePattern, problem);
}

} // namespace

int FHSortCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Moves the photos of INPUT into OUTPUT in the order they were taken, renamed 001, "
        "002, ... or by a pattern, optionally into per-month or per-day folders."));
    const QCommandLineOption helpOption(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help."));
    const QCommandLineOption versionOption(
        QStringLiteral("version"), QStringLiteral("Show the version."));
    const QCommandLineOption folders(QStringLiteral("folders"),
        QStringLiteral("Sub-folders of OUTPUT: none (default), month (yyyy-MM) or day "
                       "(yyyy-MM-dd)."),
        QStringLiteral("none|month|day"), QStringLiteral("none"));
    const QCommandLineOption pattern(QStringLiteral("pattern"),
        QStringLiteral("Names of the sorted files; must hold ${NUM}. Keywords: ${NUM}, "
                       "${YYYY}, ${mm}, ${DD}, ${HH}, ${MM}, ${SS}. Default: ${NUM}."),
        QStringLiteral("TEXT"), QStringLiteral("${NUM}"));
    const QCommandLineOption allImages(QStringLiteral("all-images"),
        QStringLiteral("Sort images without a camera date too, dated by their files."));
    const QCommandLineOption recursive({ QStringLiteral("r"), QStringLiteral("recursive") },
        QStringLiteral("Look into the sub-folders of INPUT too."));
    const QCommandLineOption dryRun({ QStringLiteral("n"), QStringLiteral("dry-run") },
        QStringLiteral("Show what would be done; change nothing."));
    const QCommandLineOption json(QStringLiteral("json"),
        QStringLiteral("Write one JSON object per event to standard output."));
    const QCommandLineOption quiet(
        { QStringLiteral("q"), QStringLiteral("quiet") }, QStringLiteral("Print errors only."));
    QStringList familyHelp;
    for (const FHFileTypes::FamilyInfo &family : FHFileTypes::families())
        familyHelp << QStringLiteral("%1 (%2)").arg(
            QLatin1String(family.name), family.suffixes.join(QLatin1Char(' ')));
    const QCommandLineOption types(QStringLiteral("types"),
        QStringLiteral("The kinds of files to sort, separated by commas, or all: %1. "
                       "Default: photo.")
            .arg(familyHelp.join(QStringLiteral(", "))),
        QStringLiteral("LIST"), QStringLiteral("photo"));
    const QCommandLineOption undoOption(QStringLiteral("undo"),
        QStringLiteral("Move the files of the last sort not yet undone (or of run ID) back "
                       "where they came from; with --dry-run, show what would go back."));
    const QCommandLineOption runs(QStringLiteral("runs"),
        QStringLiteral("List the runs on record: id, time, files, state, folders."));
    parser.addOptions({ helpOption, versionOption, folders, pattern, allImages, recursive, types,
        dryRun, json, quiet, undoOption, runs });
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The folder to sort."));
    parser.addPositionalArgument(
        QStringLiteral("OUTPUT"), QStringLiteral("Where the sorted files go; may be INPUT."));

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        std::fputs(qUtf8Printable(helpText(parser)), stdout);
        return Done;
    }
    if (parser.isSet(versionOption)) {
        std::printf("%s %s\n", qUtf8Printable(QCoreApplication::applicationName()),
            qUtf8Printable(QCoreApplication::applicationVersion()));
        return Done;
    }
    if (parser.isSet(runs))
        return parser.positionalArguments().isEmpty()
            ? listRuns(parser.isSet(json))
            : usageError(QStringLiteral("--runs takes no folders"));
    if (parser.isSet(undoOption)) {
        if (parser.positionalArguments().size() > 1)
            return usageError(QStringLiteral("--undo takes at most one run id"));
        muteExifLibraryWarnings();
        return undo(parser.positionalArguments().value(0), parser.isSet(dryRun), parser.isSet(json),
            parser.isSet(quiet));
    }
    const QStringList folderArguments = parser.positionalArguments();
    if (folderArguments.size() != 2)
        return usageError(QStringLiteral("expected INPUT and OUTPUT, got %1 folder(s)")
                              .arg(folderArguments.size()));

    FHSortOptions options;
    options.inputDir = folderArguments.at(0);
    options.outputDir = folderArguments.at(1);
    if (!FHFolderModes::fromName(parser.value(folders), &options.folders))
        return usageError(QStringLiteral("--folders takes none, month or day, not '%1'")
                              .arg(parser.value(folders)));
    options.namePattern = parser.value(pattern);
    unsigned families = 0;
    if (!FHFileTypes::parseFamilies(parser.value(types), &families))
        return usageError(
            QStringLiteral("--types takes families separated by commas (%1) or all, "
                           "not '%2'")
                .arg(FHFileTypes::familyNames(FHFileTypes::AllFamilies), parser.value(types)));
    options.nameFilters = FHFileTypes::nameFilters(families);
    options.exifOnly = !parser.isSet(allImages);
    options.recursive = parser.isSet(recursive);
    options.dryRun = parser.isSet(dryRun);
    if (const QString problem = patternProblem(options); !problem.isEmpty())
        return usageError(problem);

    muteExifLibraryWarnings();
    FHConsoleReporter console(parser.isSet(json), parser.isSet(quiet));
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

    s_engine = &engine;
    std::signal(SIGINT, stopOnSignal);
    std::signal(SIGTERM, stopOnSignal);
    FHSortPlan plan; // the makers it meets, from none
    const FHSortEngine::Outcome outcome = engine.run(options, plan);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    s_engine = nullptr;
    console.clearProgress();

    const QDir here(QDir::currentPath());
    const FHPlanPrinter printer(FHPlanPrinter::Sort,
        QDir::cleanPath(here.absoluteFilePath(options.inputDir)),
        QDir::cleanPath(here.absoluteFilePath(options.outputDir)), console);
    printer.printFiles(plan, options.dryRun);
    printer.printLeftovers(plan, options.dryRun);
    const QString makers = FHCameraMakers::toText(plan.cameraMakers);
    // A run that failed before it listed anything has nothing to sum up.
    const bool listed = outcome != FHSortEngine::Failed || !plan.entries.isEmpty();
    if (console.json() || (listed && !parser.isSet(quiet)))
        printer.printSummary(plan, makers, options.dryRun, outcome == FHSortEngine::Stopped);
    return outcome == FHSortEngine::Completed ? Done : RunFailed;
}
