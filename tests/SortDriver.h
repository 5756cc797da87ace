#ifndef SORTDRIVER_H
#define SORTDRIVER_H

#include "Invariant.h"
#include "engine/FHSortOptions.h"

#include <QByteArray>
#include <QString>

// One sort run in a child process (quilm_sortdriver), which a test may kill, drive
// into faults with the fault shim, or start as the user nobody.
struct SortDriver
{
    FHSortOptions options;
    QString workDir; // the child's working directory: its log file and result
    QByteArray faults; // QUILM_FAULTS; the shim is preloaded when this is set
    bool asNobody = false;
    qint64 killAfterUs = -1; // SIGKILL from outside, this many µs after sorting began

    enum Outcome
    {
        Finished,
        Killed,
        Failed
    };
    Outcome run();

    // Set by run(): the signal that ended a killed child, its whole time and the
    // time since it began to sort (µs), and the result of a finished one.
    int signal = 0;
    qint64 elapsedMs = 0;
    qint64 sortUs = 0;
    quint32 moved = 0;
    qint32 notMoved = 0;
    RunReport report;
    QString failure; // why the child failed
};

#endif // SORTDRIVER_H
