#ifndef FHFOLDERVIEW_H
#define FHFOLDERVIEW_H

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class FHFolderTree;

// What the folders hold as a run goes: the disk with the run's own moves laid
// over it. A real run lays a batch of moves over the disk while it chooses
// their names, writes them to the journal, makes them and commits; a dry run
// never commits, so that every decision (a free tag, a free number) comes out
// as the real run's would.
class FHFolderView
{
public:
    // The disk is seen through the tree's folders, without following links.
    FHFolderView(bool simulate, const FHFolderTree &tree)
        : m_simulate(simulate)
        , m_tree(tree)
    {
    }

    bool simulates() const { return m_simulate; }
    const FHFolderTree &tree() const { return m_tree; }

    // Taken by anything at all, a dangling link included.
    bool taken(const QString &path) const;
    bool isFolder(const QString &path) const;

    // Moves chosen but not yet made (a real run), or never made (a dry run).
    void moved(const QString &from, const QString &to);
    void removed(const QString &path);
    // A real run's moves are made: the disk holds them now.
    void commit()
    {
        if (!m_simulate) {
            m_added.clear();
            m_removed.clear();
            m_removedFolded.clear();
        }
    }
    // A dry run's folders that would be created.
    void folderCreated(const QString &path) { m_createdFolders.insert(path); }
    const QSet<QString> &createdFolders() const { return m_createdFolders; }

    // How many names the folder holds, of any kind, with the run's own.
    qint64 entryCount(const QString &folder) const;

    // The files of a folder matching the filters, as pass 2 lists them: files
    // and links to files, not hidden ones; the whole list before anything changes.
    QStringList list(const QString &folder, const QStringList &nameFilters) const;

private:
    bool m_simulate;
    const FHFolderTree &m_tree;
    QHash<QString, QSet<QString>> m_added; // names, by folder
    QHash<QString, QSet<QString>> m_removed; // names, by folder
    QHash<QString, QHash<QString, QString>> m_removedFolded; // of the names above, by folder
    QSet<QString> m_createdFolders;
};

#endif // FHFOLDERVIEW_H
