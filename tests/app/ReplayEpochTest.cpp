// A replay tick is one receiver epoch, however the receiver sends its epoch sentences.
#include "plots/SkyPlotDlg.h"
#include "tests/common/Nmea.h"
#include "tests/common/TestSupport.h"
#include "tests/nmea/NmeaTestSupport.h"
#include "tools/velmora-sim/RecordFile.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// Sentences as a record file stores them: CR CR LF.
std::string Recorded(const std::vector<std::string>& bodies) {
    std::string file;
    for (const std::string& body : bodies) {
        std::string line = Sentence(body);
        file += line.insert(line.size() - 1, "\r");
    }
    return file;
}

std::string Time(int nEpoch) {
    char time[16];
    std::snprintf(time, sizeof time, "1914%02d.96", nEpoch % 60);
    return time;
}

std::string Gga(const std::string& talker, const std::string& time) {
    return talker + "GGA," + time + ",3645.876324,N,03124.670280,E,1,04,1.1,-14.1,M,32.0,M,,";
}

std::string Rmc(const std::string& time) {
    return "GPRMC," + time + ",A,3645.876324,N,03124.670280,E,0.0,0.0,110922,,,A";
}

// The sentences of one epoch of a receiver kind.
using EpochSentences = std::function<std::vector<std::string>(int nEpoch)>;

// Replays the file and returns the fix epoch outputs of each tick.
std::vector<int> EpochsPerTick(CViewerHarness& h, const std::string& path) {
    {
        CFileChooser chooser(path);
        h.Dlg().OnReplay();
    }
    CPlotSpy<CSkyPlotDlg> sky(h.Dlg().m_pSkyPlot);
    std::vector<int> epochs;
    while (h.Dlg().IsReplaying() && epochs.size() < 1000) {
        int nBefore = sky.m_nRefreshes;
        h.Dlg().RunReplayTick();
        epochs.push_back(sky.m_nRefreshes - nBefore);
    }
    return epochs;
}

TEST(ReplayEpochs, OneEpochPerTickForEveryReceiverKind) {
    struct {
        const char* what;
        EpochSentences epoch;
    } kinds[] = {
        {"GGA and RMC",
         [](int n) {
             return std::vector<std::string>{Gga("GP", Time(n)), Rmc(Time(n))};
         }},
        {"GNS and a timeless no-fix GGA",
         [](int n) {
             return std::vector<std::string>{"GNGNS," + Time(n) + ",,,,,NNN,,,,,,",
                                             "GPVTG,,T,,M,,N,,K,N", "GPGGA,,,,,,0,,,,,,,,",
                                             "GPRMC,,V,,,,,,,,,,N"};
         }},
        {"a GGA per system",
         [](int n) {
             return std::vector<std::string>{Gga("GP", Time(n)), Gga("GL", Time(n)), Rmc(Time(n))};
         }},
        {"a GGA per system and a GNS",
         [](int n) {
             return std::vector<std::string>{
                 Gga("GP", Time(n)), Gga("GA", Time(n)),
                 "GNGNS," + Time(n) + ",3645.876324,N,03124.670280,E,AAN,09,1.1,-14.1,32.0,,,V"};
         }},
        {"RMC without GGA",
         [](int n) {
             return std::vector<std::string>{Rmc(Time(n)), "GPVTG,,T,,M,,N,,K,N"};
         }},
    };
    CTempDir dir;
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.what);
        CViewerHarness h; // RMC makes epochs only in a window that has never seen a GGA
        std::vector<std::string> sentences;
        for (int n = 0; n < 12; ++n)
            for (const std::string& body : kind.epoch(n))
                sentences.push_back(body);
        WriteFileBytes(dir.File("r.txt"), Recorded(sentences));
        EXPECT_EQ(EpochsPerTick(h, dir.File("r.txt")), std::vector<int>(12, 1));
    }
}

TEST(ReplayEpochs, GnsOnlyRecordingOfTheSimulator) {
    CViewerHarness h;
    CTempDir dir;
    sim::ScenarioOptions options;
    options.m_bGns = true;
    std::string error;
    ASSERT_TRUE(sim::WriteRecording(dir.File("gns.txt"), options, 40, error)) << error;
    std::string file = ReadFileBytes(dir.File("gns.txt"));
    ASSERT_EQ(file.find("GGA"), std::string::npos);
    EXPECT_EQ(EpochsPerTick(h, dir.File("gns.txt")), std::vector<int>(40, 1));
}

TEST(ReplayEpochs, TickEndsAfterTheTimeOfTheSentenceThatOpensTheNextEpoch) {
    CViewerHarness h;
    CTempDir dir;
    WriteFileBytes(dir.File("r.txt"), Recorded({Gga("GP", Time(1)), Gga("GL", Time(1)),
                                                Gga("GP", Time(2)), Gga("GL", Time(2))}));
    CFileChooser chooser(dir.File("r.txt"));
    h.Dlg().OnReplay();
    h.Dlg().RunReplayTick();
    EXPECT_EQ(h.Dlg().m_strSentence, ("$GPGGA," + Time(2) + ",").c_str());
    EXPECT_EQ(h.Utf8(IDC_TIME), "3 :14 :01");
    EXPECT_EQ(MonitorText(h.Dlg()).count("GGA"), 2);
}

TEST(ReplayEpochs, DollarStartsANewLineAsLive) {
    CViewerHarness h;
    CTempDir dir;
    std::string file = "\x7f\x13" + Recorded({Gga("GP", Time(1))}) +
                       "$GPGSV,3,3,12,06,08,270,,16,01,090," +
                       Recorded({Gga("GN", Time(2)), Gga("GP", Time(3))});
    WriteFileBytes(dir.File("r.txt"), file);
    EXPECT_EQ(EpochsPerTick(h, dir.File("r.txt")), std::vector<int>(3, 1));
    EXPECT_EQ(h.Dlg().m_nGpsInView, 0) << "the cut-off GSV reaches no decoder";
    EXPECT_EQ(h.Utf8(IDC_TIME), "3 :14 :03");
}

} // namespace
