#ifndef FHJOURNAL_H
#define FHJOURNAL_H

#include "engine/FHFileIdentity.h"
#include "engine/FHJsonLine.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QVector>

// The record of one run, kept so that any run can be undone: a finished one,
// one ended by an error and one killed at any instant. Every batch of moves is
// written and synced here before the moves are made, so the journal always
// names every file that might have moved.
//
// One JSON Lines file per run in the user's data folder (shared by the window
// and the command); the README describes the records.
class FHFolderTree;

class FHJournal
{
public:
    // Moves and renames are written and synced in batches of about this many
    // files: one sync per batch, not one per file.
    static constexpr int BatchFiles = 2048;

    // What a journal says of one file.
    struct File
    {
        QString source; // where it was before the run
        QString temporary; // its name between the passes (a sort), or empty
        QString final; // where the run put it last
        FHFileIdentity identity; // as it was before the move
        QString hash; // of the content, after a copy to another file system
        QString group; // the source of the shot's primary, or empty
        int number = 0; // the number of its final name, once one was chosen
    };

    // One run as the journals list it.
    struct Run
    {
        QString id;
        QString kind; // "sort" or "undo"
        QDateTime time;
        QString input;
        QString output;
        QString undoes; // the run an undo undid
        // The inputs of runs cut short whose files this one finished naming.
        QStringList otherInputs;
        // Where the run's files may be: nothing else is ever touched.
        QStringList folders() const { return QStringList { input, output } + otherInputs; }
        QString undoneBy; // the undo that undid this run, once it has
        QString partlyUndoneBy; // the undo that undid it in part, while nothing undid it all
        QString outcome; // "completed", "failed", "stopped"; empty when it never ended
        QJsonObject header;
        QVector<File> files; // read by load() only; a listing has none
        int fileCount = 0; // files moved or finished by a run that ended, else file records
        QStringList createdFolders;
        QVector<int> damagedLines; // skipped, by their numbers from 1
    };

    FHJournal();
    ~FHJournal();
    FHJournal(const FHJournal &) = delete;
    FHJournal &operator=(const FHJournal &) = delete;

    // The folder of the journals: "journal" in the user's data folder of Quilm.
    static QString folder();

    // Creates the journal of a new run and writes its header, synced. False,
    // with the reason in error(), when it cannot be written.
    bool begin(const QString &kind, const FHJsonFields &header);
    const QString &id() const { return m_id; }
    const QString &error() const { return m_error; }

    // Records to be written before the moves they announce; write() writes and
    // syncs them all at once.
    void add(const FHJsonFields &record) { m_pending.append(jsonLine(record)); }
    bool write();
    // The closing record: how many files the run moved, and how many that an
    // earlier run left under temporary names it finished.
    bool finish(const QString &outcome, qint64 moved, qint64 finished = 0);
    // Whether someone removed the journal while the run went on.
    bool isGone() const;
    const QString &path() const { return m_path; }

    static FHJsonFields fileRecord(const File &file);
    static FHJsonFields namedRecord(const QString &temporary, const QString &final, int number = 0);
    static FHJsonFields folderRecord(const QString &path);
    // After a file went to another file system: the hash of its content.
    static FHJsonFields copiedRecord(const QString &temporary, const QString &hash);
    // Still the file the run moved: the same file on the same file system, or
    // the same content (its hash after a copy, else its edge hash).
    static bool isSameFile(const FHFolderTree &tree, const QString &path, const File &file);

    // Every run on record, newest first; only the headers and the ends are read.
    static QVector<Run> runs();
    // The whole journal of a run, files included. A journal naming a path
    // beneath neither its input nor its output is refused, with the line.
    static bool load(const QString &id, Run *run, QString *error);
    // Marks the run as undone by another: wholly, or partly when files stayed
    // for reasons of the user's (changed, their path taken), for a later undo
    // to finish.
    static bool markUndone(const QString &id, const QString &undoId, bool partly, QString *error);

    // What the sort runs into the output that did not complete left: for
    // every file still at its source, the temporary path the cut run meant for
    // it (so that the next run finishes a shot cut in two under one number);
    // for every temporary name still there, its file (so that the next run,
    // which names it, records it for an undo).
    struct Interrupted
    {
        QHash<QString, QString> meant; // source -> temporary path
        QHash<QString, File> leftovers; // temporary path -> file
        // Temporary names still there whose final name was chosen: a shot cut
        // in two while its files were named takes that number again.
        QHash<QString, File> named; // temporary path -> file, final and number
        QHash<QString, File> finals; // final path -> file, for those that got it
        QStringList inputs; // of the runs cut short
    };
    // Only files that are still the ones the journals recorded count, each
    // seen through the tree.
    static Interrupted interrupted(const FHFolderTree &tree, const QString &output);

private:
    bool append(const QByteArray &lines);

    int m_fd = -1;
    QString m_id;
    QString m_path;
    QString m_error;
    QByteArray m_pending;
    bool m_recorded = false; // anything beyond the header
    bool m_gone = false;
};

#endif // FHJOURNAL_H
