#ifndef TESTIMAGES_H
#define TESTIMAGES_H

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Images made by the tests themselves, and a check that a run lost or doubled
// no photo.
namespace TestImages {

// Writes a small picture whose pixels no other call of this process repeats,
// in the format named by the suffix (JPG, JPEG, PNG or GIF, any case). Then the
// tags are written with Exiv2: a null make or date is left out, an empty one is
// written empty. GIF carries no EXIF, so its tags must be null. Returns false
// and warns when anything fails.
bool makeImage(const QString &path, const QString &make = QString(),
    const QString &dateTimeOriginal = QString());

// Writes any EXIF tags, by key, into an existing image (e.g. "Exif.Image.Model").
bool writeTags(const QString &path, const QList<QPair<QString, QString>> &tags);

// Content hash -> paths holding it, for every file below the folders.
using Contents = QHash<QByteArray, QStringList>;
Contents contentsUnder(const QStringList &folders);

// Empty when every content of `before` is found below the folders as often as before (once, for
// distinct inputs) and no other content is there; else a description of what is lost, doubled or
// foreign (a truncated copy, say).
QString checkEachContentOnce(const Contents &before, const QStringList &folders);

// Names of the files (not folders) below the folder, relative to it, sorted.
QStringList filesUnder(const QString &folder);

// The folder as a test compares it before and after: "name/" for every folder
// below it, "name hash" for every file (hidden ones too), sorted; "<none>" when
// the folder does not exist.
QStringList treeOf(const QString &folder);

} // namespace TestImages

#endif // TESTIMAGES_H
