// GSV: slots of both systems, count drops, used and strong codes, SNR fonts.
#include "tests/nmea/NmeaTestSupport.h"

namespace {

// A GSV body with satellites PRN first+0, first+1, ... (elevation 40, azimuth 100, SNR snr).
std::string Gsv(const std::string& talker, int nTotal, int nMessage, int nInView, int nFirstPrn,
                int nSatellites, const std::string& snr = "30") {
    std::string body = talker + "GSV," + std::to_string(nTotal) + "," + std::to_string(nMessage) +
                       "," + (nInView < 10 ? "0" : "") + std::to_string(nInView);
    for (int i = 0; i < nSatellites; ++i)
        body += "," + std::to_string(nFirstPrn + i) + ",40,100," + snr;
    return body;
}

// Sends every message of a system's full cycle: PRNs from nFirstPrn on.
class CDecodeGsvTest : public CNmeaTest {
protected:
    void Cycle(const std::string& talker, int nInView, int nFirstPrn) {
        int nTotal = (nInView + 3) / 4;
        for (int m = 1; m <= nTotal; ++m)
            Send(Gsv(talker, nTotal, m, nInView, nFirstPrn + 4 * (m - 1),
                     m == nTotal ? nInView - 4 * (nTotal - 1) : 4));
    }
    std::string Prn(int nSlot) { return Dlg().m_strSatPrn[nSlot].Bytes(); }
    int Cell(int nSlot, int nColumn) { return Dlg().m_nCellState[4 * nSlot + nColumn]; }
    bool CheckFont(int nSlot) {
        return Dlg().GetDlgItem(CellId(nSlot, 3))->GetFont() == &Dlg().m_fontCheck;
    }
};

TEST_F(CDecodeGsvTest, SlotsOfBothSystems) {
    Dlg().SetDlgItemText(CellId(11, 0), "old");
    Cycle("GP", 11, 10);
    Cycle("GL", 6, 65);
    for (int s = 0; s < 11; ++s)
        EXPECT_EQ(Prn(s), std::to_string(10 + s));
    EXPECT_EQ(Text(CellId(11, 0)), "old") << "row 11 is not reached by 11 satellites";
    EXPECT_EQ(Prn(12), "65");
    EXPECT_EQ(Prn(17), "70");
    EXPECT_EQ(Prn(18), "");
    EXPECT_EQ(Dlg().m_nSatState[3], SAT_GPS_UNUSED);
    EXPECT_EQ(Cell(13, 2), SAT_GLONASS_UNUSED);
    EXPECT_EQ(Text(CellId(13, 1)), "40");
    EXPECT_EQ(Dlg().m_nSatAzimuth[13], 100);
    EXPECT_EQ(Text(IDC_GPS_IN_VIEW), "11");
    EXPECT_EQ(Text(IDC_GLONASS_IN_VIEW), "6");
    EXPECT_EQ(Text(IDC_TOTAL_IN_VIEW), "17");
}

TEST_F(CDecodeGsvTest, CountDropClearsBothSystemsCodes) {
    Cycle("GP", 10, 10);
    Cycle("GL", 8, 65);
    Cycle("GP", 8, 10);
    EXPECT_EQ(Prn(7), "17");
    EXPECT_EQ(Text(CellId(8, 0)), "") << "GPS rows 8 to 11 emptied";
    EXPECT_EQ(Prn(12), "") << "GLONASS slots lose their PRN text";
    EXPECT_EQ(Text(CellId(12, 0)), "65") << "but keep the cells' texts";
    EXPECT_EQ(Cell(12, 0), SAT_EMPTY);
    EXPECT_EQ(Text(IDC_TOTAL_IN_VIEW), "16");
}

TEST_F(CDecodeGsvTest, MessagesFourAndAboveFillTheGlonassTableFromTheBottom) {
    Cycle("GL", 12, 65);
    Cycle("GP", 14, 1);
    EXPECT_EQ(Prn(23), "13");
    EXPECT_EQ(Prn(22), "14");
    EXPECT_EQ(Dlg().m_nSatState[23], SAT_GPS_UNUSED) << "GPS codes in the GLONASS table";
    EXPECT_EQ(Prn(21), "74");

    Cycle("GP", 13, 1);
    EXPECT_EQ(Text(CellId(12, 0)), "") << "GLONASS rows 0 to 10 emptied";
    EXPECT_EQ(Text(CellId(22, 3)), "");
    EXPECT_EQ(Text(CellId(23, 0)), "13") << "row 11 waits for message 4";
    EXPECT_EQ(Prn(23), "13");
    EXPECT_EQ(Prn(22), "");
}

TEST_F(CDecodeGsvTest, UsedAndStrongSatellites) {
    Send("GPGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5");
    Send("GLGSA,A,3,70,,,,,,,,,,,,1.8,1.0,1.5");
    Send("GPGSV,1,1,03,05,40,083,45,07,20,140,38,09,10,200,37");
    Send("GLGSV,1,1,02,70,45,010,45,71,20,100,38");
    EXPECT_EQ(Dlg().m_nSatState[0], SAT_GPS_USED);
    EXPECT_EQ(Cell(0, 3), SAT_GPS_USED);
    EXPECT_FALSE(CheckFont(0)) << "a used satellite is never highlighted";
    EXPECT_EQ(Dlg().m_nSatState[1], SAT_STRONG_UNUSED);
    EXPECT_EQ(Cell(1, 0), SAT_GPS_UNUSED);
    EXPECT_EQ(Cell(1, 3), SAT_STRONG_UNUSED);
    EXPECT_TRUE(CheckFont(1));
    EXPECT_EQ(Dlg().m_nSatState[2], SAT_GPS_UNUSED) << "SNR 37 is not above 37";
    EXPECT_FALSE(CheckFont(2));
    EXPECT_EQ(Dlg().m_nSatState[12], SAT_GLONASS_USED);
    EXPECT_EQ(Dlg().m_nSatState[13], SAT_STRONG_UNUSED);
    EXPECT_EQ(Cell(13, 1), SAT_GLONASS_UNUSED);

    Send("GPGSV,1,1,03,05,40,083,45,07,20,140,30,09,10,200,");
    EXPECT_FALSE(CheckFont(1)) << "a weaker SNR returns to the table font";
    EXPECT_EQ(Text(CellId(2, 3)), "") << "empty SNR before the checksum";
    Send("GPGSV,1,1,03,05,40,083,45,07,20,140,40,09,10,200,5");
    EXPECT_EQ(Text(CellId(2, 3)), "") << "a one-digit SNR is absent";
}

TEST_F(CDecodeGsvTest, OtherSystemsAreOnlyEchoed) {
    Cycle("GP", 6, 10);
    int nEchoed = MonitorLength();
    for (const char* talker : {"GA", "GB", "BD", "GQ", "QZ", "GI", "PQ"})
        Send(Gsv(talker, 1, 1, 2, 1, 2, "45"));
    EXPECT_GT(MonitorLength(), nEchoed);
    EXPECT_EQ(Prn(0), "10");
    EXPECT_EQ(Dlg().m_nGpsInView, 6);
    EXPECT_EQ(Text(IDC_TOTAL_IN_VIEW), "6");
}

// Multi-band receivers send a system's group once per signal; the first, signal 1 (L1 C/A),
// or 0 (all signals) fills the table.
TEST_F(CDecodeGsvTest, OnlyThePrimarySignalFillsTheTable) {
    const std::string l1 = "GPGSV,1,1,03,05,06,110,19,10,24,284,34,13,37,124,29";
    Send(l1 + ",1");
    struct {
        const char* sentence;
        bool bDecoded;
    } cases[] = {
        {"GPGSV,1,1,02,05,06,110,,10,24,284,,6", false},     // L2 CL
        {"GLGSV,1,1,02,65,53,144,,66,58,305,32,3", false},   // GLONASS L2 OF
        {"GPGSV,1,1,02,05,06,110,,10,24,284,,B", false},     // any other hex digit
        {"GPGSV,1,1,02,05,06,110,41,10,24,284,42,0", true},  // all signals (L76K)
        {"GPGSV,1,1,02,05,06,110,41,10,24,284,42,1", true},  // L1 C/A
        {"GPGSV,1,1,02,05,06,110,41,10,24,284,42", true},    // no signal ID (NMEA 4.0)
        {"GPGSV,1,1,02,05,06,110,41,10,24,284,6", true},     // 3 + 4k fields: a weak SNR
        {"GPGSV,1,1,02,05,06,110,41,10,24,284,42,6,", true}, // 3 + 4k + 2 fields
        {"GPGSV,1,1,02,05,06,110,41,10,24,284,42,16", true}, // not one digit
        {"GPGSV,1,1,02,05,06,110,41,10,24,284,42,G", true},  // not hexadecimal
        {"GPGSV,1,1,02,05,06,110,41,10,24,284,42,", true},   // empty
        {"GPGSV,1,1,00,6", false},                           // no satellite, signal 6
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence);
        Dlg().ResetReceiverState();
        Send(l1 + ",1");
        int nEchoed = MonitorLength();
        Send(c.sentence);
        EXPECT_GT(MonitorLength(), nEchoed) << "every GSV is echoed";
        if (c.bDecoded) {
            EXPECT_EQ(Text(IDC_GPS_IN_VIEW), "2");
            EXPECT_EQ(Text(CellId(0, 3)), "41");
        } else {
            EXPECT_EQ(Text(IDC_GPS_IN_VIEW), "3") << "no count";
            EXPECT_EQ(Text(CellId(0, 3)), "19") << "no cell";
            EXPECT_EQ(Prn(2), "13") << "no slot";
            EXPECT_EQ(Dlg().m_nGpsInViewLast, 3) << "so no count drop either";
        }
    }
}

TEST_F(CDecodeGsvTest, SignalIdIsNoSatellite) {
    // A last message with fewer satellites than the count promises: the ID is not a PRN.
    Send("GPGSV,1,1,02,05,06,110,19,1");
    EXPECT_EQ(Prn(0), "05");
    EXPECT_EQ(Prn(1), "");
}

// A satellite tracked without elevation and azimuth has no place on the sky plot.
TEST_F(CDecodeGsvTest, EmptyElevationOrAzimuthIsNoAngle) {
    Send("GPGSV,1,1,04,01,17,083,03,08,,,15,24,,305,,30,57,,31,0");
    struct {
        int nSlot, nElevation, nAzimuth;
    } cases[] = {{0, 17, 83}, {1, kNoAngle, kNoAngle}, {2, kNoAngle, 305}, {3, 57, kNoAngle}};
    for (auto c : cases) {
        EXPECT_EQ(Dlg().m_nSatElevation[c.nSlot], c.nElevation) << c.nSlot;
        EXPECT_EQ(Dlg().m_nSatAzimuth[c.nSlot], c.nAzimuth) << c.nSlot;
    }
    EXPECT_EQ(Text(CellId(1, 0)), "08");
    EXPECT_EQ(Text(CellId(1, 1)), "") << "the cells show the empty fields";
    EXPECT_EQ(Text(CellId(1, 2)), "");
    EXPECT_EQ(Text(CellId(1, 3)), "15");
    EXPECT_EQ(Dlg().m_nSatState[1], SAT_GPS_UNUSED) << "codes as for any satellite";
    Send("GPGSV,1,1,01,08,00,000,15,0");
    EXPECT_EQ(Dlg().m_nSatElevation[0], 0) << "0 is a position";
}

TEST_F(CDecodeGsvTest, InconsistentMessagesStayInTheirRows) {
    Cycle("GL", 4, 65);
    Send(Gsv("GP", 3, 3, 20, 1, 6)); // 12 satellites would be due
    EXPECT_EQ(Prn(11), "4");
    EXPECT_EQ(Prn(12), "65") << "the GLONASS table is not reached";
    Send(Gsv("GL", 3, 3, 20, 80, 6));
    EXPECT_EQ(Prn(23), "83");
    Send(Gsv("GP", 2, 0, 20, 50, 4));
    for (int s = 0; s < kSatSlots; ++s)
        EXPECT_NE(Prn(s), "50") << "message 0 has no rows";
    Send("GPGSV,1,1,04,31,40,100,30,32,40"); // fewer fields than satellites
    EXPECT_EQ(Prn(1), "32");
    EXPECT_EQ(Prn(2), "");
    EXPECT_EQ(Text(CellId(1, 3)), "");
    Send("GPGSV,1,1,-5,33,40,100,30");
    EXPECT_EQ(Text(IDC_GPS_IN_VIEW), "-5");
}

} // namespace
