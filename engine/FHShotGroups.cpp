#include "engine/FHShotGroups.h"

#include "engine/FHFileTypes.h"
#include "engine/FHReporter.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

constexpr qint64 PairWindowMs = 30 * 1000;

enum Kind
{
    Raw,
    Heif,
    Jpeg,
    Video,
    Other, // PNG, GIF, TIFF, WebP: never paired
};

Kind kindOf(const QString &name)
{
    switch (FHFileTypes::familyOf(name)) {
    case FHFileTypes::Raw:
        return Raw;
    case FHFileTypes::Heif:
        return Heif;
    case FHFileTypes::Video:
        return Video;
    case FHFileTypes::Photo: {
        const QString suffix = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1).toLower();
        return suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ? Jpeg : Other;
    }
    default:
        return Other;
    }
}

QString groupKey(const FHPlanEntry &entry)
{
    const QString &name = entry.sourceName;
    const QString base = name.left(name.size() - FHFileTypes::keptSuffix(name).size());
    return entry.sourceFolder + QLatin1Char('/') + base.toCaseFolded();
}

qint64 apartMs(const FHPlanEntry &a, const FHPlanEntry &b)
{
    // By the clock's fields: both come from the same kind of wall-clock time.
    const QDateTime left(a.captured.date(), a.captured.time(), Qt::UTC);
    const QDateTime right(b.captured.date(), b.captured.time(), Qt::UTC);
    return qAbs(left.msecsTo(right));
}

bool pairs(Kind primary, Kind member, bool stillJoined)
{
    if (primary == Raw)
        return member == Jpeg || member == Heif || (member == Video && stillJoined);
    if (primary == Heif || primary == Jpeg)
        return member == Video;
    return false;
}

} // namespace

namespace FHShotGroups {

void groupAndOrder(QVector<FHPlanEntry> &entries, FHReporter &reporter, const Options &options)
{
    const auto &keepAlone = options.keepAlone;
    const int count = entries.size();
    // Each entry's primary: itself for a file on its own; -2 for a sidecar
    // that has no photo and is dropped.
    QVector<int> primaryOf(count);
    QHash<QString, QVector<int>> buckets;
    for (int i = 0; i < count; ++i) {
        primaryOf[i] = i;
        if (entries.at(i).reason != FHSkipReason::UndecodableName)
            buckets[groupKey(entries.at(i))].append(i);
    }
    for (const QVector<int> &bucket : qAsConst(buckets)) {
        QVector<int> media;
        QVector<int> sidecars;
        for (const int i : bucket)
            (entries.at(i).companion ? sidecars : media).append(i);
        if (media.isEmpty()) {
            for (const int i : sidecars)
                primaryOf[i] = keepAlone && keepAlone(entries.at(i)) ? i : -2;
            continue;
        }
        if (bucket.size() == 1)
            continue;
        std::sort(media.begin(), media.end(), [&](int a, int b) {
            const Kind ka = kindOf(entries.at(a).sourceName);
            const Kind kb = kindOf(entries.at(b).sourceName);
            return ka != kb ? ka < kb : entries.at(a).sourceName < entries.at(b).sourceName;
        });
        // The best-ranked photo that moves leads; a group can only form around it.
        int primary = media.first();
        for (const int i : media) {
            if (entries.at(i).reason == FHSkipReason::None
                && kindOf(entries.at(i).sourceName) != Other) {
                primary = i;
                break;
            }
        }
        const FHPlanEntry &lead = entries.at(primary);
        const Kind leadKind = kindOf(lead.sourceName);
        bool stillJoined = false;
        // One file of a kind to a shot: IMG_1.JPG and img_1.jpg beside a RAW are
        // two shots, and their names could not tell them apart on a card.
        QSet<int> joinedKinds { leadKind };
        for (const int i : media) {
            const FHPlanEntry &member = entries.at(i);
            const Kind kind = kindOf(member.sourceName);
            if (i == primary || !pairs(leadKind, kind, stillJoined)
                || lead.reason != FHSkipReason::None || member.reason != FHSkipReason::None
                || joinedKinds.contains(kind))
                continue;
            if (apartMs(lead, member) > PairWindowMs) {
                reporter.message(QStringLiteral("'%1' and '%2' share a name but were taken more "
                                                "than 30 s apart; they are sorted on their own")
                                     .arg(lead.sourcePath(), member.sourcePath()));
                continue;
            }
            primaryOf[i] = primary;
            joinedKinds.insert(kind);
            stillJoined = stillJoined || kind == Jpeg || kind == Heif;
        }
        // Two sidecars whose names differ only in letter case go together
        // where the output can hold both names.
        QHash<int, QHash<QString, int>> keptBy;
        // In name order, so that the same one of two goes whatever the order
        // of the listing.
        std::sort(sidecars.begin(), sidecars.end(),
            [&](int a, int b) { return entries.at(a).sourceName < entries.at(b).sourceName; });
        for (const int i : sidecars) {
            FHPlanEntry &sidecar = entries[i];
            // IMG_1.CR2.xmp belongs to IMG_1.CR2, and through it to its group;
            // without IMG_1.CR2 in the run it stays with that file.
            const QString kept = FHFileTypes::keptSuffix(sidecar.sourceName);
            const int inner = kept.indexOf(QLatin1Char('.'), 1);
            int owner = primary;
            if (inner > 0) {
                const QString photoSuffix = kept.left(inner);
                owner = -1;
                for (const int m : media) {
                    if (entries.at(m).sourceName.endsWith(photoSuffix, Qt::CaseInsensitive))
                        owner = m;
                }
                // Where its file went ahead in a run cut short, it follows
                // that file on its own, under the name that run meant for it.
                if (owner < 0 && keepAlone && keepAlone(sidecar)) {
                    primaryOf[i] = i;
                    continue;
                }
                if (owner < 0 && !options.chosen.isEmpty()
                    && !options.chosen.matches(QLatin1Char('x') + photoSuffix)) {
                    primaryOf[i] = i;
                    sidecar.reason = FHSkipReason::KindNotChosen;
                    continue;
                }
                if (owner < 0) {
                    primaryOf[i] = -2;
                    continue;
                }
            }
            QHash<QString, int> &takenSuffixes = keptBy[primaryOf[owner]];
            const QString folded = kept.toCaseFolded();
            if (takenSuffixes.contains(folded) && !options.caseSensitiveOutput) {
                primaryOf[i] = i;
                sidecar.reason = FHSkipReason::CaseClash;
                reporter.message(QStringLiteral("'%1' stays where it is: its name differs from "
                                                "'%2' only in letter case, and the output "
                                                "cannot hold both")
                                     .arg(sidecar.sourcePath(),
                                         entries.at(takenSuffixes.value(folded)).sourcePath()));
                continue;
            }
            takenSuffixes.insert(folded, i);
            primaryOf[i] = primaryOf[owner];
        }
    }

    // The groups in the order of the run: those that move by capture order,
    // then those that stay, in the order they were listed.
    QVector<int> primaries;
    QHash<int, QVector<int>> members;
    for (int i = 0; i < count; ++i) {
        if (primaryOf[i] == i)
            primaries.append(i);
        else if (primaryOf[i] >= 0)
            members[primaryOf[i]].append(i);
    }
    const auto staying = std::stable_partition(primaries.begin(), primaries.end(),
        [&](int i) { return entries.at(i).reason == FHSkipReason::None; });
    std::stable_sort(primaries.begin(), staying,
        [&](int a, int b) { return captureOrderLess(entries.at(a), entries.at(b)); });

    QVector<FHPlanEntry> ordered;
    ordered.reserve(count);
    for (const int p : qAsConst(primaries)) {
        const int first = ordered.size();
        QVector<int> own = members.value(p);
        ordered.append(std::move(entries[p]));
        if (own.isEmpty())
            continue;
        std::sort(own.begin(), own.end(), [&](int a, int b) {
            if (entries.at(a).companion != entries.at(b).companion)
                return entries.at(b).companion;
            const Kind ka = kindOf(entries.at(a).sourceName);
            const Kind kb = kindOf(entries.at(b).sourceName);
            return ka != kb ? ka < kb : entries.at(a).sourceName < entries.at(b).sourceName;
        });
        FHPlanEntry &lead = ordered[first];
        lead.group = first;
        for (const int m : qAsConst(own)) {
            FHPlanEntry member = std::move(entries[m]);
            member.group = first;
            // The group is dated, placed and kept, or left, as one.
            member.captured = lead.captured;
            member.subSecond = lead.subSecond;
            member.dateFrom = lead.dateFrom;
            member.targetFolder = lead.targetFolder;
            if (lead.reason != FHSkipReason::None || member.companion)
                member.reason = lead.reason;
            ordered.append(std::move(member));
        }
    }
    entries = std::move(ordered);
}

int groupSize(const QVector<FHPlanEntry> &entries, int first)
{
    int last = first + 1;
    while (last < entries.size() && entries.at(last).group == first
        && entries.at(first).group == first)
        ++last;
    return last - first;
}

} // namespace FHShotGroups
