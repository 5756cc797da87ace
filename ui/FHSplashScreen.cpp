#include "ui/FHSplashScreen.h"

#include "ui/FHPicture.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionProgressBar>

const QRect FHSplashScreen::ProgressBarRect(0, 130, 150, 20);
const QSize FHSplashScreen::FallbackSize(300, 170);

FHSplashScreen::FHSplashScreen(QWidget *parent)
    : QSplashScreen(QPixmap())
{
    if (parent)
        setParent(parent, windowFlags());

    QPixmap picture = loadPicture(QStringLiteral("image/splash.png"));
    if (picture.isNull()) {
        // An empty picture would give a window of no size at all.
        picture = QPixmap(FallbackSize);
        picture.fill(Qt::white);
    }
    setPixmap(picture);
    setCursor(Qt::BusyCursor);
}

FHSplashScreen::~FHSplashScreen() = default;

void FHSplashScreen::setProgress(int value)
{
    m_progress = qBound(0, value, 100);

    QString text;
    switch (value) {
    case 10:
        text = QStringLiteral("Establish connections");
        break;
    case 20:
        text = QStringLiteral("Wait for reply");
        break;
    case 50:
        text = QStringLiteral("Parse reply");
        break;
    default:
        text = QStringLiteral("Loaded modules");
        break;
    }
    showMessage(text, Qt::AlignBottom, Qt::black);
    update();
}

void FHSplashScreen::drawContents(QPainter *painter)
{
    QSplashScreen::drawContents(painter);

    QStyleOptionProgressBar bar;
    bar.initFrom(this);
    bar.state = QStyle::State_Enabled;
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = m_progress;
    bar.textVisible = false;
    bar.invertedAppearance = false;
    bar.rect = ProgressBarRect;
    style()->drawControl(QStyle::CE_ProgressBar, &bar, painter, this);
}
