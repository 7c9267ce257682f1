// A real TServer on a loopback ephemeral port with a small dictionary, and
// raw peers to talk to it.
#pragma once

#include "pump.h"
#include "raw_client.h"
#include "tserver.h"
#include "word_records.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class ServerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        records = testsupport::makeWordRecords(
            { "cat", "act", "tea", "eat", "ate", "tee", "sea", "seat", "eats", "east", "teas", "at", "as" });
        TServer::Options options;
        options.portName = "0";
        options.dictionaryPath = folder.filePath("English").toStdString();
        options.wordRecords = records;
        options.dictionaryNotice = [this](const std::string& text) { notices.push_back(text); };
        // The game clock never ticks by itself in tests: they call gametimeTimer.
        options.secondMs = 24 * 3600 * 1000;
        options.dispatchIntervalMs = 0; // the fixture dispatches by hand
        options.loginTickMs = 0; // tests call logintimeTimer
        server = std::make_unique<TServer>(std::move(options));
        server->seed(1234);
        server->startListening();
        port = server->listeningPort();
        ASSERT_GT(port, 0);
        dispatchByHand(true);
    }

    void TearDown() override { testsupport::setPumpHook({}); }

    // While on, every pass of the pump hands all queued messages to their
    // handlers; off, messages stay queued.
    void dispatchByHand(bool on)
    {
        if (on)
            testsupport::setPumpHook([this] {
                while (server->queuedMessages() > 0)
                    server->socktimerTimer();
            });
        else
            testsupport::setPumpHook({});
    }

    // A new peer, waited for until the server has numbered it.
    std::unique_ptr<testsupport::RawClient> connectPeer()
    {
        auto peer = std::make_unique<testsupport::RawClient>(port);
        EXPECT_GT(peer->number(), 0);
        return peer;
    }

    // A peer that has logged in under name and seen its own arrival.
    std::unique_ptr<testsupport::RawClient> loginPeer(const std::string& name)
    {
        auto peer = connectPeer();
        const int n = peer->number();
        peer->login(name);
        EXPECT_TRUE(peer->waitFor("CMD_newplayerinfo+" + std::to_string(n) + "+" + name));
        return peer;
    }

    // Lets everything already in flight arrive and be handled.
    void settle() { testsupport::pumpPending(); }

    QTemporaryDir folder;
    std::string records;
    std::vector<std::string> notices;
    std::unique_ptr<TServer> server;
    int port = 0;
};
