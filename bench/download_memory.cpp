// download_memory: the memory the lobby download window holds while it saves
// a large body, beside a plain client that saves the same body from the same
// server with no read bound (the reference). The server runs in a child
// process and sends as fast as the connection takes it.
//
//   download_memory [--megabytes N]     (default 256)
//
// Prints each run's peak resident memory above the program's own before the
// run, and their ratios: window / reference, and window / body size.
#include "tdownload.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kDefaultMegabytes = 256;
constexpr int kMaxMegabytes = 4096;
constexpr size_t kChunk = 64 * 1024;
constexpr size_t kMaxRequest = 64 * 1024;

// The child: answers every connection with a header and `size` bytes, then
// closes it. Runs until killed.
[[noreturn]] void serve(int listener, qint64 size)
{
    std::string chunk(kChunk, 'Z');
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
        + std::to_string(size) + "\r\n\r\n";
    for (;;) {
        const int peer = ::accept(listener, nullptr, nullptr);
        if (peer < 0)
            continue;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequest) {
            const ssize_t got = ::read(peer, buffer, sizeof buffer);
            if (got <= 0)
                break;
            request.append(buffer, size_t(got));
        }
        bool open = ::write(peer, head.data(), head.size()) == ssize_t(head.size());
        for (qint64 left = size; open && left > 0;) {
            const size_t part = size_t(std::min<qint64>(left, qint64(kChunk)));
            const ssize_t done = ::write(peer, chunk.data(), part);
            open = done > 0;
            left -= done;
        }
        ::close(peer);
    }
}

// Kilobytes of a /proc/self/status field, such as VmRSS or VmHWM.
long statusKilobytes(const char* field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field)) + 1).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Starts a new peak: the kernel forgets the highest resident size so far.
bool resetPeak()
{
    QFile clear("/proc/self/clear_refs");
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// Peak growth in kilobytes while run() works.
long peakGrowth(const std::function<void()>& run)
{
    const long before = statusKilobytes("VmRSS:");
    if (!resetPeak())
        std::fprintf(stderr, "cannot reset the peak; the figure includes earlier runs\n");
    run();
    return statusKilobytes("VmHWM:") - before;
}

// The reference: a plain client that reads each chunk as it comes and writes
// it out, with the client's read buffer left unbounded.
bool plainDownload(const QUrl& url, const QString& path, qint64 size)
{
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    QNetworkReply* reply = manager.get(QNetworkRequest(url));
    QObject::connect(reply, &QNetworkReply::readyRead, [&] { file.write(reply->readAll()); });
    QEventLoop wait;
    QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished())
        wait.exec();
    file.write(reply->readAll());
    const bool whole = reply->error() == QNetworkReply::NoError && file.size() == size;
    delete reply;
    return whole;
}

} // namespace

int main(int argc, char** argv)
{
    int megabytes = kDefaultMegabytes;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--megabytes") == 0)
            megabytes = std::clamp(std::atoi(argv[i + 1]), 1, kMaxMegabytes);
    const qint64 size = qint64(megabytes) * 1024 * 1024;

    // The server is forked before Qt starts, so that the child holds no Qt state.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(listener, 4) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("listen");
        return 1;
    }
    const int port = ntohs(address.sin_port);
    const pid_t server = ::fork();
    if (server == 0)
        serve(listener, size);
    ::close(listener);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QUrl url(QString("http://127.0.0.1:%1/lobby/Setup.bin").arg(port));

    // Nothing listens on this port any more, so the window's encrypted
    // attempt is refused at once and it goes on to the plain address.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int closedPort = probe.serverPort();
    probe.close();

    // The window is answered "No" when it asks to start the file, which
    // removes it; the question names the size it saved.
    QString question;
    const long window = peakGrowth([&] {
        Tdownload download(folder.path(), url.toString(), QString(), [] {});
        download.makeHttpClient = [] { return DownloadModule::load({ LEXMIRE_DOWNLOAD_MODULE }); };
        download.setSizeLimit(size);
        download.setSecurePort(closedPort);
        download.askQuestion = [&question](const QString& text) {
            question = text;
            return false;
        };
        download.showError = [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
        download.getbuttonClick();
    });
    const bool windowWhole = question.contains(QString::number(size) + " bytes");

    const long plain = peakGrowth([&] { plainDownload(url, folder.filePath("plain.bin"), size); });
    const bool plainWhole = QFile(folder.filePath("plain.bin")).size() == size;
    QFile::remove(folder.filePath("plain.bin"));

    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);

    std::printf("body                               %8d MiB\n", megabytes);
    std::printf("window, peak growth                %8.1f MiB%s\n", window / 1024.0,
        windowWhole ? "" : "  (incomplete)");
    std::printf("plain client (reference), growth   %8.1f MiB%s\n", plain / 1024.0,
        plainWhole ? "" : "  (incomplete)");
    std::printf("window / reference                 %8.3f\n", plain > 0 ? double(window) / plain : 0.0);
    std::printf("window growth / body               %8.4f\n", double(window) / (megabytes * 1024.0));
    return 0;
}
