#include "cli/FHServiceSettings.h"

#include <QFile>
#include <QHash>
#include <QProcess>

bool FHServiceSettings::read(const QString &path, QStringList *arguments, QString *problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *problem = QStringLiteral("cannot read the settings file '%1': %2")
                       .arg(path, file.errorString());
        return false;
    }
    QHash<QString, QString> values;
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            *problem = QStringLiteral("%1:%2: expected KEY=VALUE").arg(path).arg(number);
            return false;
        }
        QString value = line.mid(equals + 1).trimmed();
        // The service's shell-like quotes around a whole value.
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == '\'')
            && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        values.insert(line.left(equals).trimmed(), value);
    }
    for (const char *key : { "INPUT", "OUTPUT" }) {
        if (values.value(QLatin1String(key)).isEmpty()) {
            *problem = QStringLiteral("the settings file '%1' names no %2").arg(path, key);
            return false;
        }
    }
    *arguments = QProcess::splitCommand(values.value(QStringLiteral("OPTIONS")));
    *arguments << values.value(QStringLiteral("INPUT")) << values.value(QStringLiteral("OUTPUT"));
    return true;
}
