#include "serial/NetSource.h"

#include "platform/EventWait.h"
#include "serial/PortDiagnosis.h"

#include <cerrno>
#include <chrono>
#include <memory>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// What the worker and the waiting caller share; the worker may outlive the wait (a resolver
// that does not answer in time) and then closes what it got itself.
struct CConnectJob {
    std::mutex lock;
    bool bDone = false;
    bool bAbandoned = false;
    NetConnection result;
};

int MillisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::string TimedOut(int nMilliseconds) {
    return "no answer within " + std::to_string((nMilliseconds + 500) / 1000) + " s";
}

// One address: 0 when connected, otherwise errno (ETIMEDOUT once the deadline passed).
int ConnectOne(int fd, const addrinfo& address, CNetCalls& calls, Clock::time_point deadline) {
    if (calls.Connect(fd, address.ai_addr, address.ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    pollfd wait{fd, POLLOUT, 0};
    int nReady;
    do
        nReady = poll(&wait, 1, MillisecondsLeft(deadline));
    while (nReady < 0 && errno == EINTR);
    if (nReady == 0)
        return ETIMEDOUT;
    int nError = 0;
    socklen_t nSize = sizeof nError;
    if (nReady < 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &nError, &nSize) < 0)
        return errno;
    return nError;
}

bool WriteAll(int fd, const std::string& text) {
    for (size_t nDone = 0; nDone < text.size();) {
        ssize_t n = send(fd, text.data() + nDone, text.size() - nDone, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            return false;
        if (n < 0) {
            pollfd wait{fd, POLLOUT, 0};
            poll(&wait, 1, 100);
            continue;
        }
        nDone += static_cast<size_t>(n);
    }
    return true;
}

NetConnection Connect(const PortSource& source, CNetCalls& calls, Clock::time_point deadline,
                      int nTimeout) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pAddresses = nullptr;
    std::string service = std::to_string(source.nNetPort);
    int nResolved = calls.Resolve(source.host.c_str(), service.c_str(), &hints, &pAddresses);
    if (nResolved != 0)
        return {-1, "the host " + source.host + " does not resolve (" +
                        (nResolved == EAI_SYSTEM ? SystemErrorText(errno)
                                                 : std::string(gai_strerror(nResolved))) +
                        ")"};
    std::unique_ptr<addrinfo, void (*)(addrinfo*)> addresses(pAddresses, freeaddrinfo);
    int nError = EADDRNOTAVAIL;
    for (const addrinfo* p = pAddresses; p && MillisecondsLeft(deadline) > 0; p = p->ai_next) {
        int fd =
            socket(p->ai_family, p->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, p->ai_protocol);
        if (fd < 0) {
            nError = errno;
            continue;
        }
        nError = ConnectOne(fd, *p, calls, deadline);
        if (nError == 0 && source.eKind == ESourceKind::Gpsd &&
            !WriteAll(fd, GpsdWatchCommand(source)))
            nError = errno;
        if (nError == 0)
            return {fd, std::string()};
        close(fd);
    }
    if (nError == ETIMEDOUT || MillisecondsLeft(deadline) == 0)
        return {-1, TimedOut(nTimeout)};
    return {-1, SystemErrorText(nError)};
}

} // namespace

int CNetCalls::Resolve(const char* pszHost, const char* pszService, const addrinfo* pHints,
                       addrinfo** ppResult) {
    return getaddrinfo(pszHost, pszService, pHints, ppResult);
}

int CNetCalls::Connect(int fd, const sockaddr* pAddress, socklen_t nLength) {
    return connect(fd, pAddress, nLength);
}

CNetCalls& CNetCalls::System() {
    static CNetCalls calls;
    return calls;
}

NetConnection ConnectSource(const PortSource& source, CNetCalls& calls) {
    int nTimeout = calls.TimeoutMilliseconds();
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(nTimeout);
    auto pJob = std::make_shared<CConnectJob>();
    std::thread worker([pJob, source, &calls, deadline, nTimeout] {
        NetConnection result = Connect(source, calls, deadline, nTimeout);
        std::lock_guard<std::mutex> guard(pJob->lock);
        if (pJob->bAbandoned && result.fd >= 0)
            close(result.fd);
        pJob->result = result;
        pJob->bDone = true;
    });
    WaitAnswering([&] {
        std::lock_guard<std::mutex> guard(pJob->lock);
        return pJob->bDone || MillisecondsLeft(deadline) == 0;
    });
    std::unique_lock<std::mutex> lock(pJob->lock);
    if (pJob->bDone) {
        lock.unlock();
        worker.join();
        return pJob->result;
    }
    // Only a resolver that does not answer keeps the worker past the deadline.
    pJob->bAbandoned = true;
    worker.detach();
    return {-1, TimedOut(nTimeout)};
}
