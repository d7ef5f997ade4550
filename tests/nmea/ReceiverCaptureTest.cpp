// Captures of today's receivers: a dual-band receiver, one that tracks satellites without a
// position, one that sends GSV before GSA and GGA, one that sends GNS and GGA every second.
#include "plots/SkyPlotDlg.h"
#include "tests/nmea/NmeaTestSupport.h"
#include "tests/plots/PlotTestSupport.h"
#include "tools/common/DecodeSession.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace {

std::vector<std::string> Fields(const std::string& sentence) {
    std::string data = sentence.substr(0, sentence.find('*'));
    std::vector<std::string> fields;
    std::istringstream in(data);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    if (!data.empty() && data.back() == ',')
        fields.push_back("");
    return fields;
}

// The type of a sentence, "GGA" in "$GPGGA,...".
std::string Type(const std::vector<std::string>& f) {
    return f[0].size() == 6 ? f[0].substr(3) : "";
}

class CReceiverCapture : public testing::Test {
protected:
    // Decodes the capture live, calling check after each dispatched sentence with its fields.
    void Decode(const char* name,
                const std::function<void(const std::vector<std::string>&)>& check) {
        std::filesystem::path path = std::filesystem::path(VELMORA_CAPTURES) / name;
        if (!std::filesystem::exists(path))
            GTEST_SKIP() << "no capture " << path;
        m_session.Prepare(FILTER_ALL, true);
        m_session.Feed(ReadFileBytes(path), [&](const CString& strSentence) {
            std::string sentence = strSentence.Bytes();
            check(Fields(sentence.substr(sentence.find('$'))));
        });
    }
    CViewerDlg& Dlg() { return m_session.Dlg(); }
    std::string Text(int nID) {
        CString str;
        Dlg().GetDlgItemText(nID, str);
        return str.Bytes();
    }

    CDecodeSession m_session;
};

// Each system's group comes once for L1 (signal 1) and once for L2 (GPS 6, GLONASS 3): after
// every epoch the SNR cells hold the L1 values.
TEST_F(CReceiverCapture, DualBandReceiverShowsThePrimarySignalsSnr) {
    std::map<int, std::string> l1Snr; // by slot
    int nL1InView = 0;
    int nEpochs = 0;
    Decode("gpsd-ublox-zed-f9p-nmea.log", [&](const std::vector<std::string>& f) {
        std::string talker = f[0].substr(1, 2);
        if (Type(f) == "GSV" && (talker == "GP" || talker == "GL") && f.back() == "1" &&
            std::stoi(f[2]) <= 3) {
            int nBase = (talker == "GL" ? 12 : 0) + 4 * (std::stoi(f[2]) - 1);
            if (talker == "GP")
                nL1InView = std::stoi(f[3]);
            for (size_t i = 0; 4 + 4 * i + 3 < f.size(); ++i) {
                const std::string& snr = f[4 + 4 * i + 3];
                l1Snr[nBase + static_cast<int>(i)] = snr.size() == 2 ? snr : "";
            }
        } else if (Type(f) == "GGA" && !l1Snr.empty()) {
            ++nEpochs;
            for (const auto& [nSlot, snr] : l1Snr)
                EXPECT_EQ(Text(CellId(nSlot, 3)), snr) << "slot " << nSlot << ", epoch " << nEpochs;
            EXPECT_EQ(Dlg().m_nGpsInView, nL1InView);
        }
    });
    if (IsSkipped())
        return;
    EXPECT_GT(nEpochs, 10);
}

// Satellites without elevation and azimuth ("08,,,15") keep off the chart, where they once
// stood on the horizon at north.
TEST_F(CReceiverCapture, PositionlessSatellitesAreNotDrawn) {
    int nChecked = 0;
    int nGsv = 0;
    QRgb bareNorth = 0;
    Decode("gpsd-quectel-l76k-nmea.log", [&](const std::vector<std::string>& f) {
        if (nGsv == 0)
            bareNorth = PaintedFrame(Dlg().m_pSkyPlot).pixel(201 - 2, 21 + 8);
        if (Type(f) != "GSV" || f[0] == "$BDGSV" || ++nGsv % 10)
            return;
        bool bPositionless = false;
        for (int s = 0; s < kSatSlots; ++s) {
            bool bNoAngle = Dlg().m_nSatElevation[s] == kNoAngle;
            EXPECT_EQ(bNoAngle, Dlg().m_nSatAzimuth[s] == kNoAngle) << "both fields empty";
            bPositionless |= !Dlg().m_strSatPrn[s].IsEmpty() && bNoAngle;
            EXPECT_FALSE(!Dlg().m_strSatPrn[s].IsEmpty() && Dlg().m_nSatElevation[s] == 0 &&
                         Dlg().m_nSatAzimuth[s] == 0);
        }
        if (!bPositionless)
            return;
        ++nChecked;
        Dlg().m_pSkyPlot->SendMessage(WM_COPYDATA, 0, 0);
        EXPECT_EQ(PaintedFrame(Dlg().m_pSkyPlot).pixel(201 - 2, 21 + 8), bareNorth)
            << "a marker at north";
    });
    if (IsSkipped())
        return;
    EXPECT_GT(nChecked, 3);
}

// GSV, then GSA, then GGA every second: the used counts are the GSA's satellites in view.
TEST_F(CReceiverCapture, UsedCountsWhateverTheSentenceOrder) {
    std::set<std::string> gsaPrns;
    int nFixEpochs = 0;
    Decode("aerorust-nmea1.log", [&](const std::vector<std::string>& f) {
        if (Type(f) == "GSA") {
            for (size_t i = 3; i < f.size() && i < 15; ++i)
                if (!f[i].empty())
                    gsaPrns.insert(f[i]);
        } else if (Type(f) == "GGA") {
            int nExpected = 0;
            for (int s = 0; s < kSatSlots; ++s)
                nExpected += gsaPrns.count(Dlg().m_strSatPrn[s].Bytes()) > 0;
            if (f.size() > 6 && !f[6].empty() && f[6] != "0") {
                ++nFixEpochs;
                EXPECT_EQ(Dlg().m_nGpsUsed + Dlg().m_nGlonassUsed, nExpected) << nFixEpochs;
                if (Dlg().m_nGpsUsed != 0) {
                    EXPECT_EQ(Text(IDC_GPS_USED), std::to_string(Dlg().m_nGpsUsed));
                }
            }
            gsaPrns.clear();
        }
    });
    if (IsSkipped())
        return;
    EXPECT_GT(nFixEpochs, 900);
}

double Seconds(const std::string& hhmmss) {
    return std::stoi(hhmmss.substr(0, 2)) * 3600 + std::stoi(hhmmss.substr(2, 2)) * 60 +
           std::stod(hhmmss.substr(4));
}

// GNS and GGA for every second: the time to fix counts seconds, not sentences.
TEST_F(CReceiverCapture, TimeToFixAdvancesOnePerSecond) {
    double dFirst = -1;
    int nChecked = 0;
    bool bFixed = false;
    Decode("gpsd-quectel-eg25-g.log", [&](const std::vector<std::string>& f) {
        bFixed |= Dlg().m_bFixValid == 1;
        if ((Type(f) != "GNS" && Type(f) != "GGA") || f[1].size() < 6 || bFixed)
            return;
        if (dFirst < 0)
            dFirst = Seconds(f[1]);
        long nCount = std::lround(Seconds(f[1]) - dFirst);
        if (nCount == 0)
            return;
        ++nChecked;
        EXPECT_EQ(Dlg().m_nTtffHours * 3600 + Dlg().m_nTtffMinutes * 60 + Dlg().m_nTtffSeconds,
                  nCount)
            << f[1];
    });
    if (IsSkipped())
        return;
    EXPECT_GT(nChecked, 20);
}

} // namespace
