// Tchat's computer players: File → Add Computer Player for the host while a
// seat is free, the marker beside computer players' names in the roster, the
// solo start that seats them first, and the tally, which counts a computer as
// an opponent only when the player tallies it.
#include "tchat.h"

#include "computer_choice.h"
#include "computer_marker.h"
#include "computer_name.h"
#include "computer_player.h"
#include "computer_players.h"
#include "game_settings.h"
#include "layout_scaler.h"
#include "outside_text.h"
#include "roster_line.h"
#include "tgamestartform.h"
#include "ttallylist.h"
#include "wire_text.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <chrono>

using settings::SettingKey;

namespace {

// The marker sits at the left end of a name's row, clear of the name itself.
constexpr int kMarkerLeft = 1;

} // namespace

void Tchat::buildComputerPlayers(QMenu* file)
{
    ComputerPlayers::Options options;
    options.port = setup_.gamePort;
    // Tests tick the window's dispatch by hand, and the computer players' with it.
    options.ownTimers = setup_.dispatchIntervalMs > 0;
    options.seed = [count = std::uint32_t(0)]() mutable {
        return std::uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()) + 7919 * ++count;
    };
    computers = new ComputerPlayers(options, this);
    connect(computers, &ComputerPlayers::changed, this, &Tchat::showComputerPlayers);
    connect(computers, &ComputerPlayers::noSeat, this, [this](const QString& name) {
        addlinetochat(isolated(name) + " found no free seat and left.", chatcolour::kGrey);
    });

    AddComputerPlayer1 = file->addMenu("Add Computer Player");
    AddComputerPlayer1->setObjectName("AddComputerPlayer1");
    AddComputerPlayer1->setToolTipsVisible(true);
    for (const BotLevel& level : kBotLevels) {
        QAction* item = AddComputerPlayer1->addAction(QString::fromLatin1(level.name), this,
            [this, number = level.number] { AddComputerPlayer1Click(number); });
        item->setObjectName(QString("AddComputerLevel%1").arg(level.number));
        item->setToolTip(QString("Finds up to %1 words a minute").arg(level.wordsPerMinute));
    }
    AddComputerPlayer1->menuAction()->setEnabled(false);

    for (int seat = 1; seat <= kSeats; ++seat) {
        const QRect name = seatLabel("label_playername", seat)->geometry();
        auto* marker = new QLabel(seatLabel("label_playername", seat)->parentWidget());
        marker->setObjectName(QString("label_computer%1").arg(seat));
        marker->setGeometry(kMarkerLeft,
            name.y() + (name.height() - Pictures::kComputerMarkerSize.height()) / 2,
            Pictures::kComputerMarkerSize.width(), Pictures::kComputerMarkerSize.height());
        marker->hide();
        computerMarker[std::size_t(seat)] = marker;
        addLevelLabel(seatLabel("label_playername", seat), seat);
    }
    drawComputerMarkers();
    if (scaler)
        connect(scaler, &LayoutScaler::scaleChanged, this, &Tchat::drawComputerMarkers);
}

void Tchat::drawComputerMarkers()
{
    // Drawn for the pixels it covers, so a grown window keeps it sharp.
    QPixmap picture = Pictures::computerMarker(devicePixelRatioF() * layoutScale());
    picture.setDevicePixelRatio(devicePixelRatioF());
    for (int seat = 1; seat <= kSeats; ++seat)
        if (QLabel* marker = computerMarker[std::size_t(seat)]) {
            marker->setScaledContents(true);
            marker->setPixmap(picture);
        }
}

QStringList Tchat::namesInUse() const
{
    QStringList names;
    const client::ClientState& state = client_->state();
    for (int seat = 1; seat <= kSeats; ++seat)
        if (state.seat(seat).taken)
            names << state.seat(seat).name;
    for (const client::Spy& spy : state.spies)
        names << spy.name;
    // Ours still on their way in hold their names too.
    for (const auto& player : computers->players())
        names << player->name();
    return names;
}

void Tchat::AddComputerPlayer1Click(int level)
{
    const client::ClientState& state = client_->state();
    const std::optional<BotLevel> chosen = botLevel(level);
    if (!chosen || !state.ishost || !state.loggedin || computers->freeSeats(state) <= 0)
        return;
    QString error;
    if (!computers->add(*chosen, namesInUse(), &error))
        showError(error);
}

void Tchat::showComputerPlayers()
{
    if (!computers || !AddComputerPlayer1)
        return;
    const client::ClientState& state = client_->state();
    for (int seat = 1; seat <= kSeats; ++seat) {
        const client::Seat& held = state.seat(seat);
        QLabel* marker = computerMarker[std::size_t(seat)];
        const bool computer = held.taken && computername::isComputerName(held.name);
        marker->setVisible(computer);
        if (!computer) {
            seatLabel("label_computerlevel", seat)->hide();
            continue;
        }
        // Our own computers say their level; another host's we know only by name.
        const ComputerPlayer* ours = state.ishost ? computers->byNumber(seat) : nullptr;
        const QString level = ours ? QString::fromLatin1(ours->level().name) : QString();
        marker->setToolTip(ours ? QString("Computer player, %1").arg(level) : QString("Computer player"));
        showRosterName(seatLabel("label_playername", seat), seatLabel("label_computerlevel", seat),
            rosterName(held.name, level));
        marker->raise();
    }
    AddComputerPlayer1->menuAction()->setEnabled(
        state.ishost && state.loggedin && computers->freeSeats(state) > 0);
    startChoices.computerOffer = state.ishost && role == GameRole::Solo;
    if (Tgamestartform* form = gamestartform.built())
        form->setComputerChoiceShown(startChoices.computerOffer);

    if (!computersHoldStart)
        return;
    // The start goes out once every computer asked for sits where this window sees it.
    if (!computers->allSeated(state))
        return;
    computersHoldStart = false;
    computersSeated = true;
    startgame();
}

bool Tchat::seatComputersBeforeStart()
{
    if (computersHoldStart)
        return true; // a second press while they sit down starts nothing more
    if (computersSeated) {
        computersSeated = false;
        return false;
    }
    const client::ClientState& state = client_->state();
    const ComputerChoice& choice = gamestartform->computers();
    if (!state.ishost || role != GameRole::Solo || !choice.wanted())
        return false;
    const ComputerPlayers::Seating seating
        = ComputerPlayers::seatingFor(choice.count(), computers->playing(), computers->freeSeats(state));
    if (const QString shortfall = seating.shortfall(); !shortfall.isEmpty())
        addlinetochat(shortfall, chatcolour::kGrey);
    const std::optional<BotLevel> level = botLevel(choice.level());
    if (seating.adding <= 0 || !level)
        return false;
    for (int n = 0; n < seating.adding; ++n) {
        QString error;
        if (!computers->add(*level, namesInUse(), &error)) {
            showError(error);
            break;
        }
    }
    computersHoldStart = true;
    // Checked at once too: a player that could not even try has already gone.
    QMetaObject::invokeMethod(this, &Tchat::showComputerPlayers, Qt::QueuedConnection);
    return true;
}

bool Tchat::tallyHasOpponent() const
{
    // A person always counts; a computer only once the player tallies it.
    for (const QString& name : client_->state().opponents())
        if (!computername::isComputerName(name) || tallylist->model().talliedIndex(toWire(name)) >= 0)
            return true;
    return false;
}

void Tchat::readComputerSettings(const GameSettings& stored)
{
    startChoices.computerChoice = StartChoices::Computers { stored.isOn(SettingKey::PlayComputer),
        ComputerChoice::validLevel(stored.number(SettingKey::ComputerLevel)),
        ComputerChoice::validCount(stored.number(SettingKey::ComputerCount)) };
    if (Tgamestartform* form = gamestartform.built())
        applyStartChoices(*form);
}

void Tchat::writeComputerSettings(GameSettings& stored) const
{
    const auto chosen = shownStartChoices().computerChoice;
    if (!chosen)
        return;
    stored.setOn(SettingKey::PlayComputer, chosen->wanted);
    stored.setNumber(SettingKey::ComputerLevel, chosen->level);
    stored.setNumber(SettingKey::ComputerCount, chosen->count);
}

void Tchat::setStartTexts(const QString& rounds, const QString& minutes)
{
    startChoices.roundsAndMinutes = std::make_pair(rounds, minutes);
    if (Tgamestartform* form = gamestartform.built())
        applyStartChoices(*form);
}

Tchat::StartChoices Tchat::shownStartChoices() const
{
    Tgamestartform* form = gamestartform.built();
    if (!form)
        return startChoices;
    const ComputerChoice& choice = form->computers();
    return { std::make_pair(form->roundsText(), form->minutesText()),
        StartChoices::Computers { choice.wanted(), choice.level(), choice.count() },
        startChoices.computerOffer };
}

void Tchat::applyStartChoices(Tgamestartform& form) const
{
    if (startChoices.roundsAndMinutes)
        form.setStoredValues(startChoices.roundsAndMinutes->first, startChoices.roundsAndMinutes->second);
    if (const auto& chosen = startChoices.computerChoice)
        form.computers().setChoice(chosen->wanted, chosen->level, chosen->count);
    form.setComputerChoiceShown(startChoices.computerOffer);
}
