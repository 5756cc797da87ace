#include "ui/FHAnimationPanel.h"

#include <QEasingCurve>
#include <QEvent>
#include <QLinearGradient>
#include <QMovie>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

const int frameInterval = 40; // ms, 25 frames a second
const qreal cyclePeriod = 1800.; // ms for one photograph to reach the folder

struct Scene
{
    QColor skyTop;
    QColor skyBottom;
    QColor hill;
    QColor sun;
};

// Day, sunset, night and spring: four kinds of photographs take turns.
const Scene scenes[] = {
    { QColor(0x4f, 0x9d, 0xe8), QColor(0xc8, 0xe6, 0xff), QColor(0x4c, 0xa6, 0x4a),
        QColor(0xff, 0xd3, 0x4e) },
    { QColor(0xf2, 0x7a, 0x54), QColor(0xff, 0xd2, 0x8a), QColor(0x6b, 0x4e, 0x71),
        QColor(0xff, 0xf1, 0xb8) },
    { QColor(0x1d, 0x2b, 0x5a), QColor(0x4a, 0x5f, 0x9e), QColor(0x2d, 0x3f, 0x4f),
        QColor(0xf4, 0xf1, 0xd0) },
    { QColor(0x7e, 0xc8, 0xe3), QColor(0xe6, 0xf7, 0xff), QColor(0x8b, 0xc3, 0x4a),
        QColor(0xff, 0x9f, 0xc7) },
};
const int sceneCount = int(sizeof(scenes) / sizeof(scenes[0]));

void drawPhoto(QPainter &p, const QRectF &r, int scene)
{
    const Scene &s = scenes[((scene % sceneCount) + sceneCount) % sceneCount];
    p.setPen(QPen(QColor(0, 0, 0, 60), 0.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 1.5, 1.5);

    const QRectF inner = r.adjusted(2, 2, -2, -2);
    p.save();
    p.setClipRect(inner);
    QLinearGradient sky(inner.topLeft(), inner.bottomLeft());
    sky.setColorAt(0, s.skyTop);
    sky.setColorAt(1, s.skyBottom);
    p.fillRect(inner, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(s.sun);
    const qreal sun = inner.height() * 0.28;
    p.drawEllipse(
        QPointF(inner.right() - sun * 1.2, inner.top() + sun * 1.1), sun * 0.55, sun * 0.55);
    p.setBrush(s.hill);
    p.drawEllipse(
        QPointF(inner.left() + inner.width() * 0.3, inner.bottom() + inner.height() * 0.25),
        inner.width() * 0.55, inner.height() * 0.6);
    p.setBrush(s.hill.darker(115));
    p.drawEllipse(QPointF(inner.right(), inner.bottom() + inner.height() * 0.3),
        inner.width() * 0.5, inner.height() * 0.55);
    p.restore();
}

QPainterPath folderBack(const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top() + 4);
    path.lineTo(r.left() + r.width() * 0.38, r.top() + 4);
    path.lineTo(r.left() + r.width() * 0.45, r.top());
    path.lineTo(r.right(), r.top());
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    return path;
}

} // namespace

FHAnimationPanel::FHAnimationPanel(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(250, 40);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer.setInterval(frameInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_elapsed += m_clock.restart();
        update();
    });
}

FHAnimationPanel::~FHAnimationPanel() = default;

void FHAnimationPanel::loadMovie(const QString &path)
{
    auto *movie = new QMovie(path, QByteArray(), this);
    if (!movie->isValid()) {
        delete movie;
        return;
    }
    delete m_movie;
    m_movie = movie;
    m_movie->setCacheMode(QMovie::CacheAll);
    connect(m_movie, &QMovie::frameChanged, this, qOverload<>(&QWidget::update));
    m_timer.stop();
    updateRunning();
}

bool FHAnimationPanel::isPlayingMovie() const
{
    return m_movie != nullptr;
}

bool FHAnimationPanel::isRunning() const
{
    if (m_movie)
        return m_movie->state() == QMovie::Running;
    return m_timer.isActive();
}

void FHAnimationPanel::showEvent(QShowEvent *event)
{
    QWidget *top = window();
    if (top != this && top != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = top;
        m_watchedWindow->installEventFilter(this);
    }
    QWidget::showEvent(event);
    updateRunning();
}

void FHAnimationPanel::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    updateRunning();
}

bool FHAnimationPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::WindowStateChange)
        updateRunning();
    return QWidget::eventFilter(watched, event);
}

void FHAnimationPanel::updateRunning()
{
    const bool visible = isVisible() && !window()->isMinimized();
    if (m_movie) {
        if (visible && m_movie->state() == QMovie::NotRunning)
            m_movie->start();
        else if (m_movie->state() != QMovie::NotRunning)
            m_movie->setPaused(!visible);
        return;
    }
    if (visible && !m_timer.isActive()) {
        m_clock.start();
        m_timer.start();
    } else if (!visible && m_timer.isActive()) {
        m_timer.stop();
    }
}

void FHAnimationPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().window());

    if (m_movie) {
        const QPixmap frame = m_movie->currentPixmap();
        if (!frame.isNull()) {
            const QSize size = frame.size().scaled(this->size(), Qt::KeepAspectRatio);
            const QRect target(
                QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(target, frame);
        }
        return;
    }
    paintSorting(painter, m_elapsed);
}

// The photograph on its way: lifted, carried along an arc, dropped.
void FHAnimationPanel::paintCarried(QPainter &p, qreal t, int cycle, const QPointF &stackCentre,
    const QPointF &folderMouth, const QSizeF &card)
{
    if (t >= 0.92)
        return;
    QPointF pos;
    qreal angle = -6;
    qreal scale = 1;
    if (t < 0.12) {
        pos = stackCentre - QPointF(0, 3 * (t / 0.12));
    } else if (t < 0.78) {
        const qreal u = QEasingCurve(QEasingCurve::InOutCubic).valueForProgress((t - 0.12) / 0.66);
        const QPointF from = stackCentre - QPointF(0, 3);
        const QPointF to = folderMouth - QPointF(0, 5);
        pos = from + (to - from) * u - QPointF(0, 5 * std::sin(M_PI * u));
        angle = -6 * (1 - u) + 10 * std::sin(M_PI * u);
        scale = 1 - 0.25 * u;
    } else {
        const qreal u = (t - 0.78) / 0.14;
        pos = folderMouth - QPointF(0, 5 - 12 * u);
        angle = 0;
        scale = 0.75;
    }
    p.save();
    p.translate(pos);
    p.rotate(angle);
    p.scale(scale, scale);
    drawPhoto(p, QRectF(QPointF(-card.width() / 2, -card.height() / 2), card), cycle);
    p.restore();
}

void FHAnimationPanel::paintSorting(QPainter &p, qint64 ms)
{
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient background(area.topLeft(), area.bottomLeft());
    background.setColorAt(0, QColor(0xf7, 0xfb, 0xff));
    background.setColorAt(1, QColor(0xe3, 0xee, 0xf8));
    p.setPen(QPen(QColor(0xb8, 0xc8, 0xd8), 1));
    p.setBrush(background);
    p.drawRoundedRect(area, 6, 6);

    const int cycle = int(ms / qint64(cyclePeriod));
    const qreal t = std::fmod(qreal(ms), cyclePeriod) / cyclePeriod;

    const QSizeF card(27, 20);
    const QPointF stackCentre(28, 21);
    const QRectF folder(196, 11, 42, 25);
    const QPointF folderMouth(folder.center().x(), folder.top() + 6);

    // The dotted road from the stack to the folder.
    p.setPen(QPen(QColor(0x9f, 0xb6, 0xcc), 1.2, Qt::DotLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath road;
    road.moveTo(stackCentre + QPointF(20, -2));
    road.quadTo(QPointF(120, 2), folderMouth + QPointF(-22, -2));
    p.drawPath(road);

    // Folder back, behind the photograph that drops into it.
    p.setPen(QPen(QColor(0xb9, 0x8a, 0x2c), 1));
    p.setBrush(QColor(0xe8, 0xb6, 0x4c));
    p.drawPath(folderBack(folder));

    // The stack: the photographs still waiting, the next one on top.
    for (int i = 2; i >= 0; --i) {
        p.save();
        p.translate(stackCentre + QPointF(-i * 2.5, i * 1.5));
        p.rotate(-6 + i * 7);
        if (i > 0 || t > 0.12)
            drawPhoto(
                p, QRectF(QPointF(-card.width() / 2, -card.height() / 2), card), cycle + 1 + i);
        p.restore();
    }

    paintCarried(p, t, cycle, stackCentre, folderMouth, card);

    // Folder front hides the photograph as it drops in.
    QLinearGradient front(folder.topLeft(), folder.bottomLeft());
    front.setColorAt(0, QColor(0xff, 0xd7, 0x73));
    front.setColorAt(1, QColor(0xf2, 0xbc, 0x4b));
    p.setPen(QPen(QColor(0xb9, 0x8a, 0x2c), 1));
    p.setBrush(front);
    p.drawRoundedRect(
        QRectF(folder.left(), folder.top() + 8, folder.width(), folder.height() - 8), 2, 2);

    // The number the last photograph received.
    const int filed = t >= 0.9 ? cycle + 1 : cycle;
    if (filed > 0) {
        QFont font = p.font();
        font.setPixelSize(9);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(0x7a, 0x55, 0x10));
        p.drawText(QRectF(folder.left(), folder.top() + 9, folder.width(), folder.height() - 9),
            Qt::AlignCenter,
            QStringLiteral("%1").arg((filed - 1) % 999 + 1, 3, 10, QLatin1Char('0')));
    }
}
