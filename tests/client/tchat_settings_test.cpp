// The settings file: what a login reads and applies, and what changes write.
#include "chat_pane.h"
#include "computer_choice.h"
#include "ini_file.h"
#include "sound_player.h"
#include "tchat.h"
#include "tgamestartform.h"
#include "window_placement.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

class Settings : public ::testing::Test {
protected:
    void SetUp() override { path = folder.filePath("brellowlobby.ini"); }

    std::unique_ptr<Tchat> window()
    {
        TchatSetup setup;
        setup.settingsFile = path;
        setup.showError = [this](const QString& text) { errors << text; };
        return std::make_unique<Tchat>(setup);
    }

    void writeFile(const QByteArray& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray fileText()
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString stored(const QString& key) { return IniFile(path).read("Lexmire", key, "<missing>"); }
    bool ticked(Tchat& w, const char* name) { return w.findChild<QAction*>(name)->isChecked(); }

    QTemporaryDir folder;
    QString path;
    QStringList errors;
};

TEST_F(Settings, WithoutAFileEveryDefaultAppliesAndTheFirstRunPanelShows)
{
    auto w = window();
    w->loadinifile();
    EXPECT_EQ(w->geometry(), QRect(3, 3, 798, 535));
    EXPECT_EQ(w->chatTextSize, 8);
    EXPECT_TRUE(ticked(*w, "N8"));
    EXPECT_EQ(w->chatColour, 0u);
    EXPECT_EQ(w->actionColour, 0u);
    EXPECT_FALSE(ticked(*w, "ClickLetters1"));
    EXPECT_EQ(w->startForm().roundsText(), "3");
    EXPECT_EQ(w->startForm().minutesText(), "2");
    EXPECT_TRUE(ticked(*w, "PlaySounds1"));
    EXPECT_TRUE(ticked(*w, "Classic1"));
    EXPECT_TRUE(ticked(*w, "PlayChatterSounds1"));
    EXPECT_TRUE(w->tileSetName.isEmpty());
    EXPECT_FALSE(w->findChild<QWidget*>("panel_dragging")->isHidden());
    EXPECT_EQ(stored("Firsttime"), "no");

    auto again = window();
    again->loadinifile();
    EXPECT_TRUE(again->findChild<QWidget*>("panel_dragging")->isHidden());
}

TEST_F(Settings, StoredValuesApplyWithTheirExactSpellings)
{
    writeFile(
        "[Other]\nkeep=me\n[Lexmire]\nTextcolor=clRed\nClickletters=yes\nPlaysounds=False\nChatterSounds="
        "false\n"
        "Tiles=Classic\nTurnsound=1\nRounds=7\nTimeperround=12\nTextsize=12\nPhrase3=Hi all\nFirsttime=no\n"
        "Top=0x10\nLeft=junk\n");
    auto w = window();
    w->loadinifile();
    EXPECT_EQ(w->chatColour, 0x0000FFu);
    EXPECT_EQ(w->actionColour, 0x0000FFu); // missing: the chat colour's text
    EXPECT_TRUE(ticked(*w, "ClickLetters1"));
    EXPECT_TRUE(ticked(*w, "PlaySounds1")); // only the exact "false" turns it off
    EXPECT_FALSE(ticked(*w, "PlayChatterSounds1"));
    EXPECT_FALSE(w->sounds().chatterOn());
    EXPECT_TRUE(w->tileSetName.isEmpty());
    EXPECT_TRUE(ticked(*w, "New1"));
    EXPECT_EQ(w->startForm().roundsText(), "7");
    EXPECT_EQ(w->startForm().minutesText(), "12"); // shown as stored
    EXPECT_TRUE(ticked(*w, "N12"));
    EXPECT_EQ(w->geometry().top(), 16);
    EXPECT_EQ(w->geometry().left(), 3);
    EXPECT_EQ(w->findChild<QWidget*>("b_phrase3")->toolTip(), "Hi all");
    EXPECT_TRUE(w->findChild<QWidget*>("panel_dragging")->isHidden());

    w->findChild<QAction*>("PlaySounds1")->trigger();
    EXPECT_EQ(stored("Playsounds"), "false");
    EXPECT_EQ(IniFile(path).read("Other", "keep", {}), "me");
}

TEST_F(Settings, TheStartDialogIsBuiltWhenFirstOpenedAndUntilThenItsStoredChoicesAreSavedAsRead)
{
    writeFile("[Lexmire]\nRounds=7\nTimeperround=soon\nPlayComputer=true\nComputerLevel=9\nComputerCount=2\n"
              "Firsttime=no\n");
    auto w = window();
    w->loadinifile();
    w->findChild<QAction*>("PlaySounds1")->trigger(); // saves every setting
    EXPECT_EQ(w->findChild<Tgamestartform*>(), nullptr);
    EXPECT_EQ(stored("Rounds"), "7");
    EXPECT_EQ(stored("Timeperround"), "soon"); // as stored, as the dialog would show it
    EXPECT_EQ(stored("PlayComputer"), "true");
    EXPECT_EQ(stored("ComputerLevel"), "5"); // the nearest level, as the dialog would take it
    EXPECT_EQ(stored("ComputerCount"), "2");

    Tgamestartform& form = w->startForm();
    EXPECT_EQ(form.roundsText(), "7");
    EXPECT_EQ(form.minutesText(), "soon");
    EXPECT_TRUE(form.computers().wanted());
    EXPECT_EQ(form.computers().level(), 5);
    EXPECT_EQ(form.computers().count(), 2);
    // Built, the dialog holds the choices: what the player changes there is saved.
    form.setStoredValues("4", "3");
    form.computers().setChoice(false, 1, 3);
    w->findChild<QAction*>("PlaySounds1")->trigger();
    EXPECT_EQ(stored("Rounds"), "4");
    EXPECT_EQ(stored("Timeperround"), "3");
    EXPECT_EQ(stored("PlayComputer"), "false");
    EXPECT_EQ(stored("ComputerLevel"), "1");
    EXPECT_EQ(stored("ComputerCount"), "3");
}

TEST_F(Settings, ChangesAreSavedOnlyAfterTheFileWasRead)
{
    auto w = window();
    w->findChild<QAction*>("ClickLetters1")->trigger();
    EXPECT_FALSE(QFile::exists(path)); // built-in values never replace stored ones
    w->loadinifile();
    w->findChild<QAction*>("ClickLetters1")->trigger();
    EXPECT_EQ(stored("Clickletters"), "0");
    w->Classic1Click(1);
    EXPECT_EQ(stored("Turnsound"), "1");
    w->N8Click(14);
    EXPECT_EQ(stored("Textsize"), "14");
    w->chooseColour = [](uint32_t) { return std::optional<uint32_t>(0x123456); };
    w->ChatColor1Click();
    EXPECT_EQ(stored("Textcolor"), "$00123456");
    w->chooseColour = [](uint32_t) { return std::optional<uint32_t>(); };
    w->ActionColor1Click(); // cancelled, saved all the same
    EXPECT_EQ(stored("Actioncolor"), "clBlack");
}

TEST_F(Settings, ClosingWithoutAMoveWritesNothing)
{
    writeFile("[Lexmire]\nFirsttime=no\nTop=40\nLeft=50\nWidth=800\nHeight=540\n");
    auto w = window();
    w->loadinifile();
    const QByteArray before = fileText();
    w->close();
    EXPECT_EQ(fileText(), before);

    auto moved = window();
    moved->loadinifile();
    moved->setGeometry(60, 70, 820, 560);
    moved->close();
    EXPECT_EQ(stored("Left"), "60");
    EXPECT_EQ(stored("Top"), "70");
}

TEST_F(Settings, AnUnwritableFileIsReported)
{
    auto w = window();
    w->loadinifile();
    path = folder.filePath("missing/brellowlobby.ini");
    TchatSetup setup;
    setup.settingsFile = path;
    setup.showError = [this](const QString& text) { errors << text; };
    Tchat broken(setup);
    broken.loadinifile();
    broken.N8Click(10);
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_TRUE(errors.last().startsWith("Unable to write to " + path)) << errors.last().toStdString();
}

TEST_F(Settings, TheEntryWritesInTheStoredChatColourThenInTheChosenOne)
{
    writeFile("[Lexmire]\nFirsttime=no\nTextcolor=clRed\n");
    auto w = window();
    w->client().handle("CMD_sendlogininfo+2");
    w->client().handle("CMD_newplayerinfo+2+Ann");
    auto* entry = w->findChild<EntryBox*>("mychat");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->textColour(), QColor(Qt::red));
    for (int i = 0; i < 50; ++i)
        w->client().handle("CMD_newplayerinfo+2+Ann"); // a server may send our own arrival again and again
    EXPECT_EQ(entry->textColour(), QColor(Qt::red));
    w->chooseColour = [](uint32_t) { return std::optional<uint32_t>(0x00FF00); };
    w->ChatColor1Click();
    EXPECT_EQ(entry->textColour(), QColor(0x00, 0xFF, 0x00));
    // The typed text is drawn in it.
    entry->setText("WWWWWWWW");
    const QImage face = entry->grab().toImage();
    int green = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x) {
            const QColor pixel = face.pixelColor(x, y);
            green += pixel.green() > 200 && pixel.red() < 90 && pixel.blue() < 90 ? 1 : 0;
        }
    EXPECT_GT(green, 10);
}

TEST_F(Settings, ExactlyOneTextSizeIsTickedTheOneInUse)
{
    auto w = window();
    w->loadinifile();
    for (const char* size : { "N12", "N14", "N10" }) {
        w->findChild<QAction*>(size)->trigger();
        int tickedSizes = 0;
        for (const char* each : { "N8", "N10", "N12", "N14" })
            tickedSizes += ticked(*w, each);
        EXPECT_EQ(tickedSizes, 1) << size;
        EXPECT_TRUE(ticked(*w, size));
    }
    EXPECT_EQ(stored("Textsize"), "10");
}

TEST_F(Settings, AStoredPlaceThatWouldHideTheTitleBarIsPulledBackOntoAScreen)
{
    const QList<QRect> screens { QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024) };
    const QSize size(798, 535);
    EXPECT_EQ(placement::reachableTopLeft(QPoint(100, 50), size, screens), QPoint(100, 50));
    EXPECT_EQ(
        placement::reachableTopLeft(QPoint(2000, 900), size, screens), QPoint(2000, 900)); // second screen
    EXPECT_EQ(
        placement::reachableTopLeft(QPoint(100, -200), size, screens), QPoint(100, 0)); // title bar above
    EXPECT_EQ(placement::reachableTopLeft(QPoint(-5000, 300), size, screens), QPoint(0, 300));
    EXPECT_EQ(placement::reachableTopLeft(QPoint(4000, 2000), size, screens), QPoint(3200 - 798, 1024 - 30));

    writeFile("[Lexmire]\nFirsttime=no\nTop=-3000\nLeft=-3000\n");
    auto w = window();
    w->loadinifile();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w->pos())) << w->pos().x() << "," << w->pos().y();
    // Reset Screen Location puts the frame's corner at 3, 3, where the title bar shows.
    w->ResetScreenLocation1Click();
    EXPECT_EQ(w->pos(), QPoint(3, 3));
    EXPECT_EQ(w->size(), QSize(798, 535));
}

TEST_F(Settings, TheTilesMenuTicksOnlyWhatLoadedAndOffersTheBuiltInSet)
{
    QDir tiles(folder.filePath("tiles"));
    ASSERT_TRUE(tiles.mkpath("."));
    QImage strip(1107, 41, QImage::Format_RGB32);
    strip.fill(Qt::darkGreen);
    ASSERT_TRUE(strip.save(tiles.filePath("Neon.bmp"), "BMP"));
    ASSERT_TRUE(strip.save(tiles.filePath("My.Set.bmp"), "BMP"));
    {
        QFile broken(tiles.filePath("Broken.bmp"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
    }
    writeFile("[Lexmire]\nFirsttime=no\nTiles=NEON\n");
    TchatSetup setup;
    setup.settingsFile = path;
    setup.tileFolders = { tiles.path() };
    Tchat w(setup);
    w.loadinifile();
    // Found without regard to case, and kept as the folder spells it.
    EXPECT_EQ(w.tileSetName, "Neon");
    EXPECT_TRUE(ticked(w, "Neon3"));
    EXPECT_EQ(stored("Tiles"), "NEON"); // nothing changed yet, nothing written

    w.findChild<QAction*>("Broken3")->trigger();
    EXPECT_EQ(w.tileSetName, "Neon");
    EXPECT_TRUE(ticked(w, "Neon3"));
    EXPECT_FALSE(ticked(w, "Broken3"));

    w.findChild<QAction*>("My.Set3")->trigger(); // a dot in a name is part of it
    EXPECT_EQ(w.tileSetName, "My.Set");
    EXPECT_EQ(stored("Tiles"), "My.Set");

    w.findChild<QAction*>("classic3")->trigger(); // and back to the built-in set
    EXPECT_TRUE(ticked(w, "classic3"));
    EXPECT_EQ(stored("Tiles"), "classic");
}

TEST_F(Settings, PasteFromTheMenuAndCtrlVBothInsertAtTheCaret)
{
    auto w = window();
    auto* entry = w->findChild<QLineEdit*>("mychat");
    QGuiApplication::clipboard()->setText("big");
    entry->setText("a  word");
    entry->setCursorPosition(2);
    w->Paste1Click();
    EXPECT_EQ(entry->text(), "a big word");
    entry->setCursorPosition(0);
    QTest::keyClick(entry, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry->text(), "biga big word");
}
