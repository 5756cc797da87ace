#include "EngineTest.h"
#include "Invariant.h"
#include "MediaFiles.h"
#include "SortCommand.h"
#include "TestImages.h"
#include "engine/FHCameraClock.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace FHCameraClock;

namespace {

struct Photo
{
    const char *name;
    const char *make;
    const char *model;
    const char *date; // as the camera's clock showed it
    QList<QPair<QString, QString>> tags = {};
};

bool write(const QString &folder, const Photo &photo)
{
    const QString path = folder + QLatin1Char('/') + QLatin1String(photo.name);
    return TestImages::makeImage(path, QLatin1String(photo.make), QLatin1String(photo.date))
        && TestImages::writeTags(path,
            QList<QPair<QString, QString>> { { "Exif.Image.Model", QLatin1String(photo.model) } }
                + photo.tags);
}

// A phone's video whose only date is its movie header's UTC moment.
bool writeVideo(const QString &path, const QDateTime &utc)
{
    using namespace MediaFiles;
    QFile file(path);
    const QByteArray moov = movieHeader(quint64(utc.toSecsSinceEpoch()) + SecondsTo1970)
        + keyedMetadata({ { "com.apple.quicktime.make", "Apple" },
            { "com.apple.quicktime.model", "iPhone 12" } });
    return file.open(QIODevice::WriteOnly) && file.write(movie(moov)) > 0;
}

struct Run
{
    int exitCode = -1;
    QByteArray said;
    QList<QJsonObject> events;

    QJsonObject moveOf(const QString &name) const
    {
        for (const QJsonObject &e : events) {
            if (e.value("event") == "move" && e.value("source").toString().endsWith('/' + name))
                return e;
        }
        return {};
    }
    QJsonObject summary() const { return events.isEmpty() ? QJsonObject() : events.last(); }
};

Run sort(const QStringList &arguments, const char *zone = "Europe/Berlin")
{
    SortCommand command;
    command.arguments = QStringList { "--json", "--types", "all" } + arguments;
    command.environment.insert("TZ", QLatin1String(zone));
    Run run;
    run.exitCode = command.run();
    run.said = command.err;
    if (run.exitCode != 2 && !command.parseEvents(run.events).isEmpty())
        run.exitCode = -2;
    return run;
}

} // namespace

class TestTimeline : public QObject
{
    Q_OBJECT

private slots:
    void shiftTexts_data();
    void shiftTexts();
    void zoneTexts_data();
    void zoneTexts();
    void alignment_data();
    void alignment();
    void twoCameras_data();
    void twoCameras();
    void videoZone_data();
    void videoZone();
    void shiftsRefused_data();
    void shiftsRefused();
    void shiftedRunUndone();
    void clockOffByGps();
};

void TestTimeline::shiftTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("written"); // back as text

    QTest::newRow("an hour") << "+01:00" << true << 3600LL << "+01:00";
    QTest::newRow("behind") << "-00:07" << true << -420LL << "-00:07";
    QTest::newRow("seconds") << "+00:00:45" << true << 45LL << "+00:00:45";
    QTest::newRow("days") << "-2.03:30" << true << -(2 * 86400LL + 12600) << "-2.03:30";
    QTest::newRow("years") << "+3000.00:00" << true << 3000 * 86400LL << "+3000.00:00";
    QTest::newRow("no sign") << "01:00" << false << 0LL << "";
    QTest::newRow("24 hours") << "+24:00" << false << 0LL << "";
    QTest::newRow("60 minutes") << "+01:60" << false << 0LL << "";
    QTest::newRow("words") << "+an hour" << false << 0LL << "";
    QTest::newRow("past a century") << "+99999.00:00" << false << 0LL << "";
}

void TestTimeline::shiftTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, seconds);
    QFETCH(QString, written);
    qint64 parsed = 7;
    QCOMPARE(parseShift(text, &parsed), valid);
    QCOMPARE(parsed, valid ? seconds : 7);
    if (valid)
        QCOMPARE(shiftText(parsed), written);
}

void TestTimeline::zoneTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("seconds");

    QTest::newRow("east") << "+09:00" << true << 32400;
    QTest::newRow("west, no colon") << "-0530" << true << -19800;
    QTest::newRow("NULs after") << QString("+02:00") + QChar(0) + QChar(0) << true << 7200;
    QTest::newRow("+25:00") << "+25:00" << false << 0;
    QTest::newRow("Z") << "Z" << false << 0;
    QTest::newRow("blanks") << "      " << false << 0;
    QTest::newRow("NULs") << QString(6, QChar(0)) << false << 0;
}

void TestTimeline::zoneTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, seconds);
    int parsed = 0;
    QCOMPARE(parseZone(text, &parsed), valid);
    QCOMPARE(parsed, seconds);
}

void TestTimeline::alignment_data()
{
    QTest::addColumn<QDateTime>("cameraA");
    QTest::addColumn<QDateTime>("referenceB");
    QTest::addColumn<qint64>("offset");

    const auto at
        = [](const char *text) { return QDateTime::fromString(QLatin1String(text), Qt::ISODate); };
    QTest::newRow("an hour behind")
        << at("2024-05-17T11:45:00") << at("2024-05-17T12:45:00") << 3600LL;
    QTest::newRow("to the second ahead")
        << at("2024-05-17T12:00:30") << at("2024-05-17T11:58:01") << -149LL;
    QTest::newRow("factory date of 2016")
        << at("2016-01-01T00:03:00") << at("2024-05-17T12:00:00")
        << QDateTime(QDate(2016, 1, 1), QTime(0, 3), Qt::UTC)
               .secsTo(QDateTime(QDate(2024, 5, 17), QTime(12, 0), Qt::UTC));
}

void TestTimeline::alignment()
{
    QFETCH(QDateTime, cameraA);
    QFETCH(QDateTime, referenceB);
    QFETCH(qint64, offset);
    QCOMPARE(FHCameraClock::alignment(cameraA, referenceB), offset);
    QCOMPARE(shifted(cameraA, offset), referenceB);
}

void TestTimeline::twoCameras_data()
{
    QTest::addColumn<QStringList>("shifts");
    QTest::addColumn<QStringList>("order"); // the names, by number

    // True time: the camera at the harbour at 11:00, the phone on the boat at
    // 11:40, the phone at lunch at 12:30, the camera at lunch at 12:45; the
    // camera's clock an hour behind. Each scene a burst.
    const QStringList trueOrder { "IMG_1.JPG", "IMG_2.JPG", "P_1.JPG", "P_2.JPG", "P_3.JPG",
        "P_4.JPG", "IMG_3.JPG", "IMG_4.JPG" };
    QTest::newRow("shifted") << QStringList { "EOS=+01:00" } << trueOrder;
    QTest::newRow("by its full name")
        << QStringList { "Canon EOS 80D #0123456789=+01:00" } << trueOrder;
    QTest::newRow("as the clocks showed")
        << QStringList {}
        << QStringList { "IMG_1.JPG", "IMG_2.JPG", "P_1.JPG", "P_2.JPG", "IMG_3.JPG", "IMG_4.JPG",
               "P_3.JPG", "P_4.JPG" };
}

void TestTimeline::twoCameras()
{
    QFETCH(QStringList, shifts);
    QFETCH(QStringList, order);
    QTemporaryDir root;
    const QString in = root.filePath("in");
    QVERIFY(QDir().mkpath(in));
    const QList<QPair<QString, QString>> serial { { "Exif.Photo.BodySerialNumber", "0123456789" } };
    for (const Photo &photo :
        { Photo { "IMG_1.JPG", "Canon", "Canon EOS 80D", "2024:05:17 10:00:00", serial },
            Photo { "IMG_2.JPG", "Canon", "Canon EOS 80D", "2024:05:17 10:00:01", serial },
            Photo { "IMG_3.JPG", "Canon", "Canon EOS 80D", "2024:05:17 11:45:00", serial },
            Photo { "IMG_4.JPG", "Canon", "Canon EOS 80D", "2024:05:17 11:45:01", serial },
            Photo { "P_1.JPG", "Apple", "iPhone 12", "2024:05:17 11:40:00" },
            Photo { "P_2.JPG", "Apple", "iPhone 12", "2024:05:17 11:40:01" },
            Photo { "P_3.JPG", "Apple", "iPhone 12", "2024:05:17 12:30:00" },
            Photo { "P_4.JPG", "Apple", "iPhone 12", "2024:05:17 12:30:01" } })
        QVERIFY(write(in, photo));
    QStringList arguments;
    for (const QString &shift : shifts)
        arguments << "--shift" << shift;
    const Run run = sort(arguments + QStringList { "--dry-run", in, root.filePath("out") });
    QCOMPARE(run.exitCode, 0);
    QStringList numbered;
    for (const QJsonObject &e : run.events) {
        if (e.value("event") == "move")
            numbered << QFileInfo(e.value("source").toString()).fileName();
    }
    QCOMPARE(numbered, order);
    const QJsonObject late = run.moveOf("IMG_3.JPG");
    QCOMPARE(late.value("camera").toString(), QStringLiteral("Canon EOS 80D #0123456789"));
    QCOMPARE(run.moveOf("P_1.JPG").value("camera").toString(), QStringLiteral("Apple iPhone 12"));
    if (!shifts.isEmpty()) {
        QCOMPARE(late.value("captured").toString(), QStringLiteral("2024-05-17T12:45:00"));
        QCOMPARE(late.value("cameraTime").toString(), QStringLiteral("2024-05-17T11:45:00"));
        QCOMPARE(late.value("shift").toString(), QStringLiteral("+01:00"));
    } else {
        QVERIFY(!late.contains("shift") && !late.contains("cameraTime"));
    }
}

void TestTimeline::videoZone_data()
{
    QTest::addColumn<bool>("photosOfThePhone");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("zoneFrom");
    QTest::addColumn<QString>("captured");

    // 23:30 in Tokyo is 14:30 UTC, and 04:30 the next day where the machine
    // sorts (UTC+14).
    QTest::newRow("the zone of its phone's photos") << true << "2024-05-17"
                                                    << "camera"
                                                    << "2024-05-17T23:30:00+09:00";
    QTest::newRow("the machine's zone") << false << "2024-05-18"
                                        << "machine"
                                        << "2024-05-18T04:30:00+14:00";
}

void TestTimeline::videoZone()
{
    QFETCH(bool, photosOfThePhone);
    QFETCH(QString, folder);
    QFETCH(QString, zoneFrom);
    QFETCH(QString, captured);
    QTemporaryDir root;
    const QString in = root.filePath("in");
    QVERIFY(QDir().mkpath(in));
    const QList<QPair<QString, QString>> tokyo { { "Exif.Photo.OffsetTimeOriginal", "+09:00" } };
    if (photosOfThePhone) {
        QVERIFY(write(in, { "IMG_1.JPG", "Apple", "iPhone 12", "2024:05:17 23:10:00", tokyo }));
        QVERIFY(write(in, { "IMG_2.JPG", "Apple", "iPhone 12", "2024:05:17 23:50:00", tokyo }));
    }
    // Another camera's photo in another zone is no guide.
    QVERIFY(write(in,
        { "DSC_1.JPG", "Nikon", "D750", "2024:05:17 23:40:00",
            { { "Exif.Photo.OffsetTimeOriginal", "-05:00" } } }));
    QVERIFY(writeVideo(in + "/IMG_3.MOV", QDateTime(QDate(2024, 5, 17), QTime(14, 30), Qt::UTC)));

    const Run run = sort({ "--folders", "day", in, root.filePath("out") }, "Pacific/Kiritimati");
    QCOMPARE(run.exitCode, 0);
    const QJsonObject video = run.moveOf("IMG_3.MOV");
    QCOMPARE(video.value("zoneFrom").toString(), zoneFrom);
    QCOMPARE(video.value("captured").toString(), captured);
    QCOMPARE(QFileInfo(video.value("target").toString()).dir().dirName(), folder);
    if (photosOfThePhone)
        QCOMPARE(
            QFileInfo(run.moveOf("IMG_1.JPG").value("target").toString()).dir().dirName(), folder);
}

void TestTimeline::shiftsRefused_data()
{
    QTest::addColumn<QString>("shift");
    QTest::addColumn<QString>("said");

    QTest::newRow("bad syntax") << "EOS=+1h"
                                << "--shift takes CAMERA=";
    QTest::newRow("no such camera") << "Leica=+01:00"
                                    << "the cameras found: 'Canon EOS 80D'";
    QTest::newRow("two cameras") << "Canon=+01:00"
                                 << "more than one camera";
    QTest::newRow("before 1970") << "80D=-20000.00:00"
                                 << "out of the years";
    QTest::newRow("past next year") << "80D=+2000.00:00"
                                    << "out of the years";
}

void TestTimeline::shiftsRefused()
{
    QFETCH(QString, shift);
    QFETCH(QString, said);
    QTemporaryDir root;
    const QString in = root.filePath("in");
    QVERIFY(QDir().mkpath(in));
    QVERIFY(write(in, { "A.JPG", "Canon", "Canon EOS 80D", "2024:05:17 10:00:00" }));
    QVERIFY(write(in, { "B.JPG", "Canon", "Canon EOS R5", "2024:05:17 10:00:00" }));
    const QStringList before = TestImages::treeOf(in);
    const Run run = sort({ "--shift", shift, in, root.filePath("out") });
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.said.contains(said.toUtf8()), run.said.constData());
    QCOMPARE(TestImages::treeOf(in), before);
    QVERIFY(!QFileInfo::exists(root.filePath("out/001.JPG")));
}

// The journal keeps both times; the undo puts back the very bytes.
void TestTimeline::shiftedRunUndone()
{
    QTemporaryDir root;
    const QString in = root.filePath("in");
    const QString out = root.filePath("out");
    QVERIFY(QDir().mkpath(in));
    QVERIFY(write(in, { "A.JPG", "Canon", "Canon EOS 80D", "2024:12:31 23:30:00" }));
    QVERIFY(write(in, { "B.JPG", "Apple", "iPhone 12", "2025:01:01 00:45:00" }));
    Invariant invariant(in, out);
    invariant.record();
    const QStringList before = TestImages::treeOf(in);
    const Run run = sort({ "--folders", "month", "--shift", "80D=+01:00", in, out });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(TestImages::filesUnder(out), QStringList({ "2025-01/001.JPG", "2025-01/002.JPG" }));
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(run.summary().value("shifts").toObject().value("Canon EOS 80D").toString(),
        QStringLiteral("+01:00"));

    QByteArray lines; // the journal of this run
    for (const QFileInfo &file :
        QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/quilm/journal").entryInfoList(QDir::Files)) {
        QFile text(file.filePath());
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QByteArray read = text.readAll();
        if (read.contains(QFile::encodeName(out)))
            lines = read;
    }
    QVERIFY2(lines.contains("\"cameraTime\":\"2024-12-31T23:30:00\"")
            && lines.contains("\"captured\":\"2025-01-01T00:30:00\""),
        lines.constData());

    SortCommand undo;
    const QString id = QRegularExpression(QStringLiteral("\"id\":\"([^\"]+)\""))
                           .match(QString::fromUtf8(lines))
                           .captured(1);
    undo.arguments = QStringList { "--undo", id };
    QCOMPARE(undo.run(), 0);
    QCOMPARE(TestImages::treeOf(in), before);
}

// A camera whose photos know their zone and the satellites' time, and show
// its clock seven minutes behind: the offset is proposed, not applied.
void TestTimeline::clockOffByGps()
{
    QTemporaryDir root;
    const QString in = root.filePath("in");
    QVERIFY(QDir().mkpath(in));
    for (const auto &[name, local, gps] :
        { std::tuple { "A.JPG", "2024:05:17 10:00:00", "08/1 07/1 05/1" },
            std::tuple { "B.JPG", "2024:05:17 10:30:00", "08/1 37/1 05/1" } }) {
        QVERIFY(write(in,
            { name, "Canon", "Canon EOS 80D", local,
                { { "Exif.Photo.OffsetTimeOriginal", "+02:00" },
                    { "Exif.GPSInfo.GPSDateStamp", "2024:05:17" },
                    { "Exif.GPSInfo.GPSTimeStamp", gps } } }));
    }
    const Run run = sort({ "--dry-run", in, root.filePath("out") });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.summary().value("proposedShifts").toObject().value("Canon EOS 80D").toString(),
        QStringLiteral("+00:07:05"));
    QCOMPARE(run.moveOf("A.JPG").value("captured").toString(),
        QStringLiteral("2024-05-17T10:00:00+02:00"));
}

QUILM_ENGINE_TEST_MAIN(TestTimeline)
#include "tst_timeline.moc"
