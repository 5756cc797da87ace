#ifndef FHFOLDERTREE_H
#define FHFOLDERTREE_H

#include "engine/platform/FHFolder.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The folders a run may work in: its roots (the input and the output folder)
// and what lies beneath them, each folder reached from its root one step at a
// time without following a link. A path beneath no root is refused, so that
// neither a race nor an edited journal can lead a run anywhere else.
class FHFolderTree
{
public:
    FHFolderTree() = default;
    // Paths absolute and clean; a root need not exist yet.
    explicit FHFolderTree(const QStringList &roots);

    void addRoot(const QString &path);
    QStringList roots() const;
    // True when the path is a root or lies beneath one.
    bool contains(const QString &path) const;

    // The folder at the path. error: ENOENT, ELOOP when a link stands on the
    // way, ENOTDIR, EXDEV when the path lies beneath no root.
    FHFolder folder(const QString &path, int *error) const;
    // The folder holding the path, and the path's name in it.
    FHFolder parentOf(const QString &path, QString *name, int *error) const;
    // What lies at the path; Missing too when its folder cannot be reached
    // (error says why, 0 when the folder is there).
    FHFolder::Entry entry(const QString &path, int *error = nullptr) const;
    int remove(const QString &path) const;
    int removeFolder(const QString &path) const; // an empty one

    // Creates the folder and those missing above it up to its root, one
    // step at a time; 0 when it is there, else the error.
    int makeFolder(const QString &path) const;

    // Why the folder cannot be listed, or an empty text.
    QString readFailure(const QString &path) const;

    // What an error of these calls means, for a report.
    static QString errorText(int error);

    // Roots only at "/" (on Windows, at every drive): every step of every
    // path is taken without following a link. For callers that were given no
    // folders of their own.
    static const FHFolderTree &strict();

private:
    struct Root
    {
        QString path;
        mutable FHFolder folder; // opened at its first use
    };
    const Root *rootOf(const QString &path) const;
    FHFolder openRoot(const Root &root, int *error) const;

    QVector<Root> m_roots; // the deepest first
};

#endif // FHFOLDERTREE_H
