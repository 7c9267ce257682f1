// soak: a long game night against the real lexmire-server process. Nine scripted
// peers on loopback (four seats finding real words on every board, five spies
// chatting) play game after game on a fast clock, with restarts, ties, kicks and
// peers leaving and coming back mid-round. It checks every answer, every score
// and every peer's view of them, watches the server's memory, prints its figures
// and exits non-zero when any check failed.
//
//   soak [--rounds N] [--second-ms N] [--seed N] [--server PATH] [--in-process] [--verbose]
// --server runs another build of lexmire-server, such as a sanitizer build.
// --in-process plays against a server inside the soak, on connections held in
// memory instead of sockets; its memory is then the soak's own.
#include "board.h"
#include "embedded_word_list.h"
#include "soak_link.h"
#include "word_scoring.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---- settings ---------------------------------------------------------------

struct Settings {
    int rounds = 50; // stop after this many rounds have ended
    // The game clock is sped up only as far as every peer's timing (a word
    // every few game seconds, answers before the round's end) still holds.
    int secondMs = 20;
    uint32_t seed = 20240607;
    bool verbose = false;
    QString serverBinary = LEXMIRE_SERVER_BINARY;
    bool inProcess = false;
    // Whole run: a stuck server or peer fails here instead of hanging CI.
    int deadlineMs = 6 * 60 * 1000;
    // The server may grow this much after warm-up; more is a leak.
    long rssSlackKiB = 2 * 1024;
    int warmupRounds = 5;
};

constexpr int kSeats = 4;
constexpr int kPeers = 9;
// Seats stop sending words once the clock correction for 19 seconds left
// arrives, so every word is handled well before the round ends.
constexpr int kLastWordsAt = 19;
constexpr const char* kVersion = "2.0.5";
// Enough rounds for every planned event (leaving, kicks, restarts, a game made
// to tie) to come round at least once.
constexpr int kRoundsForEveryEvent = 40;
// Longer than any round, pause and extra round together.
constexpr int kStallGameSeconds = 400;

std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    while (true) {
        const std::size_t at = text.find(separator);
        parts.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

int toInt(const std::string& text)
{
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        return used == text.size() ? value : -999999;
    } catch (...) {
        return -999999;
    }
}

// ---- the word list and word search ------------------------------------------

class WordList {
public:
    WordList()
    {
        const std::string_view records = embeddedWordList();
        for (std::size_t at = 0; at + 15 <= records.size(); at += 15) {
            std::string word(records.substr(at + 1, 14));
            word.erase(word.find_last_not_of(' ') + 1);
            bool letters = !word.empty();
            for (char& c : word) {
                if (c >= 'A' && c <= 'Z')
                    c = char(c - 'A' + 'a');
                letters = letters && c >= 'a' && c <= 'z';
            }
            if (letters)
                words_.push_back(word);
        }
        std::sort(words_.begin(), words_.end());
    }
    std::size_t size() const { return words_.size(); }
    bool contains(const std::string& word) const
    {
        return std::binary_search(words_.begin(), words_.end(), word);
    }
    bool isPrefix(const std::string& prefix) const
    {
        auto it = std::lower_bound(words_.begin(), words_.end(), prefix);
        return it != words_.end() && startsWith(*it, prefix);
    }

private:
    std::vector<std::string> words_;
};

using Path = std::vector<TileRef>;
using Codes = std::array<std::array<int, kBoardColumns>, kBoardRows>; // [y][x]

std::string letterOf(int code) { return std::string(1, char('a' + code - 1)); }

std::string wordOf(const Codes& codes, const Path& path)
{
    std::string word;
    for (const TileRef& t : path)
        word += letterOf(codes[std::size_t(t.y)][std::size_t(t.x)]);
    return word;
}

// Every word of three to eight letters along a path of touching, unrepeated cells.
std::vector<std::pair<std::string, Path>> findWords(const Codes& codes, const WordList& list)
{
    std::map<std::string, Path> found;
    Path path;
    std::array<std::array<bool, kBoardRows>, kBoardColumns> used {};
    std::string word;
    std::function<void(int, int)> walk = [&](int x, int y) {
        used[std::size_t(x)][std::size_t(y)] = true;
        path.push_back({ x, y });
        word += letterOf(codes[std::size_t(y)][std::size_t(x)]);
        if (list.isPrefix(word)) {
            if (word.size() >= 3 && list.contains(word))
                found.emplace(word, path);
            if (word.size() < 8)
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy) {
                        const int nx = x + dx, ny = y + dy;
                        if ((dx || dy) && nx >= 0 && nx < kBoardColumns && ny >= 0 && ny < kBoardRows
                            && !used[std::size_t(nx)][std::size_t(ny)])
                            walk(nx, ny);
                    }
        }
        word.pop_back();
        path.pop_back();
        used[std::size_t(x)][std::size_t(y)] = false;
    };
    for (int x = 0; x < kBoardColumns; ++x)
        for (int y = 0; y < kBoardRows; ++y)
            walk(x, y);
    return { found.begin(), found.end() };
}

std::string refsOf(const Path& path)
{
    std::string text;
    for (const TileRef& t : path)
        text += "+" + std::to_string(t.x) + "." + std::to_string(t.y);
    return text;
}

// ---- peers --------------------------------------------------------------------

enum class Outcome { Found, AlreadyFound, NotAWord, Silent };

struct SentWord {
    std::string word; // empty for a broken chain
    Outcome outcome;
    qint64 sentAtMs;
};

class Soak;

struct Peer {
    int slot = 0; // the number this peer always gets: 1 host, 2-4 seats, 5-9 spies
    std::string name;
    std::string version = kVersion;
    std::unique_ptr<PeerLink> link;
    std::string partial;
    int n = 0;
    bool loggedIn = false;
    bool leaving = false; // closed by us or kicked, waiting to come back
    bool quiet = false; // sends nothing until its answers are in (before a restart or leaving)
    bool expectKick = false;
    bool expectFull = false; // the tenth connection
    int serial = 0; // rounds seen, in step with the host's count
    // The board as this peer received it.
    Codes codes {};
    int rowsSeen = 0;
    bool boardReady = false;
    bool joinedRunningRound = false;
    std::vector<std::pair<std::string, Path>> candidates;
    std::size_t nextCandidate = 0;
    std::set<std::string> foundThisRound;
    std::vector<std::string> foundList;
    std::deque<SentWord> pending;
    std::deque<std::string> pendingChats;
    int chatsSent = 0;
    QTimer actTimer;
    // What it saw, per round serial, to compare with the host.
    std::map<int, std::string> endrounds;
    std::map<int, std::vector<std::string>> foundwords;
    std::map<int, Codes> boards;
    std::set<int> wholeRounds; // rounds it saw from their start to their end
};

// ---- the soak -------------------------------------------------------------------

class Soak : public QObject {
public:
    Soak(Settings settings, const WordList& words)
        : s_(settings)
        , words_(words)
        , rng_(settings.seed)
    {
    }

    int run()
    {
        clock_.start();
        QTimer::singleShot(
            s_.deadlineMs, this, [this] { fatal("the soak did not finish within its deadline"); });
        // A game that stops moving (no round ends for a long while) fails
        // here, long before the deadline.
        connect(&watchdog_, &QTimer::timeout, this, [this] {
            if (clock_.elapsed() - lastProgressMs_ > kStallGameSeconds * s_.secondMs)
                fatal("no round ended for " + std::to_string(kStallGameSeconds) + " game seconds");
        });
        watchdog_.start(1000);
        QTimer::singleShot(0, this, [this] { startServer(); });
        const int status = QCoreApplication::exec();
        return status;
    }

private:
    // ---- reporting

    void fail(const std::string& what)
    {
        ++failures_;
        if (failures_ <= 25)
            std::fprintf(stderr, "FAIL [%.1f s, round %d]: %s\n", double(clock_.elapsed()) / 1000.0,
                roundsEnded_, what.c_str());
    }

    void fatal(const std::string& what)
    {
        fail(what);
        finish();
    }

    void note(const std::string& what)
    {
        if (s_.verbose)
            std::printf("[%7.3f] %s\n", double(clock_.elapsed()) / 1000.0, what.c_str());
    }

    int gameMs(double seconds) const { return std::max(1, int(seconds * s_.secondMs)); }
    int randomInt(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    // ---- the server process

    void startServer()
    {
        if (!runtime_.isValid())
            return fatal("no temporary folder");
        if (s_.inProcess) {
            inProcess_ = std::make_unique<InProcessServer>(runtime_.path(), s_.secondMs);
            note("server running in process");
            connectPeers();
            return;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        server_.setProcessEnvironment(env);
        connect(&server_, &QProcess::readyReadStandardOutput, this, [this] {
            while (server_.canReadLine()) {
                const std::string line = server_.readLine().trimmed().toStdString();
                const std::string prefix = "lexmire-server 2.0.5 listening on port ";
                if (port_ == 0 && startsWith(line, prefix)) {
                    port_ = toInt(line.substr(prefix.size()));
                    note("server listening on port " + std::to_string(port_));
                    connectPeers();
                }
            }
        });
        connect(&server_, &QProcess::readyReadStandardError, this,
            [this] { serverErrors_ += server_.readAllStandardError().toStdString(); });
        connect(&server_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
            if (!stopping_)
                fatal("the server ended by itself: status " + std::to_string(code)
                    + (status == QProcess::CrashExit ? " (crashed)" : ""));
        });
        server_.start(
            s_.serverBinary, { "--port", "0", "--second-ms", QString::number(s_.secondMs), "--no-announce" });
    }

    long serverRssKiB()
    {
        const std::string process = s_.inProcess ? "self" : std::to_string(server_.processId());
        std::ifstream status("/proc/" + process + "/status");
        std::string line;
        while (std::getline(status, line))
            if (startsWith(line, "VmRSS:"))
                return std::stol(line.substr(6));
        return -1;
    }

    // ---- connections

    void connectPeers()
    {
        const std::array<const char*, kPeers> names
            = { "Host", "Ann", "Bob", "Cid+Dee", "Spy5", "Spy6", "Spy7", "Spy8", "Spy9" };
        for (int i = 0; i < kPeers; ++i) {
            auto peer = std::make_unique<Peer>();
            peer->slot = i + 1;
            peer->name = names[std::size_t(i)];
            peer->actTimer.setSingleShot(true);
            Peer* p = peer.get();
            connect(&peer->actTimer, &QTimer::timeout, this, [this, p] { act(*p); });
            peers_.push_back(std::move(peer));
        }
        // One at a time, so the numbers come out 1 to 9 in order.
        connectPeer(*peers_[0]);
    }

    Peer& host() { return *peers_[0]; }
    Peer& peerAt(int slot) { return *peers_[std::size_t(slot - 1)]; }

    void connectPeer(Peer& p)
    {
        p.partial.clear();
        p.n = 0;
        p.loggedIn = false;
        p.rowsSeen = 0;
        p.boardReady = false;
        p.joinedRunningRound = false;
        p.link = inProcess_ ? memoryLink(inProcess_->transport) : tcpLink(port_);
        PeerLink* link = p.link.get();
        link->onBytes = [this, &p, link](const QByteArray& bytes) {
            if (p.link.get() == link)
                readFrom(p, bytes);
        };
        link->onClosed = [this, &p, link] {
            if (p.link.get() == link)
                lost(p);
        };
    }

    void send(Peer& p, const std::string& message)
    {
        if (!p.link || !p.link->connected())
            return fail(p.name + " cannot send, not connected: " + message);
        p.link->write(message + '\xFF');
        ++messagesSent_;
    }

    void readFrom(Peer& p, const QByteArray& bytes)
    {
        for (char c : bytes) {
            if (c != '\xFF') {
                p.partial += c;
                continue;
            }
            const std::string message = std::move(p.partial);
            p.partial.clear();
            ++messagesReceived_;
            handle(p, message);
            if (done_)
                return;
        }
    }

    // The server closed on us: a kick we asked for, or the tenth connection.
    void lost(Peer& p)
    {
        if (done_)
            return;
        if (p.expectFull) {
            p.expectFull = false;
            if (!sawFull_)
                fail("the tenth connection was closed without CMD_full+");
            p.link.release()->deleteLater();
            note("tenth connection refused");
            startNextGame();
            return;
        }
        if (p.leaving)
            return;
        if (!p.expectKick)
            return fatal(p.name + " lost its connection");
        p.expectKick = false;
        p.leaving = true;
        p.link.release()->deleteLater();
        ++kicks_;
        note(p.name + " was kicked");
        comeBackLater(p);
    }

    // ---- messages

    void handle(Peer& p, const std::string& message)
    {
        const std::size_t plus = message.find('+');
        const std::string command = message.substr(0, plus);
        const std::string args = plus == std::string::npos ? "" : message.substr(plus + 1);
        const std::vector<std::string> f = split(args, '+');

        if (p.expectFull) {
            sawFull_ = message == "CMD_full+";
            if (!sawFull_)
                fail("the tenth connection got " + message);
            return;
        }
        if (command == "CMD_sendlogininfo") {
            p.n = toInt(args);
            if (p.n != p.slot)
                fail(p.name + " was given number " + args + ", expected " + std::to_string(p.slot));
            send(p, "CMD_logininfo+" + std::to_string(p.n) + "+" + p.version + "+" + p.name);
        } else if (command == "CMD_newplayerinfo") {
            if (f.size() >= 2 && toInt(f[0]) == p.n && args.substr(f[0].size() + 1) == p.name && !p.loggedIn)
                loggedIn(p);
        } else if (command == "CMD_existingplayers" || command == "CMD_playasound"
            || command == "CMD_action") {
        } else if (command == "CMD_wrongversion") {
            if (p.version == kVersion || message != "CMD_wrongversion+")
                fail(p.name + " was told of a wrong version: " + message);
            ++versionWarnings_;
        } else if (command == "CMD_havewrongversion") {
            if (p.slot != 1 || args != wrongVersionName_)
                fail(p.name + " got " + message);
            ++versionWarnings_;
        } else if (command == "CMD_gamestats") {
            onGamestats(p, args);
        } else if (command == "CMD_boardtileline") {
            onBoardRow(p, f);
        } else if (command == "CMD_setbonustiles") {
            if (message != "CMD_setbonustiles+")
                fail("bad bonus message " + message);
            if (p.joinedRunningRound && p.rowsSeen == kBoardRows && !p.boardReady)
                boardArrivedMidRound(p);
        } else if (command == "CMD_nextround") {
            onNextround(p, toInt(args));
        } else if (command == "CMD_updatetime") {
            if (&p == &host() && toInt(args) <= kLastWordsAt)
                roundOpen_ = false;
        } else if (command == "CMD_endround") {
            onEndround(p, message);
        } else if (command == "CMD_foundword") {
            onFoundword(p, f, message);
        } else if (command == "CMD_badword") {
            onBadword(p, f, message);
        } else if (command == "CMD_chat") {
            if (!p.pendingChats.empty() && args == p.pendingChats.front()) {
                p.pendingChats.pop_front();
                maybeQuiet(p);
            }
            if (&p == &host())
                ++chatsSeenByHost_;
        } else if (command == "CMD_playerdisconnected") {
            if (&p == &host())
                onPlayerDisconnected(f, args);
        } else if (command == "CMD_startgame") {
            onStartgame(p, message);
        } else if (command == "CMD_winner") {
            if (&p == &host())
                onWinner(args);
        } else {
            fail(p.name + " got an unexpected message: " + message.substr(0, 80));
        }
    }

    void loggedIn(Peer& p)
    {
        p.loggedIn = true;
        p.leaving = false;
        p.serial = host().serial;
        note(p.name + " logged in as " + std::to_string(p.n));
        if (p.slot < kPeers && !setupDone_) {
            connectPeer(*peers_[std::size_t(p.slot)]);
        } else if (p.slot == kPeers && !setupDone_) {
            setupDone_ = true;
            lastProgressMs_ = clock_.elapsed();
            // A tenth connection while nine are in: refused and closed.
            tenth_.slot = 10;
            tenth_.name = "Tenth";
            tenth_.expectFull = true;
            connectPeer(tenth_);
        }
        scheduleAct(p, 1, 4);
    }

    void onGamestats(Peer& p, const std::string& args)
    {
        // The terms, then where the round stands: its number, the seconds
        // left on the server's clock and the four game scores.
        const std::string terms = std::to_string(numrounds_) + (team_ ? "+y+" : "+n+") + "1+";
        const std::vector<std::string> now = split(args.substr(std::min(args.size(), terms.size())), '+');
        bool scoresSane = now.size() == 7 && now[6].empty();
        for (std::size_t i = 2; scoresSane && i < 6; ++i)
            scoresSane = toInt(now[i]) >= 0;
        if (!startsWith(args, terms) || !scoresSane || toInt(now[0]) != round_ || toInt(now[1]) < 1
            || toInt(now[1]) > 60)
            fail(p.name + " got CMD_gamestats+" + args + ", expected " + terms + " and round "
                + std::to_string(round_));
        else if (team_ && (now[2] != now[4] || now[3] != now[5]))
            fail(p.name + " got partners with different scores: CMD_gamestats+" + args);
        p.joinedRunningRound = true;
        p.rowsSeen = 0;
        ++latecomers_;
        if (p.slot > kSeats) {
            // Spies get no board until the next round.
            p.serial = host().serial;
        }
    }

    void onBoardRow(Peer& p, const std::vector<std::string>& f)
    {
        const int y = f.empty() ? -1 : toInt(f[0]);
        if (f.size() != 14 || y != p.rowsSeen % kBoardRows)
            return fail(p.name + " got a bad board row (row " + (f.empty() ? "?" : f[0]) + ")");
        if (y == 0)
            p.rowsSeen = 0;
        for (int x = 0; x < kBoardColumns; ++x) {
            const int code = toInt(f[std::size_t(x) + 1]);
            if (code < 1 || code > 26)
                fail(p.name + " got letter code " + f[std::size_t(x) + 1]);
            p.codes[std::size_t(y)][std::size_t(x)] = code;
        }
        ++p.rowsSeen;
        if (p.joinedRunningRound && p.slot > kSeats)
            fail(p.name + ", a spy, got the board on joining a round");
    }

    void boardArrivedMidRound(Peer& p)
    {
        p.joinedRunningRound = false;
        p.serial = host().serial;
        const auto hostBoard = host().boards.find(p.serial);
        if (hostBoard == host().boards.end() || hostBoard->second != p.codes)
            fail(p.name + " got a board on joining that is not the round's");
        takeBoard(p);
        // The seat's word list of the round survived its absence: a word it
        // found before leaving is refused as already found.
        if (!p.foundList.empty() && roundOpen_ && !p.quiet) {
            const std::string again = p.foundList.back();
            for (const auto& [word, path] : p.candidates)
                if (word == again) {
                    sendWord(p, path, Outcome::AlreadyFound);
                    ++dupsAfterReturn_;
                    break;
                }
        }
    }

    void takeBoard(Peer& p)
    {
        p.boardReady = true;
        p.boards[p.serial] = p.codes;
        auto cached = candidateCache_.find(p.serial);
        if (cached == candidateCache_.end()) {
            auto words = findWords(p.codes, words_);
            wordsOnBoards_ += words.size();
            ++boardsSearched_;
            cached = candidateCache_.emplace(p.serial, std::move(words)).first;
        }
        p.candidates = cached->second;
        std::shuffle(p.candidates.begin(), p.candidates.end(), rng_);
        p.nextCandidate = 0;
    }

    void onNextround(Peer& p, int round)
    {
        if (p.rowsSeen != kBoardRows)
            fail(p.name + " got CMD_nextround after " + std::to_string(p.rowsSeen) + " board rows");
        if (!p.pending.empty())
            fail(p.name + " still waits for answers at a new round");
        ++p.serial;
        if (&p == &host()) {
            if (round != expectedNextRound_)
                fail("round " + std::to_string(round) + " began, expected "
                    + std::to_string(expectedNextRound_));
            round_ = round;
            roundOpen_ = true;
            for (auto& r : roundScore_)
                r = 0;
            if (round > numrounds_)
                ++tieBreakRounds_;
            planRound();
        }
        p.joinedRunningRound = false;
        p.wholeRounds.insert(p.serial);
        p.foundThisRound.clear();
        p.foundList.clear();
        p.pending.clear();
        takeBoard(p);
    }

    void onEndround(Peer& p, const std::string& message)
    {
        for (const SentWord& w : p.pending)
            if (w.outcome != Outcome::Silent) {
                fail(p.name + " got no answer for \"" + w.word + "\" before the round ended");
                ++unanswered_;
            }
        p.pending.clear();
        p.boardReady = false;
        p.joinedRunningRound = false;
        p.endrounds[p.serial] = message;
        if (&p != &host())
            return;
        std::string expected = "CMD_endround";
        for (int seat = 1; seat <= kSeats; ++seat)
            expected += "+" + std::to_string(roundScore_[std::size_t(seat)]);
        if (message != expected)
            fail("round scores " + message + " differ from the words found: " + expected);
        ++roundsEnded_;
        roundOpen_ = false;
        lastProgressMs_ = clock_.elapsed();
        const long rss = serverRssKiB();
        rssPeak_ = std::max(rssPeak_, rss);
        if (roundsEnded_ == s_.warmupRounds)
            rssWarm_ = rss;
        note("round " + std::to_string(round_) + " ended: " + message + ", server " + std::to_string(rss)
            + " KiB");
        if (round_ < numrounds_) {
            expectedNextRound_ = round_ + 1;
        } else if (const std::optional<std::string> winner = expectedWinner()) {
            expectWinner_ = *winner;
        } else {
            expectedNextRound_ = round_ + 1; // undecided: one more round
            ++ties_;
        }
        // The others get the same line a moment later, the winner too.
        if (roundsEnded_ >= s_.rounds)
            QTimer::singleShot(gameMs(3), this, [this] { finish(); });
    }

    // The game's winner by the scores seen, or nothing when it is undecided.
    // Only seats somebody holds can win, and a team is named by those there.
    std::optional<std::string> expectedWinner() const
    {
        const auto held = [this](int seat) {
            return peers_[std::size_t(seat - 1)]->loggedIn && !peers_[std::size_t(seat - 1)]->leaving;
        };
        int64_t best = 0;
        int winner = 0;
        for (int seat = 1; seat <= kSeats; ++seat)
            if (held(seat) && score_[std::size_t(seat)] > best) {
                best = score_[std::size_t(seat)];
                winner = seat;
            }
        if (winner == 0)
            return std::nullopt;
        if (!team_)
            for (int seat = 1; seat <= kSeats; ++seat)
                if (seat != winner && held(seat) && score_[std::size_t(seat)] == best)
                    return std::nullopt;
        std::string text = peers_[std::size_t(winner - 1)]->name;
        if (team_ && held(partnerOf(winner)))
            text += " and " + peers_[std::size_t(partnerOf(winner) - 1)]->name;
        return text;
    }

    static int partnerOf(int seat) { return seat <= 2 ? seat + 2 : seat - 2; }

    void onWinner(const std::string& text)
    {
        if (expectWinner_.empty())
            fail("an unexpected winner: " + text);
        else if (text != expectWinner_)
            fail("winner " + text + ", expected " + expectWinner_);
        expectWinner_.clear();
        ++gamesFinished_;
        note("winner: " + text);
        QTimer::singleShot(gameMs(3), this, [this] { startNextGame(); });
    }

    void onFoundword(Peer& p, const std::vector<std::string>& f, const std::string& message)
    {
        if (f.size() != 6)
            return fail("bad " + message);
        const int seat = toInt(f[0]);
        p.foundwords[p.serial].push_back(message);
        if (seat == p.n && p.slot <= kSeats)
            answered(p, f[1], Outcome::Found);
        if (&p != &host())
            return;
        const int64_t ws = toInt(f[2]), sc = toInt(f[3]), partner = toInt(f[4]), psc = toInt(f[5]);
        if (seat < 1 || seat > kSeats || partner != partnerOf(seat))
            return fail("bad seat or partner in " + message);
        int64_t lettersAlone = 0;
        for (char c : f[1])
            lettersAlone += letterworth(c - 'a' + 1);
        if (ws < lettersAlone || ws > kMaxWordScore)
            fail("word score out of range in " + message);
        auto& mine = score_[std::size_t(seat)];
        if (sc != mine + ws)
            fail("game score " + f[3] + " in " + message + ", expected " + std::to_string(mine + ws));
        mine = sc;
        roundScore_[std::size_t(seat)] += ws;
        auto& theirs = score_[std::size_t(partner)];
        if (team_)
            theirs = sc;
        if (psc != theirs)
            fail("partner score in " + message + ", expected " + std::to_string(theirs));
    }

    void onBadword(Peer& p, const std::vector<std::string>& f, const std::string& message)
    {
        if (f.size() != 4 || !f[3].empty() || toInt(f[1]) != p.n)
            return fail(p.name + " got a bad " + message);
        const int code = toInt(f[0]);
        if (code != 1 && code != 2)
            return fail(p.name + " got " + message);
        answered(p, f[2], code == 1 ? Outcome::AlreadyFound : Outcome::NotAWord);
    }

    // Answers come in the order words were sent; a broken chain gets none.
    void answered(Peer& p, const std::string& word, Outcome outcome)
    {
        while (!p.pending.empty() && p.pending.front().outcome == Outcome::Silent)
            p.pending.pop_front();
        if (p.pending.empty())
            return fail(p.name + " got an answer for \"" + word + "\" it did not wait for");
        const SentWord sent = p.pending.front();
        p.pending.pop_front();
        if (sent.word != word || sent.outcome != outcome)
            fail(p.name + " sent \"" + sent.word + "\" (" + outcomeName(sent.outcome)
                + ") and was answered \"" + word + "\" (" + outcomeName(outcome) + ")");
        const qint64 latency = clock_.elapsed() - sent.sentAtMs;
        latencyMaxMs_ = std::max(latencyMaxMs_, latency);
        latencySumMs_ += latency;
        ++answers_;
        ++outcomes_[std::size_t(outcome)];
        maybeQuiet(p);
    }

    static const char* outcomeName(Outcome o)
    {
        switch (o) {
        case Outcome::Found:
            return "found";
        case Outcome::AlreadyFound:
            return "already found";
        case Outcome::NotAWord:
            return "not a word";
        case Outcome::Silent:
            return "broken chain";
        }
        return "?";
    }

    void onPlayerDisconnected(const std::vector<std::string>& f, const std::string& args)
    {
        const int n = f.empty() ? 0 : toInt(f[0]);
        if (n != expectGone_ || args.substr(f[0].size() + 1) != peerAt(n).name)
            fail("unexpected CMD_playerdisconnected+" + args);
        expectGone_ = 0;
        ++departuresSeen_;
    }

    void onStartgame(Peer& p, const std::string& message)
    {
        if (message != lastStart_)
            fail(p.name + " got " + message + ", expected " + lastStart_);
        p.boardReady = false;
        p.rowsSeen = 0;
        p.pending.clear();
        if (&p == &host()) {
            roundOpen_ = false;
            for (auto& sc : score_)
                sc = 0;
            expectedNextRound_ = 1;
            expectWinner_.clear();
        }
    }

    // ---- what the peers do

    void scheduleAct(Peer& p, double lowSeconds, double highSeconds)
    {
        p.actTimer.start(gameMs(
            lowSeconds + (highSeconds - lowSeconds) * std::uniform_real_distribution<double>(0, 1)(rng_)));
    }

    void act(Peer& p)
    {
        if (done_ || stopping_)
            return;
        if (p.loggedIn && !p.quiet && !p.leaving) {
            if (p.slot <= kSeats)
                playWord(p);
            else
                chatter(p);
        }
        if (p.slot <= kSeats)
            scheduleAct(p, 3, 8);
        else
            scheduleAct(p, 10, 30);
    }

    bool mayPlay(const Peer& p) const
    {
        if (!p.boardReady || !roundOpen_ || p.quiet)
            return false;
        // In a game made to tie, seat 2 plays and seat 4 copies it word for word
        // while the others play no word; in the extra round seat 2 alone plays and wins.
        return !tieGame_ || p.slot == 2;
    }

    void playWord(Peer& p)
    {
        if (!mayPlay(p)) {
            if (tieGame_ && (p.slot == 1 || p.slot == 3) && p.boardReady && roundOpen_ && !p.quiet)
                playNoise(p);
            return;
        }
        if (tieGame_) {
            // Seat 4 mirrors seat 2 word for word during the regular rounds.
            const auto next = nextWord(p);
            if (!next)
                return;
            sendWord(p, next->second, expect(p, next->first));
            Peer& mirror = peerAt(4);
            if (round_ <= numrounds_ && mirror.boardReady && mirror.loggedIn) {
                sendWord(mirror, next->second, expect(mirror, next->first));
                ++mirrored_;
            }
            return;
        }
        const int kind = randomInt(0, 99);
        if (kind < 70 || p.foundList.empty()) {
            const auto next = nextWord(p);
            if (next)
                sendWord(p, next->second, expect(p, next->first));
        } else if (kind < 80) {
            // A word found earlier in the round, again: refused as already found.
            const std::string again = p.foundList[std::size_t(randomInt(0, int(p.foundList.size()) - 1))];
            for (const auto& [word, path] : p.candidates)
                if (word == again) {
                    sendWord(p, path, expect(p, word));
                    break;
                }
        } else {
            playNoise(p);
        }
        if (chance(0.05))
            send(p,
                "CMD_playasound+" + std::to_string(p.n) + "+wave" + std::to_string(randomInt(1, 20)) + "+");
    }

    std::optional<std::pair<std::string, Path>> nextWord(Peer& p)
    {
        if (p.nextCandidate >= p.candidates.size())
            return std::nullopt;
        return p.candidates[p.nextCandidate++];
    }

    // A chain of touching tiles that spells no word, or a chain with a gap.
    void playNoise(Peer& p)
    {
        if (chance(0.5)) {
            Path path { { randomInt(0, kBoardColumns - 1), randomInt(0, kBoardRows - 1) } };
            const int length = randomInt(3, 12);
            while (int(path.size()) < length) {
                const TileRef at = path.back();
                const TileRef next { std::clamp(at.x + randomInt(-1, 1), 0, kBoardColumns - 1),
                    std::clamp(at.y + randomInt(-1, 1), 0, kBoardRows - 1) };
                if (next.x != at.x || next.y != at.y)
                    path.push_back(next);
            }
            const std::string word = wordOf(p.codes, path);
            if (!words_.contains(word))
                sendWord(p, path, Outcome::NotAWord);
        } else {
            Path path { { 0, 0 }, { 1, 1 }, { 3 + randomInt(0, 9), randomInt(0, 8) } };
            sendWord(p, path, Outcome::Silent);
        }
    }

    Outcome expect(Peer& p, const std::string& word)
    {
        if (!words_.contains(word))
            return Outcome::NotAWord;
        if (!p.foundThisRound.insert(word).second)
            return Outcome::AlreadyFound;
        p.foundList.push_back(word);
        return Outcome::Found;
    }

    void sendWord(Peer& p, const Path& path, Outcome outcome)
    {
        const std::string word = outcome == Outcome::Silent ? "" : wordOf(p.codes, path);
        p.pending.push_back({ word, outcome, clock_.elapsed() });
        send(p, "CMD_wordcomplete+" + std::to_string(p.n) + refsOf(path));
        ++wordsSent_;
        ++sentKinds_[std::size_t(outcome)];
    }

    void chatter(Peer& p)
    {
        const std::string text = "chat " + std::to_string(++p.chatsSent) + " from " + p.name + " + friends";
        if (chance(0.8)) {
            const std::string colour = chance(0.5) ? "clRed" : "$00123456";
            send(p, "CMD_chat+" + std::to_string(p.n) + "+" + text + "|" + colour);
            p.pendingChats.push_back(p.name + " chats: " + text + "|" + colour);
        } else {
            send(p, "CMD_action+" + std::to_string(p.n) + "+waves|clBlue");
        }
        ++chatsSent_;
    }

    // ---- the host's plan for games and rounds

    void startNextGame()
    {
        if (done_ || stopping_)
            return;
        ++gamesStarted_;
        tieGame_ = gamesStarted_ % 4 == 0;
        team_ = !tieGame_ && gamesStarted_ % 3 == 0;
        numrounds_ = tieGame_ ? 2 : randomInt(2, 4);
        sendStart();
    }

    void sendStart()
    {
        lastStart_ = "CMD_startgame+1+" + std::to_string(numrounds_) + (team_ ? "+y+" : "+n+") + "1+";
        note("start: " + lastStart_);
        send(host(), lastStart_);
    }

    // Each round may bring one event a while after it starts.
    void planRound()
    {
        ++roundsPlanned_;
        const int kind = roundsPlanned_ % 7;
        QTimer::singleShot(gameMs(randomInt(8, 14)), this, [this, kind, serial = host().serial] {
            if (host().serial != serial || !roundOpen_ || done_ || stopping_)
                return;
            switch (kind) {
            case 1:
                if (!tieGame_)
                    leaveAndReturn(peerAt(randomInt(2, 4)));
                break;
            case 2:
                leaveAndReturn(peerAt(randomInt(5, 8)));
                break;
            case 3:
                kick(peerAt(randomInt(5, 8)));
                break;
            case 4:
                if (round_ < numrounds_ && !tieGame_)
                    restart();
                break;
            case 5:
                if (!wrongVersionTried_) {
                    wrongVersionTried_ = true;
                    peerAt(9).version = "2.0.4";
                    wrongVersionName_ = peerAt(9).name;
                    leaveAndReturn(peerAt(9));
                }
                break;
            default:
                break;
            }
        });
    }

    // Stops a peer sending and runs then() once every answer it waits for is in.
    void quieten(Peer& p, std::function<void()> then)
    {
        p.quiet = true;
        quietThen_[&p] = std::move(then);
        maybeQuiet(p);
    }

    void maybeQuiet(Peer& p)
    {
        auto it = quietThen_.find(&p);
        if (it == quietThen_.end())
            return;
        const bool waiting = std::any_of(p.pending.begin(), p.pending.end(),
            [](const SentWord& w) { return w.outcome != Outcome::Silent; });
        if (waiting || !p.pendingChats.empty())
            return;
        auto then = std::move(it->second);
        quietThen_.erase(it);
        then();
    }

    void leaveAndReturn(Peer& p)
    {
        if (p.leaving || !p.loggedIn || expectGone_ != 0)
            return;
        quieten(p, [this, &p] {
            p.quiet = false;
            p.leaving = true;
            p.loggedIn = false;
            p.wholeRounds.erase(p.serial);
            expectGone_ = p.n;
            note(p.name + " leaves");
            p.link->leave();
            p.link.release()->deleteLater();
            ++departures_;
            comeBackLater(p);
        });
    }

    void kick(Peer& p)
    {
        if (p.leaving || !p.loggedIn || expectGone_ != 0)
            return;
        quieten(p, [this, &p] {
            p.quiet = false;
            p.expectKick = true;
            p.loggedIn = false;
            p.wholeRounds.erase(p.serial);
            expectGone_ = p.n;
            send(host(), "CMD_kickhim+1+" + std::to_string(p.n) + "+");
        });
    }

    void comeBackLater(Peer& p)
    {
        QTimer::singleShot(gameMs(5), this, [this, &p] {
            if (done_ || stopping_)
                return;
            if (expectGone_ != 0)
                fail("nobody was told that " + p.name + " left");
            expectGone_ = 0;
            ++returns_;
            connectPeer(p);
        });
    }

    void restart()
    {
        int waiting = 0;
        for (int seat = 1; seat <= kSeats; ++seat)
            if (peerAt(seat).loggedIn && !peerAt(seat).leaving)
                ++waiting;
        auto left = std::make_shared<int>(waiting);
        for (int seat = 1; seat <= kSeats; ++seat) {
            Peer& p = peerAt(seat);
            if (!p.loggedIn || p.leaving)
                continue;
            quieten(p, [this, left] {
                if (--*left > 0)
                    return;
                // No seat plays on the old board once the request is on its
                // way: each waits for the new round's board.
                for (int s = 1; s <= kSeats; ++s) {
                    peerAt(s).quiet = false;
                    peerAt(s).boardReady = false;
                }
                roundOpen_ = false;
                ++restarts_;
                numrounds_ = randomInt(2, 4);
                sendStart();
            });
        }
    }

    // ---- the end

    void finish()
    {
        if (done_)
            return;
        done_ = true;
        stopping_ = true;
        const qint64 elapsedMs = clock_.elapsed();
        const long rssFinal = inProcess_ || server_.state() == QProcess::Running ? serverRssKiB() : -1;
        compareViews();
        for (auto& p : peers_) {
            p->actTimer.stop();
            if (p->link)
                p->link->abort();
        }
        int exitCode = -1;
        bool crashed = true;
        if (inProcess_) {
            exitCode = 0;
            crashed = false;
        } else if (server_.state() == QProcess::Running) {
            server_.terminate();
            if (server_.waitForFinished(10000)) {
                exitCode = server_.exitCode();
                crashed = server_.exitStatus() == QProcess::CrashExit;
            }
        }
        if (!inProcess_)
            serverErrors_ += server_.readAllStandardError().toStdString();
        if (crashed || exitCode != 0)
            fail("the server did not end cleanly on SIGTERM: status " + std::to_string(exitCode));
        if (serverErrors_.find("runtime error") != std::string::npos
            || serverErrors_.find("Sanitizer") != std::string::npos)
            fail("the server reported errors:\n" + serverErrors_);
        if (roundsEnded_ < s_.rounds)
            fail("only " + std::to_string(roundsEnded_) + " rounds ended");
        // In process the figure is the soak's own memory, which keeps every
        // round's boards and words as well: it is shown, not held to the limit.
        if (!inProcess_ && rssWarm_ > 0 && rssFinal > rssWarm_ + s_.rssSlackKiB)
            fail("the server grew from " + std::to_string(rssWarm_) + " KiB after warm-up to "
                + std::to_string(rssFinal) + " KiB");
        if (departuresSeen_ != departures_ + kicks_)
            fail(std::to_string(departures_ + kicks_) + " peers left but the host was told of "
                + std::to_string(departuresSeen_));
        if (rssWarm_ <= 0 || rssFinal <= 0)
            fail("the server's memory could not be read");
        // A full run goes through every kind of event at least once; a short
        // one (--rounds) may not reach them all.
        if (s_.rounds >= kRoundsForEveryEvent) {
            const std::pair<const char*, int> events[] = { { "departures", departures_ }, { "kicks", kicks_ },
                { "returns", returns_ }, { "restarts", restarts_ }, { "undecided games", ties_ },
                { "version warnings", versionWarnings_ }, { "repeats after a return", dupsAfterReturn_ } };
            for (const auto& [what, count] : events)
                if (count == 0)
                    fail(std::string("the run had no ") + what);
        }

        const double avgLatency = answers_ ? double(latencySumMs_) / double(answers_) : 0;
        std::printf(
            "soak: %.1f s, second = %d ms, seed %u\n", double(elapsedMs) / 1000.0, s_.secondMs, s_.seed);
        std::printf("  rounds ended %d (%d extra rounds after ties), games started %d, won %d, restarts %d\n",
            roundsEnded_, tieBreakRounds_, gamesStarted_, gamesFinished_, restarts_);
        std::printf("  boards searched %d, words on them %zu (avg %zu), dictionary %zu words\n",
            boardsSearched_, wordsOnBoards_,
            boardsSearched_ ? wordsOnBoards_ / std::size_t(boardsSearched_) : 0, words_.size());
        std::printf(
            "  words sent %d: %d new, %d repeated, %d not words, %d broken chains (%d mirrored for ties)\n",
            wordsSent_, sentKinds_[0], sentKinds_[1], sentKinds_[2], sentKinds_[3], mirrored_);
        std::printf("  answers %d: found %d, already found %d, not a word %d; unanswered %d; latency avg "
                    "%.1f ms, max %lld ms\n",
            answers_, outcomes_[0], outcomes_[1], outcomes_[2], unanswered_, avgLatency,
            (long long)latencyMaxMs_);
        std::printf("  chats and actions sent %d, chats seen by the host %d\n", chatsSent_, chatsSeenByHost_);
        std::printf("  departures %d, kicks %d, announced %d, returns %d (%d joined a running round, %d "
                    "repeated a word found before leaving), "
                    "version warnings %d, tenth connection refused %s\n",
            departures_, kicks_, departuresSeen_, returns_, latecomers_, dupsAfterReturn_, versionWarnings_,
            sawFull_ ? "yes" : "no");
        std::printf("  views compared %d rounds x peers, messages sent %lld, received %lld\n", viewsCompared_,
            (long long)messagesSent_, (long long)messagesReceived_);
        if (inProcess_)
            std::printf("  soak RSS (server and peers together, not checked): after %d rounds %ld KiB, final "
                        "%ld KiB\n",
                s_.warmupRounds, rssWarm_, rssFinal);
        else
            std::printf(
                "  server RSS: after %d rounds %ld KiB, final %ld KiB, peak %ld KiB (limit +%ld KiB)\n",
                s_.warmupRounds, rssWarm_, rssFinal, rssPeak_, s_.rssSlackKiB);
        std::printf("  server exit status %d\n", exitCode);
        std::printf("soak: %s (%d failed checks)\n", failures_ ? "FAILED" : "passed", failures_);
        QCoreApplication::exit(failures_ ? 1 : 0);
    }

    // Every peer that saw a round whole saw the same board, the same words
    // found in the same order, and the same round scores as the host.
    void compareViews()
    {
        const Peer& h = host();
        for (const auto& p : peers_) {
            if (p.get() == &h)
                continue;
            for (int serial : p->wholeRounds) {
                if (!h.endrounds.count(serial) || !p->endrounds.count(serial))
                    continue; // a round cut short by a restart or by the end of the run
                ++viewsCompared_;
                if (p->endrounds.at(serial) != h.endrounds.at(serial))
                    fail(p->name + " saw " + p->endrounds.at(serial) + " where the host saw "
                        + h.endrounds.at(serial));
                const auto hostWords = h.foundwords.find(serial);
                if (p->foundwords[serial]
                    != (hostWords == h.foundwords.end() ? std::vector<std::string> {} : hostWords->second))
                    fail(p->name + " saw other words found in round serial " + std::to_string(serial));
                if (p->boards.count(serial) && h.boards.count(serial)
                    && p->boards.at(serial) != h.boards.at(serial))
                    fail(p->name + " saw another board in round serial " + std::to_string(serial));
            }
        }
    }

    Settings s_;
    const WordList& words_;
    std::mt19937 rng_;
    QElapsedTimer clock_;
    QTimer watchdog_;
    QTemporaryDir runtime_;
    QProcess server_;
    // Outlives the peers, whose links end on it.
    std::unique_ptr<InProcessServer> inProcess_;
    std::string serverErrors_;
    int port_ = 0;
    std::vector<std::unique_ptr<Peer>> peers_;
    Peer tenth_;
    bool sawFull_ = false;
    bool setupDone_ = false;
    bool done_ = false;
    bool stopping_ = false;
    int failures_ = 0;

    // The game as the host sees it.
    std::string lastStart_;
    int numrounds_ = 0;
    bool team_ = false;
    bool tieGame_ = false;
    int round_ = 0;
    int expectedNextRound_ = 1;
    bool roundOpen_ = false;
    qint64 lastProgressMs_ = 0;
    std::string expectWinner_;
    std::array<int64_t, kSeats + 1> score_ {};
    std::array<int64_t, kSeats + 1> roundScore_ {};
    int expectGone_ = 0;
    std::map<Peer*, std::function<void()>> quietThen_;
    std::map<int, std::vector<std::pair<std::string, Path>>> candidateCache_;
    bool wrongVersionTried_ = false;
    std::string wrongVersionName_;

    // Figures.
    int roundsEnded_ = 0, roundsPlanned_ = 0, tieBreakRounds_ = 0, ties_ = 0;
    int gamesStarted_ = 0, gamesFinished_ = 0, restarts_ = 0;
    int boardsSearched_ = 0;
    std::size_t wordsOnBoards_ = 0;
    int wordsSent_ = 0, mirrored_ = 0, answers_ = 0, unanswered_ = 0;
    std::array<int, 4> sentKinds_ {}, outcomes_ {};
    int chatsSent_ = 0, chatsSeenByHost_ = 0;
    int departures_ = 0, departuresSeen_ = 0, kicks_ = 0, returns_ = 0, latecomers_ = 0, dupsAfterReturn_ = 0;
    int versionWarnings_ = 0, viewsCompared_ = 0;
    qint64 latencyMaxMs_ = 0, latencySumMs_ = 0;
    qint64 messagesSent_ = 0, messagesReceived_ = 0;
    long rssWarm_ = -1, rssPeak_ = -1;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--rounds" && hasValue)
            settings.rounds = std::max(1, toInt(argv[++i]));
        else if (arg == "--second-ms" && hasValue)
            settings.secondMs = std::max(1, toInt(argv[++i]));
        else if (arg == "--seed" && hasValue)
            settings.seed = uint32_t(std::stoul(argv[++i]));
        else if (arg == "--server" && hasValue)
            settings.serverBinary = argv[++i];
        else if (arg == "--in-process")
            settings.inProcess = true;
        else if (arg == "--verbose")
            settings.verbose = true;
        else {
            std::fprintf(stderr,
                "usage: soak [--rounds N] [--second-ms N] [--seed N] [--server PATH] [--in-process] "
                "[--verbose]\n");
            return 2;
        }
    }
    const WordList words;
    Soak soak(settings, words);
    return soak.run();
}
