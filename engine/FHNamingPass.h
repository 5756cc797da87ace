#ifndef FHNAMINGPASS_H
#define FHNAMINGPASS_H

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

#include "engine/FHJournal.h"

class FHFolderView;
class FHReporter;
class FHIO;
struct FHSortPlan;

// Pass 2 of a run: in each folder the temporary names become final names, by
// the position of each shot in the folder's sorted listing.
class FHNamingPass
{
public:
    struct Context
    {
        FHFolderView &view;
        FHIO &guard; // pointed at every file in hand
        FHSortPlan &plan; // its entries learn their final names
        FHJournal *journal; // none in a dry run
        QString pattern;
        QStringList filters; // the files that take positions
        std::function<void(qint64 done, qint64 total)> step; // after every file
        // What runs cut short left: this pass names their temporary names and
        // records them, so that an undo finds them, and gives a shot cut in two
        // while it was named the number it had.
        FHJournalStore::Interrupted interrupted;
        FHReporter &reporter;
        // A stop ends a search for a free name that takes long.
        std::function<bool()> stopRequested;
    };

    explicit FHNamingPass(const Context &context);

    // Takes every folder's listing first, then names folder by folder. A
    // failure throws the guard's FHException (or 265 when the journal cannot
    // be written); the files of a shot keep one number.
    void run(const QStringList &folders);

private:
    struct Shot
    {
        QStringList files; // full paths, one base name
        QStringList targets; // empty when the shot keeps its names
        int number = 0;
    };

    // placed: the plan entry of each temporary name in the folder.
    void nameFolder(const QString &folder, QStringList entries, const QHash<QString, int> &placed,
        qint64 &done, qint64 total);
    // True when the shot joins files of its own that hold their number already.
    bool choose(const QString &folder, Shot &shot, int position, int &lastNumber);
    bool resume(const QString &folder, Shot &shot, int &lastNumber);
    void make(const QString &folder, const Shot &shot, const QHash<QString, int> &placed);
    FHJournalStore::File leftoverRecord(const QString &path) const;
    // Drops the temporary names that a move cut short left as second links of
    // a file named here already. The names this run placed are never such: two
    // names of one photo in the input are two files to sort.
    void removeSecondNames(
        const QString &folder, QStringList &entries, const QHash<QString, int> &placed);

    Context m_context;
    QSet<QString> m_bases; // the stems held in the folder in hand
    qint64 m_folderEntries = 0; // everything in it, of any kind
};

#endif // FHNAMINGPASS_H
