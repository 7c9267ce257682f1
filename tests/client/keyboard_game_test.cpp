// A whole solo game without the mouse: every key goes where the keyboard is (the focused
// control, or an open menu), as the window system would send it. The game starts from the Start
// picture reached by Tab and from File → Start Game, the start dialog takes the keyboard and
// starts on Enter, a word is typed on the board, the clock ends the rounds, Alt+R opens the
// review from the board, Tab reaches the chat entry, and every window the menus open comes up
// with the keyboard and goes again on Esc.
#include "board_view.h"
#include "embedded_word_list.h"
#include "pump.h"
#include "tchat.h"
#include "tdictn.h"
#include "tgamestartform.h"
#include "thostgame.h"
#include "tjoingame.h"
#include "tphrases.h"
#include "tserver.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "word_on_board.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using testsupport::pumpUntil;

namespace {

// More Tab presses than the window has controls.
constexpr int kMostTabStops = 30;

class KeyboardGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        TServer::Options options;
        options.portName = "0";
        options.dictionaryPath = folder.filePath("English").toStdString();
        options.wordRecords = embeddedWordList();
        options.secondMs = 24 * 3600 * 1000; // the clock moves only when the test ticks it
        options.dispatchIntervalMs = 0;
        server = std::make_unique<TServer>(std::move(options));
        server->seed(7);

        server->startListening();

        TchatSetup setup; // no arguments: a solo game
        setup.settingsFile = folder.filePath("solo.ini");
        setup.tileFolders = { folder.filePath("tiles") };
        setup.gamePort = std::to_string(server->listeningPort());
        setup.dispatchIntervalMs = 0;
        setup.startHosting = [this] { server->startListening(); };
        window = std::make_unique<Tchat>(setup);
        testsupport::setPumpHook([this] {
            while (server->queuedMessages() > 0)
                server->socktimerTimer();
            while (window && window->queuedMessages() > 0)
                window->Timer1Timer();
        });
    }

    void TearDown() override
    {
        testsupport::setPumpHook({});
        window.reset();
    }

    // Where the window system sends a key: an open menu, else the control with the keyboard.
    static QWidget* keyTarget()
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup;
        if (QWidget* focus = QApplication::focusWidget())
            return focus;
        return QApplication::activeWindow();
    }

    static bool press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = keyTarget();
        if (!target)
            return false;
        QTest::keyClick(target, key, modifiers);
        return true;
    }

    static void typeKeys(const QString& text)
    {
        for (QChar letter : text)
            QTest::keyClick(keyTarget(), letter.toLatin1());
    }

    // Tab until the named control has the keyboard; false when the chain never reaches it.
    bool tabTo(const char* name)
    {
        auto* wanted = window->findChild<QWidget*>(name);
        for (int step = 0; wanted && step < kMostTabStops; ++step) {
            if (QApplication::focusWidget() == wanted)
                return true;
            press(Qt::Key_Tab);
        }
        return wanted && QApplication::focusWidget() == wanted;
    }

    // Opens a menu of the bar with Alt and its letter, then walks down it with the arrow until
    // the named item is the active one and presses Enter on it.
    bool chooseFromMenu(Qt::Key menuLetter, const char* item)
    {
        press(menuLetter, Qt::AltModifier);
        if (!pumpUntil([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }))
            return false;
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (int step = 0; step < kMostTabStops; ++step) {
            if (menu->activeAction() && menu->activeAction()->objectName() == item) {
                press(Qt::Key_Return);
                return true;
            }
            press(Qt::Key_Down);
        }
        press(Qt::Key_Escape);
        return false;
    }

    static bool isActive(QWidget* window)
    {
        return pumpUntil([window] { return window->isVisible() && window->isActiveWindow(); });
    }

    // A window manager hands the keyboard back to the main window when a window it opened goes;
    // the offscreen platform has none, so the test does what one would.
    bool backToTheWindow()
    {
        if (!window->isActiveWindow())
            window->activateWindow();
        return isActive(window.get());
    }

    QString chat() const { return window->findChild<QTextEdit*>("mainchat")->toPlainText(); }
    bool roundRunning() const { return window->client().canplay() && window->client().gameRunning(); }

    // Every round of the game to its end, by the server clock's tick handler.
    bool playToTheEnd()
    {
        auto* banner = window->findChild<QWidget*>("panel_winner");
        for (int tick = 0; tick < 1000 && banner->isHidden(); ++tick) {
            server->gametimeTimer();
            testsupport::pumpPending();
        }
        return !banner->isHidden();
    }

    QTemporaryDir folder;
    std::unique_ptr<TServer> server;
    std::unique_ptr<Tchat> window;
};

} // namespace

TEST_F(KeyboardGame, ASoloGameFromStartToTheNextGameWithoutTheMouse)
{
    window->processparams();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(isActive(window.get()));
    ASSERT_TRUE(pumpUntil([&] { return window->client().loggedin(); }));

    // The first-run notice opens with the keyboard on its Done button.
    auto* notice = window->findChild<QWidget*>("panel_dragging");
    ASSERT_TRUE(pumpUntil([&] { return !notice->isHidden(); })); // shown once the settings are read
    EXPECT_EQ(QApplication::focusWidget(), window->findChild<QWidget*>("FlatButton1"));
    press(Qt::Key_Return);
    EXPECT_TRUE(notice->isHidden());

    // The Start picture, reached by Tab and pressed with Enter, opens the start dialog with the
    // keyboard on Start.
    ASSERT_TRUE(tabTo("button_start"));
    press(Qt::Key_Return);
    Tgamestartform& form = window->startForm();
    EXPECT_EQ(form.windowFlags() & Qt::WindowType_Mask, Qt::Dialog) << "a tool window gets no keyboard";
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ASSERT_TRUE(isActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), form.findChild<QWidget*>("button_startthegame"));
    // One minute a round: Tab on to the minutes and a step down; Enter starts.
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form.findChild<QWidget*>("edit_timeperround"));
    press(Qt::Key_Down);
    EXPECT_EQ(form.minutesText(), "1");
    press(Qt::Key_Return);
    ASSERT_TRUE(pumpUntil([&] { return roundRunning(); }));
    EXPECT_FALSE(form.isVisible());

    // The board has the keyboard: a real word typed and sent.
    ASSERT_TRUE(backToTheWindow());
    auto* board = window->findChild<BoardView*>("board");
    ASSERT_EQ(QApplication::focusWidget(), board);
    TDictn dictionary(folder.filePath("lookup").toStdString(), {}, embeddedWordList());
    const testsupport::BoardPath found = testsupport::findWord(*window, dictionary);
    ASSERT_GE(found.word.size(), 3u);
    typeKeys(QString::fromStdString(found.word));
    EXPECT_EQ(window->typedWord().typed(), found.word);
    press(Qt::Key_Tab); // another chain of the same letters, or the same one: the word stays
    EXPECT_EQ(QApplication::focusWidget(), board);
    press(Qt::Key_Return);
    const int me = window->client().mynumber();
    ASSERT_TRUE(pumpUntil([&] { return window->client().state().seat(me).words.size() == 1; }));

    // The clock runs the game out; the board keeps the keyboard, and Alt+R from there opens the
    // review and closes it again.
    ASSERT_TRUE(playToTheEnd());
    ASSERT_EQ(QApplication::focusWidget(), board);
    auto* review = window->findChild<QPushButton*>("button_review");
    ASSERT_TRUE(review->isVisible());
    press(Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(window->reviewOpen());
    press(Qt::Key_R, Qt::AltModifier);
    EXPECT_FALSE(window->reviewOpen());

    // Tab leaves the board for the review switch and on to the chat entry, where Enter sends.
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), review);
    press(Qt::Key_Space);
    EXPECT_TRUE(window->reviewOpen()) << "the switch pressed from the keyboard";
    ASSERT_TRUE(tabTo("mychat"));
    typeKeys("gg all");
    press(Qt::Key_Return);
    ASSERT_TRUE(pumpUntil([&] { return chat().contains("gg all"); }));

    // File → Start Game by its letters starts the next game from the dialog's Enter.
    press(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(pumpUntil([] { return QApplication::activePopupWidget() != nullptr; }));
    press(Qt::Key_S);
    ASSERT_TRUE(isActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), form.findChild<QWidget*>("button_startthegame"));
    press(Qt::Key_Return);
    ASSERT_TRUE(pumpUntil([&] { return roundRunning() && window->client().state().round == 1; }));
    EXPECT_FALSE(window->reviewOpen()) << "the next board closes the review";
    ASSERT_TRUE(backToTheWindow());
    EXPECT_EQ(QApplication::focusWidget(), board) << "the new round gives the board the keyboard";
}

TEST_F(KeyboardGame, EveryWindowTheMenusOpenTakesTheKeyboardAndClosesOnEscape)
{
    int coloursAsked = 0;
    window->chooseColour = [&coloursAsked](uint32_t) -> std::optional<uint32_t> {
        ++coloursAsked;
        return std::nullopt; // as if the chooser was left with Esc
    };
    window->processparams();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(isActive(window.get()));
    ASSERT_TRUE(pumpUntil([&] { return window->client().loggedin(); }));

    struct Opened {
        Qt::Key menu;
        const char* item;
        std::function<QWidget*()> window;
    };
    const std::vector<Opened> windows {
        { Qt::Key_F, "HostaGame1", [&] { return static_cast<QWidget*>(&window->hostDialog()); } },
        { Qt::Key_F, "JoinaGame1", [&] { return static_cast<QWidget*>(&window->joinDialog()); } },
        { Qt::Key_F, "StartGame1", [&] { return static_cast<QWidget*>(&window->startForm()); } },
        { Qt::Key_V, "TallyList1", [&] { return static_cast<QWidget*>(&window->tally()); } },
        { Qt::Key_V, "SpyList1", [&] { return static_cast<QWidget*>(&window->spyList()); } },
        { Qt::Key_V, "PhraseList1", [&] { return static_cast<QWidget*>(&window->phraseEditor()); } },
        { Qt::Key_H, "Help2", [&] { return window->findChild<QWidget*>("Thelp"); } },
        { Qt::Key_H, "About1", [&] { return window->findChild<QWidget*>("Tabout"); } },
    };
    for (const Opened& opened : windows) {
        ASSERT_TRUE(chooseFromMenu(opened.menu, opened.item)) << opened.item;
        QWidget* shown = opened.window();
        ASSERT_NE(shown, nullptr) << opened.item;
        ASSERT_TRUE(isActive(shown)) << opened.item << " came up without the keyboard";
        EXPECT_TRUE(shown->isAncestorOf(QApplication::focusWidget())) << opened.item;
        press(Qt::Key_Escape);
        EXPECT_TRUE(pumpUntil([&] { return !shown->isVisible(); })) << opened.item << " stayed on Esc";
        ASSERT_TRUE(backToTheWindow()) << opened.item;
    }

    // The tally's own shortcut, from the board or anywhere.
    press(Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(isActive(&window->tally()));
    press(Qt::Key_Escape);
    EXPECT_TRUE(pumpUntil([&] { return !window->tally().isVisible(); }));
    ASSERT_TRUE(backToTheWindow());

    // The colour choosers of Options, by their letters.
    ASSERT_TRUE(chooseFromMenu(Qt::Key_O, "ChatColor1"));
    ASSERT_TRUE(isActive(window.get()));
    ASSERT_TRUE(chooseFromMenu(Qt::Key_O, "ActionColor1"));
    EXPECT_EQ(coloursAsked, 2);
}
