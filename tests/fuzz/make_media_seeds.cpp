// Writes the seed corpora of the video and BMFF fuzzers into the two folders
// given: small movies and CR3 files made box by box, whole and damaged.
#include "HostileFiles.h"
#include "MediaFiles.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

using namespace MediaFiles;

namespace {

bool write(const QDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray cut(QByteArray bytes, int keep)
{
    bytes.truncate(keep);
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s VIDEO-FOLDER BMFF-FOLDER\n", argv[0]);
        return 2;
    }
    const QDir video(QString::fromLocal8Bit(argv[1]));
    const QDir bmff(QString::fromLocal8Bit(argv[2]));
    if (!video.mkpath(QStringLiteral(".")) || !bmff.mkpath(QStringLiteral(".")))
        return 1;

    const quint64 may2019 = SecondsTo1970 + 1557661501;
    const QByteArray keys = keyedMetadata({
        { "com.apple.quicktime.make", "Apple" },
        { "com.apple.quicktime.model", "iPhone 7" },
        { "com.apple.quicktime.creationdate", "2019-10-20T18:34:30+0200" },
    });
    const QByteArray phone = movie(movieHeader(may2019) + keys + userDataMake("Apple"));
    QList<QPair<QString, QByteArray>> videos {
        { "phone.mov", phone },
        { "header-only.mp4", movie(movieHeader(may2019), "isom") },
        { "header-v1.mp4", movie(movieHeader(may2019, 1), "mp42") },
        { "samsung.mp4", movie(movieHeader(may2019) + userDataMake("SAMSUNG"), "mp42") },
        { "iso-meta.mp4",
            movie(movieHeader(may2019) + fullBox("meta", 0, keyedMetadata({}).mid(8)), "isom") },
        { "large-sizes.3gp", box("ftyp", "3gp5") + largeBox("moov", movieHeader(may2019)) },
        { "size-zero.mov", box("moov", movieHeader(may2019)) + be32(0) + "mdat" },
        { "cut-moov.mov", cut(phone, phone.size() - 150) },
        { "moov-last.mp4",
            box("ftyp", "isom") + box("mdat", QByteArray(100, '\0'))
                + box("moov", movieHeader(may2019) + keys) },
        { "impossible-size.mp4", box("ftyp", "isom") + be32(4) + "moov" },
    };
    const QByteArray mdpm = mdpmMessage(
        { QByteArray("\x18\x02\x20\x08\x12", 5), QByteArray("\x19\x31\x23\x16\x24", 5) });
    videos.append({ "camcorder.mts", transportStream(QByteArray(100, '\0') + mdpm, true) });
    videos.append({ "camcorder-188.m2ts", transportStream(QByteArray(170, '\0') + mdpm, false) });
    for (const auto &seed : videos) {
        if (!write(video, seed.first, seed.second))
            return 1;
    }

    using HostileFiles::ascii;
    const QByteArray cmt1 = HostileFiles::tiff({ ascii(0x010f, "Canon") }, {}).bytes;
    const QByteArray cmt2
        = HostileFiles::tiff({ ascii(0x9003, "2025:09:06 20:24:47"), ascii(0x9291, "72") }, {})
              .bytes;
    const QByteArray raw = cr3(cmt1, cmt2);
    const QList<QPair<QString, QByteArray>> files {
        { "canon.cr3", raw },
        { "mdat-past-end.cr3", raw + be32(0x7fffffff) + "mdat" + QByteArray(32, '\0') },
        { "cmt2-only.cr3", cr3(QByteArray(), cmt2) },
        { "cut-in-cmt2.cr3", cut(raw, raw.indexOf("CMT2") + 40) },
        { "heif-exif.heic",
            box("ftyp", "heic") + fullBox("meta", 0, box("iinf", be32(0)) + box("Exif", cmt1)) },
    };
    for (const auto &seed : files) {
        if (!write(bmff, seed.first, seed.second))
            return 1;
    }
    std::printf("%d video and %d BMFF seeds\n", int(videos.size()), int(files.size()));
    return 0;
}
