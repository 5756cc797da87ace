#ifndef FHRUNPROGRESS_H
#define FHRUNPROGRESS_H

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QLabel;
class QProgressBar;

// The progress row of the main window through a run: the bar and, in the
// status line, the file in hand (or what the run is for); after a stop only
// that the run is stopping; at the end what the run did, with the bar at the
// share it got done.
class FHRunProgress : public QObject
{
    Q_OBJECT

public:
    FHRunProgress(QProgressBar *bar, QLabel *statusLine, QObject *parent = nullptr);
    ~FHRunProgress() override;

    // With a note, the status line shows the note rather than the files.
    void begin(const QString &note = QString());
    // The bar and the status line keep still from here to end().
    void stopping(const QString &text);
    bool isStopping() const { return m_stopping; }
    // The outcome reads from its start; the whole of it is in the tooltip.
    void end(int percent, const QString &outcome);

public slots:
    void setProgress(int value);
    // About 30 times a second the file in hand is shown and the window's events
    // are answered. A temporary name is never shown: the file is shown under
    // the name it came with, then under its final name.
    void showFile(const QString &path);

private:
    QProgressBar *m_bar;
    QLabel *m_statusLine;
    QElapsedTimer m_shown; // since the status line last showed a path
    bool m_stopping = false;
    bool m_showsNote = false;
};

#endif // FHRUNPROGRESS_H
