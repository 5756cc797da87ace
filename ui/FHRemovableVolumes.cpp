#include "ui/FHRemovableVolumes.h"

#include <QDir>
#include <QStorageInfo>

#include <algorithm>

QStringList removableVolumeRoots()
{
#ifdef Q_OS_WIN
    // Every drive but the one Windows runs from: cards and sticks get letters
    // of their own.
    return { QString() };
#else
    return { QStringLiteral("/media"), QStringLiteral("/run/media") };
#endif
}

QVector<FHVolume> removableVolumes(const QStringList &roots)
{
    QVector<FHVolume> volumes;
    const QString system = QDir::cleanPath(QStorageInfo::root().rootPath());
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes()) {
        const QString path = QDir::cleanPath(storage.rootPath());
        const bool under = std::any_of(roots.cbegin(), roots.cend(), [&](const QString &root) {
            return root.isEmpty() ? path != system : path.startsWith(root + QLatin1Char('/'));
        });
        if (!under || !storage.isValid() || !storage.isReady())
            continue;
        QString label = storage.name();
        if (label.isEmpty())
            label = QDir(path).dirName();
        volumes.append({ label, path });
    }
    std::sort(volumes.begin(), volumes.end(), [](const FHVolume &a, const FHVolume &b) {
        return a.label.compare(b.label, Qt::CaseInsensitive) < 0;
    });
    return volumes;
}
