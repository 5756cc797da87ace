#include "ui/FHUndoDialog.h"

#include "engine/FHIO.h"
#include "engine/FHPaths.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHPathLabel.h"
#include "ui/FHPlanModel.h"
#include "ui/FHRunReporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Page
{
    ConfirmPage,
    ProgressPage,
    SummaryPage,
};

QString number(qint64 n)
{
    return QLocale().toString(n);
}

// Rows as high as their texts wrapped at their columns' widths: a tree view
// measures a row without telling the width it has.
class WrappingDelegate : public QStyledItemDelegate
{
public:
    explicit WrappingDelegate(QTreeView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem sized = option;
        sized.rect
            = QRect(0, 0, m_view->columnWidth(index.column()), qMax(option.rect.height(), 1));
        return QStyledItemDelegate::sizeHint(sized, index);
    }

private:
    QTreeView *m_view;
};

} // namespace

void FHUndoDialog::undoLastSort(FHexiv2Application *app, QWidget *parent)
{
    const QString id = FHUndo::lastUndoableRun();
    FHJournalStore::Run run;
    for (const FHJournalStore::Run &listed : FHJournalStore::runs()) {
        if (listed.id == id)
            run = listed;
    }
    if (id.isEmpty() || run.id.isEmpty()) {
        QMessageBox box(QMessageBox::Information, tr("Undo the last sort"),
            tr("There is no sort to undo."), QMessageBox::Ok, parent);
        box.setObjectName(QStringLiteral("nothingToUndoBox"));
        box.setInformativeText(tr("Every sort on record has been undone, or none has moved a "
                                  "file yet."));
        box.exec();
        return;
    }
    FHUndoDialog dialog(app, run, parent);
    dialog.exec();
}

FHUndoDialog::FHUndoDialog(FHexiv2Application *app, const FHJournalStore::Run &run, QWidget *parent)
    : QDialog(parent)
    , m_app(app)
    , m_run(run)
    , m_pages(new QStackedWidget(this))
    , m_questionLabel(new QLabel(this))
    , m_timeLabel(new QLabel(this))
    , m_inputLabel(new FHPathLabel(this))
    , m_outputLabel(new FHPathLabel(this))
    , m_countLabel(new QLabel(this))
    , m_stateLabel(new QLabel(this))
    , m_progressBar(new QProgressBar(this))
    , m_fileLabel(new FHPathLabel(this))
    , m_summaryLabel(new QLabel(this))
    , m_leftList(new QTreeWidget(this))
    , m_undoButton(new QPushButton(tr("Undo"), this))
    , m_cancelButton(new QPushButton(tr("Cancel"), this))
    , m_closeButton(new QPushButton(tr("Close"), this))
{
    setObjectName(QStringLiteral("undoDialog"));
    setWindowTitle(tr("Undo the last sort"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_fileLabel->setObjectName(QStringLiteral("fileLabel"));
    m_summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    m_leftList->setObjectName(QStringLiteral("leftList"));
    m_undoButton->setObjectName(QStringLiteral("undoButton"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_closeButton->setObjectName(QStringLiteral("closeButton"));

    m_pages->addWidget(createConfirmPage(run));
    m_pages->addWidget(createProgressPage());
    m_pages->addWidget(createSummaryPage());

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_undoButton);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_closeButton);
    m_closeButton->hide();
    m_undoButton->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);

    connect(m_undoButton, &QPushButton::clicked, this, &FHUndoDialog::undo);
    connect(m_cancelButton, &QPushButton::clicked, this, &FHUndoDialog::reject);
    connect(m_closeButton, &QPushButton::clicked, this, &FHUndoDialog::accept);

    setMinimumWidth(qMin(560, fontMetrics().averageCharWidth() * 70));
    resize(sizeHint().expandedTo(QSize(minimumWidth(), 0)));
}

// What will be undone.
QWidget *FHUndoDialog::createConfirmPage(const FHJournalStore::Run &run)
{
    auto *confirm = new QWidget(m_pages);
    auto *grid = new QGridLayout(confirm);
    grid->setContentsMargins(0, 0, 0, 0);
    m_questionLabel->setWordWrap(true);
    m_questionLabel->setText(tr("<p><b>Move the files of this sort back?</b></p><p>Each file "
                                "goes back where it was, under its old name. A file that changed "
                                "since, or whose old place is taken, stays where it is.</p>"));
    grid->addWidget(m_questionLabel, 0, 0, 1, 2);
    const auto addRow = [&](const QString &caption, QLabel *value) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(caption, confirm), row, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(value, row, 1);
    };
    addRow(tr("Sorted:"), m_timeLabel);
    addRow(tr("From:"), m_inputLabel);
    addRow(tr("Into:"), m_outputLabel);
    addRow(tr("Files:"), m_countLabel);
    const QString state = run.outcome == QLatin1String("completed") ? QString()
        : run.outcome == QLatin1String("stopped")
        ? tr("Stopped before the end; the files it moved go back.")
        : run.outcome == QLatin1String("failed")
        ? tr("Ended by a failure; the files it moved go back.")
        : tr("Cut short; the files it moved go back.");
    if (!state.isEmpty()) {
        m_stateLabel->setText(state);
        m_stateLabel->setWordWrap(true);
        addRow(tr("State:"), m_stateLabel);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(grid->rowCount(), 1);
    const QLocale locale;
    m_timeLabel->setText(locale.toString(run.time.date(), QLocale::LongFormat) + QLatin1Char(' ')
        + locale.toString(run.time.time(), QLocale::ShortFormat));
    m_countLabel->setText(number(run.fileCount));
    m_inputLabel->setPath(FHPaths::shown(run.input));
    m_outputLabel->setPath(FHPaths::shown(run.output));
    return confirm;
}

// Files going back.
QWidget *FHUndoDialog::createProgressPage()
{
    auto *progress = new QWidget(m_pages);
    auto *progressLayout = new QVBoxLayout(progress);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addStretch(1);
    progressLayout->addWidget(new QLabel(tr("Moving the files back…"), progress));
    progressLayout->addWidget(m_progressBar);
    progressLayout->addWidget(m_fileLabel);
    progressLayout->addStretch(1);
    m_progressBar->setRange(0, 100);
    return progress;
}

// What went back and what stays.
QWidget *FHUndoDialog::createSummaryPage()
{
    auto *summary = new QWidget(m_pages);
    auto *summaryLayout = new QVBoxLayout(summary);
    summaryLayout->setContentsMargins(0, 0, 0, 0);
    m_summaryLabel->setWordWrap(true);
    m_summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summaryLayout->addWidget(m_summaryLabel);
    summaryLayout->addWidget(m_leftList, 1);
    m_leftList->setColumnCount(2);
    m_leftList->setHeaderLabels({ tr("File"), tr("Why it stays") });
    m_leftList->setRootIsDecorated(false);
    // A reason is a sentence with a path in it: it wraps rather than losing its
    // end, and so does a long path beside it.
    m_leftList->setWordWrap(true);
    m_leftList->setUniformRowHeights(false);
    m_leftList->setItemDelegate(new WrappingDelegate(m_leftList));
    m_leftList->header()->setSectionResizeMode(QHeaderView::Interactive);
    // A column of another width wraps its texts anew.
    connect(m_leftList->header(), &QHeaderView::sectionResized, m_leftList,
        &QTreeWidget::doItemsLayout, Qt::QueuedConnection);
    return summary;
}

void FHUndoDialog::reject()
{
    if (!m_running)
        QDialog::reject();
}

void FHUndoDialog::undo()
{
    m_pages->setCurrentIndex(ProgressPage);
    m_undoButton->hide();
    m_cancelButton->hide();
    m_running = true;
    QCoreApplication::processEvents();

    FHRunReporter reporter;
    FHUndo undo(m_app->fileGuard(), &reporter);
    connect(&undo, &FHUndo::progress, m_progressBar, &QProgressBar::setValue);
    const QMetaObject::Connection fileShown
        = connect(m_app->fileGuard(), &FHIO::getCurrentFile, this, &FHUndoDialog::showFile);
    m_eventsProcessed.start();
    FHSortPlan plan;
    const FHUndo::Outcome outcome = undo.run(m_run.id, false, plan);
    disconnect(fileShown);
    m_running = false;
    showSummary(plan, outcome);
}

void FHUndoDialog::showFile(const QString &path)
{
    // About 30 times a second: enough to see it move, cheap for the run.
    if (m_eventsProcessed.elapsed() < 33)
        return;
    m_eventsProcessed.start();
    m_fileLabel->setPath(path);
    QCoreApplication::processEvents();
}

void FHUndoDialog::showSummary(const FHSortPlan &plan, FHUndo::Outcome outcome)
{
    // Paths below the run's folders are shown from there, and whole in the tooltips.
    const auto below = [](const QString &folder, const QString &path) {
        const QString prefix = folder + QLatin1Char('/');
        return FHPaths::shown(path.startsWith(prefix) ? path.mid(prefix.size()) : path);
    };
    QList<QTreeWidgetItem *> items;
    int fileWidth = 0;
    for (const FHPlanEntry &entry : plan.entries) {
        if (entry.reason == FHSkipReason::None)
            continue;
        // The file that keeps a shot where it is, by name.
        const QString holder = entry.reason == FHSkipReason::ShotHeld && entry.heldBy >= 0
                && entry.heldBy < plan.entries.size()
            ? plan.entries.at(entry.heldBy).sourceName
            : QString();
        const auto why = [&](const QString &from) {
            switch (entry.reason) {
            case FHSkipReason::OriginalTaken:
                return tr("Its old place %1 is taken").arg(from);
            case FHSkipReason::Missing:
                return tr("Not found where the sort put it (it came from %1)").arg(from);
            case FHSkipReason::Changed:
                return tr("Changed after the sort (it came from %1)").arg(from);
            default:
                if (!holder.isEmpty())
                    return tr("Stays with its shot, as %1 stays (it came from %2)")
                        .arg(holder, from);
                return skipReasonLabel(entry.reason) + QStringLiteral(" (%1)").arg(from);
            }
        };
        const QString file = below(m_run.output, entry.sourcePath());
        auto *item = new QTreeWidgetItem({ file, why(below(m_run.input, entry.finalPath())) });
        item->setToolTip(0, FHPaths::shown(entry.sourcePath()));
        item->setToolTip(1, why(FHPaths::shown(entry.finalPath())));
        if (items.size() < 200)
            fileWidth = qMax(fileWidth, m_leftList->fontMetrics().horizontalAdvance(file));
        items << item;
    }
    m_leftList->addTopLevelItems(items);
    m_leftList->setVisible(!items.isEmpty());
    m_leftList->header()->resizeSection(0, qMin(fileWidth + 24, 280));

    QStringList lines;
    if (outcome == FHUndo::Failed)
        lines << tr("The undo ended early; the output panel says why. Undoing again finishes it.");
    lines << tr("Files moved back: %1").arg(number(plan.movedCount));
    if (!items.isEmpty())
        lines << tr("Files that stay where they are: %1").arg(number(items.size()));
    m_summaryLabel->setText(lines.join(QLatin1Char('\n')));

    m_pages->setCurrentIndex(SummaryPage);
    m_closeButton->show();
    m_closeButton->setDefault(true);
    m_closeButton->setFocus();
    if (!items.isEmpty())
        resize(size().expandedTo(QSize(width(), 360)));
}
