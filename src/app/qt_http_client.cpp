#include "qt_http_client.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

// One request: a QNetworkReply and the events it passes on. It belongs to the manager,
// so whatever the client still holds goes with it.
class QtHttpFetch : public QObject, public HttpFetch {
public:
    QtHttpFetch(QNetworkReply* reply, Events events, QObject* owner)
        : QObject(owner)
        , reply_(reply)
        , events_(std::move(events))
    {
        connect(reply_, &QNetworkReply::metaDataChanged, this, [this] { tell(events_.headers); });
        connect(reply_, &QNetworkReply::readyRead, this, [this] { tell(events_.data); });
        // Queued: an abort from inside the window's own handlers ends the request after
        // they return, never in their midst.
        connect(
            reply_, &QNetworkReply::finished, this, [this] { tell(events_.finished); }, Qt::QueuedConnection);
    }

    int status() const override
    {
        const QVariant value = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        return value.isValid() ? value.toInt() : 0;
    }
    int headerLines() const override { return int(reply_->rawHeaderPairs().size()); }
    qint64 contentLength() const override
    {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        return length.isValid() ? length.toLongLong() : -1;
    }
    QUrl redirectTarget() const override
    {
        return reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    }
    QUrl url() const override { return reply_->url(); }
    QByteArray readAll() override { return reply_->readAll(); }
    bool isFinished() const override { return reply_->isFinished(); }
    bool succeeded() const override { return reply_->error() == QNetworkReply::NoError; }
    void abort() override { reply_->abort(); }

    void forget()
    {
        events_ = {};
        reply_->disconnect(this);
        reply_->deleteLater();
        deleteLater();
    }

private:
    // A copy: the handler may release this fetch while it runs.
    static void tell(const std::function<void()>& event)
    {
        if (const std::function<void()> call = event)
            call();
    }

    QNetworkReply* reply_;
    Events events_;
};

} // namespace

QtHttpClient::QtHttpClient()
{
    manager_.setObjectName("HttpCli1");
    // The installer comes straight from the maker's server; a proxy set up for other
    // programs is not used.
    manager_.setProxy(QNetworkProxy::NoProxy);
}

HttpFetch* QtHttpClient::get(
    const QUrl& address, const QList<Header>& headers, qint64 readBuffer, HttpFetch::Events events)
{
    QNetworkRequest request { address };
    for (const Header& header : headers)
        request.setRawHeader(header.first, header.second);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // Every redirect goes back to the window, where the player decides about other hosts.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = manager_.get(request);
    reply->setReadBufferSize(readBuffer);
    return new QtHttpFetch(reply, std::move(events), &manager_);
}

void QtHttpClient::release(HttpFetch* fetch)
{
    if (fetch)
        static_cast<QtHttpFetch*>(fetch)->forget();
}
