#ifndef FHFOLDER_H
#define FHFOLDER_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

// An open folder, and what a run does inside it. Everything below a folder is
// reached by name, one step at a time, and no step follows a link: a folder
// that another program swaps for a link while a run goes on is refused, and
// nothing outside the folders the run was given is ever touched.
//
// Errors are the system's error numbers (errno; on Windows its errors are
// mapped onto the same numbers); ELOOP says that a link (on Windows, any
// reparse point: a symbolic link or a junction) stands where a folder was
// asked for. Paths use "/" between names on every system; only what is shown
// or stored takes the system's own separator.
class FHFolder
{
public:
    enum Kind
    {
        Missing,
        File,
        Directory,
        Link,
        Other, // a pipe, a device, a socket
    };

    // What lies at a name, as it is, not where a link would lead.
    struct Entry
    {
        Kind kind = Missing;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = 0; // since the epoch
        qint64 bornMs = -1; // birth time where the file system keeps one
        quint64 links = 0; // names of the file
        bool exists() const { return kind != Missing; }
    };

    FHFolder();
    ~FHFolder();
    FHFolder(const FHFolder &) = default;
    FHFolder &operator=(const FHFolder &) = default;

    // Opens the folder at an absolute path. Its last step must be a folder,
    // not a link; the steps above it are the user's own choice and are taken
    // as the system finds them.
    static FHFolder open(const QString &path, int *error);

    bool isValid() const;
    const QString &path() const { return m_path; }

    // The folder of that name inside this one; ENOENT, ELOOP or ENOTDIR.
    FHFolder child(const QString &name, int *error) const;
    // The same by the name's bytes, for names that have no text form.
    FHFolder child(const QByteArray &name, int *error) const;
    // Creates a folder inside this one: 0, EEXIST when something is there
    // already, or the error.
    int makeChild(const QString &name) const;

    // What lies at an absolute path, the last step not followed; the steps
    // above it are taken as the system finds them.
    static Entry entryAt(const QString &path);

    Entry entry(const QString &name) const;
    Entry entry(const QByteArray &name) const;
    Entry self() const;
    // Where a link of that name leads (a read, never a write).
    Entry followed(const QString &name) const;

    // Every name in the folder but "." and "..", as the system spells it, with
    // its kind where the listing tells it cheaply (else Missing: ask entry()).
    // False when the folder cannot be read (errno says why).
    bool list(const std::function<void(const QByteArray &name, Kind kind)> &each) const;
    // 0 when the folder may be listed, else the error a listing would meet.
    int readable() const;
    // 0 when this process may create files in the folder as far as the
    // system tells beforehand, else why not (a read-only file system, no
    // right to write); 0 where it cannot tell.
    int writable() const;
    // Makes all that was written to the folder's file system durable at
    // once: cheaper than a sync of each of many files.
    int syncFileSystem() const;

    // Gives the entry another name, in this folder or another on the same
    // file system, never replacing anything at the new name: EEXIST when it is
    // taken, EXDEV when the two lie on different file systems.
    int rename(const QString &name, const FHFolder &to, const QString &toName) const;
    // A second name for the file, never replacing.
    int link(const QString &name, const FHFolder &to, const QString &toName) const;
    int remove(const QString &name) const;
    int removeChild(const QString &name) const; // an empty folder

    // Whether the folder's file system keeps its file numbers across a
    // remount: not FAT, exFAT, NTFS through FUSE, nor network shares.
    bool keepsFileNumbers() const;
    // Makes the folder's entries durable.
    int sync() const;

    // A name as the system's calls take it, and back: the bytes of a name on
    // Linux, which need not be text in any encoding; UTF-8 on Windows.
    static QByteArray encodeName(const QString &name);
    static QString decodeName(const QByteArray &name);

private:
    friend class FHFile;
#ifdef Q_OS_WIN
    // The folder's handle keeps it, and through its parent's handle the
    // folders above it up to where it was opened, from being renamed or
    // removed while open: Windows reaches a name by its path only.
    std::shared_ptr<void> m_handle;
#else
    int descriptor() const
    {
        return *m_fd;
    }
    std::shared_ptr<const int> m_fd;
#endif
    QString m_path; // absolute, with "/" between names
};

#endif // FHFOLDER_H
