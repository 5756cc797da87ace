#ifndef FHCONSOLEREPORTER_H
#define FHCONSOLEREPORTER_H

#include "engine/FHJsonLine.h"
#include "engine/FHReporter.h"

#include <QElapsedTimer>
#include <QString>

// The command's reports: lines on standard error, or JSON events on standard
// output; and, on a terminal, one progress line that the reports write over.
class FHConsoleReporter : public FHReporter
{
public:
    FHConsoleReporter(bool json, bool quiet);
    ~FHConsoleReporter() override;

    void message(const QString &text) override;
    void error(const QString &text) override;
    void exception(const FHException &e) override;

    // Shown at most ten times a second, and only when standard error is a
    // terminal and the command is not quiet.
    void showProgress(
        int percent, const QString &stage, qint64 done, qint64 total, const QString &path);
    void clearProgress();

    bool failed() const { return m_failed; }
    bool json() const { return m_json; }

    // One JSON object as one line on standard output, written whole, its
    // fields in the order given ("event" first).
    static void printEvent(const FHJsonFields &event);
    // A line on standard output or standard error, after the progress line.
    void printLine(const QString &text, bool toError = false);

private:
    bool m_json;
    bool m_quiet;
    bool m_live; // a progress line may be drawn
    bool m_lineShown = false;
    bool m_failed = false;
    QElapsedTimer m_sinceDrawn;
    QElapsedTimer m_sinceStart; // of the stage in hand
    QString m_stage;
};

#endif // FHCONSOLEREPORTER_H
