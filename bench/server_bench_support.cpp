// What the server benchmarks share: child processes on chosen CPUs, their
// CPU time and memory, raw peers on loopback, and figures.
#include "server_bench_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace serverbench {

namespace {

    constexpr char kEnd = '\xFF';
    std::vector<pid_t> children;

    void forget(pid_t pid)
    {
        children.erase(std::remove(children.begin(), children.end(), pid), children.end());
    }

    std::string readFile(const std::string& path)
    {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    long statusField(pid_t pid, const std::string& field)
    {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind(field, 0) == 0)
                return std::atol(line.c_str() + field.size());
        return -1;
    }

} // namespace

void fail(const std::string& what)
{
    std::fprintf(stderr, "server bench: %s\n", what.c_str());
    for (pid_t pid : children) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    std::exit(1);
}

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double usBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::micro>(to - from).count();
}

int onlineCores() { return int(::sysconf(_SC_NPROCESSORS_ONLN)); }

void pinToCpu(int cpu)
{
    if (cpu < 0)
        return;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    if (::sched_setaffinity(0, sizeof set, &set) != 0)
        fail("cannot bind to CPU " + std::to_string(cpu));
}

int lastCpuOf(pid_t pid)
{
    // Field 39 of stat; the command name (field 2) may hold blanks, so count after it.
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int n = 3; n <= 39 && fields >> field; ++n)
        if (n == 39)
            return std::atoi(field.c_str());
    return -1;
}

Child launchServer(const std::string& binary, int cpu, const std::vector<std::string>& extraArgs)
{
    char folder[] = "/tmp/lexmire-bench.XXXXXX";
    if (!::mkdtemp(folder))
        fail("no temporary folder");
    int out[2];
    if (::pipe(out) != 0)
        fail("pipe");
    Child child;
    child.folder = folder;
    child.pid = ::fork();
    if (child.pid < 0)
        fail("fork");
    if (child.pid == 0) {
        pinToCpu(cpu);
        ::setenv("XDG_RUNTIME_DIR", folder, 1);
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<std::string> args { binary, "--port", "0", "--no-announce" };
        args.insert(args.end(), extraArgs.begin(), extraArgs.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(binary.c_str(), argv.data());
        std::perror("exec");
        ::_exit(127);
    }
    children.push_back(child.pid);
    ::close(out[1]);
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
    const std::string marker = " listening on port ";
    const std::size_t at = line.find(marker);
    if (at == std::string::npos)
        fail("lexmire-server did not say its port: " + line);
    child.port = std::atoi(line.c_str() + at + marker.size());
    return child;
}

Child launchServing(const std::function<void(int listenFd)>& serve, int cpu)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int on = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(listener, SOMAXCONN) != 0)
        fail("cannot listen");
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    Child child;
    child.port = ntohs(address.sin_port);
    child.pid = ::fork();
    if (child.pid < 0)
        fail("fork");
    if (child.pid == 0) {
        pinToCpu(cpu);
        serve(listener);
        ::_exit(0);
    }
    children.push_back(child.pid);
    ::close(listener);
    return child;
}

void stop(Child& child)
{
    if (child.pid > 0) {
        ::kill(child.pid, SIGTERM);
        bool ended = false;
        for (int i = 0; i < 200 && !ended; ++i) {
            ended = ::waitpid(child.pid, nullptr, WNOHANG) == child.pid;
            if (!ended)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!ended) {
            ::kill(child.pid, SIGKILL);
            ::waitpid(child.pid, nullptr, 0);
        }
        forget(child.pid);
        child.pid = -1;
    }
    if (!child.folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(child.folder, ignored);
        child.folder.clear();
    }
}

uint64_t cpuNs(pid_t pid)
{
    uint64_t total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = ::opendir(tasks.c_str());
    if (!dir)
        return 0;
    while (dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        total += std::strtoull(readFile(tasks + "/" + entry->d_name + "/schedstat").c_str(), nullptr, 10);
    }
    ::closedir(dir);
    return total;
}

long residentKiB(pid_t pid) { return statusField(pid, "VmRSS:"); }
long peakResidentKiB(pid_t pid) { return statusField(pid, "VmHWM:"); }

// ---- a raw peer

Peer::Peer(int port)
{
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        fail("cannot connect to 127.0.0.1:" + std::to_string(port));
    // As the game's windows do: every message goes at once.
    const int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

Peer::~Peer() { ::close(fd_); }

void Peer::sendRaw(const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += std::size_t(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p { fd_, POLLOUT, 0 };
            ::poll(&p, 1, 100);
            continue;
        }
        closed_ = true;
        return;
    }
}

void Peer::send(const std::string& message) { sendRaw(message + kEnd); }

void Peer::readSome()
{
    char buffer[65536];
    while (true) {
        const ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got == 0) {
            closed_ = true;
            return;
        }
        if (got < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                closed_ = true;
            return;
        }
        bytesRead += uint64_t(got);
        const Clock::time_point now = Clock::now();
        std::size_t from = 0;
        for (ssize_t i = 0; i < got; ++i) {
            if (buffer[i] != kEnd)
                continue;
            partial_.append(buffer + from, std::size_t(i) - from);
            from = std::size_t(i) + 1;
            Message message { std::move(partial_), now };
            partial_.clear();
            if (onMessage)
                onMessage(message);
            else
                inbox.push_back(std::move(message));
        }
        partial_.append(buffer + from, std::size_t(got) - from);
        if (std::size_t(got) < sizeof buffer)
            return;
    }
}

bool pumpPeers(const std::vector<Peer*>& peers, const std::function<bool()>& done, int timeoutMs,
    const std::function<void()>& eachPass)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<pollfd> fds(peers.size());
    while (!done()) {
        if (eachPass)
            eachPass();
        const auto now = Clock::now();
        if (now >= deadline)
            return false;
        for (std::size_t i = 0; i < peers.size(); ++i)
            fds[i] = pollfd { peers[i]->fd(), POLLIN, 0 };
        const int wait = eachPass ? 1 : std::max(1, int(msBetween(now, deadline)));
        if (::poll(fds.data(), fds.size(), wait) < 0 && errno != EINTR)
            fail("poll failed");
        for (std::size_t i = 0; i < peers.size(); ++i)
            if (fds[i].revents)
                peers[i]->readSome();
    }
    return true;
}

std::string takePrefix(Peer& peer, const std::string& prefix)
{
    for (auto it = peer.inbox.begin(); it != peer.inbox.end(); ++it)
        if (it->text.rfind(prefix, 0) == 0) {
            std::string text = std::move(it->text);
            peer.inbox.erase(it);
            return text;
        }
    return std::string();
}

void loginAll(const std::vector<Peer*>& peers, const std::vector<std::string>& names)
{
    for (std::size_t i = 0; i < peers.size(); ++i) {
        Peer& peer = *peers[i];
        std::string request;
        if (!pumpPeers(
                peers, [&] { return !(request = takePrefix(peer, "CMD_sendlogininfo+")).empty(); }, 5000))
            fail("no login request");
        peer.number = std::atoi(request.c_str() + std::strlen("CMD_sendlogininfo+"));
        peer.send("CMD_logininfo+" + std::to_string(peer.number) + "+2.0.5+" + names[i]);
        const std::string mine = "CMD_newplayerinfo+" + std::to_string(peer.number) + "+" + names[i];
        if (!pumpPeers(
                peers, [&] { return !takePrefix(peer, mine).empty(); }, 5000))
            fail("the login of " + names[i] + " was not confirmed");
    }
    for (Peer* peer : peers)
        peer->inbox.clear();
}

// ---- figures

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

std::string summary(const std::vector<double>& values, const char* unit)
{
    char text[256];
    std::snprintf(text, sizeof text, "n=%-5zu median %8.3f %s  p99 %8.3f %s  max %8.3f %s", values.size(),
        percentile(values, 0.5), unit, percentile(values, 0.99), unit, percentile(values, 1.0), unit);
    return text;
}

void printPlacement(int serverCpu, int peerCpu)
{
    std::printf("cores online: %d; ", onlineCores());
    if (serverCpu < 0 || peerCpu < 0)
        std::printf("servers and peers left to the scheduler\n");
    else if (serverCpu == peerCpu)
        std::printf("servers and peers share CPU %d (wake-ups stay on one CPU)\n", serverCpu);
    else
        std::printf(
            "servers on CPU %d, peers on CPU %d (every answer wakes across CPUs)\n", serverCpu, peerCpu);
}

} // namespace serverbench
