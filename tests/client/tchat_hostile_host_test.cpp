// The window against a hostile host: chat lines and game terms it cannot use
// to stall or bloat the window, links that open only after the player said
// so, and names that cannot reorder the window's own words.
#include "chat_pane.h"
#include "shown_line.h"
#include "tchat.h"
#include "tspylist.h"

#include "game_facts.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QChar fsi(0x2068), pdi(0x2069), rlo(0x202E);

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

// A window with no server behind it: the test plays the host by handing the
// game client message lines, as its dispatcher would.
class HostileHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        TchatSetup setup;
        setup.settingsFile = folder.filePath("settings.ini");
        setup.tileFolders = { folder.filePath("tiles") };
        setup.dispatchIntervalMs = 0;
        setup.showError = [this](const QString& text) { errors << text; };
        setup.showNotice = [](const QString&) {};
        setup.ask = [](const QString&) { return false; };
        setup.showDownload = [] {};
        setup.openLink = [this](const QString& address) { opened << address; };
        setup.confirmLink = [this](const QString& address) {
            asked << address;
            return answer;
        };
        window = std::make_unique<Tchat>(setup);
        pane = window->findChild<ChatPane*>("mainchat");
        ASSERT_TRUE(pane);
    }

    void handle(const std::string& line) { window->client().handle(line); }
    QString label(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
    // The pane's lines, without the empty block new lines go into.
    QStringList chatLines() const
    {
        QStringList lines;
        for (QTextBlock b = pane->document()->begin(); b != pane->document()->lastBlock(); b = b.next())
            lines << b.text();
        return lines;
    }

    QTemporaryDir folder;
    std::unique_ptr<Tchat> window;
    ChatPane* pane = nullptr;
    QStringList opened;
    QStringList asked;
    QStringList errors;
    LinkAnswer answer;
};

} // namespace

TEST_F(HostileHostTest, AChatBatchOfPathologicalLinesShowsEachAsOneBoundedLine)
{
    const std::string name = "Eve chats: ";
    const std::vector<std::string> batch = {
        "CMD_chat+" + name + std::string(4000, ':') + "|clRed",
        "CMD_chat+" + std::string(4000, ':') + "|clRed",
        "CMD_chat+" + name + std::string(4000, '|') + "|clRed",
        "CMD_chat+" + name + QStringLiteral("www.").repeated(1000).toStdString() + "|clRed",
        "CMD_chat+" + name + "x" + std::string(4000, ' ') + "|clRed",
        "CMD_chat+" + std::string("E\0ve", 4) + " chats: nul|clRed",
        "CMD_chat+" + name + "a\r\nb\rc\nd|clRed",
        "CMD_chat+" + name + utf8(QStringLiteral("a") + QString(2000, QChar(0x0301))) + "|clRed",
        "CMD_chat+" + name + utf8(QStringLiteral("a\u05d0b\u0628").repeated(600)) + "|clRed",
        "CMD_chat+" + name + utf8((QString(rlo) + "ab").repeated(800)) + "|clRed",
        "CMD_chat+" + name + std::string(4000, 'a'),
        "CMD_chat+" + name + "last|clRed",
    };
    for (const std::string& message : batch)
        handle(message);

    const QStringList lines = chatLines();
    ASSERT_EQ(lines.size(), int(batch.size()));
    for (const QString& line : lines)
        EXPECT_LE(line.size(), shownline::kMaxLength + 1) << line.left(40).toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Eve chats: :::")));
    EXPECT_TRUE(lines[0].endsWith(QChar(shownline::kEllipsis)));
    EXPECT_EQ(lines[5], QStringLiteral("E\ufffdve chats: nul"));
    EXPECT_EQ(lines[6], QStringLiteral("Eve chats: a  b c d"));
    EXPECT_EQ(lines.back(), QStringLiteral("Eve chats: last"));
    // The override stays inside the isolate around the chat text.
    EXPECT_TRUE(lines[9].startsWith(QStringLiteral("Eve chats: ") + fsi + rlo));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(HostileHostTest, ExtremeGameTermsAndClockShowWithinTheGameLimits)
{
    handle("CMD_gamestats+3+n+2147483647+");
    EXPECT_EQ(label("label_timeperround"), QStringLiteral("Time Per Round: %1").arg(kServerMaxMinutes));
    EXPECT_EQ(label("label_status1"), QStringLiteral("Rounds in Game: 3"));
    handle("CMD_gamestats+2147483647+n+5+");
    EXPECT_EQ(label("label_status1"), QStringLiteral("Rounds in Game: %1").arg(kServerMaxRounds));

    handle("CMD_updatetime+2147483647");
    const int seconds = window->client().state().secondsleft;
    EXPECT_GT(seconds, 0);
    EXPECT_LE(seconds, kServerMaxMinutes * 60);
    // One tick is one second off the clock, whatever was claimed.
    window->timer2Timer();
    EXPECT_EQ(window->client().state().secondsleft, seconds - 1);
    EXPECT_LE(label("label_time").size(), 16);

    // A round number of a thousand digits is no number: nothing of it shows.
    const QString roundBefore = label("label_round");
    handle("CMD_nextround+" + std::string(1000, '9'));
    handle("CMD_gamestats+" + std::string(1000, '9') + "+n+" + std::string(1000, '9') + "+");
    EXPECT_LE(label("label_round").size(), roundBefore.size() + 2);
    EXPECT_LE(label("label_status1").size(), QStringLiteral("Rounds in Game: 99").size());
    EXPECT_LE(label("label_timeperround").size(), QStringLiteral("Time Per Round: 60").size());
}

TEST_F(HostileHostTest, ALinkOpensOnlyAfterThePlayerSawTheWholeAddressAndSaidYes)
{
    answer = { false, true }; // a refusal with the tick: still asked next time
    emit pane->linkActivated(QStringLiteral("www.example.org/a?b=1"));
    EXPECT_EQ(asked, QStringList { QStringLiteral("http://www.example.org/a?b=1") });
    EXPECT_TRUE(opened.isEmpty());

    answer = { true, false };
    emit pane->linkActivated(QStringLiteral("https://Example.org/x"));
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(opened, QStringList { QStringLiteral("https://example.org/x") });

    // Asked again, then not until the program ends.
    answer = { true, true };
    emit pane->linkActivated(QStringLiteral("http://a.example/"));
    emit pane->linkActivated(QStringLiteral("http://b.example/"));
    EXPECT_EQ(asked.size(), 3);
    EXPECT_EQ(opened.size(), 3);
    EXPECT_EQ(opened.back(), QStringLiteral("http://b.example/"));
    // A new role in the same program keeps the choice.
    window->replaceClient();
    emit pane->linkActivated(QStringLiteral("www.c.example"));
    EXPECT_EQ(asked.size(), 3);
    EXPECT_EQ(opened.back(), QStringLiteral("http://www.c.example"));
}

TEST_F(HostileHostTest, OtherSchemesAndDisguisedAddressesNeitherAskNorOpen)
{
    answer = { true, true };
    for (const QString& link : { QStringLiteral("file:///tmp/x"), QStringLiteral("file:///dev/zero"),
             QStringLiteral("telnet://bbs.example"), QStringLiteral("mailto:a@b.example?attach=/etc/passwd"),
             QStringLiteral("news:comp.x"), QStringLiteral("gopher://g.example"),
             QStringLiteral("ftp://f.example"), QStringLiteral("javascript:alert(1)"),
             QStringLiteral("http://bank.example@evil.example/"),
             QStringLiteral("http://good.example/") + rlo + QStringLiteral("txt.exe") })
        emit pane->linkActivated(link);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(opened.isEmpty());

    // The address asked about is plain ASCII, the host in its encoded form.
    emit pane->linkActivated(QStringLiteral("http://g\u043E\u043Egle.com/\u00e9"));
    EXPECT_EQ(asked, QStringList { QStringLiteral("http://xn--ggle-55da.com/%C3%A9") });
}

TEST_F(HostileHostTest, AClickOnAChatLinkReachesTheQuestion)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    handle("CMD_chat+Ann chats: see www.example.org/p now|clNavy");
    handle("CMD_chat+Eve chats: file:///etc/passwd|clNavy");
    const QString text = pane->toPlainText();
    const auto clickAt = [&](int position) {
        QTextCursor c(pane->document());
        c.setPosition(position);
        const QRect left = pane->cursorRect(c);
        c.setPosition(position + 1);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, {},
            QPoint((left.x() + pane->cursorRect(c).x()) / 2, left.center().y()));
    };
    clickAt(int(text.indexOf(QStringLiteral("file:"))) + 3);
    EXPECT_TRUE(asked.isEmpty());
    clickAt(int(text.indexOf(QStringLiteral("example"))) + 2);
    EXPECT_EQ(asked, QStringList { QStringLiteral("http://www.example.org/p") });
    EXPECT_TRUE(opened.isEmpty()); // the answer was no
}

TEST_F(HostileHostTest, NamesCannotReorderTheWindowsLinesOrTheSpyList)
{
    // A stray pop in the name would end the window's isolate early and let
    // the override reverse " chats:" and all after it.
    const QString name = QStringLiteral("x") + pdi + rlo + QStringLiteral("eve");
    handle("CMD_chat+" + utf8(name) + " chats: hi|clRed");
    const QString isolatedName = fsi + QStringLiteral("x") + rlo + QStringLiteral("eve") + pdi;
    EXPECT_EQ(chatLines().back(), isolatedName + QStringLiteral(" chats: hi"));

    // Spies: the list shows "number: name", the name isolated; leaving takes the line away.
    const QString spy = QStringLiteral("evil") + rlo + QStringLiteral("txt.exe");
    handle("CMD_newplayerinfo+7+" + utf8(spy));
    EXPECT_EQ(window->spyList().lines(), QStringList { QStringLiteral("7: ") + fsi + spy + pdi });
    EXPECT_EQ(chatLines().back(), fsi + spy + pdi + QStringLiteral(" is spying."));
    handle("CMD_newplayerinfo+6+Plain");
    EXPECT_EQ(window->spyList().lines().last(), QStringLiteral("6: Plain"));
    handle("CMD_playerdisconnected+7+" + utf8(spy));
    EXPECT_EQ(window->spyList().lines(), QStringList { QStringLiteral("6: Plain") });
}
