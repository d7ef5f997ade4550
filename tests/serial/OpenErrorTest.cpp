// Why a port could not be opened, as the user is told it: the device the COM number named,
// the system's reason and what to do, for each way an open fails.
#include "serial/PortDiagnosis.h"
#include "serial/SerialLink.h"
#include "tests/common/PseudoTerminal.h"
#include "tests/common/TestSupport.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kPort = 7;
constexpr uid_t kNobody = 65534;

BOOL OpenPort(CSerialLink& link, int nPort = kPort) {
    return link.Open(nullptr, nPort, 38400, 8, 1, 'N', EV_RXCHAR | EV_CTS);
}

// What Open tells, and whether it failed, for a user without root rights and outside every
// group: the open runs in a child that gave them up.
struct OpenOutcome {
    bool bFailed;
    std::string error;
};

OpenOutcome OpenAsNobody() {
    int fds[2];
    if (pipe(fds) != 0)
        return {false, "no pipe"};
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(2);
        CSerialLink link;
        bool bFailed = OpenPort(link) == FALSE;
        const std::string& error = link.LastOpenError();
        ssize_t nWritten = write(fds[1], error.data(), error.size());
        _exit(bFailed && nWritten == static_cast<ssize_t>(error.size()) ? 1 : 0);
    }
    close(fds[1]);
    std::string error;
    char buf[512];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        error.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int nStatus = 0;
    if (pid < 0 || waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus) ||
        WEXITSTATUS(nStatus) == 2)
        return {false, "could not run as nobody"};
    return {WEXITSTATUS(nStatus) == 1, error};
}

class OpenErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.IsOpen());
        ASSERT_TRUE(m_pty.LinkAs(kPort));
    }
    std::string Ports() const { return m_home.Path() + "/.velmora/ports/"; }
    void Link(int nPort, const std::string& target) {
        std::string link = Ports() + "com" + std::to_string(nPort);
        fs::remove(link);
        ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    }
    std::string PortLine() const {
        return "COM7 = " + m_pty.SlavePath() + " (by the link ~/.velmora/ports/com7)";
    }
    // The error of an Open that must fail.
    std::string FailedOpen(int nPort = kPort) {
        CSerialLink link;
        return FailedOpen(link, nPort);
    }
    std::string FailedOpen(CSerialLink& link, int nPort = kPort) {
        EXPECT_FALSE(OpenPort(link, nPort));
        return link.LastOpenError();
    }

    CPortHome m_home;
    CPseudoTerminal m_pty;
    CBoxRecorder m_boxes;
};

} // namespace

TEST_F(OpenErrorTest, ANumberWithoutADeviceListsThePortsThereAreAndHowToNameOne) {
    std::string error = FailedOpen(9999);
    EXPECT_TRUE(Contains(error, "No serial device is COM9999 now."));
    EXPECT_TRUE(Contains(error, "\n" + PortLine() + "\n"));
    EXPECT_TRUE(Contains(error, "ln -s /dev/ttyUSB0 ~/.velmora/ports/com9999"));

    error = FailedOpen(0);
    EXPECT_EQ(error.rfind("COM0 names no device: port numbers start at 1.", 0), 0u) << error;
    EXPECT_FALSE(Contains(error, "ln -s"));
    EXPECT_EQ(m_boxes.Count(), 0u) << "the caller tells the user, not the link";
}

TEST_F(OpenErrorTest, PermissionDeniedNamesTheGroupThatMayOpenTheDevice) {
    for (const std::string& dir : {m_home.Path(), m_home.Path() + "/.velmora", Ports()})
        ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    const group* pUucp = getgrnam("uucp");
    ASSERT_NE(pUucp, nullptr);
    struct Case {
        gid_t gid;
        const char* pszGroup;
    } cases[] = {
        {pUucp->gr_gid, "uucp"}, // the device's own group
        {0, "dialout"},          // root's device: the group serial devices belong to
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszGroup);
        ASSERT_EQ(chown(m_pty.SlavePath().c_str(), 0, c.gid), 0);
        ASSERT_EQ(chmod(m_pty.SlavePath().c_str(), 0660), 0);
        OpenOutcome outcome = OpenAsNobody();
        ASSERT_TRUE(outcome.bFailed) << outcome.error;
        EXPECT_EQ(outcome.error.rfind(PortLine() + "\nOpening it failed: Permission denied.\n", 0),
                  0u)
            << outcome.error;
        EXPECT_TRUE(Contains(outcome.error, std::string("sudo adduser $USER ") + c.pszGroup +
                                                "\nthen log out and in again."));
    }
}

TEST_F(OpenErrorTest, ABusyDeviceAGoneDeviceAndAFileThatIsNoPortEachSayWhy) {
    std::string busy;
    pid_t pid = 0;
    {
        COtherHolder other(m_pty, true);
        ASSERT_GT(other.Pid(), 0);
        pid = other.Pid();
        busy = FailedOpen();
    }
    EXPECT_EQ(busy.rfind(PortLine() + "\nThe device is in use by test_serial (process " +
                             std::to_string(pid) + ").",
                         0),
              0u)
        << busy;

    Link(11, "/nonexistent/ttyUSB9");
    std::string error = FailedOpen(11);
    EXPECT_EQ(error.rfind("COM11 = /nonexistent/ttyUSB9 (by the link ~/.velmora/ports/com11), "
                          "not present\nOpening it failed: No such file or directory.\n",
                          0),
              0u)
        << error;
    EXPECT_TRUE(Contains(error, "unplugged"));

    CTempDir dir;
    WriteFileBytes(dir.File("plain"), "not a port");
    Link(12, dir.File("plain"));
    EXPECT_EQ(FailedOpen(12), "COM12 = " + dir.File("plain") +
                                  " (by the link ~/.velmora/ports/com12)\nThis is not a serial "
                                  "device: Inappropriate ioctl for device.");
}

// Root opens anything: the refusal comes through the seam, for a device whose owner and mode
// decide the advice.
TEST_F(OpenErrorTest, PermissionAdviceFollowsTheDevicesGroupOrItsRootOnlyMode) {
    struct CDeniedCalls : CPortCalls {
        int Open(const char*, int) override {
            errno = EACCES;
            return -1;
        }
    } denied;
    const group* pUucp = getgrnam("uucp");
    ASSERT_NE(pUucp, nullptr);
    struct Case {
        gid_t gid;
        mode_t mode;
        std::string advice;
    } cases[] = {
        {pUucp->gr_gid, 0660, "sudo adduser $USER uucp\nthen log out and in again."},
        {0, 0600, "Only root may open this device, so joining a group cannot help."},
        {pUucp->gr_gid, 0600, "Only root may open this device, so joining a group cannot help."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_EQ(chown(m_pty.SlavePath().c_str(), 0, c.gid), 0);
        ASSERT_EQ(chmod(m_pty.SlavePath().c_str(), c.mode), 0);
        CSerialLink link;
        link.SetPortCalls(&denied);
        std::string error = FailedOpen(link);
        EXPECT_EQ(error.rfind(PortLine() + "\nOpening it failed: Permission denied.\n", 0), 0u)
            << error;
        EXPECT_TRUE(Contains(error, c.advice));
    }
    CSerialLink link;
    link.SetPortCalls(&denied);
    std::string error = FailedOpen(link);
    EXPECT_TRUE(Contains(error, "KERNEL==\"" + m_pty.SlavePath().substr(9) +
                                    "\", GROUP=\"dialout\", MODE=\"0660\""));
    EXPECT_TRUE(Contains(error, "sudo chgrp dialout " + m_pty.SlavePath() + " && sudo chmod 0660 " +
                                    m_pty.SlavePath()));
}

TEST_F(OpenErrorTest, ASuccessfulOpenForgetsTheLastError) {
    CSerialLink link;
    EXPECT_FALSE(OpenPort(link, 9999));
    EXPECT_FALSE(link.LastOpenError().empty());
    EXPECT_TRUE(OpenPort(link));
    EXPECT_EQ(link.LastOpenError(), "");
}

// A hang-up and a failed configuration name the device under the specified texts.
TEST_F(OpenErrorTest, TheReaderAndConfigurationBoxesNameTheDevice) {
    struct CRefusingCalls : CPortCalls {
        int GetAttr(int, termios*) override {
            errno = EIO;
            return -1;
        }
    } calls;
    {
        CSerialLink link;
        link.SetPortCalls(&calls);
        EXPECT_TRUE(OpenPort(link));
    }
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Calls()[0].caption, "Application Error");
    EXPECT_EQ(m_boxes.Calls()[0].detail, PortLine());

    CWnd owner;
    CSerialLink link;
    ASSERT_TRUE(link.Open(&owner, kPort, 38400, 8, 1, 'N', EV_RXCHAR));
    ASSERT_TRUE(link.StartReader());
    m_pty.HangUp();
    ASSERT_TRUE(WaitFor([&] { return m_boxes.Count() == 2; }));
    MessageBoxCall box = m_boxes.Calls()[1];
    EXPECT_EQ(box.text, "Serialport Error");
    // The device node went with the line.
    EXPECT_EQ(box.detail.rfind(PortLine() + ", not present\nThe device hung up: ", 0), 0u)
        << box.detail;
}
