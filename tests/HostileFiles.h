#ifndef HOSTILEFILES_H
#define HOSTILEFILES_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Files that match the image name filters but are broken, disguised or crafted
// to trip an EXIF reader, made byte by byte.
namespace HostileFiles {

// The capture date that the well-formed parts of the crafted files carry.
extern const char *const CraftedDate;

// One IFD entry. A value longer than four bytes goes to the data area; count is
// written as given, so it may disagree with the value.
struct Entry
{
    quint16 tag;
    quint16 type; // 2 ASCII, 3 SHORT, 4 LONG, 7 UNDEFINED
    quint32 count;
    QByteArray value;
};
// An ASCII entry whose count includes the closing NUL.
Entry ascii(quint16 tag, const QByteArray &text);

// A little-endian TIFF block: IFD0 holding the entries, and, when exifEntries is
// not empty, a pointer to an Exif IFD holding those.
struct Tiff
{
    QByteArray bytes;
    int exifIfd = 0; // offset of the Exif IFD
    QHash<quint16, int> entryAt; // offset of each tag's 12-byte entry
    void put16(int at, quint16 value);
    void put32(int at, quint32 value);
};
Tiff tiff(const QList<Entry> &ifd0Entries, const QList<Entry> &exifEntries);
// Make and DateTimeOriginal, where they belong.
Tiff cameraTiff(const QByteArray &make, const QByteArray &dateTimeOriginal);

// A fresh picture without metadata, in the format named (JPG, PNG or GIF).
QByteArray plainImage(const QString &suffix);
// The JPEG with an APP1 segment right after its start marker; declaredLength
// overrides the segment's length field.
QByteArray jpegWithApp1(const QByteArray &jpeg, const QByteArray &payload, int declaredLength = -1);
QByteArray jpegWithExif(const QByteArray &tiff);
QByteArray pngWithChunk(const QByteArray &png, const QByteArray &type, const QByteArray &data);
QByteArray gifWithComment(const QByteArray &gif, const QByteArray &comment);

struct Case
{
    QString name; // file name, suffix included
    QByteArray bytes;
    bool dated; // carries a capture date the program must find
};
// Every hostile file, each with distinct content.
QList<Case> cases();

} // namespace HostileFiles

#endif // HOSTILEFILES_H
