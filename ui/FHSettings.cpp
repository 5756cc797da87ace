#include "ui/FHSettings.h"
#include "engine/FHCameraClock.h"
#include "engine/FHCameraMakers.h"
#include "engine/FHFileTypes.h"
#include "engine/FHPaths.h"
#include "shell/FHApplication.h"

#include <QDir>
#include <QLocale>
#include <QPoint>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <shlobj.h>
#endif

namespace {

struct KeyInfo
{
    FHSettingKey key;
    const char *group;
    const char *name;
    int type; // QMetaType id the stored text is converted to
    bool emptyIsMissing; // an empty stored text gives the default as well
    QVariant (*fallback)();
};

QVariant none()
{
    return QVariant();
}
QVariant pictures()
{
    return picturesFolder();
}
QVariant language()
{
    return defaultLanguage();
}
QVariant yes()
{
    return true;
}
QVariant no()
{
    return false;
}
QVariant makers()
{
    return FHCameraMakers::toText(FHCameraMakers::defaults());
}
QVariant numberOnly()
{
    return QStringLiteral("${NUM}");
}
QVariant perDay()
{
    return 2;
}
QVariant photosOnly()
{
    return FHFileTypes::familyNames(FHFileTypes::Photo);
}

const KeyInfo keys[] = {
    { FHSettingKey::Pos, "MainWindow", "pos", QMetaType::QPoint, false, none },
    { FHSettingKey::Input, "MainWindow", "input", QMetaType::QString, true, pictures },
    { FHSettingKey::Output, "MainWindow", "output", QMetaType::QString, true, pictures },
    { FHSettingKey::Language, "MainWindow", "language", QMetaType::QString, false, language },
    { FHSettingKey::IsExif, "Option", "isExif", QMetaType::Bool, false, yes },
    { FHSettingKey::CameraMaker, "Option", "cameraMaker", QMetaType::QString, false, makers },
    { FHSettingKey::IsRecursive, "Option", "isRecursive", QMetaType::Bool, false, no },
    { FHSettingKey::IsCustomize, "Option", "isCustomize", QMetaType::Bool, false, no },
    { FHSettingKey::CustomizeName, "Option", "customizeName", QMetaType::QString, true,
        numberOnly },
    // 0 none, 1 per month, anything else per day
    { FHSettingKey::SubFolder, "Option", "subFolder", QMetaType::Int, false, perDay },
    // Copies into the output, the originals kept
    { FHSettingKey::IsCopy, "Option", "isCopy", QMetaType::Bool, false, no },
    // Files whose bytes the library holds stay where they are
    { FHSettingKey::SkipDuplicates, "Option", "skipDuplicates", QMetaType::Bool, false, yes },
    // Families as the command spells them, e.g. "photo,raw"
    { FHSettingKey::FileTypes, "Option", "fileTypes", QMetaType::QString, true, photosOnly },
    // Cleared by "don't ask again" in the question before a START
    { FHSettingKey::AskBeforeStart, "Option", "askBeforeStart", QMetaType::Bool, false, yes },
    // Set once a START has sorted for real
    { FHSettingKey::HasStarted, "Option", "hasStarted", QMetaType::Bool, false, no },
    // The preview dialog's last size; none until it has been shown once.
    { FHSettingKey::PreviewSize, "Preview", "size", QMetaType::QSize, false, none },
};

const KeyInfo &info(FHSettingKey key)
{
    for (const KeyInfo &k : keys) {
        if (k.key == key)
            return k;
    }
    Q_UNREACHABLE();
}

QString path(const KeyInfo &k)
{
    return QStringLiteral("%1/%2").arg(QLatin1String(k.group), QLatin1String(k.name));
}

// The settings take "/" and "\\" in a key for groups and squeeze repeated
// ones: a camera's name keeps them, and its "%", escaped.
const char cameraShiftGroup[] = "CameraShifts";

QString cameraKey(const QString &camera)
{
    QString key = camera;
    key.replace(QLatin1Char('%'), QLatin1String("%25"));
    key.replace(QLatin1Char('/'), QLatin1String("%2F"));
    key.replace(QLatin1Char('\\'), QLatin1String("%5C"));
    return key;
}

QString cameraOfKey(const QString &key)
{
    QString camera = key;
    camera.replace(QLatin1String("%2F"), QLatin1String("/"));
    camera.replace(QLatin1String("%5C"), QLatin1String("\\"));
    camera.replace(QLatin1String("%25"), QLatin1String("%"));
    return camera;
}

} // namespace

FHSettings::FHSettings()
    : m_settings(fileName(), QSettings::IniFormat)
{
}

QString FHSettings::fileName()
{
    return QStringLiteral("Quilm.ini");
}

bool FHSettings::contains(FHSettingKey key) const
{
    return m_settings.contains(path(info(key)));
}

QVariant FHSettings::value(FHSettingKey key) const
{
    const KeyInfo &k = info(key);
    QVariant stored = m_settings.value(path(k));
    if (!stored.isValid() || (k.emptyIsMissing && stored.toString().isEmpty()))
        return k.fallback();
    // A text that does not convert gives the type's null value: (0, 0) for a
    // point, 0 for a number.
    if (!stored.convert(k.type))
        return QVariant(k.type, nullptr);
    return stored;
}

void FHSettings::setValue(FHSettingKey key, const QVariant &value)
{
    m_settings.setValue(path(info(key)), value);
}

QMap<QString, qint64> FHSettings::cameraShifts() const
{
    QMap<QString, qint64> shifts;
    QSettings &settings = const_cast<QSettings &>(m_settings);
    settings.beginGroup(QLatin1String(cameraShiftGroup));
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        qint64 seconds = 0;
        if (FHCameraClock::parseShift(settings.value(key).toString(), &seconds) && seconds != 0)
            shifts.insert(cameraOfKey(key), seconds);
    }
    settings.endGroup();
    return shifts;
}

void FHSettings::setCameraShift(const QString &camera, qint64 seconds)
{
    if (camera.isEmpty())
        return;
    const QString key = QLatin1String(cameraShiftGroup) + QLatin1Char('/') + cameraKey(camera);
    if (seconds == 0)
        m_settings.remove(key);
    else
        m_settings.setValue(key, FHCameraClock::shiftText(seconds));
}

QString picturesFolder()
{
#ifdef Q_OS_WIN
    // The user's "My Pictures", wherever the user or a roaming profile put it.
    wchar_t path[MAX_PATH];
    QString folder;
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
#else
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
#endif
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return FHPaths::shown(folder);
}

QString defaultLanguage()
{
    // The desktop's languages in the order the user prefers them ("de-CH",
    // "de", ...), as LANGUAGE, LC_MESSAGES and LANG give them.
    const QStringList codes = FHApplication::languages();
    const QStringList wanted = QLocale().uiLanguages();
    for (const QString &name : wanted) {
        const QString code = name.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (codes.contains(code.toLower()))
            return code.toLower();
    }
    return QStringLiteral("en");
}
