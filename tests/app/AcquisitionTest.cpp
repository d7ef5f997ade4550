#include "tests/app/LivePortTest.h"
#include "tests/common/HangGuard.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/ioctl.h>

namespace {

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

class AcquisitionTest : public CLivePortTest {
protected:
    bool PortClaimed() const {
        int nClaimed = 0;
        return ioctl(m_pty.Slave(), TIOCGEXCL, &nClaimed) == 0 && nClaimed != 0;
    }
};

} // namespace

TEST_F(AcquisitionTest, CaptionFollowsStartAValidSentenceAndStop) {
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionWait);
    EXPECT_EQ(Dlg().m_bAcquiring, 1);
    EXPECT_EQ(Dlg().m_bStopped, 0);
    EXPECT_EQ(Dlg().m_nPort, kPort);
    EXPECT_EQ(Dlg().m_nBaud, 38400);
    EXPECT_EQ(m_pty.SlaveBaud(), 38400);

    ASSERT_TRUE(m_pty.Write(kValidSentence));
    ASSERT_TRUE(CaptionBecomes(kCaptionStop));
    EXPECT_EQ(Dlg().m_bGotValidSentence, 1);

    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionStart);
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
    for (int nID : {CellId(0, 0), CellId(23, 3), IDC_LATITUDE, IDC_GPS_IN_VIEW, IDC_GLONASS_USED,
                    IDC_MONITOR})
        Dlg().SetDlgItemText(nID, "12");
    Dlg().m_nCellState[5] = SAT_GPS_USED;
    SelectBaud("57600");
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionWait);
    EXPECT_EQ(Dlg().m_nBaud, 57600);
    EXPECT_EQ(m_pty.SlaveBaud(), 57600);
    for (int nID : {CellId(0, 0), CellId(23, 3), IDC_LATITUDE, IDC_GPS_IN_VIEW, IDC_GLONASS_USED,
                    IDC_MONITOR})
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
        Dlg().SetDlgItemText(IDC_PORT, c.pszEdit);
        Dlg().OnOK();
        ASSERT_EQ(boxes.Count(), 1u) << c.pszEdit;
        EXPECT_EQ(boxes.Calls()[0].text, c.pszMessage);
        EXPECT_EQ(Caption(), kCaptionStart);
        EXPECT_EQ(Dlg().m_bStopped, 1);
        EXPECT_EQ(Dlg().m_bAcquiring, 0);
    }
}

TEST_F(AcquisitionTest, StartWhileAReplayRunsOnlyAsksToStopIt) {
    Dlg().SetDlgItemText(IDC_REPLAY, GBK(kCaptionStopReplay));
    Dlg().OnOK();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"请首先停止回放！"});
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_EQ(Dlg().m_bStopped, 1);
    EXPECT_FALSE(PortClaimed());
}

TEST_F(AcquisitionTest, TheWatchdogWaitsForTheFirstByteThenReportsAWrongSpeed) {
    Dlg().m_nBaudWatchdogPeriod = kShortWatchdogPeriod;
    Dlg().OnOK();
    PumpEvents(300);
    EXPECT_EQ(Caption(), kCaptionWait);
    EXPECT_FALSE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG)) << "no byte, no watchdog";

    ASSERT_TRUE(m_pty.Write(kGarbage));
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG); }));
    EXPECT_EQ(Dlg().TimerPeriod(TIMER_BAUD_WATCHDOG), static_cast<int>(kShortWatchdogPeriod));
    EXPECT_EQ(Caption(), kCaptionWait);
    ASSERT_TRUE(CaptionBecomes(kCaptionBaudError));
    EXPECT_FALSE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG));

    ASSERT_TRUE(m_pty.Write("\r\n" + kValidSentence));
    EXPECT_TRUE(CaptionBecomes(kCaptionStop));
}

TEST_F(AcquisitionTest, AWatchdogLeftByAQuickStopNeitherActsNorOutlivesTheNextStart) {
    Dlg().OnOK();
    ASSERT_TRUE(m_pty.Write(kGarbage));
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG); }));
    Dlg().OnOK();
    Dlg().OnTimer(TIMER_BAUD_WATCHDOG);
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_FALSE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG));

    Dlg().OnOK();
    ASSERT_TRUE(m_pty.Write(kGarbage));
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG); }));
    Dlg().OnOK();
    Dlg().OnOK();
    EXPECT_FALSE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG)) << "the new Start saw no byte yet";
    EXPECT_EQ(Caption(), kCaptionWait);
}

TEST_F(AcquisitionTest, AReplayTickWhileAcquiringLeavesTheWatchdogAlone) {
    Dlg().OnOK();
    Dlg().OnTimer(TIMER_REPLAY);
    EXPECT_EQ(Caption(), kCaptionWait);
    ASSERT_TRUE(m_pty.Write(kGarbage));
    ASSERT_TRUE(WaitFor([&] { return Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG); }));
    Dlg().OnTimer(TIMER_REPLAY);
    EXPECT_EQ(Caption(), kCaptionWait);
    EXPECT_TRUE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG));
}

TEST_F(AcquisitionTest, AFailedConfigurationIsReportedAndAcquisitionGoesOn) {
    // Outlives the window, whose port is closed through it when the window goes.
    static CSpeedRefusingCalls calls;
    Dlg().m_serialLink.SetPortCalls(&calls);
    SelectBaud("57600");
    Dlg().OnOK();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Calls()[0].caption, "Application Error");
    EXPECT_EQ(m_boxes.Calls()[0].text,
              "WARNING:  SetCommState() Failed with the following error: \nInvalid "
              "argument\nPort: 7\n");
    EXPECT_EQ(Caption(), kCaptionWait);
    ASSERT_TRUE(m_pty.Write(kValidSentence));
    EXPECT_TRUE(CaptionBecomes(kCaptionStop));
}

TEST_F(AcquisitionTest, AVanishedReceiverLeavesAWorkingWindow) {
    Dlg().OnOK();
    {
        CLineStreamer streamer(m_pty, kValidSentence, 57600);
        ASSERT_TRUE(CaptionBecomes(kCaptionStop));
    }
    m_pty.HangUp();
    ASSERT_TRUE(WaitFor([&] { return m_boxes.Count() > 0; }));
    PumpEvents(200);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Serialport Error"});
    EXPECT_EQ(Dlg().m_serialLink.m_bReaderAlive, 0);

    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionStart);
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
    ASSERT_TRUE(pty.LinkAs(CLivePortTest::kPort));
    CBoxRecorder boxes;
    std::unique_ptr<CLineStreamer> pStreamer;
    CHangGuard guard("the program did not end after Escape", 30);

    CViewerApp app;
    QTimer::singleShot(0, [&] {
        auto* pDlg = static_cast<CViewerDlg*>(AfxGetMainWnd());
        pDlg->SetDlgItemText(IDC_PORT, "7");
        qobject_cast<QComboBox*>(pDlg->GetDlgItem(IDC_BAUDRATE)->Widget())->setCurrentText("57600");
        pDlg->OnOK();
        pStreamer = std::make_unique<CLineStreamer>(pty, kValidSentence, 57600);
    });
    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, [&] {
        auto* pDlg = static_cast<CViewerDlg*>(AfxGetMainWnd());
        CString strCaption;
        pDlg->GetDlgItemText(IDC_STARTSTOP, strCaption);
        if (strCaption != GBK(kCaptionStop) || pStreamer->Written() < 3000)
            return;
        escape.stop();
        EXPECT_EQ(ThreadsNamed(kReaderThreadName), 1);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(pDlg->Widget(), &key);
    });
    escape.start(20);
    EXPECT_EQ(app.InitInstance(), FALSE);
    EXPECT_GT(pStreamer->Written(), 3000u);
    pStreamer.reset();
    EXPECT_EQ(ThreadsNamed(kReaderThreadName), 0) << "the reader outlived the window";
    guard.Disarm();
    EXPECT_TRUE(boxes.Calls().empty());
    PumpEvents(50);
}
