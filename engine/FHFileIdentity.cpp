#include "engine/FHFileIdentity.h"

#include "engine/FHContentHash.h"
#include "engine/FHFolderTree.h"
#include "engine/FHSafeMove.h"
#include "engine/platform/FHFile.h"
#include "engine/platform/FHFolder.h"

#include <QCryptographicHash>

#include <memory>

namespace {

constexpr qint64 EdgeBytes = 64 * 1024;
// FAT keeps modification times to two seconds.
constexpr qint64 CopiedTimeSlackNs = 2000000000LL;

// In the form of the hash it is compared with: ours, or the SHA-1 of the
// journals of earlier versions.
QByteArray contentHashOf(const FHFolder &folder, const QString &name, const QByteArray &like)
{
    int error = 0;
    FHFile file = FHFile::open(folder, name, FHFile::Read, &error);
    if (!file.isOpen())
        return QByteArray();
    if (FHContentHash::isOwn(like))
        return FHContentHash::of(file);
    QCryptographicHash hash(FHSafeMove::ContentHash);
    constexpr qint64 BufferSize = 256 * 1024;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    for (;;) {
        const qint64 got = file.read(buffer.get(), BufferSize, &error);
        if (got == 0)
            return hash.result().toHex();
        if (got < 0)
            return QByteArray();
        hash.addData(buffer.get(), int(got));
    }
}

FHFileIdentity identityOf(const FHFolder::Entry &entry)
{
    FHFileIdentity identity;
    if (entry.kind != FHFolder::File)
        return identity;
    identity.device = entry.device;
    identity.inode = entry.inode;
    identity.size = entry.size;
    identity.modifiedNs = entry.modifiedNs;
    return identity;
}

} // namespace

FHFileIdentity FHFileIdentity::of(const FHFolder &folder, const QString &name)
{
    return identityOf(folder.entry(name));
}

FHFileIdentity FHFileIdentity::of(const QString &path)
{
    return identityOf(FHFolder::entryAt(path));
}

FHFileIdentity FHFileIdentity::of(const FHFolderTree &tree, const QString &path)
{
    QString name;
    int error = 0;
    const FHFolder folder = tree.parentOf(path, &name, &error);
    return folder.isValid() ? of(folder, name) : FHFileIdentity();
}

namespace FHFileIdentities {

QByteArray edgeHash(const FHFolder &folder, const QString &name)
{
    int error = 0;
    FHFile file = FHFile::open(folder, name, FHFile::Read, &error);
    if (!file.isOpen())
        return QByteArray();
    const qint64 size = file.info().size;
    if (size < 0)
        return QByteArray();
    const qint64 head = qMin<qint64>(size, EdgeBytes);
    const qint64 tailStart = qMax<qint64>(head, size - EdgeBytes);
    QByteArray bytes(int(head + (size - tailStart)), Qt::Uninitialized);
    if (!file.readFullyAt(bytes.data(), head, 0)
        || !file.readFullyAt(bytes.data() + head, size - tailStart, tailStart))
        return QByteArray();
    QCryptographicHash hash(FHSafeMove::ContentHash);
    hash.addData(QByteArray::number(size));
    hash.addData(bytes);
    return hash.result().toHex();
}

bool isSame(const FHFolderTree &tree, const QString &path, const FHFileIdentity &seen,
    const QByteArray &contentHash)
{
    QString name;
    int error = 0;
    const FHFolder folder = tree.parentOf(path, &name, &error);
    if (!folder.isValid())
        return false;
    const FHFileIdentity now = FHFileIdentity::of(folder, name);
    if (!now.isValid() || now.size != seen.size)
        return false;
    if (now == seen)
        return true;
    if (qAbs(now.modifiedNs - seen.modifiedNs) > CopiedTimeSlackNs)
        return false;
    // Another file number: a copy, or a file system that numbers anew at every
    // mount. Only the content tells.
    if (!contentHash.isEmpty())
        return contentHashOf(folder, name, contentHash) == contentHash;
    if (!seen.edgeHash.isEmpty())
        return edgeHash(folder, name) == seen.edgeHash;
    return false;
}

} // namespace FHFileIdentities
