#include "ui/FHMainWindow.h"

#include "FHConfig.h"
#include "engine/FHCameraClock.h"
#include "engine/FHCameraMakers.h"
#include "engine/FHFileTypes.h"
#include "engine/FHIO.h"
#include "engine/FHSortEngine.h"
#include "engine/FHUndo.h"
#include "shell/FHApplication.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHAnimationPanel.h"
#include "ui/FHFileTypesDialog.h"
#include "ui/FHFirstStartQuestion.h"
#include "ui/FHFolderRows.h"
#include "ui/FHFontFit.h"
#include "ui/FHInfoBoxes.h"
#include "ui/FHLanguageMenu.h"
#include "ui/FHOptionGroup.h"
#include "ui/FHOutputWidget.h"
#include "ui/FHPicture.h"
#include "ui/FHPreviewDialog.h"
#include "ui/FHRunProgress.h"
#include "ui/FHRunReporter.h"
#include "ui/FHRunSummary.h"
#include "ui/FHSettings.h"
#include "ui/FHStartButton.h"
#include "ui/FHStatusLine.h"
#include "ui/FHUndoDialog.h"
#include "ui/FHWindowGoneFilter.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString productName = QStringLiteral("Quilm");

// Texts of the toolkit's standard buttons (OK of the boxes, Close of the rule
// dialog, Cancel of the file types, Yes and No of the question on closing
// during a run, the summary's details), listed so that lupdate keeps them in
// our translation files.
const char *const standardButtonTexts[] Q_DECL_UNUSED = {
    QT_TRANSLATE_NOOP("QPlatformTheme", "OK"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "Close"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "Cancel"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "&Yes"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "&No"),
    QT_TRANSLATE_NOOP("QMessageBox", "Show Details..."),
    QT_TRANSLATE_NOOP("QMessageBox", "Hide Details..."),
};

const QString startIcon = QStringLiteral("image/start.png");
const QString stopIcon = QStringLiteral("image/stop.png");

template<typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

// The Chinese texts were laid out for this font. Where it is missing, the font
// system substitutes a serif face for the Latin letters: keep the desktop's.
bool hasChineseFont()
{
    return QFontDatabase().families().contains(QStringLiteral("simsun"), Qt::CaseInsensitive);
}

} // namespace

FHMainWindow::FHMainWindow(FHexiv2Application *engine, QString newVersion, QWidget *parent)
    : QMainWindow(parent)
    , engine(engine)
{
    setFixedSize(600, 480);
    setWindowFlags(windowFlags() ^ Qt::WindowMaximizeButtonHint);

    createMenus();

    m_centralWidget = new QWidget(this);
    m_mainLayout = new QVBoxLayout(m_centralWidget);
    // Compact spacing: everything has to fit the fixed 600 x 480.
    m_mainLayout->setContentsMargins(6, 4, 6, 4);
    m_mainLayout->setSpacing(4);

    m_descriptionGroup = named(new QGroupBox(m_centralWidget), "descriptionGroup");
    m_descriptionLayout = new QVBoxLayout(m_descriptionGroup);
    m_descriptionLayout->setContentsMargins(6, 2, 6, 4);
    m_descriptionLayout->setSpacing(2);
    m_descriptionLabel = named(new QLabel(m_descriptionGroup), "descriptionLabel");
    m_descriptionLabel->setWordWrap(true);
    m_descriptionLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    m_descriptionLayout->addWidget(m_descriptionLabel);
    if (!newVersion.isEmpty()) {
        m_newVersionLabel = named(new QLabel(m_descriptionGroup), "newVersionLabel");
        m_newVersionLabel->setTextFormat(Qt::RichText);
        m_newVersionLabel->setTextInteractionFlags(Qt::TextBrowserInteraction);
        m_newVersionLabel->setOpenExternalLinks(true);
        m_newVersionLabel->setAlignment(Qt::AlignHCenter);
        m_descriptionLayout->addWidget(m_newVersionLabel);
        this->newVersion = newVersion;
    }

    m_folderRows = new FHFolderRows(m_centralWidget);
    m_optionGroup = new FHOptionGroup(m_centralWidget);

    createProgressRows();

    m_mainLayout->addWidget(m_descriptionGroup);
    m_mainLayout->addWidget(m_folderRows);
    m_mainLayout->addWidget(m_optionGroup);
    m_mainLayout->addLayout(m_progressGrid);
    m_mainLayout->addStretch(1);
    setCentralWidget(m_centralWidget);

    m_runProgress = new FHRunProgress(m_progressBar, m_statusLine, this);
    // Destroyed by the window system rather than closed, the window would
    // otherwise leave the program running without it.
    connect(new FHWindowGoneFilter(this), &FHWindowGoneFilter::gone, this,
        &FHMainWindow::windowGone, Qt::QueuedConnection);
    connect(engine->fileGuard(), &FHIO::getCurrentFile, m_runProgress, &FHRunProgress::showFile);
    connect(engine, &FHexiv2Application::getProgress, m_runProgress, &FHRunProgress::setProgress);
    connect(m_folderRows, &FHFolderRows::changed, this,
        [this] { checkBtnStartAvailablity(QString()); });
    for (QLineEdit *edit :
        { m_folderRows->inputEdit(), m_folderRows->outputEdit(), m_optionGroup->patternEdit() })
        edit->installEventFilter(this);

    loadSettings();
    // A translation without messages (English) sends no language-change event,
    // nor does a start without translations: give the window its texts now.
    applyLanguage();
}

void FHMainWindow::createMenus()
{
    m_fileMenu = named(menuBar()->addMenu(QString()), "fileMenu");
    m_languageMenu = new FHLanguageMenu(this);
    menuBar()->addMenu(m_languageMenu);
    m_helpMenu = named(menuBar()->addMenu(QString()), "helpMenu");

    m_fileTypesAction = named(new QAction(this), "fileTypesAction");
    m_undoAction = named(new QAction(this), "undoAction");
    m_undoAction->setEnabled(false);
    m_exitAction = named(new QAction(this), "exitAction");
    m_exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_userManualAction = named(new QAction(this), "userManualAction");
    m_aboutAction = named(new QAction(this), "aboutAction");
    connect(m_fileTypesAction, &QAction::triggered, this, &FHMainWindow::chooseFileTypes);
    connect(m_undoAction, &QAction::triggered, this, &FHMainWindow::undoLastSort);
    connect(m_fileMenu, &QMenu::aboutToShow, this, &FHMainWindow::refreshUndo);
    // Leaving through the menu goes the way closing the window goes: it keeps
    // the settings, and during a run it asks first.
    connect(m_exitAction, &QAction::triggered, this, [this] {
        if (close())
            QCoreApplication::quit();
    });
    connect(m_userManualAction, &QAction::triggered, this, &FHMainWindow::userManual);
    connect(m_aboutAction, &QAction::triggered, this, &FHMainWindow::about);

    // Brings back the reports of this session, e.g. after an error box was
    // dismissed and the output panel closed.
    m_outputAction = named(new QAction(this), "outputAction");
    m_outputAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    m_outputAction->setShortcutContext(Qt::ApplicationShortcut);
    addAction(m_outputAction);
    connect(
        m_outputAction, &QAction::triggered, this, [] { FHOutputWidget::instance()->reveal(); });

    m_fileMenu->addAction(m_fileTypesAction);
    m_fileMenu->addAction(m_undoAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_exitAction);
    m_helpMenu->addAction(m_userManualAction);
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(m_aboutAction);
}

void FHMainWindow::createProgressRows()
{
    m_progressGrid = new QGridLayout;
    m_progressGrid->setVerticalSpacing(2);
    m_progressCaption = named(new QLabel(m_centralWidget), "progressCaption");
    m_progressBar = named(new QProgressBar(m_centralWidget), "progressBar");
    m_progressBar->setRange(0, 100);
    m_progressBar->setTextVisible(true);
    m_progressBar->setValue(0);
#ifdef Q_OS_WIN
    // Windows' own style asks for a wide bar with its text beside it, which
    // would leave the row no room for the panel in the fixed-size window.
    m_progressBar->setMinimumWidth(
        m_progressBar->fontMetrics().horizontalAdvance(QStringLiteral("100%")) * 3);
#endif
    m_statusCaption = named(new QLabel(m_centralWidget), "statusCaption");
    m_statusLine = named(new FHStatusLine(m_centralWidget), "statusLine");
    m_statusLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_animationPanel = named(new FHAnimationPanel(m_centralWidget), "animationPanel");
    m_animationPanel->loadMovie(QDir::currentPath() + QStringLiteral("/Car-speakers.swf"));
    m_previewButton = named(new FHStartButton(m_centralWidget), "previewButton");
    m_previewButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_previewButton->setIcon(QIcon(picturePath(QStringLiteral("image/preview.png"))));
    m_previewButton->setIconSize(QSize(32, 32));
    m_previewButton->setEnabled(false);
    m_startButton = named(new FHStartButton(m_centralWidget), "startButton");
    m_startButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_startButton->setIcon(QIcon(picturePath(startIcon)));
    m_startButton->setIconSize(QSize(32, 32));
    m_startButton->setEnabled(false);
    // The status line takes the whole width below: room for a path, or for
    // what the run did.
    m_progressGrid->addWidget(m_progressCaption, 0, 0);
    m_progressGrid->addWidget(m_progressBar, 0, 1);
    m_progressGrid->addWidget(m_animationPanel, 0, 2);
    m_progressGrid->addWidget(m_previewButton, 0, 3);
    m_progressGrid->addWidget(m_startButton, 0, 4);
    m_progressGrid->addWidget(m_statusCaption, 1, 0);
    m_progressGrid->addWidget(m_statusLine, 1, 1, 1, 4);
    connect(m_previewButton, &QToolButton::clicked, this, &FHMainWindow::preview);
    connect(m_startButton, &QToolButton::clicked, this, &FHMainWindow::startOrStop);
}

FHMainWindow::~FHMainWindow() = default;

void FHMainWindow::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        // The run goes on below this very call: the window closes once it has
        // returned, from sort(). Planning a count has moved nothing: no question.
        event->ignore();
        if (m_counting) {
            m_closeAfterRun = true;
            stop();
        } else if (!m_closeAfterRun && askToStopForClose()) {
            m_closeAfterRun = true;
            stop();
        }
        return;
    }
    saveSettings();
    QMainWindow::closeEvent(event);
}

bool FHMainWindow::askToStopForClose()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral(" %1").arg(productName),
        tr("A sort is in progress. Stop it and quit? The files moved so far still get their "
           "final names; the others stay in the input directory."),
        QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("stopQuestion"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool FHMainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A shortcut takes its key before the field sees it; what reaches the
    // field with Alt held is a letter that no shortcut of this language owns,
    // and the toolkit would type it. Ctrl+Alt stays: it is AltGr on Windows.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers held = key->modifiers();
        if ((held & Qt::AltModifier) && !(held & Qt::ControlModifier) && !key->text().isEmpty()
            && key->text().at(0).isPrint())
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FHMainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        applyLanguage();
    QWidget::changeEvent(event);
}

void FHMainWindow::applyLanguage()
{
    retranslateUi();
    if (QLocale().language() == QLocale::Chinese && hasChineseFont()) {
        setFont(QFont(QStringLiteral("simsun"), 10, -1, false));
    } else {
        QFont defaultFont;
        defaultFont.setFamily(defaultFont.defaultFamily());
        setFont(defaultFont);
    }
    shrinkFontToFit(this, m_mainLayout, menuBar()->sizeHint().height());
}

void FHMainWindow::retranslateUi()
{
    m_fileMenu->setTitle(tr("&File"));
    m_languageMenu->setTitle(tr("&Language"));
    m_helpMenu->setTitle(tr("&Help"));
    m_fileTypesAction->setText(tr("File &types..."));
    m_undoAction->setText(tr("&Undo last sort..."));
    m_exitAction->setText(tr("&Exit"));
    m_userManualAction->setText(tr("&User manual"));
    m_aboutAction->setText(tr("&About"));
    m_outputAction->setText(tr("Output"));

    m_descriptionGroup->setTitle(tr("Description"));
    m_descriptionLabel->setText(
        tr("<html><body><p>Quilm searches for image files in <b>Input Directory</b> and move "
           "them into <b>Output Directory</b>. Inside their destination image files will be "
           "sorted by their precise time and renamed in ascending order, i.e. <i>001.png, "
           "002.png, 003.png</i>. Options are: 1. Move images further into sub-folders of "
           "<b>Output Directory</b>. The sub-folders imply the creation date of those image "
           "files, in the format of <i>YYYY-MM</i> or <i>YYYY-MM-DD</i>; 2. Customize output "
           "file name, i.e. <i>Paris 2014-12-31 001.jpg.</i> </p></body></html>"));
    m_folderRows->retranslate();
    m_optionGroup->retranslate();
    m_progressCaption->setText(tr("Progress"));
    m_statusCaption->setText(tr("Status"));
    m_previewButton->setText(tr("Pre&view"));
    m_startButton->setText(m_running ? tr("STOP") : tr("START"));

    if (!newVersion.isEmpty()) {
        m_newVersionLabel->setText(
            QStringLiteral("<html><body><a href=\"%1\">%2 %3%4</a></body></html>")
                .arg(tr(QUILM_PRODUCT_PAGE), tr("Found new version"), newVersion,
                    tr(". Click to download.")));
    }
}

void FHMainWindow::checkBtnStartAvailablity(const QString &)
{
    if (m_running)
        return;
    const bool ready = m_folderRows->bothGiven();
    m_startButton->setEnabled(ready);
    m_previewButton->setEnabled(ready);
}

FHSortOptions FHMainWindow::sortOptions() const
{
    FHSortOptions options;
    options.inputDir = m_folderRows->input();
    options.outputDir = m_folderRows->output();
    options.nameFilters = FHFileTypes::nameFilters(m_fileTypes);
    options.cameraMakers = m_cameraMakers;
    m_optionGroup->applyTo(options);
    return options;
}

void FHMainWindow::startOrStop()
{
    if (m_running) {
        stop();
        return;
    }
    FHSortOptions options = sortOptions();
    if (!addCameraShifts(options))
        return;
    bool ask = false;
    {
        const FHSettings settings;
        ask = FHFirstStartQuestion::isNeeded(settings.value(FHSettingKey::HasStarted).toBool(),
            settings.value(FHSettingKey::AskBeforeStart).toBool(), options.inputDir,
            options.outputDir, options.recursive);
    }
    if (ask) {
        int toMove = 0;
        int toStay = 0;
        if (!countPlanned(options, toMove, toStay))
            return;
        bool dontAskAgain = false;
        const FHFirstStartQuestion::Answer answer
            = FHFirstStartQuestion::ask(toMove, toStay, this, &dontAskAgain);
        if (answer == FHFirstStartQuestion::Cancel)
            return;
        if (dontAskAgain)
            FHSettings().setValue(FHSettingKey::AskBeforeStart, false);
        if (answer == FHFirstStartQuestion::Preview) {
            preview();
            return;
        }
    }
    sort(options);
}

bool FHMainWindow::addCameraShifts(FHSortOptions &options)
{
    // Offsets are kept for every camera ever set right, and a run takes those
    // of the cameras it finds by their exact names: a plan tells which.
    const QMap<QString, qint64> stored = FHSettings().cameraShifts();
    if (stored.isEmpty())
        return true;
    m_counting = true;
    setRunning(true);
    m_runProgress->begin(tr("Looking for the cameras whose clocks you set right…"));
    FHSortPlan plan;
    const FHSortEngine::Outcome outcome = engine->planImages(options, plan);
    setRunning(false);
    m_counting = false;
    m_runProgress->end(0, QString());
    if (closeIfAsked() || outcome != FHSortEngine::Completed)
        return false;
    QStringList texts;
    for (const FHPlanEntry &entry : plan.entries) {
        const QString text = entry.camera + QLatin1Char('=')
            + FHCameraClock::shiftText(stored.value(entry.camera));
        if (stored.contains(entry.camera) && !texts.contains(text))
            texts << text;
    }
    options.cameraShifts = texts;
    return true;
}

bool FHMainWindow::countPlanned(const FHSortOptions &options, int &toMove, int &toStay)
{
    // The files found are not the files moved: the count is the plan's. STOP
    // ends the planning, and nothing is asked.
    m_counting = true;
    setRunning(true);
    m_runProgress->begin(tr("Counting the files the sort would move…"));
    FHSortPlan plan;
    const FHSortEngine::Outcome outcome = engine->planImages(options, plan);
    setRunning(false);
    m_counting = false;
    m_runProgress->end(0, QString());
    if (closeIfAsked() || outcome != FHSortEngine::Completed)
        return false;
    const FHRunSummary summary(plan, outcome);
    toMove = summary.movedCount();
    toStay = summary.leftCount();
    return true;
}

void FHMainWindow::preview()
{
    FHSortOptions chosen;
    if (FHPreviewDialog::showFor(sortOptions(), this, &chosen))
        sort(chosen);
}

void FHMainWindow::sort(const FHSortOptions &options)
{
    FHSettings().setValue(FHSettingKey::HasStarted, true);
    setRunning(true);
    m_runProgress->begin();
    engine->sort(options);
    m_cameraMakers = engine->lastPlan().cameraMakers;
    setRunning(false);
    const FHRunSummary summary(engine->lastPlan(), engine->lastOutcome());
    // Before the log hears of it: a run that leaves many files takes a moment
    // to write.
    m_runProgress->end(summary.percentDone(), summary.status(fileTypesMenuPath()));
    reportRun(summary);
    if (closeIfAsked())
        return;
    showSummary(summary);
}

bool FHMainWindow::closeIfAsked()
{
    if (!m_closeAfterRun)
        return false;
    m_closeAfterRun = false;
    // A window that is gone has saved its settings already, and has nothing
    // left to close.
    if (m_windowGone || close())
        QCoreApplication::quit();
    return true;
}

void FHMainWindow::windowGone()
{
    // Nobody can see the window or answer it any more: as closing it would,
    // without a question. A run in hand stops as after "Yes" to the question.
    m_windowGone = true;
    saveSettings();
    if (m_running) {
        m_closeAfterRun = true;
        stop();
    }
    // Ends every loop, a dialog's too; a run in hand comes back first.
    QCoreApplication::quit();
}

void FHMainWindow::stop()
{
    engine->stopSorting();
    // Once is enough: pass 2 still names every moved file.
    m_startButton->setEnabled(false);
    // Planning stops at once, and nothing has moved.
    if (!m_counting)
        m_runProgress->stopping(tr("Stopping… the files moved so far get their final names."));
}

void FHMainWindow::setRunning(bool running)
{
    m_running = running;
    // Nothing that the run reads may change under it.
    QWidget *const runLocked[] = { m_folderRows, m_optionGroup, m_previewButton };
    for (QWidget *w : runLocked)
        w->setEnabled(!running);
    m_fileTypesAction->setEnabled(!running);
    m_startButton->setIcon(QIcon(picturePath(running ? stopIcon : startIcon)));
    m_startButton->setText(running ? tr("STOP") : tr("START"));
    m_startButton->setEnabled(true);
    if (running) {
        m_undoAction->setEnabled(false);
    } else {
        checkBtnStartAvailablity(QString());
        refreshUndo();
    }
}

void FHMainWindow::reportRun(const FHRunSummary &summary)
{
    FHRunReporter reporter;
    const QStringList lines = summary.reportLines(undoMenuPath());
    for (const QString &line : lines)
        reporter.message(line);
}

QString FHMainWindow::fileTypesMenuPath() const
{
    return FHRunSummary::menuPath(m_fileMenu->title(), m_fileTypesAction->text());
}

QString FHMainWindow::undoMenuPath() const
{
    return FHRunSummary::menuPath(m_fileMenu->title(), m_undoAction->text());
}

void FHMainWindow::chooseFileTypes()
{
    FHFileTypesDialog dialog(this);
    dialog.setFamilies(m_fileTypes);
    if (dialog.exec() == QDialog::Accepted)
        m_fileTypes = dialog.families();
}

void FHMainWindow::undoLastSort()
{
    FHUndoDialog::undoLastSort(engine, this);
}

void FHMainWindow::refreshUndo()
{
    m_undoAction->setEnabled(!m_running && !FHUndo::lastUndoableRun().isEmpty());
}

void FHMainWindow::about()
{
    FHInfoBoxes::showAbout(this, m_outputAction->shortcut().toString(QKeySequence::NativeText));
}

void FHMainWindow::userManual()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral(QUILM_PRODUCT_PAGE), QUrl::TolerantMode));
}

void FHMainWindow::showSummary(const FHRunSummary &summary)
{
    FHInfoBoxes::showSummary(this, summary, undoMenuPath(), fileTypesMenuPath());
}

void FHMainWindow::loadSettings()
{
    FHSettings settings;
    const QVariant pos = settings.value(FHSettingKey::Pos);
    if (pos.isValid() && fitsOnOneScreen(pos.toPoint()))
        move(pos.toPoint());
    m_folderRows->load(settings);
    // Unknown names leave photos alone, as a missing key does.
    m_fileTypes = FHFileTypes::Photo;
    FHFileTypes::parseFamilies(settings.value(FHSettingKey::FileTypes).toString(), &m_fileTypes);
    m_languageMenu->select(settings.value(FHSettingKey::Language).toString());

    m_cameraMakers = FHCameraMakers::fromText(settings.value(FHSettingKey::CameraMaker).toString());
    m_optionGroup->load(settings);
}

void FHMainWindow::saveSettings()
{
    FHSettings settings;
    settings.setValue(FHSettingKey::Pos, pos());
    m_folderRows->save(settings);
    if (const QString language = m_languageMenu->selected(); !language.isEmpty())
        settings.setValue(FHSettingKey::Language, language);
    settings.setValue(FHSettingKey::CameraMaker, FHCameraMakers::toText(m_cameraMakers));
    settings.setValue(FHSettingKey::FileTypes, FHFileTypes::familyNames(m_fileTypes));
    m_optionGroup->save(settings);
}

bool FHMainWindow::fitsOnOneScreen(const QPoint &framePos) const
{
    // A monitor may have been removed or the resolution lowered since the last
    // run; a window partly off the screens is left for the system to place.
    // Before the first show the frame is unknown: allow for a title bar.
    QSize frame = frameGeometry().size();
    if (frame == size())
        frame.rheight() += style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QRect wanted(framePos, frame);
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        if (screen->availableGeometry().contains(wanted))
            return true;
    }
    return false;
}
