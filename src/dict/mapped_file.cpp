// MappedFile: the mapping itself, and the SIGBUS handler that turns a read of
// a page lost to truncation into a failed read.
#include "mapped_file.h"

#include <csetjmp>
#include <csignal>

#include <sys/mman.h>

namespace {

// The guarded read in progress, if any. Written before and after each read and
// read by the handler, which runs on the same thread in the middle of it.
sigjmp_buf* volatile activeJump = nullptr;
const char* volatile activeBegin = nullptr;
const char* volatile activeEnd = nullptr;

struct sigaction previousAction { };
int mappingsAlive = 0;

void onBusError(int signal, siginfo_t* info, void* context);

bool handlerIsOurs(const struct sigaction& action)
{
    return (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == onBusError;
}

void passOn(int signal, siginfo_t* info, void* context)
{
    if ((previousAction.sa_flags & SA_SIGINFO) != 0) {
        if (previousAction.sa_sigaction)
            previousAction.sa_sigaction(signal, info, context);
        return;
    }
    if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    // The default action: put it back, so that a faulting access, made again
    // when this returns, ends the program just as it would have without us.
    // A bus error sent by another process is sent on to ourselves.
    ::sigaction(SIGBUS, &previousAction, nullptr);
    if (info->si_code <= 0)
        ::raise(signal);
}

void onBusError(int signal, siginfo_t* info, void* context)
{
    const auto* address = static_cast<const char*>(info->si_addr);
    if (activeJump && info->si_code > 0 && address >= activeBegin && address < activeEnd)
        siglongjmp(*activeJump, 1);
    passOn(signal, info, context);
}

void takeBusErrors()
{
    if (mappingsAlive++ > 0)
        return;
    struct sigaction action { };
    action.sa_sigaction = onBusError;
    // SA_NODEFER: the guarded read is left by a jump that restores no signal
    // mask (saving it would cost a system call per read), so SIGBUS must not
    // be blocked while the handler runs.
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &previousAction);
}

void releaseBusErrors()
{
    if (--mappingsAlive > 0)
        return;
    // A handler installed after ours stays: it may have chained to ours, but
    // it is no longer ours to remove.
    struct sigaction current { };
    if (::sigaction(SIGBUS, nullptr, &current) == 0 && handlerIsOurs(current))
        ::sigaction(SIGBUS, &previousAction, nullptr);
}

} // namespace

MappedFile::MappedFile(int fd, std::size_t size)
{
    if (size == 0)
        return;
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED)
        return;
    data_ = static_cast<const char*>(mapped);
    size_ = size;
    takeBusErrors();
}

MappedFile::~MappedFile()
{
    if (!data_)
        return;
    ::munmap(const_cast<char*>(data_), size_);
    releaseBusErrors();
}

bool MappedFile::guardedRead(void (*read)(void* context), void* context) const
{
    sigjmp_buf jump;
    if (sigsetjmp(jump, 0) != 0) {
        activeJump = nullptr;
        // SA_NODEFER should have left SIGBUS unblocked; a fault while it is
        // blocked ends the program, so this rare path makes sure.
        sigset_t bus;
        sigemptyset(&bus);
        sigaddset(&bus, SIGBUS);
        ::sigprocmask(SIG_UNBLOCK, &bus, nullptr);
        return false;
    }
    activeBegin = data_;
    activeEnd = data_ + size_;
    activeJump = &jump;
    read(context);
    activeJump = nullptr;
    return true;
}
