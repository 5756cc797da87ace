// Opens a JPEG through Exiv2's wide-character API and prints its
// DateTimeOriginal (after setting it, with --set), hashes the file with
// XXH3-128 and keeps the result in an SQLite database beside it.
// Arguments are taken from QCoreApplication: on Windows it reads the UTF-16
// command line, where argv would be in the ANSI code page.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <exiv2/exiv2.hpp>
#include <sqlite3.h>
#include <string>
#include <xxhash.h>

static int fail(const char *what)
{
    std::printf("FAIL: %s\n", what);
    return 1;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: exif_probe FILE.jpg [--set 'YYYY:MM:DD HH:MM:SS']\n");
        return 2;
    }
    const QString path = args.at(1);
    const std::wstring wpath = path.toStdWString();
    std::printf("Qt %s, Exiv2 %s, SQLite %s, xxHash %u\n", qVersion(),
        Exiv2::versionString().c_str(), sqlite3_libversion(), XXH_versionNumber());
    std::printf("file: %s\n", path.toUtf8().constData());

    Exiv2::XmpParser::initialize();
    try {
        if (args.size() > 3 && args.at(2) == QLatin1String("--set")) {
            auto image = Exiv2::ImageFactory::open(wpath);
            image->readMetadata();
            Exiv2::ExifData exif = image->exifData();
            exif["Exif.Photo.DateTimeOriginal"] = args.at(3).toStdString();
            image->setExifData(exif);
            image->writeMetadata();
        }
        auto image = Exiv2::ImageFactory::open(wpath);
        image->readMetadata();
        const Exiv2::ExifData &exif = image->exifData();
        const auto it = exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
        if (it == exif.end())
            return fail("no Exif.Photo.DateTimeOriginal");
        std::printf("DateTimeOriginal: %s (%s, %ux%u)\n", it->toString().c_str(),
            image->mimeType().c_str(), image->pixelWidth(), image->pixelHeight());
    } catch (const Exiv2::AnyError &e) {
        std::printf("Exiv2 error: %s\n", e.what());
        return 1;
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail("open with QFile");
    const QByteArray bytes = file.readAll();
    const XXH128_hash_t h = XXH3_128bits(bytes.constData(), size_t(bytes.size()));
    char hex[33];
    std::snprintf(hex, sizeof hex, "%016llx%016llx", (unsigned long long)h.high64,
        (unsigned long long)h.low64);
    std::printf("XXH3-128: %s (%lld bytes)\n", hex, (long long)bytes.size());

    // sqlite3_open() takes UTF-8 and opens wide on Windows.
    const QString dbPath = QFileInfo(path).dir().filePath(QStringLiteral("Datenbank 数据.sqlite"));
    sqlite3 *db = nullptr;
    if (sqlite3_open(dbPath.toUtf8().constData(), &db) != SQLITE_OK)
        return fail(sqlite3_errmsg(db));
    char *err = nullptr;
    if (sqlite3_exec(db,
            "PRAGMA journal_mode=WAL;"
            "CREATE TABLE IF NOT EXISTS shots(path TEXT PRIMARY KEY, hash TEXT);",
            nullptr, nullptr, &err)
        != SQLITE_OK)
        return fail(err);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO shots VALUES(?1, ?2)", -1, &st, nullptr);
    const QByteArray p8 = path.toUtf8();
    sqlite3_bind_text(st, 1, p8.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, hex, -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) != SQLITE_DONE)
        return fail(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "SELECT path, hash FROM shots", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        std::printf(
            "sqlite row: %s | %s\n", sqlite3_column_text(st, 0), sqlite3_column_text(st, 1));
    sqlite3_finalize(st);
    sqlite3_close(db);
    std::printf("database: %s (%lld bytes)\n", dbPath.toUtf8().constData(),
        (long long)QFileInfo(dbPath).size());
    return 0;
}
