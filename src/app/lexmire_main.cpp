// lexmire: the desktop program. One copy per user; it creates the main
// window, the hidden game server and the companion windows, and takes its
// role (solo, host, joiner) from the command line.
#include "app_paths.h"
#include "desktop_identity.h"
#include "embedded_word_list.h"
#include "info_options.h"
#include "lexmire_style.h"
#include "lobby_paths.h"
#include "pictures.h"
#include "single_instance.h"
#include "tchat.h"
#include "tdownload.h"
#include "termination_signals.h"
#include "tserver.h"
#include "ttallylist.h"
#include "window_style.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The program's message boxes, in the game's colours. The look is set on each box rather than on
// the whole program: a style sheet set on the application makes Qt style every widget of every
// window through its style-sheet engine, which the main window no longer needs.
QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok, QWidget* over = QApplication::activeWindow())
{
    QMessageBox box(icon, "Lexmire", text, buttons, over);
    box.setStyleSheet(windowstyle::messageBoxes());
    return QMessageBox::StandardButton(box.exec());
}

void showError(const QString& text) { showBox(QMessageBox::Critical, text); }

// The main window's boxes sit on the main window, whichever window is active then.
void showError(const QString& text, QWidget* over)
{
    showBox(QMessageBox::Critical, text, QMessageBox::Ok, over);
}

void showNotice(const QString& text, QWidget* over)
{
    showBox(QMessageBox::Information, text, QMessageBox::Ok, over);
}

bool ask(const QString& question, QWidget* over)
{
    return showBox(QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No, over)
        == QMessageBox::Yes;
}

// A choice button's padding and border on both sides, as the boxes' style sheet gives them.
constexpr int kChoicePadding = 2 * (18 + 2) + 8;

// A notice with a button for each choice: the index of the one pressed, -1 for none.
int offerChoices(const QString& text, const QStringList& choices, QWidget* over)
{
    QMessageBox box(QMessageBox::Information, "Lexmire", text, QMessageBox::NoButton, over);
    box.setStyleSheet(windowstyle::messageBoxes());
    std::vector<QAbstractButton*> buttons;
    for (const QString& choice : choices) {
        QPushButton* button = box.addButton(choice, QMessageBox::ActionRole);
        // The box sizes its buttons before their bold face applies: a longer caption is given room.
        button->ensurePolished();
        QFont bold = button->font();
        bold.setBold(true);
        button->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(choice) + kChoicePadding);
        buttons.push_back(button);
    }
    // Esc and the frame's close take the last choice, the one that only closes the box.
    if (!buttons.empty())
        box.setEscapeButton(buttons.back());
    box.exec();
    const auto pressed = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return pressed == buttons.end() ? -1 : int(pressed - buttons.begin());
}

// Characters of the address a line of the question shows: an address has no
// blanks to wrap at, and a long one would otherwise widen the box off the screen.
constexpr qsizetype kAddressLineLength = 64;

LinkAnswer confirmLink(const QString& address, QWidget* over)
{
    QString lines;
    for (qsizetype at = 0; at < address.size(); at += kAddressLineLength)
        lines += (at > 0 ? "\n" : "") + address.mid(at, kAddressLineLength);
    QMessageBox box(QMessageBox::Question, "Lexmire", "Open this address in your web browser?",
        QMessageBox::Open | QMessageBox::Cancel, over);
    box.setStyleSheet(windowstyle::messageBoxes());
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(lines);
    // The address's own lines as cut above, never rewrapped at its "/" and "?".
    if (auto* label = box.findChild<QLabel*>("qt_msgbox_informativelabel")) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(false);
    }
    box.setDefaultButton(QMessageBox::Cancel);
    auto* again = new QCheckBox("Don't ask again until Lexmire ends", &box);
    windowstyle::checkBoxOnNavy(again);
    box.setCheckBox(again);
    const bool open = box.exec() == QMessageBox::Open;
    return { open, open && again->isChecked() };
}

// Runs what can wait until the main window has first painted itself whole
// (the repaint and its flush, children included), so that a start shows the
// window before anything else. With LEXMIRE_REPORT_FIRST_PAINT set, that moment
// is printed as "first-paint <seconds since the epoch> cpu-ms <CPU time so far>",
// as the bare-window reference of the start-up measurement prints its own; set to "quit", the
// program then ends.
class AfterFirstPaint : public QObject {
public:
    explicit AfterFirstPaint(QWidget* window)
        : window_(window)
    {
        window->installEventFilter(this);
        // The client area covers the window: its paint is the window's (the window itself may
        // have nothing left to paint under its opaque children).
        if (auto* main = qobject_cast<QMainWindow*>(window); main && main->centralWidget()) {
            area_ = main->centralWidget();
            area_->installEventFilter(this);
        }
        // A window the desktop keeps from view (started minimised) never paints:
        // what waits for its paint runs after this long anyway.
        QTimer::singleShot(kLongestWaitMs, this, [this] {
            if (!done_)
                finish(false);
        });
    }

    // Runs `work` once the window has painted, or at once if it has.
    void run(std::function<void()> work)
    {
        if (done_)
            work();
        else
            waiting_.push_back(std::move(work));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (done_)
            return false;
        if ((watched == window_ || (area_ && watched == area_)) && event->type() == QEvent::Paint)
            painting_ = true;
        const bool shown = watched == window_ && event->type() == QEvent::Show;
        if (shown && window_->windowHandle() && !hookedHandle_) {
            hookedHandle_ = true;
            window_->windowHandle()->installEventFilter(this);
        }
        // A top level's first paint comes from its expose or a later update request,
        // and that event returns only once every child is drawn and flushed.
        const bool pass = (watched == window_ && event->type() == QEvent::UpdateRequest)
            || (watched == window_->windowHandle() && event->type() == QEvent::Expose);
        if (!pass)
            return false;
        watched->event(event);
        if (painting_)
            finish(true);
        return true;
    }

private:
    void finish(bool painted)
    {
        done_ = true;
        const QString report = qEnvironmentVariable("LEXMIRE_REPORT_FIRST_PAINT");
        if (painted && !report.isNull()) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            // The CPU time every thread has used so far, too: on a busy machine the wall
            // time says as much about the other programs as about this one.
            rusage usage {};
            ::getrusage(RUSAGE_SELF, &usage);
            const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
                + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
            std::printf("first-paint %.6f cpu-ms %.1f\n", std::chrono::duration<double>(now).count(), cpuMs);
            std::fflush(stdout);
        }
        // The rest at the next turn of the event loop, never inside the paint.
        QMetaObject::invokeMethod(
            this,
            [this, quit = report == QLatin1String("quit")] {
                for (auto& work : std::exchange(waiting_, {}))
                    work();
                if (quit)
                    QCoreApplication::quit();
            },
            Qt::QueuedConnection);
    }

    static constexpr int kLongestWaitMs = 2000;
    QWidget* window_;
    QWidget* area_ = nullptr;
    std::vector<std::function<void()>> waiting_;
    bool painting_ = false;
    bool hookedHandle_ = false;
    bool done_ = false;
};

// The embedded word list is read through once, to write the dictionary file the
// server searches; its pages are then handed back, and read again from the program
// file should the list be needed later. Only whole pages inside it are released.
void releasePages(std::string_view bytes)
{
    const auto page = uintptr_t(::sysconf(_SC_PAGESIZE));
    const auto begin = (uintptr_t(bytes.data()) + page - 1) & ~(page - 1);
    const auto end = (uintptr_t(bytes.data()) + bytes.size()) & ~(page - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

// The sizes a window's icon is offered in: a title bar or task switcher shows no
// larger, and the launcher takes the installed icons, not the window's.
constexpr int kLargestWindowIcon = 128;

} // namespace

int main(int argc, char** argv)
{
    // --version and the like are answered before there is any window, so they run without a display.
    if (const auto info = InfoOptions::requestOf(argc, argv); info != InfoOptions::Request::None)
        return InfoOptions::answer(info, argc, argv);

    QApplication app(argc, argv);
    QApplication::setStyle(new LexmireStyle);
    // Controls and pictures share one face, so a size and weight drawn on both is one font.
    QApplication::setFont(Pictures::baseFont());
    QApplication::setApplicationName(DesktopIdentity::kApplicationName);
    // The window manager matches the window to the menu entry by this id.
    QGuiApplication::setDesktopFileName(DesktopIdentity::kDesktopId);

    std::string runtime;
    try {
        runtime = AppPaths::runtimeFolder();
    } catch (const std::exception& error) {
        showError(QString::fromStdString(error.what()));
        return 1;
    }
    const QString runtimeFolder = QString::fromStdString(runtime);
    SingleInstance guard("nerith", runtimeFolder);
    if (guard.anotherCopyRuns()) {
        // The copy holding the guard is asked to come forward; this one ends then.
        QObject::connect(&guard, &SingleInstance::handedOver, &app, &QCoreApplication::quit);
        app.exec();
        return 0;
    }
    PresenceMarker presence("lexmire", runtimeFolder);

    // An exception out of a socket handler is shown and the program goes on.
    setTSockExceptionHandler([](const std::string& message) { showError(QString::fromStdString(message)); });

    TServer* server = nullptr;
    std::unique_ptr<TServer> serverOwner;
    Tdownload* download = nullptr; // the main window's own, once built

    // The game server; built again when the window leaves a game it held.
    const auto buildServer = [] {
        TServer::Options options;
        options.dictionaryPath = AppPaths::dictionaryFile();
        options.wordRecords = embeddedWordList();
        options.dictionaryNotice = [](const std::string& text) {
            showBox(QMessageBox::Information, QString::fromStdString(text), QMessageBox::Ok, nullptr);
        };
        auto built = std::make_unique<TServer>(std::move(options));
        releasePages(embeddedWordList());
        return built;
    };

    // The link to the lobby program: opened after hosting or joining (from the
    // command line or the window), and never written to.
    TSock lobbyLink;
    lobbyLink.setHostName("127.0.0.1");
    lobbyLink.setPortName("9001");

    TchatSetup setup;
    setup.arguments = QApplication::arguments().mid(1);
    setup.settingsFile = AppPaths::settingsFile();
    setup.tileFolders = AppPaths::tileFolders();
    setup.startHosting = [&server] {
        if (!server) // its last rebuild failed, and the window was told why
            throw ESockException("The game server could not be started.");
        server->startListening();
    };
    setup.stopHosting = [&server, &serverOwner, &buildServer] {
        // A server nobody has used has nothing to end.
        if (server && server->listeningPort() == 0 && server->slotsHandedOut() == 0)
            return;
        // The old one goes first: it frees the port and deletes its dictionary
        // file, which the new one writes again.
        server = nullptr;
        serverOwner.reset();
        serverOwner = buildServer();
        server = serverOwner.get();
    };
    AfterFirstPaint* afterPaint = nullptr;
    Tchat* mainWindow = nullptr;
    // Built and shown only when a solo start asks for it, once the main window is up.
    // The main window's tool window: above the main window, under the boxes the main window shows.
    setup.showDownload = [&download, &afterPaint, &mainWindow] {
        afterPaint->run([&download, &mainWindow] {
            if (!download)
                download = new Tdownload(
                    AppPaths::downloadFolder(), LobbyPaths::lobbyUrl(), LobbyPaths::installedLobbyProgram(),
                    [&mainWindow] { mainWindow->Exit1Click(); }, mainWindow);
            download->show();
        });
    };
    setup.openLink = [](const QString& address) {
        // The window hands over only web addresses; anything else stays closed here too.
        const QUrl url(address, QUrl::StrictMode);
        if (url.isValid() && (url.scheme() == "http" || url.scheme() == "https"))
            QDesktopServices::openUrl(url);
    };
    setup.confirmLink = [&mainWindow](const QString& address) { return confirmLink(address, mainWindow); };
    // Set when the start failed and the program is ending: what waited for the paint is dropped.
    bool ending = false;
    setup.afterFirstPaint = [&afterPaint, &ending](std::function<void()> work) {
        afterPaint->run([&ending, work = std::move(work)] {
            if (!ending)
                work();
        });
    };
    setup.showError = [&mainWindow](const QString& text) { showError(text, mainWindow); };
    setup.showNotice = [&mainWindow](const QString& text) { showNotice(text, mainWindow); };
    setup.ask = [&mainWindow](const QString& question) { return ask(question, mainWindow); };
    setup.offerChoices = [&mainWindow](const QString& text, const QStringList& choices) {
        return offerChoices(text, choices, mainWindow);
    };
    setup.lobbyLinkConnected = [&lobbyLink] { return lobbyLink.Connected(); };
    setup.openLobbyLink = [&lobbyLink] {
        // Once per program while it holds; a link that failed (no lobby then) is tried afresh.
        if (lobbyLink.Connected())
            return;
        if (lobbyLink.isOpen())
            lobbyLink.Close();
        lobbyLink.Open();
    };

    Tchat window(setup);
    mainWindow = &window;
    AfterFirstPaint firstPaint(&window);
    afterPaint = &firstPaint;
    // The game server (building it writes the dictionary file) comes right after the
    // window's first paint, before the command line is read; a server that cannot be
    // built is told of and ends the program. A role chosen from the window that quickly
    // has built one already.
    firstPaint.run([&] {
        if (serverOwner)
            return;
        try {
            serverOwner = buildServer();
            server = serverOwner.get();
        } catch (const std::exception& error) {
            ending = true;
            showError(QString::fromStdString(error.what()));
            QApplication::exit(1);
        }
    });
    guard.bringForward = [&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    };

    // A kill closes the window as the user would, so settings and tally are saved.
    onTerminationSignals(&app, [&window] {
        window.close();
        QApplication::quit();
    });

    const QString tallyFile = AppPaths::tallyFile();
    window.tally().loadFromFile(tallyFile);
    window.show();
    // Showing the window asked for the command line to be read after the server; the
    // letter tiles are drawn after that, before the first board needs them, and the icon
    // in every size last: the window manager takes the icon when it comes.
    firstPaint.run([&window] { window.drawPicturesAhead(); });
    firstPaint.run([] { QApplication::setWindowIcon(DesktopIdentity::windowIcon(kLargestWindowIcon)); });
    const int status = app.exec();
    // Told even at the very end: otherwise the games of this session vanish unseen.
    const QString unsaved = window.tally().saveToFile(tallyFile);
    if (!unsaved.isEmpty())
        showBox(QMessageBox::Warning, unsaved, QMessageBox::Ok, nullptr);
    return status;
}
