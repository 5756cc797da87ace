#include "MediaFiles.h"

#include <QtEndian>

#include <cstring>

namespace MediaFiles {

QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray be64(quint64 value)
{
    QByteArray bytes(8, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray box(const char *type, const QByteArray &content)
{
    return be32(quint32(8 + content.size())) + QByteArray(type, 4) + content;
}

QByteArray largeBox(const char *type, const QByteArray &content)
{
    return be32(1) + QByteArray(type, 4) + be64(quint64(16 + content.size())) + content;
}

QByteArray fullBox(const char *type, quint8 version, const QByteArray &content)
{
    return box(type, QByteArray(1, char(version)) + QByteArray(3, '\0') + content);
}

QByteArray movieHeader(quint64 created, quint8 version)
{
    const QByteArray times = version == 1
        ? be64(created) + be64(created) + be32(600) + be64(6000)
        : be32(quint32(created)) + be32(quint32(created)) + be32(600) + be32(6000);
    return fullBox("mvhd", version, times + QByteArray(80, '\0'));
}

QByteArray keyedMetadata(const QList<QPair<QByteArray, QByteArray>> &items)
{
    QByteArray keys = be32(0) + be32(quint32(items.size()));
    QByteArray list;
    quint32 index = 0;
    for (const auto &item : items) {
        keys += be32(quint32(8 + item.first.size())) + "mdta" + item.first;
        const QByteArray data = box("data", be32(1) + be32(0) + item.second);
        list += be32(quint32(8 + data.size())) + be32(++index) + data;
    }
    const QByteArray handler
        = fullBox("hdlr", 0, be32(0) + "mdta" + QByteArray(12, '\0') + QByteArray(1, '\0'));
    return box("meta", handler + box("keys", keys) + box("ilst", list));
}

QByteArray userDataMake(const QByteArray &make)
{
    QByteArray type("\xa9mak", 4);
    const QByteArray text = be32(quint32(make.size()) << 16 | 0x55c4) + make;
    return box("udta", be32(quint32(8 + text.size())) + type + text);
}

QByteArray movie(const QByteArray &moovContent, const char *brand)
{
    return box("ftyp", QByteArray(brand, 4) + be32(0) + QByteArray(brand, 4))
        + box("moov", moovContent) + box("mdat", QByteArray(64, '\x55'));
}

QByteArray cr3(const QByteArray &cmt1, const QByteArray &cmt2)
{
    const QByteArray canon("\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48", 16);
    const QByteArray blocks
        = box("CNCV", "CanonCR3_001/00.09.00/00.00.00") + box("CMT1", cmt1) + box("CMT2", cmt2);
    const QByteArray uuid = be32(quint32(24 + blocks.size())) + "uuid" + canon + blocks;
    return movie(uuid + movieHeader(SecondsTo1970 + 1000000000), "crx ");
}

QByteArray mdpmMessage(const QList<QByteArray> &entries)
{
    QByteArray body("\x17\xee\x8c\x60\xf8\x4d\x11\xd9\x8c\xd6\x08\x00\x20\x0c\x9a\x66MDPM", 20);
    body += char(entries.size());
    for (const QByteArray &entry : entries)
        body += entry;
    QByteArray escaped;
    for (const char byte : body) {
        if (quint8(byte) <= 3 && escaped.endsWith(QByteArray(2, '\0')))
            escaped += '\x03';
        escaped += byte;
    }
    // Start code, SEI unit, user data unregistered, its size.
    return QByteArray("\0\0\0\x01\x06\x05", 6) + char(body.size()) + escaped + '\x80';
}

QByteArray transportStream(const QByteArray &payload, bool timeCodes)
{
    const QByteArray pes = QByteArray("\0\0\x01\xe0\0\0\x80\0\0", 9) + payload;
    QByteArray stream;
    int counter = 0;
    for (int at = 0; at < pes.size(); at += 184) {
        if (timeCodes)
            stream += be32(quint32(at));
        QByteArray packet("\x47\x10\x11", 3);
        if (at == 0)
            packet[1] = '\x50';
        packet += char(0x10 | (counter++ & 0xf));
        packet += pes.mid(at, 184);
        stream += packet.leftJustified(188, '\xff');
    }
    return stream;
}

} // namespace MediaFiles
