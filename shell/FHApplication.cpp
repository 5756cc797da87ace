#include "shell/FHApplication.h"

#include "FHConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QMap<QString, FHApplication::Language> FHApplication::s_languages;
FHApplication::Language FHApplication::s_current;

namespace {

// The windows have fixed sizes in logical pixels, laid out for 96 dpi: a
// desktop at 125 or 150 % must scale them by 1.25 or 1.5, not leave them at 1
// with larger fonts, nor round up to 2. This counts only when set before the
// application object exists, hence its place in the constructor's arguments.
int &withHighDpiScaling(int &argc)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    return argc;
}

} // namespace

FHApplication::FHApplication(int &argc, char **argv)
    : QApplication(withHighDpiScaling(argc), argv)
{
    setApplicationDisplayName(QStringLiteral("Quilm"));
    // The journals name the program that wrote them by this.
    setApplicationVersion(QStringLiteral(QUILM_VERSION));
}

FHApplication::~FHApplication()
{
    // The translators are our children and go with us; forget them first.
    s_current = Language();
    s_languages.clear();
}

void FHApplication::loadTranslators(const QString &dir)
{
    const QString toolkitDir = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    const QFileInfoList entries = QDir(dir).entryInfoList(
        { QStringLiteral("??.qm") }, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &entry : entries) {
        Language language;
        language.own = new QTranslator(QCoreApplication::instance());
        if (!language.own->load(entry.absoluteFilePath(), QString(), QString(), QString())) {
            delete language.own;
            continue;
        }
        language.toolkit = new QTranslator(QCoreApplication::instance());
        if (!language.toolkit->load(QLocale(entry.baseName()), QStringLiteral("qtbase"),
                QStringLiteral("_"), toolkitDir)) {
            delete language.toolkit;
            language.toolkit = nullptr;
        }
        s_languages.insert(entry.baseName(), language);
    }
}

QStringList FHApplication::languages()
{
    return s_languages.keys();
}

void FHApplication::setLanguage(QString locale)
{
    for (QTranslator *translator : { s_current.own, s_current.toolkit }) {
        if (translator)
            QCoreApplication::removeTranslator(translator);
    }
    s_current = s_languages.value(locale);
    if (!s_current.own)
        return;
    // The last one installed is asked first: our own texts win.
    if (s_current.toolkit)
        QCoreApplication::installTranslator(s_current.toolkit);
    QCoreApplication::installTranslator(s_current.own);
    QLocale::setDefault(QLocale(locale));
}
