// Many connections at once through the server's real slot, framing, dispatch
// and departure code, on its in-memory transport: peers arrive and leave
// at any moment (a tenth is turned away), send raw bytes or well-formed
// commands, are removed by the host, and the dispatcher, the game clock and
// the login clock run in between. The server must keep its slots straight,
// never speak to a connection that has gone or was removed, never act on a
// message for a connection other than the one it came on, never relay a
// message past the limit, and never send a message that would break framing.
#include "fuzz_check.h"
#include "fuzz_fixtures.h"
#include "fuzz_input.h"
#include "fuzz_server.h"

#include "messages.h"
#include "server_limits.h"
#include "tserver.h"
#include "wire_limits.h"

#include <QCoreApplication>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct Fixture {
    FuzzFolder folder { "lexmire-connections-fuzz" };
    std::string records = recordsOf({ "AT", "EAT", "ATE", "TEA", "SEA", "SEAT", "EAST", "EATS", "TEAS" });
};

Fixture* fixture = nullptr;

// A chat text carries this byte and the sending peer's index, a mark raw
// bytes never hold, so a relay can be traced to the peer that sent it.
constexpr char kTraceMark = '\x01';

struct Peer {
    ConnectionId id = 0;
    int slot = 0; // the number the server gave; 0 when turned away
    bool gone = false;
    // Told of its own departure: the host removed it. It holds no slot any
    // more, hears nothing further, and is closed by the login clock.
    bool removed = false;
    std::vector<std::string> heard;
    std::size_t heardWhenGone = 0;
    // The peers (by index) whose departure this peer has been told of.
    std::set<std::size_t> toldGone;
};

class Harness {
public:
    Harness(InMemoryTransport& transport, TServer& server)
        : transport_(transport)
        , server_(server)
    {
    }

    void attach()
    {
        if (peers_.size() >= 64)
            return;
        const int freeBefore = lowestFreeSlot();
        auto peer = std::make_unique<Peer>();
        Peer* raw = peer.get();
        peers_.push_back(std::move(peer));
        raw->id = transport_.connect([this, raw](std::string_view bytes) { heard(*raw, bytes); });
        if (!transport_.isOpen(raw->id)) {
            // Turned away: only when all nine are taken, and told so.
            FUZZ_CHECK(freeBefore == 0);
            FUZZ_CHECK(raw->heard.size() == 1 && raw->heard[0] == "CMD_full+");
            markGone(*raw);
            return;
        }
        // The number comes in the first message, as a window learns it.
        FUZZ_CHECK(!raw->heard.empty());
        const wire::Incoming first = wire::readLine(raw->heard[0]);
        FUZZ_CHECK(first.command == wire::Command::sendlogininfo);
        const std::optional<wire::SendLoginInfo> number = wire::SendLoginInfo::parse(first.args);
        FUZZ_CHECK(number && number->number == freeBefore);
        raw->slot = number->number;
    }

    Peer* pick(uint8_t choice)
    {
        std::vector<Peer*> present;
        for (auto& peer : peers_)
            if (!peer->gone)
                present.push_back(peer.get());
        return present.empty() ? nullptr : present[choice % present.size()];
    }

    void detach(Peer& peer)
    {
        const int n = peer.slot;
        std::vector<std::pair<Peer*, std::size_t>> others;
        for (auto& other : peers_)
            if (!other->gone && other.get() != &peer)
                others.emplace_back(other.get(), other->heard.size());
        const std::size_t othersQueued = server_.queuedMessages() - server_.queuedMessagesFrom(n);
        const bool removed = peer.removed;
        transport_.hangUp(peer.id);
        // What it sent before it went was handled as it left: nothing of it
        // waits (its last words may have removed others, and their queues).
        FUZZ_CHECK(server_.queuedMessages() <= othersQueued);
        sync();
        FUZZ_CHECK(peer.gone);
        // A removed peer's departure was told when it was removed.
        if (removed) {
            for (auto [other, before] : others)
                FUZZ_CHECK(other->heard.size() == before);
            return;
        }
        // Everybody still there hears of the departure, after its last words.
        for (auto [other, before] : others) {
            FUZZ_CHECK(other->heard.size() >= before + 1);
            FUZZ_CHECK(
                other->heard.back().rfind("CMD_playerdisconnected+" + std::to_string(n) + "+", 0) == 0);
        }
    }

    void send(Peer& peer, std::string_view bytes) { transport_.deliver(peer.id, bytes); }

    // A peer holds its slot exactly as long as its connection is open;
    // whoever has neither is gone.
    void sync()
    {
        for (auto& peer : peers_) {
            if (peer->gone)
                continue;
            const bool open = transport_.isOpen(peer->id);
            if (!peer->removed)
                FUZZ_CHECK(open == (server_.player(peer->slot).connected != 0));
            if (!open)
                markGone(*peer);
        }
        int connected = 0;
        for (int n = 1; n <= TServer::kSlots; ++n)
            connected += server_.player(n).connected ? 1 : 0;
        int present = 0;
        for (auto& peer : peers_)
            present += peer->gone || peer->removed ? 0 : 1;
        FUZZ_CHECK(connected == present);
        FUZZ_CHECK(server_.slotsHandedOut() <= TServer::kSlots);
        FUZZ_CHECK(server_.queuedMessages() <= serverlimits::kMaxQueuedTotal);
        for (auto& peer : peers_)
            if (peer->gone)
                FUZZ_CHECK(peer->heard.size() == peer->heardWhenGone);
    }

    bool present(std::size_t index) const { return index < peers_.size() && !peers_[index]->gone; }
    std::size_t indexOf(const Peer& peer) const
    {
        for (std::size_t i = 0; i < peers_.size(); ++i)
            if (peers_[i].get() == &peer)
                return i;
        std::abort();
    }

private:
    int lowestFreeSlot() const
    {
        for (int n = 1; n <= TServer::kSlots; ++n)
            if (!server_.player(n).connected)
                return n;
        return 0;
    }

    void markGone(Peer& peer)
    {
        peer.gone = true;
        peer.heardWhenGone = peer.heard.size();
    }

    void heard(Peer& peer, std::string_view bytes)
    {
        FUZZ_CHECK(!peer.gone);
        // Each send holds whole messages, each with its end byte.
        FUZZ_CHECK(!bytes.empty() && bytes.back() == wire::kEndByte);
        while (!bytes.empty()) {
            const std::size_t end = bytes.find(wire::kEndByte);
            heardMessage(peer, bytes.substr(0, end));
            bytes.remove_prefix(end + 1);
        }
    }

    void heardMessage(Peer& peer, std::string_view message)
    {
        FUZZ_CHECK(!peer.removed);
        // Every message fits the limit every receiver applies, relayed chats
        // with the sender's name added included.
        FUZZ_CHECK(message.size() <= wire::kMaxMessageBytes);
        // A traced chat never reaches a peer after the peer was told its
        // sender had gone.
        const std::size_t mark = message.find(kTraceMark);
        if (message.rfind("CMD_chat+", 0) == 0 && mark != std::string_view::npos
            && mark + 1 < message.size()) {
            const auto sender = std::size_t(static_cast<unsigned char>(message[mark + 1]));
            FUZZ_CHECK(sender < peers_.size() && peer.toldGone.count(sender) == 0);
        }
        // A departure names the peer that holds the slot until it is told.
        const wire::Incoming incoming = wire::readLine(message);
        if (incoming.command == wire::Command::playerdisconnected) {
            const std::optional<wire::PlayerDisconnected> gone
                = wire::PlayerDisconnected::parse(incoming.args);
            FUZZ_CHECK(gone.has_value());
            for (std::size_t i = 0; i < peers_.size(); ++i)
                if (!peers_[i]->gone && !peers_[i]->removed && peers_[i]->slot == gone->number)
                    peer.toldGone.insert(i);
            if (gone->number == peer.slot) {
                peer.heard.emplace_back(message);
                peer.removed = true;
                return;
            }
        }
        peer.heard.emplace_back(message);
    }

    InMemoryTransport& transport_;
    TServer& server_;
    std::vector<std::unique_ptr<Peer>> peers_;
};

std::string withEnd(std::string message)
{
    message += wire::kEndByte;
    return message;
}

// A well-formed command from the peer in slot n.
std::string command(FuzzInput& input, const Harness& harness, const Peer& peer)
{
    const std::string n = std::to_string(peer.slot);
    std::string text(input.bytes(input.byte() % 24));
    for (char& c : text)
        if (c == wire::kEndByte || c == kTraceMark)
            c = '.';
    switch (input.byte() % 8) {
    case 0:
        return "CMD_logininfo+" + n + "+" + std::string(input.byte() % 4 ? wire::kVersionText : "1.0") + "+"
            + text;
    case 1:
        return "CMD_chat+" + n + "+" + kTraceMark + char(harness.indexOf(peer)) + text;
    case 2:
        return "CMD_action+" + n + "+" + text;
    case 3:
        return "CMD_playasound+" + n + "+wave" + std::to_string(input.byte() % 21) + "+";
    case 4:
        return "CMD_startgame+" + n + "+" + std::to_string(1 + input.byte() % 3)
            + (input.byte() % 2 ? "+y+" : "+n+") + std::to_string(1 + input.byte() % 2) + "+";
    case 5:
        return "CMD_kickhim+" + n + "+" + std::to_string(input.byte() % 11);
    default: {
        // A chain of neighbouring tiles from a start the input picks.
        int x = input.byte() % 13, y = input.byte() % 9;
        std::string refs;
        for (int k = 2 + input.byte() % 4; k > 0; --k) {
            refs += std::to_string(x) + "." + std::to_string(y) + "+";
            const uint8_t step = input.byte();
            x = std::clamp(x + step % 3 - 1, 0, 12);
            y = std::clamp(y + step / 3 % 3 - 1, 0, 8);
        }
        return "CMD_wordcomplete+" + n + "+" + refs;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    static Fixture instance;
    fixture = &instance;
    return 0;
}

// Input: steps. A step's first byte chooses what happens (low three bits)
// and to which peer (the rest).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzServer fuzz(fixture->folder.path(), fixture->records);
    TServer& server = fuzz.server;
    server.seed(11);
    Harness harness(fuzz.transport, server);

    FuzzInput input(data, size);
    while (!input.empty()) {
        const uint8_t step = input.byte();
        Peer* peer = harness.pick(step >> 3);
        switch (step & 7) {
        case 0:
        case 1:
            harness.attach();
            break;
        case 2:
            if (peer)
                harness.detach(*peer);
            break;
        case 3:
            // Raw bytes, end bytes and all: framing, reassembly and the limits.
            if (peer) {
                std::string bytes(input.bytes(input.byte() + 1));
                for (char& c : bytes)
                    if (c == kTraceMark)
                        c = '.';
                harness.send(*peer, bytes);
            }
            break;
        case 4:
        case 5:
            if (peer)
                harness.send(*peer, withEnd(command(input, harness, *peer)));
            break;
        case 6:
            for (int k = 1 + input.byte() % 16; k > 0 && server.queuedMessages() > 0; --k) {
                server.socktimerTimer();
                harness.sync();
            }
            break;
        case 7: {
            // The game clock 1 to 128 times, or the login clock once.
            const uint8_t clock = input.byte();
            if (clock & 0x80)
                server.logintimeTimer();
            for (int k = 1 << (clock % 8); k > 0 && server.gameTimerActive() && !(clock & 0x80); --k)
                server.gametimeTimer();
            break;
        }
        }
        harness.sync();
    }
    // Whatever is still queued is handled, as the timer would.
    while (server.queuedMessages() > 0) {
        server.socktimerTimer();
        harness.sync();
    }
    return 0;
}
