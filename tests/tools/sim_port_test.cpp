// The simulator on a pseudo-terminal: the comN link, bytes reaching a reader of the link,
// garbling at the program's speed, and clean ends on a signal or after N epochs.
#include "Garbler.h"
#include "LineFeeder.h"
#include "PortLink.h"
#include "Runner.h"
#include "Scenario.h"
#include "StreamSource.h"
#include "core/Nmea.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <regex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace sim;
using vbase::HasValidChecksum;

namespace {

// Bounds every wait so that a broken simulator fails the test instead of hanging it.
constexpr int kPatienceMs = 3000;

bool Exists(const std::string& strPath) {
    struct stat info {};
    return lstat(strPath.c_str(), &info) == 0;
}

std::string ReadLink(const std::string& strPath) {
    char szTarget[PATH_MAX] = {};
    const ssize_t nLength = readlink(strPath.c_str(), szTarget, sizeof szTarget - 1);
    return nLength < 0 ? std::string() : std::string(szTarget, static_cast<std::size_t>(nLength));
}

// Opens the port as the program does: through the link, raw, at its own speed.
int OpenAsProgram(const std::string& strLink, speed_t nSpeed) {
    const int nFd = open(strLink.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (nFd < 0) {
        return -1;
    }
    struct termios settings {};
    tcgetattr(nFd, &settings);
    cfmakeraw(&settings);
    cfsetispeed(&settings, nSpeed);
    cfsetospeed(&settings, nSpeed);
    tcsetattr(nFd, TCSANOW, &settings);
    return nFd;
}

std::string ReadExactly(int nFd, std::size_t nSize) {
    std::string strData;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    char szBuffer[4096];
    while (strData.size() < nSize && std::chrono::steady_clock::now() < deadline) {
        struct pollfd wait {
            nFd, POLLIN, 0
        };
        if (poll(&wait, 1, 50) > 0) {
            const ssize_t nRead =
                read(nFd, szBuffer, std::min(sizeof szBuffer, nSize - strData.size()));
            if (nRead > 0) {
                strData.append(szBuffer, static_cast<std::size_t>(nRead));
            }
        }
    }
    return strData;
}

class SimPort : public ::testing::Test {
protected:
    void SetUp() override {
        const char* pszHome = std::getenv("HOME");
        m_strSavedHome = pszHome ? pszHome : "";
        char szHome[] = "/tmp/velmora-sim-home-XXXXXX";
        ASSERT_NE(mkdtemp(szHome), nullptr);
        m_strHome = szHome;
        setenv("HOME", szHome, 1);
    }
    void TearDown() override {
        setenv("HOME", m_strSavedHome.c_str(), 1);
        std::system(("rm -rf '" + m_strHome + "'").c_str());
    }
    std::string LinkPath(int nPort) const {
        return m_strHome + "/.velmora/ports/com" + std::to_string(nPort);
    }

    std::string m_strSavedHome;
    std::string m_strHome;
};

} // namespace

TEST_F(SimPort, LinkPointsAtTheSlaveUntilClosed) {
    CPortLink link;
    std::string strError;
    ASSERT_TRUE(link.Open(7, 57600, strError)) << strError;
    EXPECT_EQ(link.LinkPath(), LinkPath(7));
    EXPECT_EQ(ReadLink(LinkPath(7)), link.SlavePath());
    EXPECT_EQ(link.CurrentBaud(), 57600);
    link.Close();
    EXPECT_FALSE(Exists(LinkPath(7)));
}

TEST_F(SimPort, ReplacesAStaleLinkButNoOtherFile) {
    ASSERT_EQ(system(("mkdir -p '" + m_strHome + "/.velmora/ports'").c_str()), 0);
    ASSERT_EQ(symlink("/dev/pts/velmora-gone", LinkPath(2).c_str()), 0);
    CPortLink link;
    std::string strError;
    ASSERT_TRUE(link.Open(2, 9600, strError)) << strError;
    EXPECT_EQ(ReadLink(LinkPath(2)), link.SlavePath());
    EXPECT_TRUE(link.Warning().empty());

    std::fclose(std::fopen(LinkPath(4).c_str(), "w"));
    CPortLink other;
    EXPECT_FALSE(other.Open(4, 9600, strError));
    EXPECT_NE(strError.find("not a link"), std::string::npos);
    EXPECT_TRUE(Exists(LinkPath(4)));
}

// The program may write to the port and close and reopen it: it still receives every byte
// and never hears its own.
TEST_F(SimPort, ReaderOfTheLinkReceivesTheBytes) {
    CPortLink link;
    std::string strError;
    ASSERT_TRUE(link.Open(5, 57600, strError)) << strError;
    int nReader = OpenAsProgram(LinkPath(5), B57600);
    ASSERT_EQ(write(nReader, "$PCMD,1*00\r\n", 12), 12);
    close(nReader);
    nReader = OpenAsProgram(LinkPath(5), B57600);
    ASSERT_EQ(write(nReader, "hello\n", 6), 6);

    const std::string strFile = std::string("$GPGGA,1*00\r\r\n#x\n") + '\0' + "\x1A";
    char szPath[] = "/tmp/velmora-sim-play-XXXXXX";
    const int nFile = mkstemp(szPath);
    ASSERT_EQ(write(nFile, strFile.data(), strFile.size()), static_cast<ssize_t>(strFile.size()));
    close(nFile);
    CFileSource source;
    ASSERT_TRUE(source.Load(szPath, strError)) << strError;
    unlink(szPath);

    std::atomic<bool> bStop{false};
    FeedResult result;
    std::thread feeder([&] {
        result = CLineFeeder(link, source, FeedOptions{57600, true, 3}, bStop).Run();
    });
    const std::string strPass = std::string("$GPGGA,1*00\r\n#x\r\n") + '\0' + "\x1A";
    const std::string strReceived = ReadExactly(nReader, 3 * strPass.size());
    feeder.join();
    EXPECT_EQ(strReceived, strPass + strPass + strPass);
    EXPECT_EQ(result.m_eEnd, EFeedEnd::Done);
    EXPECT_EQ(result.m_nBytes, 3 * strPass.size());
    close(nReader);
}

TEST_F(SimPort, WrongProgramSpeedGarblesAndRightSpeedRestores) {
    CPortLink link;
    std::string strError;
    ASSERT_TRUE(link.Open(6, 57600, strError)) << strError;
    const int nReader = OpenAsProgram(LinkPath(6), B9600);
    ASSERT_GE(nReader, 0);
    EXPECT_EQ(link.CurrentBaud(), 9600);

    const std::string strEpoch = CScenario(ScenarioOptions{}).NextEpoch();
    std::atomic<bool> bStop{false};
    CScenarioSource garbled{ScenarioOptions{}};
    std::thread feeder([&] {
        CLineFeeder(link, garbled, FeedOptions{57600, true, 1}, bStop).Run();
    });
    const std::string strJunk = ReadExactly(nReader, strEpoch.size());
    feeder.join();
    std::string strExpected = strEpoch;
    GarbleBytes(&strExpected[0], strExpected.size(), 0);
    EXPECT_EQ(strJunk, strExpected);

    struct termios settings {};
    tcgetattr(nReader, &settings);
    cfsetispeed(&settings, B57600);
    cfsetospeed(&settings, B57600);
    tcsetattr(nReader, TCSANOW, &settings);
    CScenarioSource clean{ScenarioOptions{}};
    std::thread again([&] { CLineFeeder(link, clean, FeedOptions{57600, true, 1}, bStop).Run(); });
    EXPECT_EQ(ReadExactly(nReader, strEpoch.size()), strEpoch);
    again.join();
    close(nReader);
}

// The whole tool in a child process: SIGTERM must end it through its cleanup.
TEST_F(SimPort, SignalEndsTheToolAndRemovesTheLink) {
    int nPipe[2];
    ASSERT_EQ(pipe(nPipe), 0);
    const pid_t nChild = fork();
    ASSERT_GE(nChild, 0);
    if (nChild == 0) {
        dup2(nPipe[1], STDOUT_FILENO);
        close(nPipe[0]);
        const char* argv[] = {"velmora-sim", "--port", "9", "--baud", "57600"};
        std::ostringstream err;
        const int nCode = RunCommandLine(5, argv, std::cout, err);
        std::cout.flush();
        _exit(nCode);
    }
    close(nPipe[1]);
    for (int nWaited = 0; nWaited < kPatienceMs && !Exists(LinkPath(9)); nWaited += 5) {
        usleep(5000);
    }
    ASSERT_TRUE(Exists(LinkPath(9)));
    const int nReader = OpenAsProgram(LinkPath(9), B57600);
    const std::string strLine = ReadExactly(nReader, 70);
    close(nReader);
    kill(nChild, SIGTERM);
    int nStatus = 0;
    ASSERT_EQ(waitpid(nChild, &nStatus, 0), nChild);
    std::string strOut;
    char szBuffer[512];
    for (ssize_t n; (n = read(nPipe[0], szBuffer, sizeof szBuffer)) > 0;) {
        strOut.append(szBuffer, static_cast<std::size_t>(n));
    }
    close(nPipe[0]);

    EXPECT_TRUE(HasValidChecksum(strLine.substr(0, strLine.find('\n') + 1))) << strLine;
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), 0);
    EXPECT_FALSE(Exists(LinkPath(9)));
    EXPECT_TRUE(
        std::regex_search(strOut, std::regex("sent [0-9]+ bytes in [0-9]+\\.[0-9]{3} s\n$")))
        << strOut;
}

TEST_F(SimPort, EpochLimitEndsThePortModeAndReportsTheBytes) {
    const char* argv[] = {"velmora-sim", "--port",    "11",       "--baud",
                          "115200",      "--unpaced", "--epochs", "3"};
    std::ostringstream out, err;
    ASSERT_EQ(RunCommandLine(8, argv, out, err), 0) << err.str();
    CScenario scenario(ScenarioOptions{});
    const std::size_t nBytes =
        scenario.NextEpoch().size() + scenario.NextEpoch().size() + scenario.NextEpoch().size();
    EXPECT_NE(out.str().find("sent " + std::to_string(nBytes) + " bytes in "), std::string::npos)
        << out.str();
    EXPECT_FALSE(Exists(LinkPath(11)));
}
