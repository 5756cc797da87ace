// The fixed-size windows at 100, 150 and 200 % scaling. CTest runs this once
// per setting (desktop.cmake): QT_SCALE_FACTOR scales everything, QT_FONT_DPI
// stands for the Xft.dpi a desktop sets, and QUILM_EXPECTED_RATIO says what
// the toolkit should make of it.

#include "TestSupport.h"
#include "shell/FHApplication.h"
#include "shell/FHPicture.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"
#include "ui/FHRuleDialog.h"

#include <QFile>
#include <QIcon>
#include <QLayout>
#include <QSettings>
#include <QtTest>

#include <cmath>

namespace {

// Why the layout does not fit, or empty: it must fit the room, and every
// widget in it must have at least the height its contents need, or texts
// overlap and fields shrink to slivers.
QString misfit(QWidget *widget, int room)
{
    QLayout *layout = widget->layout();
    layout->activate();
    const int needWidth = layout->totalMinimumSize().width();
    const int needHeight = layout->hasHeightForWidth()
        ? layout->totalHeightForWidth(widget->width())
        : layout->totalSizeHint().height();
    if (needWidth > widget->width() || needHeight > room)
        return QStringLiteral("needs %1 x %2, has %3 x %4 at %5 pt")
            .arg(needWidth)
            .arg(needHeight)
            .arg(widget->width())
            .arg(room)
            .arg(widget->font().pointSizeF());
    const QList<QWidget *> children = widget->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (!child->isVisibleTo(widget) || child->isWindow()
            || child->sizePolicy().verticalPolicy() == QSizePolicy::Ignored)
            continue;
        const int need = child->hasHeightForWidth() ? child->heightForWidth(child->width())
                                                    : child->minimumSizeHint().height();
        if (child->height() < need)
            return QStringLiteral("%1 %2 is %3 px high, needs %4")
                .arg(QLatin1String(child->metaObject()->className()), child->objectName())
                .arg(child->height())
                .arg(need);
    }
    return QString();
}

FHexiv2Application *engine()
{
    return static_cast<FHexiv2Application *>(QCoreApplication::instance());
}

} // namespace

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ratio();
    void mainWindowFits_data();
    void mainWindowFits();
    void ruleDialogFits_data();
    void ruleDialogFits();
    void picturesSharp_data();
    void picturesSharp();

private:
    void addLanguageRows();
    qreal m_ratio = 0;
};

void TestHighDpi::initTestCase()
{
    QVERIFY(QFile::link(QStringLiteral(QUILM_BINARY_DIR "/image"), QStringLiteral("image")));
    FHApplication::loadTranslators(QStringLiteral(QUILM_BINARY_DIR));
    bool ok = false;
    m_ratio = qEnvironmentVariable("QUILM_EXPECTED_RATIO").toDouble(&ok);
    QVERIFY2(ok, "QUILM_EXPECTED_RATIO says what the scaling should give");
}

void TestHighDpi::ratio()
{
    QCOMPARE(qApp->devicePixelRatio(), m_ratio);
}

void TestHighDpi::addLanguageRows()
{
    QTest::addColumn<QString>("code");
    const QStringList codes = FHApplication::languages();
    for (const QString &code : codes)
        QTest::newRow(qPrintable(code)) << code;
}

void TestHighDpi::mainWindowFits_data()
{
    addLanguageRows();
}

void TestHighDpi::mainWindowFits()
{
    QFETCH(QString, code);
    // With the new-version line, the longest the description gets.
    QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("MainWindow/language"), code);
    FHMainWindow window(engine(), QStringLiteral("3.4.0"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(600, 480));
    QCOMPARE(window.devicePixelRatioF(), m_ratio);
    QWidget *central = window.centralWidget();
    const QString fault = misfit(central, central->height());
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestHighDpi::ruleDialogFits_data()
{
    addLanguageRows();
}

void TestHighDpi::ruleDialogFits()
{
    QFETCH(QString, code);
    FHApplication::setLanguage(code);
    FHRuleDialog dialog;
    dialog.retranslate();
    dialog.setExample(QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    FHApplication::setLanguage(QString());
    const QString fault = misfit(&dialog, dialog.height());
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestHighDpi::picturesSharp_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("shown"); // in logical pixels
    QTest::addColumn<bool>("icon"); // drawn through QIcon, as the window does

    QTest::newRow("splash") << "image/splash.png" << QSize(400, 250) << false;
    QTest::newRow("box logo") << "image/logoSmall.png" << QSize(64, 64) << false;
    QTest::newRow("START") << "image/start.png" << QSize(32, 32) << true;
    for (const QString &code : FHApplication::languages())
        QTest::newRow(qPrintable(code))
            << QStringLiteral("image/%1.png").arg(code) << QSize(32, 32) << true;
}

void TestHighDpi::picturesSharp()
{
    QFETCH(QString, path);
    QFETCH(QSize, shown);
    QFETCH(bool, icon);

    const QPixmap picture = icon ? QIcon(path).pixmap(shown) : loadPicture(path);
    QVERIFY(!picture.isNull());
    // The same logical size at any ratio, from enough device pixels.
    QCOMPARE(picture.size() / picture.devicePixelRatio(), shown);
    const QSize needed(std::ceil(shown.width() * m_ratio), std::ceil(shown.height() * m_ratio));
    QVERIFY2(picture.width() >= needed.width() && picture.height() >= needed.height(),
        qPrintable(
            QStringLiteral("%1 x %2 device pixels").arg(picture.width()).arg(picture.height())));
}

int main(int argc, char **argv)
{
    FHexiv2Application app(argc, argv);
    TestHighDpi test;
    return runTestObject(&test, argc, argv);
}

#include "tst_highdpi.moc"
