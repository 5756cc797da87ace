// The preview's pictures: the previews that photos carry, a scaled decode where
// there is none, a frame for a video, a page for the rest, and only the rows
// in view read while 50,000 rows scroll by.

#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHThumbnail.h"
#include "ui/FHPlanModel.h"
#include "ui/FHPreviewDialog.h"
#include "ui/FHThumbnailLoader.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString cameraFile(const QString &name)
{
    return QStringLiteral(QUILM_TESTDATA_DIR "/camera-formats/") + name;
}

} // namespace

class TestThumbnails : public QObject
{
    Q_OBJECT

private slots:
    void embeddedPreview_data();
    void embeddedPreview();
    void withoutPreview_data();
    void withoutPreview();
    void scrollingReadsOnlyRowsInView();
};

void TestThumbnails::embeddedPreview_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("hasPreview");
    QTest::newRow("JPEG") << "exifr__canon-dslr.jpg" << true;
    QTest::newRow("CR2") << "bep-imagemeta__sample.cr2" << true;
    QTest::newRow("ARW") << "bep-imagemeta__sample.arw" << true;
    // A phone's HEIC keeps its thumbnail as an HEVC picture, which neither
    // the EXIF library nor the toolkit decodes here; this CR3's metadata is
    // more than the EXIF library's CR3 reader takes.
    QTest::newRow("HEIC") << "exifr__heic-iphone7.heic" << false;
    QTest::newRow("CR3") << "nomexif__canon-r6.cr3" << false;
}

void TestThumbnails::embeddedPreview()
{
    QFETCH(QString, file);
    QFETCH(bool, hasPreview);
    const QString path = cameraFile(file);
    if (!QFile::exists(path))
        QSKIP("the camera files are not on this machine");
    QString problem;
    const QByteArray bytes = FHThumbnail::embeddedPreview(path, FHThumbnailLoader::Edge, &problem);
    QCOMPARE(!bytes.isEmpty(), hasPreview);
    FHThumbnailLoader loader;
    QSignalSpy ready(&loader, &FHThumbnailLoader::ready);
    QVERIFY(loader.thumbnail(path).isNull());
    QTRY_COMPARE(ready.count(), 1);
    const QPixmap shown = loader.thumbnail(path);
    if (!hasPreview) {
        QCOMPARE(shown.cacheKey(), loader.icon(false).cacheKey());
        return;
    }
    const QImage preview = QImage::fromData(bytes);
    QVERIFY(!preview.isNull());
    // The picture the table shows is that preview, fitted to its square.
    const int edge = qRound(FHThumbnailLoader::Edge * qApp->devicePixelRatio());
    QCOMPARE(
        qMax(shown.width(), shown.height()), qMin(edge, qMax(preview.width(), preview.height())));
    QCOMPARE(shown.width() > shown.height(), preview.width() > preview.height());
    const QImage fitted = FHThumbnailLoader::decode(bytes, edge);
    QCOMPARE(shown.toImage().convertToFormat(QImage::Format_RGB32),
        fitted.convertToFormat(QImage::Format_RGB32));
}

void TestThumbnails::withoutPreview_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // empty: an image made by the test
    QTest::addColumn<int>("expected"); // 0 the photo scaled, 1 the page, 2 the frame
    QTest::newRow("PNG") << "a.PNG" << QByteArray() << 0;
    QTest::newRow("GIF") << "b.gif" << QByteArray() << 0;
    QTest::newRow("JPEG without a preview") << "c.JPG" << QByteArray() << 0;
    QTest::newRow("RAW that is no RAW") << "d.CR2" << QByteArray("not a raw file") << 1;
    QTest::newRow("damaged JPEG") << "e.jpg" << QByteArray("\xff\xd8\xff\xe1junk", 9) << 1;
    QTest::newRow("video") << "f.MP4"
                           << QByteArray("\0\0\0\x18"
                                         "ftypisom",
                                  12)
                           << 2;
}

void TestThumbnails::withoutPreview()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (bytes.isEmpty()) {
        QVERIFY(TestImages::makeImage(path));
        QVERIFY(FHThumbnail::embeddedPreview(path, 96).isEmpty());
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    FHThumbnailLoader loader;
    QSignalSpy ready(&loader, &FHThumbnailLoader::ready);
    QPixmap shown = loader.thumbnail(path);
    if (expected == 2) {
        // Known at once, without reading the file.
        QCOMPARE(shown.cacheKey(), loader.icon(true).cacheKey());
        QCOMPARE(loader.requestCount(), 0);
        return;
    }
    QVERIFY(shown.isNull());
    QTRY_COMPARE(ready.count(), 1);
    QCOMPARE(ready.at(0).at(0).toString(), path);
    shown = loader.thumbnail(path);
    QCOMPARE(loader.requestCount(), 1);
    QVERIFY(!shown.isNull());
    if (expected == 1) {
        QCOMPARE(shown.cacheKey(), loader.icon(false).cacheKey());
    } else {
        QVERIFY(shown.cacheKey() != loader.icon(false).cacheKey());
        const QImage original(path);
        QVERIFY(!original.isNull());
        QCOMPARE(shown.width() > shown.height(), original.width() > original.height());
        QVERIFY(qMax(shown.width(), shown.height()) <= qRound(96 * qApp->devicePixelRatio()));
    }
}

void TestThumbnails::scrollingReadsOnlyRowsInView()
{
    QTemporaryDir dir;
    FHSortOptions options;
    options.inputDir = dir.path();
    options.outputDir = dir.filePath(QStringLiteral("out"));
    FHSortPlan plan;
    plan.entries.resize(50000);
    for (int i = 0; i < plan.entries.size(); ++i) {
        FHPlanEntry &e = plan.entries[i];
        e.sourceFolder = dir.path();
        e.sourceName = QStringLiteral("IMG_%1.JPG").arg(i, 5, 10, QLatin1Char('0'));
        e.targetFolder = options.outputDir;
        e.finalName = QStringLiteral("%1.JPG").arg(i + 1, 5, 10, QLatin1Char('0'));
        e.captured = QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(i);
        e.placed = true;
    }
    FHPreviewDialog dialog(options);
    dialog.showPlan(plan);
    dialog.resize(900, 700);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *table = child<QTableView>(dialog, QStringLiteral("planTable"));
    QVERIFY(table->rowHeight(0) >= FHThumbnailLoader::Edge);
    QVERIFY(table->columnWidth(FHPlanModel::Thumbnail) >= FHThumbnailLoader::Edge);
    const int inView = table->viewport()->height() / table->rowHeight(0) + 1;
    QVERIFY(inView >= 3);

    QSet<int> seen; // rows that were in view at some point
    const auto look = [&] {
        QCoreApplication::processEvents();
        const int top = table->rowAt(0);
        for (int row = top; row <= top + inView && row < 50000; ++row)
            seen.insert(row);
    };
    look();
    QTRY_VERIFY(dialog.thumbnails()->requestCount() > 0);
    for (const int row : { 7, 12000, 25000, 25001, 25002, 49999 }) {
        table->scrollTo(table->model()->index(row, 0), QAbstractItemView::PositionAtTop);
        look();
    }
    // Dragging the scroll bar across the whole table, a step a frame.
    QScrollBar *bar = table->verticalScrollBar();
    for (int step = 0; step <= 20; ++step) {
        bar->setValue(bar->maximum() * step / 20);
        look();
    }
    const int requests = dialog.thumbnails()->requestCount();
    QVERIFY2(requests <= seen.size(),
        qPrintable(QStringLiteral("%1 requests, %2 rows in view").arg(requests).arg(seen.size())));
    QVERIFY(seen.size() < 1000);
    // The last rows in view get their pictures.
    const QModelIndex last = table->model()->index(table->rowAt(0), FHPlanModel::Thumbnail);
    QTRY_VERIFY(!last.data(Qt::DecorationRole).value<QPixmap>().isNull());
}

QUILM_TEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
