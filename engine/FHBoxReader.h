#ifndef FHBOXREADER_H
#define FHBOXREADER_H

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Walks the boxes (atoms) of an ISO base media file or QuickTime movie without
// ever reading more than a box header, unless asked for a box's content, and
// then only up to a limit. Each step moves forward by at least a header, and
// the number of headers read is capped, so a crafted file ends the walk
// quickly. Callers descend only into the few boxes they know, to a depth they
// bound themselves.
class FHBoxReader
{
public:
    struct Box
    {
        quint32 type = 0;
        qint64 offset = 0; // of the header
        qint64 content = 0; // first byte after the header (and the extended type)
        qint64 end = 0; // one past the last byte, never past the parent's end
        QByteArray uuid; // extended type of a 'uuid' box
        bool cut = false; // its size ran past the parent's end
    };

    static constexpr int MaxHeaders = 4096;

    // device: open for reading and seekable; not owned.
    explicit FHBoxReader(QIODevice *device);
    explicit FHBoxReader(const QByteArray &bytes);

    // The whole file as a box.
    Box root() const;

    // Calls visit for each box in [from, parent.end) until visit returns false
    // or the boxes end. Returns false when the walk stopped on a damaged header,
    // a failed read or the header limit; problem() then says why.
    bool children(const Box &parent, qint64 from, const std::function<bool(const Box &)> &visit);
    bool children(const Box &parent, const std::function<bool(const Box &)> &visit)
    {
        return children(parent, parent.content, visit);
    }

    // Bytes [offset, offset + length) of the file, fewer where it ends first.
    QByteArray read(qint64 offset, qint64 length);

    // The content of box from skip bytes after its header on, when that is at
    // most limit bytes; otherwise, or when the box is cut or the read fails, false.
    bool content(const Box &box, qint64 skip, qint64 limit, QByteArray &out);

    // The first problem met, empty while there was none. A cut box counts,
    // though the walk goes on into it.
    QString problem() const { return m_problem; }
    // Whether a read of the file failed, rather than its content being damaged.
    bool readFailed() const { return m_readFailed; }

    static constexpr quint32 fourCC(const char (&name)[5])
    {
        return quint32(quint8(name[0])) << 24 | quint32(quint8(name[1])) << 16
            | quint32(quint8(name[2])) << 8 | quint32(quint8(name[3]));
    }
    static QString typeName(quint32 type);

    // Big-endian numbers inside loaded content; a read past its end gives 0.
    static quint32 number32(const QByteArray &bytes, int at);
    static quint64 number64(const QByteArray &bytes, int at);

private:
    enum class Header
    {
        Read,
        End,
        Damaged
    };
    Header header(qint64 at, qint64 end, Box &box);
    void fail(const QString &problem);

    QIODevice *m_device = nullptr;
    QByteArray m_bytes;
    qint64 m_size = 0;
    int m_headers = 0;
    bool m_readFailed = false;
    QString m_problem;
};

#endif // FHBOXREADER_H
