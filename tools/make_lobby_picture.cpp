// Build-time tool: draws the download window's illustration, a game lobby
// (players round a table of letter tiles under a "LOBBY" sign), as a JPEG.
// Run by hand when the picture should change; the result is committed.
//
//   QT_QPA_PLATFORM=offscreen make_lobby_picture resources/pictures/lobby.jpg
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <iostream>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;
// Drawn at twice the size and scaled down, which smooths edges and small text.
constexpr int kOversample = 2;
constexpr int kJpegQuality = 92;

void drawRoom(QPainter& p)
{
    QLinearGradient wall(0, 0, 0, 105);
    wall.setColorAt(0, QColor(28, 52, 96));
    wall.setColorAt(1, QColor(64, 98, 150));
    p.fillRect(QRectF(0, 0, kWidth, 105), wall);

    // Warm light falling from a lamp above the table.
    QRadialGradient lamp(QPointF(100, 40), 95);
    lamp.setColorAt(0, QColor(255, 214, 140, 150));
    lamp.setColorAt(1, QColor(255, 214, 140, 0));
    p.fillRect(QRectF(0, 0, kWidth, 105), lamp);

    QLinearGradient floor(0, 105, 0, kHeight);
    floor.setColorAt(0, QColor(120, 74, 40));
    floor.setColorAt(1, QColor(78, 44, 22));
    p.fillRect(QRectF(0, 105, kWidth, kHeight - 105), floor);
    p.setPen(QPen(QColor(60, 34, 16), 0.6));
    for (int x = -40; x < kWidth + 40; x += 22)
        p.drawLine(QPointF(100 + (x - 100) * 0.55, 105), QPointF(x, kHeight));
}

void drawSign(QPainter& p)
{
    const QRectF plate(62, 6, 76, 24);
    p.setPen(QPen(QColor(140, 100, 30), 1.4));
    QLinearGradient brass(plate.topLeft(), plate.bottomLeft());
    brass.setColorAt(0, QColor(30, 96, 58));
    brass.setColorAt(1, QColor(16, 64, 38));
    p.setBrush(brass);
    p.drawRoundedRect(plate, 5, 5);
    QFont font("DejaVu Sans", 12, QFont::Black);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
    p.setFont(font);
    p.setPen(QColor(250, 206, 92));
    p.drawText(plate, Qt::AlignCenter, "LOBBY");
}

void drawPerson(QPainter& p, QPointF at, const QColor& colour, double size)
{
    QPainterPath body;
    body.moveTo(at.x() - size, at.y() + size * 1.9);
    body.cubicTo(at.x() - size, at.y() + size * 0.5, at.x() + size, at.y() + size * 0.5, at.x() + size,
        at.y() + size * 1.9);
    body.closeSubpath();
    p.setPen(QPen(colour.darker(160), 0.8));
    p.setBrush(colour);
    p.drawPath(body);
    p.setBrush(QColor(242, 200, 160));
    p.drawEllipse(at, size * 0.48, size * 0.48);
}

void drawTile(QPainter& p, QPointF centre, QChar letter, int points, double angle)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    const QRectF tile(-7, -7, 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(tile.translated(1, 1.2), 2, 2);
    p.setPen(QPen(QColor(170, 130, 70), 0.7));
    p.setBrush(QColor(250, 236, 196));
    p.drawRoundedRect(tile, 2, 2);
    p.setPen(QColor(40, 30, 20));
    p.setFont(QFont("DejaVu Sans", 8, QFont::Bold));
    p.drawText(tile.adjusted(0, -1, -2, 0), Qt::AlignCenter, QString(letter));
    p.setFont(QFont("DejaVu Sans", 3));
    p.drawText(tile.adjusted(0, 0, -1.2, -0.6), Qt::AlignRight | Qt::AlignBottom, QString::number(points));
    p.restore();
}

void drawTable(QPainter& p)
{
    // Players behind the table are drawn first so that it hides their lower half.
    drawPerson(p, QPointF(62, 44), QColor(200, 56, 48), 14);
    drawPerson(p, QPointF(100, 40), QColor(52, 120, 200), 14);
    drawPerson(p, QPointF(138, 44), QColor(70, 160, 80), 14);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawEllipse(QPointF(100, 118), 78, 14);
    p.setBrush(QColor(96, 56, 26));
    p.drawEllipse(QPointF(100, 96), 80, 27);
    QRadialGradient felt(QPointF(100, 90), 76);
    felt.setColorAt(0, QColor(48, 150, 84));
    felt.setColorAt(1, QColor(24, 96, 52));
    p.setBrush(felt);
    p.drawEllipse(QPointF(100, 93), 74, 23);

    const QString word = "LEXMIRE";
    const int points[] = { 1, 1, 8, 3, 1, 1, 1 };
    for (int i = 0; i < word.size(); ++i)
        drawTile(p, QPointF(52 + i * 16, 92 + (i % 2) * 2 - 1), word[i], points[i], (i % 3 - 1) * 4.0);
    drawTile(p, QPointF(64, 108), 'W', 4, -12);
    drawTile(p, QPointF(136, 108), 'O', 1, 9);

    // A player at each end of the table, in front.
    drawPerson(p, QPointF(18, 100), QColor(236, 150, 40), 14);
    drawPerson(p, QPointF(182, 100), QColor(150, 80, 190), 14);
}

void drawChat(QPainter& p)
{
    // A speech bubble: these players are talking to each other online.
    const QRectF bubble(150, 18, 40, 20);
    QPainterPath path;
    path.addRoundedRect(bubble, 7, 7);
    QPolygonF tail;
    tail << QPointF(158, 36) << QPointF(150, 46) << QPointF(166, 37);
    path.addPolygon(tail);
    p.setPen(QPen(QColor(60, 60, 80), 0.8));
    p.setBrush(Qt::white);
    p.drawPath(path.simplified());
    p.setPen(QColor(30, 40, 90));
    p.setFont(QFont("DejaVu Sans", 8, QFont::Bold));
    p.drawText(bubble, Qt::AlignCenter, "Hi!");
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: make_lobby_picture <output.jpg>\n";
        return 1;
    }
    QImage big(kWidth * kOversample, kHeight * kOversample, QImage::Format_RGB32);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(kOversample, kOversample);
        drawRoom(p);
        drawSign(p);
        drawTable(p);
        drawChat(p);
    }
    const QImage picture = big.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImageWriter writer(QString::fromLocal8Bit(argv[1]), "jpeg");
    writer.setQuality(kJpegQuality);
    writer.setOptimizedWrite(true);
    if (!writer.write(picture)) {
        std::cerr << "make_lobby_picture: " << writer.errorString().toStdString() << '\n';
        return 1;
    }
    return 0;
}
