#ifndef FHSETTLE_H
#define FHSETTLE_H

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// When a file that arrives in a watched folder may be sorted: once it has
// settled. A file settles when its size and modification time have stayed the
// same for the settle time, no process holds it open for writing, and its
// name is not one that uploads, downloads and sync tools give a file while
// they write it.
class FHSettle
{
public:
    // What a look at a file saw.
    struct Look
    {
        qint64 size = -1;
        qint64 mtimeNs = 0;
        bool operator==(const Look &other) const
        {
            return size == other.size && mtimeNs == other.mtimeNs;
        }
        bool operator!=(const Look &other) const { return !(*this == other); }
    };

    enum State
    {
        Partial, // a name that is never taken
        Changing, // changed within the settle time
        Writing, // unchanged, but a process holds it open for writing
        Settled,
        Done, // sorted, or left by a batch, and unchanged since
    };

    explicit FHSettle(qint64 settleMs)
        : m_settleMs(settleMs)
    {
    }

    // A file name (no folder) that a writer gives a file until it is whole.
    static bool isPartialName(const QString &fileName);

    // Records a look at the file at the time given (ms on a steady clock) and
    // says what it is now. writing: a process holds it open for writing.
    // unchangedForMs: for a file not seen before, how long it is known to have
    // stayed as it is (the files found when the watch starts).
    State see(const QString &path, const Look &look, qint64 nowMs, bool writing = false,
        qint64 unchangedForMs = 0);
    // The files seen in the last scan; the others are forgotten.
    void keepOnly(const QSet<QString> &paths);
    // A batch took the file as it was: it is not taken again unless it changes.
    void markDone(const QString &path);

    // Files seen that have not settled yet, and those that have.
    QStringList pending() const;
    QStringList settled() const;
    // When the first of the settled files settled; -1 when none has.
    qint64 firstSettledMs() const;

private:
    struct Entry
    {
        Look look;
        qint64 sinceMs = 0; // unchanged since
        State state = Changing;
        qint64 settledMs = -1;
    };

    qint64 m_settleMs;
    QHash<QString, Entry> m_files;
};

// The files among paths that some process holds open for writing, as far as
// /proc shows them: the processes of other users are not shown to everyone.
QSet<QString> filesOpenForWriting(const QSet<QString> &paths);

#endif // FHSETTLE_H
