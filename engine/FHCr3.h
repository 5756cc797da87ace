#ifndef FHCR3_H
#define FHCR3_H

#include <QByteArray>
#include <QString>

namespace Exiv2 {
class ExifData;
}

// The EXIF tags of a Canon CR3 raw file. The EXIF library's own reader (Exiv2
// 0.27, with its BMFF reader on) decodes them, then checks that the media box
// lies inside the file, and throws when it does not, as in a cut or pruned
// file: the lookup gets an exception, not the tags. It also copies the XMP and
// preview boxes whole. Here the tags come from the two TIFF blocks in the movie
// box's Canon box alone: CMT1 holds IFD0 (Exif.Image.Make ...), CMT2 the Exif
// IFD, whose tags are filed under Exif.Photo (DateTimeOriginal,
// SubSecTimeOriginal ...).
//
// Returns true when any tag was read into out. False with problem left empty:
// not a CR3 file; with problem set: a CR3 file that could not be read.
bool readCr3Exif(const QString &path, Exiv2::ExifData &out, QString *problem = nullptr);
bool readCr3Exif(const QByteArray &bytes, Exiv2::ExifData &out, QString *problem = nullptr);

// The extended type of the Canon box inside the movie box, which holds the
// TIFF blocks.
extern const QByteArray Cr3CanonUuid;

#endif // FHCR3_H
