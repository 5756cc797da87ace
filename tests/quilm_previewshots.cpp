// Pictures of the preview for a person to look at, not a test: a day of two
// cameras, one an hour behind, with thumbnails, the Cameras tab and its
// strips before and after the camera is aligned, and the alignment itself.
//   QUILM_SHOTS=DIR QUILM_SHOT_LANGUAGE=zh quilm_previewshots
// saves DIR/files.png, cameras-before.png, align.png and cameras-after.png.
// Camera files from the shared test data are used where they are.

#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHCameraClock.h"
#include "shell/FHApplication.h"
#include "ui/FHAlignDialog.h"
#include "ui/FHCameraModel.h"
#include "ui/FHPlanModel.h"
#include "ui/FHPreviewDialog.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Eos = QStringLiteral("Canon EOS 80D #0123456789");
const QString Phone = QStringLiteral("Apple iPhone 12");

// A photo of a scene in its own colours, with its name on it.
void paintPhoto(const QString &path, int hue, const QString &label)
{
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0, QColor::fromHsv(hue, 120, 250));
    sky.setColorAt(1, QColor::fromHsv((hue + 40) % 360, 200, 120));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor::fromHsv((hue + 180) % 360, 160, 200));
    painter.drawEllipse(QPoint(220 + hue % 200, 300), 120, 80);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(72);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, label);
    painter.end();
    image.save(path, "JPG");
}

FHPlanEntry entry(const QString &folder, const QString &name, const QString &camera,
    const QDateTime &cameraTime, qint64 shift)
{
    FHPlanEntry e;
    e.sourceFolder = folder;
    e.sourceName = name;
    e.camera = camera;
    e.shift = shift;
    e.captured = FHCameraClock::shifted(cameraTime, shift);
    e.dateFrom = FHDateSource::Exif;
    e.placed = true;
    return e;
}

} // namespace

class PreviewShots : public QObject
{
    Q_OBJECT

private slots:
    void shots();

private:
    FHSortPlan dayOfTwoCameras(qint64 eosShift) const;
    QString m_in;
    QString m_out;
};

FHSortPlan PreviewShots::dayOfTwoCameras(qint64 eosShift) const
{
    // In true time: the camera at the harbour from 11:00, the phone on the
    // boat from 11:40, both at lunch from 12:30; the camera's clock an hour
    // behind.
    FHSortPlan plan;
    const QDate day(2023, 7, 14);
    for (int i = 0; i < 8; ++i)
        plan.entries << entry(m_in, QStringLiteral("IMG_%1.JPG").arg(2001 + i), Eos,
            QDateTime(day, QTime(10, 0)).addSecs(i * 240), eosShift);
    for (int i = 0; i < 6; ++i)
        plan.entries << entry(m_in, QStringLiteral("PHONE_%1.JPG").arg(301 + i), Phone,
            QDateTime(day, QTime(11, 40)).addSecs(i * 180), 0);
    plan.entries << entry(
        m_in, QStringLiteral("IMG_0042.MOV"), Phone, QDateTime(day, QTime(12, 10)), 0);
    for (int i = 0; i < 5; ++i) {
        plan.entries << entry(m_in, QStringLiteral("PHONE_%1.JPG").arg(401 + i), Phone,
            QDateTime(day, QTime(12, 30)).addSecs(i * 300), 0);
        plan.entries << entry(m_in, QStringLiteral("IMG_%1.JPG").arg(2101 + i), Eos,
            QDateTime(day, QTime(11, 32)).addSecs(i * 300), eosShift);
    }
    const QStringList real { QStringLiteral("exifr__canon-dslr.jpg"),
        QStringLiteral("bep-imagemeta__sample.cr2"), QStringLiteral("exifr__heic-iphone7.heic") };
    for (int i = 0; i < real.size(); ++i) {
        if (QFile::exists(m_in + QLatin1Char('/') + real.at(i)))
            plan.entries << entry(m_in, real.at(i), i == 2 ? Phone : Eos,
                QDateTime(day, QTime(10, 50 + i)), i == 2 ? 0 : eosShift);
    }
    std::stable_sort(plan.entries.begin(), plan.entries.end(), captureOrderLess);
    for (FHPlanEntry &e : plan.entries) {
        e.targetFolder = m_out + QStringLiteral("/2023-07-14");
        e.finalName = QStringLiteral("%1.%2")
                          .arg(plan.movedCount + 1, 3, 10, QLatin1Char('0'))
                          .arg(QFileInfo(e.sourceName).suffix().toUpper());
        ++plan.movedCount;
    }
    if (eosShift)
        plan.shifts.insert(Eos, eosShift);
    else
        plan.proposedShifts.insert(Eos, 3600 - 7 * 60);
    return plan;
}

void PreviewShots::shots()
{
    const QString into = qEnvironmentVariable("QUILM_SHOTS", QStringLiteral("."));
    const QString language = qEnvironmentVariable("QUILM_SHOT_LANGUAGE", QStringLiteral("en"));
    FHApplication::loadTranslators(QStringLiteral(QUILM_BINARY_DIR));
    FHApplication::setLanguage(language);
    QTemporaryDir dir;
    m_in = dir.filePath(QStringLiteral("DCIM"));
    m_out = dir.filePath(QStringLiteral("Pictures"));
    QVERIFY(QDir().mkpath(m_in));
    const QStringList scenes { QStringLiteral("harbour"), QStringLiteral("boat"),
        QStringLiteral("lunch") };
    int hue = 0;
    for (int i = 0; i < 8; ++i)
        paintPhoto(
            m_in + QStringLiteral("/IMG_%1.JPG").arg(2001 + i), (hue += 23) % 360, scenes.at(0));
    for (int i = 0; i < 6; ++i)
        paintPhoto(
            m_in + QStringLiteral("/PHONE_%1.JPG").arg(301 + i), (hue += 31) % 360, scenes.at(1));
    for (int i = 0; i < 5; ++i) {
        paintPhoto(
            m_in + QStringLiteral("/PHONE_%1.JPG").arg(401 + i), (hue += 17) % 360, scenes.at(2));
        paintPhoto(
            m_in + QStringLiteral("/IMG_%1.JPG").arg(2101 + i), (hue += 17) % 360, scenes.at(2));
    }
    for (const char *name :
        { "exifr__canon-dslr.jpg", "bep-imagemeta__sample.cr2", "exifr__heic-iphone7.heic" }) {
        QFile::copy(QStringLiteral(QUILM_TESTDATA_DIR "/camera-formats/") + QLatin1String(name),
            m_in + QLatin1Char('/') + QLatin1String(name));
    }
    FHSortOptions options;
    options.inputDir = m_in;
    options.outputDir = m_out;
    FHPreviewDialog dialog(options);
    dialog.resize(1000, 640);
    dialog.showPlan(dayOfTwoCameras(0));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *tabs = child<QTabWidget>(dialog, QStringLiteral("previewTabs"));
    auto *table = child<QTableView>(dialog, QStringLiteral("planTable"));
    // A shot of each camera, for Align clocks.
    table->selectRow(0);
    for (int row = 1; row < table->model()->rowCount(); ++row) {
        if (dialog.model()->entryAt(row).camera == Phone) {
            table->selectionModel()->select(table->model()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
            break;
        }
    }
    QTest::qWait(1500);
    QVERIFY(dialog.grab().save(into + QStringLiteral("/files.png")));

    tabs->setCurrentIndex(1);
    auto *cameras = child<QTableView>(dialog, QStringLiteral("cameraTable"));
    cameras->setCurrentIndex(cameras->model()->index(dialog.cameraModel()->rowOf(Eos), 0));
    QTest::qWait(300);
    QVERIFY(dialog.grab().save(into + QStringLiteral("/cameras-before.png")));

    // The first lunch shots of both, of the same moment: the camera's 11:32 and
    // the phone's 12:30.
    const FHSortPlan before = dayOfTwoCameras(0);
    FHPlanEntry a;
    FHPlanEntry b;
    for (const FHPlanEntry &e : before.entries) {
        if (e.sourceName == QLatin1String("IMG_2101.JPG"))
            a = e;
        if (e.sourceName == QLatin1String("PHONE_401.JPG"))
            b = e;
    }
    FHAlignDialog align(a, b, &dialog);
    align.show();
    QVERIFY(QTest::qWaitForWindowExposed(&align));
    QTest::qWait(300);
    QVERIFY(align.grab().save(into + QStringLiteral("/align.png")));
    align.hide();

    // The plan made again with the offset taken, as the run makes it.
    dialog.showPlan(dayOfTwoCameras(align.offset()));
    tabs->setCurrentIndex(1);
    QTest::qWait(300);
    QVERIFY(dialog.grab().save(into + QStringLiteral("/cameras-after.png")));
}

QUILM_TEST_MAIN(PreviewShots)
#include "quilm_previewshots.moc"
