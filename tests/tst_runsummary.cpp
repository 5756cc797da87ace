// What the window tells about a finished run, from its plan: the reason given
// for each file left in the input, which files are listed, the counts and the
// kinds of files that were not chosen.

#include "TestSupport.h"
#include "ui/FHRunSummary.h"

#include <QTranslator>
#include <QtTest>

class TestRunSummary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void leftFiles_data();
    void leftFiles();
    void otherKinds();
    void menuPath_data();
    void menuPath();

private:
    QTranslator m_english;
};

namespace {
FHPlanEntry entry(const QString &name, FHSkipReason reason, bool placed, bool companion = false)
{
    FHPlanEntry e;
    e.sourceFolder = QStringLiteral("/in");
    e.sourceName = name;
    e.reason = reason;
    e.placed = placed;
    e.companion = companion;
    return e;
}
} // namespace

Q_DECLARE_METATYPE(FHSkipReason)

void TestRunSummary::initTestCase()
{
    // The plural forms come from the English translation.
    QVERIFY(m_english.load(QStringLiteral(QUILM_BINARY_DIR "/en.qm")));
    QCoreApplication::installTranslator(&m_english);
}

void TestRunSummary::leftFiles_data()
{
    QTest::addColumn<FHSkipReason>("reason");
    QTest::addColumn<bool>("companion");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QString>("detail"); // of x.jpg; empty when it is not listed
    QTest::addColumn<QString>("counts");

    const QString oneLeft = QStringLiteral("1 file moved. 1 file stayed in the input.");
    QTest::newRow("no capture date")
        << FHSkipReason::NoCaptureDate << false << false << "/in/x.jpg: no capture date" << oneLeft;
    QTest::newRow("unreadable") << FHSkipReason::Unreadable << false << false
                                << "/in/x.jpg: unreadable" << oneLeft;
    QTest::newRow("changed") << FHSkipReason::Changed << false << false
                             << "/in/x.jpg: changed since the listing" << oneLeft;
    QTest::newRow("name not valid") << FHSkipReason::UndecodableName << false << false
                                    << "/in/x.jpg: name not valid" << oneLeft;
    QTest::newRow("not reached")
        << FHSkipReason::Stopped << false << true << "/in/x.jpg: not reached: the sort was stopped"
        << "The sort was stopped. 1 file moved. 1 file still in the input.";
    // A sidecar stays with its photo and is not listed apart.
    QTest::newRow("sidecar") << FHSkipReason::Changed << true << false << ""
                             << "1 file moved.";
    QTest::newRow("moved") << FHSkipReason::None << false << false << ""
                           << "1 file moved.";
}

void TestRunSummary::leftFiles()
{
    QFETCH(FHSkipReason, reason);
    QFETCH(bool, companion);
    QFETCH(bool, stopped);
    QFETCH(QString, detail);
    QFETCH(QString, counts);

    FHSortPlan plan;
    plan.entries << entry(QStringLiteral("moved.jpg"), FHSkipReason::None, true)
                 << entry(QStringLiteral("x.jpg"), reason, false, companion);
    plan.movedCount = 1;
    plan.elapsedMs = 2345;
    const FHRunSummary summary(plan, stopped);

    QCOMPARE(summary.details(), detail);
    QCOMPARE(summary.leftCount(), detail.isEmpty() ? 0 : 1);
    QCOMPARE(summary.needsBox(), !detail.isEmpty());
    QCOMPARE(summary.counts(), counts);
    const QStringList lines = summary.reportLines();
    QCOMPARE(lines.size(), summary.leftCount());
    if (!lines.isEmpty())
        QCOMPARE(lines.first(),
            QStringLiteral("Left in the input: '/in/x.jpg' (%1)").arg(detail.section(": ", 1)));
    const QString status = summary.status(QStringLiteral("File > File types"));
    QVERIFY2(status.startsWith(stopped ? QStringLiteral("Stopped: 1 file moved.")
                                       : QStringLiteral("1 file sorted in 2.3 s.")),
        qPrintable(status));
    QCOMPARE(status.contains(QLatin1String("1 left in the input.")), !detail.isEmpty());
}

void TestRunSummary::otherKinds()
{
    FHSortPlan plan;
    for (int i = 0; i < 3; ++i)
        plan.entries << entry(QStringLiteral("%1.jpg").arg(i), FHSkipReason::None, true);
    plan.movedCount = 3;
    plan.otherTypes.insert(QStringLiteral("video"), 12);
    plan.otherTypes.insert(QStringLiteral("raw"), 1);
    const FHRunSummary summary(plan, false);

    QVERIFY(summary.needsBox());
    QCOMPARE(summary.otherTypesCount(), 13);
    QCOMPARE(summary.otherTypes(QStringLiteral("File > File types")),
        QStringLiteral("13 files of kinds not chosen stayed in the input (RAW files of cameras: "
                       "1, Videos: 12). To sort them, choose their kinds under File > File "
                       "types."));
    QVERIFY(summary.status(QStringLiteral("File > File types"))
                .endsWith(QLatin1String(" 13 of other kinds: File > File types")));
    QVERIFY(summary.details().isEmpty());
}

void TestRunSummary::menuPath_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("path");

    QTest::newRow("en") << "&File"
                        << "File &types..."
                        << "File > File types";
    QTest::newRow("zh") << QStringLiteral("文件(&F)") << QStringLiteral("文件类型(&T)...")
                        << QStringLiteral("文件 > 文件类型");
    QTest::newRow("literal ampersand") << "&File"
                                       << "Photos && &videos"
                                       << "File > Photos & videos";
}

void TestRunSummary::menuPath()
{
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    QFETCH(QString, path);
    QCOMPARE(FHRunSummary::menuPath(menu, entry), path);
}

QUILM_TEST_MAIN(TestRunSummary)

#include "tst_runsummary.moc"
