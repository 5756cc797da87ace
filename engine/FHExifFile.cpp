#include "engine/FHExifFile.h"

#include "engine/platform/FHFile.h"

#include <QFileInfo>

#include <cstdio>
#include <cstring>

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
    m_pos = 0;
    if (m_file.isOpen()) {
        m_closed = false;
        return 0;
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
    // The library reads a few bytes at a time, seeking between them: they
    // come from a window of the file read in one call, not from a call each.
    constexpr qint64 WindowSize = 64 * 1024;
    qint64 done = 0;
    while (done < count) {
        const qint64 inWindow = m_pos - m_windowAt;
        if (m_windowAt >= 0 && inWindow >= 0 && inWindow < m_window.size()) {
            const qint64 n = qMin(count - done, m_window.size() - inWindow);
            memcpy(data + done, m_window.constData() + inWindow, size_t(n));
            done += n;
            m_pos += n;
            continue;
        }
        if (!m_file.seek(m_pos)) {
            m_error = true;
            return long(done);
        }
        // A large read goes straight to the caller.
        if (count - done >= WindowSize) {
            const qint64 got = m_file.read(reinterpret_cast<char *>(data + done), count - done);
            if (got < 0)
                m_error = true;
            done += qMax<qint64>(got, 0);
            m_pos += qMax<qint64>(got, 0);
            break;
        }
        m_window.resize(int(WindowSize));
        const qint64 got = m_file.read(m_window.data(), WindowSize);
        if (got < 0)
            m_error = true;
        m_window.resize(int(qMax<qint64>(got, 0)));
        m_windowAt = m_pos;
        if (got <= 0)
            break;
    }
    // As a C stream: the end is noticed by a read that comes short.
    m_eof = done < count;
    return m_error && done == 0 ? 0 : long(done);
}

int FHExifFile::getb()
{
    Exiv2::byte c = 0;
    return read(&c, 1) == 1 ? int(c) : EOF;
}

void FHExifFile::transfer(Exiv2::BasicIo &)
{
    throw Exiv2::Error(Exiv2::kerFunctionNotSupported, "FHExifFile::transfer");
}

int FHExifFile::seek(long offset, Position from)
{
    const qint64 base = from == beg ? 0 : from == cur ? m_pos : m_file.size();
    m_eof = false;
    if (base + offset < 0)
        return 1;
    m_pos = base + offset;
    return 0;
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
    return long(m_pos);
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
