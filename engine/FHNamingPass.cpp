#include "engine/FHNamingPass.h"

#include "engine/FHException.h"
#include "engine/FHFileTypes.h"
#include "engine/FHFolderTree.h"
#include "engine/FHFolderView.h"
#include "engine/FHIO.h"
#include "engine/FHJournal.h"
#include "engine/FHNaming.h"
#include "engine/FHPaths.h"
#include "engine/FHReporter.h"
#include "engine/FHSafeMove.h"
#include "engine/FHSortPlan.h"

#include <QFile>
#include <QRegularExpression>

#include <stdexcept>

namespace {

const QString TemporaryFileRole
    = QStringLiteral("temporary file in sub-directory of output directory");

QString keptSuffixOf(const QString &path)
{
    return FHFileTypes::keptSuffix(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

} // namespace

FHNamingPass::FHNamingPass(const Context &context)
    : m_context(context)
{
}

void FHNamingPass::run(const QStringList &folders)
{
    // Every folder's listing is taken before any name changes, so that progress
    // can follow the files done.
    QVector<QStringList> listings;
    qint64 total = 0;
    for (const QString &folder : folders) {
        listings.append(m_context.view.list(folder, m_context.filters));
        total += listings.last().size();
    }
    // The plan entries placed in each folder, from one look at the plan rather
    // than one per folder. Each folder's index of temporary names is made when
    // its turn comes, so that only one is held at a time.
    QHash<QString, QVector<int>> placedIn;
    for (int i = 0; i < m_context.plan.entries.size(); ++i) {
        const FHPlanEntry &entry = m_context.plan.entries.at(i);
        if (entry.placed)
            placedIn[entry.targetFolder].append(i);
    }
    qint64 done = 0;
    for (int f = 0; f < folders.size(); ++f) {
        const QVector<int> indexes = placedIn.take(folders.at(f));
        QHash<QString, int> placed;
        placed.reserve(indexes.size());
        for (const int i : indexes)
            placed.insert(m_context.plan.entries.at(i).temporaryName, i);
        nameFolder(folders.at(f), listings.at(f), placed, done, total);
    }
}

void FHNamingPass::nameFolder(const QString &folder, QStringList entries,
    const QHash<QString, int> &placed, qint64 &done, qint64 total)
{
    entries.sort(Qt::CaseSensitive);
    removeSecondNames(folder, entries, placed);

    // Files sharing a stem (001.CR2, 001.JPG, 001.CR2.xmp) are one shot and
    // hold one position, at the place of the first of them in the listing.
    QVector<Shot> shots;
    QHash<QString, int> shotOf;
    for (const QString &entry : qAsConst(entries)) {
        const QString stem = stemOf(entry);
        const auto found = shotOf.constFind(stem);
        if (found != shotOf.constEnd()) {
            shots[*found].files << entry;
            continue;
        }
        shotOf.insert(stem, shots.size());
        Shot shot;
        shot.files << entry;
        shots.append(shot);
    }
    // A number is held by any file whose stem it is, so that no shot ever
    // shares a number with another.
    m_bases = QSet<QString>(shotOf.keyBegin(), shotOf.keyEnd());
    shotOf.clear();
    // However many names are taken, a free one lies within this many numbers.
    m_folderEntries = m_context.view.entryCount(folder);
    int position = 0;
    int lastNumber = 0;
    for (int first = 0; first < shots.size();) {
        // A batch of shots is chosen, written to the journal, then named.
        QVector<Shot> batch;
        int files = 0;
        while (first < shots.size() && files < FHJournal::BatchFiles) {
            Shot &shot = shots[first++];
            if (choose(folder, shot, ++position, lastNumber))
                --position;
            files += shot.files.size();
            batch.append(std::move(shot));
        }
        if (FHJournal *journal = m_context.journal) {
            for (const Shot &shot : qAsConst(batch)) {
                for (int k = 0; k < shot.targets.size(); ++k) {
                    const QString &file = shot.files.at(k);
                    if (!placed.contains(file.mid(folder.size() + 1)))
                        journal->add(FHJournal::fileRecord(leftoverRecord(file)));
                    journal->add(FHJournal::namedRecord(file, shot.targets.at(k), shot.number));
                }
            }
            if (!journal->write())
                throw std::runtime_error(
                    QStringLiteral("Unable to keep the journal: %1. The run stopped; the photos "
                                   "moved so far keep their temporary names until the next run")
                        .arg(journal->error())
                        .toStdString());
        }
        for (const Shot &shot : qAsConst(batch)) {
            make(folder, shot, placed);
            for (int k = 0; k < shot.files.size(); ++k)
                m_context.step(++done, total);
        }
        m_context.view.commit();
    }
}

// The position in the listing, or the next number after it under which every
// file of the shot is free, so that numbers keep ascending within the folder.
bool FHNamingPass::choose(const QString &folder, Shot &shot, int position, int &lastNumber)
{
    const QString temporaryBase = stemOf(shot.files.first());
    const QRegularExpressionMatch match = temporaryNamePattern().match(temporaryBase);
    if (!match.hasMatch())
        return false;
    const bool joined = resume(folder, shot, lastNumber);
    int parts[6];
    for (int group = 1; group <= 6; ++group)
        parts[group - 1] = match.capturedRef(group).toInt(nullptr, 10);

    // Each number gives another name, and each name taken is a file of the
    // folder: the search ends within as many numbers as the folder holds.
    const int from = qMax(position, lastNumber + 1);
    const qint64 last = from + qint64(m_bases.size()) + m_folderEntries + shot.files.size();
    for (int number = from; shot.targets.isEmpty(); ++number) {
        if (number > last || ((number - from) % 4096 == 4095 && m_context.stopRequested())) {
            throw std::runtime_error(
                QStringLiteral("No free name for '%1' in '%2' after trying the numbers %3 to %4. "
                               "The photos in it that have no final name yet keep their "
                               "temporary names")
                    .arg(FHPaths::shown(shot.files.first()), FHPaths::shown(folder))
                    .arg(from)
                    .arg(number)
                    .toStdString());
        }
        QString name = m_context.pattern;
        expandNamePattern(name, number, parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
        if (m_bases.contains(name))
            continue;
        QStringList targets;
        bool free = true;
        for (const QString &file : qAsConst(shot.files)) {
            targets << folder + QLatin1Char('/') + name + keptSuffixOf(file);
            free = free && (targets.last() == file || !m_context.view.taken(targets.last()));
        }
        if (free) {
            shot.targets = targets;
            shot.number = number;
            lastNumber = number;
        }
    }
    m_bases.remove(temporaryBase);
    m_bases.insert(stemOf(shot.targets.first()));
    for (int k = 0; k < shot.files.size(); ++k)
        m_context.view.moved(shot.files.at(k), shot.targets.at(k));
    return joined;
}

// A shot that a crash cut in two while it was named: the files named before
// it hold their number; the rest take the names chosen for them then.
bool FHNamingPass::resume(const QString &folder, Shot &shot, int &lastNumber)
{
    const auto &named = m_context.interrupted.named;
    QStringList targets;
    int number = 0;
    for (const QString &file : qAsConst(shot.files)) {
        const auto meant = named.constFind(file);
        if (meant == named.constEnd() || meant->final.left(meant->final.lastIndexOf('/')) != folder
            || (number && meant->number != number) || m_context.view.taken(meant->final))
            return false;
        number = meant->number;
        targets << meant->final;
    }
    // Only where files of this very shot hold that number: those the cut run
    // named, and still the files it named.
    const QString base = stemOf(targets.first());
    const auto &finals = m_context.interrupted.finals;
    bool holds = false;
    for (auto it = finals.constBegin(); it != finals.constEnd() && !holds; ++it) {
        holds = it->number == number && stemOf(it.key()) == base
            && it.key().left(it.key().lastIndexOf('/')) == folder
            && FHJournalStore::isSameFile(m_context.view.tree(), it.key(), *it);
    }
    if (!holds)
        return false;
    shot.targets = targets;
    shot.number = number;
    lastNumber = qMax(lastNumber, number);
    return true;
}

// A leftover this run names is recorded as a file of its own, so that an undo
// finds it: with the source its journal gives it, or, where no journal knows
// it, its temporary name itself, which the undo gives back.
FHJournalStore::File FHNamingPass::leftoverRecord(const QString &path) const
{
    const auto left = m_context.interrupted.leftovers.constFind(path);
    if (left != m_context.interrupted.leftovers.constEnd())
        return *left;
    FHJournalStore::File file;
    file.source = path;
    file.temporary = path;
    file.identity = FHFileIdentity::of(m_context.view.tree(), path);
    return file;
}

void FHNamingPass::make(const QString &folder, const Shot &shot, const QHash<QString, int> &placed)
{
    FHIO &guard = m_context.guard;
    for (int k = 0; k < shot.files.size(); ++k) {
        guard.setCurrentFile(shot.files.at(k));
        guard.setRole(TemporaryFileRole);
        if (shot.targets.isEmpty())
            continue;
        if (!m_context.view.simulates()) {
            try {
                guard.renameTo(shot.targets.at(k));
            } catch (const FHException &) {
                // The shot keeps one number: the files already named get their
                // temporary names back, for the next run to finish.
                for (int back = 0; back < k; ++back) {
                    if (FHSafeMove::moveFile(
                            guard.folders(), shot.targets.at(back), shot.files.at(back))
                        != 0)
                        m_context.reporter.message(
                            QStringLiteral("'%1' keeps its final name; the next run gives the "
                                           "rest of its shot the same number")
                                .arg(FHPaths::shown(shot.targets.at(back))));
                }
                // Where each file of the shot is, by the path it came from.
                for (int at = 0; at < shot.files.size(); ++at) {
                    const QString now = m_context.view.tree().entry(shot.files.at(at)).exists()
                        ? shot.files.at(at)
                        : shot.targets.at(at);
                    const auto own = placed.constFind(shot.files.at(at).mid(folder.size() + 1));
                    const QString source = own != placed.constEnd()
                        ? m_context.plan.entries.at(*own).sourcePath()
                        : m_context.interrupted.leftovers.value(shot.files.at(at)).source;
                    if (!source.isEmpty())
                        m_context.reporter.message(
                            QStringLiteral("'%1' is at '%2' until the next run names it")
                                .arg(FHPaths::shown(source), FHPaths::shown(now)));
                }
                m_context.reporter.message(QStringLiteral("The photos in '%1' that have no final "
                                                          "name yet keep their temporary names "
                                                          "until the next run")
                                               .arg(FHPaths::shown(folder)));
                throw;
            }
        } else {
            // Nothing moves: the file is announced under the name it would
            // get, as a sort announces it once named.
            guard.setCurrentFile(shot.targets.at(k));
        }
        const auto own = placed.constFind(shot.files.at(k).mid(folder.size() + 1));
        if (own != placed.constEnd())
            m_context.plan.entries[*own].finalName = shot.targets.at(k).mid(folder.size() + 1);
        else
            m_context.plan.leftovers.append({ shot.files.at(k), shot.targets.at(k) });
    }
}

// A rename cut short on a file system without the no-replace flag can leave a
// temporary name as a second name of the file it was giving its final name.
// That name is removed, so that the photo is not numbered twice, but only
// where a journal says so: a second name of a photo that the user made is a
// name of the user's, and is sorted.
void FHNamingPass::removeSecondNames(
    const QString &folder, QStringList &entries, const QHash<QString, int> &placed)
{
    const auto &named = m_context.interrupted.named;
    if (named.isEmpty())
        return;
    const FHFolderTree &tree = m_context.view.tree();
    QList<int> removed;
    for (int i = 0; i < entries.size(); ++i) {
        const QString &path = entries.at(i);
        const auto cut = named.constFind(path);
        if (cut == named.constEnd() || placed.contains(path.mid(folder.size() + 1))
            || cut->final.left(cut->final.lastIndexOf(QLatin1Char('/'))) != folder)
            continue;
        const FHFolder::Entry second = tree.entry(path);
        const FHFolder::Entry final = tree.entry(cut->final);
        if (second.kind != FHFolder::File || final.kind != FHFolder::File
            || second.device != final.device || second.inode != final.inode
            || !entries.contains(cut->final))
            continue;
        if (m_context.view.simulates()) {
            m_context.view.removed(path);
            removed.prepend(i);
        } else if (tree.remove(path) == 0) {
            removed.prepend(i);
        }
    }
    for (const int i : qAsConst(removed))
        entries.removeAt(i);
}
