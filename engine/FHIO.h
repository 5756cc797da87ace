#ifndef FHIO_H
#define FHIO_H

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class FHFolderTree;

// The door through which a sort run checks, creates, lists and moves files and
// folders. A guard stands for one path and a role naming what the path is
// expected to be; every failure throws an FHException naming both.
class FHIO : public QObject
{
    Q_OBJECT

public:
    FHIO(const QString &path, const QString &role);
    ~FHIO() override;

    // The path as it is shown, with the system's separators.
    const QString &currentFile() const { return m_currentFile; }
    // The same with "/", as the engine takes it.
    const QString &path() const { return m_path; }
    const QString &role() const { return m_role; }
    void setRole(const QString &role) { m_role = role; }
    // Points the guard at another path and emits getCurrentFile.
    void setCurrentFile(const QString &path);

    // The folders the guard may create and move in. Without them every step
    // of a path is taken without following a link.
    void setFolders(const FHFolderTree *folders) { m_folders = folders; }
    const FHFolderTree &folders() const;

    bool checkDirectory();
    bool checkFile();
    void makeDirectory();

    void beginList(
        const QStringList &nameFilters, QDir::Filters filters, QDirIterator::IteratorFlags flags);
    bool nextEntry(FHIO *target);
    void endList();

    QDateTime created() const;
    QString suffix() const;
    QString baseName() const;

    // Moves the file to the new path without ever replacing an existing file
    // and without losing the source; throws 265 on failure.
    void renameTo(const QString &newPath);
    // The content hash of the last move when it copied the file to another
    // file system; empty otherwise.
    const QByteArray &copiedContentHash() const { return m_copiedContentHash; }
    // The failure of a move (265) or copy (267) of the file in hand to the
    // new path, with the system's reason.
    [[noreturn]] void throwMoveFailure(const QString &newPath, int error, bool copy) const;

signals:
    void getCurrentFile(const QString &path);

private:
    QString m_role;
    QString m_path;
    QString m_currentFile;
    QFileInfo m_info;
    QByteArray m_copiedContentHash;
    const FHFolderTree *m_folders = nullptr;
    std::unique_ptr<QDirIterator> m_listing;
};

#endif // FHIO_H
