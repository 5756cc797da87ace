#include "FHConfig.h"
#include "TestSupport.h"
#include "shell/FHCheckVersion.h"
#include "ui/FHOutputWidget.h"
#include "ui/FHRunReporter.h"
#include "ui/FHSplashScreen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A one-page HTTP server on 127.0.0.1 that answers every request the same way,
// or not at all, and keeps the request lines it received.
class LoopbackServer : public QObject
{
    Q_OBJECT

public:
    enum Mode
    {
        Answer,
        AnswerUnsized, // no Content-Length: the body ends when the connection does
        Silent,
        Trickle
    };

    explicit LoopbackServer(Mode mode = Answer, const QByteArray &status = "200 OK",
        const QByteArray &body = QByteArray())
        : m_mode(mode)
        , m_status(status)
        , m_body(body)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::accept);
        m_trickle.setInterval(200);
    }

    QString base() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    bool isListening() const { return m_server.isListening(); }
    const QList<QByteArray> &requestLines() const { return m_requestLines; }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        }
    }

    void read(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        const int end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        m_requestLines << pending.left(pending.indexOf("\r\n"));
        pending.clear();
        if (m_mode == Silent)
            return;
        if (m_mode == Trickle) {
            // Headers promise more than ever comes; one byte now and then.
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n3");
            connect(&m_trickle, &QTimer::timeout, socket, [socket] { socket->write("."); });
            m_trickle.start();
            return;
        }
        const QByteArray length = m_mode == AnswerUnsized
            ? QByteArray()
            : "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n";
        socket->write("HTTP/1.1 " + m_status + "\r\nContent-Type: text/plain\r\n" + length
            + "Connection: close\r\n\r\n" + m_body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    Mode m_mode;
    QByteArray m_status;
    QByteArray m_body;
    QTimer m_trickle;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QList<QByteArray> m_requestLines;
};

class TestCheckVersion : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void replyBodies_data();
    void replyBodies();
    void request_data();
    void request();
    void failedRequests_data();
    void failedRequests();
    void boundedWait_data();
    void boundedWait();
    void progressSeenBySplash_data();
    void progressSeenBySplash();

private:
    static QByteArray log();
    static QString lastPanelLine();
    static QString refusedBase();
    static QByteArray versionPaddedTo(int size);
};

QByteArray TestCheckVersion::log()
{
    QFile file(QStringLiteral("Quilm.Log.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString TestCheckVersion::lastPanelLine()
{
    if (!FHOutputWidget::exists())
        return QString();
    return FHOutputWidget::instance()->document()->lastBlock().text();
}

// A port that was free a moment ago: nothing listens there, so connects are refused.
QString TestCheckVersion::refusedBase()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

// A good answer followed by zero bytes, which the check cuts off.
QByteArray TestCheckVersion::versionPaddedTo(int size)
{
    QByteArray body("3.4.0");
    body.append(size - body.size(), '\0');
    return body;
}

void TestCheckVersion::init()
{
    if (FHOutputWidget::exists())
        FHOutputWidget::instance()->clear();
    // Truncate rather than remove: once open, the log stays on the same file.
    QFile::resize(QStringLiteral("Quilm.Log.txt"), 0);
}

void TestCheckVersion::replyBodies_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("result");

    QTest::newRow("3.4.0") << QByteArray("3.4.0") << "3.4.0";
    QTest::newRow("10.0.12") << QByteArray("10.0.12") << "10.0.12";
    QTest::newRow("two parts") << QByteArray("3.4") << "";
    QTest::newRow("four parts") << QByteArray("3.4.0.1") << "";
    QTest::newRow("leading letter") << QByteArray("v3.4.0") << "";
    QTest::newRow("leading blank") << QByteArray(" 3.4.0") << "";
    QTest::newRow("trailing blank") << QByteArray("3.4.0 ") << "";
    QTest::newRow("double dot") << QByteArray("3..4.0") << "";
    QTest::newRow("trailing LF kept") << QByteArray("3.4.0\n") << "3.4.0\n";
    QTest::newRow("two LFs") << QByteArray("3.4.0\n\n") << "";
    QTest::newRow("CRLF") << QByteArray("3.4.0\r\n") << "";
    QTest::newRow("Arabic-Indic digits")
        << QString::fromUtf8("\u0663.\u0664.\u0660").toUtf8() << "";
    QTest::newRow("fullwidth digits") << QString::fromUtf8("\uff13.\uff14.\uff10").toUtf8() << "";
    QTest::newRow("cut at zero byte") << QByteArray("3.4.0\0trailing", 14) << "3.4.0";
    QTest::newRow("zero byte first") << QByteArray("\0"
                                                   "3.4.0",
        6) << "";
    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("words") << QByteArray("no update") << "";
    QTest::newRow("html page") << QByteArray("<html><body>3.4.0</body></html>") << "";
    QTest::newRow("1 KiB") << versionPaddedTo(FHCheckVersion::MaxReplyBytes) << "3.4.0";

    // News only above the program's own version (not the one the request
    // names), compared by number rather than by text.
    const QStringList own = QStringLiteral(QUILM_VERSION).split(QLatin1Char('.'));
    QCOMPARE(own.size(), 3);
    const auto version = [&](int major, int minor, int patch) {
        return QStringLiteral("%1.%2.%3")
            .arg(own.at(0).toInt() + major)
            .arg(own.at(1).toInt() + minor)
            .arg(own.at(2).toInt() + patch)
            .toLatin1();
    };
    QTest::newRow("own version") << version(0, 0, 0) << "";
    QTest::newRow("own version, line feed") << version(0, 0, 0) + '\n' << "";
    QTest::newRow("own version, leading zeros") << "00" + version(0, 0, 0) << "";
    QTest::newRow("next patch") << version(0, 0, 1) << QString(version(0, 0, 1));
    QTest::newRow("next patch, line feed") << version(0, 0, 1) + '\n'
                                           << QString(version(0, 0, 1) + '\n');
    QTest::newRow("ten minors on") << version(0, 10, 0) << QString(version(0, 10, 0));
    QTest::newRow("beyond 64 bits")
        << QByteArray("99999999999999999999.0.0") << "99999999999999999999.0.0";
    if (own.at(2).toInt() > 0)
        QTest::newRow("older patch") << version(0, 0, -1) << "";
    if (own.at(1).toInt() > 0)
        QTest::newRow("older minor, higher patch") << version(0, -1, 10) << "";
}

void TestCheckVersion::replyBodies()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, result);

    LoopbackServer server(LoopbackServer::Answer, "200 OK", body);
    QVERIFY(server.isListening());
    ModalCloser closer;
    FHNoticeReporter notices;
    FHCheckVersion check(&notices, server.base());
    check.run();

    QCOMPARE(check.newVersion(), result);
    // A good reply reports nothing, whatever its body.
    QCOMPARE(log(), QByteArray());
    QCOMPARE(closer.count(), 0);
    // The reply is gone once deferred deletes have run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(check.findChildren<QNetworkReply *>().isEmpty());
}

void TestCheckVersion::request_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("plain") << "";
    QTest::newRow("trailing slash") << "/";
    QTest::newRow("two slashes") << "//";
}

void TestCheckVersion::request()
{
    QFETCH(QString, suffix);

    LoopbackServer server(LoopbackServer::Answer, "200 OK", "3.3.0");
    FHNoticeReporter notices;
    FHCheckVersion check(&notices, server.base() + suffix);
    check.run();
    QCOMPARE(server.requestLines(),
        QList<QByteArray> { "GET /check_version.php?name=Quilm&version=3.3.0 HTTP/1.1" });
}

void TestCheckVersion::failedRequests_data()
{
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("errorText");

    // The 404 page carries a version number: an error reply's body is never used.
    QTest::newRow("404") << false << int(LoopbackServer::Answer) << QByteArray("404 Not Found")
                         << QByteArray("3.4.0") << "server replied: Not Found";
    QTest::newRow("connection refused")
        << true << int(LoopbackServer::Answer) << QByteArray("200 OK") << QByteArray("3.4.0")
        << "Connection refused";
    // A version first: a long reply is refused whole, not read in part.
    const QString tooLong
        = QStringLiteral("longer than %1 bytes").arg(FHCheckVersion::MaxReplyBytes);
    QTest::newRow("1 KiB and a byte")
        << false << int(LoopbackServer::Answer) << QByteArray("200 OK")
        << versionPaddedTo(FHCheckVersion::MaxReplyBytes + 1) << tooLong;
    QTest::newRow("1 KiB and a byte, no length")
        << false << int(LoopbackServer::AnswerUnsized) << QByteArray("200 OK")
        << versionPaddedTo(FHCheckVersion::MaxReplyBytes + 1) << tooLong;
    QTest::newRow("1 MiB, no length")
        << false << int(LoopbackServer::AnswerUnsized) << QByteArray("200 OK")
        << versionPaddedTo(1 << 20) << tooLong;
}

void TestCheckVersion::failedRequests()
{
    QFETCH(bool, refused);
    QFETCH(int, mode);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, errorText);

    LoopbackServer server(LoopbackServer::Mode(mode), status, body);
    ModalCloser closer;
    FHNoticeReporter notices;
    FHCheckVersion check(&notices, refused ? refusedBase() : server.base());
    check.run();

    QCOMPARE(check.newVersion(), QString());
    const QString logged = QString::fromUtf8(log());
    QVERIFY2(logged.contains(errorText), qPrintable(logged));
    QVERIFY(logged.endsWith(QLatin1Char('\n')));
    QCOMPARE(logged.count(QLatin1Char('\n')), 1);
    QCOMPARE(lastPanelLine(), logged.trimmed());
    QCOMPARE(closer.count(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(check.findChildren<QNetworkReply *>().isEmpty());
}

void TestCheckVersion::boundedWait_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("accepts and never answers") << "silent";
    QTest::newRow("answers a byte at a time") << "trickle";
    QTest::newRow("connect hangs") << "backlog";
}

void TestCheckVersion::boundedWait()
{
    QFETCH(QString, kind);

    LoopbackServer server(
        kind == QLatin1String("trickle") ? LoopbackServer::Trickle : LoopbackServer::Silent);
    QString base = server.base();
    int listener = -1;
    QList<int> fillers;
    if (kind == QLatin1String("backlog")) {
        // A listener that never accepts, its queue full: the kernel drops further
        // connection attempts, so the check's connect neither succeeds nor fails.
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), length) == 0);
        QVERIFY(::listen(listener, 0) == 0);
        QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) == 0);
        for (int i = 0; i < 3; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr *>(&address), length);
            fillers << filler;
        }
        QTest::qWait(200);
        base = QStringLiteral("http://127.0.0.1:%1").arg(ntohs(address.sin_port));
    }

    ModalCloser closer;
    FHNoticeReporter notices;
    FHCheckVersion check(&notices, base);
    QElapsedTimer elapsed;
    elapsed.start();
    check.run();
    const qint64 ms = elapsed.elapsed();

    for (int fd : fillers)
        ::close(fd);
    if (listener >= 0)
        ::close(listener);

    QVERIFY2(ms >= FHCheckVersion::TimeoutMs - 10 && ms <= FHCheckVersion::TimeoutMs + 2000,
        qPrintable(QString::number(ms)));
    if (kind != QLatin1String("backlog"))
        QCOMPARE(server.requestLines().size(), 1);
    QCOMPARE(check.newVersion(), QString());
    // The toolkit's own text for the give-up, like any failed request.
    const QString logged = QString::fromUtf8(log());
    QVERIFY2(logged.contains(QLatin1String("Operation canceled")), qPrintable(logged));
    QCOMPARE(lastPanelLine(), logged.trimmed());
    QCOMPARE(closer.count(), 0);
}

void TestCheckVersion::progressSeenBySplash_data()
{
    QTest::addColumn<bool>("refused");
    QTest::newRow("reply") << false;
    QTest::newRow("connection refused") << true;
}

void TestCheckVersion::progressSeenBySplash()
{
    QFETCH(bool, refused);

    LoopbackServer server(LoopbackServer::Answer, "200 OK", "3.4.0");
    ModalCloser closer;
    FHSplashScreen splash;
    FHNoticeReporter notices;
    FHCheckVersion check(&notices, refused ? refusedBase() : server.base());
    connect(&check, &FHCheckVersion::emitProgress, &splash, &FHSplashScreen::setProgress);
    // Connected after the splash, so it sees what the splash has just taken.
    QStringList seen;
    connect(&check, &FHCheckVersion::emitProgress, this, [&](int value) {
        seen << QStringLiteral("%1 %2 %3").arg(value).arg(splash.progress()).arg(splash.message());
    });

    check.run();

    QCOMPARE(seen,
        (QStringList { "10 10 Establish connections", "20 20 Wait for reply",
            "100 100 Loaded modules", "50 50 Parse reply" }));
    QCOMPARE(check.newVersion(), refused ? QString() : QStringLiteral("3.4.0"));
}

QUILM_TEST_MAIN(TestCheckVersion)
#include "tst_checkversion.moc"
