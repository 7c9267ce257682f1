// A bare game server for window tests: accepts one connection and lets the
// test send messages and read what the window sent, end bytes included.
#pragma once

#include <QTcpServer>
#include <QTcpSocket>

#include <string>
#include <vector>

namespace testsupport {

class RawServer {
public:
    RawServer();
    int port() const { return int(server_.serverPort()); }
    bool waitForClient();
    // Sends text and the end byte.
    void send(const std::string& message);
    // Every message received so far, without end bytes.
    const std::vector<std::string>& received();
    // The raw bytes received so far.
    const std::string& bytes();
    bool waitFor(const std::string& message);
    int count(const std::string& message);
    std::vector<std::string> takeNew();

private:
    void readAll();

    QTcpServer server_;
    QTcpSocket* client_ = nullptr;
    std::string bytes_;
    std::string partial_;
    std::vector<std::string> messages_;
    std::size_t seen_ = 0;
};

} // namespace testsupport
