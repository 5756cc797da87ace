#ifndef FHSERVICESETTINGS_H
#define FHSERVICESETTINGS_H

#include <QString>
#include <QStringList>

// The settings file of a watch that runs as a service (/etc/quilm/NAME.conf):
// lines KEY=VALUE, '#' comments. INPUT and OUTPUT name the folders, OPTIONS
// holds quilm-sort's options as a shell would split them; USER (and
// anything else) is for the service's set-up, not for the command.
namespace FHServiceSettings {

// The command's arguments that the file adds: OPTIONS, then INPUT and OUTPUT.
// False with the problem when the file cannot be read or lacks a folder.
bool read(const QString &path, QStringList *arguments, QString *problem);

} // namespace FHServiceSettings

#endif // FHSERVICESETTINGS_H
