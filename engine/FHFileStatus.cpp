#include "engine/FHFileStatus.h"

#include "engine/FHFolderTree.h"
#include "engine/FHPaths.h"

#include <cerrno>

FHFileStatus FHFileStatus::of(const FHFolderTree &tree, const QString &path)
{
    FHFileStatus status;
    int error = 0;
    const FHFolder::Entry entry = tree.entry(path, &error);
    status.unreachable = error && error != ENOENT;
    if (!entry.exists())
        return status;
    status.exists = true;
    status.regular = entry.kind == FHFolder::File;
    status.identity.device = entry.device;
    status.identity.inode = entry.inode;
    status.identity.size = entry.size;
    status.identity.modifiedNs = entry.modifiedNs;
    status.fileDateMs = entry.modifiedNs / 1000000;
    if (entry.bornMs >= 0)
        status.fileDateMs = qMin(status.fileDateMs, entry.bornMs);
    return status;
}

// Another program may remove or replace a file after the listing.
QString FHFileStatus::goneText(const QString &path) const
{
    if (unreachable)
        return QStringLiteral("'%1' is left where it is: since the input directory was listed, a "
                              "link stands where one of its folders was, and links are not "
                              "followed")
            .arg(FHPaths::shown(path));
    if (!exists)
        return QStringLiteral("'%1' was removed after the input directory was listed; it is not "
                              "sorted")
            .arg(FHPaths::shown(path));
    if (!regular)
        return QStringLiteral("'%1' is no longer a file since the input directory was listed; it "
                              "is left where it is")
            .arg(FHPaths::shown(path));
    return QString();
}
