#ifndef FHINFOBOXES_H
#define FHINFOBOXES_H

#include <QCoreApplication>
#include <QString>

class FHRunSummary;
class QWidget;

// The About box and the summary after a run: modeless boxes over the window,
// each gone once closed.
class FHInfoBoxes
{
    Q_DECLARE_TR_FUNCTIONS(FHInfoBoxes)

public:
    // reportsShortcut: the keys that bring back the output panel.
    static void showAbout(QWidget *window, const QString &reportsShortcut);
    // Only when the summary has more to tell than the status line.
    static void showSummary(QWidget *window, const FHRunSummary &summary,
        const QString &undoMenuPath, const QString &fileTypesMenuPath);
};

#endif // FHINFOBOXES_H
