// The game window fed by a hostile server: raw bytes through the socket's
// framing, and messages of every command the window knows with fields steered
// towards the values handlers branch on, while the dispatcher and the clock
// tick and the player pokes at the board. No input may break what the window
// promises about its queue, board, lists, chat pane and clock.
#include "fuzz_check.h"
#include "fuzz_input.h"

#include "board_view.h"
#include "chat_pane.h"
#include "clock_text.h"
#include "game_client.h"
#include "painted_look.h"
#include "shown_line.h"
#include "sound_player.h"
#include "tchat.h"
#include "tgamestartform.h"
#include "tile_images.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "wire_limits.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

// The window's own bounds, repeated here so that a change to them is a choice.
constexpr int kMaxSpyLines = 64;
constexpr int kMaxWordsShown = 5000;
constexpr int kMaxLetters = 12;
// "Time Per Round: 60" and the like.
constexpr int kMaxCounterText = 32;

// The step byte of a flood: one value only, and not one that mutations write
// often (0x00, 0xFF), as a flood usually ends with a window built anew. And the
// most a flood sends: past both the bound on unterminated bytes and (in pieces
// of up to 13 bytes) the queue's bound.
constexpr uint8_t kFloodStep = 0xA5;
constexpr std::size_t kMaxFloodBytes = 2 * wire::kMaxUnterminatedBytes;

// The step byte of a long field: one message whose field is a piece repeated
// up to a whole message's length, the shapes that once held a window for
// minutes (colons, bars, "www.", blanks, a NUL, line breaks, stacked marks,
// direction controls, digits). A slow input is a failure: scripts/fuzz.sh
// runs the engine with a timeout per input.
constexpr uint8_t kLongStep = 0x5A;
constexpr std::string_view kLongPieces[]
    = { ":", "|", "www.", " ", std::string_view("\0", 1), "\r\n", "\xCC\x81" /* U+0301 */,
          "\xE2\x80\xAE" /* U+202E */, "\xE2\x81\xA9" /* U+2069 */, "a\xD7\x90" /* a, U+05D0 */, "http://",
          "9", "a", "\xE2\x80\x8D" /* U+200D */, "\xE2\x81\xA8" /* U+2068 */, "%n" };

QTemporaryDir* folder = nullptr;

// Commands as processsocktimer knows them (and one it ignores), each with the
// fields the server sends, one letter a field:
//   s seat or connection number   i small number      m minutes     T seconds
//   c letter code                 r board row         w word        n name (rest)
//   k chat line with colour       t team flag         a chatter clip
//   b refusal reason              + a closing "+"
struct Command {
    const char* name;
    const char* fields;
};
constexpr Command kCommands[] = {
    { "CMD_sendlogininfo", "s" },
    { "CMD_chat", "k" },
    { "CMD_action", "k" },
    { "CMD_newplayerinfo", "sn" },
    { "CMD_existingplayers", "sn" },
    { "CMD_playerdisconnected", "sn" },
    { "CMD_startgame", "sitm+" },
    { "CMD_endround", "iiii" },
    { "CMD_winner", "n" },
    { "CMD_foundword", "swiisi" },
    { "CMD_updatetime", "T" },
    { "CMD_nextround", "i" },
    { "CMD_badword", "bsw+" },
    { "CMD_havewrongversion", "n" },
    { "CMD_wrongversion", "+" },
    { "CMD_boardtileline", "rccccccccccccc" },
    { "CMD_gamestats", "itm+" },
    { "CMD_setbonustiles", "+" },
    { "CMD_playasound", "sa+" },
    { "CMD_full", "+" },
};

// Field texts no honest server sends; chosen instead of the steered value when
// the field's byte is 0xF0 or above.
constexpr const char* kWildFields[] = { "", "-1", "0", "2147483647", "-2147483648", "2147483648",
    "99999999999", "a+b", "00", " 1", "1 ", "@", "|", "x: 9", "\xE9\xFF", "\r" };

constexpr const char* kColourNames[]
    = { "clBlack", "clMaroon", "clGreen", "clOlive", "clNavy", "clPurple", "clTeal", "clGray", "clSilver",
          "clRed", "clLime", "clYellow", "clBlue", "clFuchsia", "clAqua", "clWhite" };

std::string number(int64_t value) { return std::to_string(value); }

std::string letters(FuzzInput& input, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += char('a' + input.byte() % 26);
    return text;
}

std::string field(FuzzInput& input, char kind)
{
    const uint8_t b = input.byte();
    if (b >= 0xF0)
        return kWildFields[b - 0xF0];
    switch (kind) {
    case 's':
        return number(b % 8 - 1); // -1 to 6: nobody, the four seats, spies
    case 'i':
        return number(b % 64 - 4);
    case 'm':
        return number(b < 0xC0 ? b % 6 + 1 : int64_t(b - 0xC0) * 66000000); // some past the clock's range
    case 'T':
        return number(b % 200 - 8);
    case 'c':
        return number(b % 28); // 27 is one past the last letter
    case 'r':
        return number(b % 10); // 9 is one past the last row
    case 'w':
        return letters(input, b % 8 + 1);
    case 'n':
        return std::string(input.bytes(b % 24));
    case 't':
        return b % 4 == 3 ? "Y" : b % 2 ? "y" : "n";
    case 'a':
        return "wave" + number(b % 22);
    case 'b':
        return number(b % 4);
    case 'k': {
        // "<name> chats: <text>|<colour>", the colour named, hex or missing.
        std::string line
            = std::string(input.bytes(b % 8)) + " chats: " + std::string(input.bytes(input.byte() % 32));
        const uint8_t colour = input.byte();
        if (colour < 16)
            line += std::string("|") + kColourNames[colour];
        else if (colour < 0xC0)
            line += "|$00" + letters(input, 6);
        else if (colour < 0xE0)
            line += "|" + number(int(input.u32() & 0x1FFFFFF));
        return line;
    }
    }
    return {};
}

// A message of kLongStep: the kind of message, then the piece and how long its run is.
std::string longMessage(FuzzInput& input)
{
    const uint8_t what = input.byte();
    const std::string_view piece = kLongPieces[what % std::size(kLongPieces)];
    const std::size_t length = (std::size_t(input.byte()) + 1) * 16; // up to 4 KiB
    std::string run;
    while (run.size() < length)
        run += piece;
    run.resize(length); // may end inside a UTF-8 sequence, as a hostile host may
    switch (what / std::size(kLongPieces) % 8) {
    case 0:
        return "CMD_chat+" + std::string(input.bytes(input.byte() % 8)) + " chats: " + run + "|clRed";
    case 1:
        return "CMD_chat+" + run + " chats: x|clRed";
    case 2:
        return "CMD_action+" + run;
    case 3:
        return "CMD_newplayerinfo+" + field(input, 's') + "+" + run;
    case 4:
        return "CMD_nextround+" + run;
    case 5:
        return "CMD_updatetime+" + run;
    case 6:
        return "CMD_gamestats+" + run + "+n+" + run + "+";
    default:
        return "CMD_winner+" + run;
    }
}

std::string steeredMessage(FuzzInput& input)
{
    const Command& command = kCommands[input.byte() % std::size(kCommands)];
    std::string message = command.name;
    for (const char* kind = command.fields; *kind; ++kind)
        message += *kind == '+' ? "+" : "+" + field(input, *kind);
    return message;
}

// sockRead's rules, written out plainly: what the window must queue from a
// stream of reads, and when it must give the connection up.
struct FramingModel {
    std::size_t partial = 0; // bytes since the last end byte
    bool partialJunk = false; // a line break among them
    bool refused = false;

    // The queue's size after bytes arrive at a queue of `queued` messages.
    std::size_t feed(std::string_view bytes, std::size_t queued)
    {
        if (refused)
            return queued;
        bool overflow = false;
        for (std::size_t end; (end = bytes.find(wire::kEndByte)) != std::string_view::npos;
             bytes.remove_prefix(end + 1)) {
            if (!junk(bytes.substr(0, end)) && partial + end <= wire::kMaxMessageBytes) {
                if (queued < wire::kMaxClientQueue)
                    ++queued;
                else
                    overflow = true;
            }
            partial = 0;
            partialJunk = false;
        }
        partialJunk = junk(bytes);
        partial += bytes.size();
        if (partial > wire::kMaxUnterminatedBytes) {
            overflow = true;
            partial = 0;
            partialJunk = false;
        }
        refused = overflow;
        return queued;
    }

    // A line break anywhere in the message so far.
    bool junk(std::string_view more) const
    {
        return partialJunk || more.find_first_of("\r\n") != std::string_view::npos;
    }
};

struct Fuzzed {
    explicit Fuzzed(Tchat& w)
        : window(w)
        , board(w.findChild<BoardView*>("board"))
        , chat(w.findChild<ChatPane*>("mainchat"))
        , clock(w.findChild<QLabel*>("label_time"))
    {
        FUZZ_CHECK(board && chat && clock);
        for (int seat = 1; seat <= 4; ++seat) {
            words[std::size_t(seat)] = w.findChild<QListWidget*>(QString("listbox_scroll%1").arg(seat));
            FUZZ_CHECK(words[std::size_t(seat)]);
        }
    }

    Tchat& window;
    FramingModel framing;
    BoardView* board;
    ChatPane* chat;
    QLabel* clock;
    std::array<QListWidget*, 5> words {};

    void receive(std::string_view bytes)
    {
        const std::size_t expected = framing.feed(bytes, window.queuedMessages());
        FUZZ_CHECK(window.receiveServerBytes(bytes) == !framing.refused);
        FUZZ_CHECK(window.queuedMessages() == expected);
    }

    void dispatch()
    {
        // Every waiting message a tick, or at least one when the tick's time
        // budget runs out first.
        const std::size_t before = window.queuedMessages();
        window.Timer1Timer();
        FUZZ_CHECK(before == 0 || window.queuedMessages() < before);
    }

    void tickClock()
    {
        const int before = window.client().state().secondsleft;
        window.timer2Timer();
        const int after = window.client().state().secondsleft;
        if (before > 0) {
            // A running clock loses one second and shows what is left.
            FUZZ_CHECK(after == before - 1);
            FUZZ_CHECK(clock->text() == clockText(window.timePrefix(), after));
        } else {
            FUZZ_CHECK(after == before);
        }
    }

    void check() const
    {
        FUZZ_CHECK(window.queuedMessages() <= wire::kMaxClientQueue);
        for (int c = 0; c < BoardView::kColumns; ++c)
            for (int r = 0; r < BoardView::kRows; ++r) {
                const int tile = window.client().state().boardtiles[std::size_t(c)][std::size_t(r)];
                const int bonus = window.client().state().boardbonus[std::size_t(c)][std::size_t(r)];
                FUZZ_CHECK(tile >= 0 && tile < TileImages::kCount);
                FUZZ_CHECK(bonus >= 0 && bonus <= 3);
                // What is drawn is what the window plays with.
                FUZZ_CHECK(board->tileAt(c, r) == tile && board->bonusAt(c, r) == bonus);
            }
        FUZZ_CHECK(window.lettercount() >= 0 && window.lettercount() <= kMaxLetters);
        FUZZ_CHECK(window.spyList().lines().size() <= kMaxSpyLines);
        for (const QString& line : window.spyList().lines())
            FUZZ_CHECK(line.section(": ", 0, 0).toInt() > 4); // only connections past the four seats spy
        // The pane stays within its bounds, and each line shown is one bounded line.
        FUZZ_CHECK(chat->document()->blockCount() <= ChatPane::kMaxLines + 1);
        FUZZ_CHECK(chat->document()->characterCount() <= ChatPane::kMaxCharacters + 1);
        for (QTextBlock line = chat->document()->begin(); line.isValid(); line = line.next())
            FUZZ_CHECK(line.length() <= shownline::kMaxLength + 2);
        FUZZ_CHECK(!clock->text().contains('-'));
        // Round and terms show a caption and a number in range, never what a host wrote at length.
        for (const char* counter : { "label_round", "label_status1", "label_timeperround" })
            FUZZ_CHECK(window.findChild<QLabel*>(counter)->text().size() <= kMaxCounterText);
        for (int seat = 1; seat <= 4; ++seat) {
            // Each seat's words stay few enough to show, best score first.
            const QListWidget* list = words[std::size_t(seat)];
            FUZZ_CHECK(list->count() <= kMaxWordsShown);
            int previous = INT_MAX;
            for (int i = 0; i < list->count(); ++i) {
                const QString entry = list->item(i)->text();
                const int colon = int(entry.lastIndexOf(": "));
                FUZZ_CHECK(colon >= 0);
                bool ok = false;
                const int score = entry.mid(colon + 2).toInt(&ok);
                FUZZ_CHECK(ok && score <= previous);
                previous = score;
            }
        }
        // Sounds are switched off: nothing was asked to play, nothing sounds.
        FUZZ_CHECK(window.sounds().played().isEmpty() && window.sounds().soundingCount() == 0);
    }
};

// The player's hand on the board while messages arrive: presses, drags and
// releases at cell centres (column 13 and row 9 are off the board), slot
// clicks and the two buttons.
void playerMove(Tchat& window, FuzzInput& input)
{
    const uint8_t what = input.byte();
    const QPoint at(40 * (input.byte() % 14) + 20, 40 * (input.byte() % 10) + 20);
    switch (what % 7) {
    case 0:
        window.boardMouseDown(Qt::LeftButton, at);
        break;
    case 1:
        window.boardMouseDown(Qt::RightButton, at);
        break;
    case 2:
        window.boardMouseMove(at);
        break;
    case 3:
        window.boardMouseUp(Qt::LeftButton);
        break;
    case 4:
        window.wordletter1Click(what / 7 % 14);
        break;
    case 5:
        window.button_clearClick();
        break;
    case 6:
        window.button_enterClick();
        break;
    }
}

// A window as the program builds it, minus the server: the settings file and
// tile folder of this run, and nothing modal or outside the process.
std::unique_ptr<Tchat> makeWindow()
{
    TchatSetup setup;
    setup.settingsFile = folder->filePath("settings.ini");
    setup.tileFolders = { folder->filePath("tiles") };
    setup.showError = [](const QString&) {};
    setup.openLink = [](const QString&) {};
    setup.showDownload = [] {};
    auto window = std::make_unique<Tchat>(std::move(setup));
    // The two sound switches of the Options menu, turned off the way a player would.
    for (const char* name : { "PlaySounds1", "PlayChatterSounds1" }) {
        QAction* item = window->findChild<QAction*>(name);
        FUZZ_CHECK(item && item->isChecked());
        item->trigger();
    }
    // The settings as every own login reads them; reading them again changes nothing.
    window->loadinifile();
    FUZZ_CHECK(!window->sounds().effectsOn() && !window->sounds().chatterOn());
    window->tally().ask = [](const QString&) { return true; };
    window->tally().notify = [](const QString&) {};
    // The end-of-round scrolls and the tally window's controls are made on first use:
    // made here, every input meets them and every check can look at them.
    window->scrollsPanel();
    window->tally().buildControls();
    return window;
}

// What the window and its game client hold, compared with a new window's.
struct Fields {
    bool loggedin, ishost, canplay, phraseready, running;
    int mynumber, secondsleft, round, phraseticks;
    client::ClockPhase phase;
    client::GameTerms terms;
    std::array<std::array<int, kBoardRows>, kBoardColumns> boardtiles, boardbonus;
    QStringList seats;
    std::size_t spies;
    bool dragging;
    QString tileSetName, playername;
    std::string hostaddress;
    uint32_t chatColour, actionColour;
    int turnSound, chatTextSize;
    bool operator==(const Fields& o) const
    {
        return std::tie(loggedin, ishost, canplay, phraseready, running, mynumber, secondsleft, round,
                   phraseticks, phase, boardtiles, boardbonus, seats, spies, dragging, tileSetName,
                   playername, hostaddress, chatColour, actionColour, turnSound, chatTextSize)
            == std::tie(o.loggedin, o.ishost, o.canplay, o.phraseready, o.running, o.mynumber, o.secondsleft,
                o.round, o.phraseticks, o.phase, o.boardtiles, o.boardbonus, o.seats, o.spies, o.dragging,
                o.tileSetName, o.playername, o.hostaddress, o.chatColour, o.actionColour, o.turnSound,
                o.chatTextSize)
            && terms.rounds == o.terms.rounds && terms.minutes == o.terms.minutes
            && terms.teamGame == o.terms.teamGame;
    }
};

Fields fieldsOf(const Tchat& w)
{
    const GameClient& c = w.client();
    const client::ClientState& st = c.state();
    QStringList seats;
    for (int n = 1; n <= kSeats; ++n) {
        const client::Seat& seat = st.seat(n);
        seats << QString("%1 %2 %3 %4 %5")
                     .arg(seat.taken)
                     .arg(seat.name)
                     .arg(seat.score)
                     .arg(seat.words.size())
                     .arg(seat.bonus.value_or(-1));
    }
    return { st.loggedin, st.ishost, st.canplay, c.phraseready(), c.gameRunning(), st.mynumber,
        st.secondsleft, st.round, c.phraseticks(), st.phase, st.terms, st.boardtiles, st.boardbonus, seats,
        st.spies.size(), w.dragging, w.tileSetName, w.playername, w.hostaddress, w.chatColour, w.actionColour,
        w.turnSound, w.chatTextSize };
}

// The tally's record is the one thing that carries over between inputs: only
// the tally window shows it and no handler reads it back (reset() empties it).
bool isTallyRecord(Tchat& w, QWidget* x) { return qobject_cast<QLabel*>(x) && w.tally().isAncestorOf(x); }

// Everything else a handler can change that shows from outside: each widget's
// visibility, look and text, each list, each menu item, the board and queue.
QStringList lookOf(Tchat& w)
{
    // Companion windows are built and the team markers drawn on first use:
    // made here, every look compares the same widgets and pictures.
    w.spyList();
    w.startForm();
    w.phraseEditor();
    w.reviewPanel();
    w.drawTeamBalls();
    QStringList look;
    for (QWidget* x : w.findChildren<QWidget*>()) {
        if (isTallyRecord(w, x))
            continue;
        QString line = x->objectName() + (x->isHidden() ? " hidden " : " shown ") + x->styleSheet() + "|"
            + x->palette().color(QPalette::WindowText).name(QColor::HexArgb) + " " + x->font().key() + "|"
            + x->toolTip();
        if (auto* patched = qobject_cast<PatchLabel*>(x))
            line += "|" + patched->patch().fill.name(QColor::HexArgb);
        if (auto* label = qobject_cast<QLabel*>(x))
            line += "|" + label->text() + (label->pixmap().isNull() ? "" : "|picture");
        if (auto* button = qobject_cast<QAbstractButton*>(x))
            line += "|" + button->text();
        if (auto* edit = qobject_cast<QLineEdit*>(x))
            line += "|" + edit->text();
        if (auto* text = qobject_cast<QTextEdit*>(x))
            line += "|" + text->toPlainText() + "|" + QString::number(text->document()->maximumBlockCount())
                + "|" + QString::number(text->document()->defaultFont().pointSize());
        if (auto* list = qobject_cast<QListWidget*>(x))
            for (int i = 0; i < list->count(); ++i)
                line += "|" + list->item(i)->text();
        look << line;
    }
    for (QAction* item : w.findChildren<QAction*>())
        look << item->objectName() + (item->isChecked() ? " checked" : "")
                + (item->isEnabled() ? " enabled" : "");
    const auto* board = w.findChild<BoardView*>("board");
    for (int c = 0; c < BoardView::kColumns; ++c)
        for (int r = 0; r < BoardView::kRows; ++r)
            look << QString("%1.%2 %3 %4").arg(c).arg(r).arg(board->tileAt(c, r)).arg(board->bonusAt(c, r));
    look << QString("queue %1 letters %2 played %3 spies %4 geometry %5,%6 %7x%8")
                .arg(w.queuedMessages())
                .arg(w.lettercount())
                .arg(w.sounds().played().size())
                .arg(w.spyList().lines().size())
                .arg(w.x())
                .arg(w.y())
                .arg(w.width())
                .arg(w.height());
    return look;
}

// A widget's children in stacking order, lowest first; windows have none.
QList<QWidget*> stackOf(QWidget* parent)
{
    QList<QWidget*> order;
    for (QWidget* x : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!x->isWindow())
            order << x;
    return order;
}

// A window that has read its settings, as every input starts with it, and how
// to bring it back there.
struct Baseline {
    explicit Baseline(Tchat& w)
        : fields(fieldsOf(w))
        , look(lookOf(w))
        , rounds(w.startForm().roundsText())
        , minutes(w.startForm().minutesText())
    {
        for (QWidget* x : w.findChildren<QWidget*>())
            if (QList<QWidget*> order = stackOf(x); order.size() > 1)
                stacking.emplace_back(x, order);
    }

    void restore(Tchat& w) const
    {
        // A new game client puts the game display back as new, as a new role
        // does in play; what is no game's stays as the player left it.
        w.replaceClient();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w.ClearMainChat1Click();
        // Overlays raised by handlers go back under: where siblings changed
        // order, each is raised in turn in its old order.
        for (const auto& [parent, order] : stacking)
            if (stackOf(parent) != order)
                for (QWidget* x : order)
                    x->raise();
        w.startForm().setStoredValues(rounds, minutes);
        w.tally().FlatButton2Click();
        w.loadchecklist();
        // A departure of our own seat asks the window to close later; no later comes.
        QCoreApplication::removePostedEvents(&w);
        // Nothing runs the event loop here, so what Qt hands to deleteLater()
        // (style sheets that were replaced, for one) goes now, not never.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    Fields fields;
    QStringList look;
    QString rounds, minutes;
    std::vector<std::pair<QWidget*, QList<QWidget*>>> stacking;
};

// One window for the whole run, put back after every input (see LLVMFuzzerTestOneInput).
struct Session {
    void rebuild()
    {
        baseline.reset();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window = makeWindow();
        baseline = std::make_unique<Baseline>(*window);
        // Every window starts alike, so a rebuilt one continues the run unnoticed.
        if (firstLook.isEmpty())
            firstLook = baseline->look;
        FUZZ_CHECK(baseline->look == firstLook);
    }
    std::unique_ptr<Tchat> window;
    std::unique_ptr<Baseline> baseline;
    QStringList firstLook;
};

Session* session = nullptr;

} // namespace

// Present when LeakSanitizer is linked in (see LLVMFuzzerInitialize).
extern "C" __attribute__((weak)) void __lsan_disable();
extern "C" __attribute__((weak)) void __lsan_enable();

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    static QTemporaryDir instance;
    if (!instance.isValid() || !QDir(instance.path()).mkdir("tiles"))
        std::abort();
    folder = &instance;
    // Read at every own login: sounds stay off, and the first-time notice was
    // seen, so the window never writes the file.
    QFile settings(folder->filePath("settings.ini"));
    if (!settings.open(QIODevice::WriteOnly)
        || settings.write("[Lexmire]\nFirsttime=no\nPlaysounds=false\nChatterSounds=false\n") < 0)
        std::abort();
    settings.close();
    // The first window loads the fonts, and fontconfig loses a little of its
    // configuration doing so, once per process: not ours to report.
    if (__lsan_disable)
        __lsan_disable();
    session = new Session;
    session->rebuild();
    if (__lsan_enable)
        __lsan_enable();
    return 0;
}

// Input: a first byte of flags, then steps, each a byte picking what happens
// and the bytes it reads.
//
// One window serves every input and is put back as it was after each. A new
// window per input would be simplest to trust, but building one (tile
// pictures, textures, companion windows) takes about 60 ms under the
// sanitizers, which held the engine near 15 runs a second. Putting it back
// is checked rather than assumed: after every input a new game client must
// bring the window back to look exactly as a new one does (lookOf, fieldsOf),
// so an input replays alone as the engine ran it, and a player who takes a
// new role in the same window starts as clean as in a new program.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Tchat& window = *session->window;
    Fuzzed f(window);

    FuzzInput input(data, size);
    window.client().setHost(input.byte() & 1); // the host's window shows a few things more
    while (!input.empty()) {
        const uint8_t step = input.byte();
        if (step == kFloodStep) {
            // One short piece many times over, in reads of up to 4 KiB: enough
            // to pass the bound on unterminated bytes or on the queue. Rare, as
            // a window that let its connection go must be built anew.
            const std::string piece(input.bytes(1 + input.byte() % 32));
            if (piece.empty())
                break; // the input ran out
            std::size_t left
                = piece.size() * std::min<std::size_t>(input.u32() % 0x10000, kMaxFloodBytes / piece.size());
            std::string read;
            while (read.size() < 4096 && read.size() < left)
                read += piece;
            while (left > 0) {
                const std::size_t n = std::min(left, read.size());
                f.receive(std::string_view(read).substr(0, n));
                left -= n;
            }
        } else if (step == kLongStep) {
            f.receive(longMessage(input) + wire::kEndByte);
            f.dispatch();
        } else {
            switch (step % 8) {
            case 0:
                // Raw bytes, end bytes and all, as one read.
                f.receive(input.bytes(input.byte()));
                break;
            case 1:
            case 2:
            case 3:
            case 4:
                // A whole message, then the one tick the dispatcher gives it.
                f.receive(steeredMessage(input) + wire::kEndByte);
                f.dispatch();
                break;
            case 5:
                for (int i = 0, ticks = 1 + input.byte() % 32; i < ticks; ++i)
                    f.dispatch();
                break;
            case 6:
                for (int i = 0, ticks = 1 << (input.byte() % 8); i < ticks; ++i)
                    f.tickClock();
                break;
            case 7:
                playerMove(window, input);
                break;
            }
        }
        f.check();
    }

    // The input ends: a message cut short is ended, and what waits is handled
    // as the dispatcher would go on doing.
    if (f.framing.partial > 0)
        f.receive(std::string(1, wire::kEndByte));
    while (window.queuedMessages() > 0)
        f.dispatch();
    f.check();
    const Baseline& baseline = *session->baseline;
    baseline.restore(window);
    FUZZ_CHECK(fieldsOf(window) == baseline.fields);
    const QStringList look = lookOf(window);
    for (qsizetype i = 0; i < look.size() && i < baseline.look.size(); ++i)
        if (look[i] != baseline.look[i])
            std::fprintf(stderr, "not put back: %s\n     was: %s\n", qPrintable(look[i]),
                qPrintable(baseline.look[i]));
    FUZZ_CHECK(look == baseline.look);
    return 0;
}
