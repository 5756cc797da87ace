// The preview before a sort: its rows are the command's dry run and the run
// that follows, shots stay together whatever the order, the filter, Cancel
// while planning, the names planning shows, a changed input or output, its
// size; and the question before a sort.

#include "FHConfig.h"
#include "SortCommand.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHIO.h"
#include "engine/FHNaming.h"
#include "engine/FHSortEngine.h"
#include "shell/FHApplication.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHFirstStartQuestion.h"
#include "ui/FHPlanModel.h"
#include "ui/FHPreviewDialog.h"
#include "ui/FHSettings.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

FHPlanEntry entry(const QString &folder, const QString &name, const QString &target,
    const QString &finalName, const QString &time, FHSkipReason reason = FHSkipReason::None)
{
    FHPlanEntry e;
    e.sourceFolder = folder;
    e.sourceName = name;
    e.targetFolder = target;
    e.finalName = finalName;
    e.captured = QDateTime::fromString(time, Qt::ISODate);
    e.dateFrom = e.captured.isValid() ? FHDateSource::Exif : FHDateSource::None;
    e.reason = reason;
    e.placed = reason == FHSkipReason::None;
    return e;
}

// A plan in the run's order: a shot of three files, two photos on their own,
// and two that stay, one of them in a sub-folder.
FHSortPlan samplePlan()
{
    const QString in = QStringLiteral("/in");
    const QString day1 = QStringLiteral("/out/2020-01-01");
    const QString day2 = QStringLiteral("/out/2020-01-02");
    FHSortPlan plan;
    plan.entries << entry(in, QStringLiteral("IMG_2.CR2"), day1, QStringLiteral("001.CR2"),
        QStringLiteral("2020-01-01T10:00:00"))
                 << entry(in, QStringLiteral("IMG_2.JPG"), day1, QStringLiteral("001.JPG"),
                        QStringLiteral("2020-01-01T10:00:00"))
                 << entry(in, QStringLiteral("IMG_2.xmp"), day1, QStringLiteral("001.xmp"),
                        QStringLiteral("2020-01-01T10:00:00"))
                 << entry(in, QStringLiteral("B.JPG"), day2, QStringLiteral("001.JPG"),
                        QStringLiteral("2020-01-02T11:00:00"))
                 << entry(in, QStringLiteral("A.JPG"), day1, QStringLiteral("002.JPG"),
                        QStringLiteral("2020-01-01T12:00:00"))
                 << entry(in, QStringLiteral("C.PNG"), QString(), QString(), QString(),
                        FHSkipReason::NoCaptureDate)
                 << entry(QStringLiteral("/in/sub"), QStringLiteral("D.GIF"), QString(), QString(),
                        QString(), FHSkipReason::Unreadable);
    for (int i = 0; i < 3; ++i)
        plan.entries[i].group = 0;
    plan.entries[2].companion = true;
    plan.entries[4].dateFrom = FHDateSource::Name;
    plan.movedCount = 5;
    return plan;
}

QStringList columnTexts(const QAbstractItemModel *model, int column, int role = Qt::DisplayRole)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data(role).toString();
    return texts;
}

// One line per row: what happens to the file, as the command's events say it.
QStringList rowLines(const QAbstractItemModel *model)
{
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row) {
        const auto value
            = [&](int column, int role) { return model->index(row, column).data(role).toString(); };
        lines << QStringLiteral("%1 -> %2 [%3 %4] group %5 reason %6")
                     .arg(value(0, FHPlanModel::SourcePathRole),
                         value(0, FHPlanModel::TargetPathRole),
                         value(FHPlanModel::Captured, FHPlanModel::KeyRole),
                         value(FHPlanModel::DateFrom, FHPlanModel::KeyRole),
                         value(0, FHPlanModel::GroupRole),
                         value(FHPlanModel::Reason, FHPlanModel::KeyRole));
    }
    return lines;
}

QStringList eventLines(const QByteArray &output)
{
    QStringList lines;
    for (const QByteArray &line : output.split('\n')) {
        const QJsonObject event = QJsonDocument::fromJson(line).object();
        const QString kind = event.value(QStringLiteral("event")).toString();
        if (kind != QLatin1String("move") && kind != QLatin1String("skip"))
            continue;
        const auto value
            = [&](const char *key) { return event.value(QLatin1String(key)).toString(); };
        lines << QStringLiteral("%1 -> %2 [%3 %4] group %5 reason %6")
                     .arg(value("source"), value("target"), value("captured"), value("dateFrom"),
                         value("group"),
                         kind == QLatin1String("skip") ? value("reason") : QString());
    }
    return lines;
}

FHPreviewDialog *previewIn(QWidget *modal)
{
    auto *dialog = qobject_cast<FHPreviewDialog *>(modal);
    return dialog && !dialog->isPlanning() ? dialog : nullptr;
}

// Clicks once the closer's poll has returned: a click that opens a box of its
// own must not run inside the poll.
void clickLater(QWidget *parent, const char *name)
{
    QPushButton *button = parent->findChild<QPushButton *>(QLatin1String(name));
    QVERIFY2(button, name);
    QTimer::singleShot(0, button, &QPushButton::click);
}

void closeOther(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void shotsStayTogether_data();
    void shotsStayTogether();
    void filter_data();
    void filter();

    void rowsAreTheCommandsAndTheRuns_data();
    void rowsAreTheCommandsAndTheRuns();
    void cancelWhilePlanning();
    void planningShowsFinalNames();
    void inputChanged_data();
    void inputChanged();
    void sizeFitsAndIsRemembered();

    void firstStartQuestion_data();
    void firstStartQuestion();

private:
    void makeInput();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_in;
    QString m_out;
};

void TestPreview::initTestCase()
{
    // English as a user gets it, with its plural forms.
    FHApplication::loadTranslators(QStringLiteral(QUILM_BINARY_DIR));
    FHApplication::setLanguage(QStringLiteral("en"));
}

void TestPreview::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_in = m_dir->filePath(QStringLiteral("In"));
    m_out = m_dir->filePath(QStringLiteral("Out"));
    QVERIFY(QDir().mkpath(m_in + QStringLiteral("/sub")));
    QFile::remove(FHSettings::fileName());
}

void TestPreview::shotsStayTogether_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QString>("expected");

    const QString group = QStringLiteral("IMG_2.CR2 IMG_2.JPG IMG_2.xmp");
    QTest::newRow("run order") << -1 << Qt::AscendingOrder
                               << group + QStringLiteral(" B.JPG A.JPG C.PNG D.GIF");
    // Alone, the sidecar would come first.
    QTest::newRow("original, descending")
        << int(FHPlanModel::Original) << Qt::DescendingOrder
        << QStringLiteral("D.GIF ") + group + QStringLiteral(" C.PNG B.JPG A.JPG");
    // Alone, B's 001.JPG would come between the shot's 001.JPG and 001.xmp.
    QTest::newRow("new name") << int(FHPlanModel::Name) << Qt::AscendingOrder
                              << QStringLiteral("C.PNG D.GIF ") + group
            + QStringLiteral(" B.JPG A.JPG");
    QTest::newRow("new name, descending")
        << int(FHPlanModel::Name) << Qt::DescendingOrder
        << QStringLiteral("A.JPG B.JPG ") + group + QStringLiteral(" C.PNG D.GIF");
    QTest::newRow("folder") << int(FHPlanModel::Folder) << Qt::AscendingOrder
                            << QStringLiteral("C.PNG D.GIF ") + group
            + QStringLiteral(" A.JPG B.JPG");
    QTest::newRow("taken, descending")
        << int(FHPlanModel::Captured) << Qt::DescendingOrder
        << QStringLiteral("B.JPG A.JPG ") + group + QStringLiteral(" C.PNG D.GIF");
    QTest::newRow("date from") << int(FHPlanModel::DateFrom) << Qt::AscendingOrder
                               << QStringLiteral("C.PNG D.GIF ") + group
            + QStringLiteral(" B.JPG A.JPG");
    QTest::newRow("reason, descending")
        << int(FHPlanModel::Reason) << Qt::DescendingOrder
        << QStringLiteral("D.GIF C.PNG ") + group + QStringLiteral(" B.JPG A.JPG");
}

void TestPreview::shotsStayTogether()
{
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QString, expected);

    FHPlanModel model;
    model.setPlan(samplePlan(), QStringLiteral("/in"), QStringLiteral("/out"));
    FHPlanFilterModel proxy;
    proxy.setPlanModel(&model);
    proxy.sort(column, order);
    QStringList names;
    for (const QString &path : columnTexts(&proxy, 0, FHPlanModel::SourcePathRole))
        names << QFileInfo(path).fileName();
    QCOMPARE(names.join(QLatin1Char(' ')), expected);
}

void TestPreview::filter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // original names as shown

    QTest::newRow("none") << QString()
                          << QStringList { "IMG_2.CR2", "IMG_2.JPG", "IMG_2.xmp", "B.JPG", "A.JPG",
                                 "C.PNG", "sub/D.GIF" };
    QTest::newRow("name, any case")
        << "img_2" << QStringList { "IMG_2.CR2", "IMG_2.JPG", "IMG_2.xmp" };
    QTest::newRow("new name") << "002.jpg" << QStringList { "A.JPG" };
    QTest::newRow("new folder and date") << "2020-01-02" << QStringList { "B.JPG" };
    QTest::newRow("time") << "12:00" << QStringList { "A.JPG" };
    QTest::newRow("date source") << "file name" << QStringList { "A.JPG" };
    QTest::newRow("reason") << "no capture" << QStringList { "C.PNG" };
    QTest::newRow("sub-folder") << "sub/" << QStringList { "sub/D.GIF" };
    QTest::newRow("nothing") << "IMG_3" << QStringList();
}

void TestPreview::filter()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    FHPlanModel model;
    model.setPlan(samplePlan(), QStringLiteral("/in"), QStringLiteral("/out"));
    FHPlanFilterModel proxy;
    proxy.setPlanModel(&model);
    proxy.setFilterText(text);
    QCOMPARE(columnTexts(&proxy, FHPlanModel::Original), expected);
}

void TestPreview::makeInput()
{
    const auto date = [](int day, int hour) {
        return QStringLiteral("2021:03:%1 %2:00:00").arg(day, 2, 10, QLatin1Char('0')).arg(hour);
    };
    QVERIFY(TestImages::makeImage(m_in + "/IMG_0003.JPG", "Canon", date(2, 9)));
    QVERIFY(TestImages::makeImage(m_in + "/IMG_0001.JPG", "Canon", date(1, 10)));
    QVERIFY(TestImages::makeImage(m_in + "/IMG_0002.JPG", "NIKON", date(1, 11)));
    QVERIFY(TestImages::makeImage(m_in + "/sub/P1.JPG", "Canon", date(1, 12)));
    QVERIFY(TestImages::makeImage(m_in + "/scan.PNG"));
    QFile sidecar(m_in + "/IMG_0001.xmp");
    QVERIFY(sidecar.open(QIODevice::WriteOnly) && sidecar.write("<x:xmpmeta/>") > 0);
    sidecar.close();
    QFile video(m_in + "/clip.MOV");
    QVERIFY(video.open(QIODevice::WriteOnly) && video.write("not sorted") > 0);
}

void TestPreview::rowsAreTheCommandsAndTheRuns_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("exifOnly");
    QTest::addColumn<bool>("recursive");

    QTest::newRow("cameras, per day, recursive") << 2 << "${NUM}" << true << true;
    QTest::newRow("all images, pattern, one folder") << 0 << "${YYYY}_${NUM}" << false << false;
}

void TestPreview::rowsAreTheCommandsAndTheRuns()
{
    QFETCH(int, mode);
    QFETCH(QString, pattern);
    QFETCH(bool, exifOnly);
    QFETCH(bool, recursive);
    makeInput();

    QStringList arguments { QStringLiteral("--dry-run"), QStringLiteral("--json"),
        QStringLiteral("--folders"), QStringList { "none", "month", "day" }.at(mode),
        QStringLiteral("--pattern"), pattern };
    if (!exifOnly)
        arguments << QStringLiteral("--all-images");
    if (recursive)
        arguments << QStringLiteral("--recursive");
    SortCommand command;
    command.arguments = arguments << m_in << m_out;
    command.waitMs = 30000;
    QCOMPARE(command.run(), 0);
    const QStringList events = eventLines(command.out);
    QVERIFY(events.size() >= 5);

    FHSortOptions options;
    options.inputDir = m_in;
    options.outputDir = m_out;
    options.namePattern = pattern;
    options.exifOnly = exifOnly;
    options.recursive = recursive;
    options.folders = FHFolderMode(mode);
    QStringList rows;
    QStringList originals;
    QStringList names;
    QStringList targets;
    QStringList reasons;
    QString totals;
    ModalCloser closer([&](QWidget *modal) {
        FHPreviewDialog *dialog = previewIn(modal);
        if (!dialog) {
            if (!qobject_cast<FHPreviewDialog *>(modal))
                closeOther(modal);
            return;
        }
        const QAbstractItemModel *table
            = dialog->findChild<QTableView *>(QStringLiteral("planTable"))->model();
        rows = rowLines(table);
        originals = columnTexts(table, FHPlanModel::Original);
        names = columnTexts(table, FHPlanModel::Name);
        targets = columnTexts(table, 0, FHPlanModel::TargetPathRole);
        reasons = columnTexts(table, FHPlanModel::Reason, FHPlanModel::KeyRole);
        totals = dialog->findChild<QLabel *>(QStringLiteral("totalsLabel"))->text();
        clickLater(dialog, "sortButton");
    });
    QVERIFY(FHPreviewDialog::showFor(options, nullptr));
    QCOMPARE(rows, events);

    // Shown relative to the input, and under the names the command prints.
    QStringList shown;
    for (int i = 0; i < rows.size(); ++i) {
        const QString source = rows.at(i).section(QStringLiteral(" -> "), 0, 0);
        QCOMPARE(m_in + QLatin1Char('/') + originals.at(i), source);
        QCOMPARE(names.at(i), targets.at(i).section(QLatin1Char('/'), -1));
        shown << source + QStringLiteral(" -> ")
                + (targets.at(i).isEmpty() ? reasons.at(i) : targets.at(i));
    }
    QVERIFY2(totals.contains(QStringLiteral("Videos: 1")), qPrintable(totals));

    // The sort that follows does what the preview showed.
    auto *app = qobject_cast<FHexiv2Application *>(qApp);
    QVERIFY(app->sort(options) != FHSortEngine::Failed);
    QStringList done;
    for (const FHPlanEntry &e : app->lastPlan().entries) {
        if (e.placed || e.reason != FHSkipReason::None)
            done << e.sourcePath() + QStringLiteral(" -> ")
                    + (e.placed ? e.targetPath() : skipReasonName(e.reason));
        if (e.placed)
            QVERIFY2(QFileInfo::exists(e.targetPath()), qPrintable(e.targetPath()));
    }
    QCOMPARE(shown, done);
}

void TestPreview::cancelWhilePlanning()
{
    // Enough files that planning outlasts a few of the dialog's event rounds.
    const QString first = m_in + QStringLiteral("/sub/first.JPG");
    QVERIFY(TestImages::makeImage(first, "Canon", "2021:03:01 10:00:00"));
    QFile image(first);
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray bytes = image.readAll();
    for (int i = 0; i < 3000; ++i) {
        QFile copy(QStringLiteral("%1/IMG_%2.JPG").arg(m_in).arg(i, 5, 10, QLatin1Char('0')));
        QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size());
    }
    const TestImages::Contents before = TestImages::contentsUnder({ m_in });

    FHSortOptions options;
    options.inputDir = m_in;
    options.outputDir = m_out;
    int cancelledAt = -1;
    int readAfterCancel = 0;
    bool planShown = false;
    ModalCloser closer([&](QWidget *modal) {
        auto *dialog = qobject_cast<FHPreviewDialog *>(modal);
        if (!dialog)
            return closeOther(modal);
        if (!dialog->isPlanning()) {
            planShown = dialog->model()->rowCount() > 0;
            if (planShown)
                clickLater(dialog, "closeButton");
            return;
        }
        // Once the capture dates are being read.
        const int progress
            = dialog->findChild<QProgressBar *>(QStringLiteral("progressBar"))->value();
        if (cancelledAt < 0 && progress >= 20) {
            cancelledAt = progress;
            connect(dialog->fileGuard(), &FHIO::getCurrentFile, [&] { ++readAfterCancel; });
            dialog->findChild<QPushButton *>(QStringLiteral("cancelButton"))->click();
        }
    });
    QVERIFY(!FHPreviewDialog::showFor(options, nullptr));
    QVERIFY2(cancelledAt >= 0 && cancelledAt < 100, qPrintable(QString::number(cancelledAt)));
    QVERIFY(!planShown);
    // The file in hand at most: the rest is not read.
    QVERIFY2(readAfterCancel <= 1, qPrintable(QString::number(readAfterCancel)));
    QVERIFY(!QFileInfo::exists(m_out));
    QCOMPARE(TestImages::checkEachContentOnce(before, { m_in }), QString());
    QCOMPARE(TestImages::filesUnder(m_in).size(), 3001);
}

void TestPreview::planningShowsFinalNames()
{
    for (int i = 1; i <= 4; ++i)
        QVERIFY(TestImages::makeImage(QStringLiteral("%1/p%2.jpg").arg(m_in).arg(i), "Canon",
            QStringLiteral("2021:03:0%1 10:00:00").arg(i)));
    FHSortOptions options;
    options.inputDir = m_in;
    options.outputDir = m_out;
    FHPreviewDialog dialog(options);
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("fileLabel"));
    QVERIFY(label);
    QStringList shown;
    // Slower than the label's pace, so that it could show every file.
    connect(dialog.fileGuard(), &FHIO::getCurrentFile, this, [&] {
        shown << label->toolTip();
        QThread::msleep(40);
    });
    QVERIFY(dialog.plan());
    shown << label->toolTip();

    // Each file under the name it has, then under the name it would get.
    QCOMPARE(checkShownPaths(shown, m_out), QString());
}

void TestPreview::inputChanged_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("reported");
    QTest::addColumn<bool>("sort");

    QTest::newRow("added, sort anyway") << "add"
                                        << "sortAnywayButton"
                                        << "Files added: 1" << true;
    QTest::newRow("removed, cancel") << "remove"
                                     << "cancelButton"
                                     << "Files removed: 1" << false;
    QTest::newRow("changed, preview again") << "change"
                                            << "previewAgainButton"
                                            << "Files changed: 1" << true;
    // A file put among the sorted ones shifts the new numbers as much.
    QTest::newRow("added to the output, sort anyway")
        << "add to output"
        << "sortAnywayButton"
        << "Files added to the target folders: 1" << true;
    QTest::newRow("removed from the output, cancel")
        << "remove from output"
        << "cancelButton"
        << "Files removed from the target folders: 1" << false;
    QTest::newRow("changed in the output, preview again")
        << "change in output"
        << "previewAgainButton"
        << "Files changed in the target folders: 1" << true;
}

void TestPreview::inputChanged()
{
    QFETCH(QString, change);
    QFETCH(QString, answer);
    QFETCH(QString, reported);
    QFETCH(bool, sort);
    makeInput();
    // A photo sorted before, where the new ones go.
    const QString sorted = m_out + QStringLiteral("/001.JPG");
    const bool inOutput = change.endsWith(QLatin1String("output"));
    if (inOutput)
        QVERIFY(QDir().mkpath(m_out));
    if (inOutput && !change.startsWith(QLatin1String("add")))
        QVERIFY(TestImages::makeImage(sorted, "Canon", "2020:01:01 10:00:00"));

    FHSortOptions options;
    options.inputDir = m_in;
    options.outputDir = m_out;
    int plans = 0;
    bool answered = false;
    QString informative;
    int rowsAfter = -1;
    int lingering = 0;
    ModalCloser closer([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (box->objectName() != QLatin1String("foldersChangedBox"))
                return closeOther(modal);
            informative = box->informativeText();
            answered = true;
            return clickLater(box, qPrintable(answer));
        }
        FHPreviewDialog *dialog = previewIn(modal);
        if (!dialog)
            return;
        if (++plans == 1) {
            const QString path = inOutput ? sorted : m_in + QStringLiteral("/IMG_0002.JPG");
            if (change.startsWith(QLatin1String("add")))
                QVERIFY(TestImages::makeImage(
                    inOutput ? sorted : m_in + "/new.JPG", "Canon", "2021:04:01 10:00:00"));
            else if (change.startsWith(QLatin1String("remove")))
                QVERIFY(QFile::remove(path));
            else
                QVERIFY(TestImages::writeTags(path, { { "Exif.Image.Model", "changed" } }));
            return clickLater(dialog, "sortButton");
        }
        // "Sort anyway" accepts the dialog itself; the closer may still catch it
        // on its way out, so it only counts a dialog that stays up for a second.
        if (answered && answer == QLatin1String("sortAnywayButton") && ++lingering < 50)
            return;
        // Back from the box: planned anew, or as it was.
        rowsAfter = dialog->model()->rowCount();
        clickLater(dialog,
            answered && answer == QLatin1String("cancelButton") ? "closeButton" : "sortButton");
    });
    QCOMPARE(FHPreviewDialog::showFor(options, nullptr), sort);
    QVERIFY(answered);
    QVERIFY2(informative.contains(reported), qPrintable(informative));
    if (answer == QLatin1String("sortAnywayButton"))
        QCOMPARE(rowsAfter, -1);
    else
        QCOMPARE(rowsAfter, 5); // the sidecar goes with its photo, the video is not chosen
    QCOMPARE(QFileInfo::exists(m_out), inOutput);
}

void TestPreview::sizeFitsAndIsRemembered()
{
    FHSortOptions options;
    options.inputDir = m_in;
    options.outputDir = m_out;
    QSize first;
    QSize second;
    QRect room;
    ModalCloser closer([&](QWidget *modal) {
        FHPreviewDialog *dialog = previewIn(modal);
        if (!dialog)
            return;
        if (first.isEmpty()) {
            first = dialog->frameGeometry().size();
            room = dialog->screen()->availableGeometry();
            dialog->resize(500, 380);
        } else {
            second = dialog->size();
        }
        clickLater(dialog, "closeButton");
    });
    QVERIFY(!FHPreviewDialog::showFor(options, nullptr));
    QVERIFY(!FHPreviewDialog::showFor(options, nullptr));
    QVERIFY2(first.width() <= room.width() && first.height() <= room.height(),
        qPrintable(QStringLiteral("%1x%2 in %3x%4")
                       .arg(first.width())
                       .arg(first.height())
                       .arg(room.width())
                       .arg(room.height())));
    QCOMPARE(second, QSize(500, 380));
    QCOMPARE(FHSettings().value(FHSettingKey::PreviewSize).toSize(), second);
}

void TestPreview::firstStartQuestion_data()
{
    QTest::addColumn<QString>("button"); // empty: the window is closed
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("dontAskAgain");

    QTest::newRow("preview") << "previewButton" << false << int(FHFirstStartQuestion::Preview)
                             << false;
    QTest::newRow("preview, don't ask")
        << "previewButton" << true << int(FHFirstStartQuestion::Preview) << true;
    QTest::newRow("sort, don't ask")
        << "sortButton" << true << int(FHFirstStartQuestion::Sort) << true;
    QTest::newRow("cancel keeps asking")
        << "cancelButton" << true << int(FHFirstStartQuestion::Cancel) << false;
    QTest::newRow("closed") << QString() << false << int(FHFirstStartQuestion::Cancel) << false;
}

void TestPreview::firstStartQuestion()
{
    QFETCH(QString, button);
    QFETCH(bool, checked);
    QFETCH(int, answer);
    QFETCH(bool, dontAskAgain);

    QString text;
    bool dontAsk = !dontAskAgain;
    {
        ModalCloser closer([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            text = box->text();
            box->findChild<QCheckBox *>(QStringLiteral("dontAskAgainBox"))->setChecked(checked);
            if (button.isEmpty())
                box->close();
            else
                box->findChild<QPushButton *>(button)->click();
        });
        QCOMPARE(int(FHFirstStartQuestion::ask(1234, 0, nullptr, &dontAsk)), answer);
    }
    QCOMPARE(dontAsk, dontAskAgain);
    QCOMPARE(text, QStringLiteral("Photos to be moved and renamed: 1,234"));

    // Without a place for the answer there is no check box to tick.
    // And the files that would stay are told apart.
    bool hasCheckBox = true;
    ModalCloser plain([&](QWidget *modal) {
        hasCheckBox = modal->findChild<QCheckBox *>() != nullptr;
        text = qobject_cast<QMessageBox *>(modal)->text();
        modal->findChild<QPushButton *>(QStringLiteral("sortButton"))->click();
    });
    QCOMPARE(FHFirstStartQuestion::ask(1, 2, nullptr, nullptr), FHFirstStartQuestion::Sort);
    QVERIFY(!hasCheckBox);
    QCOMPARE(text,
        QStringLiteral("Photos to be moved and renamed: 1\n2 files would stay in the input; the "
                       "preview says why."));
}

QUILM_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
