// VTG course and speed; GSA fix dimension and the list of used satellites.
#include "tests/nmea/NmeaTestSupport.h"

namespace {

class CDecodeVtgGsaTest : public CNmeaTest {};

TEST(DecodeVtg, CourseAndSpeed) {
    const std::string vtg = "GPVTG,054.7,T,034.4,M,005.5,N,010.2,K";
    ExpectDecodedTexts({
        {"course and speed",
         {vtg},
         {{IDC_COURSE, std::string("54.7") + kDeg},
          {IDC_SPEED_KMH, "010.2 km/hr"},
          {IDC_SPEED_MS, "2.8 m/s"}}},
        {"empty fields still count",
         {vtg, "GPVTG,054.7,T,,M,,N,015.0,K"},
         {{IDC_SPEED_KMH, "015.0 km/hr"}, {IDC_SPEED_MS, "4.2 m/s"}}},
        {"an empty speed shows none, never the speed carried over",
         {vtg, "GPVTG,054.7,T,,M,,N,,K"},
         {{IDC_SPEED_KMH, " km/hr"}, {IDC_SPEED_MS, " m/s"}}},
        {"an empty course is 0",
         {vtg, "GNVTG,,,,,,,,,N"},
         {{IDC_COURSE, std::string("0.0") + kDeg}}},
    });
}

// The fix dimension and the list of used PRNs after GSA sentences: each GSA adds its twelve
// fields to the list.
TEST(DecodeGsa, FixDimensionAndUsedPrns) {
    const std::string gps = "GPGSA,A,3,05,12,14,,,,,,,,,,1.8,1.0,1.5";
    struct {
        const char* pszWhat;
        std::vector<std::string> sentences;
        const char* pszUsedPrns;
        const char* pszDimension;
    } cases[] = {
        {"a 3D fix", {gps}, "05,12,14,,,,,,,,,,", "3D"},
        {"fix type 1 leaves the dimension",
         {gps, "GLGSA,A,1,70,,,,,,,,,,,,1.8,1.0,1.5"},
         "05,12,14,,,,,,,,,,70,,,,,,,,,,,,",
         "3D"},
        {"a 2D fix", {gps, "GPGSA,A,2,,,,,,,,,,,,,,,"}, "05,12,14,,,,,,,,,,,,,,,,,,,,,,", "2D"},
        {"the list ends at PDOP",
         {"GPGSA,A,3,05,12,14,22,,,,,,,,,2.3,1.2,1.9", "GLGSA,A,3,70,71,,,,,,,,,,,2.3,1.2,1.9"},
         "05,12,14,22,,,,,,,,,70,71,,,,,,,,,,,",
         "3D"},
        {"at most twelve fields without PDOP",
         {"GPGSA,A,3,05,12,,,,,,,,,,,,,"},
         "05,12,,,,,,,,,,,",
         "3D"},
        {"or the end of the sentence", {"GPGSA,A,3,05,1"}, "05,1,", "3D"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        CViewerHarness harness;
        harness.Dlg().EnterAcquiringState();
        for (const std::string& body : c.sentences)
            Feed(harness.Dlg(), Sentence(body));
        EXPECT_EQ(harness.Dlg().m_strUsedPrns.Bytes(), c.pszUsedPrns);
        EXPECT_EQ(harness.Text(IDC_FIX_DIMENSION), c.pszDimension);
    }
}

TEST_F(CDecodeVtgGsaTest, AGpsPrnAfterTheListIsUnused) {
    // Four PRNs and PDOP 2.3, then a GLONASS list starting with 70: GPS 27 is not used.
    Send("GPGSA,A,3,05,12,14,22,,,,,,,,,2.3,1.2,1.9");
    Send("GLGSA,A,3,70,71,,,,,,,,,,,2.3,1.2,1.9");
    Send("GPGSV,1,1,01,27,40,083,30");
    EXPECT_EQ(Dlg().m_nSatState[0], SAT_GPS_UNUSED);
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
