// Draws the extra tile sets shipped with the game ("Ivory" and "Neon") as bitmap strips:
// 27 cells of 41 x 41 in one 24-bit row, cell 0 empty, magenta for transparent.
// Usage: make_tilesets <output folder>
#include "pictures.h"
#include "tile_images.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

namespace {

constexpr int kSize = TileImages::kSize;
constexpr QRgb kMagenta = 0xFFFF00FF;

using TilePainter = std::function<void(QPainter&, int code)>;

QFont faceFont(const QStringList& families, qreal pixelSize, QFont::Weight weight)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(int(pixelSize));
    font.setWeight(weight);
    font.setStyleHint(QFont::AnyStyle, QFont::PreferAntialias);
    return font;
}

QPainterPath centredText(const QString& text, const QFont& font, QPointF centre)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    path.translate(centre - path.boundingRect().center());
    return path;
}

// A strip has no alpha: a pixel is either the key colour or solid. Mostly covered pixels
// are blended onto the board's colour, so the antialiased edges look right where the set is
// used; the rest become the key. Nothing drawn may end up as the key by accident.
QImage flatten(const QImage& drawn, const QColor& under)
{
    QImage flat(drawn.size(), QImage::Format_RGB888);
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb p = drawn.pixel(x, y);
            const int alpha = qAlpha(p);
            if (alpha < 100) {
                flat.setPixel(x, y, kMagenta);
                continue;
            }
            const auto mix
                = [alpha](int over, int base) { return (over * alpha + base * (255 - alpha) + 127) / 255; };
            QRgb solid
                = qRgb(mix(qRed(p), under.red()), mix(qGreen(p), under.green()), mix(qBlue(p), under.blue()));
            if ((solid | 0xFF000000u) == kMagenta)
                solid = qRgb(254, 0, 255);
            flat.setPixel(x, y, solid);
        }
    }
    return flat;
}

QImage drawStrip(const TilePainter& paintTile)
{
    QImage drawn(kSize * TileImages::kCount, kSize, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    for (int code = 1; code < TileImages::kCount; ++code) {
        painter.save();
        painter.translate(kSize * code, 0);
        painter.setClipRect(QRect(0, 0, kSize, kSize));
        paintTile(painter, code);
        painter.restore();
    }
    painter.end();
    return flatten(drawn.convertToFormat(QImage::Format_ARGB32), Pictures::boardColour());
}

// Cream tiles like old bone dominoes, with dark serif letters.
void paintIvory(QPainter& painter, int code)
{
    const QRectF face(1.0, 1.0, 38.0, 38.0);
    constexpr qreal radius = 4.0;

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 110));
    painter.drawRoundedRect(face.translated(0.8, 1.4), radius, radius);

    QLinearGradient fill(face.topLeft(), face.bottomRight());
    fill.setColorAt(0.0, QColor(0xFF, 0xF9, 0xE8));
    fill.setColorAt(0.55, QColor(0xF3, 0xE7, 0xC6));
    fill.setColorAt(1.0, QColor(0xDC, 0xC8, 0x9A));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(0x8A, 0x6A, 0x3A), 1.0));
    painter.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    // An inlaid line a little inside the edge.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xB8, 0x98, 0x60, 140), 0.8));
    painter.drawRoundedRect(face.adjusted(2.6, 2.6, -2.6, -2.6), radius - 1.5, radius - 1.5);

    const QStringList serif { QStringLiteral("Georgia"), QStringLiteral("DejaVu Serif"),
        QStringLiteral("Times New Roman") };
    const QPainterPath letter = centredText(
        QString(TileImages::letterOf(code)), faceFont(serif, 24, QFont::Bold), QPointF(20.5, 21.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 180));
    painter.drawPath(letter.translated(0.0, 0.9));
    painter.setBrush(QColor(0x2B, 0x1B, 0x0E));
    painter.drawPath(letter);

    painter.setFont(faceFont(serif, 9, QFont::Bold));
    painter.setPen(QColor(0x7A, 0x4A, 0x1E));
    painter.drawText(QRectF(4.0, 2.5, 16.0, 11.0), Qt::AlignLeft | Qt::AlignVCenter,
        QString::number(TileImages::letterValue(code)));
}

// Near-black glass tiles with letters that glow like tubes of light.
void paintNeon(QPainter& painter, int code)
{
    const QRectF face(1.0, 1.0, 38.0, 38.0);
    constexpr qreal radius = 6.0;
    const QColor tube(0x4D, 0xF3, 0xFF);
    const QColor pink(0xFF, 0x4F, 0xB8);

    QLinearGradient glass(face.topLeft(), face.bottomLeft());
    glass.setColorAt(0.0, QColor(0x22, 0x26, 0x38));
    glass.setColorAt(1.0, QColor(0x0C, 0x0E, 0x18));
    painter.setBrush(glass);
    painter.setPen(QPen(QColor(0x3A, 0x8C, 0xA8), 1.0));
    painter.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    const QStringList sans { QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans"),
        QStringLiteral("Arial") };
    const QPainterPath letter = centredText(
        QString(TileImages::letterOf(code)), faceFont(sans, 23, QFont::Bold), QPointF(20.5, 21.5));
    painter.save();
    painter.setClipPath([&] {
        QPainterPath clip;
        clip.addRoundedRect(face, radius, radius);
        return clip;
    }());
    // The glow: wide faint strokes under narrow bright ones.
    painter.setBrush(Qt::NoBrush);
    for (const auto& [width, alpha] : { std::pair { 7.0, 28 }, { 5.0, 45 }, { 3.2, 80 }, { 1.8, 130 } }) {
        QColor halo = tube;
        halo.setAlpha(alpha);
        painter.setPen(QPen(halo, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(letter);
    }
    painter.restore();
    painter.setPen(QPen(tube, 1.1));
    painter.setBrush(QColor(0xE8, 0xFD, 0xFF));
    painter.drawPath(letter);

    const QPainterPath value = centredText(QString::number(TileImages::letterValue(code)),
        faceFont(sans, 8, QFont::Bold), QPointF(code == 17 || code == 24 || code == 26 ? 9.0 : 7.0, 8.0));
    painter.setPen(QPen(QColor(pink.red(), pink.green(), pink.blue(), 90), 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(value);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xC2, 0xE6));
    painter.drawPath(value);
}

bool writeSet(const QDir& folder, const QString& name, const TilePainter& paintTile)
{
    const QString path = folder.filePath(name + QStringLiteral(".bmp"));
    if (!drawStrip(paintTile).save(path, "BMP")) {
        std::fprintf(stderr, "make_tilesets: cannot write %s\n", qPrintable(path));
        return false;
    }
    // Read back the way the game will, so a strip the game cannot use is never shipped.
    TileImages check;
    if (!check.loadStrip(path) || check.tile(1).toImage().pixelColor(20, 20).alpha() != 255
        || check.tile(0).toImage().pixelColor(20, 20).alpha() != 0) {
        std::fprintf(stderr, "make_tilesets: %s does not read back as a tile set\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_tilesets <output folder>\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make_tilesets: cannot create %s\n", argv[1]);
        return 1;
    }
    const bool ok = writeSet(folder, QStringLiteral("Ivory"), paintIvory)
        && writeSet(folder, QStringLiteral("Neon"), paintNeon);
    return ok ? 0 : 1;
}
