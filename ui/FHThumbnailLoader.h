#ifndef FHTHUMBNAILLOADER_H
#define FHTHUMBNAILLOADER_H

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QThreadPool>
#include <QVector>

// Thumbnails of photos, read on other threads when a view first asks for them
// and kept for the next time: the preview that a photo carries, else the
// photo itself scaled down (PNG, GIF, JPEG), a frame for a video, a plain page
// for anything else.
class FHThumbnailLoader : public QObject
{
    Q_OBJECT

public:
    explicit FHThumbnailLoader(QObject *parent = nullptr);
    // Waits for the reads under way.
    ~FHThumbnailLoader() override;

    // The edge of the square a thumbnail fits in, in device-independent pixels.
    static constexpr int Edge = 96;

    // The thumbnail of the file, from the cache; while it is read, a null
    // pixmap, and ready() follows. The latest files asked for are read first,
    // so that scrolling past rows costs no reading of them.
    QPixmap thumbnail(const QString &path);
    // What stands for a video, or for a file without a picture to show.
    QPixmap icon(bool video);
    // Drops the reads not begun and waits for those under way.
    void halt();
    // Files whose reading was asked for, once each until the cache lets them go.
    int requestCount() const { return m_requests; }

    // Read on any thread: the picture for the file, at most edge device pixels
    // wide and high; null when there is none to show.
    static QImage read(const QString &path, int edge);
    // The same from encoded bytes (an embedded preview, say).
    static QImage decode(const QByteArray &bytes, int edge);

signals:
    void ready(const QString &path);

private:
    void startReads();
    void finish(const QString &path, const QImage &image);
    int deviceEdge() const;
    static void paintFrame(QPixmap *pixmap);

    QCache<QString, QPixmap> m_cache; // cost in kilobytes
    QVector<QString> m_queue; // the latest asked for last
    QHash<QString, bool> m_waiting; // queued or being read
    QThreadPool m_pool;
    int m_running = 0;
    int m_requests = 0;
    QPixmap m_videoIcon;
    QPixmap m_fileIcon;
};

#endif // FHTHUMBNAILLOADER_H
