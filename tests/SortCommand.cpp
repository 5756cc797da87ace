#include "SortCommand.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QThread>

#ifndef Q_OS_WIN
#include <csignal>
#endif

int SortCommand::run()
{
    if (!faults.isEmpty() && !HasFaultShim) {
        err = "no fault shim in this build";
        return exitCode = -2;
    }
    QProcessEnvironment env = environment;
    env.remove(QStringLiteral("LD_PRELOAD"));
    if (!faults.isEmpty()) {
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QUILM_FAULTSHIM));
        env.insert(QStringLiteral("QUILM_FAULTS"), QString::fromLocal8Bit(faults));
    }
    QProcess process;
    process.setProcessEnvironment(env);
    if (program.isEmpty())
        process.start(QStringLiteral(QUILM_SORTCOMMAND), arguments);
    else
        process.start(program.first(), program.mid(1) + arguments);
    if (killAfterUs >= 0 && process.waitForStarted(waitMs)) {
        QThread::usleep(quint64(killAfterUs));
        process.kill();
    }
#ifndef Q_OS_WIN
    // Only the fault shim stops the command, and there is none on Windows.
    if (whenStopped && process.waitForStarted(waitMs)) {
        const qint64 pid = process.processId();
        QDeadlineTimer deadline(waitMs);
        char state = 0;
        // Until it stops, or ends (a zombie) without having stopped.
        while ((state = processState(pid)) != 'T' && state != 'Z' && state != 0
            && !deadline.hasExpired())
            QThread::msleep(5);
        if (state == 'T') {
            whenStopped(pid);
            ::kill(pid_t(pid), SIGCONT);
        }
    }
#endif
    if (!process.waitForFinished(waitMs)) {
        process.kill();
        process.waitForFinished(5000);
    }
    exitCode = -1;
    if (process.exitStatus() == QProcess::NormalExit && process.error() != QProcess::Timedout)
        exitCode = process.exitCode();
    out = process.readAllStandardOutput();
    err = process.readAllStandardError();
    return exitCode;
}

QString SortCommand::parseEvents(QList<QJsonObject> &events) const
{
    events.clear();
    if (!out.isEmpty() && !out.endsWith('\n'))
        return QStringLiteral("the last line is cut off");
    for (const QByteArray &line : out.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()
            || !document.object().value(QStringLiteral("event")).isString())
            return QStringLiteral("not an event: ") + QString::fromUtf8(line);
        if (!events.isEmpty()
            && events.last().value(QStringLiteral("event")) == QLatin1String("summary"))
            return QStringLiteral("an event after the summary");
        events << document.object();
    }
    return QString();
}

char SortCommand::processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const int end = text.lastIndexOf(')');
    return end > 0 && end + 2 < text.size() ? text.at(end + 2) : 0;
}
