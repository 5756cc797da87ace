#include "engine/FHExif.h"

#include "engine/FHBmffCheck.h"
#include "engine/FHDateText.h"
#include "engine/FHExifFile.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <climits>
#include <functional>
#include <limits>
#include <stdexcept>

namespace {

const Exiv2::ExifKey &makeKey()
{
    static const Exiv2::ExifKey key("Exif.Image.Make");
    return key;
}

// HEIF, AVIF and CR3 are read by the library's BMFF reader, off by default.
void enableBmffReader()
{
    static const bool enabled = Exiv2::enableBMFF(true);
    Q_UNUSED(enabled)
}

QString subSecondOf(Exiv2::ExifData &exifData)
{
    static const Exiv2::ExifKey key("Exif.Photo.SubSecTimeOriginal");
    const auto found = exifData.findKey(key);
    return found == exifData.end()
        ? QString()
        : FHDateText::subSecondDigits(QString::fromStdString(found->value().toString()));
}

bool originalDate(Exiv2::ExifData &exifData, QDateTime &date)
{
    static const Exiv2::ExifKey dateKey("Exif.Photo.DateTimeOriginal");
    const auto original = exifData.findKey(dateKey);
    if (original == exifData.end())
        return false;
    date = FHDateText::fromExif(QString::fromStdString(original->value().toString()));
    return date.isValid();
}

// The maker and the capture date; false at once, with neither, when the data
// names no maker.
bool makerAndDate(Exiv2::ExifData &exifData, QString *maker, QDateTime &date)
{
    const auto make = exifData.findKey(makeKey());
    if (make == exifData.end())
        return false;
    // Cameras pad the tag with blanks ("OLYMPUS CORPORATION    ").
    *maker = QString::fromStdString(make->value().toString()).trimmed();
    return originalDate(exifData, date);
}

bool lookupIn(Exiv2::Image *image, const std::function<QString()> &bmffRefusal, QString *maker,
    QDateTime &date, QString *subSecond, bool *cameraless)
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
    return readExifDate(image->exifData(), maker, date, subSecond, cameraless);
}

} // namespace

bool readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date)
{
    QString maker;
    const bool dated = makerAndDate(exifData, &maker, date);
    if (!cameraMakers.contains(maker, Qt::CaseInsensitive))
        cameraMakers += QLatin1Char('|') + maker;
    return dated;
}

bool readExifDate(Exiv2::ExifData &exifData, QString *maker, QDateTime &date, QString *subSecond,
    bool *cameraless)
{
    if (exifData.empty())
        return false;
    const bool dated = makerAndDate(exifData, maker, date);
    if (!dated && cameraless)
        *cameraless = exifData.findKey(makeKey()) == exifData.end() && originalDate(exifData, date);
    if (subSecond && (dated || (cameraless && *cameraless)))
        *subSecond = subSecondOf(exifData);
    return dated;
}

bool lookupCaptureDate(
    const QString &path, QString *maker, QDateTime &date, QString *subSecond, bool *cameraless)
{
    enableBmffReader();
    // No remote or standard-input access, whatever the path looks like.
    auto image = Exiv2::ImageFactory::open(Exiv2::BasicIo::AutoPtr(new FHExifFile(path)));
    if (!image.get())
        throw Exiv2::Error(
            Exiv2::kerFileContainsUnknownImageType, QFile::encodeName(path).toStdString());
    return lookupIn(
        image.get(), [&] { return bmffRefusal(path); }, maker, date, subSecond, cameraless);
}

bool lookupCaptureDate(const unsigned char *data, std::size_t size, QString *maker, QDateTime &date)
{
    enableBmffReader();
    if (size > std::size_t(std::numeric_limits<long>::max()))
        throw std::length_error("image too large");
    auto image = Exiv2::ImageFactory::open(data, long(size));
    const auto bytes = [&] {
        return bmffRefusal(QByteArray::fromRawData(
            reinterpret_cast<const char *>(data), int(qMin<std::size_t>(size, INT_MAX))));
    };
    return lookupIn(image.get(), bytes, maker, date, nullptr, nullptr);
}

void muteExifLibraryWarnings()
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::error);
}

namespace {

std::function<void(const QString &)> &libraryMessageRoute()
{
    static std::function<void(const QString &)> route;
    return route;
}

void routeLibraryMessage(int, const char *text)
{
    if (libraryMessageRoute())
        libraryMessageRoute()(QString::fromUtf8(text).trimmed());
}

} // namespace

void routeExifLibraryMessages(std::function<void(const QString &text)> to)
{
    libraryMessageRoute() = std::move(to);
    Exiv2::LogMsg::setHandler(
        libraryMessageRoute() ? routeLibraryMessage : Exiv2::LogMsg::defaultHandler);
}
