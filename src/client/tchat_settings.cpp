// Tchat settings: reading every key of the settings file at each own login
// and writing the persisted options back after each change.
#include "tchat.h"

#include "bgr_colour.h"
#include "chat_pane.h"
#include "ini_file.h"
#include "settings_values.h"
#include "sound_player.h"
#include "tgamestartform.h"
#include "tile_images.h"
#include "window_placement.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {

const QString kSection = "Lexmire";

// The default window bounds, also used by "Reset Screen Location".
constexpr int kDefaultLeft = 3, kDefaultTop = 3, kDefaultWidth = 798, kDefaultHeight = 535;

} // namespace

void Tchat::loadinifile()
{
    IniFile ini(setup_.settingsFile);
    auto number = [&](const char* key, int fallback) {
        return settings::lenientInt(ini.read(kSection, key, {})).value_or(fallback);
    };

    const int top = number("Top", kDefaultTop);
    const int left = number("Left", kDefaultLeft);
    const int width = number("Width", kDefaultWidth);
    const int height = number("Height", kDefaultHeight);
    placement::place(*this, QRect(left, top, width, height));
    loadedBounds = placement::storedBounds(*this);

    chatTextSize = number("Textsize", 8);
    mainchat->setTextSize(chatTextSize);
    for (QAction* item : textSizeItems)
        item->setChecked(item->objectName() == QString("N%1").arg(chatTextSize));

    const QString textColour = ini.read(kSection, "Textcolor", "clblack");
    chatColour = settings::colourFromSettingsText(textColour);
    setEntryColour(settings::settingsColourToQColor(chatColour));
    actionColour = settings::colourFromSettingsText(ini.read(kSection, "Actioncolor", textColour));

    const bool clickMode = ini.read(kSection, "Clickletters", "1") != "1";
    ClickLetters1->setChecked(clickMode);
    ClickLetters1->setData(clickMode ? 0 : 1);

    gamestartform->setStoredValues(ini.read(kSection, "Rounds", "3"), ini.read(kSection, "Timeperround", "2"));

    PlaySounds1->setChecked(ini.read(kSection, "Playsounds", {}) != "false");
    sounds_->setEffectsOn(PlaySounds1->isChecked());
    turnSound = ini.read(kSection, "Turnsound", "0") == "1" ? 1 : 0;
    (turnSound == 1 ? New1 : Classic1)->setChecked(true);

    for (int n = 1; n <= 9; ++n) {
        const QString phrase = ini.read(kSection, QString("Phrase%1").arg(n), {});
        if (!phrase.isEmpty())
            setPhrase(n, phrase);
    }

    const QString tilesName = ini.read(kSection, "Tiles", {});
    if (TileImages::isBuiltInName(tilesName))
        tickTileSet(); // the built-in set, which nobody chose: the name stays as it was
    else
        loadgrouptiles(tilesName);

    if (ini.read(kSection, "Firsttime", {}) != "no") {
        panel_dragging->show();
        panel_dragging->raise();
        ini.write(kSection, "Firsttime", "no");
    }

    PlayChatterSounds1->setChecked(ini.read(kSection, "ChatterSounds", "true") != "false");
    sounds_->setChatterOn(PlayChatterSounds1->isChecked());
    settingsLoaded = true;
}

void Tchat::saveinifile()
{
    // Until the file has been read, the window holds only built-in values,
    // which must not replace what the player stored.
    if (!settingsLoaded)
        return;
    const QRect bounds = placement::storedBounds(*this);
    QList<QPair<QString, QString>> keys {
        { "Textsize", QString::number(chatTextSize) },
        { "Textcolor", settings::colourToSettingsText(chatColour) },
        { "Actioncolor", settings::colourToSettingsText(actionColour) },
        { "Rounds", gamestartform->roundsText() },
        { "Timeperround", gamestartform->minutesText() },
        { "Clickletters", ClickLetters1->isChecked() ? "0" : "1" },
        { "Tiles", tileSetName },
        { "Top", QString::number(bounds.top()) },
        { "Left", QString::number(bounds.left()) },
        { "Width", QString::number(bounds.width()) },
        { "Height", QString::number(bounds.height()) },
        { "Turnsound", QString::number(turnSound) },
        { "Playsounds", PlaySounds1->isChecked() ? "true" : "false" },
        { "ChatterSounds", PlayChatterSounds1->isChecked() ? "true" : "false" },
    };
    IniFile ini(setup_.settingsFile);
    if (!ini.writeAll(kSection, keys) && setup_.showError)
        setup_.showError(QString("Unable to write to %1").arg(setup_.settingsFile));
}
