#include "engine/FHFolderTree.h"

#include "engine/platform/FHSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

FHFolderTree::FHFolderTree(const QStringList &roots)
{
    for (const QString &root : roots)
        addRoot(root);
}

void FHFolderTree::addRoot(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    for (const Root &root : qAsConst(m_roots)) {
        if (root.path == clean)
            return;
    }
    m_roots.append({ clean, FHFolder() });
    std::stable_sort(m_roots.begin(), m_roots.end(),
        [](const Root &a, const Root &b) { return a.path.size() > b.path.size(); });
}

QStringList FHFolderTree::roots() const
{
    QStringList paths;
    for (const Root &root : m_roots)
        paths << root.path;
    return paths;
}

const FHFolderTree::Root *FHFolderTree::rootOf(const QString &path) const
{
    for (const Root &root : m_roots) {
        if (path == root.path
            || (path.startsWith(root.path)
                && (root.path.endsWith(QLatin1Char('/'))
                    || path.at(root.path.size()) == QLatin1Char('/'))))
            return &root;
    }
    return nullptr;
}

bool FHFolderTree::contains(const QString &path) const
{
    return rootOf(QDir::cleanPath(path)) != nullptr;
}

FHFolder FHFolderTree::openRoot(const Root &root, int *error) const
{
    // The run's reading threads share the tree.
    static std::mutex lock;
    const std::lock_guard<std::mutex> locker(lock);
    if (!root.folder.isValid())
        root.folder = FHFolder::open(root.path, error);
    else
        *error = 0;
    return root.folder;
}

FHFolder FHFolderTree::folder(const QString &path, int *error) const
{
    const QString clean = QDir::cleanPath(path);
    const Root *root = rootOf(clean);
    if (!root) {
        *error = EXDEV;
        return FHFolder();
    }
    FHFolder folder = openRoot(*root, error);
    if (!folder.isValid())
        return folder;
    const QStringList steps
        = clean.mid(root->path.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        folder = folder.child(step, error);
        if (!folder.isValid())
            return folder;
    }
    return folder;
}

FHFolder FHFolderTree::parentOf(const QString &path, QString *name, int *error) const
{
    const QString clean = QDir::cleanPath(path);
    const int slash = clean.lastIndexOf(QLatin1Char('/'));
    *name = clean.mid(slash + 1);
    if (slash < 0 || name->isEmpty()) {
        *error = EINVAL;
        return FHFolder();
    }
    return folder(slash == 0 ? QStringLiteral("/") : clean.left(slash), error);
}

FHFolder::Entry FHFolderTree::entry(const QString &path, int *error) const
{
    // A root is where the user said it is: seen from itself.
    const QString clean = QDir::cleanPath(path);
    for (const Root &root : m_roots) {
        if (root.path == clean) {
            int failure = 0;
            const FHFolder folder = openRoot(root, &failure);
            if (error)
                *error = failure == ENOENT ? 0 : failure;
            if (folder.isValid())
                return folder.self();
            FHFolder::Entry entry;
            if (failure == ELOOP || failure == ENOTDIR)
                entry.kind = failure == ELOOP ? FHFolder::Link : FHFolder::File;
            return entry;
        }
    }
    QString name;
    int failure = 0;
    const FHFolder parent = parentOf(path, &name, &failure);
    if (error)
        *error = failure;
    return parent.isValid() ? parent.entry(name) : FHFolder::Entry();
}

int FHFolderTree::remove(const QString &path) const
{
    QString name;
    int error = 0;
    const FHFolder parent = parentOf(path, &name, &error);
    return parent.isValid() ? parent.remove(name) : error;
}

int FHFolderTree::removeFolder(const QString &path) const
{
    const QString clean = QDir::cleanPath(path);
    for (const Root &root : m_roots) {
        if (root.path == clean) {
            root.folder = FHFolder();
            return QDir().rmdir(clean) ? 0 : ENOTEMPTY;
        }
    }
    QString name;
    int error = 0;
    const FHFolder parent = parentOf(path, &name, &error);
    return parent.isValid() ? parent.removeChild(name) : error;
}

int FHFolderTree::makeFolder(const QString &path) const
{
    const QString clean = QDir::cleanPath(path);
    const Root *root = rootOf(clean);
    if (!root)
        return EXDEV;
    int error = 0;
    FHFolder folder = openRoot(*root, &error);
    if (error == ENOENT) {
        // The root itself lies where the user said; its parents are theirs.
        if (!QDir().mkpath(root->path))
            return EACCES;
        folder = openRoot(*root, &error);
    }
    if (!folder.isValid())
        return error;
    const QStringList steps
        = clean.mid(root->path.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        FHFolder next = folder.child(step, &error);
        if (error == ENOENT) {
            error = folder.makeChild(step);
            if (error && error != EEXIST)
                return error;
            next = folder.child(step, &error);
        }
        if (!next.isValid())
            return error;
        folder = next;
    }
    return 0;
}

QString FHFolderTree::readFailure(const QString &path) const
{
    int error = 0;
    const FHFolder opened = folder(path, &error);
    if (opened.isValid())
        error = opened.readable();
    return error ? errorText(error) : QString();
}

QString FHFolderTree::errorText(int error)
{
    switch (error) {
    case ELOOP:
        return QStringLiteral("a symbolic link stands where a folder is expected, and links are "
                              "not followed");
    case EXDEV:
        return QStringLiteral("it lies outside the folders of the run");
    default:
        return FHSystem::errorText(error);
    }
}

const FHFolderTree &FHFolderTree::strict()
{
    static const FHFolderTree tree = [] {
        QStringList roots;
        for (const QFileInfo &root : QDir::drives())
            roots << root.absoluteFilePath();
        return FHFolderTree(roots);
    }();
    return tree;
}
