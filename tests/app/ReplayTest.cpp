#include "tests/common/Nmea.h"
#include "tests/common/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A record file of n epochs: each a GGA and an RMC, stored with CR CR LF endings.
std::string RecordFile(int nEpochs) {
    std::string file;
    for (int i = 0; i < nEpochs; ++i) {
        char time[16];
        std::snprintf(time, sizeof time, "0800%02d.00", i % 60);
        for (std::string s : {Sentence(std::string("GPGGA,") + time +
                                       ",3954.3920,N,11623.7590,E,1,08,1.0,52.3,M,,M,,"),
                              Sentence(std::string("GPRMC,") + time +
                                       ",A,3954.3920,N,11623.7590,E,0.0,0.0,081226,,")}) {
            s.insert(s.size() - 1, "\r");
            file += s;
        }
    }
    return file;
}

int MonitorLines(CViewerDlg& d) {
    QString text = MonitorText(d);
    return static_cast<int>(text.split('\n', Qt::SkipEmptyParts).size());
}

// Runs ticks back to back until the replay ends (or the bound is reached).
int RunToEnd(CViewerDlg& d, int nMaxTicks = 100000) {
    int nTicks = 0;
    while (d.IsReplaying() && nTicks < nMaxTicks) {
        d.RunReplayTick();
        ++nTicks;
    }
    return nTicks;
}

class Replay : public CWindowTest {
protected:
    // Writes the record file and replays it.
    void StartReplayOf(const std::string& contents) {
        WriteFileBytes(m_path, contents);
        StartReplay(Dlg(), m_path);
    }
    std::string Caption() { return m_harness.Utf8(IDC_REPLAY); }
};

} // namespace

TEST_F(Replay, StartsWithTheDialogAndStopsOnTheButton) {
    CViewerDlg& d = Dlg();
    WriteFileBytes(m_path, RecordFile(5));
    {
        CFileChooser chooser(m_path);
        d.OnReplay();
        ASSERT_EQ(chooser.Calls().size(), 1u);
        EXPECT_TRUE(chooser.Calls()[0].open);
        EXPECT_EQ(chooser.Calls()[0].title, "打开回放语句文件");
        EXPECT_EQ(chooser.Calls()[0].filter, "Text Files(*.txt)|*.txt|All Files(*)|*||");
    }
    EXPECT_EQ(Caption(), kCaptionStopReplay);
    EXPECT_TRUE(d.IsTimerRunning(TIMER_REPLAY));
    EXPECT_EQ(d.TimerPeriod(TIMER_REPLAY), 1000);
    EXPECT_EQ(d.m_nReplayLength, static_cast<long>(RecordFile(5).size()));
    d.OnReplay();
    EXPECT_EQ(Caption(), kCaptionReplay);
    EXPECT_FALSE(d.IsTimerRunning(TIMER_REPLAY));
    EXPECT_EQ(d.m_pReplayFile, nullptr);
}

TEST_F(Replay, MissingFileIsReportedAndNothingChanges) {
    Dlg().SetDlgItemText(CellId(0, 0), "07");
    CBoxRecorder boxes;
    StartReplay(Dlg(), "/nonexistent-velmora/none.txt");
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "文件不存在或打不开!");
    EXPECT_EQ(Caption(), kCaptionReplay);
    EXPECT_EQ(m_harness.Text(CellId(0, 0)), "07") << "the display is not cleared";
}

TEST_F(Replay, APipeOrAFolderIsRefusedWithoutWaiting) {
    std::string fifo = m_dir.File("pipe.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, m_dir.Path()}) {
        CBoxRecorder boxes;
        StartReplay(Dlg(), path);
        ASSERT_EQ(boxes.Count(), 1u) << path;
        EXPECT_EQ(boxes.Calls()[0].text, "文件不存在或打不开!");
        EXPECT_EQ(Caption(), kCaptionReplay);
    }
}

TEST_F(Replay, DoesNothingWhileAcquiringAndStartRefusesWhileReplaying) {
    WriteFileBytes(m_path, RecordFile(5));
    Dlg().m_bAcquiring = 1;
    CFileChooser chooser(m_path);
    Dlg().OnReplay();
    EXPECT_TRUE(chooser.Calls().empty());
    EXPECT_EQ(Caption(), kCaptionReplay);
}

TEST_F(Replay, OneEpochPerTickAndTheWholeFile) {
    CViewerDlg& d = Dlg();
    StartReplayOf(RecordFile(10));
    d.RunReplayTick();
    EXPECT_EQ(MonitorLines(d), 2) << "the first GGA and its RMC";
    d.RunReplayTick();
    EXPECT_EQ(MonitorLines(d), 4);
    EXPECT_EQ(d.m_strSentence, "$GPGGA,080002.00,")
        << "the next GGA's head waits for the next tick";
    EXPECT_EQ(RunToEnd(d), 8) << "ten epochs, ten ticks";
    EXPECT_EQ(MonitorLines(d), 20) << "every epoch, the last included";
    EXPECT_EQ(Caption(), kCaptionReplay);
    EXPECT_EQ(d.m_pReplayFile, nullptr);
}

TEST_F(Replay, ShortAndOddFilesEndCleanly) {
    CViewerDlg& d = Dlg();
    const std::string cases[] = {
        "",
        std::string(200000, '\x1a'),
        std::string("\0\0binary\xff\xfe\r\r\n", 13),
        Sentence("GPRMC,080000.00,A,3954.3920,N,11623.7590,E,0.0,0.0,081226,,") + "tail no lf",
    };
    for (const std::string& contents : cases) {
        StartReplayOf(contents);
        EXPECT_EQ(Caption(), kCaptionStopReplay);
        EXPECT_LE(RunToEnd(d), static_cast<int>(contents.size() / 65536 + 1));
        EXPECT_EQ(Caption(), kCaptionReplay);
    }
    EXPECT_EQ(MonitorLines(d), 1) << "only the complete RMC line of the last file";
}

// A line without end (a damaged file, a binary dump) is dropped as live framing drops it: the
// gathered text never outgrows a sentence, and the epochs after the line still play.
TEST_F(Replay, ATenMegabyteLineIsDroppedAsLiveAndWhatFollowsPlays) {
    CViewerDlg& d = Dlg();
    std::string huge = "$GPGGA,080000.00," + std::string(10 << 20, '7') + "*00\r\r\n";
    StartReplayOf(RecordFile(2) + huge + RecordFile(3));
    int nTicks = 0;
    int nLongest = 0;
    while (d.IsReplaying() && nTicks < 1000) {
        d.RunReplayTick();
        nLongest = std::max(nLongest, d.m_strSentence.GetLength());
        ++nTicks;
    }
    EXPECT_LE(nLongest, kMaxSentenceLength);
    EXPECT_EQ(MonitorLines(d), 10) << "every epoch before and after the line, none of it";
    EXPECT_LT(MonitorText(d).size(), 1000);
    EXPECT_GT(nTicks, (10 << 20) / 65536) << "a tick still reads a bounded part";
}

TEST_F(Replay, TickWithoutReplayReadsNothingAndStopsItsTimer) {
    Dlg().SetTimer(TIMER_REPLAY, 10, nullptr);
    Dlg().RunReplayTick();
    EXPECT_FALSE(Dlg().IsTimerRunning(TIMER_REPLAY));
    EXPECT_EQ(Caption(), kCaptionReplay);
}

TEST_F(Replay, SliderSetsThePeriodAndRestartsARunningReplay) {
    CViewerDlg& d = Dlg();
    const int periods[] = {1000, 800, 600, 400, 10};
    for (int pos = 5; pos >= 1; --pos) {
        d.m_sliderSpeed.SetPos(pos);
        EXPECT_EQ(d.m_nReplayPeriod, periods[pos - 1]);
    }
    EXPECT_FALSE(d.IsTimerRunning(TIMER_REPLAY)) << "no replay: only the period changes";
    StartReplayOf(RecordFile(3));
    d.m_sliderSpeed.SetPos(5);
    EXPECT_EQ(d.TimerPeriod(TIMER_REPLAY), 10);
    d.OnHScroll(SB_ENDSCROLL, 0, d.GetDlgItem(IDC_REPLAY_SPEED));
    EXPECT_EQ(d.TimerPeriod(TIMER_REPLAY), 10);
}

TEST_F(Replay, TimerDrivesTheTicks) {
    Dlg().m_sliderSpeed.SetPos(5);
    StartReplayOf(RecordFile(4));
    EXPECT_TRUE(WaitFor([&] { return Caption() == kCaptionReplay; }, 5000));
    EXPECT_EQ(MonitorLines(Dlg()), 8);
}
