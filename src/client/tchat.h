// Tchat: the main window, the game client of every participant (the host's
// own window included). Its handlers are split by concern over tchat_*.cpp.
#pragma once

#include "game_running.h"
#include "protocol.h"
#include "tsock.h"
#include "word_builder.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class BoardView;
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

// What the program hands the window: where its files are and the few things
// only the program can do (the window never includes server code).
struct TchatSetup {
    QStringList arguments;          // the command line, without the program name
    QString settingsFile;           // "brellowlobby.ini"
    QStringList tileFolders;        // folders searched for "<set>.bmp"
    std::string gamePort = "7772";  // the game server's port
    std::string lobbyPort = "9001"; // the lobby link on 127.0.0.1
    std::shared_ptr<GameRunning> gamerunning;
    // Switches the game server's listener on; throws ESockException.
    std::function<void()> startHosting;
    // Shows the lobby download window (solo starts only).
    std::function<void()> showDownload;
    // Opens a link from the chat pane with the desktop's handler.
    std::function<void(const QString&)> openLink;
    // Error boxes and questions; tests replace them so nothing modal appears.
    std::function<void(const QString&)> showError;
};

class Tchat : public QMainWindow {
    Q_OBJECT
public:
    explicit Tchat(TchatSetup setup, QWidget* parent = nullptr);
    ~Tchat() override;

    // Start-up and frame.
    void processparams();
    void hostpress();
    void joinpress();
    void sockInfo(TSock* Sender, TSocketInfo SocketInfo, const std::string& Msg);
    void ResetScreenLocation1Click();
    void Exit1Click();
    void Help2Click();
    void About1Click();

    // Connection and dispatch.
    void Timer1Timer();
    void sockRead(TSock* Sender, int Count);
    void processsocktimer();
    void sendloginfo(std::string_view args);
    void newplayerinfo(std::string_view args);
    void playerdisconnected(std::string_view args);
    void loadchecklist();
    void label_playername1ContextPopup(int seat, const QPoint& globalPos);
    void RemoveFromGame1Click();

    // Board and word building.
    void fillspace(int c, int r);
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

    // Game, round and score display.
    void startthegame(std::string_view args);
    void boardtileline(std::string_view args);
    void setbonustiles();
    void nextround(std::string_view args);
    void updatetime(std::string_view args);
    void foundword(std::string_view args);
    void badword(std::string_view args);
    void endturn(std::string_view args);
    void postwinner(std::string_view args);
    void gamestats(std::string_view args);
    void timer2Timer();
    void processgametime();
    static void addtolist(QListWidget* list, int score, const QString& word);

    // Chat, phrases, chatter sounds.
    void addlinetochat(const QString& text, uint32_t colour);
    void sendit();
    void chatrecieved(std::string_view text);
    void playasound(std::string_view args);
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

    // Start dialog, spies, removal.
    void button_startClick();
    void startgame();
    void kicking(int number);
    void SpyList1Click();

    // State the other windows and the tests read.
    bool loggedin = false;
    bool ishost = false;
    QString playername;
    std::string loginname;
    std::string hostaddress;
    int mynumber = 0;
    std::array<std::array<int, 9>, 13> boardtiles {};
    std::array<std::array<int, 9>, 13> boardbonus {};
    bool canplay = false;
    int secondsleft = 0;
    bool dragging = false;
    bool phraseready = true;
    int phraseticks = 0;
    int lettercount() const { return word.lettercount(); }
    QString timePrefix; // "Time: " during a round, "Wait: " between rounds
    QString tileSetName;
    uint32_t chatColour = 0x400000;   // ColorDialog
    uint32_t actionColour = 0x400000; // ColorDialog2
    int turnSound = 0;                 // 0 Classic, 1 New
    int chatTextSize = 8;

    TSock& clientSocket() { return sock; }
    SoundPlayer& sounds() { return *sounds_; }
    Ttallylist& tally() { return *tallylist; }
    Tgamestartform& startForm() { return *gamestartform; }
    Tspylist& spyList() { return *spylist; }
    Tphrases& phraseEditor() { return *phrases; }
    std::size_t queuedMessages() const { return receivedlist.size(); }
    // Bytes as a read from the game server's connection delivers them, through
    // sockRead's framer, queue limit and overflow rule; tests and the fuzzer
    // call it, as they have no server. False once sockRead would have closed
    // the connection; after that no bytes are taken, as none would arrive.
    bool receiveServerBytes(std::string_view bytes);
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
    void FormCreate();
    void FormResize();
    void FormClose();

    QLabel* seatLabel(const char* prefix, int seat) const;
    QString seatCaption(int seat) const;
    bool send(const std::string& message);
    // Frames bytes from the server into receivedlist; false when the server
    // sent more than the window follows and the connection must end.
    bool takeServerBytes(std::string_view bytes);
    void addLetter(int c, int r);
    void placeWand(int c, int r);
    void clearWordSlots();
    void drawSlot(int slot);
    void redrawBoardAndSlots();
    void setStatus(const QString& text, const QColor& colour);
    // Reads "rounds+team+minutes" of a game start or a latecomer's game
    // statistics and shows them; false when the fields run out.
    bool showGameTerms(wire::FieldReader& fields);
    void showClock();
    void startClockTimer();
    void tallyOwnWord(const QString& word, int score);
    void tallyRoundScore(const QString& score);
    void tallyWinner(const QString& winner);
    void restartDispatch();
    bool isClickMode() const;
    void openLink(const QString& link);
    void saveBoundsOnClose();
    void setPhrase(int n, const QString& phrase);
    void setEntryColour(const QColor& colour);
    void savePhrases(const QStringList& texts);
    bool settingsLoaded = false; // nothing is saved before the file was read once

    TchatSetup setup_;
    std::shared_ptr<GameRunning> gamerunning;

    // Endpoints and the inbound queue.
    TSock sock;
    TSock Sock11;
    wire::MessageFramer framer;
    wire::InboundQueue receivedlist;
    bool serverBytesRefused = false; // receiveServerBytes' stand-in for a closed connection
    QTimer Timer1;
    QTimer timer2;

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
    int timePerRound = 3; // the tag of label_timeperround
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
};
