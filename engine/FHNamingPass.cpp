#include "engine/FHNamingPass.h"

#include "engine/FHException.h"
#include "engine/FHFolderView.h"
#include "engine/FHIO.h"
#include "engine/FHJournal.h"
#include "engine/FHNaming.h"
#include "engine/FHReporter.h"
#include "engine/FHSafeMove.h"
#include "engine/FHSortPlan.h"

#include <QFile>
#include <QRegularExpression>

#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString TemporaryFileRole
    = QStringLiteral("temporary file in sub-directory of output directory");

// What follows the first dot of the file name, as QFileInfo's completeSuffix()
// gives it, without asking the disk.
QString completeSuffixOf(const QString &path)
{
    const int dot = path.indexOf(QLatin1Char('.'), path.lastIndexOf(QLatin1Char('/')) + 1);
    return dot < 0 ? QString() : path.mid(dot + 1);
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

    // A number is held by any file whose name begins with it, so that no shot
    // ever shares a number with another.
    m_bases.clear();
    for (const QString &entry : qAsConst(entries))
        m_bases.insert(baseNameOf(entry).toString());
    int position = 0;
    int lastNumber = 0;
    for (int first = 0; first < entries.size();) {
        // A batch of shots is chosen, written to the journal, then named.
        QVector<Shot> batch;
        int files = 0;
        while (first < entries.size() && files < FHJournal::BatchFiles) {
            // Files sharing a base name (001.CR2, 001.JPG, 001.xmp) hold one
            // position; sorted by path they lie side by side.
            const QStringRef base = baseNameOf(entries.at(first));
            int end = first + 1;
            while (end < entries.size() && baseNameOf(entries.at(end)) == base)
                ++end;
            Shot shot;
            shot.files = entries.mid(first, end - first);
            if (choose(folder, shot, ++position, lastNumber))
                --position;
            files += shot.files.size();
            batch.append(shot);
            first = end;
        }
        if (FHJournal *journal = m_context.journal) {
            for (const Shot &shot : qAsConst(batch)) {
                for (int k = 0; k < shot.targets.size(); ++k) {
                    const QString &file = shot.files.at(k);
                    const auto left = m_context.interrupted.leftovers.constFind(file);
                    if (!placed.contains(file.mid(folder.size() + 1))
                        && left != m_context.interrupted.leftovers.constEnd())
                        journal->add(FHJournal::fileRecord(*left));
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
    const QString temporaryBase = baseNameOf(shot.files.first()).toString();
    const QRegularExpressionMatch match = temporaryNamePattern().match(temporaryBase);
    if (!match.hasMatch())
        return false;
    const bool joined = resume(folder, shot, lastNumber);
    int parts[6];
    for (int group = 1; group <= 6; ++group)
        parts[group - 1] = match.capturedRef(group).toInt(nullptr, 10);

    for (int number = qMax(position, lastNumber + 1); shot.targets.isEmpty(); ++number) {
        QString name = m_context.pattern;
        expandNamePattern(name, number, parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
        if (m_bases.contains(name.left(name.indexOf(QLatin1Char('.')))))
            continue;
        QStringList targets;
        bool free = true;
        for (const QString &file : qAsConst(shot.files)) {
            targets << folder + QLatin1Char('/') + name + QLatin1Char('.') + completeSuffixOf(file);
            free = free && (targets.last() == file || !m_context.view.taken(targets.last()));
        }
        if (free) {
            shot.targets = targets;
            shot.number = number;
            lastNumber = number;
        }
    }
    m_bases.remove(temporaryBase);
    m_bases.insert(baseNameOf(shot.targets.first()).toString());
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
    const QString base = baseNameOf(targets.first()).toString();
    const auto &finals = m_context.interrupted.finals;
    bool holds = false;
    for (auto it = finals.constBegin(); it != finals.constEnd() && !holds; ++it) {
        holds = it->number == number && baseNameOf(it.key()) == base
            && it.key().left(it.key().lastIndexOf('/')) == folder
            && FHJournal::isSameFile(it.key(), *it);
    }
    if (!holds)
        return false;
    shot.targets = targets;
    shot.number = number;
    lastNumber = qMax(lastNumber, number);
    return true;
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
                    if (FHSafeMove::moveFile(shot.targets.at(back), shot.files.at(back)) != 0)
                        m_context.reporter.message(
                            QStringLiteral("'%1' keeps its final name; the next run gives the "
                                           "rest of its shot the same number")
                                .arg(shot.targets.at(back)));
                }
                // Where each file of the shot is, by the path it came from.
                for (int at = 0; at < shot.files.size(); ++at) {
                    struct stat st;
                    const QString now
                        = ::lstat(QFile::encodeName(shot.files.at(at)).constData(), &st) == 0
                        ? shot.files.at(at)
                        : shot.targets.at(at);
                    const auto own = placed.constFind(shot.files.at(at).mid(folder.size() + 1));
                    const QString source = own != placed.constEnd()
                        ? m_context.plan.entries.at(*own).sourcePath()
                        : m_context.interrupted.leftovers.value(shot.files.at(at)).source;
                    if (!source.isEmpty())
                        m_context.reporter.message(
                            QStringLiteral("'%1' is at '%2' until the next run names it")
                                .arg(source, now));
                }
                m_context.reporter.message(QStringLiteral("The photos in '%1' that have no final "
                                                          "name yet keep their temporary names "
                                                          "until the next run")
                                               .arg(folder));
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
            ++m_context.plan.leftoverCount;
    }
}

// A move cut short on a file system without the no-replace flag can leave a
// temporary name as a second name of a file that already has its final name.
// Such names are removed, so that the photo is not numbered twice.
void FHNamingPass::removeSecondNames(
    const QString &folder, QStringList &entries, const QHash<QString, int> &placed)
{
    QList<int> linked;
    for (int i = 0; i < entries.size(); ++i) {
        struct stat st;
        if (isTemporaryName(entries.at(i)) && !placed.contains(entries.at(i).mid(folder.size() + 1))
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
        } else if (m_context.view.simulates()) {
            m_context.view.removed(entries.at(i));
            removed.prepend(i);
        } else if (::unlink(QFile::encodeName(entries.at(i)).constData()) == 0) {
            removed.prepend(i);
        }
    }
    for (const int i : qAsConst(removed))
        entries.removeAt(i);
}
