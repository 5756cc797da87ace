#include "TestSupport.h"
#include "engine/FHException.h"
#include "ui/FHOutputWidget.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTextBlock>
#include <QtTest>

class TestOutputWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fixedProperties();
    void reports_data();
    void reports();
    void exceptionLineIsRedAndLiteral_data();
    void exceptionLineIsRedAndLiteral();
    void paragraphLimit();
    void sizeHints();
    void placement_data();
    void placement();

private:
    static QByteArray log();
    static QStringList paragraphs();
};

QByteArray TestOutputWidget::log()
{
    QFile file(QStringLiteral("Quilm.Log.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList TestOutputWidget::paragraphs()
{
    QStringList result;
    for (QTextBlock b = FHOutputWidget::instance()->document()->begin(); b.isValid(); b = b.next())
        result << b.text();
    return result;
}

void TestOutputWidget::init()
{
    if (FHOutputWidget::exists())
        FHOutputWidget::instance()->clear();
    // Truncate rather than remove: once open, the log stays on the same file.
    QFile::resize(QStringLiteral("Quilm.Log.txt"), 0);
}

void TestOutputWidget::fixedProperties()
{
    QWidget parent;
    FHOutputWidget *panel = FHOutputWidget::instance(&parent);
    QCOMPARE(panel->windowTitle(), QStringLiteral("Output"));
    QVERIFY(panel->isReadOnly());
    QCOMPARE(panel->maximumBlockCount(), 1000);
    QCOMPARE(FHOutputWidget::instance(), panel);
    panel->setParent(nullptr); // outlive the local parent: the panel lives as long as the process
}

void TestOutputWidget::reports_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("withBox");
    QTest::addColumn<QStringList>("panel");

    QTest::newRow("message") << "network down" << false << QStringList { "network down" };
    QTest::newRow("message trimmed") << "  \n padded \n" << false << QStringList { "padded" };
    QTest::newRow("inner line breaks")
        << "one\ntwo\nthree" << false << QStringList { "one", "two", "three" };
    QTest::newRow("markup is literal")
        << "<b>x</b>.jpg & <i>y</i>" << false << QStringList { "<b>x</b>.jpg & <i>y</i>" };
    QTest::newRow("error with box") << " Exiv2: no image <b>data</b>\n"
                                    << true << QStringList { "Exiv2: no image <b>data</b>" };
}

void TestOutputWidget::reports()
{
    QFETCH(QString, text);
    QFETCH(bool, withBox);
    QFETCH(QStringList, panel);

    ModalCloser closer;
    if (withBox)
        reportError(text);
    else
        reportMessage(text);

    QCOMPARE(QString::fromUtf8(log()), text + QLatin1Char('\n'));
    // An empty document still has one empty block before the first append.
    QStringList shown = paragraphs();
    if (shown.value(0).isEmpty() && shown.size() > panel.size())
        shown.removeFirst();
    QCOMPARE(shown, panel);
    QCOMPARE(closer.count(), withBox ? 1 : 0);
    if (withBox) {
        QCOMPARE(closer.seen().first().text, text);
        QCOMPARE(closer.seen().first().icon, int(QMessageBox::Critical));
    }
}

void TestOutputWidget::exceptionLineIsRedAndLiteral_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/in/a.JPG";
    QTest::newRow("markup") << "/in/<b>x</b>.jpg";
    QTest::newRow("ampersand") << "/in/Tom & Jerry";
}

void TestOutputWidget::exceptionLineIsRedAndLiteral()
{
    QFETCH(QString, path);
    const FHException e(262, FHError::PathMissingFormat, path, "input directory");

    ModalCloser closer;
    reportException(e);

    QCOMPARE(QString::fromUtf8(log()), e.message() + QLatin1Char('\n'));
    const QTextBlock last = FHOutputWidget::instance()->document()->lastBlock();
    QCOMPARE(last.text(), e.message());
    const QTextCharFormat format = last.begin().fragment().charFormat();
    QCOMPARE(format.foreground().color(), QColor(Qt::red));
    // The run-time error box follows the panel line.
    QCOMPARE(closer.count(), 1);
    QCOMPARE(
        plainTextOf(closer.seen().first().text), QStringLiteral("Quilm run time error 0X000106"));
}

void TestOutputWidget::paragraphLimit()
{
    for (int i = 1; i <= 1005; ++i)
        reportMessage(QStringLiteral("line %1").arg(i));
    const QStringList shown = paragraphs();
    QCOMPARE(shown.size(), 1000);
    QCOMPARE(shown.first(), QStringLiteral("line 6"));
    QCOMPARE(shown.last(), QStringLiteral("line 1005"));
    const QByteArray logged = log();
    QVERIFY(logged.startsWith("line 1\nline 2\n"));
    QCOMPARE(logged.count('\n'), 1005);
}

void TestOutputWidget::sizeHints()
{
    FHOutputWidget *panel = FHOutputWidget::instance();
    const int line = panel->fontMetrics().height();
    QCOMPARE(panel->sizeHint().height(), 10 * line);
    QCOMPARE(panel->minimumSizeHint().height(), 5 * line);
}

void TestOutputWidget::placement_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("panel");

    // Frames: the main window's with a title bar; the panel would like 300 x 200.
    const QRect large(0, 0, 1920, 1080);
    const QRect small(0, 0, 1024, 600);
    QTest::newRow("below") << large << QRect(100, 100, 610, 510) << QRect(100, 610, 610, 200);
    QTest::newRow("above, window at the foot")
        << large << QRect(100, 560, 610, 510) << QRect(100, 360, 610, 200);
    QTest::newRow("1024 x 600, beside on the right")
        << small << QRect(0, 0, 610, 510) << QRect(610, 0, 300, 510);
    QTest::newRow("1024 x 600, beside on the left")
        << small << QRect(414, 0, 610, 510) << QRect(114, 0, 300, 510);
    QTest::newRow("1024 x 600, centred: smaller, beside")
        << small << QRect(207, 45, 610, 510) << QRect(817, 45, 207, 510);
    QTest::newRow("second screen")
        << QRect(1920, 0, 1024, 600) << QRect(1920, 0, 610, 510) << QRect(2530, 0, 300, 510);
    QTest::newRow("no room at all") << small << small << QRect();
}

void TestOutputWidget::placement()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, window);
    QFETCH(QRect, panel);

    const QRect place = FHOutputWidget::placement(window, screen, QSize(300, 200));
    QCOMPARE(place, panel);
    if (!place.isNull()) {
        QVERIFY(!place.intersects(window));
        QVERIFY(screen.contains(place));
    }
}

QUILM_TEST_MAIN(TestOutputWidget)
#include "tst_outputwidget.moc"
