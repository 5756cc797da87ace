#ifndef FHDATETEXT_H
#define FHDATETEXT_H

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// Dates as cameras, phones and editors write them into files. Every result is
// the wall-clock time the device showed: a zone written beside it is dropped.
namespace FHDateText {

// Local time with these fields. A time that the local clock skips for daylight
// saving is still the time the photo shows: it comes back in UTC with the same
// fields, since only the fields are used.
QDateTime wallClock(const QDate &date, const QTime &time);

// "yyyy:MM:dd hh:mm:ss" as in EXIF date tags. Tolerates a zone after the time
// ("Z", "+02:00", "-0800") and trailing blanks or NULs. Blank text, a zero date
// or anything else gives an invalid QDateTime.
QDateTime fromExif(const QString &text);

// "yyyy-MM-ddThh:mm:ss" as phones write it into videos, optionally with a
// fraction of a second and a zone ("Z", "+02:00", "+0200"). When instant is
// given it receives the moment meant: at the written zone's offset, or in local
// time when the text has no zone.
QDateTime fromIso(const QString &text, QDateTime *instant = nullptr);

// The leading digits of a sub-second tag, after leading blanks: "50 " gives
// "50", "abc" gives "". They are a decimal fraction, so "5" and "50" are equal.
QString subSecondDigits(const QString &text);

} // namespace FHDateText

#endif // FHDATETEXT_H
