#include "dnssd_module.h"

#include "program_module.h"

namespace discovery::DnsSdModule {

QString fileName() { return QStringLiteral("lexmire-dnssd.so"); }

const DnsSdFactory* load(const QStringList& paths)
{
    const auto entry = reinterpret_cast<DnsSdFactoryEntry>(ProgramModule::find(
        paths.isEmpty() ? ProgramModule::searchPaths(fileName()) : paths, LEXMIRE_DNSSD_FACTORY)
                                                               .entry);
    return entry ? entry() : nullptr;
}

QString missingText() { return QStringLiteral("the DNS-SD module (%1) was not found").arg(fileName()); }

} // namespace discovery::DnsSdModule
