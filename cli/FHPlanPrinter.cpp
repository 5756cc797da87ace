#include "cli/FHPlanPrinter.h"

#include "cli/FHConsoleReporter.h"
#include "engine/FHCameraClock.h"
#include "engine/FHPaths.h"
#include "engine/FHSortPlan.h"

#include <QDir>
#include <QJsonObject>

#include <numeric>

namespace {

QString reasonText(FHSkipReason reason, FHPlanPrinter::Kind kind)
{
    if (reason == FHSkipReason::Changed && kind == FHPlanPrinter::Undo)
        return QStringLiteral("changed since it was sorted");
    return skipReasonCommandText(reason);
}

// Why it stays, with what the reason points at: the file that keeps its shot,
// the library file with its bytes, when it was imported before.
QString stayText(const FHSortPlan &plan, const FHPlanEntry &entry, FHPlanPrinter::Kind kind)
{
    switch (entry.reason) {
    case FHSkipReason::ShotHeld:
        return shotHeldText(plan, entry);
    case FHSkipReason::Duplicate:
        return QStringLiteral("its bytes are in the library already, as '%1'; --duplicates "
                              "import sorts it")
            .arg(FHPaths::shown(entry.duplicatePath(plan.entries)));
    case FHSkipReason::ImportedBefore:
        return QStringLiteral("imported on %1 and deleted from the library since; --reimport "
                              "brings it back")
            .arg(entry.importedOn.toString(QStringLiteral("yyyy-MM-dd")));
    default:
        return reasonText(entry.reason, kind);
    }
}

// The time with its fraction, and its zone where the run knows it.
QString timeText(const FHPlanEntry &entry, const QDateTime &time)
{
    QString text = time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!entry.subSecond.isEmpty())
        text += QLatin1Char('.') + (entry.subSecond + QStringLiteral("00")).left(3);
    else if (const int ms = time.time().msec())
        text += QStringLiteral(".%1").arg(ms, 3, 10, QLatin1Char('0'));
    if (entry.zoneFrom != FHZoneFrom::None)
        text += FHCameraClock::zoneText(entry.zone);
    return text;
}

// What the run knows of the file's camera and clock.
void addClock(FHJsonFields &event, const FHPlanEntry &entry)
{
    if (!entry.camera.isEmpty())
        event.append({ QStringLiteral("camera"), entry.camera });
    if (entry.shift) {
        event.append({ QStringLiteral("cameraTime"), timeText(entry, entry.cameraTime()) });
        event.append({ QStringLiteral("shift"), FHCameraClock::shiftText(entry.shift) });
    }
    if (entry.zoneFrom != FHZoneFrom::None)
        event.append({ QStringLiteral("zoneFrom"), zoneFromName(entry.zoneFrom) });
}

} // namespace

FHPlanPrinter::FHPlanPrinter(
    Kind kind, const QString &from, const QString &to, FHConsoleReporter &console)
    : m_kind(kind)
    , m_from(from)
    , m_to(to)
    , m_console(console)
{
}

// One line or one event per listed file: where it went, or why it stays.
void FHPlanPrinter::printFiles(const FHSortPlan &plan, bool dryRun) const
{
    const QDir inputDir(m_from);
    const QDir outputDir(m_to);
    for (const FHPlanEntry &entry : plan.entries) {
        if (!entry.wasReached())
            continue; // a failure ended the run first
        if (m_console.json()) {
            if (entry.placed) {
                FHJsonFields event { { QStringLiteral("event"), QStringLiteral("move") },
                    { QStringLiteral("source"), FHPaths::shown(entry.sourcePath()) },
                    { QStringLiteral("target"), FHPaths::shown(entry.targetPath()) } };
                if (m_kind == Sort) {
                    event << FHJsonFields { { QStringLiteral("captured"),
                                                timeText(entry, entry.captured) },
                        { QStringLiteral("dateFrom"), dateSourceName(entry.dateFrom) } };
                    addClock(event, entry);
                }
                if (entry.group >= 0)
                    event.append({ QStringLiteral("group"),
                        FHPaths::shown(plan.entries.at(entry.group).sourcePath()) });
                if (plan.copy && m_kind == Sort)
                    event.append({ QStringLiteral("copy"), true });
                FHConsoleReporter::printEvent(event);
            } else {
                FHJsonFields event { { QStringLiteral("event"), QStringLiteral("skip") },
                    { QStringLiteral("source"), FHPaths::shown(entry.sourcePath()) },
                    { QStringLiteral("reason"), skipReasonName(entry.reason) } };
                if (entry.heldBy >= 0)
                    event.append({ QStringLiteral("heldBy"),
                        FHPaths::shown(plan.entries.at(entry.heldBy).sourcePath()) });
                if (entry.reason == FHSkipReason::Duplicate)
                    event.append({ QStringLiteral("of"),
                        FHPaths::shown(entry.duplicatePath(plan.entries)) });
                if (entry.reason == FHSkipReason::ImportedBefore)
                    event.append(
                        { QStringLiteral("imported"), entry.importedOn.toString(Qt::ISODate) });
                FHConsoleReporter::printEvent(event);
            }
        } else if (dryRun) {
            const QString source = FHPaths::shown(inputDir.relativeFilePath(entry.sourcePath()));
            m_console.printLine(entry.placed
                    ? QStringLiteral("%1 -> %2")
                          .arg(source,
                              FHPaths::shown(outputDir.relativeFilePath(entry.targetPath())))
                    : QStringLiteral("%1 stays: %2").arg(source, stayText(plan, entry, m_kind)));
        }
    }
}

// The temporary names of earlier runs that this one named.
void FHPlanPrinter::printLeftovers(const FHSortPlan &plan, bool dryRun) const
{
    const QDir outputDir(m_to);
    for (const auto &leftover : plan.leftovers) {
        if (m_console.json())
            FHConsoleReporter::printEvent({ { QStringLiteral("event"), QStringLiteral("leftover") },
                { QStringLiteral("source"), FHPaths::shown(leftover.first) },
                { QStringLiteral("target"), FHPaths::shown(leftover.second) } });
        else if (dryRun)
            m_console.printLine(
                QStringLiteral("%1 -> %2 (left by an earlier run)")
                    .arg(FHPaths::shown(outputDir.relativeFilePath(leftover.first)),
                        FHPaths::shown(outputDir.relativeFilePath(leftover.second))));
    }
}

void FHPlanPrinter::printSummary(
    const FHSortPlan &plan, const QString &makers, bool dryRun, bool stopped) const
{
    const double seconds = plan.elapsedMs / 1000.0;
    if (m_console.json()) {
        QJsonObject otherTypes;
        for (auto it = plan.otherTypes.cbegin(); it != plan.otherTypes.cend(); ++it)
            otherTypes.insert(it.key(), it.value());
        FHJsonFields summary { { QStringLiteral("event"), QStringLiteral("summary") },
            { QStringLiteral("moved"), qint64(plan.movedCount) },
            { QStringLiteral("notMoved"), plan.notMovedCount },
            { QStringLiteral("makers"), makers },
            { QStringLiteral("seconds"), qRound64(seconds * 1000) / 1000.0 },
            { QStringLiteral("waiting"), plan.waitingCount() },
            { QStringLiteral("dryRun"), dryRun }, { QStringLiteral("stopped"), stopped },
            { QStringLiteral("otherTypes"), otherTypes } };
        if (plan.copy)
            summary.append({ QStringLiteral("copy"), true });
        for (const auto *shifts : { &plan.shifts, &plan.proposedShifts }) {
            if (shifts->isEmpty())
                continue;
            QJsonObject byCamera;
            for (auto it = shifts->cbegin(); it != shifts->cend(); ++it)
                byCamera.insert(it.key(), FHCameraClock::shiftText(it.value()));
            summary.append(
                { QLatin1String(shifts == &plan.shifts ? "shifts" : "proposedShifts"), byCamera });
        }
        FHConsoleReporter::printEvent(summary);
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
    const QString back = m_kind == Undo ? QStringLiteral(" back") : QString();
    const bool copy = plan.copy && m_kind == Sort;
    lines << (dryRun ? QStringLiteral("Would %1 %2 files%3 (planned in %4 s).")
                           .arg(copy ? QStringLiteral("copy") : QStringLiteral("move"))
                           .arg(plan.movedCount)
                           .arg(back)
                           .arg(seconds, 0, 'f', 1)
                     : QStringLiteral("%1 %2 files%3 in %4 s%5.")
                           .arg(copy ? QStringLiteral("Copied") : QStringLiteral("Moved"))
                           .arg(plan.movedCount)
                           .arg(back)
                           .arg(seconds, 0, 'f', 1)
                           .arg(rate));
    if (stopped)
        lines << QStringLiteral("Stopped on request: the files not reached are still in the "
                                "input.");
    for (auto it = plan.proposedShifts.cbegin(); it != plan.proposedShifts.cend(); ++it)
        lines << QStringLiteral("The GPS times say the clock of '%1' was off: --shift \"%1=%2\" "
                                "would set it right.")
                     .arg(it.key(), FHCameraClock::shiftText(it.value()));
    if (!left.isEmpty()) {
        QStringList parts;
        for (auto it = left.cbegin(); it != left.cend(); ++it)
            parts << QStringLiteral("%1 (%2)")
                         .arg(it.value())
                         .arg(reasonText(FHSkipReason(it.key()), m_kind));
        lines << (m_kind == Undo ? QStringLiteral("Left where they are: %1.")
                                 : QStringLiteral("Left in place: %1."))
                     .arg(parts.join(QStringLiteral(", ")));
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
    if (const int waiting = plan.waitingCount())
        lines << QStringLiteral("%1 files wait under temporary names in the output; the next run "
                                "into it gives them their final names, or --undo takes them back.")
                     .arg(waiting);
    if (plan.leftoverCount() > 0)
        lines << QStringLiteral("Finished %1 temporary names left by an earlier run.")
                     .arg(plan.leftoverCount());
    if (!makers.isEmpty())
        lines << QStringLiteral("Camera makers: %1").arg(makers);
    for (const QString &line : qAsConst(lines))
        m_console.printLine(line);
}
