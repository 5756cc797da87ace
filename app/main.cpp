#include "shell/FHMessageHandler.h"
#include "app/FHStartUp.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHRunReporter.h"

#ifdef Q_OS_WIN
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// Quilm keeps Quilm.ini and its log in the working directory. The Start menu's
// shortcut starts it in the user's Quilm folder; started where the user may
// not write (its installation folder, from Explorer) it goes there itself,
// making the folder at its first start. The journals lie beside, as on Linux.
void enterWorkingFolder()
{
    QTemporaryFile probe(QDir::current().filePath(QStringLiteral("Quilm-XXXXXX.tmp")));
    if (probe.open())
        return;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Quilm");
    if (QDir().mkpath(folder))
        QDir::setCurrent(folder);
}

} // namespace
#endif

int main(int argc, char *argv[])
{
    qInstallMessageHandler(messageHandler);

    FHexiv2Application app(argc, argv);
#ifdef Q_OS_WIN
    enterWorkingFolder();
#endif
    // The window's runs report to its log, its output panel and its boxes.
    app.setReporters(&FHRunReporter::make);
    FHApplication::loadTranslators(QCoreApplication::applicationDirPath());

    FHStartUp startUp(&app);
    return app.exec();
}
