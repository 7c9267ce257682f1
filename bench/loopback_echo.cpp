// loopback_echo: the round trip of a bare TCP echo on 127.0.0.1, the floor
// under any figure for a message answered over loopback. A thread echoes every
// byte back; the client sends a message the size of a word submission, waits
// for all of it to come back, and repeats.
//
//   loopback_echo [--count N] [--bytes N] [--nodelay]
// --nodelay sets TCP_NODELAY on both ends (the game's sockets leave it unset).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void die(const char* what)
{
    std::perror(what);
    std::exit(1);
}

void noDelay(int fd)
{
    const int one = 1;
    if (::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) != 0)
        die("setsockopt");
}

void echoLoop(int listener, bool nodelay)
{
    const int fd = ::accept(listener, nullptr, nullptr);
    if (fd < 0)
        die("accept");
    if (nodelay)
        noDelay(fd);
    char buffer[4096];
    while (true) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        ssize_t at = 0;
        while (at < got) {
            const ssize_t sent = ::send(fd, buffer + at, std::size_t(got - at), MSG_NOSIGNAL);
            if (sent <= 0)
                break;
            at += sent;
        }
    }
    ::close(fd);
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

} // namespace

int main(int argc, char** argv)
{
    int count = 2000;
    int bytes = 32; // "CMD_wordcomplete+1+3.4+4.4+5.5+6.5" and its end byte
    bool nodelay = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--count" && i + 1 < argc)
            count = std::max(1, std::min(1000000, std::atoi(argv[++i])));
        else if (arg == "--bytes" && i + 1 < argc)
            bytes = std::max(1, std::min(4000, std::atoi(argv[++i])));
        else if (arg == "--nodelay")
            nodelay = true;
        else {
            std::fprintf(stderr, "usage: loopback_echo [--count N] [--bytes N] [--nodelay]\n");
            return 2;
        }
    }

    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0)
        die("socket");
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0; // the system picks
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(listener, 1) != 0)
        die("bind/listen");
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::thread echo(echoLoop, listener, nodelay);

    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        die("connect");
    if (nodelay)
        noDelay(fd);

    std::string message(std::size_t(bytes), 'x');
    message.back() = '\xFF';
    std::vector<double> micros;
    micros.reserve(std::size_t(count));
    char buffer[4096];
    for (int i = 0; i < count + count / 10; ++i) {
        const auto start = Clock::now();
        if (::send(fd, message.data(), message.size(), MSG_NOSIGNAL) != ssize_t(message.size()))
            die("send");
        std::size_t back = 0;
        while (back < message.size()) {
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0)
                die("recv");
            back += std::size_t(got);
        }
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (i >= count / 10) // the first tenth warms up caches and the connection
            micros.push_back(us);
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
    echo.join();
    ::close(listener);

    double sum = 0;
    for (double v : micros)
        sum += v;
    std::printf("loopback_echo%s: %d round trips of %d bytes: median %.1f us, p99 %.1f us, mean %.1f us, max "
                "%.1f us\n",
        nodelay ? " (TCP_NODELAY)" : "", count, bytes, percentile(micros, 0.5), percentile(micros, 0.99),
        sum / double(micros.size()), percentile(micros, 1.0));
    return 0;
}
