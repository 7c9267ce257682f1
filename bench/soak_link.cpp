// The soak's two links to the server: a TCP socket, and the in-memory
// transport with every delivery posted to the event loop as a socket's would be.
#include "soak_link.h"

#include "embedded_word_list.h"

#include <QTcpSocket>

namespace {

class TcpLink : public PeerLink {
public:
    explicit TcpLink(int port)
    {
        connect(&socket_, &QTcpSocket::readyRead, this, [this] {
            const QByteArray bytes = socket_.readAll();
            if (onBytes)
                onBytes(bytes);
        });
        connect(&socket_, &QTcpSocket::disconnected, this, [this] {
            if (onClosed)
                onClosed();
        });
        socket_.connectToHost("127.0.0.1", quint16(port));
    }

    bool connected() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
    void write(const std::string& bytes) override { socket_.write(bytes.data(), qint64(bytes.size())); }
    void leave() override
    {
        disconnect(&socket_, nullptr, this, nullptr);
        socket_.disconnectFromHost();
    }
    void abort() override
    {
        disconnect(&socket_, nullptr, this, nullptr);
        socket_.abort();
    }

private:
    QTcpSocket socket_;
};

class MemoryLink : public PeerLink {
public:
    explicit MemoryLink(InMemoryTransport& transport)
        : transport_(transport)
    {
        // Posted with this link as context: a link already gone hears nothing.
        id_ = transport_.connect(
            [this](std::string_view bytes) {
                QMetaObject::invokeMethod(
                    this,
                    [this, copy = QByteArray(bytes.data(), qsizetype(bytes.size()))] {
                        if (onBytes)
                            onBytes(copy);
                    },
                    Qt::QueuedConnection);
            },
            [this] {
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (onClosed)
                            onClosed();
                    },
                    Qt::QueuedConnection);
            });
    }
    ~MemoryLink() override { transport_.hangUp(id_); }

    bool connected() const override { return transport_.isOpen(id_); }
    void write(const std::string& bytes) override { transport_.deliver(id_, bytes); }
    void leave() override { transport_.hangUp(id_); }
    void abort() override { transport_.hangUp(id_); }

private:
    InMemoryTransport& transport_;
    ConnectionId id_ = 0;
};

TServer::Options inProcessOptions(const QString& folder, int secondMs)
{
    TServer::Options options;
    options.dictionaryPath = (folder + "/English").toStdString();
    options.wordRecords = embeddedWordList();
    options.secondMs = secondMs;
    return options;
}

} // namespace

std::unique_ptr<PeerLink> tcpLink(int port) { return std::make_unique<TcpLink>(port); }

std::unique_ptr<PeerLink> memoryLink(InMemoryTransport& transport)
{
    return std::make_unique<MemoryLink>(transport);
}

InProcessServer::InProcessServer(const QString& folder, int secondMs)
    : server(inProcessOptions(folder, secondMs), transport)
{
}
