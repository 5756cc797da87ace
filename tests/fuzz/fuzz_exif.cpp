// The capture-date lookup on arbitrary bytes, as the sort run meets them in a
// file that matches the image name filters. Built with libFuzzer in the fuzz
// build, and as a plain function for the replay test of the normal build.
#include "LibraryFeedback.h"
#include "engine/FHExif.h"

#include <exiv2/exiv2.hpp>

#include <cstdint>
#include <cstdlib>
#include <typeinfo>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool listening = (LibraryFeedback::listen(), true);
    Q_UNUSED(listening);

    QString maker;
    QDateTime date;
    bool dated = false;
    // What the run catches is no crash: it reports the text and goes on.
    try {
        dated = lookupCaptureDate(data, size, &maker, date);
        LibraryFeedback::countParsedDirectories(data, size);
    } catch (const Exiv2::Error &e) {
        LibraryFeedback::countText(e.what(), 100 + std::uint32_t(e.code()));
    } catch (const std::exception &e) {
        LibraryFeedback::countText(typeid(e).name(), 200);
    }
    // A maker comes without its padding, and a date reported is a date.
    if (maker != maker.trimmed() || (dated && !date.isValid()))
        std::abort();
    return 0;
}
