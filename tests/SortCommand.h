#ifndef SORTCOMMAND_H
#define SORTCOMMAND_H

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>

// quilm-sort run as a process, as a script or a timer runs it.
struct SortCommand
{
    QStringList arguments;
    // The program and what goes before the arguments; empty for this build's
    // quilm-sort. A Windows build's runs as { wine64, quilm-sort.exe }.
    QStringList program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QByteArray faults; // rules for the fault shim, preloaded when not empty
    // Only the Linux build has the shim; there run() refuses faults (exit -2).
#ifdef Q_OS_WIN
    static constexpr bool HasFaultShim = false;
#else
    static constexpr bool HasFaultShim = true;
#endif
    qint64 killAfterUs = -1; // killed from outside that long after it started
    int waitMs = 60000;
    // Called with the process id once the command has stopped itself (the
    // shim's action=stop); the command goes on when it returns.
    std::function<void(qint64 pid)> whenStopped;

    int exitCode = -1; // -1: killed, or it did not end by itself
    QByteArray out;
    QByteArray err;

    // Runs the command once; returns exitCode.
    int run();
    // Standard output as JSON Lines, one event per line with the summary last;
    // empty when it is so, else what is wrong.
    QString parseEvents(QList<QJsonObject> &events) const;
    // The state letter of a process in /proc ('T' when stopped), 0 if none.
    static char processState(qint64 pid);
};

#endif // SORTCOMMAND_H
