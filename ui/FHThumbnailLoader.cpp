#include "ui/FHThumbnailLoader.h"

#include "engine/FHFileTypes.h"
#include "engine/FHThumbnail.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>

namespace {

// Enough for the rows of a full-screen table several times over.
constexpr int CacheKilobytes = 64 * 1024;
// Rows scrolled past long ago are not worth reading any more.
constexpr int MaxQueued = 400;
// A header that claims more is a damaged or crafted file.
constexpr qint64 MaxPixels = 200LL * 1000 * 1000;
constexpr qint64 MaxDecodedFileBytes = 256LL * 1024 * 1024;

QImage readScaled(QImageReader &reader, int edge)
{
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPixels)
        return QImage();
    if (size.isValid() && (size.width() > edge || size.height() > edge))
        reader.setScaledSize(size.scaled(edge, edge, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    if (!image.isNull() && (image.width() > edge || image.height() > edge))
        image = image.scaled(edge, edge, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

FHThumbnailLoader::FHThumbnailLoader(QObject *parent)
    : QObject(parent)
    , m_cache(CacheKilobytes)
{
    FHThumbnail::prepare();
    // One core stays with the window.
    m_pool.setMaxThreadCount(qBound(1, QThread::idealThreadCount() - 1, 4));
}

FHThumbnailLoader::~FHThumbnailLoader()
{
    halt();
}

int FHThumbnailLoader::deviceEdge() const
{
    return qRound(Edge * qApp->devicePixelRatio());
}

QPixmap FHThumbnailLoader::thumbnail(const QString &path)
{
    if (FHFileTypes::familyOf(path) == FHFileTypes::Video)
        return icon(true);
    if (const QPixmap *cached = m_cache.object(path))
        return *cached;
    if (m_waiting.contains(path)) {
        // Asked again: it is in view, so it goes to the front.
        const int at = m_queue.lastIndexOf(path);
        if (at >= 0 && at != m_queue.size() - 1) {
            m_queue.removeAt(at);
            m_queue.append(path);
        }
        return QPixmap();
    }
    ++m_requests;
    m_waiting.insert(path, true);
    m_queue.append(path);
    if (m_queue.size() > MaxQueued)
        m_waiting.remove(m_queue.takeFirst());
    startReads();
    return QPixmap();
}

void FHThumbnailLoader::startReads()
{
    while (!m_queue.isEmpty() && m_running < m_pool.maxThreadCount()) {
        const QString path = m_queue.takeLast();
        const int edge = deviceEdge();
        ++m_running;
        QPointer<FHThumbnailLoader> self(this);
        m_pool.start([self, path, edge] {
            const QImage image = read(path, edge);
            if (self)
                QMetaObject::invokeMethod(
                    self.data(),
                    [self, path, image] {
                        if (self)
                            self->finish(path, image);
                    },
                    Qt::QueuedConnection);
        });
    }
}

void FHThumbnailLoader::finish(const QString &path, const QImage &image)
{
    --m_running;
    if (m_waiting.remove(path)) {
        QPixmap pixmap = image.isNull() ? icon(false) : QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(
            image.isNull() ? pixmap.devicePixelRatio() : qApp->devicePixelRatio());
        m_cache.insert(path, new QPixmap(pixmap),
            qMax(1, pixmap.width() * pixmap.height() * pixmap.depth() / 8 / 1024));
        emit ready(path);
    }
    startReads();
}

void FHThumbnailLoader::halt()
{
    for (const QString &path : qAsConst(m_queue))
        m_waiting.remove(path);
    m_queue.clear();
    m_pool.waitForDone();
    // The answers of the reads that ended are still queued: they find nothing
    // waiting and only count themselves off.
    QCoreApplication::sendPostedEvents(this);
}

QImage FHThumbnailLoader::read(const QString &path, int edge)
{
    QString problem;
    const QByteArray preview = FHThumbnail::embeddedPreview(path, edge, &problem);
    if (!preview.isEmpty()) {
        const QImage image = decode(preview, edge);
        if (!image.isNull())
            return image;
    }
    // PNG and GIF carry no preview; a JPEG without one is decoded scaled.
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("gif")
        && suffix != QLatin1String("jpg") && suffix != QLatin1String("jpeg"))
        return QImage();
    if (QFileInfo(path).size() > MaxDecodedFileBytes)
        return QImage();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return readScaled(reader, edge);
}

QImage FHThumbnailLoader::decode(const QByteArray &bytes, int edge)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return readScaled(reader, edge);
}

QPixmap FHThumbnailLoader::icon(bool video)
{
    QPixmap &made = video ? m_videoIcon : m_fileIcon;
    const qreal ratio = qApp->devicePixelRatio();
    if (!made.isNull() && qFuzzyCompare(made.devicePixelRatio(), ratio))
        return made;
    if (!video) {
        made = qApp->style()->standardIcon(QStyle::SP_FileIcon).pixmap(Edge / 2, Edge / 2);
        return made;
    }
    // A frame of film with a play mark.
    made = QPixmap(QSize(Edge, Edge * 3 / 4) * ratio);
    made.setDevicePixelRatio(ratio);
    made.fill(Qt::transparent);
    paintFrame(&made);
    return made;
}

void FHThumbnailLoader::paintFrame(QPixmap *pixmap)
{
    QPainter painter(pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(4, 4, Edge - 8, Edge * 3 / 4 - 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 64));
    painter.drawRoundedRect(frame, 4, 4);
    painter.setBrush(QColor(235, 235, 235));
    for (qreal x = frame.left() + 5; x + 6 < frame.right(); x += 11) {
        painter.drawRect(QRectF(x, frame.top() + 3, 6, 5));
        painter.drawRect(QRectF(x, frame.bottom() - 8, 6, 5));
    }
    const QPointF c = frame.center();
    QPainterPath play;
    play.moveTo(c + QPointF(-9, -12));
    play.lineTo(c + QPointF(13, 0));
    play.lineTo(c + QPointF(-9, 12));
    play.closeSubpath();
    painter.drawPath(play);
}
