#include "cli/FHSortCommand.h"

#include "FHConfig.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quilm-sort"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILM_VERSION));
    return FHSortCommand::run(QCoreApplication::arguments());
}
