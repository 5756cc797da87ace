// File > File types...: the families a sort moves, as Quilm.ini keeps them,
// as the dialog shows them in every language, and as they reach the run.

#include "TestImages.h"
#include "TestSupport.h"
#include "engine/FHFileTypes.h"
#include "shell/FHApplication.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHFileTypesDialog.h"
#include "ui/FHMainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TestFileTypes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void chosenStoredAndRun_data();
    void chosenStoredAndRun();
    void translatedAndFits_data();
    void translatedAndFits();
};

namespace {

QStringList checkedFamilies(QDialog *dialog)
{
    QStringList names;
    for (const FHFileTypes::FamilyInfo &info : FHFileTypes::families()) {
        auto *box = dialog->findChild<QCheckBox *>(QLatin1String(info.name));
        if (box && box->isChecked())
            names << QLatin1String(info.name);
    }
    return names;
}
} // namespace

void TestFileTypes::initTestCase()
{
    QVERIFY(QFile::link(QStringLiteral(QUILM_BINARY_DIR "/image"), QStringLiteral("image")));
    FHApplication::loadTranslators(QStringLiteral(QUILM_BINARY_DIR));
}

void TestFileTypes::init()
{
    QFile::remove(QStringLiteral("Quilm.ini"));
    FHApplication::setLanguage(QStringLiteral("en"));
}

void TestFileTypes::cleanup()
{
    FHApplication::setLanguage(QString());
}

void TestFileTypes::chosenStoredAndRun_data()
{
    QTest::addColumn<QString>("stored"); // fileTypes before; "-" for none
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("toggled");
    QTest::addColumn<bool>("okEnabled");
    QTest::addColumn<QString>("storedAfter");

    QTest::newRow("missing: photos; RAW added")
        << "-" << QStringList { "photo" } << QStringList { "raw" } << true << "photo,raw";
    QTest::newRow("videos alone kept")
        << "video" << QStringList { "video" } << QStringList {} << true << "video";
    QTest::newRow("unknown name: photos") << "photo,slides" << QStringList { "photo" }
                                          << QStringList { "video" } << true << "photo,video";
    QTest::newRow("all") << "all" << QStringList { "photo", "heif", "raw", "webp-tiff", "video" }
                         << QStringList { "heif" } << true << "photo,raw,webp-tiff,video";
    QTest::newRow("none is no choice")
        << "photo" << QStringList { "photo" } << QStringList { "photo" } << false << "photo";
}

void TestFileTypes::chosenStoredAndRun()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, toggled);
    QFETCH(bool, okEnabled);
    QFETCH(QString, storedAfter);

    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in"));
    const QString out = dir.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(in));
    QVERIFY(TestImages::makeImage(in + QStringLiteral("/a.jpg")));
    QFile clip(in + QStringLiteral("/clip.mp4"));
    QVERIFY(clip.open(QIODevice::WriteOnly) && clip.write("not a real video") > 0);
    clip.close();
    {
        QSettings ini(QStringLiteral("Quilm.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Option/hasStarted"), true);
        if (stored != QLatin1String("-"))
            ini.setValue(QStringLiteral("Option/fileTypes"), stored);
    }

    auto window = std::make_unique<FHMainWindow>(quilmApp(), QString());
    window->findChild<QLineEdit *>(QStringLiteral("inputEdit"))->setText(in);
    window->findChild<QLineEdit *>(QStringLiteral("outputEdit"))->setText(out);
    window->findChild<QRadioButton *>(QStringLiteral("allImagesRadio"))->click();
    QStringList seen;
    bool okSeen = false;
    ModalCloser closer([&](QWidget *modal) {
        auto *dialog = qobject_cast<FHFileTypesDialog *>(modal);
        QVERIFY(dialog);
        seen = checkedFamilies(dialog);
        for (const QString &name : qAsConst(toggled))
            dialog->findChild<QCheckBox *>(name)->click();
        QPushButton *ok = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        okSeen = ok->isEnabled();
        if (okSeen)
            ok->click();
        else
            dialog->reject();
    });
    window->findChild<QAction *>(QStringLiteral("fileTypesAction"))->trigger();
    QCOMPARE(closer.count(), 1);
    QCOMPARE(seen, shown);
    QCOMPARE(okSeen, okEnabled);

    // The run sorts what was chosen, and nothing else.
    window->findChild<QToolButton *>(QStringLiteral("startButton"))->click();
    QCOMPARE(QFile::exists(in + QStringLiteral("/a.jpg")), !storedAfter.contains("photo"));
    QCOMPARE(QFile::exists(clip.fileName()), !storedAfter.contains("video"));
    window->close();
    QCOMPARE(QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
                 .value(QStringLiteral("Option/fileTypes"))
                 .toString(),
        storedAfter);
}

void TestFileTypes::translatedAndFits_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("videos");

    QTest::newRow("en") << "en"
                        << "File types"
                        << "&Videos";
    QTest::newRow("zh") << "zh" << QStringLiteral("文件类型") << QStringLiteral("视频(&V)");
    QTest::newRow("de") << "de"
                        << "Dateitypen"
                        << "&Videos";
    QTest::newRow("fr") << "fr"
                        << "Types de fichiers" << QStringLiteral("&Vidéos");
}

void TestFileTypes::translatedAndFits()
{
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(QString, videos);

    FHApplication::setLanguage(code);
    FHFileTypesDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), title);
    QCOMPARE(dialog.findChild<QCheckBox *>(QStringLiteral("video"))->text(), videos);
    // Every suffix is named beside its family.
    for (const FHFileTypes::FamilyInfo &info : FHFileTypes::families()) {
        const QString listed
            = dialog.findChild<QLabel *>(QLatin1String(info.name) + QStringLiteral("Suffixes"))
                  ->text();
        for (const QString &suffix : info.suffixes)
            QVERIFY2(listed.contains(suffix), qPrintable(info.name + QLatin1Char(' ') + suffix));
    }
    // With room for a title bar and a panel on a small screen.
    const QSize frame = dialog.frameGeometry().size();
    QVERIFY2(frame.width() <= 1024 && frame.height() + 60 <= 600,
        qPrintable(QStringLiteral("%1 x %2").arg(frame.width()).arg(frame.height())));
}

QUILM_TEST_MAIN(TestFileTypes)

#include "tst_filetypes.moc"
