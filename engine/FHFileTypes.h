#ifndef FHFILETYPES_H
#define FHFILETYPES_H

#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// The kinds of files a run can sort, in families the user turns on and off.
namespace FHFileTypes {

enum Family : unsigned
{
    Photo = 1, // the default
    Heif = 2,
    Raw = 4,
    WebpTiff = 8,
    Video = 16,
    AllFamilies = 31,
};

struct FamilyInfo
{
    Family family;
    const char *name; // as the command and the settings spell it
    QStringList suffixes; // upper case, without the dot
};

const QVector<FamilyInfo> &families();

// "photo,raw" or "all" to a set of families; false on an unknown name.
bool parseFamilies(const QString &list, unsigned *families);
QString familyNames(unsigned families);

// "*.JPG", ... for the suffixes of the families, in the families' order.
QStringList nameFilters(unsigned families);
// The filters of the photo family: "*.JPG", "*.PNG", "*.GIF", "*.JPEG".
QStringList defaultNameFilters();

// The family of a file by its suffix (any case), or 0 when it is none of ours.
unsigned familyOf(const QString &fileName);

// Files that go with a photo: NAME.xmp, NAME.EXT.xmp, NAME.THM and NAME.AAE.
bool isSidecar(const QString &fileName);
QStringList sidecarNameFilters();

// The name's part that a sorted file keeps: ".JPG" of a photo, ".CR2.xmp" of
// the sidecar IMG_1.CR2.xmp, ".xmp" of IMG_1.xmp. The rest is its base name,
// which ties a photo to its companions.
QString keptSuffix(const QString &fileName);

} // namespace FHFileTypes

// Matches file names against wildcard filters, ignoring case, as a directory
// listing with those filters would. Filters of the form "*.EXT" take a fast path.
class FHNameFilter
{
public:
    FHNameFilter() = default;
    explicit FHNameFilter(const QStringList &filters);

    bool matches(const QString &fileName) const;
    bool isEmpty() const { return m_suffixes.isEmpty() && m_patterns.isEmpty(); }

private:
    QSet<QString> m_suffixes; // lower case, with the dot
    QVector<QRegularExpression> m_patterns;
};

#endif // FHFILETYPES_H
