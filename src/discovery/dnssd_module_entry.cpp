// The lexmire-dnssd module's entry point: Avahi's announcer and browser.
#include "dnssd_announcer.h"
#include "dnssd_browser.h"
#include "dnssd_module.h"

namespace {

discovery::DnsSdAnnouncing* makeAnnouncer() { return new discovery::DnsSdAnnouncer; }

discovery::DnsSdBrowsing* makeBrowser(QObject* parent) { return new discovery::DnsSdBrowser(parent); }

constexpr discovery::DnsSdFactory kFactory { makeAnnouncer, makeBrowser };

} // namespace

extern "C" Q_DECL_EXPORT const discovery::DnsSdFactory* lexmire_dnssd_factory() { return &kFactory; }
