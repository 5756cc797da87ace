#ifndef FHFOLDERVIEW_H
#define FHFOLDERVIEW_H

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// What the folders hold as a run goes: the disk with the run's own moves laid
// over it. A real run lays a batch of moves over the disk while it chooses
// their names, writes them to the journal, makes them and commits; a dry run
// never commits, so that every decision (a free tag, a free number) comes out
// as the real run's would.
class FHFolderView
{
public:
    explicit FHFolderView(bool simulate)
        : m_simulate(simulate)
    {
    }

    bool simulates() const { return m_simulate; }

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
        }
    }
    // A dry run's folders that would be created.
    void folderCreated(const QString &path) { m_createdFolders.insert(path); }
    const QSet<QString> &createdFolders() const { return m_createdFolders; }

    // The files of a folder matching the filters, as pass 2 lists them: files
    // and links to files, not hidden ones; the whole list before anything changes.
    QStringList list(const QString &folder, const QStringList &nameFilters) const;

private:
    bool m_simulate;
    QHash<QString, QSet<QString>> m_added; // names, by folder
    QHash<QString, QSet<QString>> m_removed; // names, by folder
    QSet<QString> m_createdFolders;
};

#endif // FHFOLDERVIEW_H
