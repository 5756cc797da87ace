// Writes the seed corpus of the EXIF fuzzer into the folder given: the tests'
// hostile files and a few well-formed images with many tags.
#include "HostileFiles.h"
#include "TestImages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;

    // Large seeds only slow every execution down.
    constexpr int MaxSeedSize = 16 * 1024;
    int written = 0;
    for (const HostileFiles::Case &c : HostileFiles::cases()) {
        if (c.bytes.size() > MaxSeedSize)
            continue;
        QFile file(dir.filePath(c.name));
        if (!file.open(QIODevice::WriteOnly) || file.write(c.bytes) != c.bytes.size())
            return 1;
        ++written;
    }

    const QList<QPair<QString, QString>> tags {
        { "Exif.Image.Model", "EOS 5D" },
        { "Exif.Image.Orientation", "6" },
        { "Exif.Image.DateTime", "2014:12:31 23:40:00" },
        { "Exif.Photo.ExposureTime", "1/250" },
        { "Exif.Photo.FNumber", "28/10" },
        { "Exif.Photo.ISOSpeedRatings", "400" },
        { "Exif.Photo.UserComment", "charset=Ascii a comment" },
        { "Exif.GPSInfo.GPSLatitudeRef", "N" },
        { "Exif.GPSInfo.GPSLatitude", "48/1 51/1 2400/100" },
        { "Exif.Iop.InteroperabilityIndex", "R98" },
        { "Exif.Thumbnail.Compression", "6" },
    };
    for (const char *name : { "many-tags.JPG", "many-tags.PNG" }) {
        const QString path = dir.filePath(name);
        if (!TestImages::makeImage(path, "Canon", "2014:12:31 23:34:45")
            || !TestImages::writeTags(path, tags))
            return 1;
        ++written;
    }
    std::printf("%d seeds in %s\n", written, qPrintable(dir.absolutePath()));
    return 0;
}
