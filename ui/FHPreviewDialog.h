#ifndef FHPREVIEWDIALOG_H
#define FHPREVIEWDIALOG_H

// Placeholder until the preview dialog is merged: declares what the main
// window calls.

#include "engine/FHSortEngine.h"

class QWidget;

class FHPreviewDialog
{
public:
    // Shows what a run with the options would do; true when the user chose to
    // sort now.
    static bool showFor(const FHSortOptions &options, QWidget *parent)
    {
        (void)options;
        (void)parent;
        return false;
    }
};

#endif // FHPREVIEWDIALOG_H
