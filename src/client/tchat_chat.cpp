// Tchat's chat: the entry box, chat and action lines, phrase buttons,
// chatter sounds, colours, text size and the chat pane's commands.
#include "tchat.h"

#include "outside_text.h"

#include "bgr_colour.h"
#include "chat_pane.h"
#include "link_finder.h"
#include "sound_player.h"
#include "tphrases.h"
#include "wire_text.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextDocumentFragment>

void Tchat::addlinetochat(const QString& line, uint32_t colour)
{
    mainchat->addLine(line, colorFromBgr(colour), ScrollChatOff1->isChecked());
}

void Tchat::sendit()
{
    if (!client_->loggedin())
        return;
    client_->sendit(mychat->text(), chatColour, actionColour);
    mychat->clear();
}

void Tchat::chatrecieved(const QString& text, uint32_t colour)
{
    // "Name chats: text": the server wrote the middle; each side is the player's.
    const qsizetype chats = text.indexOf(" chats: ");
    if (chats < 0)
        addlinetochat(isolated(text), colour);
    else
        addlinetochat(isolated(text.left(chats)) + " chats: " + isolated(text.mid(chats + 8)), colour);
}

void Tchat::b_phrase1Click(int button)
{
    if (button < 1 || button > 9)
        return;
    client_->sendPhrase(b_phrase[button]->toolTip(), actionColour);
}

void Tchat::b_phrase10Click()
{
    popup_sounds->popup(b_phrase[10]->mapToGlobal(b_phrase[10]->rect().bottomRight()));
}

void Tchat::wave20Click(int number) { client_->sendSound(number); }

void Tchat::playasound(int seat, const QString& clip)
{
    if (PlayChatterSounds1->isChecked()) {
        sounds_->playChatter(clip);
        return;
    }
    QLabel* label = isSeat(seat) ? seatLabel("label_playername", seat) : nullptr;
    QAction* item = nullptr;
    for (QAction* action : popup_sounds->actions())
        if (!clip.isEmpty() && action->objectName() == clip)
            item = action;
    if (label && item)
        addlinetochat(isolated(label->text()) + ": <Chatter Sound> " + item->text(), chatcolour::kBlue);
}

void Tchat::PlayChatterSounds1Click()
{
    sounds_->setChatterOn(PlayChatterSounds1->isChecked());
    saveinifile();
}

void Tchat::ChatColor1Click()
{
    std::optional<uint32_t> chosen;
    if (chooseColour) {
        chosen = chooseColour(chatColour);
    } else {
        QColor picked = QColorDialog::getColor(colorFromBgr(chatColour), this, "Text Color");
        if (picked.isValid())
            chosen = bgrFromColor(picked);
    }
    if (!chosen)
        return;
    chatColour = *chosen;
    setEntryColour(colorFromBgr(chatColour));
    saveinifile();
}

void Tchat::ActionColor1Click()
{
    std::optional<uint32_t> chosen;
    if (chooseColour) {
        chosen = chooseColour(actionColour);
    } else {
        QColor picked = QColorDialog::getColor(colorFromBgr(actionColour), this, "Action Color");
        if (picked.isValid())
            chosen = bgrFromColor(picked);
    }
    if (chosen)
        actionColour = *chosen;
    saveinifile(); // saved whether or not a colour was chosen
}

void Tchat::N8Click(int size)
{
    chatTextSize = size;
    mainchat->setTextSize(size);
    saveinifile();
}

void Tchat::ScrollChatOff1Click()
{
    // Either of the two items was toggled; both show the same state.
    const bool on = sender() == ScrollChatOff2 ? ScrollChatOff2->isChecked() : ScrollChatOff1->isChecked();
    ScrollChatOff1->setChecked(on);
    ScrollChatOff2->setChecked(on);
}

void Tchat::ClearMainChat1Click() { mainchat->clear(); }

void Tchat::Copy1Click()
{
    QApplication::clipboard()->setText(mainchat->textCursor().selection().toPlainText());
}

void Tchat::Paste1Click()
{
    // As Ctrl+V does: the clipboard's text goes in at the caret.
    mychat->paste();
}

void Tchat::PhraseList1Click()
{
    QStringList texts;
    for (int n = 1; n <= 9; ++n)
        texts << b_phrase[n]->toolTip();
    phrases->setPhrases(texts);
    phrases->show();
    phrases->raise();
}

void Tchat::openLink(const QString& link)
{
    // Anyone in the game can write a link, so only web addresses open, and
    // only once the player has seen the whole address as it will be opened
    // (host in its ASCII form, anything unusual percent-encoded).
    const QUrl address = webAddressOf(link);
    if (!address.isValid() || !setup_.openLink)
        return;
    const QString shown = address.toString(QUrl::FullyEncoded);
    if (!linksTrusted) {
        if (!setup_.confirmLink)
            return;
        const LinkAnswer answer = setup_.confirmLink(shown);
        if (!answer.open)
            return;
        linksTrusted = answer.dontAskAgain;
    }
    setup_.openLink(shown);
}
