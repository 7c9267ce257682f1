// The game's pictures, drawn in code: one slate-blue look shared by board, panels and buttons.
#include "pictures.h"

#include "tile_images.h"

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace {

const QColor kSlateTop(0x26, 0x3A, 0x54);
const QColor kSlateBottom(0x1B, 0x2B, 0x40);

// A canvas of a logical size for a device pixel ratio; QPainter on it works in logical units.
QPixmap canvas(QSize logical, qreal dpr)
{
    if (dpr <= 0)
        dpr = 1.0;
    QPixmap pixmap(int(std::ceil(logical.width() * dpr)), int(std::ceil(logical.height() * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void beginPainting(QPainter& painter)
{
    painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

// --- Surface texture -------------------------------------------------------------------

uint32_t hash3(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B1u;
    h ^= x * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= y * 0xC2B2AE35u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float lattice(int x, int y, int periodX, int periodY, uint32_t seed)
{
    // Within the period (every place of a picture that does not tile) no division is needed.
    const auto wrap
        = [](int v, int period) { return v >= 0 && v < period ? v : ((v % period) + period) % period; };
    const int wx = wrap(x, periodX);
    const int wy = wrap(y, periodY);
    return float(hash3(uint32_t(wx), uint32_t(wy), seed) & 0xFFFFFF) / float(0xFFFFFF);
}

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

// Streaky slate: value noise of four octaves, each twice as fine as the last,
// repeating every periodX by periodY lattice steps of the first so a texture
// can tile; the sum is centred on 0. A scanline is worked out a lattice cell at
// a time: the lattice rows above and below are fetched only when the scanline
// crosses into a new lattice row, blended once per cell, and every column of
// the cell then takes one multiply-add per octave, in a loop the compiler
// turns into vector code.
class SlateNoise {
public:
    static constexpr int kOctaves = 4;

    SlateNoise(int width, float scaleX, int periodX, int periodY, uint32_t seed)
        : width_(width)
        , periodX_(periodX)
        , periodY_(periodY)
        , seed_(seed)
        , row_(std::size_t(std::max(0, width)))
    {
        for (int octave = 0; octave < kOctaves; ++octave) {
            Octave& o = octaves_[std::size_t(octave)];
            o.fraction.resize(std::size_t(width_));
            int cell = -1;
            for (int x = 0; x < width_; ++x) {
                const float u = float(x) * scaleX * float(1 << octave);
                const float fu = std::floor(u);
                o.fraction[std::size_t(x)] = smooth(u - fu);
                // Columns share a cell while u stays between two lattice points.
                for (; cell < int(fu); ++cell)
                    o.cellStart.push_back(x);
            }
            o.cellStart.push_back(width_);
            const std::size_t lattices = o.cellStart.size() + 1;
            o.above.resize(lattices);
            o.below.resize(lattices);
        }
    }

    // Works out scanline v (in lattice steps of the first octave); row() then holds each column's noise.
    void computeRow(float v)
    {
        float amplitude = 0.5f;
        for (int octave = 0; octave < kOctaves; ++octave, amplitude *= 0.5f) {
            Octave& o = octaves_[std::size_t(octave)];
            const float sv = v * float(1 << octave);
            const float fv = std::floor(sv);
            const int iv = int(fv);
            if (iv != o.latticeRow) {
                const int px = periodX_ << octave;
                const int py = periodY_ << octave;
                const uint32_t seed = seed_ + uint32_t(octave);
                // Going down one lattice row, the row below becomes the row above.
                const bool next = iv == o.latticeRow + 1;
                if (next)
                    o.above.swap(o.below);
                o.latticeRow = iv;
                for (std::size_t i = 0; i < o.above.size(); ++i) {
                    if (!next)
                        o.above[i] = lattice(int(i), iv, px, py, seed);
                    o.below[i] = lattice(int(i), iv + 1, px, py, seed);
                }
            }
            const float ty = smooth(sv - fv);
            float* row = row_.data();
            const float* fraction = o.fraction.data();
            for (std::size_t cell = 0; cell + 1 < o.cellStart.size(); ++cell) {
                const float left = o.above[cell] + (o.below[cell] - o.above[cell]) * ty;
                const float right = o.above[cell + 1] + (o.below[cell + 1] - o.above[cell + 1]) * ty;
                const float base = amplitude * (left - 0.5f);
                const float slope = amplitude * (right - left);
                // The first octave sets the row; the finer ones add to it.
                if (octave == 0)
                    for (int x = o.cellStart[cell]; x < o.cellStart[cell + 1]; ++x)
                        row[x] = base + slope * fraction[x];
                else
                    for (int x = o.cellStart[cell]; x < o.cellStart[cell + 1]; ++x)
                        row[x] += base + slope * fraction[x];
            }
        }
    }

    const std::vector<float>& row() const { return row_; }

private:
    struct Octave {
        std::vector<float> fraction; // each column's smoothed place between its lattice points
        std::vector<int> cellStart; // the first column of each lattice cell, then the width
        std::vector<float> above;
        std::vector<float> below;
        int latticeRow = std::numeric_limits<int>::min();
    };

    int width_;
    int periodX_;
    int periodY_;
    uint32_t seed_;
    std::array<Octave, kOctaves> octaves_;
    std::vector<float> row_;
};

// Faint grain, -3 to +4 on every channel: a hash of the pixel's column and its scanline's
// key rather than a stream, so that no pixel waits for the one before and the colour loop
// becomes vector code.
uint32_t grainRowKey(uint32_t seed, int y) { return hash3(0x6A09E667u, uint32_t(y), seed ^ 0xA5A5u); }

int grainAt(uint32_t rowKey, uint32_t x)
{
    uint32_t h = (x + 1u) * 0x9E3779B1u ^ rowKey;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    return int(h >> 29) - 3;
}

// Fills an image with slate: a vertical shade, broad mottling and faint grain, worked out
// for every device pixel. The noise repeats over the image when tileable is set.
__attribute__((target_clones("avx2", "default"))) QImage slateImage(
    QSize logical, qreal dpr, bool tileable, uint32_t seed)
{
    if (dpr <= 0)
        dpr = 1.0;
    const int width = int(std::ceil(logical.width() * dpr));
    const int height = int(std::ceil(logical.height() * dpr));
    // Opaque: a pixmap made from it need not look through every pixel for transparency.
    QImage image(width, height, QImage::Format_RGB32);
    // Broad features streaked sideways, about 48 by 14 logical pixels.
    const float cellX = 48.0f;
    const float cellY = 14.0f;
    const int periodX = std::max(1, int(std::lround(logical.width() / cellX)));
    const int periodY = std::max(1, int(std::lround(logical.height() / cellY)));
    const float scaleX = tileable ? float(periodX) / float(width) : 1.0f / (cellX * float(dpr));
    const float scaleY = tileable ? float(periodY) / float(height) : 1.0f / (cellY * float(dpr));
    const int wrapX = tileable ? periodX : 1 << 20;
    const int wrapY = tileable ? periodY : 1 << 20;
    SlateNoise noise(width, scaleX, wrapX, wrapY, seed);
    const float top[3] = { float(kSlateTop.redF()), float(kSlateTop.greenF()), float(kSlateTop.blueF()) };
    const float bottom[3]
        = { float(kSlateBottom.redF()), float(kSlateBottom.greenF()), float(kSlateBottom.blueF()) };
    // A channel's mottled value, then its grain: each clamped to a byte.
    const auto channel = [](float value, int grain) {
        return uint32_t(std::clamp(std::clamp(int(value + 0.5f), 0, 255) + grain, 0, 255));
    };
    for (int y = 0; y < height; ++y) {
        const float shade = tileable ? 0.5f : float(y) / float(std::max(1, height - 1));
        float base[3];
        for (int c = 0; c < 3; ++c)
            base[c] = (top[c] + (bottom[c] - top[c]) * shade) * 255.0f;
        noise.computeRow(float(y) * scaleY);
        const uint32_t rowKey = grainRowKey(seed, y);
        const float* mottle = noise.row().data();
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const float k = 1.0f + 0.22f * mottle[x];
            const int grain = grainAt(rowKey, uint32_t(x));
            line[x] = 0xFF000000u | channel(base[0] * k, grain) << 16 | channel(base[1] * k, grain) << 8
                | channel(base[2] * k, grain);
        }
    }
    image.setDevicePixelRatio(dpr);
    return image;
}

// A sunken, rounded well: darker floor, shadow under its upper lip, light on its lower lip.
void paintWell(QPainter& painter, const QRectF& rect, qreal radius)
{
    QPainterPath well;
    well.addRoundedRect(rect, radius, radius);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 20));
    painter.drawPath(well.translated(0.0, 1.0));

    QLinearGradient floor(rect.topLeft(), rect.bottomLeft());
    floor.setColorAt(0.0, QColor(0x0C, 0x16, 0x24, 150));
    floor.setColorAt(1.0, QColor(0x0C, 0x16, 0x24, 95));
    painter.setBrush(floor);
    painter.drawPath(well);

    painter.save();
    painter.setClipPath(well);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 110), 3.0));
    painter.drawPath(well.translated(1.2, 1.6));
    painter.restore();
}

// A glossy rounded-rectangle button face in a colour, held down when down is set.
void paintButtonFace(QPainter& painter, const QRectF& rect, const QColor& colour, bool down)
{
    const qreal radius = std::min(rect.height() / 2.0, 7.0);
    QPainterPath shape;
    shape.addRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -1.5), radius, radius);

    if (!down) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 90));
        painter.drawPath(shape.translated(0.0, 1.0));
    }
    const QRectF face = shape.boundingRect();
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0.0, colour.lighter(down ? 105 : 135));
    fill.setColorAt(0.5, colour.lighter(down ? 95 : 108));
    fill.setColorAt(1.0, colour.darker(down ? 125 : 118));
    painter.setBrush(fill);
    painter.setPen(QPen(colour.darker(190), 1.0));
    painter.drawPath(down ? shape.translated(0.0, 1.0) : shape);

    if (!down) {
        QPainterPath gloss;
        const QRectF top = face.adjusted(1.5, 1.5, -1.5, -face.height() / 2.0);
        gloss.addRoundedRect(top, radius - 1.5, radius - 1.5);
        QLinearGradient shine(top.topLeft(), top.bottomLeft());
        shine.setColorAt(0.0, QColor(255, 255, 255, 110));
        shine.setColorAt(1.0, QColor(255, 255, 255, 10));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shine);
        painter.drawPath(gloss);
    }
}

// White caption with a dark drop line, readable on any of the button colours.
void paintCaption(QPainter& painter, const QRectF& rect, const QString& text, qreal pixelSize, bool down)
{
    painter.setFont(Pictures::font(pixelSize, QFont::Bold));
    const QRectF area = rect.translated(0.0, down ? 1.0 : 0.0);
    painter.setPen(QColor(0, 0, 0, 120));
    painter.drawText(area.translated(0.0, 1.0), Qt::AlignCenter, text);
    painter.setPen(Qt::white);
    painter.drawText(area, Qt::AlignCenter, text);
}

void paintSparkle(QPainter& painter, QPointF centre, qreal size)
{
    QPainterPath star;
    const qreal waist = size * 0.22;
    star.moveTo(centre + QPointF(0, -size));
    star.quadTo(centre + QPointF(waist, -waist), centre + QPointF(size, 0));
    star.quadTo(centre + QPointF(waist, waist), centre + QPointF(0, size));
    star.quadTo(centre + QPointF(-waist, waist), centre + QPointF(-size, 0));
    star.quadTo(centre + QPointF(-waist, -waist), centre + QPointF(0, -size));
    painter.drawPath(star);
}

// --- Bonus pictures ------------------------------------------------------------------------

void paintPotion(QPainter& painter, const QColor& light, const QColor& mid, const QColor& deep,
    const QString& mark, const QColor& markColour)
{
    const QColor glass(0x2A, 0x14, 0x08);
    const QPointF centre(8.0, 10.0);
    constexpr qreal radius = 5.9;

    QPainterPath flask;
    flask.addEllipse(centre, radius, radius);
    QPainterPath neck;
    neck.addRect(QRectF(5.9, 2.0, 4.2, 4.0));
    flask = flask.united(neck);

    // A pale rim keeps the flask's outline visible on the dark board.
    painter.setPen(QPen(QColor(255, 255, 255, 90), 2.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flask);

    QRadialGradient liquid(centre + QPointF(-2.0, -2.4), radius * 1.7);
    liquid.setColorAt(0.0, light);
    liquid.setColorAt(0.5, mid);
    liquid.setColorAt(1.0, deep);
    painter.setPen(QPen(glass, 1.0));
    painter.setBrush(liquid);
    painter.drawPath(flask);

    painter.setPen(QPen(QColor(0x3B, 0x22, 0x10), 0.8));
    painter.setBrush(QColor(0xC0, 0x86, 0x4C));
    painter.drawRoundedRect(QRectF(5.1, 0.4, 5.8, 2.6), 0.8, 0.8);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawEllipse(QRectF(3.6, 6.0, 2.4, 1.8));

    // The multiplier, hinted text so it stays legible at sixteen pixels.
    painter.setFont(Pictures::font(8.0, QFont::Bold));
    const QRectF label(1.5, 6.5, 13.4, 8.0);
    painter.setPen(
        markColour == QColor(Qt::white) ? QColor(0x50, 0x00, 0x00, 200) : QColor(255, 255, 255, 140));
    painter.drawText(label.translated(0.0, 0.7), Qt::AlignCenter, mark);
    painter.setPen(markColour);
    painter.drawText(label, Qt::AlignCenter, mark);
}

void paintSpellBook(QPainter& painter)
{
    const QColor outline(0x1C, 0x0B, 0x2A);
    // Pages peeking out at the right and the bottom
    painter.setPen(QPen(outline, 0.9));
    painter.setBrush(QColor(0xF4, 0xEB, 0xD0));
    painter.drawRoundedRect(QRectF(3.6, 2.2, 11.4, 12.8), 1.2, 1.2);
    painter.setPen(QPen(QColor(0xB8, 0xA8, 0x86), 0.6));
    painter.drawLine(QPointF(14.0, 4.0), QPointF(14.0, 14.0));
    painter.drawLine(QPointF(5.0, 14.1), QPointF(14.0, 14.1));

    // Cover
    const QRectF cover(1.2, 1.0, 12.0, 12.8);
    QLinearGradient leather(cover.topLeft(), cover.bottomRight());
    leather.setColorAt(0.0, QColor(0x9C, 0x4D, 0xCC));
    leather.setColorAt(1.0, QColor(0x4A, 0x14, 0x8C));
    painter.setPen(QPen(outline, 1.0));
    painter.setBrush(leather);
    painter.drawRoundedRect(cover, 1.6, 1.6);
    // Spine
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2E, 0x0B, 0x5A, 200));
    painter.drawRect(QRectF(1.7, 1.5, 2.0, 11.8));
    // Gold corner trims and a star
    const QColor gold(0xFF, 0xD5, 0x4F);
    painter.setPen(QPen(gold, 0.9));
    painter.drawLine(QPointF(10.4, 2.0), QPointF(12.3, 2.0));
    painter.drawLine(QPointF(12.3, 2.0), QPointF(12.3, 3.9));
    painter.drawLine(QPointF(10.4, 12.8), QPointF(12.3, 12.8));
    painter.drawLine(QPointF(12.3, 12.8), QPointF(12.3, 10.9));
    painter.setPen(QPen(QColor(0x6B, 0x4A, 0x00), 0.5));
    painter.setBrush(gold);
    paintSparkle(painter, QPointF(8.0, 7.4), 4.2);
}

// --- Team balls ----------------------------------------------------------------------------

void paintBall(QPainter& painter, const QColor& colour, const QString& digit)
{
    painter.setPen(Qt::NoPen);
    QRadialGradient shadow(QPointF(9.5, 18.6), 7.0);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 110));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setBrush(shadow);
    painter.drawEllipse(QPointF(9.5, 18.6), 7.0, 1.6);

    const QPointF centre(9.5, 9.0);
    constexpr qreal radius = 8.6;
    QRadialGradient body(centre + QPointF(-3.0, -3.5), radius * 1.7);
    body.setColorAt(0.0, colour.lighter(175));
    body.setColorAt(0.35, colour);
    body.setColorAt(1.0, colour.darker(230));
    painter.setPen(QPen(colour.darker(280), 0.9));
    painter.setBrush(body);
    painter.drawEllipse(centre, radius, radius);

    painter.setPen(Qt::NoPen);
    QRadialGradient gloss(centre + QPointF(-2.5, -4.6), 4.5);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 200));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(gloss);
    painter.drawEllipse(centre + QPointF(-2.3, -4.3), 4.6, 2.8);

    QPainterPath text;
    text.addText(0, 0, Pictures::font(11.0, QFont::Black), digit);
    text.translate(centre + QPointF(0.2, 0.6) - text.boundingRect().center());
    painter.setBrush(QColor(0, 0, 0, 120));
    painter.drawPath(text.translated(0.0, 0.9));
    painter.setBrush(Qt::white);
    painter.drawPath(text);
}

}

namespace Pictures {

QColor boardColour() { return kSlateBottom; }

QFont baseFont()
{
    QFont face = QGuiApplication::font();
    face.setFamilies({ QStringLiteral("Segoe UI"), QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans"),
        QStringLiteral("Helvetica Neue"), QStringLiteral("Arial") });
    face.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    return face;
}

QFont font(qreal pixelSize, QFont::Weight weight)
{
    QFont face = baseFont();
    face.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    face.setWeight(weight);
    return face;
}

QPixmap boardBackground(qreal dpr)
{
    QImage surface = slateImage(kBoardBackgroundSize, dpr, false, 0x5EEDu);
    QPainter painter(&surface);
    beginPainting(painter);

    // Light pooling in the middle of the board, edges a shade darker.
    QRadialGradient vignette(QPointF(260.0, 170.0), 340.0);
    vignette.setColorAt(0.0, QColor(255, 255, 255, 14));
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 70));
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(kBoardBackgroundSize)), vignette);

    // Every cell's well is the same picture; drawn once, placed 117 times.
    QPixmap well = canvas(QSize(41, 41), dpr);
    QPainter wellPainter(&well);
    beginPainting(wellPainter);
    paintWell(wellPainter, QRectF(3.0, 3.0, 35.0, 35.0), 5.0);
    wellPainter.end();
    for (int c = 0; c < 13; ++c)
        for (int r = 0; r < 9; ++r)
            painter.drawPixmap(QPointF(40.0 * c, 40.0 * r), well);
    painter.end();
    return QPixmap::fromImage(std::move(surface)); // taken over, not copied
}

QPixmap bonusPicture(int kind, qreal dpr)
{
    QPixmap pixmap = canvas(kBonusSize, dpr);
    QPainter painter(&pixmap);
    beginPainting(painter);
    switch (kind) {
    case YellowPotion:
        paintPotion(painter, QColor(0xFF, 0xFD, 0xC8), QColor(0xFF, 0xD6, 0x2E), QColor(0xC7, 0x8A, 0x00),
            QStringLiteral("2x"), QColor(0x3A, 0x22, 0x00));
        break;
    case RedPotion:
        paintPotion(painter, QColor(0xFF, 0xA8, 0x98), QColor(0xE5, 0x2A, 0x2A), QColor(0x8A, 0x00, 0x10),
            QStringLiteral("3x"), Qt::white);
        break;
    case SpellBook:
        paintSpellBook(painter);
        break;
    default:
        break;
    }
    painter.end();
    return pixmap;
}

QPixmap wand(qreal dpr)
{
    QPixmap pixmap = canvas(kWandSize, dpr);
    QPainter painter(&pixmap);
    beginPainting(painter);

    const QPointF tip(6.0, 6.0);
    const QPointF end(25.0, 25.0);
    // A pale halo keeps the dark shaft visible on the dark board as well as on a tile.
    painter.setPen(QPen(QColor(255, 255, 255, 170), 6.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tip, end);
    painter.setPen(QPen(QColor(0x16, 0x16, 0x1C), 4.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tip, end);
    painter.setPen(QPen(QColor(0x6A, 0x6A, 0x80), 1.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tip + QPointF(3.0, 2.2), end + QPointF(-2.4, -3.2));
    // Silver tips at both ends.
    painter.setPen(QPen(QColor(0xF2, 0xF2, 0xF6), 4.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tip, tip + QPointF(3.5, 3.5));
    painter.drawLine(end, end - QPointF(2.5, 2.5));

    QRadialGradient glow(tip, 7.0);
    glow.setColorAt(0.0, QColor(255, 244, 170, 240));
    glow.setColorAt(0.5, QColor(255, 220, 90, 120));
    glow.setColorAt(1.0, QColor(255, 220, 80, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(tip, 7.0, 7.0);
    painter.setPen(QPen(QColor(0x8A, 0x5A, 0x00), 0.7));
    painter.setBrush(QColor(0xFF, 0xE0, 0x55));
    paintSparkle(painter, tip - QPointF(0.5, 0.5), 5.8);
    painter.setPen(QPen(QColor(0x8A, 0x5A, 0x00), 0.4));
    painter.setBrush(Qt::white);
    paintSparkle(painter, QPointF(15.0, 3.6), 2.4);
    paintSparkle(painter, QPointF(3.6, 15.0), 2.0);
    painter.end();
    return pixmap;
}

QPixmap wordButton(WordButton which, qreal dpr, bool down)
{
    QPixmap pixmap = canvas(kWordButtonSize, dpr);
    QPainter painter(&pixmap);
    beginPainting(painter);
    const QRectF rect(QPointF(0, 0), QSizeF(kWordButtonSize));
    const bool enter = which == WordButton::Enter;
    paintButtonFace(painter, rect, enter ? QColor(0x2E, 0x9E, 0x4F) : QColor(0xC8, 0x4A, 0x32), down);

    // A small symbol before the caption: a cross for Clear, a return arrow for Enter.
    const qreal shift = down ? 1.0 : 0.0;
    const QPointF mark(25.0, 12.0 + shift);
    painter.setBrush(Qt::NoBrush);
    for (int pass = 0; pass < 2; ++pass) {
        const QPointF offset = pass == 0 ? QPointF(0.0, 1.0) : QPointF();
        painter.setPen(QPen(pass == 0 ? QColor(0, 0, 0, 120) : QColor(Qt::white), 2.0, Qt::SolidLine,
            Qt::RoundCap, Qt::RoundJoin));
        if (enter) {
            QPainterPath arrow;
            arrow.moveTo(mark + offset + QPointF(4.0, -5.0));
            arrow.lineTo(mark + offset + QPointF(4.0, 1.5));
            arrow.lineTo(mark + offset + QPointF(-4.5, 1.5));
            arrow.moveTo(mark + offset + QPointF(-1.5, -1.5));
            arrow.lineTo(mark + offset + QPointF(-4.5, 1.5));
            arrow.lineTo(mark + offset + QPointF(-1.5, 4.5));
            painter.drawPath(arrow);
        } else {
            painter.drawLine(mark + offset + QPointF(-3.5, -3.5), mark + offset + QPointF(3.5, 3.5));
            painter.drawLine(mark + offset + QPointF(-3.5, 3.5), mark + offset + QPointF(3.5, -3.5));
        }
    }
    paintCaption(painter, rect.adjusted(30.0, 0.0, -12.0, -1.0),
        enter ? QStringLiteral("Enter") : QStringLiteral("Clear"), 13.0, down);
    painter.end();
    return pixmap;
}

QPixmap startButton(qreal dpr, bool down, QSize size)
{
    QPixmap pixmap = canvas(size, dpr);
    QPainter painter(&pixmap);
    beginPainting(painter);
    const QRectF rect(QPointF(0, 0), QSizeF(size));
    paintButtonFace(painter, rect, QColor(0xE0, 0x9A, 0x12), down);

    const qreal shift = down ? 1.0 : 0.0;
    const qreal h = rect.height();
    const QPointF play(h * 0.5, h / 2.0 - 0.5 + shift);
    QPainterPath triangle;
    triangle.moveTo(play + QPointF(-h * 0.13, -h * 0.2));
    triangle.lineTo(play + QPointF(h * 0.2, 0.0));
    triangle.lineTo(play + QPointF(-h * 0.13, h * 0.2));
    triangle.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 110));
    painter.drawPath(triangle.translated(0.0, 1.0));
    painter.setBrush(Qt::white);
    painter.drawPath(triangle);

    paintCaption(painter, rect.adjusted(h * 0.75, 0.0, -h * 0.3, -1.0), QStringLiteral("Start Game"),
        std::clamp(h * 0.43, 10.0, 16.0), down);
    painter.end();
    return pixmap;
}

QPixmap teamBall(int team, qreal dpr)
{
    QPixmap pixmap = canvas(kTeamBallSize, dpr);
    QPainter painter(&pixmap);
    beginPainting(painter);
    if (team == 1)
        paintBall(painter, QColor(0x2F, 0x7B, 0xE8), QStringLiteral("1"));
    else if (team == 2)
        paintBall(painter, QColor(0xE8, 0x4A, 0x2F), QStringLiteral("2"));
    painter.end();
    return pixmap;
}

QPixmap wordSlot(qreal dpr)
{
    QPixmap pixmap = canvas(kWordSlotSize, dpr);
    QPainter painter(&pixmap);
    beginPainting(painter);
    paintWell(painter, QRectF(2.5, 2.5, 35.0, 35.0), 5.0);
    painter.end();
    return pixmap;
}

QPixmap panelTexture(qreal dpr)
{
    return QPixmap::fromImage(slateImage(kPanelTextureSize, dpr, true, 0xFACEu));
}

QPixmap panelBackground(QSize size, qreal dpr)
{
    if (size.isEmpty())
        return canvas(QSize(1, 1), dpr);
    QImage surface = slateImage(size, dpr, false, 0xBEEFu);
    QPainter painter(&surface);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    QLinearGradient light(area.topLeft(), area.bottomLeft());
    light.setColorAt(0.0, QColor(255, 255, 255, 18));
    light.setColorAt(0.3, QColor(255, 255, 255, 0));
    light.setColorAt(1.0, QColor(0, 0, 0, 40));
    painter.fillRect(area, light);
    painter.end();
    return QPixmap::fromImage(std::move(surface)); // taken over, not copied
}

}
