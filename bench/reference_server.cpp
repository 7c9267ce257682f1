// The reference server: poll, read, and one write per connection per wake-up.
#include "reference_server.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace serverbench {

namespace {

    constexpr char kEnd = '\xFF';
    // Far more than the benchmarks open; the rest are refused.
    constexpr std::size_t kMaxConnections = 64;

    struct Connection {
        int fd = -1;
        std::string partial;
        std::string out;
    };

    void writeOut(Connection& c)
    {
        while (!c.out.empty()) {
            const ssize_t sent = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent <= 0)
                return; // what is left goes when the socket is writable again
            c.out.erase(0, std::size_t(sent));
        }
    }

} // namespace

void serveReference(int listenFd, const std::string& roundStart)
{
    std::vector<Connection> connections;
    std::vector<pollfd> fds;
    ::fcntl(listenFd, F_SETFL, ::fcntl(listenFd, F_GETFL) | O_NONBLOCK);
    char buffer[65536];
    while (true) {
        fds.assign(1, pollfd { listenFd, POLLIN, 0 });
        for (const Connection& c : connections)
            fds.push_back(pollfd { c.fd, short(POLLIN | (c.out.empty() ? 0 : POLLOUT)), 0 });
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            std::exit(1);
        while (fds[0].revents & POLLIN) {
            const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0)
                break;
            if (connections.size() >= kMaxConnections) {
                ::close(fd);
                continue;
            }
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            connections.push_back(Connection { fd, {}, {} });
        }
        std::string toAll;
        for (std::size_t i = 1; i < fds.size() && i - 1 < connections.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            Connection& c = connections[i - 1];
            const ssize_t got = ::recv(c.fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got <= 0) {
                if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                    ::close(c.fd);
                    c.fd = -1;
                }
                continue;
            }
            c.partial.append(buffer, std::size_t(got));
            std::size_t end;
            while ((end = c.partial.find(kEnd)) != std::string::npos) {
                const std::string message = c.partial.substr(0, end);
                c.partial.erase(0, end + 1);
                if (message.rfind("CMD_startgame+", 0) == 0) {
                    toAll += roundStart;
                } else if (message.rfind("CMD_wordcomplete+", 0) == 0) {
                    const int seat = std::atoi(message.c_str() + std::strlen("CMD_wordcomplete+"));
                    if (seat >= 1 && seat <= 4) {
                        const int partner = seat <= 2 ? seat + 2 : seat - 2;
                        toAll += "CMD_foundword+" + std::to_string(seat) + "+word+7+57+"
                            + std::to_string(partner) + "+0";
                        toAll += kEnd;
                    }
                }
            }
        }
        for (Connection& c : connections) {
            if (c.fd < 0)
                continue;
            c.out += toAll;
            writeOut(c);
        }
        std::erase_if(connections, [](const Connection& c) { return c.fd < 0; });
    }
}

} // namespace serverbench
