#include "BenchImages.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <exiv2/exiv2.hpp>

namespace {
const QByteArray Placeholder = "1999:01:01 00:00:00";
}

QByteArray BenchImages::templateJpeg()
{
    QImage picture(640, 480, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QLinearGradient(0, 0, 640, 480));
    painter.drawEllipse(100, 100, 300, 200);
    painter.end();
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    picture.save(&jpeg, "JPEG", 85);

    QBuffer thumb;
    thumb.open(QIODevice::WriteOnly);
    picture.scaled(160, 120).save(&thumb, "JPEG", 85);

    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = "Canon";
    exif["Exif.Image.Model"] = "Canon EOS 40D";
    exif["Exif.Image.Orientation"] = uint16_t(1);
    exif["Exif.Image.XResolution"] = Exiv2::URational(72, 1);
    exif["Exif.Image.YResolution"] = Exiv2::URational(72, 1);
    exif["Exif.Image.ResolutionUnit"] = uint16_t(2);
    exif["Exif.Image.Software"] = "Firmware Version 1.1.1";
    exif["Exif.Image.DateTime"] = "2008:05:30 15:56:01";
    exif["Exif.Image.Artist"] = "";
    exif["Exif.Image.Copyright"] = "";
    exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 160);
    exif["Exif.Photo.FNumber"] = Exiv2::URational(71, 10);
    exif["Exif.Photo.ExposureProgram"] = uint16_t(1);
    exif["Exif.Photo.ISOSpeedRatings"] = uint16_t(100);
    exif["Exif.Photo.DateTimeOriginal"] = Placeholder.toStdString();
    exif["Exif.Photo.DateTimeDigitized"] = "2008:05:30 15:56:02";
    exif["Exif.Photo.ShutterSpeedValue"] = Exiv2::Rational(483328, 65536);
    exif["Exif.Photo.ApertureValue"] = Exiv2::URational(368640, 65536);
    exif["Exif.Photo.ExposureBiasValue"] = Exiv2::Rational(0, 1);
    exif["Exif.Photo.MeteringMode"] = uint16_t(5);
    exif["Exif.Photo.Flash"] = uint16_t(9);
    exif["Exif.Photo.FocalLength"] = Exiv2::URational(135, 1);
    exif["Exif.Photo.SubSecTimeOriginal"] = "00";
    exif["Exif.Photo.ColorSpace"] = uint16_t(1);
    exif["Exif.Photo.PixelXDimension"] = uint16_t(640);
    exif["Exif.Photo.PixelYDimension"] = uint16_t(480);
    exif["Exif.Photo.FocalPlaneXResolution"] = Exiv2::URational(3888000, 876);
    exif["Exif.Photo.FocalPlaneYResolution"] = Exiv2::URational(2592000, 583);
    exif["Exif.Photo.CustomRendered"] = uint16_t(0);
    exif["Exif.Photo.ExposureMode"] = uint16_t(1);
    exif["Exif.Photo.WhiteBalance"] = uint16_t(0);
    exif["Exif.Photo.SceneCaptureType"] = uint16_t(0);
    exif["Exif.GPSInfo.GPSVersionID"] = "2 2 0 0";
    exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
    exif["Exif.GPSInfo.GPSLatitude"] = "48/1 8/1 2100/100";
    exif["Exif.GPSInfo.GPSLongitudeRef"] = "E";
    exif["Exif.GPSInfo.GPSLongitude"] = "11/1 34/1 4500/100";
    Exiv2::ExifThumb(exif).setJpegThumbnail(
        reinterpret_cast<const Exiv2::byte *>(thumb.data().constData()), long(thumb.size()));

    // Through a file: the in-memory interfaces differ between library versions.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("template.jpg"));
    QFile file(path);
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly)
        || file.write(jpeg.data()) != jpeg.size())
        return QByteArray();
    file.close();
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
    image->setExifData(exif);
    image->writeMetadata();
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool BenchImages::makeImages(const QByteArray &jpeg, const QString &folder, int count, int year)
{
    const int offset = jpeg.indexOf(Placeholder);
    if (offset < 0 || jpeg.indexOf(Placeholder, offset + 1) >= 0)
        return false;
    QByteArray bytes = jpeg;
    const QDateTime start(QDate(year, 1, 1), QTime(0, 0));
    const qint64 step = qMax<qint64>(1, 365LL * 24 * 3600 / count);
    for (int i = 0; i < count; ++i) {
        // Shuffled so that listing order is not capture order.
        const qint64 slot = (qint64(i) * 7919) % count;
        const QByteArray date
            = start.addSecs(slot * step).toString(QStringLiteral("yyyy:MM:dd hh:mm:ss")).toLatin1();
        bytes.replace(offset, date.size(), date);
        QFile file(QStringLiteral("%1/IMG_%2.JPG").arg(folder).arg(i, 6, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}
