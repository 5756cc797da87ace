#ifndef FHRUNREPORTER_H
#define FHRUNREPORTER_H

#include "engine/FHReporter.h"

#include <memory>

class FHException;

// The engine's reports as the window shows them: the log file, the output panel
// and the boxes. When the log file cannot be opened, that failure is shown once
// per run, and the report itself still reaches the output panel and, for
// errors, its box.
class FHRunReporter : public FHReporter
{
public:
    // A reporter for one run, as the application object asks for them.
    static std::unique_ptr<FHReporter> make() { return std::make_unique<FHRunReporter>(); }

    void message(const QString &text) override;
    void error(const QString &text) override;
    void exception(const FHException &e) override;

private:
    void logFailed(const FHException &e);

    bool m_logFailureShown = false;
};

// Reports from outside a run, such as the version check's at start-up: the log
// file and the output panel. Where the log cannot open, message() throws; the
// caller hands that failure to exception(), which shows it in its own box, and
// the report goes no further.
class FHNoticeReporter : public FHReporter
{
public:
    void message(const QString &text) override;
    void error(const QString &text) override;
    void exception(const FHException &e) override;
};

#endif // FHRUNREPORTER_H
