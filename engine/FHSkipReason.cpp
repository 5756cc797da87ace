#include "engine/FHSkipReason.h"

#include "engine/FHSortPlan.h"

#include <QCoreApplication>
#include <QDir>

namespace {

struct ReasonInfo
{
    FHSkipReason reason;
    const char *name;
    const char *label;
    const char *phrase; // null where a summary does not list it
    const char *command;
};

const ReasonInfo reasons[] = {
    { FHSkipReason::None, "", "", nullptr, "" },
    { FHSkipReason::NoCaptureDate, "no-capture-date",
        QT_TRANSLATE_NOOP("FHSkipReason", "No capture date"),
        QT_TRANSLATE_NOOP("FHSkipReason", "no capture date"), "no capture date" },
    { FHSkipReason::NoCameraMaker, "no-camera-maker",
        QT_TRANSLATE_NOOP("FHSkipReason", "No camera maker"),
        QT_TRANSLATE_NOOP("FHSkipReason", "no camera maker"),
        "a date but no camera maker; --all-images sorts it" },
    { FHSkipReason::Unreadable, "unreadable", QT_TRANSLATE_NOOP("FHSkipReason", "Unreadable"),
        QT_TRANSLATE_NOOP("FHSkipReason", "unreadable"), "unreadable" },
    { FHSkipReason::Changed, "changed",
        QT_TRANSLATE_NOOP("FHSkipReason", "Changed since it was listed"),
        QT_TRANSLATE_NOOP("FHSkipReason", "changed since the listing"),
        "changed since the listing" },
    { FHSkipReason::UndecodableName, "undecodable-name",
        QT_TRANSLATE_NOOP("FHSkipReason", "Name not valid in the file-name encoding"),
        QT_TRANSLATE_NOOP("FHSkipReason", "name not valid"),
        "name not valid in the file-name encoding" },
    { FHSkipReason::Stopped, "stopped",
        QT_TRANSLATE_NOOP("FHSkipReason", "Not reached, the run was stopped"), nullptr,
        "not reached, the run was stopped" },
    { FHSkipReason::CaseClash, "case-clash",
        QT_TRANSLATE_NOOP("FHSkipReason", "Name differs from another only in letter case"),
        QT_TRANSLATE_NOOP("FHSkipReason", "name differs from another only in letter case"),
        "its name differs from another of its shot only in letter case, which the output "
        "cannot hold" },
    { FHSkipReason::KindNotChosen, "kind-not-chosen",
        QT_TRANSLATE_NOOP("FHSkipReason", "Belongs to a file of a kind not chosen"),
        QT_TRANSLATE_NOOP("FHSkipReason", "belongs to a file of a kind not chosen"),
        "it belongs to a file of a kind not chosen; --types chooses it" },
    { FHSkipReason::Duplicate, "duplicate",
        QT_TRANSLATE_NOOP("FHSkipReason", "Already in the library"),
        QT_TRANSLATE_NOOP("FHSkipReason", "already in the library"),
        "its bytes are in the library already; --duplicates import sorts it" },
    { FHSkipReason::ImportedBefore, "imported-before",
        QT_TRANSLATE_NOOP("FHSkipReason", "Imported before, since deleted"),
        QT_TRANSLATE_NOOP("FHSkipReason", "imported before and deleted since"),
        "imported before and deleted from the library since; --reimport brings it back" },
    { FHSkipReason::VerifyFailed, "verify-failed",
        QT_TRANSLATE_NOOP("FHSkipReason", "Its copy read back wrong"),
        QT_TRANSLATE_NOOP("FHSkipReason", "its copy read back wrong"),
        "its copy read back differently from what was read; the copy was removed" },
    { FHSkipReason::Missing, "missing",
        QT_TRANSLATE_NOOP("FHSkipReason", "No longer where the sort put it"), nullptr,
        "no longer where the sort put it" },
    { FHSkipReason::OriginalTaken, "original-taken",
        QT_TRANSLATE_NOOP("FHSkipReason", "Its original path is taken"), nullptr,
        "its original path is taken" },
    { FHSkipReason::ShotHeld, "shot-held",
        QT_TRANSLATE_NOOP("FHSkipReason", "Another file of its shot stays"), nullptr,
        "another file of its shot stays" },
    { FHSkipReason::OriginalGone, "original-gone",
        QT_TRANSLATE_NOOP("FHSkipReason", "Its original is no longer in the input"), nullptr,
        "its original is no longer in the input, so the copy is its only one" },
};

const ReasonInfo &infoOf(FHSkipReason reason)
{
    static_assert(sizeof(reasons) / sizeof(reasons[0]) == int(FHSkipReason::OriginalGone) + 1,
        "one row per reason, in the order of the enum");
    Q_ASSERT(reasons[int(reason)].reason == reason);
    return reasons[int(reason)];
}

QString translated(const char *text)
{
    return text && *text ? QCoreApplication::translate("FHSkipReason", text) : QString();
}

} // namespace

QString skipReasonName(FHSkipReason reason)
{
    return QLatin1String(infoOf(reason).name);
}

QString skipReasonLabel(FHSkipReason reason)
{
    return translated(infoOf(reason).label);
}

QString skipReasonPhrase(FHSkipReason reason)
{
    return translated(infoOf(reason).phrase);
}

QString skipReasonCommandText(FHSkipReason reason)
{
    return QLatin1String(infoOf(reason).command);
}

namespace {

// The library's file, relative to the library where it lies in it.
QString libraryFile(const FHSortPlan &plan, const FHPlanEntry &entry)
{
    const QString path = entry.duplicatePath(plan.entries);
    const bool inside = !plan.output.isEmpty() && path.startsWith(plan.output + QLatin1Char('/'));
    return QDir::toNativeSeparators(inside ? path.mid(plan.output.size() + 1) : path);
}

QString importDate(const FHPlanEntry &entry)
{
    return entry.importedOn.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

QString skipReasonLabel(const FHSortPlan &plan, const FHPlanEntry &entry)
{
    switch (entry.reason) {
    case FHSkipReason::Duplicate:
        return QCoreApplication::translate("FHSkipReason", "Already in the library: %1")
            .arg(libraryFile(plan, entry));
    case FHSkipReason::ImportedBefore:
        return QCoreApplication::translate("FHSkipReason", "Imported on %1, since deleted")
            .arg(importDate(entry));
    default:
        return skipReasonLabel(entry.reason);
    }
}

QString skipReasonPhrase(const FHSortPlan &plan, const FHPlanEntry &entry)
{
    switch (entry.reason) {
    case FHSkipReason::Duplicate:
        return QCoreApplication::translate("FHSkipReason", "already in the library as %1")
            .arg(libraryFile(plan, entry));
    case FHSkipReason::ImportedBefore:
        return QCoreApplication::translate("FHSkipReason", "imported on %1 and deleted since")
            .arg(importDate(entry));
    default:
        return skipReasonPhrase(entry.reason);
    }
}
