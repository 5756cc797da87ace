#include "cli/FHSettle.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The names writers give a file until it is whole. Letter case is ignored.
struct PartialName
{
    enum Where
    {
        Prefix,
        Suffix,
    } where;
    const char *text;
    const char *writer;
};

const PartialName partialNames[] = {
    { PartialName::Prefix, ".", "hidden: rsync, Syncthing, Nextcloud and most uploads" },
    { PartialName::Prefix, "~$", "office programs' lock and work files" },
    { PartialName::Suffix, "~", "editors' backups, some sync tools" },
    { PartialName::Suffix, ".part", "browsers, wget, KDE" },
    { PartialName::Suffix, ".partial", "browsers, sync apps" },
    { PartialName::Suffix, ".tmp", "many programs" },
    { PartialName::Suffix, ".temp", "many programs" },
    { PartialName::Suffix, ".crdownload", "Chromium's downloads" },
    { PartialName::Suffix, ".download", "Safari's downloads" },
    { PartialName::Suffix, ".filepart", "WinSCP uploads" },
    { PartialName::Suffix, ".!sync", "Resilio Sync" },
    { PartialName::Suffix, ".!qb", "qBittorrent" },
    { PartialName::Suffix, ".syncthing", "Syncthing" },
    { PartialName::Suffix, ".unison.tmp", "Unison" },
    { PartialName::Suffix, ".uploading", "phone upload apps" },
};

} // namespace

bool FHSettle::isPartialName(const QString &fileName)
{
    for (const PartialName &partial : partialNames) {
        const QLatin1String text(partial.text);
        if (partial.where == PartialName::Prefix ? fileName.startsWith(text, Qt::CaseInsensitive)
                                                 : fileName.endsWith(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

FHSettle::State FHSettle::see(
    const QString &path, const Look &look, qint64 nowMs, bool writing, qint64 unchangedForMs)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    auto it = m_files.find(path);
    if (it == m_files.end()) {
        it = m_files.insert(
            path, Entry { look, nowMs - qMax<qint64>(0, unchangedForMs), Changing, -1 });
    } else if (it->look != look) {
        // Changed, even after a batch took it: it is a new file to wait for.
        *it = Entry { look, nowMs, Changing, -1 };
    }
    if (it->state == Done)
        return Done;
    if (isPartialName(name))
        it->state = Partial;
    else if (nowMs - it->sinceMs < m_settleMs)
        it->state = Changing;
    else if (writing)
        it->state = Writing;
    else if (it->state != Settled) {
        it->state = Settled;
        it->settledMs = nowMs;
    }
    if (it->state != Settled)
        it->settledMs = -1;
    return it->state;
}

void FHSettle::keepOnly(const QSet<QString> &paths)
{
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (paths.contains(it.key()))
            ++it;
        else
            it = m_files.erase(it);
    }
}

void FHSettle::markDone(const QString &path)
{
    const auto it = m_files.find(path);
    if (it != m_files.end())
        it->state = Done;
}

QStringList FHSettle::pending() const
{
    QStringList paths;
    for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
        if (it->state == Changing || it->state == Writing)
            paths.append(it.key());
    }
    return paths;
}

QStringList FHSettle::settled() const
{
    QStringList paths;
    for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
        if (it->state == Settled)
            paths.append(it.key());
    }
    paths.sort();
    return paths;
}

qint64 FHSettle::firstSettledMs() const
{
    qint64 first = -1;
    for (const Entry &entry : m_files) {
        if (entry.state == Settled && (first < 0 || entry.settledMs < first))
            first = entry.settledMs;
    }
    return first;
}

QSet<QString> filesOpenForWriting(const QSet<QString> &paths)
{
    QSet<QString> open;
    if (paths.isEmpty())
        return open;
    const QDir proc(QStringLiteral("/proc"));
    const QStringList processes = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : processes) {
        if (pid.isEmpty() || !pid.at(0).isDigit())
            continue;
        const QString fdFolder = QStringLiteral("/proc/%1/fd").arg(pid);
        // Not ours to look into: another user's process, or gone already.
        const QStringList fds
            = QDir(fdFolder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &fd : fds) {
            char target[4096];
            const QByteArray link = QFile::encodeName(fdFolder + QLatin1Char('/') + fd);
            const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
            if (length <= 0)
                continue;
            const QString path = QFile::decodeName(QByteArray(target, int(length)));
            if (!paths.contains(path) || open.contains(path))
                continue;
            QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid, fd));
            if (!info.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &line : info.readAll().split('\n')) {
                if (!line.startsWith("flags:"))
                    continue;
                bool ok = false;
                const int flags = line.mid(6).trimmed().toInt(&ok, 8);
                if (ok && (flags & O_ACCMODE) != O_RDONLY)
                    open.insert(path);
            }
        }
    }
    return open;
}
