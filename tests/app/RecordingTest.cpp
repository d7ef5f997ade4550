#include "platform/CrossThread.h"
#include "platform/File.h"
#include "tests/app/FaultSupport.h"
#include "tests/common/Nmea.h"
#include "tests/common/TestSupport.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// The record file's system calls as the test wants them: counted, failed with an errno.
class CFileCalls {
public:
    explicit CFileCalls(std::string failCall = "", int nError = 0) {
        SetFileCallHook([this, failCall, nError](const char* pszCall) {
            m_calls.push_back(pszCall);
            return pszCall == failCall ? nError : 0;
        });
    }
    ~CFileCalls() { SetFileCallHook(nullptr); }
    int Count(const std::string& call) const {
        return static_cast<int>(std::count(m_calls.begin(), m_calls.end(), call));
    }

private:
    std::vector<std::string> m_calls;
};

// The one box a failed recording shows, with its detail line.
void ExpectRecordBox(const CBoxRecorder& boxes, const std::string& path,
                     const std::string& reason) {
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "记录文件无法写入!");
    EXPECT_EQ(boxes.Calls()[0].detail.rfind(path + "\n", 0), 0u) << boxes.Calls()[0].detail;
    EXPECT_NE(boxes.Calls()[0].detail.find(reason), std::string::npos) << boxes.Calls()[0].detail;
}

// Recording is off and its button offers to start it.
void ExpectRecordingOff(CViewerHarness& h) {
    EXPECT_EQ(h.Dlg().m_bRecording, 0);
    EXPECT_EQ(h.Text(IDC_RECORD), GBK(kCaptionRecord));
}

class Recording : public CWindowTest {};

} // namespace

TEST_F(Recording, DialogAndCaptions) {
    {
        CFileChooser chooser(m_path);
        Dlg().OnRecord();
        ASSERT_EQ(chooser.Calls().size(), 1u);
        FileDialogCall call = chooser.Calls()[0];
        EXPECT_FALSE(call.open);
        EXPECT_EQ(call.title, "保存记录语句文件为");
        EXPECT_EQ(call.filter, "Text Files(*.txt)|*.txt|All Files(*)|*||");
        EXPECT_EQ(call.defExt, "txt");
        EXPECT_TRUE(call.flags & OFN_OVERWRITEPROMPT);
    }
    EXPECT_EQ(m_harness.Text(IDC_RECORD), GBK(kCaptionStopRecord));
    EXPECT_EQ(Dlg().m_bRecording, 1);
    Dlg().OnRecord();
    ExpectRecordingOff(m_harness);
}

TEST_F(Recording, CancelChangesNothing) {
    CFileChooser chooser(std::nullopt);
    Dlg().OnRecord();
    ExpectRecordingOff(m_harness);
}

TEST_F(Recording, StoresReceivedBytesWithLineFeedsAsCrLf) {
    WriteFileBytes(m_path, "old contents");
    Dlg().EnterAcquiringState();
    StartRecording(Dlg(), m_path);
    EXPECT_EQ(ReadFileBytes(m_path), "") << "choosing a file empties it";

    std::string sentence = Sentence("GPZDA,080000.00,08,12,2026,00,00");
    std::string noise("\x01\x7f\xff\x1a noise without dollar\r", 25);
    std::string withNul("ab\0cd\n", 6);
    std::string bad = "$GPGGA,broken*00\r\n";
    Feed(Dlg(), sentence + noise + withNul + bad);
    std::string expected = sentence.substr(0, sentence.size() - 1) + "\r\n" + noise + "abcd\r\n" +
                           "$GPGGA,broken*00\r\r\n";
    EXPECT_EQ(ReadFileBytes(m_path), expected);
    EXPECT_EQ(ReadFileBytes(m_path).size(),
              sentence.size() + 1 + noise.size() + 6 + bad.size() + 1);
}

TEST_F(Recording, RunsOnAcrossStopAndStartAndRestartEmpties) {
    CViewerDlg& d = Dlg();
    const std::string& path = m_path;
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

TEST_F(Recording, FileThatCannotBeCreatedIsReportedAndRecordingStaysOff) {
    CBoxRecorder boxes;
    StartRecording(Dlg(), "/nonexistent-velmora-folder/rec.txt");
    ExpectRecordBox(boxes, "/nonexistent-velmora-folder/rec.txt", "No such file or directory");
    ExpectRecordingOff(m_harness);
}

// Opening a FIFO for writing waits for a reader: the window would hang for good. Each path is
// tried in a window of its own.
TEST(RecordingRefusal, OnlyARegularFileIsTakenAndNothingWaits) {
    CTempDir dir;
    std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::filesystem::create_symlink(fifo, dir.File("link-to-fifo.txt"));
    std::filesystem::create_directory(dir.File("folder.txt"));
    struct Case {
        std::string path;
        const char* pszKind;
    };
    CHangGuard guard("a record path that is no regular file", 60);
    for (const Case& c :
         {Case{fifo, "a FIFO"}, Case{dir.File("link-to-fifo.txt"), "a FIFO"},
          Case{"/dev/null", "a device"}, Case{dir.File("folder.txt"), "a folder"}}) {
        SCOPED_TRACE(c.path);
        CViewerHarness h;
        CBoxRecorder boxes;
        StartRecording(h.Dlg(), c.path);
        ExpectRecordBox(boxes, c.path, std::string("It is ") + c.pszKind);
        ExpectRecordingOff(h);
        if (c.path != "/dev/null") { // held open by others in this process
            EXPECT_FALSE(IsOpenHere(c.path));
        }
    }
    guard.Disarm();
    struct stat st;
    ASSERT_EQ(stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO is left as it was";
}

// Each way a record file can fail names the file and the system's reason under the box: at its
// creation (open, ftruncate) or at the first write.
TEST(RecordingRefusal, EveryFailureSaysWhichFileAndWhy) {
    struct Case {
        std::string call;
        int nError;
        const char* pszReason;
    };
    for (const Case& c : {Case{"open", EACCES, "Creating it failed: Permission denied"},
                          Case{"ftruncate", EROFS, "Read-only file system"},
                          Case{"write", ENOSPC, "Writing it failed: No space left on device"},
                          Case{"write", EIO, "Input/output error"}}) {
        SCOPED_TRACE(c.pszReason);
        CViewerHarness h;
        CTempDir dir;
        std::string path = dir.File("rec.txt");
        CFileCalls calls(c.call, c.nError);
        CBoxRecorder boxes;
        StartRecording(h.Dlg(), path);
        Feed(h.Dlg(), "$GPGGA,1\n");
        ExpectRecordBox(boxes, path, c.pszReason);
        ExpectRecordingOff(h);
        EXPECT_EQ(calls.Count("write"), c.call == "write" ? 1 : 0)
            << "recording stops at the first";
        EXPECT_FALSE(IsOpenHere(path));
    }
}

TEST_F(Recording, TheFileStaysOpenWhileRecordingAndARemovedOrReplacedOneIsNoticed) {
    CViewerDlg& d = Dlg();
    const std::string& path = m_path;
    StartRecording(d, path);
    EXPECT_TRUE(IsOpenHere(path));
    d.OnRecord();
    EXPECT_FALSE(IsOpenHere(path)) << "switching recording off closes the file";

    for (bool bReplace : {false, true}) {
        StartRecording(d, path);
        Feed(d, "kept\n");
        std::filesystem::remove(path);
        if (bReplace)
            WriteFileBytes(path, "another file");
        CBoxRecorder boxes;
        Feed(d, "x");
        ExpectRecordBox(boxes, path, bReplace ? "replaced" : "removed");
        ExpectRecordingOff(m_harness);
        EXPECT_FALSE(IsOpenHere(path));
        EXPECT_EQ(ReadFileBytes(path), bReplace ? "another file" : "");
    }
}

// The reader hands a run of bytes over in one send: the run is one write, in the file when
// the send returns.
TEST_F(Recording, ARunOfReceivedBytesIsOneWriteDoneWhenTheSendReturns) {
    CViewerDlg& d = Dlg();
    const std::string& path = m_path;
    StartRecording(d, path);
    CFileCalls calls;
    CCrossThreadSend gate;
    ASSERT_TRUE(gate.Open());
    std::string run = Sentence("GPZDA,080000.00,08,12,2026,00,00") + "noise";
    std::vector<CSentMessage> messages;
    for (unsigned char c : run)
        messages.push_back({WM_SERIAL_RXCHAR, c, 1});
    std::atomic<bool> bSent{false};
    std::string inFileAtReturn;
    std::thread reader([&] {
        gate.SendMessages(&d, messages);
        inFileAtReturn = ReadFileBytes(path);
        bSent = true;
    });
    EXPECT_TRUE(WaitFor([&] { return bSent.load(); }));
    reader.join();
    EXPECT_EQ(inFileAtReturn, vbase::RecordFormat(run));
    EXPECT_EQ(calls.Count("write"), 1);
    gate.Close();
}

TEST_F(Recording, RemovedFolderStopsRecordingWithOneMessage) {
    std::string folder = m_dir.File("sub");
    std::filesystem::create_directory(folder);
    StartRecording(Dlg(), folder + "/rec.txt");
    Feed(Dlg(), "abc");
    std::filesystem::remove_all(folder);
    CBoxRecorder boxes;
    Feed(Dlg(), "defgh\n");
    EXPECT_EQ(boxes.Count(), 1u);
    ExpectRecordingOff(m_harness);
}

TEST_F(Recording, FullDiskStopsRecordingWithOneMessage) {
    StartRecording(Dlg(), m_path);
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = 10;
    setrlimit(RLIMIT_FSIZE, &limit);
    CBoxRecorder boxes;
    Feed(Dlg(), "0123456789ABCDEF\n");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(boxes.Count(), 1u);
    ExpectRecordingOff(m_harness);
    EXPECT_EQ(ReadFileBytes(m_path), "0123456789");
}
