#ifndef FHFILE_H
#define FHFILE_H

#include "engine/platform/FHFolder.h"

#include <QString>

class QFile;

// An open file, closed when the object goes. Every call that can fail gives
// the system's error number (errno, or its Windows equivalent); 0 is success.
class FHFile
{
public:
    enum Mode
    {
        Read,
        // A new file, for this process only to write; EEXIST when the name is
        // taken.
        CreateNew,
        // A new file that is only ever appended to (a journal).
        CreateNewAppend,
        // An existing file, appended to.
        Append,
    };

    FHFile() = default;
    ~FHFile();
    FHFile(FHFile &&other) noexcept;
    FHFile &operator=(FHFile &&other) noexcept;
    FHFile(const FHFile &) = delete;
    FHFile &operator=(const FHFile &) = delete;

    // The file of that name in the folder, never through a link.
    static FHFile open(const FHFolder &folder, const QString &name, Mode mode, int *error);
    // The file at an absolute path, for the program's own files (the journal).
    static FHFile openPath(const QString &path, Mode mode, int *error);
    // Opens the QFile, named already, to be read unbuffered, as QFile::open
    // does; errno tells why not. Open, it no longer tells its name.
    static bool openForReading(QFile &file);
    // Wherever a file is opened to be read (Read, openForReading, and the
    // listings of FHFolder), reading it leaves its access time as it was,
    // where the system lets the program say so (its owner's files): a card
    // that is only copied is not written to.

    bool isOpen() const { return m_handle != Closed; }

    // Up to size bytes from where the last read ended: the count, 0 at the end,
    // or -1 with the error in *error.
    qint64 read(char *data, qint64 size, int *error);
    // All of size bytes from offset, or false (the end came first, or an error).
    bool readFullyAt(char *data, qint64 size, qint64 offset);
    // Writes all of it, or says why not (ENOSPC when the disk took nothing).
    int writeAll(const char *data, qint64 size);

    // Makes the content durable; sync() the metadata as well.
    int syncData();
    int sync();
    // Writes the content out to the device and waits for it, but commits
    // none of the metadata a sync would: the data is on the disk, its file
    // lasts once the file system is synced.
    int writeOut();
    // Closes now, with the error the close reported (network file systems
    // report failed writes there).
    int close();

    // What the open file is now: kind, identity, size, times, names.
    FHFolder::Entry info() const;
    // Gives this file the permissions and modification time of another.
    void copyMetadataFrom(const FHFile &source);

    // Hints for a file read or written once from start to end. Where the
    // system has no such hint these do nothing.
    void adviseSequential();
    // Lets the system begin writing the range to the disk now.
    void startWriteback(qint64 offset, qint64 length);
    // Drops the file's pages from the cache once they are on the disk, so that
    // the next read comes from the device. On Windows, which cannot drop them,
    // readFullyAt() reads past the cache from then on instead.
    int dropCache();

    // Makes this (empty) file share the source's blocks, copying nothing:
    // EOPNOTSUPP, EXDEV or EINVAL where the file system cannot.
    int cloneFrom(const FHFile &source);
    // Copies up to length bytes from the source's position to this file's, in
    // the kernel: the count, 0 at the source's end, or -1 with *error (ENOSYS,
    // EXDEV, EINVAL, EOPNOTSUPP where it cannot, and the copy falls back).
    qint64 copyFrom(const FHFile &source, qint64 length, int *error);

private:
#ifdef Q_OS_WIN
    using Handle = void *;
    static constexpr Handle Closed = nullptr;
#else
    using Handle = int;
    static constexpr Handle Closed = -1;
#endif
    explicit FHFile(Handle handle)
        : m_handle(handle)
    {
    }

    Handle m_handle = Closed;
#ifdef Q_OS_WIN
    // A second handle of the file that reads past the cache, after dropCache().
    Handle m_uncached = Closed;
    bool readUncachedAt(char *data, qint64 size, qint64 offset);
#endif
};

#endif // FHFILE_H
