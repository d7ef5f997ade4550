// Noise, damaged and hostile sentences: no crash, no slot outside the tables, and the window
// goes on decoding.
#include "tests/nmea/NmeaTestSupport.h"

#include <random>

namespace {

const char* const kTokens[] = {
    "",     "0",           "1",         "N",        "NNNN",
    "A",    "V",           "-5",        "99",       "4",
    "9",    "3954.3920",   "11623.759", "235959.0", "1e39",
    "nan",  "99999999999", ".",         "0.",       "12345678901234567890",
    "\xA1", "\x01\x7f",    "   ",       "-",        "1.2.3"};

std::string RandomSentence(std::mt19937& rng) {
    static const char* const kTalkers[] = {"GP", "GL", "GN", "GA", "PQ", ""};
    static const char* const kTypes[] = {"GGA", "GNS", "RMC", "VTG", "GSA", "GSV", "TXT"};
    std::string body = std::string(kTalkers[rng() % 6]) + kTypes[rng() % 7];
    for (int n = static_cast<int>(rng() % 40); n > 0; --n)
        body += std::string(",") + kTokens[rng() % (sizeof kTokens / sizeof *kTokens)];
    return body;
}

class CBadInputTest : public CNmeaTest {
protected:
    void ExpectSaneState() {
        for (int s = 0; s < kSatSlots; ++s)
            EXPECT_LE(Dlg().m_strSatPrn[s].GetLength(), 2);
        for (int nState : Dlg().m_nCellState)
            EXPECT_TRUE(nState == SAT_EMPTY || (nState >= SAT_GPS_USED && nState <= 15));
        for (int nID = 1097; nID <= 1100; ++nID)
            EXPECT_EQ(Dlg().m_nCellState[nID - 1001], SAT_EMPTY);
    }
    void ExpectStillDecodes() {
        // After a line without "*" the next "$" counts in the checksum: that line is lost.
        Send("GPTXT,resync");
        Send("GPGGA,235959.00,3954.3920,N,11623.7590,E,1,08,0.9,52.34,M,-9.0,M,,");
        EXPECT_EQ(Text(1098), "7 :59 :59");
        EXPECT_EQ(Text(1110), std::string("N   39") + kDeg + " 54' 23.52\"");
        EXPECT_EQ(Text(1114), "52.3 M");
    }
};

TEST_F(CBadInputTest, RandomBytesAndLongLines) {
    std::mt19937 rng(4);
    const char kSpecial[] = {'$', ',', '*', '\r', '\n', '\0', 'G'};
    std::string noise;
    for (int i = 0; i < 200000; ++i)
        noise += rng() % 3 ? static_cast<char>(rng() % 256) : kSpecial[rng() % 7];
    Feed(noise);
    Feed(std::string(10000, ',') + "\r\n" + std::string(10000, '$') + "\r\n");
    ExpectSaneState();
    ExpectStillDecodes();
}

TEST_F(CBadInputTest, SentencesOfWrongFieldsWithCorrectChecksums) {
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i)
        Send(RandomSentence(rng));
    ExpectSaneState();
    ExpectStillDecodes();
}

TEST_F(CBadInputTest, ReplayedLinesWithoutChecksum) {
    // Replay hands lines to the dispatch unchecked and without a length limit.
    std::mt19937 rng(11);
    for (int i = 0; i < 5000; ++i) {
        Dlg().m_strSentence = ("$" + RandomSentence(rng) + "\r\r\n").c_str();
        Dlg().DispatchSentence();
    }
    Dlg().m_strSentence = ("$GPGSV,9,9,99" + std::string(5000, ',') + "\n").c_str();
    Dlg().DispatchSentence();
    Dlg().m_strSentence.Empty();
    ExpectSaneState();
    ExpectStillDecodes();
}

} // namespace
