#include "ui/FHPreviewDialog.h"

#include "engine/FHCameraClock.h"
#include "engine/FHIO.h"
#include "engine/FHNaming.h"
#include "engine/FHPaths.h"
#include "engine/FHReporter.h"
#include "ui/FHAlignDialog.h"
#include "ui/FHCameraModel.h"
#include "ui/FHCameraStrips.h"
#include "ui/FHPathLabel.h"
#include "ui/FHPlanModel.h"
#include "ui/FHRunReporter.h"
#include "ui/FHSettings.h"
#include "ui/FHShiftDelegate.h"
#include "ui/FHThumbnailLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Page
{
    PlanningPage,
    PlanPage,
};

// What planning reports is shown with the plan; failures reach the window's
// log, output panel and boxes as they would in a sort.
class PreviewReporter : public FHReporter
{
public:
    explicit PreviewReporter(QStringList &notes)
        : m_notes(notes)
    {
    }
    void message(const QString &text) override { m_notes << text; }
    void error(const QString &text) override { m_window.error(text); }
    void exception(const FHException &e) override { m_window.exception(e); }

private:
    QStringList &m_notes;
    FHRunReporter m_window;
};

QString familyText(const QString &family)
{
    if (family == QLatin1String("photo"))
        return FHPreviewDialog::tr("Photos");
    if (family == QLatin1String("heif"))
        return FHPreviewDialog::tr("HEIF images");
    if (family == QLatin1String("raw"))
        return FHPreviewDialog::tr("RAW images");
    if (family == QLatin1String("webp-tiff"))
        return FHPreviewDialog::tr("WebP and TIFF images");
    if (family == QLatin1String("video"))
        return FHPreviewDialog::tr("Videos");
    return family;
}

QString number(qint64 n)
{
    return QLocale().toString(n);
}

QSize defaultSize(const QWidget *dialog, const QWidget *parent)
{
    const QScreen *screen = parent ? parent->screen() : dialog->screen();
    const QSize room = screen->availableGeometry().size() - QSize(40, 60);
    return QSize(960, 600).boundedTo(room).expandedTo(dialog->minimumSizeHint());
}

} // namespace

bool FHPreviewDialog::showFor(const FHSortOptions &options, QWidget *parent, FHSortOptions *chosen)
{
    FHPreviewDialog dialog(options, parent);
    QTimer::singleShot(0, &dialog, [&dialog] {
        if (!dialog.plan())
            dialog.reject();
    });
    const bool sort = dialog.exec() == QDialog::Accepted;
    FHSettings().setValue(FHSettingKey::PreviewSize, dialog.size());
    if (chosen)
        *chosen = dialog.options();
    return sort;
}

FHPreviewDialog::FHPreviewDialog(const FHSortOptions &options, QWidget *parent)
    : QDialog(parent)
    , m_options(options)
    , m_guard(std::make_unique<FHIO>(options.inputDir, QStringLiteral("preview")))
    , m_model(new FHPlanModel(this))
    , m_proxy(new FHPlanFilterModel(this))
    , m_thumbnails(new FHThumbnailLoader(this))
    , m_cameraModel(new FHCameraModel(this))
    , m_filterDelay(new QTimer(this))
    , m_pages(new QStackedWidget(this))
    , m_planningLabel(new QLabel(this))
    , m_progressBar(new QProgressBar(this))
    , m_stageLabel(new QLabel(this))
    , m_fileLabel(new FHPathLabel(this))
    , m_fromCaption(new QLabel(this))
    , m_fromLabel(new FHPathLabel(this))
    , m_intoCaption(new QLabel(this))
    , m_intoLabel(new FHPathLabel(this))
    , m_filterCaption(new QLabel(this))
    , m_filterEdit(new QLineEdit(this))
    , m_shownLabel(new QLabel(this))
    , m_tabs(new QTabWidget(this))
    , m_splitter(new QSplitter(Qt::Horizontal, this))
    , m_table(new QTableView(this))
    , m_camerasHint(new QLabel(this))
    , m_cameraTable(new QTableView(this))
    , m_strips(new FHCameraStrips(this))
    , m_proposalButton(new QPushButton(this))
    , m_alignButton(new QPushButton(this))
    , m_folderList(new QTreeWidget(this))
    , m_totalsLabel(new QLabel(this))
    , m_notesButton(new QPushButton(this))
    , m_sortButton(new QPushButton(this))
    , m_closeButton(new QPushButton(this))
    , m_cancelButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("previewDialog"));
    setWindowFlags(
        (windowFlags() | Qt::WindowMaximizeButtonHint) & ~Qt::WindowContextHelpButtonHint);
    setSizeGripEnabled(true);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_stageLabel->setObjectName(QStringLiteral("stageLabel"));
    m_fileLabel->setObjectName(QStringLiteral("fileLabel"));
    m_filterEdit->setObjectName(QStringLiteral("filterEdit"));
    m_shownLabel->setObjectName(QStringLiteral("shownLabel"));
    m_table->setObjectName(QStringLiteral("planTable"));
    m_folderList->setObjectName(QStringLiteral("folderList"));
    m_totalsLabel->setObjectName(QStringLiteral("totalsLabel"));
    m_notesButton->setObjectName(QStringLiteral("notesButton"));
    m_tabs->setObjectName(QStringLiteral("previewTabs"));
    m_cameraTable->setObjectName(QStringLiteral("cameraTable"));
    m_proposalButton->setObjectName(QStringLiteral("proposalButton"));
    m_alignButton->setObjectName(QStringLiteral("alignButton"));
    m_sortButton->setObjectName(QStringLiteral("sortButton"));
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));

    createPlanningPage();
    createPlanPage();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(createButtons());

    m_filterDelay->setSingleShot(true);
    m_filterDelay->setInterval(150);
    connect(m_filterEdit, &QLineEdit::textChanged, m_filterDelay, qOverload<>(&QTimer::start));
    connect(m_filterDelay, &QTimer::timeout, this, [this] {
        m_proxy->setFilterText(m_filterEdit->text().trimmed());
        showShownCount();
    });
    connect(m_notesButton, &QPushButton::clicked, this, &FHPreviewDialog::showNotes);
    connect(m_alignButton, &QPushButton::clicked, this, &FHPreviewDialog::align);
    connect(m_proposalButton, &QPushButton::clicked, this, [this] {
        const int row = m_cameraTable->currentIndex().row();
        if (row >= 0 && m_cameraModel->hasProposal(row))
            m_cameraModel->setOffset(row, m_cameraModel->proposal(row));
    });
    connect(m_cameraModel, &FHCameraModel::offsetChanged, this, &FHPreviewDialog::offsetChanged);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &FHPreviewDialog::updateCameraButtons);
    connect(m_cameraTable->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &FHPreviewDialog::updateCameraButtons);
    connect(m_sortButton, &QPushButton::clicked, this, &FHPreviewDialog::sortNow);
    connect(m_closeButton, &QPushButton::clicked, this, &FHPreviewDialog::reject);
    connect(m_cancelButton, &QPushButton::clicked, this, &FHPreviewDialog::reject);

    // Shown with a plan: the row of buttons must not widen a small window before.
    m_alignButton->hide();
    retranslateUi();
    const QSize saved = FHSettings().value(FHSettingKey::PreviewSize).toSize();
    const QSize room = (parent ? parent->screen() : screen())->availableGeometry().size();
    resize(saved.isValid() && !saved.isEmpty() ? saved.boundedTo(room) : defaultSize(this, parent));
}

void FHPreviewDialog::createPlanningPage()
{
    auto *planning = new QWidget(m_pages);
    auto *planningLayout = new QVBoxLayout(planning);
    m_planningLabel->setWordWrap(true);
    m_progressBar->setRange(0, 100);
    planningLayout->addStretch(1);
    planningLayout->addWidget(m_planningLabel);
    planningLayout->addWidget(m_progressBar);
    planningLayout->addWidget(m_stageLabel);
    planningLayout->addWidget(m_fileLabel);
    planningLayout->addStretch(2);
    m_pages->addWidget(planning);
}

void FHPreviewDialog::createPlanPage()
{
    auto *plan = new QWidget(m_pages);
    auto *planLayout = new QGridLayout(plan);
    planLayout->setContentsMargins(0, 0, 0, 0);
    planLayout->addWidget(m_fromCaption, 0, 0);
    planLayout->addWidget(m_fromLabel, 0, 1, 1, 2);
    planLayout->addWidget(m_intoCaption, 1, 0);
    planLayout->addWidget(m_intoLabel, 1, 1, 1, 2);
    planLayout->addWidget(m_filterCaption, 2, 0);
    planLayout->addWidget(m_filterEdit, 2, 1);
    planLayout->addWidget(m_shownLabel, 2, 2);
    planLayout->addWidget(m_tabs, 3, 0, 1, 3);
    planLayout->addWidget(m_totalsLabel, 4, 0, 1, 3);
    planLayout->setColumnStretch(1, 1);
    planLayout->setRowStretch(3, 1);
    m_filterCaption->setBuddy(m_filterEdit);
    m_filterEdit->setClearButtonEnabled(true);
    m_totalsLabel->setWordWrap(true);
    m_totalsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    setUpTable();
    m_splitter->addWidget(m_table);
    m_splitter->addWidget(m_folderList);
    m_splitter->setStretchFactor(0, 4);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    m_tabs->addTab(m_splitter, QString());
    m_tabs->addTab(createCamerasPage(), QString());
    m_pages->addWidget(plan);
}

QWidget *FHPreviewDialog::createCamerasPage()
{
    auto *page = new QWidget(m_tabs);
    auto *layout = new QVBoxLayout(page);
    m_cameraTable->setModel(m_cameraModel);
    m_cameraTable->setItemDelegateForColumn(
        FHCameraModel::Offset, new FHShiftDelegate(m_cameraTable));
    m_cameraTable->verticalHeader()->hide();
    m_cameraTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_cameraTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_cameraTable->setEditTriggers(QAbstractItemView::DoubleClicked
        | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_cameraTable->setWordWrap(false);
    m_cameraTable->horizontalHeader()->setStretchLastSection(true);
    m_camerasHint->setWordWrap(true);
    auto *row = new QHBoxLayout;
    row->addWidget(m_camerasHint, 1);
    row->addWidget(m_proposalButton);
    m_cameraTable->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    layout->addWidget(m_cameraTable);
    layout->addLayout(row);
    layout->addWidget(m_strips, 1);
    m_strips->setModel(m_cameraModel);
    fitCameraTable();
    return page;
}

void FHPreviewDialog::setUpTable()
{
    m_proxy->setPlanModel(m_model);
    m_model->setThumbnails(m_thumbnails);
    m_table->setModel(m_proxy);
    // 50,000 rows stay fast only while no row or column is measured from its texts.
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(
        qMax(FHThumbnailLoader::Edge + 6, fontMetrics().height() + 6));
    m_table->setIconSize(QSize(FHThumbnailLoader::Edge, FHThumbnailLoader::Edge));
    m_table->horizontalHeader()->moveSection(FHPlanModel::Thumbnail, 0);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setAlternatingRowColors(true);
    m_table->setShowGrid(false);
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideMiddle);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    m_folderList->setColumnCount(2);
    m_folderList->setRootIsDecorated(false);
    m_folderList->setUniformRowHeights(true);
    m_folderList->setSortingEnabled(true);
    m_folderList->sortByColumn(0, Qt::AscendingOrder);
    m_folderList->header()->setStretchLastSection(false);
    m_folderList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_folderList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
}

QHBoxLayout *FHPreviewDialog::createButtons()
{
    // Enter in the filter must not start the sort.
    for (QPushButton *button : { m_notesButton, m_sortButton, m_closeButton, m_cancelButton,
             m_proposalButton, m_alignButton })
        button->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_notesButton);
    buttons->addWidget(m_alignButton);
    buttons->addStretch(1);
    buttons->addWidget(m_sortButton);
    buttons->addWidget(m_closeButton);
    buttons->addWidget(m_cancelButton);

    return buttons;
}

FHPreviewDialog::~FHPreviewDialog() = default;

bool FHPreviewDialog::plan()
{
    // Once more when the plan shows cameras with offsets kept from before:
    // the options name the cameras as the plan found them.
    if (!planOnce())
        return false;
    const QStringList stored = storedShifts();
    if (stored == m_options.cameraShifts)
        return true;
    m_options.cameraShifts = stored;
    return planOnce();
}

bool FHPreviewDialog::planOnce()
{
    // The EXIF library's messages are routed to the run while it plans: no
    // thumbnail is read meanwhile.
    m_thumbnails->halt();
    m_pages->setCurrentIndex(PlanningPage);
    m_notesButton->hide();
    m_alignButton->hide();
    m_sortButton->hide();
    m_closeButton->hide();
    m_cancelButton->show();
    m_cancelButton->setEnabled(true);
    m_cancelled = false;
    m_notes.clear();
    m_progressBar->setValue(0);
    m_stageLabel->setText(tr("Listing the files…"));
    m_fileLabel->setPath(QString());
    retranslateUi();

    FHSortOptions options = m_options;
    options.dryRun = true;
    PreviewReporter reporter(m_notes);
    FHSortEngine engine(m_guard.get(), &reporter);
    connect(&engine, &FHSortEngine::progress, m_progressBar, &QProgressBar::setValue);
    connect(&engine, &FHSortEngine::filesDone, this, &FHPreviewDialog::showProgress);
    m_engine = &engine;
    // Shown before the listing, which gives no sign until it is done.
    QCoreApplication::processEvents();
    m_eventsProcessed.start();
    FHSortPlan plan;
    const FHSortEngine::Outcome outcome
        = m_cancelled ? FHSortEngine::Stopped : engine.run(options, plan);
    m_engine = nullptr;
    if (m_cancelled || outcome != FHSortEngine::Completed)
        return false;
    showPlan(std::move(plan));
    return true;
}

void FHPreviewDialog::showProgress(FHSortEngine::Stage stage, qint64 done, qint64 total)
{
    // Painting and answering about 30 times a second keeps Cancel at hand
    // without slowing the planning down.
    if (m_eventsProcessed.elapsed() < 33)
        return;
    m_eventsProcessed.start();
    m_stageLabel->setText(stage == FHSortEngine::Reading
            ? tr("Reading capture dates: %1 of %2").arg(number(done), number(total))
            : tr("Choosing the new names: %1 of %2").arg(number(done), number(total)));
    // A temporary name means nothing to the user: the label keeps the file before.
    if (!isTemporaryName(m_guard->currentFile()))
        m_fileLabel->setPath(m_guard->currentFile());
    QCoreApplication::processEvents();
}

void FHPreviewDialog::showPlan(FHSortPlan plan)
{
    m_model->setPlan(std::move(plan), m_options.inputDir, m_options.outputDir);
    m_cameraModel->setPlan(m_model->plan());
    m_check = FHPlanCheck(m_model->plan(), m_options);
    m_filterDelay->stop();
    m_filterEdit->clear();
    m_proxy->setFilterText(QString());
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);

    fitColumns();
    showFolders();
    showTotals();
    showShownCount();
    m_notesButton->setVisible(!m_notes.isEmpty());
    m_alignButton->show();
    m_sortButton->setEnabled(m_model->plan().movedCount > 0);
    m_sortButton->show();
    m_closeButton->show();
    m_cancelButton->hide();
    m_pages->setCurrentIndex(PlanPage);
    retranslateUi();
    m_fromLabel->setPath(FHPaths::shown(m_model->input()));
    m_intoLabel->setPath(FHPaths::shown(m_model->output()));
    m_cameraTable->resizeColumnsToContents();
    fitCameraTable();
    updateCameraButtons();
    m_table->setFocus();
}

void FHPreviewDialog::fitCameraTable()
{
    // As high as its rows, up to eight, and one at least; the strips take the rest.
    const auto tableHeight = [this](int rows) {
        return 2 * m_cameraTable->frameWidth()
            + m_cameraTable->horizontalHeader()->sizeHint().height()
            + rows * m_cameraTable->verticalHeader()->defaultSectionSize() + 2;
    };
    m_cameraTable->setMinimumHeight(tableHeight(1));
    m_cameraTable->setMaximumHeight(tableHeight(qBound(1, m_cameraModel->rowCount(), 8)));
}

QStringList FHPreviewDialog::storedShifts() const
{
    const QMap<QString, qint64> stored = FHSettings().cameraShifts();
    QStringList texts;
    for (int row = 0; row < m_cameraModel->rowCount(); ++row) {
        const QString camera = m_cameraModel->camera(row);
        if (stored.contains(camera))
            texts << camera + QLatin1Char('=') + FHCameraClock::shiftText(stored.value(camera));
    }
    return texts;
}

void FHPreviewDialog::offsetChanged(const QString &camera, qint64 seconds)
{
    FHSettings().setCameraShift(camera, seconds);
    m_options.cameraShifts = m_cameraModel->shiftTexts();
    // After the editor has closed and the strips have been drawn anew.
    if (!m_planAgainQueued) {
        m_planAgainQueued = true;
        QTimer::singleShot(0, this, &FHPreviewDialog::planAgain);
    }
}

void FHPreviewDialog::planAgain()
{
    m_planAgainQueued = false;
    if (isPlanning())
        return;
    if (!planOnce())
        QDialog::reject();
}

bool FHPreviewDialog::selectedPair(FHPlanEntry *a, FHPlanEntry *b) const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.size() != 2)
        return false;
    const FHPlanEntry &first = m_model->entryAt(m_proxy->mapToSource(rows.at(0)).row());
    const FHPlanEntry &second = m_model->entryAt(m_proxy->mapToSource(rows.at(1)).row());
    if (first.camera.isEmpty() || second.camera.isEmpty() || first.camera == second.camera
        || !first.captured.isValid() || !second.captured.isValid())
        return false;
    // The upper row is the camera to set.
    const bool inOrder = rows.at(0).row() < rows.at(1).row();
    *a = inOrder ? first : second;
    *b = inOrder ? second : first;
    return true;
}

void FHPreviewDialog::updateCameraButtons()
{
    FHPlanEntry a;
    FHPlanEntry b;
    m_alignButton->setEnabled(!isPlanning() && selectedPair(&a, &b));
    const int row = m_cameraTable->currentIndex().row();
    m_proposalButton->setEnabled(!isPlanning() && row >= 0 && m_cameraModel->hasProposal(row)
        && m_cameraModel->offset(row) != m_cameraModel->proposal(row));
}

void FHPreviewDialog::align()
{
    FHPlanEntry a;
    FHPlanEntry b;
    if (isPlanning() || !selectedPair(&a, &b))
        return;
    FHAlignDialog dialog(a, b, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int row = m_cameraModel->rowOf(dialog.camera());
    if (row < 0)
        return;
    if (!m_cameraModel->setOffset(row, dialog.offset())) {
        QMessageBox box(QMessageBox::Warning, windowTitle(),
            tr("The offset %1 would move shots of %2 before 1970 or past next year. It was not "
               "taken.")
                .arg(FHCameraClock::shiftText(dialog.offset()), dialog.camera()),
            QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("offsetRefusedBox"));
        box.exec();
    }
}

void FHPreviewDialog::reject()
{
    if (m_engine) {
        m_cancelled = true;
        m_engine->stop();
        m_cancelButton->setEnabled(false);
        return;
    }
    QDialog::reject();
}

void FHPreviewDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        if (m_pages->currentIndex() == PlanPage) {
            fitColumns();
            showFolders();
            showTotals();
            showShownCount();
            m_table->viewport()->update();
        }
    }
    QDialog::changeEvent(event);
}

void FHPreviewDialog::retranslateUi()
{
    setWindowTitle(tr("Preview of the sort"));
    m_planningLabel->setText(tr("Working out where each file would go. Nothing is moved until you "
                                "choose Sort now."));
    m_fromCaption->setText(tr("From:"));
    m_intoCaption->setText(tr("Into:"));
    m_filterCaption->setText(tr("&Filter:"));
    m_filterEdit->setPlaceholderText(tr("Name, folder, date or reason"));
    m_folderList->setHeaderLabels({ tr("Target folder"), tr("Files") });
    m_tabs->setTabText(0, tr("Fi&les"));
    m_tabs->setTabText(1, tr("C&ameras (%1)").arg(number(m_cameraModel->rowCount())));
    m_camerasHint->setText(tr("Double-click an offset to set a camera's clock right."));
    m_cameraTable->setToolTip(
        tr("To set a clock from a photo of the same moment, select one file of each camera "
           "under Files and choose Align clocks."));
    m_proposalButton->setText(tr("Take the &GPS offset"));
    m_alignButton->setText(tr("Align &clocks…"));
    m_alignButton->setToolTip(tr("Select one file of each of two cameras under Files."));
    m_notesButton->setText(tr("Notes (%1)…").arg(number(m_notes.size())));
    m_sortButton->setText(tr("Sort now"));
    m_sortButton->setToolTip(m_sortButton->isEnabled() ? QString() : tr("No file would move."));
    m_closeButton->setText(tr("Close"));
    m_cancelButton->setText(tr("Cancel"));
}

void FHPreviewDialog::fitColumns()
{
    // Widths from the header and the first rows: measuring every row would
    // cost seconds for a large plan. A header keeps room for the sort mark
    // that clicking it adds.
    const QFontMetrics metrics = m_table->fontMetrics();
    const int rows = qMin(m_model->rowCount(), 200);
    m_table->setColumnWidth(FHPlanModel::Thumbnail,
        qMax(FHThumbnailLoader::Edge + 12,
            m_table->horizontalHeader()->sectionSizeHint(FHPlanModel::Thumbnail)));
    for (int column = 0; column < FHPlanModel::ColumnCount; ++column) {
        if (column == FHPlanModel::Reason || column == FHPlanModel::Thumbnail)
            continue;
        int width = 0;
        for (int row = 0; row < rows; ++row)
            width = qMax(width, metrics.horizontalAdvance(m_model->text(row, column)) + 16);
        m_table->setColumnWidth(
            column, qMax(qMin(width, 320), m_table->horizontalHeader()->sectionSizeHint(column)));
    }
}

void FHPreviewDialog::showFolders()
{
    QMap<QString, int> counts;
    for (const FHPlanEntry &entry : m_model->plan().entries) {
        if (entry.placed)
            ++counts[entry.targetFolder];
    }
    m_folderList->setSortingEnabled(false);
    m_folderList->clear();
    QList<QTreeWidgetItem *> items;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        auto *item = new QTreeWidgetItem({ m_model->folderText(it.key()), number(it.value()) });
        item->setToolTip(0, FHPaths::shown(it.key()));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    m_folderList->addTopLevelItems(items);
    m_folderList->setSortingEnabled(true);
    // The narrow side of the splitter: on a small or much scaled screen it
    // would cut its headers, sort mark and all, and the folder names short.
    const QAbstractItemView *view = m_folderList;
    int width
        = 2 * m_folderList->frameWidth() + m_folderList->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_folderList->columnCount(); ++column)
        width += qMax(
            m_folderList->header()->sectionSizeHint(column), view->sizeHintForColumn(column));
    m_folderList->setMinimumWidth(width);
}

void FHPreviewDialog::showTotals()
{
    const FHSortPlan &plan = m_model->plan();
    QMap<int, int> staying;
    for (const FHPlanEntry &entry : plan.entries) {
        if (!entry.placed && entry.reason != FHSkipReason::None)
            ++staying[int(entry.reason)];
    }
    QStringList lines;
    // showFolders() has listed the target folders.
    lines << tr("Files to move: %1 · Target folders: %2")
                 .arg(number(plan.movedCount), number(m_folderList->topLevelItemCount()));
    if (!staying.isEmpty()) {
        QStringList parts;
        int total = 0;
        for (auto it = staying.cbegin(); it != staying.cend(); ++it) {
            parts << tr("%1: %2").arg(skipReasonLabel(FHSkipReason(it.key())), number(it.value()));
            total += it.value();
        }
        lines << tr("Files that stay where they are: %1 (%2)")
                     .arg(number(total), parts.join(QStringLiteral(", ")));
    }
    if (!plan.otherTypes.isEmpty()) {
        QStringList parts;
        int total = 0;
        for (auto it = plan.otherTypes.cbegin(); it != plan.otherTypes.cend(); ++it) {
            parts << tr("%1: %2").arg(familyText(it.key()), number(it.value()));
            total += it.value();
        }
        lines << tr("Files of kinds not chosen, not sorted: %1 (%2)")
                     .arg(number(total), parts.join(QStringLiteral(", ")));
    }
    if (plan.leftoverCount() > 0)
        lines << tr("Temporary names left by an earlier run, named as well: %1")
                     .arg(number(plan.leftoverCount()));
    m_totalsLabel->setText(lines.join(QLatin1Char('\n')));
}

void FHPreviewDialog::showShownCount()
{
    m_shownLabel->setText(
        tr("Shown: %1 of %2").arg(number(m_proxy->rowCount()), number(m_model->rowCount())));
}

void FHPreviewDialog::sortNow()
{
    const FHPlanCheck::Changes input = m_check.inputChanges();
    const FHPlanCheck::Changes targets = m_check.targetChanges();
    if (!input.any() && !targets.any()) {
        accept();
        return;
    }
    const QString what = !targets.any()
        ? tr("The input folder changed after this preview was made.")
        : !input.any() ? tr("The target folders changed after this preview was made.")
                       : tr("The input and target folders changed after this preview was made.");
    QMessageBox box(QMessageBox::Warning, windowTitle(), what, QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("foldersChangedBox"));
    QStringList counts;
    QStringList details;
    const auto list = [&](const QString &label, const QStringList &paths) {
        if (paths.isEmpty())
            return;
        counts << tr("%1: %2").arg(label, number(paths.size()));
        details << label << paths << QString();
    };
    list(tr("Files added"), input.added);
    list(tr("Files removed"), input.removed);
    list(tr("Files changed"), input.changed);
    list(tr("Files added to the target folders"), targets.added);
    list(tr("Files removed from the target folders"), targets.removed);
    list(tr("Files changed in the target folders"), targets.changed);
    box.setInformativeText(counts.join(QLatin1Char('\n')) + QStringLiteral("\n\n")
        + tr("A sort now works on the folder as it is now, so its result differs from this "
             "preview."));
    box.setDetailedText(details.join(QLatin1Char('\n')).trimmed());
    QPushButton *sortAnyway = box.addButton(tr("Sort anyway"), QMessageBox::AcceptRole);
    sortAnyway->setObjectName(QStringLiteral("sortAnywayButton"));
    QPushButton *again = box.addButton(tr("Preview again"), QMessageBox::ActionRole);
    again->setObjectName(QStringLiteral("previewAgainButton"));
    box.addButton(QMessageBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    box.setDefaultButton(again);
    box.exec();
    if (box.clickedButton() == sortAnyway)
        accept();
    else if (box.clickedButton() == again && !plan())
        QDialog::reject();
}

void FHPreviewDialog::showNotes()
{
    QMessageBox box(QMessageBox::Information, windowTitle(),
        tr("Notes made while planning the sort: %1").arg(number(m_notes.size())),
        QMessageBox::Close, this);
    box.setObjectName(QStringLiteral("notesBox"));
    box.setInformativeText(tr("The same notes are written to the log when the files are sorted."));
    box.setDetailedText(m_notes.join(QLatin1Char('\n')));
    box.exec();
}
