// The shipped translations: every text of the sources is translated in every
// language, the files are current with the sources, the build compiled them,
// the translations keep what the program fills in or the user types, and the
// translated windows still fit their fixed sizes.

#include "TestSupport.h"
#include "shell/FHApplication.h"
#include "shell/FHexiv2Application.h"
#include "ui/FHMainWindow.h"
#include "ui/FHRuleDialog.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QLayout>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

struct TsMessage
{
    QString context;
    QString source;
    QString comment;
    QString type; // unfinished, vanished, obsolete or empty when finished
    QStringList translations; // one, or one per plural form
    QString key() const { return context + QLatin1Char('|') + source + QLatin1Char('|') + comment; }
};

struct TsFile
{
    QString language;
    QList<TsMessage> messages;
    QString error;
};

TsFile readTs(QIODevice *device)
{
    TsFile file;
    QXmlStreamReader xml(device);
    QString context;
    TsMessage message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("TS")) {
            file.language = xml.attributes().value(QLatin1String("language")).toString();
        } else if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message = TsMessage();
            message.context = context;
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("comment")) {
            message.comment = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            QString text;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isCharacters()) {
                    text += xml.text();
                } else if (xml.isStartElement() && xml.name() == QLatin1String("numerusform")) {
                    message.translations << xml.readElementText();
                } else if (xml.isEndElement() && xml.name() == QLatin1String("translation")) {
                    break;
                }
            }
            if (message.translations.isEmpty())
                message.translations << text;
            file.messages << message;
        }
    }
    if (xml.hasError())
        file.error = xml.errorString();
    return file;
}

TsFile readTs(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        TsFile file;
        file.error = f.errorString();
        return file;
    }
    return readTs(&f);
}

QStringList matches(const QString &text, const QRegularExpression &pattern, int group = 0)
{
    QStringList found;
    auto it = pattern.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(group).simplified();
    found.sort();
    return found;
}

QStringList keywords(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("\\$\\{[^}]*\\}"));
    return matches(text, pattern);
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("%L?(\\d+)"));
    QStringList found = matches(text, pattern, 1);
    found.removeDuplicates();
    return found;
}

QStringList tags(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("<[^<>]+>"));
    return matches(text, pattern);
}

bool hasMnemonic(QString text)
{
    text.remove(QStringLiteral("&&"));
    static const QRegularExpression pattern(QStringLiteral("&\\S"));
    return text.contains(pattern);
}

bool isKeyword(const QString &text)
{
    return keywords(text) == QStringList(text);
}

// What a translator can break: the keywords a user types, the %N that the
// program fills in, the markup and the keyboard shortcut of a menu entry.
QStringList translationFaults(const QString &source, const QString &translation)
{
    QStringList faults;
    if (translation.trimmed().isEmpty() && !source.trimmed().isEmpty())
        faults << QStringLiteral("empty");
    if (isKeyword(source) && translation != source)
        faults << QStringLiteral("keyword changed");
    if (keywords(translation) != keywords(source))
        faults << QStringLiteral("keywords %1 instead of %2")
                      .arg(keywords(translation).join(QLatin1Char(' ')),
                          keywords(source).join(QLatin1Char(' ')));
    if (placeholders(translation) != placeholders(source))
        faults << QStringLiteral("placeholders %1 instead of %2")
                      .arg(placeholders(translation).join(QLatin1Char(' ')),
                          placeholders(source).join(QLatin1Char(' ')));
    if (tags(translation) != tags(source))
        faults << QStringLiteral("markup %1 instead of %2")
                      .arg(tags(translation).join(QString()), tags(source).join(QString()));
    if (!source.contains(QLatin1Char('<')) && hasMnemonic(translation) != hasMnemonic(source))
        faults << QStringLiteral("shortcut marker %1").arg(hasMnemonic(source) ? "lost" : "added");
    return faults;
}

QStringList fileFaults(const TsFile &file)
{
    QStringList faults;
    if (!file.error.isEmpty())
        faults << file.error;
    if (file.messages.isEmpty())
        faults << QStringLiteral("no messages");
    for (const TsMessage &m : file.messages) {
        QStringList problems;
        if (!m.type.isEmpty())
            problems << m.type;
        for (const QString &translation : m.translations)
            problems << translationFaults(m.source, translation);
        problems.removeDuplicates();
        if (!problems.isEmpty())
            faults << QStringLiteral("%1 \"%2\": %3")
                          .arg(m.context, m.source.left(60), problems.join(QStringLiteral(", ")));
    }
    return faults;
}

QSet<QString> keys(const TsFile &file)
{
    QSet<QString> result;
    for (const TsMessage &m : file.messages)
        result.insert(m.key());
    return result;
}

QString listed(const QString &title, QSet<QString> keys)
{
    if (keys.isEmpty())
        return QString();
    QStringList sorted = keys.values();
    sorted.sort();
    return title + QStringLiteral(":\n  ") + sorted.join(QStringLiteral("\n  "))
        + QLatin1Char('\n');
}

struct Fit
{
    bool fits = false;
    double pointSize = 0;
    QString detail;
};

Fit fitOf(QWidget *widget, QLayout *layout, int room)
{
    layout->activate();
    const int needWidth = layout->totalMinimumSize().width();
    const int needHeight = layout->hasHeightForWidth()
        ? layout->totalHeightForWidth(widget->width())
        : layout->totalSizeHint().height();
    Fit fit;
    fit.fits = needWidth <= widget->width() && needHeight <= room;
    fit.pointSize = widget->font().pointSizeF();
    fit.detail = QStringLiteral("needs %1 x %2 at %3 pt, has %4 x %5")
                     .arg(needWidth)
                     .arg(needHeight)
                     .arg(fit.pointSize)
                     .arg(widget->width())
                     .arg(room);
    return fit;
}

} // namespace

class TestI18n : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void checkerFindsFaults_data();
    void checkerFindsFaults();
    void checkerReadsFileStates_data();
    void checkerReadsFileStates();
    void shippedLanguages();
    void upToDate_data();
    void upToDate();
    void complete_data();
    void complete();
    void compiled_data();
    void compiled();
    void mainWindowFits_data();
    void mainWindowFits();
    void ruleDialogFits_data();
    void ruleDialogFits();

private:
    void addFileRows();
    Fit mainWindowFit(const QString &code);
    Fit ruleDialogFit(const QString &code);

    QStringList m_codes;
    QTemporaryDir m_refreshed;
    QString m_refreshOutput;
    int m_refreshExit = -1;
};

void TestI18n::initTestCase()
{
    const QDir translations(QStringLiteral(QUILM_SOURCE_DIR "/translations"));
    const QStringList files = translations.entryList({ QStringLiteral("*.ts") }, QDir::Files);
    for (const QString &file : files) {
        m_codes << QFileInfo(file).baseName();
        QVERIFY(QFile::copy(translations.filePath(file), m_refreshed.filePath(file)));
    }
    QVERIFY(!m_codes.isEmpty());

    // The refresh script itself, on copies: what it would change is what is
    // out of date.
    QStringList args { QStringLiteral(QUILM_SOURCE_DIR "/scripts/update-translations.sh") };
    for (const QString &file : files)
        args << m_refreshed.filePath(file);
    QProcess refresh;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUPDATE"), QStringLiteral(QUILM_LUPDATE));
    refresh.setProcessEnvironment(env);
    refresh.setProcessChannelMode(QProcess::MergedChannels);
    refresh.start(QStringLiteral("bash"), args);
    QVERIFY(refresh.waitForFinished(60000));
    m_refreshExit = refresh.exitStatus() == QProcess::NormalExit ? refresh.exitCode() : -1;
    m_refreshOutput = QString::fromLocal8Bit(refresh.readAll());

    QVERIFY(QFile::link(QStringLiteral(QUILM_BINARY_DIR "/image"), QStringLiteral("image")));
    FHApplication::loadTranslators(QStringLiteral(QUILM_BINARY_DIR));
}

void TestI18n::checkerFindsFaults_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<bool>("faulty");

    QTest::newRow("faithful") << "Press %1 to see the reports."
                              << "Mit %1 zeigen Sie die Meldungen an." << false;
    QTest::newRow("placeholder dropped") << "Press %1 to see the reports."
                                         << "Meldungen anzeigen." << true;
    QTest::newRow("placeholder renumbered") << "%1 files"
                                            << "%2 Dateien" << true;
    QTest::newRow("placeholder invented") << "Status"
                                          << "Status %1" << true;
    QTest::newRow("keyword cell kept") << "${YYYY}"
                                       << "${YYYY}" << false;
    QTest::newRow("keyword cell translated") << "${YYYY}"
                                             << "${JJJJ}" << true;
    QTest::newRow("keyword cell with words") << "${NUM}"
                                             << "${NUM} (Nr.)" << true;
    QTest::newRow("keyword in a sentence translated") << "i.e. ${YYYY} will be replaced with 2014"
                                                      << "${AAAA} devient 2014" << true;
    QTest::newRow("keywords reordered") << "Paris ${YYYY}-${mm} ${NUM}"
                                        << "${NUM} ${mm}/${YYYY} Paris" << false;
    QTest::newRow("keyword lost") << "Paris ${YYYY}-${mm} ${NUM}"
                                  << "Paris ${YYYY} ${NUM}" << true;
    QTest::newRow("tags reordered") << "<p>in <b>Input</b>, as <i>001.png</i></p>"
                                    << "<p>als <i>001.png</i> im <b>Eingang</b></p>" << false;
    QTest::newRow("bold lost") << "<p>in <b>Input</b></p>"
                               << "<p>im Eingang</p>" << true;
    QTest::newRow("tag left open") << "<p>in <b>Input</b></p>"
                                   << "<p>im <b>Eingang</p>" << true;
    QTest::newRow("link target changed") << "<a href=\"%1\">%1</a>"
                                         << "<a href=%1>%1</a>" << true;
    QTest::newRow("shortcut kept, Chinese style") << "&File" << QStringLiteral("文件(&F)") << false;
    QTest::newRow("shortcut moved") << "&About" << QStringLiteral("Ü&ber") << false;
    QTest::newRow("shortcut lost") << "&File"
                                   << "Datei" << true;
    QTest::newRow("shortcut added") << "Rules"
                                    << "&Regeln" << true;
    QTest::newRow("literal ampersand") << "Tom && Jerry"
                                       << "Tom && Jerry" << false;
    QTest::newRow("empty") << "Yes"
                           << "" << true;
    QTest::newRow("blank") << "Yes"
                           << "  " << true;
}

void TestI18n::checkerFindsFaults()
{
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QFETCH(bool, faulty);

    const QStringList faults = translationFaults(source, translation);
    QVERIFY2(faults.isEmpty() != faulty, qPrintable(faults.join(QStringLiteral("; "))));
}

void TestI18n::checkerReadsFileStates_data()
{
    QTest::addColumn<QString>("translation");
    QTest::addColumn<bool>("faulty");

    QTest::newRow("finished") << "<translation>Ja</translation>" << false;
    QTest::newRow("unfinished") << "<translation type=\"unfinished\">Ja</translation>" << true;
    QTest::newRow("unfinished, empty") << "<translation type=\"unfinished\"></translation>" << true;
    QTest::newRow("vanished") << "<translation type=\"vanished\">Ja</translation>" << true;
    QTest::newRow("obsolete") << "<translation type=\"obsolete\">Ja</translation>" << true;
    QTest::newRow("finished but empty") << "<translation></translation>" << true;
    QTest::newRow("plural forms") << "<translation><numerusform>Ja</numerusform>"
                                     "<numerusform>Jas</numerusform></translation>"
                                  << false;
    QTest::newRow("plural form missing") << "<translation><numerusform>Ja</numerusform>"
                                            "<numerusform></numerusform></translation>"
                                         << true;
}

void TestI18n::checkerReadsFileStates()
{
    QFETCH(QString, translation);
    QFETCH(bool, faulty);

    QByteArray ts = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                   "<TS version=\"2.1\" language=\"de\"><context><name>W</name>"
                                   "<message><source>Yes</source>%1</message></context></TS>")
                        .arg(translation)
                        .toUtf8();
    QBuffer buffer(&ts);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const TsFile file = readTs(&buffer);
    QCOMPARE(file.language, QStringLiteral("de"));
    QCOMPARE(file.messages.size(), 1);
    const QStringList faults = fileFaults(file);
    QVERIFY2(faults.isEmpty() != faulty, qPrintable(faults.join(QStringLiteral("; "))));
}

void TestI18n::shippedLanguages()
{
    for (const char *code : { "zh", "en", "de", "fr" })
        QVERIFY2(m_codes.contains(QLatin1String(code)), code);
    for (const QString &code : qAsConst(m_codes)) {
        QCOMPARE(code.size(), 2);
        const TsFile file
            = readTs(QStringLiteral(QUILM_SOURCE_DIR "/translations/%1.ts").arg(code));
        QVERIFY2(
            file.language.startsWith(code), qPrintable(code + QLatin1Char(' ') + file.language));
        // The Language menu shows this badge beside the entry.
        const QImage badge(QStringLiteral(QUILM_SOURCE_DIR "/image/%1.png").arg(code));
        QVERIFY2(!badge.isNull(), qPrintable(code));
        QCOMPARE(badge.size(), QSize(32, 32));
    }
}

void TestI18n::addFileRows()
{
    QTest::addColumn<QString>("code");
    for (const QString &code : qAsConst(m_codes))
        QTest::newRow(qPrintable(code)) << code;
}

void TestI18n::upToDate_data()
{
    addFileRows();
}

void TestI18n::upToDate()
{
    QFETCH(QString, code);
    QVERIFY2(m_refreshExit == 0, qPrintable(m_refreshOutput));

    const TsFile shipped = readTs(QStringLiteral(QUILM_SOURCE_DIR "/translations/%1.ts").arg(code));
    const TsFile refreshed = readTs(m_refreshed.filePath(code + QStringLiteral(".ts")));
    QVERIFY(shipped.error.isEmpty());
    QVERIFY(refreshed.error.isEmpty());
    const QSet<QString> before = keys(shipped);
    const QSet<QString> after = keys(refreshed);
    const QString report
        = listed(QStringLiteral("in the sources but not in %1.ts").arg(code), after - before)
        + listed(QStringLiteral("in %1.ts but no longer in the sources").arg(code), before - after);
    QVERIFY2(report.isEmpty(),
        qPrintable(report + QStringLiteral("run scripts/update-translations.sh and translate")));
}

void TestI18n::complete_data()
{
    addFileRows();
}

void TestI18n::complete()
{
    QFETCH(QString, code);
    const TsFile file = readTs(QStringLiteral(QUILM_SOURCE_DIR "/translations/%1.ts").arg(code));
    const QStringList faults = fileFaults(file);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestI18n::compiled_data()
{
    addFileRows();
}

void TestI18n::compiled()
{
    QFETCH(QString, code);
    QTranslator translator;
    QVERIFY2(translator.load(QStringLiteral(QUILM_BINARY_DIR "/%1.qm").arg(code)),
        "the build compiles every translations/*.ts");
    const TsFile file = readTs(QStringLiteral(QUILM_SOURCE_DIR "/translations/%1.ts").arg(code));
    for (const TsMessage &m : file.messages) {
        const QByteArray comment = m.comment.toUtf8();
        QCOMPARE(translator.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData(),
                     comment.isEmpty() ? nullptr : comment.constData()),
            m.translations.first());
    }
}

Fit TestI18n::mainWindowFit(const QString &code)
{
    // Started in that language, as after a restart, with the longest
    // description: the one carrying the new-version link.
    QSettings(QStringLiteral("Quilm.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("MainWindow/language"), code);
    FHMainWindow window(quilmApp(), QStringLiteral("3.4.0"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return Fit();
    QWidget *central = window.centralWidget();
    return fitOf(&window, central->layout(), central->height());
}

Fit TestI18n::ruleDialogFit(const QString &code)
{
    FHApplication::setLanguage(code);
    FHRuleDialog dialog;
    dialog.retranslate();
    dialog.setExample(QString());
    return fitOf(&dialog, dialog.layout(), dialog.height());
}

void TestI18n::mainWindowFits_data()
{
    addFileRows();
}

void TestI18n::mainWindowFits()
{
    QFETCH(QString, code);
    const Fit english = mainWindowFit(QStringLiteral("en"));
    const Fit fit = mainWindowFit(code);
    QVERIFY2(fit.fits, qPrintable(fit.detail));
    // The window steps its font down when texts run long; a translation gets
    // no smaller type than English (Chinese has a font of its own where
    // simsun is installed).
    const bool ownFont = code == QLatin1String("zh")
        && QFontDatabase().families().contains(QStringLiteral("simsun"), Qt::CaseInsensitive);
    if (!ownFont)
        QVERIFY2(fit.pointSize >= english.pointSize,
            qPrintable(QStringLiteral("%1; English %2 pt").arg(fit.detail).arg(english.pointSize)));
}

void TestI18n::ruleDialogFits_data()
{
    addFileRows();
}

void TestI18n::ruleDialogFits()
{
    QFETCH(QString, code);
    const Fit english = ruleDialogFit(QStringLiteral("en"));
    const Fit fit = ruleDialogFit(code);
    FHApplication::setLanguage(QString());
    QVERIFY2(fit.fits, qPrintable(fit.detail));
    QVERIFY2(fit.pointSize >= english.pointSize,
        qPrintable(QStringLiteral("%1; English %2 pt").arg(fit.detail).arg(english.pointSize)));
}

QUILM_TEST_MAIN(TestI18n)

#include "tst_i18n.moc"
