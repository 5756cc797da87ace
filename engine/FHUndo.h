#ifndef FHUNDO_H
#define FHUNDO_H

#include "engine/FHJournal.h"
#include "engine/FHSortPlan.h"

#include <QObject>

class FHIO;
class FHReporter;

// Moves the files of a sort run back where they came from, by its journal. A
// file goes back only while it is still the one the run put there; nothing at
// its original path is ever replaced; the files of a shot go back together.
// An undo keeps a journal of its own, and one cut short is finished by
// running it again.
class FHUndo : public QObject
{
    Q_OBJECT

public:
    enum Outcome
    {
        Completed, // everything that could go back went back
        Failed, // a failure ended it; it has been reported
    };

    FHUndo(FHIO *fileGuard, FHReporter *reporter, QObject *parent = nullptr);

    // The newest sort run not yet undone, or undone in part with something
    // that can go back now; or an empty text.
    static QString lastUndoableRun();

    // Undoes the run. The plan's entries go from where each file is now
    // (source) to its original path (target), or say why the file stays
    // (changed, missing, original-taken). A dry run touches nothing. The
    // run's journal, as read, goes to undone when given.
    Outcome run(
        const QString &id, bool dryRun, FHSortPlan &plan, FHJournalStore::Run *undone = nullptr);

signals:
    void progress(int value);

private:
    FHIO *m_fileGuard;
    FHReporter *m_reporter;
};

#endif // FHUNDO_H
