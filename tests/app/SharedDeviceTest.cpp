// A device is read by one program at a time, and always the device the user started on: one
// held by another program is refused and named, Stop opens again only what Start opened, and
// a claim dies with the program that made it, however that program ends.
#include "tests/app/FaultSupport.h"
#include "tests/app/LivePortTest.h"

#include <QComboBox>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// How many descriptors of this process refer to the file.
int OpenCount(const std::string& path) {
    int n = 0;
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd", ec))
        n += fs::read_symlink(fd.path(), ec) == path ? 1 : 0;
    return n;
}

int ClaimOf(int fd) {
    int nClaimed = -1;
    ioctl(fd, TIOCGEXCL, &nClaimed);
    return nClaimed;
}

// Another program with the device open: `sleep` reading it, nothing else inherited.
pid_t HoldOpen(const std::string& device) {
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(device.c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0 || dup2(fd, 0) < 0)
            _exit(127);
        closefrom(3);
        execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

bool IsRunning(pid_t pid, const std::string& program) {
    std::string name = ReadFileBytes("/proc/" + std::to_string(pid) + "/comm");
    return name == program + "\n";
}

class SharedDeviceTest : public CLivePortTest {
protected:
    std::string PortLine(const CPseudoTerminal& pty) const {
        return "COM7 = " + pty.SlavePath() + " (by the link ~/.velmora/ports/com7)";
    }
    void Relink(const CPseudoTerminal& pty) {
        std::string link = m_home.Path() + "/.velmora/ports/com7";
        fs::remove(link);
        fs::create_symlink(pty.SlavePath(), link);
    }
};

} // namespace

TEST_F(SharedDeviceTest, ADeviceAnotherProgramReadsIsRefusedNamingItUntilItEnds) {
    pid_t pid = HoldOpen(m_pty.SlavePath());
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(WaitFor([&] { return IsRunning(pid, "sleep"); }));
    Dlg().OnOK();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Calls()[0].text, "无法打开串口7！");
    EXPECT_EQ(m_boxes.Calls()[0].detail,
              PortLine(m_pty) + "\nThe device is in use by sleep (process " + std::to_string(pid) +
                  "). A serial port is read by one program at a time: two readers would each "
                  "get part of the stream.\nClose sleep or stop its use of the port, and start "
                  "again.");
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_EQ(OpenCount(m_pty.SlavePath()), 1) << "only the receiver's own side is open";

    ASSERT_EQ(kill(pid, SIGTERM), 0);
    ASSERT_EQ(waitpid(pid, nullptr, 0), pid);
    StartAndReceive();
    EXPECT_EQ(m_boxes.Count(), 1u);
}

TEST_F(SharedDeviceTest, StopOpensAgainTheDeviceOfStartAndNothingAfterAHangUp) {
    CPseudoTerminal other;
    ASSERT_TRUE(other.IsOpen());
    Dlg().OnOK();
    ASSERT_EQ(Caption(), kCaptionWait);
    // The number names another device now; Stop keeps to the one it started on.
    Relink(other);
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_EQ(OpenCount(m_pty.SlavePath()), 2) << "the device of Start is held while stopped";
    EXPECT_EQ(OpenCount(other.SlavePath()), 1);

    // The next Start takes what the number names now; that receiver goes away, and another
    // device becomes the number before Stop: nothing is opened.
    Dlg().OnOK();
    ASSERT_EQ(OpenCount(other.SlavePath()), 2);
    other.HangUp();
    ASSERT_TRUE(WaitFor([&] { return m_boxes.Count() == 1; }));
    Relink(m_pty);
    int nBefore = OpenCount(m_pty.SlavePath());
    int nFds = OwnFdCount();
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_EQ(OpenCount(m_pty.SlavePath()), nBefore);
    EXPECT_EQ(OwnFdCount(), nFds - 1) << "Stop closes the dead device and opens nothing";
    EXPECT_EQ(m_boxes.Count(), 1u) << "the re-open after a hang-up fails without a message";
}

// The program killed while it reads the port: its claim goes with it.
TEST_F(SharedDeviceTest, AProgramEndedBySigtermLeavesNoClaimAndTheNextStartSucceeds) {
    CTempDir out;
    pid_t pid = fork();
    if (pid == 0) {
        std::string shot = std::string(VELMORA_TOOLS_DIR) + "/velmora-shot";
        execl(shot.c_str(), "velmora-shot", "--out", out.Path().c_str(), "--port", "7", "--seconds",
              "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    bool bClaimed = WaitFor([&] { return ClaimOf(m_pty.Slave()) == 1; }, 20000);
    kill(pid, SIGTERM);
    int nStatus = 0;
    ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
    ASSERT_TRUE(bClaimed) << "velmora-shot never opened the port";
    EXPECT_TRUE(WIFSIGNALED(nStatus) && WTERMSIG(nStatus) == SIGTERM);
    EXPECT_EQ(ClaimOf(m_pty.Slave()), 0) << "the claim outlived the program";
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionWait);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A claim that no program holds any more is said to be one, and cleared where it can be.
TEST_F(SharedDeviceTest, AClaimLeftByAProgramThatEndedIsClearedOrNamedAsSuch) {
    // Left behind by a program that has ended: this process holds only the receiver's side.
    ASSERT_EQ(ioctl(m_pty.Slave(), TIOCEXCL), 0);
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionWait);
    EXPECT_EQ(m_boxes.Count(), 0u);

    // A user who is not root cannot open the device to clear it: told so, no one blamed.
    struct CBusyCalls : CPortCalls {
        int Open(const char*, int) override {
            errno = EBUSY;
            return -1;
        }
    } busy;
    CSerialLink link;
    link.SetPortCalls(&busy);
    EXPECT_FALSE(link.Open(nullptr, kPort, 38400, 8, 1, 'N', EV_RXCHAR));
    EXPECT_EQ(link.LastOpenError(),
              PortLine(m_pty) +
                  "\nThe device is still marked as taken by a program that has ended without "
                  "letting it go; no program has it open now. Unplug the receiver and plug it in "
                  "again (for a simulated receiver: restart the simulator) to clear the mark.");
}
