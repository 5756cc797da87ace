#include "engine/FHJsonLine.h"

#include <QJsonArray>
#include <QJsonDocument>

QByteArray jsonLine(const FHJsonFields &fields)
{
    QByteArray line = "{";
    for (const auto &field : fields) {
        if (line.size() > 1)
            line += ',';
        // A one-element array is the simplest way to have the toolkit quote a value.
        const QByteArray key
            = QJsonDocument(QJsonArray { field.first }).toJson(QJsonDocument::Compact);
        const QByteArray value
            = QJsonDocument(QJsonArray { field.second }).toJson(QJsonDocument::Compact);
        line += key.mid(1, key.size() - 2) + ':' + value.mid(1, value.size() - 2);
    }
    return line + "}\n";
}
