// TSock as a listener: starting and stopping, connection requests, and the
// endpoints it creates for accepted connections, with their socket options.
#include "tsock.h"
#include "tsock_internal.h"

#include <QPointer>

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

using namespace tsockdetail;

void tsockdetail::keepAlive(int fd)
{
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepAliveIdleSeconds, sizeof kKeepAliveIdleSeconds);
    ::setsockopt(
        fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepAliveIntervalSeconds, sizeof kKeepAliveIntervalSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepAliveProbes, sizeof kKeepAliveProbes);
}

void TSock::setListen(bool listen)
{
    if (fd_ >= 0 && !listening_) {
        listening_ = false;
        throw ESockException("Listen - Socket Already In Use");
    }
    if (socketType_ == stDatagram && listen) {
        listening_ = false;
        throw ESockException("Listen - Cannot Listen On A Datagram Socket");
    }
    const bool wasListening = listening_;
    listening_ = listen;
    QPointer<TSock> self(this);
    if (!listen) {
        Close();
        if (self)
            info(siListen, "Listening Stopped");
        return;
    }
    if (wasListening) {
        info(siListen, "Listening Already Running");
        return;
    }

    uint16_t port = 0;
    try {
        port = lookupPort(portName_);
    } catch (...) {
        if (self)
            listening_ = false;
        throw;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        listening_ = false;
        throw ESockException("Listen - Error Binding Socket");
    }
    const int reuse = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    // A failed socket is released at once, so the port can be tried again.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        listening_ = false;
        throw ESockException("Listen - Error Binding Socket");
    }
    if (::listen(fd, kListenBacklog) != 0) {
        ::close(fd);
        listening_ = false;
        throw ESockException("Listen - Error Starting Listen");
    }
    attach(fd);
    endReportedSerial_ = openSerial_; // a listener has no connection whose end could be reported
    registerEvents();
    info(siListen, "Listening Started");
}

int TSock::takePending()
{
    sockaddr_in peer {};
    socklen_t length = sizeof peer;
    int fd;
    do
        fd = ::accept4(fd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        peer_ = peer;
        sendWithoutDelay(fd);
        keepAlive(fd);
    }
    return fd;
}

bool TSock::Accept(TSock*& NewSock)
{
    if (!listening_)
        throw ESockException("Accept - Socket Not In Listening Mode");
    QPointer<TSock> self(this);
    if (blocking_) {
        info(siAccept, "Blocking Accept");
        if (!self)
            return false;
    }
    NewSock = nullptr;
    readPaused_ = false;
    updateNotifiers();
    const int fd = takePending();
    if (fd < 0) {
        info(siAccept, "Could Not Accept Connection");
        return false;
    }
    TSock* accepted = adoptAccepted(fd);
    if (!self || accepted == nullptr)
        return false;
    NewSock = accepted;
    info(siAccept, "Created New TSock Structure");
    return true;
}

TSock* TSock::adoptAccepted(int fd)
{
    auto* accepted = new TSock(this);
    accepted->blocking_ = blocking_;
    accepted->blockingTimeout_ = blockingTimeout_;
    accepted->peer_ = peer_;
    accepted->OnRead = OnRead;
    accepted->OnWrite = OnWrite;
    accepted->OnDisconnect = OnDisconnect;
    accepted->OnInfo = OnInfo;
    accepted->attach(fd);
    accepted->connected_ = true;
    accepted->writeReadyPending_ = true;
    accepted->registerEvents();
    QPointer<TSock> guard(accepted);
    try {
        // Already connected, so each of these tells the copied handler it has
        // no effect; the names still record where the connection leads.
        accepted->setPortName(portName_);
        if (guard)
            accepted->setHostName(peerAddress());
    } catch (...) {
        delete guard.data();
        throw;
    }
    return guard.data(); // null if a handler deleted it already
}

void TSock::connectionRequest()
{
    if (autoAccept_ && OnAutoAccept) {
        const int fd = takePending();
        if (fd < 0)
            return;
        TSock* accepted = adoptAccepted(fd);
        if (accepted == nullptr)
            return;
        // A blocking listener would run this on a worker thread; here every
        // endpoint and handler lives on the GUI thread, so it runs in place.
        const TNotifyAutoEvent handler = OnAutoAccept;
        handler(this, accepted);
        return;
    }
    // The request stays in the backlog until Accept takes it; Accept turns
    // these notifications back on, so a listener nobody serves does not spin.
    readPaused_ = true;
    updateNotifiers();
    if (OnAccept) {
        const TNotifyEvent handler = OnAccept;
        handler(this);
    }
}
