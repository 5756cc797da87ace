#include "engine/FHDateReader.h"

#include <QElapsedTimer>
#include <QThread>

#include <chrono>

FHDateReader::FHDateReader(const FHFolderTree &tree, const QStringList &paths, int jobs,
    std::function<bool()> stopRequested, Reader reader)
    : m_tree(tree)
    , m_paths(paths)
    , m_jobs(qBound(1, jobs > 0 ? jobs : defaultJobs(), qMax(1, int(paths.size()))))
    , m_stopRequested(std::move(stopRequested))
    , m_reader(std::move(reader))
    , m_slots(new Slot[size_t(paths.size())])
{
    prepareExifLibraryForThreads();
    if (m_jobs == 1)
        return;
    // The threads get the system's default stack, which on Linux is the
    // main thread's (the stack limit, 8 MiB unless set otherwise): the EXIF
    // library recurses deeply on hostile files.
    m_working = m_jobs;
    m_threads.reserve(size_t(m_jobs));
    for (int i = 0; i < m_jobs; ++i)
        m_threads.emplace_back([this] { work(); });
}

FHDateReader::~FHDateReader()
{
    m_quit = true;
    for (std::thread &thread : m_threads)
        thread.join();
}

int FHDateReader::defaultJobs()
{
    return qMax(1, QThread::idealThreadCount());
}

void FHDateReader::readInto(int i)
{
    Read &read = m_slots[size_t(i)].read;
    const QString &path = m_paths.at(i);
    try {
        read.status = FHFileStatus::of(m_tree, path);
        // A file gone, or no longer a file (a pipe would block the reader),
        // is not opened.
        if (read.status.goneText(path).isEmpty()) {
            const FHExifMessageCapture capture(&read.messages);
            read.found = m_reader(path);
        }
    } catch (...) {
        read.failure = std::current_exception();
    }
    read.done = true;
}

void FHDateReader::work()
{
    while (!m_quit && !m_stopRequested()) {
        const int i = m_next++;
        if (i >= m_paths.size())
            break;
        readInto(i);
        m_slots[size_t(i)].ready.store(true, std::memory_order_release);
        ++m_readCount;
        const std::lock_guard<std::mutex> locker(m_lock);
        m_readyChanged.notify_all();
    }
    const std::lock_guard<std::mutex> locker(m_lock);
    --m_working;
    m_readyChanged.notify_all();
}

FHDateReader::Read FHDateReader::take(int i, const std::function<void()> &waiting)
{
    Slot &slot = m_slots[size_t(i)];
    if (m_jobs == 1) {
        if (!m_stopRequested()) {
            readInto(i);
            ++m_readCount;
        }
        return std::move(slot.read);
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        {
            std::unique_lock<std::mutex> locker(m_lock);
            if (slot.ready.load(std::memory_order_acquire) || m_working == 0)
                break;
            m_readyChanged.wait_for(locker, std::chrono::milliseconds(50));
        }
        if (waiting && waited.elapsed() >= 50) {
            waiting();
            waited.restart();
        }
    }
    // Neither ready nor ever to be: the threads stopped before it.
    return slot.ready.load(std::memory_order_acquire) ? std::move(slot.read) : Read();
}
