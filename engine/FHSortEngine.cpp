#include "engine/FHSortEngine.h"

#include "engine/FHException.h"
#include "engine/FHFileTypes.h"
#include "engine/FHFolderTree.h"
#include "engine/FHFolderView.h"
#include "engine/FHIO.h"
#include "engine/FHJournal.h"
#include "engine/FHLibrary.h"
#include "engine/FHNaming.h"
#include "engine/FHNamingPass.h"
#include "engine/FHPaths.h"
#include "engine/FHPlacePass.h"
#include "engine/FHPlanner.h"
#include "engine/FHRecovery.h"
#include "engine/FHReporter.h"
#include "engine/FHSortContext.h"
#include "engine/platform/FHOutputLock.h"
#include "engine/platform/FHSystem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QSet>

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <exception>
#include <memory>

namespace FHSortTexts {
const QString InputDirectoryRole = QStringLiteral("input directory");
const QString OutputDirectoryRole = QStringLiteral("output directory");
const QString ImageFileRole = QStringLiteral("image file in input directory");
const QString SubDirectoryRole = QStringLiteral("sub-directory in output directory");
const char *const NotSortedText = "no image in it is sorted";
const char *const TemporaryNamesText = "the images in it keep their temporary names";

QString unreadableFolder(const QString &folder, const QString &reason, const char *consequence)
{
    return QStringLiteral("Unable to read directory '%1' (%2): %3")
        .arg(FHPaths::shown(folder), reason, QLatin1String(consequence));
}
} // namespace FHSortTexts

using namespace FHSortTexts;

void FHSortContext::setProgress(int value)
{
    if (value <= progress)
        return;
    progress = value;
    emit engine.progress(value);
}

void FHSortContext::countPassOne()
{
    qint64 moving = 0;
    for (const FHPlanEntry &entry : qAsConst(plan.entries))
        moving += entry.reason == FHSkipReason::None ? 1 : 0;
    passOneTotal = passOneDone + moving;
}

void FHSortContext::makeFolder(const QString &path, const QString &role) const
{
    FHIO folderGuard(path, role);
    folderGuard.setFolders(&folders);
    folderGuard.makeDirectory();
}

int FHSortContext::inputError() const
{
    int error = 0;
    const FHFolder folder = folders.folder(input, &error);
    return folder.isValid() ? folder.readable() : error;
}

namespace {

// Absolute and clean: how a run names its folders.
QString absolutePath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

// One run from its options to its plan: preparation and the journal here,
// the stages in their own classes.
class FHSortRun
{
public:
    FHSortRun(FHSortEngine &engine, const FHSortOptions &options, FHSortPlan &plan)
        : m_plan(plan)
        , m_options(options)
        , m_view(options.dryRun, m_folders)
        , m_context(
              engine, options, plan, m_folders, m_view, *engine.m_fileGuard, *engine.m_reporter)
        , m_reporter(*engine.m_reporter)
        , m_recovery(m_context)
    {
    }
    ~FHSortRun() { m_context.guard.setFolders(nullptr); }

    FHSortEngine::Outcome run();
    // Closes the journal with the run's outcome, once the plan's counts are in.
    void finishJournal(FHSortEngine::Outcome outcome);

private:
    bool prepare();
    bool beginJournal();
    bool inputLost();
    void nameAll();
    void reportAfterFailure(std::exception_ptr failure);

    FHSortPlan &m_plan;
    const FHSortOptions &m_options;
    // The input and output folders, which the run never leaves.
    FHFolderTree m_folders;
    FHFolderView m_view;
    FHSortContext m_context;
    FHReporter &m_reporter;
    FHRecovery m_recovery;
    FHOutputLock m_lock;
    std::unique_ptr<FHJournal> m_journal; // none in a dry run
    const QDateTime m_started = QDateTime::currentDateTime();
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
    plan.cameraMakers = options.cameraMakers;
    plan.copy = options.copy;
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
    m_context.plan.output = m_context.output;
    // Read before this run's own journal joins them.
    m_recovery.load();
    if (!m_options.dryRun) {
        if (m_options.journal && !beginJournal())
            return FHSortEngine::Failed;
        m_context.makeFolder(m_context.output, OutputDirectoryRole);
        if (!m_lock.tryLock(m_context.output)) {
            m_plan.outputBusy = true;
            m_reporter.error(QStringLiteral("Another sort into '%1' is running (%2); nothing was "
                                            "moved. Try again once it has finished.")
                                 .arg(FHPaths::shown(m_context.output), m_lock.holder()));
            return FHSortEngine::Failed;
        }
        // A copy run finds out now rather than with a photo in hand, which
        // it reads for nothing; a move run finds out at its first move.
        int error = 0;
        const FHFolder output
            = m_options.copy ? m_folders.folder(m_context.output, &error) : FHFolder();
        if (output.isValid() && (error = output.writable()) != 0) {
            m_reporter.error(
                QStringLiteral("Unable to write into the output directory '%1' (%2). "
                               "Nothing was moved.")
                    .arg(FHPaths::shown(m_context.output), FHSystem::errorText(error)));
            return FHSortEngine::Failed;
        }
    }
    m_context.setProgress(20);

    FHLibrary library(m_context, m_recovery);
    if (!library.open(m_journal ? m_journal->id() : QString()))
        return FHSortEngine::Failed;
    if (!FHPlanner(m_context, m_recovery).plan())
        return FHSortEngine::Failed;
    library.findDuplicates();
    m_context.countPassOne();
    // Naming needs no room on the disk: after a failure of pass 1 (a full
    // disk, say) the files moved so far still get their final names.
    FHPlacePass placing(m_context, m_recovery);
    std::exception_ptr failure;
    try {
        placing.run();
        m_context.setProgress(50);
    } catch (...) {
        failure = std::current_exception();
        // The moves of the batch not made are no longer to be seen: the disk
        // holds what was made.
        m_view.commit();
    }
    if (const int error = placing.syncCopies())
        m_reporter.error(QStringLiteral("Unable to make the copies in '%1' durable (%2); a crash "
                                        "may take the newest of them away again.")
                             .arg(m_context.output, FHSystem::errorText(error)));
    try {
        nameAll();
    } catch (...) {
        if (!failure)
            throw;
        reportAfterFailure(std::current_exception());
    }
    for (const int i : placing.stranded()) {
        const FHPlanEntry &entry = m_plan.entries.at(i);
        m_reporter.message(
            QStringLiteral("'%1' could not go back with the rest of its shot and "
                           "is at '%2'")
                .arg(FHPaths::shown(entry.sourcePath()), FHPaths::shown(entry.targetPath())));
    }
    library.record(m_journal ? m_journal->id() : QString(), m_started);
    if (failure)
        std::rethrow_exception(failure);
    if (!m_options.dryRun && inputLost())
        return FHSortEngine::Failed;
    m_context.setProgress(100);
    return m_context.stopRequested() ? FHSortEngine::Stopped : FHSortEngine::Completed;
}

// A card taken out while the run read it: what it left on the card was not
// sorted, and a run that leaves photos behind so has not done its work.
bool FHSortRun::inputLost()
{
    const bool leftBehind
        = std::any_of(m_plan.entries.cbegin(), m_plan.entries.cend(), [](const FHPlanEntry &e) {
              return e.reason == FHSkipReason::Unreadable || e.reason == FHSkipReason::Changed;
          });
    const int error = leftBehind ? m_context.inputError() : 0;
    if (error)
        m_reporter.error(QStringLiteral("The input directory '%1' can no longer be read (%2), as "
                                        "when a card is taken out. The files sorted until then "
                                        "are in '%3'; the rest are left where they are.")
                             .arg(FHPaths::shown(m_context.input), FHSystem::errorText(error),
                                 FHPaths::shown(m_context.output)));
    return error != 0;
}

bool FHSortRun::beginJournal()
{
    m_journal = std::make_unique<FHJournal>();
    FHJsonFields header { { QStringLiteral("input"), m_context.input },
        { QStringLiteral("output"), m_context.output },
        { QStringLiteral("outputCreated"), m_plan.outputCreated },
        { QStringLiteral("folders"), int(m_options.folders) },
        { QStringLiteral("pattern"), m_options.namePattern },
        { QStringLiteral("exifOnly"), m_options.exifOnly },
        { QStringLiteral("recursive"), m_options.recursive },
        { QStringLiteral("nameFilters"), QJsonArray::fromStringList(m_options.nameFilters) } };
    // The originals were kept: an undo removes the copies, never the input.
    if (m_options.copy)
        header.append({ QStringLiteral("copy"), true });
    // The clocks set right, as given: each shifted file's record holds both times.
    if (!m_options.cameraShifts.isEmpty())
        header.append(
            { QStringLiteral("shifts"), QJsonArray::fromStringList(m_options.cameraShifts) });
    // The sources of the leftovers this run may finish, for its undo.
    if (const QStringList others = m_recovery.otherInputs(); !others.isEmpty())
        header.append({ QStringLiteral("otherInputs"), QJsonArray::fromStringList(others) });
    if (m_journal->begin(QStringLiteral("sort"), header)) {
        m_context.journal = m_journal.get();
        m_plan.runId = m_journal->id();
        return true;
    }
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
                             .arg(FHPaths::shown(m_journal->path())));
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
    m_context.subFolderFormat = FHFolderModes::folderFormat(m_options.folders);

    FHIO inputGuard(m_options.inputDir, InputDirectoryRole);
    inputGuard.checkDirectory();
    m_context.setProgress(10);

    m_context.input = absolutePath(m_options.inputDir);
    m_context.output = absolutePath(m_options.outputDir);
    m_folders.addRoot(m_context.input);
    m_folders.addRoot(m_context.output);
    m_context.guard.setFolders(&m_folders);

    // A pattern that cannot name files would leave every photo under its
    // temporary name after pass 1: refuse it before anything is touched.
    if (const QString problem = namePatternProblem(
            m_options.namePattern, m_context.output, longestKeptSuffix(m_options.nameFilters));
        !problem.isEmpty()) {
        m_reporter.error(QStringLiteral("The naming pattern '%1' cannot be used: %2. Nothing was "
                                        "moved.")
                             .arg(m_options.namePattern, problem));
        return false;
    }

    // A real run creates the output only once its journal is begun, so that
    // nothing is left behind by a run that cannot keep one.
    const QFileInfo output(m_context.output);
    m_plan.outputCreated = !output.exists() && !output.isSymLink();
    if (!m_plan.outputCreated) {
        if (!output.isDir() || output.isSymLink())
            throw FHException(FHError::PathIsFile, FHError::PathIsFileFormat,
                FHPaths::shown(m_context.output), OutputDirectoryRole);
        return true;
    }
    // It would be created with its parents: that works only below a folder.
    QFileInfo ancestor(output.absolutePath());
    while (!ancestor.exists() && !ancestor.isRoot() && !ancestor.isSymLink())
        ancestor.setFile(ancestor.absolutePath());
    if (!ancestor.isDir())
        throw FHException(FHError::CreateDirectory, FHError::CreateDirectoryFormat,
            FHPaths::shown(m_context.output), OutputDirectoryRole);
    if (m_options.dryRun)
        m_view.folderCreated(m_context.output);
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
    if (m_context.subFolderFormat.isEmpty())
        chosen.insert(m_context.output);
    for (const FHPlanEntry &entry : qAsConst(m_plan.entries)) {
        if (entry.placed)
            chosen.insert(entry.targetFolder);
    }
    const auto &leftovers = m_recovery.interrupted().leftovers;
    for (auto it = leftovers.cbegin(); it != leftovers.cend(); ++it) {
        const QString folder = it.key().left(it.key().lastIndexOf(QLatin1Char('/')));
        if (folder == m_context.output || folder.startsWith(m_context.output + QLatin1Char('/')))
            chosen.insert(folder);
    }
    QStringList folders(chosen.cbegin(), chosen.cend());
    folders.sort();
    for (const QString &folder : qAsConst(folders)) {
        if (!m_view.createdFolders().contains(folder)) {
            if (const QString reason = m_folders.readFailure(folder); !reason.isEmpty())
                m_reporter.error(unreadableFolder(folder, reason, TemporaryNamesText));
        }
    }
    FHNamingPass pass({ m_view, m_context.guard, m_plan, m_context.journal, m_options.namePattern,
        m_options.nameFilters + FHFileTypes::sidecarNameFilters(),
        [this](qint64 done, qint64 total) {
            m_context.stepProgress(50, 100, done, total);
            emit m_context.engine.filesDone(FHSortEngine::Naming, done, total);
        },
        m_recovery.interrupted(), m_reporter, [this] { return m_context.stopRequested(); } });
    pass.run(folders);
}
