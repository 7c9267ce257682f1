// The lobby download window against an HTTP server inside the test, on the
// loopback address, answering by hand: its controls, progress and buttons;
// and where the lobby lives.
#include "lobby_paths.h"
#include "tdownload_fixture.h"
#include "window_palette.h"

#include <QFileInfo>
#include <QScreen>

#include <csignal>
#include <sys/resource.h>

using namespace tdownloadtest;

namespace {

TEST_F(TdownloadTest, OpensCentredWithEveryControlAndText)
{
    open(server.url());
    EXPECT_EQ(window->windowTitle(), "Download The Brellow Lobby");
    // Above its main window only: the main window's message boxes come in front of it.
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->windowFlags() & Qt::WindowType_Mask, Qt::Tool);

    const std::pair<const char*, const char*> labels[] = {
        { "Label2", "IS CLOSED" },
        { "Label1",
            "Download The Brellow Lobby Now to play this  and other exciting games online with other "
            "players!" },
        { "Label7",
            "To proceed to the game without the ability to play against others click the button below." },
        { "Label3",
            "Note: Even if you are playing offline, you will need to configure your FIREWALL to allow the "
            "game to access the internet components." },
        { "Label5",
            "If you already have The Brellow Lobby and you wish to play with others then click the button "
            "below to close this game and open The Brellow Lobby." },
        { "infolabel", "" },
        { "infolabel3", "" },
        { "infolabel2", "" },
    };
    for (const auto& [name, expected] : labels) {
        ASSERT_NE(label(name), nullptr) << name;
        EXPECT_EQ(text(name), QString::fromLatin1(expected)) << name;
    }
    const std::pair<const char*, const char*> buttons[] = {
        { "getbutton", "Download And Install The Brellow Lobby Now" },
        { "abortbutton", "Stop Download" },
        { "Button1", "Play Solo Game" },
        { "Button2", "Play with Others" },
    };
    for (const auto& [name, expected] : buttons) {
        ASSERT_NE(button(name), nullptr) << name;
        EXPECT_EQ(button(name)->text(), QString::fromLatin1(expected)) << name;
        EXPECT_TRUE(button(name)->isVisible()) << name;
    }
    EXPECT_FALSE(label("infolabel2")->isVisible());
    EXPECT_TRUE(label("Label2")->font().bold());
    // Red, in the shade that reads on the window's navy.
    for (const char* name : { "Label2", "Label3" }) {
        label(name)->ensurePolished();
        EXPECT_EQ(label(name)->palette().color(QPalette::WindowText), windowpalette::warningRed()) << name;
    }
    EXPECT_TRUE(label("infolabel")->font().bold());
    EXPECT_TRUE(label("infolabel3")->font().bold());

    // The illustration is shown, decoded from the embedded JPEG.
    const QPixmap picture = label("Image1")->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(200, 150));

    // Nothing to stop before a download runs.
    EXPECT_TRUE(button("getbutton")->isEnabled());
    EXPECT_FALSE(button("abortbutton")->isEnabled());
    EXPECT_EQ(window->downloadState(), Tdownload::NotStarted);

    const QPoint offset = window->frameGeometry().center() - window->screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
    // Every text fits: wrapped labels get all their lines, buttons their whole caption.
    for (QLabel* text : window->findChildren<QLabel*>()) {
        if (text->isVisible() && text->wordWrap()) {
            EXPECT_GE(text->height(), text->heightForWidth(text->width()))
                << text->objectName().toStdString();
        }
    }
    for (QPushButton* control : window->findChildren<QPushButton*>())
        EXPECT_GE(control->width(), control->sizeHint().width()) << control->objectName().toStdString();
}

TEST_F(TdownloadTest, CompleteDownloadIsWrittenInstalledAndEndsTheGame)
{
    const QByteArray body = pattern(70000);
    server.serve("200 OK", body);
    open(server.url());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    EXPECT_EQ(readFile(installer), body);
    EXPECT_EQ(text("infolabel"), "Received 70000 bytes");
    EXPECT_EQ(text("infolabel3"), "Installing");
    EXPECT_EQ(text("infolabel2"), kInstaller);
    EXPECT_EQ(window->downloadState(), Tdownload::Started);
    EXPECT_TRUE(button("getbutton")->isEnabled());
    EXPECT_FALSE(button("abortbutton")->isEnabled());
    // A downloaded file is made executable before it is started.
    EXPECT_TRUE(QFile::permissions(installer) & QFile::ExeOwner);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, installer);
    EXPECT_EQ(starts[0].arguments, QStringList({ "/SP-", "/silent", "/noicons" }));
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
    // The player was asked first, and the installer stands alone in its folder.
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(folderEntries(folder.path()), QStringList { kInstaller });
}

TEST_F(TdownloadTest, RequestCarriesTheBrowserHeadersAndAsksForTheInstallerPath)
{
    server.serve("200 OK", "x");
    open(server.url());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    EXPECT_TRUE(server.requestLine().startsWith("GET " + kInstallerPath.toLatin1() + " HTTP/1."))
        << server.requestLine().toStdString();
    EXPECT_EQ(server.header("User-Agent"), "Mozilla/3.0 (compatible)");
    EXPECT_EQ(server.header("Accept"), "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    EXPECT_EQ(server.header("Host"), "127.0.0.1:" + QByteArray::number(server.server.serverPort()));
    EXPECT_EQ(server.connections, 1);
}

TEST_F(TdownloadTest, LabelsFollowHeadersAndEveryChunkAndASecondPressIsImpossible)
{
    open(server.url());
    clickDownloadWhile([&] {
        ASSERT_TRUE(pumpUntil([&] { return server.requestIn(); }));
        EXPECT_EQ(text("infolabel"), "Loading");
        EXPECT_EQ(window->downloadState(), Tdownload::Started);
        EXPECT_FALSE(button("getbutton")->isEnabled());
        EXPECT_TRUE(button("abortbutton")->isEnabled());

        // Four header lines and no length: the body runs to the end of the
        // connection, as an HTTP/1.0 server sends it.
        server.send(HttpServer::head("200 OK",
            { "Server: lexmire-test", "Content-Type: application/octet-stream", "X-Mirror: one",
                "Date: today" }));
        ASSERT_TRUE(pumpUntil([&] { return text("infolabel") != "Loading"; }));
        EXPECT_EQ(text("infolabel"), "Loading....");
        EXPECT_EQ(text("infolabel3"), "Downloading: " + kInstaller);

        // Pressing the download button again starts nothing, and neither
        // does a start from elsewhere (a second request would get this 404).
        server.serve("404 Not Found", "second request");
        QTest::mouseClick(button("getbutton"), Qt::LeftButton);
        window->getbuttonClick();
        pumpPending();
        EXPECT_EQ(text("infolabel"), "Loading....");
        EXPECT_EQ(window->downloadState(), Tdownload::Started);

        server.send(pattern(1000));
        ASSERT_TRUE(pumpUntil([&] { return text("infolabel") == "1000 bytes"; }))
            << text("infolabel").toStdString();
        server.send(pattern(1500).mid(1000));
        ASSERT_TRUE(pumpUntil([&] { return text("infolabel") == "1500 bytes"; }))
            << text("infolabel").toStdString();
        EXPECT_FALSE(button("getbutton")->isEnabled());
        server.finish();
    });
    EXPECT_EQ(text("infolabel"), "Received 1500 bytes");
    EXPECT_EQ(readFile(installer), pattern(1500));
    EXPECT_EQ(server.connections, 1);
    EXPECT_EQ(starts.size(), 1u);
}

TEST_F(TdownloadTest, ServerErrorsEndAsAbortedAndStartNothing)
{
    for (const QByteArray status : { "404 Not Found", "400 Bad Request", "500 Internal Server Error" }) {
        SCOPED_TRACE(status.toStdString());
        starts.clear();
        server.serve(status, "<html>no such file</html>");
        open(server.url());
        QTest::mouseClick(button("getbutton"), Qt::LeftButton);
        expectIdleAfterFailure();
        EXPECT_NE(text("infolabel3"), "Installing");
        EXPECT_TRUE(messages.isEmpty());
    }
}

TEST_F(TdownloadTest, RefusedConnectionEndsAsAborted)
{
    // A port that was just free: nothing listens there now.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();

    open(QString("http://127.0.0.1:%1%2").arg(port).arg(kInstallerPath));
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    expectIdleAfterFailure();
    EXPECT_EQ(text("infolabel3"), "");
    EXPECT_EQ(readFile(installer), QByteArray());
}

TEST_F(TdownloadTest, StopDownloadEndsTheRequestRemovesThePartialFileAndStartsNothing)
{
    open(server.url());
    clickDownloadWhile([&] {
        ASSERT_TRUE(pumpUntil([&] { return server.requestIn(); }));
        server.send(HttpServer::head("200 OK", { "Content-Length: 100000" }) + pattern(3000));
        ASSERT_TRUE(pumpUntil([&] { return text("infolabel") == "3000 bytes"; }))
            << text("infolabel").toStdString();

        QTest::mouseClick(button("abortbutton"), Qt::LeftButton);
        // The stop runs inside the download's wait and is seen at once.
        EXPECT_EQ(text("infolabel"), "Download has been aborted.");
        EXPECT_EQ(text("infolabel3"), "Download Aborted");
        EXPECT_EQ(window->downloadState(), Tdownload::Aborted);
        // The connection really ends, before the server has sent the rest.
        EXPECT_TRUE(pumpUntil([&] { return server.clientGone; }));
    });
    expectIdleAfterFailure();
    EXPECT_EQ(text("infolabel3"), "Download Aborted");
    // What arrived is not an installer: nothing of it stays.
    EXPECT_EQ(folderEntries(folder.path()), QStringList());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(TdownloadTest, NewDownloadAfterAFailureStartsAfreshAndReplacesTheFile)
{
    server.serve("404 Not Found", pattern(5000));
    open(server.url());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    ASSERT_EQ(window->downloadState(), Tdownload::Aborted);

    server.serve("200 OK", "MZ-installer");
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    EXPECT_EQ(readFile(installer), "MZ-installer");
    EXPECT_EQ(text("infolabel"), "Received 12 bytes");
    EXPECT_EQ(window->downloadState(), Tdownload::Started);
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(exits, 1);
}

TEST_F(TdownloadTest, QuittingTheProgramDuringTheWaitAbortsTheRequest)
{
    open(server.url());
    const auto quitWhileLoading = [&] {
        clickDownloadWhile([&] {
            ASSERT_TRUE(pumpUntil([&] { return server.requestIn(); }));
            server.send(HttpServer::head("200 OK", { "Content-Length: 100000" }) + pattern(10));
            ASSERT_TRUE(pumpUntil([&] { return text("infolabel") == "10 bytes"; }));
            QCoreApplication::quit();
        });
    };
    EXPECT_TRUE(runInProgramLoop(quitWhileLoading));
    expectIdleAfterFailure();
    EXPECT_TRUE(pumpUntil([&] { return server.clientGone; }));
}

TEST_F(TdownloadTest, WindowDeletedDuringTheWaitEndsTheRequestSafely)
{
    open(server.url());
    const auto deleteWhileLoading = [&] {
        QObject script;
        QTimer::singleShot(0, &script, [&] {
            ASSERT_TRUE(pumpUntil([&] { return server.requestIn(); }));
            server.send(HttpServer::head("200 OK", { "Content-Length: 100000" }) + pattern(10));
            ASSERT_TRUE(pumpUntil([&] { return text("infolabel") == "10 bytes"; }));
            window.release()->deleteLater();
        });
        window->getbuttonClick();
    };
    EXPECT_TRUE(runInProgramLoop(deleteWhileLoading));
    EXPECT_EQ(window, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return server.clientGone; }));
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(exits, 0);
}

TEST_F(TdownloadTest, FileThatCannotBeCreatedIsReportedAndChangesNothingElse)
{
    server.serve("200 OK", "x");
    const QString missing = folder.filePath("no/such/folder");
    open(server.url(), missing);
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    EXPECT_EQ(errors, QStringList { "Cannot create file " + missing + "/" + kInstaller });
    EXPECT_EQ(text("infolabel"), "");
    EXPECT_EQ(text("infolabel3"), "");
    EXPECT_TRUE(button("getbutton")->isEnabled());
    EXPECT_FALSE(button("abortbutton")->isEnabled());
    pumpPending();
    EXPECT_EQ(server.connections, 0);
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(exits, 0);
}

// The HTTP client is loaded at the first download, once; without it nothing is
// written and a later download, with it, goes as usual.
TEST_F(TdownloadTest, HttpClientIsMadeAtTheFirstDownloadAndItsAbsenceIsReported)
{
    server.serve("200 OK", "MZ-lobby");
    open(server.url());
    int made = 0;
    bool available = false;
    window->makeHttpClient = [&]() -> std::unique_ptr<HttpClient> {
        ++made;
        return available ? DownloadModule::load({ LEXMIRE_DOWNLOAD_MODULE }) : nullptr;
    };
    EXPECT_EQ(made, 0);

    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    EXPECT_EQ(errors, QStringList { "The download module lexmire-download.so is missing" });
    EXPECT_FALSE(QFileInfo::exists(installer));
    EXPECT_TRUE(button("getbutton")->isEnabled());
    EXPECT_FALSE(button("abortbutton")->isEnabled());
    pumpPending();
    EXPECT_EQ(server.connections, 0);

    available = true;
    answer = [](const QString&) { return false; };
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    EXPECT_EQ(text("infolabel3"), "Download Aborted"); // the player said no to installing
    EXPECT_EQ(server.connections, 1);
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    EXPECT_EQ(server.connections, 2);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(errors.size(), 1);

    // Only a module that offers the client's entry point loads.
    QFile notAModule(folder.filePath("not-a-module.so"));
    ASSERT_TRUE(notAModule.open(QIODevice::WriteOnly) && notAModule.write("MZ") == 2);
    notAModule.close();
    EXPECT_EQ(DownloadModule::load({ folder.filePath("missing.so"), notAModule.fileName() }), nullptr);
    EXPECT_TRUE(DownloadModule::fileName().endsWith("lexmire-download.so"));
}

// Lowers the largest file this process may write, as a full disk would stop
// it, and puts the old bound back at the end.
class FileSizeBound {
public:
    explicit FileSizeBound(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old);
        // Past the bound a write fails with EFBIG instead of killing us.
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = old;
        lowered.rlim_cur = bytes;
        applied = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeBound()
    {
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
    }
    bool applied = false;

private:
    rlimit old {};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(TdownloadTest, FailedWriteEndsTheDownloadAndNeverStartsACutInstaller)
{
    server.serve("200 OK", pattern(5000));
    open(server.url());
    {
        FileSizeBound full(1000);
        ASSERT_TRUE(full.applied);
        QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    }
    expectIdleAfterFailure();
    EXPECT_EQ(errors, QStringList { "Cannot write file " + installer });
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_EQ(folderEntries(folder.path()), QStringList());
}

TEST_F(TdownloadTest, InstallerThatCannotStartIsReportedAndTheGameGoesOn)
{
    startSucceeds = false;
    server.serve("200 OK", "MZ");
    open(server.url());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(messages, QStringList { "An Error has Occurred." });
    EXPECT_EQ(text("infolabel3"), "Installing");
    EXPECT_EQ(window->downloadState(), Tdownload::Started);
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(button("getbutton")->isEnabled());
}

TEST_F(TdownloadTest, DownloadedInstallerReallyRunsWithItsParameters)
{
    // An installer that writes down its arguments, renamed into place whole.
    server.serve(
        "200 OK", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args.tmp\" && mv \"$0.args.tmp\" \"$0.args\"\n");
    open(server.url(), QString(), true);
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(exits, 1);
    ASSERT_TRUE(pumpUntil([&] { return QFile::exists(installer + ".args"); }));
    EXPECT_EQ(readFile(installer + ".args"), "/SP-\n/silent\n/noicons\n");
}

TEST_F(TdownloadTest, PlaySoloGameOnlyHidesTheWindow)
{
    open(server.url());
    ASSERT_TRUE(window->isVisible());
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TdownloadTest, PlayWithOthersStartsAnInstalledLobbyOrExplainsWhereToFindIt)
{
    open(server.url());
    QTest::mouseClick(button("Button2"), Qt::LeftButton);
    EXPECT_EQ(messages,
        QStringList {
            "Please close the game and open the Brellow Lobby using the icon on your desktop or using "
            "the your Window's start-up menu." });
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(exits, 0);

    ASSERT_TRUE(QDir().mkpath(QFileInfo(lobbyProgram).absolutePath()));
    QFile lobby(lobbyProgram);
    ASSERT_TRUE(lobby.open(QIODevice::WriteOnly));
    lobby.close();
    messages.clear();
    startSucceeds = false;
    QTest::mouseClick(button("Button2"), Qt::LeftButton);
    EXPECT_EQ(messages, QStringList { "An Error has Occurred." });
    EXPECT_EQ(exits, 0);

    messages.clear();
    starts.clear();
    startSucceeds = true;
    QTest::mouseClick(button("Button2"), Qt::LeftButton);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, lobbyProgram);
    EXPECT_TRUE(starts[0].arguments.isEmpty());
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(messages.isEmpty());
}

// Restores an environment variable when the test ends.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name(name)
        , had(qEnvironmentVariableIsSet(name))
        , old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }

private:
    const char* name;
    bool had;
    QByteArray old;
};

TEST(LobbyPaths, UrlNamesTheInstallerAndTheEnvironmentCanReplaceIt)
{
    {
        ScopedEnv unset("LEXMIRE_LOBBY_URL", "");
        const QUrl url(LobbyPaths::lobbyUrl());
        EXPECT_EQ(url.scheme(), "http");
        EXPECT_TRUE(url.path().startsWith("/lobby/"));
        EXPECT_FALSE(url.fileName().isEmpty());
    }
    ScopedEnv mirror("LEXMIRE_LOBBY_URL", "http://127.0.0.1:8080/mirror/Setup.run");
    EXPECT_EQ(LobbyPaths::lobbyUrl(), "http://127.0.0.1:8080/mirror/Setup.run");
}

TEST(LobbyPaths, InstalledLobbyLivesInTheUsersDataFolder)
{
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    ScopedEnv home("XDG_DATA_HOME", data.path().toUtf8());
    EXPECT_EQ(LobbyPaths::installedLobbyProgram(), data.path() + "/Brellow/BrellowLobby");
}

} // namespace
