#include "engine/FHPaths.h"

#include <QDir>
#include <QJsonArray>

namespace {

// The fields of the journal's records that hold paths.
bool holdsPaths(const QString &key)
{
    static const QStringList keys { QStringLiteral("source"), QStringLiteral("temporary"),
        QStringLiteral("final"), QStringLiteral("group"), QStringLiteral("path"),
        QStringLiteral("input"), QStringLiteral("output"), QStringLiteral("otherInputs") };
    return keys.contains(key);
}

QJsonValue converted(const QJsonValue &value, QString (*convert)(const QString &))
{
    if (value.isString())
        return convert(value.toString());
    if (!value.isArray())
        return value;
    QJsonArray array;
    for (const QJsonValue &item : value.toArray())
        array.append(converted(item, convert));
    return array;
}

} // namespace

namespace FHPaths {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString internal(const QString &path)
{
    return QDir::fromNativeSeparators(path);
}

FHJsonFields stored(FHJsonFields record)
{
    if (QDir::separator() != QLatin1Char('/')) {
        for (auto &field : record) {
            if (holdsPaths(field.first))
                field.second = converted(field.second, shown);
        }
    }
    return record;
}

QJsonObject fromStored(QJsonObject record)
{
    if (QDir::separator() != QLatin1Char('/')) {
        for (auto it = record.begin(); it != record.end(); ++it) {
            if (holdsPaths(it.key()))
                it.value() = converted(it.value(), internal);
        }
    }
    return record;
}

} // namespace FHPaths
