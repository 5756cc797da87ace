#ifndef FHSETTINGS_H
#define FHSETTINGS_H

#include <QMap>
#include <QSettings>
#include <QString>
#include <QVariant>

// The keys of Quilm.ini. Their groups, types and the value a missing key stands
// for live in one table in FHSettings.cpp.
enum class FHSettingKey
{
    Pos,
    Input,
    Output,
    Language,
    IsExif,
    CameraMaker,
    IsRecursive,
    IsCustomize,
    CustomizeName,
    SubFolder,
    IsCopy,
    SkipDuplicates,
    FileTypes,
    AskBeforeStart,
    HasStarted,
    PreviewSize,
};

// Quilm.ini in the working directory, opened for one load or one save and
// written when dropped.
class FHSettings
{
public:
    FHSettings();

    static QString fileName();

    bool contains(FHSettingKey key) const;
    // The stored value converted to the key's type; a missing value (and, for
    // the keys that say so, an empty one) gives the key's default. Pos and
    // PreviewSize have no default: a missing one is an invalid variant.
    QVariant value(FHSettingKey key) const;
    void setValue(FHSettingKey key, const QVariant &value);

    // [CameraShifts]: the offset each camera's clock is set right by, by the
    // camera's name ("Canon EOS 80D #0123=+01:00"); texts that do not read
    // are left out.
    QMap<QString, qint64> cameraShifts() const;
    // An offset of 0 removes the camera.
    void setCameraShift(const QString &camera, qint64 seconds);

private:
    QSettings m_settings;
};

// The folder offered as input and output on a first start: the user's pictures
// folder, or the home folder when there is none.
QString picturesFolder();

// The first of the desktop's languages that has a translation (zh, de, fr, ...),
// else "en".
QString defaultLanguage();

#endif // FHSETTINGS_H
