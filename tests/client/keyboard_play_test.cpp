// Playing without a mouse: Tab walks every window's controls in order, the control with the
// keyboard wears a ring, Enter and Escape do what the dialogs promise, the menus have mnemonics,
// and a long phrase on a phrase button is cut with an ellipsis and told whole in its hint.
#include "window_fixture.h"

#include "computer_choice.h"
#include "phrase_button.h"
#include "tabout.h"
#include "tdownload.h"
#include "tgamestartform.h"
#include "thelp.h"
#include "thostgame.h"
#include "tjoingame.h"
#include "tphrases.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "window_palette.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// More Tab presses than any window has controls: a chain that never comes back fails here.
constexpr int kMostTabStops = 30;

// The name a test knows a control by: its own, or its nearest named owner's (the edit inside an
// editable drop-down list has none of its own).
QString nameOf(QWidget* widget)
{
    while (widget && widget->objectName().isEmpty())
        widget = widget->parentWidget();
    return widget ? widget->objectName() : QStringLiteral("<none>");
}

// Shows the window, gives `first` the keyboard and presses Tab until the keyboard is back on it;
// the names of the controls it stopped on, in order.
QStringList tabChain(QWidget* window, const char* first)
{
    window->show();
    auto* start = window->findChild<QWidget*>(first);
    if (!start)
        return { QStringLiteral("no control %1").arg(first) };
    start->setFocus(Qt::TabFocusReason);
    QStringList names;
    for (int step = 0; step < kMostTabStops; ++step) {
        QWidget* now = window->focusWidget();
        names << nameOf(now);
        QTest::keyClick(now, Qt::Key_Tab);
        if (window->focusWidget() == start || window->focusWidget() == start->focusProxy())
            return names;
    }
    names << QStringLiteral("<never came back>");
    return names;
}

// Makes the window the active one, as the window system does when the player brings it up.
bool activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return testsupport::pumpUntil([window] { return window->isActiveWindow(); });
}

// How many pixels of the widget's picture have the focus ring's colour.
int ringPixels(QWidget* widget)
{
    const QImage picture = widget->grab().toImage();
    const QRgb ring = windowpalette::focusRing().rgb();
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) == (ring & 0xFFFFFF))
                ++count;
    return count;
}

} // namespace

TEST(TabOrder, CompanionWindowsWalkTheirControlsInOrder)
{
    Ttallylist tally;
    EXPECT_EQ(tabChain(&tally, "listbox_tally"),
        QStringList({ "listbox_tally", "checklist", "FlatButton2", "FlatButton1" }));

    Tphrases phrases;
    QStringList phraseStops;
    for (int n = 1; n <= Tphrases::phraseCount; ++n)
        phraseStops << QString("phrase%1").arg(n);
    EXPECT_EQ(tabChain(&phrases, "phrase1"), phraseStops + QStringList { "SelButton8" });

    Thelp help;
    EXPECT_EQ(tabChain(&help, "helptext"), QStringList({ "helptext", "button_ok" }));
    Tabout about;
    EXPECT_EQ(tabChain(&about, "button_ok"), QStringList({ "button_ok" }));
    Tspylist spies;
    EXPECT_EQ(tabChain(&spies, "listbox_spys"), QStringList({ "listbox_spys", "button_ok" }));

    Thostgame host(7772);
    EXPECT_EQ(tabChain(&host, "edit_playername"),
        QStringList({ "edit_playername", "button_host", "button_cancel" }));
    Tjoingame join(discovery::GameBrowser::Options { 0, false, {} }, 7772);
    EXPECT_EQ(tabChain(&join, "edit_playername"),
        QStringList({ "edit_playername", "list_games", "combo_address", "button_join", "button_cancel" }));

    // Stop Download is greyed until a download runs, so Tab passes it by.
    Tdownload download("/nonexistent", "http://127.0.0.1:1/x", "/nonexistent", [] {});
    EXPECT_EQ(tabChain(&download, "getbutton"), QStringList({ "getbutton", "Button1", "Button2" }));
}

TEST(TabOrder, StartDialogReachesTheComputerOfferBeforeStart)
{
    Tgamestartform form;
    EXPECT_EQ(tabChain(&form, "edit_numrounds"),
        QStringList({ "edit_numrounds", "edit_timeperround", "checkbox_teamgame", "button_startthegame" }));

    form.setComputerChoiceShown(true);
    form.computers().setChoice(true, 2, 1); // level and number are greyed without the tick
    EXPECT_EQ(tabChain(&form, "edit_numrounds"),
        QStringList({ "edit_numrounds", "edit_timeperround", "checkbox_teamgame", "checkbox_computer",
            "combo_computerlevel", "combo_computercount", "button_startthegame" }));
}

TEST(FocusRing, TheControlWithTheKeyboardWearsTheRing)
{
    Thostgame host(7772);
    ASSERT_TRUE(activate(&host));
    auto* name = host.findChild<QLineEdit*>("edit_playername");
    auto* button = host.findChild<QPushButton*>("button_host");
    name->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(name->hasFocus());
    EXPECT_GT(ringPixels(name), 0);
    EXPECT_EQ(ringPixels(button), 0);
    QTest::keyClick(name, Qt::Key_Tab);
    ASSERT_TRUE(button->hasFocus());
    EXPECT_GT(ringPixels(button), 0);
    EXPECT_EQ(ringPixels(name), 0);

    Tgamestartform form;
    ASSERT_TRUE(activate(&form));
    auto* start = form.findChild<QAbstractButton*>("button_startthegame");
    EXPECT_TRUE(start->hasFocus()) << "the dialog opens with the keyboard on Start";
    form.findChild<QLineEdit*>("edit_numrounds")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(ringPixels(start), 0);
    start->setFocus(Qt::TabFocusReason);
    EXPECT_GT(ringPixels(start), 0) << "the Start picture draws its own ring";
}

TEST(Keyboard, StartDialogStepsWithArrowsStartsOnEnterAndClosesOnEscape)
{
    Tgamestartform form;
    form.setStoredValues("3", "2");
    ASSERT_TRUE(activate(&form));
    auto* rounds = form.findChild<QLineEdit*>("edit_numrounds");
    rounds->setFocus(Qt::TabFocusReason);
    QTest::keyClick(rounds, Qt::Key_Up);
    QTest::keyClick(rounds, Qt::Key_Up);
    QTest::keyClick(rounds, Qt::Key_Down);
    EXPECT_EQ(form.roundsText(), "4");
    QTest::keyClick(rounds, Qt::Key_Tab);
    auto* minutes = form.findChild<QLineEdit*>("edit_timeperround");
    ASSERT_TRUE(minutes->hasFocus());
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(minutes, Qt::Key_Up);
    EXPECT_EQ(form.minutesText(), "5") << "the arrows stop at the upper bound";
    EXPECT_EQ(form.roundsText(), "4");

    QTest::keyClick(minutes, Qt::Key_Tab);
    auto* team = form.findChild<QCheckBox*>("checkbox_teamgame");
    ASSERT_TRUE(team->hasFocus());
    QTest::keyClick(team, Qt::Key_Space);
    EXPECT_TRUE(form.teamGame());

    QSignalSpy started(&form, &Tgamestartform::startRequested);
    QTest::keyClick(team, Qt::Key_Return);
    EXPECT_EQ(started.size(), 1);
    EXPECT_FALSE(form.isVisible()) << "Start hides the dialog";

    ASSERT_TRUE(activate(&form));
    form.findChild<QLineEdit*>("edit_numrounds")->setFocus();
    QTest::keyClick(form.focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(started.size(), 1) << "Escape starts nothing";
}

TEST(Keyboard, HostDialogTakesEnterAndEscape)
{
    Thostgame host(7772);
    QSignalSpy asked(&host, &Thostgame::hostRequested);
    ASSERT_TRUE(activate(&host));
    auto* name = host.findChild<QLineEdit*>("edit_playername");
    name->setFocus();
    QTest::keyClicks(name, "Ann");
    QTest::keyClick(name, Qt::Key_Return);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.front().front().toString(), "Ann");

    Thostgame other(7772);
    QSignalSpy rejected(&other, &QDialog::rejected);
    ASSERT_TRUE(activate(&other));
    other.findChild<QLineEdit*>("edit_playername")->setFocus();
    QTest::keyClick(other.focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(rejected.size(), 1);
    EXPECT_FALSE(other.isVisible());
}

TEST(Keyboard, TallyClosesOnEnterAndTicksWithSpace)
{
    Ttallylist tally;
    tally.setPlayersInGame({ "Bob", "Cy" });
    ASSERT_TRUE(activate(&tally));
    auto* inGame = tally.findChild<QListWidget*>("checklist");
    inGame->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(inGame->currentRow(), 0) << "a list reached by Tab starts on its first line";
    QTest::keyClick(inGame, Qt::Key_Space);
    auto* tallied = tally.findChild<QListWidget*>("listbox_tally");
    ASSERT_EQ(tallied->count(), 1) << "Space ticks the player, who is tallied from then on";
    EXPECT_EQ(tallied->item(0)->text(), "Bob");
    QTest::keyClick(inGame, Qt::Key_Return);
    EXPECT_FALSE(tally.isVisible()) << "Enter presses the default Ok";
}

TEST(Keyboard, SpyListMenuKeyOffersRemovalOfTheCurrentLine)
{
    Tspylist spies;
    spies.addSpyLine("5: Eve");
    spies.addSpyLine("6: Mallory");
    spies.setKickEnabled(true);
    QSignalSpy kicked(&spies, &Tspylist::kickRequested);
    ASSERT_TRUE(activate(&spies));
    auto* list = spies.findChild<QListWidget*>("listbox_spys");
    list->setFocus();
    list->setCurrentRow(1);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(0, 0), list->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(list, &menuKey);
    auto* popup = spies.findChild<QMenu*>("popup_kick");
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(spies.listTag(), 1);
    spies.findChild<QAction*>("popup_kickhim")->trigger();
    ASSERT_EQ(kicked.size(), 1);
    EXPECT_EQ(kicked.front().front().toInt(), 6);
    popup->hide();
}

TEST_F(WindowTest, MenusHaveMnemonicsOfTheirOwn)
{
    Tchat& window = open({});
    QSet<QChar> letters;
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_GE(menus.size(), 5);
    for (QAction* menu : menus) {
        const QString title = menu->text();
        const qsizetype amp = title.indexOf('&');
        ASSERT_GE(amp, 0) << title.toStdString() << " has no mnemonic";
        const QChar letter = title.at(amp + 1).toLower();
        EXPECT_FALSE(letters.contains(letter)) << title.toStdString() << " shares its mnemonic";
        letters.insert(letter);
    }
    // Alt and the letter open the menu.
    ASSERT_TRUE(activate(&window));
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    ASSERT_TRUE(testsupport::pumpUntil([&] { return window.menuBar()->activeAction() != nullptr; }));
    EXPECT_EQ(window.menuBar()->activeAction()->text(), "&Options");
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
}

TEST_F(WindowTest, LongPhraseIsCutOnItsButtonAndToldWholeInItsHint)
{
    Tchat& window = open({});
    const QString longPhrase = "Splendid work, that was a truly remarkable find!";
    window.PhraseList1Click(); // the editor opens with the buttons' phrases
    QStringList texts = window.phraseEditor().phrases();
    texts[0] = longPhrase;
    window.phraseEditor().setPhrases(texts);
    window.phraseEditor().SelButton8Click();

    auto* button = window.findChild<PhraseButton*>("b_phrase1");
    ASSERT_TRUE(button);
    window.show();
    const QString shown = button->shownCaption();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LT(shown.size(), longPhrase.size());
    EXPECT_TRUE(longPhrase.startsWith(shown.chopped(1)));
    EXPECT_LE(button->fontMetrics().horizontalAdvance(shown), button->width());
    EXPECT_EQ(button->toolTip(), longPhrase);
    EXPECT_EQ(button->text(), longPhrase) << "the button still holds, and sends, the whole phrase";

    // A short phrase shows whole.
    auto* other = window.findChild<PhraseButton*>("b_phrase2");
    EXPECT_EQ(other->shownCaption(), other->toolTip());
}

TEST_F(WindowTest, MainWindowTabsFromTheBoardsButtonsToTheChatAndItsButtons)
{
    Tchat& window = open({});
    window.FlatButton1Click(); // the first-run notice
    window.show();
    QStringList expected { "button_start", "mainchat", "mychat" };
    for (int n = 1; n <= 10; ++n)
        expected << QString("b_phrase%1").arg(n);
    EXPECT_EQ(tabChain(&window, "button_start"), expected);
}

TEST_F(WindowTest, MainWindowButtonsWearTheRingWithTheKeyboard)
{
    Tchat& window = open({});
    window.FlatButton1Click(); // the first-run notice
    ASSERT_TRUE(activate(&window));
    for (const char* name : { "button_start", "b_phrase1", "b_phrase10" }) {
        auto* button = window.findChild<QWidget*>(name);
        ASSERT_TRUE(button && button->isVisible()) << name;
        window.findChild<QWidget*>("mainchat")->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(ringPixels(button), 0) << name;
        button->setFocus(Qt::TabFocusReason);
        EXPECT_GT(ringPixels(button), 0) << name;
    }
}

TEST(Keyboard, PhraseEditorTakesEnterAsDoneAndEscapeAsLeave)
{
    Tphrases phrases;
    QSignalSpy done(&phrases, &Tphrases::phrasesDone);
    ASSERT_TRUE(activate(&phrases));
    auto* third = phrases.findChild<QLineEdit*>("phrase3");
    third->setFocus();
    QTest::keyClicks(third, "Hi all");
    QTest::keyClick(third, Qt::Key_Escape);
    EXPECT_FALSE(phrases.isVisible());
    EXPECT_TRUE(done.isEmpty()) << "Escape hands nothing on";

    ASSERT_TRUE(activate(&phrases));
    third->setFocus();
    QTest::keyClick(third, Qt::Key_Return);
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done.front().front().toStringList().value(2), "Hi all");
    EXPECT_FALSE(phrases.isVisible());
}
