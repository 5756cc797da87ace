#ifndef FHPLANNER_H
#define FHPLANNER_H

#include "engine/FHDateReader.h"
#include "engine/FHInputWalk.h"
#include "engine/FHTimeline.h"

struct FHPlanEntry;
struct FHSortContext;
class FHRecovery;

// The first stage of a run: lists the input in one walk, reads every capture
// date, puts the files in the order of the run with their shots, and finds
// anything standing where a target folder should be, all before a file moves.
class FHPlanner
{
public:
    FHPlanner(FHSortContext &context, FHRecovery &recovery);

    // Fills the plan's entries; throws 263 for a file in a target folder's
    // place. False when the run's options were refused (the plan says why).
    bool plan();

private:
    void listAndRead();
    // Fills the entry from what was read of the guard's current file, and
    // reports it.
    void takeRead(FHPlanEntry &entry, const FHDateReader::Read &read);
    void setTargetFolders();
    void order();
    void checkTargetFolders();

    FHSortContext &m_context;
    FHRecovery &m_recovery;
    FHTimeline m_timeline;
};

#endif // FHPLANNER_H
