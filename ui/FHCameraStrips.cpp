#include "ui/FHCameraStrips.h"

#include "ui/FHCameraModel.h"

#include <QPainter>
#include <QVector>

namespace {

QColor stripColor(int row)
{
    // Hues far apart for neighbours, dark enough on a light window and light
    // enough on a dark one.
    return QColor::fromHsv((row * 137 + 210) % 360, 170, 190);
}

} // namespace

FHCameraStrips::FHCameraStrips(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("cameraStrips"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void FHCameraStrips::setModel(FHCameraModel *model)
{
    m_model = model;
    const auto redraw = [this] {
        updateGeometry();
        update();
    };
    connect(model, &QAbstractItemModel::modelReset, this, redraw);
    connect(model, &QAbstractItemModel::dataChanged, this, redraw);
    redraw();
}

int FHCameraStrips::stripHeight() const
{
    // Strips grow with the room, up to three lines of text each.
    const int rows = m_model ? qMax(1, m_model->rowCount()) : 1;
    const int line = fontMetrics().height();
    return qBound(6, (height() - 2 * line - 16) / rows, 3 * line + 10);
}

int FHCameraStrips::nameWidth() const
{
    int width = 0;
    for (int row = 0; m_model && row < m_model->rowCount(); ++row)
        width = qMax(width, fontMetrics().horizontalAdvance(m_model->camera(row)));
    return qMin(width + 12, qMax(80, this->width() / 3));
}

QRect FHCameraStrips::axisRect() const
{
    const int rows = m_model ? m_model->rowCount() : 0;
    const int left = nameWidth();
    const int right = fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00")) / 2 + 4;
    return QRect(left, 4, qMax(10, width() - left - right), rows * stripHeight());
}

QPair<qint64, qint64> FHCameraStrips::span() const
{
    bool any = false;
    qint64 first = 0;
    qint64 last = 0;
    for (int row = 0; m_model && row < m_model->rowCount(); ++row) {
        const QVector<qint64> &times = m_model->cameraTimes(row);
        if (times.isEmpty())
            continue;
        const qint64 a = times.first() + m_model->offset(row);
        const qint64 b = times.last() + m_model->offset(row);
        first = any ? qMin(first, a) : a;
        last = any ? qMax(last, b) : b;
        any = true;
    }
    // A margin of a twentieth each side, and a minute at least, so that the
    // first and the last shot are not on the frame.
    const qint64 margin = qMax<qint64>(60, (last - first) / 20);
    return any ? qMakePair(first - margin, last + margin) : qMakePair(qint64(0), qint64(0));
}

int FHCameraStrips::xOf(qint64 wallSeconds) const
{
    const QRect axis = axisRect();
    const QPair<qint64, qint64> s = span();
    if (s.second <= s.first)
        return axis.left();
    return axis.left()
        + int(double(wallSeconds - s.first) * (axis.width() - 1) / double(s.second - s.first));
}

QSize FHCameraStrips::sizeHint() const
{
    const int rows = m_model ? qMax(1, m_model->rowCount()) : 1;
    return QSize(480, rows * (fontMetrics().height() + 10) + 2 * fontMetrics().height() + 16);
}

QSize FHCameraStrips::minimumSizeHint() const
{
    // A small window makes the strips thin rather than cut them off.
    return QSize(120, 2 * fontMetrics().height() + 12);
}

void FHCameraStrips::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect axis = axisRect();
    const int rowHeight = stripHeight();
    const QPair<qint64, qint64> s = span();
    if (!m_model || m_model->rowCount() == 0 || s.second <= s.first)
        return;
    const QPalette pal = palette();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QRect strip(axis.left(), axis.top() + row * rowHeight, axis.width(), rowHeight);
        if (row % 2)
            painter.fillRect(strip.adjusted(-nameWidth(), 0, 0, 0), pal.alternateBase());
        painter.setPen(pal.color(QPalette::WindowText));
        painter.drawText(QRect(4, strip.top(), nameWidth() - 10, rowHeight),
            Qt::AlignLeft | Qt::AlignVCenter,
            fontMetrics().elidedText(m_model->camera(row), Qt::ElideMiddle, nameWidth() - 10));
        // One line per pixel column with a shot: tens of thousands of shots
        // draw as fast as a few.
        QVector<bool> marked(axis.width(), false);
        const qint64 offset = m_model->offset(row);
        for (const qint64 time : m_model->cameraTimes(row)) {
            const int x = xOf(time + offset) - axis.left();
            if (x >= 0 && x < marked.size())
                marked[x] = true;
        }
        painter.setPen(QPen(stripColor(row), 1));
        for (int x = 0; x < marked.size(); ++x) {
            if (marked.at(x))
                painter.drawLine(
                    axis.left() + x, strip.top() + 3, axis.left() + x, strip.bottom() - 3);
        }
    }
    // The axis with its two ends' dates and times below.
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawRect(axis.adjusted(0, 0, -1, -1));
    painter.setPen(pal.color(QPalette::WindowText));
    const int textTop = axis.bottom() + 4;
    const QString from = FHCameraModel::timeText(s.first).left(16);
    const QString to = FHCameraModel::timeText(s.second).left(16);
    painter.drawText(
        QRect(axis.left(), textTop, axis.width() / 2, fontMetrics().height()), Qt::AlignLeft, from);
    painter.drawText(
        QRect(axis.left() + axis.width() / 2, textTop, axis.width() / 2, fontMetrics().height()),
        Qt::AlignRight, to);
}
