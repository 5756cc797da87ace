#include "ui/FHStartButton.h"

#include <QKeyEvent>

FHStartButton::FHStartButton(QWidget *parent)
    : QToolButton(parent)
{
}

FHStartButton::~FHStartButton() = default;

void FHStartButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A held key must not start a second run as soon as the first ends.
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QToolButton::keyPressEvent(event);
}
