// Network sources named by a COM number: bytes from a TCP server or a gpsd arrive as a port's
// do, failures are a failed Open with the reason, and a server that goes away is a hang-up.
#include "serial/SerialLink.h"
#include "tests/common/PseudoTerminal.h"
#include "tests/common/TcpServer.h"
#include "tests/common/TestSupport.h"

#include <QElapsedTimer>
#include <QTimer>
#include <arpa/inet.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kPort = 5;

// Records the bytes it is sent and how many JSON lines were skipped.
class CByteOwner : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override {
        if (message == WM_SERIAL_RXCHAR)
            m_bytes += static_cast<char>(wParam);
        if (message == WM_SERIAL_RXSKIPPED)
            ++m_nSkipped;
        return 0;
    }
    std::string m_bytes;
    int m_nSkipped = 0;
};

// Resolves every name as unknown, and lets connects hang, without asking anyone.
class CQuietNet : public CNetCalls {
public:
    explicit CQuietNet(int nTimeout) : m_nTimeout(nTimeout) {}
    int Resolve(const char* pszHost, const char* pszService, const addrinfo* pHints,
                addrinfo** ppResult) override {
        if (std::string(pszHost) == "receiver.invalid")
            return EAI_NONAME;
        return CNetCalls::Resolve(pszHost, pszService, pHints, ppResult);
    }
    int TimeoutMilliseconds() override { return m_nTimeout; }

private:
    int m_nTimeout;
};

class NetSourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.IsListening()); }
    BOOL Open(CSerialLink& link) {
        return link.Open(&m_owner, kPort, 38400, 8, 1, 'N', EV_RXCHAR | EV_CTS);
    }
    std::string Source(const char* pszScheme = "tcp") const {
        return std::string(pszScheme) + "://127.0.0.1:" + std::to_string(m_server.Port());
    }
    // The detail of an Open that must fail.
    std::string FailedOpen(CSerialLink& link) {
        EXPECT_FALSE(Open(link));
        return link.LastOpenError();
    }

    CPortHome m_home;
    CTcpServer m_server;
    CByteOwner m_owner;
    CBoxRecorder m_boxes;
};

std::string CaptureBytes(const char* pszName) {
    return ReadFileBytes(std::string(VELMORA_CAPTURES) + "/" + pszName);
}

} // namespace

TEST_F(NetSourceTest, AWholeCaptureArrivesInOrderAndACloseByTheServerIsAHangUp) {
    std::string capture = CaptureBytes("gpsd-neo-m8n.log");
    if (capture.empty())
        GTEST_SKIP() << "no captures in " << VELMORA_CAPTURES;
    WriteSourceFile(kPort, Source() + "\n");
    CSerialLink link;
    ASSERT_TRUE(Open(link)) << link.LastOpenError();
    ASSERT_TRUE(m_server.Accept());
    ASSERT_TRUE(link.StartReader());
    // In pieces of every size, so runs are cut anywhere.
    for (size_t nAt = 0, nStep = 1; nAt < capture.size(); nAt += nStep, nStep = nStep * 7 % 997)
        ASSERT_TRUE(m_server.Send(capture.substr(nAt, nStep)));
    ASSERT_TRUE(WaitFor([&] { return m_owner.m_bytes.size() >= capture.size(); }, 20000));
    EXPECT_TRUE(m_owner.m_bytes == capture) << "the bytes differ from the capture";
    EXPECT_EQ(m_boxes.Count(), 0u);

    m_server.CloseClient();
    ASSERT_TRUE(WaitFor([&] { return m_boxes.Count() == 1; }));
    PumpEvents(100);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Calls()[0].text, "Serialport Error");
    EXPECT_EQ(m_boxes.Calls()[0].detail,
              "COM5 = " + Source() +
                  " (by the file ~/.velmora/ports/com5)\nThe connection was closed by the "
                  "other side: the server stopped or dropped this client. Stop, and start "
                  "again once it is back.");
    EXPECT_EQ(link.m_bReaderAlive, 0);
    // Stop: nothing is reconnected.
    EXPECT_FALSE(link.Reopen());
    EXPECT_FALSE(m_server.Accept(200));
    EXPECT_EQ(m_server.Accepted(), 1);
}

TEST_F(NetSourceTest, ConnectFailuresAreAFailedOpenWithTheSourceAndTheReason) {
    // A port nobody listens on: refused at once.
    m_server.StopListening();
    WriteSourceFile(kPort, Source());
    CSerialLink link;
    std::string error = FailedOpen(link);
    EXPECT_EQ(error.rfind("COM5 = " + Source() +
                              " (by the file ~/.velmora/ports/com5)\nConnecting failed: "
                              "Connection refused.\nIs the server running",
                          0),
              0u)
        << error;

    WriteSourceFile(kPort, "gpsd://receiver.invalid");
    CQuietNet quiet(300);
    link.SetNetCalls(&quiet);
    error = FailedOpen(link);
    EXPECT_TRUE(Contains(error, "Connecting failed: the host receiver.invalid does not resolve ("))
        << error;
    EXPECT_TRUE(Contains(error, "Is gpsd running"));
    EXPECT_EQ(m_boxes.Count(), 0u) << "the caller tells the user, not the link";
}

// A server that never answers: its listening queue is full, so the connect's handshake is
// never answered. The Open gives up at the time limit, and the window answers all along.
TEST_F(NetSourceTest, AConnectThatIsNeverAnsweredFailsAtTheTimeLimitWhileTheWindowAnswers) {
    int nHole = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nSize = sizeof address;
    ASSERT_EQ(bind(nHole, reinterpret_cast<sockaddr*>(&address), nSize), 0);
    ASSERT_EQ(listen(nHole, 0), 0);
    ASSERT_EQ(getsockname(nHole, reinterpret_cast<sockaddr*>(&address), &nSize), 0);
    // Fill the queue: the next handshake is dropped.
    std::vector<int> fillers;
    for (int i = 0; i < 2; ++i) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        connect(fd, reinterpret_cast<sockaddr*>(&address), nSize);
        fillers.push_back(fd);
    }
    PumpEvents(50);
    WriteSourceFile(kPort, "tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
    CQuietNet quiet(600);
    CSerialLink link;
    link.SetNetCalls(&quiet);
    int nTicks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++nTicks; });
    ticker.start(20);
    QElapsedTimer timer;
    timer.start();
    std::string error = FailedOpen(link);
    qint64 nElapsed = timer.elapsed();
    EXPECT_TRUE(Contains(error, "Connecting failed: no answer within 1 s.")) << error;
    EXPECT_GE(nElapsed, 500);
    EXPECT_LT(nElapsed, 3000);
    EXPECT_GE(nTicks, 5) << "the window did not answer while connecting";
    for (int fd : fillers)
        close(fd);
    close(nHole);
}

TEST_F(NetSourceTest, AGpsdSourceAsksForNmeaAndHandsOnOnlyTheSentences) {
    WriteSourceFile(kPort, Source("gpsd") + "/dev/ttyUSB0\n");
    CSerialLink link;
    ASSERT_TRUE(Open(link)) << link.LastOpenError();
    ASSERT_TRUE(m_server.Accept());
    std::string watch = "?WATCH={\"enable\":true,\"nmea\":true,\"device\":\"/dev/ttyUSB0\"}\n";
    EXPECT_EQ(m_server.Receive(watch.size()), watch);
    ASSERT_TRUE(link.StartReader());
    const std::string sentences[] = {
        "$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,"
        "55.2,M,,*76\r\n",
        "$GPGSA,A,3,10,07,05,02,29,04,08,13,,,,,1.72,1.03,1.38*0A\r\n"};
    std::string stream = "{\"class\":\"VERSION\",\"release\":\"3.22\",\"proto_major\":3}\r\n" +
                         sentences[0] +
                         "{\"class\":\"DEVICES\",\"devices\":[{\"path\":\"/dev/ttyUSB0\"}]}\r\n"
                         "{\"class\":\"WATCH\",\"enable\":true,\"nmea\":true}\r\n" +
                         sentences[1];
    for (size_t nAt = 0; nAt < stream.size(); nAt += 5)
        ASSERT_TRUE(m_server.Send(stream.substr(nAt, 5)));
    std::string expected = sentences[0] + sentences[1];
    ASSERT_TRUE(WaitFor([&] { return m_owner.m_bytes.size() >= expected.size(); }));
    PumpEvents(50);
    EXPECT_EQ(m_owner.m_bytes, expected);
    EXPECT_GE(m_owner.m_nSkipped, 1);
}

// What a source file must hold, and what the user is told when it does not.
TEST(SourceFile, EachFaultIsNamedWithTheFileAndTheLine) {
    CPortHome home;
    const std::string file = "~/.velmora/ports/com5";
    struct Case {
        const char* pszText;
        std::string error;
    } cases[] = {
        {"", file + " is empty: write one line, tcp://HOST:PORT or gpsd://HOST[:PORT][/DEVICE]."},
        {"\n  \n", file + " is empty: write one line, tcp://HOST:PORT or "
                          "gpsd://HOST[:PORT][/DEVICE]."},
        {"http://localhost:80\n", file + " line 1: 'http://localhost:80' is no source this "
                                         "program reads: write tcp://HOST:PORT or "
                                         "gpsd://HOST[:PORT][/DEVICE]."},
        {"tcp://localhost", file + " line 1: 'tcp://localhost': it has no port: write "
                                   "tcp://localhost:PORT."},
        {"\ntcp://localhost:65536", file + " line 2: 'tcp://localhost:65536': the port '65536' "
                                           "is not a number from 1 to 65535."},
        {"gpsd://localhost:x", file + " line 1: 'gpsd://localhost:x': the port 'x' is not a "
                                      "number from 1 to 65535."},
        {"tcp://:10110", file + " line 1: 'tcp://:10110': it names no host."},
        {"tcp://::1:10110", file + " line 1: 'tcp://::1:10110': an IPv6 address is written in "
                                   "brackets, as [::1]:10110."},
        {"tcp://localhost:10110/dev/ttyUSB0", file + " line 1: 'tcp://localhost:10110/dev/"
                                                     "ttyUSB0': a tcp source names no device: "
                                                     "write tcp://HOST:PORT."},
        {"tcp://local host:1", file + " line 1: 'tcp://local host:1' has a space or a control "
                                      "character in it."},
        {"tcp://localhost:1\r\ngpsd://localhost\r\n",
         file + " line 2: a source file holds one line only, and line 1 is already the source."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszText);
        WriteSourceFile(kPort, c.pszText);
        CSerialLink link;
        EXPECT_FALSE(link.Open(nullptr, kPort, 38400, 8, 1, 'N', EV_RXCHAR));
        EXPECT_EQ(link.LastOpenError(),
                  c.error + "\nA source file holds one line: tcp://HOST:PORT for NMEA from a TCP "
                            "server, gpsd://HOST[:PORT][/DEVICE] for the NMEA of a running gpsd.");
    }
    WriteSourceFile(kPort, std::string(2000, 'x'));
    CSerialLink link;
    EXPECT_FALSE(link.Open(nullptr, kPort, 38400, 8, 1, 'N', EV_RXCHAR));
    EXPECT_TRUE(Contains(link.LastOpenError(), file + " is too long for a source file"));
}

TEST(SourceFile, TheFormsThatAreReadAndTheWatchCommandTheyGive) {
    struct Case {
        const char* pszLine;
        ESourceKind eKind;
        const char* pszHost;
        int nPort;
        const char* pszWatch;
    } cases[] = {
        {"tcp://localhost:10110", ESourceKind::Tcp, "localhost", 10110, nullptr},
        {"tcp://[::1]:2000", ESourceKind::Tcp, "::1", 2000, nullptr},
        {"gpsd://localhost", ESourceKind::Gpsd, "localhost", 2947,
         "?WATCH={\"enable\":true,\"nmea\":true}\n"},
        {"gpsd://127.0.0.1:3000/dev/serial/by-id/usb-\"x\"", ESourceKind::Gpsd, "127.0.0.1", 3000,
         "?WATCH={\"enable\":true,\"nmea\":true,\"device\":\"/dev/serial/by-id/usb-\\\"x\\\"\"}\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszLine);
        PortSource source;
        std::string error;
        ASSERT_TRUE(ParseSourceLine(c.pszLine, source, error)) << error;
        EXPECT_EQ(source.eKind, c.eKind);
        EXPECT_EQ(source.host, c.pszHost);
        EXPECT_EQ(source.nNetPort, c.nPort);
        if (c.pszWatch) {
            EXPECT_EQ(GpsdWatchCommand(source), c.pszWatch);
        }
    }
}

// A gpsd's JSON lines are cut out wherever its reads split them.
TEST(GpsdFilter, KeepsOnlyTheLinesThatAreNotJsonAcrossAnySplit) {
    std::string stream = "{\"class\":\"VERSION\"}\r\n$GPRMC,1*00\r\n{\"a\":\"{\\n\"}\r\n"
                         "$GPGSV,2*00\r\n$GPVTG,3*00\r\n{\"class\":\"TPV\"}\r\n";
    std::string expected = "$GPRMC,1*00\r\n$GPGSV,2*00\r\n$GPVTG,3*00\r\n";
    for (size_t nSplit = 1; nSplit <= stream.size(); ++nSplit) {
        CGpsdFilter filter;
        std::string kept;
        size_t nSkipped = 0;
        for (size_t nAt = 0; nAt < stream.size(); nAt += nSplit) {
            std::string piece = stream.substr(nAt, nSplit);
            size_t nKept =
                filter.Filter(reinterpret_cast<unsigned char*>(&piece[0]), piece.size(), nSkipped);
            kept += piece.substr(0, nKept);
        }
        ASSERT_EQ(kept, expected) << "split every " << nSplit;
        ASSERT_EQ(nSkipped, stream.size() - expected.size());
    }
}
