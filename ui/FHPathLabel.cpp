#include "ui/FHPathLabel.h"

FHPathLabel::FHPathLabel(QWidget *parent)
    : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

FHPathLabel::~FHPathLabel() = default;

void FHPathLabel::setPath(const QString &path)
{
    setToolTip(path);
    setText(fontMetrics().elidedText(path, Qt::ElideMiddle, width()));
}

void FHPathLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    setPath(toolTip());
}
