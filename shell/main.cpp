#include "shell/FHMessageHandler.h"
#include "shell/FHStartUp.h"
#include "shell/FHexiv2Application.h"

int main(int argc, char *argv[])
{
    qInstallMessageHandler(messageHandler);

    FHexiv2Application app(argc, argv);
    FHApplication::loadTranslators(QCoreApplication::applicationDirPath());

    FHStartUp startUp(&app);
    return app.exec();
}
