// One COM port: opens and configures it and runs a reader thread that hands every received
// byte to an owner window as WM_SERIAL_RXCHAR, synchronously and in order. The port may also be
// a network source (a TCP server, a gpsd), read and handed on the same way.
#pragma once

#include "platform/CrossThread.h"
#include "platform/String.h"
#include "platform/Types.h"
#include "serial/GpsdFilter.h"
#include "serial/NetSource.h"
#include "serial/PortCalls.h"
#include "serial/PortDiagnosis.h"
#include "serial/PortSource.h"

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>

class CWnd;

constexpr UINT WM_SERIAL_BREAK = WM_USER + 1;
constexpr UINT WM_SERIAL_CTS = WM_USER + 2;
// Bytes arrived that are not the receiver's (the JSON lines of gpsd) and were not handed on:
// the line is alive, so the baud-rate watchdog is armed as a byte would arm it.
constexpr UINT WM_SERIAL_RXSKIPPED = WM_USER + 3;
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

// The name the reader thread goes by in the system's thread lists.
constexpr const char* kReaderThreadName = "serial reader";

class CSerialLink {
public:
    CSerialLink();
    virtual ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    // Ends any reader, then opens "COM<nPortNumber>" and configures it. FALSE only when the
    // device cannot be opened (absent, held by another program, not a serial device) or the
    // network source cannot be reached; a configuration step that fails is reported in a box
    // and the port stays open. A network source ignores the line settings.
    BOOL Open(CWnd* pOwnerWnd, int nPortNumber, int nBaud, int nDataBits, int nStopBits,
              char cParity, DWORD dwEventMask);
    // Ends the reader and opens again, with the same settings, the device the last Open
    // resolved, never what the number names now. A device that hung up is not opened again,
    // a network source is not reconnected: both stay closed (FALSE).
    BOOL Reopen();
    // Begins a new reader (ending the previous one) and returns once it is in its loop.
    BOOL StartReader();
    // Ends the reader: nothing it read is handled any more, even a run already handed over.
    BOOL SuspendReader();
    // Reports the failed call with the system's text for errno.
    void ReportError(const char* pszCall);
    // Why the last Open returned FALSE, for the user: which device the number named, the
    // system's reason and what to do. Empty after an Open that succeeded.
    const std::string& LastOpenError() const { return m_strLastOpenError; }

    // Test seam: the calls that open and configure the port (null: the system's own).
    void SetPortCalls(CPortCalls* pCalls);
    // Test seam: the calls that resolve and connect network sources (null: the system's own).
    void SetNetCalls(CNetCalls* pCalls);

    std::atomic<int> m_bReaderAlive{0};

private:
    // The settings of the last Open, for Reopen.
    struct OpenSettings {
        int nBaud;
        int nDataBits;
        int nStopBits;
        char cParity;
        DWORD dwEventMask;
    };
    BOOL OpenDevice(const std::string& path);
    bool ResolveSource();
    bool ConnectNetSource();
    bool OpenPort(const std::string& path);
    bool HasOtherHolders(const std::string& path);
    bool TakeClaim(int fd);
    // Closes fd when it is open and keeps the reason for LastOpenError; false.
    bool RefuseOpen(EPortFailure eFailure, int nError, int fd = -1);
    void ClosePort();
    const char* Configure(int nBaud, int nDataBits, int nStopBits, char cParity, DWORD dwEventMask);
    bool BuildConfig(int nBaud, int nDataBits, int nStopBits, char cParity);
    bool ApplyConfig();
    void PurgePort();
    void EndReader();
    void ReaderThread(std::promise<void> inLoop);
    bool DrainInput(short nEvents);
    void ReportLineFailure(int nError);
    std::vector<CSentMessage> Notifications() const;
    void ShowBox(std::function<void()> box);

    std::unique_ptr<std::thread> m_pReader;
    // Guards the port between the caller's thread and the reader; never held across a send.
    std::mutex m_lock;
    int m_hStopEvent = -1;
    int m_hPort = -1;
    // What the reader waits on: the stop event, then the port.
    pollfd m_waitHandles[2] = {};
    CWnd* m_pOwnerWnd = nullptr;
    int m_nPortNumber = 0;
    // What the port number named at the last Open (the device, link or source file), the
    // device itself that was opened, and the source it holds.
    std::string m_strDevicePath;
    std::string m_strOpenedDevice;
    PortSource m_source;
    OpenSettings m_settings = {};
    // The line hung up or the server closed the connection since the last Open.
    std::atomic<bool> m_bHungUp{false};
    CGpsdFilter m_gpsdFilter;
    std::string m_strLastOpenError;
    termios m_dcbConfig = {};
    DWORD m_dwEventMask = 0;
    CCrossThreadSend m_sender;
    CPortCalls* m_pCalls;
    CNetCalls* m_pNetCalls;
};
