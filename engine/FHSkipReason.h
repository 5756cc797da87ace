#ifndef FHSKIPREASON_H
#define FHSKIPREASON_H

#include <QString>

// Why a file stays where it is.
enum class FHSkipReason : quint8
{
    None, // it moves
    NoCaptureDate,
    // A camera's date without the camera's maker (a scan, an export), while
    // only cameras' photos are sorted.
    NoCameraMaker,
    Unreadable, // its metadata could not be read, and a capture date is required
    Changed, // it changed or went since the listing
    UndecodableName, // its name has no form in the file-name encoding
    Stopped, // the run was stopped before it was reached
    // A sidecar whose name differs only in letter case from another of its
    // shot, where the output cannot hold both names.
    CaseClash,
    // A sidecar named for a file (IMG_1.NEF.xmp) whose kind is not sorted: it
    // stays with that file.
    KindNotChosen,
    // Its bytes are in the library already (or in a file before it in the
    // same input).
    Duplicate,
    // A file with its bytes was imported before and deleted from the library
    // since: the user did not want it.
    ImportedBefore,
    // Read back, its copy differed from what was read: the copy is gone, the
    // file stays.
    VerifyFailed,
    // An undo's reasons to leave a sorted file where it is:
    Missing, // it is no longer where the run put it
    OriginalTaken, // something else lies at its original path
    ShotHeld, // another file of its shot cannot go back, and the shot stays whole
    // The original of a copy is no longer in the input: the copy is its only one.
    OriginalGone,
};

// The words for each reason, from one table: its name in the JSON events and
// the journal's reports, what the preview and the summary say, and what the
// command says.
QString skipReasonName(FHSkipReason reason); // "no-capture-date", ...
// The preview's cell, translated: "No capture date".
QString skipReasonLabel(FHSkipReason reason);
// Within a sentence of the summary or the log, translated: "no capture date";
// empty for the reasons a sort's summary does not list one by one.
QString skipReasonPhrase(FHSkipReason reason);
// The command's words, which name its options where they help.
QString skipReasonCommandText(FHSkipReason reason);

struct FHPlanEntry;
struct FHSortPlan;
// The label and the phrase with what the reason points at, where it points
// at something: "Already in the library: 2024-05/031.JPG", "Imported on
// 2026-11-02, since deleted".
QString skipReasonLabel(const FHSortPlan &plan, const FHPlanEntry &entry);
QString skipReasonPhrase(const FHSortPlan &plan, const FHPlanEntry &entry);

#endif // FHSKIPREASON_H
