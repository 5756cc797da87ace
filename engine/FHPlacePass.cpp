#include "engine/FHPlacePass.h"

#include "engine/FHCameraClock.h"
#include "engine/FHContentHash.h"
#include "engine/FHCopy.h"
#include "engine/FHException.h"
#include "engine/FHFileStatus.h"
#include "engine/FHFileTypes.h"
#include "engine/FHFolderTree.h"
#include "engine/FHFolderView.h"
#include "engine/FHIO.h"
#include "engine/FHJournal.h"
#include "engine/FHNaming.h"
#include "engine/FHPaths.h"
#include "engine/FHRecovery.h"
#include "engine/FHReporter.h"
#include "engine/FHSafeMove.h"
#include "engine/FHShotGroups.h"
#include "engine/FHSortContext.h"
#include "engine/platform/FHSystem.h"

#include <cstring>
#include <stdexcept>

using namespace FHSortTexts;

FHPlacePass::FHPlacePass(FHSortContext &context, FHRecovery &recovery)
    : m_context(context)
    , m_recovery(recovery)
    , m_tag(context.options.firstTag)
    , m_outputFilters(context.options.nameFilters + FHFileTypes::sidecarNameFilters())
{
}

void FHPlacePass::run()
{
    const qint64 total = m_context.passOneTotal - m_context.passOneDone;
    qint64 done = 0;
    auto &entries = m_context.plan.entries;
    for (int first = 0; first < entries.size();) {
        // A batch of shots gets its names, goes into the journal, then moves.
        QVector<FHShotMove> batch;
        int files = 0;
        while (first < entries.size() && files < FHJournal::BatchFiles) {
            const int size = FHShotGroups::groupSize(entries, first);
            FHShotMove shot;
            if (entries.at(first).reason == FHSkipReason::None) {
                if (m_context.stopRequested())
                    markStopped(first, size);
                else if (chooseNames(first, size, shot))
                    batch.append(shot), files += shot.members.size();
            }
            first += size;
        }
        writeToJournal(batch);
        for (const FHShotMove &shot : qAsConst(batch)) {
            // A stop ends pass 1 after the file in hand, not after the batch.
            if (m_context.stopRequested()) {
                for (const int i : shot.members)
                    markStopped(i, 1);
                continue;
            }
            makeShot(shot);
            for (int i = 0; i < shot.members.size(); ++i) {
                m_context.stepProgress(20, 50, ++m_context.passOneDone, m_context.passOneTotal);
                emit m_context.engine.filesDone(FHSortEngine::Moving, ++done, total);
            }
        }
        m_context.view.commit();
    }
}

void FHPlacePass::markStopped(int first, int size)
{
    for (int i = first; i < first + size; ++i) {
        if (!m_context.plan.entries.at(i).placed
            && m_context.plan.entries.at(i).reason == FHSkipReason::None)
            m_context.plan.entries[i].reason = FHSkipReason::Stopped;
    }
}

bool FHPlacePass::changedSinceRead(FHPlanEntry &entry)
{
    const QString path = m_context.guard.path();
    const FHFileStatus status = FHFileStatus::of(m_context.folders, path);
    QString text = status.goneText(path);
    if (text.isEmpty() && status.identity != entry.identity)
        text = QStringLiteral("'%1' changed after its capture date was read; it is left where "
                              "it is")
                   .arg(FHPaths::shown(path));
    if (text.isEmpty())
        return false;
    // Not changed, nor gone: on a card taken out, it cannot be read. The run
    // says so once.
    if (m_context.inputError()) {
        entry.reason = FHSkipReason::Unreadable;
        return true;
    }
    m_context.reporter.message(text);
    entry.reason = FHSkipReason::Changed;
    return true;
}

// Picks one temporary name for the whole shot, so that its files share a
// number: the tag under which every member's name is free.
bool FHPlacePass::chooseNames(int first, int size, FHShotMove &shot)
{
    auto &entries = m_context.plan.entries;
    FHPlanEntry &lead = entries[first];
    for (int i = first; i < first + size; ++i) {
        m_context.guard.setRole(ImageFileRole);
        m_context.guard.setCurrentFile(entries.at(i).sourcePath());
        if (!changedSinceRead(entries[i]))
            shot.members.append(i);
        else if (i == first)
            break;
    }
    if (lead.reason != FHSkipReason::None) {
        // Without its photo the rest of the shot stays too.
        for (int i = first + 1; i < first + size; ++i)
            entries[i].reason = FHSkipReason::Changed;
        return false;
    }
    prepareFolder(lead.targetFolder);
    if (size == 1 && m_recovery.findCutMove(lead, shot))
        return true;
    if (m_recovery.resumeShot(shot))
        return true;
    for (bool free = false; !free;) {
        const QString base = temporaryName(lead.captured, m_tag++);
        shot.names.clear();
        free = !m_recovery.holdsStem(lead, base);
        for (const int i : qAsConst(shot.members)) {
            shot.names << base + FHFileTypes::keptSuffix(entries.at(i).sourceName);
            free = free
                && !m_context.view.taken(lead.targetFolder + QLatin1Char('/') + shot.names.last());
        }
    }
    for (int k = 0; k < shot.members.size(); ++k)
        m_context.view.moved(entries.at(shot.members.at(k)).sourcePath(),
            lead.targetFolder + QLatin1Char('/') + shot.names.at(k));
    return true;
}

// Where the file's number cannot tell it again later, its first and last
// bytes do: on a card that is mounted anew, or once it is copied to another
// file system.
bool FHPlacePass::needsEdgeHash(const FHPlanEntry &entry)
{
    // A copy has a number of its own from the start.
    if (m_context.options.copy)
        return true;
    if (!m_outputKept.has_value()) {
        int error = 0;
        const FHFolder output = m_context.folders.folder(m_context.output, &error);
        m_outputKept = output.isValid() && output.keepsFileNumbers();
        m_outputDevice = output.isValid() ? output.self().device : 0;
    }
    if (!*m_outputKept || entry.identity.device != m_outputDevice)
        return true;
    const auto known = m_sourceKept.constFind(entry.sourceFolder);
    if (known != m_sourceKept.constEnd())
        return !*known;
    int error = 0;
    const FHFolder source = m_context.folders.folder(entry.sourceFolder, &error);
    const bool kept = source.isValid() && source.keepsFileNumbers();
    m_sourceKept.insert(entry.sourceFolder, kept);
    return !kept;
}

void FHPlacePass::writeToJournal(const QVector<FHShotMove> &batch)
{
    if (!m_context.journal)
        return;
    for (const FHShotMove &shot : batch) {
        const FHPlanEntry &lead = m_context.plan.entries.at(shot.members.first());
        for (int k = 0; k < shot.members.size(); ++k) {
            const FHPlanEntry &entry = m_context.plan.entries.at(shot.members.at(k));
            FHJournalStore::File file;
            file.source = entry.sourcePath();
            file.temporary = lead.targetFolder + QLatin1Char('/') + shot.names.at(k);
            file.identity = entry.identity;
            if (needsEdgeHash(entry)) {
                int error = 0;
                file.identity.edgeHash = FHFileIdentities::edgeHash(
                    m_context.folders.folder(entry.sourceFolder, &error), entry.sourceName);
            }
            if (shot.members.size() > 1 || entry.group >= 0)
                file.group = m_context.plan.entries
                                 .at(entry.group >= 0 ? entry.group : shot.members.first())
                                 .sourcePath();
            FHJsonFields record = FHJournal::fileRecord(file);
            if (entry.shift) {
                const QString format = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
                record << FHJsonFields { { QStringLiteral("captured"),
                                             entry.captured.toString(format) },
                    { QStringLiteral("cameraTime"), entry.cameraTime().toString(format) },
                    { QStringLiteral("shift"), FHCameraClock::shiftText(entry.shift) } };
            }
            m_context.journal->add(record);
        }
    }
    if (!m_context.journal->write())
        throw std::runtime_error(QStringLiteral("Unable to keep the journal: %1. The run stopped "
                                                "before moving more; the next run finishes it")
                                     .arg(m_context.journal->error())
                                     .toStdString());
}

void FHPlacePass::makeShot(const FHShotMove &shot)
{
    auto &entries = m_context.plan.entries;
    const FHPlanEntry &lead = entries.at(shot.members.first());
    for (int k = 0; k < shot.members.size(); ++k) {
        FHPlanEntry &entry = entries[shot.members.at(k)];
        const QString target = lead.targetFolder + QLatin1Char('/') + shot.names.at(k);
        const QString cutCopy = shot.cutCopies.value(k);
        if (m_context.view.simulates()) {
            // Nothing moves.
        } else if (!cutCopy.isEmpty() && m_context.options.copy) {
            // The original stays, as it would have: the copy is this run's.
            keepCutCopy(entry, cutCopy);
        } else if (!cutCopy.isEmpty()) {
            if (const int error
                = FHSafeMove::finishCutMove(m_context.folders, entry.sourcePath(), cutCopy)) {
                m_context.reporter.message(
                    QStringLiteral("Unable to finish the interrupted move of '%1' "
                                   "to '%2' (%3); it is left where it is")
                        .arg(FHPaths::shown(entry.sourcePath()), FHPaths::shown(cutCopy),
                            FHSystem::errorText(error)));
                entry.reason = FHSkipReason::Changed;
                continue;
            }
            m_context.reporter.message(
                QStringLiteral("Finished the interrupted move of '%1' to '%2'")
                    .arg(FHPaths::shown(entry.sourcePath()), FHPaths::shown(cutCopy)));
        } else {
            if (m_foldersToCreate.remove(lead.targetFolder))
                m_context.makeFolder(lead.targetFolder, SubDirectoryRole);
            m_context.guard.setRole(ImageFileRole);
            m_context.guard.setCurrentFile(entry.sourcePath());
            // Looked at again right before it moves, through its folder: a
            // file swapped, or a folder swapped for a link, stays.
            if (changedSinceRead(entry)) {
                if (k == 0) {
                    for (int i = 1; i < shot.members.size(); ++i)
                        entries[shot.members.at(i)].reason = FHSkipReason::Changed;
                    return;
                }
                continue;
            }
            bool placed = false;
            try {
                placed = placeFile(entry, target);
            } catch (const FHException &) {
                undoPartOfShot(shot.members.mid(0, k));
                throw;
            }
            if (!placed) {
                // The shot is never split: what of it went, goes back, and
                // the rest stays with this file.
                undoPartOfShot(shot.members.mid(0, k));
                for (int i = 0; i < shot.members.size(); ++i) {
                    FHPlanEntry &member = entries[shot.members.at(i)];
                    if (i != k && !member.placed) {
                        member.reason = FHSkipReason::ShotHeld;
                        member.heldBy = shot.members.at(k);
                    }
                }
                return;
            }
        }
        entry.temporaryName = shot.names.at(k);
        entry.placed = true;
    }
}

void FHPlacePass::keepCutCopy(FHPlanEntry &entry, const QString &copy)
{
    const QByteArray hash = m_recovery.interrupted().leftovers.value(copy).hash.toLatin1();
    entry.contentHash = FHContentHash::isOwn(hash) ? hash : QByteArray();
    if (m_context.journal && !entry.contentHash.isEmpty())
        m_context.journal->add(FHJournal::copiedRecord(copy, QString::fromLatin1(hash)));
    m_context.reporter.message(
        QStringLiteral("Kept the copy of '%1' that an interrupted run made: '%2'")
            .arg(FHPaths::shown(entry.sourcePath()), FHPaths::shown(copy)));
}

bool FHPlacePass::placeFile(FHPlanEntry &entry, const QString &target)
{
    QString name;
    QString toName;
    int error = 0;
    const FHFolder from = m_context.folders.parentOf(entry.sourcePath(), &name, &error);
    const FHFolder to
        = from.isValid() ? m_context.folders.parentOf(target, &toName, &error) : FHFolder();
    const bool copy = m_context.options.copy;
    FHCopy::Result copied;
    bool wasCopied = false;
    if (to.isValid()) {
        if (copy) {
            // Where the journal keeps data before names, a sync for many
            // copies rather than two for each.
            if (!m_copySync)
                m_copySync = FHSystem::fileSystemOf(m_context.output).journaled ? FHCopy::Together
                                                                                : FHCopy::EachFile;
            copied
                = FHCopy::copyFile(from, name, to, toName, m_context.options.verify, *m_copySync);
            wasCopied = true;
            error = copied.error;
        } else {
            const FHSafeMove::Moved moved
                = FHSafeMove::move(from, name, to, toName, m_context.options.verify);
            copied = moved.copy;
            wasCopied = moved.copied;
            error = moved.error;
        }
    }
    if (wasCopied && (copied.verifyFailed || copied.sourceFailed)) {
        m_context.reporter.message(copied.verifyFailed
                ? QStringLiteral("The copy of '%1' read back differently from what was read; it "
                                 "was removed, and '%1' is left where it is")
                      .arg(FHPaths::shown(entry.sourcePath()))
                : QStringLiteral("Unable to read '%1' (%2); it is left where it is")
                      .arg(FHPaths::shown(entry.sourcePath()), FHSystem::errorText(copied.error)));
        entry.reason = copied.verifyFailed ? FHSkipReason::VerifyFailed : FHSkipReason::Unreadable;
        return false;
    }
    if (error)
        m_context.guard.throwMoveFailure(target, error, copy);
    if (wasCopied && !copied.synced)
        m_unsynced.insert(to.self().device, target.left(target.lastIndexOf('/')));
    // A copy is told again by its content; the hash comes from the copy
    // itself, so the card is read once.
    if (wasCopied && !copied.hash.isEmpty()) {
        entry.contentHash = copied.hash;
        if (m_context.journal)
            m_context.journal->add(
                FHJournal::copiedRecord(target, QString::fromLatin1(copied.hash)));
    }
    m_context.guard.setCurrentFile(target);
    return true;
}

int FHPlacePass::syncCopies()
{
    int failed = 0;
    for (const QString &folder : qAsConst(m_unsynced)) {
        int error = 0;
        const FHFolder held = m_context.folders.folder(folder, &error);
        if (held.isValid())
            error = held.syncFileSystem();
        failed = failed ? failed : error;
    }
    m_unsynced.clear();
    return failed;
}

// A shot is never left split between two numbers: when one of its files
// cannot move, those already moved go back, or the report says where they are.
void FHPlacePass::undoPartOfShot(const QVector<int> &moved)
{
    for (const int i : moved) {
        FHPlanEntry &entry = m_context.plan.entries[i];
        const QString placedAt = entry.temporaryPath();
        if (m_context.options.copy) {
            // The original never left: the copy goes.
            QString name;
            int error = 0;
            const FHFolder folder = m_context.folders.parentOf(placedAt, &name, &error);
            if (folder.isValid() && folder.remove(name) == 0) {
                entry.placed = false;
                entry.temporaryName.clear();
            } else {
                m_stranded.append(i);
            }
            continue;
        }
        if (FHSafeMove::moveFile(m_context.folders, placedAt, entry.sourcePath()) == 0) {
            entry.placed = false;
            entry.temporaryName.clear();
            m_context.reporter.message(
                QStringLiteral("'%1' went back to '%2': the rest of its shot could "
                               "not be moved")
                    .arg(FHPaths::shown(placedAt), FHPaths::shown(entry.sourcePath())));
        } else {
            // Told once pass 2 has named it, where it is then.
            m_stranded.append(i);
        }
    }
}

void FHPlacePass::prepareFolder(const QString &folder)
{
    if (m_preparedFolders.contains(folder))
        return;
    m_preparedFolders.insert(folder);
    if (m_context.view.simulates()) {
        if (!m_context.view.isFolder(folder))
            m_context.view.folderCreated(folder);
    } else if (!m_context.folders.entry(folder).exists()) {
        // Made once the journal says so, when the first file goes in: an undo
        // must know of every folder the run made.
        m_foldersToCreate.insert(folder);
        if (m_context.journal)
            m_context.journal->add(FHJournal::folderRecord(folder));
    } else {
        m_context.makeFolder(folder, SubDirectoryRole);
        int error = 0;
        FHSafeMove::removeStalePartialCopies(m_context.folders.folder(folder, &error));
    }
    m_recovery.noteLeftovers(folder, m_context.view.list(folder, m_outputFilters));
}
