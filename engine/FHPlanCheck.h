#ifndef FHPLANCHECK_H
#define FHPLANCHECK_H

#include "engine/FHFileIdentity.h"
#include "engine/FHSortOptions.h"

#include <QHash>
#include <QStringList>

struct FHSortPlan;

// Whether a sort would still do what its plan, shown to the user, says: the
// files of the input against the plan's listing, and the files of the folders
// the plan sorts into, whose numbers they decide as much, against those seen
// when the plan was made.
class FHPlanCheck
{
public:
    struct Changes
    {
        QStringList added;
        QStringList removed;
        QStringList changed;
        bool any() const { return !added.isEmpty() || !removed.isEmpty() || !changed.isEmpty(); }
    };

    FHPlanCheck() = default;
    // Takes note of the target folders' files as they are now; the plan must
    // outlive the check.
    FHPlanCheck(const FHSortPlan &plan, const FHSortOptions &options);

    Changes inputChanges() const;
    Changes targetChanges() const;

private:
    // The files of the folders that take numbers there: the kinds sorted and
    // their sidecars, as the naming finds them.
    QHash<QString, FHFileIdentity> targetFiles() const;

    const FHSortPlan *m_plan = nullptr;
    FHSortOptions m_options;
    QStringList m_targetFolders;
    QHash<QString, FHFileIdentity> m_targetFiles;
};

#endif // FHPLANCHECK_H
