// The download window's HTTP client, behind an interface: the client itself is built on
// Qt Network and lives in the lexmire-download module, loaded at the first download. Qt
// Network and the libraries it brings (TLS, Kerberos, proxies) cost milliseconds of every
// start and over a megabyte of memory, and most games never download anything.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QUrl>

#include <functional>
#include <memory>

// One GET request as it runs. Its events come from the event loop, never from inside a
// call into it; finished comes last, and after it nothing more.
class HttpFetch {
public:
    struct Events {
        std::function<void()> headers; // the status line and headers may have come
        std::function<void()> data; // body bytes are waiting
        std::function<void()> finished; // the request is over, well or not
    };

    virtual ~HttpFetch() = default;

    // The answer's status code, 0 until the status line has come.
    virtual int status() const = 0;
    // How many header lines the answer carried.
    virtual int headerLines() const = 0;
    // The Content-Length the answer gave; -1 if none.
    virtual qint64 contentLength() const = 0;
    // A redirect's target as the answer gave it (possibly relative); empty if none.
    virtual QUrl redirectTarget() const = 0;
    // The address requested.
    virtual QUrl url() const = 0;
    // The body bytes waiting, taken.
    virtual QByteArray readAll() = 0;
    // Over, and over without a fault (a refused connection, a failed handshake, a cut
    // body, an abort).
    virtual bool isFinished() const = 0;
    virtual bool succeeded() const = 0;
    // Ends the request now; finished follows from the event loop.
    virtual void abort() = 0;
};

class HttpClient {
public:
    using Header = QPair<QByteArray, QByteArray>;

    virtual ~HttpClient() = default;
    // Starts a GET over HTTP/1.1 with these header lines, never through a proxy, following
    // no redirect, holding at most readBuffer bytes unread. The fetch is the client's: it
    // ends with the client, or with release.
    virtual HttpFetch* get(
        const QUrl& address, const QList<Header>& headers, qint64 readBuffer, HttpFetch::Events events)
        = 0;
    // Forgets a fetch: no event of it comes any more, and it is deleted from the event loop.
    virtual void release(HttpFetch* fetch) = 0;
};

// The module's one entry point, looked up by name after the module is loaded.
#define LEXMIRE_HTTP_CLIENT_FACTORY "lexmire_make_http_client"
using HttpClientFactory = HttpClient* (*)();

namespace DownloadModule {

// The module file's name, and the client of the first module of paths that loads; null if
// none does.
QString fileName();
std::unique_ptr<HttpClient> load(const QStringList& paths);
// The client of the module beside the program or in the installed layout.
std::unique_ptr<HttpClient> load();

}
