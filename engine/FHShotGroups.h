#ifndef FHSHOTGROUPS_H
#define FHSHOTGROUPS_H

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
// A sidecar without its photo is dropped unless keepAlone says otherwise (its
// photo went ahead in a run cut short).
void groupAndOrder(QVector<FHPlanEntry> &entries, FHReporter &reporter,
    const std::function<bool(const FHPlanEntry &)> &keepAlone = {});

// The number of entries of the group that starts at index first (1 for a file
// on its own).
int groupSize(const QVector<FHPlanEntry> &entries, int first);

} // namespace FHShotGroups

#endif // FHSHOTGROUPS_H
