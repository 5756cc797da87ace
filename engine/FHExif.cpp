#include "FHExif.h"

#include "FHexiv2Application.h"
#include "engine/FHBmffCheck.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <climits>
#include <functional>
#include <limits>
#include <stdexcept>

namespace {

bool lookupIn(Exiv2::Image *image, const std::function<QString()> &bmffRefusal,
    QString &cameraMakers, QDateTime &date)
{
    if (!image)
        return false;
    // Its BMFF reader takes MP4 videos for images and has no bound on nesting.
    if (dynamic_cast<Exiv2::BmffImage *>(image)) {
        const QString refusal = bmffRefusal();
        if (!refusal.isEmpty())
            throw std::runtime_error(refusal.toStdString());
    }
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
    return lookupIn(
        image.get(), [&] { return bmffRefusal(path); }, cameraMakers, date);
}

bool lookupCaptureDate(
    const unsigned char *data, std::size_t size, QString &cameraMakers, QDateTime &date)
{
    if (size > std::size_t(std::numeric_limits<long>::max()))
        throw std::length_error("image too large");
    auto image = Exiv2::ImageFactory::open(data, long(size));
    const auto bytes = [&] {
        return bmffRefusal(QByteArray::fromRawData(
            reinterpret_cast<const char *>(data), int(qMin<std::size_t>(size, INT_MAX))));
    };
    return lookupIn(image.get(), bytes, cameraMakers, date);
}

void muteExifLibraryWarnings()
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::error);
}
