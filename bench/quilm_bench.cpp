// Times whole sort runs over many images with realistic EXIF blocks.
//
//   quilm_bench [--images N] [--runs R] [--modes 1,0] [--dir PATH]
//
// For every run it makes N JPEGs with distinct capture times spread over one
// year, sorts them with sortImages() and prints files per second; at the end
// the median per mode and the peak memory of the process.

#include "shell/FHexiv2Application.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

const QByteArray Placeholder = "1999:01:01 00:00:00";

// A small JPEG whose EXIF block looks like a camera's: the usual image and
// photo tags, GPS and an embedded thumbnail.
QByteArray templateJpeg()
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

bool makeImages(const QByteArray &jpeg, const QString &folder, int count)
{
    const int offset = jpeg.indexOf(Placeholder);
    if (offset < 0 || jpeg.indexOf(Placeholder, offset + 1) >= 0)
        return false;
    QByteArray bytes = jpeg;
    const QDateTime start(QDate(2014, 1, 1), QTime(0, 0));
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

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    FHexiv2Application app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ "images", "Images per run.", "N", "10000" });
    parser.addOption({ "runs", "Runs per mode.", "R", "5" });
    parser.addOption({ "modes", "Sub-folder modes to time, in order.", "list", "1,0" });
    parser.addOption({ "dir", "Folder to work in (default: a temporary one).", "path" });
    parser.process(app);
    const int images = parser.value("images").toInt();
    const int runs = parser.value("runs").toInt();

    QTemporaryDir temporary(parser.isSet("dir") ? parser.value("dir") + "/quilm-bench-XXXXXX"
                                                : QDir::tempPath() + "/quilm-bench-XXXXXX");
    if (images <= 0 || runs <= 0 || !temporary.isValid()) {
        std::fprintf(stderr, "bad arguments or no work folder\n");
        return 2;
    }
    const QByteArray jpeg = templateJpeg();
    std::printf("%d images of %d bytes, %d runs per mode, in %s\n", images, int(jpeg.size()), runs,
        qPrintable(temporary.path()));
    std::printf("memory before the first run: %.1f MB\n", peakMegabytes());

    for (const QString &modeText : parser.value("modes").split(',')) {
        const int mode = modeText.toInt();
        QVector<double> rates;
        for (int run = 0; run < runs; ++run) {
            const QString input = temporary.filePath(QStringLiteral("in-%1-%2").arg(mode).arg(run));
            const QString output
                = temporary.filePath(QStringLiteral("out-%1-%2").arg(mode).arg(run));
            QDir().mkpath(input);
            if (!makeImages(jpeg, input, images)) {
                std::fprintf(stderr, "cannot make the images\n");
                return 1;
            }
            quint32 moved = 0;
            qint32 notMoved = 0;
            QString makers = QStringLiteral("Canon|Apple|Nikon|Samsung");
            QElapsedTimer timer;
            timer.start();
            app.sortImages(input, output, { "*.JPG", "*.PNG", "*.GIF", "*.JPEG" },
                QStringLiteral("${NUM}"), true, false, mode, moved, notMoved, makers);
            const double seconds = timer.nsecsElapsed() / 1e9;
            if (moved != quint32(images)) {
                std::fprintf(stderr, "only %u of %d images moved\n", moved, images);
                return 1;
            }
            rates << images / seconds;
            std::printf(
                "mode %d run %d: %.2f s, %.0f files/s\n", mode, run + 1, seconds, rates.last());
            std::fflush(stdout);
            QDir(input).removeRecursively();
            QDir(output).removeRecursively();
        }
        std::sort(rates.begin(), rates.end());
        std::printf("mode %d median: %.0f files/s\n", mode, rates.at(rates.size() / 2));
    }
    std::printf("peak memory: %.1f MB\n", peakMegabytes());
    return 0;
}
