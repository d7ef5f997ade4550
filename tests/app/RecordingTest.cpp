#include "tests/common/Nmea.h"
#include "tests/common/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

namespace {

// Recording as a user starts it: the save dialog answered with the given path.
void StartRecording(CViewerDlg& d, const std::string& path) {
    CFileChooser chooser(path);
    d.OnRecord();
}

} // namespace

TEST(Recording, DialogAndCaptions) {
    CViewerHarness h;
    CTempDir dir;
    {
        CFileChooser chooser(dir.File("rec.txt"));
        h.Dlg().OnRecord();
        ASSERT_EQ(chooser.Calls().size(), 1u);
        FileDialogCall call = chooser.Calls()[0];
        EXPECT_FALSE(call.open);
        EXPECT_EQ(call.title, "保存记录语句文件为");
        EXPECT_EQ(call.filter, "Text Files(*.txt)|*.txt||");
        EXPECT_EQ(call.defExt, "txt");
        EXPECT_TRUE(call.flags & OFN_OVERWRITEPROMPT);
    }
    EXPECT_EQ(h.Text(1127), GBK("停止记录"));
    EXPECT_EQ(h.Dlg().m_bRecording, 1);
    h.Dlg().OnRecord();
    EXPECT_EQ(h.Text(1127), GBK("记录语句"));
    EXPECT_EQ(h.Dlg().m_bRecording, 0);
}

TEST(Recording, CancelChangesNothing) {
    CViewerHarness h;
    CFileChooser chooser(std::nullopt);
    h.Dlg().OnRecord();
    EXPECT_EQ(h.Dlg().m_bRecording, 0);
    EXPECT_EQ(h.Text(1127), GBK("记录语句"));
}

TEST(Recording, StoresReceivedBytesWithLineFeedsAsCrLf) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    CTempDir dir;
    std::string path = dir.File("rec.txt");
    WriteFileBytes(path, "old contents");
    d.EnterAcquiringState();
    StartRecording(d, path);
    EXPECT_EQ(ReadFileBytes(path), "") << "choosing a file empties it";

    std::string sentence = Sentence("GPZDA,080000.00,08,12,2026,00,00");
    std::string noise("\x01\x7f\xff\x1a noise without dollar\r", 25);
    std::string withNul("ab\0cd\n", 6);
    std::string bad = "$GPGGA,broken*00\r\n";
    Feed(d, sentence + noise + withNul + bad);
    std::string expected = sentence.substr(0, sentence.size() - 1) + "\r\n" + noise + "abcd\r\n" +
                           "$GPGGA,broken*00\r\r\n";
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_EQ(ReadFileBytes(path).size(), sentence.size() + 1 + noise.size() + 6 + bad.size() + 1);
}

TEST(Recording, RunsOnAcrossStopAndStartAndRestartEmpties) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    CTempDir dir;
    std::string path = dir.File("rec.txt");
    StartRecording(d, path);
    Feed(d, "first\n");
    d.EnterAcquiringState();
    Feed(d, "second\n");
    EXPECT_EQ(ReadFileBytes(path), "first\r\nsecond\r\n");
    d.OnRecord();
    Feed(d, "not recorded\n");
    EXPECT_EQ(ReadFileBytes(path), "first\r\nsecond\r\n");
    StartRecording(d, path);
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(Recording, FileThatCannotBeCreatedIsReportedAndRecordingStaysOff) {
    CViewerHarness h;
    CBoxRecorder boxes;
    StartRecording(h.Dlg(), "/nonexistent-velmora-folder/rec.txt");
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "记录文件无法写入!");
    EXPECT_EQ(h.Dlg().m_bRecording, 0);
    EXPECT_EQ(h.Text(1127), GBK("记录语句"));
}

TEST(Recording, RemovedFolderStopsRecordingWithOneMessage) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    CTempDir dir;
    std::string folder = dir.File("sub");
    std::filesystem::create_directory(folder);
    StartRecording(d, folder + "/rec.txt");
    Feed(d, "abc");
    std::filesystem::remove_all(folder);
    CBoxRecorder boxes;
    Feed(d, "defgh\n");
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(d.m_bRecording, 0);
    EXPECT_EQ(h.Text(1127), GBK("记录语句"));
}

TEST(Recording, FullDiskStopsRecordingWithOneMessage) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    CTempDir dir;
    std::string path = dir.File("rec.txt");
    StartRecording(d, path);
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = 10;
    setrlimit(RLIMIT_FSIZE, &limit);
    CBoxRecorder boxes;
    Feed(d, "0123456789ABCDEF\n");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(d.m_bRecording, 0);
    EXPECT_EQ(ReadFileBytes(path), "0123456789");
}
