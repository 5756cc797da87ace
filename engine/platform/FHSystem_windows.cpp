#include "engine/platform/FHSystem.h"

#include "engine/platform/FHWin32.h"

#include <QDir>
#include <QFileInfo>

namespace FHSystem {

qint64 processId()
{
    return qint64(::GetCurrentProcessId());
}

bool processIsGone(qint64 id)
{
    if (id <= 0 || id > 0xffffffffLL)
        return false;
    const FHWin32::Handle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(id)));
    if (!process.isValid())
        return ::GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    // A process that ended lives on as long as someone holds a handle to it.
    DWORD code = 0;
    return ::GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE;
}

QString errorText(int error)
{
    return FHWin32::errnoText(error);
}

QString systemPath(const QString &path)
{
    return QString::fromStdWString(FHWin32::nativePath(path));
}

FileSystem fileSystemOf(const QString &path)
{
    FileSystem fs;
    // Whatever the volume, names pass through Windows' own rules, and letter
    // case does not tell two names apart.
    fs.windowsNames = true;
    QFileInfo existing(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    while (!existing.exists() && !existing.isRoot())
        existing.setFile(existing.absolutePath());
    const FHWin32::Volume volume = FHWin32::volumeOf(
        FHWin32::nativePath(QDir::cleanPath(existing.absoluteFilePath()) + QLatin1Char('/')));
    fs.type = volume.type;
    fs.remote = volume.remote;
    fs.keepsFileNumbers = volume.keepsFileNumbers();
    return fs;
}

} // namespace FHSystem
