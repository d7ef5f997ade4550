// A replay file that another program cuts short or removes while it plays.
#include "tests/app/FaultSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr int kEpochs = 300;

class ReplayFault : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir.File("replay.txt");
        WriteFileBytes(m_path, vbase::RecordFormat(ScenarioStream(kEpochs)));
        m_nFds = OwnFdCount();
    }
    void StartReplay() {
        CFileChooser chooser(m_path);
        m_harness.Dlg().OnReplay();
        ASSERT_TRUE(m_harness.Dlg().IsReplaying());
    }
    // Runs ticks back to back until the replay ends or the bound is reached.
    int RunTicks(int nMaxTicks) {
        int nTicks = 0;
        while (m_harness.Dlg().IsReplaying() && nTicks < nMaxTicks) {
            m_harness.Dlg().RunReplayTick();
            ++nTicks;
        }
        return nTicks;
    }
    void ExpectEndedCleanly() {
        EXPECT_FALSE(m_harness.Dlg().IsReplaying());
        EXPECT_EQ(m_harness.Dlg().m_pReplayFile, nullptr);
        EXPECT_FALSE(m_harness.Dlg().IsTimerRunning(TIMER_REPLAY));
        EXPECT_EQ(OwnFdCount(), m_nFds) << "a descriptor stayed open";
        EXPECT_EQ(m_boxes.Count(), 0u);
        EXPECT_TRUE(AnswersEvents());
    }

    CTempDir m_dir;
    std::string m_path;
    int m_nFds = 0;
    CBoxRecorder m_boxes;
    CViewerHarness m_harness;
};

} // namespace

TEST_F(ReplayFault, AFileEmptiedWhileItPlaysEndsAfterWhatWasAlreadyRead) {
    StartReplay();
    ASSERT_EQ(RunTicks(20), 20);
    long nPos = m_harness.Dlg().m_nReplayPos;
    ASSERT_EQ(truncate(m_path.c_str(), 0), 0);
    // What the stream had buffered before the cut may still play: a few epochs at most.
    EXPECT_LT(RunTicks(kEpochs), 10);
    EXPECT_LT(m_harness.Dlg().m_nReplayPos - nPos, 8192);
    ExpectEndedCleanly();
}

TEST_F(ReplayFault, AFileCutInHalfWhileItPlaysPlaysToTheNewEnd) {
    StartReplay();
    ASSERT_EQ(RunTicks(20), 20);
    long nHalf = m_harness.Dlg().m_nReplayLength / 2;
    ASSERT_EQ(truncate(m_path.c_str(), nHalf), 0);
    int nTicks = RunTicks(kEpochs);
    EXPECT_GT(nTicks, kEpochs / 2 - 30);
    EXPECT_LT(nTicks, kEpochs / 2);
    ExpectEndedCleanly();
}

// Removed (or replaced by another file of the same name), the file plays on from the open
// descriptor to its end, exactly as it would have.
TEST_F(ReplayFault, AFileRemovedWhileItPlaysPlaysOnToItsEnd) {
    StartReplay();
    int nWholeRun = RunTicks(kEpochs + 10);
    std::string wholeRunMonitor = m_harness.Utf8(IDC_MONITOR);
    std::string wholeRunPosition = m_harness.Utf8(IDC_LATITUDE) + m_harness.Utf8(IDC_LONGITUDE);

    StartReplay();
    ASSERT_EQ(RunTicks(20), 20);
    ASSERT_EQ(unlink(m_path.c_str()), 0);
    WriteFileBytes(m_path, "a different file now");
    EXPECT_EQ(RunTicks(kEpochs + 10) + 20, nWholeRun);
    EXPECT_EQ(m_harness.Utf8(IDC_MONITOR), wholeRunMonitor);
    EXPECT_EQ(m_harness.Utf8(IDC_LATITUDE) + m_harness.Utf8(IDC_LONGITUDE), wholeRunPosition);
    ExpectEndedCleanly();
}
