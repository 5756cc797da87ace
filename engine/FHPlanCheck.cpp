#include "engine/FHPlanCheck.h"

#include "engine/FHInputWalk.h"
#include "engine/FHNaming.h"
#include "engine/FHSortPlan.h"

#include <QSet>

FHPlanCheck::FHPlanCheck(const FHSortPlan &plan, const FHSortOptions &options)
    : m_plan(&plan)
    , m_options(options)
{
    QSet<QString> targets;
    for (const FHPlanEntry &entry : plan.entries) {
        if (entry.placed)
            targets.insert(entry.targetFolder);
    }
    m_targetFolders = targets.values();
    m_targetFiles = targetFiles();
}

QHash<QString, FHFileIdentity> FHPlanCheck::targetFiles() const
{
    QHash<QString, FHFileIdentity> files;
    for (const QString &folder : m_targetFolders) {
        const FHInputWalk walk(folder, FHNameFilter(m_options.nameFilters), false);
        for (const QVector<FHInputWalk::File> *kind : { &walk.files(), &walk.sidecars() }) {
            for (const FHInputWalk::File &file : *kind)
                files.insert(file.path(), FHFileIdentity::of(file.path()));
        }
    }
    return files;
}

FHPlanCheck::Changes FHPlanCheck::targetChanges() const
{
    Changes changes;
    const QHash<QString, FHFileIdentity> now = targetFiles();
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const auto was = m_targetFiles.constFind(it.key());
        if (was == m_targetFiles.cend())
            changes.added << it.key();
        else if (*was != *it)
            changes.changed << it.key();
    }
    for (auto it = m_targetFiles.cbegin(); it != m_targetFiles.cend(); ++it) {
        if (!now.contains(it.key()))
            changes.removed << it.key();
    }
    for (QStringList *list : { &changes.added, &changes.removed, &changes.changed })
        list->sort();
    return changes;
}

FHPlanCheck::Changes FHPlanCheck::inputChanges() const
{
    Changes changes;
    if (!m_plan)
        return changes;
    QHash<QString, const FHPlanEntry *> listed;
    QSet<QPair<quint64, quint64>> files;
    for (const FHPlanEntry &entry : m_plan->entries) {
        listed.insert(entry.sourcePath(), &entry);
        if (entry.identity.isValid())
            files.insert({ entry.identity.device, entry.identity.inode });
    }
    QSet<QString> seen;
    const FHInputWalk walk(
        m_options.inputDir, FHNameFilter(m_options.nameFilters), m_options.recursive);
    // A sidecar without its photo is never planned, so an unplanned one is not new.
    const auto check = [&](const QString &path, bool canBeNew) {
        seen.insert(path);
        const FHPlanEntry *entry = listed.value(path);
        if (!entry) {
            const FHFileIdentity now = FHFileIdentity::of(path);
            // Another name of a planned file (a move cut short) is not new either.
            if (canBeNew && !files.contains({ now.device, now.inode }))
                changes.added << path;
        } else if (entry->identity.isValid() && FHFileIdentity::of(path) != entry->identity) {
            changes.changed << path;
        }
    };
    for (const FHInputWalk::File &file : walk.files())
        check(file.path(), true);
    for (const FHInputWalk::File &file : walk.sidecars())
        check(file.path(), false);
    for (const QString &path : walk.undecodable())
        check(path, true);
    for (const FHPlanEntry &entry : m_plan->entries) {
        // Files already gone when the plan was made do not count again.
        const bool wasThere
            = entry.identity.isValid() || entry.reason == FHSkipReason::UndecodableName;
        if (wasThere && !seen.contains(entry.sourcePath()))
            changes.removed << entry.sourcePath();
    }
    return changes;
}
