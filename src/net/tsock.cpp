// TSock core: properties, readiness registration and dispatch, and the
// event-driven stream operations (open, close, send, receive).
#include "tsock.h"
#include "tsock_internal.h"
#include "tsock_lookup.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QtGlobal>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <utility>

using namespace tsockdetail;

namespace {

std::function<void(const std::string&)>& escapedExceptionHandler()
{
    static std::function<void(const std::string&)> handler;
    return handler;
}

// Called from the notification slots: whatever a handler threw stops there,
// because an exception must not unwind through the event loop.
void reportEscapedException()
{
    std::string message = "Unknown exception";
    try {
        throw;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
    }
    const auto handler = escapedExceptionHandler();
    if (handler) {
        try {
            handler(message);
            return;
        } catch (...) {
        }
    }
    qWarning("TSock: exception in an event handler: %s", message.c_str());
}

bool setNonBlocking(int fd, bool on)
{
    const int flags = fcntl(fd, F_GETFL, 0);
    if (flags < 0)
        return false;
    return fcntl(fd, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK)) == 0;
}

} // namespace

void setTSockExceptionHandler(std::function<void(const std::string& message)> handler)
{
    escapedExceptionHandler() = std::move(handler);
}

// ---------------------------------------------------------------------------
// Construction and properties

TSock::TSock(QObject* owner)
    : QObject(owner)
    , readNotifier_(std::make_unique<QSocketNotifier>(QSocketNotifier::Read))
    , writeNotifier_(std::make_unique<QSocketNotifier>(QSocketNotifier::Write))
{
    // The notifiers live as long as the endpoint and are pointed at each new
    // descriptor; a disabled notifier costs the event loop nothing.
    connect(readNotifier_.get(), &QSocketNotifier::activated, this, &TSock::onReadable);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, &TSock::onWritable);
    peer_.sin_family = AF_INET;
    destination_.sin_family = AF_INET;
}

TSock::~TSock()
{
    // By now the owner may be half torn down (a parent's members are gone
    // before its children die), so closing must not call back into it.
    OnConnect = nullptr;
    OnDisconnect = nullptr;
    OnInfo = nullptr;
    OnRead = nullptr;
    OnWrite = nullptr;
    OnAccept = nullptr;
    OnAutoAccept = nullptr;
    OnEnded = nullptr;
    if (fd_ >= 0)
        Close();
}

void TSock::setSocketType(TSocketType type)
{
    if (listening_)
        throw ESockException("SocketType - Can't Assign Socket Type While Listening");
    if (connected_)
        throw ESockException("SocketType - Can't Assign Socket Type While Connected");
    socketType_ = type;
}

void TSock::setHostName(const std::string& name)
{
    QPointer<TSock> self(this);
    if (connected_ && socketType_ == stStream) {
        info(siLookup, "Setting HostName While Connected Has No Effect");
        if (!self)
            return;
    }
    hostName_ = name;
    if (connected_ && socketType_ == stDatagram && !name.empty())
        destination_.sin_addr = lookupHost(name);
}

void TSock::setPortName(const std::string& name)
{
    QPointer<TSock> self(this);
    if (connected_) {
        info(siLookup, "Setting PortName While Connected Has No Effect");
        if (!self)
            return;
    }
    portName_ = name;
}

void TSock::setBlocking(bool blocking)
{
    blocking_ = blocking;
    if (fd_ >= 0)
        registerEvents();
}

int TSock::localPort() const
{
    if (fd_ < 0)
        return 0;
    sockaddr_in local {};
    socklen_t length = sizeof local;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

std::string TSock::peerAddress() const { return dottedAddress(peer_.sin_addr); }

int TSock::peerPort() const { return ntohs(peer_.sin_port); }

// ---------------------------------------------------------------------------
// Information messages and lookups

void TSock::info(TSocketInfo kind, const std::string& text)
{
    if (!OnInfo)
        return;
    // A copy keeps the handler alive even if it deletes this endpoint.
    const TNotifyInfoEvent handler = OnInfo;
    try {
        handler(this, kind, text);
    } catch (...) {
        throw ESockException("Error here");
    }
}

void TSock::reportError(int code)
{
    info(siError, "Error #" + std::to_string(code) + " (" + socketErrorName(code) + ")");
}

void TSock::reportEnd(TSockEnd::Reason reason, int code)
{
    if (listening_ || openSerial_ == 0 || endReportedSerial_ == openSerial_)
        return;
    endReportedSerial_ = openSerial_;
    if (OnEnded) {
        const TNotifyEndEvent handler = OnEnded;
        handler(this, TSockEnd { reason, code });
    }
}

in_addr TSock::lookupHost(const std::string& name)
{
    info(siLookup, "Lookup Of Host " + name);
    return tsocklookup::resolveHost(name);
}

uint16_t TSock::lookupPort(const std::string& name)
{
    info(siLookup, "Lookup Of Port " + name);
    return tsocklookup::resolvePort(name, socketType_);
}

bool TSock::resolveDestination()
{
    sockaddr_in destination {};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(lookupPort(portName_));
    // A datagram endpoint binds to the port on every interface; its peer is
    // named per datagram. A stream endpoint without a host has nowhere to go.
    const bool haveHost = socketType_ == stDatagram || !hostName_.empty();
    if (socketType_ == stStream && haveHost)
        destination.sin_addr = lookupHost(hostName_);
    destination_ = destination;
    return haveHost;
}

// ---------------------------------------------------------------------------
// Readiness registration

void TSock::attach(int fd)
{
    fd_ = fd;
    ++openSerial_;
    notificationsOff_ = false;
    writeReadyPending_ = false;
    readPaused_ = false;
    sendFailed_ = false;
    readNotifier_->setSocket(fd);
    writeNotifier_->setSocket(fd);
}

void TSock::registerEvents()
{
    if (fd_ < 0)
        return;
    // A listener is always driven by the event loop; the other kinds only when
    // not blocking.
    const bool eventDriven = !blocking_ || listening_;
    setNonBlocking(fd_, eventDriven);
    updateNotifiers();
}

void TSock::unregisterEvents()
{
    readNotifier_->setEnabled(false);
    writeNotifier_->setEnabled(false);
}

// Level-triggered notifiers fire for as long as their condition holds, so each
// is enabled only while someone will act on it: reads while connected (or on a
// listener while connection requests are being taken), writes while a connect
// is pending, while queued bytes wait, or once after a connection is accepted.
void TSock::updateNotifiers()
{
    const bool live = fd_ >= 0 && (!blocking_ || listening_) && !notificationsOff_;
    const bool wantRead = live && !connecting_ && !readPaused_;
    const bool wantWrite = live && !listening_ && socketType_ == stStream
        && (connecting_ || (connected_ && !sendFailed_ && (writeReadyPending_ || !outbound_.empty())));
    if (readNotifier_->isEnabled() != wantRead)
        readNotifier_->setEnabled(wantRead);
    if (writeNotifier_->isEnabled() != wantWrite)
        writeNotifier_->setEnabled(wantWrite);
}

// ---------------------------------------------------------------------------
// Notification dispatch

void TSock::onReadable()
{
    QPointer<TSock> self(this);
    try {
        if (listening_)
            connectionRequest();
        else if (connecting_)
            completeConnect();
        else if (socketType_ == stDatagram) {
            // The datagram waits in the socket until ReceiveDatagram takes it;
            // until then a further notification would only repeat this one.
            readPaused_ = true;
            updateNotifiers();
            if (OnRead) {
                const TNotifyReadEvent handler = OnRead;
                handler(this, clampedCount(inbound_.size()));
            }
        } else
            readStream();
    } catch (...) {
        reportEscapedException();
    }
    if (self)
        updateNotifiers();
}

void TSock::onWritable()
{
    QPointer<TSock> self(this);
    try {
        if (connecting_)
            completeConnect();
        else {
            writeReadyPending_ = false;
            writeStep();
        }
    } catch (...) {
        reportEscapedException();
    }
    if (self)
        updateNotifiers();
}

void TSock::readStream()
{
    QPointer<TSock> self(this);
    char area[kReceiveArea];
    ssize_t received;
    do
        received = ::recv(fd_, area, sizeof area, 0);
    while (received < 0 && errno == EINTR);

    if (received == 0) {
        // End of stream stays readable for ever: silence it while the
        // handlers run, as they may spin a nested event loop.
        notificationsOff_ = true;
        updateNotifiers();
        const uint64_t serial = openSerial_;
        if (OnDisconnect) {
            const TNotifyEvent handler = OnDisconnect;
            handler(this);
            if (!self)
                return;
        }
        // Unless the handler already closed and reopened the endpoint.
        if (openSerial_ == serial) {
            closingForPeer_ = true;
            Close();
        }
        return;
    }
    if (received < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        // A reset or abort leaves the flags as they are; the Error information
        // is all the owner hears. The socket stays in error, so it must not
        // keep waking the loop.
        const int code = winsockCodeFromErrno(errno);
        notificationsOff_ = true;
        updateNotifiers();
        reportError(code);
        if (self)
            reportEnd(TSockEnd::Failed, code);
        return;
    }
    if (received > 0)
        inbound_.append(area, static_cast<std::size_t>(received));
    info(siReceive, "Non-Blocking Incoming Data");
    if (!self)
        return;
    if (OnRead) {
        const TNotifyReadEvent handler = OnRead;
        handler(this, clampedCount(inbound_.size()));
    }
}

void TSock::completeConnect()
{
    QPointer<TSock> self(this);
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    connecting_ = false;
    if (error != 0) {
        // The endpoint stays Connecting (socket open, not connected) until the
        // owner closes it; the failed socket must not notify again meanwhile.
        notificationsOff_ = true;
        updateNotifiers();
        const int code = winsockCodeFromErrno(error);
        reportError(code);
        if (self)
            reportEnd(TSockEnd::ConnectFailed, code);
        return;
    }
    connected_ = true;
    updateNotifiers();
    if (!announceConnected("Non-Blocking Socket Connected"))
        return;
    // A new connection is writable: report it, which also sends what was
    // queued while the connection was being set up.
    if (fd_ >= 0 && connected_)
        writeStep();
}

void TSock::writeStep()
{
    QPointer<TSock> self(this);
    if (!outbound_.empty()) {
        Send(std::string());
        if (!self)
            return;
    }
    info(siSend, "Non-Blocking Outgoing Data");
    if (!self)
        return;
    if (OnWrite) {
        const TNotifyEvent handler = OnWrite;
        handler(this);
    }
}

// ---------------------------------------------------------------------------
// Operations

bool TSock::Open()
{
    if (fd_ >= 0)
        return connected_;
    // Names are resolved before a socket exists, so a failed lookup leaves
    // nothing half-open behind.
    const bool haveHost = resolveDestination();
    return socketType_ == stStream ? openStream(haveHost) : openDatagram();
}

bool TSock::openStream(bool haveHost)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        reportError(winsockCodeFromErrno(errno));
        return false;
    }
    sendWithoutDelay(fd);
    attach(fd);
    if (blocking_) {
        registerEvents();
        QPointer<TSock> self(this);
        if (!haveHost || !connectBlocking(fd_, destination_)) {
            info(siClose, "Blocking Socket Can't Connect");
            if (!self)
                return false;
            Close();
            return false;
        }
        return !announceConnected("Blocking Socket Connected") || connected_;
    }

    connecting_ = true;
    registerEvents();
    int result = -1;
    int error = EADDRNOTAVAIL; // no host: the same refusal a connect to nowhere gets
    if (haveHost) {
        result = ::connect(fd_, reinterpret_cast<const sockaddr*>(&destination_), sizeof destination_);
        error = errno;
    }
    if (result != 0 && error != EINPROGRESS && error != EINTR) {
        // Failed on the spot: report it from the event loop like any other
        // failed connect, so the owner sees the same order of events.
        notificationsOff_ = true;
        connecting_ = false;
        updateNotifiers();
        const uint64_t serial = openSerial_;
        const int code = winsockCodeFromErrno(error);
        QMetaObject::invokeMethod(
            this,
            [this, serial, code] {
                if (openSerial_ != serial || fd_ < 0)
                    return;
                try {
                    QPointer<TSock> self(this);
                    reportError(code);
                    if (self)
                        reportEnd(TSockEnd::ConnectFailed, code);
                } catch (...) {
                    reportEscapedException();
                }
            },
            Qt::QueuedConnection);
    }
    return false;
}

bool TSock::Close()
{
    QPointer<TSock> self(this);
    bool accepted = false;
    const bool hadSocket = fd_ >= 0;
    const TSockEnd::Reason reason = closingForPeer_ ? TSockEnd::ClosedByPeer : TSockEnd::ClosedHere;
    closingForPeer_ = false;
    try {
        // The notifiers go quiet before the descriptor is released: a notifier
        // on a closed descriptor fires without end.
        unregisterEvents();
        const int fd = fd_;
        fd_ = -1;
        connected_ = false;
        connecting_ = false;
        notificationsOff_ = false;
        writeReadyPending_ = false;
        readPaused_ = false;
        sendFailed_ = false;
        // Bytes queued for this connection must never reach the next one.
        outbound_.clear();
        readNotifier_->setSocket(-1);
        writeNotifier_->setSocket(-1);
        if (fd >= 0)
            accepted = ::close(fd) == 0 || errno == EINTR;
        if (!listening_)
            info(siClose, "Socket Closed");
        if (self && hadSocket)
            reportEnd(reason);
    } catch (...) {
    }
    if (self)
        listening_ = false;
    return accepted;
}

bool TSock::Send(const std::string& text)
{
    if (fd_ < 0)
        throw ESockException("Send - Socket Not Connected");
    if (listening_)
        throw ESockException("Send - Cannot Send On A Listener Socket");
    if (socketType_ == stDatagram) {
        SendDatagram(text, hostName_);
        return true;
    }
    outbound_ += text;
    if (outbound_.empty())
        return true;
    if (blocking_)
        return sendBlocking();

    if (OnInfo) {
        // The handler may run the event loop: the bytes must be able to go
        // meanwhile, so the write readiness is watched before it is told.
        QPointer<TSock> self(this);
        updateNotifiers();
        info(siSend, "Non-Blocking Outgoing Data");
        if (!self)
            return true;
    }
    // Sent at once, the bytes need no write readiness: turning a notifier on
    // and off again would wake the event loop twice for every message.
    flushOutbound();
    updateNotifiers();
    return true;
}

bool TSock::flushOutbound()
{
    // Nothing can go while the connection is being set up (or after it
    // failed); the bytes wait for the write readiness that follows.
    if (fd_ < 0 || !connected_ || outbound_.empty())
        return false;
    ssize_t sent;
    do
        sent = ::send(fd_, outbound_.data(), outbound_.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    while (sent < 0 && errno == EINTR);
    if (sent > 0) {
        outbound_.erase(0, static_cast<std::size_t>(sent));
        return true;
    }
    // A broken connection is reported by the read side; stop waiting for a
    // write readiness that would only fail again.
    if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOBUFS)
        sendFailed_ = true;
    return false;
}

std::string TSock::Receive(int count)
{
    if (fd_ < 0 && inbound_.empty())
        throw ESockException("Receive - Socket Not Connected");
    if (listening_)
        throw ESockException("Receive - Cannot Receive On A Listener Socket");
    if (socketType_ == stDatagram) {
        std::string text;
        std::string host;
        ReceiveDatagram(text, host);
        return text;
    }
    if (!blocking_ && count >= 0 && static_cast<std::size_t>(count) < inbound_.size()) {
        std::string part = inbound_.substr(0, static_cast<std::size_t>(count));
        inbound_.erase(0, static_cast<std::size_t>(count));
        return part;
    }
    if (blocking_ && connected_ && !receiveBlocking(count))
        return std::string(); // the endpoint was deleted by a handler
    std::string all;
    all.swap(inbound_);
    return all;
}

bool TSock::announceConnected(const char* text)
{
    QPointer<TSock> self(this);
    connected_ = true;
    info(siConnect, text);
    if (!self)
        return false;
    if (OnConnect) {
        const TNotifyEvent handler = OnConnect;
        handler(this);
        if (!self)
            return false;
    }
    return true;
}
