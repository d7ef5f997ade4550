#include "tests/common/PseudoTerminal.h"

#include "core/BaudRates.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int CountEntries(const char* pszDir) {
    std::error_code ec;
    int n = 0;
    for (auto it = fs::directory_iterator(pszDir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        ++n;
    return n;
}

} // namespace

CPortHome::CPortHome() {
    const char* pszOld = std::getenv("HOME");
    m_bHadHome = pszOld != nullptr;
    if (pszOld)
        m_strOldHome = pszOld;
    setenv("HOME", m_dir.Path().c_str(), 1);
}

CPortHome::~CPortHome() {
    if (m_bHadHome)
        setenv("HOME", m_strOldHome.c_str(), 1);
    else
        unsetenv("HOME");
}

CPseudoTerminal::CPseudoTerminal() {
    // 38400 baud is what a new pseudo-terminal has; the program sets its own speed on Open.
    std::string strError;
    m_pair.Open(B38400, strError);
}

bool CPseudoTerminal::LinkAs(int nPort) const {
    std::string strLink;
    std::string strWarning;
    std::string strError;
    return vbase::LinkPort(nPort, SlavePath(), strLink, strWarning, strError);
}

int CPseudoTerminal::Waiting() const {
    int n = 0;
    return ioctl(Slave(), FIONREAD, &n) == 0 ? n : -1;
}

int CPseudoTerminal::SlaveBaud() const {
    return BaudFromSpeed(m_pair.SlaveSpeed());
}

CLineStreamer::CLineStreamer(const CPseudoTerminal& pty, const std::string& pattern, int nBaud) {
    // Long enough that an unpaced writer fills the line in a few calls.
    while (m_pattern.size() < 4096)
        m_pattern += pattern;
    m_thread = std::thread([this, fd = pty.Master(), nBaud] { Run(fd, nBaud); });
}

CLineStreamer::~CLineStreamer() {
    Stop();
}

void CLineStreamer::Stop() {
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void CLineStreamer::Run(int fd, int nBaud) {
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    size_t nPos = 0;
    while (!m_bStop) {
        size_t nAllowed = m_pattern.size();
        if (nBaud > 0) {
            double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            auto nDue = static_cast<size_t>(seconds * nBaud / 10);
            nAllowed = nDue > m_nWritten ? nDue - m_nWritten : 0;
            if (nAllowed == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
        }
        size_t nCount = std::min(nAllowed, m_pattern.size() - nPos);
        ssize_t n = write(fd, m_pattern.data() + nPos, nCount);
        if (n > 0) {
            m_nWritten += static_cast<size_t>(n);
            nPos = (nPos + static_cast<size_t>(n)) % m_pattern.size();
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 10);
        } else if (n < 0 && errno != EINTR) {
            return;
        }
    }
}

int ThreadCount() {
    return CountEntries("/proc/self/task");
}

int ThreadsNamed(const std::string& name) {
    return static_cast<int>(ThreadIdsNamed(name).size());
}

std::vector<pid_t> ThreadIdsNamed(const std::string& name) {
    std::vector<pid_t> ids;
    std::error_code ec;
    for (const fs::directory_entry& task : fs::directory_iterator("/proc/self/task", ec)) {
        if (ReadFileBytes(task.path().string() + "/comm") == name + "\n")
            ids.push_back(static_cast<pid_t>(std::stoi(task.path().filename().string())));
    }
    return ids;
}

int OpenFdCount() {
    return CountEntries("/proc/self/fd");
}

COtherHolder::COtherHolder(const CPseudoTerminal& pty, bool bClaim) {
    int fds[2];
    if (pipe(fds) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
        close(pty.Master());
        int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        char c = fd >= 0 && (!bClaim || ioctl(fd, TIOCEXCL) == 0) ? '1' : '0';
        (void)!write(fds[1], &c, 1);
        pause();
        _exit(0);
    }
    char c = 0;
    bool bHolds = m_pid > 0 && read(fds[0], &c, 1) == 1 && c == '1';
    close(fds[0]);
    close(fds[1]);
    if (m_pid > 0 && !bHolds) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

COtherHolder::~COtherHolder() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}
