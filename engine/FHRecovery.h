#ifndef FHRECOVERY_H
#define FHRECOVERY_H

#include "engine/FHJournal.h"

#include <QHash>
#include <QSet>
#include <QString>

struct FHPlanEntry;
struct FHShotMove;
struct FHSortContext;

// What the runs into the output that did not complete left, and how this run
// finishes it: a move cut short is finished, a shot cut in two takes the
// names its files were meant to have, a sidecar follows the photo that went
// ahead, and no new temporary name shares a stem with a leftover.
//
// Only the journals tell what a run left: a file is recognised by the
// identity they recorded, never by its path or its number alone.
class FHRecovery
{
public:
    explicit FHRecovery(FHSortContext &context);

    // Reads the journals; before this run's own joins them.
    void load();
    const FHJournalStore::Interrupted &interrupted() const { return m_interrupted; }
    // The inputs of the runs cut short that are not this run's folders: their
    // files may go back there when this run is undone.
    QStringList otherInputs() const;

    // A file an interrupted run moved under its temporary name into a folder
    // this run reads (sorting a folder into itself): pass 2 names it, it is
    // not a photo to sort again.
    bool isLeftover(const FHPlanEntry &entry) const;
    // A sidecar whose photo went ahead is dated and placed by the name that
    // run meant for it; true when it did.
    bool placeByMeantName(FHPlanEntry &entry) const;
    // Whether a file's shot went ahead: something of it lies where the cut
    // run meant the file to go.
    bool wentAhead(const FHPlanEntry &entry) const;

    // Notes the temporary names in a target folder, once per folder.
    void noteLeftovers(const QString &folder, const QStringList &paths);
    // Whether a leftover holds the stem (folder/stem) that the shot led by
    // lead would take.
    bool holdsStem(const FHPlanEntry &lead, const QString &stem) const;

    // The move of the file cut short by a crash after its target appeared and
    // before its source went: true, with the shot's cut copy and name set,
    // where the journal recorded that very pair.
    bool findCutMove(const FHPlanEntry &entry, FHShotMove &shot);
    // The rest of a shot that a crash cut in two: true, with the names its
    // files were meant to have, beside the files that moved.
    bool resumeShot(FHShotMove &shot);

private:
    // The file at copy is what the cut run made of source: the moved file
    // itself, or, for a run that copies, a copy of the same bytes.
    bool isCutShort(const QString &source, const QString &copy) const;

    FHSortContext &m_context;
    FHJournalStore::Interrupted m_interrupted;
    // Leftovers by folder/stem, with the folder/stem a cut run was naming
    // them to, if any. A tag whose stem a leftover holds under any suffix is
    // not free, or pass 2 would take the two for one shot: unless the photo
    // is the part of that shot which got its name before the cut, listed
    // again by a run in place.
    QHash<QString, QString> m_leftoverStems;
    QSet<QString> m_finishedCuts; // each finished once
};

#endif // FHRECOVERY_H
