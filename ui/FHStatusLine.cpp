#include "ui/FHStatusLine.h"

#include <QPainter>
#include <QStyle>

FHStatusLine::FHStatusLine(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

FHStatusLine::~FHStatusLine() = default;

QSize FHStatusLine::minimumSizeHint() const
{
    return QSize(0, QLabel::minimumSizeHint().height());
}

void FHStatusLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    const Qt::TextElideMode mode = alignment() & Qt::AlignRight ? Qt::ElideLeft : Qt::ElideRight;
    const QString shown = fontMetrics().elidedText(text(), mode, room.width());
    style()->drawItemText(
        &painter, room, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}
