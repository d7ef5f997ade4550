// Velmora reading a real gpsd: gpsd serves a simulated receiver on a pseudo-terminal, started
// here as a program of the test's own (never the system's service), on a free loopback port.
#include "Scenario.h"
#include "tests/common/PseudoTerminal.h"
#include "tests/common/TcpServer.h"
#include "tools/common/WindowState.h"

#include <QJsonDocument>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kReceiverPort = 8;
constexpr int kGpsdComPort = 9;
constexpr const char* kGpsd = "/usr/sbin/gpsd";
constexpr const char* kBaud = "38400";

// A program of the test's, ended (SIGTERM, then waited for) with the test.
class CChild {
public:
    CChild(const std::vector<std::string>& args, const std::string& log) {
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~CChild() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

int FreeLoopbackPort() {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nSize = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), nSize);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &nSize);
    close(fd);
    return ntohs(address.sin_port);
}

// A client of gpsd's own: asks for NMEA and counts the sentences that come.
class CGpsdClient {
public:
    explicit CGpsdClient(int nPort) {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(nPort));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(m_fd);
            m_fd = -1;
            return;
        }
        std::string watch = "?WATCH={\"enable\":true,\"nmea\":true}\n";
        (void)!send(m_fd, watch.data(), watch.size(), MSG_NOSIGNAL);
        m_thread = std::thread([this] { Run(); });
    }
    ~CGpsdClient() {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            close(m_fd);
    }
    bool IsConnected() const { return m_fd >= 0; }
    int Sentences() const { return m_nSentences; }

private:
    void Run() {
        char buf[4096];
        while (!m_bStop) {
            pollfd wait{m_fd, POLLIN, 0};
            if (poll(&wait, 1, 20) <= 0)
                continue;
            ssize_t n = recv(m_fd, buf, sizeof buf, 0);
            if (n <= 0)
                return;
            for (ssize_t i = 0; i < n; ++i)
                m_nSentences += buf[i] == '$' ? 1 : 0;
        }
    }
    int m_fd = -1;
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_nSentences{0};
    std::thread m_thread;
};

bool Answers(int nPort) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(nPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool bAnswered = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return bAnswered;
}

// The bytes of the wire from a record file, whose line feeds are CR LF.
std::string WireBytes(std::string record) {
    std::string wire;
    for (size_t i = 0; i < record.size(); ++i) {
        if (record[i] == '\r' && i + 1 < record.size() && record[i + 1] == '\n')
            continue;
        wire += record[i];
    }
    return wire;
}

// Whether the process has the file open, as /proc shows it.
bool HoldsFile(pid_t pid, const std::string& strPath) {
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error))
        if (fs::read_symlink(fd.path(), error) == strPath)
            return true;
    return false;
}

class GpsdTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (access(kGpsd, X_OK) != 0)
            GTEST_SKIP() << kGpsd << " is not installed (Debian package gpsd)";
        std::string sim = std::string(VELMORA_TOOLS_DIR) + "/velmora-sim";
        m_pSim = std::make_unique<CChild>(
            std::vector<std::string>{sim, "--port", std::to_string(kReceiverPort), "--baud", kBaud},
            m_dir.File("sim.log"));
        std::string link = m_home.Path() + "/.velmora/ports/com" + std::to_string(kReceiverPort);
        ASSERT_TRUE(WaitFor([&] { return fs::exists(link); }))
            << ReadFileBytes(m_dir.File("sim.log"));
        m_strDevice = fs::read_symlink(link).string();
        // gpsd gives up root rights once it runs.
        chmod(m_strDevice.c_str(), 0666);
        m_nGpsdPort = FreeLoopbackPort();
        m_pGpsd = std::make_unique<CChild>(
            std::vector<std::string>{kGpsd, "-N", "-n", "-b", "-s", kBaud, "-S",
                                     std::to_string(m_nGpsdPort), "-F", m_dir.File("gpsd.sock"),
                                     m_strDevice},
            m_dir.File("gpsd.log"));
        if (m_pGpsd->Pid() <= 0 || !WaitFor([&] { return Answers(m_nGpsdPort); }, 10000))
            GTEST_SKIP() << "gpsd did not start: " << ReadFileBytes(m_dir.File("gpsd.log"));
    }
    CViewerDlg& Dlg() { return m_harness.Dlg(); }

    CPortHome m_home;
    CTempDir m_dir;
    std::unique_ptr<CChild> m_pSim;
    std::unique_ptr<CChild> m_pGpsd;
    std::string m_strDevice;
    int m_nGpsdPort = 0;
    CBoxRecorder m_boxes;
    CViewerHarness m_harness;
};

} // namespace

TEST_F(GpsdTest, ThroughGpsdTheWindowShowsWhatTheReceiverSentAndGpsdServesOthersMeanwhile) {
    CGpsdClient other(m_nGpsdPort);
    ASSERT_TRUE(other.IsConnected());
    WriteSourceFile(kGpsdComPort, "gpsd://localhost:" + std::to_string(m_nGpsdPort));
    std::string record = m_dir.File("record.txt");
    {
        CFileChooser chooser(record);
        Dlg().OnRecord();
    }
    Dlg().SetDlgItemText(IDC_PORT, "9");
    Dlg().OnOK();
    ASSERT_EQ(m_boxes.Count(), 0u) << m_boxes.Calls()[0].detail;
    int nOtherAtStart = other.Sentences();
    ASSERT_TRUE(WaitFor([&] { return m_harness.Utf8(IDC_STARTSTOP) == kCaptionStop; }, 10000));
    // Two epochs more: whole epochs of every sentence type have come through.
    std::string wire;
    ASSERT_TRUE(WaitFor(
        [&] {
            wire = WireBytes(ReadFileBytes(record));
            return std::count(wire.begin(), wire.end(), '\n') > 45;
        },
        10000));
    Dlg().OnOK();
    Dlg().OnRecord();
    wire = WireBytes(ReadFileBytes(record));
    EXPECT_GT(other.Sentences(), nOtherAtStart) << "gpsd stopped serving its other client";

    // Only the receiver's sentences, whole and in order: a piece of what it sent.
    EXPECT_EQ(wire.find('{'), std::string::npos) << "a JSON line was handed on";
    EXPECT_EQ(wire.rfind("$", 0), 0u);
    std::string sent = sim::ScenarioStream(sim::ScenarioOptions(), 200);
    std::string body = wire.substr(0, wire.rfind('\n') + 1);
    EXPECT_NE(sent.find(body), std::string::npos) << "not what the receiver sent:\n" << body;

    // The window shows what the same bytes show when read from the device directly: the
    // same window started again and fed them as the serial link feeds a port's.
    std::string throughGpsd = QJsonDocument(ItemTexts(Dlg())).toJson().toStdString();
    Dlg().EnterAcquiringState();
    for (unsigned char c : wire)
        Dlg().SendMessage(WM_SERIAL_RXCHAR, c, kReceiverPort);
    EXPECT_EQ(throughGpsd, QJsonDocument(ItemTexts(Dlg())).toJson().toStdString());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(GpsdTest, TheDeviceGpsdReadsIsRefusedWithTheWayThroughGpsd) {
    // gpsd answers on its port before it has opened the device: wait until it holds it.
    ASSERT_TRUE(WaitFor([&] { return HoldsFile(m_pGpsd->Pid(), m_strDevice); }, 10000));
    Dlg().SetDlgItemText(IDC_PORT, "8");
    Dlg().OnOK();
    ASSERT_EQ(m_boxes.Count(), 1u);
    std::string detail = m_boxes.Calls()[0].detail;
    EXPECT_NE(detail.find("The device is in use by gpsd (process " +
                          std::to_string(m_pGpsd->Pid()) + ")"),
              std::string::npos)
        << detail;
    EXPECT_NE(detail.find("echo gpsd://localhost > ~/.velmora/ports/com8"), std::string::npos);
    EXPECT_EQ(m_harness.Utf8(IDC_STARTSTOP), kCaptionStart);
}
