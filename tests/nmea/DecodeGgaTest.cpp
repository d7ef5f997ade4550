// GGA and GNS: texts, fix flag, the time-to-fix counter and the plot notifications.
#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "tests/nmea/NmeaTestSupport.h"

namespace {

std::string Gga(const std::string& quality, const std::string& altitude = "52.34") {
    return "GPGGA,235959.00,3954.3920,N,11623.7590,E," + quality + ",08,0.9," + altitude +
           ",M,-9.0,M,,";
}

class CDecodeGgaTest : public CNmeaTest {
protected:
    void Epochs(int nCount, bool bFix) {
        for (int i = 0; i < nCount; ++i)
            Send(Gga(bFix ? "1" : "0"));
    }
};

TEST_F(CDecodeGgaTest, ShowsTimePositionSatellitesHdopAndAltitude) {
    Send(Gga("1"));
    EXPECT_EQ(Text(1098), "7 :59 :59");
    EXPECT_EQ(Text(1110), std::string("N   39") + kDeg + " 54' 23.52\"");
    EXPECT_EQ(Text(1111), std::string("E 116") + kDeg + " 23' 45.54\"");
    EXPECT_EQ(Dlg().m_strLatitude, Text(1110).c_str());
    EXPECT_EQ(Text(1112), "8");
    EXPECT_EQ(Text(1118), "0.9");
    EXPECT_EQ(Text(1114), "52.3 M");
    EXPECT_EQ(Dlg().m_bFixValid, 1);
    EXPECT_EQ(Dlg().m_bGgaSeen, 1);

    Send("GPGGA,080000.00,3954.3920,N,11623.7590,E,1,00,0.9,-5,M,,M,,");
    EXPECT_EQ(Text(1098), "16 :00 :00");
    EXPECT_EQ(Text(1114), "-5.0 M");
    EXPECT_EQ(Text(1112), "8") << "00 satellites leave the count shown";
    Send("GPGGA,080001.00,3954.3920,N,11623.7590,E,1,07,0.9,,M,,M,,");
    EXPECT_EQ(Dlg().m_strAltitude, "-5.0 M") << "an unreadable altitude keeps its text";
    EXPECT_EQ(Text(1114), "-5.0 M");
}

TEST_F(CDecodeGgaTest, EmptyNoFixFieldsKeepThePositionAndGiveNoFix) {
    CPlotSpy<CTrackPlotDlg> track(Dlg().m_pTrackPlot);
    CPlotSpy<CSkyPlotDlg> sky(Dlg().m_pSkyPlot);
    Send(Gga("1"));
    std::string lat = Text(1110), lon = Text(1111);
    EXPECT_TRUE(Dispatched("$GPGGA,,,,,,0,00,99.99,,,,,,*48\r\n"));
    EXPECT_EQ(Dlg().m_bFixValid, 0);
    EXPECT_EQ(Text(1110), lat);
    EXPECT_EQ(Text(1111), lon);
    EXPECT_EQ(Text(1098), "7 :59 :59");
    EXPECT_EQ(Text(1112), "");
    EXPECT_EQ(Text(1118), "99.99");
    EXPECT_EQ(Text(1114), "52.3 M");
    EXPECT_EQ(track.m_nRefreshes, 1) << "only the fix reaches the track";
    EXPECT_EQ(sky.m_nRefreshes, 2);

    Send("GPGGA,120000.00,3954.3920,N,11623.7590,E");
    EXPECT_EQ(Dlg().m_bFixValid, 0) << "a sentence ending before its fix field has none";
}

TEST_F(CDecodeGgaTest, FixIndicatorOfGgaAndGns) {
    struct {
        const char* field;
        int bFix;
    } cases[] = {{"1", 1},  {"2", 1}, {"0", 0},  {"", 1},    {"AN", 1},  {"AA", 1},
                 {"NA", 1}, {"N", 0}, {"NN", 0}, {"NNN", 0}, {"NNNN", 0}};
    for (auto c : cases) {
        Send(std::string("GNGNS,235959.00,3954.3920,N,11623.7590,E,") + c.field +
             ",08,0.9,52.3,,,");
        EXPECT_EQ(Dlg().m_bFixValid, c.bFix) << "mode " << c.field;
    }
}

TEST_F(CDecodeGgaTest, NoFixEpochClearsFixCounts) {
    for (int nID : {1112, 1113, 1135, 1136})
        Dlg().SetDlgItemText(nID, "x");
    Epochs(1, false);
    for (int nID : {1112, 1113, 1135, 1136})
        EXPECT_EQ(Text(nID), "") << nID;
}

TEST_F(CDecodeGgaTest, TimeToFixCountsNoFixEpochs) {
    Epochs(1, true);
    EXPECT_EQ(Text(1099), "00:00:00") << "a fix on the first epoch";

    std::vector<std::string> shown;
    auto epoch = [&](bool bFix) {
        Epochs(1, bFix);
        shown.push_back(Text(1099));
    };
    for (bool bFix : {false, false, false, true, true, false, false})
        epoch(bFix);
    EXPECT_EQ(shown, (std::vector<std::string>{"00:00:00", "00:00:01", "00:00:02", "00:00:02",
                                               "00:00:02", "00:00:02", "00:00:01"}));

    Epochs(1, true);
    Epochs(3600, false);
    EXPECT_EQ(Text(1099), "00:59:59");
    Epochs(1, false);
    EXPECT_EQ(Text(1099), "01:00:00") << "the 3601st epoch without a fix";
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
    EXPECT_EQ(Text(1135), "2");
    EXPECT_EQ(Text(1136), "1");
    EXPECT_EQ(Dlg().m_strUsedPrns, "");
    EXPECT_EQ(Dlg().m_bGgaSeen, 1);
}

} // namespace
