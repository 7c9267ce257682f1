// The names the server gives players: cut, blank names, and clashes.
#include "server_names.h"

#include "server_limits.h"
#include "text_codec.h"
#include "wire_limits.h"

#include <QString>

namespace servernames {

namespace {

    QString comparable(std::string_view name) { return wire::decodeText(name).trimmed().toCaseFolded(); }

} // namespace

bool sameName(std::string_view a, std::string_view b) { return comparable(a) == comparable(b); }

std::string givenName(std::string_view asked, int n, const std::function<bool(std::string_view)>& inUse)
{
    std::string base(wire::cutText(asked, wire::kMaxNameBytes));
    if (wire::decodeText(base).trimmed().isEmpty())
        base = "Player " + std::to_string(n);
    if (!inUse(base))
        return base;
    for (int k = 2; k <= serverlimits::kMaxNameSuffix; ++k) {
        const std::string suffix = " (" + std::to_string(k) + ")";
        std::string candidate(wire::cutText(base, wire::kMaxNameBytes - suffix.size()));
        candidate += suffix;
        if (!inUse(candidate))
            return candidate;
    }
    // Unreachable while fewer names are held than suffixes tried; the slot
    // number alone is always unique.
    return "Player " + std::to_string(n);
}

} // namespace servernames
