#ifndef FHSTATUSLINE_H
#define FHSTATUSLINE_H

#include <QLabel>

// The status line: one line that never widens the fixed window. Right-aligned,
// it keeps the end of a path in view; left-aligned, the start of a run's
// outcome. What does not fit is elided at the other end; text() stays whole.
class FHStatusLine : public QLabel
{
    Q_OBJECT

public:
    explicit FHStatusLine(QWidget *parent = nullptr);
    ~FHStatusLine() override;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

#endif // FHSTATUSLINE_H
