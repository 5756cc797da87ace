#include "ui/FHRunSummary.h"

#include "engine/FHPaths.h"
#include "ui/FHFileTypesDialog.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// "&Videos" and "视频(&V)" as they read in a sentence.
QString withoutMnemonic(QString text)
{
    static const QRegularExpression chineseStyle(QStringLiteral("\\(&[^&]\\)"));
    text.remove(chineseStyle);
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// Chinese runs its sentences on without a space.
QString sentenceGap()
{
    return QLocale().language() == QLocale::Chinese ? QString() : QStringLiteral(" ");
}

} // namespace

FHRunSummary::FHRunSummary(const FHSortPlan &plan, FHSortEngine::Outcome outcome)
    : m_plan(plan)
    , m_outcome(outcome)
    , m_moved(int(plan.movedCount))
{
    for (int i = 0; i < plan.entries.size(); ++i) {
        const FHPlanEntry &entry = plan.entries.at(i);
        if (entry.placed) {
            m_waiting += entry.finalName.isEmpty() ? 1 : 0;
        } else if (entry.reason == FHSkipReason::Stopped
            || (entry.reason == FHSkipReason::None && outcome == FHSortEngine::Failed)) {
            // Without a reason: a failure ended the run before it. Sidecars
            // count here too, as they do among the files moved, so that the
            // two add up to what was to be sorted.
            ++m_notReached;
        } else if (entry.companion && entry.reason != FHSkipReason::KindNotChosen
            && entry.reason != FHSkipReason::CaseClash) {
            // It stays with its photo, for its photo's reason. A sidecar that
            // stays where its photo goes is told of: the shot is split.
        } else if (!skipReasonPhrase(entry.reason).isEmpty()) {
            m_left << i;
        }
    }
    for (const int count : plan.otherTypes)
        m_otherTypes += count;
}

QString FHRunSummary::menuPath(const QString &menu, const QString &entry)
{
    // The dots of an entry that opens a dialog do not belong in a sentence.
    QString last = withoutMnemonic(entry);
    if (last.endsWith(QLatin1String("...")))
        last.chop(3);
    else if (last.endsWith(QChar(0x2026)))
        last.chop(1);
    return withoutMnemonic(menu) + QStringLiteral(" > ") + last;
}

bool FHRunSummary::needsBox() const
{
    if (failed())
        return !m_plan.entries.isEmpty();
    return stopped() || leftCount() > 0 || m_otherTypes > 0;
}

int FHRunSummary::percentDone() const
{
    if (m_outcome == FHSortEngine::Completed)
        return 100;
    const int toSort = m_moved + m_notReached;
    return toSort > 0 ? int(qint64(m_moved - m_waiting) * 100 / toSort) : 0;
}

QString FHRunSummary::notReachedText() const
{
    if (m_notReached == 0)
        return QString();
    return failed() ? tr("%n file(s) not reached: the sort ended with an error before them. They "
                         "are still in the input.",
               nullptr, m_notReached)
                    : tr("%n file(s) not reached: the sort was stopped before them. They are "
                         "still in the input.",
                        nullptr, m_notReached);
}

QString FHRunSummary::waitingText(const QString &undoMenuPath) const
{
    if (m_waiting == 0)
        return QString();
    return tr("%n file(s) moved wait in the output under temporary names: the next START gives "
              "them their final names, or %1 moves them back.",
        nullptr, m_waiting)
        .arg(undoMenuPath);
}

QStringList FHRunSummary::reportLines(const QString &undoMenuPath) const
{
    QStringList lines;
    lines.reserve(m_left.size() + 2);
    for (const int i : m_left) {
        const FHPlanEntry &entry = m_plan.entries.at(i);
        lines << tr("Left in the input: '%1' (%2)")
                     .arg(FHPaths::shown(entry.sourcePath()), skipReasonPhrase(m_plan, entry));
    }
    // However many files a stop leaves, they are one line: the log is no list
    // of what stayed where it was.
    for (const QString &line : { notReachedText(), waitingText(undoMenuPath) }) {
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

QString FHRunSummary::details() const
{
    QStringList lines;
    lines.reserve(m_left.size() + 1);
    for (const int i : m_left) {
        const FHPlanEntry &entry = m_plan.entries.at(i);
        lines << QStringLiteral("%1: %2").arg(
            FHPaths::shown(entry.sourcePath()), skipReasonPhrase(m_plan, entry));
    }
    if (m_notReached > 0)
        lines << notReachedText();
    return lines.join(QLatin1Char('\n'));
}

QString FHRunSummary::counts(const QString &undoMenuPath) const
{
    QStringList sentences;
    if (stopped())
        sentences << tr("The sort was stopped.");
    else if (failed())
        sentences << tr("The sort ended with an error; the Output panel says which.");
    sentences << tr("%n file(s) moved.", nullptr, m_moved);
    if (m_outcome != FHSortEngine::Completed)
        sentences << tr("%n file(s) still in the input.", nullptr, leftCount());
    else if (leftCount() > 0)
        sentences << tr("%n file(s) stayed in the input.", nullptr, leftCount());
    if (m_waiting > 0)
        sentences << waitingText(undoMenuPath);
    return sentences.join(sentenceGap());
}

QString FHRunSummary::otherTypes(const QString &menuPath) const
{
    if (m_otherTypes == 0)
        return QString();
    QStringList families;
    for (auto it = m_plan.otherTypes.cbegin(); it != m_plan.otherTypes.cend(); ++it)
        families << QStringLiteral("%1: %2").arg(
            withoutMnemonic(FHFileTypesDialog::familyLabel(it.key())), QLocale().toString(*it));
    return tr("%n file(s) of kinds not chosen stayed in the input (%1). To sort them, choose "
              "their kinds under %2.",
        nullptr, m_otherTypes)
        .arg(families.join(QStringLiteral(", ")), menuPath);
}

QString FHRunSummary::status(const QString &menuPath) const
{
    if (failed() && m_plan.entries.isEmpty())
        return tr("The sort failed before moving any file.");
    QString text = stopped() ? tr("Stopped: %n file(s) moved.", nullptr, m_moved)
        : failed()           ? tr("Failed: %n file(s) moved.", nullptr, m_moved)
                             : tr("%n file(s) sorted in %1 s.", nullptr, m_moved)
                         .arg(QLocale().toString(m_plan.elapsedMs / 1000.0, 'f', 1));
    if (leftCount() > 0)
        text += sentenceGap() + tr("%n left in the input.", nullptr, leftCount());
    if (m_waiting > 0)
        text += sentenceGap()
            + tr("%n under temporary names until the next START or Undo.", nullptr, m_waiting);
    if (m_otherTypes > 0)
        text += sentenceGap() + tr("%n of other kinds: %1", nullptr, m_otherTypes).arg(menuPath);
    return text;
}
