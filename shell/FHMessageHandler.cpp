#include "shell/FHMessageHandler.h"

#include <cstdio>

QByteArray formatMessageLine(
    QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const char *level;
    switch (type) {
    case QtDebugMsg:
        level = "Debug";
        break;
    case QtWarningMsg:
        level = "Warning";
        break;
    case QtCriticalMsg:
        level = "Critical";
        break;
    case QtFatalMsg:
        level = "Fatal";
        break;
    default:
        level = "<unknown>";
        break;
    }

    QByteArray line(level);
    line += ": ";
    line += message.toUtf8();
    if (context.file || context.function) {
        line += " (";
        line += context.file ? context.file : "";
        line += ':';
        line += QByteArray::number(uint(context.line));
        line += ", ";
        line += context.function ? context.function : "";
        line += ')';
    }
    line += '\n';
    return line;
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QByteArray line = formatMessageLine(type, context, message);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
}
