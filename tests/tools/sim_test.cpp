// The scenario generator: sentence format, determinism, the story of a drive, record files.
#include "RecordFile.h"
#include "Route.h"
#include "Runner.h"
#include "Scenario.h"
#include "UtcClock.h"
#include "core/LineEndings.h"
#include "core/Nmea.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace sim;
using vbase::HasValidChecksum;

namespace {

using Fields = std::vector<std::string>;

std::vector<std::string> SplitLines(const std::string& strStream) {
    std::vector<std::string> vecLines;
    std::size_t nStart = 0;
    for (std::size_t nEnd; (nEnd = strStream.find("\r\n", nStart)) != std::string::npos;
         nStart = nEnd + 2) {
        vecLines.push_back(strStream.substr(nStart, nEnd - nStart));
    }
    return vecLines;
}

// Data fields of "$ADDR,f1,f2*HH", the address first.
Fields SplitFields(const std::string& strSentence) {
    Fields vecFields(1);
    for (char c : strSentence.substr(1, strSentence.rfind('*') - 1)) {
        if (c == ',') {
            vecFields.emplace_back();
        } else {
            vecFields.back() += c;
        }
    }
    return vecFields;
}

std::vector<Fields> EpochSentences(CScenario& scenario) {
    std::vector<Fields> vecSentences;
    for (const std::string& strLine : SplitLines(scenario.NextEpoch())) {
        vecSentences.push_back(SplitFields(strLine));
    }
    return vecSentences;
}

std::vector<Fields> OfType(const std::vector<Fields>& vecEpoch, const std::string& strAddress) {
    std::vector<Fields> vecFound;
    std::copy_if(vecEpoch.begin(), vecEpoch.end(), std::back_inserter(vecFound),
                 [&](const Fields& f) { return f[0] == strAddress; });
    return vecFound;
}

double ParseAngle(const std::string& strField, int nDegreeDigits) {
    return std::stod(strField.substr(0, nDegreeDigits)) +
           std::stod(strField.substr(nDegreeDigits)) / 60.0;
}

// GSV satellites of one system, checked for consistency between the messages on the way.
struct Sky {
    int m_nInView = 0;
    std::vector<int> m_vecPrns;
};

Sky CheckGsv(const std::vector<Fields>& vecMessages, int nFirstPrn, int nLastPrn) {
    Sky sky;
    const int nTotal = std::stoi(vecMessages.at(0).at(1));
    EXPECT_EQ(nTotal, static_cast<int>(vecMessages.size()));
    sky.m_nInView = std::stoi(vecMessages[0][3]);
    EXPECT_EQ(nTotal, std::max(1, (sky.m_nInView + 3) / 4));
    for (int nMessage = 0; nMessage < nTotal; ++nMessage) {
        const Fields& fields = vecMessages[static_cast<std::size_t>(nMessage)];
        EXPECT_EQ(std::stoi(fields[2]), nMessage + 1);
        EXPECT_EQ(std::stoi(fields[3]), sky.m_nInView);
        const int nSatellites = std::min(4, sky.m_nInView - 4 * nMessage);
        EXPECT_EQ(fields.size(), 4 + 4 * static_cast<std::size_t>(nSatellites));
        for (std::size_t i = 4; i + 3 < fields.size(); i += 4) {
            EXPECT_EQ(fields[i].size(), 2u);
            EXPECT_EQ(fields[i + 1].size(), 2u);
            EXPECT_EQ(fields[i + 2].size(), 3u);
            const int nPrn = std::stoi(fields[i]);
            EXPECT_TRUE(nPrn >= nFirstPrn && nPrn <= nLastPrn) << nPrn;
            EXPECT_LE(std::stoi(fields[i + 1]), 90);
            EXPECT_LE(std::stoi(fields[i + 2]), 359);
            if (!fields[i + 3].empty()) {
                EXPECT_EQ(fields[i + 3].size(), 2u);
                EXPECT_TRUE(std::stoi(fields[i + 3]) >= 20 && std::stoi(fields[i + 3]) <= 50);
            }
            sky.m_vecPrns.push_back(nPrn);
        }
    }
    EXPECT_EQ(std::set<int>(sky.m_vecPrns.begin(), sky.m_vecPrns.end()).size(),
              sky.m_vecPrns.size());
    return sky;
}

std::vector<int> UsedPrns(const Fields& gsa) {
    std::vector<int> vecUsed;
    for (std::size_t i = 3; i < 15; ++i) {
        if (!gsa.at(i).empty()) {
            vecUsed.push_back(std::stoi(gsa[i]));
        }
    }
    return vecUsed;
}

} // namespace

TEST(SimScenario, EverySentenceHasValidChecksumAndCrLf) {
    for (bool bLowercase : {false, true}) {
        ScenarioOptions options;
        options.m_bLowercase = bLowercase;
        const std::string strStream = ScenarioStream(options, 1500);
        ASSERT_EQ(strStream.compare(strStream.size() - 2, 2, "\r\n"), 0);
        const std::vector<std::string> vecLines = SplitLines(strStream);
        std::size_t nBytes = 0;
        for (const std::string& strLine : vecLines) {
            nBytes += strLine.size() + 2;
            ASSERT_TRUE(HasValidChecksum(strLine)) << strLine;
            ASSERT_EQ(strLine.find_first_of("\r\n$", 1), std::string::npos) << strLine;
            const std::string strDigits = strLine.substr(strLine.size() - 2);
            const char* pszWrongCase = bLowercase ? "ABCDEF" : "abcdef";
            ASSERT_EQ(strDigits.find_first_of(pszWrongCase), std::string::npos) << strLine;
        }
        EXPECT_EQ(nBytes, strStream.size());
    }
}

TEST(SimScenario, SeedDecidesTheStream) {
    ScenarioOptions options;
    const std::string strFirst = ScenarioStream(options, 700);
    EXPECT_EQ(strFirst, ScenarioStream(options, 700));
    options.m_nSeed = 2;
    EXPECT_NE(strFirst, ScenarioStream(options, 700));
}

TEST(SimScenario, EpochHoldsSentencesInReceiverOrder) {
    for (bool bGns : {false, true}) {
        ScenarioOptions options;
        options.m_bGns = bGns;
        CScenario scenario(options);
        for (int nEpoch = 0; nEpoch < 200; ++nEpoch) {
            const std::vector<Fields> vecEpoch = EpochSentences(scenario);
            std::string strOrder;
            std::string strPrevious;
            for (const Fields& fields : vecEpoch) {
                if (fields[0] != strPrevious) {
                    strOrder += fields[0] + " ";
                }
                strPrevious = fields[0];
            }
            const std::string strFirst = bGns ? "GNGNS " : "GPGGA ";
            EXPECT_EQ(strOrder, strFirst + "GPGSA GLGSA GPGSV GLGSV GPRMC GPVTG ");
            if (bGns) {
                EXPECT_EQ(vecEpoch[0][6], vecEpoch[0][2].empty() ? "NN" : "AA");
            }
        }
    }
}

// The story: a cold start, fixes along a road, the fix lost and regained.
TEST(SimScenario, ColdStartThenMovingFixWithLossAndRegain) {
    CScenario scenario(ScenarioOptions{});
    int nFirstFix = -1;
    int nLosses = 0;
    int nRegains = 0;
    bool bPreviousFix = false;
    double dPrevLat = 0.0;
    double dPrevLon = 0.0;
    for (int nEpoch = 0; nEpoch < 2000; ++nEpoch) {
        const Fields gga = OfType(EpochSentences(scenario), "GPGGA").at(0);
        const bool bFix = gga[6] != "0";
        if (!bFix) {
            EXPECT_EQ(gga[2] + gga[3] + gga[4] + gga[5], "");
            EXPECT_EQ(gga[7], "00");
            EXPECT_EQ(gga[1].size(), 9u);
        } else {
            EXPECT_EQ(gga[2].size(), 9u);
            EXPECT_EQ(gga[4].size(), 10u);
            const double dLat = ParseAngle(gga[2], 2);
            const double dLon = ParseAngle(gga[4], 3);
            if (nFirstFix < 0) {
                nFirstFix = nEpoch;
                EXPECT_LT(DistanceMetres(dLat, dLon, 39.0 + 54.392 / 60, 116.0 + 23.759 / 60),
                          2000.0);
            }
            if (bPreviousFix) {
                EXPECT_LT(DistanceMetres(dPrevLat, dPrevLon, dLat, dLon), 30.0) << nEpoch;
            }
            nRegains += !bPreviousFix && nFirstFix != nEpoch;
            dPrevLat = dLat;
            dPrevLon = dLon;
        }
        nLosses += bPreviousFix && !bFix;
        bPreviousFix = bFix;
    }
    EXPECT_GE(nFirstFix, 20);
    EXPECT_LE(nFirstFix, 45);
    EXPECT_GE(nLosses, 1);
    EXPECT_GE(nRegains, 1);
}

TEST(SimScenario, SatelliteMessagesAgreeAndGsaUsesSatellitesInView) {
    for (int nGps : {0, 10, 14, 16}) {
        ScenarioOptions options;
        options.m_nGps = nGps;
        CScenario scenario(options);
        int nMostGps = 0;
        std::set<int> setGlonassCounts;
        for (int nEpoch = 0; nEpoch < 1000; ++nEpoch) {
            const std::vector<Fields> vecEpoch = EpochSentences(scenario);
            const Sky gps = CheckGsv(OfType(vecEpoch, "GPGSV"), 1, 32);
            const Sky glonass = CheckGsv(OfType(vecEpoch, "GLGSV"), 65, 88);
            EXPECT_GE(gps.m_nInView, nGps);
            nMostGps = std::max(nMostGps, gps.m_nInView);
            setGlonassCounts.insert(glonass.m_nInView);
            if (nGps >= 13) {
                EXPECT_EQ(OfType(vecEpoch, "GPGSV").size(), 4u);
            }
            const std::vector<int> vecGpsUsed = UsedPrns(OfType(vecEpoch, "GPGSA").at(0));
            const std::vector<int> vecGlonassUsed = UsedPrns(OfType(vecEpoch, "GLGSA").at(0));
            for (int nPrn : vecGpsUsed) {
                EXPECT_NE(std::find(gps.m_vecPrns.begin(), gps.m_vecPrns.end(), nPrn),
                          gps.m_vecPrns.end());
            }
            for (int nPrn : vecGlonassUsed) {
                EXPECT_NE(std::find(glonass.m_vecPrns.begin(), glonass.m_vecPrns.end(), nPrn),
                          glonass.m_vecPrns.end());
            }
            const Fields gga = OfType(vecEpoch, "GPGGA").at(0);
            EXPECT_EQ(std::stoi(gga[7]),
                      static_cast<int>(vecGpsUsed.size() + vecGlonassUsed.size()));
        }
        EXPECT_LE(nMostGps, 16);
        EXPECT_GE(*setGlonassCounts.begin(), 6);
        EXPECT_LE(*setGlonassCounts.rbegin(), 9);
        EXPECT_GE(setGlonassCounts.size(), 2u) << "GLONASS count should vary";
        if (nGps == 10) {
            EXPECT_GT(nMostGps, 12) << "the default sky should at times exceed 12 GPS satellites";
        }
    }
}

TEST(SimScenario, MotionAgreesAcrossRmcAndVtg) {
    CScenario scenario(ScenarioOptions{});
    for (int nEpoch = 0; nEpoch < 300; ++nEpoch) {
        const std::vector<Fields> vecEpoch = EpochSentences(scenario);
        const Fields rmc = OfType(vecEpoch, "GPRMC").at(0);
        const Fields vtg = OfType(vecEpoch, "GPVTG").at(0);
        EXPECT_EQ(rmc[1], OfType(vecEpoch, "GPGGA").at(0)[1]);
        if (rmc[2] != "A") {
            EXPECT_EQ(rmc[3] + rmc[7] + vtg[1] + vtg[7], "");
            continue;
        }
        const double dKmh = std::stod(vtg[7]);
        EXPECT_TRUE(dKmh >= 30.0 && dKmh <= 60.0) << dKmh;
        EXPECT_NEAR(std::stod(rmc[7]) * 1.852, dKmh, 0.02);
        EXPECT_EQ(rmc[8], vtg[1]);
        EXPECT_EQ(vtg[2] + vtg[4] + vtg[6] + vtg[8] + vtg[9], "TMNKA");
    }
}

TEST(SimScenario, TimeAdvancesOneSecondPerEpoch) {
    CScenario scenario(ScenarioOptions{});
    for (const char* pszTime : {"080000.00", "080001.00", "080002.00"}) {
        const std::vector<Fields> vecEpoch = EpochSentences(scenario);
        EXPECT_EQ(OfType(vecEpoch, "GPGGA").at(0)[1], pszTime);
        EXPECT_EQ(OfType(vecEpoch, "GPRMC").at(0)[9], "081226");
    }
}

TEST(SimClock, DateTurnsAtMidnightUtc) {
    struct Case {
        int m_nYear, m_nMonth, m_nDay;
        const char* m_pszBefore;
        const char* m_pszAfter;
    };
    const Case cases[] = {
        {2026, 12, 8, "081226", "091226"},
        {2026, 12, 31, "311226", "010127"},
        {2028, 2, 28, "280228", "290228"},
        {2100, 2, 28, "280200", "010300"},
    };
    for (const Case& test : cases) {
        CUtcClock clock(test.m_nYear, test.m_nMonth, test.m_nDay, 23, 59, 59);
        EXPECT_EQ(clock.FormatTime() + " " + clock.FormatDate(),
                  std::string("235959.00 ") + test.m_pszBefore);
        clock.Advance();
        EXPECT_EQ(clock.FormatTime() + " " + clock.FormatDate(),
                  std::string("000000.00 ") + test.m_pszAfter);
    }
}

TEST(SimRecord, FileHoldsTheStreamWithCrCrLfEndings) {
    char szPath[] = "/tmp/velmora-sim-record-XXXXXX";
    const int nFd = mkstemp(szPath);
    ASSERT_GE(nFd, 0);
    close(nFd);
    const char* argv[] = {"velmora-sim", "--write", szPath, "--epochs", "40", "--lowercase"};
    std::ostringstream out, err;
    ASSERT_EQ(RunCommandLine(6, argv, out, err), 0) << err.str();

    std::ifstream file(szPath, std::ios::binary);
    const std::string strFile{std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>()};
    std::remove(szPath);
    ScenarioOptions options;
    options.m_bLowercase = true;
    const std::string strWire = ScenarioStream(options, 40);
    std::size_t nLineFeeds = 0;
    for (std::size_t i = 0; i < strFile.size(); ++i) {
        if (strFile[i] == '\n') {
            ++nLineFeeds;
            ASSERT_GE(i, 2u);
            ASSERT_EQ(strFile.compare(i - 2, 2, "\r\r"), 0) << "lone LF at " << i;
        }
    }
    EXPECT_EQ(nLineFeeds, SplitLines(strWire).size());
    EXPECT_EQ(strFile.size(), strWire.size() + nLineFeeds);
    EXPECT_EQ(strFile, vbase::RecordFormat(strWire));
}
