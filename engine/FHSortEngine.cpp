#include "engine/FHSortEngine.h"

#include "engine/FHException.h"
#include "engine/FHExif.h"
#include "engine/FHFolderView.h"
#include "engine/FHIO.h"
#include "engine/FHInputWalk.h"
#include "engine/FHNaming.h"
#include "engine/FHOutputLock.h"
#include "engine/FHReporter.h"
#include "engine/FHSafeMove.h"
#include "engine/FHShotGroups.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString InputDirectoryRole = QStringLiteral("input directory");
const QString OutputDirectoryRole = QStringLiteral("output directory");
const QString ImageFileRole = QStringLiteral("image file in input directory");
const QString SubDirectoryRole = QStringLiteral("sub-directory in output directory");
const QString TemporaryFileRole
    = QStringLiteral("temporary file in sub-directory of output directory");

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

QString unreadableImageText(const QString &path, const char *libraryText)
{
    return QStringLiteral("Unable to read EXIF data of '%1', taken as an image without capture "
                          "date: %2")
        .arg(path, QString::fromUtf8(libraryText).trimmed());
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
    status.identity.device = (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    status.identity.inode = sx.stx_ino;
    status.identity.size = qint64(sx.stx_size);
    status.identity.modifiedNs = qint64(sx.stx_mtime.tv_sec) * 1000000000 + sx.stx_mtime.tv_nsec;
    status.fileDateMs = qint64(sx.stx_mtime.tv_sec) * 1000 + sx.stx_mtime.tv_nsec / 1000000;
    if (sx.stx_mask & STATX_BTIME)
        status.fileDateMs = qMin(
            status.fileDateMs, qint64(sx.stx_btime.tv_sec) * 1000 + sx.stx_btime.tv_nsec / 1000000);
    return status;
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

private:
    bool prepare();
    void listAndRead();
    void readOne(const FHInputWalk::File &file, FHPlanEntry &entry);
    void order();
    void checkTargetFolders();
    void placeAll();
    void placeGroup(int first, int size);
    void undoPartOfGroup(const QVector<int> &moved);
    void prepareFolder(const QString &folder);
    bool finishCutMove(FHPlanEntry &entry);
    void nameAll();
    void nameShot(const QString &folder, const QStringList &files, int position, int &lastNumber,
        const QHash<QString, int> &placed);
    void removeSecondNames(QStringList &entries);
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
    QString m_output; // absolute, native separators
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
    QSet<QString> m_preparedFolders;
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
    plan.elapsedMs = timer.elapsed();
    return outcome;
}

FHSortEngine::Outcome FHSortRun::run()
{
    if (!prepare())
        return FHSortEngine::Failed;
    if (!m_options.dryRun && !m_lock.tryLock(m_output)) {
        m_reporter.error(
            QStringLiteral("Another sort into '%1' is running (%2); nothing was moved. Try again "
                           "once it has finished.")
                .arg(m_output, m_lock.holder()));
        return FHSortEngine::Failed;
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

    FHIO outputGuard(m_options.outputDir, OutputDirectoryRole);
    m_output = QDir::toNativeSeparators(QDir::cleanPath(outputGuard.currentFile()));

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

    const QFileInfo output(m_output);
    m_plan.outputCreated = !output.exists() && !output.isSymLink();
    if (!m_options.dryRun) {
        outputGuard.makeDirectory();
        return true;
    }
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
    m_view.folderCreated(m_output);
    return true;
}

void FHSortRun::listAndRead()
{
    const FHInputWalk walk(
        m_options.inputDir, FHNameFilter(m_options.nameFilters), m_options.recursive);
    const QString input
        = QDir::toNativeSeparators(QFileInfo(m_options.inputDir).absoluteFilePath());
    for (const QString &folder : walk.unreadableFolders()) {
        const QString text = unreadableFolderText(folder, openFailure(folder), NotSortedText);
        // The input folder itself gets a box; a sub-folder a line of its own.
        if (QDir::cleanPath(folder) == QDir::cleanPath(input))
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
    // Another program may have removed or replaced it since the listing.
    const FileStatus status = statusOf(path);
    if (!status.exists || !status.regular) {
        m_reporter.message(status.exists
                ? QStringLiteral("'%1' is no longer a file since the input directory was "
                                 "listed; it is left where it is")
                      .arg(path)
                : QStringLiteral("'%1' was removed after the input directory was listed; it is "
                                 "not sorted")
                      .arg(path));
        entry.reason = FHSkipReason::Changed;
        return;
    }
    entry.identity = status.identity;

    QDateTime date;
    bool dated = false;
    bool unreadable = false;
    bool cameraless = false;
    try {
        dated = lookupCaptureDate(path, m_plan.cameraMakers, date, &entry.subSecond, &cameraless);
    } catch (const Exiv2::Error &e) {
        m_reporter.message(unreadableImageText(path, e.what()));
        unreadable = true;
    } catch (const std::exception &e) {
        m_reporter.message(unreadableImageText(path, e.what()));
        unreadable = true;
    }
    if (dated || (cameraless && !m_options.exifOnly)) {
        // A date without a maker (a scan, an export) counts only when all kinds
        // of images are sorted.
        entry.dateFrom = FHDateSource::Exif;
    } else if (m_options.exifOnly) {
        entry.reason = unreadable ? FHSkipReason::Unreadable : FHSkipReason::NoCaptureDate;
        return;
    } else {
        date = QDateTime::fromMSecsSinceEpoch(status.fileDateMs);
        entry.dateFrom = FHDateSource::File;
        entry.subSecond.clear();
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
    QHash<QPair<quint64, quint64>, int> named;
    for (const FHPlanEntry &entry : qAsConst(m_plan.entries)) {
        if (entry.identity.isValid()
            && !temporaryNamePattern().match(QFileInfo(entry.sourceName).baseName()).hasMatch())
            named.insert({ entry.identity.device, entry.identity.inode }, 0);
    }
    if (!named.isEmpty()) {
        m_plan.entries.erase(std::remove_if(m_plan.entries.begin(), m_plan.entries.end(),
                                 [&](const FHPlanEntry &entry) {
                                     return entry.identity.isValid()
                                         && named.contains(
                                             { entry.identity.device, entry.identity.inode })
                                         && temporaryNamePattern()
                                                .match(QFileInfo(entry.sourceName).baseName())
                                                .hasMatch();
                                 }),
            m_plan.entries.end());
    }
    FHShotGroups::groupAndOrder(m_plan.entries, m_reporter);
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
        const int size = FHShotGroups::groupSize(entries, first);
        if (entries.at(first).reason == FHSkipReason::None) {
            if (m_engine.stopRequested()) {
                for (int i = first; i < first + size; ++i)
                    entries[i].reason = FHSkipReason::Stopped;
            } else {
                placeGroup(first, size);
                for (int i = 0; i < size; ++i) {
                    stepProgress(20, 50, ++m_passOneDone, m_passOneTotal);
                    emit m_engine.filesDone(FHSortEngine::Moving, ++done, total);
                }
            }
        }
        first += size;
    }
}

bool FHSortRun::changedSinceRead(FHPlanEntry &entry)
{
    const QString path = m_guard.currentFile();
    const FileStatus status = statusOf(path);
    QString text;
    if (!status.exists)
        text = QStringLiteral("'%1' was removed after the input directory was listed; it is not "
                              "sorted");
    else if (!status.regular)
        text = QStringLiteral("'%1' is no longer a file since the input directory was listed; "
                              "it is left where it is");
    else if (status.identity != entry.identity)
        text = QStringLiteral("'%1' changed after its capture date was read; it is left where "
                              "it is");
    if (text.isEmpty())
        return false;
    m_reporter.message(text.arg(path));
    entry.reason = FHSkipReason::Changed;
    return true;
}

void FHSortRun::placeGroup(int first, int size)
{
    auto &entries = m_plan.entries;
    FHPlanEntry &lead = entries[first];
    QVector<int> moving;
    for (int i = first; i < first + size; ++i) {
        m_guard.setRole(ImageFileRole);
        m_guard.setCurrentFile(entries.at(i).sourcePath());
        if (!changedSinceRead(entries[i]))
            moving.append(i);
        else if (i == first)
            break;
    }
    if (lead.reason != FHSkipReason::None) {
        // Without its photo the rest of the shot stays too.
        for (int i = first + 1; i < first + size; ++i)
            entries[i].reason = FHSkipReason::Changed;
        return;
    }
    prepareFolder(lead.targetFolder);
    if (size == 1 && finishCutMove(lead))
        return;

    // One tag for the whole shot: every member's name must be free.
    QStringList names;
    for (bool free = false; !free;) {
        const QString base = temporaryName(lead.captured, m_tag++);
        names.clear();
        free = true;
        for (const int i : qAsConst(moving)) {
            names << base + FHFileTypes::keptSuffix(entries.at(i).sourceName);
            free = free && !m_view.taken(lead.targetFolder + QLatin1Char('/') + names.last());
        }
    }
    for (int k = 0; k < moving.size(); ++k) {
        FHPlanEntry &entry = entries[moving.at(k)];
        const QString target = lead.targetFolder + QLatin1Char('/') + names.at(k);
        if (m_view.simulates()) {
            m_view.moved(entry.sourcePath(), target);
        } else {
            m_guard.setRole(ImageFileRole);
            m_guard.setCurrentFile(entry.sourcePath());
            try {
                m_guard.renameTo(target);
            } catch (const FHException &) {
                undoPartOfGroup(moving.mid(0, k));
                throw;
            }
        }
        entry.temporaryName = names.at(k);
        entry.placed = true;
    }
}

// A shot is never left split between two numbers: when one of its files
// cannot move, those already moved go back, or the report says where they are.
void FHSortRun::undoPartOfGroup(const QVector<int> &moved)
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
    } else {
        FHIO folderGuard(folder, SubDirectoryRole);
        folderGuard.makeDirectory();
        FHSafeMove::removeStalePartialCopies(folder);
    }
    const QStringList entries = m_view.list(folder, m_outputFilters);
    for (const QString &path : entries) {
        const QString name = path.mid(folder.size() + 1);
        if (temporaryNamePattern().match(QFileInfo(name).baseName()).hasMatch())
            m_leftovers[folder + QLatin1Char('/') + name.left(SecondLength)].append(path);
    }
}

// A move cut short by a crash after its target appeared and before its source
// went leaves the photo twice: finish it rather than sort the photo again.
bool FHSortRun::finishCutMove(FHPlanEntry &entry)
{
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
        if (m_view.simulates())
            m_view.removed(source);
        else if (FHSafeMove::finishCutMove(source, copy) != 0)
            return false;
        else
            m_reporter.message(
                QStringLiteral("Finished the interrupted move of '%1' to '%2'").arg(source, copy));
        entry.temporaryName = copy.mid(entry.targetFolder.size() + 1);
        entry.placed = true;
        return true;
    }
    return false;
}

void FHSortRun::nameAll()
{
    // Every folder's listing is taken before any name changes, so that progress
    // can follow the files done.
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
    QVector<QStringList> listings;
    qint64 total = 0;
    for (const QString &folder : qAsConst(folders)) {
        if (!m_view.createdFolders().contains(folder) || !m_view.simulates()) {
            if (const QString reason = openFailure(folder); !reason.isEmpty())
                m_reporter.error(unreadableFolderText(folder, reason, TemporaryNamesText));
        }
        listings.append(m_view.list(folder, m_outputFilters));
        total += listings.last().size();
    }

    // Which plan entry each temporary name belongs to, folder by folder.
    QHash<QString, QVector<int>> byFolder;
    for (int i = 0; i < m_plan.entries.size(); ++i) {
        if (m_plan.entries.at(i).placed)
            byFolder[m_plan.entries.at(i).targetFolder].append(i);
    }

    qint64 done = 0;
    for (int f = 0; f < folders.size(); ++f) {
        QHash<QString, int> placed;
        for (const int i : byFolder.value(folders.at(f)))
            placed.insert(m_plan.entries.at(i).temporaryName, i);
        QStringList entries = listings.at(f);
        entries.sort(Qt::CaseSensitive);
        removeSecondNames(entries);

        const QString folder = folders.at(f);
        int position = 0;
        int lastNumber = 0;
        for (int first = 0; first < entries.size();) {
            // Files sharing a base name (001.CR2, 001.JPG, 001.xmp) hold one
            // position; sorted by path they lie side by side.
            const QString base = QFileInfo(entries.at(first)).baseName();
            int end = first + 1;
            while (end < entries.size() && QFileInfo(entries.at(end)).baseName() == base)
                ++end;
            ++position;
            nameShot(folder, entries.mid(first, end - first), position, lastNumber, placed);
            for (; first < end; ++first) {
                stepProgress(50, 100, ++done, total);
                emit m_engine.filesDone(FHSortEngine::Naming, done, total);
            }
        }
    }
}

// Gives the temporary names of one shot their final names: the position in the
// listing, or the next number after it under which every file's name is free,
// so that numbers keep ascending within the folder.
void FHSortRun::nameShot(const QString &folder, const QStringList &files, int position,
    int &lastNumber, const QHash<QString, int> &placed)
{
    m_guard.setCurrentFile(files.first());
    m_guard.setRole(TemporaryFileRole);
    const QRegularExpressionMatch match = temporaryNamePattern().match(m_guard.baseName());
    if (!match.hasMatch())
        return;
    int parts[6];
    for (int group = 1; group <= 6; ++group)
        parts[group - 1] = match.capturedRef(group).toInt(nullptr, 10);

    QStringList targets;
    for (int number = qMax(position, lastNumber + 1);; ++number) {
        QString name = m_options.namePattern;
        expandNamePattern(name, number, parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
        targets.clear();
        bool free = true;
        for (const QString &file : files) {
            targets << folder + QLatin1Char('/') + name + QLatin1Char('.')
                    + QFileInfo(file).completeSuffix();
            free = free && (targets.last() == file || !m_view.taken(targets.last()));
        }
        if (free) {
            lastNumber = number;
            break;
        }
    }
    for (int k = 0; k < files.size(); ++k) {
        m_guard.setCurrentFile(files.at(k));
        m_guard.setRole(TemporaryFileRole);
        if (m_view.simulates()) {
            m_view.moved(files.at(k), targets.at(k));
        } else {
            try {
                m_guard.renameTo(targets.at(k));
            } catch (const FHException &) {
                // The shot keeps one number: the files already named get their
                // temporary names back, for the next run to finish.
                for (int back = 0; back < k; ++back)
                    FHSafeMove::moveFile(targets.at(back), files.at(back));
                throw;
            }
        }
        const auto own = placed.constFind(files.at(k).mid(folder.size() + 1));
        if (own != placed.constEnd())
            m_plan.entries[*own].finalName = targets.at(k).mid(folder.size() + 1);
        else
            ++m_plan.leftoverCount;
    }
}

// A move cut short on a file system without the no-replace flag can leave a
// temporary name as a second name of a file that already has its final name.
// Such names are removed, so that the photo is not numbered twice.
void FHSortRun::removeSecondNames(QStringList &entries)
{
    QList<int> linked;
    for (int i = 0; i < entries.size(); ++i) {
        struct stat st;
        if (temporaryNamePattern().match(QFileInfo(entries.at(i)).baseName()).hasMatch()
            && ::lstat(QFile::encodeName(entries.at(i)).constData(), &st) == 0 && st.st_nlink > 1)
            linked.append(i);
    }
    if (linked.isEmpty())
        return;
    QHash<QPair<dev_t, ino_t>, int> files;
    const auto identity = [](const QString &path, QPair<dev_t, ino_t> &id) {
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        id = qMakePair(st.st_dev, st.st_ino);
        return true;
    };
    // Final names first: they are the ones to keep.
    for (int i = 0; i < entries.size(); ++i) {
        QPair<dev_t, ino_t> id;
        if (!linked.contains(i) && identity(entries.at(i), id))
            files.insert(id, i);
    }
    QList<int> removed;
    for (const int i : qAsConst(linked)) {
        QPair<dev_t, ino_t> id;
        if (!identity(entries.at(i), id))
            continue;
        if (!files.contains(id)) {
            files.insert(id, i);
        } else if (m_view.simulates()) {
            m_view.removed(entries.at(i));
            removed.prepend(i);
        } else if (::unlink(QFile::encodeName(entries.at(i)).constData()) == 0) {
            removed.prepend(i);
        }
    }
    for (const int i : qAsConst(removed))
        entries.removeAt(i);
}
