#ifndef FHSORTPLAN_H
#define FHSORTPLAN_H

#include "engine/FHCameraClock.h"
#include "engine/FHFileIdentity.h"
#include "engine/FHSkipReason.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>

// Where a file's capture date came from.
enum class FHDateSource : quint8
{
    None,
    Exif, // the camera's own date
    Container, // a video container's creation date
    Name, // a date in the file name
    File, // the file system's times
};

// Where the zone of a capture time came from.
enum class FHZoneFrom : quint8
{
    None, // unknown: the time is the camera's wall clock, as it always was
    File, // the file's own offset (EXIF's OffsetTimeOriginal, a phone video's date)
    Camera, // a video's UTC time, in the zone of the same camera's nearest photo
    LivePhoto, // a video's UTC time, in the zone of the photo of its live photo
    Machine, // a video's UTC time, in the zone of the machine that sorts
};

// What happens, or happened, to one listed file. Folders are shared between
// the entries of one folder, so a plan of 100,000 files stays small.
struct FHPlanEntry
{
    QString sourceFolder; // absolute, native separators
    QString sourceName;
    QString targetFolder; // empty while the file stays
    QString temporaryName; // its name between the two passes, once placed
    QString finalName; // its name at the end, once named
    QDateTime captured;
    QString subSecond; // digits only
    FHDateSource dateFrom = FHDateSource::None;
    FHSkipReason reason = FHSkipReason::None;
    bool placed = false; // pass 1 moved it (or, in a dry run, would have)
    bool companion = false; // a sidecar, which only ever goes with its photo
    // Files of one shot (RAW and JPEG, a live photo's still and video, their
    // sidecars) move together and share a number: the index of the group's
    // first entry, its primary; -1 for a file on its own.
    int group = -1;
    // The entry whose file keeps this one's shot where it is (ShotHeld).
    int heldBy = -1;
    FHFileIdentity identity;
    // Its content hash, where one was needed (to tell a duplicate, or taken
    // while it was copied).
    QByteArray contentHash;
    // A duplicate: the library file with its bytes, or the entry before it in
    // this input with them.
    QString duplicateOf;
    int duplicateOfEntry = -1;
    // Imported before and deleted since: when the run that imported it began.
    QDateTime importedOn;
    // The camera that took it (FHCameraClock::cameraName); empty when unknown.
    QString camera;
    // Seconds its camera's clock was set right by: captured holds the time
    // corrected, cameraTime() the time as the camera recorded it.
    qint64 shift = 0;
    // The zone captured is local to, in seconds east of UTC, where known.
    int zone = 0;
    FHZoneFrom zoneFrom = FHZoneFrom::None;

    QDateTime cameraTime() const { return FHCameraClock::shifted(captured, -shift); }

    QString sourcePath() const { return sourceFolder + QLatin1Char('/') + sourceName; }
    QString temporaryPath() const { return targetFolder + QLatin1Char('/') + temporaryName; }
    QString finalPath() const { return targetFolder + QLatin1Char('/') + finalName; }
    // Where the file is at the end: its final name, else its temporary name.
    QString targetPath() const { return finalName.isEmpty() ? temporaryPath() : finalPath(); }
    // Whether the run came to it: a file not placed and without a reason of
    // its own was never reached, as when a failure ended the run first.
    bool wasReached() const { return placed || reason != FHSkipReason::None; }
    // Whether it still counts as a file that was not moved for a reason of its own.
    bool countsAsNotMoved() const
    {
        return !companion
            && (reason == FHSkipReason::NoCaptureDate || reason == FHSkipReason::NoCameraMaker
                || reason == FHSkipReason::Unreadable || reason == FHSkipReason::UndecodableName);
    }
    // Where its bytes are in the library, once the run is over: for a
    // duplicate of a file before it in the input, where that file went.
    QString duplicatePath(const QVector<FHPlanEntry> &entries) const
    {
        if (duplicateOfEntry < 0)
            return duplicateOf;
        const FHPlanEntry &first = entries.at(duplicateOfEntry);
        return first.placed ? first.targetPath() : first.sourcePath();
    }
};

// One run from start to end: the dry run, the command's events, the window's
// summary and the journal all read what happens from here.
struct FHSortPlan
{
    QVector<FHPlanEntry> entries; // in capture order once planned; skipped files last
    QStringList cameraMakers; // the list as the run leaves it
    quint32 movedCount = 0; // files moved (placed) by this run
    int notMovedCount = 0;
    // Temporary names left by an earlier run that pass 2 finished as well: the
    // temporary path and the final one.
    QVector<QPair<QString, QString>> leftovers;
    int leftoverCount() const { return leftovers.size(); }
    // Files moved that keep their temporary names: a failure in pass 2.
    int waitingCount() const
    {
        return int(std::count_if(entries.cbegin(), entries.cend(),
            [](const FHPlanEntry &e) { return e.placed && e.finalName.isEmpty(); }));
    }
    // Files of a known family that the run's filters left out, e.g. videos, by
    // family ("video": 12).
    QMap<QString, int> otherTypes;
    bool outputCreated = false; // the output folder did not exist before
    bool copy = false; // the files were copied, the originals kept
    // The offsets the run set cameras' clocks right by, by camera.
    QMap<QString, qint64> shifts;
    // By camera: the offset its GPS times tell, where its clock was steadily
    // off by more than two minutes and no shift was given. Never applied.
    QMap<QString, qint64> proposedShifts;
    // Options the run refused once it had read the files (a shift naming no
    // camera): nothing moved.
    QString refusal;
    QString output; // the output folder, absolute, once the run has checked it
    QString runId; // the id of the run's journal, once it has one
    // Another run held the output's lock: nothing was moved, and the same run
    // may be tried again once that one is over.
    bool outputBusy = false;
    qint64 elapsedMs = 0;
};

// One camera of a plan, as --cameras and the preview list them.
struct FHCameraSummary
{
    QString camera;
    int files = 0;
    QDateTime first; // capture times, corrected
    QDateTime last;
    qint64 shift = 0;
};
// The cameras of the files with a camera's date, by name.
QVector<FHCameraSummary> cameraSummaries(const FHSortPlan &plan);

// The order of a run: capture time, then the sub-second digits as a decimal
// fraction, then the file name in natural order (IMG_998 before IMG_1001),
// then the whole path.
bool captureOrderLess(const FHPlanEntry &a, const FHPlanEntry &b);
// "IMG_998" < "IMG_1001"; letters ignore case, ties fall back to plain order.
int naturalCompare(const QString &a, const QString &b);
// "5", "50" and "500" are the same fraction; absent digits count as zero.
int compareSubSeconds(const QString &a, const QString &b);

// "the shot stays because IMG_2000.xmp changed": why a ShotHeld entry stays.
QString shotHeldText(const FHSortPlan &plan, const FHPlanEntry &entry);
QString dateSourceName(FHDateSource source); // "exif", ...
QString zoneFromName(FHZoneFrom from); // "file", "camera", "live-photo", "machine"

#endif // FHSORTPLAN_H
