// Noise, damaged and hostile sentences: no crash, no slot outside the tables, and the window
// goes on decoding.
#include "plots/SkyPlotDlg.h"
#include "tests/nmea/NmeaTestSupport.h"

#include <random>

namespace {

const char* const kTokens[] = {
    "",     "0",           "1",         "N",        "NNNN",
    "A",    "V",           "-5",        "99",       "4",
    "9",    "3954.3920",   "11623.759", "235959.0", "1e39",
    "nan",  "99999999999", ".",         "0.",       "12345678901234567890",
    "\xA1", "\x01\x7f",    "   ",       "-",        "1.2.3",
    "6",    "B",           "999999",    "  ",       "$"};

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
        for (int nID = IDC_DATE; nID <= IDC_GPS_TABLE; ++nID)
            EXPECT_EQ(Dlg().m_nCellState[nID - IDC_FIRST_CELL], SAT_EMPTY);
    }
    void ExpectStillDecodes() {
        Feed("$GPTXT,cut off");
        Send("GPGGA,235959.00,3954.3920,N,11623.7590,E,1,08,0.9,52.34,M,-9.0,M,,");
        EXPECT_EQ(Text(IDC_TIME), "7 :59 :59");
        EXPECT_EQ(Text(IDC_LATITUDE), std::string("N   39") + kDeg + " 54' 23.52\"");
        EXPECT_EQ(Text(IDC_ALTITUDE), "52.3 M");
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

// Odd signal IDs, field counts, PRN lists and times: each rule applies as it reads.
TEST_F(CBadInputTest, OddFieldsOfTheReceiverRules) {
    CPlotSpy<CSkyPlotDlg> sky(Dlg().m_pSkyPlot);
    Send("GPGSV,1,1,02,05,06,110,41,10,24,284,42,6,7"); // 3 + 4k + 2: no signal ID
    EXPECT_EQ(Text(IDC_GPS_IN_VIEW), "2");
    Send("GPGSV,1,1,01,05,06,110,41,Z"); // not hexadecimal: no signal ID
    EXPECT_EQ(Text(IDC_GPS_IN_VIEW), "1");
    Send("GPGSV,1,1,03,05,06,110,41,f"); // a hexadecimal digit other than 0 and 1
    EXPECT_EQ(Text(IDC_GPS_IN_VIEW), "1");
    Send("GPGSA,A,3,05,05,05,,,,,,,,,,1.8,1.0,1.5");
    EXPECT_EQ(Dlg().m_nSatState[0], SAT_GPS_USED);
    EXPECT_EQ(Dlg().m_strUsedPrns, "05,05,05,,,,,,,,,,");
    for (const char* time : {"999999", "999999", "  ", "  ", "", "1"})
        Send(std::string("GPGGA,") + time + ",3954.3920,N,11623.7590,E,1,08,0.9,52.3,M,,M,,");
    EXPECT_EQ(sky.m_nRefreshes, 4) << "equal texts are one epoch, whatever they read as";
    EXPECT_EQ(Text(IDC_GPS_USED), "1");
    ExpectSaneState();
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
