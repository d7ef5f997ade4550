// The baud list on a live line: every rate it offers is the speed the port gets, and at the
// fast rates of today's receivers every byte a full line carries is handled.
#include "resources/ResourceIds.h"
#include "tests/app/FaultSupport.h"

#include <QComboBox>
#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>

namespace {

constexpr int kPort = 7;

// Writes the bytes into the line at its rate (baud / 10 bytes a second), as a receiver's
// UART would, from its own thread.
class CPacedWriter {
public:
    CPacedWriter(const CPseudoTerminal& pty, const std::string& bytes, int nBaud)
        : m_thread([this, &pty, bytes, nBaud] { Run(pty, bytes, nBaud); }) {}
    ~CPacedWriter() { m_thread.join(); }
    bool Done() const { return m_bDone; }

private:
    void Run(const CPseudoTerminal& pty, const std::string& bytes, int nBaud) {
        using Clock = std::chrono::steady_clock;
        auto start = Clock::now();
        size_t nWritten = 0;
        while (nWritten < bytes.size()) {
            double dSeconds = std::chrono::duration<double>(Clock::now() - start).count();
            size_t nDue = std::min(bytes.size(), static_cast<size_t>(dSeconds * nBaud / 10));
            if (nDue > nWritten && pty.Write(bytes.substr(nWritten, nDue - nWritten)))
                nWritten = nDue;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        m_bDone = true;
    }

    std::atomic<bool> m_bDone{false};
    std::thread m_thread;
};

class LineSpeed : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.IsOpen());
        ASSERT_TRUE(m_pty.LinkAs(kPort));
        m_app.m_pMainWnd = &m_dlg;
        m_dlg.Create(IDD_VIEWER_DIALOG);
        m_dlg.SetDlgItemText(IDC_PORT, "7");
    }
    void TearDown() override { m_app.m_pMainWnd = nullptr; }
    QComboBox* Combo() {
        return qobject_cast<QComboBox*>(m_dlg.GetDlgItem(IDC_BAUDRATE)->Widget());
    }
    std::string Caption() {
        CString str;
        m_dlg.GetDlgItemText(IDC_STARTSTOP, str);
        return str.ToUtf8();
    }

    CPortHome m_home;
    CPseudoTerminal m_pty;
    CBoxRecorder m_boxes;
    CViewerApp m_app;
    std::atomic<long> m_nBytesHandled{0};
    CCountingViewerDlg m_dlg{m_nBytesHandled};
};

// The first whole lines of a receiver's stream that fill the line for this long.
std::string LineFull(int nBaud, double dSeconds) {
    std::string stream = ScenarioStream(80);
    size_t nWanted = static_cast<size_t>(nBaud / 10 * dSeconds);
    return stream.substr(0, stream.rfind('\n', nWanted) + 1);
}

int Lines(const QString& text) {
    return static_cast<int>(text.count('\n'));
}

} // namespace

TEST_F(LineSpeed, EveryOfferedRateIsThePortsSpeed) {
    ASSERT_EQ(Combo()->count(), 9);
    for (int i = 0; i < Combo()->count(); ++i) {
        Combo()->setCurrentIndex(i);
        m_dlg.OnOK();
        int nBaud = Combo()->itemText(i).toInt();
        EXPECT_EQ(m_dlg.m_nBaud, nBaud);
        EXPECT_EQ(m_pty.SlaveBaud(), nBaud);
        EXPECT_EQ(Caption(), kCaptionWait) << nBaud;
        m_dlg.OnOK();
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(LineSpeed, AFullLineAtTodaysRatesLosesNoByte) {
    for (const char* pszBaud : {"115200", "921600"}) {
        SCOPED_TRACE(pszBaud);
        Combo()->setCurrentText(pszBaud);
        m_dlg.OnOK();
        m_nBytesHandled = 0;
        std::string bytes = LineFull(atoi(pszBaud), 0.5);
        {
            CPacedWriter writer(m_pty, bytes, atoi(pszBaud));
            ASSERT_TRUE(WaitFor([&] { return writer.Done(); }, 20000));
        }
        EXPECT_TRUE(WaitFor([&] { return m_nBytesHandled >= static_cast<long>(bytes.size()); }));
        PumpEvents(50);
        EXPECT_EQ(m_nBytesHandled, static_cast<long>(bytes.size()));
        EXPECT_EQ(Caption(), kCaptionStop);
        QString monitor = MonitorText(m_dlg);
        EXPECT_EQ(Lines(monitor), static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n')))
            << "every sentence echoed";
        m_dlg.OnOK();
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}
