// Browses the network's DNS-SD games through the system's Avahi daemon and
// keeps each one resolved, so a change of its text record is heard at once.
#pragma once

#include "avahi_session.h"
#include "game_info.h"

#include <avahi-client/lookup.h>

#include <QByteArray>
#include <QObject>

#include <functional>
#include <map>
#include <tuple>

namespace discovery {

// A QObject so its owner can let it go with deleteLater() from inside one of
// its own reports.
class DnsSdBrowser : public QObject {
public:
    explicit DnsSdBrowser(QObject* parent = nullptr)
        : QObject(parent)
    {
    }
    ~DnsSdBrowser() override;

    // Connects to the daemon and starts browsing; false, with errorString(), when none answers.
    bool open();
    QString errorString() const { return session_.errorString(); }

    // A service found or changed, under a key stable while it is listed; the
    // game's key field is left for the owner.
    std::function<void(const QString& key, const DiscoveredGame& game)> onFound;
    std::function<void(const QString& key)> onLost;
    // The daemon went away; reported from the event loop.
    std::function<void()> onFailed;

    int resolvers() const { return static_cast<int>(resolvers_.size()); }

private:
    // One resolver per interface and protocol a service was seen on.
    using Where = std::tuple<AvahiIfIndex, AvahiProtocol, QByteArray /*name*/, QByteArray /*domain*/>;

    void clientState(AvahiClient* client, AvahiClientState state);
    static void browsed(AvahiServiceBrowser* browser, AvahiIfIndex interface, AvahiProtocol protocol,
        AvahiBrowserEvent event, const char* name, const char* type, const char* domain,
        AvahiLookupResultFlags flags, void* self);
    static void resolved(AvahiServiceResolver* resolver, AvahiIfIndex interface, AvahiProtocol protocol,
        AvahiResolverEvent event, const char* name, const char* type, const char* domain,
        const char* hostName, const AvahiAddress* address, uint16_t port, AvahiStringList* txt,
        AvahiLookupResultFlags flags, void* self);
    void drop(const Where& where);
    void fail();

    AvahiSession session_;
    AvahiServiceBrowser* browser_ = nullptr;
    std::map<Where, AvahiServiceResolver*> resolvers_;
};

// The key under which a service is listed: one per name and domain, however
// many interfaces it is heard on.
QString dnssdKey(const QByteArray& name, const QByteArray& domain);

} // namespace discovery
