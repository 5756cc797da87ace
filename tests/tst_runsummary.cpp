// What the window tells about a finished run, from its plan: the reason given
// for each file left in the input, which files are listed, the counts, what a
// stopped or failed run leaves, and the kinds of files that were not chosen.

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
    void unfinishedRuns_data();
    void unfinishedRuns();
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
Q_DECLARE_METATYPE(FHSortEngine::Outcome)

namespace {
const QString undoPath = QStringLiteral("File > Undo last sort");
} // namespace

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
    QTest::addColumn<FHSortEngine::Outcome>("outcome");
    QTest::addColumn<QString>("detail"); // of x.jpg; empty when it is not listed
    QTest::addColumn<QString>("counts");

    const QString oneLeft = QStringLiteral("1 file moved. 1 file stayed in the input.");
    const auto done = FHSortEngine::Completed;
    QTest::newRow("no capture date")
        << FHSkipReason::NoCaptureDate << false << done << "/in/x.jpg: no capture date" << oneLeft;
    QTest::newRow("unreadable") << FHSkipReason::Unreadable << false << done
                                << "/in/x.jpg: unreadable" << oneLeft;
    QTest::newRow("changed") << FHSkipReason::Changed << false << done
                             << "/in/x.jpg: changed since the listing" << oneLeft;
    QTest::newRow("name not valid")
        << FHSkipReason::UndecodableName << false << done << "/in/x.jpg: name not valid" << oneLeft;
    QTest::newRow("not reached, stopped")
        << FHSkipReason::Stopped << false << FHSortEngine::Stopped
        << "1 file not reached: the sort was stopped before it. It is still in the input."
        << "The sort was stopped. 1 file moved. 1 file still in the input.";
    QTest::newRow("not reached, failed")
        << FHSkipReason::None << false << FHSortEngine::Failed
        << "1 file not reached: the sort ended with an error before it. It is still in the "
           "input."
        << "The sort ended with an error; the Output panel says which. 1 file moved. 1 file "
           "still in the input.";
    // A sidecar stays with its photo and is not listed apart.
    QTest::newRow("sidecar") << FHSkipReason::Changed << true << done << ""
                             << "1 file moved.";
    QTest::newRow("moved") << FHSkipReason::None << false << done << ""
                           << "1 file moved.";
}

void TestRunSummary::leftFiles()
{
    QFETCH(FHSkipReason, reason);
    QFETCH(bool, companion);
    QFETCH(FHSortEngine::Outcome, outcome);
    QFETCH(QString, detail);
    QFETCH(QString, counts);

    FHSortPlan plan;
    plan.entries << entry(QStringLiteral("moved.jpg"), FHSkipReason::None, true)
                 << entry(QStringLiteral("x.jpg"), reason, false, companion);
    plan.entries.first().finalName = QStringLiteral("001.jpg");
    plan.movedCount = 1;
    plan.elapsedMs = 2345;
    const FHRunSummary summary(plan, outcome);

    QCOMPARE(summary.details(), detail);
    QCOMPARE(summary.leftCount(), detail.isEmpty() ? 0 : 1);
    QCOMPARE(summary.needsBox(), !detail.isEmpty());
    QCOMPARE(summary.counts(undoPath), counts);
    const QStringList lines = summary.reportLines(undoPath);
    QCOMPARE(lines.size(), summary.leftCount());
    if (!lines.isEmpty() && outcome == FHSortEngine::Completed)
        QCOMPARE(lines.first(),
            QStringLiteral("Left in the input: '/in/x.jpg' (%1)").arg(detail.section(": ", 1)));
    else if (!lines.isEmpty())
        QCOMPARE(lines.first(), detail);
    const QString status = summary.status(QStringLiteral("File > File types"));
    QVERIFY2(status.startsWith(outcome == FHSortEngine::Stopped
                     ? QStringLiteral("Stopped: 1 file moved.")
                     : outcome == FHSortEngine::Failed ? QStringLiteral("Failed: 1 file moved.")
                                                       : QStringLiteral("1 file sorted in 2.3 s.")),
        qPrintable(status));
    QCOMPARE(status.contains(QLatin1String("1 left in the input.")), !detail.isEmpty());
}

void TestRunSummary::unfinishedRuns_data()
{
    QTest::addColumn<FHSortEngine::Outcome>("outcome");
    QTest::addColumn<int>("named"); // moved and named
    QTest::addColumn<int>("waiting"); // moved, no final name yet
    QTest::addColumn<int>("notReached");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("log");

    const QString stopLeft = QStringLiteral(
        "%1 files not reached: the sort was stopped before them. They are still in the input.");
    const QString errorLeft = QStringLiteral("%1 files not reached: the sort ended with an error "
                                             "before them. They are still in the input.");
    const QString wait = QStringLiteral(
        "%1 files moved wait in the output under temporary names: the next START gives them "
        "their final names, or File > Undo last sort moves them back.");
    // However many files are left, the log gets one line for them.
    QTest::newRow("stopped") << FHSortEngine::Stopped << 300 << 0 << 1700 << 15
                             << "Stopped: 300 files moved. 1700 left in the input."
                             << QStringList { stopLeft.arg(1700) };
    QTest::newRow("stopped while reading")
        << FHSortEngine::Stopped << 0 << 0 << 8 << 0
        << "Stopped: 0 files moved. 8 left in the input." << QStringList { stopLeft.arg(8) };
    QTest::newRow("failed moving, moved ones wait")
        << FHSortEngine::Failed << 0 << 50 << 950 << 0
        << "Failed: 50 files moved. 950 left in the input. 50 under temporary names until the "
           "next START or Undo."
        << QStringList { errorLeft.arg(950), wait.arg(50) };
    QTest::newRow("failed moving, moved ones named")
        << FHSortEngine::Failed << 50 << 0 << 950 << 5
        << "Failed: 50 files moved. 950 left in the input." << QStringList { errorLeft.arg(950) };
    QTest::newRow("failed naming") << FHSortEngine::Failed << 4 << 6 << 0 << 40
                                   << "Failed: 10 files moved. 6 under temporary names until "
                                      "the next START or Undo."
                                   << QStringList { wait.arg(6) };
    QTest::newRow("failed before listing")
        << FHSortEngine::Failed << 0 << 0 << 0 << 0 << "The sort failed before moving any file."
        << QStringList();
}

void TestRunSummary::unfinishedRuns()
{
    QFETCH(FHSortEngine::Outcome, outcome);
    QFETCH(int, named);
    QFETCH(int, waiting);
    QFETCH(int, notReached);
    QFETCH(int, percent);
    QFETCH(QString, status);
    QFETCH(QStringList, log);

    FHSortPlan plan;
    for (int i = 0; i < named + waiting; ++i) {
        plan.entries << entry(QStringLiteral("%1.jpg").arg(i), FHSkipReason::None, true);
        plan.entries.last().temporaryName = QStringLiteral("2020-01-01-10-00-00_%1.jpg").arg(i);
        if (i < named)
            plan.entries.last().finalName = QStringLiteral("%1.jpg").arg(i + 1);
    }
    // Not reached: marked so after a stop, left as they were after a failure.
    const FHSkipReason notMoved
        = outcome == FHSortEngine::Stopped ? FHSkipReason::Stopped : FHSkipReason::None;
    for (int i = 0; i < notReached; ++i)
        plan.entries << entry(QStringLiteral("left%1.jpg").arg(i), notMoved, false);
    plan.movedCount = quint32(named + waiting);
    const FHRunSummary summary(plan, outcome);

    QCOMPARE(summary.percentDone(), percent);
    QCOMPARE(summary.status(QStringLiteral("File > File types")), status);
    QCOMPARE(summary.reportLines(undoPath), log);
    QCOMPARE(summary.waitingCount(), waiting);
    QCOMPARE(summary.leftCount(), notReached);
    QCOMPARE(summary.needsBox(), !plan.entries.isEmpty());
    const QString counts = summary.counts(undoPath);
    QCOMPARE(counts.contains(QLatin1String("temporary names")), waiting > 0);
    QCOMPARE(counts.startsWith(QLatin1String("The sort ended with an error")),
        outcome == FHSortEngine::Failed);
}

void TestRunSummary::otherKinds()
{
    FHSortPlan plan;
    for (int i = 0; i < 3; ++i) {
        plan.entries << entry(QStringLiteral("%1.jpg").arg(i), FHSkipReason::None, true);
        plan.entries.last().finalName = QStringLiteral("00%1.jpg").arg(i + 1);
    }
    plan.movedCount = 3;
    plan.otherTypes.insert(QStringLiteral("video"), 12);
    plan.otherTypes.insert(QStringLiteral("raw"), 1);
    const FHRunSummary summary(plan, FHSortEngine::Completed);

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
