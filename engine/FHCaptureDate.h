#ifndef FHCAPTUREDATE_H
#define FHCAPTUREDATE_H

#include "engine/FHSortPlan.h"

#include <QDateTime>
#include <QString>

// When a file was taken, as far as its own contents tell: the EXIF date of a
// photo, a RAW or a HEIF image, or a video's creation date in its container.
struct FHCaptureDate
{
    QDateTime date; // the wall-clock time of the shot; invalid when none was found
    QString subSecond; // digits only
    FHDateSource source = FHDateSource::None; // Exif or Container
    // A camera's or phone's own date: EXIF with a maker, or a video's. Only
    // such dates count when only cameras' photos are sorted.
    bool fromCamera = false;
    QString problem; // why the file could not be read, or empty
    // The camera's maker where the file names one, also without a date.
    QString maker;
    QString camera; // FHCameraClock::cameraName of the maker, model and serial
    // The zone of the date, where the file wrote one. A video whose only
    // date is its movie header's UTC time has utcOnly set instead: its date
    // is that moment in the machine's zone.
    bool hasZone = false;
    int zone = 0; // seconds east of UTC
    bool utcOnly = false;
    QDateTime gpsUtc; // the satellites' time of the shot, where the file has it

    // Looks the date up by the file's kind. Never throws: a file the readers
    // cannot read comes back with a problem.
    static FHCaptureDate of(const QString &path);
};

#endif // FHCAPTUREDATE_H
