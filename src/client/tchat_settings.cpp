// Tchat's settings: every own login reads the settings file through the one
// table of keys, and each change of a persisted option writes what changed.
#include "tchat.h"

#include "chat_pane.h"
#include "game_settings.h"
#include "settings_values.h"
#include "sound_player.h"
#include "tgamestartform.h"
#include "tile_images.h"
#include "window_placement.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

using settings::SettingKey;

void Tchat::loadinifile()
{
    // Read afresh at each login, so another copy's changes since are seen.
    settings_ = std::make_unique<GameSettings>(setup_.settingsFile);
    const QString problem = settings_->load();
    if (!problem.isEmpty() && setup_.showNotice)
        setup_.showNotice(problem);
    GameSettings& stored = *settings_;

    placement::place(*this,
        QRect(stored.number(SettingKey::Left), stored.number(SettingKey::Top),
            stored.number(SettingKey::Width), stored.number(SettingKey::Height)));
    loadedBounds = placement::storedBounds(*this);

    chatTextSize = stored.number(SettingKey::Textsize);
    mainchat->setTextSize(chatTextSize);
    for (QAction* item : textSizeItems)
        item->setChecked(item->objectName() == QString("N%1").arg(chatTextSize));

    chatColour = stored.colour(SettingKey::Textcolor);
    setEntryColour(settings::settingsColourToQColor(chatColour));
    actionColour = stored.colour(SettingKey::Actioncolor);

    const bool clickMode = !stored.isOn(SettingKey::Clickletters);
    ClickLetters1->setChecked(clickMode);
    ClickLetters1->setData(clickMode ? 0 : 1);
    readBoardOptions(stored);

    setStartTexts(stored.text(SettingKey::Rounds), stored.text(SettingKey::Timeperround));
    readComputerSettings(stored);

    PlaySounds1->setChecked(stored.isOn(SettingKey::Playsounds));
    sounds_->setEffectsOn(PlaySounds1->isChecked());
    turnSound = stored.isOn(SettingKey::Turnsound) ? 1 : 0;
    (turnSound == 1 ? New1 : Classic1)->setChecked(true);

    for (int n = 1; n <= settings::kPhraseCount; ++n) {
        const QString phrase = stored.text(*settings::phraseKey(n));
        if (!phrase.isEmpty())
            setPhrase(n, phrase);
    }

    const QString tilesName = stored.text(SettingKey::Tiles);
    if (TileImages::isBuiltInName(tilesName))
        tickTileSet(); // the built-in set, which nobody chose: the name stays as it was
    else
        loadgrouptiles(tilesName);

    if (!stored.isOn(SettingKey::Firsttime)) {
        panel_dragging->show();
        panel_dragging->raise();
        // A player without a mouse closes it with Enter from the start.
        panel_dragging->findChild<QWidget*>("FlatButton1")->setFocus();
        stored.setOn(SettingKey::Firsttime, true);
        storeSettings();
    }

    PlayChatterSounds1->setChecked(stored.isOn(SettingKey::ChatterSounds));
    sounds_->setChatterOn(PlayChatterSounds1->isChecked());
}

void Tchat::saveinifile()
{
    // Until the file has been read, the window holds only built-in values,
    // which must not replace what the player stored.
    if (!settings_)
        return;
    GameSettings& stored = *settings_;
    const QRect bounds = placement::storedBounds(*this);
    stored.setNumber(SettingKey::Textsize, chatTextSize);
    stored.setColour(SettingKey::Textcolor, chatColour);
    stored.setColour(SettingKey::Actioncolor, actionColour);
    if (const auto shown = shownStartChoices().roundsAndMinutes) {
        stored.setText(SettingKey::Rounds, shown->first);
        stored.setText(SettingKey::Timeperround, shown->second);
    }
    writeComputerSettings(stored);
    stored.setOn(SettingKey::Clickletters, !ClickLetters1->isChecked());
    writeBoardOptions(stored);
    stored.setText(SettingKey::Tiles, tileSetName);
    stored.setNumber(SettingKey::Top, bounds.top());
    stored.setNumber(SettingKey::Left, bounds.left());
    stored.setNumber(SettingKey::Width, bounds.width());
    stored.setNumber(SettingKey::Height, bounds.height());
    stored.setOn(SettingKey::Turnsound, turnSound == 1);
    stored.setOn(SettingKey::Playsounds, PlaySounds1->isChecked());
    stored.setOn(SettingKey::ChatterSounds, PlayChatterSounds1->isChecked());
    storeSettings();
}

void Tchat::savePhrases(const QStringList& texts)
{
    if (!settings_)
        return;
    for (int n = 1; n <= settings::kPhraseCount && n <= texts.size(); ++n)
        settings_->setText(*settings::phraseKey(n), texts[n - 1]);
    storeSettings();
}

void Tchat::storeSettings()
{
    const QString problem = settings_->save();
    if (!problem.isEmpty())
        showError(problem);
}
