#include "PortLink.h"

namespace sim {

bool CPortLink::Open(int nPort, int nBaud, std::string& strError) {
    Close();
    speed_t nSpeed = B0;
    if (!SpeedFromBaud(nBaud, nSpeed)) {
        strError = "unsupported baud rate " + std::to_string(nBaud);
        return false;
    }
    if (m_pty.Open(nSpeed, strError) && m_link.Create(nPort, m_pty.SlavePath(), strError)) {
        return true;
    }
    Close();
    return false;
}

void CPortLink::Close() {
    m_link.Remove();
    m_pty.Close();
}

} // namespace sim
