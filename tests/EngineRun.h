#ifndef ENGINERUN_H
#define ENGINERUN_H

#include "RecordingReporter.h"
#include "engine/FHSortEngine.h"

// One sort run through the engine alone, as the command makes it, with its
// reports kept.
struct EngineRun
{
    FHSortOptions options;
    FHSortPlan plan;
    RecordingReporter reports;
    FHSortEngine::Outcome outcome = FHSortEngine::Failed;

    FHSortEngine::Outcome run();
};

#endif // ENGINERUN_H
