#include "ui/FHWrappingRadioButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
const int textFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
const int margin = 1; // room for the focus frame around the text
} // namespace

FHWrappingRadioButton::FHWrappingRadioButton(QWidget *parent)
    : QRadioButton(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

FHWrappingRadioButton::~FHWrappingRadioButton() = default;

int FHWrappingRadioButton::textIndent() const
{
    return style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this)
        + style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
}

QRect FHWrappingRadioButton::textRect(int width) const
{
    const int textWidth = qMax(1, width - textIndent() - 2 * margin);
    const QRect bounds
        = fontMetrics().boundingRect(QRect(0, 0, textWidth, 1 << 20), textFlags, text());
    return QRect(textIndent() + margin, margin, textWidth, bounds.height());
}

QSize FHWrappingRadioButton::sizeHint() const
{
    // One line when there is room for it.
    const QSize line = QRadioButton::sizeHint();
    return QSize(line.width(), heightForWidth(line.width()));
}

QSize FHWrappingRadioButton::minimumSizeHint() const
{
    // Narrow enough for any layout; the height follows the width given.
    const int width = textIndent() + fontMetrics().horizontalAdvance(QLatin1Char('M')) * 8;
    return QSize(width, heightForWidth(QRadioButton::sizeHint().width()));
}

bool FHWrappingRadioButton::hasHeightForWidth() const
{
    return true;
}

int FHWrappingRadioButton::heightForWidth(int width) const
{
    const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, this);
    return qMax(indicator, textRect(width).height() + 2 * margin);
}

void FHWrappingRadioButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    // The indicator sits beside the first line of text.
    const int indicatorWidth
        = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this);
    const int indicatorHeight
        = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, this);
    const int firstLine = fontMetrics().height() + 2 * margin;
    QStyleOptionButton indicator = option;
    indicator.rect
        = QRect(0, qMax(0, (firstLine - indicatorHeight) / 2), indicatorWidth, indicatorHeight);
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicator);

    const QRect text = textRect(width());
    painter.drawItemText(
        text, textFlags, option.palette, isEnabled(), this->text(), QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = text.adjusted(-margin, -margin, margin, margin)
                         .intersected(QRect(text.left() - margin, 0, width(), height()));
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool FHWrappingRadioButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}
