#include "TestImages.h"

#include "engine/FHFileTypes.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <exiv2/exiv2.hpp>

namespace TestImages {

namespace {

    quint32 s_serial = 0;

    // 32 black or white blocks spell a serial number: distinct in any format, and
    // far apart enough to survive JPEG compression.
    QImage uniqueImage()
    {
        const quint32 serial = ++s_serial;
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        for (int bit = 0; bit < 32; ++bit) {
            const QColor colour = (serial >> bit) & 1 ? Qt::white : Qt::black;
            painter.fillRect((bit % 8) * 8, (bit / 8) * 8, 8, 8, colour);
        }
        return image;
    }

    // Qt reads GIF but cannot write it. A GIF whose LZW stream holds only literal
    // codes, with a clear code before the code width would grow, is valid and
    // needs no compressor.
    QByteArray gifOf(const QImage &image)
    {
        const auto le16 = [](QByteArray &out, int value) {
            out.append(char(value & 0xff));
            out.append(char((value >> 8) & 0xff));
        };
        QByteArray gif("GIF89a");
        le16(gif, image.width());
        le16(gif, image.height());
        gif.append(char(0xf1)); // global table of 4 colours
        gif.append('\0');
        gif.append('\0');
        for (const QRgb colour :
            { qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(0, 0, 0) }) {
            gif.append(char(qRed(colour)));
            gif.append(char(qGreen(colour)));
            gif.append(char(qBlue(colour)));
        }
        gif.append(',');
        le16(gif, 0);
        le16(gif, 0);
        le16(gif, image.width());
        le16(gif, image.height());
        gif.append('\0');

        constexpr int MinCodeSize = 7; // 8-bit codes: one byte each
        constexpr char Clear = char(1 << MinCodeSize);
        constexpr char End = char((1 << MinCodeSize) + 1);
        QByteArray codes;
        int run = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (run++ % 126 == 0)
                    codes.append(Clear);
                const int grey = qGray(image.pixel(x, y));
                codes.append(char(grey < 64 ? 0 : grey > 192 ? 1 : 2));
            }
        }
        codes.append(End);
        gif.append(char(MinCodeSize));
        for (int i = 0; i < codes.size(); i += 255) {
            const QByteArray block = codes.mid(i, 255);
            gif.append(char(block.size()));
            gif.append(block);
        }
        gif.append('\0');
        gif.append(';');
        return gif;
    }

    bool saveImage(const QImage &image, const QString &path, const QByteArray &format)
    {
        if (format != "GIF")
            return image.save(path, format.constData());
        QFile file(path);
        const QByteArray gif = gifOf(image);
        return file.open(QIODevice::WriteOnly) && file.write(gif) == gif.size();
    }

    QByteArray formatOf(const QString &path)
    {
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
            return "JPEG";
        if (suffix == QLatin1String("png"))
            return "PNG";
        if (suffix == QLatin1String("gif"))
            return "GIF";
        // A stand-in for a RAW or HEIF file: the library reads its EXIF by its
        // content, the run groups it by its name.
        if (FHFileTypes::familyOf(path) & (FHFileTypes::Raw | FHFileTypes::Heif))
            return "JPEG";
        return QByteArray();
    }

} // namespace

bool makeImage(const QString &path, const QString &make, const QString &dateTimeOriginal)
{
    const QByteArray format = formatOf(path);
    if (format.isEmpty() || !saveImage(uniqueImage(), path, format)) {
        qWarning() << "cannot write image" << path;
        return false;
    }
    QList<QPair<QString, QString>> tags;
    if (!make.isNull())
        tags.append({ QStringLiteral("Exif.Image.Make"), make });
    if (!dateTimeOriginal.isNull())
        tags.append({ QStringLiteral("Exif.Photo.DateTimeOriginal"), dateTimeOriginal });
    return tags.isEmpty() || writeTags(path, tags);
}

bool writeTags(const QString &path, const QList<QPair<QString, QString>> &tags)
{
    try {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        image->readMetadata();
        Exiv2::ExifData exif = image->exifData();
        for (const auto &tag : tags)
            exif[tag.first.toStdString()] = tag.second.toStdString();
        image->setExifData(exif);
        image->writeMetadata();
        return true;
    } catch (const std::exception &e) {
        qWarning() << "cannot write EXIF into" << path << e.what();
        return false;
    }
}

Contents contentsUnder(const QStringList &folders)
{
    Contents contents;
    for (const QString &folder : folders) {
        QDirIterator it(
            folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                contents[QByteArray("unreadable")].append(path);
                continue;
            }
            QCryptographicHash hash(QCryptographicHash::Sha256);
            hash.addData(&file);
            contents[hash.result()].append(path);
        }
    }
    return contents;
}

QString checkEachContentOnce(const Contents &before, const QStringList &folders)
{
    const Contents after = contentsUnder(folders);
    QStringList problems;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QStringList now = after.value(it.key());
        if (now.size() < it.value().size())
            problems << QStringLiteral("lost: %1").arg(it.value().join(QStringLiteral(", ")));
        else if (now.size() > it.value().size())
            problems << QStringLiteral("doubled: %1").arg(now.join(QStringLiteral(", ")));
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            problems << QStringLiteral("foreign: %1").arg(it.value().join(QStringLiteral(", ")));
    }
    return problems.join(QLatin1Char('\n'));
}

QStringList filesUnder(const QString &folder)
{
    QStringList names;
    const QDir base(folder);
    QDirIterator it(
        folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << base.relativeFilePath(it.next());
    names.sort();
    return names;
}

QStringList treeOf(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return { QStringLiteral("<none>") };
    QStringList entries;
    const QDir base(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = base.relativeFilePath(path);
        if (it.fileInfo().isDir() && !it.fileInfo().isSymLink()) {
            entries << name + QLatin1Char('/');
            continue;
        }
        QFile file(path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        const bool read = file.open(QIODevice::ReadOnly) && hash.addData(&file);
        entries << name + QLatin1Char(' ')
                + (read ? QString::fromLatin1(hash.result().toHex().left(16))
                        : QStringLiteral("unreadable"));
    }
    entries.sort();
    return entries;
}

} // namespace TestImages
