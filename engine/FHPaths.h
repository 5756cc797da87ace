#ifndef FHPATHS_H
#define FHPATHS_H

#include "engine/FHJsonLine.h"

#include <QJsonObject>
#include <QString>

// Paths inside the engine have "/" between names on every system; what the
// user sees, and what the journals keep, has the system's own separator ("\"
// on Windows). On Linux these change nothing.
namespace FHPaths {

// A path as it is shown or stored.
QString shown(const QString &path);
// A path shown or stored, as the engine takes it.
QString internal(const QString &path);

// A journal record with its paths as they are stored, and back.
FHJsonFields stored(FHJsonFields record);
QJsonObject fromStored(QJsonObject record);

} // namespace FHPaths

#endif // FHPATHS_H
