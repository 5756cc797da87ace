#include "SortDriver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

SortDriver::Outcome SortDriver::run()
{
    const QDir work(workDir);
    const QString resultPath = work.filePath(QStringLiteral("result.json"));
    QFile::remove(resultPath);
    const qint64 logStart = QFileInfo(work.filePath(QStringLiteral("Quilm.Log.txt"))).size();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("LD_PRELOAD"));
    env.remove(QStringLiteral("QUILM_FAULTS"));
    if (!faults.isEmpty()) {
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QUILM_FAULTSHIM));
        env.insert(QStringLiteral("QUILM_FAULTS"), QString::fromLocal8Bit(faults));
    }
    QStringList args { resultPath, options.inputDir, options.outputDir,
        QString::number(int(options.folders)),
        options.exifOnly ? QStringLiteral("1") : QStringLiteral("0"),
        options.recursive ? QStringLiteral("1") : QStringLiteral("0"), options.namePattern,
        options.nameFilters.join(QLatin1Char(',')) };
    QStringList more;
    if (options.copy)
        more << QStringLiteral("copy");
    if (options.verify == FHVerify::None)
        more << QStringLiteral("verify-none");
    if (options.duplicates == FHDuplicates::Import)
        more << QStringLiteral("import");
    if (options.reimport)
        more << QStringLiteral("reimport");
    if (!more.isEmpty())
        args << more.join(QLatin1Char(','));
    QString program = QStringLiteral(QUILM_SORTDRIVER);
    if (asNobody) {
        // The journal goes where nobody may write: a folder of its own.
        static QTemporaryDir data(QDir::tempPath() + QStringLiteral("/quilm-nobody-XXXXXX"));
        QFile::setPermissions(data.path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
        env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
        args.prepend(program);
        args = QStringList { QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
            QStringLiteral("--clear-groups") }
            + args;
        program = QStringLiteral("setpriv");
    }

    QProcess child;
    child.setReadChannel(QProcess::StandardError);
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(workDir);
    QElapsedTimer clock;
    clock.start();
    child.start(program, args);
    if (!child.waitForStarted(10000)) {
        failure = QStringLiteral("cannot start %1: %2").arg(program, child.errorString());
        return Failed;
    }
    // The clock of a timed kill starts when the child begins to sort.
    QByteArray said;
    while (!said.contains("sorting\n") && child.waitForReadyRead(10000))
        said += child.readAllStandardError();
    const qint64 sortStart = clock.nsecsElapsed();
    const auto running = [&](int ms) {
        return child.state() != QProcess::NotRunning && !child.waitForFinished(ms);
    };
    if (killAfterUs >= 0) {
        QElapsedTimer delay;
        delay.start();
        while (delay.nsecsElapsed() < killAfterUs * 1000)
            QThread::usleep(50);
        child.kill();
    }
    if (running(60000)) {
        child.kill();
        child.waitForFinished();
        failure = QStringLiteral("no end within a minute");
        return Failed;
    }
    elapsedMs = clock.elapsed();
    sortUs = (clock.nsecsElapsed() - sortStart) / 1000;
    said += child.readAllStandardError();
    if (child.exitStatus() == QProcess::CrashExit) {
        signal = child.exitCode();
        return Killed;
    }
    if (child.exitCode() != 0) {
        failure = QStringLiteral("exit code %1: %2")
                      .arg(child.exitCode())
                      .arg(QString::fromLocal8Bit(said));
        return Failed;
    }

    QFile result(resultPath);
    const QJsonObject object = result.open(QIODevice::ReadOnly)
        ? QJsonDocument::fromJson(result.readAll()).object()
        : QJsonObject();
    if (object.isEmpty()) {
        failure = QStringLiteral("no result");
        return Failed;
    }
    moved = quint32(object.value(QStringLiteral("moved")).toDouble());
    notMoved = object.value(QStringLiteral("notMoved")).toInt();
    report = RunReport();
    report.panel = object.value(QStringLiteral("panel")).toString();
    for (const QJsonValue &box : object.value(QStringLiteral("boxes")).toArray())
        report.boxes << box.toString();
    QFile log(work.filePath(QStringLiteral("Quilm.Log.txt")));
    if (log.open(QIODevice::ReadOnly) && log.seek(logStart))
        report.log = QString::fromUtf8(log.readAll());
    return Finished;
}
