// Draws Quilm's pictures: the splash screen, the START, STOP and Preview icons, the small logo of
// the boxes, the language badges and the desktop icon in several sizes. Each
// picture of image/ also comes at twice the size, "<name>@2x.png", for screens
// with two device pixels (or one and a half) per logical one.
// Usage: make-images <source folder>   (writes image/ and dist/icons/ there)

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <cmath>
#include <functional>

namespace {

const QColor brandBlue(0x24, 0x5e, 0xb8);
const QColor brandTeal(0x17, 0xa6, 0x98);

struct Scene
{
    QColor skyTop, skyBottom, hill, hillBack, sun;
};

const Scene day { QColor(0x3f, 0x8f, 0xe6), QColor(0xbf, 0xe2, 0xff), QColor(0x3f, 0x9e, 0x4d),
    QColor(0x7c, 0xbf, 0x6a), QColor(0xff, 0xd1, 0x3e) };
const Scene sunset { QColor(0xee, 0x6b, 0x4d), QColor(0xff, 0xcf, 0x86), QColor(0x5c, 0x3d, 0x67),
    QColor(0x8e, 0x5a, 0x7a), QColor(0xff, 0xf0, 0xb5) };
const Scene night { QColor(0x1b, 0x26, 0x52), QColor(0x47, 0x5c, 0x9c), QColor(0x24, 0x36, 0x45),
    QColor(0x38, 0x4e, 0x63), QColor(0xf4, 0xf0, 0xcf) };

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void drawLandscape(QPainter &p, const QRectF &r, const Scene &s)
{
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(r, r.width() * 0.03, r.width() * 0.03);
    p.setClipPath(clip);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, s.skyTop);
    sky.setColorAt(1, s.skyBottom);
    p.fillRect(r, sky);
    p.setPen(Qt::NoPen);
    QRadialGradient glow(
        QPointF(r.left() + r.width() * 0.74, r.top() + r.height() * 0.3), r.height() * 0.32);
    glow.setColorAt(0, s.sun);
    glow.setColorAt(0.45, s.sun);
    glow.setColorAt(0.5, QColor(s.sun.red(), s.sun.green(), s.sun.blue(), 70));
    glow.setColorAt(1, Qt::transparent);
    p.setBrush(glow);
    p.drawEllipse(glow.center(), glow.radius(), glow.radius());
    p.setBrush(s.hillBack);
    p.drawEllipse(QPointF(r.left() + r.width() * 0.85, r.bottom() + r.height() * 0.25),
        r.width() * 0.55, r.height() * 0.62);
    p.setBrush(s.hill);
    p.drawEllipse(QPointF(r.left() + r.width() * 0.22, r.bottom() + r.height() * 0.3),
        r.width() * 0.62, r.height() * 0.6);
    p.restore();
}

// A printed photograph: white border, soft shadow, a landscape inside.
void drawCard(QPainter &p, const QPointF &centre, const QSizeF &size, qreal angle,
    const Scene &scene, qreal shadow = 1.0)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    const QRectF r(QPointF(-size.width() / 2, -size.height() / 2), size);
    const qreal radius = size.width() * 0.045;
    const qreal lift = size.width() * 0.025;
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, int(18 * shadow)));
        p.drawRoundedRect(
            r.translated(lift * 0.4, lift)
                .adjusted(-i * lift * 0.5, -i * lift * 0.5, i * lift * 0.5, i * lift * 0.5),
            radius + i, radius + i);
    }
    p.setBrush(QColor(0xfd, 0xfd, 0xfb));
    p.setPen(QPen(QColor(0, 0, 0, 40), size.width() * 0.006));
    p.drawRoundedRect(r, radius, radius);
    const qreal border = size.width() * 0.07;
    drawLandscape(p, r.adjusted(border, border, -border, -border), scene);
    p.restore();
}

void drawClock(QPainter &p, const QPointF &centre, qreal radius)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawEllipse(centre + QPointF(0, radius * 0.08), radius * 1.04, radius * 1.04);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius, radius);
    QLinearGradient face(centre - QPointF(0, radius), centre + QPointF(0, radius));
    face.setColorAt(0, QColor(0xff, 0xb3, 0x3b));
    face.setColorAt(1, QColor(0xf5, 0x7f, 0x17));
    p.setBrush(face);
    p.drawEllipse(centre, radius * 0.84, radius * 0.84);
    QPen hand(Qt::white, radius * 0.16, Qt::SolidLine, Qt::RoundCap);
    p.setPen(hand);
    p.drawLine(centre, centre + QPointF(0, -radius * 0.58));
    p.drawLine(centre, centre + QPointF(radius * 0.42, radius * 0.12));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius * 0.12, radius * 0.12);
    p.restore();
}

// The program's mark on a 256 x 256 grid: three photographs fanned out on a
// blue tile, and a clock for "sorted by the time they were taken".
void drawLogo(QPainter &p, const QRectF &target, bool tile = true)
{
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / 256.0, target.height() / 256.0);
    if (tile) {
        const QRectF r(12, 12, 232, 232);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40));
        p.drawRoundedRect(r.translated(0, 4), 52, 52);
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, brandBlue.lighter(118));
        g.setColorAt(1, brandTeal);
        p.setBrush(g);
        p.drawRoundedRect(r, 50, 50);
        QLinearGradient shine(r.topLeft(), QPointF(r.left(), r.center().y()));
        shine.setColorAt(0, QColor(255, 255, 255, 60));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(shine);
        p.drawRoundedRect(r.adjusted(3, 3, -3, -r.height() / 2), 48, 48);
    }
    drawCard(p, QPointF(112, 116), QSizeF(132, 104), -16, night);
    drawCard(p, QPointF(124, 120), QSizeF(132, 104), -5, sunset);
    drawCard(p, QPointF(136, 130), QSizeF(136, 108), 7, day);
    drawClock(p, QPointF(186, 184), 40);
    p.restore();
}

QImage makeLogo(int size, bool tile = true)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    drawLogo(p, QRectF(0, 0, size, size), tile);
    return image;
}

// A glossy disc in the colours given, with a white mark drawn on it (in the
// 64 x 64 frame): START, STOP and Preview share one look.
QImage makeButton(int size, const QColor &light, const QColor &dark, const QColor &rim,
    const std::function<void(QPainter &, const QColor &)> &mark)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    const QRectF disc(5, 4, 54, 54);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(disc.translated(0, 2));
    QLinearGradient body(disc.topLeft(), disc.bottomLeft());
    body.setColorAt(0, light);
    body.setColorAt(1, dark);
    p.setBrush(body);
    p.setPen(QPen(rim, 1.2));
    p.drawEllipse(disc);
    QLinearGradient gloss(disc.topLeft(), QPointF(disc.left(), disc.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(QRectF(disc.left() + 9, disc.top() + 3, disc.width() - 18, disc.height() * 0.45));
    // A soft shadow first, then the mark itself.
    p.save();
    p.translate(0.5, 1.5);
    mark(p, QColor(0, 0, 0, 45));
    p.restore();
    mark(p, Qt::white);
    return image;
}

QImage makeStart(int size)
{
    return makeButton(size, QColor(0x5f, 0xd8, 0x6f), QColor(0x1d, 0x96, 0x47),
        QColor(0x16, 0x7a, 0x39), [](QPainter &p, const QColor &colour) {
            // The play mark, with softened corners.
            QPainterPath play;
            play.moveTo(25, 18);
            play.lineTo(46, 31);
            play.lineTo(25, 44);
            play.closeSubpath();
            p.setBrush(colour);
            p.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(play);
        });
}

QImage makeStop(int size)
{
    return makeButton(size, QColor(0xf2, 0x6d, 0x5b), QColor(0xc0, 0x2a, 0x1f),
        QColor(0x9a, 0x1f, 0x17), [](QPainter &p, const QColor &colour) {
            p.setBrush(colour);
            p.setPen(QPen(colour, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawRect(QRectF(22, 21, 20, 20));
        });
}

QImage makePreview(int size)
{
    return makeButton(size, QColor(0x6f, 0xa8, 0xf0), QColor(0x24, 0x5e, 0xb8),
        QColor(0x1b, 0x4a, 0x94), [](QPainter &p, const QColor &colour) {
            // A magnifying glass.
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(colour, 4.5));
            p.drawEllipse(QPointF(29, 28), 9, 9);
            p.setPen(QPen(colour, 6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(36, 35), QPointF(43, 42));
        });
}

QImage makeBadge(
    const QString &text, const QColor &colour, const QString &family, int pixelSize, int scale)
{
    const int size = 32;
    QImage image = canvas(size * scale, size * scale);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.scale(scale, scale);
    const QRectF r(1, 3, 30, 26);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(r.translated(0, 1), 6, 6);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, colour.lighter(125));
    g.setColorAt(1, colour);
    p.setBrush(g);
    p.setPen(QPen(colour.darker(130), 1));
    p.drawRoundedRect(r, 6, 6);
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r.adjusted(0, -1, 0, 0), Qt::AlignCenter, text);
    return image;
}

QImage makeSplash(int scale)
{
    const int w = 400, h = 250;
    QImage image(w * scale, h * scale, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.scale(scale, scale);

    QLinearGradient paper(0, 0, 0, h);
    paper.setColorAt(0, QColor(0xfa, 0xfb, 0xfd));
    paper.setColorAt(1, QColor(0xe8, 0xee, 0xf5));
    p.fillRect(QRectF(0, 0, w, h), paper);

    // Header band in the colours of the mark.
    const QRectF band(0, 0, w, 116);
    QLinearGradient bandFill(band.topLeft(), band.topRight());
    bandFill.setColorAt(0, brandBlue);
    bandFill.setColorAt(1, brandTeal);
    p.fillRect(band, bandFill);
    p.fillRect(QRectF(0, band.bottom(), w, 2), QColor(0, 0, 0, 25));
    p.fillRect(QRectF(0, band.bottom() - 1, w, 1), QColor(255, 255, 255, 60));

    // Photographs lying across the edge of the band, right-hand side.
    drawCard(p, QPointF(384, 60), QSizeF(92, 72), 14, night, 1.3);
    drawCard(p, QPointF(357, 106), QSizeF(100, 78), -9, sunset, 1.3);
    drawCard(p, QPointF(376, 152), QSizeF(96, 75), 6, day, 1.3);

    drawLogo(p, QRectF(18, 20, 78, 78));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(42);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 50));
    p.drawText(QPointF(109, 69), QStringLiteral("Quilm"));
    p.setPen(Qt::white);
    p.drawText(QPointF(108, 67), QStringLiteral("Quilm"));

    QFont tagline(QStringLiteral("DejaVu Sans"));
    tagline.setPixelSize(13);
    p.setFont(tagline);
    p.setPen(QColor(255, 255, 255, 215));
    p.drawText(QPointF(110, 89), QStringLiteral("Photographs, sorted by time"));

    // The start-up progress bar is drawn at (0, 130) 150 x 20: give it a tray.
    const QRectF tray(-8, 125, 166, 30);
    p.setPen(QPen(QColor(0xc9, 0xd5, 0xe2), 1));
    p.setBrush(QColor(0xdf, 0xe7, 0xf0));
    p.drawRoundedRect(tray, 8, 8);

    QFont caption(QStringLiteral("DejaVu Sans"));
    caption.setPixelSize(11);
    p.setFont(caption);
    p.setPen(QColor(0x5b, 0x6b, 0x7d));
    p.drawText(
        QRectF(170, 125, 120, 30), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Starting up"));

    // Keep the foot plain: the status text is written there in black.
    p.setPen(QPen(QColor(0xc9, 0xd5, 0xe2), 1));
    p.drawLine(QPointF(0, h - 27.5), QPointF(w, h - 27.5));
    return image;
}

bool save(const QImage &image, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    QTextStream(stdout) << path << "\n";
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: make-images <source folder>\n";
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QString cjk = QStringLiteral("Noto Sans CJK SC");
    const QString latin = QStringLiteral("DejaVu Sans");

    struct Badge
    {
        const char *code;
        QString text;
        QColor colour;
        QString family;
        int pixelSize;
    };
    const Badge badges[] = {
        { "en", QStringLiteral("EN"), QColor(0x1f, 0x5f, 0xae), latin, 13 },
        { "zh", QStringLiteral("中"), QColor(0xc8, 0x1d, 0x32), cjk, 19 },
        { "de", QStringLiteral("DE"), QColor(0x3a, 0x3a, 0x3a), latin, 13 },
        { "fr", QStringLiteral("FR"), QColor(0x24, 0x4d, 0xa8), latin, 13 },
    };

    bool ok = true;
    for (int scale : { 1, 2 }) {
        const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png");
        auto picture = [&](const QString &name) {
            return root.filePath(QStringLiteral("image/") + name + suffix);
        };
        ok &= save(makeSplash(scale), picture(QStringLiteral("splash")));
        ok &= save(makeStart(64 * scale), picture(QStringLiteral("start")));
        ok &= save(makeStop(64 * scale), picture(QStringLiteral("stop")));
        ok &= save(makePreview(64 * scale), picture(QStringLiteral("preview")));
        ok &= save(makeLogo(64 * scale), picture(QStringLiteral("logoSmall")));
        for (const Badge &b : badges) {
            ok &= save(makeBadge(b.text, b.colour, b.family, b.pixelSize, scale),
                picture(QLatin1String(b.code)));
        }
    }
    for (int size : { 16, 32, 48, 64, 128, 256 }) {
        ok &= save(makeLogo(size),
            root.filePath(QStringLiteral("dist/icons/hicolor/%1x%1/apps/quilm.png").arg(size)));
    }
    return ok ? 0 : 1;
}
