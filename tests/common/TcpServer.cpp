#include "tests/common/TcpServer.h"

#include "core/Descriptor.h"
#include "tests/common/TestSupport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int ElapsedSince(std::chrono::steady_clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count());
}

bool WaitReadable(int fd, int nMilliseconds) {
    pollfd wait{fd, POLLIN, 0};
    return poll(&wait, 1, nMilliseconds) > 0;
}

} // namespace

CTcpServer::CTcpServer() {
    m_nListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nSize = sizeof address;
    if (m_nListen < 0 || bind(m_nListen, reinterpret_cast<sockaddr*>(&address), nSize) != 0 ||
        listen(m_nListen, 4) != 0 ||
        getsockname(m_nListen, reinterpret_cast<sockaddr*>(&address), &nSize) != 0) {
        StopListening();
        return;
    }
    m_nPort = ntohs(address.sin_port);
}

CTcpServer::~CTcpServer() {
    CloseClient();
    StopListening();
}

bool CTcpServer::Accept(int nMilliseconds) {
    CloseClient();
    if (m_nListen < 0 || !WaitReadable(m_nListen, nMilliseconds))
        return false;
    m_nClient = accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC);
    m_nAccepted += m_nClient >= 0 ? 1 : 0;
    return m_nClient >= 0;
}

bool CTcpServer::Send(const std::string& bytes) const {
    for (size_t nDone = 0; nDone < bytes.size();) {
        ssize_t n = send(m_nClient, bytes.data() + nDone, bytes.size() - nDone, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR)
            return false;
        nDone += n > 0 ? static_cast<size_t>(n) : 0;
    }
    return true;
}

std::string CTcpServer::Receive(size_t nBytes, int nMilliseconds) {
    std::string received;
    auto start = std::chrono::steady_clock::now();
    char buf[4096];
    while (received.size() < nBytes && ElapsedSince(start) < nMilliseconds &&
           WaitReadable(m_nClient, nMilliseconds - ElapsedSince(start))) {
        ssize_t n = recv(m_nClient, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        received.append(buf, static_cast<size_t>(n));
    }
    return received;
}

bool CTcpServer::ClientClosed(int nMilliseconds) {
    auto start = std::chrono::steady_clock::now();
    char buf[4096];
    while (ElapsedSince(start) < nMilliseconds &&
           WaitReadable(m_nClient, nMilliseconds - ElapsedSince(start))) {
        if (recv(m_nClient, buf, sizeof buf, 0) <= 0)
            return true;
    }
    return false;
}

void CTcpServer::CloseClient() {
    vbase::CloseDescriptor(m_nClient);
}

void CTcpServer::StopListening() {
    vbase::CloseDescriptor(m_nListen);
}

void WriteSourceFile(int nPort, const std::string& text) {
    std::filesystem::path ports = std::filesystem::path(std::getenv("HOME")) / ".velmora" / "ports";
    std::filesystem::create_directories(ports);
    std::string path = (ports / ("com" + std::to_string(nPort))).string();
    std::filesystem::remove(path);
    WriteFileBytes(path, text);
}
