// server_load: lexmire-server under load from nine raw peers on loopback (four
// seats, five spies), each figure beside the same traffic served by a
// reference server of the bench's own (one write per connection per wake-up,
// no game), measured in the same run:
//   throughput   the four seats keep words in flight, each answer bringing the
//                next word; words answered per second and server CPU per word
//   burst        one seat sends eight words in one write; time to the eighth answer
//   round start  the host's start request to the whole board (CMD_nextround)
//                at every peer, idle and while eight peers send 10 words/s each
//   paced        one word at a time: server CPU per word without batching
//
//   server_load [--server PATH] [--same-cpu] [--boards N] [--in-flight N]
//               [--bursts N] [--starts N] [--paced N]
// The servers run on CPU 0 and the peers on CPU 1 (with --same-cpu all on CPU 0).
#include "lexicon.h"
#include "reference_server.h"
#include "server_bench_support.h"
#include "word_finder.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace serverbench;

namespace {

constexpr int kPeers = 9;
constexpr int kSeatCount = 4;
constexpr int kColumns = 13;
constexpr int kRows = 9;
constexpr const char* kStart = "CMD_startgame+1+3+n+5+";

struct Settings {
    std::string server = LEXMIRE_SERVER_BINARY;
    bool sameCpu = false;
    int boards = 4;
    int inFlight = 16;
    int bursts = 150;
    int starts = 150;
    int paced = 600;
};

// One seat's words for one board, as messages.
using WordMessages = std::vector<std::string>;

// What one side (lexmire-server or the reference) measured.
struct Figures {
    double wordsPerSecond = 0;
    double cpuUsPerWord = 0;
    std::vector<double> burstMs;
    std::vector<double> startMs;
    std::vector<double> startLoadedMs;
    double pacedCpuUsPerWord = 0;
    int closedPeers = 0;
    uint64_t throughputFound = 0;
    uint64_t throughputRefused = 0;
};

// The peers and what they know of the game.
class Table {
public:
    Table(int port, bool logIn)
    {
        for (int i = 0; i < kPeers; ++i)
            peers_.push_back(std::make_unique<Peer>(port));
        for (auto& p : peers_)
            all_.push_back(p.get());
        if (logIn) {
            std::vector<std::string> names;
            for (int i = 1; i <= kPeers; ++i)
                names.push_back("P" + std::to_string(i));
            loginAll(all_, names);
        } else {
            for (int i = 0; i < kPeers; ++i)
                peers_[std::size_t(i)]->number = i + 1;
        }
        for (auto& p : peers_)
            p->onMessage = [this, peer = p.get()](const Message& m) { heard(*peer, m); };
    }

    Peer& peer(int n) { return *peers_[std::size_t(n - 1)]; }
    const std::vector<Peer*>& all() const { return all_; }
    int closedPeers() const
    {
        return int(std::count_if(peers_.begin(), peers_.end(), [](const auto& p) { return p->closed(); }));
    }

    // Starts a game and waits for every peer's CMD_nextround; the time it took.
    double startRound(const std::function<void()>& eachPass = {})
    {
        nextRounds_ = 0;
        rows_ = 0;
        roundStartBytes_.clear();
        const Clock::time_point sent = Clock::now();
        Clock::time_point last = sent;
        lastNextRound_ = &last;
        peer(1).send(kStart);
        if (!pumpPeers(
                all_, [&] { return nextRounds_ == kPeers; }, 10000, eachPass))
            fail("a round start reached " + std::to_string(nextRounds_) + " of the peers");
        lastNextRound_ = nullptr;
        return msBetween(sent, last);
    }

    const std::string& roundStartBytes() const { return roundStartBytes_; }

    // The words the board of the last round start holds, for each seat.
    std::vector<WordMessages> wordsOnBoard(WordFinder& finder) const
    {
        std::vector<WordMessages> seats(kSeatCount + 1);
        for (const FoundWord& word : finder.solve(board_))
            for (int seat = 1; seat <= kSeatCount; ++seat) {
                std::string text = "CMD_wordcomplete+" + std::to_string(seat);
                for (const TileRef& tile : word.path.tiles())
                    text += "+" + std::to_string(tile.x) + "." + std::to_string(tile.y);
                seats[std::size_t(seat)].push_back(std::move(text));
            }
        return seats;
    }

    // Answers to seat n's own words heard so far.
    uint64_t answers(int n) const { return answers_[std::size_t(n)]; }
    // Answers that were found words (sent to everybody) and refusals (to the sender).
    uint64_t found() const { return found_; }
    uint64_t refused() const { return refused_; }
    void onAnswer(std::function<void(int seat)> handler) { answerHandler_ = std::move(handler); }

private:
    void heard(Peer& p, const Message& m)
    {
        const std::string& t = m.text;
        if (p.number <= kSeatCount) {
            const std::string mine = std::to_string(p.number) + "+";
            const bool found
                = t.compare(0, 14, "CMD_foundword+") == 0 && t.compare(14, mine.size(), mine) == 0;
            const bool refused = t.compare(0, 12, "CMD_badword+") == 0;
            if (found || refused) {
                ++answers_[std::size_t(p.number)];
                ++(found ? found_ : refused_);
                if (answerHandler_)
                    answerHandler_(p.number);
                return;
            }
        }
        if (&p == &peer(1)) {
            if (t.compare(0, 14, "CMD_startgame+") == 0)
                roundStartBytes_.clear();
            if (t.compare(0, 18, "CMD_boardtileline+") == 0)
                readRow(t);
            if (t.compare(0, 14, "CMD_startgame+") == 0 || t.compare(0, 18, "CMD_boardtileline+") == 0
                || t.compare(0, 18, "CMD_setbonustiles+") == 0 || t.compare(0, 14, "CMD_nextround+") == 0)
                roundStartBytes_ += t + '\xFF';
        }
        if (t.compare(0, 14, "CMD_nextround+") == 0 && lastNextRound_) {
            ++nextRounds_;
            *lastNextRound_ = std::max(*lastNextRound_, m.at);
        }
    }

    void readRow(const std::string& t)
    {
        std::vector<int> fields;
        for (std::size_t at = t.find('+'); at != std::string::npos; at = t.find('+', at + 1))
            fields.push_back(std::atoi(t.c_str() + at + 1));
        if (fields.size() != std::size_t(1 + kColumns) || fields[0] < 0 || fields[0] >= kRows)
            fail("odd board row " + t);
        for (int x = 0; x < kColumns; ++x)
            board_.board[x][fields[0]] = fields[std::size_t(1 + x)];
        ++rows_;
    }

    std::vector<std::unique_ptr<Peer>> peers_;
    std::vector<Peer*> all_;
    Board board_ {};
    int rows_ = 0;
    int nextRounds_ = 0;
    Clock::time_point* lastNextRound_ = nullptr;
    std::string roundStartBytes_;
    std::array<uint64_t, kSeatCount + 1> answers_ {};
    uint64_t found_ = 0;
    uint64_t refused_ = 0;
    std::function<void(int)> answerHandler_;
};

// Every seat plays through its list, keeping `inFlight` words unanswered.
// Returns the words answered and the seconds it took.
std::pair<uint64_t, double> playThrough(Table& table, const std::vector<WordMessages>& lists, int inFlight)
{
    std::array<std::size_t, kSeatCount + 1> next {};
    std::array<uint64_t, kSeatCount + 1> target {};
    std::array<uint64_t, kSeatCount + 1> base {};
    uint64_t total = 0;
    for (int s = 1; s <= kSeatCount; ++s) {
        base[std::size_t(s)] = table.answers(s);
        target[std::size_t(s)] = base[std::size_t(s)] + lists[std::size_t(s)].size();
        total += lists[std::size_t(s)].size();
    }
    auto sendNext = [&](int s) {
        const WordMessages& list = lists[std::size_t(s)];
        if (next[std::size_t(s)] < list.size())
            table.peer(s).send(list[next[std::size_t(s)]++]);
    };
    table.onAnswer(sendNext);
    const Clock::time_point begin = Clock::now();
    for (int s = 1; s <= kSeatCount; ++s) {
        std::string first;
        const WordMessages& list = lists[std::size_t(s)];
        while (next[std::size_t(s)] < list.size() && next[std::size_t(s)] < std::size_t(inFlight))
            first += list[next[std::size_t(s)]++] + '\xFF';
        table.peer(s).sendRaw(first);
    }
    const bool done = pumpPeers(
        table.all(),
        [&] {
            for (int s = 1; s <= kSeatCount; ++s)
                if (table.answers(s) < target[std::size_t(s)])
                    return false;
            return true;
        },
        60000);
    const double seconds = msBetween(begin, Clock::now()) / 1000.0;
    table.onAnswer({});
    if (!done)
        fail("words went unanswered (" + std::to_string(table.closedPeers()) + " peers closed)");
    return { total, seconds };
}

// Eight words in one write from seat 2; the time to the eighth answer.
std::vector<double> bursts(Table& table, const WordMessages& list, int count)
{
    std::vector<double> ms;
    std::size_t at = 0;
    for (int b = 0; b < count; ++b) {
        std::string burst;
        for (int k = 0; k < 8; ++k)
            burst += list[at++ % list.size()] + '\xFF';
        const uint64_t want = table.answers(2) + 8;
        Clock::time_point last;
        table.onAnswer([&](int) { last = Clock::now(); });
        const Clock::time_point sent = Clock::now();
        table.peer(2).sendRaw(burst);
        if (!pumpPeers(
                table.all(), [&] { return table.answers(2) >= want; }, 5000))
            fail("a burst went unanswered");
        table.onAnswer({});
        ms.push_back(msBetween(sent, last));
    }
    return ms;
}

// Round starts while the eight other peers each send a word every 100 ms.
std::vector<double> loadedStarts(Table& table, const std::vector<WordMessages>& lists, int count)
{
    std::array<Clock::time_point, kPeers + 1> due {};
    const Clock::time_point begin = Clock::now();
    for (int n = 2; n <= kPeers; ++n)
        due[std::size_t(n)] = begin + std::chrono::microseconds(12500 * (n - 1)); // staggered
    std::size_t word = 0;
    auto load = [&] {
        const Clock::time_point now = Clock::now();
        for (int n = 2; n <= kPeers; ++n) {
            if (now < due[std::size_t(n)])
                continue;
            due[std::size_t(n)] += std::chrono::milliseconds(100);
            const WordMessages& list = lists[std::size_t(n <= kSeatCount ? n : 2)];
            std::string text = list[word++ % list.size()];
            // A spy's word is read and dropped by the server, as from any spy.
            text.replace(17, 1, std::to_string(n));
            table.peer(n).send(text);
        }
    };
    std::vector<double> ms;
    for (int s = 0; s < count; ++s) {
        ms.push_back(table.startRound(load));
        const Clock::time_point gap = Clock::now() + std::chrono::milliseconds(30);
        pumpPeers(
            table.all(), [&] { return Clock::now() >= gap; }, 1000, load);
    }
    return ms;
}

// One word at a time from seat 2; server CPU per word.
double pacedCpu(Table& table, pid_t server, const WordMessages& list, int count)
{
    const uint64_t cpuBefore = cpuNs(server);
    for (int k = 0; k < count; ++k) {
        const uint64_t want = table.answers(2) + 1;
        table.peer(2).send(list[std::size_t(k) % list.size()]);
        if (!pumpPeers(
                table.all(), [&] { return table.answers(2) >= want; }, 5000))
            fail("a word went unanswered");
    }
    return double(cpuNs(server) - cpuBefore) / 1000.0 / count;
}

Figures measureLexmire(
    const Settings& s, int serverCpu, std::vector<std::vector<WordMessages>>& boards, std::string& roundStart)
{
    Figures f;
    Child server = launchServer(s.server, serverCpu);
    Table table(server.port, true);
    WordFinder finder(embeddedLexicon());

    // Throughput: a fresh board for each pass, every seat through its words.
    uint64_t words = 0;
    double seconds = 0;
    uint64_t cpu = 0;
    for (int b = 0; b < s.boards; ++b) {
        table.startRound();
        boards.push_back(table.wordsOnBoard(finder));
        const uint64_t cpuBefore = cpuNs(server.pid);
        const auto [n, t] = playThrough(table, boards.back(), s.inFlight);
        cpu += cpuNs(server.pid) - cpuBefore;
        words += n;
        seconds += t;
    }
    f.wordsPerSecond = double(words) / seconds;
    f.cpuUsPerWord = double(cpu) / 1000.0 / double(words);
    f.throughputFound = table.found();
    f.throughputRefused = table.refused();

    table.startRound();
    roundStart = table.roundStartBytes();
    const std::vector<WordMessages> fresh = table.wordsOnBoard(finder);
    f.burstMs = bursts(table, fresh[2], s.bursts);
    table.startRound();
    f.pacedCpuUsPerWord = pacedCpu(table, server.pid, table.wordsOnBoard(finder)[2], s.paced);
    for (int k = 0; k < s.starts; ++k)
        f.startMs.push_back(table.startRound());
    f.startLoadedMs = loadedStarts(table, boards.front(), s.starts);
    f.closedPeers = table.closedPeers();
    stop(server);
    return f;
}

Figures measureReference(const Settings& s, int serverCpu,
    const std::vector<std::vector<WordMessages>>& boards, const std::string& roundStart)
{
    Figures f;
    Child server = launchServing([&](int listenFd) { serveReference(listenFd, roundStart); }, serverCpu);
    Table table(server.port, false);
    uint64_t words = 0;
    double seconds = 0;
    uint64_t cpu = 0;
    for (const auto& lists : boards) {
        table.startRound();
        const uint64_t cpuBefore = cpuNs(server.pid);
        const auto [n, t] = playThrough(table, lists, s.inFlight);
        cpu += cpuNs(server.pid) - cpuBefore;
        words += n;
        seconds += t;
    }
    f.wordsPerSecond = double(words) / seconds;
    f.cpuUsPerWord = double(cpu) / 1000.0 / double(words);
    f.burstMs = bursts(table, boards.back()[2], s.bursts);
    f.pacedCpuUsPerWord = pacedCpu(table, server.pid, boards.back()[2], s.paced);
    for (int k = 0; k < s.starts; ++k)
        f.startMs.push_back(table.startRound());
    f.startLoadedMs = loadedStarts(table, boards.front(), s.starts);
    f.closedPeers = table.closedPeers();
    stop(server);
    return f;
}

void row(const char* what, double lexmire, double reference, const char* unit)
{
    std::printf("  %-52s %10.3f %-8s %10.3f %-8s %7.2f\n", what, lexmire, unit, reference, unit,
        reference > 0 ? lexmire / reference : 0.0);
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
        else if (arg == "--same-cpu")
            s.sameCpu = true;
        else if (arg == "--boards")
            s.boards = number(1, 100);
        else if (arg == "--in-flight")
            s.inFlight = number(1, 99);
        else if (arg == "--bursts")
            s.bursts = number(1, 10000);
        else if (arg == "--starts")
            s.starts = number(1, 10000);
        else if (arg == "--paced")
            s.paced = number(1, 100000);
        else {
            std::fprintf(stderr,
                "usage: server_load [--server PATH] [--same-cpu] [--boards N] [--in-flight N] "
                "[--bursts N] [--starts N] [--paced N]\n");
            return 2;
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    const bool twoCpus = onlineCores() >= 2;
    const int serverCpu = 0;
    const int peerCpu = s.sameCpu || !twoCpus ? 0 : 1;
    pinToCpu(peerCpu);

    std::vector<std::vector<WordMessages>> boards;
    std::string roundStart;
    const Figures lexmire = measureLexmire(s, serverCpu, boards, roundStart);
    const Figures reference = measureReference(s, serverCpu, boards, roundStart);

    std::printf("server_load: 9 peers (4 seats, 5 spies) on loopback; ");
    printPlacement(serverCpu, peerCpu);
    std::printf("  %-52s %19s %19s %7s\n", "", "lexmire-server", "reference", "ratio");
    row("throughput, 4 seats x words in flight (words/s)", lexmire.wordsPerSecond, reference.wordsPerSecond,
        "w/s");
    row("server CPU per word at that rate", lexmire.cpuUsPerWord, reference.cpuUsPerWord, "us");
    row("server CPU per word, one word at a time", lexmire.pacedCpuUsPerWord, reference.pacedCpuUsPerWord,
        "us");
    row("burst of 8 words, to the 8th answer: median", percentile(lexmire.burstMs, 0.5),
        percentile(reference.burstMs, 0.5), "ms");
    row("burst of 8 words, to the 8th answer: p99", percentile(lexmire.burstMs, 0.99),
        percentile(reference.burstMs, 0.99), "ms");
    row("round start to every peer's last row: median", percentile(lexmire.startMs, 0.5),
        percentile(reference.startMs, 0.5), "ms");
    row("round start, 8 peers x 10 words/s: median", percentile(lexmire.startLoadedMs, 0.5),
        percentile(reference.startLoadedMs, 0.5), "ms");
    row("round start, 8 peers x 10 words/s: worst", percentile(lexmire.startLoadedMs, 1.0),
        percentile(reference.startLoadedMs, 1.0), "ms");
    std::printf(
        "  words per pass %zu per seat over %zu boards, %d in flight per seat; lexmire-server's answers: "
        "%llu found (to all 9), %llu refused (to the sender); peers it closed: %d\n",
        boards.empty() ? 0 : boards.front()[1].size(), boards.size(), s.inFlight,
        (unsigned long long)lexmire.throughputFound, (unsigned long long)lexmire.throughputRefused,
        lexmire.closedPeers);
    return lexmire.closedPeers == 0 ? 0 : 1;
}
