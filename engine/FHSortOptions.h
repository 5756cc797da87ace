#ifndef FHSORTOPTIONS_H
#define FHSORTOPTIONS_H

#include "engine/FHFileTypes.h"

#include <QSet>
#include <QString>
#include <QStringList>

// The sub-folders of the output a run sorts into. The numbers are the ones the
// settings file and the journals store.
enum class FHFolderMode
{
    None = 0, // directly into the output
    Month = 1, // yyyy-MM
    Day = 2, // yyyy-MM-dd
};

// How a copy is checked before the run relies on it.
enum class FHVerify
{
    // Flushed, dropped from the cache and read back from the device; its
    // hash must equal the hash taken while the source was read.
    Full,
    // Flushed only; the hash taken while writing is kept where there is one.
    None,
};

// What becomes of a file whose bytes the library holds already.
enum class FHDuplicates
{
    Skip, // it stays where it is (or is not copied), reported
    Import, // it is sorted like any other and gets a number of its own
};

namespace FHFolderModes {
// "none", "month", "day": the command's words.
QString name(FHFolderMode mode);
// False for a word that names no mode.
bool fromName(const QString &name, FHFolderMode *mode);
// The stored number; anything else is per day, as it always was.
FHFolderMode fromNumber(int number);
// The date format of the sub-folders' names; empty for none.
QString folderFormat(FHFolderMode mode);
} // namespace FHFolderModes

// The values a run takes, from the window, the command, the preview and the
// tests alike.
struct FHSortOptions
{
    QString inputDir;
    QString outputDir;
    QStringList nameFilters = FHFileTypes::defaultNameFilters();
    QString namePattern = QStringLiteral("${NUM}");
    bool exifOnly = true; // files without a camera date stay where they are
    bool recursive = false;
    FHFolderMode folders = FHFolderMode::None;
    // The camera makers met before; the run's plan holds them with the new ones.
    QStringList cameraMakers;
    // Copy rather than move: the input is never changed.
    bool copy = false;
    FHVerify verify = FHVerify::Full;
    FHDuplicates duplicates = FHDuplicates::Skip;
    // Bring back photos deleted from the library since they were imported.
    bool reimport = false;
    // Clock offsets, "CAMERA=+01:00": a camera's name or a part of exactly one
    // (FHCameraClock::resolveShifts), added to each capture time of its files.
    QStringList cameraShifts;
    // Threads that read the files' dates; 0 for one per core. What the run
    // does, and in which order, is the same for any number.
    int jobs = 0;
    // Work out the whole outcome without touching anything.
    bool dryRun = false;
    // When not empty, the only files of the input the run takes (absolute
    // paths with native separators, as the walk names them); a watch sorts
    // the files that have settled and leaves those still being written.
    QSet<QString> onlyFiles;
    // The first sequence tag of the run's temporary names.
    quint32 firstTag = 0;
    // Keep a journal, so that the run can be undone. Only a benchmark weighing
    // the journal's cost turns it off.
    bool journal = true;
};

#endif // FHSORTOPTIONS_H
