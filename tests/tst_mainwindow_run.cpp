#include "FHConfig.h"
#include "Invariant.h"
#include "SortRunner.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHIO.h"
#include "engine/FHJournal.h"
#include "engine/FHNaming.h"
#include "shell/FHApplication.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"
#include "ui/FHOutputWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
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
    void copyTwice();
    void stopAtChosenFile_data();
    void stopAtChosenFile();
    void failedRun_data();
    void failedRun();
    void statusLineShowsNoTemporaryName();
    void closeDuringRun_data();
    void closeDuringRun();
    void windowDestroyed_data();
    void windowDestroyed();
    void undoOfferedAfterARun();

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
    static QList<QMessageBox *> summaries(FHMainWindow &window);
    void makeDatedPhotos(int count);
    // A window with the default options over that many dated photos, recorded
    // in the invariant where one is given.
    std::unique_ptr<FHMainWindow> windowOverPhotos(int count, Invariant *invariant = nullptr);
    QString temporaryNamesLeft() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_in;
    QString m_out;
};

namespace {

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

QList<QMessageBox *> TestMainWindowRun::summaries(FHMainWindow &window)
{
    return window.findChildren<QMessageBox *>(QStringLiteral("summaryBox"));
}

std::unique_ptr<FHMainWindow> TestMainWindowRun::makeWindow()
{
    auto window = std::make_unique<FHMainWindow>(quilmApp(), QString());
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
    // English as a user gets it, with its plural forms.
    FHApplication::loadTranslators(QStringLiteral(QUILM_BINARY_DIR));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestMainWindowRun::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_in = m_dir->filePath(QStringLiteral("in"));
    m_out = m_dir->filePath(QStringLiteral("out"));
    makeInput(m_in);
    QFile::remove(QStringLiteral("Quilm.ini"));
    // Past the question that a first START asks.
    QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("Option/hasStarted"), true);
}

void TestMainWindowRun::makeDatedPhotos(int count)
{
    QVERIFY(QDir(m_in).removeRecursively());
    QVERIFY(QDir().mkpath(m_in));
    for (int i = 0; i < count; ++i) {
        QVERIFY(
            TestImages::makeImage(m_in + QStringLiteral("/p%1.jpg").arg(i), QStringLiteral("Canon"),
                QStringLiteral("2015:03:%1 10:00:00").arg(i + 1, 2, 10, QLatin1Char('0'))));
    }
}

std::unique_ptr<FHMainWindow> TestMainWindowRun::windowOverPhotos(int count, Invariant *invariant)
{
    makeDatedPhotos(count);
    if (invariant)
        invariant->record();
    auto window = makeWindow();
    apply(*window, Options {});
    return window;
}

QString TestMainWindowRun::temporaryNamesLeft() const
{
    QStringList found;
    for (const QString &name : TestImages::filesUnder(m_out)) {
        if (temporaryNamePattern().match(QFileInfo(name).baseName()).hasMatch())
            found << name;
    }
    return found.join(QStringLiteral(", "));
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
    const QString status = child<QLabel>(*window, "statusLine")->text();
    QVERIFY2(status.startsWith(QStringLiteral("%1 files sorted in ").arg(output.size())),
        qPrintable(status));
}

void TestMainWindowRun::untrimmedDirectories()
{
    // Folders whose names begin and end with blanks, named relative to the
    // working directory: the run gets the texts exactly as typed.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("Option/hasStarted"), true);
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
    auto *start = child<QToolButton>(*window, "startButton");
    const char *const locked[] = { "inputEdit", "inputBrowseButton", "outputEdit",
        "outputBrowseButton", "patternEdit", "rulesButton", "patternRadio", "yesRadio",
        "camerasOnlyRadio", "dayRadio", "previewButton" };
    QStringList wrong;
    int looks = 0;
    auto look = [&] {
        ++looks;
        for (const char *name : locked) {
            if (child<QWidget>(*window, name)->isEnabled())
                wrong << QStringLiteral("%1 enabled").arg(QLatin1String(name));
        }
        for (const char *name : { "fileTypesAction", "undoAction" }) {
            if (child<QAction>(*window, name)->isEnabled())
                wrong << QStringLiteral("%1 enabled").arg(QLatin1String(name));
        }
        if (!start->isEnabled() || start->text() != QLatin1String("STOP"))
            wrong << QStringLiteral("no STOP but '%1'").arg(start->text());
        if (!window->menuBar()->isEnabled())
            wrong << QStringLiteral("menus disabled");
    };
    // During a complete run every new file is a moment to look; a failed run
    // stops at its error box.
    const QMetaObject::Connection watch
        = connect(quilmApp()->fileGuard(), &FHIO::getCurrentFile, this, look);
    ModalCloser closer([&](QWidget *modal) {
        look();
        modal->close();
    });
    start->click();
    disconnect(watch);

    QVERIFY(looks > 0);
    QCOMPARE(closer.count(), boxes);
    wrong.removeDuplicates();
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    for (const char *name : locked)
        QVERIFY2(child<QWidget>(*window, name)->isEnabled(), name);
    QVERIFY(child<QAction>(*window, "fileTypesAction")->isEnabled());
    QCOMPARE(start->text(), QStringLiteral("START"));
    QVERIFY(start->isEnabled());
    QVERIFY(summaries(*window).isEmpty() == (boxes > 0));
}

void TestMainWindowRun::summaryText_data()
{
    QTest::addColumn<bool>("exifOnly");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<bool>("removePhotos");
    QTest::addColumn<bool>("video");
    QTest::addColumn<QString>("fileTypes"); // stored before the window opens
    QTest::addColumn<QString>("counts"); // empty: no box
    QTest::addColumn<QString>("otherKinds");
    QTest::addColumn<QStringList>("details");
    QTest::addColumn<QString>("status");

    const QStringList undated { "d.png: no capture date" };
    QTest::newRow("two moved, one left") << true << false << false << false << ""
                                         << "2 files moved. 1 file stayed in the input."
                                         << "" << undated << "2 files sorted in";
    QTest::newRow("three moved, one left") << true << true << false << false << ""
                                           << "3 files moved. 1 file stayed in the input."
                                           << "" << undated << "3 files sorted in";
    QTest::newRow("nothing moved") << true << false << true << false << ""
                                   << "0 files moved. 1 file stayed in the input."
                                   << "" << undated << "0 files sorted in";
    QTest::newRow("everything moved") << false << true << false << false << ""
                                      << ""
                                      << "" << QStringList() << "4 files sorted in";
    QTest::newRow("a video not chosen")
        << false << true << false << true << ""
        << "4 files moved."
        << "1 file of a kind not chosen stayed in the input (Videos: 1). To sort it, choose its "
           "kind under File > File types."
        << QStringList() << "4 files sorted in";
    QTest::newRow("videos chosen") << false << true << false << true << "photo,video"
                                   << ""
                                   << "" << QStringList() << "5 files sorted in";
}

void TestMainWindowRun::summaryText()
{
    QFETCH(bool, exifOnly);
    QFETCH(bool, recursive);
    QFETCH(bool, removePhotos);
    QFETCH(bool, video);
    QFETCH(QString, fileTypes);
    QFETCH(QString, counts);
    QFETCH(QString, otherKinds);
    QFETCH(QStringList, details);
    QFETCH(QString, status);

    if (removePhotos) {
        QVERIFY(QFile::remove(m_in + QStringLiteral("/a.jpg")));
        QVERIFY(QFile::remove(m_in + QStringLiteral("/b.JPG")));
    }
    if (video) {
        QFile clip(m_in + QStringLiteral("/clip.mp4"));
        QVERIFY(clip.open(QIODevice::WriteOnly) && clip.write("not a real video") > 0);
    }
    if (!fileTypes.isEmpty())
        QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("Option/fileTypes"), fileTypes);
    auto window = makeWindow();
    apply(*window, Options { false, QString(), "noneRadio", recursive, exifOnly });
    window->show();
    const ReportWatch watch;
    ModalCloser closer;
    child<QToolButton>(*window, "startButton")->click();
    QCOMPARE(closer.count(), 0); // the summary does not block

    QVERIFY2(child<QLabel>(*window, "statusLine")->text().startsWith(status),
        qPrintable(child<QLabel>(*window, "statusLine")->text()));
    // The log and the output panel name every file left, and why.
    const RunReport report = watch.take({});
    for (const QString &detail : details) {
        const QString name = detail.section(QLatin1Char(':'), 0, 0);
        const QString line = QStringLiteral("Left in the input: '%1/%2' (%3)")
                                 .arg(QDir::toNativeSeparators(m_in), name,
                                     detail.section(QStringLiteral(": "), 1));
        QVERIFY2(report.log.contains(line), qPrintable(report.log));
        QVERIFY2(report.panel.contains(line), qPrintable(report.panel));
    }

    const QList<QMessageBox *> shown = summaries(*window);
    if (counts.isEmpty()) {
        QVERIFY(shown.isEmpty());
        return;
    }
    QCOMPARE(shown.size(), 1);
    QMessageBox *box = shown.first();
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(box->windowTitle(), QStringLiteral(" Quilm"));
    QVERIFY(!box->iconPixmap().isNull());
    QStringList paragraphs = plainTextOf(box->text()).split(QLatin1Char('\n'));
    QCOMPARE(paragraphs.takeFirst(), counts);
    if (!otherKinds.isEmpty())
        QCOMPARE(paragraphs.takeFirst(), otherKinds);
    QCOMPARE(paragraphs.value(0),
        QStringLiteral("For more information please visit: " QUILM_PRODUCT_PAGE));
    QVERIFY(box->text().contains(QStringLiteral("href=\"" QUILM_PRODUCT_PAGE "\"")));
    QStringList expectedDetails;
    for (const QString &detail : details)
        expectedDetails << QDir::toNativeSeparators(m_in) + QLatin1Char('/') + detail;
    QCOMPARE(box->detailedText(), expectedDetails.join(QLatin1Char('\n')));
}

// With the originals kept, the same folder sorted twice: the second START
// copies nothing and says where each photo is in the library.
void TestMainWindowRun::copyTwice()
{
    const QStringList input = TestImages::filesUnder(m_in);
    auto window = makeWindow();
    apply(*window, Options { false, QString(), "noneRadio", false, true });
    child<QCheckBox>(*window, "copyCheck")->setChecked(true);
    ModalCloser closer;
    child<QToolButton>(*window, "startButton")->click();
    QCOMPARE(TestImages::filesUnder(m_out), QStringList({ "001.jpg", "002.JPG" }));
    QCOMPARE(TestImages::filesUnder(m_in), input);

    const ReportWatch watch;
    child<QToolButton>(*window, "startButton")->click();
    QCOMPARE(TestImages::filesUnder(m_out), QStringList({ "001.jpg", "002.JPG" }));
    QCOMPARE(TestImages::filesUnder(m_in), input);
    const RunReport report = watch.take({});
    for (const char *name : { "a.jpg", "b.JPG" }) {
        const QString line
            = QStringLiteral("Left in the input: '%1/%2' (already in the library as %3)")
                  .arg(QDir::toNativeSeparators(m_in), QLatin1String(name),
                      name[0] == 'a' ? "001.jpg" : "002.JPG");
        QVERIFY2(report.panel.contains(line), qPrintable(report.panel));
    }
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

void TestMainWindowRun::stopAtChosenFile_data()
{
    QTest::addColumn<int>("movedBeforeStop"); // photos in the output when STOP is pressed
    QTest::addColumn<bool>("someMoved");

    // The capture dates are read before anything moves.
    QTest::newRow("while reading") << -1 << false;
    QTest::newRow("after the first move") << 1 << true;
    QTest::newRow("before the last move") << 7 << true;
}

void TestMainWindowRun::stopAtChosenFile()
{
    QFETCH(int, movedBeforeStop);
    QFETCH(bool, someMoved);

    const int total = 8;
    Invariant invariant(m_in, m_out);
    auto window = windowOverPhotos(total, &invariant);
    auto *start = child<QToolButton>(*window, "startButton");

    auto *bar = child<QProgressBar>(*window, "progressBar");
    auto *status = child<QLabel>(*window, "statusLine");
    QString pressed;
    int reads = 0;
    int barAtStop = -1;
    QStringList whileStopping; // what the progress row showed after STOP
    const QMetaObject::Connection hook
        = connect(quilmApp()->fileGuard(), &FHIO::getCurrentFile, this, [&] {
              if (!pressed.isEmpty()) {
                  whileStopping << QStringLiteral("%1 % %2").arg(bar->value()).arg(status->text());
                  return;
              }
              const bool due = movedBeforeStop < 0
                  ? ++reads == 3
                  : TestImages::filesUnder(m_out).size() >= movedBeforeStop;
              if (!due)
                  return;
              pressed = start->isEnabled() ? start->text() : QStringLiteral("(disabled)");
              barAtStop = bar->value();
              start->click();
          });
    const ReportWatch watch;
    ModalCloser closer;
    start->click();
    disconnect(hook);

    QCOMPARE(pressed, QStringLiteral("STOP"));
    QVERIFY(quilmApp()->lastRunStopped());
    QCOMPARE(closer.count(), 0);
    QCOMPARE(start->text(), QStringLiteral("START"));
    const QString breach = invariant.check();
    QVERIFY2(breach.isEmpty(), qPrintable(breach));
    QVERIFY2(temporaryNamesLeft().isEmpty(), qPrintable(temporaryNamesLeft()));
    const QStringList sorted = TestImages::filesUnder(m_out);
    const QStringList left = TestImages::filesUnder(m_in);
    QCOMPARE(sorted.size() + left.size(), total);
    QCOMPARE(!sorted.isEmpty(), someMoved);
    QVERIFY(left.size() > 0);
    for (int i = 0; i < sorted.size(); ++i)
        QCOMPARE(sorted.at(i), QStringLiteral("%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')));

    const auto plural = [](QString text) {
        return text.replace(QLatin1String(" 1 files"), QLatin1String(" 1 file"));
    };
    const QList<QMessageBox *> shown = summaries(*window);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(plainTextOf(shown.first()->text()).section(QLatin1Char('\n'), 0, 0),
        plural(QStringLiteral("The sort was stopped. %1 files moved. %2 files still in the input.")
                   .arg(sorted.size())
                   .arg(left.size())));
    // The files not reached are one line, in the box's details and in the log.
    QString notReached = QStringLiteral("%1 files not reached: the sort was stopped before "
                                        "them. They are still in the input.")
                             .arg(left.size());
    if (left.size() == 1)
        notReached = QStringLiteral("1 file not reached: the sort was stopped before it. It is "
                                    "still in the input.");
    QCOMPARE(shown.first()->detailedText(), notReached);
    const RunReport report = watch.take({});
    QCOMPARE(report.log.count(QStringLiteral("not reached")), 1);
    QVERIFY2(report.log.contains(notReached), qPrintable(report.log));
    QVERIFY2(!report.log.contains(QStringLiteral("Left in the input")), qPrintable(report.log));

    // Stopping says so, and the bar stays where the stop found it; then it
    // shows the share sorted, and the status line what was sorted and what is left.
    QVERIFY2(!whileStopping.isEmpty() == someMoved, qPrintable(whileStopping.join('|')));
    for (const QString &seen : qAsConst(whileStopping))
        QCOMPARE(seen,
            QStringLiteral("%1 % Stopping… the files moved so far get their final names.")
                .arg(barAtStop));
    QCOMPARE(bar->value(), sorted.size() * 100 / total);
    QCOMPARE(status->text(),
        plural(QStringLiteral("Stopped: %1 files moved. %2 left in the input.")
                   .arg(sorted.size())
                   .arg(left.size())));
}

void TestMainWindowRun::failedRun_data()
{
    QTest::addColumn<int>("failingMove"); // the move the disk refuses, from 1
    QTest::addColumn<int>("moved");

    // Eight photos take eight moves under temporary names, then eight to their
    // final names. Only the one move fails: whatever the run then finishes of
    // its own accord, the window says what is where.
    QTest::newRow("a move to the output") << 4 << 3;
    QTest::newRow("a final name") << 10 << 8;
}

void TestMainWindowRun::failedRun()
{
    QFETCH(int, failingMove);
    QFETCH(int, moved);

    const int total = 8;
    Invariant invariant(m_in, m_out);
    auto window = windowOverPhotos(total, &invariant);
    const ReportWatch watch;
    ModalCloser closer;
    qputenv("QUILM_FAULTS",
        QByteArray("call=renameat2,count=1,errno=ENOSPC,skip=")
            + QByteArray::number(failingMove - 1));
    child<QToolButton>(*window, "startButton")->click();
    qunsetenv("QUILM_FAULTS");

    QVERIFY(quilmApp()->lastRunFailed());
    QCOMPARE(closer.count(), 1); // the error's own box
    QCOMPARE(invariant.check(), QString());
    const int left = TestImages::filesUnder(m_in).size();
    QCOMPARE(left, total - moved);
    int waiting = 0;
    for (const QString &name : TestImages::filesUnder(m_out))
        waiting += isTemporaryName(name) ? 1 : 0;
    const int named = moved - waiting;
    // A final name that fails leaves the rest under temporary names.
    if (failingMove > total)
        QCOMPARE(named, failingMove - total - 1);

    // What a finished run shows, and what waits for the next START or an undo.
    const auto plural = [](QString text) {
        return text.replace(QLatin1String(" 1 files"), QLatin1String(" 1 file"));
    };
    QString status = QStringLiteral("Failed: %1 files moved.").arg(moved);
    if (left > 0)
        status += QStringLiteral(" %1 left in the input.").arg(left);
    if (waiting > 0)
        status += QStringLiteral(" %1 under temporary names until the next START or Undo.")
                      .arg(waiting);
    QCOMPARE(child<QLabel>(*window, "statusLine")->text(), plural(status));
    QCOMPARE(child<QProgressBar>(*window, "progressBar")->value(), named * 100 / total);

    const QList<QMessageBox *> shown = summaries(*window);
    QCOMPARE(shown.size(), 1);
    const QString counts = plainTextOf(shown.first()->text()).section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(counts.startsWith(plural(QStringLiteral("The sort ended with an error; the Output "
                                                     "panel says which. %1 files moved. %2 files "
                                                     "still in the input.")
                                          .arg(moved)
                                          .arg(left))),
        qPrintable(counts));
    const QString wait = QStringLiteral("%1 files moved wait in the output under temporary names: "
                                        "the next START gives them their final names, or File > "
                                        "Undo last sort moves them back.")
                             .arg(waiting);
    QCOMPARE(counts.contains(wait), waiting > 0);
    const RunReport report = watch.take({});
    QCOMPARE(report.log.contains(wait), waiting > 0);
    QCOMPARE(report.log.count(QStringLiteral("not reached: the sort ended with an error")),
        left > 0 ? 1 : 0);
}

void TestMainWindowRun::statusLineShowsNoTemporaryName()
{
    auto window = windowOverPhotos(4);
    auto *status = child<QLabel>(*window, "statusLine");
    // Slower than the status line's pace, so that it could show every path.
    QStringList shown;
    const QMetaObject::Connection hook
        = connect(quilmApp()->fileGuard(), &FHIO::getCurrentFile, this, [&] {
              shown << status->text();
              QThread::msleep(40);
          });
    child<QToolButton>(*window, "startButton")->click();
    disconnect(hook);

    // The file in hand under the name it came with, then under its final name.
    QCOMPARE(checkShownPaths(shown, m_out), QString());
}

void TestMainWindowRun::closeDuringRun_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("stop");

    QTest::newRow("window closed, stop") << "close" << true;
    QTest::newRow("Exit, stop") << "exit" << true;
    QTest::newRow("Ctrl+Q, stop") << "ctrl+q" << true;
    QTest::newRow("window closed, go on") << "close" << false;
}

void TestMainWindowRun::closeDuringRun()
{
    QFETCH(QString, how);
    QFETCH(bool, stop);

    const int total = 8;
    Invariant invariant(m_in, m_out);
    auto window = windowOverPhotos(total, &invariant);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    bool closed = false;
    const QMetaObject::Connection hook
        = connect(quilmApp()->fileGuard(), &FHIO::getCurrentFile, this, [&] {
              if (closed || TestImages::filesUnder(m_out).size() < 2)
                  return;
              closed = true;
              if (how == QLatin1String("close"))
                  window->close();
              else if (how == QLatin1String("exit"))
                  child<QAction>(*window, "exitAction")->trigger();
              else
                  QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
          });
    QStringList questions;
    ModalCloser closer([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box || box->objectName() != QLatin1String("stopQuestion")) {
            modal->close();
            return;
        }
        questions << box->text();
        box->button(stop ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    // The application's own loop, which quits once the window has closed.
    QTimer::singleShot(0, this, [&] {
        child<QToolButton>(*window, "startButton")->click();
        if (window->isVisible())
            QCoreApplication::exit(2);
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, this, [] { QCoreApplication::exit(3); });
    timeout.start(60000);
    const int code = QCoreApplication::exec();
    disconnect(hook);

    QVERIFY(closed);
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions.first().startsWith(QLatin1String("A sort is in progress.")));
    QCOMPARE(code, stop ? 0 : 2);
    QCOMPARE(window->isVisible(), !stop);
    QCOMPARE(quilmApp()->lastRunStopped(), stop);
    const QString breach = invariant.check();
    QVERIFY2(breach.isEmpty(), qPrintable(breach));
    QVERIFY2(temporaryNamesLeft().isEmpty(), qPrintable(temporaryNamesLeft()));
    const int sorted = TestImages::filesUnder(m_out).size();
    QVERIFY(sorted >= 2);
    QCOMPARE(sorted < total, stop);
    // Quitting kept the settings; the window that stays has not saved yet.
    QCOMPARE(QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
                 .value(QStringLiteral("MainWindow/input"))
                 .toString(),
        stop ? m_in : QString());
}

void TestMainWindowRun::windowDestroyed_data()
{
    QTest::addColumn<bool>("running");

    QTest::newRow("idle") << false;
    QTest::newRow("during a run") << true;
}

void TestMainWindowRun::windowDestroyed()
{
    QFETCH(bool, running);
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server; tst_mainwindow_run_x11 runs it on one");
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        QSKIP("needs xdotool");

    const int total = 8;
    Invariant invariant(m_in, m_out);
    auto window = windowOverPhotos(total, &invariant);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->move(window->pos() + QPoint(37, 21));
    const QPoint where = window->pos();
    const auto saved = [] {
        return QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
            .value(QStringLiteral("MainWindow/pos"));
    };

    // As a window manager's kill or `xdotool windowclose` does it: no close
    // event, the window is simply gone.
    bool destroyed = false;
    const auto destroy = [&] {
        destroyed = true;
        QCOMPARE(QProcess::execute(
                     xdotool, { QStringLiteral("windowclose"), QString::number(window->winId()) }),
            0);
    };
    const QMetaObject::Connection hook
        = connect(quilmApp()->fileGuard(), &FHIO::getCurrentFile, this, [&] {
              if (destroyed || TestImages::filesUnder(m_out).size() < 2)
                  return;
              destroy();
              // Until the window has seen it go, so that the run is still in hand.
              QVERIFY(QTest::qWaitFor([&] { return saved().isValid(); }, 10000));
          });
    ModalCloser closer;
    QTimer::singleShot(0, this, [&] {
        if (running)
            child<QToolButton>(*window, "startButton")->click();
        else
            destroy();
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, this, [] { QCoreApplication::exit(3); });
    timeout.start(30000);
    const int code = QCoreApplication::exec();
    disconnect(hook);

    QVERIFY(destroyed);
    QCOMPARE(code, 0); // the process would end here, not at the time limit
    QCOMPARE(saved().toPoint(), where);
    QCOMPARE(closer.count(), 0);
    if (!running)
        return;
    // As after "Yes" to the question on closing: the run stops, and what it
    // moved has its final names.
    QVERIFY(quilmApp()->lastRunStopped());
    QCOMPARE(invariant.check(), QString());
    QVERIFY2(temporaryNamesLeft().isEmpty(), qPrintable(temporaryNamesLeft()));
    const int sorted = TestImages::filesUnder(m_out).size();
    QVERIFY2(sorted >= 2 && sorted < total, qPrintable(QString::number(sorted)));
}

void TestMainWindowRun::undoOfferedAfterARun()
{
    // A journal folder of its own, without the runs of the other tests.
    QTemporaryDir data;
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    auto window = makeWindow();
    auto *undo = child<QAction>(*window, "undoAction");
    emit child<QMenu>(*window, "fileMenu")->aboutToShow();
    const bool before = undo->isEnabled();
    child<QToolButton>(*window, "startButton")->click();
    const bool after = undo->isEnabled();
    const QVector<FHJournalStore::Run> runs = FHJournalStore::runs();
    qputenv("XDG_DATA_HOME", previous);

    QVERIFY(!before);
    QVERIFY(after);
    // The journal names the window's program with its version, as the command's does.
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().header.value(QStringLiteral("program")).toString(),
        QCoreApplication::applicationName() + QStringLiteral(" " QUILM_VERSION));
}

QUILM_TEST_MAIN(TestMainWindowRun)

#include "tst_mainwindow_run.moc"
