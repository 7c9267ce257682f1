// The real system calls, and the swap tests use.
#include "system_calls.h"

#include <cstdio>
#include <unistd.h>

namespace fileio {
namespace {

    const SystemCalls kReal { ::write, ::fsync, ::close, ::rename };
    const SystemCalls* current = &kReal;

} // namespace

const SystemCalls& systemCalls() { return *current; }

ScopedSystemCalls::ScopedSystemCalls(const SystemCalls& calls)
    : previous_(current)
{
    current = &calls;
}

ScopedSystemCalls::~ScopedSystemCalls() { current = previous_; }

const SystemCalls& ScopedSystemCalls::real() { return kReal; }

} // namespace fileio
