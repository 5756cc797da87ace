#include "TestSupport.h"
#include "shell/FHApplication.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

// Counts the language-change events a top-level widget receives.
class LanguageChangeCounter : public QWidget
{
public:
    int count = 0;

protected:
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::LanguageChange)
            ++count;
        QWidget::changeEvent(event);
    }
};

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void onlyTwoCharacterNamesLoad();
    void shippedTranslationsLoad();
    void switching_data();
    void switching();
    void unknownCodeUninstalls();
    void defaultLocaleFollowsCode();
    void toolkitTextsFollow_data();
    void toolkitTextsFollow();

private:
    QTemporaryDir m_dir;
};

void TestTranslations::initTestCase()
{
    auto qm = [](const char *code) {
        QFile f(QStringLiteral(TEST_QM_DIR "/%1.qm").arg(QLatin1String(code)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray de = qm("de");
    const QByteArray fr = qm("fr");
    QVERIFY(!de.isEmpty() && !fr.isEmpty());

    auto put = [this](const QString &name, const QByteArray &content) {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    put(QStringLiteral("de.qm"), de);
    put(QStringLiteral("fr.qm"), fr);
    put(QStringLiteral("deu.qm"), de);
    put(QStringLiteral("d.qm"), de);
    put(QStringLiteral("xx.qm"), QByteArray("not a translation file at all"));
    put(QStringLiteral("it.txt"), fr);
    FHApplication::loadTranslators(m_dir.path());
}

void TestTranslations::onlyTwoCharacterNamesLoad()
{
    QStringList codes = FHApplication::languages();
    codes.sort();
    QCOMPARE(codes, QStringList({ "de", "fr" }));
}

void TestTranslations::shippedTranslationsLoad()
{
    for (const char *code : { "en", "zh" }) {
        QTranslator translator;
        QVERIFY2(
            translator.load(QStringLiteral(QUILM_BINARY_DIR "/%1.qm").arg(QLatin1String(code))),
            code);
    }
}

static QString hello()
{
    return QCoreApplication::translate("TestTranslations", "hello");
}

void TestTranslations::switching_data()
{
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale::Language>("language");

    QTest::newRow("de") << QStringList { "de" } << "Hallo" << QLocale::German;
    QTest::newRow("de then fr") << QStringList { "de", "fr" } << "Bonjour" << QLocale::French;
    QTest::newRow("fr then de") << QStringList { "fr", "de" } << "Hallo" << QLocale::German;
    QTest::newRow("fr twice") << QStringList { "fr", "fr" } << "Bonjour" << QLocale::French;
}

void TestTranslations::switching()
{
    QFETCH(QStringList, codes);
    QFETCH(QString, text);
    QFETCH(QLocale::Language, language);

    LanguageChangeCounter window;
    window.show();
    QCoreApplication::processEvents();
    for (const QString &code : codes)
        FHApplication::setLanguage(code);
    QCOMPARE(hello(), text);
    QCOMPARE(QLocale().language(), language);
    QTRY_VERIFY(window.count > 0);

    // Only one translator was ever installed: removing it leaves the source text.
    FHApplication::setLanguage(QStringLiteral("none"));
    QCOMPARE(hello(), QStringLiteral("hello"));
}

void TestTranslations::unknownCodeUninstalls()
{
    FHApplication::setLanguage(QStringLiteral("de"));
    QCOMPARE(QLocale().language(), QLocale::German);

    LanguageChangeCounter window;
    window.show();
    QCoreApplication::processEvents();
    window.count = 0;
    FHApplication::setLanguage(QString());
    QCOMPARE(hello(), QStringLiteral("hello"));
    QTRY_COMPARE(window.count, 1);
    // The default locale stays as the previous switch left it.
    QCOMPARE(QLocale().language(), QLocale::German);
}

void TestTranslations::defaultLocaleFollowsCode()
{
    FHApplication::setLanguage(QStringLiteral("fr"));
    QCOMPARE(QLocale().name(), QStringLiteral("fr_FR"));
    FHApplication::setLanguage(QStringLiteral("de"));
    QCOMPARE(QLocale().name(), QStringLiteral("de_DE"));
}

// Texts the toolkit draws itself: a standard button, the context menu of a
// text field and the directory dialog.
static QStringList toolkitTexts()
{
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    const auto *lookIn = dialog.findChild<QLabel *>(QStringLiteral("lookInLabel"));
    return { box.button(QDialogButtonBox::Cancel)->text(), menu->actions().first()->text(),
        lookIn ? lookIn->text() : QString() };
}

void TestTranslations::toolkitTextsFollow_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("de") << "de"
                        << "Abbrechen";
    QTest::newRow("fr") << "fr"
                        << "Annuler";
    // Its file is named for the country: qtbase_zh_CN.qm.
    QTest::newRow("zh") << "zh" << QStringLiteral("取消");
}

void TestTranslations::toolkitTextsFollow()
{
    QFETCH(QString, code);
    QFETCH(QString, cancel);

    QTemporaryDir shipped;
    QVERIFY(QFile::copy(QStringLiteral(QUILM_BINARY_DIR "/zh.qm"), shipped.filePath("zh.qm")));
    FHApplication::loadTranslators(shipped.path());

    FHApplication::setLanguage(QString());
    const QStringList english = toolkitTexts();
    QCOMPARE(english.first(), QStringLiteral("Cancel"));
    FHApplication::setLanguage(code);
    const QStringList translated = toolkitTexts();
    FHApplication::setLanguage(QStringLiteral("none"));
    QCOMPARE(toolkitTexts(), english);

    QCOMPARE(translated.first(), cancel);
    for (int i = 1; i < english.size(); ++i)
        QVERIFY2(!translated.at(i).isEmpty() && translated.at(i) != english.at(i),
            qPrintable(english.at(i)));
}

QUILM_TEST_MAIN(TestTranslations)
#include "tst_translations.moc"
