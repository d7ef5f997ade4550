// File names as the file system spells them: letters GBK does not have must neither be lost
// nor make two names one.
#include "tests/common/Nmea.h"
#include "tests/common/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace {

// Names in several scripts; the first five have letters outside GBK and would each have
// become "?" or "??" on the way to the file system.
const std::vector<std::string> kNames = {
    "ö.txt",      "å.txt",        "ñandú.txt",  "한글 기록.txt", "𠀀𠀁.txt",
    "日本語.txt", "记录语句.txt", "Ελλάδα.txt", "запись.txt",    "tab\there.txt",
};

void Record(CViewerDlg& d, const std::string& path, const std::string& bytes) {
    {
        CFileChooser chooser(path);
        d.OnRecord();
    }
    Feed(d, bytes);
    d.OnRecord();
}

// An epoch whose time tells the files apart once replayed: the minute is the file's.
std::string Epoch(int nMinute, int nSecond) {
    char time[16];
    std::snprintf(time, sizeof time, "08%02d%02d.00", nMinute, nSecond);
    return Sentence(std::string("GPGGA,") + time +
                    ",3954.3920,N,11623.7590,E,1,08,1.0,52.3,M,,M,,");
}

} // namespace

TEST(FileNames, EveryNameIsItsOwnFileAndReplaysFromIt) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    CTempDir dir;
    for (size_t i = 0; i < kNames.size(); ++i) {
        std::string stream;
        for (int n = 0; n < 30; ++n)
            stream += Epoch(static_cast<int>(i), n);
        Record(d, dir.File(kNames[i]), stream);
    }
    std::set<std::string> onDisk;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        onDisk.insert(entry.path().filename().string());
    EXPECT_EQ(onDisk, std::set<std::string>(kNames.begin(), kNames.end()));

    CBoxRecorder boxes;
    for (size_t i = 0; i < kNames.size(); ++i) {
        {
            CFileChooser chooser(dir.File(kNames[i]));
            d.OnReplay();
        }
        ASSERT_EQ(h.Text(IDC_REPLAY), GBK(kCaptionStopReplay)) << kNames[i] << " was not found";
        d.RunReplayTick();
        char time[16];
        std::snprintf(time, sizeof time, "16 :%02d :00", static_cast<int>(i));
        EXPECT_EQ(h.Utf8(IDC_TIME), time) << kNames[i] << " replayed another file";
        CFileChooser cancel(std::nullopt);
        d.OnReplay();
        EXPECT_EQ(h.Text(IDC_REPLAY), GBK(kCaptionReplay));
    }
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST(FileNames, DialogsOpenWhereTheLastFileWasAndOfferAllFiles) {
    CViewerHarness h;
    CViewerDlg& d = h.Dlg();
    CTempDir dir;
    std::filesystem::create_directory(dir.File("하루"));
    std::string record = dir.File("하루/ö drive.log");
    CFileChooser chooser(record);
    d.OnRecord();
    d.OnRecord();
    d.OnReplay();
    ASSERT_EQ(chooser.Calls().size(), 2u);
    for (const FileDialogCall& call : chooser.Calls())
        EXPECT_EQ(call.filter, "Text Files(*.txt)|*.txt|All Files(*)|*||");
    EXPECT_EQ(chooser.Calls()[1].folder, dir.File("하루"));
    EXPECT_EQ(d.m_strReplayFile.Bytes(), record) << "kept as the file system spells it";
    EXPECT_EQ(h.Text(IDC_REPLAY), GBK(kCaptionStopReplay)) << "a file without .txt replays too";
}
