#ifndef FHEXIF_H
#define FHEXIF_H

#include <QDateTime>
#include <QString>

#include <QVector>

#include <cstddef>
#include <functional>

namespace Exiv2 {
class ExifData;
}

// What else EXIF data tells of a shot: which camera, its zone, and the
// satellites' time.
struct FHExifFacts
{
    QString model;
    QString serial; // the body's, or one the maker note holds
    bool hasZone = false;
    int zone = 0; // seconds east of UTC, of DateTimeOriginal
    QDateTime gpsUtc; // GPSDateStamp and GPSTimeStamp; invalid without both
};
void readExifFacts(Exiv2::ExifData &exifData, FHExifFacts &facts);

// Adds the camera maker to cameraMakers (makers separated by "|") when new,
// then writes the capture date; true when that date is valid. Without a maker
// no date is read.
bool readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date);

// The capture date of EXIF data at hand (a CR3's, say). maker receives the
// camera's maker, without the blanks cameras pad it with, whenever the data
// names one; the rest as below.
bool readExifDate(Exiv2::ExifData &exifData, QString *maker, QDateTime &date,
    QString *subSecond = nullptr, bool *cameraless = nullptr);

// Opens the image at the absolute path, reads its metadata and looks up the
// capture date and the camera's maker. Returns true when a valid date was
// written; then subSecond, when given, receives the digits of the sub-second
// field (empty when there is none). The library's exceptions pass through.
// cameraless, when given, is set when the image has a valid date but no maker
// (a scan, an edited export): the date is written, and false returned.
bool lookupCaptureDate(const QString &path, QString *maker, QDateTime &date,
    QString *subSecond = nullptr, bool *cameraless = nullptr, FHExifFacts *facts = nullptr);

// The same lookup on an image file's bytes held in memory.
bool lookupCaptureDate(
    const unsigned char *data, std::size_t size, QString *maker, QDateTime &date);

// Keeps the library's own warnings out of the log file: crafted files can make
// it print thousands of lines. Its errors still get through.
void muteExifLibraryWarnings();

// Hands the library's own messages (errors: a damaged maker note, say, in a
// file whose date still reads) to `to` instead of standard error; an empty
// function sends them back there.
void routeExifLibraryMessages(std::function<void(const QString &text)> to);

// Makes the library ready for reads on several threads at once: its XMP
// parser initialised with a lock, its BMFF reader on, and its messages
// handed to the capture of the thread that caused them. Called on one thread
// before any other reads; calls after the first do nothing.
void prepareExifLibraryForThreads();

// One message of the library's, as its handler received it.
struct FHExifMessage
{
    int level = 0;
    QString text;
};

// While it lives, the library's messages on this thread are kept in `into`
// rather than sent on; replayExifLibraryMessages() sends them on later, in
// an order of the caller's choosing.
class FHExifMessageCapture
{
public:
    explicit FHExifMessageCapture(QVector<FHExifMessage> *into);
    ~FHExifMessageCapture();
    FHExifMessageCapture(const FHExifMessageCapture &) = delete;
    FHExifMessageCapture &operator=(const FHExifMessageCapture &) = delete;

private:
    QVector<FHExifMessage> *m_previous;
};
void replayExifLibraryMessages(const QVector<FHExifMessage> &messages);

#endif // FHEXIF_H
