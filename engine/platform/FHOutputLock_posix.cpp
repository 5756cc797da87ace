#include "engine/platform/FHOutputLock.h"

#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The process holding a flock on the file, as the kernel lists it in
// /proc/locks: "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF".
QString lockHolder(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return QString();
    const QString identity = QStringLiteral("%1:%2:%3")
                                 .arg(major(st.st_dev), 2, 16, QLatin1Char('0'))
                                 .arg(minor(st.st_dev), 2, 16, QLatin1Char('0'))
                                 .arg(quint64(st.st_ino));
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&locks);
    QString line;
    while (in.readLineInto(&line)) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        // Waiting requests are marked with "->" and hold nothing.
        if (fields.size() < 6 || fields.at(1) != QLatin1String("FLOCK")
            || fields.at(5).compare(identity, Qt::CaseInsensitive) != 0)
            continue;
        const QString pid = fields.at(4);
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        QString name;
        if (comm.open(QIODevice::ReadOnly))
            name = QString::fromLocal8Bit(comm.readAll()).trimmed();
        return name.isEmpty() ? QStringLiteral("process %1").arg(pid)
                              : QStringLiteral("process %1 (%2)").arg(pid, name);
    }
    return QString();
}

} // namespace

FHOutputLock::~FHOutputLock()
{
    unlock();
}

bool FHOutputLock::tryLock(const QString &folder)
{
    unlock();
    m_holder.clear();
    m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that may be written but not read cannot be locked; the run finds
    // out for itself what it can do there.
    if (m_fd < 0)
        return true;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) {
        // A file system without locks (some network shares) cannot take part;
        // the run goes on as it would have before locks existed.
        return true;
    }
    m_holder = lockHolder(m_fd);
    if (m_holder.isEmpty())
        m_holder = QStringLiteral("another process");
    ::close(m_fd);
    m_fd = -1;
    return false;
}

void FHOutputLock::unlock()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
