#include "engine/FHNaming.h"

#include <QRegularExpression>

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
