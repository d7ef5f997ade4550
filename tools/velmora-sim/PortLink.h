#pragma once

#include "core/BaudRates.h"

#include <string>
#include <termios.h>

namespace sim {

// The simulated receiver's end of a pseudo-terminal, reachable by the program as
// ~/.velmora/ports/comN. Our own slave descriptor stays open for the whole run: the slave
// then never goes stale when the program closes and reopens it, and its settings (raw, no
// echo) set at the start persist between the program's opens.
class CPortLink {
public:
    CPortLink() = default;
    ~CPortLink();
    CPortLink(const CPortLink&) = delete;
    CPortLink& operator=(const CPortLink&) = delete;

    // Creates the pseudo-terminal, raw and at nBaud, and the link comN in the ports folder
    // under $HOME. A link left by an earlier run is replaced.
    bool Open(int nPort, int nBaud, std::string& strError);
    // Removes the link if it still points at our slave, and closes both sides.
    void Close();

    int MasterFd() const { return m_nMaster; }
    const std::string& SlavePath() const { return m_strSlavePath; }
    const std::string& LinkPath() const { return m_strLinkPath; }
    // Set when Open replaced a link whose target still existed.
    const std::string& Warning() const { return m_strWarning; }
    // The input speed the program set on the port, in baud; 0 when it cannot be read.
    int CurrentBaud() const;

private:
    bool OpenTerminal(int nBaud, std::string& strError);
    bool CreateLink(int nPort, std::string& strError);

    int m_nMaster = -1;
    int m_nSlave = -1;
    std::string m_strSlavePath;
    std::string m_strLinkPath;
    std::string m_strWarning;
};

// $HOME/.velmora/ports, created when missing.
bool MakePortsFolder(std::string& strFolder, std::string& strError);

} // namespace sim
