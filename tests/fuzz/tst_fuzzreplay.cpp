#include "EngineRun.h"
#include "EngineTest.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdint>

#ifndef QUILM_FUZZ_CORPUS
#define QUILM_FUZZ_CORPUS "corpus"
#define QUILM_FUZZ_CRASHES "crashes"
#define QUILM_FUZZ_MIN_SEEDS 10
#endif
#ifndef QUILM_FUZZ_SUFFIX
#define QUILM_FUZZ_SUFFIX "JPG" // the name the seeds get in a sort run
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// Every seed of a fuzz corpus and every input that once crashed its target goes
// through the fuzz entry point again, in the normal build.
class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void replay_data();
    void replay();
    void sortedOnFourThreads();
};

void TestFuzzReplay::replay_data()
{
    QTest::addColumn<QString>("path");
    int seeds = 0;
    for (const char *folder : { QUILM_FUZZ_CORPUS, QUILM_FUZZ_CRASHES }) {
        QDirIterator it(QStringLiteral(QUILM_SOURCE_DIR "/tests/fuzz/") + folder, QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName() == QLatin1String("README"))
                continue;
            QTest::newRow(qPrintable(QString::fromLatin1(folder) + '/' + it.fileName())) << path;
            seeds += folder == QByteArray(QUILM_FUZZ_CORPUS) ? 1 : 0;
        }
    }
    QVERIFY2(seeds >= QUILM_FUZZ_MIN_SEEDS, "the seed corpus is missing");
}

void TestFuzzReplay::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QCOMPARE(LLVMFuzzerTestOneInput(
                 reinterpret_cast<const std::uint8_t *>(data.constData()), size_t(data.size())),
        0);
}

// All the seeds as files of one folder, read by a dry run on four threads at
// once: the same plan and reports, in the same order, as on one.
void TestFuzzReplay::sortedOnFourThreads()
{
    QTemporaryDir in;
    QVERIFY(in.isValid());
    int n = 0;
    for (const char *folder : { QUILM_FUZZ_CORPUS, QUILM_FUZZ_CRASHES }) {
        QDirIterator it(QStringLiteral(QUILM_SOURCE_DIR "/tests/fuzz/") + folder, QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName() != QLatin1String("README"))
                QVERIFY(QFile::copy(
                    path, in.filePath(QStringLiteral("%1.%2").arg(n++).arg(QUILM_FUZZ_SUFFIX))));
        }
    }
    QStringList outcomes[2];
    for (const int jobs : { 1, 4 }) {
        EngineRun run;
        run.options.inputDir = in.path();
        run.options.outputDir = in.filePath("out");
        run.options.nameFilters = QStringList { "*" };
        run.options.exifOnly = false;
        run.options.dryRun = true;
        run.options.jobs = jobs;
        QCOMPARE(run.run(), FHSortEngine::Completed);
        QStringList &lines = outcomes[jobs == 4];
        for (const FHPlanEntry &e : qAsConst(run.plan.entries))
            lines << e.sourceName + ' ' + e.captured.toString(Qt::ISODateWithMs) + ' ' + e.camera
                    + (e.placed ? ' ' + e.targetPath() : QString());
        lines << run.reports.messages << run.reports.errors;
    }
    QVERIFY(outcomes[0].size() > n);
    QCOMPARE(outcomes[1], outcomes[0]);
}

QUILM_ENGINE_TEST_MAIN(TestFuzzReplay)

#include "tst_fuzzreplay.moc"
