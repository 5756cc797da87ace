#include "engine/FHFileTypes.h"

#include <QHash>

namespace FHFileTypes {

const QVector<FamilyInfo> &families()
{
    static const QVector<FamilyInfo> all {
        { Photo, "photo", { "JPG", "PNG", "GIF", "JPEG" } },
        { Heif, "heif", { "HEIC", "HEIF", "HIF", "AVIF" } },
        { Raw, "raw",
            { "CR2", "CR3", "CRW", "NEF", "NRW", "ARW", "SR2", "SRF", "DNG", "ORF", "RW2", "RAF",
                "PEF", "SRW", "MRW", "IIQ" } },
        { WebpTiff, "webp-tiff", { "WEBP", "TIF", "TIFF" } },
        { Video, "video", { "MP4", "MOV", "M4V", "3GP", "3G2", "MTS", "M2TS" } },
    };
    return all;
}

bool parseFamilies(const QString &list, unsigned *result)
{
    unsigned chosen = 0;
    for (const QString &part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toLower();
        if (name == QLatin1String("all")) {
            chosen |= AllFamilies;
            continue;
        }
        unsigned found = 0;
        for (const FamilyInfo &info : families()) {
            if (name == QLatin1String(info.name))
                found = info.family;
        }
        if (!found)
            return false;
        chosen |= found;
    }
    if (!chosen)
        return false;
    *result = chosen;
    return true;
}

QString familyNames(unsigned chosen)
{
    QStringList names;
    for (const FamilyInfo &info : families()) {
        if (chosen & info.family)
            names << QLatin1String(info.name);
    }
    return names.join(QLatin1Char(','));
}

QStringList nameFilters(unsigned chosen)
{
    QStringList filters;
    for (const FamilyInfo &info : families()) {
        if (chosen & info.family) {
            for (const QString &suffix : info.suffixes)
                filters << QStringLiteral("*.") + suffix;
        }
    }
    return filters;
}

QStringList defaultNameFilters()
{
    return nameFilters(Photo);
}

unsigned familyOf(const QString &fileName)
{
    static const QHash<QString, unsigned> bySuffix = [] {
        QHash<QString, unsigned> table;
        for (const FamilyInfo &info : families()) {
            for (const QString &suffix : info.suffixes)
                table.insert(suffix.toLower(), info.family);
        }
        return table;
    }();
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? 0 : bySuffix.value(fileName.mid(dot + 1).toLower(), 0);
}

bool isSidecar(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return false;
    const QStringRef suffix = fileName.midRef(dot + 1);
    return suffix.compare(QLatin1String("xmp"), Qt::CaseInsensitive) == 0
        || suffix.compare(QLatin1String("thm"), Qt::CaseInsensitive) == 0
        || suffix.compare(QLatin1String("aae"), Qt::CaseInsensitive) == 0;
}

QStringList sidecarNameFilters()
{
    return { QStringLiteral("*.xmp"), QStringLiteral("*.THM"), QStringLiteral("*.AAE") };
}

QString keptSuffix(const QString &fileName)
{
    int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return QString();
    if (isSidecar(fileName)) {
        // IMG_1.CR2.xmp keeps ".CR2.xmp": the photo's suffix tells which one it edits.
        const int inner = fileName.lastIndexOf(QLatin1Char('.'), dot - 1);
        if (inner > 0 && familyOf(fileName.left(dot)))
            dot = inner;
    }
    return fileName.mid(dot);
}

} // namespace FHFileTypes

FHNameFilter::FHNameFilter(const QStringList &filters)
{
    static const QRegularExpression plainSuffix(QStringLiteral("^\\*\\.[^*?\\[\\]]+$"));
    for (const QString &filter : filters) {
        if (plainSuffix.match(filter).hasMatch())
            m_suffixes.insert(filter.mid(1).toLower());
        else
            m_patterns.append(
                QRegularExpression(QRegularExpression::wildcardToRegularExpression(filter),
                    QRegularExpression::CaseInsensitiveOption));
    }
}

bool FHNameFilter::matches(const QString &fileName) const
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    // A name that is only ".JPG" is hidden and never listed anyway.
    if (dot > 0 && m_suffixes.contains(fileName.mid(dot).toLower()))
        return true;
    for (const QRegularExpression &pattern : m_patterns) {
        if (pattern.match(fileName).hasMatch())
            return true;
    }
    return false;
}
