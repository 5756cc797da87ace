#include "EngineRun.h"

#include "engine/FHIO.h"

#include <QDir>

FHSortEngine::Outcome EngineRun::run()
{
    FHIO guard(QDir::currentPath(), QStringLiteral("test"));
    FHSortEngine engine(&guard, &reports);
    plan = FHSortPlan();
    reports = RecordingReporter();
    outcome = engine.run(options, plan);
    return outcome;
}
