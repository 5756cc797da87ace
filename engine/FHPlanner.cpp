#include "engine/FHPlanner.h"

#include "engine/FHCameraMakers.h"
#include "engine/FHCaptureDate.h"
#include "engine/FHException.h"
#include "engine/FHExif.h"
#include "engine/FHFileStatus.h"
#include "engine/FHFolderTree.h"
#include "engine/FHFolderView.h"
#include "engine/FHIO.h"
#include "engine/FHInputWalk.h"
#include "engine/FHNameDate.h"
#include "engine/FHNaming.h"
#include "engine/FHPaths.h"
#include "engine/FHRecovery.h"
#include "engine/FHReporter.h"
#include "engine/FHShotGroups.h"
#include "engine/FHSortContext.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

using namespace FHSortTexts;

namespace {

QString unreadableImageText(const QString &path, const QString &problem)
{
    return QStringLiteral("Unable to read EXIF data of '%1', taken as an image without capture "
                          "date: %2")
        .arg(FHPaths::shown(path), problem);
}

} // namespace

FHPlanner::FHPlanner(FHSortContext &context, FHRecovery &recovery)
    : m_context(context)
    , m_recovery(recovery)
    , m_timeline(context)
{
}

bool FHPlanner::plan()
{
    listAndRead();
    if (!m_timeline.settle())
        return false;
    setTargetFolders();
    order();
    checkTargetFolders();
    return true;
}

void FHPlanner::listAndRead()
{
    // Photos sorted already beneath the input are not sorted again.
    const bool outputInside = m_context.output.startsWith(m_context.input + QLatin1Char('/'));
    const FHInputWalk walk(m_context.options.inputDir, FHNameFilter(m_context.options.nameFilters),
        m_context.options.recursive, outputInside ? m_context.output : QString());
    for (const QString &folder : walk.unreadableFolders()) {
        const QString text = FHSortTexts::unreadableFolder(
            folder, m_context.folders.readFailure(folder), NotSortedText);
        // The input folder itself gets a box; a sub-folder a line of its own.
        if (folder == m_context.input)
            m_context.reporter.error(text);
        else
            m_context.reporter.message(text);
    }
    for (const FHFileTypes::FamilyInfo &family : FHFileTypes::families()) {
        if (const int count = walk.otherTypes(family.family))
            m_context.plan.otherTypes.insert(QLatin1String(family.name), count);
    }

    // A run restricted to some files takes no others, and says nothing of them.
    const QSet<QString> &only = m_context.options.onlyFiles;
    const auto taken = [&only](const QVector<FHInputWalk::File> &all) {
        QVector<FHInputWalk::File> some;
        for (const FHInputWalk::File &file : all) {
            if (only.contains(file.path()))
                some.append(file);
        }
        return some;
    };
    const QVector<FHInputWalk::File> files = only.isEmpty() ? walk.files() : taken(walk.files());
    const QVector<FHInputWalk::File> sidecars
        = only.isEmpty() ? walk.sidecars() : taken(walk.sidecars());
    m_context.plan.entries.reserve(files.size() + walk.undecodable().size());
    // Each file is read, then moved: the two halves of pass 1's progress.
    m_context.passOneTotal = 2 * qint64(files.size());
    QStringList paths;
    paths.reserve(files.size());
    for (const FHInputWalk::File &file : files)
        paths.append(QFileInfo(file.path()).absoluteFilePath());
    FHDateReader reader(m_context.folders, paths, m_context.options.jobs,
        [this] { return m_context.stopRequested(); });
    // Progress counts the files read by any thread; the plan takes them in
    // the listing's order.
    int shown = 0;
    const auto showProgress = [&] {
        const int read = reader.readCount();
        if (read == shown)
            return;
        shown = read;
        m_context.stepProgress(20, 50, m_context.passOneDone + read, m_context.passOneTotal);
        emit m_context.engine.filesDone(FHSortEngine::Reading, read, files.size());
    };
    for (int i = 0; i < files.size(); ++i) {
        const FHInputWalk::File &file = files.at(i);
        FHPlanEntry entry;
        entry.sourceFolder = file.folder;
        entry.sourceName = file.name;
        // A stop while the dates are read leaves everything where it is, the
        // files other threads read ahead too.
        FHDateReader::Read read;
        if (!m_context.stopRequested()) {
            m_context.guard.setRole(ImageFileRole);
            m_context.guard.setCurrentFile(file.path());
            read = reader.take(i, [&] {
                m_context.guard.setCurrentFile(file.path());
                showProgress();
            });
        }
        if (read.done)
            takeRead(entry, read);
        else
            entry.reason = FHSkipReason::Stopped;
        m_context.plan.entries.append(std::move(entry));
        showProgress();
    }
    m_context.passOneDone += files.size();
    for (const FHInputWalk::File &file : sidecars) {
        FHPlanEntry entry;
        entry.sourceFolder = file.folder;
        entry.sourceName = file.name;
        entry.companion = true;
        const FHFileStatus status = FHFileStatus::of(m_context.folders, file.path());
        if (status.regular)
            entry.identity = status.identity;
        else
            entry.reason = FHSkipReason::Changed;
        m_context.plan.entries.append(std::move(entry));
    }
    // The walk cannot name these: the user is told, and they stay where they are.
    for (const QString &path : only.isEmpty() ? walk.undecodable() : QStringList()) {
        m_context.reporter.message(
            QStringLiteral("Unable to handle '%1': its name is not valid in the "
                           "system's file-name encoding; it is left in place")
                .arg(FHPaths::shown(path)));
        FHPlanEntry entry;
        const int slash = path.lastIndexOf(QLatin1Char('/'));
        entry.sourceFolder = path.left(slash);
        entry.sourceName = path.mid(slash + 1);
        entry.reason = FHSkipReason::UndecodableName;
        m_context.plan.entries.append(std::move(entry));
    }
}

void FHPlanner::takeRead(FHPlanEntry &entry, const FHDateReader::Read &read)
{
    if (read.failure)
        std::rethrow_exception(read.failure);
    const QString &path = m_context.guard.path();
    const FHFileStatus &status = read.status;
    if (const QString text = status.goneText(path); !text.isEmpty()) {
        m_context.reporter.message(text);
        entry.reason = FHSkipReason::Changed;
        return;
    }
    entry.identity = status.identity;

    // What the EXIF library said of the file comes with the file.
    replayExifLibraryMessages(read.messages);
    const FHCaptureDate &found = read.found;
    FHCameraMakers::add(m_context.plan.cameraMakers, found.maker);
    if (!found.problem.isEmpty())
        m_context.reporter.message(unreadableImageText(path, found.problem));
    QDateTime date = found.date;
    if (found.source != FHDateSource::None && (found.fromCamera || !m_context.options.exifOnly)) {
        // A date without a maker (a scan, an export) counts only when all kinds
        // of images are sorted.
        entry.dateFrom = found.source;
        entry.subSecond = found.subSecond;
    } else if (m_context.options.exifOnly) {
        entry.reason = !found.problem.isEmpty()  ? FHSkipReason::Unreadable
            : found.source != FHDateSource::None ? FHSkipReason::NoCameraMaker
                                                 : FHSkipReason::NoCaptureDate;
        return;
    } else if ((date = dateFromFileName(entry.sourceName)).isValid()) {
        // Phones and messengers write the time into the name; the file's own
        // times are those of the copy off the phone.
        entry.dateFrom = FHDateSource::Name;
    } else {
        date = QDateTime::fromMSecsSinceEpoch(status.fileDateMs);
        entry.dateFrom = FHDateSource::File;
    }
    entry.captured = date;
    entry.camera = found.camera;
    if (entry.dateFrom == FHDateSource::Exif || entry.dateFrom == FHDateSource::Container) {
        if (found.hasZone) {
            entry.zone = found.zone;
            entry.zoneFrom = FHZoneFrom::File;
        } else if (found.utcOnly) {
            entry.zone = date.offsetFromUtc();
            entry.zoneFrom = FHZoneFrom::Machine;
        }
        if (found.gpsUtc.isValid())
            m_timeline.noteGpsTime(m_context.plan.entries.size(), found.gpsUtc);
    }
}

// Once the clocks are set, the folders go by the times corrected.
void FHPlanner::setTargetFolders()
{
    for (FHPlanEntry &entry : m_context.plan.entries) {
        if (entry.reason != FHSkipReason::None || entry.companion || !entry.captured.isValid())
            continue;
        entry.targetFolder = m_context.subFolderFormat.isEmpty() ? m_context.output
                                                                 : m_context.output
                + QLatin1Char('/') + entry.captured.toString(m_context.subFolderFormat);
    }
}

void FHPlanner::order()
{
    // Files an interrupted run moved under their temporary names into a
    // folder this run reads are not photos to sort again.
    m_context.plan.entries.erase(
        std::remove_if(m_context.plan.entries.begin(), m_context.plan.entries.end(),
            [this](const FHPlanEntry &e) { return m_recovery.isLeftover(e); }),
        m_context.plan.entries.end());
    // A sidecar whose photo went ahead in a run cut short follows it.
    for (FHPlanEntry &entry : m_context.plan.entries) {
        if (entry.companion)
            m_recovery.placeByMeantName(entry);
    }
    FHShotGroups::Options grouping;
    grouping.keepAlone = [this](const FHPlanEntry &entry) { return m_recovery.wentAhead(entry); };
    // FAT, exFAT, NTFS and SMB shares hold one of two names that differ
    // only in letter case.
    grouping.caseSensitiveOutput = !keepsWindowsNames(m_context.output);
    grouping.chosen = FHNameFilter(m_context.options.nameFilters);
    FHShotGroups::groupAndOrder(m_context.plan.entries, m_context.reporter, grouping);
}

void FHPlanner::checkTargetFolders()
{
    // Something in a folder's place is found before anything moves.
    QSet<QString> checked;
    for (const FHPlanEntry &entry : qAsConst(m_context.plan.entries)) {
        if (entry.reason != FHSkipReason::None || checked.contains(entry.targetFolder))
            continue;
        checked.insert(entry.targetFolder);
        const QFileInfo info(entry.targetFolder);
        if (info.exists() && (!info.isDir() || info.isSymLink()))
            throw FHException(FHError::PathIsFile, FHError::PathIsFileFormat, entry.targetFolder,
                SubDirectoryRole);
    }
}
