#ifndef FHRUNREPORTER_H
#define FHRUNREPORTER_H

#include <QString>

class FHException;

// The report operations as a sort run uses them. When the log file cannot be
// opened, that failure is shown once per run, and the report itself still
// reaches the output panel and, for errors, its box.
class FHRunReporter
{
public:
    void message(const QString &text);
    void error(const QString &text);
    void exception(const FHException &e);

private:
    void logFailed(const FHException &e);

    bool m_logFailureShown = false;
};

#endif // FHRUNREPORTER_H
