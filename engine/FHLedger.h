#ifndef FHLEDGER_H
#define FHLEDGER_H

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QVector>

struct sqlite3;

// The ledger of a library: every file Quilm has put into an output folder,
// with its size, content hash, capture time, path, run and whether it is still
// there. It lives in the output (".quilm/library.db"), so it travels with the
// library and every machine that sorts into it shares it; the output lock
// covers it. It is a SQLite database with a write-ahead log where the file
// system can hold one (not on network shares), a rollback journal elsewhere.
//
// A hash is taken when it costs nothing (a copy reads the bytes anyway) or
// when it is needed: a file of the same size comes in.
class FHLedger
{
public:
    struct Row
    {
        qint64 id = 0;
        QString path; // below the output, "/" between names
        qint64 size = 0;
        QByteArray hash; // FHContentHash's text, or empty until needed
        QString captured; // ISO, the wall-clock time of the shot
        QString run; // the run that put it there; empty for a file found there
        QDateTime imported; // when that run began, or when the file was found
        bool present = true;
        qint64 modifiedNs = 0; // to notice another file put at its path
    };

    enum Mode
    {
        Write, // created where there is none
        // A dry run's: the ledger as it is, held in memory so that the run
        // can decide as a real run would without writing a byte.
        Read,
    };

    FHLedger();
    ~FHLedger();
    FHLedger(const FHLedger &) = delete;
    FHLedger &operator=(const FHLedger &) = delete;

    static QString folderOf(const QString &output);
    static QString pathOf(const QString &output);

    // False, with error(), when it can be neither opened nor made. A damaged
    // one is set aside and made anew (note() says so).
    bool open(const QString &output, Mode mode);
    bool isOpen() const { return m_db != nullptr; }
    const QString &error() const { return m_error; }
    const QString &note() const { return m_note; }
    // No ledger was there, or it was set aside: the library's files are to be
    // added (FHLibraryWalk).
    bool isNew() const { return m_new; }

    QSet<qint64> sizes() const;
    QVector<Row> rowsOfSize(qint64 size) const;
    bool hasPath(const QString &path) const;

    bool add(const QVector<Row> &rows);
    bool setHash(qint64 id, const QByteArray &hash);
    bool setGone(qint64 id);
    // The rows of files an undo took back out of the library.
    bool removeFiles(const QString &run, const QStringList &paths);
    // The rows of paths whose files moved elsewhere in the library.
    bool removePaths(const QStringList &paths);

    bool isEmpty() const;
    // Removes the ledger of the output, with its folder, where it records no
    // file at all (the output a run made, undone).
    static void removeEmpty(const QString &output);

    // The runs whose files are recorded.
    bool hasRun(const QString &id) const;
    bool addRun(const QString &id);

private:
    bool openFile(const QString &path, bool readOnly);
    bool prepareSchema();
    bool exec(const char *sql);
    void fail(const char *what);
    bool setAside(const QString &path, const QString &why);
    void close();

    sqlite3 *m_db = nullptr;
    QString m_path;
    QString m_error;
    QString m_note;
    bool m_new = false;
};

#endif // FHLEDGER_H
