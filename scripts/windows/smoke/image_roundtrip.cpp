// Writes and reads back a JPEG and a PNG with QImage, at the path given
// (without extension). Exits non-zero if a round trip fails.
#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <cstdio>
#include <cstdlib>

static QImage pattern()
{
    QImage img(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 255 / 319, y * 255 / 239, 128));
    return img;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        std::fprintf(stderr, "usage: image_roundtrip BASE_PATH\n");
        return 2;
    }
    const QString base = app.arguments().at(1);
    std::printf(
        "readable formats: %s\n", QImageReader::supportedImageFormats().join(' ').constData());
    const QImage src = pattern();
    int failures = 0;
    for (const char *fmt : { "jpg", "png" }) {
        const QString path = base + QLatin1Char('.') + QLatin1String(fmt);
        QImageWriter writer(path, fmt);
        writer.setQuality(92);
        if (!writer.write(src)) {
            std::printf("%s: write failed: %s\n", fmt, qPrintable(writer.errorString()));
            ++failures;
            continue;
        }
        QImageReader reader(path);
        const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
        if (back.isNull() || back.size() != src.size()) {
            std::printf("%s: read failed: %s\n", fmt, qPrintable(reader.errorString()));
            ++failures;
            continue;
        }
        long long diff = 0;
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const QRgb a = src.pixel(x, y), b = back.pixel(x, y);
                diff += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                    + std::abs(qBlue(a) - qBlue(b));
            }
        const double mean = double(diff) / (src.width() * src.height() * 3);
        // JPEG is lossy; PNG must come back exactly.
        const bool ok = (QLatin1String(fmt) == QLatin1String("png")) ? diff == 0 : mean < 3.0;
        std::printf("%s: %s, %lld bytes, %dx%d, mean abs diff %.3f: %s\n", fmt,
            QFileInfo(path).fileName().toUtf8().constData(), (long long)QFileInfo(path).size(),
            back.width(), back.height(), mean, ok ? "ok" : "FAIL");
        if (!ok)
            ++failures;
    }
    return failures ? 1 : 0;
}
