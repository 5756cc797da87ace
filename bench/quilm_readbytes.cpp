// How much of a file each date reader reads. For every file: evict it from the
// page cache, run the reader, then report the bytes asked for by system calls
// (rchar), the bytes read from storage (read_bytes: read-ahead included, zero
// on file systems without a block device) and the pages of the file now in
// memory (mmap access included, as the EXIF library maps TIFF-based files).
//
//   quilm_readbytes video|cr3|lookup|lookup-bmff FILE...
#include "engine/FHCr3.h"
#include "engine/FHExif.h"
#include "engine/FHVideoDate.h"

#include <QCoreApplication>
#include <QFile>

#include <exiv2/exiv2.hpp>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

struct Io
{
    long long rchar = 0;
    long long readBytes = 0;
};

Io io()
{
    Io result;
    QFile file(QStringLiteral("/proc/self/io"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            result.rchar = line.mid(6).trimmed().toLongLong();
        else if (line.startsWith("read_bytes:"))
            result.readBytes = line.mid(11).trimmed().toLongLong();
    }
    return result;
}

bool evict(const char *path)
{
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0)
        return false;
    ::fdatasync(fd);
    const bool done = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return done;
}

// Pages of the file in the page cache.
long long residentBytes(const char *path)
{
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0)
        return -1;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    long long resident = 0;
    const long page = ::sysconf(_SC_PAGESIZE);
    // In windows of 64 MB, so that a sparse file of gigabytes needs no large map.
    const off_t window = 64 << 20;
    for (off_t at = 0; at < size; at += window) {
        const size_t length = size_t(qMin<off_t>(window, size - at));
        void *map = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, at);
        if (map == MAP_FAILED)
            break;
        std::vector<unsigned char> pages((length + page - 1) / page);
        if (::mincore(map, length, pages.data()) == 0) {
            for (unsigned char p : pages)
                resident += (p & 1) ? page : 0;
        }
        ::munmap(map, length);
    }
    ::close(fd);
    return resident;
}

QString run(const QByteArray &reader, const QString &path)
{
    if (reader == "video") {
        const FHVideoDate date = readVideoDate(path);
        return date.captured.toString(Qt::ISODate) + QLatin1Char(' ') + date.problem;
    }
    if (reader == "cr3") {
        Exiv2::ExifData exif;
        QString problem;
        readCr3Exif(path, exif, &problem);
        return QString::fromStdString(exif["Exif.Photo.DateTimeOriginal"].toString()) + problem;
    }
    QString maker;
    QDateTime date;
    try {
        lookupCaptureDate(path, &maker, date);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return date.toString(Qt::ISODate);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s video|cr3|lookup|lookup-bmff FILE...\n", argv[0]);
        return 2;
    }
    const QByteArray reader = argv[1];
    muteExifLibraryWarnings();
    if (reader == "lookup-bmff")
        Exiv2::enableBMFF(true);
    std::printf("%-12s %14s %12s %14s %14s  %s\n", "reader", "file size", "rchar", "read_bytes",
        "in page cache", "file: result");
    for (int i = 2; i < argc; ++i) {
        if (!evict(argv[i]))
            std::fprintf(stderr, "%s: cannot evict it from the page cache\n", argv[i]);
        const Io before = io();
        const QString result = run(reader, QString::fromLocal8Bit(argv[i]));
        const Io after = io();
        std::printf("%-12s %14lld %12lld %14lld %14lld  %s: %s\n", reader.constData(),
            (long long)QFile(QString::fromLocal8Bit(argv[i])).size(), after.rchar - before.rchar,
            after.readBytes - before.readBytes, residentBytes(argv[i]), argv[i],
            qPrintable(result));
    }
    return 0;
}
