// Name resolution behind TSock: the process-wide host cache and the service
// lookup. Internal to the net library; tests use the two hooks at the end.
#pragma once

#include "tsock.h"

#include <cstdint>
#include <string>

#include <netinet/in.h>

namespace tsocklookup {

// A dotted IPv4 text, or a host name resolved once and then served from the
// cache whatever its letter case. Throws ESockException when nothing is found.
in_addr resolveHost(const std::string& name);

// A decimal port, or a service name of the endpoint's protocol; host byte order.
// Throws ESockException when no such service exists.
uint16_t resolvePort(const std::string& name, TSocketType type);

// How often the system's name service has been asked since start-up.
int systemHostLookups();
// Forgets every cached host, so a test can watch a name being resolved.
void clearHostCache();

} // namespace tsocklookup
