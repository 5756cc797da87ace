// One sort run in a process of its own, so that tests can kill it at any point
// or start it as another user. Boxes are closed as they appear.
//
//   quilm_sortdriver RESULT INPUT OUTPUT MODE EXIFONLY RECURSIVE PATTERN FILTERS
//
// FILTERS are the name filters, separated by commas.
//
// On return it writes RESULT, a JSON object with the counters, the texts of the
// boxes and the output panel's text. The log file goes to the working directory.
#include "TestSupport.h"
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
    if (args.size() != 9) {
        std::fprintf(stderr,
            "usage: %s RESULT INPUT OUTPUT MODE EXIFONLY RECURSIVE PATTERN FILTERS\n", argv[0]);
        return 2;
    }
    quint32 moved = 0;
    qint32 notMoved = 0;
    QString makers;
    QJsonArray boxes;
    {
        ModalCloser closer;
        std::fputs("sorting\n", stderr);
        std::fflush(stderr);
        app.sortImages(args.at(2), args.at(3), args.at(8).split(QLatin1Char(',')), args.at(7),
            args.at(5) == QLatin1String("1"), args.at(6) == QLatin1String("1"), args.at(4).toInt(),
            moved, notMoved, makers);
        for (const ModalCloser::Seen &box : closer.seen()) {
            const QString text = plainTextOf(box.text);
            boxes.append(
                text.startsWith(QLatin1String("Quilm run time error ")) ? text.mid(21) : text);
        }
    }
    QJsonObject result;
    result.insert(QStringLiteral("moved"), qint64(moved));
    result.insert(QStringLiteral("notMoved"), notMoved);
    result.insert(QStringLiteral("boxes"), boxes);
    result.insert(QStringLiteral("panel"),
        FHOutputWidget::exists() ? FHOutputWidget::instance()->toPlainText() : QString());
    QFile file(args.at(1));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(result).toJson()) < 0
        || !file.flush())
        return 3;
    return 0;
}
