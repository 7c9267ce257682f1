// Tchat tile sets and sound effects: the Tiles menu, loading a set, and the
// sound switches.
#include "tchat.h"

#include "board_view.h"
#include "sound_player.h"
#include "tile_images.h"
#include "wire_text.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

void Tchat::playsounds(const QString& name) { sounds_->playsounds(name); }

void Tchat::PlaySounds1Click()
{
    sounds_->setEffectsOn(PlaySounds1->isChecked());
    saveinifile();
}

void Tchat::Classic1Click(int value)
{
    turnSound = value;
    Classic1->setChecked(value == 0);
    New1->setChecked(value == 1);
    saveinifile();
}

void Tchat::grouptilesmenu()
{
    // The built-in set first, with an item of its own, so there is always a way back to it.
    creategrouptilesmenu(TileImages::kBuiltInName);
    grouptilesitem->addSeparator();
    for (const QString& name : TileImages::setNames(setup_.tileFolders))
        creategrouptilesmenu(name);
    tickTileSet();
}

void Tchat::creategrouptilesmenu(const QString& name)
{
    const QString caption = TileImages::isBuiltInName(name) ? QString("Classic") : name;
    QAction* item = grouptilesitem->addAction(caption);
    item->setObjectName(name + "3");
    item->setToolTip(caption);
    item->setData(name);
    item->setCheckable(true);
    tileGroup->addAction(item);
}

void Tchat::loadgrouptiles(const QString& name)
{
    if (TileImages::isBuiltInName(name)) {
        if (!tiles->isClassic())
            tiles->useClassic(devicePixelRatioF());
        tileSetName = TileImages::kBuiltInName;
    } else {
        const QString path = TileImages::setPath(setup_.tileFolders, name);
        if (path.isEmpty())
            return;
        if (!tiles->loadStrip(path)) {
            addlinetochat(
                "The tile set " + TileImages::setNameOf(path) + " could not be loaded.", chatcolour::kBlue);
            tickTileSet(); // the set in use stays ticked
            return;
        }
        // The name as the folder spells it, so "NEON" in the settings finds and keeps "Neon".
        tileSetName = TileImages::setNameOf(path);
    }
    tickTileSet();
    redrawBoardAndSlots();
}

void Tchat::tickTileSet()
{
    const QString current
        = TileImages::isBuiltInName(tileSetName) ? QString(TileImages::kBuiltInName) : tileSetName;
    for (QAction* item : tileGroup->actions())
        item->setChecked(item->data().toString().compare(current, Qt::CaseInsensitive) == 0);
}

void Tchat::grouptilesmenuClick(QAction* item)
{
    loadgrouptiles(item->data().toString());
    saveinifile();
}
