#include "RecordingReporter.h"

#include "engine/FHException.h"

void RecordingReporter::exception(const FHException &e)
{
    errors << e.codeText() + QLatin1Char(' ') + e.message();
}
