#include "FHCheckVersion.h"
#include "FHMainWindow.h"
#include "FHMessageHandler.h"
#include "FHSplashScreen.h"
#include "FHexiv2Application.h"

int main(int argc, char *argv[])
{
    qInstallMessageHandler(messageHandler);

    FHexiv2Application app(argc, argv);
    FHApplication::loadTranslators(QCoreApplication::applicationDirPath());

    // Declared in this order so that they go in reverse: window, check, splash.
    FHSplashScreen splash;
    FHCheckVersion check;
    QObject::connect(&check, &FHCheckVersion::emitProgress, &splash, &FHSplashScreen::setProgress);
    splash.show();
    QCoreApplication::processEvents();
    check.run();
    const QString newVersion = check.newVersion();

    FHMainWindow window(&app, newVersion);
    window.show();
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    splash.finish(&window);
    return app.exec();
}
