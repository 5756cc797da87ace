#ifndef FHJSONLINE_H
#define FHJSONLINE_H

#include <QByteArray>
#include <QJsonValue>
#include <QPair>
#include <QString>
#include <QVector>

// One JSON object on one line, its fields in the order given, so that the kind
// of a record ("event", "record") comes first and a reader can tell it at a glance.
using FHJsonFields = QVector<QPair<QString, QJsonValue>>;

QByteArray jsonLine(const FHJsonFields &fields);

#endif // FHJSONLINE_H
