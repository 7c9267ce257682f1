// Tchat: the main window, the view of every participant (the host's own
// window included). The game itself lives in a GameClient; Tchat renders what
// it says and forwards what the player does. Its handlers keep the names
// players and tests know, split by concern over tchat_*.cpp.
#pragma once

#include "game_client.h"
#include "game_running.h"
#include "word_builder.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class BoardView;
class GameSettings;
class ChatPane;
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
class TileImages;
class Tphrases;
class Tspylist;
class Ttallylist;

// The player's answer when asked whether to open a link from the chat.
struct LinkAnswer {
    bool open = false;
    bool dontAskAgain = false; // until the program ends; a refusal never silences the question
};

// What the program hands the window: where its files are and the few things
// only the program can do (the window never includes server code).
struct TchatSetup {
    QStringList arguments;          // the command line, without the program name
    QString settingsFile;           // "brellowlobby.ini"
    QStringList tileFolders;        // folders searched for "<set>.bmp"
    std::string gamePort = "7772";  // the game server's port
    std::shared_ptr<GameRunning> gamerunning;
    // Switches the game server's listener on; throws ESockException.
    std::function<void()> startHosting;
    // Opens the link to the lobby program (hosting or joining from the command line).
    std::function<void()> openLobbyLink;
    // Shows the lobby download window (solo starts only).
    std::function<void()> showDownload;
    // Opens a web address (http or https, fully encoded) from the chat pane
    // with the desktop's handler.
    std::function<void(const QString&)> openLink;
    // Asks whether to open that address, showing it whole; without it no link opens.
    std::function<LinkAnswer(const QString&)> confirmLink;
    // Error boxes, notices and questions; tests replace them so nothing modal appears.
    std::function<void(const QString&)> showError;
    std::function<void(const QString&)> showNotice;
    std::function<bool(const QString&)> ask;
    // Milliseconds between dispatcher ticks while a phrase cools down; 0 leaves
    // every tick to whoever calls Timer1Timer, as tests do.
    int dispatchIntervalMs = 20;
};

class Tchat : public QMainWindow {
    Q_OBJECT
public:
    explicit Tchat(TchatSetup setup, QWidget* parent = nullptr);
    ~Tchat() override;

    GameClient& client() { return *client_; }
    const GameClient& client() const { return *client_; }
    // A new game client in place of the old, and the game display as new: for
    // a new role without a new program. Settings, chat and tally stay.
    void replaceClient();

    // Start-up and frame.
    void processparams();
    void hostpress();
    void joinpress();
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

    // The name this window logs in with and the address it connects to.
    QString playername;
    std::string hostaddress;

    // Options the player chose.
    QString tileSetName;
    uint32_t chatColour = 0x400000;   // ColorDialog
    uint32_t actionColour = 0x400000; // ColorDialog2
    int turnSound = 0;                 // 0 Classic, 1 New
    int chatTextSize = 8;

    SoundPlayer& sounds() { return *sounds_; }
    Ttallylist& tally() { return *tallylist; }
    Tgamestartform& startForm() { return *gamestartform; }
    Tspylist& spyList() { return *spylist; }
    Tphrases& phraseEditor() { return *phrases; }
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
    void buildMenus();
    void buildCompanions();
    void makeClient();
    void resetGameDisplay();
    void FormCreate();
    void FormResize();
    void FormClose();

    QLabel* seatLabel(const char* prefix, int seat) const;
    QListWidget* seatList(int seat) const;
    QString seatCaption(int seat) const;
    void showSeatScores();
    void showSeatWords(int seat);
    void addLetter(int c, int r);
    void placeWand(int c, int r);
    void clearWordSlots();
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
    void storeSettings();
    // The settings as the last own login read them; none before it, so nothing
    // built in can replace what the player stored.
    std::unique_ptr<GameSettings> settings_;

    TchatSetup setup_;
    std::shared_ptr<GameRunning> gamerunning;
    std::unique_ptr<GameClient> client_;

    WordBuilder word;
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
    QLineEdit* mychat = nullptr;
    std::array<QPushButton*, 11> b_phrase {};
    QMenu* popup_kick = nullptr;
    QAction* RemoveFromGame1 = nullptr;
    int popupKickSeat = 0; // the pop-up menu's tag
    QMenu* popup_sounds = nullptr;
    QMenu* grouptilesitem = nullptr;
    QActionGroup* tileGroup = nullptr;

    // Menu items with state.
    QAction* StartGame1 = nullptr;
    QAction* ClickLetters1 = nullptr;
    QAction* PlaySounds1 = nullptr;
    QAction* PlayChatterSounds1 = nullptr;
    QAction* ScrollChatOff1 = nullptr;
    QAction* ScrollChatOff2 = nullptr;
    QAction* Classic1 = nullptr;
    QAction* New1 = nullptr;
    std::array<QAction*, 4> textSizeItems {};

    // Companion windows.
    Thelp* help = nullptr;
    Tabout* about = nullptr;
    Ttallylist* tallylist = nullptr;
    Tspylist* spylist = nullptr;
    Tgamestartform* gamestartform = nullptr;
    Tphrases* phrases = nullptr;

    QRect loadedBounds; // the bounds last loaded from or saved to the settings
    bool shownOnce = false;
    bool ending = false; // the connection has ended: the window closes once the player was told
    bool linksTrusted = false; // the player chose to open chat links without being asked
};
