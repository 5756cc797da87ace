#ifndef FHOUTPUTLOCK_H
#define FHOUTPUTLOCK_H

#include <QString>
#include <QtGlobal>

// Keeps two runs from numbering one output folder at the same time. The lock
// ends with the process that holds it, however that process ends. On Linux it
// sits on the folder itself (flock) and leaves no file behind; Windows locks
// no folder, so there it sits on a small file in the folder, removed when the
// lock is let go: a file left by a killed run stops nobody, the lock decides.
class FHOutputLock
{
public:
    FHOutputLock() = default;
    ~FHOutputLock();
    FHOutputLock(const FHOutputLock &) = delete;
    FHOutputLock &operator=(const FHOutputLock &) = delete;

    // Takes the lock on the folder without waiting. False when another process
    // holds it; holder() then names it. Where the folder cannot take a lock (no
    // read permission, a file system without locks) the run goes on unlocked.
    bool tryLock(const QString &folder);
    void unlock();

    // "process 1234 (quilm-sort)".
    const QString &holder() const { return m_holder; }

private:
#ifdef Q_OS_WIN
    void *m_handle = nullptr;
    QString m_path;
#else
    int m_fd = -1;
#endif
    QString m_holder;
};

#endif // FHOUTPUTLOCK_H
