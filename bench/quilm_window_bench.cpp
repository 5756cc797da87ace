// The window's sort against the command's, on the same photos: START pressed
// in a real window (run it under Xvfb or on a desktop), and quilm-sort as a
// process, alternating run by run.
//
//   xvfb-run -a quilm_window_bench [--images N] [--runs R] [--dir PATH]

#include "BenchImages.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"
#include "ui/FHRunReporter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

namespace {

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    FHexiv2Application app(argc, argv);
    app.setReporters(&FHRunReporter::make);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ "images", "Images per run.", "N", "10000" });
    parser.addOption({ "runs", "Runs of each.", "R", "3" });
    parser.addOption({ "dir", "Folder to work in (default: a temporary one).", "path" });
    parser.process(app);
    const int images = parser.value("images").toInt();
    const int runs = parser.value("runs").toInt();
    QTemporaryDir temporary(parser.isSet("dir") ? parser.value("dir") + "/quilm-bench-XXXXXX"
                                                : QDir::tempPath() + "/quilm-bench-XXXXXX");
    if (images <= 0 || runs <= 0 || !temporary.isValid())
        return 2;
    // The window keeps its settings and log in the working folder; it has been
    // started before, so that the first START asks nothing.
    QDir::setCurrent(temporary.path());
    QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("Option/hasStarted"), true);
    const QByteArray jpeg = BenchImages::templateJpeg();

    FHMainWindow window(&app, QString());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.findChild<QRadioButton *>("monthRadio")->setChecked(true);
    window.findChild<QRadioButton *>("camerasOnlyRadio")->setChecked(true);
    window.findChild<QRadioButton *>("defaultNamingRadio")->setChecked(true);

    QVector<double> windowSeconds;
    QVector<double> commandSeconds;
    for (int run = 0; run < runs; ++run) {
        for (const bool inWindow : { true, false }) {
            const QString input
                = temporary.filePath(QStringLiteral("in-%1-%2").arg(run).arg(inWindow));
            const QString output
                = temporary.filePath(QStringLiteral("out-%1-%2").arg(run).arg(inWindow));
            QDir().mkpath(input);
            if (!BenchImages::makeImages(jpeg, input, images))
                return 1;
            QElapsedTimer timer;
            if (inWindow) {
                window.findChild<QLineEdit *>("inputEdit")->setText(input);
                window.findChild<QLineEdit *>("outputEdit")->setText(output);
                auto *start = window.findChild<QToolButton *>("startButton");
                timer.start();
                QTest::mouseClick(start, Qt::LeftButton);
                windowSeconds << timer.nsecsElapsed() / 1e9;
            } else {
                QProcess command;
                timer.start();
                command.start(QStringLiteral(QUILM_SORTCOMMAND),
                    { QStringLiteral("--folders"), QStringLiteral("month"), QStringLiteral("-q"),
                        input, output });
                if (!command.waitForFinished(-1) || command.exitCode() != 0)
                    return 1;
                commandSeconds << timer.nsecsElapsed() / 1e9;
            }
            const int left = QDir(input).entryList(QDir::Files).size();
            std::printf("run %d %s: %.2f s%s\n", run + 1, inWindow ? "window " : "command",
                (inWindow ? windowSeconds : commandSeconds).last(),
                left ? qPrintable(QStringLiteral(" (%1 files left!)").arg(left)) : "");
            std::fflush(stdout);
            QDir(input).removeRecursively();
            QDir(output).removeRecursively();
        }
    }
    const double w = median(windowSeconds);
    const double c = median(commandSeconds);
    std::printf("%d images per month folder: window median %.2f s, command median %.2f s, "
                "window/command %.2f\n",
        images, w, c, w / c);
    return 0;
}
