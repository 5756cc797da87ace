#ifndef FHSORTENGINE_H
#define FHSORTENGINE_H

#include "engine/FHSortOptions.h"
#include "engine/FHSortPlan.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>

class FHIO;
class FHReporter;

// One sort run: lists the input, reads every capture date, then moves the files
// in capture order under temporary names (pass 1) and gives them their final
// names folder by folder (pass 2). A dry run goes through the same steps over a
// view of the folders in which nothing is created, moved or written.
class FHSortEngine : public QObject
{
    Q_OBJECT

public:
    enum Stage
    {
        Reading, // capture dates
        Moving, // pass 1
        Naming, // pass 2
    };
    Q_ENUM(Stage)

    enum Outcome
    {
        Completed,
        Stopped, // pass 1 ended early on request; every moved file was named
        Failed, // a failure ended the run; it has been reported
    };

    // fileGuard is pointed at every path the run works on, and its
    // getCurrentFile signal announces each; reports go to reporter.
    FHSortEngine(FHIO *fileGuard, FHReporter *reporter, QObject *parent = nullptr);
    ~FHSortEngine() override;

    // Runs to the end and fills the plan with what was done (or, in a dry run,
    // what would be), and with the camera makers of the options and those the
    // run met. Every failure is caught and reported.
    Outcome run(const FHSortOptions &options, FHSortPlan &plan);

    // Ends pass 1 after the file in hand; pass 2 still names every moved file.
    // May be called from a slot that runs during the run.
    void stop() { m_stopRequested = true; }
    // A flag of the caller's that stops this run as stop() does, also when it
    // was raised before run() began (a signal that came while setting up).
    void stopWhen(const std::atomic<bool> *flag) { m_stopFlag = flag; }
    bool stopRequested() const { return m_stopRequested || (m_stopFlag && *m_stopFlag); }

signals:
    // 10 and 20 while preparing, up to 50 through pass 1, up to 100 through
    // pass 2; emitted only when it changes and never backwards within a run.
    void progress(int value);
    // Files handled so far in a stage of the run, for a count beside the bar.
    void filesDone(FHSortEngine::Stage stage, qint64 done, qint64 total);

private:
    friend class FHSortRun;

    FHIO *m_fileGuard;
    FHReporter *m_reporter;
    std::atomic<bool> m_stopRequested { false };
    const std::atomic<bool> *m_stopFlag = nullptr;
};

#endif // FHSORTENGINE_H
