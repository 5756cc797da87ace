// The main window without a mouse: START answers Enter, Tab enters each group
// of radios at the checked one, and every option has a shortcut of its own in
// every language.

#include "TestSupport.h"
#include "shell/FHApplication.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"
#include "ui/FHRunReporter.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

// The letter after a single "&", or a null character.
QChar mnemonic(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1).toUpper();
        ++i;
    }
    return QChar();
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void enterPressesStart_data();
    void enterPressesStart();
    void tabLandsOnCheckedRadio_data();
    void tabLandsOnCheckedRadio();
    void shortcuts_data();
    void shortcuts();

private:
    // A shown, active window in the language, both folders empty temporary ones.
    std::unique_ptr<FHMainWindow> makeWindow(const QString &code = QStringLiteral("en"));

    QTemporaryDir m_input;
    QTemporaryDir m_output;
};

std::unique_ptr<FHMainWindow> TestKeyboard::makeWindow(const QString &code)
{
    QSettings settings(QStringLiteral("Quilm.ini"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("MainWindow/language"), code);
    settings.setValue(QStringLiteral("MainWindow/input"), m_input.path());
    settings.setValue(QStringLiteral("MainWindow/output"), m_output.path());
    settings.sync();
    auto window = std::make_unique<FHMainWindow>(quilmApp(), QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the window did not become active");
    return window;
}

void TestKeyboard::initTestCase()
{
    QVERIFY(m_input.isValid() && m_output.isValid());
    QVERIFY(QFile::link(QStringLiteral(QUILM_BINARY_DIR "/image"), QStringLiteral("image")));
    FHApplication::loadTranslators(QStringLiteral(QUILM_BINARY_DIR));
}

void TestKeyboard::init()
{
    QFile::remove(QStringLiteral("Quilm.ini"));
}

void TestKeyboard::enterPressesStart_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<int>("clicks");

    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << false << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false << 1;
    QTest::newRow("Enter held down") << int(Qt::Key_Return) << int(Qt::NoModifier) << true << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << false << 0;
}

void TestKeyboard::enterPressesStart()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, autoRepeat);
    QFETCH(int, clicks);

    ModalCloser closer;
    auto window = makeWindow();
    auto *start = child<QToolButton>(*window, QStringLiteral("startButton"));
    QVERIFY(start->isEnabled());
    start->setFocus();
    QSignalSpy clicked(start, &QAbstractButton::clicked);
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), QString(), autoRepeat);
    QApplication::sendEvent(start, &press);
    QCOMPARE(clicked.count(), clicks);
}

void TestKeyboard::tabLandsOnCheckedRadio_data()
{
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("back");

    QTest::newRow("first of two") << "camerasOnlyRadio"
                                  << "outputBrowseButton" << false;
    QTest::newRow("second of two") << "allImagesRadio"
                                   << "outputBrowseButton" << false;
    QTest::newRow("No") << "noRadio"
                        << "allImagesRadio" << false;
    QTest::newRow("pattern") << "patternRadio"
                             << "noRadio" << false;
    QTest::newRow("by month, from Rules") << "monthRadio"
                                          << "rulesButton" << false;
    QTest::newRow("none, back from Keep the originals") << "noneRadio"
                                                        << "copyCheck" << true;
}

void TestKeyboard::tabLandsOnCheckedRadio()
{
    QFETCH(QString, checked);
    QFETCH(QString, from);
    QFETCH(bool, back);

    auto window = makeWindow();
    // Everything on the way checked as the row wants it, and enabled.
    for (const char *name : { "allImagesRadio", "noRadio", "patternRadio", "dayRadio" })
        child<QRadioButton>(*window, QLatin1String(name))->setChecked(true);
    child<QRadioButton>(*window, checked)->setChecked(true);
    QWidget *start = window->findChild<QWidget *>(from);
    QVERIFY(start);
    start->setFocus();
    QCOMPARE(QApplication::focusWidget(), start);
    QTest::keyClick(start, back ? Qt::Key_Backtab : Qt::Key_Tab);
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QCOMPARE(focus->objectName(), checked);
}

void TestKeyboard::shortcuts_data()
{
    QTest::addColumn<QString>("code");
    const QStringList codes = FHApplication::languages();
    for (const QString &code : codes)
        QTest::newRow(qPrintable(code)) << code;
}

void TestKeyboard::shortcuts()
{
    QFETCH(QString, code);

    auto window = makeWindow(code);
    const QList<QRadioButton *> radios = window->centralWidget()->findChildren<QRadioButton *>();
    QList<QLabel *> labels;
    for (QLabel *label : window->centralWidget()->findChildren<QLabel *>()) {
        if (label->buddy())
            labels << label;
    }
    QVERIFY(radios.size() >= 9 && labels.size() >= 2);

    // A letter with two owners only moves the focus between them.
    QMultiHash<QChar, QString> owners;
    QStringList without;
    auto note = [&](const QString &text, const QString &owner) {
        const QChar letter = mnemonic(text);
        if (letter.isNull())
            without << owner;
        else
            owners.insert(letter, owner);
    };
    for (QAction *menu : window->menuBar()->actions())
        note(menu->text(), menu->menu()->objectName());
    for (QRadioButton *radio : radios)
        note(radio->text(), radio->objectName());
    for (QLabel *label : qAsConst(labels))
        note(label->text(), label->objectName());
    const QList<QCheckBox *> checks = window->centralWidget()->findChildren<QCheckBox *>();
    for (QCheckBox *check : checks)
        note(check->text(), check->objectName());
    for (const char *button : { "rulesButton", "previewButton" })
        note(child<QAbstractButton>(*window, QLatin1String(button))->text(), QLatin1String(button));
    QVERIFY2(without.isEmpty(), qPrintable(without.join(QStringLiteral(", "))));
    for (const QChar letter : owners.uniqueKeys()) {
        QVERIFY2(owners.count(letter) == 1,
            qPrintable(QStringLiteral("%1: %2").arg(letter).arg(
                owners.values(letter).join(QStringLiteral(", ")))));
    }

    // Alt and the letter check and focus a radio, and focus a labelled field.
    for (QRadioButton *radio : radios) {
        QTest::keyClick(
            window.get(), mnemonic(radio->text()).toLower().toLatin1(), Qt::AltModifier);
        // The shortcut clicks after the button has shown itself pressed.
        QTRY_VERIFY2(radio->isChecked() && radio->hasFocus(), qPrintable(radio->objectName()));
    }
    for (QLabel *label : qAsConst(labels)) {
        QTest::keyClick(
            window.get(), mnemonic(label->text()).toLower().toLatin1(), Qt::AltModifier);
        QVERIFY2(label->buddy()->hasFocus(), qPrintable(label->objectName()));
    }
    for (QCheckBox *check : checks) {
        const bool was = check->isChecked();
        QTest::keyClick(
            window.get(), mnemonic(check->text()).toLower().toLatin1(), Qt::AltModifier);
        QTRY_VERIFY2(
            check->isChecked() != was && check->hasFocus(), qPrintable(check->objectName()));
    }

    // Alt+V previews in every language, and no letter of an Alt shortcut ever
    // lands in the field in hand.
    auto *input = child<QLineEdit>(*window, QStringLiteral("inputEdit"));
    auto *preview = child<QAbstractButton>(*window, QStringLiteral("previewButton"));
    QCOMPARE(mnemonic(preview->text()), QChar('V'));
    const QString typed = input->text();
    input->setFocus();
    QSignalSpy previewed(preview, &QAbstractButton::clicked);
    ModalCloser closer; // the preview it opens
    // Keys go to the widget with the focus, as the window system sends them.
    QTest::keyClick(input, 'v', Qt::AltModifier);
    QTRY_COMPARE(previewed.count(), 1);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    input->setFocus();
    QTest::keyClick(input, 'z', Qt::AltModifier);
    QCOMPARE(input->text(), typed);
}

int main(int argc, char **argv)
{
    FHexiv2Application app(argc, argv);
    app.setReporters(&FHRunReporter::make);
    TestKeyboard test;
    return runTestObject(&test, argc, argv);
}

#include "tst_keyboard.moc"
