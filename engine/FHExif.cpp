#include "engine/FHExif.h"

#include "engine/FHBmffCheck.h"
#include "engine/FHCameraClock.h"
#include "engine/FHDateText.h"
#include "engine/FHExifFile.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <climits>
#include <functional>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

const Exiv2::ExifKey &makeKey()
{
    static const Exiv2::ExifKey key("Exif.Image.Make");
    return key;
}

// HEIF, AVIF and CR3 are read by the library's BMFF reader, off by default.
void enableBmffReader()
{
    static const bool enabled = Exiv2::enableBMFF(true);
    Q_UNUSED(enabled)
}

QString subSecondOf(Exiv2::ExifData &exifData)
{
    static const Exiv2::ExifKey key("Exif.Photo.SubSecTimeOriginal");
    const auto found = exifData.findKey(key);
    return found == exifData.end()
        ? QString()
        : FHDateText::subSecondDigits(QString::fromStdString(found->value().toString()));
}

bool originalDate(Exiv2::ExifData &exifData, QDateTime &date)
{
    static const Exiv2::ExifKey dateKey("Exif.Photo.DateTimeOriginal");
    const auto original = exifData.findKey(dateKey);
    if (original == exifData.end())
        return false;
    date = FHDateText::fromExif(QString::fromStdString(original->value().toString()));
    return date.isValid();
}

// The maker and the capture date; false at once, with neither, when the data
// names no maker.
bool makerAndDate(Exiv2::ExifData &exifData, QString *maker, QDateTime &date)
{
    const auto make = exifData.findKey(makeKey());
    if (make == exifData.end())
        return false;
    // Cameras pad the tag with blanks ("OLYMPUS CORPORATION    ").
    *maker = QString::fromStdString(make->value().toString()).trimmed();
    return originalDate(exifData, date);
}

// The keys the library knows; a name it does not know is left out.
std::vector<Exiv2::ExifKey> keysOf(std::initializer_list<const char *> names)
{
    std::vector<Exiv2::ExifKey> keys;
    for (const char *name : names) {
        try {
            keys.emplace_back(name);
        } catch (const std::exception &) {
        }
    }
    return keys;
}

// The first of the keys that holds a text that is not blank.
QString firstText(Exiv2::ExifData &exifData, const std::vector<Exiv2::ExifKey> &keys)
{
    for (const Exiv2::ExifKey &key : keys) {
        const auto found = exifData.findKey(key);
        if (found == exifData.end())
            continue;
        QString text = QString::fromStdString(found->value().toString());
        text.remove(QChar(0));
        text = text.simplified();
        if (!text.isEmpty() && text != QLatin1String("0"))
            return text;
    }
    return QString();
}

QDateTime gpsTime(Exiv2::ExifData &exifData)
{
    static const auto dateKey = keysOf({ "Exif.GPSInfo.GPSDateStamp" });
    static const auto timeKey = keysOf({ "Exif.GPSInfo.GPSTimeStamp" });
    if (dateKey.empty() || timeKey.empty())
        return QDateTime();
    const auto date = exifData.findKey(dateKey.front());
    const auto time = exifData.findKey(timeKey.front());
    if (date == exifData.end() || time == exifData.end() || time->count() != 3)
        return QDateTime();
    const QDate day = QDate::fromString(
        QString::fromStdString(date->value().toString()).left(10), QStringLiteral("yyyy:MM:dd"));
    double seconds = 0;
    for (long i = 0; i < 3; ++i) {
        const Exiv2::Rational part = time->toRational(i);
        if (part.second <= 0 || part.first < 0)
            return QDateTime();
        seconds = seconds * 60 + double(part.first) / part.second;
    }
    if (!day.isValid() || seconds >= 86400)
        return QDateTime();
    return QDateTime(day, QTime(0, 0), Qt::UTC).addMSecs(qint64(seconds * 1000));
}

bool lookupIn(Exiv2::Image *image, const std::function<QString()> &bmffRefusal, QString *maker,
    QDateTime &date, QString *subSecond, bool *cameraless, FHExifFacts *facts)
{
    if (!image)
        return false;
    // Its BMFF reader takes MP4 videos for images and has no bound on nesting.
    if (dynamic_cast<Exiv2::BmffImage *>(image)) {
        const QString refusal = bmffRefusal();
        if (!refusal.isEmpty())
            throw std::runtime_error(refusal.toStdString());
    }
    // The library's video readers are not hardened against damaged files: one
    // header with a large size keeps them looping for minutes. A video named like
    // a photo is no photo.
    if (image->mimeType().compare(0, 6, "video/") == 0)
        throw std::runtime_error("The file holds a video, not a photo");
    image->readMetadata();
    if (facts)
        readExifFacts(image->exifData(), *facts);
    return readExifDate(image->exifData(), maker, date, subSecond, cameraless);
}

} // namespace

void readExifFacts(Exiv2::ExifData &exifData, FHExifFacts &facts)
{
    static const auto model = keysOf({ "Exif.Image.Model" });
    static const auto serial = keysOf({ "Exif.Photo.BodySerialNumber", "Exif.Canon.SerialNumber",
        "Exif.Nikon3.SerialNumber", "Exif.Fujifilm.SerialNumber", "Exif.Pentax.SerialNumber",
        "Exif.OlympusEq.SerialNumber", "Exif.Panasonic.InternalSerialNumber" });
    static const auto zone = keysOf({ "Exif.Photo.OffsetTimeOriginal", "Exif.Photo.OffsetTime" });
    facts.model = firstText(exifData, model);
    facts.serial = firstText(exifData, serial);
    facts.hasZone = false;
    for (const Exiv2::ExifKey &key : zone) {
        const auto found = exifData.findKey(key);
        if (found != exifData.end()
            && FHCameraClock::parseZone(
                QString::fromStdString(found->value().toString()), &facts.zone)) {
            facts.hasZone = true;
            break;
        }
    }
    facts.gpsUtc = gpsTime(exifData);
}

bool readExif(Exiv2::ExifData &exifData, QString &cameraMakers, QDateTime &date)
{
    QString maker;
    const bool dated = makerAndDate(exifData, &maker, date);
    if (!cameraMakers.contains(maker, Qt::CaseInsensitive))
        cameraMakers += QLatin1Char('|') + maker;
    return dated;
}

bool readExifDate(Exiv2::ExifData &exifData, QString *maker, QDateTime &date, QString *subSecond,
    bool *cameraless)
{
    if (exifData.empty())
        return false;
    const bool dated = makerAndDate(exifData, maker, date);
    if (!dated && cameraless)
        *cameraless = exifData.findKey(makeKey()) == exifData.end() && originalDate(exifData, date);
    if (subSecond && (dated || (cameraless && *cameraless)))
        *subSecond = subSecondOf(exifData);
    return dated;
}

bool lookupCaptureDate(const QString &path, QString *maker, QDateTime &date, QString *subSecond,
    bool *cameraless, FHExifFacts *facts)
{
    enableBmffReader();
    // No remote or standard-input access, whatever the path looks like.
    auto image = Exiv2::ImageFactory::open(Exiv2::BasicIo::AutoPtr(new FHExifFile(path)));
    if (!image.get())
        throw Exiv2::Error(
            Exiv2::kerFileContainsUnknownImageType, QFile::encodeName(path).toStdString());
    return lookupIn(
        image.get(), [&] { return bmffRefusal(path); }, maker, date, subSecond, cameraless, facts);
}

bool lookupCaptureDate(const unsigned char *data, std::size_t size, QString *maker, QDateTime &date)
{
    enableBmffReader();
    if (size > std::size_t(std::numeric_limits<long>::max()))
        throw std::length_error("image too large");
    auto image = Exiv2::ImageFactory::open(data, long(size));
    const auto bytes = [&] {
        return bmffRefusal(QByteArray::fromRawData(
            reinterpret_cast<const char *>(data), int(qMin<std::size_t>(size, INT_MAX))));
    };
    return lookupIn(image.get(), bytes, maker, date, nullptr, nullptr, nullptr);
}

void muteExifLibraryWarnings()
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::error);
}

namespace {

std::function<void(const QString &)> &libraryMessageRoute()
{
    static std::function<void(const QString &)> route;
    return route;
}

thread_local QVector<FHExifMessage> *t_capture = nullptr;

void sendOn(int level, const QString &text)
{
    if (libraryMessageRoute())
        libraryMessageRoute()(text);
    else
        Exiv2::LogMsg::defaultHandler(level, qUtf8Printable(text + QLatin1Char('\n')));
}

void routeLibraryMessage(int level, const char *text)
{
    const QString message = QString::fromUtf8(text).trimmed();
    if (t_capture)
        t_capture->append({ level, message });
    else
        sendOn(level, message);
}

void lockXmpParser(void *data, bool lock)
{
    std::mutex *mutex = static_cast<std::mutex *>(data);
    if (lock)
        mutex->lock();
    else
        mutex->unlock();
}

} // namespace

void routeExifLibraryMessages(std::function<void(const QString &text)> to)
{
    libraryMessageRoute() = std::move(to);
    Exiv2::LogMsg::setHandler(routeLibraryMessage);
}

void prepareExifLibraryForThreads()
{
    static std::once_flag once;
    std::call_once(once, [] {
        static std::mutex xmpLock;
        Exiv2::XmpParser::initialize(lockXmpParser, &xmpLock);
        enableBmffReader();
        if (Exiv2::LogMsg::handler() == Exiv2::LogMsg::defaultHandler)
            Exiv2::LogMsg::setHandler(routeLibraryMessage);
    });
}

FHExifMessageCapture::FHExifMessageCapture(QVector<FHExifMessage> *into)
    : m_previous(t_capture)
{
    t_capture = into;
}

FHExifMessageCapture::~FHExifMessageCapture()
{
    t_capture = m_previous;
}

void replayExifLibraryMessages(const QVector<FHExifMessage> &messages)
{
    for (const FHExifMessage &message : messages)
        sendOn(message.level, message.text);
}
