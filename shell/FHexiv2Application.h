#ifndef FHEXIV2APPLICATION_H
#define FHEXIV2APPLICATION_H

#include "shell/FHApplication.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class FHIO;
class FHSortEngine;
struct FHSortPlan;

namespace Exiv2 {
class ExifData;
}

// The application object, which also performs the window's sort runs: it hands
// each to the engine and reports through the log file, the output panel and
// the boxes.
class FHexiv2Application : public FHApplication
{
    Q_OBJECT

public:
    FHexiv2Application(int &argc, char **argv);
    ~FHexiv2Application() override;

    // The guard that stands for the file in hand; its getCurrentFile signal
    // carries every path a run works on.
    FHIO *fileGuard() const;

    // One whole run, synchronous. Reports its own failures and returns normally.
    void sortImages(const QString &inputDir, const QString &outputDir,
        const QStringList &nameFilters, const QString &namePattern, bool exifOnly, bool recursive,
        int subFolderMode, quint32 &movedCount, qint32 &notMovedCount, QString &cameraMakers);

    // The plan of the last run: what it did to each file, and why it left others.
    const FHSortPlan &lastPlan() const;
    // Ends the run in hand after the file in hand; every moved file still gets
    // its final name.
    void stopSorting();
    // Whether the last run was stopped, and whether a failure ended it.
    bool lastRunStopped() const;
    bool lastRunFailed() const;

    // Adds the camera maker to cameraMakers when new, then writes the capture
    // date; true when that date is valid. Without a maker no date is read.
    static bool readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date);

signals:
    void getProgress(int value);

private:
    std::unique_ptr<FHIO> m_fileGuard;
    std::unique_ptr<FHSortPlan> m_lastPlan;
    FHSortEngine *m_engine = nullptr; // while a run is in hand
    int m_lastOutcome = 0;
};

#endif // FHEXIV2APPLICATION_H
