#ifndef FHNAMINGPASS_H
#define FHNAMINGPASS_H

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

#include "engine/FHJournal.h"

class FHFolderView;
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
        // Temporary names that runs cut short left, with their files: this
        // pass names them and records them, so that an undo finds them.
        QHash<QString, FHJournal::File> leftovers;
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
    };

    void nameFolder(const QString &folder, QStringList entries, qint64 &done, qint64 total);
    void choose(const QString &folder, Shot &shot, int position, int &lastNumber);
    void make(const QString &folder, const Shot &shot, const QHash<QString, int> &placed);
    void removeSecondNames(QStringList &entries);

    Context m_context;
};

#endif // FHNAMINGPASS_H
