#include "serial/PortCalls.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

int CPortCalls::Open(const char* pszPath, int nFlags) {
    return ::open(pszPath, nFlags);
}

int CPortCalls::Close(int fd) {
    return ::close(fd);
}

int CPortCalls::Ioctl(int fd, unsigned long nRequest, int* pArg) {
    return ::ioctl(fd, nRequest, pArg);
}

int CPortCalls::SetFileFlags(int fd, int nFlags) {
    return ::fcntl(fd, F_SETFL, nFlags);
}

int CPortCalls::GetAttr(int fd, termios* pConfig) {
    return ::tcgetattr(fd, pConfig);
}

int CPortCalls::SetAttr(int fd, const termios* pConfig) {
    return ::tcsetattr(fd, TCSANOW, pConfig);
}

int CPortCalls::SetSpeed(termios* pConfig, speed_t speed) {
    return ::cfsetspeed(pConfig, speed);
}

int CPortCalls::Flush(int fd) {
    return ::tcflush(fd, TCIOFLUSH);
}

CPortCalls& CPortCalls::System() {
    static CPortCalls calls;
    return calls;
}
