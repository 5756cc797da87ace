#include "engine/FHUndo.h"

#include "engine/FHException.h"
#include "engine/FHFolderTree.h"
#include "engine/FHIO.h"
#include "engine/FHLedger.h"
#include "engine/FHPaths.h"
#include "engine/FHReporter.h"
#include "engine/FHSafeMove.h"
#include "engine/platform/FHFolder.h"
#include "engine/platform/FHOutputLock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

const QString SortedFileRole = QStringLiteral("sorted file in output directory");
const QString InputFolderRole = QStringLiteral("input directory");

void split(const QString &path, QString &folder, QString &name)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    folder = path.left(slash);
    name = path.mid(slash + 1);
}

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')));
}

// Reports nothing: for a look at what an undo would do.
class SilentReporter : public FHReporter
{
public:
    void message(const QString &) override { }
    void error(const QString &) override { }
    void exception(const FHException &) override { }
};

} // namespace

// One undo, from the journal it reads to the plan it fills.
class FHUndoRun
{
public:
    FHUndoRun(FHIO &guard, FHReporter &reporter, bool dryRun, FHSortPlan &plan)
        : m_guard(guard)
        , m_reporter(reporter)
        , m_dryRun(dryRun)
        , m_plan(plan)
    {
    }
    ~FHUndoRun() { m_guard.setFolders(nullptr); }

    // Reads the run's journal; false, reported, when it cannot be undone.
    bool load(const QString &id, FHJournalStore::Run *undone);
    // Where every file is now, and whether it may go back.
    void locate();
    FHUndo::Outcome moveBack(FHJournal *journal, const std::function<void(int)> &progress);
    void removeFolders();
    // The files that went back, or whose copies went, are no longer the
    // library's.
    void forgetInLedger();
    const FHJournalStore::Run &sorted() const { return m_sorted; }

private:
    QString find(const FHJournalStore::File &file);
    QString findByIdentity(const FHJournalStore::File &file);
    void loadLater();
    void holdShots();
    void reportLeft();
    bool makeInputFolder(const QString &folder);
    // The copy of a run that kept the originals goes; the original stays.
    void removeCopy(FHPlanEntry &entry);

    FHIO &m_guard;
    FHReporter &m_reporter;
    bool m_dryRun;
    FHSortPlan &m_plan;
    FHJournalStore::Run m_sorted;
    FHFolderTree m_tree; // the run's folders: nothing else is touched
    QVector<int> m_fileOf; // the journal's index of each plan entry
    // A file whose move was cut short lies at both ends: the second name or
    // the copy at the original path is the file itself, and only the other
    // end has to go.
    QSet<int> m_cutShort;
    // A rename cut short where names cannot be given without replacing leaves
    // the temporary name as a second name of the file: it goes with the file.
    QHash<int, QString> m_secondNames;
    // What later sorts into the same output did with the temporary names they
    // found: a run that finished one records it under its own id.
    QHash<QString, QString> m_later; // temporary path -> final path
    bool m_laterLoaded = false;
    QHash<QString, QHash<QPair<quint64, quint64>, QString>> m_scanned; // folder -> file -> path
    QSet<QString> m_inputFolders; // there, or made again
    QSet<QString> m_failedFolders;
    bool m_copies = false; // the run kept the originals
};

bool FHUndoRun::load(const QString &id, FHJournalStore::Run *undone)
{
    QString error;
    const bool loaded = FHJournalStore::load(id, &m_sorted, &error);
    if (undone)
        *undone = m_sorted;
    if (!loaded) {
        m_reporter.error(QStringLiteral("Unable to undo: %1").arg(error));
        return false;
    }
    if (m_sorted.kind != QLatin1String("sort")) {
        m_reporter.error(
            QStringLiteral("Unable to undo '%1': it is an undo itself, not a sort").arg(id));
        return false;
    }
    for (const int line : qAsConst(m_sorted.damagedLines))
        m_reporter.message(QStringLiteral("Line %1 of the journal of run '%2' is damaged and was "
                                          "skipped; its files are looked for all the same")
                               .arg(line)
                               .arg(id));
    for (const QString &folder : m_sorted.folders()) {
        if (!folder.isEmpty())
            m_tree.addRoot(folder);
    }
    m_guard.setFolders(&m_tree);
    m_copies = m_sorted.header.value(QStringLiteral("copy")).toBool();
    m_plan.copy = m_copies;
    return true;
}

void FHUndoRun::loadLater()
{
    m_laterLoaded = true;
    for (const FHJournalStore::Run &listed : FHJournalStore::runs()) {
        if (listed.kind != QLatin1String("sort") || listed.id <= m_sorted.id
            || listed.output != m_sorted.output)
            continue;
        FHJournalStore::Run later;
        QString error;
        if (!FHJournalStore::load(listed.id, &later, &error))
            continue;
        for (const FHJournalStore::File &file : qAsConst(later.files)) {
            if (!file.temporary.isEmpty() && file.final != file.temporary)
                m_later.insert(file.temporary, file.final);
        }
    }
}

// Where the file is now: its last name, its temporary name, the name a later
// run gave that temporary name, or, where a line of the journal was lost, the
// file of the same identity in its folder.
QString FHUndoRun::find(const FHJournalStore::File &file)
{
    if (m_tree.entry(file.final).exists())
        return file.final;
    if (!file.temporary.isEmpty() && m_tree.entry(file.temporary).exists())
        return file.temporary;
    if (!m_laterLoaded)
        loadLater();
    QString path = file.temporary.isEmpty() ? file.final : file.temporary;
    for (int step = 0; step < 16 && m_later.contains(path); ++step) {
        path = m_later.value(path);
        if (m_tree.entry(path).exists())
            return path;
    }
    return m_sorted.damagedLines.isEmpty() ? QString() : findByIdentity(file);
}

QString FHUndoRun::findByIdentity(const FHJournalStore::File &file)
{
    for (const QString &folder : { folderOf(file.final), folderOf(file.temporary) }) {
        if (folder.isEmpty())
            continue;
        auto scanned = m_scanned.find(folder);
        if (scanned == m_scanned.end()) {
            scanned = m_scanned.insert(folder, {});
            int error = 0;
            const FHFolder dir = m_tree.folder(folder, &error);
            if (dir.isValid()) {
                dir.list([&](const QByteArray &raw, FHFolder::Kind) {
                    const QString name = FHFolder::decodeName(raw);
                    const FHFolder::Entry entry = dir.entry(name);
                    if (entry.kind == FHFolder::File)
                        scanned->insert({ entry.device, entry.inode }, folder + '/' + name);
                });
            }
        }
        const QString found = scanned->value({ file.identity.device, file.identity.inode });
        if (!found.isEmpty() && FHJournalStore::isSameFile(m_tree, found, file))
            return found;
    }
    return QString();
}

void FHUndoRun::locate()
{
    const auto &files = m_sorted.files;
    for (int i = 0; i < files.size(); ++i) {
        const FHJournalStore::File &file = files.at(i);
        FHPlanEntry entry;
        split(file.source, entry.targetFolder, entry.finalName);
        const QString where = find(file);
        if (where.isEmpty()) {
            // Back already (an undo cut short), or never moved (a run cut short).
            if (FHJournalStore::isSameFile(m_tree, file.source, file))
                continue;
            split(file.final, entry.sourceFolder, entry.sourceName);
            entry.reason = FHSkipReason::Missing;
        } else {
            split(where, entry.sourceFolder, entry.sourceName);
            const FHFolder::Entry at = m_tree.entry(where);
            const FHFolder::Entry second
                = file.temporary.isEmpty() ? FHFolder::Entry() : m_tree.entry(file.temporary);
            if (where != file.temporary && second.kind == FHFolder::File
                && second.device == at.device && second.inode == at.inode)
                m_secondNames.insert(m_plan.entries.size(), file.temporary);
            if (!FHJournalStore::isSameFile(m_tree, where, file)) {
                entry.reason = FHSkipReason::Changed;
            } else if (m_copies) {
                // The copy goes only while its original is still there, as it was.
                FHJournalStore::File original = file;
                original.hash.clear();
                if (!FHJournalStore::isSameFile(m_tree, file.source, original))
                    entry.reason = FHSkipReason::OriginalGone;
            } else if (m_tree.entry(file.source).exists()) {
                if (FHSafeMove::isCutMoveOf(m_tree, where, file.source))
                    m_cutShort.insert(m_plan.entries.size());
                else
                    entry.reason = FHSkipReason::OriginalTaken;
            }
        }
        entry.identity = file.identity;
        m_fileOf.append(i);
        m_plan.entries.append(entry);
    }
    holdShots();
    reportLeft();
}

// A shot goes back whole or stays whole: a file of it that cannot go back
// (changed, missing, its old place taken) keeps the others where they are.
void FHUndoRun::holdShots()
{
    QHash<QString, int> holder; // group -> the plan entry that holds it
    for (int i = 0; i < m_plan.entries.size(); ++i) {
        const QString &group = m_sorted.files.at(m_fileOf.at(i)).group;
        if (!group.isEmpty() && m_plan.entries.at(i).reason != FHSkipReason::None
            && !holder.contains(group))
            holder.insert(group, i);
    }
    for (int i = 0; i < m_plan.entries.size(); ++i) {
        const QString &group = m_sorted.files.at(m_fileOf.at(i)).group;
        FHPlanEntry &entry = m_plan.entries[i];
        if (entry.reason == FHSkipReason::None && holder.contains(group)) {
            entry.reason = FHSkipReason::ShotHeld;
            entry.heldBy = holder.value(group);
        }
    }
}

void FHUndoRun::reportLeft()
{
    for (const FHPlanEntry &entry : qAsConst(m_plan.entries)) {
        if (entry.reason == FHSkipReason::Changed)
            m_reporter.message(QStringLiteral("'%1' changed since it was sorted; it stays where "
                                              "it is")
                                   .arg(FHPaths::shown(entry.sourcePath())));
        else if (entry.reason == FHSkipReason::OriginalTaken)
            m_reporter.message(
                QStringLiteral("'%1' stays where it is: its original path '%2' is "
                               "taken")
                    .arg(FHPaths::shown(entry.sourcePath()), FHPaths::shown(entry.finalPath())));
        else if (entry.reason == FHSkipReason::Missing)
            m_reporter.message(
                QStringLiteral("'%1' is no longer where the sort put it; it cannot "
                               "go back to '%2'")
                    .arg(FHPaths::shown(entry.sourcePath()), FHPaths::shown(entry.finalPath())));
        else if (entry.reason == FHSkipReason::ShotHeld)
            m_reporter.message(
                QStringLiteral("'%1' stays where it is: %2")
                    .arg(FHPaths::shown(entry.sourcePath()), shotHeldText(m_plan, entry)));
        else if (entry.reason == FHSkipReason::OriginalGone)
            m_reporter.message(
                QStringLiteral("'%1' stays: its original '%2' is no longer there "
                               "as it was, so this copy may be the only one")
                    .arg(FHPaths::shown(entry.sourcePath()), FHPaths::shown(entry.finalPath())));
    }
}

// Input folders removed since the sort come back, made one step at a time
// beneath the input: a link put where one was is refused, not followed.
bool FHUndoRun::makeInputFolder(const QString &folder)
{
    if (m_inputFolders.contains(folder))
        return true;
    if (m_failedFolders.contains(folder))
        return false;
    try {
        FHIO guard(folder, InputFolderRole);
        guard.setFolders(&m_tree);
        guard.makeDirectory();
    } catch (const FHException &e) {
        m_reporter.exception(e);
        m_failedFolders.insert(folder);
        return false;
    }
    m_inputFolders.insert(folder);
    return true;
}

FHUndo::Outcome FHUndoRun::moveBack(FHJournal *journal, const std::function<void(int)> &progress)
{
    auto &entries = m_plan.entries;
    const int total = int(std::count_if(entries.cbegin(), entries.cend(),
        [](const FHPlanEntry &e) { return e.reason == FHSkipReason::None; }));
    int done = 0;
    try {
        for (int first = 0; first < entries.size();) {
            // Back in batches: written to the journal, then moved.
            int last = first;
            for (int files = 0; last < entries.size() && files < FHJournal::BatchFiles; ++last) {
                const FHPlanEntry &entry = entries.at(last);
                if (entry.reason != FHSkipReason::None || m_dryRun)
                    continue;
                FHJournalStore::File back = m_sorted.files.at(m_fileOf.at(last));
                back.final = back.source;
                back.source = entry.sourcePath();
                back.temporary.clear();
                journal->add(FHJournal::fileRecord(back));
                ++files;
            }
            if (!m_dryRun && !journal->write()) {
                m_reporter.error(QStringLiteral("Unable to keep the journal of the undo: %1. "
                                                "The undo stopped; running it again finishes it.")
                                     .arg(journal->error()));
                return FHUndo::Failed;
            }
            for (; first < last; ++first) {
                FHPlanEntry &entry = entries[first];
                if (entry.reason != FHSkipReason::None)
                    continue;
                m_guard.setRole(SortedFileRole);
                m_guard.setCurrentFile(entry.sourcePath());
                if (!m_dryRun && m_copies) {
                    removeCopy(entry);
                    if (entry.reason != FHSkipReason::None)
                        continue;
                } else if (!m_dryRun && m_cutShort.contains(first)) {
                    if (const int error = FHSafeMove::finishCutMove(
                            m_tree, entry.sourcePath(), entry.finalPath())) {
                        FHException e(FHError::Rename, FHError::RenameFormat,
                            FHPaths::shown(entry.sourcePath()), FHPaths::shown(entry.finalPath()),
                            SortedFileRole);
                        e.setSystemReason(FHFolderTree::errorText(error));
                        throw e;
                    }
                } else if (!m_dryRun) {
                    if (!makeInputFolder(entry.targetFolder)) {
                        entry.reason = FHSkipReason::OriginalTaken;
                        continue;
                    }
                    m_guard.renameTo(entry.finalPath());
                    const QString second = m_secondNames.value(first);
                    const FHFolder::Entry now = m_tree.entry(entry.finalPath());
                    const FHFolder::Entry other
                        = second.isEmpty() ? FHFolder::Entry() : m_tree.entry(second);
                    if (other.kind == FHFolder::File && other.device == now.device
                        && other.inode == now.inode)
                        m_tree.remove(second);
                }
                entry.placed = true;
                progress(20 + 80 * ++done / qMax(total, 1));
            }
        }
    } catch (const FHException &e) {
        m_reporter.exception(e);
        return FHUndo::Failed;
    }
    return FHUndo::Completed;
}

void FHUndoRun::removeCopy(FHPlanEntry &entry)
{
    if (const int error = m_tree.remove(entry.sourcePath())) {
        m_reporter.message(
            QStringLiteral("Unable to remove the copy '%1' (%2); it stays")
                .arg(FHPaths::shown(entry.sourcePath()), FHFolderTree::errorText(error)));
        entry.reason = FHSkipReason::Changed;
    }
}

// The folders the sort made, where nothing is left in them but what a copy
// cut short left behind.
void FHUndoRun::removeFolders()
{
    QSet<QString> touched(m_sorted.createdFolders.cbegin(), m_sorted.createdFolders.cend());
    touched.insert(m_sorted.output);
    for (const FHPlanEntry &entry : qAsConst(m_plan.entries))
        touched << entry.sourceFolder << entry.targetFolder;
    for (const QString &folder : qAsConst(touched)) {
        int error = 0;
        FHSafeMove::removeStalePartialCopies(m_tree.folder(folder, &error));
    }
    QStringList folders = m_sorted.createdFolders;
    std::sort(folders.begin(), folders.end(),
        [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &folder : qAsConst(folders))
        m_tree.removeFolder(folder);
    if (m_sorted.header.value(QStringLiteral("outputCreated")).toBool()) {
        FHLedger::removeEmpty(m_sorted.output);
        m_tree.removeFolder(m_sorted.output);
    }
}

void FHUndoRun::forgetInLedger()
{
    if (!QFileInfo::exists(FHLedger::pathOf(m_sorted.output)))
        return;
    FHLedger ledger;
    if (!ledger.open(m_sorted.output, FHLedger::Write)) {
        m_reporter.message(ledger.error());
        return;
    }
    // Every file of the run but those that stay, this time or before, when
    // an undo cut short took them back.
    QSet<int> stay;
    for (int i = 0; i < m_plan.entries.size(); ++i) {
        if (!m_plan.entries.at(i).placed)
            stay.insert(m_fileOf.at(i));
    }
    QStringList paths;
    const QString prefix = m_sorted.output + QLatin1Char('/');
    for (int i = 0; i < m_sorted.files.size(); ++i) {
        const QString &final = m_sorted.files.at(i).final;
        if (!stay.contains(i) && final.startsWith(prefix))
            paths << final.mid(prefix.size());
    }
    if (!ledger.removePaths(paths))
        m_reporter.message(ledger.error());
}

FHUndo::FHUndo(FHIO *fileGuard, FHReporter *reporter, QObject *parent)
    : QObject(parent)
    , m_fileGuard(fileGuard)
    , m_reporter(reporter)
{
}

QString FHUndo::lastUndoableRun()
{
    for (const FHJournalStore::Run &run : FHJournalStore::runs()) {
        if (run.kind != QLatin1String("sort") || !run.undoneBy.isEmpty() || run.fileCount <= 0)
            continue;
        if (run.partlyUndoneBy.isEmpty())
            return run.id;
        // A run undone in part is offered again once something of it can go
        // back; until then the runs before it can be undone.
        FHIO guard(QString(), SortedFileRole);
        SilentReporter silent;
        FHSortPlan plan;
        FHUndoRun look(guard, silent, true, plan);
        if (look.load(run.id, nullptr)) {
            look.locate();
            if (std::any_of(plan.entries.cbegin(), plan.entries.cend(),
                    [](const FHPlanEntry &e) { return e.reason == FHSkipReason::None; }))
                return run.id;
        }
    }
    return QString();
}

FHUndo::Outcome FHUndo::run(
    const QString &id, bool dryRun, FHSortPlan &plan, FHJournalStore::Run *undone)
{
    QElapsedTimer timer;
    timer.start();
    plan = FHSortPlan();
    FHUndoRun undo(*m_fileGuard, *m_reporter, dryRun, plan);
    if (!undo.load(id, undone))
        return Failed;
    const FHJournalStore::Run &sorted = undo.sorted();
    emit progress(10);

    // Another sort into the same folder would move the files away under us.
    FHOutputLock lock;
    if (!dryRun && QFileInfo(sorted.output).isDir() && !lock.tryLock(sorted.output)) {
        m_reporter->error(QStringLiteral("Another sort into '%1' is running (%2); nothing was "
                                         "moved back. Try again once it has finished.")
                              .arg(FHPaths::shown(sorted.output), lock.holder()));
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
    undo.locate();
    emit progress(20);
    const Outcome outcome = undo.moveBack(&journal, [this](int value) { emit progress(value); });
    if (!dryRun)
        undo.forgetInLedger();
    // On Windows the lock is a file in the output, which would keep the
    // output from being removed.
    lock.unlock();
    if (!dryRun)
        undo.removeFolders();

    bool whole = true;
    for (FHPlanEntry &entry : plan.entries) {
        plan.movedCount += entry.placed ? 1 : 0;
        plan.notMovedCount += entry.reason != FHSkipReason::None ? 1 : 0;
        whole = whole && entry.reason == FHSkipReason::None;
    }
    plan.elapsedMs = timer.elapsed();
    if (!dryRun) {
        journal.finish(
            outcome == Completed ? QStringLiteral("completed") : QStringLiteral("failed"),
            plan.movedCount);
        // Files that stayed for a reason of the user's leave the run undone in
        // part: a later undo finishes it once the way is clear.
        QString error;
        if (outcome == Completed && !FHJournalStore::markUndone(id, journal.id(), !whole, &error))
            m_reporter->message(error);
    }
    emit progress(100);
    return outcome;
}
