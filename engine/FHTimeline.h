#ifndef FHTIMELINE_H
#define FHTIMELINE_H

#include <QDateTime>
#include <QHash>
#include <QString>

struct FHSortContext;

// One timeline for every camera of a run, set once the dates are read and
// before anything is ordered: a video that knows only its UTC moment gets the
// zone of the photos around it, each camera's clock is set right by the
// shift given for it, and a camera whose GPS times show its clock off gets
// an offset proposed.
class FHTimeline
{
public:
    explicit FHTimeline(FHSortContext &context);

    // The satellites' time of the plan's entry at index, where its file has one.
    void noteGpsTime(int index, const QDateTime &utc) { m_gps.insert(index, utc); }

    // False, with the plan's refusal set and reported, for shifts that name
    // no camera, or that move a time out of the years a photo can have.
    bool settle();

private:
    void zoneVideos();
    bool applyShifts();
    void proposeShifts();

    FHSortContext &m_context;
    QHash<int, QDateTime> m_gps;
};

#endif // FHTIMELINE_H
