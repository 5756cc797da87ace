#include "ui/FHPicture.h"

#include <QFileInfo>
#include <QGuiApplication>

QPixmap loadPicture(const QString &path)
{
    if (qApp && qApp->devicePixelRatio() > 1.0) {
        const QFileInfo info(path);
        const QString doubled = QStringLiteral("%1/%2@2x.%3")
                                    .arg(info.path(), info.completeBaseName(), info.suffix());
        // The reader takes the ratio 2 from the "@2x" in the name.
        QPixmap picture(doubled);
        if (!picture.isNull())
            return picture;
    }
    return QPixmap(path);
}
