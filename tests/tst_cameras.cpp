// The preview's Cameras: one row per camera with its files, first and last
// shot and clock offset; offsets refused where they do not read or would move
// a shot before 1970 or past next year, kept in Quilm.ini by camera, handed to
// the run and drawn on the strips; an alignment from two photos, across
// years; the offset the GPS times propose, taken with a button.

#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHCameraClock.h"
#include "ui/FHAlignDialog.h"
#include "ui/FHCameraModel.h"
#include "ui/FHCameraStrips.h"
#include "ui/FHPlanModel.h"
#include "ui/FHPreviewDialog.h"
#include "ui/FHSettings.h"
#include "ui/FHShiftDelegate.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Eos = QStringLiteral("Canon EOS 80D #012/345");
const QString Phone = QStringLiteral("Apple iPhone 12");

FHPlanEntry shot(
    const QString &camera, const QString &name, const QString &cameraTime, qint64 shift = 0)
{
    FHPlanEntry e;
    e.sourceFolder = QStringLiteral("/in");
    e.sourceName = name;
    e.targetFolder = QStringLiteral("/out");
    e.finalName = name;
    e.camera = camera;
    e.shift = shift;
    e.captured = FHCameraClock::shifted(QDateTime::fromString(cameraTime, Qt::ISODate), shift);
    e.dateFrom = FHDateSource::Exif;
    e.placed = true;
    return e;
}

// Camera times of each camera's two shots; the phone's clock is right.
FHSortPlan twoCameras(const QString &eosFirst, const QString &eosLast, const QString &phoneTime)
{
    FHSortPlan plan;
    plan.entries << shot(Eos, QStringLiteral("IMG_1.JPG"), eosFirst)
                 << shot(Phone, QStringLiteral("P_1.JPG"), phoneTime)
                 << shot(Eos, QStringLiteral("IMG_2.JPG"), eosLast)
                 << shot(QString(), QStringLiteral("scan.PNG"), phoneTime);
    plan.movedCount = 4;
    return plan;
}

QString cell(const QAbstractItemModel *model, int row, int column)
{
    return model->index(row, column).data().toString();
}

} // namespace

class TestCameras : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void offsetsKeptByCamera_data();
    void offsetsKeptByCamera();
    void validator_data();
    void validator();
    void editorRefusesBadText();
    void offsetReplansAndRedraws();
    void alignment_data();
    void alignment();
    void gpsProposal();
    void dryRunWithOffsets();

private:
    // A preview of the plan with empty folders, shown.
    std::unique_ptr<FHPreviewDialog> preview(const FHSortPlan &plan);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCameras::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QFile::remove(FHSettings::fileName());
}

std::unique_ptr<FHPreviewDialog> TestCameras::preview(const FHSortPlan &plan)
{
    FHSortOptions options;
    options.inputDir = m_dir->path();
    options.outputDir = m_dir->filePath(QStringLiteral("out"));
    auto dialog = std::make_unique<FHPreviewDialog>(options);
    dialog->showPlan(plan);
    dialog->show();
    return dialog;
}

void TestCameras::offsetsKeptByCamera_data()
{
    QTest::addColumn<QString>("camera");
    QTest::newRow("plain") << "NIKON D750";
    QTest::newRow("slashes and serial") << "Canon EOS 80D #012/345//6/";
    QTest::newRow("backslash and percent") << "Cam\\era 100%2F";
    QTest::newRow("equals and blanks") << "A = B  C";
    QTest::newRow("not ASCII") << QStringLiteral("华为 P30 Pro");
}

void TestCameras::offsetsKeptByCamera()
{
    QFETCH(QString, camera);
    {
        FHSettings settings;
        settings.setCameraShift(QStringLiteral("Other"), -3600);
        settings.setCameraShift(camera, 2922LL * 86400 + 5);
    }
    QMap<QString, qint64> expected { { QStringLiteral("Other"), -3600 },
        { camera, 2922LL * 86400 + 5 } };
    QCOMPARE(FHSettings().cameraShifts(), expected);
    FHSettings().setCameraShift(camera, 0);
    expected.remove(camera);
    QCOMPARE(FHSettings().cameraShifts(), expected);
}

void TestCameras::validator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("state");
    const int ok = QValidator::Acceptable;
    const int partial = QValidator::Intermediate;
    const int bad = QValidator::Invalid;
    QTest::newRow("none") << "" << ok;
    QTest::newRow("an hour") << "+01:00" << ok;
    QTest::newRow("days and seconds") << "-2.03:30:15" << ok;
    QTest::newRow("years") << "+2922.00:00" << ok;
    QTest::newRow("sign only") << "-" << partial;
    QTest::newRow("no minutes yet") << "+01:" << partial;
    QTest::newRow("no sign") << "01:00" << partial;
    QTest::newRow("25 hours") << "+25:00" << partial;
    QTest::newRow("before 1970") << "-20000.00:00" << partial;
    QTest::newRow("past next year") << "+5000.00:00" << partial;
    QTest::newRow("letters") << "+1h" << bad;
    QTest::newRow("zone name") << "Z" << bad;
}

void TestCameras::validator()
{
    QFETCH(QString, text);
    QFETCH(int, state);
    FHCameraModel model;
    model.setPlan(twoCameras(QStringLiteral("2016-01-01T00:00:00"),
        QStringLiteral("2016-01-01T02:00:00"), QStringLiteral("2023-07-14T10:00:00")));
    const int row = model.rowOf(Eos);
    QVERIFY(row >= 0);
    FHShiftValidator validator(&model, row);
    int pos = 0;
    QCOMPARE(int(validator.validate(text, pos)), state);
    // The model takes what the validator accepts, and nothing else.
    const qint64 before = model.offset(row);
    QCOMPARE(model.setData(model.index(row, FHCameraModel::Offset), text),
        state == QValidator::Acceptable);
    if (state != QValidator::Acceptable)
        QCOMPARE(model.offset(row), before);
}

void TestCameras::editorRefusesBadText()
{
    const auto dialog = preview(twoCameras(QStringLiteral("2023-07-14T09:00:00"),
        QStringLiteral("2023-07-14T11:00:00"), QStringLiteral("2023-07-14T10:00:00")));
    auto *table = child<QTableView>(*dialog, QStringLiteral("cameraTable"));
    FHCameraModel *model = dialog->cameraModel();
    const int row = model->rowOf(Eos);
    child<QTabWidget>(*dialog, QStringLiteral("previewTabs"))->setCurrentIndex(1);
    const QModelIndex offset = model->index(row, FHCameraModel::Offset);
    table->edit(offset);
    auto *editor = child<QLineEdit>(*table, QStringLiteral("offsetEditor"));
    QTest::keyClicks(editor, QStringLiteral("+25:00"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(model->offset(row), 0);
    QVERIFY(FHSettings().cameraShifts().isEmpty());
}

void TestCameras::offsetReplansAndRedraws()
{
    const auto dialog = preview(twoCameras(QStringLiteral("2023-07-14T09:00:00"),
        QStringLiteral("2023-07-14T11:00:00"), QStringLiteral("2023-07-14T10:00:00")));
    FHCameraModel *model = dialog->cameraModel();
    // Files without a camera have no row.
    QCOMPARE(model->rowCount(), 2);
    const int row = model->rowOf(Eos);
    QCOMPARE(cell(model, row, FHCameraModel::Files), QStringLiteral("2"));
    QCOMPARE(cell(model, row, FHCameraModel::First), QStringLiteral("2023-07-14 09:00:00"));
    QCOMPARE(cell(model, row, FHCameraModel::Last), QStringLiteral("2023-07-14 11:00:00"));
    QCOMPARE(cell(model, row, FHCameraModel::Offset), QStringLiteral("+00:00"));
    auto *strips = child<FHCameraStrips>(*dialog, QStringLiteral("cameraStrips"));
    child<QTabWidget>(*dialog, QStringLiteral("previewTabs"))->setCurrentIndex(1);
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const QImage before = strips->grab().toImage();
    const int firstX = strips->xOf(model->cameraTimes(row).first() + model->offset(row));

    QVERIFY(model->setData(model->index(row, FHCameraModel::Offset), QStringLiteral("+01:30")));
    QCOMPARE(cell(model, row, FHCameraModel::First), QStringLiteral("2023-07-14 10:30:00"));
    QCOMPARE(cell(model, row, FHCameraModel::Last), QStringLiteral("2023-07-14 12:30:00"));
    QCOMPARE(FHSettings().cameraShifts(), (QMap<QString, qint64> { { Eos, 5400 } }));
    QCOMPARE(dialog->options().cameraShifts, QStringList { Eos + QStringLiteral("=+01:30") });
    QVERIFY(strips->xOf(model->cameraTimes(row).first() + model->offset(row)) > firstX);
    QVERIFY(strips->grab().toImage() != before);

    // The plan is made again with the offset. The input is empty, so the run
    // refuses it, naming the camera it was given, and the preview closes as
    // after any failed planning.
    ModalCloser closer;
    QTRY_COMPARE(closer.count(), 1);
    const ModalCloser::Seen box = closer.seen().first();
    QVERIFY2((box.text + box.informativeText).contains(Eos), qPrintable(box.text));
    QTRY_VERIFY(!dialog->isVisible());
    QVERIFY(!dialog->isPlanning());
}

void TestCameras::alignment_data()
{
    QTest::addColumn<QString>("eosTime");
    QTest::addColumn<QString>("phoneTime");
    QTest::addColumn<qint64>("phoneShift");
    QTest::addColumn<bool>("swap"); // set the phone by the camera instead
    QTest::addColumn<QString>("camera");
    QTest::addColumn<QString>("expected");
    QTest::newRow("an hour behind") << "2023-07-14T11:45:00"
                                    << "2023-07-14T12:45:00" << 0LL << false << Eos << "+01:00";
    QTest::newRow("to the second ahead")
        << "2023-07-14T12:45:07"
        << "2023-07-14T12:44:00" << 0LL << false << Eos << "-00:01:07";
    // 2016 to 2024 holds two leap days: 8 * 365 + 2 days; 2016-02-28 to 2021-02-28
    // two as well, and 75 seconds take the last one past midnight.
    QTest::newRow("factory date of 2016")
        << "2016-01-01T00:00:00"
        << "2024-01-01T00:00:00" << 0LL << false << Eos << "+2922.00:00";
    QTest::newRow("across years and a leap day")
        << "2016-02-28T23:59:30"
        << "2021-03-01T00:00:45" << 0LL << false << Eos << "+1827.00:01:15";
    // The reference counts with its own offset.
    QTest::newRow("reference set right")
        << "2023-07-14T12:00:00"
        << "2023-07-14T12:30:00" << 1800LL << false << Eos << "+01:00";
    QTest::newRow("swapped") << "2023-07-14T12:00:00"
                             << "2023-07-14T12:00:00" << 0LL << true << Phone << "+00:00";
}

void TestCameras::alignment()
{
    QFETCH(QString, eosTime);
    QFETCH(QString, phoneTime);
    QFETCH(qint64, phoneShift);
    QFETCH(bool, swap);
    QFETCH(QString, camera);
    QFETCH(QString, expected);
    FHSortPlan plan;
    plan.entries << shot(Eos, QStringLiteral("IMG_1.JPG"), eosTime)
                 << shot(Phone, QStringLiteral("P_1.JPG"), phoneTime, phoneShift)
                 << shot(Eos, QStringLiteral("IMG_2.JPG"), eosTime);
    plan.shifts.insert(Phone, phoneShift);
    const auto dialog = preview(plan);
    auto *table = child<QTableView>(*dialog, QStringLiteral("planTable"));
    auto *align = child<QPushButton>(*dialog, QStringLiteral("alignButton"));
    QItemSelectionModel *selection = table->selectionModel();
    const auto select = [&](int row) {
        selection->select(
            table->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    // Two files of one camera say nothing of its clock.
    select(0);
    select(2);
    QVERIFY(!align->isEnabled());
    selection->clear();
    select(0);
    select(1);
    QVERIFY(align->isEnabled());

    QString shownOffset;
    ModalCloser closer([&](QWidget *modal) {
        auto *aligning = qobject_cast<FHAlignDialog *>(modal);
        if (!aligning) {
            static_cast<QDialog *>(modal)->reject();
            return;
        }
        if (swap)
            child<QPushButton>(*aligning, QStringLiteral("swapButton"))->click();
        shownOffset = child<QLabel>(*aligning, QStringLiteral("alignResult"))->text();
        child<QPushButton>(*aligning, QStringLiteral("takeButton"))->click();
    });
    align->click();
    QCOMPARE(closer.count(), 1);
    // Shown before it was taken.
    QVERIFY2(shownOffset.contains(expected), qPrintable(shownOffset));
    FHCameraModel *model = dialog->cameraModel();
    const int row = model->rowOf(camera);
    QCOMPARE(FHCameraClock::shiftText(model->offset(row)), expected);
    qint64 seconds = 0;
    QVERIFY(FHCameraClock::parseShift(expected, &seconds));
    QCOMPARE(FHSettings().cameraShifts().value(camera), seconds);
}

void TestCameras::gpsProposal()
{
    FHSortPlan plan = twoCameras(QStringLiteral("2023-07-14T09:00:00"),
        QStringLiteral("2023-07-14T11:00:00"), QStringLiteral("2023-07-14T10:00:00"));
    plan.proposedShifts.insert(Eos, 7 * 60);
    const auto dialog = preview(plan);
    FHCameraModel *model = dialog->cameraModel();
    const int eos = model->rowOf(Eos);
    QCOMPARE(cell(model, eos, FHCameraModel::Proposal), QStringLiteral("GPS says +00:07"));
    QCOMPARE(cell(model, model->rowOf(Phone), FHCameraModel::Proposal), QString());
    auto *table = child<QTableView>(*dialog, QStringLiteral("cameraTable"));
    auto *take = child<QPushButton>(*dialog, QStringLiteral("proposalButton"));
    table->setCurrentIndex(model->index(model->rowOf(Phone), 0));
    QVERIFY(!take->isEnabled());
    table->setCurrentIndex(model->index(eos, 0));
    QVERIFY(take->isEnabled());
    take->click();
    QCOMPARE(model->offset(eos), 7 * 60);
    QCOMPARE(FHSettings().cameraShifts().value(Eos), 7 * 60);
}

void TestCameras::dryRunWithOffsets()
{
    // In true time: the camera at the harbour at 11:00, the phone on the boat
    // at 11:40 and at lunch at 12:30, the camera at lunch at 12:45; the
    // camera's clock an hour behind.
    const QString in = m_dir->filePath(QStringLiteral("in"));
    QVERIFY(QDir().mkpath(in));
    const struct
    {
        const char *name, *make, *model, *time;
    } files[] = {
        { "harbour.JPG", "Canon", "Canon EOS 80D", "2023:07:14 10:00:00" },
        { "boat.JPG", "Apple", "iPhone 12", "2023:07:14 11:40:00" },
        { "lunch.JPG", "Canon", "Canon EOS 80D", "2023:07:14 11:45:00" },
        { "phone-lunch.JPG", "Apple", "iPhone 12", "2023:07:14 12:30:00" },
    };
    for (const auto &f : files) {
        const QString path = in + QLatin1Char('/') + QLatin1String(f.name);
        QVERIFY(TestImages::makeImage(path, QLatin1String(f.make), QLatin1String(f.time)));
        QVERIFY(TestImages::writeTags(
            path, { { QStringLiteral("Exif.Image.Model"), QLatin1String(f.model) } }));
    }
    FHSortOptions options;
    options.inputDir = in;
    options.outputDir = m_dir->filePath(QStringLiteral("out"));
    const auto nameOf = [](const FHPreviewDialog &dialog, const QString &source) {
        for (const FHPlanEntry &e : dialog.model()->plan().entries) {
            if (e.sourceName == source)
                return e.finalName;
        }
        return QString();
    };
    const QString canon = QStringLiteral("Canon EOS 80D");
    {
        FHPreviewDialog dialog(options);
        dialog.show();
        QVERIFY(dialog.plan());
        FHCameraModel *model = dialog.cameraModel();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(nameOf(dialog, QStringLiteral("lunch.JPG")), QStringLiteral("003.JPG"));
        QCOMPARE(nameOf(dialog, QStringLiteral("phone-lunch.JPG")), QStringLiteral("004.JPG"));
        QVERIFY(model->setOffset(model->rowOf(canon), 3600));
        QTRY_COMPARE(dialog.model()->plan().shifts.value(canon), 3600);
        QVERIFY(!dialog.isPlanning());
        QCOMPARE(nameOf(dialog, QStringLiteral("boat.JPG")), QStringLiteral("002.JPG"));
        QCOMPARE(nameOf(dialog, QStringLiteral("phone-lunch.JPG")), QStringLiteral("003.JPG"));
        QCOMPARE(nameOf(dialog, QStringLiteral("lunch.JPG")), QStringLiteral("004.JPG"));
        QCOMPARE(cell(model, model->rowOf(canon), FHCameraModel::Last),
            QStringLiteral("2023-07-14 12:45:00"));
    }
    // The next preview takes the kept offset from the start.
    FHPreviewDialog dialog(options);
    dialog.show();
    QVERIFY(dialog.plan());
    QCOMPARE(dialog.options().cameraShifts, QStringList { canon + QStringLiteral("=+01:00") });
    QCOMPARE(nameOf(dialog, QStringLiteral("lunch.JPG")), QStringLiteral("004.JPG"));
}

QUILM_TEST_MAIN(TestCameras)
#include "tst_cameras.moc"
