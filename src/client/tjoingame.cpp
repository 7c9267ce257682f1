// The join dialog: the live list of games heard on the local network, the
// address field with the remembered addresses, and the Join order.
#include "tjoingame.h"

#include "join_address.h"
#include "name_dialog_rows.h"
#include "window_style.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Item data: the browser's key of the game a row shows, and its address as the field takes it.
constexpr int kKeyRole = Qt::UserRole;
constexpr int kAddressRole = Qt::UserRole + 1;

} // namespace

Tjoingame::Tjoingame(discovery::GameBrowser::Options browsing, quint16 gamePort, QWidget* parent)
    : QDialog(parent)
    , browser_(new discovery::GameBrowser(browsing, this))
    , gamePort_(gamePort)
{
    setObjectName("Tjoingame");
    setWindowTitle("Join a Game");
    setStyleSheet(
        windowstyle::navyWindow("Tjoingame") + windowstyle::fields() + windowstyle::goldButtons("4px 18px"));

    auto* layout = new QVBoxLayout(this);
    edit_playername = dialogrows::addNameRow(this, layout);

    label_listing = new QLabel(this);
    label_listing->setObjectName("label_listing");
    label_listing->setWordWrap(true);
    label_listing->setTextFormat(Qt::PlainText);
    layout->addWidget(label_listing);

    list_games = new QTreeWidget(this);
    list_games->setObjectName("list_games");
    list_games->setColumnCount(ColumnCount);
    list_games->setHeaderLabels({ "Host", "Address", "Seats", "Spies", "Round" });
    list_games->setRootIsDecorated(false);
    list_games->setUniformRowHeights(true);
    list_games->setSelectionMode(QAbstractItemView::SingleSelection);
    list_games->header()->setSectionResizeMode(HostColumn, QHeaderView::Stretch);
    list_games->header()->setStretchLastSection(false);
    list_games->setStyleSheet(windowstyle::scrollBar());
    layout->addWidget(list_games, 1);

    auto* addressRow = new QHBoxLayout;
    auto* addressLabel = new QLabel("Address:", this);
    combo_address = new QComboBox(this);
    combo_address->setObjectName("combo_address");
    combo_address->setEditable(true);
    combo_address->setInsertPolicy(QComboBox::NoInsert);
    combo_address->lineEdit()->setPlaceholderText(
        QString("host name or IP address, and :port when not %1").arg(gamePort));
    combo_address->lineEdit()->setMaxLength(joinaddress::kMaxHostLength + 6); // and ":65535"
    addressLabel->setBuddy(combo_address);
    addressRow->addWidget(addressLabel);
    addressRow->addWidget(combo_address, 1);
    layout->addLayout(addressRow);

    label_problem = dialogrows::addProblemLine(this, layout);

    button_join = dialogrows::addButtonRow(this, layout, "Join", "button_join");

    connect(button_join, &QPushButton::clicked, this, &Tjoingame::button_joinClick);
    connect(list_games, &QTreeWidget::itemDoubleClicked, this, &Tjoingame::list_gamesDblClick);
    connect(list_games, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            combo_address->setEditText(item->data(AddressColumn, kAddressRole).toString());
    });
    connect(browser_, &discovery::GameBrowser::gameAdded, this, &Tjoingame::gameAdded);
    connect(browser_, &discovery::GameBrowser::gameChanged, this, &Tjoingame::gameChanged);
    connect(browser_, &discovery::GameBrowser::gameRemoved, this, &Tjoingame::gameRemoved);
    showListState();
    resize(520, 360);
}

void Tjoingame::setPlayerName(const QString& name) { edit_playername->setText(name); }

QString Tjoingame::playerName() const { return edit_playername->text().trimmed(); }

void Tjoingame::setRecentAddresses(const QStringList& addresses)
{
    const QString typed = combo_address->currentText();
    combo_address->clear();
    combo_address->addItems(addresses);
    // The field starts with the last address joined; what the player typed stays.
    combo_address->setEditText(typed.isEmpty() && !addresses.isEmpty() ? addresses.front() : typed);
}

QString Tjoingame::addressText() const { return combo_address->currentText().trimmed(); }

void Tjoingame::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    label_problem->hide();
    // The beacon port is held only while somebody looks at the list.
    browseError_ = browser_->start() ? QString() : browser_->errorString();
    showListState();
}

void Tjoingame::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // Later, not now: the dialog may be hiding from inside a double-click on a
    // row that stopping would delete.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!isVisible())
                browser_->stop();
        },
        Qt::QueuedConnection);
}

void Tjoingame::gameAdded(const discovery::DiscoveredGame& game)
{
    auto* item = new QTreeWidgetItem;
    fillItem(item, game);
    list_games->addTopLevelItem(item);
    showListState();
}

void Tjoingame::gameChanged(const discovery::DiscoveredGame& game)
{
    if (QTreeWidgetItem* item = itemOf(game.key))
        fillItem(item, game);
    else
        gameAdded(game);
}

void Tjoingame::gameRemoved(const QString& key)
{
    delete itemOf(key);
    showListState();
}

void Tjoingame::fillItem(QTreeWidgetItem* item, const discovery::DiscoveredGame& game)
{
    // The browser hands on only IPv4 senders and names checked for control characters.
    const QString host = game.address.toString();
    const QString address = joinaddress::addressText({ host, game.port }, gamePort_);
    item->setData(HostColumn, kKeyRole, game.key);
    item->setData(AddressColumn, kAddressRole, address);
    item->setText(HostColumn, game.hostName);
    item->setText(AddressColumn, address);
    item->setText(SeatsColumn, QString("%1/4").arg(game.status.seatsTaken));
    item->setText(SpiesColumn, QString::number(game.status.spies));
    item->setText(RoundColumn, game.status.roundRunning ? "running" : "waiting");
    QString about = game.machineName.isEmpty() ? address : game.machineName + " (" + address + ")";
    if (!game.version.isEmpty())
        about += ", version " + game.version;
    item->setToolTip(HostColumn, about);
}

QTreeWidgetItem* Tjoingame::itemOf(const QString& key) const
{
    for (int i = 0; i < list_games->topLevelItemCount(); ++i)
        if (list_games->topLevelItem(i)->data(HostColumn, kKeyRole).toString() == key)
            return list_games->topLevelItem(i);
    return nullptr;
}

void Tjoingame::showListState()
{
    if (!browseError_.isEmpty())
        label_listing->setText("Games on the local network cannot be listed (" + browseError_
            + "). Type the host's address below.");
    else if (list_games->topLevelItemCount() == 0)
        label_listing->setText(
            "Looking for games on the local network.. You can also type the host's address below.");
    else
        label_listing->setText("Games on the local network; double-click one to join it.");
}

void Tjoingame::showProblem(const QString& text)
{
    label_problem->setText(text);
    label_problem->show();
}

void Tjoingame::button_joinClick()
{
    const QString name = playerName();
    if (name.isEmpty()) {
        showProblem("Type the name you want to play under.");
        edit_playername->setFocus();
        return;
    }
    const QString address = addressText();
    if (address.isEmpty()) {
        showProblem("Pick a game from the list or type the host's address.");
        combo_address->setFocus();
        return;
    }
    if (!joinaddress::parse(address)) {
        showProblem("\"" + address + "\" is not a host name or IP address (with an optional :port).");
        combo_address->setFocus();
        return;
    }
    label_problem->hide();
    accept();
    emit joinRequested(name, address);
}

void Tjoingame::list_gamesDblClick(QTreeWidgetItem* item)
{
    if (!item)
        return;
    combo_address->setEditText(item->data(AddressColumn, kAddressRole).toString());
    button_joinClick();
}
