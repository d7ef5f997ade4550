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

namespace {

const char kLongPath[] =
    "/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_GNSS_receiver-if00";

// The line of the text that holds the word, and whether the word stands whole on it.
bool StandsWhole(const QStringList& lines, const QString& word) {
    for (const QString& line : lines)
        if (line.split(' ', Qt::SkipEmptyParts).contains(word))
            return true;
    return false;
}

} // namespace

TEST(MessageBoxDetail, ABoxWrapsItsDetailBetweenWordsOnly) {
    std::string detail = std::string("COM2 = ") + kLongPath +
                         " (by the link ~/.velmora/ports/com2)\nThe device is busy: another "
                         "program has opened it for itself. Close that program or stop its use "
                         "of the port, and start again.";
    ShownBox shown = ShowAndRead([&] { return AfxMessageBox("x", MB_OK, detail); });
    QStringList lines = shown.informative.split('\n');
    EXPECT_GT(lines.size(), 3) << "a long detail is wrapped";
    EXPECT_TRUE(StandsWhole(lines, kLongPath));
    EXPECT_TRUE(StandsWhole(lines, "~/.velmora/ports/com2)"));
    EXPECT_EQ(shown.informative.simplified(), QString::fromStdString(detail).simplified())
        << "only spaces became line breaks";
}

// Breaks fall at spaces, lines stay within the width unless one word is wider, an indented
// command keeps its indent, and the detail's own lines stay lines.
TEST(MessageBoxDetail, WrappingKeepsWordsWholeAndLinesWithinTheWidth) {
    QFont font("DejaVu Sans");
    font.setPixelSize(13);
    QFontMetrics fm(font);
    const int nWidth = 30 * fm.averageCharWidth();
    const char* const cases[] = {
        "COM1 = /dev/ttyUSB0",
        "Serial devices can be opened by the members of the group that owns them (uucp). Join "
        "it with\n    sudo adduser $USER uucp\nthen log out and in again.",
        "Opening it failed: Permission denied. The link ~/.velmora/ports/com3 leads to "
        "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0 which is gone.",
        "    ln -s /dev/ttyUSB0 ~/.velmora/ports/com3 names a device by a number of your choice",
    };
    for (const char* pszCase : cases) {
        SCOPED_TRACE(pszCase);
        QString text = QString::fromUtf8(pszCase);
        QStringList lines = WrapBetweenWords(text, fm, nWidth).split('\n');
        QStringList given = text.split('\n');
        EXPECT_EQ(lines.join(' ').simplified(), text.simplified());
        for (const QString& line : given)
            for (const QString& word : line.split(' ', Qt::SkipEmptyParts))
                EXPECT_TRUE(StandsWhole(lines, word)) << word.toStdString();
        for (const QString& line : lines) {
            bool bOneWord = line.trimmed().count(' ') == 0;
            EXPECT_TRUE(bOneWord || fm.horizontalAdvance(line) <= nWidth) << line.toStdString();
        }
        for (const QString& line : given) {
            if (!line.startsWith("    "))
                continue;
            for (const QString& wrapped : lines) {
                if (line.contains(wrapped.trimmed())) {
                    EXPECT_TRUE(wrapped.startsWith("    ")) << wrapped.toStdString();
                }
            }
        }
        EXPECT_GE(lines.size(), given.size());
    }
}
