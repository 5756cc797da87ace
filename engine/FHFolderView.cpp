#include "engine/FHFolderView.h"

#include "engine/FHFileTypes.h"
#include "engine/FHFolderTree.h"
#include "engine/platform/FHFolder.h"

#include <QFile>

#include <cerrno>

namespace {

QPair<QString, QString> split(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return { path.left(slash), path.mid(slash + 1) };
}

} // namespace

bool FHFolderView::taken(const QString &path) const
{
    const auto [folder, name] = split(path);
    if (m_added.value(folder).contains(name))
        return true;
    const QSet<QString> removed = m_removed.value(folder);
    if (removed.contains(name))
        return false;
    int error = 0;
    const FHFolder::Entry entry = m_tree.entry(path, &error);
    // Where the folder cannot be reached without following a link, nothing
    // can go there: every name counts as taken.
    if (!entry.exists())
        return error && error != ENOENT;
    // Where the file system ignores letter case, the name may be that of a
    // file moved away, spelt otherwise: the disk finds that very file there.
    const QString gone = m_removedFolded.value(folder).value(name.toCaseFolded());
    if (!gone.isEmpty() && removed.contains(gone)) {
        const FHFolder::Entry was = m_tree.entry(folder + QLatin1Char('/') + gone);
        return was.device != entry.device || was.inode != entry.inode;
    }
    return true;
}

bool FHFolderView::isFolder(const QString &path) const
{
    if (m_simulate && m_createdFolders.contains(path))
        return true;
    return m_tree.entry(path).kind == FHFolder::Directory;
}

void FHFolderView::moved(const QString &from, const QString &to)
{
    removed(from);
    const auto [folder, name] = split(to);
    m_added[folder].insert(name);
    const auto removed = m_removed.find(folder);
    if (removed != m_removed.end())
        removed->remove(name);
}

void FHFolderView::removed(const QString &path)
{
    const auto [folder, name] = split(path);
    auto added = m_added.find(folder);
    if (added != m_added.end() && added->remove(name))
        return;
    m_removed[folder].insert(name);
    m_removedFolded[folder].insert(name.toCaseFolded(), name);
}

qint64 FHFolderView::entryCount(const QString &folder) const
{
    qint64 count = m_added.value(folder).size();
    int error = 0;
    const FHFolder dir = m_tree.folder(folder, &error);
    if (dir.isValid())
        dir.list([&count](const QByteArray &, FHFolder::Kind) { ++count; });
    return count;
}

QStringList FHFolderView::list(const QString &folder, const QStringList &nameFilters) const
{
    QStringList entries;
    const QSet<QString> added = m_added.value(folder);
    const QSet<QString> removed = m_removed.value(folder);
    const FHNameFilter filter(nameFilters);
    int error = 0;
    const FHFolder dir = m_tree.folder(folder, &error);
    if (dir.isValid()) {
        dir.list([&](const QByteArray &raw, FHFolder::Kind kind) {
            const QString name = FHFolder::decodeName(raw);
            // A name moved away and taken again is listed once, as the disk would.
            if (raw.startsWith('.') || !filter.matches(name) || removed.contains(name)
                || added.contains(name))
                return;
            if (kind == FHFolder::Missing)
                kind = dir.entry(name).kind;
            // Files and links to files, as a listing of files shows them.
            if (kind == FHFolder::File
                || (kind == FHFolder::Link && dir.followed(name).kind == FHFolder::File))
                entries.append(folder + QLatin1Char('/') + name);
        });
    }
    for (const QString &name : added) {
        if (filter.matches(name))
            entries.append(folder + QLatin1Char('/') + name);
    }
    return entries;
}
