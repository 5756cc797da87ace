#include "ui/FHRunSummary.h"

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

FHRunSummary::FHRunSummary(const FHSortPlan &plan, bool stopped)
    : m_plan(plan)
    , m_stopped(stopped)
    , m_moved(int(plan.movedCount))
{
    for (int i = 0; i < plan.entries.size(); ++i) {
        const FHPlanEntry &entry = plan.entries.at(i);
        // A sidecar that stays where its photo goes is told of too: the shot
        // is split.
        const bool split = entry.reason == FHSkipReason::KindNotChosen
            || entry.reason == FHSkipReason::CaseClash;
        if (!entry.placed && (!entry.companion || split) && !reasonText(entry.reason).isEmpty())
            m_left << i;
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

QString FHRunSummary::reasonText(FHSkipReason reason)
{
    switch (reason) {
    case FHSkipReason::NoCaptureDate:
        return tr("no capture date");
    case FHSkipReason::NoCameraMaker:
        return tr("no camera maker");
    case FHSkipReason::KindNotChosen:
        return tr("belongs to a file of a kind not chosen");
    case FHSkipReason::CaseClash:
        return tr("name differs from another only in letter case");
    case FHSkipReason::Unreadable:
        return tr("unreadable");
    case FHSkipReason::Changed:
        return tr("changed since the listing");
    case FHSkipReason::UndecodableName:
        return tr("name not valid");
    case FHSkipReason::Stopped:
        return tr("not reached: the sort was stopped");
    default:
        return QString();
    }
}

QStringList FHRunSummary::reportLines() const
{
    QStringList lines;
    lines.reserve(m_left.size());
    for (const int i : m_left) {
        const FHPlanEntry &entry = m_plan.entries.at(i);
        lines
            << tr("Left in the input: '%1' (%2)").arg(entry.sourcePath(), reasonText(entry.reason));
    }
    return lines;
}

QString FHRunSummary::details() const
{
    QStringList lines;
    lines.reserve(m_left.size());
    for (const int i : m_left) {
        const FHPlanEntry &entry = m_plan.entries.at(i);
        lines << QStringLiteral("%1: %2").arg(entry.sourcePath(), reasonText(entry.reason));
    }
    return lines.join(QLatin1Char('\n'));
}

QString FHRunSummary::counts() const
{
    QStringList sentences;
    if (m_stopped)
        sentences << tr("The sort was stopped.");
    sentences << tr("%n file(s) moved.", nullptr, m_moved);
    if (m_stopped)
        sentences << tr("%n file(s) still in the input.", nullptr, leftCount());
    else if (leftCount() > 0)
        sentences << tr("%n file(s) stayed in the input.", nullptr, leftCount());
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
    QString text = m_stopped ? tr("Stopped: %n file(s) moved.", nullptr, m_moved)
                             : tr("%n file(s) sorted in %1 s.", nullptr, m_moved)
                                   .arg(QLocale().toString(m_plan.elapsedMs / 1000.0, 'f', 1));
    if (leftCount() > 0)
        text += sentenceGap() + tr("%n left in the input.", nullptr, leftCount());
    if (m_otherTypes > 0)
        text += sentenceGap() + tr("%n of other kinds: %1", nullptr, m_otherTypes).arg(menuPath);
    return text;
}
