#ifndef FHEXIV2APPLICATION_H
#define FHEXIV2APPLICATION_H

#include "engine/FHSortEngine.h"
#include "shell/FHApplication.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class FHIO;
class FHReporter;

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

    // One whole run, synchronous, with the options given one by one; the maker
    // list is the settings' text ("Canon|Nikon"). Reports its own failures and
    // returns normally. Kept for the callers of this form; see sort().
    void sortImages(const QString &inputDir, const QString &outputDir,
        const QStringList &nameFilters, const QString &namePattern, bool exifOnly, bool recursive,
        int subFolderMode, quint32 &movedCount, qint32 &notMovedCount, QString &cameraMakers);

    // One whole run, synchronous; what it did is lastPlan(), with the camera
    // makers it met added to those of the options.
    FHSortEngine::Outcome sort(const FHSortOptions &options);
    // What sort() would do with the options, worked out without touching a
    // file. Its notes stay unsaid (the run says them); its failures are
    // reported as the run's. stopSorting() ends it early.
    FHSortEngine::Outcome planImages(FHSortOptions options, FHSortPlan &plan);

    // Each run's reports go to a reporter of its own, made by the face that
    // owns the application (the window: its log, panel and boxes). Until it is
    // set, they go to the message handler.
    using ReporterFactory = std::function<std::unique_ptr<FHReporter>()>;
    void setReporters(ReporterFactory makeReporter);
    std::unique_ptr<FHReporter> makeReporter() const;

    // The plan of the last run: what it did to each file, and why it left others.
    const FHSortPlan &lastPlan() const;
    // Ends the run (or the planning) in hand after the file in hand; every
    // moved file still gets its final name.
    void stopSorting();
    // How the last run ended: completed, stopped, or ended by a failure.
    FHSortEngine::Outcome lastOutcome() const { return m_lastOutcome; }
    bool lastRunStopped() const { return m_lastOutcome == FHSortEngine::Stopped; }
    bool lastRunFailed() const { return m_lastOutcome == FHSortEngine::Failed; }

    // Adds the camera maker to cameraMakers when new, then writes the capture
    // date; true when that date is valid. Without a maker no date is read.
    static bool readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date);

signals:
    void getProgress(int value);

private:
    std::unique_ptr<FHIO> m_fileGuard;
    std::unique_ptr<FHSortPlan> m_lastPlan;
    ReporterFactory m_makeReporter;
    FHSortEngine *m_engine = nullptr; // while a run is in hand
    FHSortEngine::Outcome m_lastOutcome = FHSortEngine::Completed;
};

#endif // FHEXIV2APPLICATION_H
