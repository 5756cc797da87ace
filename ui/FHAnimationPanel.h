#ifndef FHANIMATIONPANEL_H
#define FHANIMATIONPANEL_H

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QMovie;

// A small looping animation in the main window: plays the given movie when Qt
// can decode it, otherwise draws photographs being sorted into a folder. It
// only runs while it can be seen.
class FHAnimationPanel : public QWidget
{
    Q_OBJECT

public:
    explicit FHAnimationPanel(QWidget *parent = nullptr);
    ~FHAnimationPanel() override;

    // Plays the movie at the path if it can be decoded; the drawn animation
    // stays otherwise. No failure is reported.
    void loadMovie(const QString &path);

    bool isPlayingMovie() const;
    // True while the animation advances.
    bool isRunning() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateRunning();
    void paintSorting(QPainter &painter, qint64 ms);
    static void paintCarried(QPainter &p, qreal t, int cycle, const QPointF &stackCentre,
        const QPointF &folderMouth, const QSizeF &card);

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_elapsed = 0; // animation time accumulated while running
    QMovie *m_movie = nullptr;
    QWidget *m_watchedWindow = nullptr;
};

#endif // FHANIMATIONPANEL_H
