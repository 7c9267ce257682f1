// board_to_window: how long a real window takes to show a new board, beside the
// same board's bytes reaching a raw peer in the same run.
//
//   board_to_window [--boards N] [--server PATH] [--server-cpu C]
//
// lexmire-server runs as its own process; a raw peer (a forked process with a
// plain socket) logs in as host, and a real Tchat window (offscreen platform,
// production dispatch interval) joins as seat 2. For each board the raw host
// sends CMD_startgame and times the nine CMD_boardtileline rows it reads; the
// window times, on the same monotonic clock, its socket's first wake-up after
// that start and the board's first paint once all nine rows are applied.
#include "server_bench_support.h"

#include "board_view.h"
#include "game_client.h"
#include "tchat.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace serverbench;

namespace {

constexpr int kRows = 9;
constexpr int kAllRows = (1 << kRows) - 1;
// Enough boards for a median and a 90th percentile; each takes a few milliseconds.
constexpr int kDefaultBoards = 40;
constexpr int kMaxBoards = 10000;
// No board, login or report may take longer than this; the bench fails instead of hanging.
constexpr int kStepTimeoutMs = 10000;

int64_t nsOf(Clock::time_point at)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}
Clock::time_point atNs(int64_t ns) { return Clock::time_point(std::chrono::nanoseconds(ns)); }

// What the raw host tells the window's process after each board.
struct PeerReport {
    int64_t sentNs = 0; // CMD_startgame written
    int64_t firstRowNs = 0; // the read that completed the first row
    int64_t lastRowNs = 0; // the read that completed the ninth row
    int cpu = -1; // where the raw host ran when the last row came
};

bool writeAll(int fd, const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(fd, bytes, size);
        if (put <= 0)
            return false;
        bytes += put;
        size -= std::size_t(put);
    }
    return true;
}

bool readAll(int fd, void* data, std::size_t size)
{
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::read(fd, bytes, size);
        if (got <= 0)
            return false;
        bytes += got;
        size -= std::size_t(got);
    }
    return true;
}

// The raw host, in its own process: logs in, waits for the window, then deals
// one board per 'g' read from `orders` and reports on `reports`.
[[noreturn]] void rawHost(int port, int orders, int reports)
{
    Peer host(port);
    loginAll({ &host }, { "Host" });
    if (!pumpPeers(
            { &host }, [&] { return !takePrefix(host, "CMD_newplayerinfo+2+").empty(); }, kStepTimeoutMs))
        fail("the window did not log in");
    const char ready = 'r';
    writeAll(reports, &ready, 1);
    char order = 0;
    while (readAll(orders, &order, 1) && order == 'g') {
        // Whatever came since the last board (clock, round messages) is not this board.
        host.readSome();
        host.inbox.clear();
        PeerReport report;
        report.sentNs = nsOf(Clock::now());
        host.send("CMD_startgame+1+3+n+1+");
        int rows = 0;
        if (!pumpPeers(
                { &host },
                [&] {
                    for (const Message& m : host.inbox) {
                        if (m.text.rfind("CMD_boardtileline+", 0) != 0)
                            continue;
                        if (rows++ == 0)
                            report.firstRowNs = nsOf(m.at);
                        report.lastRowNs = nsOf(m.at);
                    }
                    host.inbox.clear();
                    return rows >= kRows;
                },
                kStepTimeoutMs))
            fail("no board at the raw host");
        report.cpu = ::sched_getcpu();
        writeAll(reports, &report, sizeof report);
    }
    ::_exit(0);
}

// Watches the window: its game socket's wake-ups and the board's paints.
class WindowProbe : public QObject {
public:
    explicit WindowProbe(Tchat& window)
        : board_(window.findChild<BoardView*>("board"))
    {
        if (!board_)
            fail("the window has no board");
        qApp->installEventFilter(this);
        connect(&window.client(), &GameClient::boardCellChanged, this, [this](int, int r, int) {
            rows_ |= 1 << r;
            if (rows_ == kAllRows && !applied_)
                applied_ = Clock::now();
        });
        // The rows are all in once the bonus message, which follows them, is handled.
        connect(&window.client(), &GameClient::bonusTilesSet, this, [this] {
            if (!applied_)
                applied_ = Clock::now();
        });
    }

    void reset()
    {
        rows_ = 0;
        applied_.reset();
        painted_.reset();
        wakes_.clear();
    }
    bool painted() const { return painted_.has_value(); }
    Clock::time_point paintedAt() const { return *painted_; }
    int paintCpu() const { return paintCpu_; }
    // The socket's first wake-up at or after `from`.
    std::optional<Clock::time_point> firstWakeAfter(Clock::time_point from) const
    {
        for (Clock::time_point at : wakes_)
            if (at >= from)
                return at;
        return std::nullopt;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::SockAct) {
            auto* notifier = qobject_cast<QSocketNotifier*>(watched);
            if (notifier && notifier->type() == QSocketNotifier::Read && notifier->socket() != ignoredFd
                && wakes_.size() < kMaxWakes)
                wakes_.push_back(Clock::now());
        } else if (watched == board_ && event->type() == QEvent::Paint && applied_ && !painted_) {
            // The paint itself is part of the figure: run it here, then stamp.
            static_cast<QObject*>(board_)->event(event);
            painted_ = Clock::now();
            paintCpu_ = ::sched_getcpu();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

public:
    qintptr ignoredFd = -1; // the raw host's report pipe

private:
    static constexpr std::size_t kMaxWakes = 4096;
    BoardView* board_ = nullptr;
    int rows_ = 0;
    std::optional<Clock::time_point> applied_;
    std::optional<Clock::time_point> painted_;
    int paintCpu_ = -1;
    std::vector<Clock::time_point> wakes_;
};

// Runs the event loop until done() holds; fails after the step's time.
void pumpUntil(const std::function<bool()>& done, const char* what)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(kStepTimeoutMs);
    QTimer wake; // bounds each wait so the deadline is seen
    wake.start(100);
    while (!done()) {
        if (Clock::now() > deadline)
            fail(std::string("timed out waiting for ") + what);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void printRow(const char* what, const std::vector<double>& ms)
{
    std::printf("%-52s %s\n", what, summary(ms, "ms").c_str());
}

double median(std::vector<double> values) { return percentile(std::move(values), 0.5); }

} // namespace

int main(int argc, char** argv)
{
    int boards = kDefaultBoards;
    int serverCpu = -1;
    std::string binary = LEXMIRE_SERVER_BINARY;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--boards") == 0)
            boards = std::clamp(std::atoi(argv[i + 1]), 1, kMaxBoards);
        else if (std::strcmp(argv[i], "--server") == 0)
            binary = argv[i + 1];
        else if (std::strcmp(argv[i], "--server-cpu") == 0)
            serverCpu = std::atoi(argv[i + 1]);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    Child server = launchServer(binary, serverCpu);
    int toPeer[2], fromPeer[2];
    if (::pipe(toPeer) != 0 || ::pipe(fromPeer) != 0)
        fail("pipe");
    const pid_t peer = ::fork();
    if (peer < 0)
        fail("fork");
    if (peer == 0) {
        ::close(toPeer[1]);
        ::close(fromPeer[0]);
        rawHost(server.port, toPeer[0], fromPeer[1]);
    }
    ::close(toPeer[0]);
    ::close(fromPeer[1]);
    const auto stopPeer = [&] {
        const char quit = 'q';
        writeAll(toPeer[1], &quit, 1);
        ::close(toPeer[1]);
        int status = 0;
        for (int i = 0; i < 100 && ::waitpid(peer, &status, WNOHANG) == 0; ++i)
            ::usleep(20000);
        ::kill(peer, SIGKILL);
        ::waitpid(peer, nullptr, WNOHANG);
    };

    QTemporaryDir folder;
    // The window's own files stay in this run's folder.
    ::setenv("XDG_RUNTIME_DIR", qPrintable(folder.path()), 1);
    QApplication app(argc, argv);
    TchatSetup setup;
    setup.arguments = { "Window", "127.0.0.1", "false" };
    setup.settingsFile = QDir(folder.path()).filePath("lexmire.ini");
    setup.tileFolders = { folder.path() };
    setup.gamePort = std::to_string(server.port);
    setup.showError
        = [](const QString& text) { std::fprintf(stderr, "window error: %s\n", qPrintable(text)); };
    setup.showNotice = [](const QString&) {};
    setup.ask = [](const QString&) { return false; };
    Tchat window(setup);
    window.show();
    // As the program does once its window is up.
    window.drawPicturesAhead();
    WindowProbe probe(window);
    probe.ignoredFd = fromPeer[0];

    // Reports are read as they come, through the same event loop as the window.
    std::vector<PeerReport> reports;
    bool peerReady = false;
    QSocketNotifier fromPeerNotifier(fromPeer[0], QSocketNotifier::Read);
    QObject::connect(&fromPeerNotifier, &QSocketNotifier::activated, [&] {
        if (!peerReady) {
            char ready = 0;
            peerReady = readAll(fromPeer[0], &ready, 1) && ready == 'r';
            if (!peerReady)
                fail("the raw host ended");
            return;
        }
        PeerReport report;
        if (!readAll(fromPeer[0], &report, sizeof report))
            fail("the raw host ended");
        reports.push_back(report);
    });
    // The window takes its role from the command line once it is shown.
    pumpUntil([&] { return peerReady; }, "the window's login");

    std::vector<double> windowFromArrival, windowFromStart, peerFromFirstRow, peerFromStart, arrivalAfterPeer;
    int sameCpu = 0;
    for (int n = 0; n < boards; ++n) {
        probe.reset();
        const std::size_t before = reports.size();
        const char go = 'g';
        writeAll(toPeer[1], &go, 1);
        pumpUntil([&] { return probe.painted() && reports.size() > before; }, "a board");
        const PeerReport& report = reports.back();
        const auto sent = atNs(report.sentNs);
        const auto arrival = probe.firstWakeAfter(sent);
        if (!arrival)
            fail("the window's socket never woke for the board");
        windowFromArrival.push_back(msBetween(*arrival, probe.paintedAt()));
        windowFromStart.push_back(msBetween(sent, probe.paintedAt()));
        peerFromFirstRow.push_back(msBetween(atNs(report.firstRowNs), atNs(report.lastRowNs)));
        peerFromStart.push_back(msBetween(sent, atNs(report.lastRowNs)));
        arrivalAfterPeer.push_back(msBetween(atNs(report.firstRowNs), *arrival));
        sameCpu += report.cpu == probe.paintCpu() ? 1 : 0;
    }
    stopPeer();
    const int lastServerCpu = lastCpuOf(server.pid);
    stop(server);

    std::printf(
        "board_to_window: %d boards, lexmire-server process, raw host and window on loopback\n", boards);
    printPlacement(serverCpu, -1);
    std::printf(
        "raw host and window on the same CPU at the board's end: %d of %d boards; server last on CPU %d\n",
        sameCpu, boards, lastServerCpu);
    printRow("window: first row's bytes -> nine rows painted", windowFromArrival);
    std::printf(
        "%-52s %.3f ms\n", "window: the same, first board after the start", windowFromArrival.front());
    printRow("window: CMD_startgame sent -> nine rows painted", windowFromStart);
    printRow("raw peer: first row read -> ninth row read", peerFromFirstRow);
    printRow("raw peer: CMD_startgame sent -> ninth row read", peerFromStart);
    printRow("window's socket wakes after the raw peer's first row", arrivalAfterPeer);
    const double reference = median(peerFromStart);
    std::printf("ratio, start -> board (window painted / raw peer read), medians: %.2f\n",
        reference > 0 ? median(windowFromStart) / reference : 0.0);
    std::printf(
        "goal: first row's bytes -> painted under 16 ms (one frame): median %.3f ms, max %.3f ms: %s\n",
        median(windowFromArrival), percentile(windowFromArrival, 1.0),
        percentile(windowFromArrival, 1.0) < 16.0 ? "met" : "not met");
    return 0;
}
