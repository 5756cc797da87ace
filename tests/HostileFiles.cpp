#include "HostileFiles.h"

#include "TestImages.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>

namespace HostileFiles {

const char *const CraftedDate = "2014:06:15 12:00:00";

namespace {

    constexpr quint16 MakeTag = 0x010f;
    constexpr quint16 ExifPointerTag = 0x8769;
    constexpr quint16 DateTimeOriginalTag = 0x9003;
    constexpr quint16 Ascii = 2, Short = 3, Long = 4;

    QByteArray be16(int value)
    {
        QByteArray out(2, '\0');
        qToBigEndian(quint16(value), out.data());
        return out;
    }

    QByteArray be32(quint32 value)
    {
        QByteArray out(4, '\0');
        qToBigEndian(value, out.data());
        return out;
    }

    quint32 crc32(const QByteArray &data)
    {
        quint32 crc = 0xffffffffu;
        for (const char byte : data) {
            crc ^= quint8(byte);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    }

    // A picture file made by the tests' image maker, tags written by Exiv2.
    QByteArray taggedImage(const QString &suffix, const QString &make, const QString &date)
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("image.") + suffix);
        QFile file(path);
        if (!TestImages::makeImage(path, make, date) || !file.open(QIODevice::ReadOnly))
            return QByteArray();
        return file.readAll();
    }

    QByteArray le16(int value)
    {
        QByteArray out(2, '\0');
        qToLittleEndian(quint16(value), out.data());
        return out;
    }

    QByteArray le32(quint32 value)
    {
        QByteArray out(4, '\0');
        qToLittleEndian(value, out.data());
        return out;
    }

    // A RIFF WebP holding only its extended header and an EXIF chunk.
    QByteArray webpWithExif(const QByteArray &tiff)
    {
        const QByteArray vp8x = QByteArray("VP8X") + le32(10) + QByteArray("\x08\0\0\0", 4)
            + QByteArray("\x3f\0\0\x1f\0\0", 6);
        QByteArray exif = QByteArray("EXIF") + le32(quint32(tiff.size())) + tiff;
        if (exif.size() % 2)
            exif += '\0';
        const QByteArray body = "WEBP" + vp8x + exif;
        return "RIFF" + le32(quint32(body.size())) + body;
    }

    // A Photoshop file whose image resources hold the EXIF block.
    QByteArray psdWithExif(const QByteArray &tiff)
    {
        QByteArray resource = QByteArray("8BIM") + be16(0x0422) + QByteArray(2, '\0')
            + be32(quint32(tiff.size())) + tiff;
        if (resource.size() % 2)
            resource += '\0';
        const QByteArray header = QByteArray("8BPS") + be16(1) + QByteArray(6, '\0') + be16(3)
            + be32(32) + be32(64) + be16(8) + be16(3);
        return header + be32(0) + be32(quint32(resource.size())) + resource + be32(0) + be16(0);
    }

    // Maker notes: a Canon one is a bare IFD, a Nikon one a TIFF block of its own.
    QByteArray makerNoteJpeg(const QByteArray &make, const QByteArray &note)
    {
        return jpegWithExif(tiff({ ascii(MakeTag, make) },
            { ascii(DateTimeOriginalTag, CraftedDate),
                Entry { 0x927c, 7, quint32(note.size()),
                    note } }).bytes);
    }

    QByteArray datedJpeg(const QByteArray &make = "Canon")
    {
        return jpegWithExif(cameraTiff(make, CraftedDate).bytes);
    }

    // The crafted camera block with one change made to its bytes.
    template<typename Change> QByteArray changedJpeg(Change change)
    {
        Tiff t = cameraTiff("Canon", CraftedDate);
        change(t);
        return jpegWithExif(t.bytes);
    }

} // namespace

Entry ascii(quint16 tag, const QByteArray &text)
{
    return Entry { tag, Ascii, quint32(text.size() + 1), text + '\0' };
}

void Tiff::put16(int at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

void Tiff::put32(int at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

Tiff tiff(const QList<Entry> &ifd0Entries, const QList<Entry> &exifEntries)
{
    QList<Entry> first = ifd0Entries;
    if (!exifEntries.isEmpty())
        first.append(Entry { ExifPointerTag, Long, 1, QByteArray(4, '\0') });
    const auto byTag = [](const Entry &a, const Entry &b) { return a.tag < b.tag; };
    std::stable_sort(first.begin(), first.end(), byTag);

    Tiff t;
    const int ifd0 = 8;
    t.exifIfd = ifd0 + 2 + 12 * first.size() + 4;
    const int dataStart = t.exifIfd + (exifEntries.isEmpty() ? 0 : 2 + 12 * exifEntries.size() + 4);
    t.bytes = QByteArray(dataStart, '\0');
    t.bytes[0] = 'I';
    t.bytes[1] = 'I';
    t.put16(2, 42);
    t.put32(4, ifd0);

    const auto writeIfd = [&t](int at, const QList<Entry> &entries) {
        t.put16(at, quint16(entries.size()));
        at += 2;
        for (const Entry &e : entries) {
            t.entryAt.insert(e.tag, at);
            t.put16(at, e.tag);
            t.put16(at + 2, e.type);
            t.put32(at + 4, e.count);
            if (e.value.size() <= 4) {
                std::copy(e.value.begin(), e.value.end(), t.bytes.begin() + at + 8);
            } else {
                t.put32(at + 8, quint32(t.bytes.size()));
                t.bytes += e.value;
                if (t.bytes.size() % 2)
                    t.bytes += '\0';
            }
            at += 12;
        }
        t.put32(at, 0); // no next IFD
    };
    writeIfd(ifd0, first);
    if (!exifEntries.isEmpty()) {
        writeIfd(t.exifIfd, exifEntries);
        t.put32(t.entryAt.value(ExifPointerTag) + 8, quint32(t.exifIfd));
    }
    return t;
}

Tiff cameraTiff(const QByteArray &make, const QByteArray &dateTimeOriginal)
{
    return tiff({ ascii(MakeTag, make) }, { ascii(DateTimeOriginalTag, dateTimeOriginal) });
}

QByteArray plainImage(const QString &suffix)
{
    return taggedImage(suffix, QString(), QString());
}

QByteArray jpegWithApp1(const QByteArray &jpeg, const QByteArray &payload, int declaredLength)
{
    const int length = declaredLength >= 0 ? declaredLength : payload.size() + 2;
    return jpeg.left(2) + "\xff\xe1" + be16(length) + payload + jpeg.mid(2);
}

QByteArray jpegWithExif(const QByteArray &tiff)
{
    return jpegWithApp1(plainImage(QStringLiteral("JPG")), QByteArray("Exif\0\0", 6) + tiff);
}

QByteArray pngWithChunk(const QByteArray &png, const QByteArray &type, const QByteArray &data)
{
    constexpr int AfterHeader = 8 + 4 + 4 + 13 + 4; // signature and IHDR chunk
    return png.left(AfterHeader) + be32(quint32(data.size())) + type + data
        + be32(crc32(type + data)) + png.mid(AfterHeader);
}

QByteArray gifWithComment(const QByteArray &gif, const QByteArray &comment)
{
    const quint8 packed = quint8(gif.at(10));
    const int tableSize = (packed & 0x80) ? 3 * (2 << (packed & 7)) : 0;
    const int at = 13 + tableSize;
    QByteArray extension("\x21\xfe");
    for (int i = 0; i < comment.size(); i += 255) {
        const QByteArray block = comment.mid(i, 255);
        extension += char(block.size()) + block;
    }
    extension += '\0';
    return gif.left(at) + extension + gif.mid(at);
}

QList<Case> cases()
{
    const QByteArray exifHeader("Exif\0\0", 6);
    const QByteArray dated = datedJpeg();
    const QByteArray camera = cameraTiff("Canon", CraftedDate).bytes;
    const int segmentEnd = 2 + 4 + exifHeader.size() + camera.size(); // SOI, APP1 head, payload

    QList<Case> list {
        { "well-formed.JPG", dated, true },
        { "empty.JPG", QByteArray(), false },
        { "text.JPG", "shopping list\n", false },
        { "cut-in-header.JPG", datedJpeg().left(40), false },
        { "cut-in-exif.JPG", datedJpeg().left(segmentEnd - 20), false },
        // A download cut short in the picture data still has its date.
        { "cut-in-picture.JPG", datedJpeg().chopped(20), true },
        { "png-named.JPG", taggedImage("PNG", "Canon", CraftedDate), true },
        { "jpeg-named.PNG", datedJpeg(), true },

        { "ifd0-count-past-end.JPG", changedJpeg([](Tiff &t) { t.put16(8, 0xffff); }), false },
        { "exif-count-past-end.JPG", changedJpeg([](Tiff &t) { t.put16(t.exifIfd, 0xffff); }),
            false },
        { "ifd0-offset-past-end.JPG", changedJpeg([](Tiff &t) { t.put32(4, 0xfffffff0u); }),
            false },
        { "exif-pointer-past-end.JPG",
            changedJpeg([](Tiff &t) { t.put32(t.entryAt.value(ExifPointerTag) + 8, 0xfffffff0u); }),
            false },
        { "next-ifd-loops.JPG", changedJpeg([](Tiff &t) { t.put32(t.exifIfd - 4, 8); }), true },
        { "exif-pointer-loops.JPG",
            changedJpeg([](Tiff &t) { t.put32(t.entryAt.value(ExifPointerTag) + 8, 8); }), false },
        { "exif-ifd-loops.JPG",
            changedJpeg([](Tiff &t) { t.put32(t.exifIfd + 2 + 12, quint32(t.exifIfd)); }), true },
        { "make-count-4g.JPG",
            changedJpeg([](Tiff &t) { t.put32(t.entryAt.value(MakeTag) + 4, 0xffffffffu); }),
            false },
        { "long-count-wraps.JPG",
            jpegWithExif(tiff({ ascii(MakeTag, "Canon"), Entry { 0x0201, Long, 0x40000000u, {} } },
                { ascii(DateTimeOriginalTag, CraftedDate) })
                             .bytes),
            true },
        { "app1-length-past-end.JPG",
            jpegWithApp1(plainImage("JPG").left(200), exifHeader + camera, 0xffff), false },
        { "app1-length-zero.JPG", jpegWithApp1(plainImage("JPG"), exifHeader + camera, 0), false },
        { "app1-length-one.JPG", jpegWithApp1(plainImage("JPG"), exifHeader + camera, 1), false },

        { "date-with-nul.JPG",
            jpegWithExif(cameraTiff("Canon",
                QByteArray("2014:06:15\0"
                           "12:00:00",
                    19))
                             .bytes),
            false },
        { "date-trailing-nuls.JPG",
            jpegWithExif(cameraTiff("Canon", QByteArray(CraftedDate) + QByteArray(6, '\0')).bytes),
            true },
        { "date-without-nul.JPG",
            changedJpeg([](Tiff &t) { t.put32(t.entryAt.value(DateTimeOriginalTag) + 4, 19); }),
            true },
        { "date-as-numbers.JPG",
            jpegWithExif(tiff({ ascii(MakeTag, "Canon") },
                { Entry { DateTimeOriginalTag, Short, 10, QByteArray(CraftedDate).left(20) } })
                             .bytes),
            false },
        { "make-with-nul.JPG", datedJpeg(QByteArray("Ca\0non", 6)), true },
        // The most one APP1 segment holds.
        { "make-65400.JPG", datedJpeg(QByteArray(65400, 'M')), true },
        // The library drops the value and keeps an empty Make: blank makers count as known.
        { "make-past-end.JPG",
            changedJpeg([](Tiff &t) { t.put32(t.entryAt.value(MakeTag) + 4, 65536); }), true },
        // A PNG chunk has room for more than a JPEG segment.
        { "make-64k.PNG",
            pngWithChunk(plainImage("PNG"), "eXIf",
                cameraTiff(QByteArray(64 * 1024, 'M'), CraftedDate).bytes),
            true },

        // Other formats the library reads, whatever the suffix says.
        { "tiff-named.JPG", camera, true },
        { "webp-named.JPG", webpWithExif(camera), true },
        { "psd-named.PNG", psdWithExif(camera), true },
        { "canon-makernote.JPG",
            makerNoteJpeg("Canon", le16(1) + le16(6) + le16(2) + le32(4) + "abc" + '\0' + le32(0)),
            true },
        { "canon-makernote-count-past-end.JPG",
            makerNoteJpeg("Canon", le16(0x7fff) + le16(6) + le16(2) + le32(4) + "abc" + '\0'),
            true },
        { "nikon-makernote.JPG",
            makerNoteJpeg("NIKON CORPORATION",
                QByteArray("Nikon\0\x02\x10\0\0II*\0", 14) + le32(8) + le16(1) + le16(1) + le16(7)
                    + le32(4) + "0210" + le32(0)),
            true },

        // Videos: the library's readers for them loop for minutes on these.
        { "quicktime-named.JPG",
            QByteArray::fromHex("5249464666747970ffd8ffe1005a45786966000049492a00080000000200"
                                "0f0102000900000038000000698704000100000026000000000000000100"
                                "030000003e00000000000000492a000843616e6f6e85c10900300c03b12a"
                                "bafbef11f0471ae0e03232af216f0100"),
            false },
        { "asf-named.JPG",
            QByteArray::fromHex("3026b2758e66cf11a6d900aa0062ce6c") + le32(0xfffffff0)
                + le32(0x7fff) + le32(1000) + QByteArray("\x01\x02", 2)
                + QByteArray::fromHex("a1dcab8c47a9cf118ee400c00c205365") + le32(0xfffffff0)
                + le32(0x7fff) + QByteArray(32, '\0'),
            false },

        { "plain.GIF", plainImage("GIF"), false },
        { "exif-comment.GIF",
            gifWithComment(plainImage("GIF"), exifHeader + cameraTiff("Canon", CraftedDate).bytes),
            false },
        { "plain.PNG", plainImage("PNG"), false },
        { "exiv2-tagged.PNG", taggedImage("PNG", "Canon", CraftedDate), true },
        { "exif-chunk.PNG", pngWithChunk(plainImage("PNG"), "eXIf", camera), true },
        { "exif-chunk-count-past-end.PNG",
            pngWithChunk(plainImage("PNG"), "eXIf",
                changedJpeg([](Tiff &t) { t.put16(8, 0xffff); }).mid(2 + 4 + 6, camera.size())),
            false },
    };
    return list;
}

} // namespace HostileFiles
