// One seat's line in the roster: the name as shown, and a computer player's
// level beside it. A computer player's marker is a picture at the line's left
// end, so its name is shown without the words that mark it on the wire; only
// the host that seated it knows its level.
#pragma once

#include <QString>

class QLabel;

struct RosterName {
    QString whole; // the name as the server told it
    QString shown; // the name as the roster shows it
    QString level; // shown after the name; empty when not known
};

// What the roster shows for a seat's name, with the level of a computer
// player this window's host seated (empty otherwise).
RosterName rosterName(const QString& name, const QString& level = {});

// Makes the label for a computer player's level in the name's place of the
// seat's line ("label_computerlevel1" to 4), hidden until a level is shown.
QLabel* addLevelLabel(QLabel* nameLabel, int seat);

// Shows the name in its label and the level in its own, right-aligned within
// the name's place. A name wider than the room the level leaves
// ends in an ellipsis, never cut mid-letter; the label's tooltip then holds
// the whole name, as it does whenever the line shows it otherwise.
void showRosterName(QLabel* nameLabel, QLabel* levelLabel, const RosterName& name);
