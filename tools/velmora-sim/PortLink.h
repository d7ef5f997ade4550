#pragma once

#include "core/BaudRates.h"
#include "core/PseudoTerminal.h"

#include <string>
#include <termios.h>

namespace sim {

// The simulated receiver's end of a pseudo-terminal, reachable by the program as
// ~/.velmora/ports/comN.
class CPortLink {
public:
    // Creates the pseudo-terminal, raw and at nBaud, and the link comN in the ports folder
    // under $HOME. A link left by an earlier run is replaced.
    bool Open(int nPort, int nBaud, std::string& strError);
    // Removes the link if it still points at our slave, and closes both sides.
    void Close();

    int MasterFd() const { return m_pty.Master(); }
    const std::string& SlavePath() const { return m_pty.SlavePath(); }
    const std::string& LinkPath() const { return m_link.LinkPath(); }
    // Set when Open replaced a link whose target still existed.
    const std::string& Warning() const { return m_link.Warning(); }
    // The input speed the program set on the port, in baud; 0 when it cannot be read.
    int CurrentBaud() const { return BaudFromSpeed(m_pty.SlaveSpeed()); }

private:
    // Declared after the pty, so that the link goes first, while its target is still ours.
    vbase::CPtyPair m_pty;
    vbase::CPortLink m_link;
};

} // namespace sim
