#include "ui/FHPicture.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

QString picturePath(const QString &path)
{
    if (QFileInfo::exists(path) || !QCoreApplication::instance())
        return path;
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(path);
    return QFileInfo::exists(beside) ? beside : path;
}

QPixmap loadPicture(const QString &given)
{
    const QString path = picturePath(given);
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
