#include "engine/FHFolderView.h"

#include "engine/FHFileTypes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

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
    if (m_removed.value(folder).contains(name))
        return false;
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool FHFolderView::isFolder(const QString &path) const
{
    if (m_simulate && m_createdFolders.contains(path))
        return true;
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
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
}

QStringList FHFolderView::list(const QString &folder, const QStringList &nameFilters) const
{
    QStringList entries;
    const QSet<QString> added = m_added.value(folder);
    const QSet<QString> removed = m_removed.value(folder);
    QDirIterator it(folder, nameFilters, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString path = QDir::toNativeSeparators(it.next());
        // A name moved away and taken again is listed once, as the disk would.
        if (!removed.contains(it.fileName()) && !added.contains(it.fileName()))
            entries.append(path);
    }
    const FHNameFilter filter(nameFilters);
    for (const QString &name : added) {
        if (filter.matches(name))
            entries.append(folder + QLatin1Char('/') + name);
    }
    return entries;
}
