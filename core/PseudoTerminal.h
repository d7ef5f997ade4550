// Pseudo-terminals standing in for a receiver's serial line, and the ~/.velmora/ports links
// through which the program finds them: shared by the simulator and the tests.
#pragma once

#include <string>
#include <termios.h>

namespace vbase {

// Both sides of a pseudo-terminal. The slave side stays open here for the whole life of the
// pair: it then never goes stale when the program closes and reopens it, and its settings
// (raw, no echo, the speed) set at the start persist between the program's opens.
class CPtyPair {
public:
    CPtyPair() = default;
    ~CPtyPair();
    CPtyPair(const CPtyPair&) = delete;
    CPtyPair& operator=(const CPtyPair&) = delete;

    // Opens the pair, the slave raw at nSpeed and the master non-blocking, both closed on exec.
    bool Open(speed_t nSpeed, std::string& strError);
    // Closes the master: the receiver is unplugged.
    void CloseMaster();
    void Close();

    bool IsOpen() const { return m_nMaster >= 0; }
    int Master() const { return m_nMaster; }
    int Slave() const { return m_nSlave; }
    const std::string& SlavePath() const { return m_strSlavePath; }
    // The speed set on the slave side (by the program, once it opened it); B0 when unknown.
    speed_t SlaveSpeed() const;
    // Writes all the bytes to the master, waiting while the line is full; false once it is gone.
    bool WriteAll(const std::string& strBytes) const;

private:
    int m_nMaster = -1;
    int m_nSlave = -1;
    std::string m_strSlavePath;
};

// $HOME/.velmora/ports, created when missing.
bool MakePortsFolder(std::string& strFolder, std::string& strError);

// Links strTarget as comN in the ports folder (its path in strLink); an earlier link of that
// name is replaced atomically, and strWarning says so when its target still existed.
bool LinkPort(int nPort, const std::string& strTarget, std::string& strLink,
              std::string& strWarning, std::string& strError);

// A link comN in the ports folder pointing at a device, removed again only while it still
// points there (a later run may have replaced it).
class CPortLink {
public:
    CPortLink() = default;
    ~CPortLink();
    CPortLink(const CPortLink&) = delete;
    CPortLink& operator=(const CPortLink&) = delete;

    // Links strTarget as comN; an earlier link of that name is replaced atomically.
    bool Create(int nPort, const std::string& strTarget, std::string& strError);
    void Remove();

    const std::string& LinkPath() const { return m_strLinkPath; }
    // Set when Create replaced a link whose target still existed.
    const std::string& Warning() const { return m_strWarning; }

private:
    std::string m_strLinkPath;
    std::string m_strTarget;
    std::string m_strWarning;
};

} // namespace vbase
