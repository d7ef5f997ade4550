#include "tests/common/PseudoTerminal.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/ioctl.h>

namespace {

constexpr int kPort = 7;

const std::string kValidSentence =
    Sentence("GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,");
// Bytes as a wrong line speed leaves them: no "$", never a sentence.
const std::string kGarbage("\xF8\x80\x00\xE6\x1E\x98\x66\x86\xFE\x00", 10);

// A device that takes the frame but keeps its speed, and says nothing.
class CSpeedRefusingCalls : public CPortCalls {
public:
    int SetAttr(int fd, const termios* pConfig) override {
        termios config = *pConfig;
        termios current = {};
        CPortCalls::GetAttr(fd, &current);
        cfsetspeed(&config, cfgetospeed(&current));
        return CPortCalls::SetAttr(fd, &config);
    }
};

void SelectBaud(CViewerDlg& dlg, const char* pszBaud) {
    qobject_cast<QComboBox*>(dlg.GetDlgItem(1000)->Widget())->setCurrentText(pszBaud);
}

class AcquisitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.IsOpen());
        ASSERT_TRUE(m_pty.LinkAs(kPort));
        Dlg().SetDlgItemText(1119, "7");
    }
    CViewerDlg& Dlg() { return m_harness.Dlg(); }
    std::string Caption() { return m_harness.Utf8(1); }
    bool CaptionBecomes(const char* pszCaption, int nMilliseconds = 5000) {
        return WaitFor([&] { return Caption() == pszCaption; }, nMilliseconds);
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const MessageBoxCall& call : m_boxes.Calls())
            texts.push_back(call.text);
        return texts;
    }
    bool PortClaimed() const {
        int nClaimed = 0;
        return ioctl(m_pty.Slave(), TIOCGEXCL, &nClaimed) == 0 && nClaimed != 0;
    }

    CPortHome m_home;
    CPseudoTerminal m_pty;
    CBoxRecorder m_boxes;
    CSpeedRefusingCalls m_speedRefusingCalls;
    CViewerHarness m_harness;
};

} // namespace

TEST_F(AcquisitionTest, CaptionFollowsStartAValidSentenceAndStop) {
    Dlg().OnOK();
    EXPECT_EQ(Caption(), "请稍候...");
    EXPECT_EQ(Dlg().m_bAcquiring, 1);
    EXPECT_EQ(Dlg().m_bStopped, 0);
    EXPECT_EQ(Dlg().m_nPort, kPort);
    EXPECT_EQ(Dlg().m_nBaud, 38400);
    EXPECT_EQ(m_pty.SlaveBaud(), 38400);

    ASSERT_TRUE(m_pty.Write(kValidSentence));
    ASSERT_TRUE(CaptionBecomes("停 止"));
    EXPECT_EQ(Dlg().m_bGotValidSentence, 1);

    Dlg().OnOK();
    EXPECT_EQ(Caption(), "开 始");
    EXPECT_EQ(Dlg().m_bStopped, 1);
    EXPECT_EQ(Dlg().m_bAcquiring, 0);
    EXPECT_TRUE(PortClaimed()) << "the port stays open and claimed while stopped";
    ASSERT_TRUE(m_pty.Write("$GPG"));
    PumpEvents(200);
    EXPECT_TRUE(Dlg().m_strSentence.IsEmpty()) << "a byte was delivered after Stop";
    EXPECT_TRUE(m_boxes.Calls().empty());
}

TEST_F(AcquisitionTest, ASecondStartClearsTheDisplayAndTakesTheNewSpeed) {
    Dlg().OnOK();
    Dlg().OnOK();
    for (int nID : {1001, 1096, 1110, 1132, 1136, 1130})
        Dlg().SetDlgItemText(nID, "12");
    Dlg().m_nCellState[5] = SAT_GPS_USED;
    SelectBaud(Dlg(), "57600");
    Dlg().OnOK();
    EXPECT_EQ(Caption(), "请稍候...");
    EXPECT_EQ(Dlg().m_nBaud, 57600);
    EXPECT_EQ(m_pty.SlaveBaud(), 57600);
    for (int nID : {1001, 1096, 1110, 1132, 1136, 1130})
        EXPECT_EQ(m_harness.Utf8(nID), "") << nID;
    EXPECT_EQ(Dlg().m_nCellState[5], SAT_EMPTY);
}

TEST_F(AcquisitionTest, APortThatCannotBeOpenedIsNamedAndTheWindowStaysStopped) {
    struct Case {
        const char* pszEdit;
        const char* pszMessage;
    } cases[] = {
        {"", "无法打开串口0！"},
        {"0", "无法打开串口0！"},
        {"-3", "无法打开串口-3！"},
        {"COM7", "无法打开串口0！"},
        {"9999", "无法打开串口9999！"},
        {"99999999999", "无法打开串口2147483647！"},
        {"-99999999999", "无法打开串口-2147483648！"},
    };
    for (const Case& c : cases) {
        CBoxRecorder boxes;
        Dlg().SetDlgItemText(1119, c.pszEdit);
        Dlg().OnOK();
        ASSERT_EQ(boxes.Count(), 1u) << c.pszEdit;
        EXPECT_EQ(boxes.Calls()[0].text, c.pszMessage);
        EXPECT_EQ(Caption(), "开 始");
        EXPECT_EQ(Dlg().m_bStopped, 1);
        EXPECT_EQ(Dlg().m_bAcquiring, 0);
    }
}

TEST_F(AcquisitionTest, StartWhileAReplayRunsOnlyAsksToStopIt) {
    Dlg().SetDlgItemText(1139, GBK("停止回放"));
    Dlg().OnOK();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"请首先停止回放！"});
    EXPECT_EQ(Caption(), "开 始");
    EXPECT_EQ(Dlg().m_bStopped, 1);
    EXPECT_FALSE(PortClaimed());
}

TEST_F(AcquisitionTest, TheWatchdogWaitsForTheFirstByteThenReportsAWrongSpeed) {
    Dlg().OnOK();
    PumpEvents(300);
    EXPECT_EQ(Caption(), "请稍候...");
    EXPECT_FALSE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG)) << "no byte, no watchdog";

    ASSERT_TRUE(m_pty.Write(kGarbage));
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG); }));
    EXPECT_EQ(Dlg().TimerPeriod(TIMER_BAUD_WATCHDOG), 3000);
    EXPECT_EQ(Caption(), "请稍候...");
    ASSERT_TRUE(CaptionBecomes("波特率错!", 4000));
    EXPECT_FALSE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG));

    ASSERT_TRUE(m_pty.Write("\r\n" + kValidSentence));
    EXPECT_TRUE(CaptionBecomes("停 止"));
}

TEST_F(AcquisitionTest, AWatchdogLeftByAQuickStopNeitherActsNorOutlivesTheNextStart) {
    Dlg().OnOK();
    ASSERT_TRUE(m_pty.Write(kGarbage));
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG); }));
    Dlg().OnOK();
    Dlg().OnTimer(TIMER_BAUD_WATCHDOG);
    EXPECT_EQ(Caption(), "开 始");
    EXPECT_FALSE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG));

    Dlg().OnOK();
    ASSERT_TRUE(m_pty.Write(kGarbage));
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG); }));
    Dlg().OnOK();
    Dlg().OnOK();
    EXPECT_FALSE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG)) << "the new Start saw no byte yet";
    EXPECT_EQ(Caption(), "请稍候...");
}

TEST_F(AcquisitionTest, AReplayTickWhileAcquiringLeavesTheWatchdogAlone) {
    Dlg().OnOK();
    Dlg().OnTimer(TIMER_REPLAY);
    EXPECT_EQ(Caption(), "请稍候...");
    ASSERT_TRUE(m_pty.Write(kGarbage));
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG); }));
    Dlg().OnTimer(TIMER_REPLAY);
    EXPECT_EQ(Caption(), "请稍候...");
    EXPECT_TRUE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG));
}

TEST_F(AcquisitionTest, AFailedConfigurationIsReportedAndAcquisitionGoesOn) {
    Dlg().m_serialLink.SetPortCalls(&m_speedRefusingCalls);
    SelectBaud(Dlg(), "57600");
    Dlg().OnOK();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Calls()[0].caption, "Application Error");
    EXPECT_EQ(m_boxes.Calls()[0].text,
              "WARNING:  SetCommState() Failed with the following error: \nInvalid "
              "argument\nPort: 7\n");
    EXPECT_EQ(Caption(), "请稍候...");
    ASSERT_TRUE(m_pty.Write(kValidSentence));
    EXPECT_TRUE(CaptionBecomes("停 止"));
}

TEST_F(AcquisitionTest, AVanishedReceiverLeavesAWorkingWindow) {
    Dlg().OnOK();
    {
        CLineStreamer streamer(m_pty, kValidSentence, 57600);
        ASSERT_TRUE(CaptionBecomes("停 止"));
    }
    m_pty.HangUp();
    ASSERT_TRUE(WaitFor([&] { return m_boxes.Count() > 0; }));
    PumpEvents(200);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Serialport Error"});
    EXPECT_EQ(Dlg().m_serialLink.m_bReaderAlive, 0);

    Dlg().OnOK();
    EXPECT_EQ(Caption(), "开 始");
    EXPECT_EQ(m_boxes.Count(), 1u) << "the re-open at Stop fails without a message";
    Dlg().OnOK();
    EXPECT_EQ(BoxTexts().back(), "无法打开串口7！");
    EXPECT_EQ(Dlg().m_bStopped, 1);
}

// The program as it runs: Escape while a receiver streams at 57600 baud ends the modal run,
// destroys the window and its reader, and returns.
TEST(AcquisitionShutdown, EscapeWhileBytesStreamEndsTheProgramPromptly) {
    CPortHome home;
    CPseudoTerminal pty;
    ASSERT_TRUE(pty.LinkAs(kPort));
    CBoxRecorder boxes;
    std::unique_ptr<CLineStreamer> pStreamer;
    std::chrono::steady_clock::time_point escaped;

    // A hang here would otherwise only end at the test's time limit.
    std::mutex lock;
    std::condition_variable cvEnded;
    bool bEnded = false;
    std::thread guard([&] {
        std::unique_lock<std::mutex> wait(lock);
        if (!cvEnded.wait_for(wait, std::chrono::seconds(30), [&] { return bEnded; })) {
            std::fprintf(stderr, "the program did not end after Escape\n");
            std::abort();
        }
    });

    CViewerApp app;
    QTimer::singleShot(0, [&] {
        auto* pDlg = static_cast<CViewerDlg*>(AfxGetMainWnd());
        pDlg->SetDlgItemText(1119, "7");
        SelectBaud(*pDlg, "57600");
        pDlg->OnOK();
        pStreamer = std::make_unique<CLineStreamer>(pty, kValidSentence, 57600);
    });
    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, [&] {
        auto* pDlg = static_cast<CViewerDlg*>(AfxGetMainWnd());
        CString strCaption;
        pDlg->GetDlgItemText(1, strCaption);
        if (strCaption != GBK("停 止") || pStreamer->Written() < 3000)
            return;
        escape.stop();
        EXPECT_EQ(ThreadsNamed(kReaderThreadName), 1);
        escaped = std::chrono::steady_clock::now();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(pDlg->Widget(), &key);
    });
    escape.start(20);
    EXPECT_EQ(app.InitInstance(), FALSE);
    double dSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - escaped).count();
    std::printf("Escape to the end of InitInstance: %.1f ms\n", dSeconds * 1000);
    EXPECT_GT(pStreamer->Written(), 3000u);
    pStreamer.reset();
    EXPECT_EQ(ThreadsNamed(kReaderThreadName), 0) << "the reader outlived the window";
    {
        std::lock_guard<std::mutex> ended(lock);
        bEnded = true;
    }
    cvEnded.notify_all();
    guard.join();
    EXPECT_TRUE(boxes.Calls().empty());
    PumpEvents(50);
}
