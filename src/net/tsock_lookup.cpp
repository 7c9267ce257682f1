// Host and port lookup for TSock, and the names of information kinds and of
// WinSock error codes, which the endpoint's information texts carry.
#include "tsock_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cerrno>
#include <charconv>
#include <iterator>
#include <utility>
#include <vector>

namespace {

bool startsWithDigit(const std::string& name)
{
    return !name.empty() && name.front() >= '0' && name.front() <= '9';
}

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Entries are never dropped or refreshed while the process runs: the game
// resolves a handful of names, and a name that moved mid-session would only
// split a running game anyway.
struct HostCache {
    std::vector<std::pair<std::string, in_addr>> entries;
    int systemLookups = 0;
};

HostCache& hostCache()
{
    static HostCache cache;
    return cache;
}

struct ErrorName {
    int code;
    const char* name;
};

constexpr ErrorName kErrorNames[] = {
    { 10004, "WSAEINTR" },
    { 10009, "WSAEBADF" },
    { 10013, "WSAEACCES" },
    { 10014, "WSAEFAULT" },
    { 10022, "WSAEINVAL" },
    { 10024, "WSAEMFILE" },
    { 10035, "WSAEWOULDBLOCK" },
    { 10036, "WSAEINPROGRESS" },
    { 10037, "WSAEALREADY" },
    { 10038, "WSAENOTSOCK" },
    { 10039, "WSAEDESTADDRREQ" },
    { 10040, "WSAEMSGSIZE" },
    { 10041, "WSAEPROTOTYPE" },
    { 10042, "WSAENOPROTOOPT" },
    { 10043, "WSAEPROTONOSUPPORT" },
    { 10044, "WSAESOCKTNOSUPPORT" },
    { 10045, "WSAEOPNOTSUPP" },
    { 10046, "WSAEPFNOSUPPORT" },
    { 10047, "WSAEAFNOSUPPORT" },
    { 10048, "WSAEADDRINUSE" },
    { 10049, "WSAEADDRNOTAVAIL" },
    { 10050, "WSAENETDOWN" },
    { 10051, "WSAENETUNREACH" },
    { 10052, "WSAENETRESET" },
    { 10053, "WSAECONNABORTED" },
    { 10054, "WSAECONNRESET" },
    { 10055, "WSAENOBUFS" },
    { 10056, "WSAEISCONN" },
    { 10057, "WSAENOTCONN" },
    { 10058, "WSAESHUTDOWN" },
    { 10059, "WSAETOOMANYREFS" },
    { 10060, "WSAETIMEDOUT" },
    { 10061, "WSAECONNREFUSED" },
    { 10062, "WSAELOOP" },
    { 10063, "WSAENAMETOOLONG" },
    { 10064, "WSAEHOSTDOWN" },
    { 10065, "WSAEHOSTUNREACH" },
    { 10066, "WSAENOTEMPTY" },
    { 10067, "WSAEPROCLIM" },
    { 10068, "WSAEUSERS" },
    { 10069, "WSAEDQUOT" },
    { 10070, "WSAESTALE" },
    { 10071, "WSAEREMOTE" },
    { 10091, "WSASYSNOTREADY" },
    { 10092, "WSAVERNOTSUPPORTED" },
    { 10093, "WSANOTINITIALISED" },
    { 10101, "WSAEDISCON" },
    { 11001, "WSAHOST_NOT_FOUND" },
    { 11002, "WSATRY_AGAIN" },
    { 11003, "WSANO_RECOVERY" },
    { 11004, "WSANO_DATA" },
};
static_assert(std::size(kErrorNames) == 51, "the WinSock name table has 51 codes");

} // namespace

namespace tsocklookup {

in_addr resolveHost(const std::string& name)
{
    in_addr address {};
    // A leading digit means a dotted address: it is parsed, never sent to the
    // name service, so "127.0.0.1" works with no resolver at all.
    if (startsWithDigit(name)) {
        if (inet_pton(AF_INET, name.c_str(), &address) != 1)
            throw ESockException("Host Lookup - Could Not Find Host Entry");
        return address;
    }

    HostCache& cache = hostCache();
    for (const auto& [cached, cachedAddress] : cache.entries) {
        if (sameIgnoringCase(cached, name))
            return cachedAddress;
    }

    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    ++cache.systemLookups;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || result == nullptr)
        throw ESockException("Host Lookup - Could Not Find Host Entry");
    address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr;
    freeaddrinfo(result);
    cache.entries.emplace_back(name, address);
    return address;
}

uint16_t resolvePort(const std::string& name, TSocketType type)
{
    if (startsWithDigit(name)) {
        // The whole text must be a port number; "77x2" or "70000" is no port.
        unsigned value = 0;
        const char* end = name.data() + name.size();
        const auto [stop, ec] = std::from_chars(name.data(), end, value);
        if (ec != std::errc() || stop != end || value > 65535)
            throw ESockException("Port Lookup - Could Not Find Service Entry");
        return static_cast<uint16_t>(value);
    }
    const servent* service = getservbyname(name.c_str(), type == stStream ? "tcp" : "udp");
    if (service == nullptr)
        throw ESockException("Port Lookup - Could Not Find Service Entry");
    return ntohs(static_cast<uint16_t>(service->s_port));
}

int systemHostLookups() { return hostCache().systemLookups; }

void clearHostCache() { hostCache().entries.clear(); }

} // namespace tsocklookup

const char* socketInfoName(TSocketInfo kind)
{
    static const char* const names[]
        = { "Lookup", "Connect", "Close", "Listen", "Receive", "Send", "Accept", "Error" };
    const int index = static_cast<int>(kind);
    return (index >= 0 && index < int(std::size(names))) ? names[index] : "";
}

std::string socketErrorName(int code)
{
    for (const ErrorName& entry : kErrorNames) {
        if (entry.code == code)
            return entry.name;
    }
    return "UNKNOWN ERROR";
}

int winsockCodeFromErrno(int err)
{
    switch (err) {
    case EINTR:
        return 10004;
    case EBADF:
        return 10009;
    case EACCES:
    case EPERM:
        return 10013;
    case EFAULT:
        return 10014;
    case EINVAL:
        return 10022;
    case EMFILE:
    case ENFILE:
        return 10024;
    case EAGAIN:
        return 10035;
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
        return 10035;
#endif
    case EINPROGRESS:
        return 10036;
    case EALREADY:
        return 10037;
    case ENOTSOCK:
        return 10038;
    case EDESTADDRREQ:
        return 10039;
    case EMSGSIZE:
        return 10040;
    case EPROTOTYPE:
        return 10041;
    case ENOPROTOOPT:
        return 10042;
    case EPROTONOSUPPORT:
        return 10043;
    case ESOCKTNOSUPPORT:
        return 10044;
    case EOPNOTSUPP:
        return 10045;
#if ENOTSUP != EOPNOTSUPP
    case ENOTSUP:
        return 10045;
#endif
    case EPFNOSUPPORT:
        return 10046;
    case EAFNOSUPPORT:
        return 10047;
    case EADDRINUSE:
        return 10048;
    case EADDRNOTAVAIL:
        return 10049;
    case ENETDOWN:
        return 10050;
    case ENETUNREACH:
        return 10051;
    case ENETRESET:
        return 10052;
    case ECONNABORTED:
        return 10053;
    // A write to a peer that has gone is the same event as a reset seen on read.
    case ECONNRESET:
    case EPIPE:
        return 10054;
    case ENOBUFS:
    case ENOMEM:
        return 10055;
    case EISCONN:
        return 10056;
    case ENOTCONN:
        return 10057;
    case ESHUTDOWN:
        return 10058;
    case ETOOMANYREFS:
        return 10059;
    case ETIMEDOUT:
        return 10060;
    case ECONNREFUSED:
        return 10061;
    case ELOOP:
        return 10062;
    case ENAMETOOLONG:
        return 10063;
    case EHOSTDOWN:
        return 10064;
    case EHOSTUNREACH:
        return 10065;
    case ENOTEMPTY:
        return 10066;
    case EUSERS:
        return 10068;
    case EDQUOT:
        return 10069;
    case ESTALE:
        return 10070;
    case EREMOTE:
        return 10071;
    default:
        return 10000 + err;
    }
}
