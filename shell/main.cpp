#include "FHexiv2Application.h"
#include "FHMessageHandler.h"

int main(int argc, char *argv[])
{
    qInstallMessageHandler(messageHandler);

    FHexiv2Application app(argc, argv);
    FHApplication::loadTranslators(QCoreApplication::applicationDirPath());

    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    return app.exec();
}
