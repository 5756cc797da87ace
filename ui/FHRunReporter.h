#ifndef FHRUNREPORTER_H
#define FHRUNREPORTER_H

#include "engine/FHReporter.h"

class FHException;

// The engine's reports as the window shows them: the log file, the output panel
// and the boxes. When the log file cannot be opened, that failure is shown once
// per run, and the report itself still reaches the output panel and, for
// errors, its box.
class FHRunReporter : public FHReporter
{
public:
    void message(const QString &text) override;
    void error(const QString &text) override;
    void exception(const FHException &e) override;

private:
    void logFailed(const FHException &e);

    bool m_logFailureShown = false;
};

#endif // FHRUNREPORTER_H
