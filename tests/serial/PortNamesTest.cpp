#include "serial/PortNames.h"
#include "tests/common/TestSupport.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// A device folder and a home with port links, both private to the test.
class PortNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_dev.Path());
        fs::create_directories(Ports());
    }
    void AddDevice(const std::string& name) { WriteFileBytes(m_dev.File(name), ""); }
    void Link(int nPort, const std::string& target) {
        fs::create_symlink(target, Ports() / ("com" + std::to_string(nPort)));
    }
    fs::path Ports() const { return fs::path(m_home.Path()) / ".velmora" / "ports"; }
    std::string Resolve(int nPort) const {
        return PortDevicePath(nPort, m_home.Path().c_str(), m_dev.Path());
    }

    CTempDir m_dev;
    CTempDir m_home;
};

} // namespace

TEST_F(PortNamesTest, DevicesCountUsbThenAcmThenOnBoardEachByNumber) {
    for (const char* name : {"ttyS1", "ttyUSB10", "ttyACM0", "ttyS0", "ttyUSB2", "ttyS", "ttySx",
                             "tty0", "console", "ttyUSB"})
        AddDevice(name);
    EXPECT_EQ(Resolve(1), m_dev.File("ttyUSB2"));
    EXPECT_EQ(Resolve(2), m_dev.File("ttyUSB10"));
    EXPECT_EQ(Resolve(3), m_dev.File("ttyACM0"));
    EXPECT_EQ(Resolve(4), m_dev.File("ttyS0"));
    EXPECT_EQ(Resolve(5), m_dev.File("ttyS1"));
    EXPECT_EQ(Resolve(6), "");
    EXPECT_EQ(Resolve(INT_MAX), "");
}

TEST_F(PortNamesTest, ALinkNamesItsPortEvenWhenItLeadsNowhere) {
    AddDevice("ttyUSB0");
    Link(1, "/dev/pts/4242");
    Link(3, m_dev.File("ttyUSB0"));
    EXPECT_EQ(Resolve(1), (Ports() / "com1").string());
    EXPECT_EQ(Resolve(3), (Ports() / "com3").string());
    EXPECT_EQ(Resolve(2), "");
    EXPECT_EQ(PortDevicePath(1, nullptr, m_dev.Path()), m_dev.File("ttyUSB0"));
}

TEST_F(PortNamesTest, PortZeroAndNegativeNumbersNameNothing) {
    AddDevice("ttyS0");
    Link(0, m_dev.File("ttyS0"));
    for (int nPort : {0, -1, INT_MIN})
        EXPECT_EQ(Resolve(nPort), "") << nPort;
}
