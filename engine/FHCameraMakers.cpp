#include "engine/FHCameraMakers.h"

namespace FHCameraMakers {

QStringList defaults()
{
    return { QStringLiteral("Canon"), QStringLiteral("Apple"), QStringLiteral("Nikon"),
        QStringLiteral("Samsung") };
}

void add(QStringList &makers, const QString &maker)
{
    const QString name = maker.trimmed();
    if (!toText(makers).contains(name, Qt::CaseInsensitive))
        makers << name;
}

QStringList fromText(const QString &text)
{
    // An empty text is one empty entry, so that the text comes back the same.
    return text.split(QLatin1Char('|'));
}

QString toText(const QStringList &makers)
{
    return makers.join(QLatin1Char('|'));
}

} // namespace FHCameraMakers
