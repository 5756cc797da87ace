#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHCameraMakers.h"
#include "engine/FHExif.h"
#include "shell/FHexiv2Application.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <exiv2/exiv2.hpp>

#include <ctime>

namespace {
const QString DefaultMakers = QStringLiteral("Canon|Apple|Nikon|Samsung");
}

class TestExif : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readExif_data();
    void readExif();
    void timeSkippedByDaylightSaving();
    void lookup_data();
    void lookup();
    void unreadableFiles_data();
    void unreadableFiles();
    void cameraJpegs_data();
    void cameraJpegs();

private:
    QTemporaryDir m_dir;
};

void TestExif::initTestCase()
{
    QVERIFY(m_dir.isValid());
    muteExifLibraryWarnings();
}

void TestExif::readExif_data()
{
    QTest::addColumn<QString>("makers");
    QTest::addColumn<QString>("make"); // null: no Make tag
    QTest::addColumn<QString>("date"); // null: no DateTimeOriginal tag
    QTest::addColumn<QString>("expectedMakers");
    QTest::addColumn<QDateTime>("expectedDate"); // invalid: no capture date

    const QDateTime newYearsEve(QDate(2014, 12, 31), QTime(23, 34, 45), Qt::LocalTime);
    const QString eve = QStringLiteral("2014:12:31 23:34:45");
    const QString none;
    QTest::newRow("known maker") << DefaultMakers << "Canon" << eve << DefaultMakers << newYearsEve;
    QTest::newRow("other case") << DefaultMakers << "canon" << eve << DefaultMakers << newYearsEve;
    QTest::newRow("new maker appended") << DefaultMakers << "NIKON CORPORATION" << eve
                                        << DefaultMakers + "|NIKON CORPORATION" << newYearsEve;
    QTest::newRow("new maker without its trailing blanks")
        << DefaultMakers << "KONICA MINOLTA   " << eve << DefaultMakers + "|KONICA MINOLTA"
        << newYearsEve;
    QTest::newRow("blanks around a known maker")
        << DefaultMakers << " Apple  " << eve << DefaultMakers << newYearsEve;
    QTest::newRow("prefix of an entry")
        << DefaultMakers << "Sam" << eve << DefaultMakers << newYearsEve;
    QTest::newRow("blank maker") << DefaultMakers << " " << eve << DefaultMakers << newYearsEve;
    QTest::newRow("empty list") << ""
                                << "SONY" << eve << "|SONY" << newYearsEve;
    QTest::newRow("no make, date ignored")
        << DefaultMakers << none << eve << DefaultMakers << QDateTime();
    QTest::newRow("new maker, no date")
        << DefaultMakers << "Leica" << none << DefaultMakers + "|Leica" << QDateTime();
    QTest::newRow("new maker, zero date")
        << DefaultMakers << "Leica"
        << "0000:00:00 00:00:00" << DefaultMakers + "|Leica" << QDateTime();
    QTest::newRow("dashes instead of colons")
        << DefaultMakers << "Canon"
        << "2014-12-31 23:34:45" << DefaultMakers << QDateTime();
    QTest::newRow("no such day") << DefaultMakers << "Canon"
                                 << "2014:02:30 10:00:00" << DefaultMakers << QDateTime();
    QTest::newRow("hour 24") << DefaultMakers << "Canon"
                             << "2014:12:31 24:00:00" << DefaultMakers << QDateTime();
    QTest::newRow("empty date") << DefaultMakers << "Canon"
                                << "" << DefaultMakers << QDateTime();
    QTest::newRow("leap day") << DefaultMakers << "Canon"
                              << "2016:02:29 00:00:01" << DefaultMakers
                              << QDateTime(QDate(2016, 2, 29), QTime(0, 0, 1));
}

void TestExif::readExif()
{
    QFETCH(QString, makers);
    QFETCH(QString, make);
    QFETCH(QString, date);
    QFETCH(QString, expectedMakers);
    QFETCH(QDateTime, expectedDate);

    Exiv2::ExifData exif;
    if (!make.isNull())
        exif["Exif.Image.Make"] = make.toStdString();
    if (!date.isNull())
        exif["Exif.Photo.DateTimeOriginal"] = date.toStdString();
    const QDateTime untouched(QDate(2000, 1, 1), QTime(12, 0));
    QDateTime result = untouched;
    const bool found = FHexiv2Application::readExif(exif, makers, result);

    QCOMPARE(makers, expectedMakers);
    QCOMPARE(found, expectedDate.isValid());
    if (found)
        QCOMPARE(result, expectedDate);
    if (make.isNull() || date.isNull())
        QCOMPARE(result, untouched);
}

void TestExif::timeSkippedByDaylightSaving()
{
    const ScopedTimeZone berlin("Europe/Berlin");
    if (QDateTime(QDate(2014, 3, 30), QTime(2, 30)).isValid())
        QSKIP("this system's local time has no gap on 30 March 2014");

    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = "Canon";
    exif["Exif.Photo.DateTimeOriginal"] = "2014:03:30 02:30:00";
    QString makers = DefaultMakers;
    QDateTime date;
    QVERIFY(FHexiv2Application::readExif(exif, makers, date));
    QCOMPARE(date.date(), QDate(2014, 3, 30));
    QCOMPARE(date.time(), QTime(2, 30));
}

void TestExif::lookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("make");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("expectedMakers");
    QTest::addColumn<bool>("dated");

    const QString eve = QStringLiteral("2014:12:31 23:34:45");
    QTest::newRow("jpeg") << "a.JPG"
                          << "Pentax" << eve << DefaultMakers + "|Pentax" << true;
    QTest::newRow("jpeg lower-case suffix") << "b.jpeg"
                                            << "Canon" << eve << DefaultMakers << true;
    QTest::newRow("png") << "c.PNG"
                         << "Olympus" << eve << DefaultMakers + "|Olympus" << true;
    QTest::newRow("jpeg without exif")
        << "d.JPG" << QString() << QString() << DefaultMakers << false;
    QTest::newRow("gif") << "e.GIF" << QString() << QString() << DefaultMakers << false;
    QTest::newRow("date without make") << "f.JPG" << QString() << eve << DefaultMakers << false;
    QTest::newRow("make without date") << "g.JPG"
                                       << "Ricoh" << QString() << DefaultMakers + "|Ricoh" << false;
    QTest::newRow("invalid date") << "h.PNG"
                                  << "Ricoh"
                                  << "2014:13:01 00:00:00" << DefaultMakers + "|Ricoh" << false;
}

void TestExif::lookup()
{
    QFETCH(QString, name);
    QFETCH(QString, make);
    QFETCH(QString, date);
    QFETCH(QString, expectedMakers);
    QFETCH(bool, dated);

    const QString path = m_dir.filePath(name);
    QVERIFY(TestImages::makeImage(path, make, date));
    QStringList makers = FHCameraMakers::fromText(DefaultMakers);
    QString maker;
    QDateTime result;
    QCOMPARE(lookupCaptureDate(path, &maker, result), dated);
    FHCameraMakers::add(makers, maker);
    QCOMPARE(FHCameraMakers::toText(makers), expectedMakers);
    if (dated)
        QCOMPARE(result, QDateTime(QDate(2014, 12, 31), QTime(23, 34, 45)));
}

void TestExif::unreadableFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("text named JPG") << "text.JPG" << QByteArray("not a picture at all\n");
    QTest::newRow("empty file") << "empty.JPG" << QByteArray();
    QTest::newRow("missing file") << "missing.JPG" << QByteArray("<none>");

    // A download cut off inside its EXIF block.
    const QString full = m_dir.filePath(QStringLiteral("full.JPG"));
    QVERIFY(TestImages::makeImage(
        full, QStringLiteral("Canon"), QStringLiteral("2014:12:31 23:34:45")));
    QFile file(full);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTest::newRow("truncated jpeg") << "truncated.JPG" << file.read(40);
}

void TestExif::unreadableFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = m_dir.filePath(name);
    if (content != "<none>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString maker;
    QDateTime date;
    try {
        lookupCaptureDate(path, &maker, date);
        QFAIL("no exception for an unreadable file");
    } catch (const Exiv2::Error &e) {
        QVERIFY(qstrlen(e.what()) > 0);
    }
    QVERIFY(maker.isEmpty());
}

void TestExif::cameraJpegs_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("make");
    QTest::addColumn<QString>("date");

    const QString folder = QStringLiteral(QUILM_TESTDATA_DIR "/camera-jpeg");
    QFile manifest(folder + QStringLiteral("/MANIFEST.tsv"));
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text))
        QSKIP("the camera JPEGs are not on this machine");
    manifest.readLine(); // column names
    while (!manifest.atEnd()) {
        const QString line = QString::fromUtf8(manifest.readLine()).remove(QLatin1Char('\n'));
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != 3)
            continue;
        QTest::newRow(qPrintable(fields[0]))
            << folder + QLatin1Char('/') + fields[0] << fields[1] << fields[2];
    }
}

void TestExif::cameraJpegs()
{
    QFETCH(QString, path);
    QFETCH(QString, make);
    QFETCH(QString, date);

    QString maker;
    QDateTime result;
    const bool dated = lookupCaptureDate(path, &maker, result);
    const QDateTime expected = QDateTime::fromString(date, QStringLiteral("yyyy:MM:dd hh:mm:ss"));
    QCOMPARE(dated, !make.isEmpty() && expected.isValid());
    if (dated)
        QCOMPARE(result, expected);
    if (!make.trimmed().isEmpty())
        QCOMPARE(maker, make.trimmed());
}

QUILM_TEST_MAIN(TestExif)
#include "tst_exif.moc"
