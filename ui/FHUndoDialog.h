#ifndef FHUNDODIALOG_H
#define FHUNDODIALOG_H

#include "engine/FHJournal.h"
#include "engine/FHUndo.h"

#include <QDialog>
#include <QElapsedTimer>

class FHPathLabel;
class FHexiv2Application;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

// Undoing a sort: which run it is, a confirmation, the files going back with
// progress, then what went back and what stays, and why. Reports reach the log
// and the output panel as those of a sort do.
class FHUndoDialog : public QDialog
{
    Q_OBJECT

public:
    // The newest sort not yet undone: asks, undoes it and sums it up. An
    // information box when there is none.
    static void undoLastSort(FHexiv2Application *app, QWidget *parent);

    FHUndoDialog(
        FHexiv2Application *app, const FHJournalStore::Run &run, QWidget *parent = nullptr);

public slots:
    // Files going back are not left half way: closing waits for the end.
    void reject() override;

private:
    QWidget *createConfirmPage(const FHJournalStore::Run &run);
    QWidget *createProgressPage();
    QWidget *createSummaryPage();
    void undo();
    void showFile(const QString &path);
    void showSummary(const FHSortPlan &plan, FHUndo::Outcome outcome);

    FHexiv2Application *m_app;
    FHJournalStore::Run m_run;
    bool m_running = false;
    QElapsedTimer m_eventsProcessed;

    QStackedWidget *m_pages;
    QLabel *m_questionLabel;
    QLabel *m_timeLabel;
    FHPathLabel *m_inputLabel;
    FHPathLabel *m_outputLabel;
    QLabel *m_countLabel;
    QLabel *m_stateLabel;
    QProgressBar *m_progressBar;
    FHPathLabel *m_fileLabel;
    QLabel *m_summaryLabel;
    QTreeWidget *m_leftList;
    QPushButton *m_undoButton;
    QPushButton *m_cancelButton;
    QPushButton *m_closeButton;
};

#endif // FHUNDODIALOG_H
