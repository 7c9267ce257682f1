// The single-instance guard: the first copy takes an exclusive lock in the
// private runtime folder, which is atomic (two copies started at the same
// instant cannot both get it) and is released by the system when the copy
// ends, however it ends. The holder listens on a local socket beside the lock;
// a later copy asks it over that socket to come forward, and ends.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <vector>

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // A later copy tries to reach the holder this often, this far apart: the
    // holder takes the lock a moment before it listens.
    static constexpr int kHandOverAttempts = 100;
    static constexpr int kHandOverRetryMs = 20;
    // The holder keeps at most this many connections waiting for their request;
    // a new one pushes out the one that has waited longest, so peers that connect
    // and say nothing cannot lock later copies out.
    static constexpr std::size_t kMaxWaitingPeers = 16;

    // name: the guard's name ("nerith"), which names the socket; the lock is
    // "<name>.lock". folder: the private runtime folder.
    SingleInstance(const QString& name, const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy holds the guard. This copy then asks it to come
    // forward from the event loop and signals handedOver when done.
    bool anotherCopyRuns() const { return another_; }
    // Called in the holder when a later copy starts.
    std::function<void()> bringForward;

    // The hand-over timer's tick: one attempt to reach the holder. Tests call it
    // directly instead of waiting for the timer.
    void handOverTick();

signals:
    // In a later copy: the holder was asked to come forward (reached), or could
    // not be reached in time. Either way this copy should end.
    void handedOver(bool reached);

private:
    struct Peer {
        int fd;
        QSocketNotifier* notifier;
    };

    void listen();
    void acceptPeers();
    void servePeer(int fd);
    void dropPeer(std::vector<Peer>::iterator peer);
    void probeConnected();
    void ask();
    void closeProbe();
    void retryOrGiveUp();

    QString path_;
    int lockFd_ = -1;
    bool another_ = false;
    // The holder's listening socket and the connections waiting for their
    // request, oldest first.
    int listenFd_ = -1;
    QSocketNotifier* listener_ = nullptr;
    std::vector<Peer> peers_;
    // A later copy's connection to the holder.
    int probeFd_ = -1;
    QSocketNotifier* probe_ = nullptr;
    QTimer retry_;
    int attempts_ = 0;
    bool done_ = false;
};

// The presence marker: a file held locked for as long as the program runs.
class PresenceMarker {
public:
    PresenceMarker(const QString& name, const QString& folder);
    ~PresenceMarker();
    PresenceMarker(const PresenceMarker&) = delete;
    PresenceMarker& operator=(const PresenceMarker&) = delete;

private:
    int fd_ = -1;
    QString path_;
};
