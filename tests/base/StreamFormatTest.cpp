// The shared rules of NMEA byte streams, each a table of real cases: checksums of receivers'
// sentences, line endings of logs, and the record file's text mode.
#include "core/LineEndings.h"
#include "core/Nmea.h"

#include <gtest/gtest.h>

namespace {

using namespace vbase;

std::string Bytes(const char* pszBytes, std::size_t nSize) {
    return std::string(pszBytes, nSize);
}

TEST(SentenceChecksum, RealReceiverSentences) {
    struct Case {
        const char* pszLine;
        bool bValid;
    };
    const Case cases[] = {
        {"$GPGGA,030719.000,3747.0873,S,17518.8938,E,1,08,1.1,59.9,M,23.7,M,,0000*7D\r\n", true},
        {"$GNRMC,184040.00,V,,,,,,,030416,,,N*6a", true},
        {"$GNRMC,184040.00,V,,,,,,,030416,,,N*6A\r\r\n", true},
        {"$GNRMC,184040.00,V,,,,,,,030416,,,N*6B", false},
        {"GNRMC,184040.00,V,,,,,,,030416,,,N*6A", false},
        {"$GNRMC,184040.00,V,,,,,,,030416,,,N", false},
        {"$GNRMC,184040.00,V,,,,,,,030416,,,N*6G", false},
        {"$*00", true},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(HasValidChecksum(test.pszLine), test.bValid) << test.pszLine;
    }
}

TEST(SentenceChecksum, BuiltSentencesCarryTheReceiversDigits) {
    EXPECT_EQ(Sentence("GNRMC,184040.00,V,,,,,,,030416,,,N"),
              "$GNRMC,184040.00,V,,,,,,,030416,,,N*6A\r\n");
    EXPECT_EQ(Sentence("GNRMC,184040.00,V,,,,,,,030416,,,N", true),
              "$GNRMC,184040.00,V,,,,,,,030416,,,N*6a\r\n");
    std::string strOut = "noise";
    CSentenceBuilder builder(strOut, false);
    builder.Begin("GPGGA").Text("030719.000").Fixed(3747.0873, 4).Text("S").Number(7, 2).Empty(2);
    builder.End();
    EXPECT_EQ(strOut, "noise" + Sentence("GPGGA,030719.000,3747.0873,S,07,,"));
}

TEST(LineEndings, EveryLogEndingBecomesCrLfOtherBytesStay) {
    struct Case {
        std::string m_strFile;
        std::string m_strWire;
    };
    const Case cases[] = {
        {"$A*41\n$B*42\n", "$A*41\r\n$B*42\r\n"},
        {"$A*41\r\n$B*42\r\n", "$A*41\r\n$B*42\r\n"},
        {"$A*41\r\r\n$B*42\r\r\n", "$A*41\r\n$B*42\r\n"},
        {"a\nb\r\nc\r\r\nd", "a\r\nb\r\nc\r\nd"},
        {"a\r\r\r\nb", "a\r\r\nb"},
        {"d\re\r\r\r\n", "d\re\r\r\n"},
        {"lone\rcr\r", "lone\rcr\r"},
        {"\r\r\r", "\r\r\r"},
        {Bytes("n\0ul\x1A\xFF\n", 7), Bytes("n\0ul\x1A\xFF\r\n", 8)},
        {"\n\n", "\r\n\r\n"},
        {"", ""},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(ReceiverLineEndings(test.m_strFile), test.m_strWire);
    }
}

TEST(LineEndings, RecordFileStoresLineFeedsAsCrLfAndDropsNul) {
    EXPECT_EQ(RecordFormat(Bytes("$A*00\r\nx\n\0y", 12)), "$A*00\r\r\nx\r\ny");
    EXPECT_EQ(RecordFormat("\r"), "\r");
    // What the record file keeps of a wire stream, read back through the log normalisation,
    // is the stream again.
    const std::string strWire = Sentence("GPVTG,,T,,M,0.0,N,0.0,K") + "x\ry" + Sentence("GPGSA");
    EXPECT_EQ(ReceiverLineEndings(RecordFormat(strWire)), strWire);
}

} // namespace
