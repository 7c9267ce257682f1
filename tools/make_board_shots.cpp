// Draws the board's pictures for the documentation: a real window fed a dealt round, grabbed
// while a word is typed, answered, reviewed, and at two window sizes; and the bonus markers as
// eyes without red or green cones and in greyscale see them.
// Usage: make_board_shots <folder>   (run with QT_QPA_PLATFORM=offscreen)
#include "board_view.h"
#include "colour_vision.h"
#include "lexicon.h"
#include "pictures.h"
#include "review_panel.h"
#include "tchat.h"
#include "typed_chains.h"
#include "word_finder.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <random>
#include <set>

namespace {

// The dealt board the pictures show.
constexpr unsigned kSeed = 20;

struct Shots {
    QDir folder;
    bool ok = true;

    void save(const QImage& image, const QString& name)
    {
        const QString path = folder.filePath(name);
        if (!image.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
    }
};

QImage grabbed(QWidget& widget) { return widget.grab().toImage(); }

std::string found(int seat, const FoundWord& word, int64_t total)
{
    return "CMD_foundword+" + std::to_string(seat) + "+" + std::string(word.word()) + "+"
        + std::to_string(word.score) + "+" + std::to_string(total) + "+" + std::to_string(seat == 1 ? 3 : 4)
        + "+0";
}

std::vector<QPoint> pointsOf(const CellPath& path)
{
    std::vector<QPoint> points;
    for (const TileRef& tile : path.tiles())
        points.emplace_back(tile.x, tile.y);
    return points;
}

// Bonus cells side by side as each eye sees them, each under its caption.
QImage visionSheet(const QImage& cells)
{
    using colourvision::Vision;
    const std::vector<std::pair<QString, QImage>> views { { "As drawn", cells },
        { "Greyscale", colourvision::simulate(cells, Vision::Greyscale) },
        { "Deuteranopia", colourvision::simulate(cells, Vision::Deuteranopia) },
        { "Protanopia", colourvision::simulate(cells, Vision::Protanopia) } };
    const int caption = 28;
    const int gap = 12;
    QImage sheet(
        2 * (cells.width() + gap) + gap, 2 * (cells.height() + caption + gap) + gap, QImage::Format_RGB32);
    sheet.fill(QColor(0x1B, 0x2B, 0x40));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(Pictures::font(16.0));
    for (std::size_t i = 0; i < views.size(); ++i) {
        const int x = gap + int(i % 2) * (cells.width() + gap);
        const int y = gap + int(i / 2) * (cells.height() + caption + gap);
        painter.setPen(Qt::white);
        painter.drawText(
            QRect(x, y, cells.width(), caption), Qt::AlignLeft | Qt::AlignVCenter, views[i].first);
        painter.drawImage(x, y + caption, views[i].second);
    }
    painter.end();
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_board_shots <folder>\n");
        return 2;
    }
    Shots shots { QDir(QString::fromLocal8Bit(argv[1])) };
    QTemporaryDir home;

    Board dealt;
    std::mt19937 rng(kSeed);
    dealBoard(dealt, rng);
    WordFinder finder(embeddedLexicon());
    const std::vector<FoundWord> words = finder.solve(dealt);

    TchatSetup setup;
    setup.arguments = { "You" }; // no role: the round is fed by hand
    setup.settingsFile = home.filePath("s.ini");
    Tchat window(setup);
    window.show();
    window.resize(798, 535);
    auto* board = window.findChild<BoardView*>("board");
    const auto deliver = [&](const std::string& line) { window.client().handle(line); };
    deliver("CMD_sendlogininfo+1");
    deliver("CMD_newplayerinfo+1+You");
    deliver("CMD_newplayerinfo+2+Ann");
    window.FlatButton1Click(); // the first-run notice
    deliver("CMD_startgame+1+3+n+2+");
    for (int y = 0; y < kBoardRows; ++y)
        deliver(boardRowMessage(dealt, y));
    deliver("CMD_setbonustiles+");
    deliver("CMD_nextround+1");
    deliver("CMD_updatetime+97");

    // A few words each, some over the book so its kind is learnt.
    int64_t mine = 0;
    int64_t hers = 0;
    int given = 0;
    for (const FoundWord& word : words) {
        const auto cells = word.path.view();
        const bool overBook
            = std::find(cells.begin(), cells.end(), cellIndexOf(kCentreColumn, kCentreRow)) != cells.end();
        if (!overBook && given % 7 != 0) {
            ++given;
            continue;
        }
        const int seat = given % 2 == 0 ? 2 : 1;
        (seat == 1 ? mine : hers) += word.score;
        deliver(found(seat, word, seat == 1 ? mine : hers));
        if (++given > 30)
            break;
    }
    for (int step = 0; step < 40; ++step)
        board->animationTick();

    // A typed word with more than one chain: every chain lit, the chosen one numbered.
    std::string typed;
    for (const FoundWord& word : words) {
        if (word.path.length < 4 || word.path.length > 5)
            continue;
        const auto chains = findTypedChains(dealt, word.word());
        if (chains && chains->chains.size() >= 2) {
            std::size_t lit = 0;
            for (const CellSet& layer : chains->lit)
                lit += std::size_t(layer.count());
            if (lit >= std::size_t(word.path.length) + 3) {
                typed = std::string(word.word());
                break;
            }
        }
    }
    for (char letter : typed)
        window.boardKeyTyped(Qt::Key_A + (letter - 'a'), QString(QChar(letter)));
    shots.save(grabbed(window), "screenshot.png");
    window.boardKeyTyped(Qt::Key_Escape, {});

    // The server's answers: a found word rising green, a refused one shaking red.
    const FoundWord& shown = words[words.size() / 3];
    board->holdSent(pointsOf(shown.path));
    mine += shown.score;
    deliver(found(1, shown, mine));
    for (int step = 0; step < 7; ++step)
        board->animationTick();
    shots.save(grabbed(*board), "board_found.png");
    while (board->animating())
        board->animationTick();
    board->holdSent({ QPoint(8, 6), QPoint(9, 7), QPoint(10, 7) });
    deliver("CMD_badword+1+2+" + [&] {
        std::string text;
        for (QPoint cell : { QPoint(8, 6), QPoint(9, 7), QPoint(10, 7) })
            text += convertoletter(dealt.board[cell.x()][cell.y()]);
        return text;
    }() + "+");
    board->animationTick();
    board->animationTick();
    shots.save(grabbed(window), "board_refused.png");
    while (board->animating())
        board->animationTick();

    shots.save(grabbed(window), "board_798x535.png");
    // A corner of the board pixel for pixel: run with QT_SCALE_FACTOR=2 to see it at 200 %.
    const QImage whole = grabbed(*board);
    const qreal ratio = whole.devicePixelRatio();
    shots.save(
        whole.copy(
            QRectF(0, 0, (4 * BoardView::kPitch + 1) * ratio, (3 * BoardView::kPitch + 1) * ratio).toRect()),
        QString("board_detail_%1.png").arg(std::lround(ratio * 100)));
    window.resize(1600, 1000);
    shots.save(grabbed(window), "board_1600x1000.png");

    // The bonus cells of the board's top-left quarter, as drawn at twice the size.
    const QRect quarter
        = board->widgetRect(QRect(0, 0, 7 * BoardView::kPitch + 1, 5 * BoardView::kPitch + 1));
    shots.save(visionSheet(grabbed(*board).copy(quarter)), "bonus_markers_vision.png");
    window.resize(798, 535);

    // The review, with a missed word laid on the round's board.
    deliver("CMD_endround+" + std::to_string(mine) + "+" + std::to_string(hers) + "+0+0");
    window.ReviewClick();
    // The best missed word that never comes back to a tile reads most plainly.
    const std::vector<ReviewWord>& missed = window.reviewPanel().shownWords();
    int chosen = 0;
    for (std::size_t i = 0; i < missed.size(); ++i) {
        const std::set<std::pair<int, int>> tiles = [&] {
            std::set<std::pair<int, int>> seen;
            for (const QPoint& cell : missed[i].path)
                seen.insert({ cell.x(), cell.y() });
            return seen;
        }();
        if (tiles.size() == missed[i].path.size() && missed[i].path.size() >= 5) {
            chosen = int(i);
            break;
        }
    }
    window.reviewPanel().chooseWord(chosen);
    while (board->animating())
        board->animationTick();
    shots.save(grabbed(window), "round_review.png");
    return shots.ok ? 0 : 1;
}
