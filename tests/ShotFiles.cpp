#include "ShotFiles.h"

#include "Invariant.h"
#include "MediaFiles.h"
#include "TestImages.h"
#include "engine/FHFileTypes.h"
#include "engine/FHNaming.h"
#include "engine/FHSafeMove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

bool ShotFiles::make(const QString &path, const QString &shot, const QDateTime &taken, int padTo)
{
    const QString name = QFileInfo(path).fileName();
    QDir().mkpath(QFileInfo(path).path());
    bool made = false;
    if (FHFileTypes::isSidecar(name) || FHFileTypes::familyOf(name) == FHFileTypes::Video) {
        // The path makes each content distinct.
        QByteArray content = "<x:xmpmeta>" + QFile::encodeName(path) + "</x:xmpmeta>\n";
        if (!FHFileTypes::isSidecar(name)) {
            const quint64 created = taken.isValid()
                ? quint64(taken.toSecsSinceEpoch()) + MediaFiles::SecondsTo1970
                : 0;
            content = MediaFiles::movie(MediaFiles::movieHeader(created))
                + MediaFiles::box("free", content);
        }
        QFile file(path);
        made = file.open(QIODevice::NewOnly) && file.write(content) == content.size();
    } else {
        made = TestImages::makeImage(path, taken.isValid() ? QStringLiteral("Canon") : QString(),
            taken.isValid() ? taken.toString(QStringLiteral("yyyy:MM:dd hh:mm:ss")) : QString());
        QFile file(path);
        if (made && file.size() < padTo)
            made = file.open(QIODevice::Append)
                && file.write(QByteArray(int(padTo - file.size()), '\x5a')) > 0;
    }
    if (!made)
        return false;
    m_shotOf.insert(Invariant::hashOf(path), shot);
    if (taken.isValid() && !m_takenAt.contains(shot))
        m_takenAt.insert(shot, taken);
    return true;
}

QString ShotFiles::check(const QString &output, const QString &input, bool captureOrder) const
{
    QStringList problems;
    // shot -> where its files lie, as "folder/number"
    QMap<QString, QSet<QString>> places;
    // folder -> number -> shots
    QMap<QString, QMap<int, QSet<QString>>> numbers;
    for (const QString &name : TestImages::filesUnder(output)) {
        const QFileInfo info(name);
        if (info.fileName().startsWith(QLatin1String(FHSafeMove::PartialPrefix)))
            problems << QStringLiteral("partial copy left: %1").arg(name);
        else if (temporaryNamePattern().match(info.baseName()).hasMatch())
            problems << QStringLiteral("temporary name left: %1").arg(name);
        const auto known = m_shotOf.constFind(Invariant::hashOf(output + '/' + name));
        if (known != m_shotOf.constEnd() && known->isEmpty())
            continue;
        // Another process's file holds its number as a shot of its own.
        const QString shot = known != m_shotOf.constEnd()
            ? *known
            : QStringLiteral("another process's %1").arg(name);
        if (known != m_shotOf.constEnd())
            places[shot].insert(info.path() + '/' + info.baseName());
        bool numbered = false;
        const int number = info.baseName().toInt(&numbered);
        if (numbered)
            numbers[info.path()][number].insert(shot);
    }
    for (auto it = places.cbegin(); it != places.cend(); ++it) {
        if (it.value().size() > 1) {
            QStringList split = it.value().values();
            split.sort();
            problems << QStringLiteral("shot %1 split: %2").arg(it.key(), split.join(", "));
        }
    }
    if (!input.isEmpty()) {
        for (const QString &name : TestImages::filesUnder(input)) {
            const QString shot = m_shotOf.value(Invariant::hashOf(input + '/' + name));
            if (places.contains(shot))
                problems << QStringLiteral("shot %1 sorted without %2").arg(shot, name);
        }
    }
    for (auto folder = numbers.cbegin(); folder != numbers.cend(); ++folder) {
        QDateTime last;
        for (auto it = folder.value().cbegin(); it != folder.value().cend(); ++it) {
            QStringList shots = it.value().values();
            shots.sort();
            if (shots.size() > 1)
                problems << QStringLiteral("%1/%2 holds shots %3")
                                .arg(folder.key())
                                .arg(it.key(), 3, 10, QLatin1Char('0'))
                                .arg(shots.join(", "));
            const QDateTime taken = m_takenAt.value(shots.first());
            if (captureOrder && taken.isValid() && last.isValid() && taken < last)
                problems << QStringLiteral("%1/%2 (shot %3) taken before the number ahead of it")
                                .arg(folder.key())
                                .arg(it.key(), 3, 10, QLatin1Char('0'))
                                .arg(shots.first());
            if (taken.isValid())
                last = taken;
        }
    }
    return problems.join('\n');
}
