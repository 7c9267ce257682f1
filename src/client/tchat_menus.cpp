// Tchat's menus, its pop-up menus and the companion windows.
#include "tchat.h"

#include "chat_pane.h"
#include "painted_look.h"
#include "tabout.h"
#include "tgamestartform.h"
#include "thelp.h"
#include "tphrases.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "window_style.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

void Tchat::buildMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    addHostJoinItems(file);
    StartGame1 = file->addAction("&Start Game", this, &Tchat::button_startClick);
    StartGame1->setObjectName("StartGame1");
    StartGame1->setEnabled(false);
    buildComputerPlayers(file);
    file->addSeparator();
    file->addAction("E&xit", this, &Tchat::Exit1Click)->setObjectName("Exit1");

    QMenu* options = menuBar()->addMenu("&Options");
    ClickLetters1 = options->addAction("&Click Letters", this, &Tchat::ClickLetters1Click);
    ClickLetters1->setObjectName("ClickLetters1");
    ClickLetters1->setCheckable(true);
    ClickLetters1->setData(1);
    addBoardOptions(options);
    PlaySounds1 = options->addAction("&Play Sounds", this, &Tchat::PlaySounds1Click);
    PlaySounds1->setObjectName("PlaySounds1");
    PlaySounds1->setCheckable(true);
    PlaySounds1->setChecked(true);
    PlayChatterSounds1 = options->addAction("Play C&hatter Sounds", this, &Tchat::PlayChatterSounds1Click);
    PlayChatterSounds1->setObjectName("PlayChatterSounds1");
    PlayChatterSounds1->setCheckable(true);
    PlayChatterSounds1->setChecked(true);
    addAnnounceItem(options);
    QMenu* turn = options->addMenu("T&urn Sound");
    turn->setObjectName("TurnSound1");
    auto* turnGroup = new QActionGroup(this);
    Classic1 = turn->addAction("Classic", this, [this] { Classic1Click(0); });
    Classic1->setObjectName("Classic1");
    New1 = turn->addAction("New", this, [this] { Classic1Click(1); });
    New1->setObjectName("New1");
    for (QAction* item : { Classic1, New1 }) {
        item->setCheckable(true);
        turnGroup->addAction(item);
    }
    Classic1->setChecked(true);
    options->addSeparator();
    options->addAction("Te&xt Color", this, &Tchat::ChatColor1Click)->setObjectName("ChatColor1");
    options->addAction("Actio&n Color", this, &Tchat::ActionColor1Click)->setObjectName("ActionColor1");
    QMenu* size = options->addMenu("Text Si&ze");
    // Exactly one size is ticked: the one in use.
    auto* sizeGroup = new QActionGroup(this);
    sizeGroup->setExclusive(true);
    const int sizes[4] = { 8, 10, 12, 14 };
    for (int i = 0; i < 4; ++i) {
        const int points = sizes[i];
        QAction* item = size->addAction(QString::number(points), this, [this, points] { N8Click(points); });
        item->setObjectName(QString("N%1").arg(points));
        item->setCheckable(true);
        sizeGroup->addAction(item);
        textSizeItems[i] = item;
    }
    textSizeItems[0]->setChecked(true);
    ScrollChatOff2 = options->addAction("Scro&ll Chat Off", this, &Tchat::ScrollChatOff1Click);
    ScrollChatOff2->setObjectName("ScrollChatOff2");
    ScrollChatOff2->setCheckable(true);
    ScrollChatOff2->setShortcut(QKeySequence("Ctrl+S"));
    options->addAction("Clear &Main Chat", this, &Tchat::ClearMainChat1Click)
        ->setObjectName("ClearMainChat1");
    options->addSeparator();
    options->addAction("&Reset Screen Location", this, &Tchat::ResetScreenLocation1Click)
        ->setObjectName("ResetScreenLocation1");

    grouptilesitem = menuBar()->addMenu("&Tiles");
    grouptilesitem->setObjectName("grouptilesitem");
    tileGroup = new QActionGroup(this);
    tileGroup->setExclusive(true);
    connect(tileGroup, &QActionGroup::triggered, this, &Tchat::grouptilesmenuClick);

    QMenu* view = menuBar()->addMenu("&View");
    QAction* tallyItem = view->addAction("&Tally List", this, [this] {
        tallylist->show();
        tallylist->raise();
    });
    tallyItem->setObjectName("TallyList1");
    tallyItem->setShortcut(QKeySequence("Ctrl+T"));
    view->addAction("&Spy List", this, &Tchat::SpyList1Click)->setObjectName("SpyList1");
    view->addAction("&Phrase List", this, &Tchat::PhraseList1Click)->setObjectName("PhraseList1");

    QMenu* helpMenu = menuBar()->addMenu("&Help");
    helpMenu->addAction("&Help", this, &Tchat::Help2Click)->setObjectName("Help2");
    helpMenu->addAction("&About", this, &Tchat::About1Click)->setObjectName("About1");

    // The chat pane's and the entry box's own pop-up menus.
    auto* paneMenu = new QMenu(this);
    paneMenu->setObjectName("popup_chat");
    paneMenu->addAction("Copy", this, &Tchat::Copy1Click)->setObjectName("Copy1");
    ScrollChatOff1 = paneMenu->addAction("Scroll Chat Off", this, &Tchat::ScrollChatOff1Click);
    ScrollChatOff1->setObjectName("ScrollChatOff1");
    ScrollChatOff1->setCheckable(true);
    paneMenu->addAction("Clear Main Chat", this, &Tchat::ClearMainChat1Click);
    connect(mainchat, &QWidget::customContextMenuRequested, this,
        [this, paneMenu](const QPoint& pos) { paneMenu->popup(mainchat->mapToGlobal(pos)); });
    auto* copyShortcut = new QAction(this);
    copyShortcut->setShortcut(QKeySequence("Ctrl+C"));
    copyShortcut->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    mainchat->addAction(copyShortcut);
    connect(copyShortcut, &QAction::triggered, this, &Tchat::Copy1Click);

    auto* entryMenu = new QMenu(this);
    entryMenu->setObjectName("popup_entry");
    entryMenu->addAction("Paste", this, &Tchat::Paste1Click)->setObjectName("Paste1");
    connect(mychat, &QWidget::customContextMenuRequested, this,
        [this, entryMenu](const QPoint& pos) { entryMenu->popup(mychat->mapToGlobal(pos)); });

    // A menu is a window of its own, so it takes no colours from its parent: each is dressed.
    setMenuBarLook(menuBar());
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        setMenuLook(menu);
    for (QMenu* menu : findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        setMenuLook(menu);
}

void Tchat::buildCompanions()
{
    tallylist = new Ttallylist(this);
    spylist.onBuilt([this](Tspylist& list) {
        connect(&list, &Tspylist::kickRequested, this, &Tchat::kicking);
        list.setKickEnabled(false); // until this window hosts
    });
    gamestartform.onBuilt([this](Tgamestartform& form) {
        connect(&form, &Tgamestartform::startRequested, this, &Tchat::startgame);
        connect(&form, &Tgamestartform::saveRequested, this, &Tchat::saveinifile);
        applyStartChoices(form);
    });
    phrases.onBuilt([this](Tphrases& editor) {
        connect(&editor, &Tphrases::phrasesDone, this, [this](const QStringList& texts) {
            for (int n = 1; n <= 9 && n <= texts.size(); ++n)
                setPhrase(n, texts[n - 1]);
            savePhrases(texts);
        });
    });
}

Tgamestartform& Tchat::startForm() { return *gamestartform; }

Tspylist& Tchat::spyList() { return *spylist; }

Tphrases& Tchat::phraseEditor() { return *phrases; }
