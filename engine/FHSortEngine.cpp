#include "engine/FHSortEngine.h"

#include "engine/FHCaptureDate.h"
#include "engine/FHException.h"
#include "engine/FHFolderTree.h"
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
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>

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
    bool unreachable = false; // a link stands where its folder was
    FHFileIdentity identity;
    // The earlier of modification and birth time: a copy off a card is born
    // when it is copied, but keeps the time the camera wrote it.
    qint64 fileDateMs = 0;
};

FileStatus statusOf(const FHFolderTree &tree, const QString &path)
{
    FileStatus status;
    int error = 0;
    const FHFolder::Entry entry = tree.entry(path, &error);
    status.unreachable = error && error != ENOENT;
    if (!entry.exists())
        return status;
    status.exists = true;
    status.regular = entry.kind == FHFolder::File;
    status.identity.device = entry.device;
    status.identity.inode = entry.inode;
    status.identity.size = entry.size;
    status.identity.modifiedNs = entry.modifiedNs;
    status.fileDateMs = entry.modifiedNs / 1000000;
    if (entry.bornMs >= 0)
        status.fileDateMs = qMin(status.fileDateMs, entry.bornMs);
    return status;
}

// Another program may remove or replace a file after the listing.
QString goneText(const FileStatus &status, const QString &path)
{
    if (status.unreachable)
        return QStringLiteral("'%1' is left where it is: since the input directory was listed, a "
                              "link stands where one of its folders was, and links are not "
                              "followed")
            .arg(path);
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

// Whether a file of the path's stem lies in its folder: the path's shot, or
// part of it, got there.
bool shotPartAt(const FHFolderTree &tree, const QString &path)
{
    QString name;
    int error = 0;
    const FHFolder folder = tree.parentOf(path, &name, &error);
    const QString stem = stemOf(name);
    bool found = false;
    if (folder.isValid()) {
        folder.list([&](const QByteArray &entry, FHFolder::Kind) {
            found = found || stemOf(QFile::decodeName(entry)) == stem;
        });
    }
    return found;
}

// Why the folder cannot be read, or an empty text.
QString openFailure(const FHFolderTree &tree, const QString &folder)
{
    int error = 0;
    const FHFolder opened = tree.folder(folder, &error);
    if (opened.isValid())
        error = opened.readable();
    return error ? FHFolderTree::errorText(error) : QString();
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
        , m_view(options.dryRun, m_folders)
        , m_guard(*engine.m_fileGuard)
        , m_reporter(*engine.m_reporter)
    {
    }
    ~FHSortRun() { m_guard.setFolders(nullptr); }

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
    void makeFolder(const QString &path, const QString &role)
    {
        FHIO guard(path, role);
        guard.setFolders(&m_folders);
        guard.makeDirectory();
    }
    bool findCutMove(const FHPlanEntry &entry, Shot &shot);
    bool resumeShot(Shot &shot);
    void nameAll();
    void reportAfterFailure(std::exception_ptr failure);
    bool changedSinceRead(FHPlanEntry &entry);
    bool needsEdgeHash(const FHPlanEntry &entry);

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
    // The input and output folders, which the run never leaves.
    FHFolderTree m_folders;
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
    // The copies of cut moves this run finishes, each once.
    QSet<QString> m_finishedCuts;
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
    QVector<int> m_stranded; // files of a shot cut short that could not go back
    std::optional<bool> m_outputKept; // whether the output keeps file numbers
    quint64 m_outputDevice = 0;
    QHash<QString, bool> m_sourceKept; // the same of input folders
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
    m_interrupted = FHJournal::interrupted(m_folders, m_output);
    if (!m_options.dryRun) {
        if (m_options.journal && !beginJournal())
            return FHSortEngine::Failed;
        makeFolder(m_output, OutputDirectoryRole);
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
    // Naming needs no room on the disk: after a failure of pass 1 (a full
    // disk, say) the files moved so far still get their final names.
    std::exception_ptr placing;
    try {
        placeAll();
        setProgress(50);
    } catch (...) {
        placing = std::current_exception();
        // The moves of the batch not made are no longer to be seen: the disk
        // holds what was made.
        m_view.commit();
    }
    try {
        nameAll();
    } catch (...) {
        if (!placing)
            throw;
        reportAfterFailure(std::current_exception());
    }
    for (const int i : qAsConst(m_stranded)) {
        const FHPlanEntry &entry = m_plan.entries.at(i);
        m_reporter.message(QStringLiteral("'%1' could not go back with the rest of its shot and "
                                          "is at '%2'")
                               .arg(entry.sourcePath(), entry.targetPath()));
    }
    if (placing)
        std::rethrow_exception(placing);
    setProgress(100);
    return m_engine.stopRequested() ? FHSortEngine::Stopped : FHSortEngine::Completed;
}

bool FHSortRun::beginJournal()
{
    m_journal = std::make_unique<FHJournal>();
    FHJsonFields header { { QStringLiteral("input"), m_input },
        { QStringLiteral("output"), m_output },
        { QStringLiteral("outputCreated"), m_plan.outputCreated },
        { QStringLiteral("folders"), m_options.subFolderMode },
        { QStringLiteral("pattern"), m_options.namePattern },
        { QStringLiteral("exifOnly"), m_options.exifOnly },
        { QStringLiteral("recursive"), m_options.recursive },
        { QStringLiteral("nameFilters"), QJsonArray::fromStringList(m_options.nameFilters) } };
    // The sources of the leftovers this run may finish, for its undo.
    QStringList others;
    for (const QString &input : qAsConst(m_interrupted.inputs)) {
        if (input != m_input && input != m_output)
            others << input;
    }
    if (!others.isEmpty())
        header.append({ QStringLiteral("otherInputs"), QJsonArray::fromStringList(others) });
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
    const bool kept = m_journal->finish(
        QLatin1String(names[outcome]), m_plan.movedCount, m_plan.leftoverCount());
    if (m_journal->isGone() && (m_plan.movedCount > 0 || m_plan.leftoverCount() > 0))
        m_reporter.error(QStringLiteral("This run cannot be undone: its journal '%1' is gone.")
                             .arg(m_journal->path()));
    else if (!kept)
        m_reporter.error(QStringLiteral("This run may not be undone in full: its journal could "
                                        "not be closed (%1).")
                             .arg(m_journal->error()));
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
    m_folders.addRoot(m_input);
    m_folders.addRoot(m_output);
    m_guard.setFolders(&m_folders);

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
    // Photos sorted already beneath the input are not sorted again.
    const bool outputInside = m_output.startsWith(m_input + QLatin1Char('/'));
    const FHInputWalk walk(m_options.inputDir, FHNameFilter(m_options.nameFilters),
        m_options.recursive, outputInside ? m_output : QString());
    for (const QString &folder : walk.unreadableFolders()) {
        const QString text
            = unreadableFolderText(folder, openFailure(m_folders, folder), NotSortedText);
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
        const FileStatus status = statusOf(m_folders, file.path());
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
    const FileStatus status = statusOf(m_folders, path);
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
    entry.targetFolder = m_subFolderFormat.isEmpty()
        ? m_output
        : m_output + QLatin1Char('/') + date.toString(m_subFolderFormat);
}

void FHSortRun::order()
{
    // A file an interrupted run moved under its temporary name, in a folder
    // this run reads (sorting a folder into itself), is not a photo to sort
    // again: pass 2 names it with the rest of its shot, and where its move was
    // cut short, the source finishes it. Only the journal tells so: another
    // name of the same file may be the user's own hard link.
    const auto leftOrSecondName = [&](const FHPlanEntry &entry) {
        return !m_interrupted.leftovers.isEmpty()
            && m_interrupted.leftovers.contains(entry.sourcePath());
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
        const QRegularExpressionMatch match = temporaryNamePattern().match(stemOf(meant));
        if (meant.isEmpty() || !match.hasMatch())
            continue;
        entry.targetFolder = meant.left(meant.lastIndexOf(QLatin1Char('/')));
        entry.captured = QDateTime::fromString(
            match.captured(0).left(SecondLength), QStringLiteral("yyyy-MM-dd-HH-mm-ss"));
    }
    FHShotGroups::Options grouping;
    grouping.keepAlone = [this](const FHPlanEntry &entry) {
        // Only where the photo did go ahead: something of its shot is there.
        const QString meant = m_interrupted.meant.value(entry.sourcePath());
        return !meant.isEmpty() && shotPartAt(m_folders, meant);
    };
    // FAT, exFAT, NTFS and SMB shares hold one of two names that differ
    // only in letter case.
    grouping.caseSensitiveOutput = !keepsWindowsNames(m_output);
    grouping.chosen = FHNameFilter(m_options.nameFilters);
    FHShotGroups::groupAndOrder(m_plan.entries, m_reporter, grouping);
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
    const FileStatus status = statusOf(m_folders, path);
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
                    && *held == lead.sourceFolder + QLatin1Char('/') + stemOf(lead.sourceName));
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
        } else if (FHSafeMove::isCutMoveOf(m_folders, source, meant)) {
            cutCopies << meant;
            anyMoved = true;
        } else {
            return false;
        }
        anyMoved = anyMoved || shotPartAt(m_folders, meant);
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

// Where the file's number cannot tell it again later, its first and last
// bytes do: on a card that is mounted anew, or once it is copied to another
// file system.
bool FHSortRun::needsEdgeHash(const FHPlanEntry &entry)
{
    if (!m_outputKept.has_value()) {
        int error = 0;
        const FHFolder output = m_folders.folder(m_output, &error);
        m_outputKept = output.isValid() && output.keepsFileNumbers();
        m_outputDevice = output.isValid() ? output.self().device : 0;
    }
    if (!*m_outputKept || entry.identity.device != m_outputDevice)
        return true;
    const auto known = m_sourceKept.constFind(entry.sourceFolder);
    if (known != m_sourceKept.constEnd())
        return !*known;
    int error = 0;
    const FHFolder source = m_folders.folder(entry.sourceFolder, &error);
    const bool kept = source.isValid() && source.keepsFileNumbers();
    m_sourceKept.insert(entry.sourceFolder, kept);
    return !kept;
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
            file.identity = entry.identity;
            if (needsEdgeHash(entry)) {
                int error = 0;
                file.identity.edgeHash = FHFileIdentities::edgeHash(
                    m_folders.folder(entry.sourceFolder, &error), entry.sourceName);
            }
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
            if (const int error
                = FHSafeMove::finishCutMove(m_folders, entry.sourcePath(), cutCopy)) {
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
                makeFolder(lead.targetFolder, SubDirectoryRole);
            m_guard.setRole(ImageFileRole);
            m_guard.setCurrentFile(entry.sourcePath());
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
        if (FHSafeMove::moveFile(m_folders, placedAt, entry.sourcePath()) == 0) {
            entry.placed = false;
            entry.temporaryName.clear();
            m_reporter.message(QStringLiteral("'%1' went back to '%2': the rest of its shot could "
                                              "not be moved")
                                   .arg(placedAt, entry.sourcePath()));
        } else {
            // Told once pass 2 has named it, where it is then.
            m_stranded.append(i);
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
    } else if (!m_folders.entry(folder).exists()) {
        // Made once the journal says so, when the first file goes in: an undo
        // must know of every folder the run made.
        m_foldersToCreate.insert(folder);
        if (m_journal)
            m_journal->add(FHJournal::folderRecord(folder));
    } else {
        makeFolder(folder, SubDirectoryRole);
        int error = 0;
        FHSafeMove::removeStalePartialCopies(m_folders.folder(folder, &error));
    }
    const QStringList entries = m_view.list(folder, m_outputFilters);
    for (const QString &path : entries) {
        const QString name = path.mid(folder.size() + 1);
        if (isTemporaryName(name)) {
            const QString final = m_interrupted.named.value(path).final;
            m_leftoverBases.insert(folder + QLatin1Char('/') + stemOf(name),
                final.isEmpty()
                    ? QString()
                    : final.left(final.lastIndexOf(QLatin1Char('/')) + 1) + stemOf(final));
        }
    }
}

// A move cut short by a crash after its target appeared and before its source
// went leaves the photo twice: finish it rather than sort the photo again.
// Only the pair the journal recorded before the move counts: another name of
// the same file, or a file of the same bytes, may be the user's own.
bool FHSortRun::findCutMove(const FHPlanEntry &entry, Shot &shot)
{
    if (m_interrupted.meant.isEmpty())
        return false;
    const QString source = entry.sourcePath();
    const QString copy = m_interrupted.meant.value(source);
    if (copy.isEmpty() || copy.left(copy.lastIndexOf(QLatin1Char('/'))) != entry.targetFolder
        || !m_interrupted.leftovers.contains(copy) || m_finishedCuts.contains(copy)
        || !FHSafeMove::isCutMoveOf(m_folders, source, copy))
        return false;
    m_finishedCuts.insert(copy);
    m_view.removed(source);
    shot.cutCopies << copy;
    shot.names << copy.mid(entry.targetFolder.size() + 1);
    return true;
}

// A second failure, in pass 2 after one in pass 1, is told as well.
void FHSortRun::reportAfterFailure(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const FHException &e) {
        m_reporter.exception(e);
    } catch (const std::exception &e) {
        m_reporter.error(QString::fromUtf8(e.what()));
    }
}

void FHSortRun::nameAll()
{
    // The folders this run sorts into, and those where a journal says an
    // earlier run left temporary names: a file named like one elsewhere is
    // the user's, and keeps its name.
    QSet<QString> chosen;
    if (m_subFolderFormat.isEmpty())
        chosen.insert(m_output);
    for (const FHPlanEntry &entry : qAsConst(m_plan.entries)) {
        if (entry.placed)
            chosen.insert(entry.targetFolder);
    }
    for (auto it = m_interrupted.leftovers.cbegin(); it != m_interrupted.leftovers.cend(); ++it) {
        const QString folder = it.key().left(it.key().lastIndexOf(QLatin1Char('/')));
        if (folder == m_output || folder.startsWith(m_output + QLatin1Char('/')))
            chosen.insert(folder);
    }
    QStringList folders(chosen.cbegin(), chosen.cend());
    folders.sort();
    for (const QString &folder : qAsConst(folders)) {
        if (!m_view.createdFolders().contains(folder)) {
            if (const QString reason = openFailure(m_folders, folder); !reason.isEmpty())
                m_reporter.error(unreadableFolderText(folder, reason, TemporaryNamesText));
        }
    }
    FHNamingPass pass(
        { m_view, m_guard, m_plan, m_journal.get(), m_options.namePattern, m_outputFilters,
            [this](qint64 done, qint64 total) {
                stepProgress(50, 100, done, total);
                emit m_engine.filesDone(FHSortEngine::Naming, done, total);
            },
            m_interrupted, m_reporter, [this] { return m_engine.stopRequested(); } });
    pass.run(folders);
}
