#ifndef MEDIAFILES_H
#define MEDIAFILES_H

#include <QByteArray>
#include <QList>
#include <QPair>

// Small ISO base media files (MP4, MOV, CR3) made box by box.
namespace MediaFiles {

QByteArray be32(quint32 value);
QByteArray be64(quint64 value);

QByteArray box(const char *type, const QByteArray &content);
// With a 64-bit size field.
QByteArray largeBox(const char *type, const QByteArray &content);
QByteArray fullBox(const char *type, quint8 version, const QByteArray &content);

// Seconds since 1904-01-01 UTC, as movie headers count.
constexpr quint64 SecondsTo1970 = 2082844800;
QByteArray movieHeader(quint64 created, quint8 version = 0);

// QuickTime metadata: keys and their UTF-8 values, as phones write them.
QByteArray keyedMetadata(const QList<QPair<QByteArray, QByteArray>> &items);
// User data holding a QuickTime text for the maker.
QByteArray userDataMake(const QByteArray &make);

// ftyp, then moov holding the given boxes, then a small mdat.
QByteArray movie(const QByteArray &moovContent, const char *brand = "qt  ");

// A CR3 file: its Canon box in moov holds the two TIFF blocks.
QByteArray cr3(const QByteArray &cmt1, const QByteArray &cmt2);

// An H.264 user-data SEI message with an AVCHD "MDPM" block of 5-byte entries,
// emulation prevention applied.
QByteArray mdpmMessage(const QList<QByteArray> &entries);
// The bytes split into the payloads of 188-byte transport stream packets of
// one stream; with timeCodes, 192-byte packets as on Blu-ray and AVCHD.
QByteArray transportStream(const QByteArray &payload, bool timeCodes);

} // namespace MediaFiles

#endif // MEDIAFILES_H
