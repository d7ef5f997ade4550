// A TCP server on the loopback address standing in for a network NMEA source (a serial-to-TCP
// bridge, an RTK caster, a phone app): the test sends the bytes and closes the connection.
#pragma once

#include <string>

class CTcpServer {
public:
    // Listens on 127.0.0.1 on a free port.
    CTcpServer();
    ~CTcpServer();
    CTcpServer(const CTcpServer&) = delete;
    CTcpServer& operator=(const CTcpServer&) = delete;

    bool IsListening() const { return m_nListen >= 0; }
    int Port() const { return m_nPort; }
    // Takes the next client waiting (up to nMilliseconds); the previous one is closed.
    bool Accept(int nMilliseconds = 5000);
    int Accepted() const { return m_nAccepted; }
    // Sends all the bytes to the client; false when it is gone.
    bool Send(const std::string& bytes) const;
    // What the client sent, once at least nBytes came or the time is up.
    std::string Receive(size_t nBytes, int nMilliseconds = 5000);
    // True when the client closed its side within the time.
    bool ClientClosed(int nMilliseconds = 5000);
    // Closes the client's connection: the server went away.
    void CloseClient();
    // Stops listening: a connect is then refused.
    void StopListening();

private:
    int m_nListen = -1;
    int m_nClient = -1;
    int m_nPort = 0;
    int m_nAccepted = 0;
};

// Writes HOME/.velmora/ports/comN as a one-line source file.
void WriteSourceFile(int nPort, const std::string& text);
