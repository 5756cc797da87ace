#ifndef FHAPPLICATION_H
#define FHAPPLICATION_H

#include <QApplication>
#include <QHash>
#include <QStringList>

class QTranslator;

// The application class: owns the table of translations found beside the
// executable and switches the interface language on request.
class FHApplication : public QApplication
{
    Q_OBJECT

public:
    // Turns on scaling for high-density screens before the toolkit starts.
    FHApplication(int &argc, char **argv);
    ~FHApplication() override;

    // Loads every "??.qm" file of the directory; installs none of them.
    static void loadTranslators(const QString &dir);
    // Language codes of the loaded translations, in the table's own order.
    static QStringList languages();

public slots:
    // Makes the translator of the code the only installed one and sets the
    // default locale; an unknown code only uninstalls the current one.
    static void setLanguage(QString locale);

private:
    static QHash<QString, QTranslator *> s_translators;
    static QTranslator *s_current;
};

#endif // FHAPPLICATION_H
