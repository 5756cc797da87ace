#include "engine/FHLibrary.h"

#include "engine/FHContentHash.h"
#include "engine/FHFileTypes.h"
#include "engine/FHFolderTree.h"
#include "engine/FHInputWalk.h"
#include "engine/FHJournalStore.h"
#include "engine/FHNaming.h"
#include "engine/FHPaths.h"
#include "engine/FHRecovery.h"
#include "engine/FHReporter.h"
#include "engine/FHSafeMove.h"
#include "engine/FHShotGroups.h"
#include "engine/FHSortContext.h"
#include "engine/platform/FHFile.h"
#include "engine/platform/FHFolder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString capturedText(const FHPlanEntry &entry)
{
    return entry.captured.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

} // namespace

FHLibrary::FHLibrary(FHSortContext &context, const FHRecovery &recovery)
    : m_context(context)
    , m_recovery(recovery)
{
}

bool FHLibrary::open(const QString &runId)
{
    const bool needed = m_context.options.duplicates == FHDuplicates::Skip;
    // Sorting every file as it comes needs no ledger: one is kept up to date
    // where there is one, and none is begun.
    if (!needed && !QFileInfo::exists(FHLedger::pathOf(m_context.output)))
        return true;
    m_use = m_ledger.open(
        m_context.output, m_context.options.dryRun ? FHLedger::Read : FHLedger::Write);
    if (!m_ledger.note().isEmpty())
        m_context.reporter.message(m_ledger.note());
    if (!m_use) {
        if (needed) {
            m_context.reporter.error(
                QStringLiteral("Unable to keep the library's ledger, which tells the photos it "
                               "holds already: %1. Nothing was moved; --duplicates import sorts "
                               "without it.")
                    .arg(m_ledger.error()));
            return false;
        }
        m_context.reporter.message(
            QStringLiteral("The library's ledger is not kept: %1").arg(m_ledger.error()));
        return true;
    }
    if (m_ledger.isNew())
        addLibraryFiles();
    addJournaledRuns(runId);
    return true;
}

QString FHLibrary::relative(const QString &path) const
{
    return path.mid(m_context.output.size() + 1);
}

QByteArray FHLibrary::hashOf(const QString &path) const
{
    QString name;
    int error = 0;
    const FHFolder folder = m_context.folders.parentOf(path, &name, &error);
    FHFile file = folder.isValid() ? FHFile::open(folder, name, FHFile::Read, &error) : FHFile();
    return file.isOpen() ? FHContentHash::of(file) : QByteArray();
}

void FHLibrary::addLibraryFiles()
{
    const FHInputWalk walk(
        m_context.output, FHNameFilter(FHFileTypes::nameFilters(FHFileTypes::AllFamilies)), true);
    const QDateTime now = QDateTime::currentDateTime();
    QVector<FHLedger::Row> rows;
    for (const QVector<FHInputWalk::File> *kind : { &walk.files(), &walk.sidecars() }) {
        for (const FHInputWalk::File &file : *kind) {
            // A temporary name is a run's, which names and records it.
            if (isTemporaryName(file.name))
                continue;
            const FHFolder::Entry entry = FHFolder::entryAt(file.path());
            if (entry.kind != FHFolder::File)
                continue;
            FHLedger::Row row;
            row.path = relative(file.path());
            row.size = entry.size;
            row.modifiedNs = entry.modifiedNs;
            row.imported = now;
            rows.append(row);
        }
    }
    if (!m_ledger.add(rows))
        m_context.reporter.message(m_ledger.error());
}

void FHLibrary::addJournaledRuns(const QString &runId)
{
    const QString output = QDir::toNativeSeparators(m_context.output);
    for (const FHJournalStore::Run &listed : FHJournalStore::runs()) {
        if (listed.kind != QLatin1String("sort") || listed.output != output
            || !listed.undoneBy.isEmpty() || listed.id == runId || m_ledger.hasRun(listed.id))
            continue;
        FHJournalStore::Run run;
        QString error;
        if (!FHJournalStore::load(listed.id, &run, &error))
            continue;
        QVector<FHLedger::Row> rows;
        for (const FHJournalStore::File &file : qAsConst(run.files)) {
            // A temporary name is the leftover of a run cut short: this run
            // names it and records it under its name.
            if (file.final.isEmpty()
                || isTemporaryName(file.final.mid(file.final.lastIndexOf('/') + 1))
                || m_ledger.hasPath(relative(file.final)))
                continue;
            FHLedger::Row row;
            row.path = relative(file.final);
            row.size = file.identity.size;
            row.modifiedNs = file.identity.modifiedNs;
            row.run = run.id;
            row.imported = run.time;
            row.present = FHJournalStore::isSameFile(m_context.folders, file.final, file);
            if (FHContentHash::isOwn(file.hash.toLatin1()))
                row.hash = file.hash.toLatin1();
            // Gone, and nothing to tell it again by: nothing to record.
            if (row.present || !row.hash.isEmpty())
                rows.append(row);
        }
        if (m_context.options.dryRun)
            continue;
        if (!m_ledger.add(rows) || !m_ledger.addRun(run.id))
            m_context.reporter.message(m_ledger.error());
    }
}

FHLibrary::SizeClass FHLibrary::sizeClass(qint64 size)
{
    SizeClass same;
    same.rows = m_ledger.rowsOfSize(size);
    for (int i = 0; i < same.rows.size(); ++i) {
        FHLedger::Row &row = same.rows[i];
        FHFolder::Entry file;
        if (row.present) {
            const QString path = m_context.output + QLatin1Char('/') + row.path;
            file = FHFolder::entryAt(path);
            if (file.kind != FHFolder::File || file.size != row.size) {
                row.present = false;
                m_ledger.setGone(row.id);
            } else if (row.hash.isEmpty() || file.modifiedNs != row.modifiedNs) {
                row.hash = hashOf(path);
                m_ledger.setHash(row.id, row.hash);
            }
        }
        same.files.append(file);
        if (!row.hash.isEmpty())
            same.byHash.insert(row.hash, i);
    }
    return same;
}

void FHLibrary::findDuplicates()
{
    if (!m_use || m_context.options.duplicates == FHDuplicates::Import)
        return;
    auto &entries = m_context.plan.entries;
    const QSet<qint64> known = m_ledger.sizes();
    QHash<qint64, int> incoming;
    for (const FHPlanEntry &entry : qAsConst(entries)) {
        if (entry.reason == FHSkipReason::None)
            ++incoming[entry.identity.size];
    }
    QHash<qint64, SizeClass> sizeClasses;
    QHash<QByteArray, int> firstWithHash;
    const QString inOutput = m_context.output + QLatin1Char('/');
    const auto &meant = m_recovery.interrupted().meant;
    for (int i = 0; i < entries.size(); ++i) {
        FHPlanEntry &entry = entries[i];
        const qint64 size = entry.identity.size;
        // A file of the library sorted in place is in it already, as itself;
        // one that a run cut short was moving is that run's to finish.
        if (entry.reason != FHSkipReason::None
            || (!known.contains(size) && incoming.value(size) < 2)
            || entry.sourceFolder.startsWith(inOutput) || entry.sourceFolder == m_context.output
            || meant.contains(entry.sourcePath()))
            continue;
        entry.contentHash = hashOf(entry.sourcePath());
        if (entry.contentHash.isEmpty())
            continue;
        if (known.contains(size)) {
            auto same = sizeClasses.find(size);
            if (same == sizeClasses.end())
                same = sizeClasses.insert(size, sizeClass(size));
            // In the ledger's order: present files first, then the oldest.
            QVector<int> matches = same->byHash.values(entry.contentHash).toVector();
            std::sort(matches.begin(), matches.end());
            for (const int i : qAsConst(matches)) {
                const FHLedger::Row &row = same->rows.at(i);
                const FHFolder::Entry &file = same->files.at(i);
                // Not the incoming file itself, nor another name of it.
                if (row.present
                    && (file.device != entry.identity.device || file.inode != entry.identity.inode)
                    && FHSafeMove::sameBytes(m_context.folders, entry.sourcePath(),
                        m_context.output + QLatin1Char('/') + row.path)) {
                    entry.reason = FHSkipReason::Duplicate;
                    entry.duplicateOf = m_context.output + QLatin1Char('/') + row.path;
                    break;
                }
                if (!row.present && !m_context.options.reimport && entry.importedOn.isNull())
                    entry.importedOn = row.imported;
            }
            if (entry.reason == FHSkipReason::None && !entry.importedOn.isNull())
                entry.reason = FHSkipReason::ImportedBefore;
        }
        if (entry.reason != FHSkipReason::None)
            continue;
        // Two names of one file are one photo, as they always were.
        const auto first = firstWithHash.constFind(entry.contentHash);
        if (first != firstWithHash.cend() && entries.at(*first).identity != entry.identity
            && FHSafeMove::sameBytes(
                m_context.folders, entry.sourcePath(), entries.at(*first).sourcePath())) {
            entry.reason = FHSkipReason::Duplicate;
            entry.duplicateOfEntry = *first;
        } else if (first == firstWithHash.cend()) {
            firstWithHash.insert(entry.contentHash, i);
        }
    }
    keepShotsWhole();
}

void FHLibrary::keepShotsWhole()
{
    auto &entries = m_context.plan.entries;
    const auto known = [](const FHPlanEntry &e) {
        return e.reason == FHSkipReason::Duplicate || e.reason == FHSkipReason::ImportedBefore;
    };
    QHash<int, bool> shotHasNew; // by the shot's primary
    for (int i = 0; i < entries.size(); ++i) {
        const int lead = entries.at(i).group >= 0 ? entries.at(i).group : i;
        if (entries.at(i).reason == FHSkipReason::None)
            shotHasNew[lead] = true;
    }
    for (int i = 0; i < entries.size(); ++i) {
        FHPlanEntry &entry = entries[i];
        const int lead = entry.group >= 0 ? entry.group : i;
        if (!known(entry) || !shotHasNew.value(lead))
            continue;
        m_context.reporter.message(entry.reason == FHSkipReason::Duplicate
                ? QStringLiteral("'%1' holds the bytes of '%2'; it is sorted all the same, with "
                                 "the rest of its shot")
                      .arg(FHPaths::shown(entry.sourcePath()),
                          FHPaths::shown(entry.duplicatePath(entries)))
                : QStringLiteral("'%1' was imported on %2 and deleted since; it is sorted all "
                                 "the same, with the rest of its shot")
                      .arg(FHPaths::shown(entry.sourcePath()),
                          entry.importedOn.toString(Qt::ISODate)));
        entry.reason = FHSkipReason::None;
        entry.duplicateOf.clear();
        entry.duplicateOfEntry = -1;
        entry.importedOn = QDateTime();
    }
}

void FHLibrary::record(const QString &runId, const QDateTime &started)
{
    if (!m_use || m_context.options.dryRun)
        return;
    QVector<FHLedger::Row> rows;
    QStringList movedInside; // library files sorted in place: at their old paths no more
    const QString inOutput = m_context.output + QLatin1Char('/');
    for (const FHPlanEntry &entry : qAsConst(m_context.plan.entries)) {
        if (!entry.placed || entry.finalName.isEmpty())
            continue;
        if (!m_context.options.copy && entry.sourcePath().startsWith(inOutput))
            movedInside << relative(entry.sourcePath());
        FHLedger::Row row;
        row.path = relative(entry.finalPath());
        row.size = entry.identity.size;
        row.hash = entry.contentHash;
        row.captured = capturedText(entry);
        row.run = runId;
        row.imported = started;
        row.modifiedNs = entry.identity.modifiedNs;
        rows.append(row);
    }
    const auto &leftovers = m_recovery.interrupted().leftovers;
    for (const auto &named : qAsConst(m_context.plan.leftovers)) {
        const FHFolder::Entry file = FHFolder::entryAt(named.second);
        if (file.kind != FHFolder::File)
            continue;
        FHLedger::Row row;
        row.path = relative(named.second);
        row.size = file.size;
        row.modifiedNs = file.modifiedNs;
        const QByteArray hash = leftovers.value(named.first).hash.toLatin1();
        if (FHContentHash::isOwn(hash))
            row.hash = hash;
        row.run = runId;
        row.imported = started;
        rows.append(row);
    }
    if (!m_ledger.removePaths(movedInside) || !m_ledger.add(rows)
        || (!runId.isEmpty() && !m_ledger.addRun(runId)))
        m_context.reporter.error(
            QStringLiteral("The files this run sorted are not all in the library's ledger: %1. "
                           "The next run adds them from this run's journal.")
                .arg(m_ledger.error()));
}
