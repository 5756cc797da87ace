#include "TestSupport.h"
#include "shell/FHCheckVersion.h"
#include "shell/FHLogFile.h"
#include "ui/FHOutputWidget.h"
#include "ui/FHRunReporter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTcpServer>
#include <QtTest>

// Apart from the other version-check tests: the log opens once per process, and
// this case needs a process in which it never has.
class TestCheckVersionLog : public QObject
{
    Q_OBJECT

private slots:
    void logCannotOpen();
};

void TestCheckVersionLog::logCannotOpen()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const QString refused = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    probe.close();

    // A directory where the log file belongs: the log cannot open.
    QVERIFY(QDir().mkdir(FHLogFile::path()));
    {
        ModalCloser closer;
        FHNoticeReporter notices;
        FHCheckVersion check(&notices, refused);
        try {
            check.run();
        } catch (...) {
            QFAIL("an exception escaped from the version check");
        }
        QCOMPARE(check.newVersion(), QString());
        QCOMPARE(closer.count(), 1);
        QCOMPARE(closer.seen().first().icon, int(QMessageBox::Critical));
        QCOMPARE(plainTextOf(closer.seen().first().text),
            QStringLiteral("Quilm run time error 0X000104"));
        QCOMPARE(plainTextOf(closer.seen().first().informativeText),
            QStringLiteral("Unable to open stdout log file './Quilm.Log.txt'"));
        // The report stopped before the panel.
        QVERIFY(!FHOutputWidget::exists());
    }

    // The next failure tries the log again and gets through.
    QVERIFY(QDir().rmdir(FHLogFile::path()));
    ModalCloser closer;
    FHNoticeReporter notices;
    FHCheckVersion check(&notices, refused);
    check.run();
    QCOMPARE(closer.count(), 0);
    QFile log(FHLogFile::path());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), QByteArray("Connection refused\n"));
}

QUILM_TEST_MAIN(TestCheckVersionLog)
#include "tst_checkversionlog.moc"
