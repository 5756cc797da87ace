// The CR3 reader and the capture-date lookup with the EXIF library's BMFF
// reader (HEIF, AVIF, CR3) turned on, on arbitrary bytes. Built with libFuzzer
// in the fuzz build, and as a plain function for the replay test of the normal
// build.
#include "LibraryFeedback.h"
#include "engine/FHCr3.h"
#include "engine/FHExif.h"

#include <exiv2/exiv2.hpp>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool listening = (LibraryFeedback::listen(), Exiv2::enableBMFF(true), true);
    Q_UNUSED(listening);

    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    Exiv2::ExifData cr3;
    QString problem;
    const bool read = readCr3Exif(bytes, cr3, &problem);
    // A CR3 file that gives nothing says why.
    if (read == !problem.isEmpty() && bytes.mid(4, 8) == "ftypcrx ")
        std::abort();
    if (read)
        LibraryFeedback::countText("cr3", std::uint32_t(cr3.count()));

    LibraryFeedback::checkLookup(data, size);
    return 0;
}
