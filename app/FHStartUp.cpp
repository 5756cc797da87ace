#include "app/FHStartUp.h"

#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"

#include <QCoreApplication>

FHStartUp::FHStartUp(FHexiv2Application *app, const QString &serverAddress)
    : m_check(serverAddress.isEmpty()
              ? std::make_unique<FHCheckVersion>(&m_notices)
              : std::make_unique<FHCheckVersion>(&m_notices, serverAddress))
{
    QObject::connect(
        m_check.get(), &FHCheckVersion::emitProgress, &m_splash, &FHSplashScreen::setProgress);
    m_splash.show();
    // Painted once before the check blocks.
    QCoreApplication::processEvents();
    m_check->run();
    m_newVersion = m_check->newVersion();

    m_window = std::make_unique<FHMainWindow>(app, m_newVersion);
    m_window->show();
    QObject::connect(app, &QGuiApplication::lastWindowClosed, app, &QCoreApplication::quit);
    m_splash.finish(m_window.get());
}

FHStartUp::~FHStartUp() = default;
