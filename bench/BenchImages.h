#ifndef BENCHIMAGES_H
#define BENCHIMAGES_H

#include <QByteArray>
#include <QString>

// The photos the benchmarks sort.
namespace BenchImages {

// A small JPEG whose EXIF block looks like a camera's: the usual image and
// photo tags, GPS and an embedded thumbnail.
QByteArray templateJpeg();

// count copies of the template in the folder, with distinct capture times
// spread over one year (from 2014 unless told), in an order that is not
// capture order. Sets of other years hold other photos.
bool makeImages(const QByteArray &jpeg, const QString &folder, int count, int year = 2014);

} // namespace BenchImages

#endif // BENCHIMAGES_H
