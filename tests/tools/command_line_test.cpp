// The three tools read their command lines alike: help and version on stdout with status 0,
// an error naming the bad option, the usage and a pointer to --help on stderr with status 2.
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

struct CommandCase {
    const char* pszTool;
    const char* pszArgs;
    int nStatus;
    const char* pszOut; // the start of stdout
    const char* pszErr; // a part of stderr
};

const CommandCase kCases[] = {
    {"velmora-sim", "--help", 0, "usage: velmora-sim", ""},
    {"velmora-decode", "-h", 0, "usage: velmora-decode", ""},
    {"velmora-shot", "--help", 0, "usage: velmora-shot", ""},
    {"velmora-sim", "--version", 0, "velmora-sim 12.", ""},
    {"velmora-decode", "--version", 0, "velmora-decode 12.", ""},
    {"velmora-shot", "--version", 0, "velmora-shot 12.", ""},
    {"velmora-sim", "--port 3 --speed 9600", 2, "", "velmora-sim: unknown option --speed\n"},
    {"velmora-decode", "--bogus=1 log.txt", 2, "", "velmora-decode: unknown option --bogus\n"},
    {"velmora-shot", "--out /tmp -x", 2, "", "velmora-shot: unknown option -x\n"},
    {"velmora-sim", "--port 3 --baud", 2, "", "velmora-sim: --baud needs a value\n"},
    {"velmora-decode", "log.txt --filters", 2, "", "velmora-decode: --filters needs a value\n"},
    {"velmora-shot", "--out", 2, "", "velmora-shot: --out needs a value\n"},
    {"velmora-sim", "--port 3 --baud 12345", 2, "", "--baud: needs a standard rate"},
    {"velmora-decode", "--filters GGA,ZDA log.txt", 2, "", "--filters: unknown sentence type"},
    {"velmora-shot", "--out /tmp --speed 6", 2, "", "--speed: needs a whole number from 1 to 5"},
    {"velmora-sim", "", 2, "", "Try 'velmora-sim --help' for more."},
    {"velmora-decode", "", 2, "", "usage: velmora-decode"},
    {"velmora-shot", "--panel", 2, "", "--out DIR is required"},
};

TEST(ToolCommandLine, HelpVersionAndErrorsLookAlike) {
    for (const CommandCase& test : kCases) {
        CTempDir dir;
        const std::string strCommand = std::string(VELMORA_TOOLS_DIR) + "/" + test.pszTool + " " +
                                       test.pszArgs + " >" + dir.File("out") + " 2>" +
                                       dir.File("err") + " </dev/null";
        const int nStatus = std::system(strCommand.c_str());
        const std::string strOut = ReadFileBytes(dir.File("out"));
        const std::string strErr = ReadFileBytes(dir.File("err"));
        SCOPED_TRACE(std::string(test.pszTool) + " " + test.pszArgs);
        EXPECT_EQ(WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, test.nStatus) << strErr;
        EXPECT_EQ(strOut.rfind(test.pszOut, 0), 0u) << strOut;
        EXPECT_NE(strErr.find(test.pszErr), std::string::npos) << strErr;
        if (test.nStatus == 0) {
            EXPECT_EQ(strErr, "");
        }
    }
}

} // namespace
