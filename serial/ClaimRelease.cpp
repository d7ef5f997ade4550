#include "serial/ClaimRelease.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <sys/ioctl.h>

namespace {

// A few links at most live in one process; a slot holds a descriptor or -1. Atomics of int
// are lock-free, so the signal handler may read them.
constexpr int kSlots = 16;
std::atomic<int> g_claims[kSlots] = {};
std::once_flag g_installed;
const int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

void ReleaseAll() {
    for (std::atomic<int>& slot : g_claims) {
        int fd = slot.load();
        if (fd >= 0)
            ioctl(fd, TIOCNXCL);
    }
}

// Releases every claim, then lets the signal do what it would have done: the process ends
// with the signal's status.
extern "C" void OnEndingSignal(int nSignal) {
    ReleaseAll();
    signal(nSignal, SIG_DFL);
    raise(nSignal);
}

void Install() {
    for (std::atomic<int>& slot : g_claims)
        slot.store(-1);
    for (int nSignal : kEndingSignals) {
        struct sigaction current {};
        if (sigaction(nSignal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
            (current.sa_flags & SA_SIGINFO))
            continue;
        struct sigaction action {};
        action.sa_handler = OnEndingSignal;
        sigemptyset(&action.sa_mask);
        sigaction(nSignal, &action, nullptr);
    }
    std::atexit(ReleaseAll);
}

} // namespace

void RegisterClaim(int fd) {
    std::call_once(g_installed, Install);
    for (std::atomic<int>& slot : g_claims) {
        int nFree = -1;
        if (slot.compare_exchange_strong(nFree, fd))
            return;
    }
}

void UnregisterClaim(int fd) {
    std::call_once(g_installed, Install);
    for (std::atomic<int>& slot : g_claims) {
        int nExpected = fd;
        if (slot.compare_exchange_strong(nExpected, -1))
            return;
    }
}
