// The video date readers on arbitrary bytes: the movie reader from memory and
// through a device, which must agree, and the transport stream reader. Built with libFuzzer in the
// fuzz build, and as a plain function for the replay test of the normal build.
#include "engine/FHStreamDate.h"
#include "engine/FHVideoDate.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

bool same(const FHVideoDate &a, const FHVideoDate &b)
{
    return a.status == b.status && a.source == b.source && a.captured == b.captured
        && a.make == b.make && a.problem == b.problem;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const FHVideoDate fromBytes = readVideoDate(bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const FHVideoDate fromDevice = readVideoDate(&buffer);

    const bool dated = fromBytes.source != FHVideoDate::None;
    const QDateTime latest = QDateTime::currentDateTime().addDays(2);
    if (!same(fromBytes, fromDevice) || dated != fromBytes.captured.isValid()
        || (dated && fromBytes.status != FHVideoDate::Read)
        || (dated && (fromBytes.captured.date().year() < 1970 || fromBytes.captured > latest))
        || (fromBytes.status != FHVideoDate::Read && fromBytes.problem.isEmpty())
        || fromBytes.make.size() > 4096)
        std::abort();
    const QDateTime stream = readStreamDate(bytes);
    if (stream.isValid() && (stream.date().year() < 1970 || stream > latest))
        std::abort();
    return 0;
}
