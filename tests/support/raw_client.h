// A bare protocol peer for tests, on QTcpSocket rather than the program's own
// endpoint, so that server tests do not lean on the code they test.
#pragma once

#include <QTcpSocket>

#include <string>
#include <vector>

namespace testsupport {

class RawClient {
public:
    explicit RawClient(int port);

    bool connected() const;
    bool closed() const { return closed_; }
    // Sends text and the end byte.
    void send(const std::string& message);
    // Sends bytes exactly as given.
    void sendRaw(const std::string& bytes);
    void close() { socket_.close(); }
    void abort(); // ends with a reset

    // Every message received so far, without end bytes.
    const std::vector<std::string>& received();
    // Pumps until a message equal to text arrives (or the safety deadline).
    bool waitFor(const std::string& text);
    // Pumps until a message starting with prefix arrives; returns it or "".
    std::string waitForPrefix(const std::string& prefix);
    bool waitForClose();
    // Messages received since the last call of takeNew().
    std::vector<std::string> takeNew();
    // The connection number the server gave (after "CMD_sendlogininfo").
    int number();
    // Waits for the number and logs in with it.
    void login(const std::string& name, const std::string& version = "2.0.5");
    int count(const std::string& text);

private:
    void readAll();

    QTcpSocket socket_;
    std::string partial_;
    std::vector<std::string> messages_;
    std::size_t seen_ = 0;
    bool closed_ = false;
};

} // namespace testsupport
