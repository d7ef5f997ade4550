// One COM port: opens and configures it and runs a reader thread that hands every received
// byte to an owner window as WM_SERIAL_RXCHAR, synchronously and in order.
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

#include <atomic>

class CWnd;

constexpr UINT WM_SERIAL_BREAK = WM_USER + 1;
constexpr UINT WM_SERIAL_CTS = WM_USER + 2;
constexpr UINT WM_SERIAL_LINEERR = WM_USER + 4;
constexpr UINT WM_SERIAL_RING = WM_USER + 5;
constexpr UINT WM_SERIAL_RXCHAR = WM_USER + 7;
constexpr UINT WM_SERIAL_RXFLAG = WM_USER + 8;

constexpr DWORD EV_RXCHAR = 0x0001;
constexpr DWORD EV_RXFLAG = 0x0002;
constexpr DWORD EV_CTS = 0x0008;
constexpr DWORD EV_BREAK = 0x0040;
constexpr DWORD EV_ERR = 0x0080;
constexpr DWORD EV_RING = 0x0100;

class CSerialLink {
public:
    CSerialLink();
    virtual ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    BOOL Open(CWnd* pOwnerWnd, int nPortNumber, int nBaud, int nDataBits, int nStopBits,
              char cParity, DWORD dwEventMask);
    BOOL StartReader();
    BOOL SuspendReader();
    void ReportError(const char* pszCall);

    std::atomic<int> m_bReaderAlive{0};
};
