#ifndef FHMESSAGEHANDLER_H
#define FHMESSAGEHANDLER_H

#include <QString>
#include <QtGlobal>

// One line per toolkit message, e.g. "Warning: some text (file:42, function)".
// When the toolkit supplies neither file nor function (release builds), the
// parenthesised part is left out.
QByteArray formatMessageLine(
    QtMsgType type, const QMessageLogContext &context, const QString &message);

// Installed first thing in main(); writes formatMessageLine() to standard output
// without flushing.
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

#endif // FHMESSAGEHANDLER_H
