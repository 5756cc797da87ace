// Times whole sort runs over many images with realistic EXIF blocks, through
// the engine alone: no window, no display.
//
//   quilm_bench [--images N] [--runs R] [--modes 1,0] [--dir PATH]
//   quilm_bench --write FOLDER [--images N] [--year Y]
//
// For every run it makes N JPEGs with distinct capture times spread over one
// year, sorts them and prints files per second; at the end the median per mode
// and the peak memory of the process.

#include "BenchImages.h"
#include "engine/FHExif.h"
#include "engine/FHIO.h"
#include "engine/FHReporter.h"
#include "engine/FHSortEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

class PrintingReporter : public FHReporter
{
public:
    void message(const QString &text) override
    {
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    }
    void error(const QString &text) override { message(text); }
    void exception(const FHException &) override { message(QStringLiteral("the run failed")); }
};

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    muteExifLibraryWarnings();

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ "images", "Images per run.", "N", "10000" });
    parser.addOption({ "runs", "Runs per mode.", "R", "5" });
    parser.addOption({ "modes", "Sub-folder modes to time, in order.", "list", "1,0" });
    parser.addOption({ "dir", "Folder to work in (default: a temporary one).", "path" });
    parser.addOption({ "dry-run", "Time dry runs (the plan alone)." });
    parser.addOption(
        { "write", "Only write the images into the folder, for other tools.", "folder" });
    parser.addOption({ "year", "With --write: the year the photos were taken.", "year", "2014" });
    parser.addOption({ "journal",
        "Runs with and without the journal, alternating: weighs its "
        "cost." });
    parser.process(app);
    const int images = parser.value("images").toInt();
    const int runs = parser.value("runs").toInt();

    QTemporaryDir temporary(parser.isSet("dir") ? parser.value("dir") + "/quilm-bench-XXXXXX"
                                                : QDir::tempPath() + "/quilm-bench-XXXXXX");
    if (images <= 0 || runs <= 0 || !temporary.isValid()) {
        std::fprintf(stderr, "bad arguments or no work folder\n");
        return 2;
    }
    const QByteArray jpeg = BenchImages::templateJpeg();
    if (parser.isSet("write")) {
        QDir().mkpath(parser.value("write"));
        return BenchImages::makeImages(
                   jpeg, parser.value("write"), images, parser.value("year").toInt())
            ? 0
            : 1;
    }
    std::printf("%d images of %d bytes, %d runs per mode, in %s\n", images, int(jpeg.size()), runs,
        qPrintable(temporary.path()));
    std::printf("memory before the first run: %.1f MB\n", peakMegabytes());

    PrintingReporter reporter;
    FHIO fileGuard(QDir::currentPath(), QStringLiteral("bench"));
    // With --journal every run is made twice, with and without the journal.
    const QVector<bool> journals
        = parser.isSet("journal") ? QVector<bool> { true, false } : QVector<bool> { true };
    for (const QString &modeText : parser.value("modes").split(',')) {
        const int mode = modeText.toInt();
        QVector<QVector<double>> rates(journals.size());
        for (int run = 0; run < runs; ++run) {
            for (int j = 0; j < journals.size(); ++j) {
                FHSortOptions options;
                options.inputDir
                    = temporary.filePath(QStringLiteral("in-%1-%2-%3").arg(mode).arg(run).arg(j));
                options.outputDir
                    = temporary.filePath(QStringLiteral("out-%1-%2-%3").arg(mode).arg(run).arg(j));
                options.folders = FHFolderMode(mode);
                options.dryRun = parser.isSet("dry-run");
                options.journal = journals.at(j);
                QDir().mkpath(options.inputDir);
                if (!BenchImages::makeImages(jpeg, options.inputDir, images)) {
                    std::fprintf(stderr, "cannot make the images\n");
                    return 1;
                }
                FHSortEngine engine(&fileGuard, &reporter);
                FHSortPlan plan;
                QElapsedTimer timer;
                timer.start();
                engine.run(options, plan);
                const double seconds = timer.nsecsElapsed() / 1e9;
                if (plan.movedCount != quint32(images)) {
                    std::fprintf(stderr, "only %u of %d images moved\n", plan.movedCount, images);
                    return 1;
                }
                rates[j] << images / seconds;
                std::printf("mode %d run %d%s: %.2f s, %.0f files/s\n", mode, run + 1,
                    journals.size() > 1 ? (journals.at(j) ? " with journal" : " without") : "",
                    seconds, rates[j].last());
                std::fflush(stdout);
                QDir(options.inputDir).removeRecursively();
                QDir(options.outputDir).removeRecursively();
            }
        }
        for (int j = 0; j < journals.size(); ++j) {
            std::sort(rates[j].begin(), rates[j].end());
            std::printf("mode %d%s median: %.0f files/s\n", mode,
                journals.size() > 1 ? (journals.at(j) ? " with journal" : " without") : "",
                rates[j].at(rates[j].size() / 2));
        }
    }
    std::printf("peak memory: %.1f MB\n", peakMegabytes());
    return 0;
}
