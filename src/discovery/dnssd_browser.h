// Browses the network's DNS-SD games through the system's Avahi daemon and
// keeps each one resolved, so a change of its text record is heard at once.
#pragma once

#include "avahi_session.h"
#include "dnssd_module.h"
#include "game_info.h"

#include <avahi-client/lookup.h>

#include <QByteArray>
#include <QObject>

#include <functional>
#include <map>
#include <tuple>

namespace discovery {

class DnsSdBrowser : public DnsSdBrowsing {
public:
    explicit DnsSdBrowser(QObject* parent = nullptr)
        : DnsSdBrowsing(parent)
    {
    }
    ~DnsSdBrowser() override;

    bool open() override;
    QString errorString() const override { return session_.errorString(); }

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
