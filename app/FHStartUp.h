#ifndef FHSTARTUP_H
#define FHSTARTUP_H

#include "shell/FHCheckVersion.h"
#include "ui/FHRunReporter.h"
#include "ui/FHSplashScreen.h"

#include <QString>

#include <memory>

class FHMainWindow;
class FHexiv2Application;

// Everything start-up does once the application object exists: translations,
// the splash while the version check waits, then the main window. The members
// are declared so that they go in reverse: window, check, splash.
class FHStartUp
{
public:
    // serverAddress: the version-check server; empty for the one configured at
    // build time.
    explicit FHStartUp(FHexiv2Application *app, const QString &serverAddress = QString());
    ~FHStartUp();

    FHMainWindow *window() const { return m_window.get(); }
    const QString &newVersion() const { return m_newVersion; }

private:
    FHSplashScreen m_splash;
    FHNoticeReporter m_notices; // the version check's
    std::unique_ptr<FHCheckVersion> m_check;
    QString m_newVersion;
    std::unique_ptr<FHMainWindow> m_window;
};

#endif // FHSTARTUP_H
