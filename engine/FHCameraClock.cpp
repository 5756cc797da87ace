#include "engine/FHCameraClock.h"

#include "engine/FHDateText.h"

#include <QRegularExpression>

namespace FHCameraClock {

QString cameraName(const QString &make, const QString &model, const QString &serial)
{
    const QString maker = make.simplified();
    QString name = model.simplified();
    // "Canon" and "Canon EOS 80D" make "Canon EOS 80D", not "Canon Canon EOS
    // 80D"; "NIKON CORPORATION" and "NIKON D70" make "NIKON D70".
    const QString brand = maker.section(QLatin1Char(' '), 0, 0);
    if (!maker.isEmpty()
        && !name.startsWith(
            brand + (maker == brand ? QString() : QStringLiteral(" ")), Qt::CaseInsensitive))
        name = name.isEmpty() ? maker : maker + QLatin1Char(' ') + name;
    if (name.isEmpty())
        return QString();
    const QString number = serial.simplified();
    return number.isEmpty() ? name : name + QStringLiteral(" #") + number;
}

bool parseShift(const QString &text, qint64 *seconds)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^([+-])(?:(\d{1,5})\.)?(\d{1,2}):(\d\d)(?::(\d\d))?$)"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const qint64 hours = match.captured(3).toLongLong();
    const qint64 minutes = match.captured(4).toLongLong();
    const qint64 secs = match.captured(5).toLongLong();
    if (hours > 23 || minutes > 59 || secs > 59)
        return false;
    const qint64 total = ((match.captured(2).toLongLong() * 24 + hours) * 60 + minutes) * 60 + secs;
    if (total > MaxShiftSeconds)
        return false;
    *seconds = match.captured(1) == QLatin1String("-") ? -total : total;
    return true;
}

QString shiftText(qint64 seconds)
{
    const QChar sign = seconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    qint64 left = qAbs(seconds);
    const qint64 days = left / 86400;
    left %= 86400;
    QString text = sign;
    if (days > 0)
        text += QString::number(days) + QLatin1Char('.');
    text += QStringLiteral("%1:%2")
                .arg(left / 3600, 2, 10, QLatin1Char('0'))
                .arg(left % 3600 / 60, 2, 10, QLatin1Char('0'));
    if (left % 60)
        text += QStringLiteral(":%1").arg(left % 60, 2, 10, QLatin1Char('0'));
    return text;
}

bool parseZone(const QString &text, int *seconds)
{
    static const QRegularExpression form(QStringLiteral(R"(^([+-])(\d\d):?(\d\d)$)"));
    QString trimmed = text;
    // EXIF pads its texts with NULs.
    while (trimmed.endsWith(QChar(0)))
        trimmed.chop(1);
    const QRegularExpressionMatch match = form.match(trimmed);
    if (!match.hasMatch())
        return false;
    const int hours = match.captured(2).toInt();
    const int minutes = match.captured(3).toInt();
    if (hours > 14 || minutes > 59)
        return false;
    const int total = hours * 3600 + minutes * 60;
    *seconds = match.captured(1) == QLatin1String("-") ? -total : total;
    return true;
}

QString zoneText(int seconds)
{
    const int left = qAbs(seconds);
    return QStringLiteral("%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(left / 3600, 2, 10, QLatin1Char('0'))
        .arg(left % 3600 / 60, 2, 10, QLatin1Char('0'));
}

QDateTime shifted(const QDateTime &wallClock, qint64 seconds)
{
    if (!seconds || !wallClock.isValid())
        return wallClock;
    const QDateTime fields
        = QDateTime(wallClock.date(), wallClock.time(), Qt::UTC).addSecs(seconds);
    return FHDateText::wallClock(fields.date(), fields.time());
}

qint64 alignment(const QDateTime &cameraTimeA, const QDateTime &cameraTimeB)
{
    const QDateTime a(cameraTimeA.date(), cameraTimeA.time(), Qt::UTC);
    const QDateTime b(cameraTimeB.date(), cameraTimeB.time(), Qt::UTC);
    return a.secsTo(b);
}

QString resolveShifts(
    const QStringList &texts, const QStringList &cameras, QMap<QString, qint64> *shifts)
{
    const QString found = cameras.isEmpty()
        ? QStringLiteral("no camera was found")
        : QStringLiteral("the cameras found: '%1'").arg(cameras.join(QStringLiteral("', '")));
    for (const QString &text : texts) {
        const int equals = text.lastIndexOf(QLatin1Char('='));
        qint64 seconds = 0;
        if (equals <= 0 || !parseShift(text.mid(equals + 1), &seconds))
            return QStringLiteral("'%1' is no shift: write CAMERA=+HH:MM, e.g. \"EOS=+01:00\" "
                                  "(days as +D.HH:MM, seconds as +HH:MM:SS); %2")
                .arg(text, found);
        const QString wanted = text.left(equals).trimmed();
        QStringList matches;
        for (const QString &camera : cameras) {
            if (camera.compare(wanted, Qt::CaseInsensitive) == 0) {
                matches = QStringList { camera };
                break;
            }
            if (camera.contains(wanted, Qt::CaseInsensitive))
                matches << camera;
        }
        if (matches.size() != 1)
            return QStringLiteral("'%1' names %2; %3")
                .arg(wanted,
                    matches.isEmpty() ? QStringLiteral("no camera")
                                      : QStringLiteral("more than one camera"),
                    found);
        shifts->insert(matches.first(), seconds);
    }
    return QString();
}

} // namespace FHCameraClock
