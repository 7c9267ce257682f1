// The start dialog's computer opponents, and where the dialog shows them.
#include "computer_choice.h"

#include "bot_level.h"
#include "tgamestartform.h"
#include "window_style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>

#include <algorithm>

namespace {

// The dialog's own size, and how much taller the offer makes it.
constexpr QSize kDialogSize { 224, 176 };
constexpr int kPanelMargin = 6;
constexpr int kChoiceHeight = 50;
constexpr QRect kChoiceRect { 14, 122, 190, kChoiceHeight };

} // namespace

ComputerChoice::ComputerChoice(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("computerchoice"));
    checkComputer = new QCheckBox(QStringLiteral("Play against the computer"), this);
    checkComputer->setObjectName(QStringLiteral("checkbox_computer"));
    checkComputer->setGeometry(0, 0, 190, 20);
    checkComputer->setCursor(Qt::PointingHandCursor);
    // Readable on the dialog's navy, as the team tick is.
    windowstyle::checkBoxOnNavy(checkComputer);

    auto* levelLabel = new QLabel(QStringLiteral("Level:"), this);
    levelLabel->setGeometry(0, 26, 40, 22);
    comboLevel = new QComboBox(this);
    comboLevel->setObjectName(QStringLiteral("combo_computerlevel"));
    for (const BotLevel& level : kBotLevels)
        comboLevel->addItem(QString::fromLatin1(level.name), level.number);
    comboLevel->setGeometry(40, 26, 86, 22);
    auto* countLabel = new QLabel(QStringLiteral("x"), this);
    countLabel->setGeometry(132, 26, 10, 22);
    comboCount = new QComboBox(this);
    comboCount->setObjectName(QStringLiteral("combo_computercount"));
    for (int n = 1; n <= kMostComputers; ++n)
        comboCount->addItem(QString::number(n), n);
    comboCount->setGeometry(144, 26, 46, 22);
    comboCount->setToolTip(QStringLiteral("How many computer players sit down"));

    // Level and number mean something only with the tick.
    const auto follow = [this](bool on) {
        comboLevel->setEnabled(on);
        comboCount->setEnabled(on);
    };
    connect(checkComputer, &QCheckBox::toggled, this, follow);
    setChoice(false, kDefaultLevel, 1);
    follow(false);
}

bool ComputerChoice::wanted() const { return checkComputer->isChecked(); }

int ComputerChoice::level() const { return comboLevel->currentData().toInt(); }

int ComputerChoice::count() const { return comboCount->currentData().toInt(); }

void ComputerChoice::setChoice(bool wanted, int level, int count)
{
    checkComputer->setChecked(wanted);
    comboLevel->setCurrentIndex(validLevel(level) - 1);
    comboCount->setCurrentIndex(validCount(count) - 1);
}

int ComputerChoice::validLevel(int level) { return std::clamp(level, 1, kBotLevelCount); }

int ComputerChoice::validCount(int count) { return std::clamp(count, 1, kMostComputers); }

// ---------------------------------------------------------------------------
// The offer in the start dialog: made on first use, shown in a solo game only,
// the Start picture below it.

ComputerChoice& Tgamestartform::computers()
{
    if (!computerChoice) {
        auto* panel = findChild<QFrame*>(QStringLiteral("panel_startgame"));
        computerChoice = new ComputerChoice(panel ? static_cast<QWidget*>(panel) : this);
        computerChoice->setGeometry(kChoiceRect);
        computerChoice->hide();
        auto* start = findChild<QAbstractButton*>(QStringLiteral("button_startthegame"));
        if (start)
            startTop = start->y();
        // Tab reaches the offer after the team tick and before Start, as it is laid out.
        QWidget* before = checkTeamGame;
        for (QWidget* control : { computerChoice->findChild<QWidget*>(QStringLiteral("checkbox_computer")),
                 computerChoice->findChild<QWidget*>(QStringLiteral("combo_computerlevel")),
                 computerChoice->findChild<QWidget*>(QStringLiteral("combo_computercount")),
                 static_cast<QWidget*>(start) }) {
            if (!control)
                continue;
            QWidget::setTabOrder(before, control);
            before = control;
        }
    }
    return *computerChoice;
}

void Tgamestartform::setComputerChoiceShown(bool shown)
{
    ComputerChoice& choice = computers();
    choice.setVisible(shown);
    const int grow = shown ? kChoiceHeight : 0;
    setFixedSize(kDialogSize.width(), kDialogSize.height() + grow);
    if (auto* panel = findChild<QFrame*>(QStringLiteral("panel_startgame")))
        panel->resize(panel->width(), kDialogSize.height() - 2 * kPanelMargin + grow);
    if (auto* start = findChild<QAbstractButton*>(QStringLiteral("button_startthegame")))
        start->move(start->x(), startTop + grow);
}
