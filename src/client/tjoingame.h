// The join dialog: a name, the games found on the local network (live), and
// an address to type or pick from those last joined.
#pragma once

#include "game_browser.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class Tjoingame : public QDialog {
    Q_OBJECT

public:
    // The list's columns.
    enum Column { HostColumn, AddressColumn, SeatsColumn, SpiesColumn, RoundColumn, ColumnCount };

    // gamePort is the game's own port: an address on it is shown without one.
    Tjoingame(discovery::GameBrowser::Options browsing, quint16 gamePort, QWidget* parent = nullptr);

    void setPlayerName(const QString& name);
    QString playerName() const;
    // The addresses offered under the address field, most recent first.
    void setRecentAddresses(const QStringList& addresses);
    QString addressText() const;

    // Listens while the dialog is shown; tests reach it to feed or read it.
    discovery::GameBrowser& browser() { return *browser_; }

public slots:
    // Join: a name and an address that reads as one are needed.
    void button_joinClick();
    // A listed game, double-clicked: joins it.
    void list_gamesDblClick(QTreeWidgetItem* item);

signals:
    void joinRequested(const QString& name, const QString& address);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void gameAdded(const discovery::DiscoveredGame& game);
    void gameChanged(const discovery::DiscoveredGame& game);
    void gameRemoved(const QString& key);
    void fillItem(QTreeWidgetItem* item, const discovery::DiscoveredGame& game);
    QTreeWidgetItem* itemOf(const QString& key) const;
    void showListState();
    void showProblem(const QString& text);

    discovery::GameBrowser* browser_ = nullptr;
    quint16 gamePort_;
    QString browseError_;
    QLineEdit* edit_playername = nullptr;
    QTreeWidget* list_games = nullptr;
    QLabel* label_listing = nullptr;
    QComboBox* combo_address = nullptr;
    QLabel* label_problem = nullptr;
    QPushButton* button_join = nullptr;
};
