// Tchat: the main window, the view of every participant (the host's own
// window included). The game itself lives in a GameClient; Tchat renders what
// it says and forwards what the player does. Its handlers keep the names
// players and tests know, split by concern over tchat_*.cpp.
#pragma once

#include "entry_box.h"
#include "game_client.h"
#include "lazy_window.h"
#include "tchat_setup.h"
#include "typed_word.h"
#include "word_builder.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class BoardView;
class LayoutScaler;
class ReviewPanel;
class GameSettings;
class ChatPane;
class ComputerPlayers;
class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QWidget;
class SoundPlayer;
class Tabout;
class Tgamestartform;
class Thelp;
class Thostgame;
class Tjoingame;
class TileImages;
class Tphrases;
class Tspylist;
class Ttallylist;

class Tchat : public QMainWindow {
    Q_OBJECT
public:
    explicit Tchat(TchatSetup setup, QWidget* parent = nullptr);
    ~Tchat() override;

    // Draws now what the first board will need (the letter tiles), so that a start
    // can show the window first and the first board still comes at once.
    void drawPicturesAhead();
    // The team markers beside the seats, at the window's scale; a team game draws them
    // when it first shows them.
    void drawTeamBalls();
    bool teamBallsDrawn() const;

    GameClient& client() { return *client_; }
    const GameClient& client() const { return *client_; }
    // A new game client in place of the old, and the game display as new: for
    // a new role without a new program. Settings, chat and tally stay.
    void replaceClient();

    // Start-up and frame.
    void processparams();
    void hostpress();
    void joinpress();

    // Hosting and joining from the window (tchat_network.cpp). The dialogs
    // open without a nested event loop; tests fill and click them.
    void HostaGame1Click();
    void JoinaGame1Click();
    // A solo game in place of a game that ended (File → Play Solo).
    void PlaySolo1Click();
    void AnnounceMyGame1Click();
    // A multi-player game under name: the host dialog's and the join dialog's orders.
    void hostGame(const QString& name);
    void joinGame(const QString& name, const QString& address);
    // Hosting or joining a multi-player game (or trying to): File offers neither then.
    bool inMultiplayerGame() const { return role == GameRole::Host || role == GameRole::Join; }
    Thostgame& hostDialog();
    Tjoingame& joinDialog();
    // The announcement of the game this window hosts; none while it hosts none or announcing is off.
    const discovery::GameAnnouncer* announcer() const { return announcer_.get(); }
    void ResetScreenLocation1Click();
    void Exit1Click();
    void Help2Click();
    void About1Click();

    // Dispatch: the game client's ticks, as tests drive them.
    void Timer1Timer() { client_->Timer1Timer(); }
    void timer2Timer() { client_->timer2Timer(); }
    std::size_t queuedMessages() const { return client_->queuedMessages(); }
    bool receiveServerBytes(std::string_view bytes) { return client_->receiveServerBytes(bytes); }

    // The roster: what the game client says of arrivals and departures.
    void newplayerinfo(int number, const QString& name);
    void playerdisconnected(int number, const QString& name, const QString& seatName, bool spyLeft);
    void loadchecklist();
    void label_playername1ContextPopup(int seat, const QPoint& globalPos);
    void RemoveFromGame1Click();
    void kicking(int number);

    // Board and word building.
    void boardMouseDown(Qt::MouseButton button, QPoint point);
    void boardMouseMove(QPoint point);
    void boardMouseUp(Qt::MouseButton button);
    void thewandMouseDown(Qt::MouseButton button);
    void wordletter1Click(int slot);
    void button_enterClick();
    void button_clearClick();
    void pressdone();
    void clearletters();
    void ClickLetters1Click();
    void FlatButton1Click();
    int lettercount() const { return word.lettercount(); }
    bool dragging = false;
    // Keys typed while the board has the focus: letters build the word, Backspace takes one
    // back, Enter sends, Esc clears, Tab moves through the chains that spell it.
    void boardKeyTyped(int key, const QString& text);
    const TypedWord& typedWord() const { return typed; }
    // The board options of the Options menu (tchat_board_options.cpp).
    void boardOptionClick();
    // The layout's scale over its own size; 1 at the default size.
    qreal layoutScale() const;
    // The end-of-round panel's review view (tchat_review.cpp).
    void ReviewClick();
    bool reviewOpen() const;
    // Built the first time it is wanted: most sessions never open it.
    ReviewPanel& reviewPanel();

    // Game, round and score display.
    void startthegame(int starter);
    void setbonustiles();
    void nextround(int round, bool tieBreak);
    void showClock(int secondsLeft);
    void foundword(const wire::FoundWord& found, bool mine);
    void badword(int reason, const QString& refused);
    void endturn(const GameClient::RoundScores& scores);
    void postwinner(const QString& winner);
    void gamestats();
    QString timePrefix() const;

    // Chat, phrases, chatter sounds.
    void addlinetochat(const QString& text, uint32_t colour);
    void sendit();
    void chatrecieved(const QString& text, uint32_t colour);
    void playasound(int number, const QString& sound);
    void b_phrase1Click(int button);
    void b_phrase10Click();
    void wave20Click(int number);
    void PlayChatterSounds1Click();
    void ChatColor1Click();
    void ActionColor1Click();
    void N8Click(int size);
    void ScrollChatOff1Click();
    void ClearMainChat1Click();
    void Copy1Click();
    void Paste1Click();
    void PhraseList1Click();

    // Settings.
    void loadinifile();
    void saveinifile();

    // Tile sets and sounds.
    void playsounds(const QString& name);
    void PlaySounds1Click();
    void Classic1Click(int value);
    void grouptilesmenu();
    void creategrouptilesmenu(const QString& name);
    void loadgrouptiles(const QString& name);
    void grouptilesmenuClick(QAction* item);
    void tickTileSet();

    // Start dialog and spies.
    void button_startClick();
    void startgame();
    void SpyList1Click();

    // Computer players the host seats in its own game (tchat_bots.cpp).
    void AddComputerPlayer1Click(int level);
    ComputerPlayers& computerPlayers() { return *computers; }

    // The name this window logs in with and the address it connects to.
    QString playername;
    std::string hostaddress;

    // Options the player chose.
    QString tileSetName;
    uint32_t chatColour = 0x400000; // ColorDialog
    uint32_t actionColour = 0x400000; // ColorDialog2
    int turnSound = 0; // 0 Classic, 1 New
    int chatTextSize = 8;

    SoundPlayer& sounds() { return *sounds_; }
    Ttallylist& tally() { return *tallylist; }
    // The end-of-round scrolls (four lists of words, "panel_scrolls"): made when a round
    // first needs them, at the window's scale then.
    QWidget& scrollsPanel();
    // Companion windows, each built the first time it is asked for.
    Tgamestartform& startForm();
    Tspylist& spyList();
    Tphrases& phraseEditor();
    // Replaces the colour chooser in tests: given the current colour, gives the
    // chosen one or nothing when cancelled.
    std::function<std::optional<uint32_t>(uint32_t)> chooseColour;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanels();
    void buildScorePanel(QWidget* parent);
    void buildBoardPanel(QWidget* parent);
    void buildChatArea(QWidget* parent);
    void buildOverlays(QWidget* parent);
    void resetScroll(int seat); // a made scroll back to its empty look
    void buildMenus();
    void buildCompanions();
    void makeClient();
    void resetGameDisplay();
    void FormCreate();
    void FormResize();
    void FormClose();

    QLabel* seatLabel(const char* prefix, int seat) const;
    QListWidget* seatList(int seat); // makes the scrolls
    QString seatCaption(int seat) const;
    void showSeatScores();
    void showSeatWords(int seat);
    void addLetter(int c, int r);
    void placeWand(int c, int r);
    void clearWordSlots();
    QPixmap slotPicture(int code) const;
    std::vector<QPoint> wordCells() const;
    void showPath();
    void showTypedWord();
    bool typingOn() const;
    void giveBoardTheKeys();
    void markOwnSeat();
    void boardCellChanged(int c, int r, int code);
    void offerReview();
    void openReview();
    void closeReview();
    void reviewWordChosen(const std::vector<QPoint>& path);
    void rescalePictures(qreal scale);
    void addBoardOptions(QMenu* options);
    void applyBoardOptions();
    void readBoardOptions(const GameSettings& stored);
    void writeBoardOptions(GameSettings& stored) const;
    void drawSlot(int slot);
    void redrawBoardAndSlots();
    void setStatus(const QString& text, const QColor& colour);
    void showGameTerms();
    void tallyOwnWord(const QString& word, int64_t score);
    void tallyRoundScore(int64_t score);
    void tallyWinner(const QString& winner);
    bool isClickMode() const;
    bool hasTile(int c, int r) const;
    void openLink(const QString& link);
    void setPhrase(int n, const QString& phrase);
    void setEntryColour(const QColor& colour);
    void savePhrases(const QStringList& texts);
    void showError(const QString& text);
    void connectionEnded(GameClient::Ending ending);
    void connectFailed(const QString& host, const QString& reason);
    void hostingFailed(const QString& error);
    // False when the host's leaving would end the game of people seated with it and
    // the host, asked, keeps it going.
    bool othersMayLoseTheGame();
    void storeSettings();

    // What this window is doing: nothing yet, a solo game, or a multi-player
    // game as its host or as a joiner.
    enum class GameRole { None, Solo, Host, Join };
    void setRole(GameRole next);
    void addHostJoinItems(QMenu* file);
    void addAnnounceItem(QMenu* options);
    void readHostJoinSettings();
    void changeSettings(const std::function<void(GameSettings&)>& change);
    void readSettings(const std::function<void(const GameSettings&)>& read);
    void leaveGame();
    void joinDeclined();
    quint16 hostedPort() const;
    void startAnnouncing();
    void stopAnnouncing();
    void refreshAnnouncement();
    GameRole role = GameRole::None;
    bool joinedFromWindow = false; // a join the player chose here, not on the command line
    std::string joinPort; // the port a join named; empty: the game's own
    std::unique_ptr<discovery::GameAnnouncer> announcer_;
    // The settings as the last own login read them; none before it, so nothing
    // built in can replace what the player stored.
    std::unique_ptr<GameSettings> settings_;

    TchatSetup setup_;
    std::unique_ptr<GameClient> client_;

    WordBuilder word;
    TypedWord typed;
    // The built-in tiles drawn for the layout's scale, for the word slots; none at scale 1.
    std::unique_ptr<TileImages> scaledTiles;
    LayoutScaler* scaler = nullptr;
    ReviewPanel* panel_review = nullptr;
    QPushButton* button_review = nullptr;
    std::unique_ptr<TileImages> tiles;
    std::unique_ptr<SoundPlayer> sounds_;

    // Widgets (owned by Qt's parent tree).
    QWidget* panel_main = nullptr;
    QWidget* panel_board = nullptr;
    QWidget* panel_theboard = nullptr;
    QWidget* panel_score = nullptr;
    BoardView* board = nullptr;
    QLabel* thewand = nullptr;
    std::array<QLabel*, 14> wordletter {};
    QLabel* button_clear = nullptr;
    QLabel* button_enter = nullptr;
    QLabel* label_time = nullptr;
    QLabel* label_status1 = nullptr;
    QLabel* label_status2 = nullptr;
    QLabel* label_timeperround = nullptr;
    QLabel* label_round = nullptr;
    QPushButton* button_start = nullptr;
    QWidget* panel_winner = nullptr;
    QLabel* label_winner1 = nullptr;
    QLabel* label_winner2 = nullptr;
    QWidget* panel_scrolls = nullptr;
    QWidget* panel_dragging = nullptr;
    ChatPane* mainchat = nullptr;
    EntryBox* mychat = nullptr;
    std::array<QPushButton*, 11> b_phrase {};
    QMenu* popup_kick = nullptr;
    QAction* RemoveFromGame1 = nullptr;
    int popupKickSeat = 0; // the pop-up menu's tag
    QMenu* popup_sounds = nullptr;
    QMenu* grouptilesitem = nullptr;
    QActionGroup* tileGroup = nullptr;

    // Menu items with state.
    QAction* StartGame1 = nullptr;
    QAction* HostaGame1 = nullptr;
    QAction* JoinaGame1 = nullptr;
    QAction* PlaySolo1 = nullptr;
    QAction* AnnounceMyGame1 = nullptr;
    QAction* ClickLetters1 = nullptr;
    QAction* ShowWordPath1 = nullptr;
    QAction* TypeWords1 = nullptr;
    QAction* BonusLabels1 = nullptr;
    QAction* GrowWithWindow1 = nullptr;
    QAction* RoundReview1 = nullptr;
    QAction* PlaySounds1 = nullptr;
    QAction* PlayChatterSounds1 = nullptr;
    QAction* ScrollChatOff1 = nullptr;
    QAction* ScrollChatOff2 = nullptr;
    QAction* Classic1 = nullptr;
    QAction* New1 = nullptr;
    std::array<QAction*, 4> textSizeItems {};

    // Companion windows, built on first use; the tally window at once, as it holds
    // the tally read at start.
    LazyWindow<Thelp> help { this };
    LazyWindow<Tabout> about { this };
    Ttallylist* tallylist = nullptr;
    LazyWindow<Tspylist> spylist { this };
    LazyWindow<Tgamestartform> gamestartform { this };
    LazyWindow<Tphrases> phrases { this };
    Thostgame* hostgame = nullptr;
    Tjoingame* joingame = nullptr;

    QRect loadedBounds; // the bounds last loaded from or saved to the settings
    bool shownOnce = false;
    bool ending = false; // the connection has ended: the window closes once the player was told
    bool linksTrusted = false; // the player chose to open chat links without being asked

    // Computer players (tchat_bots.cpp).
    void buildComputerPlayers(QMenu* file);
    void showComputerPlayers();
    void drawComputerMarkers();
    bool seatComputersBeforeStart();
    bool tallyHasOpponent() const;
    QStringList namesInUse() const;
    void readComputerSettings(const GameSettings& stored);
    void writeComputerSettings(GameSettings& stored) const;
    // What the start dialog shows, held here until the dialog is first opened, so that
    // a start builds no dialog it does not show; once built, the dialog holds it.
    struct StartChoices {
        std::optional<std::pair<QString, QString>> roundsAndMinutes; // as stored, even out of range
        struct Computers {
            bool wanted = false;
            int level = 0;
            int count = 0;
        };
        std::optional<Computers> computerChoice;
        bool computerOffer = false; // the offer is shown (a solo host)
    };
    void setStartTexts(const QString& rounds, const QString& minutes);
    void applyStartChoices(Tgamestartform& form) const;
    // What the dialog shows: its controls' values once it is made, else what it will show.
    StartChoices shownStartChoices() const;
    StartChoices startChoices;
    ComputerPlayers* computers = nullptr;
    QMenu* AddComputerPlayer1 = nullptr;
    std::array<QLabel*, kSeats + 1> computerMarker {}; // 1 to 4
    bool computersHoldStart = false; // the start waits for computer players to sit down
    bool computersSeated = false; // they have: the next start goes out as asked
};
