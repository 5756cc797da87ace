#ifndef FHPLACEPASS_H
#define FHPLACEPASS_H

#include "engine/FHCopy.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

struct FHPlanEntry;
struct FHShotMove;
struct FHSortContext;
class FHRecovery;

// Pass 1 of a run: in capture order, each shot gets a temporary name under
// which all its files are free, goes into the journal with its batch, then
// moves. A file is looked at once more right before it moves; a shot whose
// file cannot move goes back whole, or the report says where its files are.
class FHPlacePass
{
public:
    FHPlacePass(FHSortContext &context, FHRecovery &recovery);

    // Throws the guard's FHException when a move fails (265), or when the
    // journal cannot be written.
    void run();
    // Files of a shot cut short that could not go back: to be told where they
    // are once pass 2 has named them.
    const QVector<int> &stranded() const { return m_stranded; }
    // Makes the copies placed so far that were not synced one by one (clones,
    // and copies onto journaled file systems) durable, one sync for each file
    // system they are on, before pass 2 names any of them: 0, or the error.
    int syncCopies();

private:
    bool chooseNames(int first, int size, FHShotMove &shot);
    void writeToJournal(const QVector<FHShotMove> &batch);
    void makeShot(const FHShotMove &shot);
    void markStopped(int first, int size);
    void undoPartOfShot(const QVector<int> &moved);
    // Moves or copies the file to the target: false when it stays where it
    // is for a reason of its own (its copy read back wrong, it could not be
    // read), reported; throws when the target cannot take it.
    // A copy an interrupted run made of the entry, kept as this run's own.
    void keepCutCopy(FHPlanEntry &entry, const QString &copy);
    bool placeFile(FHPlanEntry &entry, const QString &target);
    void prepareFolder(const QString &folder);
    bool changedSinceRead(FHPlanEntry &entry);
    bool needsEdgeHash(const FHPlanEntry &entry);

    FHSortContext &m_context;
    FHRecovery &m_recovery;
    quint32 m_tag;
    // The files pass 2 names: the run's kinds and the sidecars that go with them.
    QStringList m_outputFilters;
    QSet<QString> m_preparedFolders;
    QSet<QString> m_foldersToCreate; // target folders journaled, not yet made
    QVector<int> m_stranded;
    std::optional<bool> m_outputKept; // whether the output keeps file numbers
    quint64 m_outputDevice = 0;
    QHash<QString, bool> m_sourceKept; // the same of input folders
    std::optional<FHCopy::Sync> m_copySync; // how the output's file system syncs copies
    QHash<quint64, QString> m_unsynced; // a target folder on each device
};

#endif // FHPLACEPASS_H
