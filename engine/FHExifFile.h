#ifndef FHEXIFFILE_H
#define FHEXIFFILE_H

#include <QFile>

#include <exiv2/exiv2.hpp>

// An image file as the EXIF library reads it, opened by FHFile so that
// reading it leaves its access time as it was; the library's own file access
// would mark every photo it looks at as read. Read only: writes fail.
class FHExifFile : public Exiv2::BasicIo
{
public:
    explicit FHExifFile(const QString &path);
    ~FHExifFile() override;

    int open() override;
    int close() override;
    long write(const Exiv2::byte *data, long count) override;
    long write(Exiv2::BasicIo &source) override;
    int putb(Exiv2::byte data) override;
    Exiv2::DataBuf read(long count) override;
    long read(Exiv2::byte *data, long count) override;
    int getb() override;
    void transfer(Exiv2::BasicIo &source) override;
    int seek(long offset, Position from) override;
    Exiv2::byte *mmap(bool writeable = false) override;
    int munmap() override;
    long tell() const override;
    size_t size() const override;
    bool isopen() const override;
    int error() const override;
    bool eof() const override;
    std::string path() const override;
#ifdef EXV_UNICODE_PATH
    // The EXIF library built for Windows names files in UTF-16 too.
    std::wstring wpath() const override;
#endif

private:
    const QString m_path;
    QFile m_file;
    uchar *m_map = nullptr;
    bool m_eof = false;
    bool m_error = false;
    bool m_closed = true; // closed as the library sees it; the file stays open
    qint64 m_pos = 0; // where the library reads next
    QByteArray m_window; // the bytes read ahead, from m_windowAt
    qint64 m_windowAt = -1;
};

#endif // FHEXIFFILE_H
