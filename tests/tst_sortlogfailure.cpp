#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHOutputWidget.h"

#include <QTemporaryDir>
#include <QtTest>

// When the log file cannot be opened, a run shows that once, goes on, and its
// own reports still reach the output panel.
class TestSortLogFailure : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void manyUnreadableFilesShowOneBox();
    void runEndingErrorIsStillShown();

private:
    QTemporaryDir m_root;
};

void TestSortLogFailure::initTestCase()
{
    QVERIFY(m_root.isValid());
    // A folder standing at the log file's path refuses even root.
    QVERIFY(QDir().mkdir(QDir::current().filePath("Quilm.Log.txt")));
}

void TestSortLogFailure::manyUnreadableFilesShowOneBox()
{
    const QString input = m_root.filePath("in");
    QDir().mkpath(input);
    for (int i = 0; i < 20; ++i) {
        QFile file(QStringLiteral("%1/%2.JPG").arg(input).arg(i));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("no picture");
    }
    SortRunner r;
    r.options.inputDir = input;
    r.options.outputDir = m_root.filePath("out");
    r.run();
    QCOMPARE(r.boxTexts(), QStringList { "0X000104" });
    QCOMPARE(r.notMoved, 20);
    const QString panel = FHOutputWidget::instance()->toPlainText();
    QCOMPARE(panel.count("Unable to open stdout log file"), 1);
    QCOMPARE(panel.count(QDir::toNativeSeparators(input)), 20);
}

void TestSortLogFailure::runEndingErrorIsStillShown()
{
    SortRunner r;
    r.options.inputDir = m_root.filePath("nowhere");
    r.options.outputDir = m_root.filePath("out");
    r.run();
    // Once in this run too, and then the run's own error.
    QCOMPARE(r.boxTexts(), QStringList({ "0X000104", "0X000106" }));
    QVERIFY(FHOutputWidget::instance()->toPlainText().contains(
        QStringLiteral("Path '%1' does not exist")
            .arg(QDir::toNativeSeparators(r.options.inputDir))));
}

QUILM_TEST_MAIN(TestSortLogFailure)

#include "tst_sortlogfailure.moc"
