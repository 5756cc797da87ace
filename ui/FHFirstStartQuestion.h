#ifndef FHFIRSTSTARTQUESTION_H
#define FHFIRSTSTARTQUESTION_H

// Placeholder until the question before a first START is merged: declares
// what the main window calls.

class QWidget;

class FHFirstStartQuestion
{
public:
    enum Answer
    {
        Preview,
        Sort,
        Cancel,
    };

    // Asks what to do with the photoCount files a START would sort.
    static Answer ask(int photoCount, QWidget *parent, bool *dontAskAgain)
    {
        (void)photoCount;
        (void)parent;
        (void)dontAskAgain;
        return Sort;
    }
};

#endif // FHFIRSTSTARTQUESTION_H
