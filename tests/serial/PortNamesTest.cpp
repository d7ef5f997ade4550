#include "serial/PortNames.h"
#include "serial/PortDiagnosis.h"
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
    std::vector<PortEntry> List() const { return ListPorts(m_home.Path().c_str(), m_dev.Path()); }

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

TEST_F(PortNamesTest, TheListHasEveryNumberThatNamesADeviceAsOpenWouldResolveIt) {
    for (const char* name : {"ttyS0", "ttyS1", "ttyUSB0"})
        AddDevice(name);
    Link(2, "../../dev-elsewhere/ttyACM4");
    Link(20, m_dev.File("ttyUSB0"));
    Link(0, m_dev.File("ttyS0"));
    std::vector<PortEntry> entries = List();
    ASSERT_EQ(entries.size(), 4u);
    for (const PortEntry& entry : entries)
        EXPECT_EQ(entry.path, Resolve(entry.nPort)) << entry.nPort;
    EXPECT_EQ(entries[0].nPort, 1);
    EXPECT_EQ(entries[0].device, m_dev.File("ttyUSB0"));
    EXPECT_TRUE(entries[0].bPresent);
    EXPECT_FALSE(entries[0].bLinked);
    // A relative link leads from the ports folder; a dangling one is listed, as not present.
    EXPECT_EQ(entries[1].nPort, 2);
    EXPECT_EQ(entries[1].device, m_home.Path() + "/dev-elsewhere/ttyACM4");
    EXPECT_TRUE(entries[1].bLinked);
    EXPECT_FALSE(entries[1].bPresent);
    EXPECT_EQ(entries[2].nPort, 3);
    EXPECT_EQ(entries[2].device, m_dev.File("ttyS1"));
    EXPECT_EQ(entries[3].nPort, 20);
    EXPECT_TRUE(entries[3].bLinked && entries[3].bPresent);
    EXPECT_TRUE(ListPorts(m_home.Path().c_str(), m_home.Path() + "/no-such-dev").size() == 2);
}

TEST_F(PortNamesTest, LongRunsOfNumberedDevicesAreListedAsOneLine) {
    AddDevice("ttyUSB0");
    for (int n = 0; n < 32; ++n)
        AddDevice("ttyS" + std::to_string(n));
    Link(5, m_dev.File("ttyUSB0"));
    // Three in a row stay three lines; a link ends a run.
    EXPECT_EQ(DescribePortList(List()), "Serial ports now:\n"
                                        "COM1 = " +
                                            m_dev.File("ttyUSB0") +
                                            "\n"
                                            "COM2 = " +
                                            m_dev.File("ttyS0") +
                                            "\n"
                                            "COM3 = " +
                                            m_dev.File("ttyS1") +
                                            "\n"
                                            "COM4 = " +
                                            m_dev.File("ttyS2") +
                                            "\n"
                                            "COM5 = " +
                                            m_dev.File("ttyUSB0") + " (by the link " +
                                            (Ports() / "com5").string() +
                                            ")\n"
                                            "COM6 to COM33 = " +
                                            m_dev.File("ttyS4") + " to " + m_dev.File("ttyS31"));
    EXPECT_EQ(DescribePortList({}), "No serial device is present.");
}
