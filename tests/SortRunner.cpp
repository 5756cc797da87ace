#include "SortRunner.h"

#include "engine/FHIO.h"
#include "shell/FHLogFile.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHOutputWidget.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

void SortRunner::run()
{
    auto *app = qobject_cast<FHexiv2Application *>(QCoreApplication::instance());
    Q_ASSERT(app);
    QSignalSpy progressSpy(app, &FHexiv2Application::getProgress);
    QSignalSpy fileSpy(app->fileGuard(), &FHIO::getCurrentFile);
    ModalCloser closer;
    moved = options.firstTag;
    notMoved = 0;
    makers = FHCameraMakers::toText(options.cameraMakers);
    // The options that sortImages() does not take go through the typed call.
    if (options.copy || options.verify != FHVerify::Full || options.duplicates != FHDuplicates::Skip
        || options.reimport || options.jobs != 0) {
        app->sort(options);
        moved += app->lastPlan().movedCount;
        notMoved = app->lastPlan().notMovedCount;
        makers = FHCameraMakers::toText(app->lastPlan().cameraMakers);
    } else {
        app->sortImages(options.inputDir, options.outputDir, options.nameFilters,
            options.namePattern, options.exifOnly, options.recursive, int(options.folders), moved,
            notMoved, makers);
    }
    progress.clear();
    for (const QList<QVariant> &args : progressSpy)
        progress << args.at(0).toInt();
    currentFiles.clear();
    for (const QList<QVariant> &args : fileSpy)
        currentFiles << args.at(0).toString();
    boxes = closer.seen();
}

QStringList SortRunner::boxTexts() const
{
    QStringList texts;
    for (const ModalCloser::Seen &box : boxes) {
        const QString text = plainTextOf(box.text);
        texts << (text.startsWith(QLatin1String("Quilm run time error ")) ? text.mid(21) : text);
    }
    return texts;
}

ReportWatch::ReportWatch()
    : m_logStart(QFileInfo(FHLogFile::path()).size())
{
    FHOutputWidget::instance()->clear();
}

RunReport ReportWatch::take(const QStringList &boxes) const
{
    RunReport report;
    QFile log(FHLogFile::path());
    if (log.open(QIODevice::ReadOnly) && log.seek(m_logStart))
        report.log = QString::fromUtf8(log.readAll());
    report.panel = FHOutputWidget::instance()->toPlainText();
    report.boxes = boxes;
    return report;
}
