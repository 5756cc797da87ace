#include "engine/FHNaming.h"

#include "engine/FHFileTypes.h"
#include "engine/FHPaths.h"
#include "engine/platform/FHSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>

QString &expandNamePattern(
    QString &pattern, int number, int year, int month, int day, int hour, int minute, int second)
{
    const auto field = [](int value, int width) {
        return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
    };
    pattern.replace(QStringLiteral("${NUM}"), field(number, 3), Qt::CaseSensitive);
    pattern.replace(QStringLiteral("${YYYY}"), field(year, 4), Qt::CaseSensitive);
    pattern.replace(QStringLiteral("${mm}"), field(month, 2), Qt::CaseSensitive);
    pattern.replace(QStringLiteral("${DD}"), field(day, 2), Qt::CaseSensitive);
    pattern.replace(QStringLiteral("${HH}"), field(hour, 2), Qt::CaseSensitive);
    pattern.replace(QStringLiteral("${MM}"), field(minute, 2), Qt::CaseSensitive);
    pattern.replace(QStringLiteral("${SS}"), field(second, 2), Qt::CaseSensitive);
    return pattern;
}

QString stemOf(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return name.left(name.size() - FHFileTypes::keptSuffix(name).size());
}

bool isTemporaryName(const QString &path)
{
    return temporaryNamePattern().match(stemOf(path)).hasMatch();
}

QString temporaryName(const QDateTime &date, quint32 tag)
{
    const QDate d = date.date();
    const QTime t = date.time();
    return QString::asprintf("%04d-%02d-%02d-%02d-%02d-%02d_%010x", d.year(), d.month(), d.day(),
        t.hour(), t.minute(), t.second(), tag);
}

const QRegularExpression &temporaryNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})-(\\d{2})-(\\d{2})-(\\d{2})_(\\w{10})$"));
    return pattern;
}

bool keepsWindowsNames(const QString &folder)
{
    return FHSystem::fileSystemOf(folder).windowsNames;
}

int longestKeptSuffix(const QStringList &nameFilters)
{
    int longest = 0;
    for (const QString &filter : nameFilters)
        longest = qMax(longest, filter.toUtf8().size() - filter.lastIndexOf('.'));
    return longest + 4; // ".xmp"
}

namespace {

// The names Windows gives its devices, whatever follows a dot.
bool isDeviceName(const QString &name)
{
    static const QRegularExpression device(
        QStringLiteral(
            "^(CON|PRN|AUX|NUL|COM[1-9\u00b9\u00b2\u00b3]|LPT[1-9\u00b9\u00b2\u00b3]) *$"),
        QRegularExpression::CaseInsensitiveOption);
    return device.match(name.left(name.indexOf(QLatin1Char('.')))).hasMatch();
}

} // namespace

QString namePatternProblem(const QString &pattern, const QString &folder, int longestSuffix)
{
#ifdef Q_OS_WIN
    // Every name passes through Windows' rules here, whatever the volume.
    const bool windows = true;
#else
    const bool windows = !folder.isEmpty() && keepsWindowsNames(folder);
#endif
    return namePatternProblem(
        pattern, windows ? FHNameRules::Windows : FHNameRules::Posix, longestSuffix, folder);
}

QString namePatternProblem(
    const QString &pattern, FHNameRules rules, int longestSuffix, const QString &folder)
{
    if (pattern.contains(QLatin1Char('/')))
        return QStringLiteral("it holds \"/\", which would send the photos into other folders");
    if (pattern.contains(QChar(0)))
        return QStringLiteral("it holds a NUL character");
    const bool windows = rules == FHNameRules::Windows;
    // What Windows forbids in names, where the file system keeps its rules.
    static const QString windowsForbids = QStringLiteral("\\:*?\"<>|");
    const auto forbidden = std::find_if(pattern.begin(), pattern.end(),
        [](QChar c) { return windowsForbids.contains(c) || c.unicode() < 0x20; });
    if (forbidden != pattern.end() && windows) {
        const QChar c = *forbidden;
        const QString shown = c.unicode() < 0x20
            ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
            : QString(c);
        if (folder.isEmpty())
            return QStringLiteral("it holds \"%1\", which Windows does not allow in names")
                .arg(shown);
        return QStringLiteral("it holds \"%1\", which the file system of '%2' does not allow")
            .arg(shown, FHPaths::shown(folder));
    }
    // Room for a three-digit number: a folder of a thousand photos and more may
    // still meet a name too long, which fails cleanly where it happens.
    QString name = pattern;
    expandNamePattern(name, 1, 2014, 12, 31, 23, 34, 45);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("a name would be \"%1\"").arg(name);
    if (windows && isDeviceName(name))
        return QStringLiteral("a name would begin with \"%1\", which Windows keeps for a device")
            .arg(name.left(name.indexOf(QLatin1Char('.'))).trimmed());
    if (windows && (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' '))))
        return QStringLiteral("a name would end in a dot or a blank, which Windows drops");
    if (name.toUtf8().size() + longestSuffix > 255)
        return QStringLiteral("the names would be longer than 255 bytes");
    return QString();
}
