// Chat lines, actions, phrase buttons and their cooldown, chatter sounds.
#include "window_fixture.h"

#include "sound_player.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using testsupport::pumpUntil;

namespace {

int countLines(const QString& chat, const QString& line) { return int(chat.split('\n').count(line)); }

} // namespace

class ChatTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        host = &join("Host", { "x", "true" });
        ann = &join("Ann");
        ASSERT_TRUE(pumpUntil([&] { return labelOf(*host, "label_playername2") == "Ann"; }));
        watcher = std::make_unique<testsupport::RawClient>(server->listeningPort());
        watcher->login("Watcher");
        ASSERT_TRUE(watcher->waitFor("CMD_existingplayers+2+Ann"));
        watcher->takeNew();
    }

    void type(Tchat& window, const QString& text)
    {
        auto* entry = window.findChild<QLineEdit*>("mychat");
        QTest::keyClick(entry, Qt::Key_A); // the first key clears the prompt
        entry->clear();
        QTest::keyClicks(entry, text);
        QTest::keyClick(entry, Qt::Key_Return);
    }

    Tchat* host = nullptr;
    Tchat* ann = nullptr;
    std::unique_ptr<testsupport::RawClient> watcher;
};

TEST_F(ChatTest, EnterSendsOneChatLineAndEmptiesTheBox)
{
    type(*ann, "hello + all");
    ASSERT_TRUE(watcher->waitFor("CMD_chat+Ann chats: hello + all|clBlack"));
    ASSERT_TRUE(pumpUntil([&] { return chatOf(*host).contains("Ann chats: hello + all"); }));
    EXPECT_TRUE(ann->findChild<QLineEdit*>("mychat")->text().isEmpty());
    type(*ann, "done");
    ASSERT_TRUE(watcher->waitFor("CMD_chat+Ann chats: done|clBlack"));
    EXPECT_EQ(watcher->count("CMD_chat+Ann chats: hello + all|clBlack"), 1);
}

TEST_F(ChatTest, SlashCommandsSendActionsOrNothing)
{
    type(*ann, "/me waves");
    type(*ann, "/mewaves");
    type(*ann, "/shrug");
    type(*ann, "end");
    ASSERT_TRUE(watcher->waitFor("CMD_chat+Ann chats: end|clBlack"));
    const auto seen = watcher->received();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "CMD_action+Ann waves|clBlack"), 1);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "CMD_action+Ann aves|clBlack"), 1);
    EXPECT_EQ(std::count_if(seen.begin(), seen.end(),
                  [](const std::string& m) { return m.find("shrug") != std::string::npos; }),
        0);
    ASSERT_TRUE(pumpUntil([&] { return chatOf(*host).contains("Ann waves"); }));
}

TEST_F(ChatTest, PhraseButtonsCoolDownForOneHundredTicks)
{
    auto* phrase = ann->findChild<QPushButton*>("b_phrase1");
    QTest::mouseClick(phrase, Qt::LeftButton);
    ASSERT_TRUE(watcher->waitFor("CMD_action+Ann  says: Way To Go!|clBlack"));
    EXPECT_FALSE(ann->client().phraseready());
    QTest::mouseClick(phrase, Qt::LeftButton); // within the cooldown: nothing
    // Ticks already ran while the line travelled; run the rest up to the 100th.
    for (int tick = ann->client().phraseticks(); tick < 100; ++tick)
        ann->Timer1Timer();
    QTest::mouseClick(phrase, Qt::LeftButton); // still the 100th tick: nothing
    ann->Timer1Timer();
    EXPECT_TRUE(ann->client().phraseready());
    QTest::mouseClick(ann->findChild<QPushButton*>("b_phrase9"), Qt::LeftButton);
    ASSERT_TRUE(watcher->waitFor("CMD_action+Ann  says: Good Game Everyone!|clBlack"));
    EXPECT_EQ(watcher->count("CMD_action+Ann  says: Way To Go!|clBlack"), 1);
    ASSERT_TRUE(pumpUntil([&] { return chatOf(*host).contains("Ann  says: Good Game Everyone!"); }));
}

TEST_F(ChatTest, ChatterSoundsPlayOrShowALine)
{
    ann->wave20Click(3);
    ASSERT_TRUE(watcher->waitFor("CMD_playasound+2+wave3+"));
    ASSERT_TRUE(pumpUntil([&] { return host->sounds().played().contains("wave3"); }));

    host->findChild<QAction*>("PlayChatterSounds1")->trigger(); // off
    ann->wave20Click(1);
    ASSERT_TRUE(pumpUntil([&] { return chatOf(*host).contains("Ann: <Chatter Sound> Doh"); }));
    EXPECT_FALSE(host->sounds().played().contains("wave1"));
    ann->wave20Click(0); // "<Cancel>"
    type(*ann, "after");
    ASSERT_TRUE(watcher->waitFor("CMD_chat+Ann chats: after|clBlack"));
    EXPECT_EQ(watcher->count("CMD_playasound+2+wave0+"), 0);
}

TEST_F(ChatTest, SpiesSendNoChatterSounds)
{
    std::vector<std::unique_ptr<testsupport::RawClient>> seats;
    for (const char* name : { "C", "D" }) {
        seats.push_back(std::make_unique<testsupport::RawClient>(server->listeningPort()));
        seats.back()->login(name);
    }
    Tchat& spy = join("Spy");
    ASSERT_GE(spy.client().mynumber(), 5);
    spy.wave20Click(2);
    type(spy, "hi");
    ASSERT_TRUE(watcher->waitFor("CMD_chat+Spy chats: hi|clBlack"));
    EXPECT_EQ(watcher->count("CMD_playasound+" + std::to_string(spy.client().mynumber()) + "+wave2+"), 0);
}

TEST_F(ChatTest, ReceivedLinesTakeTheirColourOrWhite)
{
    ann->client().handle("CMD_chat+Zed chats: plain");
    ann->client().handle("CMD_chat+Zed chats: odd|notacolour");
    ann->client().handle("CMD_chat+Zed chats: red|clRed");
    const QString chat = chatOf(*ann);
    EXPECT_EQ(countLines(chat, "Zed chats: plain"), 1);
    EXPECT_EQ(countLines(chat, "Zed chats: odd"), 1);
    EXPECT_EQ(countLines(chat, "Zed chats: red"), 1);
}

TEST_F(ChatTest, ADirectionOverrideInANameCannotReorderTheRestOfTheLine)
{
    const QString evil = QString::fromUtf8("evil\u202Etxt.exe");
    ann->client().handle(("CMD_chat+" + evil + " chats: hello|clRed").toUtf8().toStdString());
    const QString isolatedEvil = QChar(0x2068) + evil + QChar(0x2069);
    EXPECT_TRUE(chatOf(*ann).contains(isolatedEvil + " chats: hello"));
    ann->client().handle(("CMD_newplayerinfo+7+" + evil).toUtf8().toStdString());
    EXPECT_TRUE(chatOf(*ann).contains(isolatedEvil + " is spying."));
    // Names without right-to-left text or controls are shown just as they are.
    EXPECT_TRUE(chatOf(*host).contains("Ann has Connected."));
}
