#ifndef FHAPPLICATION_H
#define FHAPPLICATION_H

#include <QApplication>
#include <QMap>
#include <QStringList>

class QTranslator;

// The application class: owns the table of translations found beside the
// executable and switches the interface language on request, the toolkit's
// own texts (standard buttons, context menus, file dialogs) with it.
class FHApplication : public QApplication
{
    Q_OBJECT

public:
    // Turns on scaling for high-density screens before the toolkit starts.
    FHApplication(int &argc, char **argv);
    ~FHApplication() override;

    // Loads every "??.qm" file of the directory, and the toolkit's translation
    // for each of those languages where the system has one; installs none.
    static void loadTranslators(const QString &dir);
    // Language codes of the loaded translations, sorted.
    static QStringList languages();

public slots:
    // Makes the translators of the code the only installed ones and sets the
    // default locale; an unknown code only uninstalls the current ones.
    static void setLanguage(QString locale);

private:
    struct Language
    {
        QTranslator *own = nullptr;
        QTranslator *toolkit = nullptr; // null where the system has none
    };
    static QMap<QString, Language> s_languages;
    static Language s_current;
};

#endif // FHAPPLICATION_H
