// A bare game server for window tests.
#include "raw_server.h"

#include "pump.h"

#include <algorithm>

namespace testsupport {

RawServer::RawServer() { server_.listen(QHostAddress::LocalHost, 0); }

bool RawServer::waitForClient()
{
    return pumpUntil([this] {
        if (!client_ && server_.hasPendingConnections())
            client_ = server_.nextPendingConnection();
        return client_ != nullptr;
    });
}

void RawServer::send(const std::string& message)
{
    const std::string framed = message + '\xFF';
    client_->write(framed.data(), qint64(framed.size()));
    client_->flush();
}

void RawServer::readAll()
{
    if (!client_)
        return;
    const QByteArray data = client_->readAll();
    bytes_.append(data.constData(), std::size_t(data.size()));
    for (char c : data) {
        if (c == '\xFF') {
            messages_.push_back(partial_);
            partial_.clear();
        } else {
            partial_ += c;
        }
    }
}

const std::vector<std::string>& RawServer::received()
{
    readAll();
    return messages_;
}

const std::string& RawServer::bytes()
{
    readAll();
    return bytes_;
}

bool RawServer::waitFor(const std::string& message)
{
    return pumpUntil([&] {
        readAll();
        return std::find(messages_.begin(), messages_.end(), message) != messages_.end();
    });
}

int RawServer::count(const std::string& message)
{
    readAll();
    return int(std::count(messages_.begin(), messages_.end(), message));
}

std::vector<std::string> RawServer::takeNew()
{
    readAll();
    std::vector<std::string> fresh(messages_.begin() + std::ptrdiff_t(seen_), messages_.end());
    seen_ = messages_.size();
    return fresh;
}

} // namespace testsupport
