#ifndef SORTRUNNER_H
#define SORTRUNNER_H

#include "Invariant.h"
#include "TestSupport.h"
#include "engine/FHCameraMakers.h"
#include "engine/FHSortOptions.h"

#include <QList>
#include <QString>
#include <QStringList>

// One sort run as the main window makes it, with its signals and boxes recorded.
struct SortRunner
{
    FHSortOptions options = windowOptions();

    quint32 moved = 0;
    qint32 notMoved = 0;
    QString makers; // the maker list as the run left it
    QList<int> progress;
    QStringList currentFiles;
    QList<ModalCloser::Seen> boxes;

    // The options' defaults, with the maker list a new user starts with.
    static FHSortOptions windowOptions()
    {
        FHSortOptions options;
        options.cameraMakers = FHCameraMakers::defaults();
        return options;
    }

    // Runs sortImages() of the application object with the options.
    void run();
    // The code texts of the run-time error boxes, and the texts of other boxes.
    QStringList boxTexts() const;
};

// The reports of a run inside this process: construct it before the run (it
// remembers where the log file ends and empties the output panel), take() after.
class ReportWatch
{
public:
    ReportWatch();
    RunReport take(const QStringList &boxes) const;

private:
    qint64 m_logStart = 0;
};

#endif // SORTRUNNER_H
