#ifndef FHSORTCONTEXT_H
#define FHSORTCONTEXT_H

#include "engine/FHSortEngine.h"

#include <QString>
#include <QStringList>
#include <QVector>

class FHFolderTree;
class FHFolderView;
class FHIO;
class FHJournal;
class FHReporter;

// What the stages of one run share: its options and plan, its folders and
// the view of them, the guard, the reports, the journal and the progress.
struct FHSortContext
{
    FHSortContext(FHSortEngine &engine, const FHSortOptions &options, FHSortPlan &plan,
        FHFolderTree &folders, FHFolderView &view, FHIO &guard, FHReporter &reporter)
        : engine(engine)
        , options(options)
        , plan(plan)
        , folders(folders)
        , view(view)
        , guard(guard)
        , reporter(reporter)
    {
    }

    FHSortEngine &engine;
    const FHSortOptions &options;
    FHSortPlan &plan;
    FHFolderTree &folders;
    FHFolderView &view;
    FHIO &guard;
    FHReporter &reporter;
    FHJournal *journal = nullptr; // none in a dry run
    QString input; // absolute and clean
    QString output;
    QString subFolderFormat; // "yyyy-MM", "yyyy-MM-dd", or empty
    int progress = 0;
    // Pass 1's progress: each file is read, then moved.
    qint64 passOneDone = 0;
    qint64 passOneTotal = 0;

    bool stopRequested() const { return engine.stopRequested(); }
    // Never backwards.
    void setProgress(int value);
    void stepProgress(int from, int to, qint64 done, qint64 total)
    {
        if (total > 0)
            setProgress(from + int((to - from) * done / total));
    }
    // Pass 1's total once the plan says which files move.
    void countPassOne();
    // Creates the folder or checks it, beneath the run's folders only.
    void makeFolder(const QString &path, const QString &role) const;
    // 0 while the input folder can be read; else why not, as when the card it
    // is on was taken out.
    int inputError() const;
};

// The files of one shot that move together, and the names they move to.
struct FHShotMove
{
    QVector<int> members; // plan indices
    QStringList names; // in the target folder
    // Per member: a move cut short, to be finished (the copy in place), or
    // empty for a plain move.
    QStringList cutCopies;
};

namespace FHSortTexts {
extern const QString InputDirectoryRole;
extern const QString OutputDirectoryRole;
extern const QString ImageFileRole;
extern const QString SubDirectoryRole;
// A folder that cannot be read lists as empty: say so rather than sort
// nothing in silence.
extern const char *const NotSortedText;
extern const char *const TemporaryNamesText;
QString unreadableFolder(const QString &folder, const QString &reason, const char *consequence);
} // namespace FHSortTexts

#endif // FHSORTCONTEXT_H
