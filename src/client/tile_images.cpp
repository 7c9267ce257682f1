// The letter-tile pictures: the built-in set drawn in code and sets read from bitmap strips.
#include "tile_images.h"

#include "game_facts.h"

#include "pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSet>

#include <cmath>
#include <utility>

namespace {

QPixmap transparentTile(qreal dpr)
{
    const int side = int(std::ceil(TileImages::kSize * dpr));
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A glyph centred on its ink rather than its font box, so every letter sits in the same spot.
QPainterPath centredText(const QString& text, const QFont& font, QPointF centre)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    path.translate(centre - ink.center());
    return path;
}

// The letter of a built-in tile, centred on the tile's face a little below its middle.
QPainterPath letterGlyph(int code)
{
    const QPointF centre(20.5, 21.5);
    return centredText(QString(TileImages::letterOf(code)), Pictures::font(24.0, QFont::Bold), centre);
}

// The letter's highlight: the same glyph in white, this far below it.
constexpr qreal kHighlightDrop = 0.9;

// The built-in set last drawn, kept for the next set of the same ratio: the main
// window and its board each hold one, and every glyph outline costs a font load.
// Dropped with the application, as pixmaps must not outlive it.
struct ClassicSet {
    qreal dpr = 0;
    std::array<QPixmap, TileImages::kCount> images;
};
ClassicSet* lastClassic = nullptr;

}

TileImages::TileImages(qreal dpr) { useClassic(dpr); }

void TileImages::useClassic(qreal dpr)
{
    if (dpr <= 0)
        dpr = 1.0;
    classic = true;
    if (lastClassic && lastClassic->dpr == dpr) {
        images = lastClassic->images; // shared, never drawn on
        classicDpr = 0;
        return;
    }
    // Drawn when first shown: a start paints its empty board without them.
    classicDpr = dpr;
}

void TileImages::drawClassic() const
{
    const qreal dpr = std::exchange(classicDpr, 0);
    if (lastClassic && lastClassic->dpr == dpr) {
        images = lastClassic->images;
        return;
    }
    images[0] = transparentTile(dpr);
    for (int code = 1; code < kCount; ++code) {
        QPixmap pixmap = transparentTile(dpr);
        QPainter painter(&pixmap);
        paintClassic(painter, code);
        painter.end();
        images[size_t(code)] = pixmap;
    }
    if (!lastClassic) {
        lastClassic = new ClassicSet;
        qAddPostRoutine([] {
            delete lastClassic;
            lastClassic = nullptr;
        });
    }
    *lastClassic = ClassicSet { dpr, images };
}

QRectF TileImages::letterInk(int code)
{
    if (code < 1 || code > 26)
        return {};
    const QRectF ink = letterGlyph(code).boundingRect();
    return ink.united(ink.translated(0.0, kHighlightDrop));
}

void TileImages::paintClassic(QPainter& painter, int code)
{
    if (code < 1 || code > 26)
        return;
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    // The face leaves a pixel all round, so tiles side by side stay apart and cast a shadow.
    const QRectF face(1.0, 1.0, 38.0, 38.0);
    constexpr qreal radius = 5.0;

    QPainterPath shadow;
    shadow.addRoundedRect(face.translated(0.8, 1.4), radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 90));
    painter.drawPath(shadow);

    QPainterPath body;
    body.addRoundedRect(face, radius, radius);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0.0, QColor(0xF7, 0xF8, 0xFA));
    fill.setColorAt(0.45, QColor(0xE4, 0xE6, 0xEA));
    fill.setColorAt(1.0, QColor(0xC3, 0xC7, 0xCE));
    painter.setBrush(fill);
    painter.drawPath(body);

    // Bevel: light along the top and left inside edge, shade along the bottom and right.
    painter.save();
    painter.setClipPath(body);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1.6));
    painter.drawPath(body.translated(1.0, 1.0));
    painter.setPen(QPen(QColor(60, 70, 85, 70), 1.6));
    painter.drawPath(body.translated(-1.0, -1.0));
    painter.restore();

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x5F, 0x67, 0x74), 1.0));
    painter.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);

    painter.setPen(Qt::NoPen);
    // One outline for the highlight and the letter: each outline is a font load.
    const QPainterPath glyph = letterGlyph(code);
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawPath(glyph.translated(0.0, kHighlightDrop));
    painter.setBrush(QColor(0x1A, 0x22, 0x2E));
    painter.drawPath(glyph);

    // Dearer letters get warmer numbers, so a rare tile stands out across the board.
    const int value = letterValue(code);
    painter.setFont(Pictures::font(9.0, QFont::Bold));
    painter.setPen(value >= 10 ? QColor(0xB0, 0x25, 0x1A)
            : value >= 5       ? QColor(0xA8, 0x5A, 0x00)
            : value >= 3       ? QColor(0x2A, 0x5C, 0x9E)
                               : QColor(0x47, 0x50, 0x5E));
    painter.drawText(QRectF(4.0, 2.5, 16.0, 11.0), Qt::AlignLeft | Qt::AlignVCenter, QString::number(value));
    painter.restore();
}

bool TileImages::loadStrip(const QString& bmpPath)
{
    QImage strip;
    if (!strip.load(bmpPath) || strip.isNull())
        return false;
    strip = strip.convertToFormat(QImage::Format_ARGB32);

    std::array<QPixmap, kCount> loaded;
    for (int i = 0; i < kCount; ++i) {
        QImage cell(kSize, kSize, QImage::Format_ARGB32);
        cell.fill(Qt::transparent);
        for (int y = 0; y < kSize && y < strip.height(); ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
            auto* to = reinterpret_cast<QRgb*>(cell.scanLine(y));
            for (int x = 0; x < kSize; ++x) {
                const int sx = kSize * i + x;
                if (sx >= strip.width())
                    break;
                const QRgb pixel = from[sx];
                to[x] = (pixel | 0xFF000000u) == kTransparentKey ? 0u : pixel;
            }
        }
        loaded[size_t(i)] = QPixmap::fromImage(std::move(cell));
    }
    images = std::move(loaded);
    classic = false;
    classicDpr = 0;
    return true;
}

const QPixmap& TileImages::tile(int code) const
{
    if (classicDpr > 0)
        drawClassic();
    if (code < 0 || code >= kCount)
        return images[0];
    return images[size_t(code)];
}

int TileImages::letterValue(int code) { return isLetterCode(code) ? ::letterValue(code) : 0; }

QChar TileImages::letterOf(int code)
{
    return isLetterCode(code) ? QChar(::letterOf(code)).toUpper() : QChar();
}

bool TileImages::isBuiltInName(const QString& name)
{
    return name.isEmpty() || name.compare(QLatin1String(kBuiltInName), Qt::CaseInsensitive) == 0;
}

QString TileImages::setNameOf(const QString& path)
{
    const QString file = QFileInfo(path).fileName();
    return file.left(file.size() - 4); // without ".bmp", whatever its case
}

namespace {

// The tile-set files of one folder, by name. The suffix is compared here rather
// than through a name filter, which would compile a regular expression at every start.
QStringList setFiles(const QString& folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    files.removeIf(
        [](const QString& file) { return !file.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive); });
    return files;
}

} // namespace

QStringList TileImages::setNames(const QStringList& folders)
{
    QStringList names;
    QSet<QString> seen;
    for (const QString& folder : folders)
        for (const QString& file : setFiles(folder)) {
            const QString name = setNameOf(file);
            if (isBuiltInName(name) || seen.contains(name.toLower()))
                continue;
            seen.insert(name.toLower());
            names.append(name);
        }
    return names;
}

QString TileImages::setPath(const QStringList& folders, const QString& name)
{
    // The name comes from the settings file, so it must not lead out of the folder.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.startsWith(QLatin1Char('.')))
        return {};
    for (const QString& folder : folders)
        for (const QString& file : setFiles(folder))
            if (setNameOf(file).compare(name, Qt::CaseInsensitive) == 0)
                return QDir(folder).filePath(file);
    return {};
}
