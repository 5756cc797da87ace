#ifndef FHNAMING_H
#define FHNAMING_H

#include <QDateTime>
#include <QString>

class QRegularExpression;

// Replaces the naming keywords ${NUM}, ${YYYY}, ${mm}, ${DD}, ${HH}, ${MM} and
// ${SS} in place and returns the same text.
QString &expandNamePattern(
    QString &pattern, int number, int year, int month, int day, int hour, int minute, int second);

// The name a file carries between the two passes of a run: its capture time and
// a sequence tag, e.g. 2014-12-31-23-34-45_000000000a. Without suffix.
QString temporaryName(const QDateTime &date, quint32 tag);

// Recognises a temporary name; groups 1 to 6 are year, month, day, hour,
// minute and second, group 7 the tag.
const QRegularExpression &temporaryNamePattern();

// The file name of the path without the part a sorted file keeps (".JPG", or
// a sidecar's ".CR2.xmp"): the files of one shot share it, and a pattern may
// put dots into it ("Paris.001.JPG" is "Paris.001").
QString stemOf(const QString &path);
// True when the stem of the file is a temporary name.
bool isTemporaryName(const QString &path);

// The longest name part a file of the filters keeps through a sort, in UTF-8
// bytes: a sidecar's, as in ".JPEG.xmp".
int longestKeptSuffix(const QStringList &nameFilters);

// Why the pattern cannot name files, or an empty text when it can: it holds
// "/" or NUL, a name would be "." or "..", or names with the longest suffix
// (bytes, dot included) would exceed 255 bytes; and where names follow
// Windows' rules, it holds a character that Windows forbids (\ : * ? " < > |
// and control characters), a name would be one that Windows keeps for a
// device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, before any dot), or
// would end in a dot or a blank.
enum class FHNameRules
{
    Posix,
    Windows,
};
QString namePatternProblem(const QString &pattern, FHNameRules rules, int longestSuffix,
    const QString &folder = QString());
// The same under the rules of the folder's file system; without a folder,
// Windows' rules on Windows and none of them elsewhere.
QString namePatternProblem(
    const QString &pattern, const QString &folder = QString(), int longestSuffix = 5);

// True when names in the folder (or where it would be created) follow Windows'
// rules: FAT, exFAT, NTFS and SMB shares, in the kernel or through FUSE.
bool keepsWindowsNames(const QString &folder);

#endif // FHNAMING_H
