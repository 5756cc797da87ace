// The capture-date lookup on arbitrary bytes, as the sort run meets them in a
// file that matches the image name filters. Built with libFuzzer in the fuzz
// build, and as a plain function for the replay test of the normal build.
#include "engine/FHExif.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <typeinfo>

namespace {

#ifdef QUILM_FUZZ
// The EXIF library is not instrumented. What it says while it parses, and the
// error it ends with, tell the fuzzer which of its paths an input reached.
constexpr std::size_t FeatureCount = 1 << 14;
__attribute__((section("__libfuzzer_extra_counters"))) std::uint8_t s_features[FeatureCount];

void countFeature(const char *text, std::uint32_t seed)
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

void countLibraryMessage(int level, const char *text)
{
    countFeature(text, std::uint32_t(level));
}

// Which directories (maker notes among them) a readable input yields, by the
// types of their entries.
void countParsedDirectories(const std::uint8_t *data, std::size_t size)
{
    try {
        auto image = Exiv2::ImageFactory::open(data, long(size));
        image->readMetadata();
        for (const Exiv2::Exifdatum &datum : image->exifData())
            // An unknown type keeps its raw number: count those as one.
            countFeature(
                datum.groupName().c_str(), 300 + std::min(std::uint32_t(datum.typeId()), 20u));
    } catch (const std::exception &) {
    }
}
#else
void countFeature(const char *, std::uint32_t) { }
void countParsedDirectories(const std::uint8_t *, std::size_t) { }
#endif

void listen()
{
    muteExifLibraryWarnings();
#ifdef QUILM_FUZZ
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::debug);
    Exiv2::LogMsg::setHandler(countLibraryMessage);
#else
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
#endif
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool listening = (listen(), true);
    Q_UNUSED(listening);

    static const QString knownMakers = QStringLiteral("Canon|Apple|Nikon|Samsung");
    QString makers = knownMakers;
    QDateTime date;
    bool dated = false;
    // What the run catches is no crash: it reports the text and goes on.
    try {
        dated = lookupCaptureDate(data, size, makers, date);
        countParsedDirectories(data, size);
    } catch (const Exiv2::Error &e) {
        countFeature(e.what(), 100 + std::uint32_t(e.code()));
    } catch (const std::exception &e) {
        countFeature(typeid(e).name(), 200);
    }
    // The maker list only ever grows at its end, and a date reported is a date.
    if (!makers.startsWith(knownMakers) || (dated && !date.isValid()))
        std::abort();
    return 0;
}
