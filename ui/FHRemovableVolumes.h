#ifndef FHREMOVABLEVOLUMES_H
#define FHREMOVABLEVOLUMES_H

#include <QString>
#include <QStringList>
#include <QVector>

// A mounted card, stick or camera, as the input row offers it.
struct FHVolume
{
    QString label; // the volume's own name, else its folder's: "EOS_DIGITAL"
    QString path; // where it is mounted
};

// The folders the desktop mounts removable volumes in: /media and /run/media.
QStringList removableVolumeRoots();
// The mounted volumes under roots that can be read, by label.
QVector<FHVolume> removableVolumes(const QStringList &roots = removableVolumeRoots());

#endif // FHREMOVABLEVOLUMES_H
