// Undoing a sort from the window: the confirmation names the run, files go
// back or stay for a reason the summary gives, and Cancel changes nothing.

#include "Invariant.h"
#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHJournal.h"
#include "engine/FHUndo.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHOutputWidget.h"
#include "ui/FHUndoDialog.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

class TestUndoDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void nothingToUndo();
    void confirmMovesBackAndReportsConflict();
    void cancelChangesNothing();
    void shotStaysWithItsReason();

private:
    // Three photos, recorded when an invariant is given, then sorted.
    void sortThree(Invariant *invariant = nullptr);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_in;
    QString m_out;
};

namespace {

const QString longFolder = QStringLiteral("On the coast of Brittany in the summer of 2022");

FHexiv2Application *app()
{
    return qobject_cast<FHexiv2Application *>(qApp);
}

// The dialog's page by its buttons.
bool confirming(QWidget *dialog)
{
    return dialog->findChild<QPushButton *>(QStringLiteral("undoButton"))->isVisible();
}

bool summing(QWidget *dialog)
{
    return dialog->findChild<QPushButton *>(QStringLiteral("closeButton"))->isVisible();
}

void clickLater(QWidget *dialog, const char *name)
{
    QTimer::singleShot(
        0, dialog->findChild<QPushButton *>(QLatin1String(name)), &QPushButton::click);
}

} // namespace

void TestUndoDialog::init()
{
    QDir(FHJournalStore::folder()).removeRecursively();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_in = m_dir->filePath(QStringLiteral("In"));
    m_out = m_dir->filePath(QStringLiteral("Out"));
    QVERIFY(QDir().mkpath(m_in));
}

void TestUndoDialog::sortThree(Invariant *invariant)
{
    // The second in a folder of a long name, for a reason longer than a line.
    QVERIFY(QDir(m_in).mkdir(longFolder));
    for (int i = 1; i <= 3; ++i)
        QVERIFY(TestImages::makeImage(QStringLiteral("%1/%2IMG_%3.JPG")
                                          .arg(m_in, i == 2 ? longFolder + '/' : QString())
                                          .arg(i),
            "Canon", QStringLiteral("2022:05:0%1 10:00:00").arg(i)));
    if (invariant)
        invariant->record();
    SortRunner runner;
    runner.options.inputDir = m_in;
    runner.options.outputDir = m_out;
    runner.options.recursive = true;
    runner.run();
    QCOMPARE(runner.moved, 3u);
    QCOMPARE(TestImages::filesUnder(m_in), QStringList());
}

void TestUndoDialog::nothingToUndo()
{
    ModalCloser closer;
    FHUndoDialog::undoLastSort(app(), nullptr);
    QCOMPARE(closer.count(), 1);
    QCOMPARE(closer.seen().first().className, QStringLiteral("QMessageBox"));
    QCOMPARE(closer.seen().first().icon, int(QMessageBox::Information));
    QCOMPARE(closer.seen().first().text, QStringLiteral("There is no sort to undo."));
}

void TestUndoDialog::confirmMovesBackAndReportsConflict()
{
    Invariant invariant(m_in, m_out);
    sortThree(&invariant);
    const QString id = FHUndo::lastUndoableRun();
    QVERIFY(!id.isEmpty());
    // Something new at one photo's original path.
    const QString taken = m_in + '/' + longFolder + QStringLiteral("/IMG_2.JPG");
    QVERIFY(TestImages::makeImage(taken, "Canon", "2023:01:01 10:00:00"));
    invariant.adopt(taken);

    QStringList shown; // the confirmation's texts and tooltips
    QString summary;
    QStringList left;
    QStringList cut; // reasons the list does not show whole
    FHOutputWidget::instance()->clear();
    ModalCloser closer([&](QWidget *modal) {
        if (modal->objectName() != QLatin1String("undoDialog")) {
            modal->close();
            return;
        }
        if (confirming(modal)) {
            for (const QLabel *label : modal->findChildren<QLabel *>())
                shown << label->text() << label->toolTip();
            clickLater(modal, "undoButton");
        } else if (summing(modal)) {
            summary = modal->findChild<QLabel *>(QStringLiteral("summaryLabel"))->text();
            const auto *list = modal->findChild<QTreeWidget *>(QStringLiteral("leftList"));
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                left << list->topLevelItem(i)->toolTip(0) + QStringLiteral(" | ")
                        + list->topLevelItem(i)->toolTip(1);
            // Each reason fits its cell, on as many lines as it takes.
            const int margin
                = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                const QString reason = list->topLevelItem(i)->text(1);
                const QRect cell = list->visualRect(list->model()->index(i, 1));
                const QRect needs = list->fontMetrics().boundingRect(
                    QRect(0, 0, cell.width() - margin, 10000), Qt::TextWordWrap, reason);
                if (needs.height() > cell.height() || needs.width() > cell.width() - margin)
                    cut << QStringLiteral("%1 (%2 x %3 in %4 x %5)")
                               .arg(reason)
                               .arg(needs.width())
                               .arg(needs.height())
                               .arg(cell.width())
                               .arg(cell.height());
            }
            clickLater(modal, "closeButton");
        }
    });
    FHUndoDialog::undoLastSort(app(), nullptr);

    QVERIFY2(shown.contains(QStringLiteral("3")) && shown.contains(m_in) && shown.contains(m_out),
        qPrintable(shown.join(QLatin1Char('|'))));
    QVERIFY2(summary.contains(QStringLiteral("Files moved back: 2")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("stay where they are: 1")), qPrintable(summary));
    QCOMPARE(left.size(), 1);
    QVERIFY2(left.first().startsWith(m_out + QLatin1Char('/')), qPrintable(left.first()));
    QVERIFY2(left.first().contains(taken + QStringLiteral(" is taken")), qPrintable(left.first()));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
    QCOMPARE(invariant.check(), QString());
    QCOMPARE(TestImages::filesUnder(m_in),
        (QStringList { "IMG_1.JPG", "IMG_3.JPG", longFolder + QStringLiteral("/IMG_2.JPG") }));
    QCOMPARE(TestImages::filesUnder(m_out).size(), 1);
    // Through the window's reports, as a sort's.
    QVERIFY2(FHOutputWidget::instance()->toPlainText().contains(taken),
        qPrintable(FHOutputWidget::instance()->toPlainText()));
    QVERIFY(FHUndo::lastUndoableRun().isEmpty());
}

void TestUndoDialog::cancelChangesNothing()
{
    sortThree();
    const QString id = FHUndo::lastUndoableRun();
    const QStringList sorted = TestImages::filesUnder(m_out);
    ModalCloser closer([](QWidget *modal) {
        if (modal->objectName() == QLatin1String("undoDialog") && confirming(modal))
            clickLater(modal, "cancelButton");
        else
            modal->close();
    });
    FHUndoDialog::undoLastSort(app(), nullptr);
    QCOMPARE(closer.seen().first().className, QStringLiteral("FHUndoDialog"));
    QCOMPARE(TestImages::filesUnder(m_out), sorted);
    QCOMPARE(TestImages::filesUnder(m_in), QStringList());
    QCOMPARE(FHUndo::lastUndoableRun(), id);
}

void TestUndoDialog::shotStaysWithItsReason()
{
    QVERIFY(
        TestImages::makeImage(m_in + QStringLiteral("/IMG_1.JPG"), "Canon", "2022:05:01 10:00:00"));
    QFile sidecar(m_in + QStringLiteral("/IMG_1.xmp"));
    QVERIFY(sidecar.open(QIODevice::WriteOnly) && sidecar.write("<x:xmpmeta/>") > 0);
    sidecar.close();
    SortRunner runner;
    runner.options.inputDir = m_in;
    runner.options.outputDir = m_out;
    runner.run();
    QCOMPARE(TestImages::filesUnder(m_out), (QStringList { "001.JPG", "001.xmp" }));
    QFile edited(m_out + QStringLiteral("/001.xmp"));
    QVERIFY(edited.open(QIODevice::Append) && edited.write("\n") == 1);
    edited.close();

    QStringList left;
    ModalCloser closer([&](QWidget *modal) {
        if (modal->objectName() != QLatin1String("undoDialog")) {
            modal->close();
        } else if (confirming(modal)) {
            clickLater(modal, "undoButton");
        } else if (summing(modal)) {
            const auto *list = modal->findChild<QTreeWidget *>(QStringLiteral("leftList"));
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                left << list->topLevelItem(i)->text(0) + QStringLiteral(": ")
                        + list->topLevelItem(i)->text(1);
            clickLater(modal, "closeButton");
        }
    });
    FHUndoDialog::undoLastSort(app(), nullptr);

    // The shot stays whole, and its photo says which file holds it.
    left.sort();
    QCOMPARE(left,
        (QStringList { "001.JPG: Stays with its shot, as 001.xmp stays (it came from IMG_1.JPG)",
            "001.xmp: Changed after the sort (it came from IMG_1.xmp)" }));
    QCOMPARE(TestImages::filesUnder(m_in), QStringList());
}

QUILM_TEST_MAIN(TestUndoDialog)
#include "tst_undodialog.moc"
