#include "engine/FHRecovery.h"

#include "engine/FHFolderTree.h"
#include "engine/FHFolderView.h"
#include "engine/FHNaming.h"
#include "engine/FHPaths.h"
#include "engine/FHReporter.h"
#include "engine/FHSafeMove.h"
#include "engine/FHSortContext.h"
#include "engine/platform/FHFolder.h"

#include <QFile>
#include <QRegularExpression>

namespace {

constexpr int SecondLength = 19; // yyyy-MM-dd-HH-mm-ss of a temporary name

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
            found = found || stemOf(FHFolder::decodeName(entry)) == stem;
        });
    }
    return found;
}

} // namespace

FHRecovery::FHRecovery(FHSortContext &context)
    : m_context(context)
{
}

void FHRecovery::load()
{
    m_interrupted = FHJournalStore::interrupted(m_context.folders, m_context.output);
}

QStringList FHRecovery::otherInputs() const
{
    QStringList others;
    for (const QString &input : m_interrupted.inputs) {
        if (input != m_context.input && input != m_context.output)
            others << input;
    }
    return others;
}

bool FHRecovery::isLeftover(const FHPlanEntry &entry) const
{
    return !m_interrupted.leftovers.isEmpty()
        && m_interrupted.leftovers.contains(entry.sourcePath());
}

bool FHRecovery::placeByMeantName(FHPlanEntry &entry) const
{
    const QString meant = m_interrupted.meant.value(entry.sourcePath());
    const QRegularExpressionMatch match = temporaryNamePattern().match(stemOf(meant));
    if (meant.isEmpty() || !match.hasMatch())
        return false;
    entry.targetFolder = meant.left(meant.lastIndexOf(QLatin1Char('/')));
    entry.captured = QDateTime::fromString(
        match.captured(0).left(SecondLength), QStringLiteral("yyyy-MM-dd-HH-mm-ss"));
    return true;
}

bool FHRecovery::wentAhead(const FHPlanEntry &entry) const
{
    const QString meant = m_interrupted.meant.value(entry.sourcePath());
    return !meant.isEmpty() && shotPartAt(m_context.folders, meant);
}

void FHRecovery::noteLeftovers(const QString &folder, const QStringList &paths)
{
    for (const QString &path : paths) {
        const QString name = path.mid(folder.size() + 1);
        if (!isTemporaryName(name))
            continue;
        const QString final = m_interrupted.named.value(path).final;
        m_leftoverStems.insert(folder + QLatin1Char('/') + stemOf(name),
            final.isEmpty() ? QString()
                            : final.left(final.lastIndexOf(QLatin1Char('/')) + 1) + stemOf(final));
    }
}

bool FHRecovery::holdsStem(const FHPlanEntry &lead, const QString &stem) const
{
    // Most runs find no temporary names in their folders: then no name is made.
    if (m_leftoverStems.isEmpty())
        return false;
    const auto held = m_leftoverStems.constFind(lead.targetFolder + QLatin1Char('/') + stem);
    return held != m_leftoverStems.constEnd()
        && (held->isEmpty()
            || *held != lead.sourceFolder + QLatin1Char('/') + stemOf(lead.sourceName));
}

bool FHRecovery::isCutShort(const QString &source, const QString &copy) const
{
    if (!m_context.options.copy)
        return FHSafeMove::isCutMoveOf(m_context.folders, source, copy);
    // A copy got its temporary name once it was read back: it is whole. Another
    // name of the original is no copy of it.
    const FHFolder::Entry original = FHFolder::entryAt(source);
    const FHFolder::Entry made = FHFolder::entryAt(copy);
    return original.kind == FHFolder::File && made.kind == FHFolder::File
        && (original.device != made.device || original.inode != made.inode)
        && FHSafeMove::sameBytes(m_context.folders, source, copy);
}

// A move cut short by a crash after its target appeared and before its source
// went leaves the photo twice: finish it rather than sort the photo again.
// Only the pair the journal recorded before the move counts: another name of
// the same file, or a file of the same bytes, may be the user's own.
bool FHRecovery::findCutMove(const FHPlanEntry &entry, FHShotMove &shot)
{
    if (m_interrupted.meant.isEmpty())
        return false;
    const QString source = entry.sourcePath();
    const QString copy = m_interrupted.meant.value(source);
    if (copy.isEmpty() || copy.left(copy.lastIndexOf(QLatin1Char('/'))) != entry.targetFolder
        || !m_interrupted.leftovers.contains(copy) || m_finishedCuts.contains(copy)
        || !isCutShort(source, copy))
        return false;
    m_finishedCuts.insert(copy);
    m_context.view.removed(source);
    shot.cutCopies << copy;
    shot.names << copy.mid(entry.targetFolder.size() + 1);
    return true;
}

// The rest of a shot that a crash cut in two takes the names its files were
// meant to have, beside the files that moved.
bool FHRecovery::resumeShot(FHShotMove &shot)
{
    if (m_interrupted.meant.isEmpty())
        return false;
    const FHPlanEntry &lead = m_context.plan.entries.at(shot.members.first());
    QStringList names;
    QStringList cutCopies;
    bool anyMoved = false;
    for (const int i : qAsConst(shot.members)) {
        const QString source = m_context.plan.entries.at(i).sourcePath();
        const QString meant = m_interrupted.meant.value(source);
        const int slash = meant.lastIndexOf(QLatin1Char('/'));
        if (meant.isEmpty() || meant.left(slash) != lead.targetFolder)
            return false;
        names << meant.mid(slash + 1);
        if (!m_context.view.taken(meant)) {
            cutCopies << QString();
        } else if (isCutShort(source, meant)) {
            cutCopies << meant;
            anyMoved = true;
        } else {
            return false;
        }
        anyMoved = anyMoved || shotPartAt(m_context.folders, meant);
    }
    // A shot that never got to its folder may take a name of its own as well.
    if (!anyMoved)
        return false;
    shot.names = names;
    shot.cutCopies = cutCopies;
    for (int k = 0; k < shot.members.size(); ++k) {
        const QString source = m_context.plan.entries.at(shot.members.at(k)).sourcePath();
        if (cutCopies.at(k).isEmpty())
            m_context.view.moved(source, lead.targetFolder + QLatin1Char('/') + shot.names.at(k));
        else
            m_context.view.removed(source);
    }
    m_context.reporter.message(
        QStringLiteral("Finishing the shot of '%1', which an interrupted run left "
                       "in two")
            .arg(FHPaths::shown(lead.sourcePath())));
    return true;
}
