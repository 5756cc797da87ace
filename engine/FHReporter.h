#ifndef FHREPORTER_H
#define FHREPORTER_H

#include <QString>

class FHException;

// The one way out of the engine for what the user should hear of. The window
// sends it to the log file, the output panel and its boxes; the command to
// standard error or to JSON.
class FHReporter
{
public:
    virtual ~FHReporter() = default;

    // Something worth knowing; the run goes on.
    virtual void message(const QString &text) = 0;
    // A failure shown with emphasis (a box in the window). A run ends after one,
    // except where its text says what it leaves undone and goes on.
    virtual void error(const QString &text) = 0;
    // A failure of the program's own type, which ends the run.
    virtual void exception(const FHException &e) = 0;
};

#endif // FHREPORTER_H
