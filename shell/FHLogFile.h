#ifndef FHLOGFILE_H
#define FHLOGFILE_H

#include <QString>

// Process-wide guard: its existence means standard output and standard error
// have been redirected into the log file in the working directory.
class FHLogFile
{
public:
    // The one guard, created on the first call. Throws FHException 260 when the
    // log file cannot be opened; the next call then tries again.
    static FHLogFile &instance();

    // Appends the text and a line break to standard output, then flushes every
    // output stream of the process.
    void write(const QString &text);

    // "./Quilm.Log.txt" with the platform's separator.
    static QString path();

private:
    FHLogFile() = default;
    Q_DISABLE_COPY(FHLogFile)
};

#endif // FHLOGFILE_H
