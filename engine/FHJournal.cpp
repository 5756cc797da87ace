#include "engine/FHJournal.h"

#include "engine/FHJournalStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Appends the lines and syncs them. Returns null, or the step that failed
// ("write", "sync") with errno saying why (0 when the disk took nothing).
const char *appendLines(int fd, const QByteArray &text)
{
    // A write that failed half-way (a full disk) may have left half a line:
    // the records that follow start on a line of their own.
    struct stat st;
    char last = '\n';
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        ::pread(fd, &last, 1, st.st_size - 1);
    const QByteArray lines = last == '\n' ? text : '\n' + text;
    const char *data = lines.constData();
    qint64 left = lines.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = 0;
            return "write";
        }
        data += written;
        left -= written;
    }
    return ::fdatasync(fd) == 0 ? nullptr : "sync";
}

bool syncFolder(const QString &folder)
{
    const int fd
        = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

FHJournal::FHJournal() = default;

FHJournal::~FHJournal()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FHJournal::begin(const QString &kind, const FHJsonFields &header)
{
    const QString dir = FHJournalStore::folder();
    if (!QDir().mkpath(dir)) {
        m_error = QStringLiteral("cannot create the folder '%1'").arg(dir);
        return false;
    }
    FHJournalStore::prune();
    const QDateTime now = QDateTime::currentDateTime();
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_id = now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"))
            + QStringLiteral("-%1").arg(::getpid())
            + (attempt ? QStringLiteral("-%1").arg(attempt) : QString());
        m_path = FHJournalStore::pathOf(m_id);
        m_fd = ::open(QFile::encodeName(m_path).constData(),
            O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_error = QStringLiteral("cannot create '%1': %2").arg(m_path, systemError());
        return false;
    }
    const FHJsonFields record = FHJsonFields { { QStringLiteral("record"), QStringLiteral("run") },
        { QStringLiteral("id"), m_id }, { QStringLiteral("kind"), kind },
        { QStringLiteral("time"), now.toString(Qt::ISODateWithMs) },
        { QStringLiteral("program"),
            QCoreApplication::applicationName() + QLatin1Char(' ')
                + QCoreApplication::applicationVersion() } }
        + header;
    if (!append(jsonLine(record)) || !syncFolder(dir)) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("cannot sync '%1': %2").arg(dir, systemError());
        ::close(m_fd);
        m_fd = -1;
        QFile::remove(m_path);
        return false;
    }
    return true;
}

bool FHJournal::write()
{
    if (m_pending.isEmpty())
        return true;
    const QByteArray lines = m_pending;
    m_pending.clear();
    m_recorded = true;
    return append(lines);
}

bool FHJournal::isGone() const
{
    struct stat st;
    return m_gone || (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && st.st_nlink == 0);
}

bool FHJournal::finish(const QString &outcome, qint64 moved, qint64 finished)
{
    if (m_fd < 0)
        return false;
    m_gone = isGone();
    // A run that ended before it recorded anything leaves no journal.
    if (!m_recorded && m_pending.isEmpty()) {
        ::close(m_fd);
        m_fd = -1;
        return QFile::remove(m_path);
    }
    add({ { QStringLiteral("record"), QStringLiteral("end") },
        { QStringLiteral("outcome"), outcome }, { QStringLiteral("moved"), moved },
        { QStringLiteral("finished"), finished },
        { QStringLiteral("time"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs) } });
    const bool written = write();
    ::close(m_fd);
    m_fd = -1;
    return written;
}

bool FHJournal::append(const QByteArray &text)
{
    const char *failed = appendLines(m_fd, text);
    if (failed)
        m_error = QStringLiteral("cannot %1 '%2': %3")
                      .arg(QLatin1String(failed), m_path,
                          errno ? systemError() : QStringLiteral("disk full"));
    return !failed;
}

FHJsonFields FHJournal::fileRecord(const FHJournalStore::File &file)
{
    // Numbers beyond 2^53 lose digits in JSON: identities go as text.
    FHJsonFields record { { QStringLiteral("record"), QStringLiteral("file") },
        { QStringLiteral("source"), file.source },
        { QStringLiteral("temporary"), file.temporary.isEmpty() ? QJsonValue() : file.temporary },
        { QStringLiteral("final"), file.final.isEmpty() ? QJsonValue() : file.final },
        { QStringLiteral("size"), file.identity.size },
        { QStringLiteral("mtime"), QString::number(file.identity.modifiedNs) },
        { QStringLiteral("dev"), QString::number(file.identity.device) },
        { QStringLiteral("ino"), QString::number(file.identity.inode) },
        { QStringLiteral("group"), file.group.isEmpty() ? QJsonValue() : file.group } };
    if (!file.identity.edgeHash.isEmpty())
        record.append({ QStringLiteral("edge"), QString::fromLatin1(file.identity.edgeHash) });
    if (!file.hash.isEmpty())
        record.append({ QStringLiteral("hash"), file.hash });
    return record;
}

FHJsonFields FHJournal::namedRecord(const QString &temporary, const QString &final, int number)
{
    FHJsonFields record { { QStringLiteral("record"), QStringLiteral("named") },
        { QStringLiteral("temporary"), temporary }, { QStringLiteral("final"), final } };
    if (number > 0)
        record.append({ QStringLiteral("number"), number });
    return record;
}

FHJsonFields FHJournal::copiedRecord(const QString &temporary, const QString &hash)
{
    return { { QStringLiteral("record"), QStringLiteral("copied") },
        { QStringLiteral("temporary"), temporary }, { QStringLiteral("hash"), hash } };
}

FHJsonFields FHJournal::folderRecord(const QString &path)
{
    return { { QStringLiteral("record"), QStringLiteral("folder") },
        { QStringLiteral("path"), path } };
}

bool FHJournal::appendRecord(const QString &path, const FHJsonFields &record, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CLOEXEC);
    const bool done = fd >= 0 && !appendLines(fd, jsonLine(record));
    if (!done && error)
        *error = systemError();
    if (fd >= 0)
        ::close(fd);
    return done;
}
