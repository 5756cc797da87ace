#include "engine/FHTimeline.h"

#include "engine/FHCameraClock.h"
#include "engine/FHDateText.h"
#include "engine/FHPaths.h"
#include "engine/FHReporter.h"
#include "engine/FHSortContext.h"

#include <QFileInfo>
#include <QMap>
#include <QSet>

#include <algorithm>

namespace {

// A clock this far off is told of.
constexpr qint64 ProposeAbove = 120;
// The errors of one camera that differ by more than this are no steady error.
constexpr qint64 SteadyWithin = 60;

// The moment of a wall-clock time in a zone.
QDateTime momentOf(const QDateTime &wallClock, int zone)
{
    return QDateTime(wallClock.date(), wallClock.time(), Qt::UTC).addSecs(-zone);
}

QString stemOf(const FHPlanEntry &entry)
{
    return entry.sourceFolder + QLatin1Char('/')
        + QFileInfo(entry.sourceName).completeBaseName().toLower();
}

bool datedFile(const FHPlanEntry &entry)
{
    return entry.reason == FHSkipReason::None && !entry.companion && entry.captured.isValid();
}

} // namespace

FHTimeline::FHTimeline(FHSortContext &context)
    : m_context(context)
{
}

bool FHTimeline::settle()
{
    zoneVideos();
    if (!applyShifts())
        return false;
    proposeShifts();
    return true;
}

// A phone video's movie header holds the UTC moment alone. The zone it was
// shot in is the zone of the same camera's photo nearest in time, else that
// of the photo of its live photo, else the machine's, as it always was.
void FHTimeline::zoneVideos()
{
    auto &entries = m_context.plan.entries;
    QHash<QString, QMap<QDateTime, int>> zonedByCamera; // moment -> zone
    QHash<QString, int> zonedByStem;
    for (const FHPlanEntry &entry : qAsConst(entries)) {
        if (!datedFile(entry) || entry.zoneFrom != FHZoneFrom::File)
            continue;
        if (!entry.camera.isEmpty())
            zonedByCamera[entry.camera].insert(momentOf(entry.captured, entry.zone), entry.zone);
        zonedByStem.insert(stemOf(entry), entry.zone);
    }
    for (FHPlanEntry &entry : entries) {
        if (!datedFile(entry) || entry.zoneFrom != FHZoneFrom::Machine)
            continue;
        const QDateTime moment = entry.captured.toUTC();
        const auto photos = zonedByCamera.constFind(entry.camera);
        if (!entry.camera.isEmpty() && photos != zonedByCamera.cend()) {
            auto after = photos->lowerBound(moment);
            auto nearest = after;
            if (after == photos->cend()
                || (after != photos->cbegin()
                    && std::prev(after).key().secsTo(moment) < moment.secsTo(after.key())))
                nearest = std::prev(after);
            entry.zone = nearest.value();
            entry.zoneFrom = FHZoneFrom::Camera;
        } else if (const auto live = zonedByStem.constFind(stemOf(entry));
                   live != zonedByStem.cend()) {
            entry.zone = live.value();
            entry.zoneFrom = FHZoneFrom::LivePhoto;
        } else {
            continue;
        }
        const QDateTime wall = moment.addSecs(entry.zone);
        entry.captured = FHDateText::wallClock(wall.date(), wall.time());
    }
}

bool FHTimeline::applyShifts()
{
    auto &plan = m_context.plan;
    if (m_context.options.cameraShifts.isEmpty())
        return true;
    QSet<QString> found;
    for (const FHPlanEntry &entry : qAsConst(plan.entries)) {
        if (!entry.camera.isEmpty())
            found.insert(entry.camera);
    }
    QStringList cameras(found.cbegin(), found.cend());
    cameras.sort(Qt::CaseInsensitive);
    QString refusal
        = FHCameraClock::resolveShifts(m_context.options.cameraShifts, cameras, &plan.shifts);
    const QDate first(1970, 1, 1);
    const QDate last(QDate::currentDate().year() + 1, 12, 31);
    for (FHPlanEntry &entry : plan.entries) {
        const qint64 shift = plan.shifts.value(entry.camera);
        if (!refusal.isEmpty() || !shift || !entry.captured.isValid())
            continue;
        const QDateTime corrected = FHCameraClock::shifted(entry.captured, shift);
        if (corrected.date() < first || corrected.date() > last) {
            refusal = QStringLiteral("The shift %1 of '%2' moves '%3' to %4, out of the years a "
                                     "photo can have (1970 to %5)")
                          .arg(FHCameraClock::shiftText(shift), entry.camera,
                              FHPaths::shown(entry.sourcePath()),
                              corrected.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                          .arg(last.year());
            break;
        }
        entry.captured = corrected;
        entry.shift = shift;
    }
    if (refusal.isEmpty())
        return true;
    plan.refusal = refusal;
    m_context.reporter.error(refusal + QStringLiteral("; nothing was moved"));
    return false;
}

// The camera's clock error where its photo knows both its zone and the
// satellites' time; proposed when it is steady and over two minutes.
void FHTimeline::proposeShifts()
{
    auto &plan = m_context.plan;
    QHash<QString, QVector<qint64>> errors;
    for (auto it = m_gps.cbegin(); it != m_gps.cend(); ++it) {
        const FHPlanEntry &entry = plan.entries.at(it.key());
        if (datedFile(entry) && entry.zoneFrom == FHZoneFrom::File && !entry.camera.isEmpty()
            && !plan.shifts.contains(entry.camera))
            errors[entry.camera] << momentOf(entry.captured, entry.zone).secsTo(it.value());
    }
    for (auto it = errors.begin(); it != errors.end(); ++it) {
        QVector<qint64> &seen = it.value();
        std::sort(seen.begin(), seen.end());
        const qint64 median = seen.at(seen.size() / 2);
        if (qAbs(median) <= ProposeAbove || seen.last() - seen.first() > SteadyWithin)
            continue;
        plan.proposedShifts.insert(it.key(), median);
        m_context.reporter.message(
            QStringLiteral("The clock of '%1' was %2 off, by the GPS times of %3 of its photos; "
                           "a shift of %4 would set it right")
                .arg(it.key(), FHCameraClock::shiftText(median).mid(1))
                .arg(seen.size())
                .arg(FHCameraClock::shiftText(median)));
    }
}
