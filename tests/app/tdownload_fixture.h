// The lobby download window's test bench: an HTTP server inside the test on
// the loopback address (plain, or TLS with a certificate made for the run),
// answering by hand, and the window with its boxes, questions and program
// starts recorded instead of shown or run.
#pragma once

#include "jpeg_module.h"
#include "pump.h"
#include "tdownload.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

// Readable failure messages for Qt strings.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QByteArray& bytes, std::ostream* out) { *out << '"' << bytes.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tdownloadtest {

using testsupport::pumpPending;
using testsupport::pumpUntil;

inline const QString kInstaller = "BrellowLobbySetup.exe";
inline const QString kInstallerPath = "/lobby/" + kInstaller;

// A listener that, given a certificate, speaks TLS on every connection.
class Listener : public QTcpServer {
public:
    QSslConfiguration tls;
    bool useTls = false;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        if (!useTls) {
            QTcpServer::incomingConnection(descriptor);
            return;
        }
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setSslConfiguration(tls);
        socket->startServerEncryption();
        addPendingConnection(socket);
    }
};

// Answers one connection at a time. With respond set it answers as soon as
// the request's header block is in; otherwise the test writes the answer.
class HttpServer {
public:
    HttpServer()
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] { accept(); });
    }

    quint16 port() const { return server.serverPort(); }

    QString url(const QString& path = kInstallerPath, const QString& scheme = "http") const
    {
        return QString("%1://127.0.0.1:%2%3").arg(scheme).arg(port()).arg(path);
    }

    static QByteArray head(const QByteArray& status, const QList<QByteArray>& headers)
    {
        QByteArray text = "HTTP/1.0 " + status + "\r\n";
        for (const QByteArray& header : headers)
            text += header + "\r\n";
        return text + "\r\n";
    }

    // Serves status, headers and body, then ends the connection.
    void serve(const QByteArray& status, const QByteArray& body, const QList<QByteArray>& extra = {})
    {
        respond = [status, body, extra](HttpServer& s) {
            s.send(head(status,
                       QList<QByteArray> { "Content-Type: application/octet-stream",
                           "Content-Length: " + QByteArray::number(body.size()), "Server: lexmire-test" }
                           + extra)
                + body);
            s.finish();
        };
    }

    // Answers every request with a redirect to location.
    void redirect(const QByteArray& location, const QByteArray& status = "302 Found")
    {
        respond = [location, status](HttpServer& s) {
            s.send(head(status, { "Location: " + location, "Content-Length: 0" }));
            s.finish();
        };
    }

    // Sends a header block and then total body bytes, as fast as the client
    // takes them but never more than a little ahead of it, and ends the
    // connection: to the client a body with no end in sight.
    void serveStream(const QList<QByteArray>& headers, qint64 total, const QByteArray& status = "200 OK")
    {
        respond = [headers, total, status](HttpServer& s) {
            s.send(head(status, headers));
            QPointer<QTcpSocket> socket = s.client;
            const QByteArray chunk(64 * 1024, 'Z');
            auto more = [&s, socket, chunk, total] {
                while (socket && socket->state() == QAbstractSocket::ConnectedState
                    && socket->bytesToWrite() < 4 * chunk.size()) {
                    if (s.sent >= total) {
                        socket->disconnectFromHost();
                        return;
                    }
                    const qint64 written
                        = socket->write(chunk.left(qMin<qint64>(chunk.size(), total - s.sent)));
                    if (written <= 0)
                        return;
                    s.sent += written;
                }
            };
            QObject::connect(socket.data(), &QTcpSocket::bytesWritten, socket.data(), more);
            more();
        };
    }

    void send(const QByteArray& bytes)
    {
        client->write(bytes);
        client->flush();
    }
    void finish() { client->disconnectFromHost(); }
    // Ends every connection at once, so that no download waits for more.
    void dropAll()
    {
        for (QTcpSocket* socket : server.findChildren<QTcpSocket*>())
            socket->abort();
    }

    bool requestIn() const { return request.contains("\r\n\r\n"); }

    // A request header's value, or a null array when it was not sent.
    QByteArray header(const QByteArray& name) const
    {
        const QList<QByteArray> lines = request.left(request.indexOf("\r\n\r\n")).split('\n');
        for (QByteArray line : lines.mid(1)) {
            line = line.trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }
    QByteArray requestLine() const { return request.left(request.indexOf("\r\n")); }

    Listener server;
    QPointer<QTcpSocket> client;
    QByteArray request;
    QList<QByteArray> requestLines; // of every request, in order
    int connections = 0;
    qint64 sent = 0;
    bool clientGone = false;
    std::function<void(HttpServer&)> respond;

private:
    void accept()
    {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            ++connections;
            client = socket;
            request.clear();
            clientGone = false;
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const bool wasIn = requestIn();
                request += socket->readAll();
                if (!wasIn && requestIn()) {
                    // The answer goes to the connection that asked, even when
                    // the client has opened another since.
                    client = socket;
                    requestLines << requestLine();
                    if (respond)
                        respond(*this);
                }
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] { clientGone = true; });
        }
    }
};

// A port where TLS cannot be had: every connection is accepted and dropped
// at once, as by a server that does not speak it. With hold set it stays
// silent instead, like a port that never answers.
class NoTlsServer {
public:
    NoTlsServer()
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                ++connections;
                if (!hold)
                    socket->abort();
            }
        });
    }
    quint16 port() const { return server.serverPort(); }

    QTcpServer server;
    int connections = 0;
    bool hold = false;
};

inline QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + i / 251) & 0xFF);
    return bytes;
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every name in a folder, hidden ones included.
inline QStringList folderEntries(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

struct Start {
    QString program;
    QStringList arguments;
};

class TdownloadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QApplication::setQuitOnLastWindowClosed(false); }

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        lobbyProgram = folder.filePath("Brellow/BrellowLobby");
        installer = folder.filePath(kInstaller);
    }

    // The window with its boxes, questions and program starts recorded
    // instead of shown or run. Its encrypted attempt goes to noTls, so a
    // plain address falls back at once unless a test says otherwise.
    // With realStarts the window starts programs itself.
    void open(const QString& url, const QString& installerFolder = QString(), bool realStarts = false)
    {
        window = std::make_unique<Tdownload>(installerFolder.isEmpty() ? folder.path() : installerFolder, url,
            lobbyProgram, [this] { ++exits; });
        window->showMessage = [this](const QString& text) { messages << text; };
        window->showError = [this](const QString& text) { errors << text; };
        window->askQuestion = [this](const QString& text) {
            questions << text;
            return answer(text);
        };
        if (!realStarts) {
            window->startProgram = [this](const QString& program, const QStringList& arguments) {
                starts.push_back({ program, arguments });
                return startSucceeds;
            };
        }
        window->makeHttpClient = [] { return DownloadModule::load({ LEXMIRE_DOWNLOAD_MODULE }); };
        window->decodePicture
            = [](const QByteArray& data) { return JpegModule::decode(data, { LEXMIRE_JPEG_MODULE }); };
        window->setSecurePort(noTls.port());
        window->show();
    }

    QLabel* label(const char* name) { return window->findChild<QLabel*>(name); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    QString text(const char* name) { return label(name)->text(); }

    // Runs script from inside the download's wait: the click below returns
    // only when the download is over. Whatever happens in the script, the
    // server then drops the connection so that the download ends.
    void clickDownloadWhile(std::function<void()> script)
    {
        bool ran = false;
        QTimer::singleShot(0, window.get(), [&] {
            struct Drop {
                HttpServer& server;
                ~Drop() { server.dropAll(); }
            } drop { server };
            script();
            ran = true;
        });
        QTest::mouseClick(button("getbutton"), Qt::LeftButton);
        EXPECT_TRUE(ran) << "the download ended before the script ran";
    }

    // Runs body inside the program's own event loop, as in the game. A body
    // that hangs is cut off by the safety timer, which ends every loop;
    // false then.
    static bool runInProgramLoop(const std::function<void()>& body)
    {
        bool finished = false;
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        safety.start(20000);
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            body();
            finished = !QCoreApplication::closingDown() && safety.isActive();
            QCoreApplication::exit(0);
        });
        QCoreApplication::exec();
        return finished;
    }

    void expectIdleAfterFailure()
    {
        EXPECT_EQ(text("infolabel"), "Download Aborted");
        EXPECT_EQ(window->downloadState(), Tdownload::Aborted);
        EXPECT_TRUE(button("getbutton")->isEnabled());
        EXPECT_FALSE(button("abortbutton")->isEnabled());
        EXPECT_TRUE(starts.empty());
        EXPECT_EQ(exits, 0);
    }

    QTemporaryDir folder;
    QString lobbyProgram;
    QString installer;
    HttpServer server;
    NoTlsServer noTls;
    std::unique_ptr<Tdownload> window;
    std::vector<Start> starts;
    QStringList messages;
    QStringList errors;
    QStringList questions;
    std::function<bool(const QString&)> answer = [](const QString&) { return true; };
    bool startSucceeds = true;
    int exits = 0;
};

} // namespace tdownloadtest
