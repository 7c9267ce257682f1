// lexmire: the desktop program. One copy per user; it creates the main
// window, the hidden game server and the companion windows, and takes its
// role (solo, host, joiner) from the command line.
#include "app_paths.h"
#include "desktop_identity.h"
#include "embedded_word_list.h"
#include "info_options.h"
#include "single_instance.h"
#include "termination_signals.h"
#include "tchat.h"
#include "lobby_paths.h"
#include "tdownload.h"
#include "tserver.h"
#include "ttallylist.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QUrl>

namespace {

void showError(const QString& text)
{
    QMessageBox::critical(QApplication::activeWindow(), "Lexmire", text);
}

void showNotice(const QString& text)
{
    QMessageBox::information(QApplication::activeWindow(), "Lexmire", text);
}

bool ask(const QString& question)
{
    return QMessageBox::question(QApplication::activeWindow(), "Lexmire", question) == QMessageBox::Yes;
}

// Characters of the address a line of the question shows: an address has no
// blanks to wrap at, and a long one would otherwise widen the box off the screen.
constexpr qsizetype kAddressLineLength = 64;

LinkAnswer confirmLink(const QString& address)
{
    QString lines;
    for (qsizetype at = 0; at < address.size(); at += kAddressLineLength)
        lines += (at > 0 ? "\n" : "") + address.mid(at, kAddressLineLength);
    QMessageBox box(QMessageBox::Question, "Lexmire", "Open this address in your web browser?",
        QMessageBox::Open | QMessageBox::Cancel, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(lines);
    // The address's own lines as cut above, never rewrapped at its "/" and "?".
    if (auto* label = box.findChild<QLabel*>("qt_msgbox_informativelabel")) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(false);
    }
    box.setDefaultButton(QMessageBox::Cancel);
    auto* again = new QCheckBox("Don't ask again until Lexmire ends", &box);
    box.setCheckBox(again);
    const bool open = box.exec() == QMessageBox::Open;
    return { open, open && again->isChecked() };
}

} // namespace

int main(int argc, char** argv)
{
    // --version and the like are answered before there is any window, so they run without a display.
    if (const auto info = InfoOptions::requestOf(argc, argv); info != InfoOptions::Request::None)
        return InfoOptions::answer(info, argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(DesktopIdentity::kApplicationName);
    QApplication::setWindowIcon(DesktopIdentity::windowIcon());
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

    auto gamerunning = std::make_shared<GameRunning>();
    TServer* server = nullptr;
    std::unique_ptr<TServer> serverOwner;
    Tdownload* download = nullptr;

    // The game server; built again when the window leaves a game it held.
    const auto buildServer = [&gamerunning] {
        TServer::Options options;
        options.dictionaryPath = AppPaths::dictionaryFile();
        options.wordRecords = embeddedWordList();
        options.dictionaryNotice = [](const std::string& text) {
            QMessageBox::information(nullptr, "Lexmire", QString::fromStdString(text));
        };
        options.gamerunning = gamerunning;
        return std::make_unique<TServer>(std::move(options));
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
    setup.gamerunning = gamerunning;
    setup.startHosting = [&server] {
        if (!server) // its last rebuild failed, and the window was told why
            throw ESockException("The game server could not be started.");
        server->startListening();
    };
    setup.stopHosting = [&server, &serverOwner, &buildServer, &gamerunning] {
        // A server nobody has used has nothing to end.
        if (server && server->listeningPort() == 0 && server->slotsHandedOut() == 0)
            return;
        // The old one goes first: it frees the port and deletes its dictionary
        // file, which the new one writes again.
        server = nullptr;
        serverOwner.reset();
        gamerunning->value = false;
        serverOwner = buildServer();
        server = serverOwner.get();
    };
    setup.showDownload = [&download] { download->show(); };
    setup.openLink = [](const QString& address) {
        // The window hands over only web addresses; anything else stays closed here too.
        const QUrl url(address, QUrl::StrictMode);
        if (url.isValid() && (url.scheme() == "http" || url.scheme() == "https"))
            QDesktopServices::openUrl(url);
    };
    setup.confirmLink = confirmLink;
    setup.showError = showError;
    setup.showNotice = showNotice;
    setup.ask = ask;
    setup.openLobbyLink = [&lobbyLink] {
        // Once per program while it holds; a link that failed (no lobby then) is tried afresh.
        if (lobbyLink.Connected())
            return;
        if (lobbyLink.isOpen())
            lobbyLink.Close();
        lobbyLink.Open();
    };

    Tchat window(setup);
    guard.bringForward = [&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    };

    try {
        serverOwner = buildServer();
        server = serverOwner.get();
    } catch (const std::exception& error) {
        showError(QString::fromStdString(error.what()));
        return 1;
    }

    Tdownload downloadWindow(AppPaths::downloadFolder(), LobbyPaths::lobbyUrl(), LobbyPaths::installedLobbyProgram(),
                             [&window] { window.Exit1Click(); });
    download = &downloadWindow;

    // A kill closes the window as the user would, so settings and tally are saved.
    onTerminationSignals(&app, [&window] {
        window.close();
        QApplication::quit();
    });

    const QString tallyFile = AppPaths::tallyFile();
    window.tally().loadFromFile(tallyFile);
    window.show();
    const int status = app.exec();
    // Told even at the very end: otherwise the games of this session vanish unseen.
    const QString unsaved = window.tally().saveToFile(tallyFile);
    if (!unsaved.isEmpty())
        QMessageBox::warning(nullptr, "Lexmire", unsaved);
    return status;
}
