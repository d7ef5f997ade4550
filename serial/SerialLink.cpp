#include "serial/SerialLink.h"

#include "core/BaudRates.h"
#include "platform/GuiThread.h"
#include "platform/MessageBox.h"
#include "serial/ClaimRelease.h"
#include "serial/PortHolders.h"
#include "serial/PortNames.h"

#include <QString>
#include <cerrno>
#include <climits>
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

CSerialLink::CSerialLink() : m_pCalls(&CPortCalls::System()), m_pNetCalls(&CNetCalls::System()) {}

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

void CSerialLink::SetNetCalls(CNetCalls* pCalls) {
    m_pNetCalls = pCalls ? pCalls : &CNetCalls::System();
}

BOOL CSerialLink::Open(CWnd* pOwnerWnd, int nPortNumber, int nBaud, int nDataBits, int nStopBits,
                       char cParity, DWORD dwEventMask) {
    EndReader();
    m_pOwnerWnd = pOwnerWnd;
    m_nPortNumber = nPortNumber;
    m_settings = {nBaud, nDataBits, nStopBits, cParity, dwEventMask};
    {
        std::lock_guard<std::mutex> guard(m_lock);
        ClosePort();
    }
    m_bHungUp = false;
    m_strOpenedDevice.clear();
    m_strDevicePath = PortDevicePath(nPortNumber);
    m_strLastOpenError.clear();
    if (!ResolveSource())
        return FALSE;
    if (m_source.eKind != ESourceKind::Device)
        return ConnectNetSource() ? TRUE : FALSE;
    // The device itself, so that a re-open finds it whatever the number names by then.
    char szReal[PATH_MAX];
    m_strOpenedDevice = realpath(m_strDevicePath.c_str(), szReal) ? szReal : m_strDevicePath;
    return OpenDevice(m_strDevicePath);
}

BOOL CSerialLink::Reopen() {
    EndReader();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        ClosePort();
    }
    if (m_source.eKind != ESourceKind::Device || m_bHungUp || m_strOpenedDevice.empty())
        return FALSE;
    return OpenDevice(m_strOpenedDevice);
}

BOOL CSerialLink::OpenDevice(const std::string& path) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!OpenPort(path))
        return FALSE;
    if (const char* pszFailed =
            Configure(m_settings.nBaud, m_settings.nDataBits, m_settings.nStopBits,
                      m_settings.cParity, m_settings.dwEventMask))
        ReportError(pszFailed);
    PurgePort();
    return TRUE;
}

// What the number names: a device, or the network source its file holds.
bool CSerialLink::ResolveSource() {
    m_source = PortSource();
    m_source.path = m_strDevicePath;
    if (m_strDevicePath.empty() || !IsSourceFile(m_strDevicePath))
        return true;
    std::string error;
    if (ReadSourceFile(m_strDevicePath, m_source, error))
        return true;
    m_strLastOpenError = DescribeSourceFailure(error);
    return false;
}

// Connects without holding the lock: the window goes on answering meanwhile.
bool CSerialLink::ConnectNetSource() {
    NetConnection connection = ConnectSource(m_source, *m_pNetCalls);
    if (connection.fd < 0) {
        m_strLastOpenError = DescribeConnectFailure(
            m_nPortNumber, m_strDevicePath, connection.reason, m_source.eKind == ESourceKind::Gpsd);
        return false;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    m_hPort = connection.fd;
    m_dwEventMask = m_settings.dwEventMask & kKnownEvents;
    m_gpsdFilter.Reset();
    return true;
}

bool CSerialLink::OpenPort(const std::string& path) {
    if (path.empty())
        return RefuseOpen(EPortFailure::NoDevice, 0);
    // No sharing: another program reading the device would split the stream with us.
    if (HasOtherHolders(path))
        return false;
    int fd = m_pCalls->Open(path.c_str(), kOpenFlags);
    if (fd < 0 && errno == EBUSY && FindPortHolders(path).bComplete)
        return RefuseOpen(EPortFailure::StaleClaim, EBUSY);
    if (fd < 0)
        return RefuseOpen(EPortFailure::OpenRefused, errno);
    if (!TakeClaim(fd))
        return false;
    m_hPort = fd;
    m_dwEventMask = 0;
    return true;
}

bool CSerialLink::HasOtherHolders(const std::string& path) {
    PortHolders found = FindPortHolders(path);
    if (found.holders.empty())
        return false;
    m_strLastOpenError = DescribeSharedDevice(m_nPortNumber, m_strDevicePath, found.holders);
    return true;
}

// A port another program claimed is in use (root could open it regardless); a claim that no
// program holds any more is left over from one that ended without letting go, and is cleared.
// A device that cannot be claimed is no serial port.
bool CSerialLink::TakeClaim(int fd) {
    int nClaimed = 0;
    if (m_pCalls->Ioctl(fd, TIOCGEXCL, &nClaimed) < 0)
        return RefuseOpen(EPortFailure::NotSerial, errno, fd);
    if (nClaimed != 0) {
        PortHolders found = FindPortHolders(m_strOpenedDevice);
        if (!found.bComplete || !found.holders.empty())
            return RefuseOpen(EPortFailure::Claimed, EBUSY, fd);
        m_pCalls->Ioctl(fd, TIOCNXCL, nullptr);
    }
    // Registered before it is taken: a signal that ends the program in between still finds it.
    RegisterClaim(fd);
    if (m_pCalls->Ioctl(fd, TIOCEXCL, nullptr) < 0) {
        int nError = errno;
        UnregisterClaim(fd);
        return RefuseOpen(EPortFailure::NotSerial, nError, fd);
    }
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
    if (m_source.eKind != ESourceKind::Device) {
        close(m_hPort);
        m_hPort = -1;
        return;
    }
    UnregisterClaim(m_hPort);
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

// A network source has no queue of its own to purge: what the server sent is the stream.
void CSerialLink::PurgePort() {
    if (m_hPort >= 0 && m_source.eKind == ESourceKind::Device)
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
    // A box belongs to the GUI thread, recorded by the test seam or not: the reader waits
    // there until it is dismissed.
    m_sender.Call(std::move(box));
}

BOOL CSerialLink::StartReader() {
    AssertGuiThread();
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
    AssertGuiThread();
    EndReader();
    return TRUE;
}

// Stops the reader wherever it stands: in its wait (the stop event), in a send or a box on
// the GUI thread (the closed gate releases it without running), or in a read. None of these
// needs the GUI thread, so the join cannot deadlock.
void CSerialLink::EndReader() {
    AssertGuiThread();
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
// (unplugged, hung up) or the server closed the connection, which is reported once.
bool CSerialLink::DrainInput(short nEvents) {
    BYTE buf[kMaxRun];
    ssize_t nRead;
    int nError;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        nRead = read(m_hPort, buf, sizeof buf);
        nError = errno;
    }
    bool bSocket = m_source.eKind != ESourceKind::Device;
    bool bFailed = nRead < 0 && nError != EAGAIN && nError != EINTR;
    size_t nSkipped = 0;
    size_t nBytes = nRead > 0 ? static_cast<size_t>(nRead) : 0;
    if (m_source.eKind == ESourceKind::Gpsd)
        nBytes = m_gpsdFilter.Filter(buf, nBytes, nSkipped);
    std::vector<CSentMessage> messages = Notifications();
    if (nSkipped > 0)
        messages.push_back({WM_SERIAL_RXSKIPPED, 0, m_nPortNumber});
    if (m_dwEventMask & EV_RXCHAR) {
        for (size_t i = 0; i < nBytes; ++i)
            messages.push_back({WM_SERIAL_RXCHAR, buf[i], m_nPortNumber});
    }
    // A send the closed gate refused means the reader is being ended: its stop event is set.
    if (!messages.empty() && m_pOwnerWnd &&
        !m_sender.SendMessages(m_pOwnerWnd, std::move(messages)))
        return true;
    // A port's hang-up is told by the wait, not by a read of 0 bytes; a socket's end is the
    // read of 0 bytes after the wait said there was something to read.
    bool bClosed = nRead == 0 && (bSocket || (nEvents & kHangUp));
    bool bDead = nRead < 0 && !bFailed && (nEvents & kHangUp);
    if (bFailed || bClosed || bDead) {
        ReportLineFailure(bFailed ? nError : 0);
        return false;
    }
    return true;
}

void CSerialLink::ReportLineFailure(int nError) {
    m_bReaderAlive = 0;
    m_bHungUp = true;
    std::string detail = DescribeLineFailure(m_nPortNumber, m_strDevicePath, nError);
    ShowBox([detail] { AfxMessageBox("Serialport Error", MB_OK, detail); });
}

std::vector<CSentMessage> CSerialLink::Notifications() const {
    std::vector<CSentMessage> messages;
    for (const Notification& n : kNotifications) {
        if (m_dwEventMask & n.dwEvent)
            messages.push_back({n.message, 0, m_nPortNumber});
    }
    return messages;
}
