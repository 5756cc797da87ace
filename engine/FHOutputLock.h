#ifndef FHOUTPUTLOCK_H
#define FHOUTPUTLOCK_H

#include <QString>

// Keeps two runs from numbering one output folder at the same time. The lock
// sits on the folder itself (flock), so it leaves no file behind and ends with
// the process that holds it, however that process ends.
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
    int m_fd = -1;
    QString m_holder;
};

#endif // FHOUTPUTLOCK_H
