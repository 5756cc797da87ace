#ifndef FHVIDEODATE_H
#define FHVIDEODATE_H

// The capture date of MP4, MOV, M4V, 3GP and 3G2 videos, read by a box walker
// of our own rather than a media library. Debian 12 offers libavformat
// (2.8 MB, plus libavcodec and some twenty network and codec libraries),
// libmediainfo (8 MB, plus libzen and libcurl) and TagLib (1.2 MB). The first
// two parse every track and index they meet and have long advisory records
// for crafted files; TagLib walks all tracks too, and its tag API offers
// neither the movie header's date nor the phones' keyed metadata. The dates
// sit in three small boxes, so the walker reads a few kilobytes of any file,
// never the media data, and its bounds are ours to test and fuzz.

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QIODevice;

struct FHVideoDate
{
    enum Status
    {
        Read, // a movie container, read: source says whether it had a date
        NotContainer, // not an ISO base media file or QuickTime movie
        Unreadable, // could not be opened or read, or damaged before any date
    };
    enum Source
    {
        None,
        Keys, // the phone's creation date with its zone, as wall-clock time
        MovieHeader, // the movie header's UTC time, in the computer's local time
    };

    Status status = Unreadable;
    Source source = None;
    QDateTime captured; // valid exactly when source is not None
    QString make; // the maker, when the file names one
    QString model; // the phone's model, when the file names one
    bool hasZone = false; // Keys only: the date carried its zone
    int zone = 0; // seconds east of UTC
    QString problem; // why a file is Unreadable or NotContainer
};

// A date of zero, before 1970 or more than a day after now counts as none.
FHVideoDate readVideoDate(const QString &path);
FHVideoDate readVideoDate(const QByteArray &bytes);
FHVideoDate readVideoDate(QIODevice *device); // open for reading, seekable

#endif // FHVIDEODATE_H
