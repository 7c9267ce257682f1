// The single-instance guard: the first copy listens on a per-user local
// socket named after the guard; a later copy asks it to come forward and ends.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: the guard's name ("nerith"); folder: the private runtime folder.
    SingleInstance(const QString& name, const QString& folder, QObject* parent = nullptr);

    // True when another copy runs; it has then been asked to come forward.
    bool anotherCopyRuns() const { return another_; }
    // Called in the first copy when a later copy starts.
    std::function<void()> bringForward;

private:
    QLocalServer* server_ = nullptr;
    bool another_ = false;
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
