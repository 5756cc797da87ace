#include "TestSupport.h"
#include "ui/FHAnimationPanel.h"

#include <QApplication>
#include <QFile>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A two-frame animated GIF, 4 x 4 pixels (Qt reads GIF but cannot write it).
const unsigned char twoFrameGif[] = { 0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x04, 0x00,
    0xf0, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x0a, 0x00, 0x00,
    0x00, 0x21, 0xff, 0x0b, 0x4e, 0x45, 0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03,
    0x01, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x00, 0x02, 0x04,
    0x84, 0x8f, 0x09, 0x05, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
    0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x80, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x02, 0x04, 0x84,
    0x8f, 0x09, 0x05, 0x00, 0x3b };

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), qint64(content.size()));
}

// A window holding the panel, as the main window does.
struct Host
{
    QWidget window;
    FHAnimationPanel *panel;
    Host()
        : panel(new FHAnimationPanel(&window))
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(panel);
    }
};

} // namespace

class TestAnimationPanel : public QObject
{
    Q_OBJECT

private slots:
    void fixedSize();
    void movieChoice_data();
    void movieChoice();
    void runsOnlyWhileSeen_data();
    void runsOnlyWhileSeen();
    void drawnAnimationMoves();
};

void TestAnimationPanel::fixedSize()
{
    FHAnimationPanel panel;
    QCOMPARE(panel.size(), QSize(250, 40));
    QCOMPARE(panel.minimumSize(), QSize(250, 40));
    QCOMPARE(panel.maximumSize(), QSize(250, 40));
}

void TestAnimationPanel::movieChoice_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("playsMovie");

    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("not a movie") << QByteArray("FWS\x0a not a movie Qt can decode") << false;
    // Recognised by its content, whatever the suffix says.
    QTest::newRow("animated GIF") << QByteArray(reinterpret_cast<const char *>(twoFrameGif),
        sizeof(twoFrameGif)) << true;
}

void TestAnimationPanel::movieChoice()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, playsMovie);

    const QString path = QDir::currentPath() + QStringLiteral("/Car-speakers.swf");
    QFile::remove(path);
    if (!content.isEmpty())
        writeFile(path, content);

    Host host;
    host.panel->loadMovie(path);
    QCOMPARE(host.panel->isPlayingMovie(), playsMovie);
    host.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host.window));
    QVERIFY(host.panel->isRunning());
}

void TestAnimationPanel::runsOnlyWhileSeen_data()
{
    QTest::addColumn<bool>("movie");
    QTest::newRow("drawn") << false;
    QTest::newRow("movie") << true;
}

void TestAnimationPanel::runsOnlyWhileSeen()
{
    QFETCH(bool, movie);

    const QString path = QDir::currentPath() + QStringLiteral("/movie.gif");
    writeFile(path, QByteArray(reinterpret_cast<const char *>(twoFrameGif), sizeof(twoFrameGif)));
    Host host;
    if (movie)
        host.panel->loadMovie(path);
    QCOMPARE(host.panel->isPlayingMovie(), movie);
    QVERIFY(!host.panel->isRunning()); // not yet shown

    host.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host.window));
    QVERIFY(host.panel->isRunning());

    host.window.hide();
    QVERIFY(!host.panel->isRunning());
    host.window.show();
    QVERIFY(host.panel->isRunning());

    host.window.setWindowState(Qt::WindowMinimized);
    QVERIFY(!host.panel->isRunning());
    host.window.setWindowState(Qt::WindowNoState);
    QVERIFY(host.panel->isRunning());

    // Hiding the panel alone stops it too.
    host.panel->hide();
    QVERIFY(!host.panel->isRunning());
}

void TestAnimationPanel::drawnAnimationMoves()
{
    Host host;
    host.panel->loadMovie(QStringLiteral("no such movie.swf"));
    host.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host.window));
    const QImage first = host.panel->grab().toImage();
    QTRY_VERIFY_WITH_TIMEOUT(host.panel->grab().toImage() != first, 2000);

    // Stopped, it stays still.
    host.window.setWindowState(Qt::WindowMinimized);
    const QImage still = host.panel->grab().toImage();
    QTest::qWait(200);
    QCOMPARE(host.panel->grab().toImage(), still);
}

QUILM_TEST_MAIN(TestAnimationPanel)
#include "tst_animationpanel.moc"
