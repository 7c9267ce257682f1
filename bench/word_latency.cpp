// word_latency: how long the real lexmire-server process takes, over loopback,
// to answer a word and to deliver a board. Two raw clients log in (the host and
// a second seat); the host starts a game, both time the arrival of the nine
// board rows and the bonus message, then the host sends real words found on the
// dealt board one at a time and times each until its own CMD_foundword arrives
// (and until the second seat sees it). When a board runs out of words a new
// game deals another.
//
//   word_latency [--server PATH] [--words N] [--per-board N] [--quickack]
//   word_latency --drive PORT --seconds N
// --drive plays host on a server already listening on PORT: it waits for a
// second player to log in, starts a game and sends a word every half second
// for N seconds, so that the other player's window is seen in a round.
// --quickack makes the clients acknowledge every segment at once (TCP_QUICKACK
// after each read) instead of delaying acknowledgements, to show how much of a
// figure is the server's small writes waiting for a delayed acknowledgement.
#include "embedded_word_list.h"
#include "tdictn.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kColumns = 13;
constexpr int kRows = 9;
constexpr char kEnd = '\xFF';
constexpr const char* kVersion = "2.0.5";
bool quickAck = false;

void ackAtOnce(int fd)
{
    // Linux clears the flag again by itself, so it is set after every read.
    const int one = 1;
    if (quickAck)
        ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
}

double msSince(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The server this program started, stopped on any failure so none is left behind.
pid_t launchedServer = -1;

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "word_latency: %s\n", what.c_str());
    if (launchedServer > 0) {
        ::kill(launchedServer, SIGTERM);
        ::waitpid(launchedServer, nullptr, 0);
    }
    std::exit(1);
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos)
            return parts;
        from = at + 1;
    }
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

struct Message {
    std::string text;
    Clock::time_point at;
};

// One raw connection: messages are cut at the end byte and stamped with the
// moment their last bytes were read.
class Peer {
public:
    explicit Peer(int port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(port));
        if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            fail("cannot connect to 127.0.0.1:" + std::to_string(port));
        ackAtOnce(fd_);
    }
    ~Peer() { ::close(fd_); }
    int fd() const { return fd_; }

    void send(const std::string& message)
    {
        const std::string bytes = message + kEnd;
        if (::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) != ssize_t(bytes.size()))
            fail("send failed");
    }

    // Reads what is waiting (the caller polled) and queues whole messages.
    void readSome()
    {
        char buffer[65536];
        const ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        ackAtOnce(fd_);
        if (got == 0)
            fail("the server closed a connection");
        if (got < 0)
            return;
        const auto now = Clock::now();
        for (ssize_t i = 0; i < got; ++i) {
            if (buffer[i] != kEnd) {
                partial_ += buffer[i];
                continue;
            }
            inbox_.push_back({ std::move(partial_), now });
            partial_.clear();
        }
    }

    std::vector<Message> inbox_;

private:
    int fd_ = -1;
    std::string partial_;
};

// Waits on every peer until `done` holds or the deadline passes.
bool pump(std::vector<Peer*> peers, const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        const int left = int(msSince(Clock::now(), deadline));
        if (left <= 0)
            return false;
        std::vector<pollfd> fds;
        for (Peer* p : peers)
            fds.push_back({ p->fd(), POLLIN, 0 });
        if (::poll(fds.data(), fds.size(), left) < 0)
            fail("poll failed");
        for (std::size_t i = 0; i < fds.size(); ++i)
            if (fds[i].revents)
                peers[i]->readSome();
    }
    return true;
}

// Finds and removes the first message starting with `prefix`.
bool take(Peer& p, const std::string& prefix, Message* out = nullptr)
{
    for (auto it = p.inbox_.begin(); it != p.inbox_.end(); ++it)
        if (startsWith(it->text, prefix)) {
            if (out)
                *out = *it;
            p.inbox_.erase(it);
            return true;
        }
    return false;
}

void login(Peer& p, Peer* other, const std::string& name)
{
    std::vector<Peer*> all { &p };
    if (other)
        all.push_back(other);
    Message m;
    if (!pump(
            all, [&] { return take(p, "CMD_sendlogininfo+", &m); }, 5000))
        fail("no login request");
    const std::string n = m.text.substr(std::strlen("CMD_sendlogininfo+"));
    p.send("CMD_logininfo+" + n + "+" + kVersion + "+" + name);
    if (!pump(
            all, [&] { return take(p, "CMD_newplayerinfo+" + n + "+" + name); }, 5000))
        fail("login of " + name + " not confirmed");
}

// ---- the board and its words ---------------------------------------------------

using Codes = std::array<std::array<int, kRows>, kColumns>; // [x][y]
struct Cell {
    int x, y;
};
using Path = std::vector<Cell>;

bool pathFor(
    const Codes& codes, const std::string& word, std::size_t at, Path& path, bool used[kColumns][kRows])
{
    if (at == word.size())
        return true;
    const int code = word[at] - 'a' + 1;
    auto tryCell = [&](int x, int y) {
        if (x < 0 || x >= kColumns || y < 0 || y >= kRows || used[x][y]
            || codes[std::size_t(x)][std::size_t(y)] != code)
            return false;
        used[x][y] = true;
        path.push_back({ x, y });
        if (pathFor(codes, word, at + 1, path, used))
            return true;
        path.pop_back();
        used[x][y] = false;
        return false;
    };
    if (path.empty()) {
        for (int x = 0; x < kColumns; ++x)
            for (int y = 0; y < kRows; ++y)
                if (tryCell(x, y))
                    return true;
        return false;
    }
    const Cell last = path.back();
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if ((dx || dy) && tryCell(last.x + dx, last.y + dy))
                return true;
    return false;
}

// Every word of the list (three letters or more) that lies on the board along
// touching, unrepeated cells, each confirmed by the game's own lookup.
std::vector<std::pair<std::string, Path>> wordsOnBoard(const Codes& codes, TDictn& dictionary)
{
    std::vector<std::pair<std::string, Path>> found;
    const std::string_view records = embeddedWordList();
    for (std::size_t at = 0; at + 15 <= records.size(); at += 15) {
        std::string word(records.substr(at + 1, 14));
        word.erase(word.find_last_not_of(' ') + 1);
        bool letters = word.size() >= 3;
        for (char& c : word) {
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
            letters = letters && c >= 'a' && c <= 'z';
        }
        if (!letters)
            continue;
        Path path;
        bool used[kColumns][kRows] {};
        if (pathFor(codes, word, 0, path, used) && dictionary.CheckWord(word))
            found.emplace_back(word, path);
    }
    return found;
}

std::string refsOf(const Path& path)
{
    std::string text;
    for (const Cell& c : path)
        text += "+" + std::to_string(c.x) + "." + std::to_string(c.y);
    return text;
}

// ---- the server process ----------------------------------------------------------

struct Server {
    pid_t pid = -1;
    int port = 0;
};

Server launch(const std::string& binary)
{
    int out[2];
    if (::pipe(out) != 0)
        fail("pipe");
    Server server;
    server.pid = ::fork();
    if (server.pid < 0)
        fail("fork");
    if (server.pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(binary.c_str(), binary.c_str(), "--port", "0", "--no-announce", static_cast<char*>(nullptr));
        std::perror("exec");
        ::_exit(127);
    }
    ::close(out[1]);
    launchedServer = server.pid;
    std::string line;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (line.find('\n') == std::string::npos && Clock::now() < deadline) {
        pollfd p { out[0], POLLIN, 0 };
        if (::poll(&p, 1, 200) > 0) {
            char c[256];
            const ssize_t got = ::read(out[0], c, sizeof c);
            if (got <= 0)
                break;
            line.append(c, std::size_t(got));
        }
    }
    ::close(out[0]);
    const std::string prefix = std::string("lexmire-server ") + kVersion + " listening on port ";
    if (!startsWith(line, prefix)) {
        ::kill(server.pid, SIGTERM);
        fail("the server did not say its port: " + line);
    }
    server.port = std::atoi(line.c_str() + prefix.size());
    return server;
}

void stop(Server& server)
{
    if (server.pid <= 0)
        return;
    launchedServer = -1;
    ::kill(server.pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        if (::waitpid(server.pid, &status, WNOHANG) == server.pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(server.pid, SIGKILL);
    ::waitpid(server.pid, nullptr, 0);
}

// ---- figures ------------------------------------------------------------------------

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

void report(const char* what, const std::vector<double>& ms)
{
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("%-44s n=%-5zu median %7.3f ms  p99 %7.3f ms  min %7.3f ms  max %7.3f ms  mean %7.3f ms\n",
        what, ms.size(), percentile(ms, 0.5), percentile(ms, 0.99), percentile(ms, 0.0), percentile(ms, 1.0),
        ms.empty() ? 0.0 : sum / double(ms.size()));
}

struct BoardTimes {
    Codes codes {};
    int rows = 0;
    Clock::time_point echo, firstRow, bonus;
    bool echoed = false;
    bool complete = false;
};

// Takes board rows and the bonus message from a peer's inbox as they come.
void collectBoard(Peer& p, BoardTimes& b)
{
    for (auto it = p.inbox_.begin(); it != p.inbox_.end();) {
        if (startsWith(it->text, "CMD_boardtileline+")) {
            const auto f = split(it->text, '+');
            if (f.size() != 2 + kColumns)
                fail("odd board row " + it->text);
            const int y = std::atoi(f[1].c_str());
            if (y < 0 || y >= kRows)
                fail("odd board row " + it->text);
            for (int x = 0; x < kColumns; ++x)
                b.codes[std::size_t(x)][std::size_t(y)] = std::atoi(f[std::size_t(2 + x)].c_str());
            if (b.rows++ == 0)
                b.firstRow = it->at;
            it = p.inbox_.erase(it);
        } else if (startsWith(it->text, "CMD_startgame+") && !b.echoed) {
            b.echo = it->at;
            b.echoed = true;
            it = p.inbox_.erase(it);
        } else if (startsWith(it->text, "CMD_setbonustiles+") && b.rows == kRows && !b.complete) {
            b.bonus = it->at;
            b.complete = true;
            it = p.inbox_.erase(it);
        } else {
            ++it;
        }
    }
}

std::string dictionaryPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::filesystem::path folder
        = runtime && *runtime ? runtime : std::filesystem::temp_directory_path();
    return (folder / ("word_latency." + std::to_string(::getpid()) + ".dic")).string();
}

int measure(const std::string& binary, int wanted, int perBoard)
{
    TDictn dictionary(dictionaryPath(), {}, embeddedWordList());
    dictionary.OpenDictionary();
    Server server = launch(binary);
    std::vector<double> ownAnswer, otherSees, startToBoardHost, startToBoardSeat, echoToBoardHost,
        echoToBoardSeat, spreadHost, spreadSeat, findMs;
    int boards = 0, badwords = 0, unanswered = 0;
    {
        Peer host(server.port);
        login(host, nullptr, "Host");
        Peer seat(server.port);
        login(seat, &host, "Seat");
        std::vector<Peer*> both { &host, &seat };
        const auto runDeadline = Clock::now() + std::chrono::seconds(180);

        while (int(ownAnswer.size()) < wanted && Clock::now() < runDeadline && boards < 200) {
            host.inbox_.clear();
            seat.inbox_.clear();
            BoardTimes hb, sb;
            const auto started = Clock::now();
            host.send("CMD_startgame+1+3+n+1+");
            if (!pump(
                    both,
                    [&] {
                        collectBoard(host, hb);
                        collectBoard(seat, sb);
                        return hb.complete && sb.complete;
                    },
                    5000))
                fail("no board within 5 s");
            ++boards;
            startToBoardHost.push_back(msSince(started, hb.bonus));
            startToBoardSeat.push_back(msSince(started, sb.bonus));
            if (hb.echoed && sb.echoed) {
                echoToBoardHost.push_back(msSince(hb.echo, hb.bonus));
                echoToBoardSeat.push_back(msSince(sb.echo, sb.bonus));
            }
            spreadHost.push_back(msSince(hb.firstRow, hb.bonus));
            spreadSeat.push_back(msSince(sb.firstRow, sb.bonus));
            // Each peer's CMD_nextround is taken once: it may arrive at one
            // peer some reads before the other.
            bool hostNext = false, seatNext = false;
            if (!pump(
                    both,
                    [&] {
                        hostNext = hostNext || take(host, "CMD_nextround+");
                        seatNext = seatNext || take(seat, "CMD_nextround+");
                        return hostNext && seatNext;
                    },
                    5000))
                fail("no CMD_nextround");

            const auto findStart = Clock::now();
            auto words = wordsOnBoard(hb.codes, dictionary);
            findMs.push_back(msSince(findStart, Clock::now()));
            if (int(words.size()) > perBoard)
                words.resize(std::size_t(perBoard));
            for (const auto& [word, path] : words) {
                if (int(ownAnswer.size()) >= wanted)
                    break;
                host.inbox_.clear();
                seat.inbox_.clear();
                const std::string mine = "CMD_foundword+1+" + word + "+";
                const auto sent = Clock::now();
                host.send("CMD_wordcomplete+1" + refsOf(path));
                Message answer, seen;
                bool bad = false;
                const bool answered = pump(
                    both,
                    [&] {
                        bad = take(host, "CMD_badword+");
                        return bad || (take(host, mine, &answer) && take(seat, mine, &seen))
                            || (answer.text.size() && take(seat, mine, &seen));
                    },
                    2000);
                if (bad) {
                    ++badwords;
                    continue;
                }
                if (!answered) {
                    ++unanswered;
                    continue;
                }
                ownAnswer.push_back(msSince(sent, answer.at));
                otherSees.push_back(msSince(sent, seen.at));
            }
        }
    }
    stop(server);
    dictionary.CloseDictionary();

    std::printf("word_latency%s: lexmire-server %s, %d boards, %d words answered, %d bad, %d unanswered\n",
        quickAck ? " (clients ack at once)" : "", kVersion, boards, int(ownAnswer.size()), badwords,
        unanswered);
    report("word sent -> CMD_foundword at sender", ownAnswer);
    report("word sent -> CMD_foundword at other seat", otherSees);
    report("CMD_startgame sent -> board complete, host", startToBoardHost);
    report("CMD_startgame sent -> board complete, seat 2", startToBoardSeat);
    report("CMD_startgame echo -> board complete, host", echoToBoardHost);
    report("CMD_startgame echo -> board complete, seat 2", echoToBoardSeat);
    report("first row -> CMD_setbonustiles, host", spreadHost);
    report("first row -> CMD_setbonustiles, seat 2", spreadSeat);
    report("(client side) finding words on a board", findMs);
    return int(ownAnswer.size()) >= wanted && unanswered == 0 ? 0 : 1;
}

// Host on a server someone else started: a game with a second player in it.
int drive(int port, int seconds)
{
    TDictn dictionary(dictionaryPath(), {}, embeddedWordList());
    dictionary.OpenDictionary();
    Peer host(port);
    login(host, nullptr, "Driver");
    std::vector<Peer*> one { &host };
    // The second player logs in on its own; its arrival is announced to us.
    if (!pump(
            one, [&] { return take(host, "CMD_newplayerinfo+2+"); }, 20000))
        fail("no second player within 20 s");
    BoardTimes b;
    host.send("CMD_startgame+1+3+n+1+");
    if (!pump(
            one,
            [&] {
                collectBoard(host, b);
                return b.complete;
            },
            5000))
        fail("no board within 5 s");
    auto words = wordsOnBoard(b.codes, dictionary);
    std::printf("drive: round running, %zu words on the board\n", words.size());
    std::fflush(stdout);
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    std::size_t next = 0;
    while (Clock::now() < end) {
        if (next < words.size()) {
            host.send("CMD_wordcomplete+1" + refsOf(words[next].second));
            ++next;
        }
        pump(
            one, [] { return false; }, 500);
        host.inbox_.clear();
    }
    dictionary.CloseDictionary();
    std::printf("drive: sent %zu words\n", next);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string server = LEXMIRE_SERVER_BINARY;
    int words = 2000, perBoard = 400, drivePort = 0, seconds = 10;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto number = [&](int low, int high) {
            return i + 1 < argc ? std::clamp(std::atoi(argv[++i]), low, high) : low;
        };
        if (arg == "--server" && i + 1 < argc)
            server = argv[++i];
        else if (arg == "--words")
            words = number(1, 100000);
        else if (arg == "--per-board")
            perBoard = number(1, 100000);
        else if (arg == "--quickack")
            quickAck = true;
        else if (arg == "--drive")
            drivePort = number(1, 65535);
        else if (arg == "--seconds")
            seconds = number(1, 600);
        else {
            std::fprintf(stderr,
                "usage: word_latency [--server PATH] [--words N] [--per-board N] [--quickack]\n"
                "       word_latency --drive PORT [--seconds N]\n");
            return 2;
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return drivePort ? drive(drivePort, seconds) : measure(server, words, perBoard);
    } catch (const std::exception& error) {
        fail(error.what());
    }
}
