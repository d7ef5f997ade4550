// Where Linux differs from what the messages assume: a failed Start keeps its message and says
// in the detail which device the number named and why; the COM field's tooltip lists the
// devices the numbers name now.
#include "app/PortTooltip.h"
#include "tests/app/LivePortTest.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A device the system refuses to open to this user.
class CDeniedCalls : public CPortCalls {
public:
    int Open(const char*, int) override {
        errno = EACCES;
        return -1;
    }
};

class PortHelpTest : public CLivePortTest {
protected:
    QWidget* ComField() { return Dlg().GetDlgItem(IDC_PORT)->Widget(); }
    std::string Link(int nPort) const {
        return m_home.Path() + "/.velmora/ports/com" + std::to_string(nPort);
    }
    MessageBoxCall StartFails(const char* pszPort) {
        Dlg().SetDlgItemText(IDC_PORT, pszPort);
        Dlg().OnOK();
        EXPECT_EQ(Caption(), kCaptionStart);
        EXPECT_EQ(Dlg().m_bStopped, 1);
        EXPECT_EQ(m_boxes.Count(), 1u);
        return m_boxes.Count() ? m_boxes.Calls().back() : MessageBoxCall{};
    }
};

} // namespace

TEST_F(PortHelpTest, AFailedOpenKeepsItsMessageAndGivesTheDeviceAndTheReasonInTheDetail) {
    // Root may open anything: the refusal comes through the seam, for a device of root's.
    CTempDir dir;
    WriteFileBytes(dir.File("ttyUSB0"), "");
    fs::remove(Link(kPort));
    fs::create_symlink(dir.File("ttyUSB0"), Link(kPort));
    CDeniedCalls denied;
    Dlg().m_serialLink.SetPortCalls(&denied);
    MessageBoxCall box = StartFails("7");
    EXPECT_EQ(box.text, "无法打开串口7！");
    EXPECT_EQ(box.type & MB_OK, static_cast<UINT>(MB_OK));
    EXPECT_EQ(box.detail.rfind("COM7 = " + dir.File("ttyUSB0") +
                                   " (by the link ~/.velmora/ports/com7)\n"
                                   "Opening it failed: Permission denied.\n",
                               0),
              0u)
        << box.detail;
    EXPECT_TRUE(Contains(box.detail, "sudo adduser $USER dialout"));
}

TEST_F(PortHelpTest, AnEmptyOrUnknownNumberSaysWhichNumbersNameDevices) {
    MessageBoxCall box = StartFails("");
    EXPECT_EQ(box.text, "无法打开串口0！");
    EXPECT_EQ(box.detail.rfind("COM0 names no device: port numbers start at 1.", 0), 0u);

    CBoxRecorder boxes;
    Dlg().SetDlgItemText(IDC_PORT, "4000");
    Dlg().OnOK();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "无法打开串口4000！");
    EXPECT_TRUE(Contains(boxes.Calls()[0].detail, "No serial device is COM4000 now."));
    EXPECT_TRUE(Contains(boxes.Calls()[0].detail,
                         "COM7 = " + m_pty.SlavePath() + " (by the link ~/.velmora/ports/com7)"));
}

TEST_F(PortHelpTest, TheComFieldTooltipListsTheDevicesAsTheyAreWhenThePointerComes) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(ComField(), &enter);
    std::string tip = ComField()->toolTip().toStdString();
    EXPECT_TRUE(Contains(tip, "COM7 = " + m_pty.SlavePath() + " (by the link"));
    EXPECT_TRUE(Contains(tip, "ln -s /dev/ttyUSB0 ~/.velmora/ports/com3"));
    EXPECT_TRUE(Contains(tip, "Baud rates 4800 to 921600"));

    // The receiver moved to another number meanwhile: the tooltip about to show says so.
    fs::remove(Link(kPort));
    fs::create_symlink(m_pty.SlavePath(), Link(9));
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), ComField()->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(ComField(), &help);
    tip = ComField()->toolTip().toStdString();
    EXPECT_TRUE(Contains(tip, "COM9 = " + m_pty.SlavePath()));
    EXPECT_FALSE(Contains(tip, "COM7 = "));
    EXPECT_EQ(tip, PortTooltipText());
}
