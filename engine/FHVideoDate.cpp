#include "engine/FHVideoDate.h"

#include "engine/FHBoxReader.h"
#include "engine/FHDateText.h"
#include "engine/platform/FHFile.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace {

using Box = FHBoxReader::Box;
constexpr auto fourCC = FHBoxReader::fourCC;

// Keys and their values are short texts; anything longer is not what we seek.
constexpr qint64 MaxKeysSize = 64 * 1024;
constexpr qint64 MaxValueSize = 4 * 1024;
constexpr qint64 SecondsFrom1904To1970 = 2082844800;

const QByteArray CreationDateKey = QByteArrayLiteral("com.apple.quicktime.creationdate");
const QByteArray MakeKey = QByteArrayLiteral("com.apple.quicktime.make");
const QByteArray ModelKey = QByteArrayLiteral("com.apple.quicktime.model");

bool acceptable(const QDateTime &instant)
{
    return instant.isValid() && instant.date().year() >= 1970
        && instant <= QDateTime::currentDateTimeUtc().addDays(1);
}

QString text(const QByteArray &bytes)
{
    QString result = QString::fromUtf8(bytes);
    while (result.endsWith(QChar(0)))
        result.chop(1);
    return result.trimmed();
}

class MovieReader
{
public:
    explicit MovieReader(FHBoxReader &boxes)
        : m_boxes(boxes)
    {
    }

    FHVideoDate read();

private:
    void readMovie(const Box &moov);
    void readMovieHeader(const Box &mvhd);
    void readMetadata(const Box &meta);
    bool readKeys(const Box &keys);
    void readItems(const Box &ilst);
    QString dataText(const Box &item);
    void readUserData(const Box &udta);

    FHBoxReader &m_boxes;
    FHVideoDate m_result;
    quint32 m_dateIndex = 0;
    quint32 m_makeIndex = 0;
    quint32 m_modelIndex = 0;
    QDateTime m_headerDate;
    QString m_keysMake;
    QString m_userDataMake;
};

FHVideoDate MovieReader::read()
{
    const Box root = m_boxes.root();
    bool first = true;
    m_boxes.children(root, [&](const Box &box) {
        if (first) {
            first = false;
            static const quint32 Leading[] = { fourCC("ftyp"), fourCC("moov"), fourCC("mdat"),
                fourCC("free"), fourCC("skip"), fourCC("wide"), fourCC("pnot") };
            if (std::find(std::begin(Leading), std::end(Leading), box.type) == std::end(Leading))
                return false;
            m_result.status = FHVideoDate::Read;
        }
        if (box.type != fourCC("moov"))
            return true;
        readMovie(box);
        return false;
    });

    if (m_result.status != FHVideoDate::Read) {
        if (m_boxes.readFailed()) {
            m_result.status = FHVideoDate::Unreadable;
            m_result.problem = m_boxes.problem();
        } else {
            m_result.status = FHVideoDate::NotContainer;
            m_result.problem = QStringLiteral("not an ISO base media file or QuickTime movie");
        }
        return m_result;
    }
    if (m_result.source == FHVideoDate::None && m_headerDate.isValid()) {
        m_result.source = FHVideoDate::MovieHeader;
        m_result.captured = m_headerDate;
    }
    m_result.make = m_keysMake.isEmpty() ? m_userDataMake : m_keysMake;
    // Damage after the date does not matter; damage before it leaves the file unread.
    if (m_result.source == FHVideoDate::None && !m_boxes.problem().isEmpty()) {
        m_result.status = FHVideoDate::Unreadable;
        m_result.problem = m_boxes.problem();
    }
    return m_result;
}

void MovieReader::readMovie(const Box &moov)
{
    m_boxes.children(moov, [&](const Box &box) {
        if (box.type == fourCC("mvhd"))
            readMovieHeader(box);
        else if (box.type == fourCC("meta"))
            readMetadata(box);
        else if (box.type == fourCC("udta"))
            readUserData(box);
        return true;
    });
}

void MovieReader::readMovieHeader(const Box &mvhd)
{
    const QByteArray bytes = m_boxes.read(mvhd.content, 12);
    if (bytes.size() < 12 || mvhd.end - mvhd.content < 12)
        return;
    quint64 seconds = 0;
    if (bytes.at(0) == 0)
        seconds = FHBoxReader::number32(bytes, 4);
    else if (bytes.at(0) == 1)
        seconds = FHBoxReader::number64(bytes, 4);
    // The bounds of acceptable(), checked before the subtraction, so that no
    // 64-bit value can wrap.
    if (seconds < quint64(SecondsFrom1904To1970)
        || seconds - SecondsFrom1904To1970 > quint64(QDateTime::currentSecsSinceEpoch() + 86400))
        return;
    m_headerDate = QDateTime::fromSecsSinceEpoch(qint64(seconds) - SecondsFrom1904To1970, Qt::UTC)
                       .toLocalTime();
}

void MovieReader::readMetadata(const Box &meta)
{
    // QuickTime's meta box has no version and flags before its children, the
    // ISO one has: a child's type in the second word tells them apart.
    const QByteArray peek = m_boxes.read(meta.content, 8);
    const quint32 second = FHBoxReader::number32(peek, 4);
    const bool quickTime
        = second == fourCC("hdlr") || second == fourCC("keys") || second == fourCC("ilst");
    const qint64 from = meta.content + (quickTime ? 0 : 4);

    // Item numbers refer to the keys of their own meta box.
    m_dateIndex = 0;
    m_makeIndex = 0;
    m_modelIndex = 0;
    bool keys = false;
    Box items;
    m_boxes.children(meta, from, [&](const Box &box) {
        if (box.type == fourCC("keys") && !keys)
            keys = readKeys(box);
        else if (box.type == fourCC("ilst") && items.type == 0)
            items = box;
        return true;
    });
    if (keys && items.type != 0)
        readItems(items);
}

bool MovieReader::readKeys(const Box &keys)
{
    QByteArray bytes;
    if (!m_boxes.content(keys, 0, MaxKeysSize, bytes))
        return false;
    const quint32 count = FHBoxReader::number32(bytes, 4);
    int at = 8;
    for (quint32 index = 1; index <= count && at + 8 <= bytes.size(); ++index) {
        const quint32 size = FHBoxReader::number32(bytes, at);
        if (size < 8 || size > quint32(bytes.size() - at))
            break;
        const QByteArray name = bytes.mid(at + 8, int(size) - 8);
        if (name == CreationDateKey)
            m_dateIndex = index;
        else if (name == MakeKey)
            m_makeIndex = index;
        else if (name == ModelKey)
            m_modelIndex = index;
        at += int(size);
    }
    return m_dateIndex != 0 || m_makeIndex != 0 || m_modelIndex != 0;
}

void MovieReader::readItems(const Box &ilst)
{
    // Each item's type is the number of its key.
    m_boxes.children(ilst, [&](const Box &item) {
        if (m_dateIndex != 0 && item.type == m_dateIndex && m_result.source == FHVideoDate::None) {
            QDateTime instant;
            const QString written = dataText(item);
            const QDateTime date = FHDateText::fromIso(written, &instant);
            if (date.isValid() && acceptable(instant)) {
                m_result.source = FHVideoDate::Keys;
                m_result.captured = date;
                // The zone the phone wrote: the wall clock less the moment.
                static const QRegularExpression zoned(QStringLiteral("(Z|[+-]\\d\\d:?\\d\\d)$"));
                m_result.hasZone = zoned.match(written).hasMatch();
                if (m_result.hasZone)
                    m_result.zone
                        = int(instant.toUTC().secsTo(QDateTime(date.date(), date.time(), Qt::UTC)));
            }
        } else if (m_makeIndex != 0 && item.type == m_makeIndex && m_keysMake.isEmpty()) {
            m_keysMake = dataText(item);
        } else if (m_modelIndex != 0 && item.type == m_modelIndex && m_result.model.isEmpty()) {
            m_result.model = dataText(item);
        }
        return true;
    });
}

QString MovieReader::dataText(const Box &item)
{
    QString result;
    m_boxes.children(item, [&](const Box &box) {
        if (box.type != fourCC("data"))
            return true;
        QByteArray bytes;
        if (!m_boxes.content(box, 0, MaxValueSize, bytes) || bytes.size() < 8)
            return false;
        // Well-known types 1 and 4 are UTF-8, 2 and 5 UTF-16.
        const quint32 type = FHBoxReader::number32(bytes, 0) & 0xffffff;
        const QByteArray value = bytes.mid(8);
        if (type == 1 || type == 4) {
            result = text(value);
        } else if (type == 2 || type == 5) {
            QString utf16;
            for (int i = 0; i + 1 < value.size(); i += 2)
                utf16 += QChar(quint8(value.at(i)) << 8 | quint8(value.at(i + 1)));
            result = utf16.trimmed();
        }
        return false;
    });
    return result;
}

void MovieReader::readUserData(const Box &udta)
{
    static const quint32 Make = 0xa9u << 24 | (fourCC("_mak") & 0xffffff);
    m_boxes.children(udta, [&](const Box &box) {
        if (box.type != Make)
            return true;
        QByteArray bytes;
        if (!m_boxes.content(box, 0, MaxValueSize, bytes) || bytes.size() < 4)
            return false;
        if (FHBoxReader::number32(bytes, 4) == fourCC("data")) {
            m_userDataMake = dataText(box);
        } else {
            // A QuickTime text: its length and language, then the text.
            const int length = int(FHBoxReader::number32(bytes, 0) >> 16);
            m_userDataMake = text(bytes.mid(4, length));
        }
        return false;
    });
}

} // namespace

FHVideoDate readVideoDate(QIODevice *device)
{
    FHBoxReader boxes(device);
    return MovieReader(boxes).read();
}

FHVideoDate readVideoDate(const QString &path)
{
    QFile file(path);
    // Unbuffered: the reader asks for headers only, so nothing is read ahead.
    if (!FHFile::openForReading(file)) {
        FHVideoDate result;
        result.problem = file.errorString();
        return result;
    }
    return readVideoDate(&file);
}

FHVideoDate readVideoDate(const QByteArray &bytes)
{
    FHBoxReader boxes(bytes);
    return MovieReader(boxes).read();
}
