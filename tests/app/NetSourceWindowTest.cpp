// The main window on a network source: Start, the captions and Stop as on a port.
#include "tests/app/FaultSupport.h"
#include "tests/common/TcpServer.h"

#include <gtest/gtest.h>

namespace {

constexpr int kPort = 6;

class NetSourceWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.IsListening());
        Dlg().SetDlgItemText(IDC_PORT, "6");
    }
    CViewerDlg& Dlg() { return m_harness.Dlg(); }
    std::string Caption() { return m_harness.Utf8(IDC_STARTSTOP); }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_server.Port()); }

    CPortHome m_home;
    CTcpServer m_server;
    CBoxRecorder m_boxes;
    CViewerHarness m_harness;
};

} // namespace

TEST_F(NetSourceWindowTest, ATcpSourceStartsShowsSentencesAndStopsLikeAPort) {
    WriteSourceFile(kPort, "tcp://" + Address());
    Dlg().OnOK();
    ASSERT_EQ(m_boxes.Count(), 0u) << m_boxes.Calls()[0].detail;
    EXPECT_EQ(Caption(), kCaptionWait);
    ASSERT_TRUE(m_server.Accept());
    ASSERT_TRUE(m_server.Send(ScenarioStream(3)));
    EXPECT_TRUE(WaitFor([&] { return Caption() == kCaptionStop; }));
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_TRUE(m_server.ClientClosed());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A gpsd that answers but sends no NMEA: its JSON is no sentence, and the watchdog says so.
TEST_F(NetSourceWindowTest, AGpsdThatSendsOnlyJsonIsReportedAsAWrongStream) {
    WriteSourceFile(kPort, "gpsd://" + Address());
    CTempDir dir;
    {
        CFileChooser chooser(dir.File("record.txt"));
        Dlg().OnRecord();
    }
    Dlg().OnOK();
    ASSERT_TRUE(m_server.Accept());
    ASSERT_TRUE(m_server.Send("{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n"
                              "{\"class\":\"DEVICES\",\"devices\":[]}\r\n"));
    EXPECT_TRUE(WaitFor([&] { return Caption() == kCaptionBaudError; }, 6000));
    EXPECT_EQ(ReadFileBytes(dir.File("record.txt")), "") << "gpsd's JSON was handed on as bytes";
    EXPECT_EQ(m_boxes.Count(), 0u);
}
