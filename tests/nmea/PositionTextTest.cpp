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

// Degrees, minutes and seconds stand at fixed bytes: the window's font lines them up.
TEST(PositionText, LatitudeAndLongitudeBytesAtTheirPositions) {
    struct Field {
        size_t nAt;
        std::string digits;
    };
    struct {
        std::string text, expected;
        size_t nSize;
        Field fields[3]; // degrees, minutes, seconds
    } cases[] = {
        {Latitude("3954.3920", "N"),
         std::string("N   39") + kDeg + " 54' 23.52\"",
         19,
         {{4, "39"}, {9, "54"}, {13, "23.52"}}},
        {Longitude("11623.7590", "E"),
         std::string("E 116") + kDeg + " 23' 45.54\"",
         18,
         {{2, "116"}, {8, "23"}, {12, "45.54"}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, c.expected);
        ASSERT_EQ(c.text.size(), c.nSize);
        for (const Field& f : c.fields)
            EXPECT_EQ(c.text.substr(f.nAt, f.digits.size()), f.digits);
    }
}

TEST(PositionText, SecondsHaveTwoIntegerDigits) {
    for (auto [minutes, seconds] : {std::pair{"085", "05.10"},
                                    {"0", "00.00"},
                                    {"", "00.00"},
                                    {"99999", "60.00"},
                                    {"868875", "52.13"}})
        EXPECT_EQ(FormatSeconds(minutes).Bytes(), seconds) << minutes;
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
    struct {
        const char* pszField;
        bool bRead;
        const char* pszShown;
    } cases[] = {
        {"235959.00", true, "7 :59 :59"}, {"080000", true, "16 :00 :00"}, {"08000", false, "kept"}};
    for (auto c : cases) {
        CString str("kept");
        EXPECT_EQ(FormatLocalTime(c.pszField, str), c.bRead) << c.pszField;
        EXPECT_EQ(str.Bytes(), c.pszShown) << c.pszField;
    }
}

} // namespace
