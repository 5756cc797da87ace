#include "TestSupport.h"
#include "shell/FHApplication.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"
#include "ui/FHSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void picturesFolderFallsBack();
    void firstStart_data();
    void firstStart();
    void roundTrip();
    void storedValues_data();
    void storedValues();
    void languageWrittenOnlyWhenChecked_data();
    void languageWrittenOnlyWhenChecked();
    void storedPosition_data();
    void storedPosition();
    // Last: Exit quits the application, after which no event loop runs.
    void exitWritesSettings();

private:
    std::unique_ptr<FHMainWindow> makeWindow();
    static void writeIni(const QString &text);
    static QVariant stored(const QString &key);
    static QString checkedLanguage(FHMainWindow &window);

    QString m_home;
};

namespace {
const QString defaultMakers = QStringLiteral("Canon|Apple|Nikon|Samsung");
} // namespace

std::unique_ptr<FHMainWindow> TestSettings::makeWindow()
{
    auto window = std::make_unique<FHMainWindow>(quilmApp(), QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return window;
}

void TestSettings::writeIni(const QString &text)
{
    QFile file(QStringLiteral("Quilm.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

QVariant TestSettings::stored(const QString &key)
{
    return QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat).value(key);
}

QString TestSettings::checkedLanguage(FHMainWindow &window)
{
    const QList<QAction *> entries = child<QMenu>(window, "languageMenu")->actions();
    QAction *checked
        = entries.isEmpty() ? nullptr : entries.first()->actionGroup()->checkedAction();
    return checked ? checked->data().toString() : QString();
}

void TestSettings::initTestCase()
{
    m_home = QString::fromLocal8Bit(qgetenv("HOME"));
    QVERIFY(m_home.startsWith(QDir::tempPath()));
    FHApplication::loadTranslators(QStringLiteral(QUILM_BINARY_DIR));
    const QStringList codes = FHApplication::languages();
    QVERIFY(codes.contains(QStringLiteral("en")) && codes.contains(QStringLiteral("zh")));
}

void TestSettings::init()
{
    QFile::remove(QStringLiteral("Quilm.ini"));
    QDir(m_home + QStringLiteral("/Pictures")).removeRecursively();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestSettings::cleanup()
{
    FHApplication::setLanguage(QString());
}

void TestSettings::picturesFolderFallsBack()
{
    QCOMPARE(picturesFolder(), QDir::toNativeSeparators(m_home));
    QVERIFY(QDir(m_home).mkdir(QStringLiteral("Pictures")));
    QCOMPARE(picturesFolder(), QDir::toNativeSeparators(m_home + QStringLiteral("/Pictures")));
}

void TestSettings::firstStart_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("language");

    // The desktop's language where there is a translation for it, else English.
    QTest::newRow("English system") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "en";
    QTest::newRow("Chinese system") << QLocale(QLocale::Chinese, QLocale::China) << "zh";
    QTest::newRow("Chinese, Taiwan") << QLocale(QLocale::Chinese, QLocale::Taiwan) << "zh";
    QTest::newRow("German system") << QLocale(QLocale::German, QLocale::Germany) << "de";
    QTest::newRow("German, Switzerland") << QLocale(QLocale::German, QLocale::Switzerland) << "de";
    QTest::newRow("French, Canada") << QLocale(QLocale::French, QLocale::Canada) << "fr";
    QTest::newRow("Spanish system") << QLocale(QLocale::Spanish, QLocale::Spain) << "en";
    QTest::newRow("C locale") << QLocale::c() << "en";
}

void TestSettings::firstStart()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, language);

    QLocale::setDefault(locale);
    QVERIFY(QDir(m_home).mkdir(QStringLiteral("Pictures")));
    const QString pictures = QDir::toNativeSeparators(m_home + QStringLiteral("/Pictures"));
    auto window = makeWindow();

    QVERIFY(!window->testAttribute(Qt::WA_Moved)); // placed by the system
    QCOMPARE(child<QLineEdit>(*window, "inputEdit")->text(), pictures);
    QCOMPARE(child<QLineEdit>(*window, "outputEdit")->text(), pictures);
    QVERIFY(child<QWidget>(*window, "startButton")->isEnabled());
    QCOMPARE(checkedLanguage(*window), language);
    QVERIFY(child<QRadioButton>(*window, "camerasOnlyRadio")->isChecked());
    QVERIFY(child<QRadioButton>(*window, "noRadio")->isChecked());
    QVERIFY(child<QRadioButton>(*window, "defaultNamingRadio")->isChecked());
    QCOMPARE(child<QLineEdit>(*window, "patternEdit")->text(), QStringLiteral("${NUM}"));
    QVERIFY(!child<QLineEdit>(*window, "patternEdit")->isEnabled());
    QVERIFY(!child<QPushButton>(*window, "rulesButton")->isEnabled());
    QVERIFY(child<QRadioButton>(*window, "dayRadio")->isChecked());
    QVERIFY(!child<QCheckBox>(*window, "copyCheck")->isChecked());
    QVERIFY(child<QCheckBox>(*window, "skipDuplicatesCheck")->isChecked());

    window->close();
    QCOMPARE(stored("Option/cameraMaker").toString(), defaultMakers);
    QCOMPARE(stored("MainWindow/language").toString(), language);
    QCOMPARE(stored("Option/subFolder").toInt(), 2);
}

void TestSettings::roundTrip()
{
    {
        auto window = makeWindow();
        window->move(120, 90);
        child<QLineEdit>(*window, "inputEdit")->setText(QStringLiteral("  /photos/in "));
        child<QLineEdit>(*window, "outputEdit")->setText(QStringLiteral("/photos/out\t"));
        child<QRadioButton>(*window, "allImagesRadio")->setChecked(true);
        child<QRadioButton>(*window, "yesRadio")->setChecked(true);
        child<QRadioButton>(*window, "patternRadio")->setChecked(true);
        child<QLineEdit>(*window, "patternEdit")->setText(QStringLiteral(" Trip ${NUM} "));
        child<QRadioButton>(*window, "monthRadio")->setChecked(true);
        child<QCheckBox>(*window, "copyCheck")->setChecked(true);
        child<QCheckBox>(*window, "skipDuplicatesCheck")->setChecked(false);
        for (QAction *entry : child<QMenu>(*window, "languageMenu")->actions()) {
            if (entry->data().toString() == QLatin1String("zh"))
                entry->trigger();
        }
        window->close();
    }
    QCOMPARE(stored("MainWindow/pos").toPoint(), QPoint(120, 90));
    QCOMPARE(stored("MainWindow/input").toString(), QStringLiteral("  /photos/in "));
    QCOMPARE(stored("MainWindow/language").toString(), QStringLiteral("zh"));
    QCOMPARE(stored("Option/isExif").toString(), QStringLiteral("false"));
    QCOMPARE(stored("Option/isRecursive").toString(), QStringLiteral("true"));
    QCOMPARE(stored("Option/isCustomize").toString(), QStringLiteral("true"));
    QCOMPARE(stored("Option/subFolder").toInt(), 1);
    QCOMPARE(stored("Option/isCopy").toString(), QStringLiteral("true"));
    QCOMPARE(stored("Option/skipDuplicates").toString(), QStringLiteral("false"));

    FHApplication::setLanguage(QString());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto window = makeWindow();
    QCOMPARE(window->pos(), QPoint(120, 90));
    QCOMPARE(child<QLineEdit>(*window, "inputEdit")->text(), QStringLiteral("  /photos/in "));
    QCOMPARE(child<QLineEdit>(*window, "outputEdit")->text(), QStringLiteral("/photos/out\t"));
    QVERIFY(child<QRadioButton>(*window, "allImagesRadio")->isChecked());
    QVERIFY(child<QRadioButton>(*window, "yesRadio")->isChecked());
    QVERIFY(child<QRadioButton>(*window, "patternRadio")->isChecked());
    QVERIFY(child<QLineEdit>(*window, "patternEdit")->isEnabled());
    QVERIFY(child<QPushButton>(*window, "rulesButton")->isEnabled());
    QCOMPARE(child<QLineEdit>(*window, "patternEdit")->text(), QStringLiteral(" Trip ${NUM} "));
    QVERIFY(child<QRadioButton>(*window, "monthRadio")->isChecked());
    QVERIFY(child<QCheckBox>(*window, "copyCheck")->isChecked());
    QVERIFY(!child<QCheckBox>(*window, "skipDuplicatesCheck")->isChecked());
    QCOMPARE(checkedLanguage(*window), QStringLiteral("zh"));
    QCOMPARE(QLocale().language(), QLocale::Chinese);
}

void TestSettings::storedValues_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("patternEnabled");
    QTest::addColumn<QString>("makersAfterClose");

    const QString num = QStringLiteral("${NUM}");
    QTest::newRow("isExif 0") << "[Option]\nisExif=0\n"
                              << QStringList { "allImagesRadio" } << num << false << defaultMakers;
    QTest::newRow("isExif FALSE") << "[Option]\nisExif=FALSE\n"
                                  << QStringList { "allImagesRadio" } << num << false
                                  << defaultMakers;
    QTest::newRow("isExif empty") << "[Option]\nisExif=\n"
                                  << QStringList { "allImagesRadio" } << num << false
                                  << defaultMakers;
    QTest::newRow("isExif other text")
        << "[Option]\nisExif=yes\n"
        << QStringList { "camerasOnlyRadio" } << num << false << defaultMakers;
    QTest::newRow("isRecursive true")
        << "[Option]\nisRecursive=true\n"
        << QStringList { "yesRadio" } << num << false << defaultMakers;
    QTest::newRow("isRecursive 0") << "[Option]\nisRecursive=0\n"
                                   << QStringList { "noRadio" } << num << false << defaultMakers;
    QTest::newRow("subFolder 0") << "[Option]\nsubFolder=0\n"
                                 << QStringList { "noneRadio" } << num << false << defaultMakers;
    QTest::newRow("subFolder 1") << "[Option]\nsubFolder=1\n"
                                 << QStringList { "monthRadio" } << num << false << defaultMakers;
    QTest::newRow("subFolder 5") << "[Option]\nsubFolder=5\n"
                                 << QStringList { "dayRadio" } << num << false << defaultMakers;
    QTest::newRow("subFolder -1") << "[Option]\nsubFolder=-1\n"
                                  << QStringList { "dayRadio" } << num << false << defaultMakers;
    QTest::newRow("subFolder not a number")
        << "[Option]\nsubFolder=abc\n"
        << QStringList { "noneRadio" } << num << false << defaultMakers;
    QTest::newRow("customizeName empty")
        << "[Option]\nisCustomize=true\ncustomizeName=\n"
        << QStringList { "patternRadio" } << num << true << defaultMakers;
    QTest::newRow("isCustomize without customizeName")
        << "[Option]\nisCustomize=true\n"
        << QStringList { "patternRadio" } << num << true << defaultMakers;
    QTest::newRow("customizeName kept while not customizing")
        << "[Option]\nisCustomize=false\ncustomizeName=Trip ${NUM}\n"
        << QStringList { "defaultNamingRadio" } << "Trip ${NUM}" << false << defaultMakers;
    QTest::newRow("cameraMaker empty stays empty")
        << "[Option]\ncameraMaker=\n"
        << QStringList { "camerasOnlyRadio" } << num << false << "";
    QTest::newRow("cameraMaker kept") << "[Option]\ncameraMaker=Leica|Canon\n"
                                      << QStringList {} << num << false << "Leica|Canon";
}

void TestSettings::storedValues()
{
    QFETCH(QString, ini);
    QFETCH(QStringList, checked);
    QFETCH(QString, pattern);
    QFETCH(bool, patternEnabled);
    QFETCH(QString, makersAfterClose);

    writeIni(ini);
    auto window = makeWindow();
    for (const QString &name : checked)
        QVERIFY2(child<QRadioButton>(*window, qPrintable(name))->isChecked(), qPrintable(name));
    QCOMPARE(child<QLineEdit>(*window, "patternEdit")->text(), pattern);
    QCOMPARE(child<QLineEdit>(*window, "patternEdit")->isEnabled(), patternEnabled);
    QCOMPARE(child<QPushButton>(*window, "rulesButton")->isEnabled(), patternEnabled);
    // Every group has one checked button.
    for (const char *group : { "camerasOnlyRadio", "yesRadio", "patternRadio", "noneRadio" })
        QVERIFY(child<QRadioButton>(*window, group)->group()->checkedButton());
    window->close();
    QCOMPARE(stored("Option/cameraMaker").toString(), makersAfterClose);
}

void TestSettings::languageWrittenOnlyWhenChecked_data()
{
    QTest::addColumn<QString>("storedLanguage");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("afterClose");

    QTest::newRow("unknown code kept") << "xx"
                                       << ""
                                       << "xx";
    QTest::newRow("code in another case") << "ZH"
                                          << ""
                                          << "ZH";
    QTest::newRow("known code") << "zh"
                                << "zh"
                                << "zh";
}

void TestSettings::languageWrittenOnlyWhenChecked()
{
    QFETCH(QString, storedLanguage);
    QFETCH(QString, checked);
    QFETCH(QString, afterClose);

    writeIni(QStringLiteral("[MainWindow]\nlanguage=%1\n").arg(storedLanguage));
    auto window = makeWindow();
    QCOMPARE(checkedLanguage(*window), checked);
    QCOMPARE(QLocale().language() == QLocale::Chinese, checked == QLatin1String("zh"));
    window->close();
    QCOMPARE(stored("MainWindow/language").toString(), afterClose);
}

void TestSettings::storedPosition_data()
{
    QTest::addColumn<QString>("pos");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QPoint>("at");

    // Only a window that fits whole on a screen goes back where it was.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint corner = screen.bottomRight() - QPoint(600, 480 + 40);
    QTest::newRow("on the screen") << "@Point(100 80)" << true << QPoint(100, 80);
    QTest::newRow("in the far corner")
        << QStringLiteral("@Point(%1 %2)").arg(corner.x()).arg(corner.y()) << true << corner;
    QTest::newRow("a little off the left edge")
        << QStringLiteral("@Point(%1 10)").arg(screen.left() - 20) << false << QPoint();
    QTest::newRow("a little off the right edge")
        << QStringLiteral("@Point(%1 10)").arg(screen.right() - 580) << false << QPoint();
    QTest::newRow("bottom off the screen")
        << QStringLiteral("@Point(10 %1)").arg(screen.bottom() - 300) << false << QPoint();
    QTest::newRow("on a removed monitor") << "@Point(-5000 -5000)" << false << QPoint();
    QTest::newRow("above the top") << "@Point(100 -10)" << false << QPoint();
    QTest::newRow("not a point") << "somewhere" << true << QPoint(0, 0);
}

void TestSettings::storedPosition()
{
    QFETCH(QString, pos);
    QFETCH(bool, moved);
    QFETCH(QPoint, at);

    writeIni(QStringLiteral("[MainWindow]\npos=%1\n").arg(pos));
    auto window = makeWindow();
    QCOMPARE(window->testAttribute(Qt::WA_Moved), moved);
    if (moved)
        QCOMPARE(window->pos(), at);
}

void TestSettings::exitWritesSettings()
{
    auto window = makeWindow();
    child<QLineEdit>(*window, "inputEdit")->setText(QStringLiteral("/left/through/exit"));
    child<QAction>(*window, "exitAction")->trigger();
    QCOMPARE(stored("MainWindow/input").toString(), QStringLiteral("/left/through/exit"));
}

int main(int argc, char **argv)
{
    // The pictures folder is looked up in the home folder: use a fresh one.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    return quilmTestMain(argc, argv, [] { return new TestSettings; });
}

#include "tst_settings.moc"
