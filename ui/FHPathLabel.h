#ifndef FHPATHLABEL_H
#define FHPATHLABEL_H

#include <QLabel>

// A path in a dialog: elided in the middle to the width the label gets rather
// than widening the dialog, and elided again whenever that width changes. The
// whole path stays in the tooltip.
class FHPathLabel : public QLabel
{
    Q_OBJECT

public:
    explicit FHPathLabel(QWidget *parent = nullptr);
    ~FHPathLabel() override;

    void setPath(const QString &path);

protected:
    void resizeEvent(QResizeEvent *event) override;
};

#endif // FHPATHLABEL_H
