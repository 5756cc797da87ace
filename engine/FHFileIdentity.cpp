#include "engine/FHFileIdentity.h"

#include "engine/FHFolderTree.h"
#include "engine/FHSafeMove.h"
#include "engine/platform/FHFolder.h"

#include <QCryptographicHash>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr qint64 EdgeBytes = 64 * 1024;
// FAT keeps modification times to two seconds.
constexpr qint64 CopiedTimeSlackNs = 2000000000LL;

bool readFully(int fd, char *data, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t got = ::pread(fd, data, size_t(size), offset);
        if (got <= 0)
            return false;
        data += got;
        size -= got;
        offset += got;
    }
    return true;
}

QByteArray contentHashOf(const FHFolder &folder, const QString &name)
{
    const int fd = folder.openFile(name, O_RDONLY);
    if (fd < 0)
        return QByteArray();
    QCryptographicHash hash(FHSafeMove::ContentHash);
    constexpr size_t BufferSize = 256 * 1024;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.get(), BufferSize);
        if (got == 0)
            break;
        if (got < 0) {
            ok = false;
            break;
        }
        hash.addData(buffer.get(), int(got));
    }
    ::close(fd);
    return ok ? hash.result().toHex() : QByteArray();
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
    const int fd = folder.openFile(name, O_RDONLY);
    if (fd < 0)
        return QByteArray();
    QByteArray hex;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size >= 0) {
        const qint64 head = qMin<qint64>(size, EdgeBytes);
        const qint64 tailStart = qMax<qint64>(head, size - EdgeBytes);
        QByteArray bytes(int(head + (size - tailStart)), Qt::Uninitialized);
        if (readFully(fd, bytes.data(), head, 0)
            && readFully(fd, bytes.data() + head, size - tailStart, tailStart)) {
            QCryptographicHash hash(FHSafeMove::ContentHash);
            hash.addData(QByteArray::number(qint64(size)));
            hash.addData(bytes);
            hex = hash.result().toHex();
        }
    }
    ::close(fd);
    return hex;
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
        return contentHashOf(folder, name) == contentHash;
    if (!seen.edgeHash.isEmpty())
        return edgeHash(folder, name) == seen.edgeHash;
    return false;
}

} // namespace FHFileIdentities
