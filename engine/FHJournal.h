#ifndef FHJOURNAL_H
#define FHJOURNAL_H

#include "engine/FHJournalStore.h"
#include "engine/FHJsonLine.h"
#include "engine/FHPaths.h"
#include "engine/platform/FHFile.h"

#include <QString>

// The record of one run, kept so that any run can be undone: a finished one,
// one ended by an error and one killed at any instant. Every batch of moves is
// written and synced here before the moves are made, so the journal always
// names every file that might have moved.
class FHJournal
{
public:
    // Moves and renames are written and synced in batches of about this many
    // files: one sync per batch, not one per file.
    static constexpr int BatchFiles = 2048;

    FHJournal();
    ~FHJournal();
    FHJournal(const FHJournal &) = delete;
    FHJournal &operator=(const FHJournal &) = delete;

    // Creates the journal of a new run and writes its header, synced. False,
    // with the reason in error(), when it cannot be written.
    bool begin(const QString &kind, const FHJsonFields &header);
    const QString &id() const { return m_id; }
    const QString &error() const { return m_error; }

    // Records to be written before the moves they announce; write() writes and
    // syncs them all at once.
    void add(const FHJsonFields &record) { m_pending.append(jsonLine(FHPaths::stored(record))); }
    bool write();
    // The closing record: how many files the run moved, and how many that an
    // earlier run left under temporary names it finished.
    bool finish(const QString &outcome, qint64 moved, qint64 finished = 0);
    // Whether someone removed the journal while the run went on.
    bool isGone() const;
    const QString &path() const { return m_path; }

    static FHJsonFields fileRecord(const FHJournalStore::File &file);
    static FHJsonFields namedRecord(const QString &temporary, const QString &final, int number = 0);
    static FHJsonFields folderRecord(const QString &path);
    // After a file went to another file system: the hash of its content.
    static FHJsonFields copiedRecord(const QString &temporary, const QString &hash);
    // Appends one record to the journal at path and syncs it; false, with
    // the system's reason in error, when it cannot.
    static bool appendRecord(const QString &path, const FHJsonFields &record, QString *error);

private:
    bool append(const QByteArray &lines);

    FHFile m_file;
    QString m_id;
    QString m_path;
    QString m_error;
    QByteArray m_pending;
    bool m_recorded = false; // anything beyond the header
    bool m_gone = false;
};

#endif // FHJOURNAL_H
