#ifndef FHFIRSTSTARTQUESTION_H
#define FHFIRSTSTARTQUESTION_H

#include <QCoreApplication>

class QWidget;

// Asked before a sort until the user says not to: how many photos will be moved
// and renamed, and whether to look at the result first.
class FHFirstStartQuestion
{
    Q_DECLARE_TR_FUNCTIONS(FHFirstStartQuestion)

public:
    enum Answer
    {
        Preview,
        Sort,
        Cancel,
    };

    // dontAskAgain, where given, receives the check box's state; it is false
    // after Cancel, so that cancelling never turns the question off. Without
    // it there is no check box.
    // toMove: the files the sort would move; toStay: those it would leave in
    // the input.
    static Answer ask(int toMove, int toStay, QWidget *parent, bool *dontAskAgain);
};

#endif // FHFIRSTSTARTQUESTION_H
