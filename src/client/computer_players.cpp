// The host's computer players: started, named and let go.
#include "computer_players.h"

#include "computer_name.h"
#include "computer_player.h"

#include <QPointer>

#include <algorithm>

namespace {

constexpr const char* kLoopback = "127.0.0.1";

// Short first names, so a name and its marker fit the roster's name column.
const char* const kFirstNames[] = { "Ada", "Alan", "Grace", "Kurt", "Emmy", "Niels", "Hedy", "Carl", "Lise" };

} // namespace

ComputerPlayers::ComputerPlayers(Options options, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
{
}

ComputerPlayers::~ComputerPlayers()
{
    // Nobody is told of departures while the host's program is going away.
    for (const auto& player : players_)
        player->disconnect(this);
}

QString ComputerPlayers::freeName(const QStringList& namesInUse)
{
    const auto used = [&](const QString& name) {
        return std::any_of(namesInUse.begin(), namesInUse.end(), [&](const QString& other) {
            return other.compare(name, Qt::CaseInsensitive) == 0
                || other.compare(computername::withMarker(name), Qt::CaseInsensitive) == 0;
        });
    };
    for (const char* first : kFirstNames)
        if (!used(QString::fromLatin1(first)))
            return QString::fromLatin1(first);
    // Nine slots hold at most nine names, and there are as many first names:
    // only a roster full of them gets here, and then the server numbers ours.
    return QString::fromLatin1(kFirstNames[0]);
}

ComputerPlayer* ComputerPlayers::add(const BotLevel& level, const QStringList& namesInUse, QString* error)
{
    ComputerPlayer::Options options;
    options.level = level;
    options.port = options_.port;
    options.ownTimers = options_.ownTimers;
    options.seed = options_.seed ? options_.seed() : 0;
    auto owned = std::make_unique<ComputerPlayer>(options);
    ComputerPlayer* player = owned.get();
    connect(player, &ComputerPlayer::finished, this, [this, player] { release(player); });
    connect(&player->client(), &GameClient::loggedIn, this, [this, player](int number) {
        // Added for a seat that somebody took meanwhile: a computer never
        // stays to watch.
        if (!isSeat(number)) {
            emit noSeat(player->client().playername());
            // From the event loop: its client is mid-dispatch, perhaps under a
            // walk over players_ that the release would change.
            QMetaObject::invokeMethod(player, &ComputerPlayer::leave, Qt::QueuedConnection);
            return;
        }
        emit changed();
    });
    // Kept before it connects: a refusal may be reported at once, and it is
    // then let go like any player whose connection ended.
    players_.push_back(std::move(owned));
    try {
        player->connectTo(kLoopback, freeName(namesInUse));
    } catch (const std::exception& failure) {
        if (error)
            *error = QString::fromLocal8Bit(failure.what());
        release(player);
        return nullptr;
    }
    emit changed();
    return player;
}

void ComputerPlayers::removeAll()
{
    // A player's leave() ends its connection at once, and its end releases it
    // from players_: the walk goes over a list of its own.
    std::vector<QPointer<ComputerPlayer>> leaving;
    for (const auto& player : players_)
        leaving.emplace_back(player.get());
    for (const QPointer<ComputerPlayer>& player : leaving)
        if (player)
            player->leave();
}

const ComputerPlayer* ComputerPlayers::byNumber(int number) const
{
    for (const auto& player : players_)
        if (player->client().loggedin() && player->client().mynumber() == number)
            return player.get();
    return nullptr;
}

int ComputerPlayers::joining() const
{
    return int(std::count_if(players_.begin(), players_.end(),
        [](const auto& player) { return !player->ended() && !player->client().loggedin(); }));
}

int ComputerPlayers::playing() const
{
    return int(
        std::count_if(players_.begin(), players_.end(), [](const auto& player) { return !player->ended(); }));
}

bool ComputerPlayers::seen(const ComputerPlayer& player, const client::ClientState& state)
{
    const int number = player.client().mynumber();
    return player.client().loggedin() && isSeat(number) && state.seat(number).taken;
}

int ComputerPlayers::freeSeats(const client::ClientState& state) const
{
    int free = 0;
    for (int seat = 1; seat <= kSeats; ++seat)
        free += state.seat(seat).taken ? 0 : 1;
    for (const auto& player : players_)
        free -= player->ended() || seen(*player, state) ? 0 : 1;
    return free;
}

bool ComputerPlayers::allSeated(const client::ClientState& state) const
{
    return std::all_of(players_.begin(), players_.end(),
        [&](const auto& player) { return player->ended() || seen(*player, state); });
}

ComputerPlayers::Seating ComputerPlayers::seatingFor(int asked, int playing, int freeSeats)
{
    return { asked, playing, std::clamp(asked - playing, 0, std::max(0, freeSeats)) };
}

QString ComputerPlayers::Seating::shortfall() const
{
    const int seated = playing + adding;
    if (seated >= asked)
        return {};
    if (seated == 0)
        return QString("No computer player can play: every seat is taken.");
    return QString("Only %1 of the %2 computer players can play: every other seat is taken.")
        .arg(seated)
        .arg(asked);
}

void ComputerPlayers::release(ComputerPlayer* player)
{
    const auto it
        = std::find_if(players_.begin(), players_.end(), [&](const auto& p) { return p.get() == player; });
    if (it == players_.end())
        return;
    // It may be inside its own signal: it goes at the next turn of the loop.
    it->release()->deleteLater();
    players_.erase(it);
    emit changed();
}
