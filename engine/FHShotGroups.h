#ifndef FHSHOTGROUPS_H
#define FHSHOTGROUPS_H

#include "engine/FHFileTypes.h"
#include "engine/FHSortPlan.h"

#include <QVector>

#include <functional>

class FHReporter;

// The files of one shot move together and share a number. A group is made of
// the files of one input folder that share a base name, compared without
// letter case:
// - a RAW and a JPEG or HEIF taken within 30 s of each other;
// - a HEIF or JPEG and the video of a live photo, within 30 s;
// - sidecars: NAME.xmp, NAME.EXT.xmp, NAME.THM, NAME.AAE.
// The primary is the RAW, else the HEIF, else the JPEG, else the video; the
// group takes its capture time and target folder. Sidecars without a photo are
// dropped: they are never sorted on their own.
namespace FHShotGroups {

// Groups the read entries, then puts them in the order of a run: the groups
// that move by their primary's capture order, each primary followed by its
// members, then the files that stay. Sets every entry's group index.
struct Options
{
    // A sidecar without its photo is dropped unless this says otherwise (its
    // photo went ahead in a run cut short).
    std::function<bool(const FHPlanEntry &)> keepAlone;
    // Whether the output tells names apart by letter case: else of two
    // sidecars named alike but for the case, the second stays (CaseClash).
    bool caseSensitiveOutput = true;
    // The kinds the run sorts; empty: all.
    FHNameFilter chosen;
};
// A sidecar named for a file of a kind the run does not sort (IMG_1.NEF.xmp
// when RAW files are not chosen) stays with that file (KindNotChosen); one
// named for a file that is not there at all is a sidecar without its photo.
void groupAndOrder(
    QVector<FHPlanEntry> &entries, FHReporter &reporter, const Options &options = {});

// The number of entries of the group that starts at index first (1 for a file
// on its own).
int groupSize(const QVector<FHPlanEntry> &entries, int first);

} // namespace FHShotGroups

#endif // FHSHOTGROUPS_H
