#include "FHExif.h"

#include "FHexiv2Application.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <limits>
#include <stdexcept>

namespace {

bool lookupIn(Exiv2::Image *image, QString &cameraMakers, QDateTime &date)
{
    if (!image)
        return false;
    // The library's video readers are not hardened against damaged files: one
    // header with a large size keeps them looping for minutes. A video named like
    // a photo is no photo.
    if (image->mimeType().compare(0, 6, "video/") == 0)
        throw std::runtime_error("The file holds a video, not a photo");
    image->readMetadata();
    Exiv2::ExifData &exifData = image->exifData();
    if (exifData.empty())
        return false;
    return FHexiv2Application::readExif(exifData, cameraMakers, date);
}

} // namespace

bool lookupCaptureDate(const QString &path, QString &cameraMakers, QDateTime &date)
{
    // No remote or standard-input access, whatever the path looks like.
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString(), false);
    return lookupIn(image.get(), cameraMakers, date);
}

bool lookupCaptureDate(
    const unsigned char *data, std::size_t size, QString &cameraMakers, QDateTime &date)
{
    if (size > std::size_t(std::numeric_limits<long>::max()))
        throw std::length_error("image too large");
    auto image = Exiv2::ImageFactory::open(data, long(size));
    return lookupIn(image.get(), cameraMakers, date);
}

void muteExifLibraryWarnings()
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::error);
}
