// The serial link under a line gone wild and a line cut with bytes in flight.
#include "serial/SerialLink.h"
#include "tests/common/PseudoTerminal.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace {

constexpr int kPort = 9;

class CByteSink : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override {
        if (message == WM_SERIAL_CTS && m_onCts)
            m_onCts();
        if (message == WM_SERIAL_RXCHAR)
            m_bytes += static_cast<char>(wParam);
        return 0;
    }
    std::string m_bytes;
    std::function<void()> m_onCts;
};

class LinkFault : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.IsOpen());
        ASSERT_TRUE(m_pty.LinkAs(kPort));
        ASSERT_TRUE(m_link.Open(&m_sink, kPort, 57600, 8, 1, 'N', EV_RXCHAR | EV_CTS));
        ASSERT_TRUE(m_link.StartReader());
    }
    void TearDown() override { m_link.SuspendReader(); }

    CPortHome m_home;
    CPseudoTerminal m_pty;
    CBoxRecorder m_boxes;
    CByteSink m_sink;
    CSerialLink m_link;
};

std::string RandomBytes(size_t nBytes) {
    std::mt19937 random(57600);
    std::string bytes(nBytes, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

} // namespace

// Every byte value, as fast as the line takes it: each arrives once, in order, while the
// thread and descriptor counts stand still.
TEST_F(LinkFault, AStormOfRandomBytesArrivesWholeAndInOrder) {
    int nThreads = ThreadCount();
    int nFds = OpenFdCount();
    std::string bytes = RandomBytes(256 * 1024);
    std::thread writer([&] { m_pty.Write(bytes); });
    bool bAll = WaitFor([&] { return m_sink.m_bytes.size() >= bytes.size(); }, 120000);
    writer.join();
    ASSERT_TRUE(bAll) << m_sink.m_bytes.size() << " of " << bytes.size() << " bytes";
    PumpEvents(50);
    EXPECT_TRUE(m_sink.m_bytes == bytes) << "bytes lost, doubled or reordered";
    EXPECT_EQ(ThreadCount(), nThreads);
    EXPECT_EQ(OpenFdCount(), nFds);
    EXPECT_EQ(m_link.m_bReaderAlive, 1);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The line is cut while the window handles a run the reader read: the whole run is still
// handled, then the hang-up is reported once.
TEST_F(LinkFault, ALineCutWithARunInFlightDeliversTheRunThenReportsOnce) {
    std::string bytes = RandomBytes(3000);
    size_t nAtHangUp = 0;
    // Each run begins with the wake-up's CTS notification.
    m_sink.m_onCts = [&] {
        if (m_pty.IsOpen()) {
            nAtHangUp = m_sink.m_bytes.size();
            m_pty.HangUp();
        }
    };
    ASSERT_TRUE(m_pty.Write(bytes));
    ASSERT_TRUE(WaitFor([&] { return m_boxes.Count() > 0; }, 20000));
    PumpEvents(100);
    EXPECT_FALSE(m_pty.IsOpen());
    EXPECT_GT(m_sink.m_bytes.size(), nAtHangUp) << "the run in flight was dropped";
    EXPECT_EQ(bytes.compare(0, m_sink.m_bytes.size(), m_sink.m_bytes), 0);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Calls()[0].text, "Serialport Error");
    EXPECT_EQ(m_link.m_bReaderAlive, 0);
}
