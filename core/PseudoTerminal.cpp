#include "core/PseudoTerminal.h"

#include "core/Descriptor.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vbase {

namespace {

constexpr int kFullLineWaitMs = 10;

std::string SystemError(const std::string& strWhat) {
    return strWhat + ": " + std::strerror(errno);
}

bool MakeFolder(const std::string& strPath, std::string& strError) {
    if (::mkdir(strPath.c_str(), 0755) == 0 || errno == EEXIST) {
        struct stat info {};
        if (::stat(strPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            return true;
        }
        errno = ENOTDIR;
    }
    strError = SystemError("cannot create folder " + strPath);
    return false;
}

std::string ReadLink(const std::string& strPath) {
    char szTarget[PATH_MAX];
    const ssize_t nLength = ::readlink(strPath.c_str(), szTarget, sizeof szTarget - 1);
    return nLength < 0 ? std::string() : std::string(szTarget, static_cast<std::size_t>(nLength));
}

} // namespace

CPtyPair::~CPtyPair() {
    Close();
}

bool CPtyPair::Open(speed_t nSpeed, std::string& strError) {
    Close();
    m_nMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char szSlave[PATH_MAX];
    if (m_nMaster < 0 || ::grantpt(m_nMaster) != 0 || ::unlockpt(m_nMaster) != 0 ||
        ::ptsname_r(m_nMaster, szSlave, sizeof szSlave) != 0) {
        strError = SystemError("cannot create a pseudo-terminal");
        Close();
        return false;
    }
    m_strSlavePath = szSlave;
    m_nSlave = ::open(szSlave, O_RDWR | O_NOCTTY | O_CLOEXEC);
    struct termios settings {};
    if (m_nSlave < 0 || ::tcgetattr(m_nSlave, &settings) != 0) {
        strError = SystemError("cannot open " + m_strSlavePath);
        Close();
        return false;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    ::cfsetispeed(&settings, nSpeed);
    ::cfsetospeed(&settings, nSpeed);
    if (::tcsetattr(m_nSlave, TCSANOW, &settings) != 0 ||
        ::fcntl(m_nMaster, F_SETFL, ::fcntl(m_nMaster, F_GETFL) | O_NONBLOCK) != 0) {
        strError = SystemError("cannot configure " + m_strSlavePath);
        Close();
        return false;
    }
    return true;
}

void CPtyPair::CloseMaster() {
    CloseDescriptor(m_nMaster);
}

void CPtyPair::Close() {
    CloseDescriptor(m_nSlave);
    CloseDescriptor(m_nMaster);
    m_strSlavePath.clear();
}

speed_t CPtyPair::SlaveSpeed() const {
    struct termios settings {};
    if (m_nSlave < 0 || ::tcgetattr(m_nSlave, &settings) != 0) {
        return B0;
    }
    // An input speed of 0 means "same as the output speed".
    const speed_t nInput = ::cfgetispeed(&settings);
    return nInput == B0 ? ::cfgetospeed(&settings) : nInput;
}

bool CPtyPair::WriteAll(const std::string& strBytes) const {
    std::size_t nDone = 0;
    while (nDone < strBytes.size()) {
        if (m_nMaster < 0) {
            return false;
        }
        const ssize_t n = ::write(m_nMaster, strBytes.data() + nDone, strBytes.size() - nDone);
        if (n > 0) {
            nDone += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd wait{m_nMaster, POLLOUT, 0};
            ::poll(&wait, 1, kFullLineWaitMs);
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool MakePortsFolder(std::string& strFolder, std::string& strError) {
    const char* pszHome = std::getenv("HOME");
    if (pszHome == nullptr || *pszHome == '\0') {
        strError = "HOME is not set: cannot place the port link";
        return false;
    }
    const std::string strVelmora = std::string(pszHome) + "/.velmora";
    strFolder = strVelmora + "/ports";
    return MakeFolder(strVelmora, strError) && MakeFolder(strFolder, strError);
}

bool LinkPort(int nPort, const std::string& strTarget, std::string& strLink,
              std::string& strWarning, std::string& strError) {
    std::string strFolder;
    if (!MakePortsFolder(strFolder, strError)) {
        return false;
    }
    strLink = strFolder + "/com" + std::to_string(nPort);
    struct stat info {};
    if (::lstat(strLink.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            strError = strLink + " exists and is not a link";
            return false;
        }
        if (::stat(strLink.c_str(), &info) == 0) {
            strWarning = "replaced " + strLink + ", which pointed at " + ReadLink(strLink);
        }
    }
    // Link under a temporary name, then rename over: the port never points nowhere.
    const std::string strTemporary = strLink + ".new" + std::to_string(::getpid());
    ::unlink(strTemporary.c_str());
    if (::symlink(strTarget.c_str(), strTemporary.c_str()) != 0 ||
        ::rename(strTemporary.c_str(), strLink.c_str()) != 0) {
        strError = SystemError("cannot create link " + strLink);
        ::unlink(strTemporary.c_str());
        return false;
    }
    return true;
}

CPortLink::~CPortLink() {
    Remove();
}

bool CPortLink::Create(int nPort, const std::string& strTarget, std::string& strError) {
    Remove();
    std::string strLink;
    if (!LinkPort(nPort, strTarget, strLink, m_strWarning, strError)) {
        return false;
    }
    m_strLinkPath = strLink;
    m_strTarget = strTarget;
    return true;
}

void CPortLink::Remove() {
    if (!m_strLinkPath.empty() && ReadLink(m_strLinkPath) == m_strTarget) {
        ::unlink(m_strLinkPath.c_str());
    }
    m_strLinkPath.clear();
    m_strTarget.clear();
}

} // namespace vbase
