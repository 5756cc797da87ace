#include "engine/FHJournal.h"

#include "engine/FHJournalStore.h"
#include "engine/FHPaths.h"
#include "engine/platform/FHSystem.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>

namespace {

// Appends the lines and syncs them. Returns 0, or the error of the step that
// failed, named in *step ("write", "sync").
int appendLines(FHFile &file, const QByteArray &text, const char **step)
{
    // A write that failed half-way (a full disk) may have left half a line:
    // the records that follow start on a line of their own.
    const qint64 size = file.info().size;
    char last = '\n';
    if (size > 0)
        file.readFullyAt(&last, 1, size - 1);
    const QByteArray lines = last == '\n' ? text : '\n' + text;
    *step = "write";
    if (const int error = file.writeAll(lines.constData(), lines.size()))
        return error;
    *step = "sync";
    return file.syncData();
}

int syncFolder(const QString &path)
{
    int error = 0;
    const FHFolder folder = FHFolder::open(path, &error);
    return folder.isValid() ? folder.sync() : error;
}

} // namespace

FHJournal::FHJournal() = default;

FHJournal::~FHJournal() = default;

bool FHJournal::begin(const QString &kind, const FHJsonFields &header)
{
    const QString dir = FHJournalStore::folder();
    if (!QDir().mkpath(dir)) {
        m_error = QStringLiteral("cannot create the folder '%1'").arg(FHPaths::shown(dir));
        return false;
    }
    FHJournalStore::prune();
    const QDateTime now = QDateTime::currentDateTime();
    int error = 0;
    for (int attempt = 0; attempt < 100 && !m_file.isOpen(); ++attempt) {
        m_id = now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"))
            + QStringLiteral("-%1").arg(FHSystem::processId())
            + (attempt ? QStringLiteral("-%1").arg(attempt) : QString());
        m_path = FHJournalStore::pathOf(m_id);
        m_file = FHFile::openPath(m_path, FHFile::CreateNewAppend, &error);
        if (!m_file.isOpen() && error != EEXIST)
            break;
    }
    if (!m_file.isOpen()) {
        m_error = QStringLiteral("cannot create '%1': %2")
                      .arg(FHPaths::shown(m_path), FHSystem::errorText(error));
        return false;
    }
    const FHJsonFields record = FHJsonFields { { QStringLiteral("record"), QStringLiteral("run") },
        { QStringLiteral("id"), m_id }, { QStringLiteral("kind"), kind },
        { QStringLiteral("time"), now.toString(Qt::ISODateWithMs) },
        { QStringLiteral("program"),
            QCoreApplication::applicationName() + QLatin1Char(' ')
                + QCoreApplication::applicationVersion() } }
        + header;
    if (!append(jsonLine(FHPaths::stored(record))) || (error = syncFolder(dir)) != 0) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("cannot sync '%1': %2")
                          .arg(FHPaths::shown(dir), FHSystem::errorText(error));
        m_file.close();
        QFile::remove(m_path);
        return false;
    }
    return true;
}

bool FHJournal::write()
{
    if (m_pending.isEmpty())
        return true;
    const QByteArray lines = m_pending;
    m_pending.clear();
    m_recorded = true;
    return append(lines);
}

bool FHJournal::isGone() const
{
    return m_gone || (m_file.isOpen() && m_file.info().exists() && m_file.info().links == 0);
}

bool FHJournal::finish(const QString &outcome, qint64 moved, qint64 finished)
{
    if (!m_file.isOpen())
        return false;
    m_gone = isGone();
    // A run that ended before it recorded anything leaves no journal.
    if (!m_recorded && m_pending.isEmpty()) {
        m_file.close();
        return QFile::remove(m_path);
    }
    add({ { QStringLiteral("record"), QStringLiteral("end") },
        { QStringLiteral("outcome"), outcome }, { QStringLiteral("moved"), moved },
        { QStringLiteral("finished"), finished },
        { QStringLiteral("time"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs) } });
    const bool written = write();
    m_file.close();
    return written;
}

bool FHJournal::append(const QByteArray &text)
{
    const char *step = nullptr;
    const int error = appendLines(m_file, text, &step);
    if (error)
        m_error = QStringLiteral("cannot %1 '%2': %3")
                      .arg(QLatin1String(step), FHPaths::shown(m_path), FHSystem::errorText(error));
    return error == 0;
}

FHJsonFields FHJournal::fileRecord(const FHJournalStore::File &file)
{
    // Numbers beyond 2^53 lose digits in JSON: identities go as text.
    FHJsonFields record { { QStringLiteral("record"), QStringLiteral("file") },
        { QStringLiteral("source"), file.source },
        { QStringLiteral("temporary"), file.temporary.isEmpty() ? QJsonValue() : file.temporary },
        { QStringLiteral("final"), file.final.isEmpty() ? QJsonValue() : file.final },
        { QStringLiteral("size"), file.identity.size },
        { QStringLiteral("mtime"), QString::number(file.identity.modifiedNs) },
        { QStringLiteral("dev"), QString::number(file.identity.device) },
        { QStringLiteral("ino"), QString::number(file.identity.inode) },
        { QStringLiteral("group"), file.group.isEmpty() ? QJsonValue() : file.group } };
    if (!file.identity.edgeHash.isEmpty())
        record.append({ QStringLiteral("edge"), QString::fromLatin1(file.identity.edgeHash) });
    if (!file.hash.isEmpty())
        record.append({ QStringLiteral("hash"), file.hash });
    return record;
}

FHJsonFields FHJournal::namedRecord(const QString &temporary, const QString &final, int number)
{
    FHJsonFields record { { QStringLiteral("record"), QStringLiteral("named") },
        { QStringLiteral("temporary"), temporary }, { QStringLiteral("final"), final } };
    if (number > 0)
        record.append({ QStringLiteral("number"), number });
    return record;
}

FHJsonFields FHJournal::copiedRecord(const QString &temporary, const QString &hash)
{
    return { { QStringLiteral("record"), QStringLiteral("copied") },
        { QStringLiteral("temporary"), temporary }, { QStringLiteral("hash"), hash } };
}

FHJsonFields FHJournal::folderRecord(const QString &path)
{
    return { { QStringLiteral("record"), QStringLiteral("folder") },
        { QStringLiteral("path"), path } };
}

bool FHJournal::appendRecord(const QString &path, const FHJsonFields &record, QString *error)
{
    int failed = 0;
    FHFile file = FHFile::openPath(path, FHFile::Append, &failed);
    const char *step = nullptr;
    if (file.isOpen())
        failed = appendLines(file, jsonLine(FHPaths::stored(record)), &step);
    if (failed && error)
        *error = FHSystem::errorText(failed);
    return failed == 0;
}
