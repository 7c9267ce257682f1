// A real server with raw peers that play games: the fixture of the game
// tests. The game clock is driven by calling its tick handler.
#pragma once

#include "server_fixture.h"

#include <algorithm>
#include <string>
#include <vector>

class Game : public ServerFixture {
protected:
    static int countPrefix(const std::vector<std::string>& messages, const std::string& prefix)
    {
        return int(std::count_if(
            messages.begin(), messages.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; }));
    }

    static bool contains(const std::vector<std::string>& messages, const std::string& text)
    {
        return std::find(messages.begin(), messages.end(), text) != messages.end();
    }

    struct Peer {
        std::unique_ptr<testsupport::RawClient> client;
        std::string name;
        int n = 0;
        int markers = 0;
    };

    Peer join(const std::string& name)
    {
        Peer peer { loginPeer(name), name, 0, 0 };
        peer.n = peer.client->number();
        return peer;
    }

    // Everything the server has sent the peer so far, complete: a chat sent
    // now comes back after every earlier message.
    std::vector<std::string> collect(Peer& peer)
    {
        const std::string marker = "marker" + std::to_string(++peer.markers);
        peer.client->send("CMD_chat+" + std::to_string(peer.n) + "+" + marker + "|clBlack");
        const std::string echo = "CMD_chat+" + peer.name + " chats: " + marker + "|clBlack";
        EXPECT_TRUE(peer.client->waitFor(echo));
        std::vector<std::string> fresh = peer.client->takeNew();
        fresh.erase(std::remove(fresh.begin(), fresh.end(), echo), fresh.end());
        return fresh;
    }

    std::vector<std::string> tick(Peer& observer, int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            server->gametimeTimer();
        return collect(observer);
    }

    void start(Peer& host, const std::string& settings)
    {
        host.client->send("CMD_startgame+" + std::to_string(host.n) + "+" + settings);
        ASSERT_TRUE(host.client->waitForPrefix("CMD_nextround+").size() > 0);
        collect(host);
    }

    // Puts c-a-t-e-a-s on row 4, columns 0 to 5 (no bonus cells there).
    void layWords()
    {
        const int codes[] = { 3, 1, 20, 5, 1, 19 };
        for (int x = 0; x < 6; ++x)
            server->boardForTests().board[x][4] = codes[x];
    }

    void play(Peer& peer, const std::string& refs)
    {
        peer.client->send("CMD_wordcomplete+" + std::to_string(peer.n) + "+" + refs);
    }
};
