#ifndef INVARIANT_H
#define INVARIANT_H

#include "TestImages.h"

#include <QHash>
#include <QString>
#include <QStringList>

// What a sort run reported: the log file's new lines, the output panel's text
// and the texts of the boxes it showed (for a run-time error box, its code text).
struct RunReport
{
    QString log;
    QString panel;
    QStringList boxes;
};

// What no run may break, whatever fails or kills it:
// - every content recorded in the input is found as often as before (once, for
//   distinct photos), in the input or in the output, under a photo's name (one
//   that matches the image name filters) or where it was;
// - every file that was in the output before is still there, unchanged;
// - no file under a photo's name holds anything but a recorded content.
// Files under other names (partial copies left by a crash) count for nothing.
// Record before the run, check after it.
class Invariant
{
public:
    Invariant(const QString &input, const QString &output);

    void record();
    // Another process took away the content at the path, or put one there.
    void forget(const QString &path);
    void adopt(const QString &path);
    // Another process's files with this content may turn up, as often as given.
    void expect(const QByteArray &content, int times = 1);

    // Empty when the invariant holds, else one line per breach. A move cut short
    // by a crash may leave its photo twice, never lost: as two names of one file,
    // or (copied across file systems) still in the input and complete in the
    // output. Up to cutMoves photos may be found so.
    QString check(int cutMoves = 0) const;

    static QStringList imageNameFilters();
    static bool isPhotoName(const QString &fileName);
    static QByteArray hashOf(const QString &path);

private:
    bool isCutMove(const QStringList &paths) const;

    QString m_input;
    QString m_output;
    TestImages::Contents m_expected;
    QHash<QString, QByteArray> m_inputBefore;
    QHash<QString, QByteArray> m_outputBefore;
};

// Empty when the failure was reported as the run decides: `text` (a path, say)
// in a log line and in the output panel, and exactly the boxes given (code texts
// for run-time error boxes).
QString checkReported(const RunReport &report, const QString &text, const QStringList &boxes);

#endif // INVARIANT_H
