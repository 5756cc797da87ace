#ifndef FHUNDODIALOG_H
#define FHUNDODIALOG_H

// Placeholder until the undo dialog is merged: declares what the main window
// calls.

class FHexiv2Application;
class QWidget;

class FHUndoDialog
{
public:
    // Offers to undo the newest sort run that has not been undone.
    static bool undoLastSort(FHexiv2Application *engine, QWidget *parent)
    {
        (void)engine;
        (void)parent;
        return false;
    }
};

#endif // FHUNDODIALOG_H
