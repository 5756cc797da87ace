#include "EngineTest.h"
#include "HostileFiles.h"
#include "MediaFiles.h"
#include "engine/FHBmffCheck.h"
#include "engine/FHBoxReader.h"
#include "engine/FHCr3.h"
#include "engine/FHExif.h"
#include "engine/FHStreamDate.h"
#include "engine/FHVideoDate.h"

#include <QtTest>

#include <exiv2/exiv2.hpp>

#include <ctime>
#include <memory>

using namespace MediaFiles;

namespace {

const QString Stamp = QStringLiteral("yyyy-MM-dd hh:mm:ss");
const QString CameraFormats = QStringLiteral(QUILM_TESTDATA_DIR "/camera-formats/");

// 2019-05-12 11:45:01 UTC, 13:45:01 in Berlin.
constexpr quint64 May2019 = SecondsTo1970 + 1557661501;

QByteArray phoneMovie(const QByteArray &creationDate, quint64 header = May2019)
{
    return movie(movieHeader(header)
        + keyedMetadata({ { "com.apple.quicktime.make", "Apple" },
            { "com.apple.quicktime.creationdate", creationDate } }));
}

QByteArray withSize(QByteArray bytes, int at, quint32 size)
{
    bytes.replace(at, 4, be32(size));
    return bytes;
}

// A disk that fails every read.
class FailingDevice : public QIODevice
{
public:
    FailingDevice() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return false; }
    qint64 size() const override { return 1 << 20; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

// Counts what the reader takes from the file.
class CountingFile : public QFile
{
public:
    using QFile::QFile;
    qint64 bytesRead = 0;

protected:
    qint64 readData(char *data, qint64 length) override
    {
        const qint64 read = QFile::readData(data, length);
        bytesRead += qMax<qint64>(read, 0);
        return read;
    }
};

struct ManifestRow
{
    QString file, format, make, dateTimeOriginal, subSeconds, quickTimeDate;
};

QList<ManifestRow> manifest(const QStringList &formats)
{
    QList<ManifestRow> rows;
    QFile file(CameraFormats + "MANIFEST.tsv");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    file.readLine();
    while (!file.atEnd()) {
        const QStringList f = QString::fromUtf8(file.readLine()).split(QLatin1Char('\t'));
        if (f.size() > 7 && formats.contains(f.at(1)))
            rows.append({ f.at(0), f.at(1), f.at(2), f.at(4), f.at(5), f.at(7) });
    }
    return rows;
}

} // namespace

class TestMediaDate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void videoDate_data();
    void videoDate();
    void fileAndBytesAgree();
    void boundedReads_data();
    void boundedReads();
    void sampleVideos_data();
    void sampleVideos();
    void cr3_data();
    void cr3();
    void sampleCr3();
    void streamDate_data();
    void streamDate();
    void libraryGuard_data();
    void libraryGuard();
    void sampleStillImages_data();
    void sampleStillImages();

private:
    std::unique_ptr<ScopedTimeZone> m_zone;
};

void TestMediaDate::initTestCase()
{
    // Movie headers hold UTC: their local time depends on the zone.
    m_zone = std::make_unique<ScopedTimeZone>("Europe/Berlin");
    muteExifLibraryWarnings();
    Exiv2::enableBMFF(true);
}

void TestMediaDate::cleanupTestCase()
{
    m_zone.reset();
}

void TestMediaDate::videoDate_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("captured"); // local wall-clock time, empty for none
    QTest::addColumn<QString>("make");

    const int read = FHVideoDate::Read;
    const int keys = FHVideoDate::Keys;
    const int header = FHVideoDate::MovieHeader;
    const int none = FHVideoDate::None;
    const QString headerTime = QStringLiteral("2019-05-12 13:45:01");
    const quint64 now = SecondsTo1970 + quint64(QDateTime::currentSecsSinceEpoch());

    QTest::newRow("keys date keeps its wall clock")
        << phoneMovie("2019-10-20T18:34:30-0700") << read << keys << "2019-10-20 18:34:30"
        << "Apple";
    QTest::newRow("keys date with colon zone")
        << phoneMovie("2019-10-20T18:34:30+02:00") << read << keys << "2019-10-20 18:34:30"
        << "Apple";
    QTest::newRow("keys date in UTC")
        << phoneMovie("2019-10-20T18:34:30Z") << read << keys << "2019-10-20 18:34:30"
        << "Apple";
    QTest::newRow("keys date without zone")
        << phoneMovie("2019-10-20T18:34:30") << read << keys << "2019-10-20 18:34:30"
        << "Apple";
    QTest::newRow("zero keys date, header used")
        << phoneMovie("0000-00-00T00:00:00Z") << read << header << headerTime << "Apple";
    QTest::newRow("keys date before 1970, header used")
        << phoneMovie("1969-12-31T23:00:00Z") << read << header << headerTime << "Apple";
    QTest::newRow("keys date next year, header used")
        << phoneMovie(QDateTime::currentDateTimeUtc().addYears(1).toString(Qt::ISODate).toLatin1())
        << read << header << headerTime << "Apple";
    QTest::newRow("keys date with impossible zone, header used")
        << phoneMovie("2019-10-20T18:34:30+2500") << read << header << headerTime << "Apple";

    QTest::newRow("header only") << movie(movieHeader(May2019)) << read << header << headerTime
                                 << "";
    QTest::newRow("header version 1")
        << movie(movieHeader(May2019, 1)) << read << header << headerTime << "";
    QTest::newRow("header in winter time")
        << movie(movieHeader(SecondsTo1970 + 1546300800)) << read << header << "2019-01-01 01:00:00"
        << "";
    QTest::newRow("zero header") << movie(movieHeader(0)) << read << none << ""
                                 << "";
    QTest::newRow("header in 1904") << movie(movieHeader(1)) << read << none << ""
                                    << "";
    QTest::newRow("header in 1969")
        << movie(movieHeader(SecondsTo1970 - 3600)) << read << none << ""
        << "";
    QTest::newRow("header two days ahead")
        << movie(movieHeader(now + 2 * 86400)) << read << none << ""
        << "";
    QTest::newRow("header of 2^64 - 1") << movie(movieHeader(~quint64(0), 1)) << read << none << ""
                                        << "";
    QTest::newRow("header version 2") << movie(movieHeader(May2019, 2)) << read << none << ""
                                      << "";

    QTest::newRow("maker from user data") << movie(movieHeader(May2019) + userDataMake("SAMSUNG"))
                                          << read << header << headerTime << "SAMSUNG";
    QTest::newRow("keys maker before user data") << movie(movieHeader(May2019)
        + userDataMake("Other") + keyedMetadata({ { "com.apple.quicktime.make", "Apple" } }))
                                                 << read << header << headerTime << "Apple";
    QTest::newRow("ISO meta box with version") << movie(movieHeader(May2019)
        + fullBox("meta", 0,
            keyedMetadata({ { "com.apple.quicktime.creationdate", "2020-02-02T02:02:02+0100" } })
                .mid(8))) << read << keys << "2020-02-02 02:02:02"
                                               << "";

    // Sizes: 64-bit, to the end of the file, past the end.
    QTest::newRow("64-bit box sizes")
        << box("ftyp", "isom") + largeBox("moov", movieHeader(May2019)) << read << header
        << headerTime << "";
    QTest::newRow("size zero runs to the end")
        << box("ftyp", "isom") + be32(0) + "moov" + movieHeader(May2019) << read << header
        << headerTime << "";
    const QByteArray phone = phoneMovie("2019-10-20T18:34:30+0200");
    const QByteArray tracked = movie(movieHeader(May2019)
        + keyedMetadata({ { "com.apple.quicktime.creationdate", "2019-10-20T18:34:30+0200" } })
        + box("trak", QByteArray(200, '\0')));
    QTest::newRow("movie cut after its dates")
        << tracked.left(tracked.indexOf("mdat") - 100) << read << keys << "2019-10-20 18:34:30"
        << "";
    QTest::newRow("media past the end after the movie")
        << withSize(phone, phone.indexOf("mdat") - 4, 0xfffffff0u) << read << keys
        << "2019-10-20 18:34:30"
        << "Apple";
    QTest::newRow("media past the end, no movie")
        << box("ftyp", "isom") + be32(0xfffffff0u) + "mdat" + QByteArray(64, '\0')
        << int(FHVideoDate::Unreadable) << none << ""
        << "";
    QTest::newRow("no movie box") << box("ftyp", "isom") + box("free", "") << read << none << ""
                                  << "";

    // Damage that could make a walker loop or run away.
    QTest::newRow("box of size 4") << box("ftyp", "isom") + be32(4) + "free" + phone
                                   << int(FHVideoDate::Unreadable) << none << ""
                                   << "";
    QTest::newRow("64-bit size of zero") << box("ftyp", "isom") + be32(1) + "free" + be64(0) + phone
                                         << int(FHVideoDate::Unreadable) << none << ""
                                         << "";
    QByteArray manyBoxes;
    for (int i = 0; i < FHBoxReader::MaxHeaders + 10; ++i)
        manyBoxes += box("free", "");
    QTest::newRow("more boxes than the limit")
        << box("ftyp", "isom") + box("moov", manyBoxes + movieHeader(May2019))
        << int(FHVideoDate::Unreadable) << none << ""
        << "";
    const QByteArray dateKey("com.apple.quicktime.creationdate");
    const QByteArray item = box("data", be32(1) + be32(0) + "2019-10-20T18:34:30Z");
    QTest::newRow("item of a key not listed") << movie(box("meta",
        box("keys", be32(0) + be32(1) + be32(quint32(8 + dateKey.size())) + "mdta" + dateKey)
            + box("ilst", be32(quint32(8 + item.size())) + be32(2) + item)))
                                              << read << none << ""
                                              << "";

    QTest::newRow("JPEG") << HostileFiles::plainImage("JPG") << int(FHVideoDate::NotContainer)
                          << none << ""
                          << "";
    QTest::newRow("empty") << QByteArray() << int(FHVideoDate::NotContainer) << none << ""
                           << "";
    QTest::newRow("text") << QByteArray("Hello, world, this is text")
                          << int(FHVideoDate::NotContainer) << none << ""
                          << "";
}

void TestMediaDate::videoDate()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(int, source);
    QFETCH(QString, captured);
    QFETCH(QString, make);

    const FHVideoDate result = readVideoDate(bytes);
    QCOMPARE(int(result.status), status);
    QCOMPARE(int(result.source), source);
    QCOMPARE(result.captured.toString(Stamp), captured);
    QCOMPARE(result.make, make);
    QCOMPARE(result.problem.isEmpty(), status == FHVideoDate::Read);
}

void TestMediaDate::fileAndBytesAgree()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray bytes = phoneMovie("2019-10-20T18:34:30+0200");
    QFile file(dir.filePath("clip.mov"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    file.close();

    const FHVideoDate fromFile = readVideoDate(file.fileName());
    QCOMPARE(int(fromFile.source), int(FHVideoDate::Keys));
    QCOMPARE(fromFile.captured, readVideoDate(bytes).captured);
    QCOMPARE(fromFile.make, QStringLiteral("Apple"));

    const FHVideoDate missing = readVideoDate(dir.filePath("none.mov"));
    QCOMPARE(int(missing.status), int(FHVideoDate::Unreadable));
    QVERIFY(!missing.problem.isEmpty());

    FailingDevice failing;
    const FHVideoDate failed = readVideoDate(&failing);
    QCOMPARE(int(failed.status), int(FHVideoDate::Unreadable));
    QVERIFY(!failed.problem.isEmpty());
}

// Only the headers on the way to the dates are read, however large the media.
void TestMediaDate::boundedReads_data()
{
    QTest::addColumn<bool>("movieFirst");
    QTest::addColumn<qint64>("mediaSize");
    QTest::newRow("movie first, 1 GB of media") << true << (qint64(1) << 30);
    QTest::newRow("movie last, 5 GB of media") << false << (qint64(5) << 30);
}

void TestMediaDate::boundedReads()
{
    QFETCH(bool, movieFirst);
    QFETCH(qint64, mediaSize);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray head = box("ftyp", "isom" + be32(0) + "isom");
    const QByteArray moov = box("moov",
        movieHeader(May2019) + box("trak", QByteArray(4000, '\0'))
            + keyedMetadata({ { "com.apple.quicktime.creationdate", "2019-10-20T18:34:30Z" } }));
    const QByteArray mdat = be32(1) + "mdat" + be64(quint64(mediaSize));
    CountingFile file(dir.filePath("clip.mp4"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.write(movieFirst ? head + moov + mdat : head + mdat);
    // Sparse: the media takes no room on the disk.
    if (!file.resize(file.size() + mediaSize - 16))
        QSKIP("this file system cannot hold a sparse file that large");
    if (!movieFirst) {
        QVERIFY(file.seek(file.size()));
        QCOMPARE(file.write(moov), qint64(moov.size()));
    }
    file.close();

    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const FHVideoDate result = readVideoDate(&file);
    QCOMPARE(int(result.source), int(FHVideoDate::Keys));
    QVERIFY2(
        file.bytesRead > 0 && file.bytesRead < 1024, qPrintable(QString::number(file.bytesRead)));
}

// The manifest's QuickTime date is the movie header's value as stored, which
// is UTC (the CR3 row shows it: 04:24:47 there, 20:24:47 at -08:00 in EXIF).
// Where a file also holds a keyed date, that wins and must name the same moment.
void TestMediaDate::sampleVideos_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("headerUtc");
    const QList<ManifestRow> rows = manifest({ "MOV", "MP4", "3GP" });
    if (rows.isEmpty())
        QSKIP("the camera-formats test data is not there");
    for (const ManifestRow &row : rows)
        QTest::newRow(qPrintable(row.file)) << row.file << row.quickTimeDate;
}

void TestMediaDate::sampleVideos()
{
    QFETCH(QString, file);
    QFETCH(QString, headerUtc);

    const FHVideoDate result = readVideoDate(CameraFormats + file);
    QCOMPARE(int(result.status), int(FHVideoDate::Read));
    if (headerUtc.startsWith(QLatin1String("0000"))) {
        QCOMPARE(int(result.source), int(FHVideoDate::None));
        return;
    }
    const QDateTime utc = QDateTime::fromString(headerUtc, "yyyy:MM:dd hh:mm:ss");
    QVERIFY(utc.isValid());
    QDateTime header = utc;
    header.setTimeSpec(Qt::UTC);
    if (result.source == FHVideoDate::MovieHeader) {
        QCOMPARE(result.captured.toString(Stamp), header.toLocalTime().toString(Stamp));
    } else {
        QCOMPARE(int(result.source), int(FHVideoDate::Keys));
        QVERIFY2(qAbs(result.captured.secsTo(header.toLocalTime())) <= 14 * 3600,
            qPrintable(result.captured.toString(Stamp)));
    }
}

void TestMediaDate::cr3_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("make");
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("problem");

    using HostileFiles::ascii;
    const QByteArray cmt1 = HostileFiles::tiff({ ascii(0x010f, "Canon") }, {}).bytes;
    const QByteArray cmt2
        = HostileFiles::tiff({ ascii(0x9003, "2025:09:06 20:24:47"), ascii(0x9291, "72") }, {})
              .bytes;
    const QByteArray raw = MediaFiles::cr3(cmt1, cmt2);
    const QString date = QStringLiteral("2025:09:06 20:24:47");

    QTest::newRow("whole") << raw << "Canon" << date << false;
    QTest::newRow("media past the end")
        << raw + be32(0x7fffffff) + "mdat" + QByteArray(32, '\0') << "Canon" << date << false;
    QTest::newRow("movie box cut in CMT2") << raw.left(raw.indexOf("CMT2") + 20) << "Canon"
                                           << "" << false;
    QTest::newRow("no CMT1") << MediaFiles::cr3(QByteArray(), cmt2) << "" << date << false;
    QTest::newRow("blocks not TIFF") << MediaFiles::cr3("junk", "more junk") << ""
                                     << "" << true;
    QTest::newRow("other brand") << QByteArray(raw).replace("crx ", "heic") << ""
                                 << "" << false;
    QTest::newRow("movie") << movie(movieHeader(May2019)) << ""
                           << "" << false;
}

void TestMediaDate::cr3()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, make);
    QFETCH(QString, date);
    QFETCH(bool, problem);

    Exiv2::ExifData exif;
    QString why;
    const bool read = readCr3Exif(bytes, exif, &why);
    QCOMPARE(read, !make.isEmpty() || !date.isEmpty());
    QCOMPARE(!why.isEmpty(), problem);
    const auto value = [&](const char *key) {
        const auto it = exif.findKey(Exiv2::ExifKey(key));
        return it == exif.end() ? QString() : QString::fromStdString(it->toString());
    };
    QCOMPARE(value("Exif.Image.Make"), make);
    QCOMPARE(value("Exif.Photo.DateTimeOriginal"), date);
    QCOMPARE(value("Exif.Photo.SubSecTimeOriginal"), date.isEmpty() ? "" : "72");
}

void TestMediaDate::sampleCr3()
{
    const QList<ManifestRow> rows = manifest({ "CR3" });
    if (rows.isEmpty())
        QSKIP("the camera-formats test data is not there");
    for (const ManifestRow &row : rows) {
        Exiv2::ExifData exif;
        QVERIFY2(readCr3Exif(CameraFormats + row.file, exif), qPrintable(row.file));
        QCOMPARE(QString::fromStdString(exif["Exif.Image.Make"].toString()), row.make);
        QCOMPARE(QString::fromStdString(exif["Exif.Photo.DateTimeOriginal"].toString()),
            row.dateTimeOriginal);
        QCOMPARE(QString::fromStdString(exif["Exif.Photo.SubSecTimeOriginal"].toString()),
            row.subSeconds);
    }
}

void TestMediaDate::streamDate_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("date");

    // Zone +01:00, 2008-12, then 31 23:16:24, as a Canon camcorder writes them.
    const QByteArray yearMonth("\x18\x02\x20\x08\x12", 5);
    const QByteArray dayTime("\x19\x31\x23\x16\x24", 5);
    const QByteArray other("\x70\xca\xf4\xff\xff", 5);
    const QByteArray sei = mdpmMessage({ yearMonth, dayTime, other });
    const QByteArray stream = QByteArray(400, '\0') + sei;
    const QString eve = QStringLiteral("2008-12-31 23:16:24");

    QTest::newRow("188-byte packets") << transportStream(stream, false) << eve;
    QTest::newRow("192-byte packets") << transportStream(stream, true) << eve;
    QTest::newRow("message split across packets")
        << transportStream(QByteArray(170, '\0') + sei, false) << eve;
    QTest::newRow("escaped zeros") << transportStream(
        stream.left(400) + mdpmMessage({ yearMonth, QByteArray("\x19\x01\x00\x00\x01", 5) }), false)
                                   << "2008-12-01 00:00:01";
    QTest::newRow("month 13") << transportStream(
        mdpmMessage({ QByteArray("\x18\x02\x20\x08\x13", 5), dayTime }), false)
                              << "";
    QTest::newRow("not decimal") << transportStream(
        mdpmMessage({ QByteArray("\x18\x02\x20\x0a\x12", 5), dayTime }), false)
                                 << "";
    QTest::newRow("no time") << transportStream(mdpmMessage({ yearMonth }), false) << "";
    QTest::newRow("no block") << transportStream(QByteArray(1000, '\x01'), false) << "";
    QTest::newRow("movie") << movie(movieHeader(May2019)) << "";

    QFile sample(CameraFormats + "exiftool__M2TS.mts");
    if (sample.open(QIODevice::ReadOnly))
        QTest::newRow("camcorder sample") << sample.readAll() << eve;
}

void TestMediaDate::streamDate()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, date);
    QCOMPARE(readStreamDate(bytes).toString(Stamp), date);
}

// Boxes nested n deep cost the library's BMFF reader n copies: 20,000 levels
// would take it over a gigabyte.
void TestMediaDate::libraryGuard_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal"); // start of the text, empty: read
    QTest::addColumn<QString>("date");

    const QByteArray tiff = HostileFiles::cameraTiff("Canon", "2014:12:31 23:34:45").bytes;
    const QByteArray heic = box("ftyp", "heic" + be32(0) + "mif1heic") + box("Exif", tiff);
    QTest::newRow("photo") << heic << ""
                           << "2014-12-31 23:34:45";
    QTest::newRow("compatible brand")
        << box("ftyp", "msf1" + be32(0) + "iso8avif") + box("Exif", tiff) << ""
        << "2014-12-31 23:34:45";
    QTest::newRow("MP4") << movie(movieHeader(May2019), "isom") << "The file holds a video"
                         << "";
    QByteArray nested = box("free", "");
    for (int i = 0; i < 20000; ++i)
        nested = box("moov", nested);
    QTest::newRow("nested 20,000 deep")
        << box("ftyp", QByteArray("heic") + be32(0)) + nested << "The file's boxes nest too deep"
        << "";
    QByteArray many;
    for (int i = 0; i < FHBoxReader::MaxHeaders; ++i)
        many += box("free", "");
    QTest::newRow("more boxes than the limit")
        << heic + many << "The file's boxes are damaged or too many"
        << "";
}

void TestMediaDate::libraryGuard()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    QFETCH(QString, date);

    QCOMPARE(bmffRefusal(bytes).left(refusal.size()), refusal);
    QString maker;
    QDateTime found;
    try {
        lookupCaptureDate(reinterpret_cast<const unsigned char *>(bytes.constData()),
            std::size_t(bytes.size()), &maker, found);
        QVERIFY2(refusal.isEmpty(), "the library was handed the file");
    } catch (const std::exception &e) {
        QVERIFY2(QString::fromUtf8(e.what()).startsWith(refusal) && !refusal.isEmpty(), e.what());
    }
    QCOMPARE(found.toString(Stamp), date);
}

// What the library's own BMFF reader makes of the HEIF and AVIF samples.
void TestMediaDate::sampleStillImages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("date");
    const QList<ManifestRow> rows = manifest({ "HEIC", "HEIF", "AVIF" });
    if (rows.isEmpty())
        QSKIP("the camera-formats test data is not there");
    for (const ManifestRow &row : rows)
        QTest::newRow(qPrintable(row.file)) << row.file << row.dateTimeOriginal;
}

void TestMediaDate::sampleStillImages()
{
    QFETCH(QString, file);
    QFETCH(QString, date);
    QString maker;
    QDateTime found;
    QCOMPARE(lookupCaptureDate(CameraFormats + file, &maker, found), !date.isEmpty());
    QCOMPARE(found.toString("yyyy:MM:dd hh:mm:ss"), date);
}

QUILM_ENGINE_TEST_MAIN(TestMediaDate)

#include "tst_mediadate.moc"
