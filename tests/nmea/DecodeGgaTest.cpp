// GGA and GNS: texts, fix flag, the time-to-fix counter and the plot notifications.
#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "tests/nmea/NmeaTestSupport.h"

namespace {

std::string Gga(const std::string& quality, const std::string& altitude = "52.34",
                const std::string& time = "235959.00") {
    return "GPGGA," + time + ",3954.3920,N,11623.7590,E," + quality + ",08,0.9," + altitude +
           ",M,-9.0,M,,";
}

class CDecodeGgaTest : public CNmeaTest {
protected:
    // Epochs a second apart.
    void Epochs(int nCount, bool bFix) {
        for (int i = 0; i < nCount; ++i, ++m_nSecond) {
            char time[16];
            std::snprintf(time, sizeof time, "%02d%02d%02d.00", m_nSecond / 3600 % 24,
                          m_nSecond / 60 % 60, m_nSecond % 60);
            Send(Gga(bFix ? "1" : "0", "52.34", time));
        }
    }
    int m_nSecond = 0;
};

TEST(DecodeGga, ShowsItsTexts) {
    const std::string lat = std::string("N   39") + kDeg + " 54' 23.52\"";
    const std::string lon = std::string("E 116") + kDeg + " 23' 45.54\"";
    const std::string belowSeaLevel = "GPGGA,080000.00,3954.3920,N,11623.7590,E,1,00,0.9,-5,M,,M,,";
    ExpectDecodedTexts({
        {"a fix",
         {Gga("1")},
         {{IDC_TIME, "7 :59 :59"},
          {IDC_LATITUDE, lat},
          {IDC_LONGITUDE, lon},
          {IDC_USED_TOTAL, "8"},
          {IDC_HDOP, "0.9"},
          {IDC_ALTITUDE, "52.3 M"}},
         1},
        {"below sea level; 00 satellites leave the count shown",
         {Gga("1"), belowSeaLevel},
         {{IDC_TIME, "16 :00 :00"}, {IDC_ALTITUDE, "-5.0 M"}, {IDC_USED_TOTAL, "8"}}},
        {"an unreadable altitude keeps its text",
         {Gga("1"), belowSeaLevel, "GPGGA,080001.00,3954.3920,N,11623.7590,E,1,07,0.9,,M,,M,,"},
         {{IDC_ALTITUDE, "-5.0 M"}}},
        {"empty no-fix fields keep the position",
         {Gga("1"), "$GPGGA,,,,,,0,00,99.99,,,,,,*48"},
         {{IDC_LATITUDE, lat},
          {IDC_LONGITUDE, lon},
          {IDC_TIME, "7 :59 :59"},
          {IDC_USED_TOTAL, ""},
          {IDC_HDOP, "99.99"},
          {IDC_ALTITUDE, "52.3 M"}},
         0},
        {"an empty quality is no fix; the time to fix counts on",
         {Gga("1"), "GPGGA,,,,,,,,,,,,,,", "GPGGA,,,,,,,,,,,,,,", "GPGGA,,,,,,,,,,,,,,"},
         {{IDC_TTFF, "00:00:02"}, {IDC_USED_TOTAL, ""}},
         0},
        {"a sentence ending before its fix field has none",
         {Gga("1"), "GPGGA,120000.00,3954.3920,N,11623.7590,E"},
         {},
         0},
    });
}

TEST_F(CDecodeGgaTest, KeepsTheTextsThePlotsRead) {
    CPlotSpy<CTrackPlotDlg> track(Dlg().m_pTrackPlot);
    CPlotSpy<CSkyPlotDlg> sky(Dlg().m_pSkyPlot);
    Send(Gga("1"));
    EXPECT_EQ(Dlg().m_strLatitude, Text(IDC_LATITUDE).c_str());
    EXPECT_EQ(Dlg().m_bGgaSeen, 1);
    EXPECT_TRUE(Dispatched("$GPGGA,,,,,,0,00,99.99,,,,,,*48\r\n"));
    EXPECT_EQ(track.m_nRefreshes, 1) << "only the fix reaches the track";
    EXPECT_EQ(sky.m_nRefreshes, 2);

    Send("GPGGA,080000.00,3954.3920,N,11623.7590,E,1,00,0.9,-5,M,,M,,");
    Send("GPGGA,080001.00,3954.3920,N,11623.7590,E,1,07,0.9,,M,,M,,");
    EXPECT_EQ(Dlg().m_strAltitude, "-5.0 M") << "an unreadable altitude keeps its text";
}

TEST_F(CDecodeGgaTest, FixIndicatorOfGgaAndGns) {
    struct {
        const char* field;
        int bFix;
    } cases[] = {{"1", 1},  {"2", 1}, {"0", 0},  {"", 0},    {"AN", 1},   {"AA", 1},
                 {"NA", 1}, {"N", 0}, {"NN", 0}, {"NNN", 0}, {"NNNN", 0}, {" ", 1}};
    for (auto c : cases) {
        Send(std::string("GNGNS,235959.00,3954.3920,N,11623.7590,E,") + c.field +
             ",08,0.9,52.3,,,");
        EXPECT_EQ(Dlg().m_bFixValid, c.bFix) << "mode " << c.field;
    }
}

// Receivers that send several GGA or GNS sentences for one second: GNS and GGA, one GGA per
// system, or both. Each second is one epoch: one refresh, one second of the time to fix.
TEST_F(CDecodeGgaTest, OneEpochPerSecondHoweverManyEpochSentences) {
    const std::string noFixGns = "GNGNS,191434.96,,,,,NNN,,,,,,";
    const std::string noFixGga = "GPGGA,,,,,,0,,,,,,,,";
    auto gga = [](const std::string& talker, const std::string& time) {
        return talker + "GGA," + time + ",4552.65403,S,17030.00668,E,1,12,0.64,14.2,M,1.8,M,,";
    };
    auto gns = [](const std::string& time) {
        return "GNGNS," + time + ",4552.65403,S,17030.00668,E,AAN,08,1.3,-6.7,32.0,,,V";
    };
    struct {
        const char* what;
        std::vector<std::string> sentences;
        int nEpochs;
    } cases[] = {
        {"GNS then a timeless no-fix GGA", {noFixGns, noFixGga}, 1},
        {"the next second", {noFixGns, noFixGga, "GNGNS,191435.96,,,,,NNN,,,,,,", noFixGga}, 2},
        {"only the first timeless sentence joins", {noFixGns, noFixGga, "GLGGA,,,,,,0,,,,,,,,"}, 2},
        {"two timeless GGAs of one talker", {noFixGga, noFixGga}, 2},
        {"a first fix after a timeless GGA", {noFixGga, gga("GN", "052345.77")}, 2},
        {"GGA and GNS of one time", {gga("GP", "191503.01"), gns("191503.01")}, 1},
        {"a GGA per system", {gga("GP", "003956.00"), gga("GL", "003956.00")}, 1},
        {"a GGA per system and a GNS", {gga("GP", "0039"), gga("GA", "0039"), gns("0039")}, 1},
        {"one talker a second apart", {gga("GN", "003956.00"), gga("GN", "003957.00")}, 2},
        {"one talker, the same time", {gga("GN", "003956.00"), gga("GN", "003956.00")}, 1},
        {"a timeless GNS after a GGA with time", {gga("GP", "191504.01"), "GNGNS,,,,,,N,,,,,,"}, 1},
        {"then a time of its own", {gga("GN", "191504.01"), noFixGga, gga("GP", "191504.99")}, 2},
        {"different times of two talkers", {gga("GP", "191504.01"), gga("GL", "191504.02")}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dlg().ResetReceiverState(); // Start forgets the epoch
        CPlotSpy<CSkyPlotDlg> sky(Dlg().m_pSkyPlot);
        for (const std::string& sentence : c.sentences)
            Send(sentence);
        EXPECT_EQ(sky.m_nRefreshes, c.nEpochs);
        EXPECT_EQ(Dlg().m_bGgaSeen, 1);
    }
}

TEST_F(CDecodeGgaTest, AJoiningSentenceShowsItsTextsAndFixButCountsNothing) {
    CPlotSpy<CTrackPlotDlg> track(Dlg().m_pTrackPlot);
    Send("GNGNS,191434.96,,,,,NNN,,,,,,");
    Send("GNGNS,191435.96,,,,,NNN,,,,,,");
    EXPECT_EQ(Text(IDC_TTFF), "00:00:01");
    Send("GPGGA,191435.96,3645.876324,N,03124.670280,E,1,03,1.3,-6.7,M,32.0,M,,");
    EXPECT_EQ(Dlg().m_bFixValid, 1) << "the joining GGA's fix indicator";
    EXPECT_EQ(Text(IDC_LATITUDE).substr(0, 6), "N   36");
    EXPECT_EQ(Text(IDC_USED_TOTAL), "3");
    EXPECT_EQ(track.m_nRefreshes, 0) << "no fix epoch output";
    Send("GPRMC,191435.96,A,3645.876324,N,03124.670280,E,0.0,0.0,110922,,,A");
    EXPECT_EQ(track.m_nRefreshes, 0) << "nor from the RMC after it";
    Send("GNGNS,191436.96,,,,,NNN,,,,,,");
    EXPECT_EQ(Text(IDC_TTFF), "00:00:02") << "one count per second";
}

TEST_F(CDecodeGgaTest, NoFixEpochClearsFixCounts) {
    for (int nID : {IDC_USED_TOTAL, IDC_FIX_DIMENSION, IDC_GPS_USED, IDC_GLONASS_USED})
        Dlg().SetDlgItemText(nID, "x");
    Epochs(1, false);
    for (int nID : {IDC_USED_TOTAL, IDC_FIX_DIMENSION, IDC_GPS_USED, IDC_GLONASS_USED})
        EXPECT_EQ(Text(nID), "") << nID;
}

TEST_F(CDecodeGgaTest, TimeToFixCountsNoFixEpochs) {
    Epochs(1, true);
    EXPECT_EQ(Text(IDC_TTFF), "00:00:00") << "a fix on the first epoch";

    std::vector<std::string> shown;
    auto epoch = [&](bool bFix) {
        Epochs(1, bFix);
        shown.push_back(Text(IDC_TTFF));
    };
    for (bool bFix : {false, false, false, true, true, false, false})
        epoch(bFix);
    EXPECT_EQ(shown, (std::vector<std::string>{"00:00:00", "00:00:01", "00:00:02", "00:00:02",
                                               "00:00:02", "00:00:02", "00:00:01"}));

    Epochs(1, true);
    Epochs(3600, false);
    EXPECT_EQ(Text(IDC_TTFF), "00:59:59");
    Epochs(1, false);
    EXPECT_EQ(Text(IDC_TTFF), "01:00:00") << "the 3601st epoch without a fix";
    EXPECT_EQ(Dlg().m_nTtffMinutes, 0);
    EXPECT_EQ(Dlg().m_nTtffHours, 1);
}

TEST_F(CDecodeGgaTest, FixEpochCountsUsedSlotsAndEmptiesTheUsedList) {
    Send("GPGSA,A,3,05,12,,,,,,,,,,,1.8,1.0,1.5");
    Send("GLGSA,A,3,70,,,,,,,,,,,,1.8,1.0,1.5");
    Send("GPGSV,1,1,03,05,40,083,46,12,20,140,30,14,10,200,");
    Send("GLGSV,1,1,02,70,45,010,40,71,20,100,");
    Send(Gga("1"));
    EXPECT_EQ(Dlg().m_nGpsUsed, 2);
    EXPECT_EQ(Dlg().m_nGlonassUsed, 1);
    EXPECT_EQ(Text(IDC_GPS_USED), "2");
    EXPECT_EQ(Text(IDC_GLONASS_USED), "1");
    EXPECT_EQ(Dlg().m_strUsedPrns, "");
    EXPECT_EQ(Dlg().m_bGgaSeen, 1);
}

} // namespace
