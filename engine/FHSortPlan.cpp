#include "engine/FHSortPlan.h"

int naturalCompare(const QString &a, const QString &b)
{
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        const QChar ca = a.at(i);
        const QChar cb = b.at(j);
        if (ca.isDigit() && cb.isDigit() && ca.unicode() < 128 && cb.unicode() < 128) {
            int endA = i;
            int endB = j;
            while (endA < a.size() && a.at(endA).isDigit() && a.at(endA).unicode() < 128)
                ++endA;
            while (endB < b.size() && b.at(endB).isDigit() && b.at(endB).unicode() < 128)
                ++endB;
            int startA = i;
            int startB = j;
            while (startA < endA - 1 && a.at(startA) == QLatin1Char('0'))
                ++startA;
            while (startB < endB - 1 && b.at(startB) == QLatin1Char('0'))
                ++startB;
            const int lengthA = endA - startA;
            const int lengthB = endB - startB;
            if (lengthA != lengthB)
                return lengthA < lengthB ? -1 : 1;
            if (const int c
                = QStringRef(&a, startA, lengthA).compare(QStringRef(&b, startB, lengthB)))
                return c < 0 ? -1 : 1;
            i = endA;
            j = endB;
            continue;
        }
        const QChar la = ca.toCaseFolded();
        const QChar lb = cb.toCaseFolded();
        if (la != lb)
            return la < lb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    const int plain = a.compare(b);
    return plain < 0 ? -1 : plain > 0 ? 1 : 0;
}

int compareSubSeconds(const QString &a, const QString &b)
{
    const int length = qMax(a.size(), b.size());
    for (int k = 0; k < length; ++k) {
        const QChar ca = k < a.size() ? a.at(k) : QLatin1Char('0');
        const QChar cb = k < b.size() ? b.at(k) : QLatin1Char('0');
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return 0;
}

bool captureOrderLess(const FHPlanEntry &a, const FHPlanEntry &b)
{
    // By the clock's fields, as the temporary names sort: a time that daylight
    // saving skips or repeats still has its place.
    if (a.captured.date() != b.captured.date())
        return a.captured.date() < b.captured.date();
    if (a.captured.time() != b.captured.time())
        return a.captured.time() < b.captured.time();
    if (const int c = compareSubSeconds(a.subSecond, b.subSecond))
        return c < 0;
    if (const int c = naturalCompare(a.sourceName, b.sourceName))
        return c < 0;
    return a.sourcePath() < b.sourcePath();
}

QString shotHeldText(const FHSortPlan &plan, const FHPlanEntry &entry)
{
    if (entry.heldBy < 0 || entry.heldBy >= plan.entries.size())
        return QStringLiteral("the shot stays whole");
    const FHPlanEntry &holder = plan.entries.at(entry.heldBy);
    switch (holder.reason) {
    case FHSkipReason::Changed:
        return QStringLiteral("the shot stays because %1 changed").arg(holder.sourceName);
    case FHSkipReason::Missing:
        return QStringLiteral("the shot stays because %1 is missing").arg(holder.sourceName);
    case FHSkipReason::OriginalTaken:
        return QStringLiteral("the shot stays because the old place of %1 is taken")
            .arg(holder.sourceName);
    default:
        return QStringLiteral("the shot stays because of %1").arg(holder.sourceName);
    }
}

QString dateSourceName(FHDateSource source)
{
    switch (source) {
    case FHDateSource::None:
        break;
    case FHDateSource::Exif:
        return QStringLiteral("exif");
    case FHDateSource::Container:
        return QStringLiteral("container");
    case FHDateSource::Name:
        return QStringLiteral("name");
    case FHDateSource::File:
        return QStringLiteral("file");
    }
    return QString();
}

QString zoneFromName(FHZoneFrom from)
{
    switch (from) {
    case FHZoneFrom::None:
        break;
    case FHZoneFrom::File:
        return QStringLiteral("file");
    case FHZoneFrom::Camera:
        return QStringLiteral("camera");
    case FHZoneFrom::LivePhoto:
        return QStringLiteral("live-photo");
    case FHZoneFrom::Machine:
        return QStringLiteral("machine");
    }
    return QString();
}

QVector<FHCameraSummary> cameraSummaries(const FHSortPlan &plan)
{
    QMap<QString, FHCameraSummary> byName;
    for (const FHPlanEntry &entry : plan.entries) {
        if (entry.camera.isEmpty() || entry.companion || !entry.captured.isValid()
            || (entry.dateFrom != FHDateSource::Exif && entry.dateFrom != FHDateSource::Container))
            continue;
        FHCameraSummary &camera = byName[entry.camera];
        camera.camera = entry.camera;
        camera.shift = entry.shift;
        ++camera.files;
        if (!camera.first.isValid() || entry.captured < camera.first)
            camera.first = entry.captured;
        if (!camera.last.isValid() || entry.captured > camera.last)
            camera.last = entry.captured;
    }
    return byName.values().toVector();
}
