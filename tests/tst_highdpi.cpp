// The fixed-size windows at 100, 150 and 200 % scaling. CTest runs this once
// per setting (desktop.cmake): QT_SCALE_FACTOR scales everything, QT_FONT_DPI
// stands for the Xft.dpi a desktop sets, and QUILM_EXPECTED_RATIO says what
// the toolkit should make of it.

#include "TestSupport.h"
#include "shell/FHApplication.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"
#include "ui/FHPicture.h"
#include "ui/FHPreviewDialog.h"
#include "ui/FHRuleDialog.h"
#include "ui/FHRunReporter.h"

#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QLayout>
#include <QSettings>
#include <QTableView>
#include <QTreeView>
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
    void previewHeadersWhole_data();
    void previewHeadersWhole();
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
    FHMainWindow window(quilmApp(), QStringLiteral("3.4.0"));
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

void TestHighDpi::previewHeadersWhole_data()
{
    addLanguageRows();
}

void TestHighDpi::previewHeadersWhole()
{
    QFETCH(QString, code);
    FHApplication::setLanguage(code);
    // Month folders, as the per-month option makes them; the dialog as small as
    // it lets itself be made.
    FHSortOptions options;
    options.inputDir = QStringLiteral("/in");
    options.outputDir = QStringLiteral("/out");
    FHSortPlan plan;
    for (int month = 1; month <= 12; ++month) {
        FHPlanEntry entry;
        entry.sourceFolder = options.inputDir;
        entry.sourceName = QStringLiteral("IMG_%1.JPG").arg(month);
        entry.targetFolder = QStringLiteral("/out/2020-%1").arg(month, 2, 10, QLatin1Char('0'));
        entry.finalName = QStringLiteral("001.JPG");
        entry.captured = QDateTime(QDate(2020, month, 1), QTime(10, 0));
        entry.placed = true;
        plan.entries << entry;
    }
    plan.movedCount = plan.entries.size();
    FHPreviewDialog dialog(options);
    dialog.showPlan(plan);
    dialog.resize(1, 1);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // Every section as wide as the toolkit says its header (with the sort mark)
    // and, in the folder list, its folders and counts take.
    QStringList cut;
    auto *folders = dialog.findChild<QTreeView *>(QStringLiteral("folderList"));
    auto *table = dialog.findChild<QTableView *>(QStringLiteral("planTable"));
    QVERIFY(folders && table);
    for (QAbstractItemView *view :
        { static_cast<QAbstractItemView *>(folders), static_cast<QAbstractItemView *>(table) }) {
        QHeaderView *header = view == folders ? folders->header() : table->horizontalHeader();
        // The table's last column stretches into the room left, and may scroll.
        const int columns = view == table ? header->count() - 1 : header->count();
        for (int column = 0; column < columns; ++column) {
            const int needs = qMax(header->sectionSizeHint(column),
                view == folders ? view->sizeHintForColumn(column) : 0);
            if (header->sectionSize(column) < needs)
                cut << QStringLiteral("%1 '%2': %3 of %4 px")
                           .arg(view->objectName(),
                               view->model()->headerData(column, Qt::Horizontal).toString())
                           .arg(header->sectionSize(column))
                           .arg(needs);
        }
    }
    FHApplication::setLanguage(QString());
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
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
    app.setReporters(&FHRunReporter::make);
    TestHighDpi test;
    return runTestObject(&test, argc, argv);
}

#include "tst_highdpi.moc"
