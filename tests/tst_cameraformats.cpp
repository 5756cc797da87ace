#include "EngineTest.h"
#include "Invariant.h"
#include "SortCommand.h"

#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// Whole runs over real phone, camera and video files, whose dates another tool
// wrote into the folder's manifest.
class TestCameraFormats : public QObject
{
    Q_OBJECT

private slots:
    void everyDatedFileLandsOnItsDay();
};

namespace {

const QString Data = QStringLiteral(QUILM_TESTDATA_DIR "/camera-formats");

// The day the manifest gives: the camera's own date, else the container's
// (stored in UTC; the test runs in UTC), else one a note spells out.
QString dayOf(const QStringList &row)
{
    static const QRegularExpression noted(
        QStringLiteral("DateTimeOriginal[^=]*=(\\d{4}):(\\d\\d):(\\d\\d)"));
    const QString original = row.value(4);
    const QString container = row.value(7);
    if (!original.isEmpty())
        return original.left(10).replace(':', '-');
    if (!container.isEmpty() && !container.startsWith("0000"))
        return container.left(10).replace(':', '-');
    const QRegularExpressionMatch match = noted.match(row.value(12));
    return match.hasMatch()
        ? QStringLiteral("%1-%2-%3").arg(match.captured(1), match.captured(2), match.captured(3))
        : QString();
}

} // namespace

void TestCameraFormats::everyDatedFileLandsOnItsDay()
{
    QFile manifest(Data + "/MANIFEST.tsv");
    if (!manifest.open(QIODevice::ReadOnly))
        QSKIP("no camera-formats test data");
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString in = root.filePath("in");
    QVERIFY(QDir().mkpath(in));
    QMap<QString, QString> expectedDay; // file -> day, or empty for none
    manifest.readLine();
    while (!manifest.atEnd()) {
        const QStringList row = QString::fromUtf8(manifest.readLine()).trimmed().split('\t');
        if (row.value(1) == "XMP")
            continue;
        QVERIFY(QFile::copy(Data + '/' + row.at(0), in + '/' + row.at(0)));
        expectedDay.insert(row.at(0), dayOf(row));
    }
    // A sidecar of the same name goes with its photo and takes its number.
    QVERIFY(QFile::copy(Data + "/exiftool__XMP.xmp", in + "/exiftool__Apple.xmp"));
    Invariant invariant(in, root.filePath("out"));
    invariant.record();

    // A dry run on one thread and on four: the same output, byte for byte, but
    // the time it took.
    QByteArray dryRuns[2][2];
    for (const int jobs : { 1, 4 }) {
        SortCommand dry;
        dry.environment.insert("TZ", "UTC");
        dry.arguments = QStringList { "--types", "all", "--folders", "day", "--json", "-n",
            "--jobs", QString::number(jobs), in, root.filePath("out") };
        QCOMPARE(dry.run(), 0);
        static const QRegularExpression seconds("\"seconds\":[0-9.]+");
        dryRuns[jobs == 4][0] = QString::fromUtf8(dry.out).remove(seconds).toUtf8();
        dryRuns[jobs == 4][1] = dry.err;
    }
    QCOMPARE(dryRuns[1][0], dryRuns[0][0]);
    QCOMPARE(dryRuns[1][1], dryRuns[0][1]);

    SortCommand sort;
    sort.environment.insert("TZ", "UTC");
    sort.arguments
        = QStringList { "--types", "all", "--folders", "day", "--json", in, root.filePath("out") };
    QCOMPARE(sort.run(), 0);
    QCOMPARE(invariant.check(), QString());
    // The EXIF library complains of some of these files; it says so through the
    // command, never on standard error by itself.
    for (const QByteArray &line : sort.err.split('\n'))
        QVERIFY2(line.isEmpty() || line.startsWith("quilm-sort: "), line.constData());

    QList<QJsonObject> events;
    QCOMPARE(sort.parseEvents(events), QString());
    QMap<QString, QString> landed; // file -> day folder, or empty for staying
    for (const QJsonObject &event : qAsConst(events)) {
        const QString source = QFileInfo(event.value("source").toString()).fileName();
        if (event.value("event") == "move")
            landed.insert(source, QFileInfo(event.value("target").toString()).dir().dirName());
        else if (event.value("event") == "skip")
            landed.insert(source, QString());
    }
    QCOMPARE(landed.value("exiftool__Apple.xmp"), expectedDay.value("exiftool__Apple.jpg"));
    landed.remove("exiftool__Apple.xmp");
    QCOMPARE(landed, expectedDay);
    const QStringList apple = TestImages::filesUnder(root.filePath("out/2016-09-28"));
    QCOMPARE(apple, QStringList({ "001.jpg", "001.xmp" }));
}

QUILM_ENGINE_TEST_MAIN(TestCameraFormats)
#include "tst_cameraformats.moc"
