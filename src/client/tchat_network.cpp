// Tchat's games chosen in the window: File → Host a Game..., Join a Game... and
// Play Solo, switching games without a new program, and the
// announcement of a game hosted here on the local network.
#include "tchat.h"

#include "computer_players.h"
#include "game_settings.h"
#include "hosting_failure.h"
#include "join_address.h"
#include "offered_name.h"
#include "outside_text.h"
#include "thostgame.h"
#include "tjoingame.h"
#include "wire_text.h"

#include <QAction>
#include <QMenu>

using settings::SettingKey;

namespace {

// The endpoint's lookup failure in the words of a failed join.
QString lookupReason(const ESockException& error)
{
    const QString text = QString::fromStdString(error.what());
    return text.startsWith("Host Lookup") ? QString("no host of that name is known") : text;
}

} // namespace

void Tchat::addHostJoinItems(QMenu* file)
{
    HostaGame1 = file->addAction("Host a Game...", this, &Tchat::HostaGame1Click);
    HostaGame1->setObjectName("HostaGame1");
    JoinaGame1 = file->addAction("Join a Game...", this, &Tchat::JoinaGame1Click);
    JoinaGame1->setObjectName("JoinaGame1");
    PlaySolo1 = file->addAction("Play Solo", this, &Tchat::PlaySolo1Click);
    PlaySolo1->setObjectName("PlaySolo1");
    file->addSeparator();
}

void Tchat::addAnnounceItem(QMenu* options)
{
    AnnounceMyGame1 = options->addAction("Announce My Game", this, &Tchat::AnnounceMyGame1Click);
    AnnounceMyGame1->setObjectName("AnnounceMyGame1");
    AnnounceMyGame1->setCheckable(true);
    AnnounceMyGame1->setChecked(true);
}

void Tchat::readHostJoinSettings()
{
    readSettings([this](const GameSettings& stored) {
        AnnounceMyGame1->setChecked(stored.isOn(SettingKey::AnnounceGame));
    });
}

void Tchat::readSettings(const std::function<void(const GameSettings&)>& read)
{
    if (settings_) {
        read(*settings_);
        return;
    }
    // Before the first login the window holds no copy of its own; a file that
    // cannot be used is told at login, and its defaults stand until then.
    GameSettings stored(setup_.settingsFile);
    stored.load();
    read(stored);
}

void Tchat::changeSettings(const std::function<void(GameSettings&)>& change)
{
    if (settings_) {
        change(*settings_);
        storeSettings();
        return;
    }
    // Only the keys changed here are written, so nothing built in replaces
    // what the player stored before this window read the file.
    GameSettings stored(setup_.settingsFile);
    stored.load();
    change(stored);
    const QString problem = stored.save();
    if (!problem.isEmpty())
        showError(problem);
}

void Tchat::setRole(GameRole next)
{
    role = next;
    HostaGame1->setEnabled(!inMultiplayerGame());
    JoinaGame1->setEnabled(!inMultiplayerGame());
    PlaySolo1->setEnabled(role == GameRole::None);
    if (role != GameRole::Host)
        stopAnnouncing();
}

quint16 Tchat::hostedPort() const
{
    bool ok = false;
    const uint port = QString::fromStdString(setup_.gamePort).toUInt(&ok);
    return ok && port <= 0xFFFF ? quint16(port) : 0;
}

Thostgame& Tchat::hostDialog()
{
    if (!hostgame) {
        hostgame = new Thostgame(hostedPort(), this);
        connect(hostgame, &Thostgame::hostRequested, this, &Tchat::hostGame);
    }
    return *hostgame;
}

Tjoingame& Tchat::joinDialog()
{
    if (!joingame) {
        joingame = new Tjoingame(setup_.browseOptions, hostedPort(), this);
        connect(joingame, &Tjoingame::joinRequested, this, &Tchat::joinGame);
    }
    return *joingame;
}

void Tchat::HostaGame1Click()
{
    if (inMultiplayerGame())
        return;
    Thostgame& dialog = hostDialog();
    readSettings([&](const GameSettings& stored) {
        dialog.setPlayerName(offeredname::offeredName(playername, stored.text(SettingKey::PlayerName)));
    });
    dialog.open(); // window-modal without a loop of its own
}

void Tchat::JoinaGame1Click()
{
    if (inMultiplayerGame())
        return;
    Tjoingame& dialog = joinDialog();
    readSettings([&](const GameSettings& stored) {
        dialog.setPlayerName(offeredname::offeredName(playername, stored.text(SettingKey::PlayerName)));
        dialog.setRecentAddresses(joinaddress::recentAddresses(stored));
    });
    dialog.open();
}

void Tchat::leaveGame()
{
    stopAnnouncing();
    // Computer players sat in the game being left; they go with it.
    if (computers)
        computers->removeAll();
    // The old connection is closed before the program's server is replaced,
    // so the new game never sees it.
    replaceClient();
    // The program's own server may still hold the solo game, a round in play
    // and whoever else had connected to it. A fresh server ends all of that at
    // once and frees its port; the window then logs in as number 1 again, as
    // at start-up, instead of waiting for the old server to notice a close.
    if (setup_.stopHosting)
        setup_.stopHosting();
}

void Tchat::hostGame(const QString& name)
{
    const QString player = name.trimmed();
    if (player.isEmpty() || inMultiplayerGame())
        return;
    changeSettings([&](GameSettings& stored) { stored.setText(SettingKey::PlayerName, player); });
    joinPort.clear(); // the own window connects on the game's own port
    joinedFromWindow = false;
    try {
        leaveGame();
        playername = player;
        addlinetochat(
            "Hosting a Multi-player Game as " + isolated(player) + ".. Please Wait.", chatcolour::kNavy);
        hostpress();
    } catch (const std::exception& error) {
        hostingFailed(QString::fromStdString(error.what()));
        setRole(GameRole::None);
        return;
    }
    setRole(GameRole::Host);
    if (setup_.openLobbyLink)
        setup_.openLobbyLink();
    startAnnouncing();
}

void Tchat::PlaySolo1Click()
{
    if (role != GameRole::None)
        return;
    joinPort.clear();
    joinedFromWindow = false;
    try {
        leaveGame();
        playername = "You";
        addlinetochat("Loading Solo Game..Please wait.", chatcolour::kNavy);
        hostpress();
    } catch (const std::exception& error) {
        hostingFailed(QString::fromStdString(error.what()));
        setRole(GameRole::None);
        return;
    }
    setRole(GameRole::Solo);
}

void Tchat::hostingFailed(const QString& error)
{
    const QString port = QString::fromStdString(setup_.gamePort);
    addlinetochat(hostingfailure::chatText(port, error), chatcolour::kBlue);
    setStatus(hostingfailure::statusText(port, error), QColor(0xff, 0xb4, 0xa8));
    showError(error);
}

void Tchat::joinGame(const QString& name, const QString& address)
{
    const QString player = name.trimmed();
    if (player.isEmpty() || inMultiplayerGame())
        return;
    const std::optional<joinaddress::GameAddress> target = joinaddress::parse(address);
    if (!target) {
        showError(QString("\"%1\" is not a host name or IP address to join.").arg(address.trimmed()));
        return;
    }
    changeSettings([&](GameSettings& stored) { stored.setText(SettingKey::PlayerName, player); });
    const QString remembered = joinaddress::addressText(*target, hostedPort());
    const quint16 port = target->port == 0 ? hostedPort() : target->port;
    joinPort = port == hostedPort() ? std::string() : std::to_string(port);
    try {
        leaveGame();
    } catch (const std::exception& error) {
        showError(QString::fromStdString(error.what()));
        setRole(GameRole::None);
        return;
    }
    playername = player;
    hostaddress = target->host.toStdString();
    setRole(GameRole::Join);
    joinedFromWindow = true;
    // Remembered once the host's server has numbered this window: an address
    // that never answered is not worth offering again.
    connect(client_.get(), &GameClient::loggedIn, this, [this, remembered] {
        changeSettings([&](GameSettings& stored) { joinaddress::rememberAddress(stored, remembered); });
    });
    addlinetochat("Joining " + remembered + " as " + isolated(player) + ".. Please Wait.", chatcolour::kNavy);
    try {
        joinpress();
    } catch (const ESockException& error) {
        // A host name nobody knows is told like any join that cannot connect,
        // with the offer to try again.
        connectFailed(target->host, lookupReason(error));
        return;
    }
    if (setup_.openLobbyLink)
        setup_.openLobbyLink();
}

void Tchat::joinDeclined()
{
    if (!joinedFromWindow) {
        close(); // ends the program, as a join from the command line that failed always has
        return;
    }
    // A join chosen in the window leaves it as before any game, File offering
    // Host and Join again.
    replaceClient();
    joinedFromWindow = false;
    setRole(GameRole::None);
    addlinetochat(
        "Not connected. Choose File \u2192 Host a Game... or Join a Game... to play.", chatcolour::kNavy);
}

void Tchat::AnnounceMyGame1Click()
{
    const bool on = AnnounceMyGame1->isChecked();
    changeSettings([on](GameSettings& stored) { stored.setOn(SettingKey::AnnounceGame, on); });
    if (on)
        startAnnouncing();
    else
        stopAnnouncing();
}

void Tchat::startAnnouncing()
{
    if (role != GameRole::Host || announcer_ || !AnnounceMyGame1->isChecked())
        return;
    announcer_ = std::make_unique<discovery::GameAnnouncer>(playername, hostedPort(), setup_.announceOptions);
    // The status follows what this window hears of its own game: every
    // arrival and departure reaches the host's window, and its round flag is
    // the server's own. Nothing is polled, and the window needs no server code.
    GameClient* c = client_.get();
    connect(c, &GameClient::participantArrived, this, &Tchat::refreshAnnouncement, Qt::UniqueConnection);
    connect(c, &GameClient::participantLeft, this, &Tchat::refreshAnnouncement, Qt::UniqueConnection);
    connect(c, &GameClient::roundStarted, this, &Tchat::refreshAnnouncement, Qt::UniqueConnection);
    connect(c, &GameClient::latecomerJoined, this, &Tchat::refreshAnnouncement, Qt::UniqueConnection);
    connect(c, &GameClient::roundEnded, this, &Tchat::refreshAnnouncement, Qt::UniqueConnection);
    connect(c, &GameClient::clockChanged, this, &Tchat::refreshAnnouncement, Qt::UniqueConnection);
    connect(c, &GameClient::gameWon, this, &Tchat::refreshAnnouncement, Qt::UniqueConnection);
    refreshAnnouncement();
    announcer_->start();
}

void Tchat::stopAnnouncing()
{
    if (!announcer_)
        return;
    announcer_->stop(); // listeners drop the game at once instead of waiting for it to expire
    announcer_.reset();
}

void Tchat::refreshAnnouncement()
{
    if (!announcer_)
        return;
    const client::ClientState& state = client_->state();
    discovery::GameStatus status;
    for (int n = 1; n <= kSeats; ++n)
        if (state.seat(n).taken)
            ++status.seatsTaken;
    status.spies = int(state.spies.size());
    status.roundRunning = client_->gameRunning();
    announcer_->setStatus(status);
}
