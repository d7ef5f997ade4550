// Every real capture decodes, and the shown position always converts back to the degrees and
// minutes of the last GGA, GNS or RMC that carried one.
#include "tests/nmea/NmeaTestSupport.h"
#include "tools/common/DecodeSession.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

std::vector<std::string> Fields(const std::string& sentence) {
    if (sentence.find('$') == std::string::npos)
        return {""};
    std::string data = sentence.substr(sentence.find('$'));
    data = data.substr(0, data.find('*'));
    std::vector<std::string> fields;
    std::istringstream in(data);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    return fields;
}

// A position field and its hemisphere as the sentence gives them.
struct Angle {
    std::string field;
    std::string hemisphere;
    int nDegreeDigits;

    bool WellFormed() const {
        size_t nPoint = static_cast<size_t>(nDegreeDigits) + 2;
        return field.size() >= nPoint + 2 && field[nPoint] == '.' && hemisphere.size() == 1;
    }
    // In seconds of arc.
    double FieldSeconds() const {
        double dDegrees = std::atof(field.substr(0, nDegreeDigits).c_str());
        return dDegrees * 3600 + std::atof(field.substr(nDegreeDigits).c_str()) * 60;
    }
};

// Degrees, minutes and seconds of a display text, in seconds of arc.
double TextSeconds(const std::string& text, int nDegreeAt, int nDegreeDigits) {
    int nMinutesAt = nDegreeAt + nDegreeDigits + 3;
    return std::atof(text.substr(nDegreeAt, nDegreeDigits).c_str()) * 3600 +
           std::atof(text.substr(nMinutesAt, 2).c_str()) * 60 +
           std::atof(text.substr(nMinutesAt + 4, 5).c_str());
}

void ExpectShows(const Angle& angle, const CString& strText, int nDegreeAt, const char* what) {
    std::string text = strText.Bytes();
    ASSERT_EQ(text.size(), static_cast<size_t>(nDegreeAt + angle.nDegreeDigits + 13)) << what;
    EXPECT_EQ(text.substr(0, 1), angle.hemisphere) << what;
    EXPECT_EQ(text.substr(nDegreeAt + angle.nDegreeDigits, 2), kDeg) << what;
    EXPECT_NEAR(TextSeconds(text, nDegreeAt, angle.nDegreeDigits), angle.FieldSeconds(), 0.0051)
        << what << " " << angle.field << " shown as " << text;
}

TEST(CaptureRegression, PositionsAgreeWithTheSentences) {
    std::filesystem::path folder = VELMORA_CAPTURES;
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "no captures in " << folder;
    int nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".log")
            continue;
        ++nFiles;
        SCOPED_TRACE(entry.path().filename().string());
        CDecodeSession session;
        session.Prepare(FILTER_ALL, false);
        CViewerDlg& dlg = session.Dlg();
        Angle lat{"", "", 2}, lon{"", "", 3};
        int nSentences = 0;
        session.Feed(ReadFileBytes(entry.path()), [&](const CString& strSentence) {
            ++nSentences;
            std::vector<std::string> f = Fields(strSentence.Bytes());
            std::string type = f[0].size() == 6 ? f[0].substr(3) : "";
            size_t nLat = type == "RMC" ? 3 : (type == "GGA" || type == "GNS") ? 2 : 0;
            if (nLat && f.size() > nLat + 3) {
                Angle sentLat{f[nLat], f[nLat + 1], 2}, sentLon{f[nLat + 2], f[nLat + 3], 3};
                if (sentLat.WellFormed())
                    lat = sentLat;
                if (sentLon.WellFormed())
                    lon = sentLon;
            }
            if (lat.WellFormed())
                ExpectShows(lat, dlg.m_strLatitude, 4, strSentence);
            if (lon.WellFormed())
                ExpectShows(lon, dlg.m_strLongitude, 2, strSentence);
            for (const CString& strPrn : dlg.m_strSatPrn)
                EXPECT_LE(strPrn.GetLength(), 2);
        });
        EXPECT_GT(nSentences, 0);
        EXPECT_TRUE(session.Boxes().empty());
    }
    EXPECT_GT(nFiles, 0);
}

} // namespace
