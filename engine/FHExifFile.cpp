#include "engine/FHExifFile.h"

#include "engine/platform/FHFile.h"

#include <QFileInfo>

#include <cstdio>

FHExifFile::FHExifFile(const QString &path)
    : m_path(path)
{
}

FHExifFile::~FHExifFile()
{
    close();
    m_file.close();
}

int FHExifFile::open()
{
    // The library opens a file three times for one date (to tell its type,
    // to make the image, to read the metadata): the file is opened once and
    // kept to the end, so each time reads the same file.
    m_eof = false;
    m_error = false;
    if (m_file.isOpen()) {
        m_closed = false;
        return m_file.seek(0) ? 0 : 1;
    }
    m_file.setFileName(m_path);
    if (!FHFile::openForReading(m_file))
        return 1;
    m_closed = false;
    return 0;
}

int FHExifFile::close()
{
    munmap();
    m_closed = true;
    m_eof = false;
    m_error = false;
    return 0;
}

long FHExifFile::write(const Exiv2::byte *, long)
{
    return 0;
}

long FHExifFile::write(Exiv2::BasicIo &)
{
    return 0;
}

int FHExifFile::putb(Exiv2::byte)
{
    return EOF;
}

Exiv2::DataBuf FHExifFile::read(long count)
{
    Exiv2::DataBuf buffer(count);
    buffer.size_ = read(buffer.pData_, count);
    if (m_error)
        throw Exiv2::Error(Exiv2::kerInputDataReadFailed);
    return buffer;
}

long FHExifFile::read(Exiv2::byte *data, long count)
{
    const qint64 got = m_file.read(reinterpret_cast<char *>(data), count);
    if (got < 0) {
        m_error = true;
        return 0;
    }
    // As a C stream: the end is noticed by a read that comes short.
    m_eof = got < count;
    return long(got);
}

int FHExifFile::getb()
{
    char c = 0;
    if (m_file.getChar(&c))
        return uchar(c);
    m_eof = true;
    return EOF;
}

void FHExifFile::transfer(Exiv2::BasicIo &)
{
    throw Exiv2::Error(Exiv2::kerFunctionNotSupported, "FHExifFile::transfer");
}

int FHExifFile::seek(long offset, Position from)
{
    const qint64 base = from == beg ? 0 : from == cur ? m_file.pos() : m_file.size();
    m_eof = false;
    return base + offset >= 0 && m_file.seek(base + offset) ? 0 : 1;
}

Exiv2::byte *FHExifFile::mmap(bool writeable)
{
    if (writeable)
        throw Exiv2::Error(Exiv2::kerFunctionNotSupported, "FHExifFile::mmap");
    if (!m_map)
        m_map = m_file.map(0, m_file.size());
    if (!m_map)
        throw Exiv2::Error(Exiv2::kerCallFailed, path(), m_file.errorString().toStdString(), "map");
    return m_map;
}

int FHExifFile::munmap()
{
    if (m_map)
        m_file.unmap(m_map);
    m_map = nullptr;
    return 0;
}

long FHExifFile::tell() const
{
    return long(m_file.pos());
}

size_t FHExifFile::size() const
{
    return size_t(m_file.isOpen() ? m_file.size() : QFileInfo(m_path).size());
}

bool FHExifFile::isopen() const
{
    return m_file.isOpen() && !m_closed;
}

int FHExifFile::error() const
{
    return m_error ? 1 : 0;
}

bool FHExifFile::eof() const
{
    return m_eof;
}

std::string FHExifFile::path() const
{
    return QFile::encodeName(m_path).toStdString();
}

#ifdef EXV_UNICODE_PATH
std::wstring FHExifFile::wpath() const
{
    return m_path.toStdWString();
}
#endif
