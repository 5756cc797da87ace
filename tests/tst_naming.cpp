#include "EngineTest.h"
#include "engine/FHJsonLine.h"
#include "engine/FHNaming.h"

#include <QRegularExpression>
#include <QtTest>

class TestNaming : public QObject
{
    Q_OBJECT

private slots:
    void expand_data();
    void expand();
    void expandWorksInPlace();
    void temporaryName_data();
    void temporaryName();
    void recognise_data();
    void recognise();
    void patternProblem_data();
    void patternProblem();
    void jsonLineKeepsText_data();
    void jsonLineKeepsText();
    void jsonLineNumbers_data();
    void jsonLineNumbers();
};

void TestNaming::expand_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QList<int>>("values"); // number, year, month, day, hour, minute, second
    QTest::addColumn<QString>("expected");

    const QList<int> sample { 1, 2014, 12, 31, 23, 34, 45 };
    QTest::newRow("number width 3") << "${NUM}" << QList<int> { 7, 2014, 1, 1, 0, 0, 0 } << "007";
    QTest::newRow("longer number not cut")
        << "${NUM}" << QList<int> { 1234, 2014, 1, 1, 0, 0, 0 } << "1234";
    QTest::newRow("dialog sample")
        << "${YYYY}${mm}${DD}_${HH}${MM}${SS}_${NUM}" << sample << "20141231_233445_001";
    QTest::newRow("keyword twice")
        << "${NUM}-${NUM}" << QList<int> { 42, 2014, 1, 1, 0, 0, 0 } << "042-042";
    QTest::newRow("no keyword") << "holiday photo" << sample << "holiday photo";
    QTest::newRow("month and minute")
        << "${mm}.${MM}" << QList<int> { 1, 2014, 3, 1, 0, 5, 0 } << "03.05";
    QTest::newRow("year width 4") << "${YYYY}" << QList<int> { 1, 999, 1, 1, 0, 0, 0 } << "0999";
    QTest::newRow("case matters") << "${yyyy}${num}${NUM}" << sample << "${yyyy}${num}001";
    QTest::newRow("seconds and hours")
        << "${HH}h${SS}" << QList<int> { 1, 2014, 1, 1, 8, 0, 9 } << "08h09";
    QTest::newRow("unfinished keyword") << "${NUM" << sample << "${NUM";
}

void TestNaming::expand()
{
    QFETCH(QString, pattern);
    QFETCH(QList<int>, values);
    QFETCH(QString, expected);
    QCOMPARE(expandNamePattern(pattern, values[0], values[1], values[2], values[3], values[4],
                 values[5], values[6]),
        expected);
}

void TestNaming::expandWorksInPlace()
{
    QString pattern = QStringLiteral("${NUM}");
    QString &result = expandNamePattern(pattern, 5, 2014, 1, 1, 0, 0, 0);
    QCOMPARE(&result, &pattern);
    QCOMPARE(pattern, QStringLiteral("005"));
}

void TestNaming::temporaryName_data()
{
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<quint32>("tag");
    QTest::addColumn<QString>("expected");

    const QDateTime newYearsEve(QDate(2014, 12, 31), QTime(23, 34, 45));
    QTest::newRow("tag 10") << newYearsEve << 10u << "2014-12-31-23-34-45_000000000a";
    QTest::newRow("tag 0") << newYearsEve << 0u << "2014-12-31-23-34-45_0000000000";
    QTest::newRow("tag 255") << newYearsEve << 255u << "2014-12-31-23-34-45_00000000ff";
    QTest::newRow("largest tag") << newYearsEve << 0xffffffffu << "2014-12-31-23-34-45_00ffffffff";
    QTest::newRow("padded fields")
        << QDateTime(QDate(2015, 1, 2), QTime(8, 0, 0)) << 1u << "2015-01-02-08-00-00_0000000001";
}

void TestNaming::temporaryName()
{
    QFETCH(QDateTime, date);
    QFETCH(quint32, tag);
    QFETCH(QString, expected);
    const QString name = ::temporaryName(date, tag);
    QCOMPARE(name, expected);
    // Every name the run makes is recognised again in its second pass.
    QVERIFY(temporaryNamePattern().match(name).hasMatch());
}

void TestNaming::recognise_data()
{
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<bool>("recognised");

    QTest::newRow("hex tag") << "2014-12-31-23-34-45_000000000a" << true;
    QTest::newRow("letters as tag") << "2014-12-31-23-34-45_abcdefghij" << true;
    QTest::newRow("underscore in tag") << "2014-12-31-23-34-45_abc_efghij" << true;
    QTest::newRow("nine-character tag") << "2014-12-31-23-34-45_000000000" << false;
    QTest::newRow("eleven-character tag") << "2014-12-31-23-34-45_00000000000" << false;
    QTest::newRow("blank in tag") << "2014-12-31-23-34-45_0000 00000" << false;
    QTest::newRow("blank in date") << "2014-12-31 23-34-45_0000000000" << false;
    QTest::newRow("trailing text") << "2014-12-31-23-34-45_0000000000x" << false;
    QTest::newRow("leading text") << "x2014-12-31-23-34-45_0000000000" << false;
    QTest::newRow("final name") << "001" << false;
    QTest::newRow("short year") << "214-12-31-23-34-45_0000000000" << false;
    QTest::newRow("dash in tag") << "2014-12-31-23-34-45_00000-0000" << false;
}

void TestNaming::recognise()
{
    QFETCH(QString, baseName);
    QFETCH(bool, recognised);
    const QRegularExpressionMatch match = temporaryNamePattern().match(baseName);
    QCOMPARE(match.hasMatch(), recognised);
    if (recognised) {
        QCOMPARE(match.captured(1), QStringLiteral("2014"));
        QCOMPARE(match.captured(6), QStringLiteral("45"));
    }
}

void TestNaming::patternProblem_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("windows"); // names follow Windows' rules
    QTest::addColumn<QString>("problem"); // a part of the text, or empty when usable

    QTest::newRow("number") << "${NUM}" << false << "";
    QTest::newRow("date prefix") << "${YYYY}-${mm}-${DD} ${NUM}" << false << "";
    QTest::newRow("backslash where allowed") << "a\\${NUM}" << false << "";
    QTest::newRow("backslash on Windows") << "a\\${NUM}" << true << "\"\\\"";
    QTest::newRow("colon on Windows") << "${HH}:${MM} ${NUM}" << true << "\":\"";
    QTest::newRow("folder per year") << "${YYYY}/${NUM}" << false << "\"/\"";
    QTest::newRow("climbs out") << "../${NUM}" << false << "\"/\"";
    QTest::newRow("NUL") << QString("x") + QChar(0) + "${NUM}" << false << "NUL";
    QTest::newRow("longest name") << "${NUM}" + QString(247, 'n') << false << "";
    QTest::newRow("one byte more") << "${NUM}" + QString(248, 'n') << false << "255 bytes";
    QTest::newRow("device name") << "CON.${NUM}" << true << "\"CON\", which Windows keeps";
    QTest::newRow("device name, any case, blank") << "lpt1 .${NUM}" << true << "\"lpt1\"";
    QTest::newRow("device name alone") << "${NUM}.nul" << true << "";
    QTest::newRow("device name where allowed") << "AUX.${NUM}" << false << "";
    QTest::newRow("longer than a device name") << "CONSOLE ${NUM}" << true << "";
    QTest::newRow("port with the number") << "COM${NUM}" << true << "";
    QTest::newRow("ends in a dot") << "${NUM}." << true << "end in a dot or a blank";
    QTest::newRow("ends in a blank") << "${NUM} " << true << "end in a dot or a blank";
    QTest::newRow("ends in a dot where allowed") << "${NUM}." << false << "";
}

void TestNaming::patternProblem()
{
    QFETCH(QString, pattern);
    QFETCH(bool, windows);
    QFETCH(QString, problem);
    const QString found
        = namePatternProblem(pattern, windows ? FHNameRules::Windows : FHNameRules::Posix, 5);
    if (problem.isEmpty())
        QCOMPARE(found, QString());
    else
        QVERIFY2(found.contains(problem), qPrintable(found));
}

void TestNaming::jsonLineKeepsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes and backslashes") << "a\"b\\c'd";
    QTest::newRow("control characters") << QString("x\n\t\r") + QChar(1) + QChar(0x1f) + "y";
    QTest::newRow("beyond ASCII") << QString::fromUtf8("照片 é 🎉 𝄞");
    QTest::newRow("markup and placeholders") << "<b>&amp;</b> %1 %2 ${NUM}";
}

void TestNaming::jsonLineKeepsText()
{
    QFETCH(QString, text);
    const QByteArray line = jsonLine({ { "event", "x" }, { text, text }, { "n", 12345678901LL } });
    QVERIFY(line.endsWith("}\n") && line.count('\n') == 1);
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(line, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(object.value(text).toString(), text);
    QCOMPARE(object.value("n").toDouble(), 12345678901.0);
}

void TestNaming::jsonLineNumbers_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<QByteArray>("written");
    // The shortest text that reads back as the same number: seconds to the
    // millisecond are three decimals, not "9.1920000000000002".
    QTest::newRow("seconds") << 9.192 << QByteArray("9.192");
    QTest::newRow("below one") << 0.412 << QByteArray("0.412");
    QTest::newRow("tenth") << 0.1 << QByteArray("0.1");
    QTest::newRow("negative") << -2.5 << QByteArray("-2.5");
    QTest::newRow("whole") << 12345678901.0 << QByteArray("12345678901");
    QTest::newRow("third") << 1.0 / 3 << QByteArray("0.3333333333333333");
}

void TestNaming::jsonLineNumbers()
{
    QFETCH(double, number);
    QFETCH(QByteArray, written);
    QCOMPARE(jsonLine({ { "n", number } }), "{\"n\":" + written + "}\n");
}

QUILM_ENGINE_TEST_MAIN(TestNaming)
#include "tst_naming.moc"
