#include "engine/FHSafeMove.h"

#include "engine/FHFolderTree.h"
#include "engine/platform/FHFile.h"
#include "engine/platform/FHFolder.h"
#include "engine/platform/FHSystem.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace FHSafeMove {
const char *const PartialPrefix = ".quilm-partial-";
}

namespace {

// Copies and, on the way, hashes the content: a card is read once.
int copyContent(FHFile &in, FHFile &out, QCryptographicHash *hash)
{
    static constexpr qint64 BufferSize = 256 * 1024;
    // Writeback starts every few megabytes rather than all at the closing
    // sync, so that the disk works while the copy goes on.
    static constexpr qint64 WritebackStep = 8 * 1024 * 1024;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    qint64 written = 0;
    qint64 flushed = 0;
    in.adviseSequential();
    for (;;) {
        int error = 0;
        const qint64 got = in.read(buffer.get(), BufferSize, &error);
        if (got < 0)
            return error;
        if (got == 0)
            return 0;
        if (hash)
            hash->addData(buffer.get(), int(got));
        if (const int failed = out.writeAll(buffer.get(), got))
            return failed;
        written += got;
        if (written - flushed >= WritebackStep) {
            out.startWriteback(flushed, written - flushed);
            flushed = written;
        }
    }
}

FHFile createPartial(const FHFolder &folder, QString &partial, int *error)
{
    FHFile file;
    for (int attempt = 0; attempt < 100; ++attempt) {
        partial = QLatin1String(FHSafeMove::PartialPrefix) + QString::number(FHSystem::processId())
            + QLatin1Char('-') + QString::number(QRandomGenerator::global()->generate64(), 16);
        file = FHFile::open(folder, partial, FHFile::CreateNew, error);
        if (file.isOpen() || *error != EEXIST)
            break;
    }
    return file;
}

// Each step is checked; the source goes only once its copy is safely in place.
int copyAcross(const FHFolder &from, const QString &name, const FHFolder &to, const QString &toName,
    QByteArray *contentHash)
{
    int error = 0;
    FHFile in = FHFile::open(from, name, FHFile::Read, &error);
    if (!in.isOpen())
        return error;
    if (in.info().kind != FHFolder::File)
        return EINVAL;

    QString partial;
    FHFile out = createPartial(to, partial, &error);
    if (!out.isOpen())
        return error;

    QCryptographicHash hash(FHSafeMove::ContentHash);
    error = copyContent(in, out, contentHash ? &hash : nullptr);
    if (!error) {
        out.copyMetadataFrom(in);
        error = out.sync();
    }
    if (const int failed = out.close(); failed && !error)
        error = failed;
    if (!error)
        error = to.rename(partial, to, toName);
    if (error) {
        to.remove(partial);
        return error;
    }

    to.sync();
    if (const int failed = from.remove(name)) {
        to.remove(toName);
        return failed;
    }
    if (contentHash)
        *contentHash = hash.result().toHex();
    return 0;
}

bool sameBytes(FHFile &a, FHFile &b)
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

int FHSafeMove::moveFile(const FHFolder &from, const QString &name, const FHFolder &to,
    const QString &toName, QByteArray *contentHash)
{
    const int error = from.rename(name, to, toName);
    if (error == EXDEV)
        return copyAcross(from, name, to, toName, contentHash);
    return error;
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
    return left.isOpen() && right.isOpen() && sameBytes(left, right);
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
