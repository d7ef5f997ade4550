#include "serial/SerialLink.h"

#include "core/BaudRates.h"
#include "platform/MessageBox.h"
#include "serial/PortNames.h"

#include <QString>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr int kOpenFlags = O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
constexpr DWORD kKnownEvents = EV_RXCHAR | EV_RXFLAG | EV_CTS | EV_BREAK | EV_ERR | EV_RING;
constexpr tcflag_t kFrameFlags = CSIZE | PARENB | PARODD | CSTOPB;
constexpr short kHangUp = POLLHUP | POLLERR | POLLNVAL;
// The most bytes handed over in one send.
constexpr size_t kMaxRun = 4096;

// Notifications sent on each wake-up of the reader, in this order, when their event is in
// the port's mask.
struct Notification {
    DWORD dwEvent;
    UINT message;
};
constexpr Notification kNotifications[] = {{EV_CTS, WM_SERIAL_CTS},
                                           {EV_RXFLAG, WM_SERIAL_RXFLAG},
                                           {EV_BREAK, WM_SERIAL_BREAK},
                                           {EV_ERR, WM_SERIAL_LINEERR},
                                           {EV_RING, WM_SERIAL_RING}};

bool CharacterSizeOf(int nDataBits, tcflag_t& size) {
    switch (nDataBits) {
    case 5:
        size = CS5;
        return true;
    case 6:
        size = CS6;
        return true;
    case 7:
        size = CS7;
        return true;
    case 8:
        size = CS8;
        return true;
    default:
        return false;
    }
}

bool ParityOf(char cParity, tcflag_t& parity) {
    switch (cParity) {
    case 'N':
    case 'n':
        parity = 0;
        return true;
    case 'E':
    case 'e':
        parity = PARENB;
        return true;
    case 'O':
    case 'o':
        parity = PARENB | PARODD;
        return true;
    default:
        return false;
    }
}

// The system's text for an error, in the program's code page.
CString SystemText(int nError) {
    char buf[256];
    const char* pszText = strerror_r(nError, buf, sizeof buf);
    return CString::FromUnicode(QString::fromLocal8Bit(pszText));
}

} // namespace

CSerialLink::CSerialLink() : m_pCalls(&CPortCalls::System()) {}

CSerialLink::~CSerialLink() {
    EndReader();
    std::lock_guard<std::mutex> guard(m_lock);
    ClosePort();
    if (m_hStopEvent >= 0)
        close(m_hStopEvent);
}

void CSerialLink::SetPortCalls(CPortCalls* pCalls) {
    m_pCalls = pCalls ? pCalls : &CPortCalls::System();
}

BOOL CSerialLink::Open(CWnd* pOwnerWnd, int nPortNumber, int nBaud, int nDataBits, int nStopBits,
                       char cParity, DWORD dwEventMask) {
    EndReader();
    m_pOwnerWnd = pOwnerWnd;
    m_nPortNumber = nPortNumber;
    std::lock_guard<std::mutex> guard(m_lock);
    ClosePort();
    m_strDevicePath = PortDevicePath(nPortNumber);
    m_strLastOpenError.clear();
    if (!OpenPort(m_strDevicePath))
        return FALSE;
    if (const char* pszFailed = Configure(nBaud, nDataBits, nStopBits, cParity, dwEventMask))
        ReportError(pszFailed);
    PurgePort();
    return TRUE;
}

bool CSerialLink::OpenPort(const std::string& path) {
    if (path.empty())
        return RefuseOpen(EPortFailure::NoDevice, 0);
    int fd = m_pCalls->Open(path.c_str(), kOpenFlags);
    if (fd < 0)
        return RefuseOpen(EPortFailure::OpenRefused, errno);
    // No sharing: a port another program claimed is in use (root could open it regardless),
    // and a device that cannot be claimed is no serial port.
    int nClaimed = 0;
    if (m_pCalls->Ioctl(fd, TIOCGEXCL, &nClaimed) < 0)
        return RefuseOpen(EPortFailure::NotSerial, errno, fd);
    if (nClaimed != 0)
        return RefuseOpen(EPortFailure::Claimed, EBUSY, fd);
    if (m_pCalls->Ioctl(fd, TIOCEXCL, nullptr) < 0)
        return RefuseOpen(EPortFailure::NotSerial, errno, fd);
    m_hPort = fd;
    m_dwEventMask = 0;
    return true;
}

bool CSerialLink::RefuseOpen(EPortFailure eFailure, int nError, int fd) {
    if (fd >= 0)
        m_pCalls->Close(fd);
    m_strLastOpenError = DescribeOpenFailure(m_nPortNumber, m_strDevicePath, eFailure, nError);
    return false;
}

void CSerialLink::ClosePort() {
    if (m_hPort < 0)
        return;
    // The claim belongs to the device, not to this descriptor: while the other side of a
    // pseudo-terminal stays open it would outlive the close and refuse the next open.
    m_pCalls->Ioctl(m_hPort, TIOCNXCL, nullptr);
    m_pCalls->Close(m_hPort);
    m_hPort = -1;
}

// The configuration steps in order, under the names the program reports them by; the first
// that fails ends the configuration and its name is returned, with errno telling why.
const char* CSerialLink::Configure(int nBaud, int nDataBits, int nStopBits, char cParity,
                                   DWORD dwEventMask) {
    // Reads return at once; the reader waits in poll, so there is no read time-out to set.
    if (m_pCalls->SetFileFlags(m_hPort, O_RDWR | O_NONBLOCK) < 0)
        return "SetCommTimeouts()";
    if (dwEventMask & ~kKnownEvents) {
        errno = EINVAL;
        return "SetCommMask()";
    }
    m_dwEventMask = dwEventMask;
    if (m_pCalls->GetAttr(m_hPort, &m_dcbConfig) < 0)
        return "GetCommState()";
    if (!BuildConfig(nBaud, nDataBits, nStopBits, cParity))
        return "BuildCommDCB()";
    if (!ApplyConfig())
        return "SetCommState()";
    return nullptr;
}

bool CSerialLink::BuildConfig(int nBaud, int nDataBits, int nStopBits, char cParity) {
    speed_t speed = B0;
    tcflag_t size = CS8;
    tcflag_t parity = 0;
    if (!SpeedFromBaud(nBaud, speed) || !CharacterSizeOf(nDataBits, size) ||
        !ParityOf(cParity, parity) || (nStopBits != 1 && nStopBits != 2)) {
        errno = EINVAL;
        return false;
    }
    cfmakeraw(&m_dcbConfig);
    m_dcbConfig.c_iflag &= ~(IXON | IXOFF | IXANY);
    m_dcbConfig.c_cflag &= ~(kFrameFlags | CRTSCTS);
    m_dcbConfig.c_cflag |= CLOCAL | CREAD | size | parity | (nStopBits == 2 ? CSTOPB : 0);
    m_dcbConfig.c_cc[VMIN] = 0;
    m_dcbConfig.c_cc[VTIME] = 0;
    return m_pCalls->SetSpeed(&m_dcbConfig, speed) == 0;
}

bool CSerialLink::ApplyConfig() {
    if (m_pCalls->SetAttr(m_hPort, &m_dcbConfig) < 0)
        return false;
    // tcsetattr succeeds when any part was taken: a speed or frame the device refused shows
    // only when the settings are read back.
    termios applied = {};
    if (m_pCalls->GetAttr(m_hPort, &applied) < 0)
        return false;
    if (cfgetospeed(&applied) != cfgetospeed(&m_dcbConfig) ||
        cfgetispeed(&applied) != cfgetispeed(&m_dcbConfig) ||
        (applied.c_cflag & kFrameFlags) != (m_dcbConfig.c_cflag & kFrameFlags)) {
        errno = EINVAL;
        return false;
    }
    // RTS on; a device without modem lines (a pseudo-terminal) has none to raise.
    int nLines = TIOCM_RTS;
    return m_pCalls->Ioctl(m_hPort, TIOCMBIS, &nLines) == 0 || errno == ENOTTY || errno == EINVAL;
}

void CSerialLink::PurgePort() {
    if (m_hPort >= 0)
        m_pCalls->Flush(m_hPort);
}

void CSerialLink::ReportError(const char* pszCall) {
    int nError = errno;
    CString strText;
    strText.Format("WARNING:  %s Failed with the following error: \n%s\nPort: %d\n", pszCall,
                   SystemText(nError).GetString(), m_nPortNumber);
    std::string detail = DescribePortLine(DescribePort(m_nPortNumber, m_strDevicePath));
    ShowBox([strText, detail] {
        MessageBox(nullptr, strText, "Application Error", MB_ICONSTOP | MB_OK, detail);
    });
}

void CSerialLink::ShowBox(std::function<void()> box) {
    // The test seam records boxes from any thread; a real box belongs to the GUI thread, and
    // the reader waits there until it is dismissed.
    if (HasMessageBoxHook())
        box();
    else
        m_sender.Call(std::move(box));
}

BOOL CSerialLink::StartReader() {
    EndReader();
    if (m_hStopEvent < 0)
        m_hStopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_hStopEvent < 0 || !m_sender.Open())
        return FALSE;
    m_waitHandles[0] = pollfd{m_hStopEvent, POLLIN, 0};
    m_waitHandles[1] =
        pollfd{m_hPort, static_cast<short>(m_dwEventMask & EV_RXCHAR ? POLLIN : 0), 0};
    std::promise<void> inLoop;
    std::future<void> started = inLoop.get_future();
    try {
        m_pReader =
            std::make_unique<std::thread>(&CSerialLink::ReaderThread, this, std::move(inLoop));
    } catch (const std::system_error&) {
        m_sender.Close();
        return FALSE;
    }
    // Bytes written once StartReader returned are not purged by the new reader.
    started.wait();
    return TRUE;
}

BOOL CSerialLink::SuspendReader() {
    EndReader();
    return TRUE;
}

// Stops the reader wherever it stands: in its wait (the stop event), in a send or a box on
// the GUI thread (the closed gate releases it without running), or in a read. None of these
// needs the GUI thread, so the join cannot deadlock.
void CSerialLink::EndReader() {
    if (!m_pReader)
        return;
    eventfd_write(m_hStopEvent, 1);
    m_sender.Close();
    m_pReader->join();
    m_pReader.reset();
    eventfd_t value;
    eventfd_read(m_hStopEvent, &value);
    m_bReaderAlive = 0;
}

void CSerialLink::ReaderThread(std::promise<void> inLoop) {
    pthread_setname_np(pthread_self(), kReaderThreadName);
    m_bReaderAlive = 1;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        PurgePort();
    }
    inLoop.set_value();
    nfds_t nWait = m_hPort >= 0 ? 2 : 1;
    for (;;) {
        if (poll(m_waitHandles, nWait, -1) < 0) {
            if (errno == EINTR)
                continue;
            // A failed wait: the reader stays, waiting for its stop event alone.
            m_bReaderAlive = 0;
            nWait = 1;
            continue;
        }
        if (m_waitHandles[0].revents != 0) {
            m_bReaderAlive = 0;
            return;
        }
        // A dead device is never waited on again, so the reader cannot spin on it.
        if (!DrainInput(m_waitHandles[1].revents))
            nWait = 1;
    }
}

// Hands over one run of what waits in the input queue, the wake-up's notifications ahead of
// it; the reader comes back at once while more waits. False when the device failed
// (unplugged, hung up), which is reported once.
bool CSerialLink::DrainInput(short nEvents) {
    BYTE buf[kMaxRun];
    ssize_t nRead;
    int nError;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        nRead = read(m_hPort, buf, sizeof buf);
        nError = errno;
    }
    bool bFailed = nRead < 0 && nError != EAGAIN && nError != EINTR;
    std::vector<CSentMessage> messages = Notifications();
    if (m_dwEventMask & EV_RXCHAR) {
        for (ssize_t i = 0; i < nRead; ++i)
            messages.push_back({WM_SERIAL_RXCHAR, buf[i], m_nPortNumber});
    }
    // A send the closed gate refused means the reader is being ended: its stop event is set.
    if (!messages.empty() && m_pOwnerWnd &&
        !m_sender.SendMessages(m_pOwnerWnd, std::move(messages)))
        return true;
    // A hang-up is told by the wait, not by a read of 0 bytes.
    if (bFailed || (nRead <= 0 && (nEvents & kHangUp))) {
        m_bReaderAlive = 0;
        std::string detail =
            DescribeLineFailure(m_nPortNumber, m_strDevicePath, bFailed ? nError : 0);
        ShowBox([detail] { AfxMessageBox("Serialport Error", MB_OK, detail); });
        return false;
    }
    return true;
}

std::vector<CSentMessage> CSerialLink::Notifications() const {
    std::vector<CSentMessage> messages;
    for (const Notification& n : kNotifications) {
        if (m_dwEventMask & n.dwEvent)
            messages.push_back({n.message, 0, m_nPortNumber});
    }
    return messages;
}
