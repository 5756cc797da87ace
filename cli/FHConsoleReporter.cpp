#include "cli/FHConsoleReporter.h"

#include "engine/FHException.h"
#include "engine/FHJsonLine.h"

#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

void writeAll(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Whether standard error is a terminal that redraws a line on "\r\033[K".
bool errorsGoToTerminal()
{
#ifdef Q_OS_WIN
    // isatty() says yes to NUL as well. Consoles before Windows 10 know no
    // escape sequences: there the line is left out.
    const HANDLE console = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return ::GetConsoleMode(console, &mode)
        && ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING)
            || ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING));
#else
    return ::isatty(STDERR_FILENO);
#endif
}

int terminalWidth()
{
    const QByteArray columns = qgetenv("COLUMNS");
    bool ok = false;
    const int width = columns.toInt(&ok);
    return ok && width > 20 ? width : 80;
}

} // namespace

FHConsoleReporter::FHConsoleReporter(bool json, bool quiet)
    : m_json(json)
    , m_quiet(quiet)
    , m_live(!quiet && errorsGoToTerminal())
{
    m_sinceStart.start();
}

FHConsoleReporter::~FHConsoleReporter()
{
    clearProgress();
}

void FHConsoleReporter::message(const QString &text)
{
    if (m_json)
        printEvent({ { QStringLiteral("event"), QStringLiteral("report") },
            { QStringLiteral("level"), QStringLiteral("message") },
            { QStringLiteral("text"), text } });
    else if (!m_quiet)
        printLine(QStringLiteral("quilm-sort: %1").arg(text), true);
}

void FHConsoleReporter::error(const QString &text)
{
    m_failed = true;
    if (m_json)
        printEvent({ { QStringLiteral("event"), QStringLiteral("report") },
            { QStringLiteral("level"), QStringLiteral("error") },
            { QStringLiteral("text"), text } });
    printLine(QStringLiteral("quilm-sort: error: %1").arg(text), true);
}

void FHConsoleReporter::exception(const FHException &e)
{
    m_failed = true;
    if (m_json) {
        FHJsonFields event { { QStringLiteral("event"), QStringLiteral("report") },
            { QStringLiteral("level"), QStringLiteral("error") },
            { QStringLiteral("code"), e.codeText() }, { QStringLiteral("text"), e.message() } };
        if (!e.systemReason().isEmpty())
            event.append({ QStringLiteral("reason"), e.systemReason() });
        printEvent(event);
    }
    printLine(QStringLiteral("quilm-sort: error %1: %2").arg(e.codeText(), e.message()), true);
    if (!e.systemReason().isEmpty())
        printLine(QStringLiteral("quilm-sort: %1").arg(e.systemReason()), true);
}

void FHConsoleReporter::showProgress(
    int percent, const QString &stage, qint64 done, qint64 total, const QString &path)
{
    // Each stage has a pace of its own.
    if (stage != m_stage) {
        m_stage = stage;
        m_sinceStart.start();
    }
    if (!m_live || (m_sinceDrawn.isValid() && m_sinceDrawn.elapsed() < 100 && done < total))
        return;
    m_sinceDrawn.start();
    const double seconds = qMax<qint64>(m_sinceStart.elapsed(), 1) / 1000.0;
    QString line = QStringLiteral("%1% %2 %3/%4, %5 files/s  ")
                       .arg(percent, 3)
                       .arg(stage)
                       .arg(done)
                       .arg(total)
                       .arg(qRound64(done / seconds));
    // The end of the path is the part that tells files apart.
    const int room = terminalWidth() - 1 - line.size();
    if (room > 4)
        line += path.size() > room ? QStringLiteral("...") + path.right(room - 3) : path;
    writeAll(stderr, "\r\033[K" + line.toUtf8());
    m_lineShown = true;
}

void FHConsoleReporter::clearProgress()
{
    if (!m_lineShown)
        return;
    writeAll(stderr, "\r\033[K");
    m_lineShown = false;
}

void FHConsoleReporter::printEvent(const FHJsonFields &event)
{
    writeAll(stdout, jsonLine(event));
}

void FHConsoleReporter::printLine(const QString &text, bool toError)
{
    clearProgress();
    writeAll(toError ? stderr : stdout, text.toUtf8() + '\n');
}
