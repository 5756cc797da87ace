#ifndef FHRUNSUMMARY_H
#define FHRUNSUMMARY_H

#include "engine/FHSortPlan.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

// What a finished run did, in the words of the summary box, its details, the
// status line and the log: how many files moved, which stayed in the input and
// why, and how many of the kinds not chosen were left out.
class FHRunSummary
{
    Q_DECLARE_TR_FUNCTIONS(FHRunSummary)

public:
    // The plan must outlive the summary.
    FHRunSummary(const FHSortPlan &plan, bool stopped);

    // "File > File types" from the texts of a menu and its entry, without
    // their shortcut markers.
    static QString menuPath(const QString &menu, const QString &entry);

    int movedCount() const { return m_moved; }
    // Listed files that stayed in the input for a reason of their own. A
    // sidecar goes where its photo goes and is not counted apart.
    int leftCount() const { return m_left.size(); }
    // Files of the families the run's filters left out.
    int otherTypesCount() const { return m_otherTypes; }
    bool stopped() const { return m_stopped; }
    // Whether a box should tell more than the status line does.
    bool needsBox() const { return m_stopped || leftCount() > 0 || m_otherTypes > 0; }

    static QString reasonText(FHSkipReason reason);

    // One line per file left in the input, for the log and the output panel,
    // and the same as the box's details.
    QStringList reportLines() const;
    QString details() const;
    // The counts, as sentences for the box.
    QString counts() const;
    // The families left out and where to turn them on (menuPath, e.g.
    // "File > File types"); empty when there were none.
    QString otherTypes(const QString &menuPath) const;
    // One line for the status line.
    QString status(const QString &menuPath) const;

private:
    const FHSortPlan &m_plan;
    bool m_stopped;
    int m_moved;
    int m_otherTypes = 0;
    QVector<int> m_left; // indexes into the plan's entries
};

#endif // FHRUNSUMMARY_H
