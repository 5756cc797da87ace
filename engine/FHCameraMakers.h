#ifndef FHCAMERAMAKERS_H
#define FHCAMERAMAKERS_H

#include <QString>
#include <QStringList>

// The camera makers met in the runs so far. The list selects nothing; it is
// kept in the settings as one text, the makers separated by "|".
namespace FHCameraMakers {

// The list a new user starts with.
QStringList defaults();

// Appends the maker, without the blanks cameras pad it with, unless the list
// holds it already: anywhere in the list's text, ignoring case, so that a
// maker contained in a longer entry, or a blank one, adds nothing.
void add(QStringList &makers, const QString &maker);

QStringList fromText(const QString &text);
QString toText(const QStringList &makers);

} // namespace FHCameraMakers

#endif // FHCAMERAMAKERS_H
