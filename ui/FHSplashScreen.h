#ifndef FHSPLASHSCREEN_H
#define FHSPLASHSCREEN_H

#include <QRect>
#include <QSplashScreen>

// The picture shown while the program starts, with a status line and a
// progress bar that follow the version check.
class FHSplashScreen : public QSplashScreen
{
    Q_OBJECT

public:
    // Where the bar is drawn, whatever the size of the picture.
    static const QRect ProgressBarRect;
    // Used when image/splash.png is missing, so the bar and text still show.
    static const QSize FallbackSize;

    explicit FHSplashScreen(QWidget *parent = nullptr);
    ~FHSplashScreen() override;

    // The stored progress, 0 to 100.
    int progress() const { return m_progress; }

public slots:
    // Stores the value clamped to 0..100 and shows the status text that
    // belongs to the value as received.
    void setProgress(int value);

protected:
    void drawContents(QPainter *painter) override;

private:
    int m_progress = 0;
};

#endif // FHSPLASHSCREEN_H
