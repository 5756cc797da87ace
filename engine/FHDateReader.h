#ifndef FHDATEREADER_H
#define FHDATEREADER_H

#include "engine/FHCaptureDate.h"
#include "engine/FHExif.h"
#include "engine/FHFileStatus.h"

#include <QStringList>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class FHFolderTree;

// Reads the files of a run, each file's status and then its capture date, on
// a few threads, while the run takes what was read file by file in the
// files' order: what the run reports, and in which order, does not depend on
// the number of threads or their timing. With one thread, a file is read
// when it is taken, on the taker's thread, as it always was.
//
// The files are handed out in their order, so a stop leaves the files before
// some point read and those after it unread, as with one thread.
class FHDateReader
{
public:
    struct Read
    {
        bool done = false; // false: not read, a stop came first
        FHFileStatus status;
        FHCaptureDate found; // read only for a regular file still there
        QVector<FHExifMessage> messages; // what the EXIF library said meanwhile
        std::exception_ptr failure; // a failure that is not a reader's
    };

    using Reader = std::function<FHCaptureDate(const QString &path)>;

    // jobs: threads, 0 for one per core. stopRequested is asked from any
    // thread before each file. reader reads a date; it is called on several
    // threads at once.
    FHDateReader(const FHFolderTree &tree, const QStringList &paths, int jobs,
        std::function<bool()> stopRequested, Reader reader = FHCaptureDate::of);
    // Waits for the threads, which stop after the file in hand.
    ~FHDateReader();
    FHDateReader(const FHDateReader &) = delete;
    FHDateReader &operator=(const FHDateReader &) = delete;

    int jobs() const { return m_jobs; }
    // What was read of file i; i from 0 up, each once. While it waits for a
    // thread, `waiting` is called about 20 times a second.
    Read take(int i, const std::function<void()> &waiting = {});
    // Files read so far, by any thread.
    int readCount() const { return m_readCount; }

    // One per core.
    static int defaultJobs();

private:
    struct Slot
    {
        Read read;
        std::atomic<bool> ready { false };
    };
    void readInto(int i);
    void work();

    const FHFolderTree &m_tree;
    const QStringList m_paths;
    const int m_jobs;
    const std::function<bool()> m_stopRequested;
    const Reader m_reader;
    std::unique_ptr<Slot[]> m_slots;
    std::atomic<int> m_next { 0 }; // the next file a thread takes
    std::atomic<int> m_readCount { 0 };
    std::atomic<bool> m_quit { false };
    // The standard library's lock, not Qt's: the thread sanitizer sees what
    // it orders.
    std::mutex m_lock;
    std::condition_variable m_readyChanged;
    int m_working = 0; // threads not yet done, under m_lock
    // The standard library's threads, not a QThreadPool: the sanitizer sees
    // them start and end, where Qt's own ordering of its pool is hidden from
    // it and would be reported at every run's end.
    std::vector<std::thread> m_threads;
};

#endif // FHDATEREADER_H
