#include "TcpServer.h"

#include "Pacer.h"
#include "StreamSource.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace sim {

namespace {

constexpr int kPollMilliseconds = 20;
constexpr std::size_t kUnpacedChunk = 4096;

double MonotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SleepSeconds(double dSeconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(std::min(dSeconds, 0.020)));
}

std::unique_ptr<CStreamSource> MakeSource(const SimOptions& options) {
    if (options.m_strFile.empty())
        return std::make_unique<CScenarioSource>(options.m_scenario);
    auto pFile = std::make_unique<CFileSource>();
    std::string strError;
    return pFile->Load(options.m_strFile, strError) ? std::move(pFile) : nullptr;
}

// Sends all of the bytes, waiting while the client's window is full; false once the client is
// gone or a stop was asked for.
bool SendAll(int fd, const char* pBytes, std::size_t nSize, const std::atomic<bool>& bStop) {
    while (nSize > 0 && !bStop.load()) {
        ssize_t n = ::send(fd, pBytes, nSize, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (n < 0) {
            pollfd wait{fd, POLLOUT, 0};
            ::poll(&wait, 1, kPollMilliseconds);
            continue;
        }
        pBytes += n;
        nSize -= static_cast<std::size_t>(n);
    }
    return nSize == 0;
}

// One client: its own stream from the start, one epoch a second at the line's pace.
void ServeClient(int fd, const SimOptions& options, const std::atomic<bool>& bStop) {
    std::unique_ptr<CStreamSource> pSource = MakeSource(options);
    const double dStart = MonotonicSeconds();
    CPacer pacer(options.m_nBaud / 10.0, dStart);
    std::string strPending;
    std::size_t nOffset = 0;
    long long nBlocks = 0;
    while (pSource && !bStop.load()) {
        const double dNow = MonotonicSeconds();
        if (nOffset == strPending.size()) {
            if (options.m_nEpochs > 0 && nBlocks == options.m_nEpochs)
                break;
            const double dDue = dStart + static_cast<double>(nBlocks);
            if (!options.m_bUnpaced && pSource->IsEpochTimed() && dNow < dDue) {
                SleepSeconds(dDue - dNow);
                continue;
            }
            strPending.clear();
            nOffset = 0;
            pSource->AppendBlock(strPending);
            ++nBlocks;
        }
        const std::size_t nRemaining = strPending.size() - nOffset;
        const std::size_t nSize = options.m_bUnpaced ? std::min(nRemaining, kUnpacedChunk)
                                                     : pacer.Grant(dNow, nRemaining);
        if (nSize == 0) {
            SleepSeconds(pacer.WaitSeconds());
            continue;
        }
        if (!SendAll(fd, strPending.data() + nOffset, nSize, bStop))
            break;
        nOffset += nSize;
    }
    ::close(fd);
}

int Listen(int nPort, std::string& strError) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int nOn = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(nPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &nOn, sizeof nOn) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0) {
        strError =
            "cannot listen on 127.0.0.1:" + std::to_string(nPort) + ": " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

int BoundPort(int fd) {
    sockaddr_in address{};
    socklen_t nSize = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &nSize);
    return ntohs(address.sin_port);
}

} // namespace

int ServeTcp(const SimOptions& options, const std::atomic<bool>& bStop, std::ostream& out,
             std::ostream& err) {
    std::string strError;
    if (!MakeSource(options)) {
        CFileSource file;
        file.Load(options.m_strFile, strError);
        err << "velmora-sim: " << strError << "\n";
        return 1;
    }
    int nListen = Listen(options.m_nTcpPort, strError);
    if (nListen < 0) {
        err << "velmora-sim: " << strError << "\n";
        return 1;
    }
    out << "velmora-sim: serving tcp://127.0.0.1:" << BoundPort(nListen) << " at "
        << options.m_nBaud << " baud" << std::endl;
    std::vector<std::thread> clients;
    while (!bStop.load()) {
        pollfd wait{nListen, POLLIN, 0};
        if (::poll(&wait, 1, kPollMilliseconds) <= 0)
            continue;
        int nClient = ::accept4(nListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (nClient >= 0)
            clients.emplace_back(ServeClient, nClient, std::cref(options), std::cref(bStop));
    }
    ::close(nListen);
    for (std::thread& client : clients)
        client.join();
    out << "served " << clients.size() << " clients\n";
    return 0;
}

} // namespace sim
