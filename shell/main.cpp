#include "FHApplication.h"
#include "FHMessageHandler.h"

int main(int argc, char *argv[])
{
    qInstallMessageHandler(messageHandler);

    FHApplication app(argc, argv);
    FHApplication::loadTranslators(QCoreApplication::applicationDirPath());

    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    return app.exec();
}
