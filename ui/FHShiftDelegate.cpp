#include "ui/FHShiftDelegate.h"

#include "engine/FHCameraClock.h"
#include "ui/FHCameraModel.h"

#include <QLineEdit>
#include <QRegularExpression>

FHShiftValidator::FHShiftValidator(const FHCameraModel *model, int row, QObject *parent)
    : QValidator(parent)
    , m_model(model)
    , m_row(row)
{
}

QValidator::State FHShiftValidator::validate(QString &input, int &) const
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return Acceptable;
    qint64 seconds = 0;
    if (FHCameraClock::parseShift(text, &seconds))
        return m_model->fits(m_row, seconds) ? Acceptable : Intermediate;
    // On the way to one: a sign, digits, a dot for days, colons.
    static const QRegularExpression partial(
        QStringLiteral(R"(^[+-]?(\d{1,5}\.?)?(\d{0,2}(:\d{0,2}(:\d{0,2})?)?)?$)"));
    return partial.match(text).hasMatch() ? Intermediate : Invalid;
}

QWidget *FHShiftDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto *line = qobject_cast<QLineEdit *>(editor);
    const auto *model = qobject_cast<const FHCameraModel *>(index.model());
    if (line && model) {
        line->setObjectName(QStringLiteral("offsetEditor"));
        line->setValidator(new FHShiftValidator(model, index.row(), line));
        line->setPlaceholderText(QStringLiteral("+01:00"));
    }
    return editor;
}
