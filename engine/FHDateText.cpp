#include "engine/FHDateText.h"

#include <QRegularExpression>

namespace FHDateText {

namespace {

    QStringView withoutTrailingBlanks(const QString &text)
    {
        int end = text.size();
        while (end > 0 && (text.at(end - 1).isSpace() || text.at(end - 1).isNull()))
            --end;
        return QStringView(text).left(end);
    }

    // Shared by both forms: captures 1-6 are the fields, 7 the zone if any.
    QDateTime parse(const QRegularExpression &pattern, const QString &text, QDateTime *instant)
    {
        const QRegularExpressionMatch match = pattern.match(withoutTrailingBlanks(text).toString(),
            0, QRegularExpression::NormalMatch, QRegularExpression::AnchoredMatchOption);
        if (!match.hasMatch())
            return {};
        int fields[6];
        for (int i = 0; i < 6; ++i)
            fields[i] = match.capturedRef(i + 1).toInt();
        const QDate date(fields[0], fields[1], fields[2]);
        const QTime time(fields[3], fields[4], fields[5]);
        if (!date.isValid() || !time.isValid())
            return {};

        int offset = 0;
        const QStringRef zone = match.capturedRef(7);
        if (zone.size() > 1) {
            const QString digits = zone.mid(1).toString().remove(QLatin1Char(':'));
            const int hours = digits.leftRef(2).toInt();
            const int minutes = digits.midRef(2).toInt();
            if (hours > 14 || minutes > 59)
                return {};
            offset = (hours * 60 + minutes) * 60 * (zone.at(0) == QLatin1Char('-') ? -1 : 1);
        }
        if (instant) {
            *instant = zone.isEmpty() ? QDateTime(date, time, Qt::LocalTime)
                                      : QDateTime(date, time, Qt::OffsetFromUTC, offset);
        }
        return wallClock(date, time);
    }

} // namespace

QDateTime wallClock(const QDate &date, const QTime &time)
{
    QDateTime local(date, time, Qt::LocalTime);
    if (local.isValid())
        return local;
    return QDateTime(date, time, Qt::UTC);
}

QDateTime fromExif(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"((\d{4}):(\d\d):(\d\d) (\d\d):(\d\d):(\d\d)(Z|[+-]\d\d:?\d\d)?$)"));
    return parse(pattern, text, nullptr);
}

QDateTime fromIso(const QString &text, QDateTime *instant)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"((\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)(?:\.\d{1,9})?(Z|[+-]\d\d:?\d\d)?$)"));
    return parse(pattern, text, instant);
}

QString subSecondDigits(const QString &text)
{
    int begin = 0;
    while (begin < text.size() && text.at(begin).isSpace())
        ++begin;
    int end = begin;
    while (
        end < text.size() && text.at(end) >= QLatin1Char('0') && text.at(end) <= QLatin1Char('9'))
        ++end;
    return text.mid(begin, end - begin);
}

} // namespace FHDateText
