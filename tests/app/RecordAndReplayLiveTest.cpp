// Recording a live receiver on a pseudo-terminal, then replaying what was recorded.
#include "tests/app/FaultSupport.h"
#include "tests/app/LivePortTest.h"

#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

// Writes from a thread of its own while the GUI thread goes on handling what arrives.
void Send(const CPseudoTerminal& pty, const std::string& bytes, size_t nExpectedFileSize,
          const std::string& path) {
    std::thread writer([&] { pty.Write(bytes); });
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(path).size() == nExpectedFileSize; }, 10000));
    writer.join();
}

// The decoded texts a person reads: tables, date, time, position, motion and counts (the
// time-to-fix counts epochs since Start, which live and replay begin at different points).
std::map<int, std::string> DisplayTexts(CViewerHarness& h) {
    std::map<int, std::string> texts;
    for (int id = IDC_FIRST_CELL; id <= IDC_GLONASS_USED; ++id)
        if ((id <= IDC_TIME || (id >= IDC_LATITUDE && id <= IDC_HDOP) || id >= IDC_GPS_IN_VIEW) &&
            h.Dlg().GetDlgItem(id))
            texts[id] = h.Utf8(id);
    return texts;
}

class RecordAndReplay : public CLivePortTest {};

} // namespace

TEST_F(RecordAndReplay, ALiveRunIsRecordedByteForByteAndReplaysToTheSameDisplay) {
    std::string path = m_dir.File("drive.txt");
    std::string first = ScenarioStream(40, 11, 10);
    std::string second = ScenarioStream(40, 12, 10);
    std::string noise("\x07\x00 line noise \xfe", 15);

    CViewerDlg& d = Dlg();
    StartRecording(path);
    d.OnOK();
    ASSERT_EQ(Caption(), kCaptionWait);
    Send(m_pty, first + noise, vbase::RecordFormat(first + noise).size(), path);
    d.OnOK(); // Stop
    EXPECT_EQ(Caption(), kCaptionStart);
    d.OnOK(); // Start again: the recording goes on into the same file
    std::string expected = vbase::RecordFormat(first + noise + second);
    Send(m_pty, second, expected.size(), path);
    EXPECT_EQ(ReadFileBytes(path), expected);
    std::map<int, std::string> live = DisplayTexts(m_harness);
    d.OnOK();
    d.OnRecord();

    StartReplay(d, path);
    int nTicks = 0;
    while (d.IsReplaying() && nTicks < 1000) {
        d.RunReplayTick();
        ++nTicks;
    }
    EXPECT_GE(nTicks, 79) << "one tick per epoch";
    EXPECT_LE(nTicks, 81);
    std::map<int, std::string> replayed = DisplayTexts(m_harness);
    for (const auto& [id, text] : live)
        EXPECT_EQ(replayed[id], text) << "control " << id;
    EXPECT_EQ(m_boxes.Count(), 0u);
}
