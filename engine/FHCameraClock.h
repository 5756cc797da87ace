#ifndef FHCAMERACLOCK_H
#define FHCAMERACLOCK_H

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

// Cameras and their clocks: who took a file, and how far its clock was off.
namespace FHCameraClock {

// The most an offset may be: a camera left on its factory date needs years.
constexpr qint64 MaxShiftSeconds = 100LL * 366 * 86400;

// "Canon EOS 80D #0123456789": make, model (without the make it repeats) and
// serial where there is one; empty without make and model.
QString cameraName(const QString &make, const QString &model, const QString &serial);

// "+01:00", "-2.03:30", "+00:00:45": [+-][D.]HH:MM[:SS]. False for anything
// else, with seconds untouched.
bool parseShift(const QString &text, qint64 *seconds);
// The same form back: "+01:00", "-2.03:30:15"; seconds only where there are some.
QString shiftText(qint64 seconds);

// "+02:00" or "-0530" as in EXIF's OffsetTime tags, in seconds east of UTC;
// false for a malformed text ("+25:00", "Z", blanks, NULs).
bool parseZone(const QString &text, int *seconds);
// "+02:00".
QString zoneText(int seconds);

// The wall-clock time moved by seconds, field by field: a time the local
// clock skips for daylight saving is still the time meant.
QDateTime shifted(const QDateTime &wallClock, qint64 seconds);
// The offset that brings camera A's shot to reference B's: both show the same
// moment.
qint64 alignment(const QDateTime &cameraTimeA, const QDateTime &cameraTimeB);

// Resolves "CAMERA=+01:00" texts against the cameras found: CAMERA is a
// camera's name or a part of exactly one. Empty on success, else what is
// wrong, naming the cameras found.
QString resolveShifts(
    const QStringList &texts, const QStringList &cameras, QMap<QString, qint64> *shifts);

} // namespace FHCameraClock

#endif // FHCAMERACLOCK_H
