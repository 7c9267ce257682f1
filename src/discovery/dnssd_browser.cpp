// DNS-SD games through Avahi.
#include "dnssd_browser.h"

#include "beacon_codec.h"
#include "discovery_limits.h"
#include "txt_record.h"

#include <avahi-common/address.h>

#include <QTimer>

namespace discovery {

namespace {

    // A DNS name is at most 255 bytes.
    constexpr std::size_t kMaxDnsNameBytes = 255;

    QList<QByteArray> txtStrings(AvahiStringList* txt)
    {
        QList<QByteArray> strings;
        for (AvahiStringList* s = txt; s != nullptr && strings.size() < kMaxTxtStrings;
             s = avahi_string_list_get_next(s))
            strings.append(QByteArray(reinterpret_cast<const char*>(avahi_string_list_get_text(s)),
                static_cast<qsizetype>(avahi_string_list_get_size(s))));
        return strings;
    }

} // namespace

QString dnssdKey(const QByteArray& name, const QByteArray& domain)
{
    return QString::fromUtf8(name) + QLatin1Char('.') + QString::fromUtf8(domain);
}

DnsSdBrowser::~DnsSdBrowser()
{
    // Freeing the client (in session_) frees the browser and every resolver.
    browser_ = nullptr;
    resolvers_.clear();
}

bool DnsSdBrowser::open()
{
    return session_.open([this](AvahiClient* client, AvahiClientState state) { clientState(client, state); });
}

void DnsSdBrowser::clientState(AvahiClient* client, AvahiClientState state)
{
    if (state == AVAHI_CLIENT_FAILURE) {
        fail();
        return;
    }
    if (state != AVAHI_CLIENT_S_RUNNING || browser_ != nullptr)
        return;
    // The game listens on IPv4 only, so services are browsed and resolved over IPv4.
    browser_ = avahi_service_browser_new(client, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, kServiceType, nullptr,
        AvahiLookupFlags(0), &DnsSdBrowser::browsed, this);
    if (browser_ == nullptr)
        fail();
}

void DnsSdBrowser::browsed(AvahiServiceBrowser* browser, AvahiIfIndex interface, AvahiProtocol protocol,
    AvahiBrowserEvent event, const char* name, const char* type, const char* domain, AvahiLookupResultFlags,
    void* self)
{
    auto* b = static_cast<DnsSdBrowser*>(self);
    if (event == AVAHI_BROWSER_FAILURE) {
        b->fail();
        return;
    }
    if (event != AVAHI_BROWSER_NEW && event != AVAHI_BROWSER_REMOVE)
        return;
    const Where where { interface, protocol, QByteArray(name), QByteArray(domain) };
    if (event == AVAHI_BROWSER_REMOVE) {
        b->drop(where);
        return;
    }
    if (b->resolvers_.count(where) != 0 || b->resolvers_.size() >= kMaxGames)
        return;
    AvahiServiceResolver* resolver
        = avahi_service_resolver_new(avahi_service_browser_get_client(browser), interface, protocol, name,
            type, domain, AVAHI_PROTO_INET, AvahiLookupFlags(0), &DnsSdBrowser::resolved, b);
    if (resolver != nullptr)
        b->resolvers_[where] = resolver;
}

void DnsSdBrowser::resolved(AvahiServiceResolver*, AvahiIfIndex interface, AvahiProtocol protocol,
    AvahiResolverEvent event, const char* name, const char*, const char* domain, const char* hostName,
    const AvahiAddress* address, uint16_t port, AvahiStringList* txt, AvahiLookupResultFlags, void* self)
{
    auto* b = static_cast<DnsSdBrowser*>(self);
    const Where where { interface, protocol, QByteArray(name), QByteArray(domain) };
    if (event != AVAHI_RESOLVER_FOUND) {
        // The service stopped answering; the browser reports it again if it returns.
        b->drop(where);
        return;
    }
    const auto announcement = decodeTxt(txtStrings(txt));
    if (!announcement || port == 0 || address == nullptr)
        return;
    char text[AVAHI_ADDRESS_STR_MAX] = {};
    avahi_address_snprint(text, sizeof text, address);
    // Resolved for IPv4 only: the game listens on nothing else.
    const auto ipv4 = Ipv4Address::fromString(QString::fromLatin1(text));
    if (!ipv4)
        return;
    DiscoveredGame game;
    game.hostName = announcement->hostName;
    game.address = *ipv4;
    game.port = port;
    game.machineName
        = readAnnouncedText(QByteArrayView(hostName ? hostName : ""), kMaxDnsNameBytes).value_or(QString());
    game.version = announcement->version;
    game.status = announcement->status;
    // Copies, here and below: a listener may stop browsing from inside its report.
    if (const auto report = b->onFound)
        report(dnssdKey(std::get<2>(where), std::get<3>(where)), game);
}

void DnsSdBrowser::drop(const Where& where)
{
    auto it = resolvers_.find(where);
    if (it == resolvers_.end())
        return;
    avahi_service_resolver_free(it->second);
    resolvers_.erase(it);
    // The service is gone once no interface hears it any more.
    for (const auto& [other, resolver] : resolvers_)
        if (std::get<2>(other) == std::get<2>(where) && std::get<3>(other) == std::get<3>(where))
            return;
    if (const auto report = onLost)
        report(dnssdKey(std::get<2>(where), std::get<3>(where)));
}

void DnsSdBrowser::fail()
{
    QTimer::singleShot(0, this, [this] {
        // A copy: the owner's answer may destroy this object, onFailed with it.
        const std::function<void()> report = onFailed;
        if (report)
            report();
    });
}

} // namespace discovery
