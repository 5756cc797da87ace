#include "FHApplication.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

QHash<QString, QTranslator *> FHApplication::s_translators;
QTranslator *FHApplication::s_current = nullptr;

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
}

FHApplication::~FHApplication()
{
    // The translators are our children and go with us; forget them first.
    s_current = nullptr;
    s_translators.clear();
}

void FHApplication::loadTranslators(const QString &dir)
{
    const QFileInfoList entries = QDir(dir).entryInfoList(
        { QStringLiteral("??.qm") }, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &entry : entries) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(entry.absoluteFilePath(), QString(), QString(), QString()))
            s_translators.insert(entry.baseName(), translator);
        else
            delete translator;
    }
}

QStringList FHApplication::languages()
{
    return s_translators.keys();
}

void FHApplication::setLanguage(QString locale)
{
    if (s_current)
        QCoreApplication::removeTranslator(s_current);
    s_current = s_translators.value(locale, nullptr);
    if (!s_current)
        return;
    QCoreApplication::installTranslator(s_current);
    QLocale::setDefault(QLocale(locale));
}
