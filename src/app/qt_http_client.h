// HttpClient on Qt Network: what the lexmire-download module offers.
#pragma once

#include "http_client.h"

#include <QNetworkAccessManager>

class QtHttpClient : public HttpClient {
public:
    QtHttpClient();
    HttpFetch* get(const QUrl& address, const QList<Header>& headers, qint64 readBuffer,
        HttpFetch::Events events) override;
    void release(HttpFetch* fetch) override;

private:
    QNetworkAccessManager manager_;
};
