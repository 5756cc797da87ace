#include "FHConfig.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHIO.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

// Whole runs started with the START button, checked by what they leave on disk.
class TestMainWindowRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void optionsReachTheRun_data();
    void optionsReachTheRun();
    void untrimmedDirectories();
    void widgetsLockedDuringRun_data();
    void widgetsLockedDuringRun();
    void summaryText_data();
    void summaryText();
    void makersGrowAndPersist();

private:
    struct Options
    {
        bool pattern = false;
        QString patternText;
        const char *subFolder = "noneRadio";
        bool recursive = false;
        bool exifOnly = true;
    };
    std::unique_ptr<FHMainWindow> makeWindow();
    void apply(FHMainWindow &window, const Options &options);
    template<typename T> static T *child(FHMainWindow &window, const char *name);
    static QList<QMessageBox *> summaries(FHMainWindow &window);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_in;
    QString m_out;
};

namespace {
FHexiv2Application *engine()
{
    return static_cast<FHexiv2Application *>(QCoreApplication::instance());
}

// Three camera photographs, one in a sub-folder, and a screenshot without EXIF.
void makeInput(const QString &in)
{
    QVERIFY(QDir().mkpath(in + QStringLiteral("/sub")));
    QVERIFY(TestImages::makeImage(in + QStringLiteral("/a.jpg"), QStringLiteral("Canon"),
        QStringLiteral("2014:12:31 23:34:45")));
    QVERIFY(TestImages::makeImage(in + QStringLiteral("/b.JPG"), QStringLiteral("Nikon"),
        QStringLiteral("2015:01:02 08:00:00")));
    QVERIFY(TestImages::makeImage(in + QStringLiteral("/sub/c.jpg"), QStringLiteral("Canon"),
        QStringLiteral("2014:12:31 10:00:00")));
    QVERIFY(TestImages::makeImage(in + QStringLiteral("/d.png")));
}
} // namespace

template<typename T> T *TestMainWindowRun::child(FHMainWindow &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

QList<QMessageBox *> TestMainWindowRun::summaries(FHMainWindow &window)
{
    return window.findChildren<QMessageBox *>(QStringLiteral("summaryBox"));
}

std::unique_ptr<FHMainWindow> TestMainWindowRun::makeWindow()
{
    auto window = std::make_unique<FHMainWindow>(engine(), QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    child<QLineEdit>(*window, "inputEdit")->setText(m_in);
    child<QLineEdit>(*window, "outputEdit")->setText(m_out);
    return window;
}

void TestMainWindowRun::apply(FHMainWindow &window, const Options &options)
{
    child<QRadioButton>(window, options.pattern ? "patternRadio" : "defaultNamingRadio")->click();
    child<QLineEdit>(window, "patternEdit")->setText(options.patternText);
    child<QRadioButton>(window, options.subFolder)->click();
    child<QRadioButton>(window, options.recursive ? "yesRadio" : "noRadio")->click();
    child<QRadioButton>(window, options.exifOnly ? "camerasOnlyRadio" : "allImagesRadio")->click();
}

void TestMainWindowRun::initTestCase()
{
    QVERIFY(QFile::link(QStringLiteral(QUILM_BINARY_DIR "/image"), QStringLiteral("image")));
}

void TestMainWindowRun::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_in = m_dir->filePath(QStringLiteral("in"));
    m_out = m_dir->filePath(QStringLiteral("out"));
    makeInput(m_in);
    QFile::remove(QStringLiteral("Quilm.ini"));
}

void TestMainWindowRun::cleanup()
{
    m_dir.reset();
}

void TestMainWindowRun::optionsReachTheRun_data()
{
    QTest::addColumn<bool>("pattern");
    QTest::addColumn<QString>("patternText");
    QTest::addColumn<QString>("subFolder");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<bool>("exifOnly");
    QTest::addColumn<QStringList>("output");
    QTest::addColumn<QStringList>("leftInInput");

    const QStringList sortedNames { "001.jpg", "002.JPG" };
    const QStringList notMoved { "d.png", "sub/c.jpg" };
    QTest::newRow("defaults") << false << ""
                              << "noneRadio" << false << true << sortedNames << notMoved;
    QTest::newRow("pattern ignored while not customizing")
        << false << "Trip ${YYYY} ${NUM}"
        << "noneRadio" << false << true << sortedNames << notMoved;
    QTest::newRow("customized pattern")
        << true << "Trip ${YYYY} ${NUM}"
        << "noneRadio" << false << true << QStringList { "Trip 2014 001.jpg", "Trip 2015 002.JPG" }
        << notMoved;
    QTest::newRow("pattern untrimmed")
        << true << " ${NUM} "
        << "noneRadio" << false << true << QStringList { " 001 .jpg", " 002 .JPG" } << notMoved;
    QTest::newRow("per month") << false << ""
                               << "monthRadio" << false << true
                               << QStringList { "2014-12/001.jpg", "2015-01/001.JPG" } << notMoved;
    QTest::newRow("per day") << false << ""
                             << "dayRadio" << false << true
                             << QStringList { "2014-12-31/001.jpg", "2015-01-02/001.JPG" }
                             << notMoved;
    QTest::newRow("recursive") << false << ""
                               << "noneRadio" << true << true
                               << QStringList { "001.jpg", "002.jpg", "003.JPG" }
                               << QStringList { "d.png" };
    // Dated by the file's creation time, which is today: after the photographs.
    QTest::newRow("all images") << false << ""
                                << "noneRadio" << false << false
                                << QStringList { "001.jpg", "002.JPG", "003.png" }
                                << QStringList { "sub/c.jpg" };
}

void TestMainWindowRun::optionsReachTheRun()
{
    QFETCH(bool, pattern);
    QFETCH(QString, patternText);
    QFETCH(QString, subFolder);
    QFETCH(bool, recursive);
    QFETCH(bool, exifOnly);
    QFETCH(QStringList, output);
    QFETCH(QStringList, leftInInput);

    auto window = makeWindow();
    const QByteArray subFolderName = subFolder.toLatin1();
    apply(
        *window, Options { pattern, patternText, subFolderName.constData(), recursive, exifOnly });
    ModalCloser closer;
    child<QToolButton>(*window, "startButton")->click();

    QCOMPARE(closer.count(), 0);
    QCOMPARE(TestImages::filesUnder(m_out), output);
    QCOMPARE(TestImages::filesUnder(m_in), leftInInput);
    QCOMPARE(child<QProgressBar>(*window, "progressBar")->value(), 100);
    QVERIFY(
        child<QLabel>(*window, "statusLine")->text().startsWith(QDir::toNativeSeparators(m_out)));
}

void TestMainWindowRun::untrimmedDirectories()
{
    // Folders whose names begin and end with blanks, named relative to the
    // working directory: the run gets the texts exactly as typed.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QVERIFY(QDir().rename(QStringLiteral("in"), QStringLiteral(" in ")));
    auto window = makeWindow();
    child<QLineEdit>(*window, "inputEdit")->setText(QStringLiteral(" in "));
    child<QLineEdit>(*window, "outputEdit")->setText(QStringLiteral(" out "));
    ModalCloser closer;
    child<QToolButton>(*window, "startButton")->click();
    QVERIFY(QDir::setCurrent(previous));

    QCOMPARE(closer.count(), 0);
    QCOMPARE(TestImages::filesUnder(m_dir->filePath(QStringLiteral(" out "))),
        QStringList({ "2014-12-31/001.jpg", "2015-01-02/001.JPG" }));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("out"))));
}

void TestMainWindowRun::widgetsLockedDuringRun_data()
{
    QTest::addColumn<QString>("patternText");
    QTest::addColumn<int>("boxes");
    QTest::newRow("complete run") << "${NUM}" << 0;
    QTest::newRow("failed run") << "no keyword" << 1;
}

void TestMainWindowRun::widgetsLockedDuringRun()
{
    QFETCH(QString, patternText);
    QFETCH(int, boxes);

    auto window = makeWindow();
    apply(*window, Options { true, patternText, "noneRadio", false, true });
    const char *const locked[]
        = { "startButton", "inputEdit", "inputBrowseButton", "outputEdit", "outputBrowseButton" };
    const char *const usable[] = { "patternEdit", "rulesButton", "patternRadio", "yesRadio",
        "camerasOnlyRadio", "dayRadio" };
    QStringList wrong;
    int looks = 0;
    auto look = [&] {
        ++looks;
        for (const char *name : locked) {
            if (child<QWidget>(*window, name)->isEnabled())
                wrong << QStringLiteral("%1 enabled").arg(QLatin1String(name));
        }
        for (const char *name : usable) {
            if (!child<QWidget>(*window, name)->isEnabled())
                wrong << QStringLiteral("%1 disabled").arg(QLatin1String(name));
        }
        if (!window->menuBar()->isEnabled())
            wrong << QStringLiteral("menus disabled");
    };
    // During a complete run every new file is a moment to look; a failed run
    // stops at its error box.
    const QMetaObject::Connection watch
        = connect(engine()->fileGuard(), &FHIO::getCurrentFile, this, look);
    ModalCloser closer([&](QWidget *modal) {
        look();
        modal->close();
    });
    child<QToolButton>(*window, "startButton")->click();
    disconnect(watch);

    QVERIFY(looks > 0);
    QCOMPARE(closer.count(), boxes);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    for (const char *name : locked)
        QVERIFY2(child<QWidget>(*window, name)->isEnabled(), name);
    QVERIFY(summaries(*window).isEmpty() == (boxes > 0));
}

void TestMainWindowRun::summaryText_data()
{
    QTest::addColumn<bool>("exifOnly");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<bool>("removePhotos");
    QTest::addColumn<QString>("firstParagraph");

    QTest::newRow("two moved, one left")
        << true << false << false << "2 files are successfully moved. 1 files are not moved.";
    QTest::newRow("three moved, one left")
        << true << true << false << "3 files are successfully moved. 1 files are not moved.";
    QTest::newRow("nothing moved")
        << true << false << true << "0 files are successfully moved. 1 files are not moved.";
    QTest::newRow("everything moved") << false << true << false << "";
}

void TestMainWindowRun::summaryText()
{
    QFETCH(bool, exifOnly);
    QFETCH(bool, recursive);
    QFETCH(bool, removePhotos);
    QFETCH(QString, firstParagraph);

    if (removePhotos) {
        QVERIFY(QFile::remove(m_in + QStringLiteral("/a.jpg")));
        QVERIFY(QFile::remove(m_in + QStringLiteral("/b.JPG")));
    }
    auto window = makeWindow();
    apply(*window, Options { false, QString(), "noneRadio", recursive, exifOnly });
    window->show();
    ModalCloser closer;
    child<QToolButton>(*window, "startButton")->click();
    QCOMPARE(closer.count(), 0); // the summary does not block

    const QList<QMessageBox *> shown = summaries(*window);
    if (firstParagraph.isEmpty()) {
        QVERIFY(shown.isEmpty());
        return;
    }
    QCOMPARE(shown.size(), 1);
    QMessageBox *box = shown.first();
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(box->windowTitle(), QStringLiteral(" Quilm"));
    QVERIFY(!box->iconPixmap().isNull());
    const QStringList paragraphs = plainTextOf(box->text()).split(QLatin1Char('\n'));
    QCOMPARE(paragraphs.value(0), firstParagraph);
    QCOMPARE(paragraphs.value(1),
        QStringLiteral("For more information please visit: " QUILM_PRODUCT_PAGE));
    QVERIFY(box->text().contains(QStringLiteral("href=\"" QUILM_PRODUCT_PAGE "\"")));
}

void TestMainWindowRun::makersGrowAndPersist()
{
    QVERIFY(TestImages::makeImage(m_in + QStringLiteral("/e.jpg"), QStringLiteral("Leica"),
        QStringLiteral("2016:06:01 12:00:00")));
    auto window = makeWindow();
    child<QToolButton>(*window, "startButton")->click();
    // A second run keeps the list it got back from the first.
    QVERIFY(TestImages::makeImage(m_in + QStringLiteral("/f.jpg"), QStringLiteral("Fujifilm"),
        QStringLiteral("2016:06:02 12:00:00")));
    child<QToolButton>(*window, "startButton")->click();
    window->close();
    QCOMPARE(QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
                 .value(QStringLiteral("Option/cameraMaker"))
                 .toString(),
        QStringLiteral("Canon|Apple|Nikon|Samsung|Leica|Fujifilm"));
}

QUILM_TEST_MAIN(TestMainWindowRun)

#include "tst_mainwindow_run.moc"
