// Satellites used in the fix: marked whatever the order of GSA and GSV, and the list of used
// PRNs holds one epoch, with or without GGA and RMC.
#include "tests/nmea/NmeaTestSupport.h"
#include "tools/common/WindowState.h"

namespace {

const std::vector<std::string> kGsv = {
    "GPGSV,2,1,05,05,40,083,45,07,20,140,38,09,10,200,30,12,05,300,",
    "GPGSV,2,2,05,14,60,010,41",
    "GLGSV,1,1,02,70,45,010,40,71,20,100,",
};
const std::vector<std::string> kGsa = {
    "GPGSA,A,3,05,09,14,,,,,,,,,,1.8,1.0,1.5",
    "GLGSA,A,3,70,,,,,,,,,,,,1.8,1.0,1.5",
};
const std::string kGga = "GPGGA,110124,5505.330990,N,03858.587325,E,2,04,0.9,2177.0,M,14.0,M,,";

class CUsedSatellitesTest : public CNmeaTest {
protected:
    void SendAll(const std::vector<std::string>& sentences) {
        for (const std::string& body : sentences)
            Send(body);
    }
    int Cell(int nSlot, int nColumn) { return Dlg().m_nCellState[4 * nSlot + nColumn]; }
    // Codes, fonts and slots as the tables and the sky plot show them.
    QJsonObject Tables() {
        QJsonObject state = ReceiverState(Dlg());
        return {
            {"cells", state["cells"]}, {"checkFont", state["checkFont"]}, {"sats", state["sats"]}};
    }
};

TEST_F(CUsedSatellitesTest, GsaAfterTheGsvGroupMarksAtOnce) {
    // Each epoch: GSV, then GSA, then GGA.
    SendAll(kGsv);
    EXPECT_EQ(Dlg().m_nSatState[4], SAT_STRONG_UNUSED);
    EXPECT_EQ(Dlg().GetDlgItem(CellId(4, 3))->GetFont(), &Dlg().m_fontCheck);
    SendAll(kGsa);
    struct {
        int nSlot, nState, nPrnCell, nSnrCell;
    } cases[] = {
        {0, SAT_GPS_USED, SAT_GPS_USED, SAT_GPS_USED},                    // 05, SNR 45
        {1, SAT_STRONG_UNUSED, SAT_GPS_UNUSED, SAT_STRONG_UNUSED},        // 07, not named
        {2, SAT_GPS_USED, SAT_GPS_USED, SAT_GPS_USED},                    // 09
        {3, SAT_GPS_UNUSED, SAT_GPS_UNUSED, SAT_GPS_UNUSED},              // 12, not named
        {4, SAT_GPS_USED, SAT_GPS_USED, SAT_GPS_USED},                    // 14, was strong
        {12, SAT_GLONASS_USED, SAT_GLONASS_USED, SAT_GLONASS_USED},       // 70
        {13, SAT_GLONASS_UNUSED, SAT_GLONASS_UNUSED, SAT_GLONASS_UNUSED}, // 71
    };
    for (auto c : cases) {
        EXPECT_EQ(Dlg().m_nSatState[c.nSlot], c.nState) << c.nSlot;
        EXPECT_EQ(Cell(c.nSlot, 0), c.nPrnCell) << c.nSlot;
        EXPECT_EQ(Cell(c.nSlot, 2), c.nPrnCell) << c.nSlot;
        EXPECT_EQ(Cell(c.nSlot, 3), c.nSnrCell) << c.nSlot;
    }
    EXPECT_EQ(Dlg().GetDlgItem(CellId(4, 3))->GetFont(), &Dlg().m_fontTable) << "used: plain font";
    Send(kGga);
    EXPECT_EQ(Text(IDC_GPS_USED), "3");
    EXPECT_EQ(Text(IDC_GLONASS_USED), "1");
}

TEST_F(CUsedSatellitesTest, AnyOrderGivesTheTablesOfGgaGsaGsv) {
    std::vector<QJsonObject> shown;
    for (int nEpoch = 0; nEpoch < 3; ++nEpoch) {
        SendAll(kGsv);
        SendAll(kGsa);
        Send(kGga);
        EXPECT_EQ(Text(IDC_GPS_USED), "3");
        shown.push_back(Tables());
    }
    Dlg().ResetReceiverState();
    for (int nEpoch = 0; nEpoch < 3; ++nEpoch) {
        Send(kGga);
        SendAll(kGsa);
        SendAll(kGsv);
        EXPECT_EQ(Tables(), shown[static_cast<size_t>(nEpoch)]) << nEpoch;
    }
}

TEST_F(CUsedSatellitesTest, OnlyGpsAndGlonassListsMark) {
    SendAll(kGsv);
    // A dual-band receiver's BeiDou list (system ID 4) names PRNs that GPS satellites have too.
    Send("GNGSA,A,3,13,12,22,19,08,21,,,,,,,1.05,0.64,0.83,4");
    Send("GAGSA,A,3,05,09,,,,,,,,,,,1.8,1.0,1.5");
    Send("GNGSA,A,3,07,,,,,,,,,,,,1.05,0.64,0.83,1");
    EXPECT_EQ(Dlg().m_nSatState[3], SAT_GPS_UNUSED) << "BeiDou 12 is not GPS 12";
    EXPECT_EQ(Dlg().m_nSatState[0], SAT_STRONG_UNUSED) << "nor Galileo 05 GPS 05";
    EXPECT_EQ(Dlg().m_nSatState[1], SAT_GPS_USED);
}

TEST_F(CUsedSatellitesTest, SlotsEmptiedByACountDropStayEmpty) {
    SendAll(kGsv);
    Send("GPGSV,1,1,03,05,40,083,45,07,20,140,38,09,10,200,30"); // from 5 to 3 in view
    SendAll(kGsa);
    EXPECT_EQ(Cell(12, 0), SAT_EMPTY);
    EXPECT_EQ(Cell(4, 0), SAT_EMPTY);
    EXPECT_EQ(Dlg().m_nSatState[0], SAT_GPS_USED);
    Send("GPGSA,A,3,05,05,,,,,,,,,,,1.8,1.0,1.5"); // a PRN named twice
    EXPECT_EQ(Dlg().m_nSatState[0], SAT_GPS_USED);
}

// Receivers configured to send GSA without GGA or RMC: the list once grew without end.
TEST_F(CUsedSatellitesTest, UsedListHoldsOneRunOfGsas) {
    const std::string gps05and09 = kGsa[0];
    const std::string gps09 = "GPGSA,A,3,09,,,,,,,,,,,,1.8,1.0,1.5";
    for (int nEpoch = 0; nEpoch < 200; ++nEpoch) {
        Send(nEpoch % 2 ? gps09 : gps05and09);
        Send(kGsa[1]);
        Send("GNGSA,A,3,07,12,,,,,,,,,,,1.05,0.64,0.83,3"); // Galileo: still the same run
        SendAll(kGsv);
        EXPECT_EQ(Dlg().m_nSatState[0], nEpoch % 2 ? SAT_STRONG_UNUSED : SAT_GPS_USED) << nEpoch;
        EXPECT_EQ(Dlg().m_nSatState[12], SAT_GLONASS_USED) << "GPS and GLONASS lists together";
    }
    EXPECT_EQ(Dlg().m_strUsedPrns, "09,,,,,,,,,,,,70,,,,,,,,,,,,");

    // Any sentence between two GSAs ends the run.
    Send(gps09);
    Send("GPTXT,01,01,01,ANTENNA OK");
    Send(kGsa[1]);
    EXPECT_EQ(Dlg().m_strUsedPrns, "70,,,,,,,,,,,,");
}

} // namespace
