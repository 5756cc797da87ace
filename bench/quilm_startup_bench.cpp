// Time from process start to the main window being shown, for one start-up.
//
//   quilm_startup_bench answering   a loopback server that answers at once
//   quilm_startup_bench none        nothing listens on the server's port
//
// Prints the milliseconds from the process's start (as the kernel records it)
// to the window's first expose. Run it several times and take the median; see
// scripts/startup-bench.sh.

#include "app/FHStartUp.h"
#include "shell/FHMessageHandler.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"
#include "ui/FHRunReporter.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

// Milliseconds since this process started, from /proc (10 ms resolution).
double msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray statLine = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = statLine.mid(statLine.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
    return (upSeconds - startTicks / double(sysconf(_SC_CLK_TCK))) * 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(messageHandler);
    // A failed check redirects standard error into the log file: keep our own copy.
    FILE *result = fdopen(dup(STDERR_FILENO), "w");
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("answering");

    FHexiv2Application app(argc, argv);
    app.setReporters(&FHRunReporter::make);
    FHApplication::loadTranslators(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));

    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const quint16 port = server.serverPort();
    if (mode == "none") {
        server.close();
    } else {
        QObject::connect(&server, &QTcpServer::newConnection, [&server] {
            QTcpSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\n3.4.0");
                socket->disconnectFromHost();
            });
        });
    }

    FHStartUp startUp(&app, QStringLiteral("http://127.0.0.1:%1").arg(port));
    if (!QTest::qWaitForWindowExposed(startUp.window(), 10000))
        return 1;
    std::fprintf(result, "%.0f\n", msSinceProcessStart());
    std::fclose(result);
    return 0;
}
