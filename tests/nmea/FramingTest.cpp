// Framing, checksum, the watchdog's first byte and dispatch by sentence type.
#include "tests/nmea/NmeaTestSupport.h"

#include <algorithm>
#include <cctype>

namespace {

const std::string kGga = "GPGGA,092758.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,";

class CFramingTest : public CNmeaTest {};

TEST_F(CFramingTest, ChecksumDecidesWhetherALineIsDispatched) {
    std::string good = Sentence(kGga);
    std::string lower = good;
    std::transform(lower.end() - 4, lower.end(), lower.end() - 4,
                   [](char ch) { return static_cast<char>(std::tolower(ch)); });
    ASSERT_NE(lower, good) << "the checksum should have a letter digit";
    std::string wrong = "$" + kGga + "*00\r\n";
    std::string noStar = "$" + kGga + Checksum(kGga) + "\r\n";

    EXPECT_FALSE(Dispatched(wrong));
    EXPECT_EQ(m_harness.Utf8(1), "请稍候...") << "a dropped line leaves the caption";
    EXPECT_EQ(Text(1098), "") << "and reaches no decoder";
    EXPECT_EQ(Dlg().m_strSentence, "");
    EXPECT_TRUE(Dispatched(lower));
    EXPECT_EQ(m_harness.Utf8(1), "停 止");
    EXPECT_EQ(Text(1098), "17 :27 :58");
    EXPECT_FALSE(Dispatched(noStar));
}

TEST_F(CFramingTest, DollarIsXoredAfterALineWithoutStar) {
    // The "$" of the next line then counts in its checksum, which so fails once.
    Feed("$PMTK001,604,3\r\n");
    EXPECT_FALSE(Dispatched(Sentence(kGga)));
    EXPECT_TRUE(Dispatched(Sentence(kGga)));
}

TEST_F(CFramingTest, BytesBeforeTheDollarGoWithTheAddressField) {
    EXPECT_TRUE(Dispatched("\x7f\x13,noise" + Sentence(kGga)));
    EXPECT_EQ(Text(1098), "17 :27 :58");
    EXPECT_EQ(Text(1110).substr(0, 6), "N   53");
}

TEST_F(CFramingTest, LineOf121CharactersIsNeverDispatched) {
    // "$", body, "*", two digits and CR: the body of 115 makes 120 characters before the LF.
    std::string body120 = "GPTXT," + std::string(109, 'A');
    std::string body121 = body120 + "A";
    EXPECT_TRUE(Dispatched(Sentence(body120)));
    EXPECT_FALSE(Dispatched(Sentence(body121)));
    EXPECT_FALSE(Dispatched(std::string(10000, 'x') + "\r\n"));
    EXPECT_TRUE(Dispatched(Sentence(kGga))) << "framing goes on after a long line";
}

TEST_F(CFramingTest, NulBytesOnlyArmTheWatchdog) {
    ASSERT_EQ(Dlg().m_bBaudCheckPending, 1);
    Feed("\n");
    EXPECT_EQ(Dlg().m_bBaudCheckPending, 1) << "a line feed does not arm the watchdog";
    Feed(std::string(1, '\0'));
    EXPECT_EQ(Dlg().m_bBaudCheckPending, 0);
    EXPECT_TRUE(Dlg().IsTimerRunning(TIMER_BAUD_WATCHDOG));
    EXPECT_EQ(Dlg().TimerPeriod(TIMER_BAUD_WATCHDOG), 3000);

    std::string withNuls;
    for (char ch : Sentence(kGga))
        withNuls += std::string(1, '\0') + ch;
    EXPECT_TRUE(Dispatched(withNuls)) << "NULs are neither kept nor XORed";
    EXPECT_EQ(Text(1098), "17 :27 :58");
}

TEST_F(CFramingTest, TypeIsTheFormatterAfterTheTalker) {
    // A boot banner that holds "GNS" must not be read as a GNS fix.
    EXPECT_TRUE(Dispatched("$GNTXT,01,01,02,GNSS OTP:  GPS GLO, SEL:  GPS GLO*67\r\n"));
    EXPECT_EQ(Dlg().m_bFixValid, 0);
    EXPECT_EQ(Text(1098), "");
    EXPECT_EQ(MonitorLength(), 0) << "other types are never echoed";

    EXPECT_TRUE(Dispatched(Sentence("GPGLL,5321.6802,N,00630.3372,W,092758.000,A,A")));
    EXPECT_EQ(Text(1110), "");
    EXPECT_EQ(MonitorLength(), 0);

    Send("GNGNS,092750.000,5321.6802,N,00630.3372,W,AN,08,1.0,61.7,55.2,,");
    EXPECT_EQ(Dlg().m_bFixValid, 1);
    EXPECT_EQ(Dlg().m_bGgaSeen, 1);
    EXPECT_EQ(Text(1114), "61.7 M");
}

TEST_F(CFramingTest, EchoFollowsFilterAndPause) {
    std::string rmc = Sentence("GPRMC,092750.000,A,5321.6802,N,00630.3372,W,0.02,31.66,280511,,,A");
    Send(kGga);
    EXPECT_EQ(MonitorLength(), static_cast<int>(Sentence(kGga).size()) - 1) << "CR LF is one line end";
    Dlg().OnToggleGGA();
    Send(kGga);
    Feed(rmc);
    EXPECT_EQ(MonitorLength(), static_cast<int>(Sentence(kGga).size() + rmc.size()) - 2);
    Dlg().OnPause();
    Feed(rmc);
    EXPECT_EQ(MonitorLength(), static_cast<int>(Sentence(kGga).size() + rmc.size()) - 2);
    EXPECT_EQ(Text(1097), "2011-05-28") << "a paused echo still decodes";
}

} // namespace
