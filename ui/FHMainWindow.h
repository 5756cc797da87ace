#ifndef FHMAINWINDOW_H
#define FHMAINWINDOW_H

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>

class FHAnimationPanel;
class FHexiv2Application;
class QAction;
class QActionGroup;
class QButtonGroup;
class QFrame;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QMessageBox;
class QProgressBar;
class QPushButton;
class QRadioButton;
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

private slots:
    void userManual();
    void about();
    void inputDirChoose();
    void outputDirChoose();
    void start();
    void setLanguage(QAction *action);
    void checkBtnStartAvailablity(const QString &);
    void rules();
    void isCustomize(bool checked);
    void updateDetail(const QString &path);

private:
    void retranslateUi();
    // Texts and the font of the language in effect.
    void applyLanguage();
    void createLanguageMenu();
    QString chooseDirectory(const QString &startDir);
    void loadSettings();
    void saveSettings();
    void showSummary(unsigned movedCount, int notMovedCount);
    QMessageBox *createBox();
    bool fitsOnOneScreen(const QPoint &framePos) const;

    FHexiv2Application *engine;

    QMenu *m_fileMenu;
    QMenu *m_languageMenu;
    QMenu *m_helpMenu;
    QAction *m_exitAction;
    QAction *m_userManualAction;
    QAction *m_aboutAction;
    QAction *m_outputAction;
    QActionGroup *m_languageGroup = nullptr;

    QWidget *m_centralWidget;
    QVBoxLayout *m_mainLayout;

    QGroupBox *m_descriptionGroup;
    QVBoxLayout *m_descriptionLayout;
    QLabel *m_descriptionLabel;
    QLabel *m_newVersionLabel = nullptr;

    QGridLayout *m_directoryGrid;
    QLabel *m_inputCaption;
    QLineEdit *m_inputEdit;
    QPushButton *m_inputBrowseButton;
    QLabel *m_outputCaption;
    QLineEdit *m_outputEdit;
    QPushButton *m_outputBrowseButton;

    QGroupBox *m_optionGroup;
    QVBoxLayout *m_optionLayout;
    QRadioButton *m_camerasOnlyRadio;
    QRadioButton *m_allImagesRadio;
    QFrame *m_separator1;
    QHBoxLayout *m_recursionRow;
    QLabel *m_recursionLabel;
    QRadioButton *m_yesRadio;
    QRadioButton *m_noRadio;
    QFrame *m_separator2;
    QGridLayout *m_namingGrid;
    QRadioButton *m_defaultNamingRadio;
    QRadioButton *m_patternRadio;
    QLineEdit *m_patternEdit;
    QPushButton *m_rulesButton;
    QFrame *m_separator3;
    QGridLayout *m_subFolderGrid;
    QLabel *m_subFolderLabel;
    QRadioButton *m_noneRadio;
    QRadioButton *m_monthRadio;
    QRadioButton *m_dayRadio;

    QGridLayout *m_progressGrid;
    QLabel *m_progressCaption;
    QProgressBar *m_progressBar;
    QLabel *m_statusCaption;
    QLabel *m_statusLine;
    FHAnimationPanel *m_animationPanel;
    QToolButton *m_startButton;

    QButtonGroup *m_sourceGroup;
    QButtonGroup *m_recursionGroup;
    QButtonGroup *m_namingGroup;
    QButtonGroup *m_subFolderGroup;

    QElapsedTimer m_shownPath; // since the status line last showed a path
    QString m_pendingPath; // the path in hand, when not yet shown

    QString cameraMakers;
    QStringList nameFilters;
    QString newVersion;
};

#endif // FHMAINWINDOW_H
