// Connecting to a network source: name resolution and the connect run on a worker thread
// with a time limit, so a server that never answers cannot freeze the window.
#pragma once

#include "serial/PortSource.h"

#include <netdb.h>
#include <string>
#include <sys/socket.h>

// The calls that resolve and connect, behind one interface so that tests can make a host
// unknown or a connect hang without sending anything off this machine.
class CNetCalls {
public:
    virtual ~CNetCalls() = default;

    virtual int Resolve(const char* pszHost, const char* pszService, const addrinfo* pHints,
                        addrinfo** ppResult);
    virtual int Connect(int fd, const sockaddr* pAddress, socklen_t nLength);
    // How long resolving and connecting may take together.
    virtual int TimeoutMilliseconds() { return 5000; }

    // The real calls.
    static CNetCalls& System();
};

struct NetConnection {
    int fd = -1;        // a connected, non-blocking socket; -1 on failure
    std::string reason; // why it failed, for the user
};

// Connects to source (and asks gpsd for its NMEA); waits as WaitAnswering does. The socket is
// the caller's to close.
NetConnection ConnectSource(const PortSource& source, CNetCalls& calls);
