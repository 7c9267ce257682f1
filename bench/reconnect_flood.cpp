// reconnect_flood: lexmire-server under two attacks on its slots, with a host
// and a seat playing throughout; the seat sends a word every 20 ms and times
// each answer, and the server's memory is read as it goes.
//   backlog  a peer connects, sends just under the flood limit of long chats,
//            stops sending, and leaves when the server has handled them and
//            closed; and does it again, 300 times
//   storm    a peer opens connections as fast as it can and never logs in
// Each figure stands beside its reference from the same run: the answer times
// and memory of the same server before any attack.
//
//   reconnect_flood [--server PATH] [--cycles N] [--storm N] [--same-cpu]
#include "lexicon.h"
#include "server_bench_support.h"
#include "word_finder.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/socket.h>

using namespace serverbench;

namespace {

constexpr int kWordEveryMs = 20;
constexpr int kQuietMs = 1000;
// Just under the server's limit of messages waiting from one connection.
constexpr int kMessagesPerCycle = 99;
// A long chat: the most a connection can make the server hold per message.
constexpr std::size_t kChatBytes = 4000;
// The server closes a connection that has not logged in after 10 s; the
// storm is watched a little longer.
constexpr int kStormWatchMs = 12000;

struct Settings {
    std::string server = LEXMIRE_SERVER_BINARY;
    int cycles = 300;
    int storm = 2000;
    bool sameCpu = false;
};

// The host and the seat, and the seat's words on the board.
class Game {
public:
    explicit Game(int port)
        : host_(port)
        , seat_(port)
    {
        loginAll({ &host_, &seat_ }, { "Host", "Seat" });
        host_.send("CMD_startgame+1+3+n+5+");
        Board board {};
        int rows = 0;
        bool dealt = false;
        host_.onMessage = [&](const Message& m) {
            if (m.text.rfind("CMD_boardtileline+", 0) == 0) {
                std::vector<int> f;
                for (std::size_t at = m.text.find('+'); at != std::string::npos;
                     at = m.text.find('+', at + 1))
                    f.push_back(std::atoi(m.text.c_str() + at + 1));
                for (int x = 0; x < 13 && f.size() == 14; ++x)
                    board.board[x][f[0]] = f[std::size_t(1 + x)];
                ++rows;
            }
            dealt = dealt || m.text.rfind("CMD_nextround+", 0) == 0;
        };
        if (!pumpPeers(
                peers(), [&] { return dealt && rows == 9; }, 5000))
            fail("no board");
        host_.onMessage = [this](const Message&) { ++hostHeard_; };
        WordFinder finder(embeddedLexicon());
        for (const FoundWord& word : finder.solve(board)) {
            std::string text = "CMD_wordcomplete+2";
            for (const TileRef& tile : word.path.tiles())
                text += "+" + std::to_string(tile.x) + "." + std::to_string(tile.y);
            words_.push_back(std::move(text));
        }
        seat_.onMessage = [this](const Message& m) {
            if (sentAt_
                && (m.text.rfind("CMD_foundword+2+", 0) == 0 || m.text.rfind("CMD_badword+", 0) == 0)) {
                answers_->push_back(msBetween(*sentAt_, m.at));
                sentAt_.reset();
            }
        };
    }

    std::vector<Peer*> peers() { return { &host_, &seat_ }; }
    bool lost() const { return host_.closed() || seat_.closed(); }
    uint64_t hostHeard() const { return hostHeard_; }

    // Sends the next word when one is due and the last was answered; answer
    // times go to `into`.
    void play(std::vector<double>& into)
    {
        answers_ = &into;
        const Clock::time_point now = Clock::now();
        if (sentAt_ || now < due_)
            return;
        due_ = now + std::chrono::milliseconds(kWordEveryMs);
        sentAt_ = now;
        seat_.send(words_[next_++ % words_.size()]);
    }

    // Plays for ms, pumping the peers.
    void playFor(int ms, std::vector<double>& into, const std::function<void()>& also = {})
    {
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
        pumpPeers(
            peers(), [&] { return Clock::now() >= end; }, ms + 1000,
            [&] {
                play(into);
                if (also)
                    also();
            });
    }

    // A word still unanswered when a phase ends counts in it with its wait
    // so far, so a server that never answers cannot look fast.
    int closePhase(std::vector<double>& into)
    {
        if (!sentAt_)
            return 0;
        into.push_back(msBetween(*sentAt_, Clock::now()));
        return 1;
    }

private:
    Peer host_;
    Peer seat_;
    std::vector<std::string> words_;
    std::size_t next_ = 0;
    std::optional<Clock::time_point> sentAt_;
    Clock::time_point due_ {};
    std::vector<double>* answers_ = nullptr;
    uint64_t hostHeard_ = 0;
};

std::string longChats()
{
    std::string bytes;
    for (int i = 0; i < kMessagesPerCycle; ++i)
        bytes += "CMD_chat+3+" + std::string(kChatBytes, 'a' + i % 26) + "|clRed\xFF";
    return bytes;
}

void report(
    const char* what, const std::vector<double>& ms, const std::vector<double>& reference, int unanswered)
{
    std::printf("  %-46s %s%s\n", what, summary(ms, "ms").c_str(),
        unanswered ? " (the last still unanswered, counted by its wait so far)" : "");
    std::printf(
        "  %-46s worst / reference worst = %.2f\n", "", percentile(ms, 1.0) / percentile(reference, 1.0));
}

} // namespace

int main(int argc, char** argv)
{
    Settings s;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto number = [&](int low, int high) {
            return i + 1 < argc ? std::clamp(std::atoi(argv[++i]), low, high) : low;
        };
        if (arg == "--server" && i + 1 < argc)
            s.server = argv[++i];
        else if (arg == "--cycles")
            s.cycles = number(1, 100000);
        else if (arg == "--storm")
            s.storm = number(0, 100000);
        else if (arg == "--same-cpu")
            s.sameCpu = true;
        else {
            std::fprintf(
                stderr, "usage: reconnect_flood [--server PATH] [--cycles N] [--storm N] [--same-cpu]\n");
            return 2;
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    const int serverCpu = 0;
    const int peerCpu = s.sameCpu || onlineCores() < 2 ? 0 : 1;
    pinToCpu(peerCpu);
    Child server = launchServer(s.server, serverCpu);
    Game game(server.port);

    // The reference: the same game before any attack.
    std::vector<double> quiet, backlog, afterBacklog, storm;
    game.playFor(kQuietMs, quiet);
    game.closePhase(quiet);
    const long quietKiB = residentKiB(server.pid);

    // The backlog: each cycle connects, queues its chats in one write, and goes.
    const std::string chats = longChats();
    long backlogPeakKiB = quietKiB;
    const uint64_t heardBefore = game.hostHeard();
    const Clock::time_point backlogStart = Clock::now();
    for (int cycle = 0; cycle < s.cycles; ++cycle) {
        // Everything goes out, then the attacker stops sending and leaves as
        // soon as the server lets it go: its backlog reaches the server whole.
        Peer attacker(server.port);
        attacker.onMessage = [](const Message&) {};
        attacker.sendRaw(chats);
        ::shutdown(attacker.fd(), SHUT_WR);
        const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(2);
        while (!attacker.closed() && Clock::now() < giveUp)
            game.playFor(1, backlog, [&] { attacker.readSome(); });
        if (!attacker.closed())
            fail("the server kept a connection that had stopped sending");
        if (cycle % 25 == 0)
            backlogPeakKiB = std::max(backlogPeakKiB, residentKiB(server.pid));
    }
    const double backlogSeconds = msBetween(backlogStart, Clock::now()) / 1000.0;
    const int backlogUnanswered = game.closePhase(backlog);
    game.playFor(kQuietMs, afterBacklog);
    const int afterUnanswered = game.closePhase(afterBacklog);
    backlogPeakKiB = std::max(backlogPeakKiB, residentKiB(server.pid));
    const uint64_t relayed = game.hostHeard() - heardBefore;

    // The storm: connections as fast as they open, none logging in, kept open.
    long stormPeakKiB = quietKiB;
    int seated = 0;
    int stillHeld = 0;
    int stormUnanswered = 0;
    if (s.storm > 0) {
        std::vector<std::unique_ptr<Peer>> stormers;
        const auto readAll = [&] {
            for (auto& p : stormers)
                p->readSome();
        };
        const Clock::time_point stormStart = Clock::now();
        for (int k = 0; k < s.storm; ++k) {
            stormers.push_back(std::make_unique<Peer>(server.port));
            if (k % 50 == 0)
                game.playFor(1, storm);
        }
        game.playFor(200, storm, readAll);
        const auto seatedPeer = [](const Peer& p) {
            return std::any_of(p.inbox.begin(), p.inbox.end(),
                [](const Message& m) { return m.text.rfind("CMD_sendlogininfo+", 0) == 0; });
        };
        seated = int(
            std::count_if(stormers.begin(), stormers.end(), [&](const auto& p) { return seatedPeer(*p); }));
        stormPeakKiB = std::max(stormPeakKiB, residentKiB(server.pid));
        game.playFor(kStormWatchMs - int(msBetween(stormStart, Clock::now())), storm, readAll);
        readAll();
        stillHeld = int(std::count_if(
            stormers.begin(), stormers.end(), [&](const auto& p) { return seatedPeer(*p) && !p->closed(); }));
        stormPeakKiB = std::max(stormPeakKiB, residentKiB(server.pid));
        stormUnanswered = game.closePhase(storm);
    }
    const long peakKiB = peakResidentKiB(server.pid);
    const bool lost = game.lost();
    stop(server);

    std::printf(
        "reconnect_flood: lexmire-server with a host and a seat playing a word every %d ms; ", kWordEveryMs);
    printPlacement(serverCpu, peerCpu);
    std::printf("  reference, before any attack:\n");
    std::printf("  %-46s %s\n", "word answered", summary(quiet, "ms").c_str());
    std::printf("  %-46s %ld KiB\n", "server resident memory", quietKiB);
    std::printf("  backlog: %d cycles of connect, %d chats of %zu bytes, leave, in %.1f s; %llu messages "
                "reached the host\n",
        s.cycles, kMessagesPerCycle, kChatBytes, backlogSeconds, (unsigned long long)relayed);
    report("word answered during the backlog", backlog, quiet, backlogUnanswered);
    report("word answered in the second after it", afterBacklog, quiet, afterUnanswered);
    std::printf("  %-46s %ld KiB (%.2f x the reference)\n", "server resident memory, most seen",
        backlogPeakKiB, double(backlogPeakKiB) / double(quietKiB));
    if (s.storm > 0) {
        std::printf(
            "  storm: %d connections opened at once, %d given a slot, %d of those still open after %d s\n",
            s.storm, seated, stillHeld, kStormWatchMs / 1000);
        report("word answered during the storm", storm, quiet, stormUnanswered);
        std::printf("  %-46s %ld KiB (%.2f x the reference)\n", "server resident memory, most seen",
            stormPeakKiB, double(stormPeakKiB) / double(quietKiB));
    }
    std::printf("  %-46s %ld KiB\n", "server peak resident memory (VmHWM), whole run", peakKiB);
    if (lost)
        std::printf("  the host or the seat lost its connection\n");
    return lost || stillHeld > 0 ? 1 : 0;
}
