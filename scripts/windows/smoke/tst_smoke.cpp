// A Qt Test executable, run by ctest through wine64.
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

class TstSmoke : public QObject
{
    Q_OBJECT
private slots:
    void tempFileWithUnicodeName()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile f(dir.filePath(QStringLiteral("Überraschung 照片.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write("x"), qint64(1));
        f.close();
        QVERIFY(QFile::rename(f.fileName(), dir.filePath(QStringLiteral("umbenannt 改名.txt"))));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("umbenannt 改名.txt"))));
    }
    void networkManagerExists()
    {
        QNetworkAccessManager nam;
        QVERIFY(nam.supportedSchemes().contains(QStringLiteral("http")));
    }
};

QTEST_GUILESS_MAIN(TstSmoke)
#include "tst_smoke.moc"
