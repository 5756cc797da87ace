#include "EngineTest.h"
#include "engine/FHDateText.h"
#include "engine/FHNameDate.h"

#include <QtTest>

#include <ctime>

namespace {
const QString Stamp = QStringLiteral("yyyy-MM-dd hh:mm:ss");
}

class TestDateText : public QObject
{
    Q_OBJECT

private slots:
    void exifText_data();
    void exifText();
    void isoText_data();
    void isoText();
    void timeSkippedByDaylightSaving();
    void subSeconds_data();
    void subSeconds();
    void fileName_data();
    void fileName();
};

void TestDateText::exifText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // empty: no date

    const QString eve = QStringLiteral("2014-12-31 23:34:45");
    QTest::newRow("camera") << "2014:12:31 23:34:45" << eve;
    QTest::newRow("Z, as a real photo holds") << "2013:07:05 03:18:27Z"
                                              << "2013-07-05 03:18:27";
    QTest::newRow("zone with colon") << "2014:12:31 23:34:45+02:00" << eve;
    QTest::newRow("zone without colon") << "2014:12:31 23:34:45-0800" << eve;
    QTest::newRow("trailing blanks") << "2014:12:31 23:34:45  " << eve;
    QTest::newRow("trailing NULs") << QString("2014:12:31 23:34:45") + QChar(0) + QChar(0) << eve;
    QTest::newRow("blank") << "                   "
                           << "";
    QTest::newRow("zero date") << "0000:00:00 00:00:00"
                               << "";
    QTest::newRow("no such day") << "2019:02:30 10:00:00"
                                 << "";
    QTest::newRow("hour 24") << "2014:12:31 24:00:00"
                             << "";
    QTest::newRow("dashes") << "2014-12-31 23:34:45"
                            << "";
    QTest::newRow("leading text") << "x2014:12:31 23:34:45"
                                  << "";
    QTest::newRow("text after") << "2014:12:31 23:34:45 noon"
                                << "";
    QTest::newRow("zone of 25 hours") << "2014:12:31 23:34:45+25:00"
                                      << "";
    QTest::newRow("no seconds") << "2014:12:31 23:34"
                                << "";
}

void TestDateText::exifText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QDateTime date = FHDateText::fromExif(text);
    QCOMPARE(date.isValid(), !expected.isEmpty());
    QCOMPARE(date.toString(Stamp), expected);
    if (date.isValid())
        QCOMPARE(date.timeSpec(), Qt::LocalTime);
}

void TestDateText::isoText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("instantUtc"); // the moment meant, for zoned texts

    QTest::newRow("phone") << "2019-10-20T18:34:30+0200"
                           << "2019-10-20 18:34:30"
                           << "2019-10-20 16:34:30";
    QTest::newRow("colon zone") << "2019-10-20T18:34:30-07:00"
                                << "2019-10-20 18:34:30"
                                << "2019-10-21 01:34:30";
    QTest::newRow("Z with fraction") << "2019-10-20T18:34:30.250Z"
                                     << "2019-10-20 18:34:30"
                                     << "2019-10-20 18:34:30";
    QTest::newRow("EXIF form") << "2019:10:20 18:34:30"
                               << ""
                               << "";
    QTest::newRow("zero") << "0000-00-00T00:00:00Z"
                          << ""
                          << "";
}

void TestDateText::isoText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QString, instantUtc);
    QDateTime instant;
    QCOMPARE(FHDateText::fromIso(text, &instant).toString(Stamp), expected);
    if (!instantUtc.isEmpty())
        QCOMPARE(instant.toUTC().toString(Stamp), instantUtc);
}

void TestDateText::timeSkippedByDaylightSaving()
{
    const ScopedTimeZone berlin("Europe/Berlin");
    if (QDateTime(QDate(2014, 3, 30), QTime(2, 30)).isValid())
        QSKIP("this system's local time has no gap on 30 March 2014");

    for (const QDateTime &date : { FHDateText::fromExif("2014:03:30 02:30:00"),
             FHDateText::fromIso("2014-03-30T02:30:00+0100"),
             dateFromFileName("IMG_20140330_023000.jpg") }) {
        QVERIFY(date.isValid());
        QCOMPARE(date.toString(Stamp), QStringLiteral("2014-03-30 02:30:00"));
    }
}

void TestDateText::subSeconds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digits");
    QTest::newRow("plain") << "72"
                           << "72";
    QTest::newRow("trailing blank") << "50 "
                                    << "50";
    QTest::newRow("leading zeros kept") << "054"
                                        << "054";
    QTest::newRow("leading blanks") << "  5"
                                    << "5";
    QTest::newRow("letters") << "abc"
                             << "";
    QTest::newRow("digits then letters") << "12ab3"
                                         << "12";
    QTest::newRow("NUL after") << QString("860627") + QChar(0) << "860627";
}

void TestDateText::subSeconds()
{
    QFETCH(QString, text);
    QFETCH(QString, digits);
    QCOMPARE(FHDateText::subSecondDigits(text), digits);
}

void TestDateText::fileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected"); // empty: no date

    const int nextYear = QDate::currentDate().year() + 1;
    QTest::newRow("camera phone") << "IMG_20190512_134501.jpg"
                                  << "2019-05-12 13:45:01";
    QTest::newRow("messenger, date only") << "IMG-20190512-WA0001.jpg"
                                          << "2019-05-12 12:00:00";
    QTest::newRow("milliseconds") << "PXL_20230101_123456789.jpg"
                                  << "2023-01-01 12:34:56";
    QTest::newRow("screenshot") << "Screenshot_2020-01-01-12-00-00.png"
                                << "2020-01-01 12:00:00";
    QTest::newRow("signal") << "signal-2021-03-04-120000.jpg"
                            << "2021-03-04 12:00:00";
    QTest::newRow("signal with milliseconds") << "signal-2021-03-04-12-00-00-123.jpg"
                                              << "2021-03-04 12:00:00";
    QTest::newRow("bare") << "20190512_134501.jpg"
                          << "2019-05-12 13:45:01";
    QTest::newRow("dots in time") << "2019-05-12 13.45.01.jpg"
                                  << "2019-05-12 13:45:01";
    QTest::newRow("at") << "WhatsApp Image 2020-01-01 at 12.00.00.jpeg"
                        << "2020-01-01 12:00:00";
    QTest::newRow("dashed date only") << "holiday 2019-05-12.jpg"
                                      << "2019-05-12 12:00:00";
    QTest::newRow("folder ignored") << "/photos/2019-05-12/DSC01234.JPG"
                                    << "";
    QTest::newRow("next year") << "IMG_" + QString::number(nextYear) + "0101_000000.jpg"
                               << QString("%1-01-01 00:00:00").arg(nextYear);
    QTest::newRow("the year after next")
        << "IMG_" + QString::number(nextYear + 1) + "0101_000000.jpg"
        << "";
    QTest::newRow("1990") << "IMG_19900101_000000.jpg"
                          << "1990-01-01 00:00:00";
    QTest::newRow("1989") << "IMG_19891231_235959.jpg"
                          << "";
    QTest::newRow("30 February") << "IMG_20190230_120000.jpg"
                                 << "";
    QTest::newRow("30 February, date only") << "IMG-20190230-WA0001.jpg"
                                            << "";
    QTest::newRow("hour 25") << "IMG_20190512_250000.jpg"
                             << "";
    QTest::newRow("minute 60") << "Screenshot_2020-01-01-12-60-00.png"
                               << "";
    QTest::newRow("month 13") << "20191301_120000.jpg"
                              << "";
    QTest::newRow("digits run on") << "IMG_201905121_134501.jpg"
                                   << "";
    QTest::newRow("camera counter") << "DSC01234.JPG"
                                    << "";
    QTest::newRow("no digits") << "holiday.jpg"
                               << "";
}

void TestDateText::fileName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const QDateTime date = dateFromFileName(name);
    QCOMPARE(date.isValid(), !expected.isEmpty());
    QCOMPARE(date.toString(Stamp), expected);
}

QUILM_ENGINE_TEST_MAIN(TestDateText)

#include "tst_datetext.moc"
