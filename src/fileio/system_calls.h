// The few system calls the atomic writer makes, behind a table a test can
// replace, so that a full disk or a failing close can be staged on demand.
#pragma once

#include <cstddef>
#include <sys/types.h>

namespace fileio {

struct SystemCalls {
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
};

// The calls in use: the real ones unless a test swapped them.
const SystemCalls& systemCalls();

// Replaces the calls until the object goes out of scope. For tests.
class ScopedSystemCalls {
public:
    explicit ScopedSystemCalls(const SystemCalls& calls);
    ~ScopedSystemCalls();
    ScopedSystemCalls(const ScopedSystemCalls&) = delete;
    ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

    // The real calls, for a replacement that fails only some of the time.
    static const SystemCalls& real();

private:
    const SystemCalls* previous_;
};

} // namespace fileio
