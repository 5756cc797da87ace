#include "engine/FHShotGroups.h"

#include "engine/FHFileTypes.h"
#include "engine/FHPaths.h"
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

// The grouping of one run's entries: each entry's primary, found folder by
// folder and name by name, then the entries in the order of the run.
class Grouping
{
public:
    Grouping(
        QVector<FHPlanEntry> &entries, FHReporter &reporter, const FHShotGroups::Options &options)
        : m_entries(entries)
        , m_reporter(reporter)
        , m_options(options)
        , m_primaryOf(entries.size())
    {
    }

    void run()
    {
        QHash<QString, QVector<int>> buckets;
        for (int i = 0; i < m_entries.size(); ++i) {
            m_primaryOf[i] = i;
            if (m_entries.at(i).reason != FHSkipReason::UndecodableName)
                buckets[groupKey(m_entries.at(i))].append(i);
        }
        for (const QVector<int> &bucket : qAsConst(buckets))
            groupBucket(bucket);
        order();
    }

private:
    bool wentAhead(const FHPlanEntry &entry) const
    {
        return m_options.keepAlone && m_options.keepAlone(entry);
    }
    Kind kind(int i) const { return kindOf(m_entries.at(i).sourceName); }

    void groupBucket(const QVector<int> &bucket);
    int pairMedia(QVector<int> &media);
    void attachSidecars(QVector<int> &sidecars, const QVector<int> &media, int primary);
    // The sidecar's own file: primary, the media file it is named for, or -1.
    int ownerOf(int sidecar, const QVector<int> &media, int primary) const;
    void order();

    QVector<FHPlanEntry> &m_entries;
    FHReporter &m_reporter;
    const FHShotGroups::Options &m_options;
    // Each entry's primary: itself for a file on its own; -2 for a sidecar
    // that has no photo and is dropped.
    QVector<int> m_primaryOf;
};

void Grouping::groupBucket(const QVector<int> &bucket)
{
    QVector<int> media;
    QVector<int> sidecars;
    for (const int i : bucket)
        (m_entries.at(i).companion ? sidecars : media).append(i);
    if (media.isEmpty()) {
        for (const int i : sidecars)
            m_primaryOf[i] = wentAhead(m_entries.at(i)) ? i : -2;
        return;
    }
    if (bucket.size() == 1)
        return;
    const int primary = pairMedia(media);
    attachSidecars(sidecars, media, primary);
}

// Joins the photos and videos of one name to the best-ranked one that moves;
// returns it.
int Grouping::pairMedia(QVector<int> &media)
{
    std::sort(media.begin(), media.end(), [&](int a, int b) {
        return kind(a) != kind(b) ? kind(a) < kind(b)
                                  : m_entries.at(a).sourceName < m_entries.at(b).sourceName;
    });
    int primary = media.first();
    for (const int i : media) {
        if (m_entries.at(i).reason == FHSkipReason::None && kind(i) != Other) {
            primary = i;
            break;
        }
    }
    const FHPlanEntry &lead = m_entries.at(primary);
    const Kind leadKind = kind(primary);
    bool stillJoined = false;
    // One file of a kind to a shot: IMG_1.JPG and img_1.jpg beside a RAW are
    // two shots, and their names could not tell them apart on a card.
    QSet<int> joinedKinds { leadKind };
    for (const int i : media) {
        const FHPlanEntry &member = m_entries.at(i);
        if (i == primary || !pairs(leadKind, kind(i), stillJoined)
            || lead.reason != FHSkipReason::None || member.reason != FHSkipReason::None
            || joinedKinds.contains(kind(i)))
            continue;
        if (apartMs(lead, member) > PairWindowMs) {
            m_reporter.message(
                QStringLiteral("'%1' and '%2' share a name but were taken more "
                               "than 30 s apart; they are sorted on their own")
                    .arg(FHPaths::shown(lead.sourcePath()), FHPaths::shown(member.sourcePath())));
            continue;
        }
        m_primaryOf[i] = primary;
        joinedKinds.insert(kind(i));
        stillJoined = stillJoined || kind(i) == Jpeg || kind(i) == Heif;
    }
    return primary;
}

int Grouping::ownerOf(int sidecar, const QVector<int> &media, int primary) const
{
    // IMG_1.CR2.xmp belongs to IMG_1.CR2, and through it to its group.
    const QString kept = FHFileTypes::keptSuffix(m_entries.at(sidecar).sourceName);
    const int inner = kept.indexOf(QLatin1Char('.'), 1);
    if (inner < 0)
        return primary;
    int owner = -1;
    for (const int m : media) {
        if (m_entries.at(m).sourceName.endsWith(kept.left(inner), Qt::CaseInsensitive))
            owner = m;
    }
    return owner;
}

void Grouping::attachSidecars(QVector<int> &sidecars, const QVector<int> &media, int primary)
{
    // Two sidecars whose names differ only in letter case go together where
    // the output can hold both names; in name order, so that the same one of
    // two goes whatever the order of the listing.
    QHash<int, QHash<QString, int>> keptBy;
    std::sort(sidecars.begin(), sidecars.end(),
        [&](int a, int b) { return m_entries.at(a).sourceName < m_entries.at(b).sourceName; });
    for (const int i : qAsConst(sidecars)) {
        FHPlanEntry &sidecar = m_entries[i];
        const QString kept = FHFileTypes::keptSuffix(sidecar.sourceName);
        const int owner = ownerOf(i, media, primary);
        if (owner < 0) {
            const QString photoSuffix = kept.left(kept.indexOf(QLatin1Char('.'), 1));
            // Where its file went ahead in a run cut short, it follows that
            // file on its own, under the name that run meant for it; where its
            // file is of a kind not sorted, it stays with it.
            m_primaryOf[i] = -2;
            if (wentAhead(sidecar)) {
                m_primaryOf[i] = i;
            } else if (!m_options.chosen.isEmpty()
                && !m_options.chosen.matches(QLatin1Char('x') + photoSuffix)) {
                m_primaryOf[i] = i;
                sidecar.reason = FHSkipReason::KindNotChosen;
            }
            continue;
        }
        QHash<QString, int> &takenSuffixes = keptBy[m_primaryOf[owner]];
        const QString folded = kept.toCaseFolded();
        if (takenSuffixes.contains(folded) && !m_options.caseSensitiveOutput) {
            m_primaryOf[i] = i;
            sidecar.reason = FHSkipReason::CaseClash;
            m_reporter.message(
                QStringLiteral("'%1' stays where it is: its name differs from "
                               "'%2' only in letter case, and the output cannot "
                               "hold both")
                    .arg(FHPaths::shown(sidecar.sourcePath()),
                        FHPaths::shown(m_entries.at(takenSuffixes.value(folded)).sourcePath())));
            continue;
        }
        takenSuffixes.insert(folded, i);
        m_primaryOf[i] = m_primaryOf[owner];
    }
}

// The groups in the order of the run: those that move by capture order, then
// those that stay, in the order they were listed; each primary followed by
// its members, dated, placed and kept, or left, as one.
void Grouping::order()
{
    QVector<int> primaries;
    QHash<int, QVector<int>> members;
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_primaryOf[i] == i)
            primaries.append(i);
        else if (m_primaryOf[i] >= 0)
            members[m_primaryOf[i]].append(i);
    }
    const auto staying = std::stable_partition(primaries.begin(), primaries.end(),
        [&](int i) { return m_entries.at(i).reason == FHSkipReason::None; });
    std::stable_sort(primaries.begin(), staying,
        [&](int a, int b) { return captureOrderLess(m_entries.at(a), m_entries.at(b)); });

    QVector<FHPlanEntry> ordered;
    ordered.reserve(m_entries.size());
    for (const int p : qAsConst(primaries)) {
        const int first = ordered.size();
        QVector<int> own = members.value(p);
        ordered.append(std::move(m_entries[p]));
        if (own.isEmpty())
            continue;
        std::sort(own.begin(), own.end(), [&](int a, int b) {
            if (m_entries.at(a).companion != m_entries.at(b).companion)
                return m_entries.at(b).companion;
            return kind(a) != kind(b) ? kind(a) < kind(b)
                                      : m_entries.at(a).sourceName < m_entries.at(b).sourceName;
        });
        FHPlanEntry &lead = ordered[first];
        lead.group = first;
        for (const int m : qAsConst(own)) {
            FHPlanEntry member = std::move(m_entries[m]);
            member.group = first;
            member.captured = lead.captured;
            member.subSecond = lead.subSecond;
            member.dateFrom = lead.dateFrom;
            member.targetFolder = lead.targetFolder;
            if (lead.reason != FHSkipReason::None || member.companion)
                member.reason = lead.reason;
            ordered.append(std::move(member));
        }
    }
    m_entries = std::move(ordered);
}

} // namespace

namespace FHShotGroups {

void groupAndOrder(QVector<FHPlanEntry> &entries, FHReporter &reporter, const Options &options)
{
    Grouping(entries, reporter, options).run();
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
