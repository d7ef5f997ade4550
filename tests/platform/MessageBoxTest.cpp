// A box with a detail shows it under its text, on the screen, without changing the text.
#include "platform/MessageBox.h"
#include "tests/common/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct ShownBox {
    QString text;
    QString informative;
    QString caption;
};

// Raises a box through show() and reads what the screen shows before pressing OK.
template <typename Show> ShownBox ShowAndRead(Show show) {
    ShownBox shown;
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [&] {
        if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = {pBox->text(), pBox->informativeText(), pBox->windowTitle()};
            pBox->button(QMessageBox::Ok)->click();
        }
    });
    dismiss.start(10);
    EXPECT_EQ(show(), IDOK);
    return shown;
}

} // namespace

TEST(MessageBoxDetail, IsShownUnderTheTextOfBothKindsOfBoxAndOnlyWhenGiven) {
    ASSERT_FALSE(HasMessageBoxHook());
    ShownBox shown = ShowAndRead(
        [] { return AfxMessageBox(GBK("无法打开串口3！"), MB_OK, "COM3 = /dev/ttyUSB0\nBusy."); });
    EXPECT_EQ(shown.text, QString::fromUtf8("无法打开串口3！"));
    EXPECT_EQ(shown.informative, "COM3 = /dev/ttyUSB0\nBusy.");

    shown = ShowAndRead([] {
        return MessageBox(nullptr, "WARNING", "Application Error", MB_ICONSTOP | MB_OK, "COM3");
    });
    EXPECT_EQ(shown.caption, "Application Error");
    EXPECT_EQ(shown.informative, "COM3");

    shown = ShowAndRead([] { return AfxMessageBox("Serialport Error"); });
    EXPECT_EQ(shown.text, "Serialport Error");
    EXPECT_EQ(shown.informative, "");
}

TEST(MessageBoxDetail, ReachesTheTestSeamAsGiven) {
    CBoxRecorder boxes;
    AfxMessageBox("Serialport Error", MB_OK, "COM1 = /dev/ttyACM0\nThe device hung up.");
    AfxMessageBox("plain");
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Calls()[0].text, "Serialport Error");
    EXPECT_EQ(boxes.Calls()[0].detail, "COM1 = /dev/ttyACM0\nThe device hung up.");
    EXPECT_EQ(boxes.Calls()[1].detail, "");
}
