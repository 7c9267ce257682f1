// Tchat construction: the game client it shows, the wiring of its signals
// to the handlers, and the mouse and key events of the small controls.
// Handlers live in the other tchat_*.cpp files.
#include "tchat.h"

#include "outside_text.h"

#include "board_view.h"
#include "chat_pane.h"
#include "game_settings.h"
#include "sound_player.h"
#include "tile_images.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "window_style.h"
#include "wire_text.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

Tchat::Tchat(TchatSetup setup, QWidget* parent)
    : QMainWindow(parent)
    , setup_(std::move(setup))
    , sounds_(std::make_unique<SoundPlayer>())
{
    setObjectName("Tchat");
    setWindowTitle("Lexmire");
    tiles = std::make_unique<TileImages>(devicePixelRatioF());
    buildPanels();
    // Names, words and lines from outside are plain text wherever they show:
    // a name like <img src="/dev/zero"> must never make a label load a file.
    for (QLabel* label : centralWidget()->findChildren<QLabel*>())
        if (label->objectName() != "memo_dragging") // the first-run notice, our own rich text
            label->setTextFormat(Qt::PlainText);
    buildMenus();
    buildCompanions();
    makeClient();
    resetGameDisplay();
    FormCreate();
}

Tchat::~Tchat()
{
    // The client must not report into a window that is going away.
    if (client_)
        client_->disconnect(this);
}

void Tchat::drawPicturesAhead()
{
    tiles->drawAhead();
    if (scaledTiles)
        scaledTiles->drawAhead();
    board->drawBonusPicturesAhead();
}

void Tchat::FormCreate()
{
    resize(798, 535);
    move(3, 3);
    grouptilesmenu();
}

void Tchat::makeClient()
{
    GameClient::Options options;
    options.port = joinPort.empty() ? setup_.gamePort : joinPort;
    options.dispatchIntervalMs = setup_.dispatchIntervalMs;
    client_ = std::make_unique<GameClient>(options);
    GameClient* c = client_.get();
    connect(c, &GameClient::participantArrived, this, &Tchat::newplayerinfo);
    connect(c, &GameClient::participantLeft, this, &Tchat::playerdisconnected);
    connect(c, &GameClient::versionWarning, this, [this](const QString& name) {
        addlinetochat(isolated(name) + " has a different version of the game then you.", chatcolour::kBlue);
    });
    connect(c, &GameClient::wrongVersion, this, [this] {
        addlinetochat("You have a different version of the game then the host.", chatcolour::kBlue);
    });
    connect(c, &GameClient::gameStarted, this, &Tchat::startthegame);
    connect(c, &GameClient::boardCellChanged, this, &Tchat::boardCellChanged);
    connect(c, &GameClient::loggedIn, this, &Tchat::markOwnSeat);
    connect(c, &GameClient::bonusTilesSet, this, &Tchat::setbonustiles);
    connect(c, &GameClient::roundStarted, this, &Tchat::nextround);
    connect(c, &GameClient::latecomerJoined, this, &Tchat::gamestats);
    connect(c, &GameClient::clockChanged, this, &Tchat::showClock);
    connect(c, &GameClient::wordFound, this, &Tchat::foundword);
    connect(c, &GameClient::wordRefused, this, &Tchat::badword);
    connect(c, &GameClient::roundEnded, this, &Tchat::endturn);
    connect(c, &GameClient::gameWon, this, &Tchat::postwinner);
    connect(c, &GameClient::chatLine, this, &Tchat::chatrecieved);
    connect(c, &GameClient::soundRelayed, this, &Tchat::playasound);
    connect(c, &GameClient::sendFailed, this, &Tchat::showError);
    connect(c, &GameClient::connectFailed, this, &Tchat::connectFailed);
    connect(c, &GameClient::connectionEnded, this, &Tchat::connectionEnded);
}

void Tchat::replaceClient()
{
    // The old client may be inside one of its own signals: it goes later.
    client_->disconnect(this);
    client_->disconnectFromGame();
    client_.release()->deleteLater();
    ending = false;
    makeClient();
    resetGameDisplay();
}

void Tchat::resetGameDisplay()
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        seatLabel("label_playername", seat)->setText("<Waiting>");
        seatLabel("label_playername", seat)->setToolTip({}); // a name shown otherwise had it
        seatLabel("label_playerscore", seat)->setText("0");
        seatLabel("label_bonus", seat)->setText({});
        seatLabel("team", seat)->hide();
        if (panel_scrolls)
            resetScroll(seat);
    }
    label_time->setText("Time: 0:00");
    label_round->setText("0");
    label_status1->setText("Rounds In Game: 3");
    label_timeperround->setText("Time Per Round: 3");
    setStatus("Welcome to Lexmire!", Qt::white);
    label_winner1->clear();
    label_winner2->clear();
    panel_winner->hide();
    if (panel_scrolls)
        panel_scrolls->hide();
    button_start->hide();
    StartGame1->setEnabled(false);
    closeReview();
    button_review->hide();
    board->clearAll();
    board->clearMarks();
    dragging = false;
    clearWordSlots();
    markOwnSeat();
    // A spy list never opened has nothing to clear.
    if (Tspylist* list = spylist.built()) {
        for (const QString& line : list->lines())
            list->removeSpyLine(line);
        list->setKickEnabled(false);
    }
    loadchecklist();
}

void Tchat::showError(const QString& text)
{
    if (setup_.showError)
        setup_.showError(text);
}

void Tchat::setEntryColour(const QColor& colour)
{
    // The box's own look and one colour: a new colour replaces the last one
    // instead of piling up in the style sheet at every login.
    mychat->setTextColour(colour);
}

void Tchat::setPhrase(int n, const QString& phrase)
{
    // The button's hint is the phrase it sends; its face shows it too.
    b_phrase[n]->setToolTip(phrase);
    b_phrase[n]->setText(phrase);
}

QLabel* Tchat::seatLabel(const char* prefix, int seat) const
{
    return findChild<QLabel*>(QString("%1%2").arg(prefix).arg(seat));
}

QListWidget* Tchat::seatList(int seat)
{
    return scrollsPanel().findChild<QListWidget*>(QString("listbox_scroll%1").arg(seat));
}

void Tchat::resetScroll(int seat)
{
    seatLabel("label_scroll", seat)->setText("<Waiting>");
    seatLabel("label_wordcount", seat)->setText("Word Count: 0");
    seatLabel("label_points", seat)->setText({});
    seatList(seat)->clear();
}

QString Tchat::seatCaption(int seat) const
{
    QLabel* label = isSeat(seat) ? seatLabel("label_playername", seat) : nullptr;
    if (!label)
        return {};
    // A name too wide for the roster is elided there and whole in its tooltip.
    return label->toolTip().isEmpty() ? label->text() : label->toolTip();
}

bool Tchat::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == thewand) {
            thewandMouseDown(mouse->button());
            return true;
        }
        if (watched == button_clear && mouse->button() == Qt::LeftButton) {
            button_clearClick();
            return true;
        }
        if (watched == button_enter && mouse->button() == Qt::LeftButton) {
            button_enterClick();
            return true;
        }
        for (int n = 1; n <= WordBuilder::kSlotCount; ++n)
            if (watched == wordletter[n] && mouse->button() == Qt::LeftButton) {
                wordletter1Click(n);
                return true;
            }
    }
    if (watched == mychat) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            // Any key first clears the prompt text.
            if (mychat->text() == "<Enter Chat Here>")
                mychat->clear();
            // Esc in an empty entry hands the keys back to the board.
            if (key->key() == Qt::Key_Escape && mychat->text().isEmpty()) {
                giveBoardTheKeys();
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                sendit();
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                sendit(); // the box is empty by now, so this sends nothing
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
