#include "TestSupport.h"
#include "app/FHStartUp.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"

#include <QLabel>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray firstLogLine(const QString &dir)
{
    QFile log(dir + QStringLiteral("/Quilm.Log.txt"));
    if (!log.open(QIODevice::ReadOnly))
        return QByteArray();
    return log.readLine().trimmed();
}

// A port on which nothing listens.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void newVersionReachesWindow();
    void unreachableServer();
    void programRunsItsEventLoop();
};

void TestStartUp::newVersionReachesWindow()
{
    // The check waits in a nested loop on this thread, which also serves this
    // server's sockets.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&server] {
        QTcpSocket *socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            socket->readAll();
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\n3.4.0");
            socket->disconnectFromHost();
        });
    });

    FHStartUp startUp(static_cast<FHexiv2Application *>(qApp),
        QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()));
    QCOMPARE(startUp.newVersion(), QStringLiteral("3.4.0"));
    QVERIFY(startUp.window()->isVisible());
    auto *link = startUp.window()->findChild<QLabel *>(QStringLiteral("newVersionLabel"));
    QVERIFY(link);
    QVERIFY(plainTextOf(link->text()).contains(QLatin1String("3.4.0")));
}

void TestStartUp::unreachableServer()
{
    QFile::remove(QStringLiteral("Quilm.Log.txt"));
    FHStartUp startUp(static_cast<FHexiv2Application *>(qApp),
        QStringLiteral("http://127.0.0.1:%1").arg(closedPort()));
    QVERIFY(startUp.newVersion().isEmpty());
    QVERIFY(startUp.window()->isVisible());
    QVERIFY(!startUp.window()->findChild<QLabel *>(QStringLiteral("newVersionLabel")));
    QCOMPARE(firstLogLine(QDir::currentPath()), QByteArray("Connection refused"));
}

void TestStartUp::programRunsItsEventLoop()
{
    // The real program, built with its default server address under the reserved
    // domain, which no resolver answers: the lookup error is the run's first line.
    QTemporaryDir dir;
    QProcess program;
    program.setWorkingDirectory(dir.path());
    program.start(QStringLiteral(QUILM_BINARY_DIR "/quilm"),
        { QStringLiteral("-platform"), QStringLiteral("offscreen") });
    QVERIFY(program.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(!firstLogLine(dir.path()).isEmpty(), 20000);
    const QByteArray line = firstLogLine(dir.path());
    QVERIFY2(line.contains("quilm.example") || line == "Operation canceled", line.constData());
    // Still running: the window is up and the event loop waits for the user.
    QTest::qWait(500);
    QCOMPARE(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished(5000);
}

QUILM_TEST_MAIN(TestStartUp)

#include "tst_startup.moc"
