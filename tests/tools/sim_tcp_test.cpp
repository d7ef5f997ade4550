// The simulator as a TCP server: every client gets the whole stream from its start, and the
// server ends cleanly on a signal.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Everything a client receives until the server closes its connection.
std::string ReceiveAll(int nPort) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(nPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string bytes;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        timeval limit{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        char buf[4096];
        for (ssize_t n; (n = recv(fd, buf, sizeof buf, 0)) > 0;)
            bytes.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return bytes;
}

} // namespace

TEST(SimTcp, EachClientGetsTheWholeStreamFromItsStartAndASignalEndsTheServer) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        std::string sim = std::string(VELMORA_TOOLS_DIR) + "/velmora-sim";
        execl(sim.c_str(), "velmora-sim", "--tcp", "0", "--baud", "57600", "--unpaced", "--epochs",
              "5", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    FILE* pOut = fdopen(fds[0], "r");
    char szLine[256] = {};
    ASSERT_NE(fgets(szLine, sizeof szLine, pOut), nullptr);
    std::string line = szLine;
    size_t nAt = line.find("tcp://127.0.0.1:");
    ASSERT_NE(nAt, std::string::npos) << line;
    int nPort = std::stoi(line.substr(nAt + 16));

    std::string expected = sim::ScenarioStream(sim::ScenarioOptions(), 5);
    EXPECT_TRUE(ReceiveAll(nPort) == expected);
    EXPECT_TRUE(ReceiveAll(nPort) == expected) << "a second client starts from the start too";

    kill(pid, SIGTERM);
    int nStatus = 0;
    ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
    EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0);
    ASSERT_NE(fgets(szLine, sizeof szLine, pOut), nullptr);
    EXPECT_STREQ(szLine, "served 2 clients\n");
    fclose(pOut);
}
