// VTG course and speed; GSA fix dimension and the list of used satellites.
#include "tests/nmea/NmeaTestSupport.h"

namespace {

class CDecodeVtgGsaTest : public CNmeaTest {};

TEST_F(CDecodeVtgGsaTest, VtgCourseAndSpeed) {
    Send("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K");
    EXPECT_EQ(Text(IDC_COURSE), std::string("54.7") + kDeg);
    EXPECT_EQ(Text(IDC_SPEED_KMH), "010.2 km/hr");
    EXPECT_EQ(Text(IDC_SPEED_MS), "2.8 m/s");
    Send("GPVTG,054.7,T,,M,,N,015.0,K");
    EXPECT_EQ(Text(IDC_SPEED_KMH), "015.0 km/hr") << "empty fields still count";
    EXPECT_EQ(Text(IDC_SPEED_MS), "4.2 m/s");
    Send("GPVTG,054.7,T,,M,,N,,K");
    EXPECT_EQ(Text(IDC_SPEED_KMH), " km/hr");
    EXPECT_EQ(Text(IDC_SPEED_MS), " m/s") << "never the course carried over";
    Send("GNVTG,,,,,,,,,N");
    EXPECT_EQ(Text(IDC_COURSE), std::string("0.0") + kDeg);
}

TEST_F(CDecodeVtgGsaTest, GsaFixTypeAndUsedPrns) {
    Send("GPGSA,A,3,05,12,14,,,,,,,,,,1.8,1.0,1.5");
    EXPECT_EQ(Dlg().m_strUsedPrns, "05,12,14,,,,,,,,,,");
    EXPECT_EQ(Text(IDC_FIX_DIMENSION), "3D");
    Send("GLGSA,A,1,70,,,,,,,,,,,,1.8,1.0,1.5");
    EXPECT_EQ(Text(IDC_FIX_DIMENSION), "3D") << "fix type 1 leaves the dimension";
    EXPECT_EQ(Dlg().m_strUsedPrns, "05,12,14,,,,,,,,,,70,,,,,,,,,,,,");
    Send("GPGSA,A,2,,,,,,,,,,,,,,,");
    EXPECT_EQ(Text(IDC_FIX_DIMENSION), "2D");
}

TEST_F(CDecodeVtgGsaTest, PrnListEndsAtPdopOrAtTheEnd) {
    // Four PRNs and PDOP 2.3, then a GLONASS list starting with 70: GPS 27 is not used.
    Send("GPGSA,A,3,05,12,14,22,,,,,,,,,2.3,1.2,1.9");
    Send("GLGSA,A,3,70,71,,,,,,,,,,,2.3,1.2,1.9");
    EXPECT_EQ(Dlg().m_strUsedPrns, "05,12,14,22,,,,,,,,,70,71,,,,,,,,,,,");
    Send("GPGSV,1,1,01,27,40,083,30");
    EXPECT_EQ(Dlg().m_nSatState[0], SAT_GPS_UNUSED);

    Dlg().m_strUsedPrns.Empty();
    Send("GPGSA,A,3,05,12,,,,,,,,,,,,,");
    EXPECT_EQ(Dlg().m_strUsedPrns, "05,12,,,,,,,,,,,") << "at most twelve fields without PDOP";
    Dlg().m_strUsedPrns.Empty();
    Send("GPGSA,A,3,05,1");
    EXPECT_EQ(Dlg().m_strUsedPrns, "05,1,");
}

TEST_F(CDecodeVtgGsaTest, OnlyGpsAndGlonassPrnsAreUsed) {
    struct {
        const char* sentence;
        bool bAdded;
    } cases[] = {
        {"GPGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5", true},
        {"GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,1", true},
        {"GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,2", true},
        {"GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,3", false},
        {"GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,4", false},
        {"GPGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,A", false},
        {"GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,1.2", true},
        {"GAGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5", false},
        {"BDGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5", false},
    };
    for (auto c : cases) {
        Dlg().m_strUsedPrns.Empty();
        Dlg().SetDlgItemText(IDC_FIX_DIMENSION, "");
        Send(c.sentence);
        EXPECT_EQ(Dlg().m_strUsedPrns.Find("05") == 0, c.bAdded) << c.sentence;
        EXPECT_EQ(Text(IDC_FIX_DIMENSION), "3D") << c.sentence;
    }
}

} // namespace
