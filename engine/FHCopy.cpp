#include "engine/FHCopy.h"

#include "engine/FHContentHash.h"
#include "engine/FHSafeMove.h"
#include "engine/platform/FHFile.h"
#include "engine/platform/FHFolder.h"
#include "engine/platform/FHSystem.h"

#include <QRandomGenerator>

#include <cerrno>
#include <memory>

namespace {

constexpr qint64 BufferSize = 256 * 1024;
// Writeback starts every few megabytes rather than all at the closing sync, so
// that the disk works while the copy goes on.
constexpr qint64 WritebackStep = 8 * 1024 * 1024;

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

bool cannotKernelCopy(int error)
{
    return error == ENOSYS || error == EXDEV || error == EINVAL || error == EOPNOTSUPP
        || error == EBADF;
}

// Reads the source and writes the copy, hashing what was read.
void readAndWrite(FHFile &in, FHFile &out, FHCopy::Result &result)
{
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    FHContentHash hash;
    qint64 written = 0;
    qint64 flushed = 0;
    in.adviseSequential();
    for (;;) {
        int error = 0;
        const qint64 got = in.read(buffer.get(), BufferSize, &error);
        if (got < 0) {
            result.error = error;
            result.sourceFailed = true;
            return;
        }
        if (got == 0)
            break;
        hash.add(buffer.get(), got);
        if ((result.error = out.writeAll(buffer.get(), got)))
            return;
        written += got;
        if (written - flushed >= WritebackStep) {
            out.startWriteback(flushed, written - flushed);
            flushed = written;
        }
    }
    result.hash = hash.text();
    result.method = FHCopy::ReadWrite;
}

// In the kernel where it can; true when it did, or failed for good.
bool kernelCopy(FHFile &in, FHFile &out, FHCopy::Result &result)
{
    qint64 copied = 0;
    for (;;) {
        int error = 0;
        const qint64 got = out.copyFrom(in, BufferSize * 64, &error);
        if (got == 0) {
            result.method = FHCopy::KernelCopy;
            return true;
        }
        if (got < 0) {
            if (copied == 0 && cannotKernelCopy(error))
                return false;
            result.error = error;
            // Which side failed the kernel does not say; the read tells.
            char probe;
            result.sourceFailed = in.read(&probe, 1, &error) < 0;
            return true;
        }
        copied += got;
    }
}

// The copy as the device holds it, against the hash of what was read: 0, or
// -1 when it differs or cannot be read back whole.
int readBack(FHFile &out, const QByteArray &expected)
{
    out.dropCache();
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    FHContentHash hash;
    const qint64 size = out.info().size;
    for (qint64 offset = 0; offset < size;) {
        const qint64 chunk = qMin(BufferSize, size - offset);
        if (!out.readFullyAt(buffer.get(), chunk, offset))
            return -1;
        hash.add(buffer.get(), chunk);
        offset += chunk;
    }
    return hash.text() == expected ? 0 : -1;
}

} // namespace

namespace FHCopy {

Result copyFile(const FHFolder &from, const QString &name, const FHFolder &to,
    const QString &toName, FHVerify verify, Sync sync)
{
    Result result;
    FHFile in = FHFile::open(from, name, FHFile::Read, &result.error);
    if (!in.isOpen()) {
        result.sourceFailed = true;
        return result;
    }
    if (in.info().kind != FHFolder::File) {
        result.error = EINVAL;
        result.sourceFailed = true;
        return result;
    }
    QString partial;
    FHFile out = createPartial(to, partial, &result.error);
    if (!out.isOpen())
        return result;

    // A clone shares the source's blocks, which the file system keeps
    // checksums of; reading it back would compare those blocks with
    // themselves. A check of the bytes needs them read here.
    if (out.cloneFrom(in) == 0)
        result.method = Cloned;
    else if (verify == FHVerify::Full || !kernelCopy(in, out, result))
        readAndWrite(in, out, result);
    result.synced = result.method != Cloned && sync == EachFile;
    if (!result.error) {
        out.copyMetadataFrom(in);
        if (result.synced)
            result.error = out.sync();
        else if (result.method != Cloned)
            result.error = out.writeOut();
    }
    if (!result.error && verify == FHVerify::Full && result.method == ReadWrite) {
        if (readBack(out, result.hash) != 0) {
            result.verifyFailed = true;
            result.error = EIO;
        }
    }
    // Nothing reads the copy again soon: its pages, on the disk now, make
    // room rather than crowd out what the run still reads.
    if (!result.error && result.method != Cloned)
        out.dropCache();
    if (const int closed = out.close(); closed && !result.error)
        result.error = closed;
    if (!result.error)
        result.error = to.rename(partial, to, toName);
    if (result.error) {
        to.remove(partial);
        return result;
    }
    if (result.synced)
        to.sync();
    return result;
}

} // namespace FHCopy
