#include "engine/platform/FHSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// The type of the mount the path lies in, as /proc/self/mountinfo names it.
QString mountType(const QString &path)
{
    QFile mounts(QStringLiteral("/proc/self/mountinfo"));
    if (!mounts.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QString best;
    int bestLength = -1;
    QTextStream in(&mounts);
    QString line;
    while (in.readLineInto(&line)) {
        const QStringList fields = line.split(QLatin1Char(' '));
        const int dash = fields.indexOf(QStringLiteral("-"));
        if (fields.size() < 5 || dash < 0 || dash + 1 >= fields.size())
            continue;
        // Blanks and other bytes in mount points come octal-escaped.
        QString point = fields.at(4);
        point.replace(QLatin1String("\\040"), QLatin1String(" "));
        const bool inside = path == point || point == QLatin1String("/")
            || path.startsWith(point + QLatin1Char('/'));
        if (inside && point.size() > bestLength) {
            bestLength = point.size();
            best = fields.at(dash + 1);
        }
    }
    return best;
}

} // namespace

namespace FHSystem {

qint64 processId()
{
    return qint64(::getpid());
}

bool processIsGone(qint64 id)
{
    return id > 0 && ::kill(pid_t(id), 0) != 0 && errno == ESRCH;
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString systemPath(const QString &path)
{
    return path;
}

FileSystem fileSystemOf(const QString &path)
{
    FileSystem fs;
    QFileInfo existing(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    while (!existing.exists() && !existing.isRoot())
        existing.setFile(existing.absolutePath());
    struct statfs st;
    if (::statfs(QFile::encodeName(existing.absoluteFilePath()).constData(), &st) != 0)
        return fs;
    fs.type = mountType(existing.canonicalFilePath());
    fs.journaled = QStringList({ QStringLiteral("ext4"), QStringLiteral("ext3"),
                                   QStringLiteral("xfs"), QStringLiteral("btrfs") })
                       .contains(fs.type);
    switch (quint32(st.f_type)) {
    case 0x4d44: // FAT
    case 0x2011bab0: // exFAT
    case 0x5346544e: // NTFS
    case 0x7366746e: // NTFS (ntfs3)
        fs.windowsNames = true;
        fs.keepsFileNumbers = false;
        break;
    case 0x517b: // SMB
    case 0xff534d42: // CIFS
    case 0xfe534d42: // SMB2
        fs.windowsNames = quint32(st.f_type) != 0x517b;
        fs.keepsFileNumbers = false;
        fs.remote = true;
        break;
    case 0x6969: // NFS
        fs.keepsFileNumbers = false;
        fs.remote = true;
        break;
    case 0x65735546: // FUSE: "fuseblk" (exFAT, NTFS), "fuse.fusefat", sshfs ...
        fs.windowsNames = fs.type == QLatin1String("fuseblk")
            || fs.type.contains(QLatin1String("fat")) || fs.type.contains(QLatin1String("ntfs"));
        fs.keepsFileNumbers = false;
        fs.remote = true;
        break;
    default:
        break;
    }
    return fs;
}

} // namespace FHSystem
