// Ttallylist: the tally window. Shows the own record and the results against
// each tallied opponent, and takes the results of play from the main window.
#pragma once

#include "tally_model.h"

#include <QDialog>

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;

class Ttallylist : public QDialog {
    Q_OBJECT
public:
    explicit Ttallylist(QWidget* parent = nullptr);

    // The tally file: read at start-up, written at the end.
    // An unreadable file is reported, kept aside under a name of its own, and the
    // tally starts empty. Anything but a regular file (a FIFO, device, link) is
    // reported and left alone, and then never saved over.
    void loadFromFile(const QString& path);
    // Empty when the tally was saved; otherwise the text to tell the player.
    QString saveToFile(const QString& path) const;

    // From the main window.
    void setPlayersInGame(const QStringList& names); // loadchecklist
    QStringList playersInGame() const;
    void ownWordAccepted(const QString& word, int score);
    void roundEnded(int minutesPerRound, int wordsFound, int score);
    void addgame(const QString& result);

    // Handlers.
    void checklistClickCheck(QListWidgetItem* item);
    void listbox_tallyClickCheck(QListWidgetItem* item);
    void listbox_tallyClick(int index);
    void FlatButton2Click(); // "Reset Tally"

    const TallyModel& model() const { return model_; }

    // The controls, made at the first showing; tests that look at them unshown make them here.
    void buildControls();
    void setVisible(bool visible) override;

    // Questions and notices; tests answer them without modal boxes.
    std::function<bool(const QString& question)> ask;
    std::function<void(const QString& text)> notify;

private:
    void refreshOwnLabels();
    void refreshTalliedList();
    void fillChecklist();
    void showRow(int index);
    void setLabel(const QString& name, const QString& text);

    TallyModel model_;
    // Set when the file found at start must not be replaced: why not.
    QString keepFile_;
    QStringList playersInGame_; // the checklist's lines, kept while it is not made
    // Null until the controls are made.
    QListWidget* listbox_tally = nullptr;
    QListWidget* checklist = nullptr;
    bool updatingLists_ = false;
};
