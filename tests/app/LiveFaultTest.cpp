// Faults of a live receiver on a pseudo-terminal: each must end as a user would want, with a
// clear message or a clean stop, the window still answering and no recorded byte lost.
#include "platform/File.h"
#include "tests/app/FaultSupport.h"
#include "tests/app/LivePortTest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Resident memory may move by allocator caches and Qt's own buffers, never by what a long
// run accumulates: a leak of a few bytes per byte or per cycle would show as megabytes here.
constexpr long kMemoryTolerance = 1L << 20;
// The monitor's text blocks are freed and allocated anew as lines of other lengths come and
// go, a batch at a time: under a storm the resident size settles about 3 MB up (the same after
// 4 s and after 12 s), far below the megabytes of noise a growing buffer would keep.
constexpr long kStormMemoryTolerance = 6L << 20;

// The file-size limit of the process, lowered for one test and restored after it.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t nBytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = nBytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_saved = {};
    sighandler_t m_oldHandler;
};

// Every system call on the record file takes 2 ms, as on a busy network share.
class CSlowFileSystem {
public:
    CSlowFileSystem() {
        SetFileCallHook([](const char*) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            return 0;
        });
    }
    ~CSlowFileSystem() { SetFileCallHook(nullptr); }
};

class LiveFault : public CLivePortTest {
protected:
    // Runs the event loop for the time, checking all along that the window answers.
    void RunAnswering(int nMilliseconds) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < nMilliseconds)
            ASSERT_TRUE(AnswersEvents()) << "the window stopped answering";
    }
};

} // namespace

TEST_F(LiveFault, AReceiverThatVanishesMidSentenceLosesNoRecordedByte) {
    std::string path = m_dir.File("vanish.txt");
    StartRecording(path);
    SelectBaud("57600");
    Dlg().OnOK();
    std::string stream = ScenarioStream(40);
    stream.resize(stream.size() - 37);
    CStreamWriter writer(m_pty, stream, true);
    ASSERT_TRUE(WaitFor([&] { return m_boxes.Count() > 0; }, 30000));
    writer.Join();
    PumpEvents(200);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Serialport Error"});

    std::string recorded = ReadFileBytes(path);
    std::string expected = vbase::RecordFormat(stream);
    // What the line still held at the hang-up is gone with it; everything read is recorded.
    EXPECT_GT(recorded.size(), 1000u);
    EXPECT_EQ(expected.compare(0, recorded.size(), recorded), 0)
        << "the record file is not the stream up to the fault";
    EXPECT_EQ(Dlg().m_bRecording, 1) << "a vanished receiver does not end the recording";
    EXPECT_EQ(Caption(), kCaptionStop);
    EXPECT_TRUE(AnswersEvents());
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_EQ(m_boxes.Count(), 1u);
}

TEST_F(LiveFault, APortClaimedByAnotherProgramIsNamedUntilItLetsGo) {
    int toChild[2];
    int fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    const char* pszSlave = m_pty.SlavePath().c_str();
    pid_t pid = fork();
    if (pid == 0) {
        // The other program: claims the port, holds it until told, then lets go as it should.
        // It is not the receiver's side of the line.
        close(m_pty.Master());
        int fd = open(pszSlave, O_RDWR | O_NOCTTY);
        char cClaimed = fd >= 0 && ioctl(fd, TIOCEXCL) == 0 ? '1' : '0';
        (void)!write(fromChild[1], &cClaimed, 1);
        char c;
        (void)!read(toChild[0], &c, 1);
        ioctl(fd, TIOCNXCL);
        _exit(0);
    }
    ASSERT_GT(pid, 0);
    char cClaimed = 0;
    ASSERT_EQ(read(fromChild[0], &cClaimed, 1), 1);
    ASSERT_EQ(cClaimed, '1');

    Dlg().OnOK();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"无法打开串口7！"});
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_EQ(Dlg().m_bStopped, 1);
    EXPECT_EQ(Dlg().m_bAcquiring, 0);

    ASSERT_EQ(write(toChild[1], "x", 1), 1);
    int nStatus = 0;
    ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
        close(fd);
    StartAndReceive();
    EXPECT_EQ(m_boxes.Count(), 1u);
}

// A receiver at 57600 baud read at 38400 for several seconds (minutes in the soak): the
// watchdog reports it once and nothing accumulates.
TEST_F(LiveFault, AReceiverAtTheWrongSpeedIsReportedAndNothingGrows) {
    Dlg().m_nBaudWatchdogPeriod = kShortWatchdogPeriod;
    Dlg().OnTogglePanel();
    Dlg().OnOK();
    CLineStreamer streamer(m_pty, WrongSpeedStream(30), 57600);
    ASSERT_TRUE(CaptionBecomes(kCaptionBaudError));
    long nResident = ResidentBytes();
    RunAnswering(FaultRunMs(4000));
    std::printf("wrong speed: %zu bytes, resident memory %+ld KiB\n", streamer.Written(),
                (ResidentBytes() - nResident) / 1024);
    EXPECT_EQ(Caption(), kCaptionBaudError);
    EXPECT_GT(streamer.Written(), 0u);
    EXPECT_EQ(Dlg().m_bGotValidSentence, 0);
    EXPECT_LE(Dlg().m_strSentence.GetLength(), 121);
    EXPECT_LE(Dlg().m_editMonitor.GetLineCount(), 1);
    if (MeasuresMemory()) {
        EXPECT_LT(ResidentBytes() - nResident, kMemoryTolerance);
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Noise faster than any 57600-baud line, full of framing bytes and of sentences with random
// fields and correct checksums: nothing crashes, the monitor stays bounded, memory flat.
TEST_F(LiveFault, ANoiseStormNeitherCrashesNorGrows) {
    SelectBaud("57600");
    Dlg().OnTogglePanel();
    Dlg().OnOK();
    // The monitor starts full of lines as long as any sentence: from here on it cannot grow.
    CString strLine(std::string(120, 'x') + "\r\n");
    for (int i = 0; i < kMonitorLineLimit; ++i)
        Dlg().m_editMonitor.ReplaceSel(strLine);
    CLineStreamer streamer(m_pty, NoiseStream(1 << 20, 9), 0);
    RunAnswering(FaultRunMs(1000));
    long nResident = ResidentBytes();
    size_t nWritten = streamer.Written();
    RunAnswering(FaultRunMs(4000));
    std::printf("noise storm: %zu bytes, resident memory %+ld KiB\n", streamer.Written() - nWritten,
                (ResidentBytes() - nResident) / 1024);
    EXPECT_GT(streamer.Written(), nWritten) << "the window stopped taking bytes";
    EXPECT_LE(Dlg().m_strSentence.GetLength(), 121);
    EXPECT_LE(Dlg().m_editMonitor.GetLineCount(), kMonitorLineLimit);
    if (MeasuresMemory()) {
        EXPECT_LT(ResidentBytes() - nResident, kStormMemoryTolerance);
    }
    streamer.Stop();
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Start and Stop while a receiver streams as fast as the window takes it, so that Stops fall
// anywhere in a run: 40 cycles here, 1,000 in the soak (which also measures memory).
TEST_F(LiveFault, StartStopCyclesLeaveNoThreadDescriptorOrMemoryBehind) {
    SelectBaud("57600");
    CLineStreamer streamer(m_pty, ScenarioStream(4), 0);
    auto cycle = [&] {
        Dlg().OnOK();
        bool bByteHandled = WaitFor([&] { return Dlg().m_bBaudCheckPending == 0; }, 20000);
        Dlg().OnOK();
        // Start renews the sky plot; the widget of the old one is deleted once control is back
        // in the program's modal loop, which this test stands in for.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return bByteHandled;
    };
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(cycle());
    int nThreads = OwnThreadCount();
    int nFds = OwnFdCount();
    long nResident = ResidentBytes();
    int nCycles = FaultScale() > 1 ? 200 * FaultScale() : 40;
    for (int i = 0; i < nCycles; ++i)
        ASSERT_TRUE(cycle()) << "cycle " << i << ": no byte arrived";
    std::printf("%d Start/Stop cycles: resident memory %+ld KiB\n", nCycles,
                (ResidentBytes() - nResident) / 1024);
    EXPECT_EQ(OwnThreadCount(), nThreads);
    EXPECT_EQ(OwnFdCount(), nFds);
    if (MeasuresMemory()) {
        EXPECT_LT(ResidentBytes() - nResident, kMemoryTolerance);
    }
    EXPECT_EQ(Caption(), kCaptionStart);
    EXPECT_TRUE(AnswersEvents());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(LiveFault, ARecordFolderRemovedWhileRecordingStopsOnlyTheRecording) {
    std::string folder = m_dir.File("records");
    std::filesystem::create_directory(folder);
    StartRecording(folder + "/rec.txt");
    SelectBaud("57600");
    Dlg().OnTogglePanel();
    Dlg().OnOK();
    CLineStreamer streamer(m_pty, ScenarioStream(20), 57600);
    ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(folder + "/rec.txt").size() > 2000; }));
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(WaitFor([&] { return m_boxes.Count() > 0; }));
    int nLines = Dlg().m_editMonitor.GetLineCount();
    EXPECT_TRUE(WaitFor([&] { return Dlg().m_editMonitor.GetLineCount() > nLines + 5; }))
        << "acquisition stopped with the recording";
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"记录文件无法写入!"});
    EXPECT_EQ(Dlg().m_bRecording, 0);
    EXPECT_EQ(m_harness.Utf8(IDC_RECORD), kCaptionRecord);
    EXPECT_EQ(Caption(), kCaptionStop);
    EXPECT_FALSE(std::filesystem::exists(folder)) << "the folder came back";
}

TEST_F(LiveFault, ADiskThatFillsKeepsEveryByteUpToTheLimit) {
    constexpr rlim_t kLimit = 3001;
    std::string path = m_dir.File("full.txt");
    StartRecording(path);
    SelectBaud("57600");
    Dlg().OnOK();
    std::string stream = ScenarioStream(20);
    {
        CFileSizeLimit limit(kLimit);
        CStreamWriter writer(m_pty, stream, false);
        ASSERT_TRUE(WaitFor([&] { return m_boxes.Count() > 0; }, 30000));
        writer.Join();
    }
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"记录文件无法写入!"});
    EXPECT_EQ(ReadFileBytes(path), vbase::RecordFormat(stream).substr(0, kLimit));
    EXPECT_EQ(Dlg().m_bRecording, 0);
    EXPECT_TRUE(WaitFor([&] { return m_pty.Waiting() == 0; }));
    EXPECT_EQ(Caption(), kCaptionStop);
    EXPECT_EQ(m_boxes.Count(), 1u);
}

TEST_F(LiveFault, ASlowFileSystemNeitherHoldsUpTheWindowNorLosesAByte) {
    CSlowFileSystem slow;
    std::string path = m_dir.File("slow.txt");
    StartRecording(path);
    SelectBaud("57600");
    Dlg().OnOK();
    std::string stream = ScenarioStream(40);
    std::string expected = vbase::RecordFormat(stream);
    CStreamWriter writer(m_pty, stream, false);
    while (!writer.Done())
        ASSERT_TRUE(AnswersEvents()) << "the window waits on the disk";
    writer.Join();
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(path).size() >= expected.size(); }, 30000));
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_EQ(Dlg().m_bRecording, 1);
    EXPECT_EQ(m_boxes.Count(), 0u);
    Dlg().OnOK();
}
