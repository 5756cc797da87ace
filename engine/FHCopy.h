#ifndef FHCOPY_H
#define FHCOPY_H

#include "engine/FHSortOptions.h"

#include <QByteArray>
#include <QString>

class FHFolder;

// Copies a photo so that the run can rely on the copy: written beside its
// target under a partial name that no listing picks up, made durable, checked
// as asked, and only then given its name, never replacing anything. The
// source is only ever read.
namespace FHCopy {

enum Method
{
    Cloned, // the file system shares the source's blocks: nothing was copied
    KernelCopy, // copied inside the kernel (or by a network share's server)
    ReadWrite, // read and written here, the hash taken on the way
};

struct Result
{
    int error = 0; // 0: the copy is in place under its name
    // The error was the source's: it could not be read (a card pulled out).
    bool sourceFailed = false;
    // Read back from the device, the copy differed from what was read; it was
    // removed. error is EIO then.
    bool verifyFailed = false;
    // The hash of the bytes read from the source; empty where the method read
    // none.
    QByteArray hash;
    Method method = ReadWrite;
    // The copy and its name were synced. A clone is not: it writes no data,
    // and the file system orders it before the name it gets, so that one
    // FHFolder::syncFileSystem() makes many of them durable at once. Nor is a
    // copy made to be synced Together.
    bool synced = true;
};

enum Sync
{
    EachFile, // the copy and its name are synced before copyFile returns
    // The copy is written out to the device (and read back from there), and
    // left for one FHFolder::syncFileSystem() of many; only where the file
    // system commits a name after the data written before it
    // (FHSystem::FileSystem::journaled).
    Together,
};

// Copies the file of that name in one folder to the name in another.
Result copyFile(const FHFolder &from, const QString &name, const FHFolder &to,
    const QString &toName, FHVerify verify, Sync sync = EachFile);

} // namespace FHCopy

#endif // FHCOPY_H
