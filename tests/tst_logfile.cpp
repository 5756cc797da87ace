#include "TestSupport.h"
#include "engine/FHException.h"
#include "shell/FHLogFile.h"
#include "shell/FHMessageHandler.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

// The log file redirects the process's own streams, so every case that opens it
// runs in a child: this executable started again with QUILM_LOG_CHILD set.
static int childMain(const QByteArray &mode)
{
    if (mode == "write") {
        std::printf("before the log opens\n");
        std::fflush(stdout);
        FHLogFile::instance().write(QStringLiteral("report line \u00e9\u4e2d"));
        std::printf("plain stdout\n");
        std::fprintf(stderr, "plain stderr\n");
        messageHandler(QtWarningMsg, QMessageLogContext("f.cpp", 7, "fn", "default"), "handled");
        FHLogFile::instance().write(QStringLiteral("second report"));
        return 0;
    }
    if (mode == "many") {
        for (int i = 0; i < 200; ++i)
            FHLogFile::instance().write(QStringLiteral("pid %1 line %2").arg(getpid()).arg(i));
        return 0;
    }
    if (mode == "unwritable") {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 3;
        try {
            FHLogFile::instance();
        } catch (const FHException &e) {
            std::printf("%s|%s\n", qPrintable(e.codeText()), qPrintable(e.message()));
            return 0;
        }
        return 2;
    }
    if (mode == "retry") {
        // A directory standing at the log path refuses even root.
        QDir().mkdir(FHLogFile::path());
        try {
            FHLogFile::instance();
            return 2;
        } catch (const FHException &e) {
            std::printf("first: %s\n", qPrintable(e.message()));
            std::fflush(stdout);
        }
        QDir().rmdir(FHLogFile::path());
        FHLogFile::instance().write(QStringLiteral("after retry"));
        return 0;
    }
    return 1;
}

class TestLogFile : public QObject
{
    Q_OBJECT

private slots:
    void path();
    void redirectsAndAppends();
    void twoProcessesAppend();
    void unwritableDirectory();
    void nextReportTriesAgain();
    void messageLine_data();
    void messageLine();

private:
    QByteArray runChild(const QString &dir, const QByteArray &mode, int *exitCode = nullptr);
    QByteArray logOf(const QString &dir);
};

QByteArray TestLogFile::runChild(const QString &dir, const QByteArray &mode, int *exitCode)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILM_LOG_CHILD"), QString::fromLatin1(mode));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(dir);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    if (!child.waitForFinished(30000))
        child.kill();
    if (exitCode)
        *exitCode = child.exitCode();
    return child.readAllStandardOutput() + child.readAllStandardError();
}

QByteArray TestLogFile::logOf(const QString &dir)
{
    QFile log(dir + QStringLiteral("/Quilm.Log.txt"));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

void TestLogFile::path()
{
    QCOMPARE(FHLogFile::path(), QStringLiteral("./Quilm.Log.txt"));
}

void TestLogFile::redirectsAndAppends()
{
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("Quilm.Log.txt")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("earlier run\n");
    old.close();

    int code = -1;
    const QByteArray console = runChild(dir.path(), "write", &code);
    QCOMPARE(code, 0);
    // Only what came before the first report reaches the inherited streams.
    QCOMPARE(console, QByteArray("before the log opens\n"));

    const QList<QByteArray> lines = logOf(dir.path()).split('\n');
    QCOMPARE(lines.value(0), QByteArray("earlier run"));
    QCOMPARE(QString::fromUtf8(lines.value(1)), QStringLiteral("report line \u00e9\u4e2d"));
    const QByteArray log = logOf(dir.path());
    QVERIFY(log.contains("plain stdout\n"));
    QVERIFY(log.contains("plain stderr\n"));
    QVERIFY(log.contains("Warning: handled (f.cpp:7, fn)\n"));
    QVERIFY(log.endsWith("second report\n"));
}

void TestLogFile::twoProcessesAppend()
{
    QTemporaryDir dir;
    QProcess a, b;
    for (QProcess *p : { &a, &b }) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUILM_LOG_CHILD"), QStringLiteral("many"));
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(dir.path());
        p->start(QCoreApplication::applicationFilePath(), QStringList());
    }
    const qint64 pidOfA = a.processId();
    const qint64 pidOfB = b.processId();
    QVERIFY(a.waitForFinished(30000));
    QVERIFY(b.waitForFinished(30000));
    QCOMPARE(a.exitCode() + b.exitCode(), 0);

    const QList<QByteArray> lines = logOf(dir.path()).trimmed().split('\n');
    QCOMPARE(lines.size(), 400);
    const QByteArray pidA = "pid " + QByteArray::number(pidOfA) + " line ";
    const QByteArray pidB = "pid " + QByteArray::number(pidOfB) + " line ";
    int fromA = 0, fromB = 0;
    for (const QByteArray &line : lines) {
        fromA += line.startsWith(pidA);
        fromB += line.startsWith(pidB);
    }
    QCOMPARE(fromA, 200);
    QCOMPARE(fromB, 200);
}

void TestLogFile::unwritableDirectory()
{
    QTemporaryDir dir;
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);
    int code = -1;
    const QByteArray out = runChild(dir.path(), "unwritable", &code);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    if (code == 3)
        QSKIP("cannot drop root privileges here");
    QCOMPARE(code, 0);
    QCOMPARE(out, QByteArray("0X000104|Unable to open stdout log file './Quilm.Log.txt'\n"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Quilm.Log.txt"))));
}

void TestLogFile::nextReportTriesAgain()
{
    QTemporaryDir dir;
    int code = -1;
    const QByteArray out = runChild(dir.path(), "retry", &code);
    QCOMPARE(code, 0);
    QCOMPARE(out, QByteArray("first: Unable to open stdout log file './Quilm.Log.txt'\n"));
    QCOMPARE(logOf(dir.path()), QByteArray("after retry\n"));
}

void TestLogFile::messageLine_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("debug") << int(QtDebugMsg) << QByteArray("a.cpp") << 1 << QByteArray("f")
                           << QByteArray("Debug: text (a.cpp:1, f)\n");
    QTest::newRow("warning") << int(QtWarningMsg) << QByteArray("file") << 42
                             << QByteArray("function")
                             << QByteArray("Warning: text (file:42, function)\n");
    QTest::newRow("critical") << int(QtCriticalMsg) << QByteArray("b.cpp") << 3 << QByteArray("g")
                              << QByteArray("Critical: text (b.cpp:3, g)\n");
    QTest::newRow("fatal") << int(QtFatalMsg) << QByteArray("c.cpp") << 4 << QByteArray("h")
                           << QByteArray("Fatal: text (c.cpp:4, h)\n");
    QTest::newRow("info is unknown")
        << int(QtInfoMsg) << QByteArray("d.cpp") << 5 << QByteArray("i")
        << QByteArray("<unknown>: text (d.cpp:5, i)\n");
    QTest::newRow("out of range") << 99 << QByteArray("e.cpp") << 6 << QByteArray("j")
                                  << QByteArray("<unknown>: text (e.cpp:6, j)\n");
    QTest::newRow("no context") << int(QtWarningMsg) << QByteArray() << 0 << QByteArray()
                                << QByteArray("Warning: text\n");
    QTest::newRow("function only") << int(QtWarningMsg) << QByteArray() << 0 << QByteArray("k")
                                   << QByteArray("Warning: text (:0, k)\n");
}

void TestLogFile::messageLine()
{
    QFETCH(int, type);
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QByteArray, function);
    QFETCH(QByteArray, expected);

    const QMessageLogContext context(file.isNull() ? nullptr : file.constData(), line,
        function.isNull() ? nullptr : function.constData(), "default");
    QCOMPARE(formatMessageLine(QtMsgType(type), context, QStringLiteral("text")), expected);
}

int main(int argc, char **argv)
{
    const QByteArray mode = qgetenv("QUILM_LOG_CHILD");
    if (!mode.isEmpty()) {
        QCoreApplication app(argc, argv);
        return childMain(mode);
    }
    QApplication app(argc, argv);
    TestLogFile test;
    return runTestObject(&test, argc, argv);
}

#include "tst_logfile.moc"
