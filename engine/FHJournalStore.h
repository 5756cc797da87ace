#ifndef FHJOURNALSTORE_H
#define FHJOURNALSTORE_H

#include "engine/FHFileIdentity.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

class FHFolderTree;

// The journals on record, one JSON Lines file per run in the user's data
// folder, shared by the window and the command: listed, read whole, marked
// undone, and read for what the runs cut short left. The README describes
// the records; FHJournal writes them.
class FHJournalStore
{
public:
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

    // The folder of the journals: "journal" in the user's data folder of Quilm,
    // or the folder QUILM_JOURNAL_DIR names.
    static QString folder();
    static QString pathOf(const QString &id);
    // Keeps the last hundred runs, none older than 90 days.
    static void prune();

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
};

#endif // FHJOURNALSTORE_H
