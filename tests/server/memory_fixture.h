// A TServer on the in-memory transport, and peers that talk to it with no
// socket in between: everything happens inside the calls, so tests need no
// event loop at all.
#pragma once

#include "memory_transport.h"
#include "protocol.h"
#include "tserver.h"
#include "word_records.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class MemoryPeer {
public:
    explicit MemoryPeer(InMemoryTransport& transport)
        : transport_(transport)
    {
        id_ = transport_.connect(
            [this](std::string_view bytes) { take(bytes); }, [this] { ++closedByServer_; });
    }
    ~MemoryPeer() { transport_.hangUp(id_); }
    MemoryPeer(const MemoryPeer&) = delete;
    MemoryPeer& operator=(const MemoryPeer&) = delete;

    ConnectionId id() const { return id_; }
    bool open() const { return transport_.isOpen(id_); }
    // How often the server closed this connection (a hang-up of our own is not told).
    int closedByServer() const { return closedByServer_; }
    void send(const std::string& message) { transport_.deliver(id_, message + wire::kEndByte); }
    void sendRaw(const std::string& bytes) { transport_.deliver(id_, bytes); }
    void hangUp() { transport_.hangUp(id_); }

    // The number the server gave in its first message, or 0.
    int number() const
    {
        const std::string prefix = "CMD_sendlogininfo+";
        if (messages_.empty() || messages_[0].rfind(prefix, 0) != 0)
            return 0;
        return std::stoi(messages_[0].substr(prefix.size()));
    }
    void login(const std::string& name, const std::string& version = std::string(wire::kVersionText))
    {
        send("CMD_logininfo+" + std::to_string(number()) + "+" + version + "+" + name);
    }

    // Every message so far, without end bytes.
    const std::vector<std::string>& received() const { return messages_; }
    std::vector<std::string> takeNew()
    {
        std::vector<std::string> fresh(messages_.begin() + std::ptrdiff_t(seen_), messages_.end());
        seen_ = messages_.size();
        return fresh;
    }
    // How many sends the server made to this peer, and whether each held
    // whole messages only, ending with an end byte.
    std::size_t sends() const { return sends_; }
    bool framedEverySend() const { return framed_; }

private:
    void take(std::string_view bytes)
    {
        ++sends_;
        framed_ = framed_ && !bytes.empty() && bytes.back() == wire::kEndByte;
        partial_ += bytes;
        std::size_t end;
        while ((end = partial_.find(wire::kEndByte)) != std::string::npos) {
            messages_.push_back(partial_.substr(0, end));
            partial_.erase(0, end + 1);
        }
    }

    InMemoryTransport& transport_;
    ConnectionId id_ = 0;
    std::string partial_;
    std::vector<std::string> messages_;
    std::size_t seen_ = 0;
    std::size_t sends_ = 0;
    bool framed_ = true;
    int closedByServer_ = 0;
};

class MemoryServerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        records = testsupport::makeWordRecords({ "cat", "act", "tea", "eat", "ate", "at" });
        TServer::Options options;
        options.dictionaryPath = folder.filePath("English").toStdString();
        options.wordRecords = records;
        options.secondMs = 24 * 3600 * 1000; // the clock ticks only when a test calls gametimeTimer
        options.dispatchIntervalMs = 0; // dispatch only when a test calls drain
        options.loginTickMs = 0; // the login clock ticks only when a test calls logintimeTimer
        server = std::make_unique<TServer>(std::move(options), transport);
        server->seed(4321);
    }

    // Hands every queued message to its handler, as the dispatch timer would.
    void drain()
    {
        while (server->queuedMessages() > 0)
            server->socktimerTimer();
    }

    std::unique_ptr<MemoryPeer> connect() { return std::make_unique<MemoryPeer>(transport); }

    std::unique_ptr<MemoryPeer> join(const std::string& name)
    {
        auto peer = connect();
        peer->login(name);
        drain();
        return peer;
    }

    static bool contains(const std::vector<std::string>& messages, const std::string& text)
    {
        return std::find(messages.begin(), messages.end(), text) != messages.end();
    }

    QTemporaryDir folder;
    std::string records;
    // Declared before the server, so it outlives it.
    InMemoryTransport transport;
    std::unique_ptr<TServer> server;
};
