#include "Invariant.h"

#include "engine/FHFileTypes.h"
#include "engine/platform/FHFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

Invariant::Invariant(const QString &input, const QString &output)
    : m_input(input)
    , m_output(output)
{
}

namespace {

QHash<QString, QByteArray> pathsOf(const TestImages::Contents &contents)
{
    QHash<QString, QByteArray> paths;
    for (auto it = contents.cbegin(); it != contents.cend(); ++it) {
        for (const QString &path : it.value())
            paths.insert(path, it.key());
    }
    return paths;
}

bool sameFile(const QString &a, const QString &b)
{
    const FHFolder::Entry x = FHFolder::entryAt(a);
    const FHFolder::Entry y = FHFolder::entryAt(b);
    return x.exists() && y.exists() && x.device == y.device && x.inode == y.inode;
}

} // namespace

void Invariant::record()
{
    m_inputBefore = pathsOf(TestImages::contentsUnder({ m_input }));
    m_outputBefore = pathsOf(TestImages::contentsUnder({ m_output }));
    m_expected = TestImages::contentsUnder({ m_input, m_output });
}

void Invariant::forget(const QString &path)
{
    const QByteArray hash = hashOf(path);
    QStringList &paths = m_expected[hash];
    paths.removeOne(path);
    if (paths.isEmpty())
        m_expected.remove(hash);
    m_inputBefore.remove(path);
}

void Invariant::adopt(const QString &path)
{
    m_expected[hashOf(path)].append(path);
}

void Invariant::expect(const QByteArray &content, int times)
{
    const QByteArray hash = QCryptographicHash::hash(content, QCryptographicHash::Sha256);
    for (int i = 0; i < times; ++i)
        m_expected[hash].append(QStringLiteral("<another process's file>"));
}

QString Invariant::check(int cutMoves) const
{
    QStringList problems;
    TestImages::Contents counted;
    const TestImages::Contents after = TestImages::contentsUnder({ m_input, m_output });
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        for (const QString &path : it.value()) {
            const bool photoName = isPhotoName(QFileInfo(path).fileName());
            if (photoName || m_inputBefore.contains(path) || m_outputBefore.contains(path))
                counted[it.key()].append(path);
            if (photoName && !m_expected.contains(it.key()))
                problems << QStringLiteral("foreign content under a photo's name: %1").arg(path);
        }
    }
    int cut = 0;
    for (auto it = m_expected.cbegin(); it != m_expected.cend(); ++it) {
        const QStringList now = counted.value(it.key());
        if (now.size() < it.value().size())
            problems << QStringLiteral("lost: %1").arg(it.value().join(QStringLiteral(", ")));
        else if (now.size() > it.value().size()
            && !(now.size() == 2 && isCutMove(now) && cut++ < cutMoves))
            problems << QStringLiteral("doubled: %1").arg(now.join(QStringLiteral(", ")));
    }
    for (auto it = m_outputBefore.cbegin(); it != m_outputBefore.cend(); ++it) {
        if (!QFileInfo::exists(it.key()))
            problems << QStringLiteral("gone from the output: %1").arg(it.key());
        else if (hashOf(it.key()) != it.value())
            problems << QStringLiteral("changed in the output: %1").arg(it.key());
    }
    return problems.join(QLatin1Char('\n'));
}

bool Invariant::isCutMove(const QStringList &paths) const
{
    if (sameFile(paths.at(0), paths.at(1)))
        return true;
    const QString outputPrefix = m_output + QLatin1Char('/');
    for (int i = 0; i < 2; ++i) {
        if (m_inputBefore.contains(paths.at(i)) && paths.at(1 - i).startsWith(outputPrefix))
            return true;
    }
    return false;
}

QStringList Invariant::imageNameFilters()
{
    // Every kind a run may sort, not only the run's own: a wrong content under
    // any such name is a fault.
    return FHFileTypes::nameFilters(FHFileTypes::AllFamilies) + FHFileTypes::sidecarNameFilters();
}

bool Invariant::isPhotoName(const QString &fileName)
{
    return QDir::match(imageNameFilters(), fileName);
}

QByteArray Invariant::hashOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("unreadable");
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

QString checkReported(const RunReport &report, const QString &text, const QStringList &boxes)
{
    QStringList problems;
    if (!report.log.contains(text))
        problems << QStringLiteral("not in the log: %1\nlog: %2").arg(text, report.log);
    if (!report.panel.contains(text))
        problems
            << QStringLiteral("not in the output panel: %1\npanel: %2").arg(text, report.panel);
    if (report.boxes != boxes)
        problems << QStringLiteral("boxes: [%1], expected [%2]")
                        .arg(report.boxes.join(QStringLiteral(" | ")),
                            boxes.join(QStringLiteral(" | ")));
    return problems.join(QLatin1Char('\n'));
}
