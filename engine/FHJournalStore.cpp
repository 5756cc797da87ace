#include "engine/FHJournalStore.h"

#include "engine/FHFolderTree.h"
#include "engine/FHJournal.h"
#include "engine/FHPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include <algorithm>

namespace {

constexpr int KeptRuns = 100;
constexpr int KeptDays = 90;
const char *const Suffix = ".jsonl";

// Reads a journal: its header and its closing records always, its file
// records when files is given. A damaged line (one cut off by a crash, say)
// is skipped and its number kept. A journal of files that names a path
// beneath neither folder of its run is refused, with the line in error.
bool readJournal(
    const QString &path, FHJournalStore::Run *run, bool files, QString *error = nullptr);

void readUndone(const QJsonObject &record, FHJournalStore::Run *run)
{
    const QString by = record.value(QStringLiteral("by")).toString();
    if (record.value(QStringLiteral("partial")).toBool()) {
        run->partlyUndoneBy = by;
    } else {
        run->undoneBy = by;
        run->partlyUndoneBy.clear();
    }
}

void readHeader(const QJsonObject &header, FHJournalStore::Run *run)
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
bool readSummary(const QString &path, FHJournalStore::Run *run)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject header
        = FHPaths::fromStored(QJsonDocument::fromJson(file.readLine()).object());
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
bool beneath(const QString &path, const FHJournalStore::Run &run)
{
    if (path.contains(QLatin1String("/../")) || path.endsWith(QLatin1String("/..")))
        return false;
    for (const QString &root : run.folders()) {
        if (!root.isEmpty() && (path == root || path.startsWith(root + QLatin1Char('/'))))
            return true;
    }
    return false;
}

FHJournalStore::File fileFrom(const QJsonObject &record)
{
    FHJournalStore::File f;
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

// Reads one journal line by line into a run.
class JournalReader
{
public:
    JournalReader(const QString &path, FHJournalStore::Run *run, bool files, QString *error)
        : m_path(path)
        , m_run(run)
        , m_files(files)
        , m_error(error)
    {
    }

    bool read();

private:
    // False, with the line in the error, where the record names a path
    // beneath neither folder of the run.
    bool record(const QString &kind, const QJsonObject &record);
    bool outside(const QString &named);
    // The file a "named" or "copied" record is about, by its temporary name.
    FHJournalStore::File *fileOf(const QJsonObject &record);

    const QString &m_path;
    FHJournalStore::Run *m_run;
    bool m_files;
    QString *m_error;
    QHash<QString, int> m_byTemporary;
    int m_line = 0;
    int m_fileCount = 0;
};

bool JournalReader::read()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_run->id = QFileInfo(m_path).completeBaseName();
    bool first = true;
    while (!file.atEnd()) {
        const QByteArray text = file.readLine();
        ++m_line;
        // A listing needs no file records: they are counted unread.
        if (!m_files && text.startsWith("{\"record\":\"file\"")) {
            ++m_fileCount;
            continue;
        }
        if (!m_files
            && (text.startsWith("{\"record\":\"named\"")
                || text.startsWith("{\"record\":\"copied\"")))
            continue;
        QJsonParseError parsed;
        const QJsonObject record
            = FHPaths::fromStored(QJsonDocument::fromJson(text, &parsed).object());
        const QString kind = record.value(QStringLiteral("record")).toString();
        if (parsed.error != QJsonParseError::NoError || kind.isEmpty()) {
            if (!text.trimmed().isEmpty())
                m_run->damagedLines.append(m_line);
            continue;
        }
        if (first) {
            first = false;
            if (kind != QLatin1String("run"))
                return false;
            readHeader(record, m_run);
        } else if (!this->record(kind, record)) {
            return false;
        }
    }
    m_run->fileCount = m_files ? m_run->files.size() : m_fileCount;
    return !first;
}

bool JournalReader::outside(const QString &named)
{
    if (!m_files || named.isEmpty() || beneath(named, *m_run))
        return false;
    if (m_error)
        *m_error = QStringLiteral("line %1 of '%2' names '%3', which lies outside the folders "
                                  "of the run")
                       .arg(m_line)
                       .arg(FHPaths::shown(m_path), FHPaths::shown(named));
    return true;
}

FHJournalStore::File *JournalReader::fileOf(const QJsonObject &record)
{
    const int index = m_byTemporary.value(record.value(QStringLiteral("temporary")).toString(), -1);
    return index >= 0 ? &m_run->files[index] : nullptr;
}

bool JournalReader::record(const QString &kind, const QJsonObject &record)
{
    if (kind == QLatin1String("file") && !m_files) {
        ++m_fileCount; // a line spelt otherwise than this program writes it
    } else if (kind == QLatin1String("file")) {
        const FHJournalStore::File f = fileFrom(record);
        if (outside(f.source) || outside(f.temporary) || outside(f.final))
            return false;
        if (!f.temporary.isEmpty())
            m_byTemporary.insert(f.temporary, m_run->files.size());
        m_run->files.append(f);
    } else if (kind == QLatin1String("named")) {
        const QString final = record.value(QStringLiteral("final")).toString();
        if (outside(final))
            return false;
        if (FHJournalStore::File *file = fileOf(record)) {
            file->final = final;
            file->number = record.value(QStringLiteral("number")).toInt();
        }
    } else if (kind == QLatin1String("copied")) {
        if (FHJournalStore::File *file = fileOf(record))
            file->hash = record.value(QStringLiteral("hash")).toString();
    } else if (kind == QLatin1String("folder")) {
        const QString folder = record.value(QStringLiteral("path")).toString();
        // The folders a sort made lie in its output, never in its input.
        const bool inOutput
            = m_run->output.isEmpty() || folder.startsWith(m_run->output + QLatin1Char('/'));
        if (m_files && !inOutput) {
            if (m_error)
                *m_error = QStringLiteral("line %1 of '%2' names the folder '%3', which lies "
                                          "outside the output of the run")
                               .arg(m_line)
                               .arg(FHPaths::shown(m_path), FHPaths::shown(folder));
            return false;
        }
        m_run->createdFolders << folder;
    } else if (kind == QLatin1String("end")) {
        m_run->outcome = record.value(QStringLiteral("outcome")).toString();
    } else if (kind == QLatin1String("undone")) {
        readUndone(record, m_run);
    }
    return true;
}

bool readJournal(const QString &path, FHJournalStore::Run *run, bool files, QString *error)
{
    return JournalReader(path, run, files, error).read();
}

} // namespace

QString FHJournalStore::folder()
{
    // Windows has no variable for the user's data folder, as XDG_DATA_HOME is
    // on Linux: tests and portable set-ups name the folder here.
    const QString chosen = qEnvironmentVariable("QUILM_JOURNAL_DIR");
    if (!chosen.isEmpty())
        return QDir::cleanPath(FHPaths::internal(chosen));
    // The same folder for the window and the command, whatever each is called.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/quilm/journal");
}

QString FHJournalStore::pathOf(const QString &id)
{
    return folder() + QLatin1Char('/') + id + QLatin1String(Suffix);
}

// Keeps the last KeptRuns runs, none older than KeptDays.
void FHJournalStore::prune()
{
    QDir dir(FHJournalStore::folder());
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

FHJournalStore::Interrupted FHJournalStore::interrupted(
    const FHFolderTree &tree, const QString &output)
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
            const bool named = file.number > 0 && file.final != file.temporary;
            // By the file, not by its path: a card's IMG_0001.JPG put where
            // another card's was is another photo. A copy that was named is
            // done with: its original, still on the card, is no move to finish.
            if (!named && !found.meant.contains(file.source) && isSameFile(tree, file.source, file))
                found.meant.insert(file.source, file.temporary);
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

bool FHJournalStore::isSameFile(const FHFolderTree &tree, const QString &path, const File &file)
{
    return FHFileIdentities::isSame(tree, path, file.identity, file.hash.toLatin1());
}

QVector<FHJournalStore::Run> FHJournalStore::runs()
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

bool FHJournalStore::load(const QString &id, Run *run, QString *error)
{
    error->clear();
    if (id.contains(QLatin1Char('/')) || !readJournal(pathOf(id), run, true, error)) {
        if (error->isEmpty())
            *error = QStringLiteral("no run '%1' in '%2'").arg(id, FHPaths::shown(folder()));
        return false;
    }
    return true;
}

bool FHJournalStore::markUndone(
    const QString &id, const QString &undoId, bool partly, QString *error)
{
    QString failure;
    if (FHJournal::appendRecord(pathOf(id),
            { { QStringLiteral("record"), QStringLiteral("undone") },
                { QStringLiteral("by"), undoId }, { QStringLiteral("partial"), partly },
                { QStringLiteral("time"),
                    QDateTime::currentDateTime().toString(Qt::ISODateWithMs) } },
            &failure))
        return true;
    *error
        = QStringLiteral("cannot mark '%1' as undone: %2").arg(FHPaths::shown(pathOf(id)), failure);
    return false;
}
