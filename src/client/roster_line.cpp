// A seat's line in the roster: the name shown whole beside a computer player's level.
#include "roster_line.h"

#include "computer_name.h"

#include "painted_look.h"
#include "window_palette.h"

#include <QLabel>

namespace {

// A computer player's level, smaller than the name it follows and clear of
// the score after it.
constexpr int kLevelPixelSize = 11;
constexpr int kLevelInset = 6;

} // namespace

RosterName rosterName(const QString& name, const QString& level)
{
    if (!computername::isComputerName(name))
        return { name, name, {} };
    return { name, computername::withoutMarker(name), level };
}

QLabel* addLevelLabel(QLabel* nameLabel, int seat)
{
    auto* level = new QLabel(nameLabel->parentWidget());
    level->setObjectName(QString("label_computerlevel%1").arg(seat));
    level->setGeometry(nameLabel->geometry().adjusted(0, 0, -kLevelInset, 0));
    level->setTextFormat(Qt::PlainText);
    level->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // It lies over the name's place: presses and the name's tooltip reach the name beneath.
    level->setAttribute(Qt::WA_TransparentForMouseEvents);
    setTextLook(level, windowpalette::paleBlue(), kLevelPixelSize, false);
    level->hide();
    return level;
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
