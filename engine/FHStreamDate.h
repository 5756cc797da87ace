#ifndef FHSTREAMDATE_H
#define FHSTREAMDATE_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QIODevice;

// The recording date that AVCHD cameras write into the H.264 stream of their
// MPEG transport streams (.mts, .m2ts): a "MDPM" block in a user-data SEI
// message at the start of each group of pictures. Only the first 1 MB of the
// file is read; the first block found there counts. The result is the
// camera's wall-clock time, its zone dropped; invalid when the file is no
// transport stream or holds no such date, or the date is before 1970 or more
// than a day ahead.
QDateTime readStreamDate(const QString &path);
QDateTime readStreamDate(const QByteArray &bytes);

#endif // FHSTREAMDATE_H
