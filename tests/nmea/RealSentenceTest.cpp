// Sentences of real receivers (from the captures in ../shared/captures) and the texts the main
// window must show after each, one window per sentence: a new case is one more table line.
#include "tests/nmea/NmeaTestSupport.h"

#include <utility>
#include <vector>

namespace {

struct RealSentence {
    const char* pszSentence;
    std::vector<std::pair<int, std::string>> texts; // control id, GBK text
};

const std::string kDegree = kDeg;

const RealSentence kSentences[] = {
    // MTK receiver: fix of 5 satellites, HDOP 4.87; local time is UTC + 8.
    {"$GPGGA,081412.000,5541.1956,N,03737.2877,E,1,5,4.87,66.2,M,14.5,M,,*6A",
     {{1098, "16 :14 :12"},
      {1110, "N   55" + kDegree + " 41' 11.74\""},
      {1111, "E 037" + kDegree + " 37' 17.26\""},
      {1112, "5"},
      {1114, "66.2 M"},
      {1118, "4.87"}}},
    // Differential fix with six decimals of minutes.
    {"$GPGGA,110124,5505.330990,N,03858.587325,E,2,09,0.9,2177.0,M,14.0,M,,*7D",
     {{1098, "19 :01 :24"},
      {1110, "N   55" + kDegree + " 05' 19.86\""},
      {1111, "E 038" + kDegree + " 58' 35.24\""},
      {1112, "9"},
      {1114, "2177.0 M"},
      {1118, "0.9"}}},
    // GNSS receiver walking: 0.60 knots.
    {"$GNRMC,081411.000,A,5541.1955,N,03737.2872,E,0.60,301.29,260514,,,A*74",
     {{1097, "2014-05-26"},
      {1098, "16 :14 :11"},
      {1110, "N   55" + kDegree + " 41' 11.73\""},
      {1115, "1.1 km/hr"},
      {1116, "0.3 m/s"},
      {1117, "301.3" + kDegree}}},
    // Fast mover: 152.6 knots.
    {"$GPRMC,110124,A,5505.330990,N,03858.587325,E,152.6,86.2,310317,8.9,E,D*2E",
     {{1097, "2017-03-31"},
      {1111, "E 038" + kDegree + " 58' 35.24\""},
      {1115, "282.6 km/hr"},
      {1116, "78.5 m/s"},
      {1117, "86.2" + kDegree}}},
    // VTG: the km/h field as the receiver wrote it, m/s from it.
    {"$GPVTG,86.2,T,86.2,M,152.6,N,282.7,K,D*29",
     {{1115, "282.7 km/hr"}, {1116, "78.5 m/s"}, {1117, "86.2" + kDegree}}},
    {"$GPVTG,000.0,T,357.0,M,000.0,N,0000.1,K,A*13",
     {{1115, "0000.1 km/hr"}, {1116, "0.0 m/s"}, {1117, "0.0" + kDegree}}},
};

TEST(RealSentences, ShowTheirTexts) {
    for (const RealSentence& test : kSentences) {
        SCOPED_TRACE(test.pszSentence);
        CViewerHarness harness;
        harness.Dlg().EnterAcquiringState();
        Feed(harness.Dlg(), std::string(test.pszSentence) + "\r\n");
        ASSERT_EQ(harness.Dlg().m_bGotValidSentence, 1);
        for (const auto& [nID, strText] : test.texts)
            EXPECT_EQ(harness.Text(nID).Bytes(), strText) << nID;
    }
}

} // namespace
