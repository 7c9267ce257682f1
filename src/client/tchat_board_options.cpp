// Tchat's board options: the word path, typing, the bonus captions, a board that grows with the
// window and the round review, each on by default and remembered in the settings file, so a
// player who prefers the old way can have it.
#include "tchat.h"

#include "board_view.h"
#include "game_settings.h"
#include "layout_scaler.h"

#include <QAction>
#include <QMenu>

using settings::SettingKey;

namespace {

QAction* addSwitch(QMenu* menu, const QString& text, const char* name, const QString& hint)
{
    QAction* item = menu->addAction(text);
    item->setObjectName(name);
    item->setCheckable(true);
    item->setChecked(true);
    item->setToolTip(hint);
    return item;
}

} // namespace

void Tchat::addBoardOptions(QMenu* options)
{
    ShowWordPath1 = addSwitch(options, "Show Word Path", "ShowWordPath1",
        "Light the chosen tiles in order and flash the server's answer");
    TypeWords1
        = addSwitch(options, "Type Words", "TypeWords1", "Build words by typing their letters on the board");
    BonusLabels1
        = addSwitch(options, "Bonus Labels", "BonusLabels1", "Write what each bonus cell gives on it");
    GrowWithWindow1 = addSwitch(options, "Grow With Window", "GrowWithWindow1",
        "A larger window draws the board and the panels larger");
    RoundReview1
        = addSwitch(options, "Round Review", "RoundReview1", "Offer the review of each round's words");
    for (QAction* item : { ShowWordPath1, TypeWords1, BonusLabels1, GrowWithWindow1, RoundReview1 })
        connect(item, &QAction::triggered, this, &Tchat::boardOptionClick);
}

void Tchat::boardOptionClick()
{
    applyBoardOptions();
    saveinifile();
}

void Tchat::applyBoardOptions()
{
    board->setMarksShown(ShowWordPath1->isChecked());
    board->setTypingRing(TypeWords1->isChecked());
    if (!TypeWords1->isChecked() && !typed.empty())
        clearWordSlots();
    board->setBonusLabels(BonusLabels1->isChecked());
    scaler->setEnabled(GrowWithWindow1->isChecked());
    if (!RoundReview1->isChecked())
        closeReview();
    if ((panel_scrolls && !panel_scrolls->isHidden()) || reviewOpen())
        offerReview();
    showPath();
}

void Tchat::readBoardOptions(const GameSettings& stored)
{
    ShowWordPath1->setChecked(stored.isOn(SettingKey::WordPath));
    TypeWords1->setChecked(stored.isOn(SettingKey::TypeWords));
    BonusLabels1->setChecked(stored.isOn(SettingKey::BonusLabels));
    GrowWithWindow1->setChecked(stored.isOn(SettingKey::GrowWithWindow));
    RoundReview1->setChecked(stored.isOn(SettingKey::RoundReview));
    applyBoardOptions();
}

void Tchat::writeBoardOptions(GameSettings& stored) const
{
    stored.setOn(SettingKey::WordPath, ShowWordPath1->isChecked());
    stored.setOn(SettingKey::TypeWords, TypeWords1->isChecked());
    stored.setOn(SettingKey::BonusLabels, BonusLabels1->isChecked());
    stored.setOn(SettingKey::GrowWithWindow, GrowWithWindow1->isChecked());
    stored.setOn(SettingKey::RoundReview, RoundReview1->isChecked());
}
