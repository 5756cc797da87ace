#include "cli/FHSortCommand.h"

#include "FHConfig.h"

#include <QCoreApplication>

#ifdef Q_OS_WIN
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quilm-sort"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILM_VERSION));
#ifdef Q_OS_WIN
    // Lines end in "\n" alone, as on Linux: JSON Lines, and scripts that read
    // either build's output alike. Consoles take them as they are.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // The command writes UTF-8; a console shows it as such only while told so.
    const UINT codePage = ::GetConsoleOutputCP();
    if (codePage)
        ::SetConsoleOutputCP(CP_UTF8);
    const int status = FHSortCommand::run(QCoreApplication::arguments());
    if (codePage)
        ::SetConsoleOutputCP(codePage);
    return status;
#else
    return FHSortCommand::run(QCoreApplication::arguments());
#endif
}
