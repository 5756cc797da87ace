#include "engine/FHBmffCheck.h"

#include "engine/FHBoxReader.h"
#include "engine/FHCr3.h"
#include "engine/platform/FHFile.h"

#include <QFile>

#include <algorithm>
#include <iterator>

namespace {

using Box = FHBoxReader::Box;
constexpr auto fourCC = FHBoxReader::fourCC;

// Real photos nest three deep (meta, iprp, ipco).
constexpr int MaxDepth = 8;

bool stillImageBrand(quint32 brand)
{
    static const quint32 Brands[]
        = { fourCC("heic"), fourCC("heix"), fourCC("heim"), fourCC("heis"), fourCC("mif1"),
              fourCC("mif2"), fourCC("avif"), fourCC("avio"), fourCC("crx "), fourCC("jxl ") };
    return std::find(std::begin(Brands), std::end(Brands), brand) != std::end(Brands);
}

// Where the library looks for boxes inside a box, or -1 where it does not.
qint64 childrenAt(const Box &box)
{
    switch (box.type) {
    case FHBoxReader::fourCC("moov"):
    case FHBoxReader::fourCC("iprp"):
    case FHBoxReader::fourCC("ipco"):
        return box.content;
    case FHBoxReader::fourCC("meta"):
        return box.content + 4;
    case FHBoxReader::fourCC("iinf"):
        return box.content + 6;
    case FHBoxReader::fourCC("uuid"):
        return box.uuid == Cr3CanonUuid ? box.content : -1;
    default:
        return -1;
    }
}

enum class Nesting
{
    Shallow,
    Deep,
    Unwalkable
};

Nesting nesting(FHBoxReader &boxes, const Box &parent, qint64 from, int depth)
{
    if (depth > MaxDepth)
        return Nesting::Deep;
    Nesting result = Nesting::Shallow;
    const bool walked = boxes.children(parent, from, [&](const Box &box) {
        const qint64 at = childrenAt(box);
        if (at >= 0)
            result = nesting(boxes, box, at, depth + 1);
        return result == Nesting::Shallow;
    });
    return walked ? result : Nesting::Unwalkable;
}

QString refusal(FHBoxReader &boxes)
{
    // The library's test: 'ftyp' in the first box, or the JPEG XL signature.
    const QByteArray head = boxes.read(0, 8);
    const quint32 first = FHBoxReader::number32(head, 4);
    if (first != fourCC("ftyp") && first != fourCC("JXL "))
        return QString();
    bool still = false;
    boxes.children(boxes.root(), [&](const Box &box) {
        QByteArray brands;
        if (box.type != fourCC("ftyp"))
            return box.type == fourCC("JXL ");
        if (boxes.content(box, 0, 4096, brands)) {
            // The major brand, the minor version, then the compatible brands.
            for (int at = 0; at + 4 <= brands.size(); at += at == 0 ? 8 : 4)
                still = still || stillImageBrand(FHBoxReader::number32(brands, at));
        }
        return false;
    });
    if (!still)
        return QStringLiteral("The file holds a video, not a photo");
    switch (nesting(boxes, boxes.root(), 0, 0)) {
    case Nesting::Shallow:
        return QString();
    case Nesting::Deep:
        return QStringLiteral("The file's boxes nest too deep to be read safely");
    case Nesting::Unwalkable:
        break;
    }
    return QStringLiteral("The file's boxes are damaged or too many: ") + boxes.problem();
}

} // namespace

QString bmffRefusal(const QString &path)
{
    QFile file(path);
    if (!FHFile::openForReading(file))
        return file.errorString();
    FHBoxReader boxes(&file);
    return refusal(boxes);
}

QString bmffRefusal(const QByteArray &bytes)
{
    FHBoxReader boxes(bytes);
    return refusal(boxes);
}
