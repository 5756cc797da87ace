#include "EngineTest.h"
#include "Invariant.h"
#include "RecordingReporter.h"
#include "TestImages.h"
#include "engine/FHCameraClock.h"
#include "engine/FHCameraMakers.h"
#include "engine/FHIO.h"
#include "engine/FHNaming.h"
#include "engine/FHSortEngine.h"
#include "engine/platform/FHFolder.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Relative path -> content hash, or "/" for a folder.
using Snapshot = QMap<QString, QByteArray>;

Snapshot snapshotOf(const QString &root)
{
    Snapshot snapshot;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        snapshot.insert(base.relativeFilePath(path),
            it.fileInfo().isDir() ? QByteArray("/") : Invariant::hashOf(path));
    }
    return snapshot;
}

// A second name of the file, made as the engine makes them.
bool hardLink(const QString &existing, const QString &path)
{
    int error = 0;
    const FHFolder from = FHFolder::open(QFileInfo(existing).absolutePath(), &error);
    const FHFolder to = FHFolder::open(QFileInfo(path).absolutePath(), &error);
    return from.isValid() && to.isValid()
        && from.link(QFileInfo(existing).fileName(), to, QFileInfo(path).fileName()) == 0;
}

QString differences(const Snapshot &before, const Snapshot &after)
{
    QStringList lines;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            lines << QStringLiteral("gone: ") + it.key();
        else if (after.value(it.key()) != it.value())
            lines << QStringLiteral("changed: ") + it.key();
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            lines << QStringLiteral("new: ") + it.key();
    }
    return lines.join(QLatin1Char('\n'));
}

// Everything a plan says, one line per file in plan order, then its counts.
QStringList planLines(const FHSortPlan &plan)
{
    QStringList lines;
    for (const FHPlanEntry &e : plan.entries) {
        lines << QStringLiteral("%1 [%2 .%3 %4] %5")
                     .arg(e.sourcePath(), e.captured.toString(Qt::ISODateWithMs), e.subSecond,
                         dateSourceName(e.dateFrom),
                         e.placed ? QStringLiteral("-> ") + e.targetPath()
                                  : QStringLiteral("stays: ") + skipReasonName(e.reason));
    }
    lines << QStringLiteral("moved %1, not moved %2, leftovers %3, makers %4, output created %5")
                 .arg(plan.movedCount)
                 .arg(plan.notMovedCount)
                 .arg(plan.leftoverCount())
                 .arg(FHCameraMakers::toText(plan.cameraMakers))
                 .arg(plan.outputCreated);
    return lines;
}

QString lineDiff(const QStringList &expected, const QStringList &actual)
{
    QStringList lines;
    for (const QString &line : expected) {
        if (!actual.contains(line))
            lines << QStringLiteral("  dry:  ") + line;
    }
    for (const QString &line : actual) {
        if (!expected.contains(line))
            lines << QStringLiteral("  real: ") + line;
    }
    if (lines.isEmpty() && expected != actual)
        lines << QStringLiteral("  same lines, another order");
    return lines.join(QLatin1Char('\n'));
}

} // namespace

// A dry run followed by a real run over the same tree puts every photo exactly
// where the dry run said. Trees are drawn at random; QUILM_DRYRUN_SEED repeats a
// run and QUILM_DRYRUN_TREES sets how many trees it draws.
class TestDryRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dryRunPredictsRealRun();
    void edgeCases_data();
    void edgeCases();

private:
    struct Tree
    {
        QString root;
        QString input;
        QString output;
        FHSortOptions options;
        QStringList notes; // how it was drawn
    };

    void drawTree(Tree &tree);
    QString checkTree(const Tree &tree) const;
    QString folderFor(const Tree &tree, const QDateTime &date) const;
    // A JPEG with these tags (null: left out) that no other call repeats.
    QByteArray photo(const QDateTime &date, const QString &subSecond, const QString &make);
    bool write(const QString &path, const QByteArray &content);

    QTemporaryDir m_templates;
    QHash<QString, QByteArray> m_photos; // tags -> JPEG
    quint64 m_serial = 0;
    QRandomGenerator m_random;
};

void TestDryRun::initTestCase()
{
    QVERIFY(m_templates.isValid());
}

QByteArray TestDryRun::photo(const QDateTime &date, const QString &subSecond, const QString &make)
{
    const QString exifDate
        = date.isValid() ? date.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")) : QString();
    const QString key = exifDate + QLatin1Char('|') + subSecond + QLatin1Char('|') + make;
    auto found = m_photos.find(key);
    if (found == m_photos.end()) {
        const QString path = m_templates.filePath(QString::number(m_photos.size()) + ".JPG");
        bool made = TestImages::makeImage(path, make, exifDate);
        if (made && !subSecond.isEmpty())
            made = TestImages::writeTags(path, { { "Exif.Photo.SubSecTimeOriginal", subSecond } });
        QFile file(path);
        if (!made || !file.open(QIODevice::ReadOnly))
            return QByteArray();
        found = m_photos.insert(key, file.readAll());
    }
    // Bytes after the end of the picture keep it readable and make it one of a kind.
    return *found + "\n" + QByteArray::number(++m_serial);
}

bool TestDryRun::write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return !content.isEmpty() && !file.exists() && file.open(QIODevice::WriteOnly)
        && file.write(content) == content.size();
}

QString TestDryRun::folderFor(const Tree &tree, const QDateTime &date) const
{
    static const QStringList formats { QString(), QStringLiteral("yyyy-MM"),
        QStringLiteral("yyyy-MM-dd") };
    const QString format = formats.at(int(tree.options.folders));
    return format.isEmpty() ? tree.output : tree.output + QLatin1Char('/') + date.toString(format);
}

void TestDryRun::drawTree(Tree &tree)
{
    QRandomGenerator &random = m_random;
    const auto chance = [&random](int percent) { return int(random.bounded(100)) < percent; };
    const auto pick
        = [&random](const QStringList &list) { return list.at(int(random.bounded(list.size()))); };
    // Few seconds, so that photos share them; two months and days.
    static const QList<QDateTime> seconds { QDateTime(QDate(2014, 12, 31), QTime(23, 59, 59)),
        QDateTime(QDate(2015, 1, 1), QTime(0, 0, 0)), QDateTime(QDate(2015, 1, 1), QTime(0, 0, 0)),
        QDateTime(QDate(2015, 1, 1), QTime(0, 0, 1)),
        QDateTime(QDate(2015, 1, 31), QTime(12, 0, 0)),
        QDateTime(QDate(2015, 2, 1), QTime(12, 0, 0)) };
    const auto second = [&]() { return seconds.at(int(random.bounded(seconds.size()))); };
    const QStringList subSeconds { "", "", "", "0", "5", "50", "123", "7x" };
    const QStringList makes { "Canon", "NIKON CORPORATION", "Leica" };
    const QStringList patterns { "${NUM}", "${NUM}", "x_${NUM}", "${YYYY}${mm}${DD}-${NUM}",
        "${YYYY}-${mm}-${DD}_${HH}${MM}${SS}_${NUM}", "${NUM}_${DD}", "Paris.${NUM}",
        "${YYYY}.${mm}.${DD}-${NUM}", "a.b.c.${NUM}" };
    const QStringList suffixes { ".JPG", ".JPG", ".jpg", ".JPEG", ".png" };

    const int where = int(random.bounded(4));
    tree.input = tree.root + "/in";
    tree.output = where == 2 ? tree.input
        : where == 3         ? tree.input + "/sorted"
                             : tree.root + "/out";
    // Spelt as people type it, now and then.
    tree.options.inputDir = chance(20) ? tree.input + '/' : tree.input;
    tree.options.outputDir = tree.output;
    tree.options.folders = FHFolderMode(random.bounded(3));
    tree.options.recursive = chance(where == 3 ? 80 : 50);
    tree.options.exifOnly = chance(50);
    tree.options.namePattern = pick(patterns);
    // A camera's clock set right, by up to two days either way.
    if (chance(40)) {
        const qint64 shift = qint64(random.bounded(4 * 86400)) - 2 * 86400;
        tree.options.cameraShifts << pick(makes) + '=' + FHCameraClock::shiftText(shift);
        tree.notes << QStringLiteral("shift ") + tree.options.cameraShifts.last();
    }
    tree.notes << QStringList { "output apart", "output not there yet", "output is input",
        "output inside input" }
                      .at(where)
               << QStringLiteral("mode %1").arg(int(tree.options.folders))
               << (tree.options.recursive ? "recursive" : "top only")
               << (tree.options.exifOnly ? "EXIF only" : "all images")
               << QStringLiteral("pattern ") + tree.options.namePattern;
    QDir().mkpath(tree.input + "/sub/deeper");
    if (where != 1)
        QDir().mkpath(tree.output);

    // The photos to sort, and what else lies among them.
    const QStringList folders { tree.input, tree.input, tree.input + "/sub",
        tree.input + "/sub/deeper" };
    QList<QPair<QString, QDateTime>> dated;
    const int count = int(random.bounded(1, 10));
    for (int i = 0; i < count; ++i) {
        const QString folder = pick(folders);
        QString name
            = pick({ "IMG_", "IMG_", "DSC", "p" }) + QString::number(random.bounded(1, 40));
        if (chance(10))
            name = QStringLiteral("%1").arg(random.bounded(1, 5), 3, 10, QLatin1Char('0'));
        const int kind = int(random.bounded(12));
        if (kind == 0) {
            // Real PNG and GIF files, not only JPEG under their names.
            const QDateTime date = second();
            const QString path = folder + '/' + name + ".PNG";
            if (!QFileInfo::exists(path)
                && TestImages::makeImage(path, pick(makes), date.toString("yyyy:MM:dd HH:mm:ss")))
                dated.append({ path, date });
        } else if (kind == 1) {
            if (!QFileInfo::exists(folder + '/' + name + ".GIF"))
                TestImages::makeImage(folder + '/' + name + ".GIF");
        } else if (kind == 2) {
            write(folder + '/' + name + pick(suffixes), photo(QDateTime(), QString(), QString()));
        } else if (kind == 3) {
            write(folder + '/' + name + pick(suffixes), photo(QDateTime(), QString(), pick(makes)));
        } else if (kind == 4) {
            write(folder + '/' + name + ".JPG", "not a photo " + QByteArray::number(++m_serial));
        } else {
            const QDateTime date = second();
            const QString path = folder + '/' + name + pick(suffixes);
            if (write(path, photo(date, pick(subSeconds), pick(makes))))
                dated.append({ path, date });
        }
    }

    // What earlier runs left in the folders the naming pass visits: final names,
    // temporary names, and temporary names of moves cut short (a second name of
    // a photo still in the input).
    if (chance(35)) {
        tree.notes << "numbered photos";
        for (int i = int(random.bounded(1, 4)); i > 0; --i) {
            const QDateTime date = second();
            QString name = chance(50) ? tree.options.namePattern : QStringLiteral("${NUM}");
            expandNamePattern(name, int(random.bounded(1, 5)), date.date().year(),
                date.date().month(), date.date().day(), date.time().hour(), date.time().minute(),
                date.time().second());
            write(folderFor(tree, date) + '/' + name + pick(suffixes),
                photo(date, QString(), pick(makes)));
        }
    }
    if (chance(30)) {
        tree.notes << "temporary names";
        for (int i = int(random.bounded(1, 3)); i > 0; --i) {
            const QDateTime date = second();
            const QString folder = folderFor(tree, date);
            // Low tags, so that the run's own tags run into them.
            const quint32 tag = random.bounded(4);
            write(folder + '/' + temporaryName(date, tag) + ".JPG",
                photo(date, QString(), pick(makes)));
        }
    }
    if (chance(30) && !dated.isEmpty()) {
        const auto &source = dated.at(int(random.bounded(dated.size())));
        const QString folder = folderFor(tree, source.second);
        const QString link = folder + '/' + temporaryName(source.second, random.bounded(4)) + '.'
            + QFileInfo(source.first).suffix();
        if (QDir().mkpath(folder) && !QFileInfo::exists(link) && hardLink(source.first, link)) {
            // No journal says it is a move cut short: it is a second name of
            // the user's, sorted as a photo of its own.
            tree.notes << "second name under a temporary name";
        }
    }
}

QString TestDryRun::checkTree(const Tree &tree) const
{
    const auto sort
        = [&tree](bool dryRun, FHSortPlan &plan, RecordingReporter &reports, int jobs = 4) {
              FHSortOptions options = tree.options;
              options.dryRun = dryRun;
              options.jobs = jobs;
              FHIO guard(tree.root, QStringLiteral("test"));
              FHSortEngine engine(&guard, &reports);
              return engine.run(options, plan);
          };
    QStringList problems;
    const Snapshot before = snapshotOf(tree.root);

    FHSortPlan dry;
    RecordingReporter dryReports;
    const FHSortEngine::Outcome dryOutcome = sort(true, dry, dryReports);
    if (const QString changed = differences(before, snapshotOf(tree.root)); !changed.isEmpty())
        problems << QStringLiteral("the dry run changed the tree:\n") + changed;
    // One thread or four: the same plan, the same reports in the same order.
    FHSortPlan single;
    RecordingReporter singleReports;
    sort(true, single, singleReports, 1);
    if (const QString diff = lineDiff(planLines(single), planLines(dry)); !diff.isEmpty())
        problems << QStringLiteral("one job and four plan differently:\n") + diff;
    if (singleReports.messages != dryReports.messages || singleReports.errors != dryReports.errors)
        problems << QStringLiteral("one job and four report differently:\n")
                + lineDiff(singleReports.messages + singleReports.errors,
                    dryReports.messages + dryReports.errors);

    // The output may be the input or lie in it: the whole tree is the input, and
    // no output is held to be unchanged; the checks below cover that.
    Invariant invariant(tree.root, tree.root + "/none");
    invariant.record();
    FHSortPlan real;
    RecordingReporter realReports;
    const FHSortEngine::Outcome realOutcome = sort(false, real, realReports);

    // A refusal is a prediction too: both refuse alike.
    if (dryOutcome != realOutcome || dryReports.errors != realReports.errors)
        problems << QStringLiteral("outcomes %1 and %2: %3 / %4")
                        .arg(dryOutcome)
                        .arg(realOutcome)
                        .arg(dryReports.errors.join(" | "), realReports.errors.join(" | "));
    if (const QString diff = lineDiff(planLines(dry), planLines(real)); !diff.isEmpty())
        problems << QStringLiteral("the plans differ:\n") + diff;

    const QDir base(tree.root);
    for (const FHSortPlan *plan : { &dry, &real }) {
        for (const FHPlanEntry &e : plan->entries) {
            const QString source = base.relativeFilePath(e.sourcePath());
            const QString at = e.placed ? e.targetPath() : e.sourcePath();
            if (Invariant::hashOf(at) != before.value(source))
                problems << QStringLiteral("%1: %2 is not at %3")
                                .arg(plan == &dry ? "dry" : "real", source,
                                    base.relativeFilePath(at));
        }
    }
    // What the run had no photo to move from, nor a temporary name to finish, is
    // where it was, unchanged.
    QSet<QString> moved;
    for (const FHPlanEntry &e : qAsConst(real.entries)) {
        if (e.placed)
            moved.insert(base.relativeFilePath(e.sourcePath()));
    }
    const Snapshot after = snapshotOf(tree.root);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!moved.contains(it.key())
            && !temporaryNamePattern().match(QFileInfo(it.key()).baseName()).hasMatch()
            && after.value(it.key()) != it.value())
            problems << QStringLiteral("touched: ") + it.key();
    }
    if (const QString broken = invariant.check(); !broken.isEmpty())
        problems << broken;
    if (!problems.isEmpty())
        problems.prepend(QStringLiteral("tree: ") + before.keys().join(QStringLiteral(", ")));
    return problems.join(QLatin1Char('\n'));
}

void TestDryRun::dryRunPredictsRealRun()
{
    bool seeded = false;
    const quint32 seed = qEnvironmentVariable("QUILM_DRYRUN_SEED").toUInt(&seeded);
    const quint32 base = seeded ? seed : QRandomGenerator::global()->generate();
#ifdef Q_OS_WIN
    // Under Wine every file call costs many times more: fewer trees keep the
    // function inside Qt Test's five minutes.
    constexpr int DefaultTrees = 40;
#else
    constexpr int DefaultTrees = 200;
#endif
    const int trees = qEnvironmentVariableIsSet("QUILM_DRYRUN_TREES")
        ? qEnvironmentVariableIntValue("QUILM_DRYRUN_TREES")
        : DefaultTrees;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < trees; ++i) {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        Tree tree;
        tree.root = root.path();
        m_random = QRandomGenerator({ base, quint32(i) });
        drawTree(tree);
        const QString problems = checkTree(tree);
        QVERIFY2(problems.isEmpty(),
            qPrintable(QStringLiteral("tree %1 of QUILM_DRYRUN_SEED=%2 (%3):\n%4")
                           .arg(i)
                           .arg(base)
                           .arg(tree.notes.join(QStringLiteral(", ")), problems)));
    }
    qInfo("%d trees in %lld ms, QUILM_DRYRUN_SEED=%u", trees, timer.elapsed(), base);
}

void TestDryRun::edgeCases_data()
{
    // Trees that once made the dry run tell another story; sorted in place. Each photo: "name|EXIF
    // date", or "name|+other" for a second name of the photo "other".
    QTest::addColumn<QString>("inputSpelling");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("photos");

    QTest::newRow("input spelt with a trailing slash")
        << "in/"
        << "${NUM}" << QStringList { "001.JPG|2015:01:01 00:00:00", "p.JPG|2015:01:01 00:00:01" };
    QTest::newRow("temporary name taken again")
        << "in"
        << "${NUM}"
        << QStringList { "2015-01-01-00-00-00_0000000001.JPG|2015:01:01 00:00:00",
               "b.JPG|2015:01:01 00:00:00" };
    QTest::newRow("second name under a temporary name, no journal")
        << "in"
        << "${NUM}"
        << QStringList { "a.JPG|2015:01:01 00:00:00", "2015-01-01-00-00-00_0000000007.JPG|+a.JPG" };
    QTest::newRow("two names of one photo")
        << "in"
        << "${NUM}" << QStringList { "a.JPG|2015:01:01 00:00:00", "b.JPG|+a.JPG" };
    QTest::newRow("pattern with a folder in it")
        << "in"
        << "${YYYY}/${NUM}" << QStringList { "a.JPG|2015:01:01 00:00:00" };
}

void TestDryRun::edgeCases()
{
    QFETCH(QString, inputSpelling);
    QFETCH(QString, pattern);
    QFETCH(QStringList, photos);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    Tree tree;
    tree.root = root.path();
    tree.input = tree.output = root.filePath("in");
    tree.options.inputDir = root.filePath(inputSpelling);
    tree.options.outputDir = tree.output;
    tree.options.namePattern = pattern;
    for (const QString &photo : qAsConst(photos)) {
        const QString path = tree.input + '/' + photo.section('|', 0, 0);
        const QString date = photo.section('|', 1);
        if (date.startsWith('+')) {
            const QString other = tree.input + '/' + date.mid(1);
            QVERIFY(hardLink(other, path));
        } else {
            QVERIFY(write(path,
                this->photo(
                    QDateTime::fromString(date, "yyyy:MM:dd HH:mm:ss"), QString(), "Canon")));
        }
    }
    const QString problems = checkTree(tree);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

QUILM_ENGINE_TEST_MAIN(TestDryRun)

#include "tst_dryrun.moc"
