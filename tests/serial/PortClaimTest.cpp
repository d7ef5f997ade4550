#include "serial/SerialLink.h"
#include "tests/common/PseudoTerminal.h"

#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kPort = 7;
constexpr uid_t kNobody = 65534;

// Runs the check in a child process that has given up root rights: 1 when it held, 0 when
// not, -1 when the rights could not be dropped.
int RunAsNobody(const std::function<bool()>& check) {
    pid_t pid = fork();
    if (pid == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(2);
        _exit(check() ? 1 : 0);
    }
    int nStatus = 0;
    if (pid < 0 || waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus))
        return -1;
    return WEXITSTATUS(nStatus) == 2 ? -1 : WEXITSTATUS(nStatus);
}

BOOL OpenPort(CSerialLink& link) {
    return link.Open(nullptr, kPort, 38400, 8, 1, 'N', EV_RXCHAR | EV_CTS);
}

} // namespace

// The exclusive claim belongs to the device: were it not released before each close, it would
// outlive the close while the other side of the line stays open, and refuse the next open to
// anyone but root.
TEST(PortClaim, StopAndStartWorkForAUserWithoutRootRights) {
    CPortHome home;
    CPseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    ASSERT_TRUE(pty.LinkAs(kPort));
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0666), 0);
    for (const std::string& dir :
         {home.Path(), home.Path() + "/.velmora", home.Path() + "/.velmora/ports"})
        ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    CBoxRecorder boxes;
    {
        CSerialLink link;
        ASSERT_TRUE(OpenPort(link));
        ASSERT_TRUE(link.StartReader());
        link.SuspendReader();
        ASSERT_TRUE(OpenPort(link));
        EXPECT_EQ(RunAsNobody([] {
                      CSerialLink other;
                      return OpenPort(other) == FALSE;
                  }),
                  1)
            << "a port claimed by another program must be refused";
    }
    EXPECT_EQ(RunAsNobody([] {
                  // Start, Stop (which opens the port again), Start, and after the window
                  // went away, a new window's Start.
                  bool bOpened = true;
                  {
                      CSerialLink link;
                      for (int i = 0; i < 3; ++i)
                          bOpened = OpenPort(link) == TRUE && bOpened;
                  }
                  CSerialLink next;
                  return OpenPort(next) == TRUE && bOpened;
              }),
              1);
    EXPECT_EQ(boxes.Count(), 0u);
}
