#ifndef FHCAMERASTRIPS_H
#define FHCAMERASTRIPS_H

#include <QWidget>

class FHCameraModel;

// Each camera's shots as ticks on one time axis, a strip per camera, with the
// offsets of the Cameras table: cameras that were together show their bands
// one above the other once their clocks agree.
class FHCameraStrips : public QWidget
{
    Q_OBJECT

public:
    explicit FHCameraStrips(QWidget *parent = nullptr);

    void setModel(FHCameraModel *model);
    // The time the axis starts and ends at, in wall-clock seconds (as
    // FHCameraModel gives them); equal when there is nothing to draw.
    QPair<qint64, qint64> span() const;
    // The horizontal position of a time on the axis, in widget pixels.
    int xOf(qint64 wallSeconds) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect axisRect() const;
    int nameWidth() const;
    int stripHeight() const;

    FHCameraModel *m_model = nullptr;
};

#endif // FHCAMERASTRIPS_H
