#ifndef FHLIBRARY_H
#define FHLIBRARY_H

#include "engine/FHFileIdentity.h"
#include "engine/FHLedger.h"
#include "engine/platform/FHFolder.h"

#include <QHash>
#include <QMultiHash>
#include <QSet>
#include <QString>

class FHRecovery;
struct FHSortContext;

// The library a run sorts into, as its ledger knows it: which incoming files
// it holds already (duplicates), which it held and lost (photos the user
// deleted since they were imported), and, once the run is over, the files
// the run added.
class FHLibrary
{
public:
    FHLibrary(FHSortContext &context, const FHRecovery &recovery);

    // Opens the ledger as the run needs it, adding the library's files where
    // it is new, and those of earlier runs it lacks. False when the run cannot
    // go on without it (reported). runId: this run's journal, if it keeps one.
    bool open(const QString &runId);
    // Marks the planned files whose bytes the library holds as duplicates,
    // and those it held and lost as imported before. A shot with a file that
    // is new comes in whole. Before the first file moves.
    void findDuplicates();
    // Records the files this run put into the library and named.
    void record(const QString &runId, const QDateTime &started);

private:
    // The files of the library, walked without reading them: a ledger made
    // anew knows them by size, hashed only when a file of that size comes.
    void addLibraryFiles();
    // The files that runs into the output recorded in their journals and the
    // ledger not (a run killed, a ledger set aside): those there, and those
    // gone since, whose hash tells them again.
    void addJournaledRuns(const QString &runId);
    QString relative(const QString &path) const;
    // The library's rows of one size, each looked at once: those whose file
    // is gone are marked so, the others hashed where their hash is missing
    // or stale; then found by their hash, whatever the number of rows.
    struct SizeClass
    {
        QVector<FHLedger::Row> rows;
        QVector<FHFolder::Entry> files; // as found now; none for gone rows
        QMultiHash<QByteArray, int> byHash; // row indexes
    };
    SizeClass sizeClass(qint64 size);
    // A shot with one file new comes in whole: its known files go with it,
    // each told of.
    void keepShotsWhole();
    QByteArray hashOf(const QString &path) const;

    FHSortContext &m_context;
    const FHRecovery &m_recovery;
    FHLedger m_ledger;
    bool m_use = false; // a ledger is open
};

#endif // FHLIBRARY_H
