#include "engine/FHIO.h"

#include "engine/FHException.h"
#include "engine/FHFolderTree.h"
#include "engine/FHPaths.h"
#include "engine/FHSafeMove.h"

#include <cerrno>
#include <cstring>

FHIO::FHIO(const QString &path, const QString &role)
    : m_role(role)
    , m_info(path)
{
    m_path = m_info.absoluteFilePath();
    m_currentFile = FHPaths::shown(m_path);
}

FHIO::~FHIO() = default;

void FHIO::setCurrentFile(const QString &path)
{
    m_info.setFile(path);
    m_path = m_info.absoluteFilePath();
    m_currentFile = FHPaths::shown(m_path);
    emit getCurrentFile(m_currentFile);
}

const FHFolderTree &FHIO::folders() const
{
    return m_folders ? *m_folders : FHFolderTree::strict();
}

namespace {

// 263 for a file or a link where a folder is expected; a link is named as such.
[[noreturn]] void throwNotAFolder(const QFileInfo &info, const QString &path, const QString &role)
{
    FHException e(FHError::PathIsFile, FHError::PathIsFileFormat, path, role);
    if (info.isSymLink())
        e.setSystemReason(QStringLiteral("It is a symbolic link, which is not followed."));
    throw e;
}

} // namespace

bool FHIO::checkDirectory()
{
    if (!m_info.exists())
        throw FHException(FHError::PathMissing, FHError::PathMissingFormat, m_currentFile, m_role);
    if (!m_info.isDir() || m_info.isSymLink())
        throwNotAFolder(m_info, m_currentFile, m_role);
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
    m_info.refresh();
    if (m_info.exists() || m_info.isSymLink()) {
        if (!m_info.isDir() || m_info.isSymLink())
            throwNotAFolder(m_info, m_currentFile, m_role);
    }
    // Made, or checked, one step at a time from the run's own folders, so that
    // a link swapped in on the way is refused rather than followed.
    if (const int error = folders().makeFolder(m_path)) {
        FHException e(
            FHError::CreateDirectory, FHError::CreateDirectoryFormat, m_currentFile, m_role);
        e.setSystemReason(FHFolderTree::errorText(error));
        throw e;
    }
}

void FHIO::beginList(
    const QStringList &nameFilters, QDir::Filters filters, QDirIterator::IteratorFlags flags)
{
    m_listing.reset();
    m_listing = std::make_unique<QDirIterator>(m_path, nameFilters, filters, flags);
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
    if (newPath == m_path)
        return;
    m_copiedContentHash.clear();
    if (const int error = FHSafeMove::moveFile(folders(), m_path, newPath, &m_copiedContentHash))
        throwMoveFailure(newPath, error, false);
    setCurrentFile(newPath);
}

void FHIO::throwMoveFailure(const QString &newPath, int error, bool copy) const
{
    FHException e(copy ? FHError::Copy : FHError::Rename,
        copy ? FHError::CopyFormat : FHError::RenameFormat, m_currentFile, FHPaths::shown(newPath),
        m_role);
    e.setSystemReason(FHFolderTree::errorText(error));
    throw e;
}
