#ifndef FHSYSTEM_H
#define FHSYSTEM_H

#include <QString>

// What the engine asks of the operating system beyond its files.
namespace FHSystem {

qint64 processId();
// True only when no process of that id runs: a process that cannot be asked
// about counts as running.
bool processIsGone(qint64 id);
// The system's words for an error number.
QString errorText(int error);
// The path as the system's own calls take it, for libraries that take one:
// on Windows with backslashes, and the \\?\ prefix where it is too long.
QString systemPath(const QString &path);

// What the file system of a path (or, where it does not exist yet, of the
// nearest folder above it that does) is known to do.
struct FileSystem
{
    QString type; // "ext4", "vfat", "fuseblk", "ntfs", "nfs", "cifs", ...
    // Names follow Windows' rules: FAT, exFAT, NTFS, SMB; letter case does not
    // tell two names apart.
    bool windowsNames = false;
    // A file keeps its number across a remount (not FAT, exFAT, NTFS through
    // FUSE, network shares).
    bool keepsFileNumbers = true;
    // Changes made elsewhere may never be announced to this machine's
    // watchers: network shares and FUSE.
    bool remote = false;
    // A journal commits names only after the data written out before them is
    // on the disk (ext4, XFS, btrfs): a file written out, then renamed, is
    // whole under its name after a crash, though only a sync makes the name
    // itself last.
    bool journaled = false;
};
FileSystem fileSystemOf(const QString &path);

} // namespace FHSystem

#endif // FHSYSTEM_H
