// The lobby download window against servers that try to turn it against the
// player: answers without end, redirects elsewhere, names that reach out of
// the folder, links planted at the installer's name, and plain addresses that
// anyone on the way could serve.
#include "download_limits.h"
#include "tdownload_fixture.h"

#include <QFileInfo>
#include <QProcess>

#include <optional>
#include <unistd.h>
#include <utility>

using namespace tdownloadtest;

namespace {

// Refused bodies never reach the disk, or leave it again: nothing but
// planted files remains in the folder.
TEST_F(TdownloadTest, EndlessBodyStopsAtTheCapAndLeavesNoFile)
{
    constexpr qint64 kCap = 1024 * 1024;
    // Far past the cap and with no length: only the cap ends it.
    server.serveStream({ "Content-Type: application/octet-stream" }, 64 * kCap);
    open(server.url());
    window->setSizeLimit(kCap);
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    expectIdleAfterFailure();
    EXPECT_EQ(text("infolabel3"), "The download is too large for an installer");
    EXPECT_EQ(folderEntries(folder.path()), QStringList());
    EXPECT_TRUE(questions.isEmpty());
    // The download ended the connection long before the server was done.
    EXPECT_TRUE(pumpUntil([&] { return server.clientGone; }));
    EXPECT_LT(server.sent, 32 * kCap);
}

TEST_F(TdownloadTest, EndlessErrorPagesAndRedirectNotesAreCut)
{
    // Far more than the system's socket buffers hold, so that only a cut
    // keeps the server from sending it all.
    constexpr qint64 kEndless = qint64(256) * 1024 * 1024;
    for (const QByteArray& status : { QByteArray("404 Not Found"), QByteArray("302 Found") }) {
        SCOPED_TRACE(status.toStdString());
        server.sent = 0;
        server.clientGone = false;
        server.requestLines.clear();
        server.serveStream({ "Location: /lobby/elsewhere" }, kEndless, status);
        // Only the first answer runs on; the next one is a plain refusal.
        server.respond = [stream = server.respond, first = true](HttpServer& s) mutable {
            if (std::exchange(first, false)) {
                stream(s);
                return;
            }
            s.send(HttpServer::head("404 Not Found", { "Content-Length: 0" }));
            s.finish();
        };
        open(server.url());
        QTest::mouseClick(button("getbutton"), Qt::LeftButton);
        expectIdleAfterFailure();
        EXPECT_LT(server.sent, kEndless / 4);
        // The redirect, cut short, still leads on.
        EXPECT_EQ(server.requestLines.size(), status.startsWith("302") ? 2 : 1);
    }
}

TEST_F(TdownloadTest, BodyOfExactlyTheCapIsAnInstaller)
{
    constexpr int kCap = 300000;
    server.serveStream({ "Content-Type: application/octet-stream" }, kCap);
    open(server.url());
    window->setSizeLimit(kCap);
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    EXPECT_EQ(text("infolabel"), "Received 300000 bytes");
    EXPECT_EQ(QFileInfo(installer).size(), kCap);
    EXPECT_EQ(starts.size(), 1u);
}

TEST_F(TdownloadTest, AnnouncedLengthOverTheCapIsRefusedBeforeAnyByteIsWritten)
{
    // The cap as shipped: the header alone ends the download.
    open(server.url());
    clickDownloadWhile([&] {
        ASSERT_TRUE(pumpUntil([&] { return server.requestIn(); }));
        server.send(
            HttpServer::head("200 OK", { "Content-Length: " + QByteArray::number(kInstallerSizeLimit + 1) })
            + pattern(2000));
        EXPECT_TRUE(pumpUntil([&] { return server.clientGone; }));
    });
    expectIdleAfterFailure();
    EXPECT_EQ(text("infolabel3"), "The download is too large for an installer");
    EXPECT_EQ(folderEntries(folder.path()), QStringList());

    // One byte less is an installer.
    server.serve("200 OK", pattern(100));
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    EXPECT_EQ(text("infolabel"), "Received 100 bytes");
}

TEST_F(TdownloadTest, DownloadLargerThanTheFreeSpaceIsRefused)
{
    open(server.url());
    QStringList asked;
    window->freeSpace = [&asked](const QString& where) {
        asked << where;
        return qint64(4000);
    };

    // Announced larger than the folder can take.
    server.serve("200 OK", pattern(5000));
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    expectIdleAfterFailure();
    EXPECT_EQ(text("infolabel3"), "Not enough free space for the download");
    EXPECT_EQ(asked, QStringList { folder.path() });
    EXPECT_EQ(folderEntries(folder.path()), QStringList());

    // Unannounced, it stops where the space ends.
    server.serveStream({ "Content-Type: application/octet-stream" }, 5000);
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    expectIdleAfterFailure();
    EXPECT_EQ(text("infolabel3"), "Not enough free space for the download");
    EXPECT_EQ(folderEntries(folder.path()), QStringList());

    // What fits goes through.
    server.serve("200 OK", pattern(4000));
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    EXPECT_EQ(text("infolabel"), "Received 4000 bytes");
    EXPECT_EQ(starts.size(), 1u);
}

TEST_F(TdownloadTest, FinishedDownloadAsksWithItsAddressAndSizeAndNoStartsNothing)
{
    answer = [this](const QString&) {
        // No second download replaces the file while the player decides.
        window->getbuttonClick();
        return false;
    };
    server.serve("200 OK", pattern(70000));
    open(server.url());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    pumpPending();
    EXPECT_EQ(server.connections, 1);

    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(server.url())) << questions[0].toStdString();
    EXPECT_TRUE(questions[0].contains("70000 bytes")) << questions[0].toStdString();
    EXPECT_TRUE(questions[0].contains(kInstaller));
    // Over plain HTTP the player is told that the file may have been changed.
    EXPECT_TRUE(questions[0].contains("not encrypted"));
    expectIdleAfterFailure();
    EXPECT_EQ(text("infolabel3"), "Download Aborted");
    // A refused installer is not kept.
    EXPECT_EQ(folderEntries(folder.path()), QStringList());
}

TEST_F(TdownloadTest, PlainAddressIsTriedOverTlsFirstAndFallsBackWhenTlsCannotBeHad)
{
    open(server.url());
    clickDownloadWhile([&] {
        ASSERT_TRUE(pumpUntil([&] { return server.requestIn(); }));
        // The plain address is asked only after the encrypted attempt failed.
        EXPECT_EQ(noTls.connections, 1);
        server.serve("200 OK", "MZ");
        server.respond(server);
    });
    EXPECT_EQ(text("infolabel"), "Received 2 bytes");
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(server.url()));
    EXPECT_EQ(starts.size(), 1u);
}

TEST_F(TdownloadTest, SilentTlsPortIsGivenUpWhenItsDeadlineTicks)
{
    noTls.hold = true;
    server.serve("200 OK", "MZ");
    open(server.url());
    auto* deadline = window->findChild<QTimer*>("secureAttemptTimer");
    ASSERT_NE(deadline, nullptr);
    clickDownloadWhile([&] {
        ASSERT_TRUE(pumpUntil([&] { return noTls.connections == 1; }));
        pumpPending();
        EXPECT_TRUE(deadline->isActive());
        EXPECT_EQ(deadline->interval(), kSecureAttemptTimeoutMs);
        EXPECT_EQ(server.connections, 0);
        window->secureAttemptExpired();
        ASSERT_TRUE(pumpUntil([&] { return server.requestIn(); }));
        EXPECT_FALSE(deadline->isActive());
    });
    EXPECT_EQ(text("infolabel"), "Received 2 bytes");
    EXPECT_EQ(starts.size(), 1u);
}

TEST_F(TdownloadTest, HttpsAddressIsNeverTriedInPlain)
{
    open(QString("https://127.0.0.1:%1%2").arg(noTls.port()).arg(kInstallerPath));
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    expectIdleAfterFailure();
    EXPECT_EQ(noTls.connections, 1);
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(TdownloadTest, RedirectToAnotherHostNeedsItsOwnYes)
{
    HttpServer mirror;
    mirror.serve("200 OK", "MZ-mirror", { "Content-Disposition: attachment; filename=\".profile\"" });
    const QString elsewhere = mirror.url("/files/Other.exe");
    server.redirect(elsewhere.toLatin1());
    answer = [](const QString&) { return false; };
    open(server.url());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(QString("127.0.0.1:%1").arg(mirror.port())))
        << questions[0].toStdString();
    EXPECT_TRUE(questions[0].contains(elsewhere));
    expectIdleAfterFailure();
    EXPECT_EQ(mirror.connections, 0);
    EXPECT_EQ(folderEntries(folder.path()), QStringList());

    // Yes to the host, then yes to the file it served.
    questions.clear();
    answer = [](const QString&) { return true; };
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[1].contains(elsewhere)) << questions[1].toStdString();
    EXPECT_EQ(mirror.requestLines, QList<QByteArray> { "GET /files/Other.exe HTTP/1.1" });
    // The name still comes from the configured address alone.
    EXPECT_EQ(readFile(installer), "MZ-mirror");
    EXPECT_EQ(folderEntries(folder.path()), QStringList { kInstaller });
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, installer);
}

TEST_F(TdownloadTest, RedirectOnTheSameServerIsFollowedAndAChainEnds)
{
    int hops = 0;
    server.respond = [&hops](HttpServer& s) {
        if (++hops < 3) {
            s.send(HttpServer::head(
                "302 Found", { "Location: /lobby/mirror/" + QByteArray::number(hops), "Content-Length: 0" }));
        } else {
            s.send(HttpServer::head("200 OK", { "Content-Length: 2" }) + "MZ");
        }
        s.finish();
    };
    open(server.url());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    EXPECT_EQ(server.requestLines.size(), 3) << server.requestLines.join(" | ").toStdString();
    EXPECT_EQ(server.requestLines.last(), "GET /lobby/mirror/2 HTTP/1.1");
    // Only the question before the start.
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(server.url("/lobby/mirror/2")));
    EXPECT_EQ(starts.size(), 1u);

    // A server that redirects for ever is left after a few hops.
    server.requestLines.clear();
    server.redirect("/lobby/again");
    questions.clear();
    starts.clear();
    exits = 0;
    open(server.url());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    expectIdleAfterFailure();
    EXPECT_EQ(server.requestLines.size(), 1 + kMaxRedirects);
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(TdownloadTest, QueryAndServerNeverNameTheFile)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString downloads = home.filePath("downloads");
    ASSERT_TRUE(QDir().mkpath(downloads));
    server.serve("200 OK", "MZ", { "Content-Disposition: attachment; filename=\"../.profile\"" });
    open(server.url(kInstallerPath + "?f=/../.profile#/../.bashrc"), downloads);
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    // The query still reaches the server; the fragment never leaves.
    EXPECT_EQ(server.requestLine(), "GET " + kInstallerPath.toLatin1() + "?f=/../.profile HTTP/1.1");
    EXPECT_EQ(folderEntries(downloads), QStringList { kInstaller });
    EXPECT_EQ(folderEntries(home.path()), QStringList { "downloads" });
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, downloads + '/' + kInstaller);
}

TEST_F(TdownloadTest, AddressesThatNameNoPlainFileAreRefusedBeforeAnyRequest)
{
    for (const char* path : { "/lobby/", "/lobby/.profile", "/lobby/..", "/lobby/..%2F.profile",
             "/lobby/a%5Cb.exe", "/lobby/a%00b.exe", "/lobby/a%0Ab.exe" }) {
        SCOPED_TRACE(path);
        errors.clear();
        open(server.url(QString::fromLatin1(path)));
        QTest::mouseClick(button("getbutton"), Qt::LeftButton);
        EXPECT_EQ(errors, QStringList { "The lobby's address names no installer file: " + server.url(path) });
        EXPECT_TRUE(button("getbutton")->isEnabled());
        EXPECT_EQ(text("infolabel"), "");
    }
    pumpPending();
    EXPECT_EQ(server.connections, 0);
    EXPECT_EQ(noTls.connections, 0);
    EXPECT_EQ(folderEntries(folder.path()), QStringList());
    EXPECT_TRUE(starts.empty());
}

TEST_F(TdownloadTest, LinksPlantedAtTheInstallerNameAreReplacedNeverFollowed)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString victim = elsewhere.filePath("victim");
    const QString notYet = elsewhere.filePath("not-yet");
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("precious");
    file.close();
    ASSERT_TRUE(QFile::setPermissions(victim, QFile::ReadOwner | QFile::WriteOwner));

    // A link to a file, a dangling link and a hard link, one download each.
    const std::function<bool()> plants[] = {
        [&] { return QFile::link(victim, installer); },
        [&] { return QFile::link(notYet, installer); },
        [&] {
            return ::link(QFile::encodeName(victim).constData(), QFile::encodeName(installer).constData())
                == 0;
        },
    };
    for (const auto& plant : plants) {
        QFile::remove(installer);
        ASSERT_TRUE(plant());
        starts.clear();
        server.serve("200 OK", "MZ-installer");
        open(server.url());
        QTest::mouseClick(button("getbutton"), Qt::LeftButton);

        EXPECT_EQ(readFile(victim), "precious");
        EXPECT_EQ(QFile::permissions(victim) & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther), 0);
        EXPECT_FALSE(QFileInfo::exists(notYet));
        const QFileInfo written(installer);
        EXPECT_FALSE(written.isSymLink());
        EXPECT_EQ(readFile(installer), "MZ-installer");
        EXPECT_TRUE(written.permissions() & QFile::ExeOwner);
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0].program, installer);
    }
}

TEST_F(TdownloadTest, InstallerSwappedBeforeTheStartIsNotStarted)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString other = elsewhere.filePath("other");
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    // While the player reads the question, the installer's name is pointed
    // at another file.
    answer = [&](const QString&) {
        EXPECT_TRUE(QFile::remove(installer));
        EXPECT_TRUE(QFile::link(other, installer));
        return true;
    };
    server.serve("200 OK", "MZ");
    open(server.url());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(messages, QStringList { "An Error has Occurred." });
    EXPECT_EQ(QFile::permissions(other) & QFile::ExeOwner, 0);
    EXPECT_EQ(exits, 0);
}

// A TLS server for 127.0.0.1 with a certificate made for this run and
// trusted by the window, so that the encrypted attempt can succeed.
class TdownloadTlsTest : public TdownloadTest {
protected:
    static void SetUpTestSuite()
    {
        TdownloadTest::SetUpTestSuite();
        if (!QSslSocket::supportsSsl())
            return;
        QTemporaryDir keys;
        QProcess openssl;
        openssl.setWorkingDirectory(keys.path());
        openssl.start("openssl",
            { "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                "-keyout", "key.pem", "-out", "cert.pem", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                "subjectAltName=IP:127.0.0.1" });
        if (!openssl.waitForFinished(20000) || openssl.exitCode() != 0)
            return;
        certificate.emplace(readFile(keys.filePath("cert.pem")));
        key.emplace(readFile(keys.filePath("key.pem")), QSsl::Ec);
    }

    void SetUp() override
    {
        TdownloadTest::SetUp();
        if (!certificate || certificate->isNull() || !key || key->isNull())
            GTEST_SKIP() << "no TLS backend or no openssl to make a certificate";
        tls.server.useTls = true;
        tls.server.tls = QSslConfiguration::defaultConfiguration();
        tls.server.tls.setLocalCertificate(*certificate);
        tls.server.tls.setPrivateKey(*key);
        saved = QSslConfiguration::defaultConfiguration();
        QSslConfiguration trusting = saved;
        trusting.addCaCertificate(*certificate);
        QSslConfiguration::setDefaultConfiguration(trusting);
    }

    void TearDown() override
    {
        if (!saved.isNull())
            QSslConfiguration::setDefaultConfiguration(saved);
    }

    // Made once the application runs: the TLS backend must not start before.
    static inline std::optional<QSslCertificate> certificate;
    static inline std::optional<QSslKey> key;
    HttpServer tls;
    QSslConfiguration saved;
};

TEST_F(TdownloadTlsTest, InstallerComesOverTlsWhenTheServerOffersIt)
{
    tls.serve("200 OK", "MZ-secure");
    open(server.url());
    window->setSecurePort(tls.port());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    EXPECT_EQ(readFile(installer), "MZ-secure");
    EXPECT_EQ(server.connections, 0);
    ASSERT_EQ(questions.size(), 1);
    const QString secure = tls.url(kInstallerPath, "https");
    EXPECT_TRUE(questions[0].contains(secure)) << questions[0].toStdString();
    EXPECT_FALSE(questions[0].contains("not encrypted"));
    EXPECT_EQ(starts.size(), 1u);
}

TEST_F(TdownloadTlsTest, AnAnswerOverTlsStandsAndIsNotRetriedInPlain)
{
    tls.serve("404 Not Found", "no such file");
    server.serve("200 OK", "MZ-plain");
    open(server.url());
    window->setSecurePort(tls.port());
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);

    expectIdleAfterFailure();
    EXPECT_EQ(tls.connections, 1);
    EXPECT_EQ(server.connections, 0);

    // Nor is a redirect from it to a plain host of someone else's.
    tls.redirect(server.url("/elsewhere/Setup.exe").replace("127.0.0.1", "localhost").toLatin1());
    answer = [](const QString&) { return false; };
    QTest::mouseClick(button("getbutton"), Qt::LeftButton);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(QString("localhost:%1").arg(server.port())));
    expectIdleAfterFailure();
    EXPECT_EQ(server.connections, 0);
}

} // namespace
