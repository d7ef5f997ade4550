// RMC: speed, course and date texts, and which sentence makes the epoch.
#include "plots/SkyPlotDlg.h"
#include "tests/nmea/NmeaTestSupport.h"

namespace {

std::string Rmc(const std::string& status, const std::string& knots, const std::string& course,
                const std::string& date) {
    return "GPRMC,235959.00," + status + ",3954.3920,N,11623.7590,E," + knots + "," + course + "," +
           date + ",,,A";
}

class CDecodeRmcTest : public CNmeaTest {};

TEST(DecodeRmc, ShowsSpeedCourseAndDate) {
    ExpectDecodedTexts({
        {"ten knots, course 359.95",
         {Rmc("A", "10.0", "359.95", "230394")},
         {{IDC_SPEED_KMH, "18.5 km/hr"},
          {IDC_SPEED_MS, "5.1 m/s"},
          {IDC_COURSE, std::string("360.0") + kDeg},
          {IDC_DATE, "1994-03-23"},
          {IDC_TIME, "7 :59 :59"},
          {IDC_LONGITUDE, std::string("E 116") + kDeg + " 23' 45.54\""}},
         1},
        {"standing still, year 40 is 2040",
         {Rmc("A", "10.0", "359.95", "230394"), Rmc("A", "0.0", "0", "311240")},
         {{IDC_SPEED_KMH, "0.0 km/hr"}, {IDC_SPEED_MS, "0.0 m/s"}, {IDC_DATE, "2040-12-31"}}},
        {"year 41 is 1941", {Rmc("A", "0.0", "0", "010141")}, {{IDC_DATE, "1941-01-01"}}},
    });
}

TEST_F(CDecodeRmcTest, NoFixRmcKeepsEveryText) {
    Send(Rmc("A", "10.0", "359.95", "230394"));
    EXPECT_EQ(Dlg().m_strSpeedMs, "5.1 m/s");
    std::vector<std::string> before;
    for (int nID :
         {IDC_DATE, IDC_TIME, IDC_LATITUDE, IDC_LONGITUDE, IDC_SPEED_KMH, IDC_SPEED_MS, IDC_COURSE})
        before.push_back(Text(nID));
    Send("GPRMC,,V,,,,,,,,,,N");
    std::vector<std::string> after;
    for (int nID :
         {IDC_DATE, IDC_TIME, IDC_LATITUDE, IDC_LONGITUDE, IDC_SPEED_KMH, IDC_SPEED_MS, IDC_COURSE})
        after.push_back(Text(nID));
    EXPECT_EQ(after, before);
    EXPECT_EQ(Dlg().m_strCourse, (std::string("360.0") + kDeg).c_str());
    EXPECT_EQ(Dlg().m_bFixValid, 0);
}

TEST_F(CDecodeRmcTest, RmcMakesTheEpochOnlyWithoutGga) {
    CPlotSpy<CSkyPlotDlg> sky(Dlg().m_pSkyPlot);
    Send(Rmc("V", "", "", "230394"));
    Send(Rmc("V", "", "", "230394"));
    EXPECT_EQ(sky.m_nRefreshes, 2);
    EXPECT_EQ(Text(IDC_TTFF), "00:00:01");

    // A receiver sending GGA then RMC: the GGA makes the epoch, the RMC's status stays.
    for (int i = 0; i < 3; ++i) {
        Send("GPGGA,23595" + std::to_string(i) +
             ".00,3954.3920,N,11623.7590,E,1,08,0.9,52.3,M,,M,,");
        Send(Rmc("V", "1.0", "10.0", "230394"));
    }
    EXPECT_EQ(sky.m_nRefreshes, 5);
    EXPECT_EQ(Dlg().m_bFixValid, 0);
    EXPECT_EQ(Dlg().m_bGgaSeen, 1);
    EXPECT_EQ(Text(IDC_TTFF), "00:00:01") << "the fix epochs froze the count";
}

} // namespace
