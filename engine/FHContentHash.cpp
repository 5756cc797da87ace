#include "engine/FHContentHash.h"

#include "engine/platform/FHFile.h"

#define XXH_STATIC_LINKING_ONLY
#include <xxhash.h>

namespace {
const char prefix[] = "xxh3:";
}

struct FHContentHash::State
{
    XXH3_state_t xxh;
};

FHContentHash::FHContentHash()
    : m_state(std::make_unique<State>())
{
    XXH3_128bits_reset(&m_state->xxh);
}

FHContentHash::~FHContentHash() = default;

void FHContentHash::add(const char *data, qint64 size)
{
    XXH3_128bits_update(&m_state->xxh, data, size_t(size));
}

QByteArray FHContentHash::text() const
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(&m_state->xxh));
    return QByteArray(prefix)
        + QByteArray::fromRawData(
            reinterpret_cast<const char *>(canonical.digest), sizeof canonical.digest)
              .toHex();
}

QByteArray FHContentHash::of(FHFile &file)
{
    constexpr qint64 BufferSize = 256 * 1024;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    FHContentHash hash;
    file.adviseSequential();
    int error = 0;
    for (;;) {
        const qint64 got = file.read(buffer.get(), BufferSize, &error);
        if (got == 0)
            return hash.text();
        if (got < 0)
            return QByteArray();
        hash.add(buffer.get(), got);
    }
}

bool FHContentHash::isOwn(const QByteArray &text)
{
    return text.startsWith(prefix);
}
