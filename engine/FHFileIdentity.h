#ifndef FHFILEIDENTITY_H
#define FHFILEIDENTITY_H

#include <QByteArray>
#include <QString>

class FHFolder;
class FHFolderTree;

// A file as it was seen: a moved file is only ever touched again (by an undo,
// by the next run after a crash) while it is still this file.
struct FHFileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0; // modification time, ns since the epoch
    // A hash of the first and last 64 KiB, where the file number alone cannot
    // tell the file again: on file systems whose numbers do not survive a
    // remount (FAT, exFAT, NTFS through FUSE, network shares), and for a file
    // that moves to another file system. Empty where it is not needed.
    QByteArray edgeHash;

    bool isValid() const { return size >= 0; }
    // The same file, unchanged, on the same file system.
    bool operator==(const FHFileIdentity &other) const
    {
        return device == other.device && inode == other.inode && size == other.size
            && modifiedNs == other.modifiedNs;
    }
    bool operator!=(const FHFileIdentity &other) const { return !(*this == other); }

    // The file of that name in the folder, as it is now; invalid when there
    // is no file there.
    static FHFileIdentity of(const FHFolder &folder, const QString &name);
    static FHFileIdentity of(const QString &path);
    static FHFileIdentity of(const FHFolderTree &tree, const QString &path);
};

namespace FHFileIdentities {

// The hex hash of the file's first and last 64 KiB and its size, or empty
// when it cannot be read.
QByteArray edgeHash(const FHFolder &folder, const QString &name);

// Whether the file at the path is the one seen: the same file on the same
// file system; else, within the two seconds FAT keeps times to, the same size
// and the same content hash (contentHash, of a copy) or edge hash. Nothing
// cheaper passes another file as this one.
bool isSame(const FHFolderTree &tree, const QString &path, const FHFileIdentity &seen,
    const QByteArray &contentHash = QByteArray());

} // namespace FHFileIdentities

#endif // FHFILEIDENTITY_H
