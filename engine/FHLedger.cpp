#include "engine/FHLedger.h"

#include "engine/FHPaths.h"
#include "engine/platform/FHFolder.h"
#include "engine/platform/FHSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>

namespace {

const char *const Schema = R"(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT);
CREATE TABLE IF NOT EXISTS files(
    id INTEGER PRIMARY KEY,
    path TEXT NOT NULL,
    size INTEGER NOT NULL,
    hash TEXT,
    captured TEXT,
    run TEXT NOT NULL,
    imported TEXT NOT NULL,
    present INTEGER NOT NULL DEFAULT 1,
    mtime INTEGER);
CREATE INDEX IF NOT EXISTS files_size ON files(size);
CREATE INDEX IF NOT EXISTS files_path ON files(path);
CREATE TABLE IF NOT EXISTS runs(id TEXT PRIMARY KEY, recorded TEXT NOT NULL);
INSERT OR IGNORE INTO meta VALUES('version', '1');
)";

// One prepared statement, finalised when it goes.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql)
    {
        if (db)
            sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    Statement &bind(int i, qint64 value)
    {
        sqlite3_bind_int64(m_stmt, i, value);
        return *this;
    }
    Statement &bind(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &bindOrNull(int i, const QByteArray &text)
    {
        if (text.isEmpty())
            sqlite3_bind_null(m_stmt, i);
        else
            sqlite3_bind_text(m_stmt, i, text.constData(), text.size(), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return m_stmt ? sqlite3_step(m_stmt) : SQLITE_ERROR; }
    bool run()
    {
        const int done = step();
        sqlite3_reset(m_stmt);
        return done == SQLITE_DONE;
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    QString text(int column) const
    {
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column)),
            sqlite3_column_bytes(m_stmt, column));
    }
    QByteArray bytes(int column) const
    {
        return QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column)),
            sqlite3_column_bytes(m_stmt, column));
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

QString isoNow()
{
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

} // namespace

FHLedger::FHLedger() = default;

FHLedger::~FHLedger()
{
    close();
}

QString FHLedger::folderOf(const QString &output)
{
    return output + QStringLiteral("/.quilm");
}

QString FHLedger::pathOf(const QString &output)
{
    return folderOf(output) + QStringLiteral("/library.db");
}

void FHLedger::close()
{
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
}

void FHLedger::fail(const char *what)
{
    m_error = QStringLiteral("cannot %1 the library's ledger '%2': %3")
                  .arg(QLatin1String(what), FHPaths::shown(m_path),
                      m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("no memory"));
}

bool FHLedger::exec(const char *sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool FHLedger::openFile(const QString &path, bool readOnly)
{
    close();
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
#ifdef Q_OS_WIN
    // SQLite takes UTF-8 names on Windows; the ANSI code page cannot spell
    // every name.
    const QByteArray name = FHSystem::systemPath(path).toUtf8();
#else
    const QByteArray name = QFile::encodeName(path);
#endif
    if (sqlite3_open_v2(name.constData(), &m_db, flags, nullptr) != SQLITE_OK)
        return false;
    sqlite3_busy_timeout(m_db, 10000);
    return true;
}

bool FHLedger::prepareSchema()
{
    // A write-ahead log needs memory shared between the processes that open
    // the database, which a network share cannot give.
    const bool remote = FHSystem::fileSystemOf(m_path).remote;
    if (!exec(remote ? "PRAGMA journal_mode=DELETE" : "PRAGMA journal_mode=WAL")
        || !exec(remote ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL"))
        return false;
    return exec(Schema);
}

bool FHLedger::setAside(const QString &path, const QString &why)
{
    close();
    const QString aside = path + QStringLiteral(".damaged-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (const char *suffix : { "", "-wal", "-shm" }) {
        const QString from = path + QLatin1String(suffix);
        if (QFile::exists(from) && !QFile::rename(from, aside + QLatin1String(suffix))
            && *suffix == 0)
            return false;
    }
    m_note = QStringLiteral("The library's ledger '%1' could not be read (%2). It was set aside "
                            "as '%3' and is made anew from the library and the journals.")
                 .arg(FHPaths::shown(path), why, FHPaths::shown(aside));
    return true;
}

bool FHLedger::open(const QString &output, Mode mode)
{
    m_path = pathOf(output);
    m_error.clear();
    m_note.clear();
    const bool exists = QFileInfo::exists(m_path);
    m_new = !exists;
    if (mode == Read) {
        // Everything the run would write goes into a copy in memory.
        sqlite3 *memory = nullptr;
        if (sqlite3_open(":memory:", &memory) != SQLITE_OK) {
            sqlite3_close(memory);
            fail("open");
            return false;
        }
        if (exists && openFile(m_path, true)) {
            sqlite3_backup *copy = sqlite3_backup_init(memory, "main", m_db, "main");
            const bool copied = copy && sqlite3_backup_step(copy, -1) == SQLITE_DONE;
            sqlite3_backup_finish(copy);
            m_new = !copied;
            if (!copied)
                m_note = QStringLiteral("The library's ledger '%1' could not be read; a sort "
                                        "sets it aside and makes it anew.")
                             .arg(FHPaths::shown(m_path));
        }
        close();
        m_db = memory;
        if (!exec(Schema)) {
            fail("read");
            return false;
        }
        return true;
    }
    int error = 0;
    const FHFolder folder = FHFolder::open(output, &error);
    if (!error && (error = folder.makeChild(QStringLiteral(".quilm"))) == EEXIST)
        error = 0;
    if (error) {
        m_error = QStringLiteral("cannot create '%1' (%2)")
                      .arg(FHPaths::shown(folderOf(output)), FHSystem::errorText(error));
        return false;
    }
    // SQLite's words would not say why it cannot write there.
    const FHFolder own = folder.child(QStringLiteral(".quilm"), &error);
    if (own.isValid())
        error = own.writable();
    if (error) {
        m_error = QStringLiteral("cannot write into '%1' (%2)")
                      .arg(FHPaths::shown(folderOf(output)), FHSystem::errorText(error));
        return false;
    }
    if (!openFile(m_path, false)) {
        fail("open");
        close();
        return false;
    }
    QString damage;
    if (prepareSchema()) {
        Statement check(m_db, "PRAGMA quick_check");
        if (check.step() == SQLITE_ROW && check.text(0) == QLatin1String("ok"))
            return true;
        damage = check.isValid() ? check.text(0) : QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    const int code = sqlite3_errcode(m_db);
    if (damage.isEmpty() && code != SQLITE_CORRUPT && code != SQLITE_NOTADB) {
        // Not damage: no room, no right to write. The run must not go on
        // without knowing its library.
        fail("write");
        close();
        return false;
    }
    const QString why = damage.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(m_db)) : damage;
    if (!setAside(m_path, why) || !openFile(m_path, false) || !prepareSchema()) {
        fail("make anew");
        close();
        return false;
    }
    m_new = true;
    return true;
}

QSet<qint64> FHLedger::sizes() const
{
    QSet<qint64> sizes;
    Statement query(m_db, "SELECT DISTINCT size FROM files");
    while (query.step() == SQLITE_ROW)
        sizes.insert(query.integer(0));
    return sizes;
}

QVector<FHLedger::Row> FHLedger::rowsOfSize(qint64 size) const
{
    QVector<Row> rows;
    Statement query(m_db,
        "SELECT id, path, size, hash, captured, run, imported, present, mtime FROM files "
        "WHERE size = ? ORDER BY present DESC, id");
    query.bind(1, size);
    while (query.step() == SQLITE_ROW) {
        Row row;
        row.id = query.integer(0);
        row.path = query.text(1);
        row.size = query.integer(2);
        row.hash = query.bytes(3);
        row.captured = query.text(4);
        row.run = query.text(5);
        row.imported = QDateTime::fromString(query.text(6), Qt::ISODate);
        row.present = query.integer(7) != 0;
        row.modifiedNs = query.integer(8);
        rows.append(row);
    }
    return rows;
}

bool FHLedger::hasPath(const QString &path) const
{
    Statement query(m_db, "SELECT 1 FROM files WHERE path = ? AND present = 1");
    query.bind(1, path);
    return query.step() == SQLITE_ROW;
}

bool FHLedger::add(const QVector<Row> &rows)
{
    if (rows.isEmpty())
        return true;
    if (!exec("BEGIN IMMEDIATE")) {
        fail("write");
        return false;
    }
    {
        // Another file now at a recorded path replaces that row.
        Statement gone(m_db, "UPDATE files SET present = 0 WHERE path = ? AND present = 1");
        Statement insert(m_db,
            "INSERT INTO files(path, size, hash, captured, run, imported, present, mtime) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
        for (const Row &row : rows) {
            if (!gone.bind(1, row.path).run()
                || !insert.bind(1, row.path)
                        .bind(2, row.size)
                        .bindOrNull(3, row.hash)
                        .bind(4, row.captured)
                        .bind(5, row.run)
                        .bind(6, row.imported.toString(Qt::ISODate))
                        .bind(7, row.present ? 1 : 0)
                        .bind(8, row.modifiedNs)
                        .run()) {
                fail("write");
                exec("ROLLBACK");
                return false;
            }
        }
    }
    if (!exec("COMMIT")) {
        fail("write");
        exec("ROLLBACK");
        return false;
    }
    return true;
}

bool FHLedger::setHash(qint64 id, const QByteArray &hash)
{
    Statement update(m_db, "UPDATE files SET hash = ? WHERE id = ?");
    return update.bindOrNull(1, hash).bind(2, id).run();
}

bool FHLedger::setGone(qint64 id)
{
    Statement update(m_db, "UPDATE files SET present = 0 WHERE id = ?");
    return update.bind(1, id).run();
}

bool FHLedger::removeFiles(const QString &run, const QStringList &paths)
{
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    {
        Statement remove(m_db, "DELETE FROM files WHERE run = ? AND path = ?");
        for (const QString &path : paths) {
            if (!remove.bind(1, run).bind(2, path).run()) {
                exec("ROLLBACK");
                return false;
            }
        }
    }
    return exec("COMMIT");
}

bool FHLedger::removePaths(const QStringList &paths)
{
    if (paths.isEmpty())
        return true;
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    {
        Statement remove(m_db, "DELETE FROM files WHERE path = ?");
        for (const QString &path : paths) {
            if (!remove.bind(1, path).run()) {
                exec("ROLLBACK");
                return false;
            }
        }
    }
    return exec("COMMIT");
}

bool FHLedger::isEmpty() const
{
    Statement query(m_db, "SELECT 1 FROM files LIMIT 1");
    return query.step() != SQLITE_ROW;
}

void FHLedger::removeEmpty(const QString &output)
{
    const QString path = pathOf(output);
    if (!QFileInfo::exists(path))
        return;
    {
        FHLedger ledger;
        if (!ledger.open(output, Write) || !ledger.isEmpty())
            return;
    }
    for (const char *suffix : { "", "-wal", "-shm", "-journal" })
        QFile::remove(path + QLatin1String(suffix));
    QDir().rmdir(folderOf(output));
}

bool FHLedger::hasRun(const QString &id) const
{
    Statement query(m_db, "SELECT 1 FROM runs WHERE id = ?");
    query.bind(1, id);
    return query.step() == SQLITE_ROW;
}

bool FHLedger::addRun(const QString &id)
{
    Statement insert(m_db, "INSERT OR IGNORE INTO runs VALUES(?, ?)");
    return insert.bind(1, id).bind(2, isoNow()).run();
}
