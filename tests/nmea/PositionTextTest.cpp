// The byte layouts of the time and position texts.
#include "nmea/PositionText.h"
#include "tests/nmea/NmeaTestSupport.h"

namespace {

std::string Latitude(const char* field, const char* hemisphere) {
    CString str("unchanged");
    FormatLatitude(field, hemisphere, str);
    return str.Bytes();
}

std::string Longitude(const char* field, const char* hemisphere) {
    CString str("unchanged");
    FormatLongitude(field, hemisphere, str);
    return str.Bytes();
}

TEST(PositionText, LatitudeAndLongitudeBytesAtTheirPositions) {
    std::string lat = Latitude("3954.3920", "N");
    EXPECT_EQ(lat, std::string("N   39") + kDeg + " 54' 23.52\"");
    ASSERT_EQ(lat.size(), 19u);
    EXPECT_EQ(lat.substr(4, 2), "39");
    EXPECT_EQ(lat.substr(9, 2), "54");
    EXPECT_EQ(lat.substr(13, 5), "23.52");

    std::string lon = Longitude("11623.7590", "E");
    EXPECT_EQ(lon, std::string("E 116") + kDeg + " 23' 45.54\"");
    ASSERT_EQ(lon.size(), 18u);
    EXPECT_EQ(lon.substr(2, 3), "116");
    EXPECT_EQ(lon.substr(8, 2), "23");
    EXPECT_EQ(lon.substr(12, 5), "45.54");
}

TEST(PositionText, SecondsHaveTwoIntegerDigits) {
    EXPECT_EQ(FormatSeconds("085"), "05.10");
    EXPECT_EQ(FormatSeconds("0"), "00.00");
    EXPECT_EQ(FormatSeconds(""), "00.00");
    EXPECT_EQ(FormatSeconds("99999"), "60.00");
    EXPECT_EQ(FormatSeconds("868875"), "52.13");
}

TEST(PositionText, MalformedFieldsLeaveTheTextAsItWas) {
    for (auto [field, hemisphere] : {std::pair{"", ""},
                                     {"3954.3920", ""},
                                     {"3954.3920", "NS"},
                                     {"395.3920", "N"},
                                     {"39543920", "N"},
                                     {"3954.", "N"}})
        EXPECT_EQ(Latitude(field, hemisphere), "unchanged") << field << "/" << hemisphere;
    for (auto [field, hemisphere] :
         {std::pair{"", ""}, {"11623.7590", ""}, {"1623.7590", "E"}, {"11623.", "E"}})
        EXPECT_EQ(Longitude(field, hemisphere), "unchanged") << field << "/" << hemisphere;
    EXPECT_EQ(Latitude("3954.3", "S"), std::string("S   39") + kDeg + " 54' 18.00\"");
}

TEST(PositionText, LocalTimeIsUtcPlusEightWithoutLeadingZero) {
    CString str("kept");
    EXPECT_TRUE(FormatLocalTime("235959.00", str));
    EXPECT_EQ(str, "7 :59 :59");
    EXPECT_TRUE(FormatLocalTime("080000", str));
    EXPECT_EQ(str, "16 :00 :00");
    EXPECT_FALSE(FormatLocalTime("08000", str));
    EXPECT_EQ(str, "16 :00 :00");
}

} // namespace
