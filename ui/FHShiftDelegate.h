#ifndef FHSHIFTDELEGATE_H
#define FHSHIFTDELEGATE_H

#include <QStyledItemDelegate>
#include <QValidator>

class FHCameraModel;

// Takes a clock offset as FHCameraClock::parseShift reads it ("+01:00",
// "-2.03:30", "+00:00:45"), or nothing for none, and only one that keeps the
// camera's shots between 1970 and the end of next year.
class FHShiftValidator : public QValidator
{
    Q_OBJECT

public:
    FHShiftValidator(const FHCameraModel *model, int row, QObject *parent = nullptr);
    State validate(QString &input, int &pos) const override;

private:
    const FHCameraModel *m_model;
    int m_row;
};

// The editor of the Cameras table's offsets: a line that refuses what the
// validator does not take.
class FHShiftDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
};

#endif // FHSHIFTDELEGATE_H
