#ifndef FHMAINWINDOW_H
#define FHMAINWINDOW_H

#include <QMainWindow>
#include <QStringList>

class FHAnimationPanel;
class FHFolderRows;
class FHLanguageMenu;
class FHOptionGroup;
class FHRunProgress;
class FHRunSummary;
class FHexiv2Application;
struct FHSortOptions;
class QAction;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMessageBox;
class QProgressBar;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// The program's one top-level window: directories, options, START, and the
// progress of the run in hand.
class FHMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    FHMainWindow(FHexiv2Application *engine, QString newVersion, QWidget *parent = nullptr);
    ~FHMainWindow() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Keeps the letter of an Alt shortcut that nothing owns out of the fields.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void userManual();
    void about();
    // START, or STOP while a run is in hand.
    void startOrStop();
    void preview();
    void chooseFileTypes();
    void undoLastSort();
    void refreshUndo();
    void checkBtnStartAvailablity(const QString &);
    void windowGone();

private:
    void createMenus();
    void createProgressRows();
    void retranslateUi();
    // Texts and the font of the language in effect.
    void applyLanguage();
    void loadSettings();
    void saveSettings();
    FHSortOptions sortOptions() const;
    // How many files the sort would move, and how many it would leave; false
    // when planning was stopped or failed.
    bool countPlanned(const FHSortOptions &options, int &toMove, int &toStay);
    // The stored offsets of the cameras that the input holds.
    bool addCameraShifts(FHSortOptions &options);
    void sort(const FHSortOptions &options);
    // Closes the window when that was asked for during a run; true if so.
    bool closeIfAsked();
    void stop();
    void setRunning(bool running);
    void reportRun(const FHRunSummary &summary);
    void showSummary(const FHRunSummary &summary);
    bool askToStopForClose();
    QString fileTypesMenuPath() const;
    QString undoMenuPath() const;
    bool fitsOnOneScreen(const QPoint &framePos) const;

    FHexiv2Application *engine;

    QMenu *m_fileMenu;
    FHLanguageMenu *m_languageMenu;
    QMenu *m_helpMenu;
    QAction *m_exitAction;
    QAction *m_userManualAction;
    QAction *m_aboutAction;
    QAction *m_outputAction;
    QAction *m_fileTypesAction;
    QAction *m_undoAction;

    QWidget *m_centralWidget;
    QVBoxLayout *m_mainLayout;

    QGroupBox *m_descriptionGroup;
    QVBoxLayout *m_descriptionLayout;
    QLabel *m_descriptionLabel;
    QLabel *m_newVersionLabel = nullptr;

    FHFolderRows *m_folderRows;
    FHOptionGroup *m_optionGroup;

    QGridLayout *m_progressGrid;
    QLabel *m_progressCaption;
    QProgressBar *m_progressBar;
    QLabel *m_statusCaption;
    QLabel *m_statusLine;
    FHAnimationPanel *m_animationPanel;
    QToolButton *m_previewButton;
    QToolButton *m_startButton;

    FHRunProgress *m_runProgress;

    bool m_running = false;
    // Closing was asked for during the run: close once it has returned.
    bool m_closeAfterRun = false;
    bool m_counting = false; // the run in hand only plans, for the question before START
    bool m_windowGone = false; // the window system destroyed the window

    QStringList m_cameraMakers;
    unsigned m_fileTypes = 0; // FHFileTypes::Family flags, from the settings
    QString newVersion;
};

#endif // FHMAINWINDOW_H
