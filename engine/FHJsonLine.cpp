#include "engine/FHJsonLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace {

// JSON's string escapes; the toolkit's encoder costs a document per value,
// which the journal, with a record per file, cannot afford.
void appendString(QByteArray &line, const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    line += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const uchar u = uchar(c);
        if (c == '"' || c == '\\') {
            line += '\\';
            line += c;
        } else if (u < 0x20) {
            switch (c) {
            case '\n':
                line += "\\n";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += "\\u00";
                line += hex[u >> 4];
                line += hex[u & 15];
            }
        } else {
            line += c;
        }
    }
    line += '"';
}

void appendValue(QByteArray &line, const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        line += "null";
        break;
    case QJsonValue::Bool:
        line += value.toBool() ? "true" : "false";
        break;
    case QJsonValue::Double: {
        const double number = value.toDouble();
        // In range first: a double beyond qint64 does not convert.
        if (qAbs(number) < 9007199254740992.0 && number == double(qint64(number)))
            line += QByteArray::number(qint64(number));
        else
            // The shortest text that reads back as the same number: 9.192, not
            // the 17 digits of 9.1920000000000002.
            line += QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
        break;
    }
    case QJsonValue::String:
        appendString(line, value.toString());
        break;
    case QJsonValue::Array:
        line += QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
        break;
    case QJsonValue::Object:
        line += QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
        break;
    }
}

} // namespace

QByteArray jsonLine(const FHJsonFields &fields)
{
    QByteArray line;
    line.reserve(256);
    line += '{';
    for (const auto &field : fields) {
        if (line.size() > 1)
            line += ',';
        appendString(line, field.first);
        line += ':';
        appendValue(line, field.second);
    }
    line += "}\n";
    return line;
}
