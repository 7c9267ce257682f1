// Tchat tile sets and sound effects: the Tiles menu, loading a set, and the
// sound switches.
#include "tchat.h"

#include "board_view.h"
#include "sound_player.h"
#include "tile_images.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

void Tchat::playsounds(const QString& name)
{
    sounds_->playsounds(name);
}

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
    for (const QString& name : TileImages::setNames(setup_.tileFolders))
        creategrouptilesmenu(name);
}

void Tchat::creategrouptilesmenu(const QString& name)
{
    QAction* item = grouptilesitem->addAction(name);
    item->setObjectName(name + "3");
    item->setToolTip(name);
    item->setData(name);
    item->setCheckable(true);
    tileGroup->addAction(item);
}

void Tchat::loadgrouptiles(const QString& name)
{
    const QString path = TileImages::setPath(setup_.tileFolders, name);
    if (path.isEmpty())
        return;
    for (QAction* item : grouptilesitem->actions())
        if (item->objectName() == name + "3")
            item->setChecked(true);
    tileSetName = name;
    tiles->loadStrip(path);
    redrawBoardAndSlots();
}

void Tchat::grouptilesmenuClick(QAction* item)
{
    loadgrouptiles(item->data().toString());
    redrawBoardAndSlots();
    saveinifile();
}
