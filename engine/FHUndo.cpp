#include "engine/FHUndo.h"

#include "engine/FHException.h"
#include "engine/FHIO.h"
#include "engine/FHOutputLock.h"
#include "engine/FHReporter.h"
#include "engine/FHSafeMove.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace {

const QString SortedFileRole = QStringLiteral("sorted file in output directory");

bool exists(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool sameInode(const QString &a, const QString &b)
{
    struct stat left;
    struct stat right;
    return ::lstat(QFile::encodeName(a).constData(), &left) == 0
        && ::lstat(QFile::encodeName(b).constData(), &right) == 0 && S_ISREG(left.st_mode)
        && left.st_dev == right.st_dev && left.st_ino == right.st_ino;
}

void split(const QString &path, QString &folder, QString &name)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    folder = path.left(slash);
    name = path.mid(slash + 1);
}

} // namespace

FHUndo::FHUndo(FHIO *fileGuard, FHReporter *reporter, QObject *parent)
    : QObject(parent)
    , m_fileGuard(fileGuard)
    , m_reporter(reporter)
{
}

QString FHUndo::lastUndoableRun()
{
    for (const FHJournal::Run &run : FHJournal::runs()) {
        if (run.kind == QLatin1String("sort") && run.undoneBy.isEmpty() && run.fileCount > 0)
            return run.id;
    }
    return QString();
}

FHUndo::Outcome FHUndo::run(
    const QString &id, bool dryRun, FHSortPlan &plan, FHJournal::Run *undone)
{
    QElapsedTimer timer;
    timer.start();
    plan = FHSortPlan();
    FHJournal::Run sorted;
    QString error;
    const bool loaded = FHJournal::load(id, &sorted, &error);
    if (undone)
        *undone = sorted;
    if (!loaded) {
        m_reporter->error(QStringLiteral("Unable to undo: %1").arg(error));
        return Failed;
    }
    if (sorted.kind != QLatin1String("sort")) {
        m_reporter->error(
            QStringLiteral("Unable to undo '%1': it is an undo itself, not a sort").arg(id));
        return Failed;
    }
    emit progress(10);

    // Another sort into the same folder would move the files away under us.
    FHOutputLock lock;
    if (!dryRun && QFileInfo(sorted.output).isDir() && !lock.tryLock(sorted.output)) {
        m_reporter->error(QStringLiteral("Another sort into '%1' is running (%2); nothing was "
                                         "moved back. Try again once it has finished.")
                              .arg(sorted.output, lock.holder()));
        return Failed;
    }
    FHJournal journal;
    if (!dryRun
        && !journal.begin(QStringLiteral("undo"),
            { { QStringLiteral("undoes"), id }, { QStringLiteral("input"), sorted.input },
                { QStringLiteral("output"), sorted.output } })) {
        m_reporter->error(QStringLiteral("Unable to keep the journal of the undo: %1. Nothing was "
                                         "moved back.")
                              .arg(journal.error()));
        return Failed;
    }

    // Where every file is now, and whether it may go back. A file whose move
    // was cut short lies at both ends: the second name or the copy at the
    // original path is the file itself, and only the other end has to go.
    QSet<int> cutShort;
    // A rename cut short where names cannot be given without replacing leaves
    // the temporary name as a second name of the file: it goes with the file.
    QHash<int, QString> secondNames;
    for (int i = 0; i < sorted.files.size(); ++i) {
        const FHJournal::File &file = sorted.files.at(i);
        FHPlanEntry entry;
        split(file.source, entry.targetFolder, entry.finalName);
        QString where;
        if (exists(file.final))
            where = file.final;
        else if (!file.temporary.isEmpty() && exists(file.temporary))
            where = file.temporary;
        if (where.isEmpty()) {
            // Back already (an undo cut short), or never moved (a run cut short).
            if (FHJournal::isSameFile(file.source, file, true))
                continue;
            split(file.final, entry.sourceFolder, entry.sourceName);
            entry.reason = FHSkipReason::Missing;
        } else {
            split(where, entry.sourceFolder, entry.sourceName);
            if (where != file.temporary && !file.temporary.isEmpty()
                && sameInode(where, file.temporary))
                secondNames.insert(plan.entries.size(), file.temporary);
            if (!FHJournal::isSameFile(where, file))
                entry.reason = FHSkipReason::Changed;
            else if (exists(file.source)) {
                if (FHSafeMove::isCutMoveOf(where, file.source))
                    cutShort.insert(plan.entries.size());
                else
                    entry.reason = FHSkipReason::OriginalTaken;
            }
        }
        entry.identity = { file.device, file.inode, file.size, file.modifiedNs };
        entry.group = i; // the journal's index, until the shots are known
        plan.entries.append(entry);
    }
    // A shot goes back whole or not at all; a file gone from it holds nothing up.
    QHash<QString, FHSkipReason> blocked;
    for (const FHPlanEntry &entry : qAsConst(plan.entries)) {
        const FHJournal::File &file = sorted.files.at(entry.group);
        if (!file.group.isEmpty() && entry.reason != FHSkipReason::None
            && entry.reason != FHSkipReason::Missing && !blocked.contains(file.group))
            blocked.insert(file.group, entry.reason);
    }
    for (FHPlanEntry &entry : plan.entries) {
        const FHJournal::File &file = sorted.files.at(entry.group);
        if (entry.reason == FHSkipReason::None && blocked.contains(file.group))
            entry.reason = blocked.value(file.group);
    }
    for (const FHPlanEntry &entry : qAsConst(plan.entries)) {
        if (entry.reason == FHSkipReason::Changed)
            m_reporter->message(QStringLiteral("'%1' changed since it was sorted; it stays where "
                                               "it is")
                                    .arg(entry.sourcePath()));
        else if (entry.reason == FHSkipReason::OriginalTaken)
            m_reporter->message(QStringLiteral("'%1' stays where it is: its original path '%2' "
                                               "is taken")
                                    .arg(entry.sourcePath(), entry.finalPath()));
        else if (entry.reason == FHSkipReason::Missing)
            m_reporter->message(QStringLiteral("'%1' is no longer where the sort put it; it cannot "
                                               "go back to '%2'")
                                    .arg(entry.sourcePath(), entry.finalPath()));
    }
    emit progress(20);

    // Back in batches: written to the journal, then moved.
    Outcome outcome = Completed;
    QSet<QString> inputFolders; // there, or made again
    try {
        int done = 0;
        const int total = int(std::count_if(plan.entries.cbegin(), plan.entries.cend(),
            [](const FHPlanEntry &e) { return e.reason == FHSkipReason::None; }));
        for (int first = 0; first < plan.entries.size();) {
            int last = first;
            for (int files = 0; last < plan.entries.size() && files < FHJournal::BatchFiles;
                 ++last) {
                const FHPlanEntry &entry = plan.entries.at(last);
                if (entry.reason != FHSkipReason::None || dryRun)
                    continue;
                const FHJournal::File &file = sorted.files.at(entry.group);
                FHJournal::File back = file;
                back.source = entry.sourcePath();
                back.temporary.clear();
                back.final = file.source;
                journal.add(FHJournal::fileRecord(back));
                ++files;
            }
            if (!dryRun && !journal.write()) {
                m_reporter->error(QStringLiteral("Unable to keep the journal of the undo: %1. "
                                                 "The undo stopped; running it again finishes it.")
                                      .arg(journal.error()));
                outcome = Failed;
                break;
            }
            for (; first < last; ++first) {
                FHPlanEntry &entry = plan.entries[first];
                if (entry.reason != FHSkipReason::None)
                    continue;
                m_fileGuard->setRole(SortedFileRole);
                m_fileGuard->setCurrentFile(entry.sourcePath());
                if (!dryRun && cutShort.contains(first)) {
                    if (const int error
                        = FHSafeMove::finishCutMove(entry.sourcePath(), entry.finalPath())) {
                        FHException e(FHError::Rename, FHError::RenameFormat, entry.sourcePath(),
                            entry.finalPath(), SortedFileRole);
                        e.setSystemReason(QString::fromLocal8Bit(std::strerror(error)));
                        throw e;
                    }
                } else if (!dryRun) {
                    // Input folders removed since the sort come back.
                    if (!inputFolders.contains(entry.targetFolder)) {
                        FHIO(entry.targetFolder, QStringLiteral("input directory")).makeDirectory();
                        inputFolders.insert(entry.targetFolder);
                    }
                    m_fileGuard->renameTo(entry.finalPath());
                    const QString second = secondNames.value(first);
                    if (!second.isEmpty() && sameInode(entry.finalPath(), second))
                        QFile::remove(second);
                }
                entry.placed = true;
                emit progress(20 + 80 * ++done / qMax(total, 1));
            }
        }
    } catch (const FHException &e) {
        m_reporter->exception(e);
        outcome = Failed;
    }

    // The folders the sort made, where nothing is left in them but what a
    // copy cut short left behind.
    if (!dryRun) {
        QSet<QString> touched(sorted.createdFolders.cbegin(), sorted.createdFolders.cend());
        touched.insert(sorted.output);
        for (const FHPlanEntry &entry : qAsConst(plan.entries))
            touched << entry.sourceFolder << entry.targetFolder;
        for (const QString &folder : qAsConst(touched))
            FHSafeMove::removeStalePartialCopies(folder);
        QStringList folders = sorted.createdFolders;
        std::sort(folders.begin(), folders.end(),
            [](const QString &a, const QString &b) { return a.size() > b.size(); });
        for (const QString &folder : qAsConst(folders))
            QDir().rmdir(folder);
        if (sorted.header.value(QStringLiteral("outputCreated")).toBool())
            QDir().rmdir(sorted.output);
    }
    for (FHPlanEntry &entry : plan.entries) {
        entry.group = -1;
        plan.movedCount += entry.placed ? 1 : 0;
        plan.notMovedCount += entry.reason != FHSkipReason::None ? 1 : 0;
    }
    plan.elapsedMs = timer.elapsed();
    if (!dryRun) {
        journal.finish(
            outcome == Completed ? QStringLiteral("completed") : QStringLiteral("failed"),
            plan.movedCount);
        if (outcome == Completed && !FHJournal::markUndone(id, journal.id(), &error))
            m_reporter->message(error);
    }
    emit progress(100);
    return outcome;
}
