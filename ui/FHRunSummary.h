#ifndef FHRUNSUMMARY_H
#define FHRUNSUMMARY_H

#include "engine/FHSortEngine.h"
#include "engine/FHSortPlan.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

// What a run did, in the words of the summary box, its details, the status
// line and the log: how many files moved, which stayed in the input and why,
// how many it did not reach, how many wait under temporary names after a
// failure, and how many of the kinds not chosen were left out.
class FHRunSummary
{
    Q_DECLARE_TR_FUNCTIONS(FHRunSummary)

public:
    // The plan must outlive the summary.
    FHRunSummary(const FHSortPlan &plan, FHSortEngine::Outcome outcome);

    // "File > File types" from the texts of a menu and its entry, without
    // their shortcut markers.
    static QString menuPath(const QString &menu, const QString &entry);

    int movedCount() const { return m_moved; }
    // Listed files still in the input: those left for a reason of their own
    // and those the run did not reach. A sidecar left for its photo's reason
    // is not counted apart; one not reached is, as the files moved count theirs.
    int leftCount() const { return m_left.size() + m_notReached; }
    int notReachedCount() const { return m_notReached; }
    // Files moved that have no final name yet: the next run gives them theirs,
    // or an undo takes them back.
    int waitingCount() const { return m_waiting; }
    // Files of the families the run's filters left out.
    int otherTypesCount() const { return m_otherTypes; }
    bool stopped() const { return m_outcome == FHSortEngine::Stopped; }
    bool failed() const { return m_outcome == FHSortEngine::Failed; }
    // Whether a box should tell more than the status line does. A failure
    // before anything was listed has had its own box.
    bool needsBox() const;
    // The share of the files to sort that reached their final names.
    int percentDone() const;

    // For the log and the output panel: one line per file left for a reason
    // of its own, one for the files not reached and one for those waiting
    // under temporary names. undoMenuPath: e.g. "File > Undo last sort".
    QStringList reportLines(const QString &undoMenuPath) const;
    // The box's details: the files left, and those not reached.
    QString details() const;
    // The counts, as sentences for the box.
    QString counts(const QString &undoMenuPath) const;
    // The families left out and where to turn them on (menuPath, e.g.
    // "File > File types"); empty when there were none.
    QString otherTypes(const QString &menuPath) const;
    // One line for the status line.
    QString status(const QString &menuPath) const;

private:
    QString notReachedText() const;
    QString waitingText(const QString &undoMenuPath) const;

    const FHSortPlan &m_plan;
    FHSortEngine::Outcome m_outcome;
    int m_moved;
    int m_notReached = 0;
    int m_waiting = 0;
    int m_otherTypes = 0;
    QVector<int> m_left; // indexes into the plan's entries
};

#endif // FHRUNSUMMARY_H
