#include "TestSupport.h"
#include "engine/FHException.h"
#include "ui/FHOutputWidget.h"

#include <QApplication>
#include <QMessageBox>
#include <QtTest>

class TestException : public QObject
{
    Q_OBJECT

private slots:
    void codes_data();
    void codes();
    void argumentsFillMarkersInOrder_data();
    void argumentsFillMarkersInOrder();
    void isCopyable();
    void runTimeErrorBox_data();
    void runTimeErrorBox();
};

void TestException::codes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("codeText");
    QTest::addColumn<QString>("message");

    QTest::newRow("260") << 260 << FHError::LogFileFormat
                         << QStringList { "stdout", "./Quilm.Log.txt" } << "0X000104"
                         << "Unable to open stdout log file './Quilm.Log.txt'";
    QTest::newRow("261")
        << 261 << FHError::CreateDirectoryFormat << QStringList { "/out/a", "output directory" }
        << "0X000105"
        << "Unable to create directory '/out/a', It is expected as 'output directory'";
    QTest::newRow("262") << 262 << FHError::PathMissingFormat
                         << QStringList { "/in", "input directory" } << "0X000106"
                         << "Path '/in' does not exist. It is expected as 'input directory'";
    QTest::newRow("263") << 263 << FHError::PathIsFileFormat
                         << QStringList { "/out", "output directory" } << "0X000107"
                         << "Path '/out' exists as a file. It is expected as 'output directory'";
    QTest::newRow("264")
        << 264 << FHError::PathIsDirectoryFormat
        << QStringList { "/in/a.JPG", "image file in input directory" } << "0X000108"
        << "Path '/in/a.JPG' exists as a directory. It is expected as 'image file in "
           "input directory'";
    QTest::newRow("265")
        << 265 << FHError::RenameFormat
        << QStringList { "/in/a.JPG", "/out/b.JPG", "image file in input directory" } << "0X000109"
        << "Unable to rename file from '/in/a.JPG' to '/out/b.JPG'. It is expected as "
           "'image file in input directory'";
    QTest::newRow("266") << 266 << FHError::NumKeywordMissingFormat << QStringList { "${num}" }
                         << "0X00010A"
                         << "Keywords ${NUM} is missing in customized naming string '${num}'";
}

void TestException::codes()
{
    QFETCH(int, code);
    QFETCH(QString, format);
    QFETCH(QStringList, args);
    QFETCH(QString, codeText);
    QFETCH(QString, message);

    const FHException e = args.size() == 1 ? FHException(code, format, args[0])
        : args.size() == 2                 ? FHException(code, format, args[0], args[1])
                                           : FHException(code, format, args[0], args[1], args[2]);
    QCOMPARE(e.codeText(), codeText);
    QCOMPARE(e.code(), code);
    QCOMPARE(e.message(), message);
}

void TestException::argumentsFillMarkersInOrder_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    QTest::newRow("reversed markers") << "%3 %2 %1" << QStringList { "a", "b", "c" } << "c b a";
    QTest::newRow("repeated marker") << "%1-%1/%2" << QStringList { "x", "y" } << "x-x/y";
    QTest::newRow("gap in numbers")
        << "%2 then %5" << QStringList { "low", "high" } << "low then high";
    QTest::newRow("marker in a path")
        << FHError::RenameFormat << QStringList { "/in/%2.JPG", "/out/%1%3.JPG", "role %1" }
        << "Unable to rename file from '/in/%2.JPG' to '/out/%1%3.JPG'. "
           "It is expected as 'role %1'";
    QTest::newRow("nine arguments")
        << "%1%2%3%4%5%6%7%8%9" << QStringList { "1", "2", "3", "4", "5", "6", "7", "8", "9" }
        << "123456789";
}

void TestException::argumentsFillMarkersInOrder()
{
    QFETCH(QString, format);
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    QString result;
    switch (args.size()) {
    case 2:
        result = FHException(1, format, args[0], args[1]).message();
        break;
    case 3:
        result = FHException(1, format, args[0], args[1], args[2]).message();
        break;
    case 9:
        result = FHException(1, format, args[0], args[1], args[2], args[3], args[4], args[5],
            args[6], args[7], args[8])
                     .message();
        break;
    default:
        QFAIL("unexpected argument count");
    }
    QCOMPARE(result, message);
}

void TestException::isCopyable()
{
    FHException copy(262, FHError::PathMissingFormat, "/x", "input directory");
    try {
        throw copy;
    } catch (const FHException &caught) {
        copy = caught;
    }
    QCOMPARE(copy.codeText(), QStringLiteral("0X000106"));
    QCOMPARE(copy.message(),
        QStringLiteral("Path '/x' does not exist. It is expected as 'input directory'"));
}

void TestException::runTimeErrorBox_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain path") << "/home/me/Pictures";
    QTest::newRow("markup in path") << "/in/<b>x</b> & y";
}

void TestException::runTimeErrorBox()
{
    QFETCH(QString, path);
    const FHException e(262, FHError::PathMissingFormat, path, "input directory");

    ModalCloser closer;
    showRunTimeError(e);

    QCOMPARE(closer.count(), 1);
    const ModalCloser::Seen &box = closer.seen().first();
    QCOMPARE(
        box.text, QStringLiteral("<html><body><b>Quilm run time error 0X000106</b></body></html>"));
    QCOMPARE(plainTextOf(box.text), QStringLiteral("Quilm run time error 0X000106"));
    QCOMPARE(plainTextOf(box.informativeText), e.message());
    QCOMPARE(box.icon, int(QMessageBox::Critical));
    QVERIFY(box.title.isEmpty() || box.title == QCoreApplication::applicationName());
}

QUILM_TEST_MAIN(TestException)
#include "tst_exception.moc"
