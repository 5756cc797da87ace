#ifndef FHPICTURE_H
#define FHPICTURE_H

#include <QPixmap>
#include <QString>

// The picture at path (relative to the working directory, like "image/x.png"),
// or its drawing of twice the size, "image/x@2x.png", where the screens have
// more than one device pixel per logical one and that file exists. Either way
// the pixmap covers the same logical size.
QPixmap loadPicture(const QString &path);

// The path as it is where the working directory holds it; else beside the
// program, where an installation without a link to its pictures (Windows')
// keeps them.
QString picturePath(const QString &path);

#endif // FHPICTURE_H
