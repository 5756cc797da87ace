#ifndef FHWATCH_H
#define FHWATCH_H

#include "cli/FHSettle.h"
#include "engine/FHSortEngine.h"

#include <QSet>
#include <QString>

#include <functional>

class FHConsoleReporter;

// quilm-sort --watch: sorts what the input holds, then every file that
// arrives once it has settled, one journaled run per batch. It is told of
// new files by inotify where the kernel sees every change, and polls the
// input where it may not (network shares, FUSE) or when asked to.
class FHWatch
{
public:
    struct Settings
    {
        FHSortOptions options;
        qint64 settleMs = 10000;
        qint64 pollMs = 60000;
        bool alwaysPoll = false; // --poll was given
    };
    // Reads the settings afresh (at the start, and on SIGHUP): false with
    // the problem when they cannot be used.
    using Loader = std::function<bool(Settings &settings, QString *problem)>;
    // One run of the engine with the command's reports.
    using Sorter = std::function<FHSortEngine::Outcome(const FHSortOptions &, FHSortPlan &)>;

    FHWatch(const Settings &settings, Loader reload, Sorter sort, FHConsoleReporter &console);
    ~FHWatch();

    // Until SIGTERM or SIGINT; 0 then, 1 when the watch cannot start.
    int run();

private:
    struct Folder
    {
        QString path;
        bool existed = false; // seen as a folder since the watch began
        bool mountPoint = false; // then, a mount point
        bool gone = false; // reported gone, not yet back
    };

    void begin();
    bool foldersReady();
    bool folderReady(Folder &folder, const char *role);
    void scan(bool full);
    void watchFolders();
    bool runBatch();
    void reload();
    void wait(qint64 ms);
    void say(const QString &text);

    Settings m_settings;
    Loader m_reload;
    Sorter m_sort;
    FHConsoleReporter &m_console;
    FHSettle m_settle;
    Folder m_input;
    Folder m_output;
    bool m_polling = false;
    int m_inotify = -1;
    QSet<QString> m_watched;
    bool m_dirty = true; // a full scan is due
    bool m_firstScan = true;
    qint64 m_lastScanMs = -1;
    qint64 m_notBeforeMs = 0; // no batch before then (a busy output, a failure)
    bool m_waitingForLock = false;
    int m_batch = 0;
};

#endif // FHWATCH_H
