#include "FHIO.h"

#include "FHException.h"
#include "FHSafeMove.h"

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool decodes(const QByteArray &name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

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

void collectUndecodable(const QByteArray &folder, bool folderDecodes,
    const QStringList &nameFilters, bool recursive, QStringList &found)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        // Hidden entries, and . and .., are never listed.
        if (name.startsWith('.'))
            continue;
        const QByteArray path = folder + '/' + name;
        const bool pathDecodes = folderDecodes && decodes(name);
        if (pathDecodes && !recursive)
            continue;
        unsigned char type = entry->d_type;
        struct stat st;
        if (type == DT_UNKNOWN && ::lstat(path.constData(), &st) == 0)
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        if (type == DT_DIR) {
            if (recursive)
                collectUndecodable(path, pathDecodes, nameFilters, recursive, found);
        } else if (type == DT_REG && !pathDecodes
            && QDir::match(nameFilters, QFile::decodeName(name))) {
            found.append(QDir::toNativeSeparators(printable(path)));
        }
    }
    ::closedir(dir);
}

} // namespace

FHIO::FHIO(const QString &path, const QString &role)
    : m_role(role)
    , m_info(path)
{
    m_currentFile = QDir::toNativeSeparators(m_info.absoluteFilePath());
}

FHIO::~FHIO() = default;

void FHIO::setCurrentFile(const QString &path)
{
    m_info.setFile(path);
    m_currentFile = QDir::toNativeSeparators(m_info.absoluteFilePath());
    emit getCurrentFile(m_currentFile);
}

bool FHIO::checkDirectory()
{
    if (!m_info.exists())
        throw FHException(FHError::PathMissing, FHError::PathMissingFormat, m_currentFile, m_role);
    if (!m_info.isDir() || m_info.isSymLink())
        throw FHException(FHError::PathIsFile, FHError::PathIsFileFormat, m_currentFile, m_role);
    return true;
}

bool FHIO::checkFile()
{
    if (!m_info.exists())
        throw FHException(FHError::PathMissing, FHError::PathMissingFormat, m_currentFile, m_role);
    if (m_info.isDir() || m_info.isSymLink())
        throw FHException(
            FHError::PathIsDirectory, FHError::PathIsDirectoryFormat, m_currentFile, m_role);
    return true;
}

void FHIO::makeDirectory()
{
    if (m_info.exists()) {
        if (!m_info.isDir() || m_info.isSymLink())
            throw FHException(
                FHError::PathIsFile, FHError::PathIsFileFormat, m_currentFile, m_role);
        return;
    }
    if (!QDir().mkpath(m_currentFile))
        throw FHException(
            FHError::CreateDirectory, FHError::CreateDirectoryFormat, m_currentFile, m_role);
}

void FHIO::beginList(
    const QStringList &nameFilters, QDir::Filters filters, QDirIterator::IteratorFlags flags)
{
    m_listing.reset();
    m_listing = std::make_unique<QDirIterator>(m_currentFile, nameFilters, filters, flags);
}

bool FHIO::nextEntry(FHIO *target)
{
    if (!m_listing || !m_listing->hasNext())
        return false;
    target->setCurrentFile(m_listing->next());
    return true;
}

void FHIO::endList()
{
    if (!m_listing)
        return;
    m_listing.reset();
    m_info.refresh();
}

QStringList FHIO::undecodableFiles(const QStringList &nameFilters, bool recursive) const
{
    QStringList found;
    collectUndecodable(QFile::encodeName(m_currentFile), true, nameFilters, recursive, found);
    found.sort();
    return found;
}

QDateTime FHIO::created() const
{
    // The toolkit's creation time: the birth time where the file system keeps
    // one, else the time of the last status change.
    const QDateTime birth = m_info.birthTime();
    return birth.isValid() ? birth : m_info.metadataChangeTime();
}

QString FHIO::suffix() const
{
    return m_info.suffix();
}

QString FHIO::baseName() const
{
    return m_info.baseName();
}

void FHIO::renameTo(const QString &newPath)
{
    if (newPath == m_currentFile)
        return;
    if (FHSafeMove::moveFile(m_currentFile, newPath) != 0)
        throw FHException(FHError::Rename, FHError::RenameFormat, m_currentFile, newPath, m_role);
    setCurrentFile(newPath);
}
