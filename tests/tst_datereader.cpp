// The reading stage on several threads: results in the files' order whatever
// the threads' timing, a file that hangs holding up no other, a stop leaving
// a prefix read, failures and the EXIF library's messages kept with their
// file.
#include "EngineTest.h"
#include "engine/FHDateReader.h"
#include "engine/FHFolderTree.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <exiv2/exiv2.hpp>

#include <atomic>
#include <stdexcept>

namespace {

// The date a file stands for: file i, i minutes after midnight.
QDateTime dateOf(int i)
{
    return QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(60 * i);
}

int indexOf(const QString &path)
{
    return QFileInfo(path).baseName().mid(1).toInt();
}

} // namespace

class TestDateReader : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void inOrder_data();
    void inOrder();
    void hangingFileHoldsUpNoOther();
    void stopLeavesAPrefix();
    void failuresStayWithTheirFile();

private:
    QStringList makeFiles(int n);

    QScopedPointer<QTemporaryDir> m_dir;
    FHFolderTree m_tree;
};

void TestDateReader::init()
{
    m_dir.reset(new QTemporaryDir);
    m_tree = FHFolderTree(QStringList { m_dir->path() });
}

QStringList TestDateReader::makeFiles(int n)
{
    QStringList paths;
    for (int i = 0; i < n; ++i) {
        const QString path = m_dir->filePath(QStringLiteral("f%1.jpg").arg(i));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("x") != 1)
            return {};
        paths << path;
    }
    return paths;
}

// Each file takes a random while to read, and says so through the EXIF
// library's log: what is taken is each file's own, in order.
void TestDateReader::inOrder_data()
{
    QTest::addColumn<int>("jobs");
    for (const int jobs : { 1, 2, 4, 8 })
        QTest::newRow(qPrintable(QStringLiteral("%1 jobs").arg(jobs))) << jobs;
}

void TestDateReader::inOrder()
{
    QFETCH(int, jobs);
    const QStringList paths = makeFiles(200);
    QVERIFY(!paths.isEmpty());
    const FHDateReader::Reader reader = [](const QString &path) {
        QThread::usleep(QRandomGenerator::global()->bounded(500));
        Exiv2::LogMsg(Exiv2::LogMsg::error).os() << "read " << indexOf(path);
        FHCaptureDate found;
        found.date = dateOf(indexOf(path));
        return found;
    };
    FHDateReader dates(
        m_tree, paths, jobs, [] { return false; }, reader);
    QCOMPARE(dates.jobs(), jobs);
    for (int i = 0; i < paths.size(); ++i) {
        const FHDateReader::Read read = dates.take(i);
        QVERIFY(read.done);
        QVERIFY(read.status.regular);
        QCOMPARE(read.found.date, dateOf(i));
        QCOMPARE(read.messages.size(), 1);
        QCOMPARE(read.messages.first().text, QStringLiteral("read %1").arg(i));
    }
    QCOMPARE(dates.readCount(), paths.size());
}

// File 0 hangs until every other file is read, and a while longer: the
// others are read meanwhile, and the taker is told it waits.
void TestDateReader::hangingFileHoldsUpNoOther()
{
    const QStringList paths = makeFiles(40);
    QVERIFY(!paths.isEmpty());
    std::atomic<int> others { 0 };
    std::atomic<bool> othersRead { false };
    const FHDateReader::Reader reader = [&](const QString &path) {
        if (indexOf(path) == 0) {
            QDeadlineTimer deadline(30000);
            while (others < paths.size() - 1 && !deadline.hasExpired())
                QThread::msleep(5);
            othersRead = others == paths.size() - 1;
            QThread::msleep(300);
        } else {
            ++others;
        }
        FHCaptureDate found;
        found.date = dateOf(indexOf(path));
        return found;
    };
    FHDateReader dates(
        m_tree, paths, 4, [] { return false; }, reader);
    int waits = 0;
    int readWhileWaiting = 0;
    const FHDateReader::Read first = dates.take(0, [&] {
        ++waits;
        readWhileWaiting = qMax(readWhileWaiting, dates.readCount());
    });
    QVERIFY(othersRead);
    QVERIFY2(waits >= 2, qPrintable(QString::number(waits)));
    // The count the taker sees includes the others (file 0 may end during
    // the last wait).
    QVERIFY2(readWhileWaiting >= paths.size() - 1, qPrintable(QString::number(readWhileWaiting)));
    QCOMPARE(first.found.date, dateOf(0));
    for (int i = 1; i < paths.size(); ++i)
        QCOMPARE(dates.take(i).found.date, dateOf(i));
}

// A stop raised once some files are read: the files read are those before
// some point, whatever the number of threads; none after it.
void TestDateReader::stopLeavesAPrefix()
{
    const QStringList paths = makeFiles(300);
    QVERIFY(!paths.isEmpty());
    for (const int jobs : { 1, 4 }) {
        std::atomic<int> reads { 0 };
        const FHDateReader::Reader reader = [&reads](const QString &) {
            ++reads;
            QThread::usleep(200);
            return FHCaptureDate();
        };
        FHDateReader dates(
            m_tree, paths, jobs, [&reads] { return reads.load() >= 50; }, reader);
        QVector<bool> done;
        for (int i = 0; i < paths.size(); ++i)
            done << dates.take(i).done;
        const int read = int(done.indexOf(false));
        QVERIFY2(read >= 50 && read <= 50 + jobs, qPrintable(QString::number(read)));
        QCOMPARE(done.lastIndexOf(true), read - 1);
        QCOMPARE(dates.readCount(), read);
    }
}

// A reader that throws (a failure that is not the file's, say no memory)
// hands it to the taker of that file alone; a file gone before its turn is not
// read, and its status says so.
void TestDateReader::failuresStayWithTheirFile()
{
    const QStringList paths = makeFiles(20);
    QVERIFY(!paths.isEmpty());
    QVERIFY(QFile::remove(paths.at(7)));
    std::atomic<bool> readGone { false };
    const FHDateReader::Reader reader = [&](const QString &path) {
        if (indexOf(path) == 3)
            throw std::bad_alloc();
        if (indexOf(path) == 7)
            readGone = true;
        FHCaptureDate found;
        found.date = dateOf(indexOf(path));
        return found;
    };
    FHDateReader dates(
        m_tree, paths, 4, [] { return false; }, reader);
    for (int i = 0; i < paths.size(); ++i) {
        const FHDateReader::Read read = dates.take(i);
        QVERIFY(read.done);
        QCOMPARE(bool(read.failure), i == 3);
        QCOMPARE(read.status.exists, i != 7);
        if (i != 3 && i != 7)
            QCOMPARE(read.found.date, dateOf(i));
    }
    QVERIFY(!readGone);
}

QUILM_ENGINE_TEST_MAIN(TestDateReader)
#include "tst_datereader.moc"
