// Sentences of real receivers (from the captures in ../shared/captures) and the texts the main
// window must show after each, one window per sentence: a new case is one more table row.
#include "tests/nmea/NmeaTestSupport.h"

namespace {

const std::string kDegree = kDeg;

TEST(RealSentences, ShowTheirTexts) {
    ExpectDecodedTexts({
        {"MTK receiver: fix of 5 satellites, HDOP 4.87; local time is UTC + 8",
         {"$GPGGA,081412.000,5541.1956,N,03737.2877,E,1,5,4.87,66.2,M,14.5,M,,*6A"},
         {{IDC_TIME, "16 :14 :12"},
          {IDC_LATITUDE, "N   55" + kDegree + " 41' 11.74\""},
          {IDC_LONGITUDE, "E 037" + kDegree + " 37' 17.26\""},
          {IDC_USED_TOTAL, "5"},
          {IDC_ALTITUDE, "66.2 M"},
          {IDC_HDOP, "4.87"}}},
        {"differential fix with six decimals of minutes",
         {"$GPGGA,110124,5505.330990,N,03858.587325,E,2,09,0.9,2177.0,M,14.0,M,,*7D"},
         {{IDC_LATITUDE, "N   55" + kDegree + " 05' 19.86\""},
          {IDC_LONGITUDE, "E 038" + kDegree + " 58' 35.24\""},
          {IDC_TIME, "19 :01 :24"},
          {IDC_USED_TOTAL, "9"},
          {IDC_ALTITUDE, "2177.0 M"},
          {IDC_HDOP, "0.9"}}},
        {"GNSS receiver walking: 0.60 knots",
         {"$GNRMC,081411.000,A,5541.1955,N,03737.2872,E,0.60,301.29,260514,,,A*74"},
         {{IDC_DATE, "2014-05-26"},
          {IDC_TIME, "16 :14 :11"},
          {IDC_LATITUDE, "N   55" + kDegree + " 41' 11.73\""},
          {IDC_SPEED_KMH, "1.1 km/hr"},
          {IDC_SPEED_MS, "0.3 m/s"},
          {IDC_COURSE, "301.3" + kDegree}}},
        {"fast mover: 152.6 knots",
         {"$GPRMC,110124,A,5505.330990,N,03858.587325,E,152.6,86.2,310317,8.9,E,D*2E"},
         {{IDC_SPEED_KMH, "282.6 km/hr"},
          {IDC_SPEED_MS, "78.5 m/s"},
          {IDC_COURSE, "86.2" + kDegree},
          {IDC_DATE, "2017-03-31"},
          {IDC_LONGITUDE, "E 038" + kDegree + " 58' 35.24\""}}},
        {"VTG: the km/h field as the receiver wrote it, m/s from it",
         {"$GPVTG,86.2,T,86.2,M,152.6,N,282.7,K,D*29"},
         {{IDC_SPEED_KMH, "282.7 km/hr"},
          {IDC_SPEED_MS, "78.5 m/s"},
          {IDC_COURSE, "86.2" + kDegree}}},
        {"VTG standing still",
         {"$GPVTG,000.0,T,357.0,M,000.0,N,0000.1,K,A*13"},
         {{IDC_SPEED_KMH, "0000.1 km/hr"},
          {IDC_SPEED_MS, "0.0 m/s"},
          {IDC_COURSE, "0.0" + kDegree}}},
    });
}

} // namespace
