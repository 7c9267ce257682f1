// A bare protocol peer for tests.
#include "raw_client.h"

#include "pump.h"

#include <algorithm>

#include <sys/socket.h>

namespace testsupport {

RawClient::RawClient(int port)
{
    QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { closed_ = true; });
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { readAll(); });
    socket_.connectToHost("127.0.0.1", quint16(port));
}

bool RawClient::connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }

void RawClient::send(const std::string& message) { sendRaw(message + '\xFF'); }

void RawClient::sendRaw(const std::string& bytes)
{
    pumpUntil([this] { return connected() || closed_; });
    socket_.write(bytes.data(), qint64(bytes.size()));
    socket_.flush();
}

void RawClient::abort()
{
    // A zero linger makes the close send a reset instead of an orderly end.
    linger option { 1, 0 };
    ::setsockopt(int(socket_.socketDescriptor()), SOL_SOCKET, SO_LINGER, &option, sizeof option);
    socket_.abort();
}

void RawClient::readAll()
{
    QByteArray bytes = socket_.readAll();
    for (char c : bytes) {
        if (c == '\xFF') {
            messages_.push_back(partial_);
            partial_.clear();
        } else {
            partial_ += c;
        }
    }
}

const std::vector<std::string>& RawClient::received()
{
    readAll();
    return messages_;
}

bool RawClient::waitFor(const std::string& text)
{
    return pumpUntil([&] {
        readAll();
        return std::find(messages_.begin(), messages_.end(), text) != messages_.end();
    });
}

std::string RawClient::waitForPrefix(const std::string& prefix)
{
    std::string found;
    pumpUntil([&] {
        readAll();
        for (const std::string& m : messages_)
            if (m.rfind(prefix, 0) == 0) {
                found = m;
                return true;
            }
        return false;
    });
    return found;
}

bool RawClient::waitForClose()
{
    return pumpUntil([this] { return closed_; });
}

std::vector<std::string> RawClient::takeNew()
{
    readAll();
    std::vector<std::string> fresh(messages_.begin() + std::ptrdiff_t(seen_), messages_.end());
    seen_ = messages_.size();
    return fresh;
}

int RawClient::number()
{
    std::string m = waitForPrefix("CMD_sendlogininfo+");
    return m.empty() ? 0 : std::stoi(m.substr(18));
}

void RawClient::login(const std::string& name, const std::string& version)
{
    int n = number();
    send("CMD_logininfo+" + std::to_string(n) + "+" + version + "+" + name);
}

int RawClient::count(const std::string& text)
{
    readAll();
    return int(std::count(messages_.begin(), messages_.end(), text));
}

} // namespace testsupport
