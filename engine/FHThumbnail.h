#ifndef FHTHUMBNAIL_H
#define FHTHUMBNAIL_H

#include <QByteArray>
#include <QString>

// The small pictures that cameras and phones embed in their files, for a
// preview to show without decoding the photo itself.
namespace FHThumbnail {

// Larger embedded previews are left alone: a photo's own preview is a few
// hundred kilobytes, a full-size one of a RAW a few megabytes.
constexpr int MaxPreviewBytes = 16 * 1024 * 1024;

// Readers may run on several threads; call this once on the thread that
// starts them, before the first.
void prepare();

// The encoded bytes (JPEG, mostly) of the smallest embedded preview at least
// minWidth pixels wide, else of the largest; empty when the file has none or
// is not handed to the EXIF library (videos, files its BMFF reader must not
// see). problem, when given, says why a file could not be read. Never throws.
QByteArray embeddedPreview(const QString &path, int minWidth, QString *problem = nullptr);

} // namespace FHThumbnail

#endif // FHTHUMBNAIL_H
