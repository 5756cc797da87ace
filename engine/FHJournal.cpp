#include "engine/FHJournal.h"

#include "engine/FHFolderTree.h"
#include "engine/FHSafeMove.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr int KeptRuns = 100;
constexpr int KeptDays = 90;
const char *const Suffix = ".jsonl";

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Appends the lines and syncs them. Returns null, or the step that failed
// ("write", "sync") with errno saying why (0 when the disk took nothing).
const char *appendLines(int fd, const QByteArray &text)
{
    // A write that failed half-way (a full disk) may have left half a line:
    // the records that follow start on a line of their own.
    struct stat st;
    char last = '\n';
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        ::pread(fd, &last, 1, st.st_size - 1);
    const QByteArray lines = last == '\n' ? text : '\n' + text;
    const char *data = lines.constData();
    qint64 left = lines.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = 0;
            return "write";
        }
        data += written;
        left -= written;
    }
    return ::fdatasync(fd) == 0 ? nullptr : "sync";
}

bool syncFolder(const QString &folder)
{
    const int fd
        = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

QString pathOf(const QString &id)
{
    return FHJournal::folder() + QLatin1Char('/') + id + QLatin1String(Suffix);
}

// Keeps the last KeptRuns runs, none older than KeptDays.
void prune()
{
    QDir dir(FHJournal::folder());
    // Names begin with the time, so the newest sort last.
    const QStringList names
        = dir.entryList({ QStringLiteral("*") + QLatin1String(Suffix) }, QDir::Files, QDir::Name);
    const QDateTime oldest = QDateTime::currentDateTime().addDays(-KeptDays);
    for (int i = 0; i < names.size(); ++i) {
        const QDateTime time
            = QDateTime::fromString(names.at(i).left(15), QStringLiteral("yyyyMMdd-HHmmss"));
        if (i < names.size() - (KeptRuns - 1) || (time.isValid() && time < oldest))
            dir.remove(names.at(i));
    }
}

// Reads a journal: its header and its closing records always, its file
// records when files is given. A damaged line (one cut off by a crash, say)
// is skipped and its number kept. A journal of files that names a path
// beneath neither folder of its run is refused, with the line in error.
bool readJournal(const QString &path, FHJournal::Run *run, bool files, QString *error = nullptr);

void readUndone(const QJsonObject &record, FHJournal::Run *run)
{
    const QString by = record.value(QStringLiteral("by")).toString();
    if (record.value(QStringLiteral("partial")).toBool()) {
        run->partlyUndoneBy = by;
    } else {
        run->undoneBy = by;
        run->partlyUndoneBy.clear();
    }
}

void readHeader(const QJsonObject &header, FHJournal::Run *run)
{
    run->header = header;
    run->kind = header.value(QStringLiteral("kind")).toString();
    run->time
        = QDateTime::fromString(header.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    run->input = header.value(QStringLiteral("input")).toString();
    run->output = header.value(QStringLiteral("output")).toString();
    run->undoes = header.value(QStringLiteral("undoes")).toString();
    run->otherInputs.clear();
    for (const QJsonValue &input : header.value(QStringLiteral("otherInputs")).toArray())
        run->otherInputs << input.toString();
}

// The header and the closing records only: every run starts by listing the
// journals, which may hold a hundred runs of many thousand files. The count of
// files is the moved count of the end record; a run without one is read whole.
bool readSummary(const QString &path, FHJournal::Run *run)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject header = QJsonDocument::fromJson(file.readLine()).object();
    if (header.value(QStringLiteral("record")).toString() != QLatin1String("run"))
        return false;
    constexpr qint64 Tail = 64 * 1024;
    const qint64 from = qMax(file.pos(), file.size() - Tail);
    if (from > file.pos()) {
        file.seek(from - 1);
        file.readLine(); // the rest of a line cut by the seek
    }
    qint64 moved = -1;
    qint64 finished = 0;
    while (!file.atEnd()) {
        const QByteArray text = file.readLine();
        if (!text.startsWith("{\"record\":\"end\"") && !text.startsWith("{\"record\":\"undone\""))
            continue;
        const QJsonObject record = QJsonDocument::fromJson(text).object();
        if (record.value(QStringLiteral("record")).toString() == QLatin1String("end")) {
            run->outcome = record.value(QStringLiteral("outcome")).toString();
            moved = qint64(record.value(QStringLiteral("moved")).toDouble());
            finished = qint64(record.value(QStringLiteral("finished")).toDouble());
        } else {
            readUndone(record, run);
        }
    }
    if (moved < 0)
        return readJournal(path, run, false);
    run->id = QFileInfo(path).completeBaseName();
    readHeader(header, run);
    run->fileCount = int(moved + finished);
    return true;
}

// A path an undo may touch: beneath the input or the output of the run.
bool beneath(const QString &path, const FHJournal::Run &run)
{
    if (path.contains(QLatin1String("/../")) || path.endsWith(QLatin1String("/..")))
        return false;
    for (const QString &root : run.folders()) {
        if (!root.isEmpty() && (path == root || path.startsWith(root + QLatin1Char('/'))))
            return true;
    }
    return false;
}

FHJournal::File fileFrom(const QJsonObject &record)
{
    FHJournal::File f;
    f.source = record.value(QStringLiteral("source")).toString();
    f.temporary = record.value(QStringLiteral("temporary")).toString();
    f.final = record.value(QStringLiteral("final")).toString();
    f.identity.size = qint64(record.value(QStringLiteral("size")).toDouble(-1));
    f.identity.modifiedNs = record.value(QStringLiteral("mtime")).toString().toLongLong();
    f.identity.device = record.value(QStringLiteral("dev")).toString().toULongLong();
    f.identity.inode = record.value(QStringLiteral("ino")).toString().toULongLong();
    f.identity.edgeHash = record.value(QStringLiteral("edge")).toString().toLatin1();
    f.hash = record.value(QStringLiteral("hash")).toString();
    f.group = record.value(QStringLiteral("group")).toString();
    if (f.final.isEmpty())
        f.final = f.temporary;
    return f;
}

bool readJournal(const QString &path, FHJournal::Run *run, bool files, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    run->id = QFileInfo(path).completeBaseName();
    int fileCount = 0;
    QHash<QString, int> byTemporary;
    bool first = true;
    int line = 0;
    const auto outside = [&](const QString &named) {
        if (!files || named.isEmpty() || beneath(named, *run))
            return false;
        if (error)
            *error = QStringLiteral("line %1 of '%2' names '%3', which lies outside the folders "
                                    "of the run")
                         .arg(line)
                         .arg(path, named);
        return true;
    };
    while (!file.atEnd()) {
        const QByteArray text = file.readLine();
        ++line;
        const bool fileRecord = text.startsWith("{\"record\":\"file\"");
        if (fileRecord && !files) {
            ++fileCount;
            continue;
        }
        if (!files
            && (text.startsWith("{\"record\":\"named\"")
                || text.startsWith("{\"record\":\"copied\"")))
            continue;
        QJsonParseError parsed;
        const QJsonObject record = QJsonDocument::fromJson(text, &parsed).object();
        const QString kind = record.value(QStringLiteral("record")).toString();
        if (parsed.error != QJsonParseError::NoError || kind.isEmpty()) {
            if (!text.trimmed().isEmpty())
                run->damagedLines.append(line);
            continue;
        }
        if (first) {
            first = false;
            if (kind != QLatin1String("run"))
                return false;
            readHeader(record, run);
        } else if (kind == QLatin1String("file") && !files) {
            ++fileCount; // a line spelt otherwise than this program writes it
        } else if (kind == QLatin1String("file")) {
            const FHJournal::File f = fileFrom(record);
            if (outside(f.source) || outside(f.temporary) || outside(f.final))
                return false;
            if (!f.temporary.isEmpty())
                byTemporary.insert(f.temporary, run->files.size());
            run->files.append(f);
        } else if (kind == QLatin1String("named")) {
            const int index
                = byTemporary.value(record.value(QStringLiteral("temporary")).toString(), -1);
            const QString final = record.value(QStringLiteral("final")).toString();
            if (outside(final))
                return false;
            if (index >= 0) {
                run->files[index].final = final;
                run->files[index].number = record.value(QStringLiteral("number")).toInt();
            }
        } else if (kind == QLatin1String("copied")) {
            const int index
                = byTemporary.value(record.value(QStringLiteral("temporary")).toString(), -1);
            if (index >= 0)
                run->files[index].hash = record.value(QStringLiteral("hash")).toString();
        } else if (kind == QLatin1String("folder")) {
            const QString folder = record.value(QStringLiteral("path")).toString();
            // The folders a sort made lie in its output, never in its input.
            if (files && !(folder.startsWith(run->output + QLatin1Char('/')))
                && !run->output.isEmpty()) {
                if (error)
                    *error = QStringLiteral("line %1 of '%2' names the folder '%3', which lies "
                                            "outside the output of the run")
                                 .arg(line)
                                 .arg(path, folder);
                return false;
            }
            run->createdFolders << folder;
        } else if (kind == QLatin1String("end")) {
            run->outcome = record.value(QStringLiteral("outcome")).toString();
        } else if (kind == QLatin1String("undone")) {
            readUndone(record, run);
        }
    }
    run->fileCount = files ? run->files.size() : fileCount;
    return !first;
}

} // namespace

FHJournal::FHJournal() = default;

FHJournal::~FHJournal()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString FHJournal::folder()
{
    // The same folder for the window and the command, whatever each is called.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/quilm/journal");
}

bool FHJournal::begin(const QString &kind, const FHJsonFields &header)
{
    const QString dir = folder();
    if (!QDir().mkpath(dir)) {
        m_error = QStringLiteral("cannot create the folder '%1'").arg(dir);
        return false;
    }
    prune();
    const QDateTime now = QDateTime::currentDateTime();
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_id = now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"))
            + QStringLiteral("-%1").arg(::getpid())
            + (attempt ? QStringLiteral("-%1").arg(attempt) : QString());
        m_path = pathOf(m_id);
        m_fd = ::open(QFile::encodeName(m_path).constData(),
            O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_error = QStringLiteral("cannot create '%1': %2").arg(m_path, systemError());
        return false;
    }
    const FHJsonFields record = FHJsonFields { { QStringLiteral("record"), QStringLiteral("run") },
        { QStringLiteral("id"), m_id }, { QStringLiteral("kind"), kind },
        { QStringLiteral("time"), now.toString(Qt::ISODateWithMs) },
        { QStringLiteral("program"),
            QCoreApplication::applicationName() + QLatin1Char(' ')
                + QCoreApplication::applicationVersion() } }
        + header;
    if (!append(jsonLine(record)) || !syncFolder(dir)) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("cannot sync '%1': %2").arg(dir, systemError());
        ::close(m_fd);
        m_fd = -1;
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
    struct stat st;
    return m_gone || (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && st.st_nlink == 0);
}

bool FHJournal::finish(const QString &outcome, qint64 moved, qint64 finished)
{
    if (m_fd < 0)
        return false;
    m_gone = isGone();
    // A run that ended before it recorded anything leaves no journal.
    if (!m_recorded && m_pending.isEmpty()) {
        ::close(m_fd);
        m_fd = -1;
        return QFile::remove(m_path);
    }
    add({ { QStringLiteral("record"), QStringLiteral("end") },
        { QStringLiteral("outcome"), outcome }, { QStringLiteral("moved"), moved },
        { QStringLiteral("finished"), finished },
        { QStringLiteral("time"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs) } });
    const bool written = write();
    ::close(m_fd);
    m_fd = -1;
    return written;
}

bool FHJournal::append(const QByteArray &text)
{
    const char *failed = appendLines(m_fd, text);
    if (failed)
        m_error = QStringLiteral("cannot %1 '%2': %3")
                      .arg(QLatin1String(failed), m_path,
                          errno ? systemError() : QStringLiteral("disk full"));
    return !failed;
}

FHJsonFields FHJournal::fileRecord(const File &file)
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

FHJournal::Interrupted FHJournal::interrupted(const FHFolderTree &tree, const QString &output)
{
    Interrupted found;
    for (const Run &listed : runs()) {
        if (listed.kind != QLatin1String("sort") || listed.output != output
            || listed.outcome == QLatin1String("completed") || !listed.undoneBy.isEmpty())
            continue;
        Run run;
        QString error;
        if (!load(listed.id, &run, &error))
            continue;
        if (!found.inputs.contains(run.input))
            found.inputs << run.input;
        for (const File &file : qAsConst(run.files)) {
            if (file.temporary.isEmpty())
                continue;
            // By the file, not by its path: a card's IMG_0001.JPG put where
            // another card's was is another photo.
            if (!found.meant.contains(file.source) && isSameFile(tree, file.source, file))
                found.meant.insert(file.source, file.temporary);
            const bool named = file.number > 0 && file.final != file.temporary;
            if (!found.leftovers.contains(file.temporary)
                && isSameFile(tree, file.temporary, file)) {
                found.leftovers.insert(file.temporary, file);
                if (named)
                    found.named.insert(file.temporary, file);
            }
            // Both may be there: a rename cut short between link and unlink.
            if (named && isSameFile(tree, file.final, file))
                found.finals.insert(file.final, file);
        }
    }
    return found;
}

bool FHJournal::isSameFile(const FHFolderTree &tree, const QString &path, const File &file)
{
    return FHFileIdentities::isSame(tree, path, file.identity, file.hash.toLatin1());
}

QVector<FHJournal::Run> FHJournal::runs()
{
    QVector<Run> found;
    const QDir dir(folder());
    const QStringList names
        = dir.entryList({ QStringLiteral("*") + QLatin1String(Suffix) }, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        Run run;
        if (readSummary(dir.filePath(name), &run))
            found.append(run);
    }
    std::sort(found.begin(), found.end(), [](const Run &a, const Run &b) { return a.id > b.id; });
    return found;
}

bool FHJournal::load(const QString &id, Run *run, QString *error)
{
    error->clear();
    if (id.contains(QLatin1Char('/')) || !readJournal(pathOf(id), run, true, error)) {
        if (error->isEmpty())
            *error = QStringLiteral("no run '%1' in '%2'").arg(id, folder());
        return false;
    }
    return true;
}

bool FHJournal::markUndone(const QString &id, const QString &undoId, bool partly, QString *error)
{
    const QString path = pathOf(id);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CLOEXEC);
    const bool done = fd >= 0
        && !appendLines(fd,
            jsonLine({ { QStringLiteral("record"), QStringLiteral("undone") },
                { QStringLiteral("by"), undoId }, { QStringLiteral("partial"), partly },
                { QStringLiteral("time"),
                    QDateTime::currentDateTime().toString(Qt::ISODateWithMs) } }));
    if (!done)
        *error = QStringLiteral("cannot mark '%1' as undone: %2").arg(path, systemError());
    if (fd >= 0)
        ::close(fd);
    return done;
}
