// What the server benchmarks share: starting lexmire-server (or a reference
// server of the bench's own) as a child process on a chosen CPU, reading a
// process's CPU time and memory, raw peers on loopback, and figures.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace serverbench {

using Clock = std::chrono::steady_clock;

// Stops every child started here and exits with a message.
[[noreturn]] void fail(const std::string& what);

double msBetween(Clock::time_point from, Clock::time_point to);
double usBetween(Clock::time_point from, Clock::time_point to);

// ---- processes and CPUs

struct Child {
    pid_t pid = -1;
    int port = 0;
    std::string folder; // its runtime folder, removed when it stops
};

int onlineCores();
// Binds the calling thread (and what it forks later) to one CPU; -1 leaves it free.
void pinToCpu(int cpu);
// The CPU a process last ran on, or -1.
int lastCpuOf(pid_t pid);

// lexmire-server on an ephemeral port, not announcing itself, on `cpu`.
Child launchServer(const std::string& binary, int cpu, const std::vector<std::string>& extraArgs = {});
// A process of the bench's own that serves a listening socket on an
// ephemeral port: serve(listenFd) runs in the child, which exits after it.
Child launchServing(const std::function<void(int listenFd)>& serve, int cpu);
void stop(Child& child);

// Nanoseconds of CPU the process's threads have used (from schedstat).
uint64_t cpuNs(pid_t pid);
// Resident and peak resident memory in KiB, or -1.
long residentKiB(pid_t pid);
long peakResidentKiB(pid_t pid);

// ---- a raw peer

struct Message {
    std::string text;
    Clock::time_point at; // when its last byte was read
};

class Peer {
public:
    explicit Peer(int port);
    ~Peer();
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    int fd() const { return fd_; }
    bool closed() const { return closed_; }
    // Sends bytes as they are (end bytes included by the caller).
    void sendRaw(const std::string& bytes);
    void send(const std::string& message);
    // Reads what waits without blocking; every whole message goes to onMessage
    // if set, else into inbox.
    void readSome();
    std::function<void(const Message&)> onMessage;
    std::vector<Message> inbox;
    int number = 0; // the connection number the server gave, once known
    uint64_t bytesRead = 0;

private:
    int fd_ = -1;
    bool closed_ = false;
    std::string partial_;
};

// Polls every peer until done() holds; false when the time runs out first.
bool pumpPeers(const std::vector<Peer*>& peers, const std::function<bool()>& done, int timeoutMs,
    const std::function<void()>& eachPass = {});
// Takes and returns the first message of the inbox that starts with prefix, or "".
std::string takePrefix(Peer& peer, const std::string& prefix);

// Logs peers in one after another under the given names and waits until each
// has seen its own arrival.
void loginAll(const std::vector<Peer*>& peers, const std::vector<std::string>& names);

// ---- figures

double percentile(std::vector<double> values, double p);
std::string summary(const std::vector<double>& values, const char* unit);
void printPlacement(int serverCpu, int peerCpu);

} // namespace serverbench
