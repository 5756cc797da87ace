#include "engine/FHCr3.h"

#include "engine/FHBoxReader.h"
#include "engine/platform/FHFile.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <exception>

namespace {

using Box = FHBoxReader::Box;
constexpr auto fourCC = FHBoxReader::fourCC;

// The blocks hold a few kilobytes; the maker notes block is the largest.
constexpr qint64 MaxBlockSize = 1024 * 1024;

bool isCr3(FHBoxReader &boxes)
{
    const QByteArray head = boxes.read(0, 12);
    return FHBoxReader::number32(head, 4) == fourCC("ftyp")
        && FHBoxReader::number32(head, 8) == fourCC("crx ");
}

// Tags of a TIFF block's first directory, filed under group.
void decode(const QByteArray &tiff, const char *group, Exiv2::ExifData &out)
{
    Exiv2::ExifData directory;
    Exiv2::ExifParser::decode(
        directory, reinterpret_cast<const Exiv2::byte *>(tiff.constData()), uint32_t(tiff.size()));
    for (const Exiv2::Exifdatum &datum : directory) {
        if (datum.groupName() != "Image")
            continue;
        if (group)
            out.add(Exiv2::ExifKey(datum.tag(), group), &datum.value());
        else
            out.add(datum);
    }
}

bool readFrom(FHBoxReader &boxes, Exiv2::ExifData &out, QString *problem)
{
    if (!isCr3(boxes))
        return false;
    const long before = out.count();
    QString failure;
    const auto blocks = [&](const Box &canon) {
        boxes.children(canon, [&](const Box &box) {
            const bool image = box.type == fourCC("CMT1");
            if (!image && box.type != fourCC("CMT2"))
                return true;
            QByteArray tiff;
            if (!boxes.content(box, 0, MaxBlockSize, tiff)) {
                failure = QStringLiteral("the %1 block is cut or too large")
                              .arg(FHBoxReader::typeName(box.type));
                return true;
            }
            try {
                decode(tiff, image ? nullptr : "Photo", out);
            } catch (const std::exception &e) {
                failure = QString::fromUtf8(e.what());
            }
            return true;
        });
    };
    boxes.children(boxes.root(), [&](const Box &top) {
        if (top.type != fourCC("moov"))
            return true;
        boxes.children(top, [&](const Box &box) {
            if (box.type == fourCC("uuid") && box.uuid == Cr3CanonUuid)
                blocks(box);
            return true;
        });
        return false;
    });
    const bool read = out.count() > before;
    if (!read && problem) {
        *problem = !failure.isEmpty()    ? failure
            : !boxes.problem().isEmpty() ? boxes.problem()
                                         : QStringLiteral("no EXIF blocks in the CR3 file");
    }
    return read;
}

} // namespace

const QByteArray Cr3CanonUuid
    = QByteArrayLiteral("\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48");

bool readCr3Exif(const QString &path, Exiv2::ExifData &out, QString *problem)
{
    QFile file(path);
    if (!FHFile::openForReading(file)) {
        if (problem)
            *problem = file.errorString();
        return false;
    }
    FHBoxReader boxes(&file);
    return readFrom(boxes, out, problem);
}

bool readCr3Exif(const QByteArray &bytes, Exiv2::ExifData &out, QString *problem)
{
    FHBoxReader boxes(bytes);
    return readFrom(boxes, out, problem);
}
