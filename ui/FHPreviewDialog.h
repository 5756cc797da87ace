#ifndef FHPREVIEWDIALOG_H
#define FHPREVIEWDIALOG_H

#include "engine/FHPlanCheck.h"
#include "engine/FHSortEngine.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>

#include <memory>

class FHCameraModel;
class FHCameraStrips;
class FHIO;
class FHPathLabel;
class FHPlanFilterModel;
class FHPlanModel;
class FHThumbnailLoader;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class QTableView;
class QTimer;
class QTreeWidget;

// What a sort would do, before anything moves: plans the run without touching
// a file, with progress and a Cancel, then lists every file with its new folder
// and name or why it stays, the files per target folder and the totals.
class FHPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    // Plans the sort with the options and shows the plan. True exactly when the
    // user chose "Sort now" and, where the input or the target folders changed
    // since the plan, confirmed it; the caller then sorts with the options of
    // the plan shown, which chosen receives: the cameras' offsets set in the
    // preview added.
    static bool showFor(
        const FHSortOptions &options, QWidget *parent, FHSortOptions *chosen = nullptr);

    explicit FHPreviewDialog(const FHSortOptions &options, QWidget *parent = nullptr);
    ~FHPreviewDialog() override;

    // Plans the sort and shows the plan; false when it was cancelled or failed.
    // Runs inside the dialog's event loop, which it keeps answering.
    bool plan();
    // Shows a plan made with the dialog's options.
    void showPlan(FHSortPlan plan);
    bool isPlanning() const { return m_engine != nullptr; }
    FHPlanModel *model() const { return m_model; }
    FHCameraModel *cameraModel() const { return m_cameraModel; }
    FHThumbnailLoader *thumbnails() const { return m_thumbnails; }
    // The options of the plan shown, or of the one being made.
    const FHSortOptions &options() const { return m_options; }
    // Compares the camera clocks of the two files selected in the table, and
    // sets the first one's offset when the user takes it.
    void align();
    // Announces each file that planning reads.
    FHIO *fileGuard() const { return m_guard.get(); }

public slots:
    // During planning: cancels it, and the dialog closes once the engine has
    // let go.
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void createPlanningPage();
    void createPlanPage();
    QWidget *createCamerasPage();
    void fitCameraTable();
    void setUpTable();
    bool planOnce();
    // The stored offsets of the cameras in the plan shown, as the options take them.
    QStringList storedShifts() const;
    void offsetChanged(const QString &camera, qint64 seconds);
    void planAgain();
    void updateCameraButtons();
    // The two entries selected in the table, when they are of two cameras.
    bool selectedPair(FHPlanEntry *a, FHPlanEntry *b) const;
    QHBoxLayout *createButtons();
    void retranslateUi();
    void showProgress(FHSortEngine::Stage stage, qint64 done, qint64 total);
    void showTotals();
    void fitColumns();
    void showFolders();
    void showShownCount();
    void sortNow();
    void showNotes();

    FHSortOptions m_options;
    std::unique_ptr<FHIO> m_guard;
    FHSortEngine *m_engine = nullptr; // while planning
    bool m_cancelled = false;
    QElapsedTimer m_eventsProcessed;
    QStringList m_notes; // what the planning run reported
    // The target folders of the plan shown, and what they held when it was made.
    FHPlanCheck m_check;

    FHPlanModel *m_model;
    FHPlanFilterModel *m_proxy;
    FHThumbnailLoader *m_thumbnails;
    FHCameraModel *m_cameraModel;
    QTimer *m_filterDelay;
    bool m_planAgainQueued = false;

    QStackedWidget *m_pages;
    QLabel *m_planningLabel;
    QProgressBar *m_progressBar;
    QLabel *m_stageLabel;
    FHPathLabel *m_fileLabel;

    QLabel *m_fromCaption;
    FHPathLabel *m_fromLabel;
    QLabel *m_intoCaption;
    FHPathLabel *m_intoLabel;
    QLabel *m_filterCaption;
    QLineEdit *m_filterEdit;
    QLabel *m_shownLabel;
    QTabWidget *m_tabs;
    QSplitter *m_splitter;
    QTableView *m_table;
    QLabel *m_camerasHint;
    QTableView *m_cameraTable;
    FHCameraStrips *m_strips;
    QPushButton *m_proposalButton;
    QPushButton *m_alignButton;
    QTreeWidget *m_folderList;
    QLabel *m_totalsLabel;

    QPushButton *m_notesButton;
    QPushButton *m_sortButton;
    QPushButton *m_closeButton;
    QPushButton *m_cancelButton;
};

#endif // FHPREVIEWDIALOG_H
