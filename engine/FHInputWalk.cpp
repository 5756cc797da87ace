#include "engine/FHInputWalk.h"

#include <QDir>
#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

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

FHInputWalk::FHInputWalk(const QString &root, const FHNameFilter &filter, bool recursive)
    : m_filter(filter)
    , m_recursive(recursive)
{
    const QString absolute
        = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(root).absoluteFilePath()));
    walk(QFile::encodeName(absolute), absolute, true);
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

void FHInputWalk::walk(const QByteArray &folder, const QString &decoded, bool folderDecodes)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir) {
        if (folderDecodes)
            m_unreadable.append(decoded);
        else
            m_unreadable.append(QDir::toNativeSeparators(printable(folder)));
        return;
    }
    QVector<QPair<QByteArray, bool>> subFolders;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        // Hidden entries, and . and .., are never listed.
        if (name.startsWith('.'))
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st;
            const QByteArray path = folder + '/' + name;
            if (::lstat(path.constData(), &st) == 0)
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type != DT_DIR && type != DT_REG)
            continue;
        // A name decodes when it comes back to the same bytes.
        const QString fileName = QFile::decodeName(name);
        const bool nameDecodes = folderDecodes && QFile::encodeName(fileName) == name;
        if (type == DT_DIR) {
            if (m_recursive)
                subFolders.append({ name, nameDecodes });
            continue;
        }
        const bool matches = m_filter.matches(fileName);
        if (nameDecodes && !matches && FHFileTypes::isSidecar(fileName)) {
            m_sidecars.append({ decoded, fileName });
            continue;
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
            continue;
        }
        if (nameDecodes)
            m_files.append({ decoded, fileName });
        else
            m_undecodable.append(QDir::toNativeSeparators(printable(folder + '/' + name)));
    }
    ::closedir(dir);
    for (const auto &sub : qAsConst(subFolders)) {
        const QByteArray path = folder + '/' + sub.first;
        walk(path,
            sub.second ? decoded + QLatin1Char('/') + QFile::decodeName(sub.first) : QString(),
            sub.second);
    }
}
