// One sort run in a process of its own, so that tests can kill it at any point
// or start it as another user. Boxes are closed as they appear.
//
//   quilm_sortdriver RESULT INPUT OUTPUT MODE EXIFONLY RECURSIVE PATTERN FILTERS [MORE]
//
// FILTERS are the name filters, separated by commas; MORE the further options,
// separated by commas: copy, verify-none, import (duplicates), reimport.
//
// On return it writes RESULT, a JSON object with the counters, the texts of the
// boxes and the output panel's text. The log file goes to the working directory.
#include "TestSupport.h"
#include "engine/FHSortOptions.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHOutputWidget.h"
#include "ui/FHRunReporter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

int main(int argc, char **argv)
{
    FHexiv2Application app(argc, argv);
    app.setReporters(&FHRunReporter::make);
    const QStringList args = app.arguments();
    if (args.size() != 9 && args.size() != 10) {
        std::fprintf(stderr,
            "usage: %s RESULT INPUT OUTPUT MODE EXIFONLY RECURSIVE PATTERN FILTERS [MORE]\n",
            argv[0]);
        return 2;
    }
    FHSortOptions options;
    options.inputDir = args.at(2);
    options.outputDir = args.at(3);
    options.folders = FHFolderModes::fromNumber(args.at(4).toInt());
    options.exifOnly = args.at(5) == QLatin1String("1");
    options.recursive = args.at(6) == QLatin1String("1");
    options.namePattern = args.at(7);
    options.nameFilters = args.at(8).split(QLatin1Char(','));
    const QStringList more = args.value(9).split(QLatin1Char(','), Qt::SkipEmptyParts);
    options.copy = more.contains(QLatin1String("copy"));
    options.verify = more.contains(QLatin1String("verify-none")) ? FHVerify::None : FHVerify::Full;
    options.duplicates
        = more.contains(QLatin1String("import")) ? FHDuplicates::Import : FHDuplicates::Skip;
    options.reimport = more.contains(QLatin1String("reimport"));
    QJsonArray boxes;
    {
        ModalCloser closer;
        std::fputs("sorting\n", stderr);
        std::fflush(stderr);
        app.sort(options);
        for (const ModalCloser::Seen &box : closer.seen()) {
            const QString text = plainTextOf(box.text);
            boxes.append(
                text.startsWith(QLatin1String("Quilm run time error ")) ? text.mid(21) : text);
        }
    }
    QJsonObject result;
    result.insert(QStringLiteral("moved"), qint64(app.lastPlan().movedCount));
    result.insert(QStringLiteral("notMoved"), app.lastPlan().notMovedCount);
    result.insert(QStringLiteral("boxes"), boxes);
    result.insert(QStringLiteral("panel"),
        FHOutputWidget::exists() ? FHOutputWidget::instance()->toPlainText() : QString());
    QFile file(args.at(1));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(result).toJson()) < 0
        || !file.flush())
        return 3;
    return 0;
}
