#include "engine/FHCaptureDate.h"

#include "engine/FHCameraClock.h"
#include "engine/FHCr3.h"
#include "engine/FHExif.h"
#include "engine/FHFileTypes.h"
#include "engine/FHStreamDate.h"
#include "engine/FHVideoDate.h"

#include <exiv2/exiv2.hpp>

namespace {

bool hasSuffix(const QString &path, const char *suffix)
{
    return path.endsWith(QLatin1Char('.') + QLatin1String(suffix), Qt::CaseInsensitive);
}

// Videos are never handed to the EXIF library: its video readers loop on
// damaged files. Ours read only the boxes on the way to the dates.
FHCaptureDate videoDate(const QString &path)
{
    FHCaptureDate found;
    if (hasSuffix(path, "mts") || hasSuffix(path, "m2ts")) {
        found.date = readStreamDate(path);
    } else {
        const FHVideoDate video = readVideoDate(path);
        if (video.status != FHVideoDate::Read)
            found.problem = video.problem;
        found.date = video.captured;
        found.maker = video.make.trimmed();
        found.camera = FHCameraClock::cameraName(found.maker, video.model, QString());
        found.hasZone = video.hasZone;
        found.zone = video.zone;
        found.utcOnly = video.source == FHVideoDate::MovieHeader;
    }
    if (found.date.isValid()) {
        found.source = FHDateSource::Container;
        found.fromCamera = true;
    }
    return found;
}

} // namespace

FHCaptureDate FHCaptureDate::of(const QString &path)
{
    if (FHFileTypes::familyOf(path) == FHFileTypes::Video)
        return videoDate(path);
    FHCaptureDate found;
    bool dated = false;
    bool cameraless = false;
    FHExifFacts facts;
    try {
        Exiv2::ExifData cr3;
        if (hasSuffix(path, "cr3") && readCr3Exif(path, cr3, &found.problem)) {
            readExifFacts(cr3, facts);
            dated = readExifDate(cr3, &found.maker, found.date, &found.subSecond, &cameraless);
        } else if (found.problem.isEmpty()) {
            dated = lookupCaptureDate(
                path, &found.maker, found.date, &found.subSecond, &cameraless, &facts);
        }
    } catch (const std::exception &e) {
        // The EXIF library's errors are standard exceptions too.
        found.problem = QString::fromUtf8(e.what()).trimmed();
    }
    found.camera = FHCameraClock::cameraName(found.maker, facts.model, facts.serial);
    if (dated || cameraless) {
        found.source = FHDateSource::Exif;
        found.fromCamera = dated;
        found.hasZone = facts.hasZone;
        found.zone = facts.zone;
        found.gpsUtc = facts.gpsUtc;
    } else {
        found.date = QDateTime();
        found.subSecond.clear();
    }
    return found;
}
