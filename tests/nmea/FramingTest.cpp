// Framing, checksum, the watchdog's first byte and dispatch by sentence type.
#include "tests/nmea/NmeaTestSupport.h"
#include "tools/common/WindowState.h"
#include "tools/velmora-sim/Scenario.h"

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
    EXPECT_EQ(m_harness.Utf8(IDC_STARTSTOP), kCaptionWait) << "a dropped line leaves the caption";
    EXPECT_EQ(Text(IDC_TIME), "") << "and reaches no decoder";
    EXPECT_EQ(Dlg().m_strSentence, "");
    EXPECT_TRUE(Dispatched(lower));
    EXPECT_EQ(m_harness.Utf8(IDC_STARTSTOP), kCaptionStop);
    EXPECT_EQ(Text(IDC_TIME), "17 :27 :58");
    EXPECT_FALSE(Dispatched(noStar));
}

// Lines of real receivers: a fragment or a line without checksum, then a whole sentence.
TEST_F(CFramingTest, DollarStartsANewSentence) {
    const std::string gll = Sentence("GPGLL,2638.1728,N,08149.0712,W,030130.00,A,A");
    struct {
        const char* what;
        std::string bytes;
        int nShows; // the control that the whole sentence fills
        const char* text;
    } cases[] = {
        {"a proprietary line without checksum",
         "$POLYN,ALM,0,00000000\r\n"
         "$GPGGA,235946.005,8960.000000,N,00000.000000,E,0,0,,137.000,M,13.000,M,,*49\r\n",
         IDC_TIME, "7 :59 :46"},
        {"a GSV cut off by the next sentence",
         "$GPGSV,3,3,12,06,08,270,,16,01,090,,02,16,270,"
         "$GPGGA,000410.00,0000.0000,N,00000.0000,E,0,00,0.0,,M,,M,,*58\r\n",
         IDC_TIME, "8 :04 :10"},
        {"a GSA cut off by the next sentence",
         "$GPGSA,A,1,,$GPRMC,000425.00,V,0000.0000,N,00000.0000,E,,,220899,,,N*4D\r\n", IDC_DATE,
         "1999-08-22"},
        {"noise without a line end", "\x7f\x13,noise*" + Sentence(kGga), IDC_TIME, "17 :27 :58"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dlg().ResetReceiverState();
        EXPECT_TRUE(Dispatched(c.bytes));
        EXPECT_EQ(Text(c.nShows), c.text);
        EXPECT_EQ(Dlg().m_nGpsInView, 0) << "the fragment reaches no decoder";
    }

    // The cut-off start of a GGA before a whole GLL is never read as a GGA of GLL fields.
    Dlg().ResetReceiverState();
    Dlg().SetDlgItemText(IDC_TIME, "");
    EXPECT_TRUE(Dispatched("$GPGGA,030130" + gll));
    EXPECT_EQ(Text(IDC_TIME), "");
    EXPECT_EQ(Text(IDC_LATITUDE), "");

    Feed("$GPGGA,030130,garbage$");
    EXPECT_EQ(Dlg().m_strSentence, "$");
    EXPECT_EQ(Dlg().m_byChecksum, 0) << "the \"$\" is never summed";
    EXPECT_EQ(Dlg().m_bInChecksum, 1);
}

// The checksum is the two characters after the line's last "*", whatever ends the line.
TEST_F(CFramingTest, LineEndings) {
    const std::string crlf = Sentence(kGga);
    const std::string body = crlf.substr(0, crlf.size() - 2);
    struct {
        const char* what;
        std::string bytes;
        bool bDispatched;
    } cases[] = {
        {"CR LF", crlf, true},
        {"LF alone", body + "\n", true},
        {"CR CR LF, as logs are saved", body + "\r\r\n", true},
        {"LF alone with a wrong checksum", "$" + kGga + "*00\n", false},
        {"one digit", body.substr(0, body.size() - 1) + "\n", false},
        // Once read at L - 4, the blank and 0 of a comment passed against a sum of 0.
        {"a comment without \"*\"", "#  Location 0\r\n", false},
        {"a comment line ending in 00", "# 00\n", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Dispatched(c.bytes), c.bDispatched) << c.what;
}

// Behind some bridges and links a receiver's lines end in LF alone: the window shows the same.
TEST(LiveLineEndings, LfAloneShowsWhatCrLfShows) {
    sim::CScenario scenario{sim::ScenarioOptions{}};
    std::string crlf;
    for (int i = 0; i < 90; ++i) // the cold start and the first fixes
        scenario.AppendNextEpoch(crlf);
    std::string lf;
    std::copy_if(crlf.begin(), crlf.end(), std::back_inserter(lf),
                 [](char ch) { return ch != '\r'; });
    ASSERT_LT(lf.size(), crlf.size());

    auto decode = [](const std::string& bytes) {
        CViewerHarness harness;
        harness.Dlg().EnterAcquiringState();
        Feed(harness.Dlg(), bytes);
        EXPECT_EQ(harness.Utf8(IDC_STARTSTOP), kCaptionStop);
        EXPECT_EQ(harness.Dlg().m_bGotValidSentence, 1);
        QJsonObject state = ReceiverState(harness.Dlg());
        state.remove("monitorLength");
        state.insert("items", ItemTexts(harness.Dlg()));
        state.insert("monitor", MonitorText(harness.Dlg()).remove('\r'));
        return state;
    };
    QJsonObject shown = decode(lf);
    EXPECT_EQ(shown, decode(crlf));
    EXPECT_EQ(shown["fix"].toInt(), 1);
    EXPECT_EQ(shown["monitor"].toString().count('\n'), std::count(lf.begin(), lf.end(), '\n'))
        << "every line was dispatched";
}

TEST_F(CFramingTest, BytesBeforeTheDollarGoWithTheAddressField) {
    EXPECT_TRUE(Dispatched("\x7f\x13,noise" + Sentence(kGga)));
    EXPECT_EQ(Text(IDC_TIME), "17 :27 :58");
    EXPECT_EQ(Text(IDC_LATITUDE).substr(0, 6), "N   53");
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
    EXPECT_EQ(Text(IDC_TIME), "17 :27 :58");
}

TEST_F(CFramingTest, TypeIsTheFormatterAfterTheTalker) {
    // A boot banner that holds "GNS" must not be read as a GNS fix.
    EXPECT_TRUE(Dispatched("$GNTXT,01,01,02,GNSS OTP:  GPS GLO, SEL:  GPS GLO*67\r\n"));
    EXPECT_EQ(Dlg().m_bFixValid, 0);
    EXPECT_EQ(Text(IDC_TIME), "");
    EXPECT_EQ(MonitorLength(), 0) << "other types are never echoed";

    EXPECT_TRUE(Dispatched(Sentence("GPGLL,5321.6802,N,00630.3372,W,092758.000,A,A")));
    EXPECT_EQ(Text(IDC_LATITUDE), "");
    EXPECT_EQ(MonitorLength(), 0);

    Send("GNGNS,092750.000,5321.6802,N,00630.3372,W,AN,08,1.0,61.7,55.2,,");
    EXPECT_EQ(Dlg().m_bFixValid, 1);
    EXPECT_EQ(Dlg().m_bGgaSeen, 1);
    EXPECT_EQ(Text(IDC_ALTITUDE), "61.7 M");
}

TEST_F(CFramingTest, EchoFollowsFilterAndPause) {
    std::string rmc = Sentence("GPRMC,092750.000,A,5321.6802,N,00630.3372,W,0.02,31.66,280511,,,A");
    Send(kGga);
    EXPECT_EQ(MonitorLength(), static_cast<int>(Sentence(kGga).size()) - 1)
        << "CR LF is one line end";
    Dlg().OnToggleGGA();
    Send(kGga);
    Feed(rmc);
    EXPECT_EQ(MonitorLength(), static_cast<int>(Sentence(kGga).size() + rmc.size()) - 2);
    Dlg().OnPause();
    Feed(rmc);
    EXPECT_EQ(MonitorLength(), static_cast<int>(Sentence(kGga).size() + rmc.size()) - 2);
    EXPECT_EQ(Text(IDC_DATE), "2011-05-28") << "a paused echo still decodes";
}

} // namespace
