#include "engine/FHExif.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <limits>
#include <stdexcept>

namespace {

QString subSecondOf(Exiv2::ExifData &exifData)
{
    static const Exiv2::ExifKey key("Exif.Photo.SubSecTimeOriginal");
    const auto found = exifData.findKey(key);
    if (found == exifData.end())
        return QString();
    // Only the leading digits count: cameras pad with blanks, and some write junk.
    const QString text = QString::fromStdString(found->value().toString()).trimmed();
    int digits = 0;
    while (digits < text.size() && digits < 9 && text.at(digits).isDigit()
        && text.at(digits).unicode() < 128)
        ++digits;
    return text.left(digits);
}

bool lookupIn(Exiv2::Image *image, QString &cameraMakers, QDateTime &date, QString *subSecond)
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
    if (!readExif(exifData, cameraMakers, date))
        return false;
    if (subSecond)
        *subSecond = subSecondOf(exifData);
    return true;
}

} // namespace

QString defaultCameraMakers()
{
    return QStringLiteral("Canon|Apple|Nikon|Samsung");
}

bool readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date)
{
    static const Exiv2::ExifKey makeKey("Exif.Image.Make");
    static const Exiv2::ExifKey dateKey("Exif.Photo.DateTimeOriginal");

    const auto make = exifData.findKey(makeKey);
    if (make == exifData.end())
        return false;
    const QString maker = QString::fromStdString(make->value().toString());
    if (!cameraMakers.contains(maker.trimmed(), Qt::CaseInsensitive))
        cameraMakers += QLatin1Char('|') + maker;

    const auto original = exifData.findKey(dateKey);
    if (original == exifData.end())
        return false;
    const QString text = QString::fromStdString(original->value().toString());
    date = QDateTime::fromString(text, QStringLiteral("yyyy:MM:dd hh:mm:ss"));
    if (!date.isValid() && text.size() == 19 && text.at(10) == QLatin1Char(' ')) {
        // A camera clock knows no daylight saving: a time that the local clock
        // skips in spring is still the time the photo shows. Only its fields are used.
        const QDate day = QDate::fromString(text.left(10), QStringLiteral("yyyy:MM:dd"));
        const QTime time = QTime::fromString(text.mid(11), QStringLiteral("hh:mm:ss"));
        if (day.isValid() && time.isValid())
            date = QDateTime(day, time, Qt::UTC);
    }
    return date.isValid();
}

bool lookupCaptureDate(
    const QString &path, QString &cameraMakers, QDateTime &date, QString *subSecond)
{
    // No remote or standard-input access, whatever the path looks like.
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString(), false);
    return lookupIn(image.get(), cameraMakers, date, subSecond);
}

bool lookupCaptureDate(
    const unsigned char *data, std::size_t size, QString &cameraMakers, QDateTime &date)
{
    if (size > std::size_t(std::numeric_limits<long>::max()))
        throw std::length_error("image too large");
    auto image = Exiv2::ImageFactory::open(data, long(size));
    return lookupIn(image.get(), cameraMakers, date, nullptr);
}

void muteExifLibraryWarnings()
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::error);
}
