#ifndef FHBMFFCHECK_H
#define FHBMFFCHECK_H

#include <QByteArray>
#include <QString>

// Whether a file that the EXIF library would read with its BMFF reader (HEIF,
// AVIF, CR3, once turned on) is safe to hand to it. That reader takes every
// file that starts with an 'ftyp' box for an image, MP4 and 3GP videos too,
// and copies each box it meets whole but the media; each container again
// inside its parent, so boxes nested n deep cost n copies: a crafted file of
// 1.6 MB nested 200,000 deep asks for over 100 GB.
//
// Returns why the file must not go to the library, or an empty string.
QString bmffRefusal(const QString &path);
QString bmffRefusal(const QByteArray &bytes);

#endif // FHBMFFCHECK_H
