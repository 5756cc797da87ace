#include "shell/FHMessageHandler.h"
#include "app/FHStartUp.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHRunReporter.h"

int main(int argc, char *argv[])
{
    qInstallMessageHandler(messageHandler);

    FHexiv2Application app(argc, argv);
    // The window's runs report to its log, its output panel and its boxes.
    app.setReporters(&FHRunReporter::make);
    FHApplication::loadTranslators(QCoreApplication::applicationDirPath());

    FHStartUp startUp(&app);
    return app.exec();
}
