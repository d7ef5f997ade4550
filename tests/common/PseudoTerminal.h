// A pseudo-terminal standing in for a receiver on a serial port: the program opens the slave
// side through a ~/.velmora/ports/comN link; the test writes to and hangs up the master side.
#pragma once

#include "core/PseudoTerminal.h"
#include "tests/common/Nmea.h"
#include "tests/common/TestSupport.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

// A private HOME for one test, so that its port links meet no other test's and no running
// simulator's. The previous HOME comes back at the end.
class CPortHome {
public:
    CPortHome();
    ~CPortHome();
    const std::string& Path() const { return m_dir.Path(); }

private:
    CTempDir m_dir;
    std::string m_strOldHome;
    bool m_bHadHome;
};

class CPseudoTerminal {
public:
    // Opens the pair; the slave is raw from the start and held open here, as a receiver's
    // side of the line would be, so closes by the program never hang it up.
    CPseudoTerminal();

    bool IsOpen() const { return m_pair.IsOpen(); }
    const std::string& SlavePath() const { return m_pair.SlavePath(); }
    int Master() const { return m_pair.Master(); }
    int Slave() const { return m_pair.Slave(); }
    // Links the slave as comN under $HOME/.velmora/ports.
    bool LinkAs(int nPort) const;
    // Writes all the bytes (waiting while the line is full); false when the line is gone.
    bool Write(const std::string& bytes) const { return m_pair.WriteAll(bytes); }
    // Bytes received on the slave side that no one has read yet.
    int Waiting() const;
    // The speed the program set on its side, in baud (0 when unknown).
    int SlaveBaud() const;
    // Closes the master: the receiver is unplugged.
    void HangUp() { m_pair.CloseMaster(); }

private:
    vbase::CPtyPair m_pair;
};

// Streams a pattern into a pseudo-terminal from its own thread until stopped: at the pace of
// a line (baud / 10 bytes a second) or, with 0, as fast as the other side takes it.
class CLineStreamer {
public:
    CLineStreamer(const CPseudoTerminal& pty, const std::string& pattern, int nBaud);
    ~CLineStreamer();
    void Stop();
    size_t Written() const { return m_nWritten; }

private:
    void Run(int fd, int nBaud);

    std::string m_pattern;
    std::atomic<bool> m_bStop{false};
    std::atomic<size_t> m_nWritten{0};
    std::thread m_thread;
};

// Another program holding the slave open (claimed for itself when asked), as a second reader
// would: a child process that holds nothing else of the line. Ended with the object.
class COtherHolder {
public:
    COtherHolder(const CPseudoTerminal& pty, bool bClaim);
    ~COtherHolder();
    COtherHolder(const COtherHolder&) = delete;
    COtherHolder& operator=(const COtherHolder&) = delete;
    // The child's process id once it holds the device; -1 when it could not.
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

// The number of threads and of open file descriptors of this process.
int ThreadCount();
int ThreadsNamed(const std::string& name);
std::vector<pid_t> ThreadIdsNamed(const std::string& name);
int OpenFdCount();
