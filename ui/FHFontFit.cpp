#include "ui/FHFontFit.h"

#include <QLayout>
#include <QWidget>

namespace {

bool overflows(QWidget *widget, QLayout *layout, int reservedHeight)
{
    layout->activate();
    const int width = widget->width();
    const int room = widget->height() - reservedHeight;
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                   : layout->totalSizeHint().height();
    return layout->totalMinimumSize().width() > width || height > room;
}

} // namespace

void shrinkFontToFit(QWidget *widget, QLayout *layout, int reservedHeight, double smallestPointSize)
{
    QFont font = widget->font();
    while (
        font.pointSizeF() - 0.5 >= smallestPointSize && overflows(widget, layout, reservedHeight)) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        widget->setFont(font);
    }
}
