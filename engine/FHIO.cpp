#include "engine/FHIO.h"

#include "engine/FHException.h"
#include "engine/FHSafeMove.h"

#include <cstring>

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
    m_copiedContentHash.clear();
    if (const int error = FHSafeMove::moveFile(m_currentFile, newPath, &m_copiedContentHash)) {
        FHException e(FHError::Rename, FHError::RenameFormat, m_currentFile, newPath, m_role);
        e.setSystemReason(QString::fromLocal8Bit(std::strerror(error)));
        throw e;
    }
    setCurrentFile(newPath);
}
