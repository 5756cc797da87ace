#include "TestImages.h"

#include "engine/FHFileTypes.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cstdlib>

namespace TestImages {

namespace {

    quint32 s_serial = 0;

    constexpr int Width = 64;
    constexpr int Height = 32;

    // 32 black or white 8 x 8 blocks on grey spell a serial number: distinct
    // in any format, and exact even in a JPEG, whose blocks are all flat.
    QByteArray uniquePixels()
    {
        const quint32 serial = ++s_serial;
        QByteArray grey(Width * Height, char(0x80));
        for (int bit = 0; bit < 32; ++bit) {
            const char level = (serial >> bit) & 1 ? char(0xff) : char(0);
            for (int y = 0; y < 8; ++y)
                std::fill_n(grey.data() + ((bit / 8) * 8 + y) * Width + (bit % 8) * 8, 8, level);
        }
        return grey;
    }

    // Cameras write a few kilobytes beside the picture (maker notes, a
    // thumbnail): letters that no other image of this process repeats, so
    // that a file is as large as a small photo and some file systems' fast
    // paths for tiny files stay out of the way.
    constexpr int FillerBytes = 500;
    QByteArray fillerFor(quint32 serial)
    {
        QByteArray filler(FillerBytes, Qt::Uninitialized);
        quint32 state = serial * 2654435761u + 1;
        for (char &c : filler) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            c = char('a' + state % 26);
        }
        return filler;
    }

    void put32(QByteArray &out, quint32 value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char((value >> shift) & 0xff));
    }

    void put16(QByteArray &out, int value, bool bigEndian)
    {
        const char high = char((value >> 8) & 0xff);
        const char low = char(value & 0xff);
        out.append(bigEndian ? high : low);
        out.append(bigEndian ? low : high);
    }

    // A baseline greyscale JPEG of flat 8 x 8 blocks: with all quantisers 1,
    // a block of level v has the DC coefficient 8 (v - 128) and no AC
    // coefficient, so each block is its DC difference and an end of block.
    QByteArray jpegOf(const QByteArray &grey)
    {
        static const quint8 dcBits[16] = { 0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0 };
        // The codes those lengths give the categories 0 to 11.
        static const quint16 dcCodes[12]
            = { 0x0, 0x2, 0x3, 0x4, 0x5, 0x6, 0xe, 0x1e, 0x3e, 0x7e, 0xfe, 0x1fe };
        static const int dcLengths[12] = { 2, 3, 3, 3, 3, 3, 4, 5, 6, 7, 8, 9 };
        QByteArray jpeg("\xff\xd8", 2);
        const auto segment = [&jpeg](quint8 marker, const QByteArray &body) {
            jpeg.append(char(0xff));
            jpeg.append(char(marker));
            put16(jpeg, body.size() + 2, true);
            jpeg.append(body);
        };
        segment(0xfe, fillerFor(s_serial));
        segment(0xdb, QByteArray(1, '\0') + QByteArray(64, '\1'));
        QByteArray frame("\x08", 1);
        put16(frame, Height, true);
        put16(frame, Width, true);
        frame.append("\x01\x01\x11\x00", 4);
        segment(0xc0, frame);
        QByteArray dc(1, '\0');
        dc.append(reinterpret_cast<const char *>(dcBits), 16);
        for (char category = 0; category < 12; ++category)
            dc.append(category);
        segment(0xc4, dc);
        // The only AC symbol is the end of block, coded "0".
        QByteArray ac(1, '\x10');
        ac.append('\1');
        ac.append(QByteArray(15, '\0'));
        ac.append('\0');
        segment(0xc4, ac);
        segment(0xda, QByteArray("\x01\x01\x00\x00\x3f\x00", 6));

        quint32 bits = 0;
        int count = 0;
        const auto putBits = [&](quint32 code, int length) {
            bits = (bits << length) | (code & ((1u << length) - 1));
            count += length;
            while (count >= 8) {
                const char byte = char((bits >> (count - 8)) & 0xff);
                jpeg.append(byte);
                if (byte == char(0xff))
                    jpeg.append('\0');
                count -= 8;
            }
        };
        int previous = 0;
        for (int by = 0; by < Height / 8; ++by) {
            for (int bx = 0; bx < Width / 8; ++bx) {
                const int value = 8 * (quint8(grey.at(by * 8 * Width + bx * 8)) - 128);
                const int diff = value - previous;
                previous = value;
                int category = 0;
                while ((std::abs(diff) >> category) != 0)
                    ++category;
                putBits(dcCodes[category], dcLengths[category]);
                if (category > 0)
                    putBits(quint32(diff > 0 ? diff : diff + (1 << category) - 1), category);
                putBits(0, 1);
            }
        }
        if (count > 0)
            putBits(0x7f, 8 - count);
        jpeg.append("\xff\xd9", 2);
        return jpeg;
    }

    quint32 crc32(const QByteArray &data)
    {
        quint32 crc = 0xffffffffu;
        for (const char byte : data) {
            crc ^= quint8(byte);
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
        }
        return ~crc;
    }

    // An 8-bit greyscale PNG; qCompress gives the zlib stream after a length.
    QByteArray pngOf(const QByteArray &grey)
    {
        QByteArray png("\x89PNG\r\n\x1a\n", 8);
        const auto chunk = [&png](const char *type, const QByteArray &body) {
            const QByteArray typed = QByteArray(type, 4) + body;
            put32(png, quint32(body.size()));
            png.append(typed);
            put32(png, crc32(typed));
        };
        QByteArray header;
        put32(header, Width);
        put32(header, Height);
        header.append("\x08\x00\x00\x00\x00", 5);
        chunk("IHDR", header);
        chunk("tEXt", QByteArray("Comment", 8) + fillerFor(s_serial));
        QByteArray rows;
        for (int y = 0; y < Height; ++y)
            rows.append('\0').append(grey.mid(y * Width, Width));
        chunk("IDAT", qCompress(rows).mid(4));
        chunk("IEND", QByteArray());
        return png;
    }

    // A GIF whose LZW stream holds only literal codes, with a clear code
    // before the code width would grow, is valid and needs no compressor.
    QByteArray gifOf(const QByteArray &grey)
    {
        QByteArray gif("GIF89a");
        put16(gif, Width, false);
        put16(gif, Height, false);
        gif.append(char(0xf1)); // global table of 4 colours
        gif.append('\0');
        gif.append('\0');
        gif.append("\x00\x00\x00\xff\xff\xff\x80\x80\x80\x00\x00\x00", 12);
        const QByteArray comment = fillerFor(s_serial);
        gif.append("\x21\xfe", 2);
        for (int i = 0; i < comment.size(); i += 255) {
            const QByteArray block = comment.mid(i, 255);
            gif.append(char(block.size()));
            gif.append(block);
        }
        gif.append('\0');
        gif.append(',');
        put16(gif, 0, false);
        put16(gif, 0, false);
        put16(gif, Width, false);
        put16(gif, Height, false);
        gif.append('\0');

        constexpr int MinCodeSize = 7; // 8-bit codes: one byte each
        constexpr char Clear = char(1 << MinCodeSize);
        constexpr char End = char((1 << MinCodeSize) + 1);
        QByteArray codes;
        for (int i = 0; i < grey.size(); ++i) {
            if (i % 126 == 0)
                codes.append(Clear);
            const quint8 level = quint8(grey.at(i));
            codes.append(char(level < 64 ? 0 : level > 192 ? 1 : 2));
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

    bool saveImage(const QByteArray &grey, const QString &path, const QByteArray &format)
    {
        const QByteArray bytes = format == "GIF" ? gifOf(grey)
            : format == "PNG"                    ? pngOf(grey)
                                                 : jpegOf(grey);
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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
    if (format.isEmpty() || !saveImage(uniquePixels(), path, format)) {
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
#ifdef Q_OS_WIN
        // The narrow path would be in the ANSI code page.
        auto image = Exiv2::ImageFactory::open(path.toStdWString());
#else
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
#endif
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

namespace {

    // The library's ledger, which a run keeps beside the photos: not a photo, and
    // not the user's.
    bool isLedger(const QString &path)
    {
        return path.contains(QLatin1String("/.quilm/"));
    }

} // namespace

Contents contentsUnder(const QStringList &folders)
{
    Contents contents;
    for (const QString &folder : folders) {
        QDirIterator it(
            folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (isLedger(path))
                continue;
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
    while (it.hasNext()) {
        const QString path = it.next();
        if (!isLedger(path))
            names << base.relativeFilePath(path);
    }
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
        if (isLedger(path + QLatin1Char('/')))
            continue;
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
