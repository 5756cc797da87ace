#ifndef FHSORTCOMMAND_H
#define FHSORTCOMMAND_H

#include <QStringList>

// quilm-sort: the sort run without a window. Exit status 0 when the run
// completed (files left in place included), 1 when a failure ended it, 2 on a
// usage error.
class FHSortCommand
{
public:
    enum ExitStatus
    {
        Done = 0,
        RunFailed = 1,
        UsageError = 2,
    };

    // arguments as QCoreApplication::arguments() gives them.
    static int run(const QStringList &arguments);
    // Ends the sort in hand after the file in hand, and stops at once any sort
    // begun after it (a watch's next batch); safe in a signal handler.
    static void stopRunningSort();
};

#endif // FHSORTCOMMAND_H
