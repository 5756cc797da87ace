// The capture-date lookup on arbitrary bytes, as the sort run meets them in a
// file that matches the image name filters. Built with libFuzzer in the fuzz
// build, and as a plain function for the replay test of the normal build.
#include "LibraryFeedback.h"

#include <QtGlobal>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool listening = (LibraryFeedback::listen(), true);
    Q_UNUSED(listening);

    LibraryFeedback::checkLookup(data, size);
    return 0;
}
