#include "PortLink.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {

namespace {

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

void SetCloseOnExec(int nFd) {
    ::fcntl(nFd, F_SETFD, ::fcntl(nFd, F_GETFD) | FD_CLOEXEC);
}

} // namespace

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

CPortLink::~CPortLink() {
    Close();
}

bool CPortLink::Open(int nPort, int nBaud, std::string& strError) {
    Close();
    if (OpenTerminal(nBaud, strError) && CreateLink(nPort, strError)) {
        return true;
    }
    Close();
    return false;
}

void CPortLink::Close() {
    if (!m_strLinkPath.empty() && ReadLink(m_strLinkPath) == m_strSlavePath) {
        ::unlink(m_strLinkPath.c_str());
    }
    m_strLinkPath.clear();
    for (int* pFd : {&m_nSlave, &m_nMaster}) {
        if (*pFd >= 0) {
            ::close(*pFd);
            *pFd = -1;
        }
    }
    m_strSlavePath.clear();
}

int CPortLink::CurrentBaud() const {
    struct termios settings {};
    if (m_nSlave < 0 || ::tcgetattr(m_nSlave, &settings) != 0) {
        return 0;
    }
    // An input speed of 0 means "same as the output speed".
    const speed_t nInput = ::cfgetispeed(&settings);
    return BaudFromSpeed(nInput == B0 ? ::cfgetospeed(&settings) : nInput);
}

bool CPortLink::OpenTerminal(int nBaud, std::string& strError) {
    speed_t nSpeed = B0;
    if (!SpeedFromBaud(nBaud, nSpeed)) {
        strError = "unsupported baud rate " + std::to_string(nBaud);
        return false;
    }
    m_nMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
    char szSlave[PATH_MAX];
    if (m_nMaster < 0 || ::grantpt(m_nMaster) != 0 || ::unlockpt(m_nMaster) != 0 ||
        ::ptsname_r(m_nMaster, szSlave, sizeof szSlave) != 0) {
        strError = SystemError("cannot create a pseudo-terminal");
        return false;
    }
    SetCloseOnExec(m_nMaster);
    m_strSlavePath = szSlave;
    m_nSlave = ::open(szSlave, O_RDWR | O_NOCTTY | O_CLOEXEC);
    struct termios settings {};
    if (m_nSlave < 0 || ::tcgetattr(m_nSlave, &settings) != 0) {
        strError = SystemError("cannot open " + m_strSlavePath);
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
        return false;
    }
    return true;
}

bool CPortLink::CreateLink(int nPort, std::string& strError) {
    std::string strFolder;
    if (!MakePortsFolder(strFolder, strError)) {
        return false;
    }
    const std::string strLink = strFolder + "/com" + std::to_string(nPort);
    struct stat info {};
    if (::lstat(strLink.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            strError = strLink + " exists and is not a link";
            return false;
        }
        if (::stat(strLink.c_str(), &info) == 0) {
            m_strWarning = "replaced " + strLink + ", which pointed at " + ReadLink(strLink);
        }
    }
    // Link under a temporary name, then rename over: the port never points nowhere.
    const std::string strTemporary = strLink + ".new" + std::to_string(::getpid());
    ::unlink(strTemporary.c_str());
    if (::symlink(m_strSlavePath.c_str(), strTemporary.c_str()) != 0 ||
        ::rename(strTemporary.c_str(), strLink.c_str()) != 0) {
        strError = SystemError("cannot create link " + strLink);
        ::unlink(strTemporary.c_str());
        return false;
    }
    m_strLinkPath = strLink;
    return true;
}

} // namespace sim
