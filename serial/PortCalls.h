// The system calls that open, claim, configure, purge and close a serial port, behind one
// interface so that tests can make any one of them fail as a device would.
#pragma once

#include <termios.h>

class CPortCalls {
public:
    virtual ~CPortCalls() = default;

    virtual int Open(const char* pszPath, int nFlags);
    virtual int Close(int fd);
    virtual int Ioctl(int fd, unsigned long nRequest, int* pArg);
    virtual int SetFileFlags(int fd, int nFlags);
    virtual int GetAttr(int fd, termios* pConfig);
    virtual int SetAttr(int fd, const termios* pConfig);
    virtual int SetSpeed(termios* pConfig, speed_t speed);
    virtual int Flush(int fd);

    // The real calls.
    static CPortCalls& System();
};
