// Build-time tool: draws the program's icon, a golden letter tile marked "L" on a rounded navy
// square, as PNGs in the freedesktop sizes and as a scalable SVG. Run by hand when the icon
// should change (cmake --build <build> --target lexmire_icons); the result is committed.
//
//   QT_QPA_PLATFORM=offscreen make_icons resources/icons
#include "desktop_identity.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The scalable picture is the full-detail design on this canvas.
constexpr int kSvgCanvas = 512;
// The sizes of kPixelLayouts are drawn pixel by pixel; the larger ones from the full design,
// which from this size up also shows the tile's value and the board behind it.
constexpr int kFineDetailFrom = 64;

const QColor kNavyEdge(0x0A, 0x10, 0x3A);
const QColor kNavyTop(0x2C, 0x44, 0x96);
const QColor kNavyBottom(0x12, 0x1C, 0x52);
const QColor kGoldEdge(0x8A, 0x62, 0x0E);
const QColor kGoldTop(0xFF, 0xE6, 0x8C);
const QColor kGoldMiddle(0xF2, 0xC8, 0x50);
const QColor kGoldBottom(0xD2, 0x9E, 0x2C);
const QColor kInk(0x0E, 0x18, 0x5A);
const QColor kValueInk(0x6B, 0x48, 0x00);

// One filled shape of the icon: a solid colour (one stop) or a gradient from `from` to `to`.
// Everything is a fill, even edges and highlights, so the PNG and the SVG agree exactly.
struct Layer {
    QPainterPath path;
    QGradientStops stops;
    QPointF from;
    QPointF to;
};

Layer solid(const QPainterPath& path, const QColor& colour) { return { path, { { 0.0, colour } }, {}, {} }; }

Layer vertical(const QPainterPath& path, const QRectF& span, const QGradientStops& stops)
{
    return { path, stops, span.topLeft(), span.bottomLeft() };
}

QPainterPath roundedRect(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// The band left along one side when a shape is taken away from itself moved by `shift`.
QPainterPath edgeBand(const QPainterPath& shape, QPointF shift)
{
    return shape.subtracted(shape.translated(shift));
}

QPainterPath glyph(const QString& text, qreal inkHeight, QPointF inkCentre)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(256);
    font.setWeight(QFont::Bold);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    QTransform fit;
    fit.translate(inkCentre.x(), inkCentre.y());
    fit.scale(inkHeight / ink.height(), inkHeight / ink.height());
    fit.translate(-ink.center().x(), -ink.center().y());
    return fit.map(path);
}

// An L as one outline: a stem and a foot that shares the stem's left and bottom edges.
QPainterPath letterL(const QRectF& stem, const QRectF& foot)
{
    QPainterPath path;
    path.moveTo(stem.topLeft());
    path.lineTo(stem.topRight());
    path.lineTo(stem.right(), foot.top());
    path.lineTo(foot.topRight());
    path.lineTo(foot.bottomRight());
    path.lineTo(stem.left(), foot.bottom());
    path.closeSubpath();
    return path;
}

// The small sizes, laid out pixel by pixel: the navy square, the tile, the two bars of the L.
struct PixelLayout {
    int size;
    QRect background;
    qreal backgroundRadius;
    QRect tile;
    qreal tileRadius;
    QRect stem;
    QRect foot;
};

const std::array<PixelLayout, 3> kPixelLayouts { {
    { 16, QRect(0, 0, 16, 16), 3.0, QRect(2, 2, 12, 12), 1.5, QRect(5, 4, 2, 8), QRect(5, 10, 6, 2) },
    { 24, QRect(1, 1, 22, 22), 4.0, QRect(4, 3, 16, 16), 2.0, QRect(8, 6, 3, 11), QRect(8, 14, 8, 3) },
    { 32, QRect(1, 1, 30, 30), 6.0, QRect(5, 4, 22, 22), 3.0, QRect(11, 8, 4, 14), QRect(11, 18, 10, 4) },
} };

std::vector<Layer> pixelIcon(const PixelLayout& l)
{
    std::vector<Layer> layers;
    const QPainterPath background = roundedRect(l.background, l.backgroundRadius);
    layers.push_back(vertical(background, l.background, { { 0.0, kNavyTop }, { 1.0, kNavyBottom } }));

    const QPainterPath tile = roundedRect(l.tile, l.tileRadius);
    if (l.size > 16)
        layers.push_back(solid(tile.translated(0, 1), QColor(0, 0, 0, 110)));
    layers.push_back(
        vertical(tile, l.tile, { { 0.0, kGoldTop }, { 0.5, kGoldMiddle }, { 1.0, kGoldBottom } }));
    layers.push_back(solid(edgeBand(tile, QPointF(0, -1)), QColor(0x8A, 0x62, 0x0E, 150)));
    if (l.size > 16)
        layers.push_back(solid(edgeBand(tile, QPointF(0, 1)), QColor(255, 255, 255, 120)));

    layers.push_back(solid(letterL(l.stem, l.foot), kInk));
    return layers;
}

// The full-detail design, laid out on a 512 grid and scaled to `size` with every edge that
// can be put on a whole pixel put there, so the straight edges stay crisp at every size.
std::vector<Layer> detailedIcon(int size)
{
    const qreal unit = size / 512.0;
    const auto px = [unit](qreal v) { return std::round(v * unit); };
    const auto rect = [&px](qreal x, qreal y, qreal w, qreal h) {
        return QRectF(QPointF(px(x), px(y)), QPointF(px(x + w), px(y + h)));
    };
    const qreal hairline = std::max(1.0, px(6));
    std::vector<Layer> layers;

    const QRectF outer = rect(16, 16, 480, 480);
    const qreal radius = 100 * unit;
    layers.push_back(solid(roundedRect(outer, radius), kNavyEdge));
    const QRectF bodyRect = outer.adjusted(hairline, hairline, -hairline, -hairline);
    const QPainterPath body = roundedRect(bodyRect, radius - hairline);
    layers.push_back(vertical(body, bodyRect, { { 0.0, kNavyTop }, { 1.0, kNavyBottom } }));
    if (size >= kFineDetailFrom) {
        // The wells of a board, faintly, behind the tile.
        QPainterPath wells;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                wells.addRoundedRect(rect(40 + 110 * column, 40 + 110 * row, 102, 102), 16 * unit, 16 * unit);
        layers.push_back(solid(wells.intersected(body), QColor(0x9A, 0xB4, 0xFF, 26)));
    }
    layers.push_back(solid(edgeBand(body, QPointF(0, px(8))), QColor(255, 255, 255, 46)));

    const QRectF tileRect = rect(108, 94, 296, 296);
    const qreal tileRadius = 36 * unit;
    const QPainterPath tile = roundedRect(tileRect, tileRadius);
    layers.push_back(solid(tile.translated(px(6), px(16)), QColor(0, 0, 0, 70)));
    layers.push_back(solid(tile.translated(px(3), px(8)), QColor(0, 0, 0, 90)));
    layers.push_back(solid(tile, kGoldEdge));
    const qreal tileEdge = std::max(1.0, px(5));
    const QRectF faceRect = tileRect.adjusted(tileEdge, tileEdge, -tileEdge, -tileEdge);
    const QPainterPath face = roundedRect(faceRect, tileRadius - tileEdge);
    layers.push_back(
        vertical(face, faceRect, { { 0.0, kGoldTop }, { 0.45, kGoldMiddle }, { 1.0, kGoldBottom } }));
    // Bevel: light along the top edge, shade along the bottom, as on the board's tiles.
    layers.push_back(solid(edgeBand(face, QPointF(0, std::max(1.0, px(10)))), QColor(255, 255, 255, 150)));
    layers.push_back(solid(edgeBand(face, QPointF(0, -std::max(1.0, px(10)))), QColor(0x7A, 0x52, 0x00, 90)));

    // The L in the proportions of a bold sans-serif capital, built from two bars so that
    // its edges fall on whole pixels; a light copy just below presses it into the tile.
    const QPainterPath letter = letterL(rect(204, 166, 48, 182), rect(204, 310, 128, 38));
    layers.push_back(solid(letter.translated(0, std::max(1.0, px(5))), QColor(255, 255, 255, 140)));
    layers.push_back(solid(letter, kInk));

    if (size >= kFineDetailFrom) {
        const QPointF valueCentre(px(152), px(146));
        layers.push_back(solid(glyph(QStringLiteral("1"), 52 * unit, valueCentre), kValueInk));
    }
    return layers;
}

std::vector<Layer> iconLayers(int size)
{
    for (const PixelLayout& layout : kPixelLayouts)
        if (layout.size == size)
            return pixelIcon(layout);
    return detailedIcon(size);
}

QBrush brushOf(const Layer& layer)
{
    if (layer.stops.size() == 1)
        return layer.stops.front().second;
    QLinearGradient gradient(layer.from, layer.to);
    gradient.setStops(layer.stops);
    return gradient;
}

QImage paint(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const Layer& layer : iconLayers(size)) {
        painter.setBrush(brushOf(layer));
        painter.drawPath(layer.path);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString number(qreal value) { return QString::number(value, 'f', 2).remove(QRegularExpression("\\.?0+$")); }

QString svgPathData(const QPainterPath& path)
{
    QString data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0)
                data += QStringLiteral("Z");
            data += QStringLiteral("M%1 %2").arg(number(e.x), number(e.y));
            break;
        case QPainterPath::LineToElement:
            data += QStringLiteral("L%1 %2").arg(number(e.x), number(e.y));
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            data += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                        .arg(number(e.x), number(e.y), number(c2.x), number(c2.y), number(end.x),
                            number(end.y));
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    return data + QStringLiteral("Z");
}

QString svgColour(const QColor& colour) { return colour.name(QColor::HexRgb); }

QString svgOpacity(const char* attribute, const QColor& colour)
{
    return colour.alpha() == 255 ? QString()
                                 : QStringLiteral(" %1=\"%2\"").arg(attribute, number(colour.alphaF()));
}

QString svgDocument()
{
    QString defs;
    QString shapes;
    int gradients = 0;
    for (const Layer& layer : iconLayers(kSvgCanvas)) {
        QString fill;
        if (layer.stops.size() == 1) {
            fill = QStringLiteral("fill=\"%1\"%2")
                       .arg(svgColour(layer.stops.front().second),
                           svgOpacity("fill-opacity", layer.stops.front().second));
        } else {
            const QString id = QStringLiteral("g%1").arg(++gradients);
            defs += QStringLiteral("<linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"%2\" "
                                   "y1=\"%3\" x2=\"%4\" y2=\"%5\">")
                        .arg(id, number(layer.from.x()), number(layer.from.y()), number(layer.to.x()),
                            number(layer.to.y()));
            for (const auto& [at, colour] : layer.stops)
                defs += QStringLiteral("<stop offset=\"%1\" stop-color=\"%2\"%3/>")
                            .arg(number(at), svgColour(colour), svgOpacity("stop-opacity", colour));
            defs += QStringLiteral("</linearGradient>\n");
            fill = QStringLiteral("fill=\"url(#%1)\"").arg(id);
        }
        const char* rule = layer.path.fillRule() == Qt::OddEvenFill ? "evenodd" : "nonzero";
        shapes += QStringLiteral("<path %1 fill-rule=\"%2\" d=\"%3\"/>\n")
                      .arg(fill, QString::fromLatin1(rule), svgPathData(layer.path));
    }
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                          "viewBox=\"0 0 %1 %1\">\n<defs>\n%2</defs>\n%3</svg>\n")
        .arg(kSvgCanvas)
        .arg(defs, shapes);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons <output folder>\n");
        return 1;
    }
    const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor");
    const QString file = QString::fromLatin1(DesktopIdentity::kDesktopId);
    for (int size : DesktopIdentity::kIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(folder) || !paint(size).save(folder + "/" + file + ".png", "png")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    const QString scalable = root + QStringLiteral("/scalable/apps");
    if (!QDir().mkpath(scalable) || !writeFile(scalable + "/" + file + ".svg", svgDocument().toUtf8())) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(scalable));
        return 1;
    }
    return 0;
}
