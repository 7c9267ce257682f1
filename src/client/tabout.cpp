// The about window: a tile-lettered title over navy, the version the program
// logs in with, and one line about the game.
#include "tabout.h"

#include "window_style.h"

#include "protocol.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The name spelt in small letter tiles, as on the board.
QPixmap titleTiles(const QString& word)
{
    constexpr int tile = 30;
    constexpr int gap = 4;
    const qreal dpr = 2.0; // drawn at twice the size so it stays crisp on scaled screens
    const int w = word.size() * tile + (word.size() - 1) * gap + 4;
    const int h = tile + 4;
    QPixmap pm(int(w * dpr), int(h * dpr));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);

    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont letterFont(QStringLiteral("DejaVu Serif"));
    letterFont.setBold(true);
    letterFont.setPixelSize(19);

    for (int i = 0; i < word.size(); ++i) {
        const QRectF r(1 + i * (tile + gap), 1, tile, tile);
        p.setPen(Qt::NoPen);
        p.setBrush(windowpalette::veilDark(110));
        p.drawRoundedRect(r.translated(2, 2), 5, 5);
        QLinearGradient face(r.topLeft(), r.bottomLeft());
        face.setColorAt(0, windowpalette::goldPale());
        face.setColorAt(1, windowpalette::gold());
        p.setBrush(face);
        p.setPen(QPen(windowpalette::goldOutline(), 1.2));
        p.drawRoundedRect(r, 5, 5);
        p.setFont(letterFont);
        p.setPen(windowpalette::ink());
        p.drawText(r.adjusted(0, -1, 0, -1), Qt::AlignCenter, word.mid(i, 1).toUpper());
    }
    return pm;
}

} // namespace

Tabout::Tabout(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Tabout"));
    setWindowTitle(QStringLiteral("About Lexmire"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    namespace pal = windowpalette;
    setStyleSheet(
        QStringLiteral("Tabout { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); }"
                       "QLabel { color: %3; background: transparent; }"
                       "QLabel#label_name { color: %4; font-size: 20pt; font-weight: bold; }"
                       "QLabel#label_versioncaption { color: %5; font-size: 9pt; }"
                       "QLabel#version { color: %4; font-size: 9pt; font-weight: bold; }"
                       "QLabel#label_blurb { color: %3; font-size: 9pt; }"
                       "QFrame#rule { background: %6; border: none; }")
            .arg(windowstyle::css(pal::navyRaised()), windowstyle::css(pal::navy()),
                windowstyle::css(pal::white()), windowstyle::css(pal::gold()),
                windowstyle::css(pal::paleBlue()), windowstyle::css(pal::goldRule()))
        + windowstyle::goldButtons("4px 26px"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(6);

    auto* tiles = new QLabel(this);
    tiles->setObjectName(QStringLiteral("label_tiles"));
    tiles->setPixmap(titleTiles(QStringLiteral("LEXMIRE")));
    tiles->setAlignment(Qt::AlignCenter);
    layout->addWidget(tiles);

    auto* name = new QLabel(QStringLiteral("Lexmire"), this);
    name->setObjectName(QStringLiteral("label_name"));
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    auto* versionRow = new QHBoxLayout;
    versionRow->setSpacing(4);
    versionRow->addStretch();
    auto* versionCaption = new QLabel(QStringLiteral("Version"), this);
    versionCaption->setObjectName(QStringLiteral("label_versioncaption"));
    versionRow->addWidget(versionCaption);
    auto* version
        = new QLabel(QString::fromLatin1(wire::kVersionText.data(), wire::kVersionText.size()), this);
    version->setObjectName(QStringLiteral("version"));
    versionRow->addWidget(version);
    versionRow->addStretch();
    layout->addLayout(versionRow);

    auto* rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("rule"));
    rule->setFixedHeight(1);
    layout->addSpacing(6);
    layout->addWidget(rule);
    layout->addSpacing(6);

    auto* blurb = new QLabel(QStringLiteral("A word game for up to four players.\n"
                                            "Chain touching letter tiles into words\n"
                                            "before the clock runs out."),
        this);
    blurb->setObjectName(QStringLiteral("label_blurb"));
    blurb->setAlignment(Qt::AlignCenter);
    layout->addWidget(blurb);

    layout->addSpacing(10);
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("button_ok"));
    ok->setDefault(true);
    ok->setCursor(Qt::PointingHandCursor);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    setFixedSize(300, sizeHint().height());
}
