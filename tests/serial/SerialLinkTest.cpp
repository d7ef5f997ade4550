#include "serial/SerialLink.h"
#include "tests/common/PseudoTerminal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kPort = 7;

// The owner window: records the bytes and notifications it is sent, and on which thread.
class CRecordingOwner : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        m_bAllOnGuiThread = m_bAllOnGuiThread && std::this_thread::get_id() == m_guiThread;
        m_bPortNumberSeen = m_bPortNumberSeen && lParam == kPort;
        if (message == WM_SERIAL_CTS)
            ++m_nCts;
        if (message != WM_SERIAL_RXCHAR)
            return 0;
        m_bytes += static_cast<char>(wParam);
        if (m_onByte)
            m_onByte(static_cast<char>(wParam));
        return 0;
    }

    std::string m_bytes;
    int m_nCts = 0;
    bool m_bAllOnGuiThread = true;
    bool m_bPortNumberSeen = true;
    std::function<void(char)> m_onByte;
    const std::thread::id m_guiThread = std::this_thread::get_id();
};

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.IsOpen());
        ASSERT_TRUE(m_pty.LinkAs(kPort));
    }
    BOOL Open(CSerialLink& link, int nBaud = 38400, int nPort = kPort) {
        return link.Open(&m_owner, nPort, nBaud, 8, 1, 'N', EV_RXCHAR | EV_CTS);
    }
    bool Received(size_t nBytes) {
        return WaitFor([&] { return m_owner.m_bytes.size() >= nBytes; });
    }

    CPortHome m_home;
    CPseudoTerminal m_pty;
    CRecordingOwner m_owner;
    CBoxRecorder m_boxes;
};

// CPU time a thread of this process has used so far, in clock ticks.
long ThreadCpuTicks(pid_t tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long nUser = 0, nSystem = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            nUser = std::stol(field);
        if (i == 15)
            nSystem = std::stol(field);
    }
    return nUser + nSystem;
}

// Fails the configuration call it is told to, as a device would, and counts the calls.
class CFailingCalls : public CPortCalls {
public:
    enum Step { kNone, kFileFlags, kGetAttr, kSetSpeed, kSetAttr, kSpeedIgnored };
    CFailingCalls(Step step, int nError) : m_step(step), m_nError(nError) {}

    int SetFileFlags(int fd, int nFlags) override {
        return m_step == kFileFlags ? Fail() : CPortCalls::SetFileFlags(fd, nFlags);
    }
    int GetAttr(int fd, termios* pConfig) override {
        return m_step == kGetAttr ? Fail() : CPortCalls::GetAttr(fd, pConfig);
    }
    int SetSpeed(termios* pConfig, speed_t speed) override {
        return m_step == kSetSpeed ? Fail() : CPortCalls::SetSpeed(pConfig, speed);
    }
    int SetAttr(int fd, const termios* pConfig) override {
        ++m_nSetAttr;
        if (m_step == kSetAttr)
            return Fail();
        termios config = *pConfig;
        if (m_step == kSpeedIgnored) {
            // The device takes everything but the speed, and says nothing.
            termios current = {};
            CPortCalls::GetAttr(fd, &current);
            cfsetspeed(&config, cfgetospeed(&current));
        }
        return CPortCalls::SetAttr(fd, &config);
    }
    int Flush(int fd) override {
        ++m_nFlush;
        return CPortCalls::Flush(fd);
    }

    int m_nSetAttr = 0;
    int m_nFlush = 0;

private:
    int Fail() {
        errno = m_nError;
        return -1;
    }
    Step m_step;
    int m_nError;
};

} // namespace

TEST_F(SerialLinkTest, DeliversEveryByteInOrderOneMessageEachOnTheGuiThread) {
    CSerialLink link;
    ASSERT_TRUE(Open(link));
    ASSERT_TRUE(link.StartReader());
    EXPECT_EQ(link.m_bReaderAlive, 1);
    EXPECT_EQ(m_pty.SlaveBaud(), 38400);

    std::string bytes = Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,,,");
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    ASSERT_TRUE(m_pty.Write(bytes));
    ASSERT_TRUE(Received(bytes.size()));
    PumpEvents(50);
    EXPECT_EQ(m_owner.m_bytes, bytes);
    EXPECT_TRUE(m_owner.m_bAllOnGuiThread);
    EXPECT_TRUE(m_owner.m_bPortNumberSeen);
    EXPECT_GE(m_owner.m_nCts, 1) << "the mask asks for a CTS notification on each wake-up";
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(SerialLinkTest, TheReaderReadsNothingMoreUntilTheHandlerReturned) {
    CSerialLink link;
    ASSERT_TRUE(Open(link));
    ASSERT_TRUE(link.StartReader());
    int nWaitingDuringHandler = -1;
    m_owner.m_onByte = [&](char c) {
        if (c != 'A')
            return;
        m_pty.Write("B");
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        nWaitingDuringHandler = m_pty.Waiting();
    };
    ASSERT_TRUE(m_pty.Write("A"));
    ASSERT_TRUE(Received(2));
    EXPECT_EQ(nWaitingDuringHandler, 1) << "the reader took a byte while a handler ran";
    EXPECT_EQ(m_owner.m_bytes, "AB");
}

TEST_F(SerialLinkTest, SuspendStopsDeliveryAtOnceEvenOfARunHandedOver) {
    CSerialLink link;
    ASSERT_TRUE(Open(link));
    ASSERT_TRUE(link.StartReader());
    CLineStreamer streamer(m_pty, Sentence("GPRMC,,V,,,,,,,,,,N"), 57600);
    ASSERT_TRUE(Received(200));
    // Not running the event loop for a while leaves the reader waiting in a send.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(link.SuspendReader());
    EXPECT_EQ(link.m_bReaderAlive, 0);
    size_t nDelivered = m_owner.m_bytes.size();
    PumpEvents(300);
    EXPECT_EQ(m_owner.m_bytes.size(), nDelivered);
    EXPECT_TRUE(link.SuspendReader()) << "a second suspend does nothing";
}

TEST_F(SerialLinkTest, StartAfterStopRunsOneNewReaderAndTheOldOneNeverDelivers) {
    CSerialLink link;
    int nThreads = ThreadCount();
    ASSERT_TRUE(Open(link));
    ASSERT_TRUE(link.StartReader());
    EXPECT_EQ(ThreadCount(), nThreads + 1);
    ASSERT_TRUE(m_pty.Write("ab"));
    ASSERT_TRUE(Received(2));
    // "cd" is read and handed over, but the window does not get to it before the Stop.
    ASSERT_TRUE(m_pty.Write("cd"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    link.SuspendReader();
    ASSERT_TRUE(Open(link));
    EXPECT_EQ(ThreadCount(), nThreads);
    // What arrives while stopped is purged by the next Start.
    ASSERT_TRUE(m_pty.Write("xy"));
    ASSERT_TRUE(WaitFor([&] { return m_pty.Waiting() == 2; }));
    ASSERT_TRUE(Open(link));
    ASSERT_TRUE(link.StartReader());
    EXPECT_EQ(ThreadCount(), nThreads + 1);
    ASSERT_TRUE(m_pty.Write("ef"));
    ASSERT_TRUE(Received(4));
    PumpEvents(200);
    EXPECT_EQ(m_owner.m_bytes, "abef");
}

TEST_F(SerialLinkTest, HundredStartStopCyclesLeaveNoThreadOrDescriptorBehind) {
    int nThreads = ThreadCount();
    int nFds = OpenFdCount();
    {
        CSerialLink link;
        for (int i = 0; i < 100; ++i) {
            ASSERT_TRUE(Open(link));
            ASSERT_TRUE(link.StartReader());
            ASSERT_TRUE(m_pty.Write("x"));
            ASSERT_TRUE(Received(static_cast<size_t>(i + 1)));
            link.SuspendReader();
            ASSERT_TRUE(Open(link));
        }
        EXPECT_EQ(ThreadCount(), nThreads);
        EXPECT_EQ(OpenFdCount(), nFds + 3) << "the port and two events, nothing more";
        ASSERT_TRUE(link.StartReader());
    }
    EXPECT_EQ(ThreadCount(), nThreads);
    EXPECT_EQ(OpenFdCount(), nFds);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(SerialLinkTest, APortThatCannotBeOpenedGivesFalseAndNoBox) {
    CTempDir dir;
    WriteFileBytes(dir.File("plain"), "not a port");
    std::string ports = m_home.Path() + "/.velmora/ports/";
    ASSERT_EQ(symlink("/nonexistent/ttyUSB9", (ports + "com11").c_str()), 0);
    ASSERT_EQ(symlink(dir.File("plain").c_str(), (ports + "com12").c_str()), 0);
    ASSERT_EQ(symlink("/dev/null", (ports + "com13").c_str()), 0);
    CSerialLink link;
    for (int nPort : {0, -1, 9999, 11, 12, 13})
        EXPECT_FALSE(Open(link, 38400, nPort)) << nPort;

    // A port another program claimed is in use.
    {
        COtherHolder other(m_pty, true);
        ASSERT_GT(other.Pid(), 0);
        EXPECT_FALSE(Open(link));
    }
    EXPECT_TRUE(Open(link));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(SerialLinkTest, AFailedConfigurationStepIsReportedOnceByNameAndTheRestSkipped) {
    struct Case {
        CFailingCalls::Step step;
        int nError;
        int nBaud;
        DWORD dwMask;
        const char* pszCall;
        const char* pszError;
    } cases[] = {
        {CFailingCalls::kFileFlags, EBADF, 57600, 9, "SetCommTimeouts()", "Bad file descriptor"},
        {CFailingCalls::kNone, 0, 57600, 0x8000, "SetCommMask()", "Invalid argument"},
        {CFailingCalls::kGetAttr, EIO, 57600, 9, "GetCommState()", "Input/output error"},
        {CFailingCalls::kNone, 0, 12345, 9, "BuildCommDCB()", "Invalid argument"},
        {CFailingCalls::kSetSpeed, EINVAL, 57600, 9, "BuildCommDCB()", "Invalid argument"},
        {CFailingCalls::kSetAttr, EIO, 57600, 9, "SetCommState()", "Input/output error"},
        {CFailingCalls::kSpeedIgnored, 0, 57600, 9, "SetCommState()", "Invalid argument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszCall);
        CBoxRecorder boxes;
        CFailingCalls calls(c.step, c.nError);
        CSerialLink link;
        link.SetPortCalls(&calls);
        EXPECT_TRUE(link.Open(&m_owner, kPort, c.nBaud, 8, 1, 'N', c.dwMask));
        ASSERT_EQ(boxes.Count(), 1u);
        MessageBoxCall box = boxes.Calls()[0];
        EXPECT_EQ(box.caption, "Application Error");
        EXPECT_EQ(box.type, MB_ICONSTOP | MB_OK);
        EXPECT_EQ(box.text, std::string("WARNING:  ") + c.pszCall +
                                " Failed with the following error: \n" + c.pszError +
                                "\nPort: 7\n");
        EXPECT_EQ(calls.m_nSetAttr, c.step >= CFailingCalls::kSetAttr ? 1 : 0);
        EXPECT_EQ(calls.m_nFlush, 1) << "the port is purged all the same";
    }
}

TEST_F(SerialLinkTest, AVanishedDeviceGivesOneBoxAndAnIdleReader) {
    pid_t nBoxTid = 0;
    std::mutex lock;
    std::vector<std::string> texts;
    SetMessageBoxHook([&](const MessageBoxCall& call) {
        std::lock_guard<std::mutex> guard(lock);
        texts.push_back(call.text);
        // The box is raised on the GUI thread while the reader waits for it to be answered.
        const std::vector<pid_t> readers = ThreadIdsNamed(kReaderThreadName);
        nBoxTid = readers.size() == 1 ? readers[0] : 0;
        return IDOK;
    });
    auto boxCount = [&] {
        std::lock_guard<std::mutex> guard(lock);
        return texts.size();
    };
    {
        CSerialLink link;
        ASSERT_TRUE(Open(link));
        ASSERT_TRUE(link.StartReader());
        CLineStreamer streamer(m_pty, Sentence("GPGSV,1,1,00"), 57600);
        ASSERT_TRUE(Received(100));
        streamer.Stop();
        m_pty.HangUp();
        ASSERT_TRUE(WaitFor([&] { return boxCount() > 0; }));
        EXPECT_EQ(link.m_bReaderAlive, 0);
        ASSERT_NE(nBoxTid, 0) << "no reader waited for the box";
        long nTicks = ThreadCpuTicks(nBoxTid);
        PumpEvents(1000);
        EXPECT_LT(ThreadCpuTicks(nBoxTid) - nTicks, 10) << "the reader spins on the dead port";
        EXPECT_EQ(boxCount(), 1u);
        EXPECT_EQ(texts[0], "Serialport Error");
        link.SuspendReader();
        EXPECT_FALSE(Open(link)) << "the device is gone";
    }
    SetMessageBoxHook(nullptr);
}

TEST_F(SerialLinkTest, ABoxOfTheReaderIsShownByTheGuiThreadWhileTheReaderWaits) {
    SetMessageBoxHook(nullptr);
    CSerialLink link;
    ASSERT_TRUE(Open(link));
    ASSERT_TRUE(link.StartReader());
    QString text;
    bool bOnGuiThread = false;
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [&] {
        if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = pBox->text();
            bOnGuiThread = pBox->thread() == QThread::currentThread();
            pBox->button(QMessageBox::Ok)->click();
        }
    });
    dismiss.start(20);
    m_pty.HangUp();
    ASSERT_TRUE(WaitFor([&] { return !text.isEmpty(); }));
    EXPECT_EQ(text, "Serialport Error");
    EXPECT_TRUE(bOnGuiThread);
    EXPECT_EQ(link.m_bReaderAlive, 0);
}

// The test seam sees a box where a user would: on the GUI thread, while the reader waits for
// the answer, so that recording boxes changes nothing about when and where they come.
TEST_F(SerialLinkTest, ABoxOfTheReaderReachesTheTestSeamOnTheGuiThreadWhileTheReaderWaits) {
    CSerialLink link;
    ASSERT_TRUE(Open(link));
    ASSERT_TRUE(link.StartReader());
    std::vector<std::string> texts;
    bool bOnGuiThread = true;
    bool bReaderWaited = true;
    SetMessageBoxHook([&](const MessageBoxCall& call) {
        texts.push_back(call.text);
        bOnGuiThread = bOnGuiThread && std::this_thread::get_id() == m_owner.m_guiThread;
        bReaderWaited = bReaderWaited && ThreadsNamed(kReaderThreadName) == 1;
        return IDOK;
    });
    m_pty.HangUp();
    ASSERT_TRUE(WaitFor([&] { return !texts.empty(); }));
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(texts, std::vector<std::string>{"Serialport Error"});
    EXPECT_TRUE(bOnGuiThread);
    EXPECT_TRUE(bReaderWaited);
}
