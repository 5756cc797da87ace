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

    // Whether START asks before it sorts: on the first START ever, and when the
    // output is the input or, with recursion, lies inside it. Paths as typed.
    static bool isNeeded(bool hasStarted, bool askBeforeStart, const QString &inputDir,
        const QString &outputDir, bool recursive);
};

#endif // FHFIRSTSTARTQUESTION_H
