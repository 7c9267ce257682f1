// Reading the lobby's download address: the file name it gives, its https
// form, and which server an address reaches.
#include "download_address.h"

#include <gtest/gtest.h>

namespace {

using namespace DownloadAddress;

TEST(DownloadAddress, InstallerNameIsTheLastPathSegmentDecoded)
{
    EXPECT_EQ(installerName(QUrl("http://h/lobby/BrellowLobbySetup.exe")), "BrellowLobbySetup.exe");
    EXPECT_EQ(installerName(QUrl("http://h/Setup%20Lobby.exe")), "Setup Lobby.exe");
    EXPECT_EQ(installerName(QUrl("https://h:8443/a/b/c.run?x=1#y")), "c.run");
    // The query and the fragment never name the file, whatever they hold.
    EXPECT_EQ(installerName(QUrl("http://h/lobby/Setup.exe?f=/../.profile")), "Setup.exe");
    EXPECT_EQ(installerName(QUrl("http://h/lobby/Setup.exe#/../../.bashrc")), "Setup.exe");
    EXPECT_EQ(installerName(QUrl("http://h/lobby/Caf%C3%A9.exe")), QString::fromUtf8("Caf\xc3\xa9.exe"));
}

TEST(DownloadAddress, NamesThatAreNoPlainFileInTheFolderAreRefused)
{
    for (const char* address :
        { "http://h/lobby/", "http://h", "http://h/.profile", "http://h/lobby/..", "http://h/lobby/.",
            "http://h/lobby/..%2F.profile", "http://h/lobby/a%2Fb", "http://h/a%5Cb.exe", "http://h/a%00.exe",
            "http://h/a%0D%0Ab.exe", "http://h/a%7Fb", "http://h/%2E%2E", "http://h/%2Eprofile" }) {
        EXPECT_EQ(installerName(QUrl(address)), QString()) << address;
    }
    // As long as a file system keeps, and no longer.
    EXPECT_EQ(installerName(QUrl("http://h/" + QString(255, 'a'))), QString(255, 'a'));
    EXPECT_EQ(installerName(QUrl("http://h/" + QString(256, 'a'))), QString());
}

TEST(DownloadAddress, OnlyHttpAndHttpsWithAHostAreFetched)
{
    EXPECT_TRUE(isWebAddress(QUrl("http://h/x")));
    EXPECT_TRUE(isWebAddress(QUrl("https://h/x")));
    for (const char* address : { "file:///etc/passwd", "ftp://h/x", "data:,MZ", "http:///x", "/lobby/x", "" })
        EXPECT_FALSE(isWebAddress(QUrl(address))) << address;
}

TEST(DownloadAddress, SecureFormKeepsHostPathAndQueryOnTheHttpsPort)
{
    EXPECT_EQ(secureForm(QUrl("http://downloads.example/lobby/Setup.exe?v=2")),
        QUrl("https://downloads.example/lobby/Setup.exe?v=2"));
    // A plain port says nothing about TLS: https's own port is tried.
    EXPECT_EQ(secureForm(QUrl("http://downloads.example:8080/lobby/Setup.exe")),
        QUrl("https://downloads.example/lobby/Setup.exe"));
    EXPECT_EQ(secureForm(QUrl("http://127.0.0.1/x"), 4443), QUrl("https://127.0.0.1:4443/x"));
    EXPECT_FALSE(secureForm(QUrl("https://h/x")).isValid());
    EXPECT_FALSE(secureForm(QUrl("ftp://h/x")).isValid());
}

TEST(DownloadAddress, SameServerMeansSchemeHostAndPort)
{
    EXPECT_TRUE(sameServer(QUrl("http://H.example/a"), QUrl("http://h.example:80/b?c")));
    EXPECT_TRUE(sameServer(QUrl("https://h/a"), QUrl("https://h:443/b")));
    EXPECT_FALSE(sameServer(QUrl("http://h/a"), QUrl("http://h:8080/a")));
    EXPECT_FALSE(sameServer(QUrl("http://h/a"), QUrl("https://h/a")));
    EXPECT_FALSE(sameServer(QUrl("http://h/a"), QUrl("http://h.evil/a")));
    EXPECT_FALSE(sameServer(QUrl("http://h/a"), QUrl("http://h@evil/a")));
}

TEST(DownloadAddress, PlayerSeesHostsAndAddressesInAscii)
{
    EXPECT_EQ(serverLabel(QUrl("http://mirror.example/x")), "mirror.example");
    EXPECT_EQ(serverLabel(QUrl("http://mirror.example:80/x")), "mirror.example");
    EXPECT_EQ(serverLabel(QUrl("https://mirror.example:8443/x")), "mirror.example:8443");
    EXPECT_EQ(serverLabel(QUrl("http://[::1]:81/x")), "[::1]:81");
    // A Cyrillic letter that looks like a Latin one shows as what it is.
    EXPECT_EQ(
        serverLabel(QUrl(QString::fromUtf8("http://br\xd0\xb5llow.example/"))), "xn--brllow-4of.example");
    EXPECT_EQ(shownAddress(QUrl(QString::fromUtf8("http://h/Caf\xc3\xa9.exe"))), "http://h/Caf%C3%A9.exe");
    EXPECT_EQ(
        shownAddress(QUrl("http://trusted.example@evil.example/x")), "http://trusted.example@evil.example/x");
}

} // namespace
