#include "engine/FHSortOptions.h"

namespace {
const char *const modeNames[] = { "none", "month", "day" };
}

namespace FHFolderModes {

QString name(FHFolderMode mode)
{
    return QLatin1String(modeNames[int(mode)]);
}

bool fromName(const QString &name, FHFolderMode *mode)
{
    for (int i = 0; i < 3; ++i) {
        if (name == QLatin1String(modeNames[i])) {
            *mode = FHFolderMode(i);
            return true;
        }
    }
    return false;
}

FHFolderMode fromNumber(int number)
{
    return number == 0 ? FHFolderMode::None : number == 1 ? FHFolderMode::Month : FHFolderMode::Day;
}

QString folderFormat(FHFolderMode mode)
{
    switch (mode) {
    case FHFolderMode::None:
        break;
    case FHFolderMode::Month:
        return QStringLiteral("yyyy-MM");
    case FHFolderMode::Day:
        return QStringLiteral("yyyy-MM-dd");
    }
    return QString();
}

} // namespace FHFolderModes
