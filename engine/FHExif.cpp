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

// "yyyy:MM:dd hh:mm:ss" as cameras write it.
QDateTime exifDateTime(const QString &text)
{
    QDateTime date = QDateTime::fromString(text, QStringLiteral("yyyy:MM:dd hh:mm:ss"));
    if (!date.isValid() && text.size() == 19 && text.at(10) == QLatin1Char(' ')) {
        // A camera clock knows no daylight saving: a time that the local clock
        // skips in spring is still the time the photo shows. Only its fields are used.
        const QDate day = QDate::fromString(text.left(10), QStringLiteral("yyyy:MM:dd"));
        const QTime time = QTime::fromString(text.mid(11), QStringLiteral("hh:mm:ss"));
        if (day.isValid() && time.isValid())
            date = QDateTime(day, time, Qt::UTC);
    }
    return date;
}

bool originalDate(Exiv2::ExifData &exifData, QDateTime &date)
{
    static const Exiv2::ExifKey dateKey("Exif.Photo.DateTimeOriginal");
    const auto original = exifData.findKey(dateKey);
    if (original == exifData.end())
        return false;
    date = exifDateTime(QString::fromStdString(original->value().toString()));
    return date.isValid();
}

bool lookupIn(Exiv2::Image *image, QString &cameraMakers, QDateTime &date, QString *subSecond,
    bool *cameraless)
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
    const bool dated = readExif(exifData, cameraMakers, date);
    if (!dated && cameraless) {
        static const Exiv2::ExifKey makeKey("Exif.Image.Make");
        *cameraless = exifData.findKey(makeKey) == exifData.end() && originalDate(exifData, date);
    }
    if (subSecond && (dated || (cameraless && *cameraless)))
        *subSecond = subSecondOf(exifData);
    return dated;
}

} // namespace

QString defaultCameraMakers()
{
    return QStringLiteral("Canon|Apple|Nikon|Samsung");
}

bool readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date)
{
    static const Exiv2::ExifKey makeKey("Exif.Image.Make");

    const auto make = exifData.findKey(makeKey);
    if (make == exifData.end())
        return false;
    const QString maker = QString::fromStdString(make->value().toString());
    if (!cameraMakers.contains(maker.trimmed(), Qt::CaseInsensitive))
        cameraMakers += QLatin1Char('|') + maker;
    return originalDate(exifData, date);
}

bool lookupCaptureDate(const QString &path, QString &cameraMakers, QDateTime &date,
    QString *subSecond, bool *cameraless)
{
    // No remote or standard-input access, whatever the path looks like.
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString(), false);
    return lookupIn(image.get(), cameraMakers, date, subSecond, cameraless);
}

bool lookupCaptureDate(
    const unsigned char *data, std::size_t size, QString &cameraMakers, QDateTime &date)
{
    if (size > std::size_t(std::numeric_limits<long>::max()))
        throw std::length_error("image too large");
    auto image = Exiv2::ImageFactory::open(data, long(size));
    return lookupIn(image.get(), cameraMakers, date, nullptr, nullptr);
}

void muteExifLibraryWarnings()
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::error);
}
