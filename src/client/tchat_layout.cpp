// Tchat's layout: the board panel, the score panel, the chat area and the
// overlays (winner banner, end-of-round panel and its review, first-run
// notice), laid out at their own size and grown with the window.
#include "tchat.h"

#include "board_view.h"
#include "chat_pane.h"
#include "entry_box.h"
#include "layout_scaler.h"
#include "painted_look.h"
#include "phrase_button.h"
#include "pictures.h"
#include "review_panel.h"
#include "tile_images.h"
#include "window_style.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTextDocument>

#include <array>

namespace {

constexpr int kMaxChatLines = 20000;

// The default phrases of the nine phrase buttons.
const char* const kDefaultPhrases[9] = { "Way To Go!", "Good One!", "Nice Try!", "Excellent!", "Brilliant!",
    "Wow, WTG!", "Thanks!", "Way To Go Teamie!", "Good Game Everyone!" };

// Captions of the twenty chatter sounds.
const char* const kChatterCaptions[20] = { "Doh", "Cough", "Hello", "Thank You", "Where have you been?",
    "Snoring", "Sneezing", "Sorry", "Welcome", "Yeehaa", "Yippee", "Oh No", "Applause", "Honk", "Oooh",
    "Razzberry", "Cheer", "Woman Laughing", "Man Laughing", "Crying" };

namespace pal = windowpalette;
using windowstyle::css;

// The board's and the scores' panels: a translucent shade with a brass edge.
Patch panelPatch()
{
    QColor edge = pal::brass();
    edge.setAlpha(140);
    return { pal::panelShade(), edge, 1.0, 6.0 };
}

PatchLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry)
{
    auto* label = new PatchLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

RoundedPanel* makePanel(QWidget* parent, const QString& name, const Patch& patch, QRect geometry)
{
    auto* panel = new RoundedPanel(patch, parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    return panel;
}

} // namespace

void Tchat::buildPanels()
{
    auto* central = new QWidget(this);
    central->setObjectName("client_area");
    setCentralWidget(central);
    central->setAutoFillBackground(true);
    QPalette palette = central->palette();
    palette.setBrush(QPalette::Window, QBrush(Pictures::panelTexture(devicePixelRatioF())));
    central->setPalette(palette);
    central->setMinimumSize(790 + 8, 489 + 8);

    panel_main = new QWidget(central);
    panel_main->setObjectName("panel_main");
    panel_main->setGeometry(4, 4, 790, 489);

    buildBoardPanel(panel_main);
    buildScorePanel(panel_main);
    buildChatArea(panel_main);
    buildOverlays(panel_main);

    scaler = new LayoutScaler(central, panel_main);
    // The wand follows the word; placeWand scales its place.
    scaler->exclude(thewand);
    connect(scaler, &LayoutScaler::scaleChanged, this, &Tchat::rescalePictures);
}

qreal Tchat::layoutScale() const { return scaler ? scaler->scale() : 1.0; }

void Tchat::rescalePictures(qreal scale)
{
    // Corners and edges drawn by the controls themselves grow like everything else.
    for (auto* panel : panel_main->findChildren<RoundedPanel*>())
        panel->setScale(scale);
    for (auto* label : panel_main->findChildren<PatchLabel*>())
        label->setScale(scale);
    for (auto* button : panel_main->findChildren<PaintedButton*>())
        button->setScale(scale);
    mychat->setScale(scale);
    mainchat->setScale(scale);
    // Each picture is drawn anew for the pixels it now covers, so a grown window stays sharp.
    const qreal dpr = devicePixelRatioF();
    const auto fitted = [dpr](QPixmap picture) {
        picture.setDevicePixelRatio(dpr);
        return picture;
    };
    button_clear->setPixmap(fitted(Pictures::wordButton(Pictures::WordButton::Clear, dpr * scale)));
    button_enter->setPixmap(fitted(Pictures::wordButton(Pictures::WordButton::Enter, dpr * scale)));
    const QPixmap start = fitted(Pictures::startButton(dpr * scale, false, Pictures::kWordButtonSize));
    button_start->setIcon(QIcon(start));
    button_start->setIconSize(Pictures::kWordButtonSize * scale);
    if (teamBallsDrawn())
        drawTeamBalls();
    thewand->setPixmap(fitted(Pictures::wand(dpr * scale)));
    thewand->resize(Pictures::kWandSize * scale);
    scaledTiles = scale == 1.0 ? nullptr : std::make_unique<TileImages>(dpr * scale);
    for (int n = 1; n <= WordBuilder::kMaxLetters; ++n)
        drawSlot(n);
    if (const std::optional<QPoint> last = word.previousTile())
        placeWand(last->x(), last->y());
}

bool Tchat::teamBallsDrawn() const { return !seatLabel("team", 1)->pixmap().isNull(); }

void Tchat::drawTeamBalls()
{
    const qreal dpr = devicePixelRatioF();
    std::array<QPixmap, 2> balls;
    for (int team = 1; team <= 2; ++team) {
        balls[size_t(team - 1)] = Pictures::teamBall(team, dpr * layoutScale());
        balls[size_t(team - 1)].setDevicePixelRatio(dpr);
    }
    // Seats 1 and 3 play against 2 and 4.
    for (int seat = 1; seat <= kSeats; ++seat)
        seatLabel("team", seat)->setPixmap(balls[seat % 2 == 1 ? 0 : 1]);
}

void Tchat::buildBoardPanel(QWidget* parent)
{
    panel_board = makePanel(parent, "panel_board", panelPatch(), QRect(5, 6, 530, 476));

    for (int n = 1; n <= WordBuilder::kSlotCount; ++n) {
        auto* slot
            = makeLabel(panel_board, QString("wordletter%1").arg(n), {}, QRect(3 + 44 * (n - 1), 3, 40, 40));
        slot->setPatch({ pal::veilLight(28), {}, 1.0, 5.0 });
        slot->setCursor(Qt::PointingHandCursor);
        slot->installEventFilter(this);
        slot->setVisible(n <= WordBuilder::kMaxLetters);
        wordletter[n] = slot;
    }

    button_clear = makeLabel(panel_board, "button_clear", {}, QRect(315, 44, 106, 25));
    button_clear->setPixmap(Pictures::wordButton(Pictures::WordButton::Clear, devicePixelRatioF()));
    button_clear->setCursor(Qt::PointingHandCursor);
    button_clear->installEventFilter(this);
    button_enter = makeLabel(panel_board, "button_enter", {}, QRect(422, 44, 106, 25));
    button_enter->setPixmap(Pictures::wordButton(Pictures::WordButton::Enter, devicePixelRatioF()));
    button_enter->setCursor(Qt::PointingHandCursor);
    button_enter->installEventFilter(this);

    auto* clock = makeLabel(panel_board, "label_time", {}, QRect(3, 46, 100, 22));
    clock->setAlignment(Qt::AlignCenter);
    setTextLook(clock, pal::goldText(), 15, true);
    clock->setPatch({ pal::veilDark(90), {}, 1.0, 4.0 });
    label_time = clock;

    // Only the ring shows that it has the keyboard; the picture is its whole face otherwise.
    PaintedButton::Face startFace;
    startFace.focusRing = pal::focusRing();
    startFace.radius = 5.0;
    button_start = new PaintedButton(startFace, panel_board);
    button_start->setObjectName("button_start");
    button_start->setGeometry(108, 44, 106, 25);
    button_start->setIcon(QIcon(Pictures::startButton(devicePixelRatioF(), false, QSize(106, 25))));
    button_start->setIconSize(QSize(106, 25));
    button_start->setCursor(Qt::PointingHandCursor);
    button_start->setToolTip("Start Game");
    button_start->hide();
    connect(button_start, &QPushButton::clicked, this, &Tchat::button_startClick);

    panel_theboard = new QWidget(panel_board);
    panel_theboard->setObjectName("panel_theboard");
    panel_theboard->setGeometry(3, 70, 523, 363);
    board = new BoardView(panel_theboard);
    board->setObjectName("board");
    board->setGeometry(1, 1, 520, 361);
    board->setTileImages(tiles.get());
    connect(board, &BoardView::pressed, this, [this](Qt::MouseButton b, QPoint p) { boardMouseDown(b, p); });
    connect(board, &BoardView::moved, this, [this](QPoint p) { boardMouseMove(p); });
    connect(board, &BoardView::released, this, [this](Qt::MouseButton b, QPoint) { boardMouseUp(b); });
    connect(board, &BoardView::keyTyped, this, &Tchat::boardKeyTyped);

    thewand = makeLabel(panel_theboard, "thewand", {}, QRect(0, 0, 28, 28));
    thewand->setPixmap(Pictures::wand(devicePixelRatioF()));
    thewand->installEventFilter(this);
    thewand->hide();

    label_status2 = makeLabel(panel_board, "label_status2", {}, QRect(8, 436, 355, 20));
    label_status2->setAlignment(Qt::AlignCenter);
    setTextLook(label_status2, pal::white(), 14, true);
    label_timeperround = makeLabel(panel_board, "label_timeperround", {}, QRect(8, 458, 160, 16));
    setTextLook(label_timeperround, pal::paleBlue());
    label_status1 = makeLabel(panel_board, "label_status1", {}, QRect(352, 458, 170, 16));
    setTextLook(label_status1, pal::paleBlue());
    auto* roundCaption = makeLabel(panel_board, "label_roundcaption", "Round:", QRect(430, 436, 48, 20));
    setTextLook(roundCaption, pal::white(), 0, true);
    label_round = makeLabel(panel_board, "label_round", {}, QRect(479, 436, 40, 20));
    setTextLook(label_round, pal::goldText(), 14, true);

    // Between the status line and the round: the end-of-round panel's switch to its review, wide
    // enough for either caption in the widest of the fonts the window asks for. Alt+R presses it
    // from anywhere in the window, the board included.
    PaintedButton::Face reviewFace;
    reviewFace.top = pal::gold();
    reviewFace.hover = pal::goldHover();
    reviewFace.edge = pal::goldEdge();
    reviewFace.text = pal::ink();
    reviewFace.focusRing = pal::focusRing();
    reviewFace.pixelSize = 11;
    reviewFace.bold = true;
    reviewFace.mnemonic = true;
    button_review = new PaintedButton(reviewFace, panel_board);
    button_review->setText(ReviewPanel::kOpenCaption);
    button_review->setObjectName("button_review");
    button_review->setGeometry(364, 436, 64, 20);
    button_review->setCursor(Qt::PointingHandCursor);
    button_review->setToolTip("Study the round's words on its board");
    button_review->hide();
    connect(button_review, &QPushButton::clicked, this, &Tchat::ReviewClick);
}

void Tchat::buildScorePanel(QWidget* parent)
{
    panel_score = makePanel(parent, "panel_score", panelPatch(), QRect(535, 6, 250, 128));
    auto* heading = makeLabel(panel_score, "label_scoreheading", "Players", QRect(10, 8, 120, 22));
    setTextLook(heading, pal::goldText(), 14, true);
    auto* scoreHeading = makeLabel(panel_score, "label_scorecaption", "Score", QRect(130, 8, 60, 22));
    setTextLook(scoreHeading, pal::goldText(), 0, true);

    const int rows[5] = { 0, 38, 59, 80, 100 };
    for (int seat = 1; seat <= 4; ++seat) {
        auto* name = makeLabel(
            panel_score, QString("label_playername%1").arg(seat), {}, QRect(34, rows[seat], 100, 18));
        name->setProperty("tag", seat);
        setTextLook(name, pal::white(), 0, true);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this, [this, seat, name](const QPoint& pos) {
            label_playername1ContextPopup(seat, name->mapToGlobal(pos));
        });
        auto* score = makeLabel(
            panel_score, QString("label_playerscore%1").arg(seat), "0", QRect(138, rows[seat], 32, 18));
        setTextLook(score, pal::goldText(), 0, true);
        auto* bonus
            = makeLabel(panel_score, QString("label_bonus%1").arg(seat), {}, QRect(172, rows[seat], 74, 18));
        setTextLook(bonus, pal::bonusText());
        auto* team
            = makeLabel(panel_score, QString("team%1").arg(seat), {}, QRect(14, rows[seat] - 1, 19, 20));
        team->hide(); // its ball is drawn when a team game first shows it
    }

    popup_kick = new QMenu(this);
    popup_kick->setObjectName("popup_kick");
    RemoveFromGame1 = popup_kick->addAction("Remove From Game");
    RemoveFromGame1->setObjectName("RemoveFromGame1");
    connect(RemoveFromGame1, &QAction::triggered, this, &Tchat::RemoveFromGame1Click);
}

void Tchat::buildChatArea(QWidget* parent)
{
    mainchat = new ChatPane(parent);
    mainchat->setObjectName("mainchat");
    mainchat->setGeometry(535, 138, 250, 218);
    connect(mainchat, &ChatPane::linkActivated, this, &Tchat::openLink);
    mainchat->setContextMenuPolicy(Qt::CustomContextMenu);
    // Lines stay until "Clear Main Chat", up to a bound no conversation
    // reaches, so a flooding peer cannot grow the pane without limit.
    mainchat->document()->setMaximumBlockCount(kMaxChatLines);

    mychat = new EntryBox("<Enter Chat Here>", parent);
    mychat->setObjectName("mychat");
    mychat->setGeometry(535, 360, 250, 24);
    mychat->installEventFilter(this);
    mychat->setContextMenuPolicy(Qt::CustomContextMenu);

    for (int n = 1; n <= 10; ++n) {
        auto* button = new PhraseButton(parent);
        button->setObjectName(QString("b_phrase%1").arg(n));
        const int column = (n - 1) % 2, row = (n - 1) / 2;
        button->setGeometry(535 + column * 126, 388 + row * 20, 124, 18);
        button->setCursor(Qt::PointingHandCursor);
        b_phrase[n] = button;
        if (n <= 9) {
            setPhrase(n, kDefaultPhrases[n - 1]);
            connect(button, &QPushButton::clicked, this, [this, n] { b_phrase1Click(n); });
        } else {
            button->setToolTip("Chatter Sounds");
            button->setText("Chatter Sounds");
            connect(button, &QPushButton::clicked, this, &Tchat::b_phrase10Click);
        }
    }

    popup_sounds = new QMenu(this);
    popup_sounds->setObjectName("popup_sounds");
    QAction* cancel = popup_sounds->addAction("<Cancel>");
    cancel->setObjectName("Cancel1");
    cancel->setData(0);
    for (int n = 1; n <= 20; ++n) {
        QAction* item = popup_sounds->addAction(kChatterCaptions[n - 1]);
        item->setObjectName(QString("wave%1").arg(n));
        item->setData(n);
    }
    connect(
        popup_sounds, &QMenu::triggered, this, [this](QAction* item) { wave20Click(item->data().toInt()); });
}

void Tchat::buildOverlays(QWidget* parent)
{
    panel_winner = makePanel(
        parent, "panel_winner", { pal::winnerShade(), pal::brass(), 2.0, 8.0 }, QRect(10, 83, 512, 41));
    label_winner2 = makeLabel(panel_winner, "label_winner2", {}, QRect(1, 9, 512, 26));
    setTextLook(label_winner2, pal::black(), 18, true);
    label_winner2->setAlignment(Qt::AlignHCenter);
    label_winner1 = makeLabel(panel_winner, "label_winner1", {}, QRect(0, 8, 512, 26));
    setTextLook(label_winner1, pal::white(), 18, true);
    label_winner1->setAlignment(Qt::AlignHCenter);
    panel_winner->hide();

    panel_dragging = makePanel(
        parent, "panel_dragging", { pal::midnight(), pal::brass(), 2.0, 8.0 }, QRect(112, 120, 329, 257));
    auto* title
        = makeLabel(panel_dragging, "label_dragging", "Dragging Versus Clicking", QRect(10, 8, 309, 24));
    setTextLook(title, pal::goldText(), 16, true);
    title->setAlignment(Qt::AlignHCenter);
    auto* text = makeLabel(panel_dragging, "memo_dragging",
        "<b>Dragging:</b> press on the first letter and drag the mouse over the next letters, "
        "then let go to send the word. To drag, \"Click Letters\" must not be ticked under the "
        "Options menu.<br><br><b>Clicking:</b> click each letter in turn, then press Enter or "
        "click the right mouse button to send the word. To click each letter, \"Click "
        "Letters\" must be ticked under the Options menu.",
        QRect(16, 40, 297, 170));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    setTextLook(text, pal::white());
    PaintedButton::Face gold;
    gold.top = pal::gold();
    gold.hover = pal::goldHover();
    gold.pressed = pal::goldPressed();
    gold.edge = pal::goldEdge();
    gold.edgeWidth = 2.0;
    gold.text = pal::ink();
    gold.focusRing = pal::focusRing();
    gold.radius = 3.0;
    gold.pixelSize = 12;
    gold.bold = true;
    auto* done = new PaintedButton(gold, panel_dragging);
    done->setText("Done");
    done->setObjectName("FlatButton1");
    done->setGeometry(124, 218, 80, 26);
    connect(done, &QPushButton::clicked, this, &Tchat::FlatButton1Click);
    panel_dragging->hide();
}

QWidget& Tchat::scrollsPanel()
{
    if (panel_scrolls)
        return *panel_scrolls;
    panel_scrolls = makePanel(panel_main, "panel_scrolls",
        { pal::parchment(), pal::parchmentEdge(), 2.0, 8.0 }, QRect(9, 128, 512, 306));
    for (int n = 1; n <= 4; ++n) {
        const int x = 4 + (n - 1) * 127;
        auto* name = makeLabel(panel_scrolls, QString("label_scroll%1").arg(n), {}, QRect(x, 4, 123, 18));
        setTextLook(name, pal::parchmentTitle(), 13, true);
        name->setAlignment(Qt::AlignHCenter);
        auto* count
            = makeLabel(panel_scrolls, QString("label_wordcount%1").arg(n), {}, QRect(x, 22, 123, 16));
        setTextLook(count, pal::parchmentCaption());
        count->setAlignment(Qt::AlignHCenter);
        auto* points = makeLabel(panel_scrolls, QString("label_points%1").arg(n), {}, QRect(x, 38, 123, 16));
        setTextLook(points, pal::parchmentPoints(), 0, true);
        points->setAlignment(Qt::AlignHCenter);
        auto* list = new QListWidget(panel_scrolls);
        list->setObjectName(QString("listbox_scroll%1").arg(n));
        list->setProperty("tag", n);
        list->setGeometry(x, 56, 123, 245);
        // A pale veil over the parchment, in a thin ruled box, the words in type.
        QPalette colours = list->palette();
        colours.setColor(QPalette::Base, pal::veilLight(150));
        colours.setColor(QPalette::Text, pal::parchmentInk());
        colours.setColor(QPalette::WindowText, pal::parchmentRule());
        list->setPalette(colours);
        list->setFrameStyle(QFrame::Box | QFrame::Plain);
        list->setLineWidth(1);
        QFont type(QStringLiteral("monospace"));
        type.setStyleHint(QFont::TypeWriter);
        list->setFont(type);
    }
    panel_scrolls->hide();
    // Players' names show here: plain text, as everywhere in the window.
    for (QLabel* label : panel_scrolls->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    for (int seat = 1; seat <= kSeats; ++seat)
        resetScroll(seat);
    markOwnSeat();
    // Laid out at the window's present scale, like the controls made with the window.
    scaler->apply();
    return *panel_scrolls;
}
