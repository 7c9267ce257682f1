// What a start leaves for later: the built-in tiles drawn when first shown (and
// shared between sets of one ratio), and the companion windows built on first use
// with their signals wired as before, and the command line read after the first paint.
#include "tabout.h"
#include "tgamestartform.h"
#include "thelp.h"
#include "tile_images.h"
#include "tphrases.h"
#include "tspylist.h"
#include "window_fixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTextEdit>

namespace {

QImage pixelsOf(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

QImage drawnDirectly(int code, qreal dpr)
{
    QPixmap pixmap(int(std::ceil(TileImages::kSize * dpr)), int(std::ceil(TileImages::kSize * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    TileImages::paintClassic(painter, code);
    painter.end();
    return pixelsOf(pixmap);
}

} // namespace

TEST(TileImagesDrawnLate, EveryTileIsTheBuiltInPictureWhetherDrawnAheadOrOnFirstShowing)
{
    // A ratio no other test uses, so nothing is shared from before.
    constexpr qreal kRatio = 1.75;
    const TileImages late(kRatio);
    const TileImages ahead(kRatio);
    ahead.drawAhead();
    for (int code = 1; code <= 26; ++code) {
        const QImage expected = drawnDirectly(code, kRatio);
        EXPECT_EQ(pixelsOf(late.tile(code)), expected) << code;
        EXPECT_EQ(pixelsOf(ahead.tile(code)), expected) << code;
        EXPECT_DOUBLE_EQ(late.tile(code).devicePixelRatio(), kRatio) << code;
    }
}

TEST(TileImagesDrawnLate, SetsOfOneRatioShareTheirPicturesAndAnotherRatioGetsItsOwn)
{
    const TileImages first(1.25);
    first.drawAhead();
    const TileImages second(1.25);
    const TileImages other(2.5);
    for (int code = 0; code <= 26; ++code)
        EXPECT_EQ(second.tile(code).cacheKey(), first.tile(code).cacheKey()) << code;
    EXPECT_NE(other.tile(5).cacheKey(), first.tile(5).cacheKey());
    EXPECT_DOUBLE_EQ(other.tile(5).devicePixelRatio(), 2.5);
    // The set of the other ratio is the one kept now; the first set still shows its own.
    EXPECT_DOUBLE_EQ(first.tile(5).devicePixelRatio(), 1.25);
}

TEST(TileImagesDrawnLate, AStripLoadedBeforeTheFirstShowingIsNeverPaintedOver)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QImage strip(TileImages::kSize * TileImages::kCount, TileImages::kSize, QImage::Format_RGB32);
    strip.fill(QColor(10, 200, 30));
    const QString path = folder.filePath("green.bmp");
    ASSERT_TRUE(strip.save(path));
    TileImages tiles(1.5);
    ASSERT_TRUE(tiles.loadStrip(path));
    EXPECT_FALSE(tiles.isClassic());
    EXPECT_EQ(pixelsOf(tiles.tile(3)).pixel(20, 20), qRgb(10, 200, 30));
    tiles.useClassic(1.5);
    EXPECT_EQ(pixelsOf(tiles.tile(3)), drawnDirectly(3, 1.5));
}

class CompanionsOnFirstUse : public WindowTest { };

TEST_F(CompanionsOnFirstUse, AJoinerBuildsNoCompanionUntilOneIsOpened)
{
    Tchat& window = join("Ann");
    EXPECT_EQ(window.findChild<Thelp*>(), nullptr);
    EXPECT_EQ(window.findChild<Tabout*>(), nullptr);
    EXPECT_EQ(window.findChild<Tspylist*>(), nullptr);
    EXPECT_EQ(window.findChild<Tphrases*>(), nullptr);
    EXPECT_EQ(window.findChild<Tgamestartform*>(), nullptr);

    window.Help2Click();
    auto* help = window.findChild<Thelp*>("Thelp");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    window.About1Click();
    ASSERT_NE(window.findChild<Tabout*>("Tabout"), nullptr);
    // A second use shows the same window, never a second one.
    window.Help2Click();
    EXPECT_EQ(window.findChildren<Thelp*>().size(), 1);
    EXPECT_EQ(window.findChild<Thelp*>(), help);
}

TEST_F(CompanionsOnFirstUse, ASpyListBuiltLateStillTakesItsKickToTheWindowAndOnlyAHostMayKick)
{
    Tchat& host = join("Host", { "x", "true" });
    EXPECT_TRUE(host.spyList().kickEnabled());
    Tchat& joiner = join("Ann");
    EXPECT_FALSE(joiner.spyList().kickEnabled());
    std::vector<std::unique_ptr<testsupport::RawClient>> others;
    for (const char* name : { "C", "D", "Eve" }) {
        others.push_back(std::make_unique<testsupport::RawClient>(server->listeningPort()));
        others.back()->login(name);
    }
    ASSERT_TRUE(testsupport::pumpUntil([&] { return host.spyList().lines().contains("5: Eve"); }));
    // A kick chosen in the list reaches the window's handler, and the server removes the spy.
    emit host.spyList().kickRequested(5);
    ASSERT_TRUE(others[2]->waitForClose());
    EXPECT_TRUE(testsupport::pumpUntil([&] { return host.spyList().lines().isEmpty(); }));
    EXPECT_FALSE(others[1]->closed());
}

TEST_F(CompanionsOnFirstUse, ThePhraseEditorBuiltLateStillSetsTheButtons)
{
    Tchat& window = join("Ann");
    QStringList texts = window.phraseEditor().phrases();
    ASSERT_GE(texts.size(), 9);
    texts[2] = "Well played";
    window.phraseEditor().setPhrases(texts);
    window.phraseEditor().SelButton8Click();
    EXPECT_EQ(window.findChild<QPushButton*>("b_phrase3")->toolTip(), "Well played");
}

TEST(CommandLineAfterFirstPaint, TheCommandLineIsReadOnlyWhenThePaintHookRunsIt)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TchatSetup setup;
    setup.settingsFile = folder.filePath("s.ini");
    setup.arguments = QStringList { "Ann" }; // too few to take a role: only the chat line
    std::vector<std::function<void()>> waiting;
    setup.afterFirstPaint = [&waiting](std::function<void()> work) { waiting.push_back(std::move(work)); };
    Tchat window(setup);
    const auto chat = [&window] { return window.findChild<QTextEdit*>("mainchat")->toPlainText(); };
    window.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_FALSE(chat().contains("Waiting for a game."));
    waiting.front()();
    EXPECT_TRUE(chat().contains("Waiting for a game."));
    // Shown again, the window asks for nothing more.
    window.hide();
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(waiting.size(), 1u);
}
