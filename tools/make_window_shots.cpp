// Draws every window of the game for the documentation, each in the look it has on screen, and a
// few with the keyboard on a control so the focus ring shows.
// Usage: make_window_shots <folder>   (run with QT_QPA_PLATFORM=offscreen)
#include "computer_choice.h"
#include "tabout.h"
#include "tchat.h"
#include "tdownload.h"
#include "tgamestartform.h"
#include "thelp.h"
#include "thostgame.h"
#include "tjoingame.h"
#include "tphrases.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "window_style.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

struct Shots {
    QDir folder;
    bool ok = true;

    // Shows the window, gives the named control the keyboard (none: the window keeps its own
    // choice), and saves its picture.
    void take(QWidget& window, const QString& name, const char* focus = nullptr)
    {
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        if (focus)
            if (auto* control = window.findChild<QWidget*>(focus))
                control->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        save(window.grab().toImage(), name);
        window.hide();
    }

    void save(const QImage& picture, const QString& name)
    {
        const QString path = folder.filePath(name);
        if (!picture.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_window_shots <folder>\n");
        return 2;
    }
    app.setStyleSheet(windowstyle::messageBoxes());
    Shots shots { QDir(QString::fromLocal8Bit(argv[1])) };
    QTemporaryDir home;

    TchatSetup setup;
    setup.arguments = { "You" };
    setup.settingsFile = home.filePath("s.ini");
    Tchat window(setup);
    window.resize(798, 535);
    window.client().handle("CMD_sendlogininfo+1");
    window.client().handle("CMD_newplayerinfo+1+You");
    window.client().handle("CMD_newplayerinfo+2+Ann");
    window.FlatButton1Click(); // the first-run notice
    window.PhraseList1Click(); // the editor opens with the buttons' phrases
    QStringList texts = window.phraseEditor().phrases();
    texts[0] = "Splendid work, that was a truly remarkable find!";
    window.phraseEditor().setPhrases(texts);
    window.phraseEditor().SelButton8Click();
    shots.take(window, "window_main.png", "b_phrase1");

    // The Options menu open over the window, as Alt+O opens it.
    window.show();
    QMenu* options = window.menuBar()->actions().value(1)->menu();
    options->popup(window.mapToGlobal(QPoint(60, 24)));
    QApplication::processEvents();
    QImage withMenu = window.grab().toImage();
    {
        QPainter painter(&withMenu);
        painter.drawPixmap(QPoint(60, 24), options->grab());
    }
    options->hide();
    window.hide();
    shots.save(withMenu, "window_menu.png");

    Ttallylist tally;
    tally.setPlayersInGame({ "Ann", "Bob" });
    tally.findChild<QListWidget*>("checklist")->item(0)->setCheckState(Qt::Checked);
    tally.ownWordAccepted("QUARTZ", 42);
    shots.take(tally, "window_tally.png", "checklist");

    Tgamestartform start;
    start.setComputerChoiceShown(true);
    start.computers().setChoice(true, 3, 2);
    shots.take(start, "window_start.png", "edit_numrounds");
    shots.take(start, "window_start_focus_start.png", "button_startthegame");

    Tphrases phrases;
    phrases.setPhrases({ "Way To Go!", "Good One!", "Nice Try!", "Excellent!", "Brilliant!", "Wow, WTG!",
        "Thanks!", "Way To Go Teamie!", "Good Game Everyone!" });
    shots.take(phrases, "window_phrases.png", "phrase2");

    Thelp help;
    shots.take(help, "window_help.png", "button_ok");
    Tabout about;
    shots.take(about, "window_about.png", "button_ok");

    Tspylist spies;
    spies.addSpyLine("5: Eve");
    spies.addSpyLine("6: Mallory");
    shots.take(spies, "window_spies.png", "listbox_spys");

    Thostgame host(7772);
    host.setPlayerName("Ann");
    shots.take(host, "window_host.png", "edit_playername");
    Tjoingame join(discovery::GameBrowser::Options { 0, false }, 7772);
    join.setPlayerName("Ann");
    join.setRecentAddresses({ "192.0.2.7", "lexhost:7773" });
    shots.take(join, "window_join.png", "button_join");

    Tdownload download(home.path(), "https://example.invalid/lobby.exe", home.filePath("lobby"), [] {});
    shots.take(download, "window_download.png", "getbutton");

    QMessageBox box(QMessageBox::Question, "Lexmire", "Are you sure you want to reset the Tally?",
        QMessageBox::Yes | QMessageBox::No, &window);
    box.setDefaultButton(QMessageBox::No);
    shots.take(box, "window_message.png");

    return shots.ok ? 0 : 1;
}
