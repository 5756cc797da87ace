#include "shell/FHLogFile.h"

#include "engine/FHException.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#ifdef Q_OS_WIN
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace {

FHLogFile *s_instance = nullptr;

#ifdef Q_OS_WIN
// Points the stream at the log file in append mode. A program without a
// console starts with streams that have no descriptor at all: those are
// reopened, once the file is known to open.
bool redirect(FILE *stream, const QString &path)
{
    const std::wstring name = path.toStdWString();
    const int fd = ::_wopen(
        name.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return false;
    std::fflush(stream);
    const int target = ::_fileno(stream);
    if (target >= 0) {
        const bool ok = ::_dup2(fd, target) == 0;
        ::_close(fd);
        return ok;
    }
    ::_close(fd);
    return ::_wfreopen(name.c_str(), L"a", stream) != nullptr;
}
#else
// Points the stream's descriptor at the log file in append mode. Unlike
// freopen(), a failure leaves the stream exactly as it was.
bool redirect(FILE *stream, const QByteArray &path)
{
    int fd;
    do {
        fd = ::open(path.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    std::fflush(stream);
    const bool ok = ::dup2(fd, ::fileno(stream)) >= 0;
    ::close(fd);
    return ok;
}
#endif

} // namespace

QString FHLogFile::path()
{
    return QStringLiteral(".") + QDir::separator() + QStringLiteral("Quilm")
        + QStringLiteral(".Log.txt");
}

FHLogFile &FHLogFile::instance()
{
    if (s_instance)
        return *s_instance;

    const QString logPath = path();
#ifdef Q_OS_WIN
    const QString &encoded = logPath;
#else
    const QByteArray encoded = QFile::encodeName(logPath);
#endif
    if (!redirect(stdout, encoded))
        throw FHException(
            FHError::LogFile, FHError::LogFileFormat, QStringLiteral("stdout"), logPath);
    if (!redirect(stderr, encoded))
        throw FHException(
            FHError::LogFile, FHError::LogFileFormat, QStringLiteral("stderr"), logPath);

    s_instance = new FHLogFile;
    return *s_instance;
}

void FHLogFile::write(const QString &text)
{
    // UTF-8 whatever the locale: file names and EXIF texts must survive a C locale.
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(nullptr);
}
