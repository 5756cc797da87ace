#include "engine/FHNameDate.h"

#include "engine/FHDateText.h"

#include <QRegularExpression>

namespace {

struct Form
{
    QRegularExpression pattern;
    bool hasTime;
};

// Most specific first: a date with a time must not be read as a date alone.
const Form Forms[] = {
    { QRegularExpression(
          QStringLiteral(R"((?<!\d)(\d{4})(\d\d)(\d\d)[_-](\d\d)(\d\d)(\d\d)\d{0,3}(?!\d))")),
        true },
    { QRegularExpression(QStringLiteral(
          R"((?<!\d)(\d{4})-(\d\d)-(\d\d)(?:[-_ T.]| at )(\d\d)[-_.:]?(\d\d)[-_.:]?(\d\d)\d{0,3}(?!\d))")),
        true },
    { QRegularExpression(QStringLiteral(R"((?<!\d)(\d{4})(\d\d)(\d\d)(?!\d))")), false },
    { QRegularExpression(QStringLiteral(R"((?<!\d)(\d{4})-(\d\d)-(\d\d)(?!\d))")), false },
};

} // namespace

QDateTime dateFromFileName(const QString &name)
{
    const QString fileName = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    for (const Form &form : Forms) {
        const QRegularExpressionMatch match = form.pattern.match(fileName);
        if (!match.hasMatch())
            continue;
        const int year = match.capturedRef(1).toInt();
        if (year < 1990 || year > QDate::currentDate().year() + 1)
            return {};
        const QDate date(year, match.capturedRef(2).toInt(), match.capturedRef(3).toInt());
        const QTime time = form.hasTime ? QTime(match.capturedRef(4).toInt(),
                               match.capturedRef(5).toInt(), match.capturedRef(6).toInt())
                                        : QTime(12, 0);
        if (!date.isValid() || !time.isValid())
            return {};
        return FHDateText::wallClock(date, time);
    }
    return {};
}
