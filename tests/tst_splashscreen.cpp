#include "TestSupport.h"
#include "ui/FHSplashScreen.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QtTest>

class TestSplashScreen : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void initialState();
    void progressAndText_data();
    void progressAndText();
    void barIsDrawnAtItsPlace();
    void barFollowsProgress();
    void withoutPictureStillDraws();

private:
    static void writePicture(const QSize &size, const QColor &color);
    static QImage shot(FHSplashScreen &splash, int value);
};

void TestSplashScreen::writePicture(const QSize &size, const QColor &color)
{
    QVERIFY(QDir().mkpath(QStringLiteral("image")));
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(color);
    QVERIFY(picture.save(QStringLiteral("image/splash.png")));
}

QImage TestSplashScreen::shot(FHSplashScreen &splash, int value)
{
    splash.setProgress(value);
    return splash.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void TestSplashScreen::cleanup()
{
    QDir(QStringLiteral("image")).removeRecursively();
}

void TestSplashScreen::initialState()
{
    writePicture(QSize(320, 200), Qt::darkCyan);
    FHSplashScreen splash;
    QCOMPARE(splash.progress(), 0);
    QCOMPARE(splash.message(), QString());
    QVERIFY(!splash.isVisible());
    QCOMPARE(splash.cursor().shape(), Qt::BusyCursor);
    QCOMPARE(splash.pixmap().size(), QSize(320, 200));
    QCOMPARE(splash.pixmap().toImage().pixelColor(200, 40), QColor(Qt::darkCyan));
}

void TestSplashScreen::progressAndText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("text");

    QTest::newRow("10") << 10 << 10 << "Establish connections";
    QTest::newRow("20") << 20 << 20 << "Wait for reply";
    QTest::newRow("50") << 50 << 50 << "Parse reply";
    QTest::newRow("100") << 100 << 100 << "Loaded modules";
    QTest::newRow("0") << 0 << 0 << "Loaded modules";
    QTest::newRow("99") << 99 << 99 << "Loaded modules";
    QTest::newRow("150 clamps") << 150 << 100 << "Loaded modules";
    QTest::newRow("-5 clamps") << -5 << 0 << "Loaded modules";
    QTest::newRow("110 is not 10") << 110 << 100 << "Loaded modules";
}

void TestSplashScreen::progressAndText()
{
    QFETCH(int, value);
    QFETCH(int, stored);
    QFETCH(QString, text);

    FHSplashScreen splash;
    splash.setProgress(value);
    QCOMPARE(splash.progress(), stored);
    QCOMPARE(splash.message(), text);
}

void TestSplashScreen::barIsDrawnAtItsPlace()
{
    writePicture(QSize(320, 200), Qt::darkCyan);
    FHSplashScreen splash;
    // 0 and 100 show the same text, so only the bar tells them apart.
    const QImage empty = shot(splash, 0);
    const QImage full = shot(splash, 100);
    QCOMPARE(full.size(), QSize(320, 200));

    const QRect bar = FHSplashScreen::ProgressBarRect;
    int changedInside = 0;
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) {
            const bool changed = empty.pixel(x, y) != full.pixel(x, y);
            if (bar.contains(x, y))
                changedInside += changed;
            else
                QVERIFY2(!changed, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY(changedInside > bar.width() * bar.height() / 2);
    // Outside the bar and the status line the picture is untouched.
    QCOMPARE(full.pixelColor(200, 40), QColor(Qt::darkCyan));
    QCOMPARE(full.pixelColor(160, 140), QColor(Qt::darkCyan));
}

void TestSplashScreen::barFollowsProgress()
{
    writePicture(QSize(320, 200), Qt::darkCyan);
    FHSplashScreen splash;
    const QImage empty = shot(splash, 0);
    const QImage full = shot(splash, 100);
    const QRect bar = FHSplashScreen::ProgressBarRect;
    const QImage emptyBar = empty.copy(bar);
    const QImage fullBar = full.copy(bar);

    QCOMPARE(shot(splash, 150).copy(bar), fullBar);
    QCOMPARE(shot(splash, -5).copy(bar), emptyBar);

    // Half way: the left part looks full, the right part empty.
    const QImage half = shot(splash, 50);
    const int row = bar.center().y();
    QCOMPARE(half.pixel(bar.left() + 30, row), full.pixel(bar.left() + 30, row));
    QVERIFY(half.pixel(bar.left() + 30, row) != empty.pixel(bar.left() + 30, row));
    QCOMPARE(half.pixel(bar.right() - 30, row), empty.pixel(bar.right() - 30, row));
    QVERIFY(half.pixel(bar.right() - 30, row) != full.pixel(bar.right() - 30, row));
}

void TestSplashScreen::withoutPictureStillDraws()
{
    QVERIFY(!QDir(QStringLiteral("image")).exists());
    FHSplashScreen splash;
    QCOMPARE(splash.pixmap().size(), FHSplashScreen::FallbackSize);

    const QRect bar = FHSplashScreen::ProgressBarRect;
    QVERIFY(QRect(QPoint(0, 0), FHSplashScreen::FallbackSize).contains(bar));
    const QImage empty = shot(splash, 0);
    const QImage full = shot(splash, 100);
    QCOMPARE(full.size(), FHSplashScreen::FallbackSize);
    QVERIFY(empty.copy(bar) != full.copy(bar));

    // The status line shows below the bar, in black.
    const QImage withText = shot(splash, 10);
    const QRect below(0, bar.bottom() + 1, full.width(), full.height() - bar.bottom() - 1);
    QVERIFY(withText.copy(below) != full.copy(below));
    bool black = false;
    for (int y = below.top(); y <= below.bottom() && !black; ++y)
        for (int x = below.left(); x <= below.right() && !black; ++x)
            black = withText.pixelColor(x, y) == QColor(Qt::black);
    QVERIFY(black);
}

QUILM_TEST_MAIN(TestSplashScreen)
#include "tst_splashscreen.moc"
