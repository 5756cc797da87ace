#ifndef FHALIGNDIALOG_H
#define FHALIGNDIALOG_H

#include "engine/FHSortPlan.h"

#include <QDialog>

class QLabel;
class QPushButton;

// Sets one camera's clock by another's from two photos of the same moment: a
// photo of each camera side by side, large, with the times their clocks gave
// them, and the offset that brings the first to the second, before it is
// taken. The second is the reference; Swap turns the roles round.
class FHAlignDialog : public QDialog
{
    Q_OBJECT

public:
    FHAlignDialog(const FHPlanEntry &a, const FHPlanEntry &b, QWidget *parent = nullptr);

    // The camera whose clock is set, and the offset it gets.
    QString camera() const { return m_a.camera; }
    qint64 offset() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void swap();
    void retranslateUi();
    void showPictures();

    FHPlanEntry m_a;
    FHPlanEntry m_b;
    QLabel *m_pictures[2];
    QLabel *m_captions[2];
    QLabel *m_result;
    QPushButton *m_swapButton;
    QPushButton *m_takeButton;
    QPushButton *m_cancelButton;
};

#endif // FHALIGNDIALOG_H
