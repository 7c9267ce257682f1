// A seat's line in the roster: the name shown whole beside a computer player's level.
#include "roster_line.h"

#include "computer_name.h"

#include <QLabel>

RosterName rosterName(const QString& name, const QString& level)
{
    if (!computername::isComputerName(name))
        return { name, name, {} };
    return { name, computername::withoutMarker(name), level };
}

void showRosterName(QLabel* nameLabel, QLabel* levelLabel, const RosterName& name)
{
    nameLabel->ensurePolished(); // the style sheet's bold font decides the width
    const QRect text = nameLabel->contentsRect().translated(nameLabel->pos());
    int right = text.right() + 1; // where the name's room ends, in the parent's pixels
    if (levelLabel) {
        levelLabel->setText(name.level);
        levelLabel->setVisible(!name.level.isEmpty());
        if (!name.level.isEmpty()) {
            levelLabel->ensurePolished();
            // A space of the level's font between them, so it grows with the layout.
            const QFontMetrics metrics = levelLabel->fontMetrics();
            right = std::min(right,
                levelLabel->geometry().right() + 1 - metrics.horizontalAdvance(name.level)
                    - metrics.horizontalAdvance(u' '));
        }
    }
    const QString shown
        = nameLabel->fontMetrics().elidedText(name.shown, Qt::ElideRight, std::max(0, right - text.left()));
    nameLabel->setText(shown);
    nameLabel->setToolTip(shown == name.whole ? QString() : name.whole);
}
