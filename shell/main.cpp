#include "FHMessageHandler.h"
#include "FHStartUp.h"
#include "FHexiv2Application.h"

int main(int argc, char *argv[])
{
    qInstallMessageHandler(messageHandler);

    FHexiv2Application app(argc, argv);
    FHApplication::loadTranslators(QCoreApplication::applicationDirPath());

    FHStartUp startUp(&app);
    return app.exec();
}
