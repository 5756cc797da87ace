#include "engine/FHSafeMove.h"

#include "engine/FHFolderTree.h"
#include "engine/platform/FHFile.h"
#include "engine/platform/FHFolder.h"
#include "engine/platform/FHSystem.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace FHSafeMove {
const char *const PartialPrefix = ".quilm-partial-";
}

namespace {

bool sameContent(FHFile &a, FHFile &b)
{
    static constexpr qint64 BufferSize = 64 * 1024;
    const std::unique_ptr<char[]> left(new char[BufferSize]);
    const std::unique_ptr<char[]> right(new char[BufferSize]);
    int error = 0;
    for (;;) {
        const qint64 got = a.read(left.get(), BufferSize, &error);
        if (got < 0)
            return false;
        qint64 have = 0;
        while (have < got) {
            const qint64 more = b.read(right.get() + have, got - have, &error);
            if (more <= 0)
                return false;
            have += more;
        }
        if (got == 0)
            return b.read(right.get(), 1, &error) == 0;
        if (std::memcmp(left.get(), right.get(), size_t(got)) != 0)
            return false;
    }
}

} // namespace

FHSafeMove::Moved FHSafeMove::move(const FHFolder &from, const QString &name, const FHFolder &to,
    const QString &toName, FHVerify verify)
{
    Moved moved;
    moved.error = from.rename(name, to, toName);
    if (moved.error != EXDEV)
        return moved;
    // Each step is checked; the source goes only once its copy is safely in place.
    moved.copied = true;
    moved.copy = FHCopy::copyFile(from, name, to, toName, verify);
    moved.error = moved.copy.error;
    if (!moved.error && !moved.copy.synced)
        moved.error = to.syncFileSystem();
    if (moved.error)
        return moved;
    if ((moved.error = from.remove(name)))
        to.remove(toName);
    return moved;
}

int FHSafeMove::moveFile(const FHFolder &from, const QString &name, const FHFolder &to,
    const QString &toName, QByteArray *contentHash)
{
    const Moved moved = move(from, name, to, toName, FHVerify::Full);
    if (!moved.error && moved.copied && contentHash)
        *contentHash = moved.copy.hash;
    return moved.error;
}

int FHSafeMove::moveFile(
    const FHFolderTree &tree, const QString &source, const QString &target, QByteArray *contentHash)
{
    QString name;
    QString toName;
    int error = 0;
    const FHFolder from = tree.parentOf(source, &name, &error);
    if (!from.isValid())
        return error;
    const FHFolder to = tree.parentOf(target, &toName, &error);
    if (!to.isValid())
        return error;
    return moveFile(from, name, to, toName, contentHash);
}

void FHSafeMove::removeStalePartialCopies(const FHFolder &folder)
{
    if (!folder.isValid())
        return;
    const size_t prefixLength = qstrlen(PartialPrefix);
    QStringList stale;
    folder.list([&](const QByteArray &name, FHFolder::Kind) {
        if (qstrncmp(name.constData(), PartialPrefix, uint(prefixLength)) != 0)
            return;
        char *end = nullptr;
        const long long pid = std::strtoll(name.constData() + prefixLength, &end, 10);
        if (pid <= 0 || !end || *end != '-' || pid == FHSystem::processId())
            return;
        if (FHSystem::processIsGone(pid))
            stale << FHFolder::decodeName(name);
    });
    for (const QString &name : qAsConst(stale))
        folder.remove(name);
}

bool FHSafeMove::sameBytes(const FHFolderTree &tree, const QString &a, const QString &b)
{
    QString nameA;
    QString nameB;
    int error = 0;
    const FHFolder folderA = tree.parentOf(a, &nameA, &error);
    const FHFolder folderB = tree.parentOf(b, &nameB, &error);
    if (!folderA.isValid() || !folderB.isValid())
        return false;
    FHFile left = FHFile::open(folderA, nameA, FHFile::Read, &error);
    FHFile right = FHFile::open(folderB, nameB, FHFile::Read, &error);
    return left.isOpen() && right.isOpen() && left.info().size == right.info().size
        && sameContent(left, right);
}

bool FHSafeMove::isCutMoveOf(const FHFolderTree &tree, const QString &source, const QString &copy)
{
    if (source == copy)
        return false;
    QString name;
    QString copyName;
    int error = 0;
    const FHFolder from = tree.parentOf(source, &name, &error);
    const FHFolder to = tree.parentOf(copy, &copyName, &error);
    if (!from.isValid() || !to.isValid())
        return false;
    const FHFolder::Entry a = from.entry(name);
    const FHFolder::Entry b = to.entry(copyName);
    if (a.kind != FHFolder::File || b.kind != FHFolder::File)
        return false;
    if (a.device == b.device)
        return a.inode == b.inode; // a move on one file system never copies
    if (a.size != b.size)
        return false;
    FHFile left = FHFile::open(from, name, FHFile::Read, &error);
    FHFile right = FHFile::open(to, copyName, FHFile::Read, &error);
    return left.isOpen() && right.isOpen() && sameContent(left, right);
}

int FHSafeMove::finishCutMove(const FHFolderTree &tree, const QString &source, const QString &copy)
{
    QString name;
    QString copyName;
    int error = 0;
    const FHFolder from = tree.parentOf(source, &name, &error);
    if (!from.isValid())
        return error;
    const FHFolder to = tree.parentOf(copy, &copyName, &error);
    if (!to.isValid())
        return error;
    {
        FHFile file = FHFile::open(to, copyName, FHFile::Read, &error);
        if (!file.isOpen())
            return error;
        if (const int failed = file.sync())
            return failed;
    }
    to.sync();
    return from.remove(name);
}
