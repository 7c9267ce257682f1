// TSock: the program's one TCP/UDP endpoint over POSIX sockets. Readiness is
// delivered by the Qt event loop on the GUI thread; events are plain handlers.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include <netinet/in.h>

class QSocketNotifier;

enum TSocketType { stStream, stDatagram };
enum TLineBreak { lbCRLF, lbCR, lbLF, lbSmart };
enum TSocketInfo { siLookup, siConnect, siClose, siListen, siReceive, siSend, siAccept, siError };

// Display names of the eight information kinds, in declaration order.
const char* socketInfoName(TSocketInfo kind);

// The WinSock symbolic name of an error code, or "UNKNOWN ERROR".
std::string socketErrorName(int code);

// The WinSock code of the same meaning as a POSIX errno (refused 10061, reset 10054,
// aborted 10053, timed out 10060, ...). Unmapped values give 10000 + errno so
// they still read as an error code.
int winsockCodeFromErrno(int err);

// Exceptions that escape an event handler while an endpoint dispatches a socket
// notification cannot travel through the Qt event loop, so they are handed to
// this function (the program shows them in its error box). Without one they
// are logged as Qt warnings.
void setTSockExceptionHandler(std::function<void(const std::string& message)> handler);

class ESockException : public std::runtime_error {
public:
    explicit ESockException(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

// How an endpoint's connection came to its end, so owners act on a reason
// instead of comparing information texts.
struct TSockEnd {
    enum Reason {
        ClosedHere, // Close was called on the endpoint
        ClosedByPeer, // the peer ended the stream
        ConnectFailed, // the connection was never made; code tells why
        Failed, // an established connection broke (reset, abort); code tells why
    };
    Reason reason = ClosedHere;
    int code = 0; // the WinSock code of ConnectFailed and Failed, else 0
};

class TSock;
using TNotifyEvent = std::function<void(TSock* Sender)>;
using TNotifyInfoEvent = std::function<void(TSock* Sender, TSocketInfo SocketInfo, const std::string& Msg)>;
using TNotifyReadEvent = std::function<void(TSock* Sender, int Count)>;
using TNotifyAutoEvent = std::function<void(TSock* Sender, TSock* NewSock)>;
using TNotifyEndEvent = std::function<void(TSock* Sender, const TSockEnd& End)>;

// Handlers may Close, Open or delete any endpoint, including the one that is
// notifying. To delete the notifying endpoint itself, prefer deleteLater(): a
// direct delete is survived, but nothing after it in the handler may touch it.
class TSock : public QObject {
    Q_OBJECT
public:
    explicit TSock(QObject* owner = nullptr);
    ~TSock() override;

    TSock(const TSock&) = delete;
    TSock& operator=(const TSock&) = delete;

    // Properties.
    TSocketType SocketType() const { return socketType_; }
    void setSocketType(TSocketType type);
    const std::string& HostName() const { return hostName_; }
    void setHostName(const std::string& name);
    const std::string& PortName() const { return portName_; }
    void setPortName(const std::string& name);
    bool Blocking() const { return blocking_; }
    void setBlocking(bool blocking);
    bool AutoAccept() const { return autoAccept_; }
    void setAutoAccept(bool autoAccept) { autoAccept_ = autoAccept; }
    bool Listen() const { return listening_; }
    void setListen(bool listen);
    TLineBreak LineBreak() const { return lineBreak_; }
    void setLineBreak(TLineBreak lineBreak) { lineBreak_ = lineBreak; }
    int32_t BlockingTimeout() const { return blockingTimeout_; }
    void setBlockingTimeout(int32_t seconds) { blockingTimeout_ = seconds; }
    bool Connected() const { return connected_; }
    int Tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // The bound local port of an open socket (0 when none): lets a listener on
    // port "0" report the port the system chose.
    int localPort() const;
    // Dotted address and port of the last accepted or datagram peer.
    std::string peerAddress() const;
    int peerPort() const;
    bool isOpen() const { return fd_ >= 0; }
    // Bytes given to Send and not yet taken by the transport.
    std::size_t pendingOutput() const { return outbound_.size(); }

    // Operations.
    bool Open();
    bool Close();
    bool Send(const std::string& text);
    std::string Receive(int count = -1);
    bool Accept(TSock*& NewSock);
    bool SendDatagram(const std::string& text, const std::string& host);
    void ReceiveDatagram(std::string& text, std::string& host);

    // Events; assignable and copyable from one endpoint to another.
    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TNotifyInfoEvent OnInfo;
    TNotifyReadEvent OnRead;
    TNotifyEvent OnWrite;
    TNotifyEvent OnAccept;
    TNotifyAutoEvent OnAutoAccept;
    // Once per connection (listeners have none): the first of a local Close,
    // the peer's close and a failure. A failed endpoint stays open, as the
    // information events describe, until its owner closes it; that Close is
    // not reported again.
    TNotifyEndEvent OnEnded;

private:
    friend class TSockStream;

    void info(TSocketInfo kind, const std::string& text);
    // Marks the endpoint connected, issues text and runs OnConnect; false
    // when a handler destroyed the endpoint meanwhile.
    bool announceConnected(const char* text);
    void attach(int fd);
    void registerEvents();
    void unregisterEvents();
    void updateNotifiers();
    void onReadable();
    void onWritable();
    void readStream();
    void completeConnect();
    void writeStep();
    void connectionRequest();
    void reportError(int code);
    // Runs OnEnded unless this connection's end was already reported.
    void reportEnd(TSockEnd::Reason reason, int code = 0);
    bool resolveDestination();
    in_addr lookupHost(const std::string& name);
    uint16_t lookupPort(const std::string& name);
    bool flushOutbound();
    bool sendBlocking();
    bool receiveBlocking(int count);
    bool openStream(bool haveHost);
    bool openDatagram();
    int takePending();
    TSock* adoptAccepted(int fd);

    int fd_ = -1;
    TSocketType socketType_ = stStream;
    std::string hostName_;
    std::string portName_;
    bool blocking_ = false;
    bool autoAccept_ = false;
    bool listening_ = false;
    TLineBreak lineBreak_ = lbSmart;
    int32_t blockingTimeout_ = 0;
    bool connected_ = false;
    bool connecting_ = false;
    // Readiness bookkeeping; see updateNotifiers().
    bool notificationsOff_ = false;
    bool writeReadyPending_ = false;
    bool readPaused_ = false;
    bool sendFailed_ = false;
    uint64_t openSerial_ = 0;
    uint64_t endReportedSerial_ = 0; // openSerial_ of the last connection whose end was reported
    bool closingForPeer_ = false;
    int tag_ = 0;
    std::string inbound_;
    std::string outbound_;
    sockaddr_in peer_ {};
    sockaddr_in destination_ {};
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
};

// Stream adapter over one endpoint; the game itself does not use it.
class TSockStream {
public:
    explicit TSockStream(TSock& sock)
        : sock_(sock)
    {
    }
    // Reads up to count bytes into buffer; returns how many were copied.
    int Read(void* buffer, int count);
    // Sends count bytes; returns count.
    int Write(const void* buffer, int count);
    // Seeking is not supported: always 0.
    int64_t Seek(int64_t offset, int origin)
    {
        (void)offset;
        (void)origin;
        return 0;
    }

private:
    TSock& sock_;
};
