#include "EngineRun.h"
#include "EngineTest.h"
#include "Invariant.h"
#include "SortDriver.h"
#include "TestImages.h"

#include <QTemporaryDir>
#include <QtTest>

// The files of one shot: RAW and JPEG, a live photo, sidecars.
class TestGroups : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shots_data();
    void shots();
    void shotCutByACrash_data();
    void shotCutByACrash();

private:
    QString in(const QString &name) const { return m_root->filePath("in/" + name); }
    QString out(const QString &name) const { return m_root->filePath("out/" + name); }

    std::unique_ptr<QTemporaryDir> m_root;
};

void TestGroups::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(in("")));
}

void TestGroups::shots_data()
{
    // Files: "name|capture time"; no time: no EXIF date; ".xmp" and the like
    // are sidecars. Expected: "output <- input" for every file, then "stays <- input".
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("exifOnly");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("types"); // the kinds sorted; all when empty

    QTest::newRow("RAW and JPEG within 30 s")
        << QStringList { "IMG_1.CR2|10:00:00", "IMG_1.JPG|10:00:30", "IMG_2.JPG|10:00:10" } << true
        << QStringList { "001.CR2 <- IMG_1.CR2", "001.JPG <- IMG_1.JPG", "002.JPG <- IMG_2.JPG" }
        << QString();
    QTest::newRow("RAW and JPEG further apart")
        << QStringList { "IMG_1.CR2|10:00:00", "IMG_1.JPG|10:00:31" } << true
        << QStringList { "001.CR2 <- IMG_1.CR2", "002.JPG <- IMG_1.JPG" } << QString();
    QTest::newRow("both sidecar styles, any letter case")
        << QStringList { "img_1.nef|10:00:00", "IMG_1.JPG|10:00:00", "IMG_1.xmp", "IMG_1.NEF.xmp",
               "Img_1.JPG.XMP", "IMG_1.THM", "IMG_1.AAE" }
        << true
        << QStringList { "001.AAE <- IMG_1.AAE", "001.JPG <- IMG_1.JPG",
               "001.JPG.XMP <- Img_1.JPG.XMP", "001.NEF.xmp <- IMG_1.NEF.xmp",
               "001.THM <- IMG_1.THM", "001.nef <- img_1.nef", "001.xmp <- IMG_1.xmp" }
        << QString();
    QTest::newRow("RAW leads HEIF and JPEG")
        << QStringList { "a.HEIC|09:00:01", "a.JPG|09:00:02", "a.DNG|09:00:00", "b.JPG|09:00:00" }
        << true
        << QStringList { "001.DNG <- a.DNG", "001.HEIC <- a.HEIC", "001.JPG <- a.JPG",
               "002.JPG <- b.JPG" }
        << QString();
    QTest::newRow("HEIF and JPEG alone are two shots")
        << QStringList { "a.HEIC|09:00:00", "a.JPG|09:00:01" } << true
        << QStringList { "001.HEIC <- a.HEIC", "002.JPG <- a.JPG" } << QString();
    QTest::newRow("a sidecar alone stays")
        << QStringList { "lone.xmp", "A.JPG|10:00:00" } << true
        << QStringList { "001.JPG <- A.JPG", "stays <- lone.xmp" } << QString();
    QTest::newRow("undated primary, cameras only")
        << QStringList { "IMG_3.JPG", "IMG_3.xmp", "IMG_4.JPG|10:00:00" } << true
        << QStringList { "001.JPG <- IMG_4.JPG", "stays <- IMG_3.JPG", "stays <- IMG_3.xmp" }
        << QString();
    QTest::newRow("undated primary, all images")
        << QStringList { "IMG_3.JPG", "IMG_3.xmp" } << false
        << QStringList { "001.JPG <- IMG_3.JPG", "001.xmp <- IMG_3.xmp" } << QString();
    QTest::newRow("sidecars named alike but for the case")
        << QStringList { "IMG_1.JPG|10:00:00", "IMG_1.xmp", "IMG_1.XMP" } << true
        << QStringList { "001.JPG <- IMG_1.JPG", "001.XMP <- IMG_1.XMP", "001.xmp <- IMG_1.xmp" }
        << QString();
    QTest::newRow("a RAW's sidecar stays with its RAW, not chosen")
        << QStringList { "DSC_2.JPG|10:00:00", "DSC_2.NEF|10:00:00", "DSC_2.NEF.xmp", "DSC_2.xmp" }
        << true
        << QStringList { "001.JPG <- DSC_2.JPG", "001.xmp <- DSC_2.xmp", "stays <- DSC_2.NEF",
               "stays <- DSC_2.NEF.xmp" }
        << "photo";
    QTest::newRow("two photos of one name are two shots")
        << QStringList { "dup.JPG|10:00:00", "DUP.jpg|10:00:05", "dup.PNG|10:00:10" } << true
        << QStringList { "001.JPG <- dup.JPG", "002.jpg <- DUP.jpg", "003.PNG <- dup.PNG" }
        << QString();
}

void TestGroups::shots()
{
    QFETCH(QStringList, files);
    QFETCH(bool, exifOnly);
    QFETCH(QStringList, expected);
    QFETCH(QString, types);
    unsigned families = FHFileTypes::AllFamilies;
    QVERIFY(types.isEmpty() || FHFileTypes::parseFamilies(types, &families));
    QHash<QByteArray, QString> nameOf;
    for (const QString &file : files) {
        const QString name = file.section('|', 0, 0);
        if (FHFileTypes::isSidecar(name)) {
            QFile sidecar(in(name));
            QVERIFY(sidecar.open(QIODevice::WriteOnly));
            sidecar.write("<x:xmpmeta>" + name.toUtf8() + "</x:xmpmeta>");
        } else {
            const QString time = file.section('|', 1);
            QVERIFY(TestImages::makeImage(in(name), time.isEmpty() ? QString() : "Canon",
                time.isEmpty() ? QString() : "2014:12:31 " + time));
        }
        nameOf.insert(Invariant::hashOf(in(name)), name);
    }
    Invariant invariant(in(""), out(""));
    invariant.record();

    EngineRun r;
    r.options.inputDir = in("");
    r.options.outputDir = out("");
    r.options.exifOnly = exifOnly;
    r.options.nameFilters = FHFileTypes::nameFilters(families);
    r.run();
    QCOMPARE(r.reports.errors, QStringList());
    QCOMPARE(invariant.check(), QString());
    QStringList found;
    for (const QString &name : TestImages::filesUnder(out("")))
        found << name + " <- " + nameOf.value(Invariant::hashOf(out(name)));
    for (const QString &name : TestImages::filesUnder(in("")))
        found << "stays <- " + name;
    QCOMPARE(found, expected);
}

void TestGroups::shotCutByACrash_data()
{
    // The shot is RAW, JPEG and a sidecar; the run dies before the nth move of
    // one of them (after the first, the shot lies in two places).
    QTest::addColumn<int>("movesBefore");
    QTest::addColumn<bool>("otherCard"); // the JPEG is taken away, another card's put there
    QTest::addColumn<QStringList>("expected");
    const QStringList whole { "001.JPG", "002.CR2", "002.CR2.xmp", "002.JPG" };
    QTest::newRow("after one file") << 1 << false << whole;
    QTest::newRow("after two files") << 2 << false << whole;
    // Cameras start at IMG_0001 on every card: a name is not a photo.
    QTest::newRow("after one file, another card's JPEG in its place")
        << 1 << true << QStringList { "001.JPG", "002.CR2", "002.CR2.xmp", "003.JPG" };
}

void TestGroups::shotCutByACrash()
{
    QFETCH(int, movesBefore);
    QFETCH(bool, otherCard);
    QFETCH(QStringList, expected);
    QVERIFY(TestImages::makeImage(in("IMG_1.CR2"), "Canon", "2014:12:31 10:00:00"));
    QVERIFY(TestImages::makeImage(in("IMG_1.JPG"), "Canon", "2014:12:31 10:00:01"));
    QFile sidecar(in("IMG_1.CR2.xmp"));
    QVERIFY(sidecar.open(QIODevice::WriteOnly) && sidecar.write("<x:xmpmeta/>") > 0);
    sidecar.close();
    QVERIFY(TestImages::makeImage(in("IMG_0.JPG"), "Canon", "2014:12:31 09:00:00"));
    Invariant invariant(in(""), out(""));
    invariant.record();

    SortDriver killed;
    killed.options.inputDir = in("");
    killed.options.outputDir = out("");
    killed.workDir = m_root->path();
    killed.options.nameFilters = FHFileTypes::nameFilters(FHFileTypes::AllFamilies);
    killed.faults
        = QStringLiteral("call=renameat2,skip=%1,action=kill").arg(1 + movesBefore).toLatin1();
    QCOMPARE(killed.run(), SortDriver::Killed);
    QCOMPARE(invariant.check(1), QString());
    if (otherCard) {
        invariant.forget(in("IMG_1.JPG"));
        QVERIFY(QFile::remove(in("IMG_1.JPG")));
        QVERIFY(TestImages::makeImage(in("IMG_1.JPG"), "Canon", "2023:06:01 10:00:00"));
        invariant.adopt(in("IMG_1.JPG"));
    }

    EngineRun again;
    again.options.inputDir = in("");
    again.options.outputDir = out("");
    again.options.nameFilters = FHFileTypes::nameFilters(FHFileTypes::AllFamilies);
    again.run();
    QCOMPARE(again.reports.errors, QStringList());
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(TestImages::filesUnder(out("")), expected);
}

QUILM_ENGINE_TEST_MAIN(TestGroups)
#include "tst_groups.moc"
