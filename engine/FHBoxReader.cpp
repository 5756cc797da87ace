#include "engine/FHBoxReader.h"

#include <QIODevice>
#include <QtEndian>

FHBoxReader::FHBoxReader(QIODevice *device)
    : m_device(device)
    , m_size(device ? device->size() : 0)
{
}

FHBoxReader::FHBoxReader(const QByteArray &bytes)
    : m_bytes(bytes)
    , m_size(bytes.size())
{
}

FHBoxReader::Box FHBoxReader::root() const
{
    Box box;
    box.end = m_size;
    return box;
}

bool FHBoxReader::children(
    const Box &parent, qint64 from, const std::function<bool(const Box &)> &visit)
{
    qint64 at = qMax(from, parent.content);
    Box box;
    while (at < parent.end) {
        switch (header(at, parent.end, box)) {
        case Header::Read:
            break;
        case Header::End:
            return true;
        case Header::Damaged:
            return false;
        }
        if (!visit(box))
            return true;
        at = box.end;
    }
    return true;
}

FHBoxReader::Header FHBoxReader::header(qint64 at, qint64 end, Box &box)
{
    // Fewer bytes than a header are padding: QuickTime ends some lists with a
    // 32-bit zero.
    if (end - at < 8)
        return Header::End;
    if (++m_headers > MaxHeaders) {
        fail(QStringLiteral("more than %1 boxes").arg(MaxHeaders));
        return Header::Damaged;
    }
    const QByteArray bytes = read(at, 16);
    if (bytes.size() < 8) {
        m_readFailed = true;
        fail(QStringLiteral("read failed at offset %1").arg(at));
        return Header::Damaged;
    }
    box = Box();
    box.offset = at;
    box.type = number32(bytes, 4);
    const quint32 size32 = number32(bytes, 0);
    quint64 size = size32;
    qint64 headerSize = 8;
    if (size32 == 1) {
        if (bytes.size() < 16 || end - at < 16) {
            fail(QStringLiteral("box '%1' cut in its header").arg(typeName(box.type)));
            return Header::Damaged;
        }
        size = number64(bytes, 8);
        headerSize = 16;
    } else if (size32 == 0) {
        size = quint64(end - at);
    }
    if (size < quint64(headerSize)) {
        fail(QStringLiteral("box '%1' at offset %2 has the impossible size %3")
                 .arg(typeName(box.type))
                 .arg(at)
                 .arg(size));
        return Header::Damaged;
    }
    if (box.type == fourCC("uuid")) {
        if (size < quint64(headerSize + 16)) {
            fail(QStringLiteral("box 'uuid' at offset %1 is too short").arg(at));
            return Header::Damaged;
        }
        box.uuid = read(at + headerSize, 16);
        if (box.uuid.size() < 16) {
            fail(QStringLiteral("box 'uuid' cut in its header"));
            return Header::Damaged;
        }
        headerSize += 16;
    }
    box.content = at + headerSize;
    if (size > quint64(end - at)) {
        box.cut = true;
        box.end = end;
        if (box.content > end) {
            fail(QStringLiteral("box '%1' cut in its header").arg(typeName(box.type)));
            return Header::Damaged;
        }
        // Noted, but what the box holds up to the end is still read.
        fail(QStringLiteral("box '%1' at offset %2 runs past the end of its container")
                 .arg(typeName(box.type))
                 .arg(at));
    } else {
        box.end = at + qint64(size);
    }
    return Header::Read;
}

QByteArray FHBoxReader::read(qint64 offset, qint64 length)
{
    if (offset < 0 || length <= 0 || offset >= m_size)
        return {};
    length = qMin(length, m_size - offset);
    if (!m_device)
        return m_bytes.mid(int(offset), int(length));
    if (!m_device->seek(offset))
        return {};
    return m_device->read(length);
}

bool FHBoxReader::content(const Box &box, qint64 skip, qint64 limit, QByteArray &out)
{
    const qint64 length = box.end - box.content - skip;
    if (box.cut || length < 0 || length > limit)
        return false;
    out = read(box.content + skip, length);
    return out.size() == length;
}

void FHBoxReader::fail(const QString &problem)
{
    if (m_problem.isEmpty())
        m_problem = problem;
}

QString FHBoxReader::typeName(quint32 type)
{
    QString name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char(type >> shift);
        name += c >= 0x20 && c < 0x7f ? QLatin1Char(c) : QLatin1Char('?');
    }
    return name;
}

quint32 FHBoxReader::number32(const QByteArray &bytes, int at)
{
    if (at < 0 || at > bytes.size() - 4)
        return 0;
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

quint64 FHBoxReader::number64(const QByteArray &bytes, int at)
{
    if (at < 0 || at > bytes.size() - 8)
        return 0;
    return qFromBigEndian<quint64>(bytes.constData() + at);
}
