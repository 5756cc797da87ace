#include "engine/FHInputWalk.h"

#include "engine/platform/FHFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>

namespace {

// Valid UTF-8 as it is, every other byte as \xNN.
QString printable(const QByteArray &path)
{
    QString text;
    for (int i = 0; i < path.size();) {
        const uchar lead = uchar(path.at(i));
        const int length = lead < 0x80 ? 1
            : lead >= 0xf0             ? 4
            : lead >= 0xe0             ? 3
            : lead >= 0xc0             ? 2
                                       : 0;
        const QByteArray sequence = path.mid(i, qMax(length, 1));
        const QString decoded = QString::fromUtf8(sequence);
        if (length > 0 && sequence.size() == length
            && !decoded.contains(QChar::ReplacementCharacter) && decoded.toUtf8() == sequence) {
            text += decoded;
            i += length;
        } else {
            text += QLatin1String("\\x")
                + QString::number(lead, 16).rightJustified(2, '0').toUpper();
            ++i;
        }
    }
    return text;
}

} // namespace

FHInputWalk::FHInputWalk(
    const QString &root, const FHNameFilter &filter, bool recursive, const QString &skip)
    : m_filter(filter)
    , m_recursive(recursive)
    , m_skip(skip)
{
    const QString absolute = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
    int error = 0;
    const FHFolder folder = FHFolder::open(absolute, &error);
    if (!folder.isValid()) {
        errno = error;
        m_unreadable.append(absolute);
        return;
    }
    walk(folder, FHFolder::encodeName(absolute), absolute, true);
    m_undecodable.sort();
}

int FHInputWalk::otherTypes(unsigned family) const
{
    int count = 0;
    for (const auto &entry : m_otherTypes) {
        if (entry.first & family)
            count += entry.second;
    }
    return count;
}

// Every folder is opened from its parent without following a link, so that a
// folder swapped for a link is not walked into.
void FHInputWalk::walk(
    const FHFolder &folder, const QByteArray &path, const QString &decoded, bool folderDecodes)
{
    QVector<QPair<QByteArray, bool>> subFolders;
    const bool listed = folder.list([&](const QByteArray &name, FHFolder::Kind kind) {
        // Hidden entries are never listed.
        if (name.startsWith('.'))
            return;
        // A name decodes when it comes back to the same bytes.
        const QString fileName = FHFolder::decodeName(name);
        const bool nameDecodes = folderDecodes && FHFolder::encodeName(fileName) == name;
        if (kind == FHFolder::Missing)
            kind = folder.entry(name).kind;
        if (kind == FHFolder::Directory) {
            if (m_recursive)
                subFolders.append({ name, nameDecodes });
            return;
        }
        if (kind != FHFolder::File)
            return;
        const bool matches = m_filter.matches(fileName);
        if (nameDecodes && !matches && FHFileTypes::isSidecar(fileName)) {
            m_sidecars.append({ decoded, fileName });
            return;
        }
        if (!matches) {
            if (const unsigned family = FHFileTypes::familyOf(fileName)) {
                auto it = std::find_if(m_otherTypes.begin(), m_otherTypes.end(),
                    [family](const auto &e) { return e.first == family; });
                if (it == m_otherTypes.end())
                    m_otherTypes.append({ family, 1 });
                else
                    ++it->second;
            }
            return;
        }
        if (nameDecodes)
            m_files.append({ decoded, fileName });
        else
            m_undecodable.append(printable(path + '/' + name));
    });
    if (!listed) {
        m_unreadable.append(folderDecodes ? decoded : printable(path));
        return;
    }
    for (const auto &sub : qAsConst(subFolders)) {
        const QString subDecoded
            = sub.second ? decoded + QLatin1Char('/') + FHFolder::decodeName(sub.first) : QString();
        if (sub.second && !m_skip.isEmpty() && subDecoded == m_skip)
            continue;
        int error = 0;
        const FHFolder child = folder.child(sub.first, &error);
        const QByteArray subPath = path + '/' + sub.first;
        if (!child.isValid()) {
            // A folder turned into a link since it was listed is not followed.
            if (error != ELOOP && error != ENOENT && error != ENOTDIR)
                m_unreadable.append(sub.second ? subDecoded : printable(subPath));
            continue;
        }
        walk(child, subPath, subDecoded, sub.second);
    }
}
