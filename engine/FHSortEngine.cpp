#include "engine/FHSortEngine.h"

#include "engine/FHCaptureDate.h"
#include "engine/FHException.h"
#include "engine/FHFolderView.h"
#include "engine/FHIO.h"
#include "engine/FHInputWalk.h"
#include "engine/FHJournal.h"
#include "engine/FHNameDate.h"
#include "engine/FHNaming.h"
#include "engine/FHNamingPass.h"
#include "engine/FHOutputLock.h"
#include "engine/FHReporter.h"
#include "engine/FHSafeMove.h"
#include "engine/FHShotGroups.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

const QString InputDirectoryRole = QStringLiteral("input directory");
const QString OutputDirectoryRole = QStringLiteral("output directory");
const QString ImageFileRole = QStringLiteral("image file in input directory");
const QString SubDirectoryRole = QStringLiteral("sub-directory in output directory");

constexpr int SecondLength = 19; // yyyy-MM-dd-HH-mm-ss of a temporary name

// A folder that cannot be read lists as empty: say so rather than sort nothing
// in silence.
const char *const NotSortedText = "no image in it is sorted";
const char *const TemporaryNamesText = "the images in it keep their temporary names";

QString unreadableFolderText(const QString &folder, const QString &reason, const char *consequence)
{
    return QStringLiteral("Unable to read directory '%1' (%2): %3")
        .arg(folder, reason, QLatin1String(consequence));
}

QString unreadableImageText(const QString &path, const QString &problem)
{
    return QStringLiteral("Unable to read EXIF data of '%1', taken as an image without capture "
                          "date: %2")
        .arg(path, problem);
}

// Absolute and clean, with native separators: how a run names its folders.
QString absolutePath(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

struct FileStatus
{
    bool exists = false;
    bool regular = false;
    FHFileIdentity identity;
    // The earlier of modification and birth time: a copy off a card is born
    // when it is copied, but keeps the time the camera wrote it.
    qint64 fileDateMs = 0;
};

FileStatus statusOf(const QString &path)
{
    FileStatus status;
    struct statx sx;
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_NOFOLLOW,
            STATX_BASIC_STATS | STATX_BTIME, &sx)
        != 0)
        return status;
    status.exists = true;
    status.regular = S_ISREG(sx.stx_mode);
    status.identity.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    status.identity.inode = sx.stx_ino;
    status.identity.size = qint64(sx.stx_size);
    status.identity.modifiedNs = qint64(sx.stx_mtime.tv_sec) * 1000000000 + sx.stx_mtime.tv_nsec;
    status.fileDateMs = qint64(sx.stx_mtime.tv_sec) * 1000 + sx.stx_mtime.tv_nsec / 1000000;
    if (sx.stx_mask & STATX_BTIME)
        status.fileDateMs = qMin(
            status.fileDateMs, qint64(sx.stx_btime.tv_sec) * 1000 + sx.stx_btime.tv_nsec / 1000000);
    return status;
}

// Another program may remove or replace a file after the listing.
QString goneText(const FileStatus &status, const QString &path)
{
    if (!status.exists)
        return QStringLiteral("'%1' was removed after the input directory was listed; it is not "
                              "sorted")
            .arg(path);
    if (!status.regular)
        return QStringLiteral("'%1' is no longer a file since the input directory was listed; it "
                              "is left where it is")
            .arg(path);
    return QString();
}

// Whether a file of the path's base name lies in its folder: the path's shot,
// or part of it, got there.
bool shotPartAt(const QString &path)
{
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')));
    return !QDir(folder)
                .entryList({ baseNameOf(path).toString() + QStringLiteral(".*") }, QDir::Files)
                .isEmpty();
}

QString openFailure(const QString &folder)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir) {
        ::closedir(dir);
        return QString();
    }
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

// The state of one run, from its options to its plan.
class FHSortRun
{
public:
    FHSortRun(FHSortEngine &engine, const FHSortOptions &options, FHSortPlan &plan)
        : m_engine(engine)
        , m_options(options)
        , m_plan(plan)
        , m_view(options.dryRun)
        , m_guard(*engine.m_fileGuard)
        , m_reporter(*engine.m_reporter)
    {
    }

    FHSortEngine::Outcome run();
    // Closes the journal with the run's outcome, once the plan's counts are in.
    void finishJournal(FHSortEngine::Outcome outcome);

private:
    bool prepare();
    bool beginJournal();
    void listAndRead();
    void readOne(const FHInputWalk::File &file, FHPlanEntry &entry);
    void order();
    void checkTargetFolders();
    void placeAll();
    // The files of one shot that move, and the names they move to.
    struct Shot
    {
        QVector<int> members; // plan indices
        QStringList names; // in the target folder
        // Per member: a move cut short, to be finished (the copy in place), or
        // empty for a plain move.
        QStringList cutCopies;
    };
    bool chooseNames(int first, int size, Shot &shot);
    void writeToJournal(const QVector<Shot> &batch);
    void makeShot(const Shot &shot);
    void markStopped(int first, int size);
    void undoPartOfShot(const QVector<int> &moved);
    void prepareFolder(const QString &folder);
    bool findCutMove(const FHPlanEntry &entry, Shot &shot);
    bool resumeShot(Shot &shot);
    void nameAll();
    bool changedSinceRead(FHPlanEntry &entry);

    void setProgress(int value)
    {
        if (value <= m_progress)
            return;
        m_progress = value;
        emit m_engine.progress(value);
    }
    void stepProgress(int from, int to, qint64 done, qint64 total)
    {
        if (total > 0)
            setProgress(from + int((to - from) * done / total));
    }

    FHSortEngine &m_engine;
    const FHSortOptions &m_options;
    FHSortPlan &m_plan;
    FHFolderView m_view;
    FHIO &m_guard;
    FHReporter &m_reporter;
    FHOutputLock m_lock;
    QString m_input; // absolutePath()
    QString m_output; // absolutePath()
    QString m_subFolderFormat;
    // The files pass 2 names: the run's kinds and the sidecars that go with them.
    QStringList m_outputFilters;
    int m_progress = 0;
    qint64 m_passOneDone = 0;
    qint64 m_passOneTotal = 0;
    quint32 m_tag = 0;
    // Temporary names that lay in a target folder before this run moved anything
    // there, by folder and capture second. One may be what an interrupted move left.
    QHash<QString, QStringList> m_leftovers;
    // The same by folder and base name, for as long as the run lasts, with the
    // folder and base name a cut run was naming them to, if any. A tag whose
    // base a leftover holds under any suffix is not free, or pass 2 would take
    // the two for one shot: unless the photo is the part of that shot which
    // got its name before the cut, listed again by a run in place.
    QHash<QString, QString> m_leftoverBases;
    QSet<QString> m_preparedFolders;
    std::unique_ptr<FHJournal> m_journal; // none in a dry run
    FHJournal::Interrupted m_interrupted; // what runs cut short left
    QSet<QString> m_foldersToCreate; // target folders journaled, not yet made
};

FHSortEngine::FHSortEngine(FHIO *fileGuard, FHReporter *reporter, QObject *parent)
    : QObject(parent)
    , m_fileGuard(fileGuard)
    , m_reporter(reporter)
{
}

FHSortEngine::~FHSortEngine() = default;

FHSortEngine::Outcome FHSortEngine::run(const FHSortOptions &options, FHSortPlan &plan)
{
    m_stopRequested = false;
    QElapsedTimer timer;
    timer.start();
    FHSortRun run(*this, options, plan);
    Outcome outcome = Failed;
    try {
        outcome = run.run();
    } catch (const FHException &e) {
        m_reporter->exception(e);
    } catch (const Exiv2::Error &e) {
        m_reporter->error(QString::fromUtf8(e.what()));
    } catch (const std::exception &e) {
        m_reporter->error(QString::fromUtf8(e.what()));
    }
    plan.movedCount = 0;
    plan.notMovedCount = 0;
    for (const FHPlanEntry &entry : qAsConst(plan.entries)) {
        plan.movedCount += entry.placed ? 1 : 0;
        plan.notMovedCount += entry.countsAsNotMoved() ? 1 : 0;
    }
    run.finishJournal(outcome);
    plan.elapsedMs = timer.elapsed();
    return outcome;
}

FHSortEngine::Outcome FHSortRun::run()
{
    if (!prepare())
        return FHSortEngine::Failed;
    // Read before this run's own journal joins them.
    m_interrupted = FHJournal::interrupted(m_output);
    if (!m_options.dryRun) {
        if (m_options.journal && !beginJournal())
            return FHSortEngine::Failed;
        FHIO(m_output, OutputDirectoryRole).makeDirectory();
        if (!m_lock.tryLock(m_output)) {
            m_reporter.error(QStringLiteral("Another sort into '%1' is running (%2); nothing was "
                                            "moved. Try again once it has finished.")
                                 .arg(m_output, m_lock.holder()));
            return FHSortEngine::Failed;
        }
    }
    setProgress(20);

    listAndRead();
    order();
    checkTargetFolders();
    placeAll();
    setProgress(50);
    nameAll();
    setProgress(100);
    return m_engine.stopRequested() ? FHSortEngine::Stopped : FHSortEngine::Completed;
}

bool FHSortRun::beginJournal()
{
    m_journal = std::make_unique<FHJournal>();
    const FHJsonFields header { { QStringLiteral("input"), m_input },
        { QStringLiteral("output"), m_output },
        { QStringLiteral("outputCreated"), m_plan.outputCreated },
        { QStringLiteral("folders"), m_options.subFolderMode },
        { QStringLiteral("pattern"), m_options.namePattern },
        { QStringLiteral("exifOnly"), m_options.exifOnly },
        { QStringLiteral("recursive"), m_options.recursive },
        { QStringLiteral("nameFilters"), QJsonArray::fromStringList(m_options.nameFilters) } };
    if (m_journal->begin(QStringLiteral("sort"), header))
        return true;
    m_reporter.error(QStringLiteral("Unable to keep the journal that makes a sort undoable: %1. "
                                    "Nothing was moved.")
                         .arg(m_journal->error()));
    m_journal.reset();
    return false;
}

void FHSortRun::finishJournal(FHSortEngine::Outcome outcome)
{
    if (!m_journal)
        return;
    static const char *const names[] = { "completed", "stopped", "failed" };
    m_journal->finish(QLatin1String(names[outcome]), m_plan.movedCount);
}

bool FHSortRun::prepare()
{
    if (!m_options.namePattern.contains(QLatin1String("${NUM}"), Qt::CaseSensitive))
        throw FHException(
            FHError::NumKeywordMissing, FHError::NumKeywordMissingFormat, m_options.namePattern);
    if (m_options.subFolderMode == 1)
        m_subFolderFormat = QStringLiteral("yyyy-MM");
    else if (m_options.subFolderMode == 2)
        m_subFolderFormat = QStringLiteral("yyyy-MM-dd");
    m_tag = m_options.firstTag;
    m_outputFilters = m_options.nameFilters + FHFileTypes::sidecarNameFilters();

    FHIO inputGuard(m_options.inputDir, InputDirectoryRole);
    inputGuard.checkDirectory();
    setProgress(10);

    m_input = absolutePath(m_options.inputDir);
    m_output = absolutePath(m_options.outputDir);

    // A pattern that cannot name files would leave every photo under its
    // temporary name after pass 1: refuse it before anything is touched.
    // The longest name part a file keeps is a sidecar's, as in ".JPEG.xmp".
    int longestSuffix = 0;
    for (const QString &filter : m_options.nameFilters)
        longestSuffix = qMax(longestSuffix, filter.toUtf8().size() - filter.lastIndexOf('.'));
    longestSuffix += 4;
    if (const QString problem = namePatternProblem(m_options.namePattern, m_output, longestSuffix);
        !problem.isEmpty()) {
        m_reporter.error(QStringLiteral("The naming pattern '%1' cannot be used: %2. Nothing was "
                                        "moved.")
                             .arg(m_options.namePattern, problem));
        return false;
    }

    // A real run creates the output only once its journal is begun, so that
    // nothing is left behind by a run that cannot keep one.
    const QFileInfo output(m_output);
    m_plan.outputCreated = !output.exists() && !output.isSymLink();
    if (!m_plan.outputCreated) {
        if (!output.isDir() || output.isSymLink())
            throw FHException(
                FHError::PathIsFile, FHError::PathIsFileFormat, m_output, OutputDirectoryRole);
        return true;
    }
    // It would be created with its parents: that works only below a folder.
    QFileInfo ancestor(output.absolutePath());
    while (!ancestor.exists() && !ancestor.isRoot() && !ancestor.isSymLink())
        ancestor.setFile(ancestor.absolutePath());
    if (!ancestor.isDir())
        throw FHException(FHError::CreateDirectory, FHError::CreateDirectoryFormat, m_output,
            OutputDirectoryRole);
    if (m_options.dryRun)
        m_view.folderCreated(m_output);
    return true;
}

void FHSortRun::listAndRead()
{
    const FHInputWalk walk(
        m_options.inputDir, FHNameFilter(m_options.nameFilters), m_options.recursive);
    for (const QString &folder : walk.unreadableFolders()) {
        const QString text = unreadableFolderText(folder, openFailure(folder), NotSortedText);
        // The input folder itself gets a box; a sub-folder a line of its own.
        if (folder == m_input)
            m_reporter.error(text);
        else
            m_reporter.message(text);
    }
    for (const FHFileTypes::FamilyInfo &family : FHFileTypes::families()) {
        if (const int count = walk.otherTypes(family.family))
            m_plan.otherTypes.insert(QLatin1String(family.name), count);
    }

    const QVector<FHInputWalk::File> &files = walk.files();
    m_plan.entries.reserve(files.size() + walk.undecodable().size());
    // Each file is read, then moved: the two halves of pass 1's progress.
    m_passOneTotal = 2 * qint64(files.size());
    for (const FHInputWalk::File &file : files) {
        FHPlanEntry entry;
        entry.sourceFolder = file.folder;
        entry.sourceName = file.name;
        // A stop while the dates are read leaves everything where it is.
        if (m_engine.stopRequested())
            entry.reason = FHSkipReason::Stopped;
        else
            readOne(file, entry);
        m_plan.entries.append(std::move(entry));
        stepProgress(20, 50, ++m_passOneDone, m_passOneTotal);
        emit m_engine.filesDone(FHSortEngine::Reading, m_plan.entries.size(), files.size());
    }
    for (const FHInputWalk::File &file : walk.sidecars()) {
        FHPlanEntry entry;
        entry.sourceFolder = file.folder;
        entry.sourceName = file.name;
        entry.companion = true;
        const FileStatus status = statusOf(file.path());
        if (status.regular)
            entry.identity = status.identity;
        else
            entry.reason = FHSkipReason::Changed;
        m_plan.entries.append(std::move(entry));
    }
    // The walk cannot name these: the user is told, and they stay where they are.
    for (const QString &path : walk.undecodable()) {
        m_reporter.message(QStringLiteral("Unable to handle '%1': its name is not valid in the "
                                          "system's file-name encoding; it is left in place")
                               .arg(path));
        FHPlanEntry entry;
        const int slash = path.lastIndexOf(QLatin1Char('/'));
        entry.sourceFolder = path.left(slash);
        entry.sourceName = path.mid(slash + 1);
        entry.reason = FHSkipReason::UndecodableName;
        m_plan.entries.append(std::move(entry));
    }
}

void FHSortRun::readOne(const FHInputWalk::File &file, FHPlanEntry &entry)
{
    m_guard.setRole(ImageFileRole);
    m_guard.setCurrentFile(file.path());
    const QString &path = m_guard.currentFile();
    const FileStatus status = statusOf(path);
    if (const QString text = goneText(status, path); !text.isEmpty()) {
        m_reporter.message(text);
        entry.reason = FHSkipReason::Changed;
        return;
    }
    entry.identity = status.identity;

    const FHCaptureDate found = FHCaptureDate::of(path, m_plan.cameraMakers);
    if (!found.problem.isEmpty())
        m_reporter.message(unreadableImageText(path, found.problem));
    QDateTime date = found.date;
    if (found.source != FHDateSource::None && (found.fromCamera || !m_options.exifOnly)) {
        // A date without a maker (a scan, an export) counts only when all kinds
        // of images are sorted.
        entry.dateFrom = found.source;
        entry.subSecond = found.subSecond;
    } else if (m_options.exifOnly) {
        entry.reason
            = found.problem.isEmpty() ? FHSkipReason::NoCaptureDate : FHSkipReason::Unreadable;
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
    entry.targetFolder = m_subFolderFormat.isEmpty()
        ? m_output
        : m_output + QLatin1Char('/') + date.toString(m_subFolderFormat);
}

void FHSortRun::order()
{
    // A move cut short inside the input (sorting a folder into itself) leaves a
    // photo under its name and, as another name of the same file, under a
    // temporary name. That second name is the move's target, not a photo of its
    // own: leave it to finish the move.
    QSet<QPair<quint64, quint64>> named;
    bool anyTemporary = false;
    for (const FHPlanEntry &entry : qAsConst(m_plan.entries)) {
        if (!entry.identity.isValid())
            continue;
        if (isTemporaryName(entry.sourceName))
            anyTemporary = true;
        else
            named.insert({ entry.identity.device, entry.identity.inode });
    }
    // A file an interrupted run moved under its temporary name, in a folder
    // this run reads (sorting a folder into itself), is not a photo to sort
    // again: pass 2 names it with the rest of its shot.
    const auto leftOrSecondName = [&](const FHPlanEntry &entry) {
        return (!m_interrupted.leftovers.isEmpty()
                   && m_interrupted.leftovers.contains(entry.sourcePath()))
            || (anyTemporary && entry.identity.isValid()
                && named.contains({ entry.identity.device, entry.identity.inode })
                && isTemporaryName(entry.sourceName));
    };
    m_plan.entries.erase(
        std::remove_if(m_plan.entries.begin(), m_plan.entries.end(), leftOrSecondName),
        m_plan.entries.end());
    // A sidecar whose photo went ahead in a run cut short follows it, dated
    // and placed by the name that run meant for it.
    for (FHPlanEntry &entry : m_plan.entries) {
        if (!entry.companion)
            continue;
        const QString meant = m_interrupted.meant.value(entry.sourcePath());
        const QRegularExpressionMatch match = temporaryNamePattern().match(baseNameOf(meant));
        if (meant.isEmpty() || !match.hasMatch())
            continue;
        entry.targetFolder = meant.left(meant.lastIndexOf(QLatin1Char('/')));
        entry.captured = QDateTime::fromString(
            match.captured(0).left(SecondLength), QStringLiteral("yyyy-MM-dd-HH-mm-ss"));
    }
    FHShotGroups::groupAndOrder(m_plan.entries, m_reporter, [this](const FHPlanEntry &entry) {
        // Only where the photo did go ahead: something of its shot is there.
        const QString meant = m_interrupted.meant.value(entry.sourcePath());
        return !meant.isEmpty() && shotPartAt(meant);
    });
    // A file whose read found it gone counts for one step only.
    qint64 moving = 0;
    for (const FHPlanEntry &entry : qAsConst(m_plan.entries))
        moving += entry.reason == FHSkipReason::None ? 1 : 0;
    m_passOneTotal = m_passOneDone + moving;
}

void FHSortRun::checkTargetFolders()
{
    // Something in a folder's place is found before anything moves.
    QSet<QString> checked;
    for (const FHPlanEntry &entry : qAsConst(m_plan.entries)) {
        if (entry.reason != FHSkipReason::None || checked.contains(entry.targetFolder))
            continue;
        checked.insert(entry.targetFolder);
        const QFileInfo info(entry.targetFolder);
        if (info.exists() && (!info.isDir() || info.isSymLink()))
            throw FHException(FHError::PathIsFile, FHError::PathIsFileFormat, entry.targetFolder,
                SubDirectoryRole);
    }
}

void FHSortRun::placeAll()
{
    const qint64 total = m_passOneTotal - m_passOneDone;
    qint64 done = 0;
    auto &entries = m_plan.entries;
    for (int first = 0; first < entries.size();) {
        // A batch of shots gets its names, goes into the journal, then moves.
        QVector<Shot> batch;
        int files = 0;
        while (first < entries.size() && files < FHJournal::BatchFiles) {
            const int size = FHShotGroups::groupSize(entries, first);
            Shot shot;
            if (entries.at(first).reason == FHSkipReason::None) {
                if (m_engine.stopRequested())
                    markStopped(first, size);
                else if (chooseNames(first, size, shot))
                    batch.append(shot), files += shot.members.size();
            }
            first += size;
        }
        writeToJournal(batch);
        for (const Shot &shot : qAsConst(batch)) {
            // A stop ends pass 1 after the file in hand, not after the batch.
            if (m_engine.stopRequested()) {
                for (const int i : shot.members)
                    markStopped(i, 1);
                continue;
            }
            makeShot(shot);
            for (int i = 0; i < shot.members.size(); ++i) {
                stepProgress(20, 50, ++m_passOneDone, m_passOneTotal);
                emit m_engine.filesDone(FHSortEngine::Moving, ++done, total);
            }
        }
        m_view.commit();
    }
}

void FHSortRun::markStopped(int first, int size)
{
    for (int i = first; i < first + size; ++i) {
        if (!m_plan.entries.at(i).placed && m_plan.entries.at(i).reason == FHSkipReason::None)
            m_plan.entries[i].reason = FHSkipReason::Stopped;
    }
}

bool FHSortRun::changedSinceRead(FHPlanEntry &entry)
{
    const QString path = m_guard.currentFile();
    const FileStatus status = statusOf(path);
    QString text = goneText(status, path);
    if (text.isEmpty() && status.identity != entry.identity)
        text = QStringLiteral("'%1' changed after its capture date was read; it is left where "
                              "it is")
                   .arg(path);
    if (text.isEmpty())
        return false;
    m_reporter.message(text);
    entry.reason = FHSkipReason::Changed;
    return true;
}

// Picks one temporary name for the whole shot, so that its files share a
// number: the tag under which every member's name is free.
bool FHSortRun::chooseNames(int first, int size, Shot &shot)
{
    auto &entries = m_plan.entries;
    FHPlanEntry &lead = entries[first];
    for (int i = first; i < first + size; ++i) {
        m_guard.setRole(ImageFileRole);
        m_guard.setCurrentFile(entries.at(i).sourcePath());
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
    if (size == 1 && findCutMove(lead, shot))
        return true;

    if (resumeShot(shot))
        return true;
    for (bool free = false; !free;) {
        const QString base = temporaryName(lead.captured, m_tag++);
        shot.names.clear();
        // Most runs find no temporary names in their folders: then no name is made.
        free = m_leftoverBases.isEmpty();
        if (!free) {
            const auto held
                = m_leftoverBases.constFind(lead.targetFolder + QLatin1Char('/') + base);
            free = held == m_leftoverBases.constEnd()
                || (!held->isEmpty()
                    && *held == lead.sourceFolder + QLatin1Char('/') + baseNameOf(lead.sourceName));
        }
        for (const int i : qAsConst(shot.members)) {
            shot.names << base + FHFileTypes::keptSuffix(entries.at(i).sourceName);
            free = free && !m_view.taken(lead.targetFolder + QLatin1Char('/') + shot.names.last());
        }
    }
    for (int k = 0; k < shot.members.size(); ++k)
        m_view.moved(entries.at(shot.members.at(k)).sourcePath(),
            lead.targetFolder + QLatin1Char('/') + shot.names.at(k));
    return true;
}

// The rest of a shot that a crash cut in two takes the names its files were
// meant to have, beside the files that moved.
bool FHSortRun::resumeShot(Shot &shot)
{
    if (m_interrupted.meant.isEmpty())
        return false;
    const FHPlanEntry &lead = m_plan.entries.at(shot.members.first());
    QStringList names;
    QStringList cutCopies;
    bool anyMoved = false;
    for (const int i : qAsConst(shot.members)) {
        const QString source = m_plan.entries.at(i).sourcePath();
        const QString meant = m_interrupted.meant.value(source);
        const int slash = meant.lastIndexOf(QLatin1Char('/'));
        if (meant.isEmpty() || meant.left(slash) != lead.targetFolder)
            return false;
        names << meant.mid(slash + 1);
        if (!m_view.taken(meant)) {
            cutCopies << QString();
        } else if (FHSafeMove::isCutMoveOf(source, meant)) {
            cutCopies << meant;
            anyMoved = true;
        } else {
            return false;
        }
        anyMoved = anyMoved || shotPartAt(meant);
    }
    // A shot that never got to its folder may take a name of its own as well.
    if (!anyMoved)
        return false;
    shot.names = names;
    shot.cutCopies = cutCopies;
    for (int k = 0; k < shot.members.size(); ++k) {
        const QString source = m_plan.entries.at(shot.members.at(k)).sourcePath();
        if (cutCopies.at(k).isEmpty())
            m_view.moved(source, lead.targetFolder + QLatin1Char('/') + shot.names.at(k));
        else
            m_view.removed(source);
    }
    m_reporter.message(QStringLiteral("Finishing the shot of '%1', which an interrupted run left "
                                      "in two")
                           .arg(lead.sourcePath()));
    return true;
}

void FHSortRun::writeToJournal(const QVector<Shot> &batch)
{
    if (!m_journal)
        return;
    for (const Shot &shot : batch) {
        const FHPlanEntry &lead = m_plan.entries.at(shot.members.first());
        for (int k = 0; k < shot.members.size(); ++k) {
            const FHPlanEntry &entry = m_plan.entries.at(shot.members.at(k));
            FHJournal::File file;
            file.source = entry.sourcePath();
            file.temporary = lead.targetFolder + QLatin1Char('/') + shot.names.at(k);
            file.size = entry.identity.size;
            file.modifiedNs = entry.identity.modifiedNs;
            file.device = entry.identity.device;
            file.inode = entry.identity.inode;
            if (shot.members.size() > 1 || entry.group >= 0)
                file.group
                    = m_plan.entries.at(entry.group >= 0 ? entry.group : shot.members.first())
                          .sourcePath();
            m_journal->add(FHJournal::fileRecord(file));
        }
    }
    if (!m_journal->write())
        throw std::runtime_error(QStringLiteral("Unable to keep the journal: %1. The run stopped "
                                                "before moving more; the next run finishes it")
                                     .arg(m_journal->error())
                                     .toStdString());
}

void FHSortRun::makeShot(const Shot &shot)
{
    auto &entries = m_plan.entries;
    const FHPlanEntry &lead = entries.at(shot.members.first());
    for (int k = 0; k < shot.members.size(); ++k) {
        FHPlanEntry &entry = entries[shot.members.at(k)];
        const QString target = lead.targetFolder + QLatin1Char('/') + shot.names.at(k);
        const QString cutCopy = shot.cutCopies.value(k);
        if (m_view.simulates()) {
            // Nothing moves.
        } else if (!cutCopy.isEmpty()) {
            if (const int error = FHSafeMove::finishCutMove(entry.sourcePath(), cutCopy)) {
                m_reporter.message(QStringLiteral("Unable to finish the interrupted move of '%1' "
                                                  "to '%2' (%3); it is left where it is")
                                       .arg(entry.sourcePath(), cutCopy,
                                           QString::fromLocal8Bit(std::strerror(error))));
                entry.reason = FHSkipReason::Changed;
                continue;
            }
            m_reporter.message(QStringLiteral("Finished the interrupted move of '%1' to '%2'")
                                   .arg(entry.sourcePath(), cutCopy));
        } else {
            if (m_foldersToCreate.remove(lead.targetFolder))
                FHIO(lead.targetFolder, SubDirectoryRole).makeDirectory();
            m_guard.setRole(ImageFileRole);
            m_guard.setCurrentFile(entry.sourcePath());
            try {
                m_guard.renameTo(target);
            } catch (const FHException &) {
                undoPartOfShot(shot.members.mid(0, k));
                throw;
            }
            // A copy on another file system is told again by its content; the
            // hash comes from the copy itself, so the card is read once.
            if (m_journal && !m_guard.copiedContentHash().isEmpty())
                m_journal->add(FHJournal::copiedRecord(
                    m_guard.currentFile(), QString::fromLatin1(m_guard.copiedContentHash())));
        }
        entry.temporaryName = shot.names.at(k);
        entry.placed = true;
    }
}

// A shot is never left split between two numbers: when one of its files
// cannot move, those already moved go back, or the report says where they are.
void FHSortRun::undoPartOfShot(const QVector<int> &moved)
{
    for (const int i : moved) {
        FHPlanEntry &entry = m_plan.entries[i];
        const QString placedAt = entry.temporaryPath();
        if (FHSafeMove::moveFile(placedAt, entry.sourcePath()) == 0) {
            entry.placed = false;
            entry.temporaryName.clear();
            m_reporter.message(QStringLiteral("'%1' went back to '%2': the rest of its shot could "
                                              "not be moved")
                                   .arg(placedAt, entry.sourcePath()));
        } else {
            m_reporter.message(QStringLiteral("'%1' could not go back and is at '%2'; the next "
                                              "run gives it its final name")
                                   .arg(entry.sourcePath(), placedAt));
        }
    }
}

void FHSortRun::prepareFolder(const QString &folder)
{
    if (m_preparedFolders.contains(folder))
        return;
    m_preparedFolders.insert(folder);
    if (m_view.simulates()) {
        if (!m_view.isFolder(folder))
            m_view.folderCreated(folder);
    } else if (!QFileInfo::exists(folder)) {
        // Made once the journal says so, when the first file goes in: an undo
        // must know of every folder the run made.
        m_foldersToCreate.insert(folder);
        if (m_journal)
            m_journal->add(FHJournal::folderRecord(folder));
    } else {
        FHIO(folder, SubDirectoryRole).makeDirectory();
        FHSafeMove::removeStalePartialCopies(folder);
    }
    const QStringList entries = m_view.list(folder, m_outputFilters);
    for (const QString &path : entries) {
        const QString name = path.mid(folder.size() + 1);
        if (isTemporaryName(name)) {
            m_leftovers[folder + QLatin1Char('/') + name.left(SecondLength)].append(path);
            const QString final = m_interrupted.named.value(path).final;
            m_leftoverBases.insert(folder + QLatin1Char('/') + baseNameOf(name),
                final.isEmpty()
                    ? QString()
                    : final.left(final.lastIndexOf(QLatin1Char('/')) + 1) + baseNameOf(final));
        }
    }
}

// A move cut short by a crash after its target appeared and before its source
// went leaves the photo twice: finish it rather than sort the photo again.
bool FHSortRun::findCutMove(const FHPlanEntry &entry, Shot &shot)
{
    // Most runs find no temporary names in their folders: then no name is made.
    if (m_leftovers.isEmpty())
        return false;
    const auto found = m_leftovers.find(entry.targetFolder + QLatin1Char('/')
        + temporaryName(entry.captured, 0).left(SecondLength));
    if (found == m_leftovers.end())
        return false;
    const QString source = entry.sourcePath();
    QStringList &candidates = *found;
    for (int i = 0; i < candidates.size(); ++i) {
        const QString copy = candidates.at(i);
        if (!FHSafeMove::isCutMoveOf(source, copy))
            continue;
        candidates.removeAt(i);
        m_view.removed(source);
        shot.cutCopies << copy;
        shot.names << copy.mid(entry.targetFolder.size() + 1);
        return true;
    }
    return false;
}

void FHSortRun::nameAll()
{
    QStringList folders;
    if (m_subFolderFormat.isEmpty()) {
        folders << m_output;
    } else {
        if (const QString reason = openFailure(m_output);
            !reason.isEmpty() && !m_view.createdFolders().contains(m_output))
            m_reporter.error(unreadableFolderText(m_output, reason, TemporaryNamesText));
        QDirIterator it(m_output, { QStringLiteral("*") },
            QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot);
        while (it.hasNext())
            folders << QDir::toNativeSeparators(it.next());
        for (const QString &created : m_view.createdFolders()) {
            if (created != m_output && !folders.contains(created))
                folders << created;
        }
    }
    for (const QString &folder : qAsConst(folders)) {
        if (!m_view.createdFolders().contains(folder)) {
            if (const QString reason = openFailure(folder); !reason.isEmpty())
                m_reporter.error(unreadableFolderText(folder, reason, TemporaryNamesText));
        }
    }
    FHNamingPass pass(
        { m_view, m_guard, m_plan, m_journal.get(), m_options.namePattern, m_outputFilters,
            [this](qint64 done, qint64 total) {
                stepProgress(50, 100, done, total);
                emit m_engine.filesDone(FHSortEngine::Naming, done, total);
            },
            m_interrupted, m_reporter });
    pass.run(folders);
}
