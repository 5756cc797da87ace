#include "TestSupport.h"
#include "ui/FHRuleDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

class TestRuleDialog : public QObject
{
    Q_OBJECT

private slots:
    void frame();
    void defaultExample();
    void givenExampleKeptAsIs();
    void result_data();
    void result();
    void keywordTable();
    void noteAndCaptions();
    void closeRejects();
    void textsFitTheFixedSize();

private:
    static QLabel *label(FHRuleDialog &dialog, const char *name);
};

QLabel *TestRuleDialog::label(FHRuleDialog &dialog, const char *name)
{
    auto *found = dialog.findChild<QLabel *>(QLatin1String(name));
    if (!found)
        qFatal("no label %s", name);
    return found;
}

void TestRuleDialog::frame()
{
    FHRuleDialog dialog;
    QCOMPARE(dialog.size(), QSize(450, 350));
    QCOMPARE(dialog.minimumSize(), QSize(450, 350));
    QCOMPARE(dialog.maximumSize(), QSize(450, 350));
    const Qt::WindowFlags flags = dialog.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QVERIFY(dialog.windowTitle().isEmpty());
    // Nothing is shown before the texts are set.
    QVERIFY(label(dialog, "introLabel")->text().isEmpty());
    QVERIFY(dialog.exampleEdit()->text().isEmpty());
}

void TestRuleDialog::defaultExample()
{
    FHRuleDialog dialog;
    dialog.retranslate();
    QSignalSpy edited(dialog.exampleEdit(), &QLineEdit::textChanged);
    dialog.setExample(QString());
    QCOMPARE(dialog.exampleEdit()->text(), QStringLiteral("Paris ${YYYY}-${mm}-${DD} ${NUM}"));
    QCOMPARE(edited.count(), 1);
    QCOMPARE(
        plainTextOf(label(dialog, "resultLabel")->text()), QStringLiteral("Paris 2014-12-31 001"));
}

void TestRuleDialog::givenExampleKeptAsIs()
{
    FHRuleDialog dialog;
    dialog.retranslate();
    dialog.setExample(QStringLiteral("  Rome ${NUM} "));
    QCOMPARE(dialog.exampleEdit()->text(), QStringLiteral("  Rome ${NUM} "));
}

void TestRuleDialog::result_data()
{
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("red");

    const QString missing = QStringLiteral("${NUM} is missing.");
    QTest::newRow("number only") << "${NUM}"
                                 << "001" << false;
    QTest::newRow("every keyword") << "${YYYY}${mm}${DD}-${HH}${MM}${SS}_${NUM}"
                                   << "20141231-233445_001" << false;
    QTest::newRow("number twice") << "${NUM} and ${NUM}"
                                  << "001 and 001" << false;
    QTest::newRow("lower-case keyword") << "Paris ${num}" << missing << true;
    QTest::newRow("no keyword") << "Paris" << missing << true;
    QTest::newRow("markup renders") << "<b>Bold ${NUM}"
                                    << "Bold 001" << false;
    // What the run would refuse is marked while it is typed.
    QTest::newRow("slash") << "2014/${NUM}"
                           << "Not usable: it holds \"/\", which would send the photos into "
                              "other folders."
                           << true;
    QTest::newRow("too long") << QString(250, QLatin1Char('x')) + QStringLiteral("${NUM}")
                              << "Not usable: the names would be longer than 255 bytes." << true;
    QTest::newRow("long but fits")
        << QString(240, QLatin1Char('x')) + QStringLiteral("${NUM}")
        << QString(240, QLatin1Char('x')) + QStringLiteral("001") << false;
}

void TestRuleDialog::result()
{
    QFETCH(QString, example);
    QFETCH(QString, shown);
    QFETCH(bool, red);

    FHRuleDialog dialog;
    dialog.retranslate();
    dialog.setExample(QStringLiteral("seed ${NUM}"));
    // Typing, not setExample: the result follows every keystroke.
    dialog.exampleEdit()->clear();
    QTest::keyClicks(dialog.exampleEdit(), example);
    QCOMPARE(dialog.exampleEdit()->text(), example);

    QLabel *result = label(dialog, "resultLabel");
    QCOMPARE(result->textFormat(), Qt::RichText);
    QCOMPARE(plainTextOf(result->text()), shown);
    QCOMPARE(result->text().contains(QLatin1String("<font color=red>")), red);
}

void TestRuleDialog::keywordTable()
{
    FHRuleDialog dialog;
    dialog.retranslate();
    const QString table = label(dialog, "tableLabel")->text();
    QCOMPARE(table.count(QLatin1String("<tr>")), 4);
    // The second column is bold in every row.
    for (const char *cell : { "${NUM}", "Number", "3", "001" })
        QVERIFY2(
            table.contains(QStringLiteral("<td><b>%1</b></td>").arg(QLatin1String(cell))), cell);

    QTextDocument doc;
    doc.setHtml(table);
    const QString plain = doc.toPlainText();
    const QStringList rows[] = {
        { "Keywords", "${NUM}", "${YYYY}", "${mm}", "${DD}", "${HH}", "${MM}", "${SS}" },
        { "Meaning", "Number", "Year", "Month", "Day", "Hour", "Minute", "Second" },
        { "Digits", "3", "4", "2", "2", "2", "2", "2" },
        { "Example", "001", "2014", "12", "31", "23", "34", "45" },
    };
    int from = 0;
    for (const QStringList &row : rows) {
        for (const QString &cell : row) {
            const int at = plain.indexOf(cell, from);
            QVERIFY2(at >= 0, qPrintable(cell));
            from = at + cell.size();
        }
    }
}

void TestRuleDialog::noteAndCaptions()
{
    FHRuleDialog dialog;
    dialog.retranslate();
    QCOMPARE(label(dialog, "noteLabel")->text(), QStringLiteral("NOTE: ${NUM} is mandatory."));
}

void TestRuleDialog::closeRejects()
{
    FHRuleDialog dialog;
    dialog.retranslate();
    auto *box = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(box);
    QCOMPARE(box->standardButtons(), QDialogButtonBox::StandardButtons(QDialogButtonBox::Close));
    QTimer::singleShot(0, box->button(QDialogButtonBox::Close), &QPushButton::click);
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

void TestRuleDialog::textsFitTheFixedSize()
{
    FHRuleDialog dialog;
    dialog.retranslate();
    QLayout *layout = dialog.layout();
    layout->activate();
    QVERIFY2(layout->totalMinimumSize().width() <= dialog.width(),
        qPrintable(QString::number(layout->totalMinimumSize().width())));
    QVERIFY2(layout->totalHeightForWidth(dialog.width()) <= dialog.height(),
        qPrintable(QString::number(layout->totalHeightForWidth(dialog.width()))));
    QVERIFY(dialog.font().pointSizeF() >= 7.0);
}

QUILM_TEST_MAIN(TestRuleDialog)
#include "tst_ruledialog.moc"
