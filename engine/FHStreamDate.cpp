#include "engine/FHStreamDate.h"

#include "engine/FHDateText.h"
#include "engine/platform/FHFile.h"

#include <QFile>
#include <QMap>

namespace {

constexpr int MaxRead = 1024 * 1024;
constexpr int PacketSize = 188;

// The user-data UUID that precedes the block, then its name.
const QByteArray Marker
    = QByteArrayLiteral("\x17\xee\x8c\x60\xf8\x4d\x11\xd9\x8c\xd6\x08\x00\x20\x0c\x9a\x66MDPM");

int bcd(char byte)
{
    const int high = quint8(byte) >> 4;
    const int low = quint8(byte) & 0xf;
    return high > 9 || low > 9 ? -1 : high * 10 + low;
}

// The payloads of each stream, by packet identifier, so that a message split
// across packets is whole again.
QMap<int, QByteArray> payloads(const QByteArray &bytes)
{
    QMap<int, QByteArray> streams;
    // Blu-ray streams put a 4-byte time code before each packet.
    const auto synced = [&](int lead, int step) {
        return bytes.size() >= lead + PacketSize && bytes.at(lead) == 0x47
            && (bytes.size() < step + lead + PacketSize || bytes.at(step + lead) == 0x47);
    };
    int step = PacketSize;
    int lead = 0;
    if (synced(4, 192)) {
        step = 192;
        lead = 4;
    } else if (!synced(0, PacketSize)) {
        return streams;
    }
    for (int at = lead; at + PacketSize <= bytes.size(); at += step) {
        const char *packet = bytes.constData() + at;
        if (packet[0] != 0x47)
            break;
        const int pid = (quint8(packet[1]) & 0x1f) << 8 | quint8(packet[2]);
        const int control = quint8(packet[3]) >> 4 & 3;
        int start = 4;
        if (control & 2)
            start += 1 + quint8(packet[4]);
        if (control & 1 && start < PacketSize)
            streams[pid].append(packet + start, PacketSize - start);
    }
    return streams;
}

QDateTime blockDate(const QByteArray &stream)
{
    const int at = stream.indexOf(Marker);
    if (at < 0)
        return {};
    // Undo the H.264 emulation prevention: 00 00 03 stands for 00 00.
    QByteArray block;
    for (int i = at + Marker.size(); i < stream.size() && block.size() < 1 + 5 * 255; ++i) {
        if (stream.at(i) == 3 && block.endsWith(QByteArray(2, '\0')))
            continue;
        block.append(stream.at(i));
    }
    const int count = block.isEmpty() ? 0 : quint8(block.at(0));
    int day = -1, hour = -1, minute = -1, second = -1, year = -1, month = -1;
    for (int i = 0; i < count && 1 + 5 * i + 5 <= block.size(); ++i) {
        const char *entry = block.constData() + 1 + 5 * i;
        if (quint8(entry[0]) == 0x18) {
            // The zone comes first, then the year in two bytes and the month.
            const int century = bcd(entry[2]);
            const int years = bcd(entry[3]);
            year = century < 0 || years < 0 ? -1 : century * 100 + years;
            month = bcd(entry[4]);
        } else if (quint8(entry[0]) == 0x19) {
            day = bcd(entry[1]);
            hour = bcd(entry[2]);
            minute = bcd(entry[3]);
            second = bcd(entry[4]);
        }
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (year < 1970 || !date.isValid() || !time.isValid() || date > QDate::currentDate().addDays(1))
        return {};
    return FHDateText::wallClock(date, time);
}

} // namespace

QDateTime readStreamDate(const QByteArray &bytes)
{
    const QMap<int, QByteArray> streams = payloads(bytes.left(MaxRead));
    for (auto it = streams.cbegin(); it != streams.cend(); ++it) {
        const QDateTime date = blockDate(it.value());
        if (date.isValid())
            return date;
    }
    return {};
}

QDateTime readStreamDate(const QString &path)
{
    QFile file(path);
    if (!FHFile::openForReading(file))
        return {};
    return readStreamDate(file.read(MaxRead));
}
