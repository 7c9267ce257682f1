// Announces a game as a DNS-SD service through the system's Avahi daemon, the
// status in its text record.
#pragma once

#include "avahi_session.h"
#include "dnssd_module.h"

#include <avahi-client/publish.h>

#include <QByteArray>
#include <QObject>

#include <optional>

namespace discovery {

class DnsSdAnnouncer : public DnsSdAnnouncing {
public:
    DnsSdAnnouncer() = default;
    ~DnsSdAnnouncer() override;

    // Connects to the daemon; false, with errorString(), when none answers.
    bool open() override;
    QString errorString() const override { return session_.errorString(); }

    void publish(const Announcement& announcement) override;
    void withdraw() override;

    // The service's instance name, after any rename a clash on the network forced.
    QString serviceName() const { return QString::fromUtf8(name_); }

private:
    void clientState(AvahiClient* client, AvahiClientState state);
    static void groupState(AvahiEntryGroup* group, AvahiEntryGroupState state, void* self);
    void registerService(AvahiClient* client);
    void addService();
    void takeNextName();
    void fail();

    AvahiSession session_;
    AvahiEntryGroup* group_ = nullptr;
    bool clientRunning_ = false;
    std::optional<Announcement> announcement_;
    std::optional<Announcement> registered_; // what the entry group holds now
    QByteArray name_;
    int renames_ = 0;
    QObject context_; // ends the queued failure report with this object
};

} // namespace discovery
