// The spy list: connections that watch without a seat, and the host's way to
// remove one of them.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QStringList>

class QAction;
class QListWidget;
class QMenu;

class Tspylist : public QDialog {
    Q_OBJECT

public:
    explicit Tspylist(QWidget* parent = nullptr);

    // Lines read "<connection number>: <name>", for example "5: Ann".
    void addSpyLine(const QString& line);
    // Deletes the first line equal to `line`; false when there was none.
    bool removeSpyLine(const QString& line);
    QStringList lines() const;

    // Only the host may remove spies; the item is disabled until hosting.
    void setKickEnabled(bool enabled);
    bool kickEnabled() const;

    // The list box's tag: the index of the line last under the mouse, -1 for none.
    int listTag() const;

public slots:
    void listbox_spysMouseMove(const QPoint& viewportPos);
    void popup_kickhimClick();
    void button_okClick();

signals:
    // The connection number read from the chosen line.
    void kickRequested(int connectionNumber);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setListTag(int index);

    QListWidget* listbox = nullptr;
    QMenu* popupKick = nullptr;
    QAction* popupKickHim = nullptr;
};
