#include "LibraryFeedback.h"

#include "engine/FHExif.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <typeinfo>

namespace LibraryFeedback {

#ifdef QUILM_FUZZ
namespace {

    constexpr std::size_t FeatureCount = 1 << 14;
    __attribute__((section("__libfuzzer_extra_counters"))) std::uint8_t s_features[FeatureCount];

    void countLibraryMessage(int level, const char *text)
    {
        countText(text, std::uint32_t(level));
    }

} // namespace

void countText(const char *text, std::uint32_t seed)
{
    // Numbers differ from input to input (offsets, sizes, unknown tags); the
    // words say where in the library they came from.
    std::uint32_t hash = 2166136261u ^ seed;
    for (const char *c = text; *c; ++c) {
        if (c[0] == '0' && c[1] == 'x') {
            for (c += 2; std::isxdigit(std::uint8_t(*c)); ++c) { }
            if (!*c)
                break;
        }
        if (!std::isdigit(std::uint8_t(*c)))
            hash = (hash ^ std::uint8_t(*c)) * 16777619u;
    }
    std::uint8_t &feature = s_features[hash % FeatureCount];
    if (feature < 255)
        ++feature;
}

void countParsedDirectories(const std::uint8_t *data, std::size_t size)
{
    try {
        auto image = Exiv2::ImageFactory::open(data, long(size));
        if (image->mimeType().compare(0, 6, "video/") == 0)
            return;
        image->readMetadata();
        for (const Exiv2::Exifdatum &datum : image->exifData())
            // An unknown type keeps its raw number: count those as one.
            countText(
                datum.groupName().c_str(), 300 + std::min(std::uint32_t(datum.typeId()), 20u));
    } catch (const std::exception &) {
    }
}

void listen()
{
    muteExifLibraryWarnings();
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::debug);
    Exiv2::LogMsg::setHandler(countLibraryMessage);
}
#else
void countText(const char *, std::uint32_t) { }
void countParsedDirectories(const std::uint8_t *, std::size_t) { }

void listen()
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
}
#endif

void checkLookup(const std::uint8_t *data, std::size_t size)
{
    QString maker;
    QDateTime date;
    bool dated = false;
    // What the run catches is no crash: it reports the text and goes on.
    try {
        dated = lookupCaptureDate(data, size, &maker, date);
        countParsedDirectories(data, size);
    } catch (const Exiv2::Error &e) {
        countText(e.what(), 100 + std::uint32_t(e.code()));
    } catch (const std::exception &e) {
        countText(typeid(e).name(), 200);
    }
    if (maker != maker.trimmed() || (dated && !date.isValid()))
        std::abort();
}

} // namespace LibraryFeedback
