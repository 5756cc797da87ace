#include "cli/FHSortCommand.h"

#include "cli/FHConsoleReporter.h"
#include "engine/FHExif.h"
#include "engine/FHFileTypes.h"
#include "engine/FHIO.h"
#include "engine/FHSortEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QJsonObject>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <numeric>

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
    return parser.helpText()
        + QStringLiteral("\nExit status:\n"
                         "  0  the run completed, also when files were left in place\n"
                         "  1  a failure ended the run (its code is in the message)\n"
                         "  2  usage error\n");
}

int usageError(const QString &text)
{
    std::fprintf(stderr, "quilm-sort: %s\nTry 'quilm-sort --help' for more information.\n",
        qUtf8Printable(text));
    return FHSortCommand::UsageError;
}

QString reasonText(FHSkipReason reason)
{
    switch (reason) {
    case FHSkipReason::None:
        break;
    case FHSkipReason::NoCaptureDate:
        return QStringLiteral("no capture date");
    case FHSkipReason::Unreadable:
        return QStringLiteral("unreadable");
    case FHSkipReason::Changed:
        return QStringLiteral("changed since the listing");
    case FHSkipReason::UndecodableName:
        return QStringLiteral("name not valid in the file-name encoding");
    case FHSkipReason::Stopped:
        return QStringLiteral("not reached, the run was stopped");
    }
    return QString();
}

QString capturedText(const FHPlanEntry &entry)
{
    QString text = entry.captured.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!entry.subSecond.isEmpty())
        text += QLatin1Char('.') + (entry.subSecond + QStringLiteral("00")).left(3);
    else if (const int ms = entry.captured.time().msec())
        text += QStringLiteral(".%1").arg(ms, 3, 10, QLatin1Char('0'));
    return text;
}

// One line or one event per listed file: where it went, or why it stays.
void printFiles(const FHSortPlan &plan, const QString &input, const QString &output, bool dryRun,
    FHConsoleReporter &console)
{
    const QDir inputDir(input);
    const QDir outputDir(output);
    for (const FHPlanEntry &entry : plan.entries) {
        if (entry.reason == FHSkipReason::None && !entry.placed)
            continue; // not reached: a failure ended the run first
        if (console.json()) {
            if (entry.placed)
                FHConsoleReporter::printEvent({ { QStringLiteral("event"), QStringLiteral("move") },
                    { QStringLiteral("source"), entry.sourcePath() },
                    { QStringLiteral("target"), entry.targetPath() },
                    { QStringLiteral("captured"), capturedText(entry) },
                    { QStringLiteral("dateFrom"), dateSourceName(entry.dateFrom) } });
            else
                FHConsoleReporter::printEvent({ { QStringLiteral("event"), QStringLiteral("skip") },
                    { QStringLiteral("source"), entry.sourcePath() },
                    { QStringLiteral("reason"), skipReasonName(entry.reason) } });
        } else if (dryRun) {
            const QString source = inputDir.relativeFilePath(entry.sourcePath());
            console.printLine(entry.placed
                    ? QStringLiteral("%1 -> %2")
                          .arg(source, outputDir.relativeFilePath(entry.targetPath()))
                    : QStringLiteral("%1 stays: %2").arg(source, reasonText(entry.reason)));
        }
    }
}

QVariantMap otherTypes(const FHSortPlan &plan)
{
    QVariantMap counts;
    for (auto it = plan.otherTypes.cbegin(); it != plan.otherTypes.cend(); ++it)
        counts.insert(it.key(), it.value());
    return counts;
}

void printSummary(const FHSortPlan &plan, const QString &makers, bool dryRun, bool stopped,
    FHConsoleReporter &console)
{
    const double seconds = plan.elapsedMs / 1000.0;
    if (console.json()) {
        FHConsoleReporter::printEvent({ { QStringLiteral("event"), QStringLiteral("summary") },
            { QStringLiteral("moved"), qint64(plan.movedCount) },
            { QStringLiteral("notMoved"), plan.notMovedCount },
            { QStringLiteral("makers"), makers },
            { QStringLiteral("seconds"), qRound64(seconds * 1000) / 1000.0 },
            { QStringLiteral("dryRun"), dryRun }, { QStringLiteral("stopped"), stopped },
            { QStringLiteral("otherTypes"), QJsonObject::fromVariantMap(otherTypes(plan)) } });
        return;
    }
    QMap<int, int> left;
    for (const FHPlanEntry &entry : plan.entries) {
        if (entry.reason != FHSkipReason::None)
            ++left[int(entry.reason)];
    }
    QStringList lines;
    const QString rate = seconds > 0
        ? QStringLiteral(" (%1 files/s)").arg(qRound64(plan.movedCount / seconds))
        : QString();
    lines << (dryRun ? QStringLiteral("Would move %1 files (planned in %2 s).")
                           .arg(plan.movedCount)
                           .arg(seconds, 0, 'f', 1)
                     : QStringLiteral("Moved %1 files in %2 s%3.")
                           .arg(plan.movedCount)
                           .arg(seconds, 0, 'f', 1)
                           .arg(rate));
    if (stopped)
        lines << QStringLiteral("Stopped on request: the files not reached are still in the "
                                "input.");
    if (!left.isEmpty()) {
        QStringList parts;
        for (auto it = left.cbegin(); it != left.cend(); ++it)
            parts << QStringLiteral("%1 (%2)")
                         .arg(it.value())
                         .arg(reasonText(FHSkipReason(it.key())));
        lines << QStringLiteral("Left in place: %1.").arg(parts.join(QStringLiteral(", ")));
    }
    if (!plan.otherTypes.isEmpty()) {
        QStringList parts;
        for (auto it = plan.otherTypes.cbegin(); it != plan.otherTypes.cend(); ++it)
            parts << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
        lines << QStringLiteral("Not sorted, as their kinds were not chosen: %1 files (%2). Add "
                                "them with --types, e.g. --types all.")
                     .arg(std::accumulate(plan.otherTypes.cbegin(), plan.otherTypes.cend(), 0))
                     .arg(parts.join(QStringLiteral(", ")));
    }
    if (plan.leftoverCount > 0)
        lines << QStringLiteral("Finished %1 temporary names left by an earlier run.")
                     .arg(plan.leftoverCount);
    if (!makers.isEmpty())
        lines << QStringLiteral("Camera makers: %1").arg(makers);
    for (const QString &line : qAsConst(lines))
        console.printLine(line);
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
    parser.addOptions({ helpOption, versionOption, folders, pattern, allImages, recursive, types,
        dryRun, json, quiet });
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
    const QStringList folderArguments = parser.positionalArguments();
    if (folderArguments.size() != 2)
        return usageError(QStringLiteral("expected INPUT and OUTPUT, got %1 folder(s)")
                              .arg(folderArguments.size()));

    FHSortOptions options;
    options.inputDir = folderArguments.at(0);
    options.outputDir = folderArguments.at(1);
    const QStringList modes { QStringLiteral("none"), QStringLiteral("month"),
        QStringLiteral("day") };
    options.subFolderMode = modes.indexOf(parser.value(folders));
    if (options.subFolderMode < 0)
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

    muteExifLibraryWarnings();
    FHConsoleReporter console(parser.isSet(json), parser.isSet(quiet));
    FHIO fileGuard(QDir::currentPath(), QStringLiteral("quilm-sort"));
    FHSortEngine engine(&fileGuard, &console);
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

    const QString input
        = QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(options.inputDir));
    const QString output
        = QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(options.outputDir));
    printFiles(plan, input, output, options.dryRun, console);
    QString makers = plan.cameraMakers;
    if (makers.startsWith(QLatin1Char('|')))
        makers.remove(0, 1);
    // A run that failed before it listed anything has nothing to sum up.
    const bool listed = outcome != FHSortEngine::Failed || !plan.entries.isEmpty();
    if (console.json() || (listed && !parser.isSet(quiet)))
        printSummary(plan, makers, options.dryRun, outcome == FHSortEngine::Stopped, console);
    return outcome == FHSortEngine::Completed ? Done : RunFailed;
}
