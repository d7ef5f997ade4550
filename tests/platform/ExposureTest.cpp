// A window that comes back onto the screen shows its controls as they are now. Only a real
// X server takes a window off the screen and gives it back as a window manager does, so the
// probe runs on a private Xvfb.
#include <QProcess>
#include <QString>
#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A private Xvfb on the first free display; stopped with the object.
class CXvfb {
public:
    ~CXvfb() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

    // The display's name, or empty when no server could be started.
    std::string Start() {
        int fds[2];
        if (pipe(fds) != 0)
            return "";
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            std::string strFd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", strFd.c_str(), "-nolisten", "tcp", "-screen", "0",
                   "1024x768x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string strNumber;
        char ch;
        while (m_pid > 0 && read(fds[0], &ch, 1) == 1 && ch != '\n')
            strNumber += ch;
        close(fds[0]);
        return strNumber.empty() ? "" : ":" + strNumber;
    }

private:
    pid_t m_pid = -1;
};

} // namespace

TEST(Exposure, AWindowBackOnTheScreenShowsTheTextsSetWhileItWasOff) {
    CXvfb server;
    std::string strDisplay = server.Start();
    if (strDisplay.empty())
        GTEST_SKIP() << "Xvfb could not be started";
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(strDisplay));
    env.insert("QT_QPA_PLATFORM", "xcb");
    probe.setProcessEnvironment(env);
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(VELMORA_EXPOSURE_PROBE, {});
    ASSERT_TRUE(probe.waitForFinished(60000)) << "the probe did not finish";
    std::string strOutput = probe.readAll().toStdString();
    if (probe.exitCode() == 77)
        GTEST_SKIP() << strOutput;
    EXPECT_EQ(probe.exitCode(), 0) << strOutput;
}
