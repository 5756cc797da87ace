#include "FHConfig.h"
#include "TestSupport.h"
#include "shell/FHApplication.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHFirstStartQuestion.h"
#include "ui/FHFolderRows.h"
#include "ui/FHMainWindow.h"
#include "ui/FHOutputWidget.h"
#include "ui/FHRuleDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

class TestMainWindow : public QObject
{
    Q_OBJECT

public slots:
    // Stands in for the system's browser.
    void openUrl(const QUrl &url) { m_opened << url; }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void frame();
    void startEnabling_data();
    void startEnabling();
    void customizeSwitchesPatternWidgets();
    void rulesDialogEditsThePattern_data();
    void rulesDialogEditsThePattern();
    void browse_data();
    void browse();
    void cardsOfferedFirst_data();
    void cardsOfferedFirst();
    void languageMenu();
    void textsWithoutTranslation();
    void languageSwitching_data();
    void languageSwitching();
    void textsFitTheWindow_data();
    void textsFitTheWindow();
    void newVersionLink_data();
    void newVersionLink();
    void aboutBox_data();
    void aboutBox();
    void userManualOpensProductPage();
    void errorsRevealTheOutputPanel();
    void processEndsWithTheWindow();
    void questionBeforeStart_data();
    void questionBeforeStart();

private:
    std::unique_ptr<FHMainWindow> makeWindow(const QString &version = QString());
    static void switchTo(FHMainWindow &window, const QString &code);
    static QStringList visibleTexts(FHMainWindow &window);

    QList<QUrl> m_opened;
};

std::unique_ptr<FHMainWindow> TestMainWindow::makeWindow(const QString &version)
{
    auto window = std::make_unique<FHMainWindow>(quilmApp(), version);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return window;
}

void TestMainWindow::switchTo(FHMainWindow &window, const QString &code)
{
    auto *menu = child<QMenu>(window, "languageMenu");
    for (QAction *entry : menu->actions()) {
        if (entry->data().toString() == code) {
            entry->trigger();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no language entry %1").arg(code)));
}

QStringList TestMainWindow::visibleTexts(FHMainWindow &window)
{
    QStringList texts;
    for (QAction *menu : window.menuBar()->actions())
        texts << menu->text();
    for (const char *name : { "exitAction", "userManualAction", "aboutAction" })
        texts << child<QAction>(window, name)->text();
    for (QGroupBox *group : window.findChildren<QGroupBox *>())
        texts << group->title();
    for (QLabel *label : window.centralWidget()->findChildren<QLabel *>()) {
        if (label->objectName() != QLatin1String("statusLine")
            && label->objectName() != QLatin1String("newVersionLabel"))
            texts << label->text();
    }
    for (QAbstractButton *button : window.centralWidget()->findChildren<QAbstractButton *>())
        texts << button->text();
    return texts;
}

void TestMainWindow::initTestCase()
{
    QVERIFY(QFile::link(QStringLiteral(QUILM_BINARY_DIR "/image"), QStringLiteral("image")));
    FHApplication::loadTranslators(QStringLiteral(QUILM_BINARY_DIR));
    FHApplication::loadTranslators(QStringLiteral(TEST_QM_DIR));
    QStringList codes = FHApplication::languages();
    codes.sort();
    QCOMPARE(codes, QStringList({ "de", "en", "fr", "zh" }));
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
}

void TestMainWindow::init()
{
    QFile::remove(QStringLiteral("Quilm.ini"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    FHApplication::setLanguage(QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    m_opened.clear();
}

void TestMainWindow::cleanup()
{
    FHApplication::setLanguage(QString());
}

void TestMainWindow::frame()
{
    auto window = makeWindow();
    QCOMPARE(window->size(), QSize(600, 480));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!child<QToolButton>(*window, "startButton")->icon().isNull());

    QStringList menus;
    for (QAction *entry : window->menuBar()->actions())
        menus << entry->menu()->objectName();
    QCOMPARE(menus, QStringList({ "fileMenu", "languageMenu", "helpMenu" }));
    QStringList file;
    for (QAction *entry : child<QMenu>(*window, "fileMenu")->actions())
        file << (entry->isSeparator() ? QStringLiteral("-") : entry->objectName());
    QCOMPARE(file, QStringList({ "fileTypesAction", "undoAction", "-", "exitAction" }));
    QCOMPARE(
        child<QAction>(*window, "exitAction")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    const QList<QAction *> help = child<QMenu>(*window, "helpMenu")->actions();
    QCOMPARE(help.size(), 3);
    QCOMPARE(help.at(0), child<QAction>(*window, "userManualAction"));
    QVERIFY(help.at(1)->isSeparator());
    QCOMPARE(help.at(2), child<QAction>(*window, "aboutAction"));
}

void TestMainWindow::startEnabling_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("both empty") << ""
                                << "" << false;
    QTest::newRow("both blank") << "   "
                                << "\t \n"
                                << false;
    QTest::newRow("input blank") << " "
                                 << "/out" << false;
    QTest::newRow("output empty") << "/in"
                                  << "" << false;
    QTest::newRow("one character each") << "a"
                                        << "b" << true;
    QTest::newRow("padded paths") << "  /in  "
                                  << "\t/out " << true;
}

void TestMainWindow::startEnabling()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(bool, enabled);

    auto window = makeWindow();
    auto *start = child<QToolButton>(*window, "startButton");
    QVERIFY(start->isEnabled()); // first start: both fields hold the pictures folder
    child<QLineEdit>(*window, "inputEdit")->setText(input);
    child<QLineEdit>(*window, "outputEdit")->setText(output);
    QCOMPARE(start->isEnabled(), enabled);
    // Either field re-evaluates it.
    child<QLineEdit>(*window, "inputEdit")->setText(QStringLiteral("x"));
    QCOMPARE(start->isEnabled(), !output.trimmed().isEmpty());
}

void TestMainWindow::customizeSwitchesPatternWidgets()
{
    auto window = makeWindow();
    auto *pattern = child<QRadioButton>(*window, "patternRadio");
    auto *defaults = child<QRadioButton>(*window, "defaultNamingRadio");
    auto *edit = child<QLineEdit>(*window, "patternEdit");
    auto *rules = child<QPushButton>(*window, "rulesButton");
    QVERIFY(defaults->isChecked());
    QVERIFY(!edit->isEnabled() && !rules->isEnabled());
    pattern->click();
    QVERIFY(edit->isEnabled() && rules->isEnabled());
    defaults->click();
    QVERIFY(!edit->isEnabled() && !rules->isEnabled());
}

void TestMainWindow::rulesDialogEditsThePattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shownExample");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");

    QTest::newRow("default example, not edited") << ""
                                                 << "Paris ${YYYY}-${mm}-${DD} ${NUM}"
                                                 << ""
                                                 << "";
    QTest::newRow("default example, edited") << ""
                                             << "Paris ${YYYY}-${mm}-${DD} ${NUM}"
                                             << "!"
                                             << "Paris ${YYYY}-${mm}-${DD} ${NUM}!";
    QTest::newRow("own pattern kept") << "Rome ${NUM}"
                                      << "Rome ${NUM}"
                                      << ""
                                      << "Rome ${NUM}";
    QTest::newRow("edit without keyword still copied") << "Rome ${NUM}"
                                                       << "Rome ${NUM}"
                                                       << "\b\b\b\b\b\b"
                                                       << "Rome ";
}

void TestMainWindow::rulesDialogEditsThePattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, shownExample);
    QFETCH(QString, typed);
    QFETCH(QString, after);

    auto window = makeWindow();
    child<QRadioButton>(*window, "patternRadio")->click();
    auto *edit = child<QLineEdit>(*window, "patternEdit");
    edit->setText(pattern);

    QString seenExample;
    QString patternWhileOpen;
    ModalCloser closer([&](QWidget *modal) {
        auto *dialog = qobject_cast<FHRuleDialog *>(modal);
        QVERIFY(dialog);
        seenExample = dialog->exampleEdit()->text();
        dialog->exampleEdit()->end(false);
        for (const QChar c : typed) {
            if (c == QLatin1Char('\b'))
                QTest::keyClick(dialog->exampleEdit(), Qt::Key_Backspace);
            else
                QTest::keyClicks(dialog->exampleEdit(), QString(c));
        }
        patternWhileOpen = edit->text();
        dialog->reject();
    });
    child<QPushButton>(*window, "rulesButton")->click();

    QCOMPARE(closer.count(), 1);
    QCOMPARE(seenExample, shownExample);
    QCOMPARE(patternWhileOpen, after);
    QCOMPARE(edit->text(), after);
    QVERIFY(window->findChildren<FHRuleDialog *>().isEmpty());
}

void TestMainWindow::browse_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("picked") << true;
    QTest::newRow("cancelled") << false;
}

void TestMainWindow::browse()
{
    QFETCH(bool, accept);

    QTemporaryDir start;
    QTemporaryDir picked;
    QVERIFY(start.isValid() && picked.isValid());
    auto window = makeWindow();
    auto *input = child<QLineEdit>(*window, "inputEdit");
    input->setText(start.path());
    // No card in the reader.
    window->findChild<FHFolderRows *>()->setVolumeRoots({ start.path() });

    QString caption;
    QString startDir;
    bool ownDialog = false;
    ModalCloser closer([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        caption = dialog->windowTitle();
        startDir = dialog->directory().absolutePath();
        ownDialog = dialog->testOption(QFileDialog::DontUseNativeDialog)
            && dialog->fileMode() == QFileDialog::Directory;
        if (accept) {
            dialog->setDirectory(picked.path());
            static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
        } else {
            dialog->reject();
        }
    });
    child<QPushButton>(*window, "inputBrowseButton")->click();

    QCOMPARE(closer.count(), 1);
    QCOMPARE(caption, QStringLiteral("Browse"));
    QCOMPARE(startDir, QDir(start.path()).absolutePath());
    QVERIFY(ownDialog);
    QCOMPARE(input->text(), accept ? QDir::toNativeSeparators(picked.path()) : start.path());
}

void TestMainWindow::cardsOfferedFirst_data()
{
    QTest::addColumn<bool>("card"); // the card is picked, else the folder dialog
    QTest::newRow("the card") << true;
    QTest::newRow("another folder") << false;
}

// A card mounted where the desktop mounts them is offered by its name above
// the folder dialog.
void TestMainWindow::cardsOfferedFirst()
{
    QFETCH(bool, card);
    static const bool ownMounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
        && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    if (!ownMounts)
        QSKIP("mounting needs root");
    QTemporaryDir media;
    const QString mountPoint = media.filePath(QStringLiteral("EOS_DIGITAL"));
    QVERIFY(QDir().mkpath(mountPoint));
    QVERIFY(::mount("quilm-card", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=1m")
        == 0);
    auto window = makeWindow();
    window->findChild<FHFolderRows *>()->setVolumeRoots({ media.path() });
    auto *input = child<QLineEdit>(*window, "inputEdit");
    input->setText(QStringLiteral("/somewhere"));

    QStringList offered;
    QTimer::singleShot(100, window.get(), [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        const QList<QAction *> actions = menu->actions();
        for (QAction *action : actions)
            offered << action->text();
        (card ? actions.first() : actions.last())->trigger();
        menu->close();
    });
    ModalCloser closer;
    child<QPushButton>(*window, "inputBrowseButton")->click();
    QTRY_COMPARE(closer.count(), card ? 0 : 1);
    ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);

    QCOMPARE(offered.value(0),
        QStringLiteral("EOS_DIGITAL  (%1)").arg(QDir::toNativeSeparators(mountPoint)));
    QCOMPARE(offered.size(), 3); // the card, a line, the dialog
    QCOMPARE(
        input->text(), card ? QDir::toNativeSeparators(mountPoint) : QStringLiteral("/somewhere"));
}

void TestMainWindow::languageMenu()
{
    auto window = makeWindow();
    const QList<QAction *> entries = child<QMenu>(*window, "languageMenu")->actions();
    QStringList codes;
    for (QAction *entry : entries) {
        codes << entry->data().toString();
        QVERIFY(entry->isCheckable());
        QVERIFY2(!entry->icon().isNull(), qPrintable(entry->data().toString()));
        QVERIFY(entry->actionGroup() && entry->actionGroup()->isExclusive());
    }
    QCOMPARE(codes, QStringList({ "de", "en", "fr", "zh" }));

    const QHash<QString, QString> labels { { "zh", QStringLiteral("中文") },
        { "en", QStringLiteral("English") }, { "de", QStringLiteral("Deutsch") },
        { "fr", QStringLiteral("français") } };
    for (QAction *entry : entries)
        QCOMPARE(entry->text(), labels.value(entry->data().toString()));
}

void TestMainWindow::textsWithoutTranslation()
{
    // A stored language without a translation: nothing is switched, and the
    // window still shows its texts.
    QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("MainWindow/language"), QStringLiteral("xx"));
    auto window = makeWindow();
    QVERIFY(
        !child<QMenu>(*window, "languageMenu")->actions().first()->actionGroup()->checkedAction());
    const QStringList texts = visibleTexts(*window);
    QVERIFY(texts.size() > 25);
    for (const QString &text : texts)
        QVERIFY2(!text.isEmpty(), qPrintable(texts.join(QLatin1Char('|'))));
    QCOMPARE(child<QToolButton>(*window, "startButton")->text(), QStringLiteral("START"));
}

void TestMainWindow::languageSwitching_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("rules");
    QTest::addColumn<bool>("chinese");

    QTest::newRow("zh") << "zh" << QStringLiteral("开始") << QStringLiteral("规则(&R)") << true;
    QTest::newRow("de, no window texts") << "de"
                                         << "START"
                                         << "&Rules" << false;
    QTest::newRow("back to en") << "en"
                                << "START"
                                << "&Rules" << false;
}

void TestMainWindow::languageSwitching()
{
    QFETCH(QString, code);
    QFETCH(QString, start);
    QFETCH(QString, rules);
    QFETCH(bool, chinese);

    auto window = makeWindow();
    // Start from Chinese so that every row changes texts and font.
    switchTo(*window, QStringLiteral("zh"));
    switchTo(*window, QStringLiteral("en"));
    QCOMPARE(child<QToolButton>(*window, "startButton")->text(), QStringLiteral("START"));
    switchTo(*window, code);

    QCOMPARE(child<QToolButton>(*window, "startButton")->text(), start);
    QCOMPARE(child<QPushButton>(*window, "rulesButton")->text(), rules);
    const QStringList texts = visibleTexts(*window);
    for (const QString &text : texts)
        QVERIFY2(!text.isEmpty(), qPrintable(texts.join(QLatin1Char('|'))));

    QAction *checked
        = child<QMenu>(*window, "languageMenu")->actions().first()->actionGroup()->checkedAction();
    QVERIFY(checked);
    QCOMPARE(checked->data().toString(), code);
    QCOMPARE(QLocale().language() == QLocale::Chinese, chinese);

    const QFont font = window->font();
    // Chinese takes "simsun" where it is installed, else the font of the others.
    if (chinese
        && QFontDatabase().families().contains(QStringLiteral("simsun"), Qt::CaseInsensitive)) {
        QCOMPARE(font.family(), QStringLiteral("simsun"));
        // 10 points unless the texts overflow the fixed window at that size.
        QVERIFY(font.pointSizeF() <= 10.0 && font.pointSizeF() >= 7.0);
        QVERIFY(!font.italic());
        QCOMPARE(font.weight(), int(QFont::Normal));
    } else {
        QCOMPARE(font.family(), QFont().defaultFamily());
    }
}

void TestMainWindow::textsFitTheWindow_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("en") << "en";
    QTest::newRow("zh") << "zh";
}

void TestMainWindow::textsFitTheWindow()
{
    QFETCH(QString, code);

    auto window = makeWindow(QStringLiteral("3.4.0"));
    switchTo(*window, code);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QLayout *layout = window->centralWidget()->layout();
    layout->activate();
    const QRect room = window->centralWidget()->rect();
    QVERIFY(layout->totalMinimumSize().width() <= room.width());
    QVERIFY2(layout->totalHeightForWidth(room.width()) <= room.height(),
        qPrintable(QStringLiteral("%1 > %2")
                       .arg(layout->totalHeightForWidth(room.width()))
                       .arg(room.height())));

    // Every option text has the room its lines need, inside the window.
    for (QAbstractButton *button : window->centralWidget()->findChildren<QAbstractButton *>()) {
        const QRect place(button->mapTo(window->centralWidget(), QPoint()), button->size());
        QVERIFY2(room.contains(place), qPrintable(button->objectName()));
        if (button->hasHeightForWidth()) {
            QVERIFY2(button->height() >= button->heightForWidth(button->width()),
                qPrintable(button->objectName()));
        } else {
            // The browse buttons are held narrow on purpose.
            QVERIFY2(
                button->width() >= qMin(button->minimumSizeHint().width(), button->maximumWidth()),
                qPrintable(button->objectName()));
        }
    }
    for (QLabel *label : window->centralWidget()->findChildren<QLabel *>()) {
        if (label->wordWrap())
            QVERIFY2(label->height() >= label->heightForWidth(label->width()),
                qPrintable(label->objectName()));
    }
}

void TestMainWindow::newVersionLink_data()
{
    QTest::addColumn<QString>("version");
    QTest::newRow("none") << "";
    QTest::newRow("3.4.0") << "3.4.0";
}

void TestMainWindow::newVersionLink()
{
    QFETCH(QString, version);

    auto window = makeWindow(version);
    auto *label = window->findChild<QLabel *>(QStringLiteral("newVersionLabel"));
    if (version.isEmpty()) {
        QVERIFY(!label);
        return;
    }
    QVERIFY(label);
    QCOMPARE(label->textFormat(), Qt::RichText);
    QVERIFY(label->openExternalLinks());
    QCOMPARE(label->textInteractionFlags(), Qt::TextBrowserInteraction);
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(label->text(),
        QStringLiteral("<html><body><a href=\"" QUILM_PRODUCT_PAGE
                       "\">Found new version 3.4.0. Click to download.</a></body></html>"));
    switchTo(*window, QStringLiteral("zh"));
    QCOMPARE(plainTextOf(label->text()), QStringLiteral("发现新版本 3.4.0。点击下载。"));
}

void TestMainWindow::aboutBox_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("en") << "en"
                        << "<p><b> Quilm</b> version 3.3.1</p>";
    QTest::newRow("zh") << "zh" << QStringLiteral("<p><b> Quilm</b> 版本 3.3.1</p>");
}

void TestMainWindow::aboutBox()
{
    QFETCH(QString, code);
    QFETCH(QString, firstLine);

    auto window = makeWindow();
    switchTo(*window, code);
    window->show();
    auto *about = child<QAction>(*window, "aboutAction");
    about->trigger();
    about->trigger();
    // Shown without blocking, one more box per call.
    const QList<QMessageBox *> boxes
        = window->findChildren<QMessageBox *>(QStringLiteral("aboutBox"));
    QCOMPARE(boxes.size(), 2);
    QMessageBox *box = boxes.first();
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(box->windowTitle(), QStringLiteral(" Quilm"));
    QVERIFY(!box->iconPixmap().isNull());
    QVERIFY2(box->text().contains(firstLine), qPrintable(box->text()));
    QVERIFY(box->text().contains(
        QStringLiteral("<a href=\"" QUILM_WEBSITE "\">" QUILM_WEBSITE "</a>")));
    QVERIFY(box->text().contains(
        QStringLiteral("<a href=\"mailto:" QUILM_SUPPORT_EMAIL "\">" QUILM_SUPPORT_EMAIL "</a>")));
    // The window stays usable, and a closed box is released.
    QVERIFY(!QApplication::activeModalWidget());
    QPointer<QMessageBox> closed = box;
    box->close();
    QTRY_VERIFY(!closed);
    QCOMPARE(window->findChildren<QMessageBox *>(QStringLiteral("aboutBox")).size(), 1);
}

void TestMainWindow::userManualOpensProductPage()
{
    auto window = makeWindow();
    child<QAction>(*window, "userManualAction")->trigger();
    QCOMPARE(m_opened, QList<QUrl> { QUrl(QStringLiteral(QUILM_PRODUCT_PAGE)) });
}

void TestMainWindow::errorsRevealTheOutputPanel()
{
    auto window = makeWindow();
    window->show();
    ModalCloser closer;
    reportMessage(QStringLiteral("network unreachable"));
    FHOutputWidget *panel = FHOutputWidget::instance();
    QVERIFY(!panel->isVisible()); // a plain message does not pop up

    reportError(QStringLiteral("Exiv2: cannot read"));
    QCOMPARE(closer.count(), 1);
    QVERIFY(panel->isVisible());
    QVERIFY(panel->isWindow());
    // Placed with the main window, none active without a window manager.
    QVERIFY(!panel->frameGeometry().intersects(window->frameGeometry()));
    QVERIFY(window->screen()->availableGeometry().contains(panel->frameGeometry()));
    QVERIFY(panel->toPlainText().contains(QLatin1String("network unreachable")));

    // Closed by the user, it comes back on request.
    panel->close();
    QVERIFY(!panel->isVisible());
    QAction *showOutput = child<QAction>(*window, "outputAction");
    QVERIFY(window->actions().contains(showOutput));
    QVERIFY(!showOutput->shortcut().isEmpty());
    showOutput->trigger();
    QVERIFY(panel->isVisible());
    panel->close();
}

void TestMainWindow::processEndsWithTheWindow()
{
    // The output panel is a window of its own; the program ends all the same.
    auto window = makeWindow();
    window->show();
    FHOutputWidget::instance()->reveal();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    bool panelOpen = false;
    QTimer::singleShot(0, this, [&] {
        panelOpen = FHOutputWidget::instance()->isVisible();
        window->close();
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, this, [] { QCoreApplication::exit(3); });
    timeout.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(panelOpen);
    FHOutputWidget::instance()->close();
}

void TestMainWindow::questionBeforeStart_data()
{
    QTest::addColumn<bool>("hasStarted");
    QTest::addColumn<bool>("askBeforeStart");
    QTest::addColumn<QString>(
        "input"); // below a temporary folder holding in/, in2/ and link/ -> in
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<bool>("asks");

    QTest::newRow("first START") << false << true << "in"
                                 << "out" << false << true;
    QTest::newRow("first START, not to be asked") << false << false << "in"
                                                  << "in" << true << false;
    QTest::newRow("elsewhere") << true << true << "in"
                               << "out" << true << false;
    QTest::newRow("into itself") << true << true << "in"
                                 << "in" << false << true;
    QTest::newRow("into itself, written otherwise") << true << true << "in/"
                                                    << "./in/sub/.." << false << true;
    QTest::newRow("into itself through a link") << true << true << "in"
                                                << "link" << false << true;
    QTest::newRow("into itself, not to be asked") << true << false << "in"
                                                  << "in" << false << false;
    QTest::newRow("inside, recursive") << true << true << "in"
                                       << "in/sorted/new" << true << true;
    QTest::newRow("inside, not recursive") << true << true << "in"
                                           << "in/sorted" << false << false;
    QTest::newRow("a sibling with the same start") << true << true << "in"
                                                   << "in2" << true << false;
    QTest::newRow("input inside the output") << true << true << "in/sub"
                                             << "in" << true << false;
}

void TestMainWindow::questionBeforeStart()
{
    QFETCH(bool, hasStarted);
    QFETCH(bool, askBeforeStart);
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(bool, recursive);
    QFETCH(bool, asks);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("in/sub")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("in2")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("in")), dir.filePath(QStringLiteral("link"))));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const bool asked
        = FHFirstStartQuestion::isNeeded(hasStarted, askBeforeStart, input, output, recursive);
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(asked, asks);
}

QUILM_TEST_MAIN(TestMainWindow)

#include "tst_mainwindow.moc"
