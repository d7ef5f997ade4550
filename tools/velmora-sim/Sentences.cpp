#include "Sentences.h"

#include "core/Nmea.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sim {

using vbase::CSentenceBuilder;

namespace {

constexpr double kKnotsPerKmh = 1.0 / 1.852;
constexpr int kSatellitesPerGsv = 4;
constexpr int kPrnFieldsPerGsa = 12;
constexpr const char* kNoFixDop = "99.99";

std::string FormatAngle(double dDegrees, int nDegreeDigits) {
    const long long nTenThousandths = std::llround(std::fabs(dDegrees) * 600000.0);
    char szBuffer[32];
    std::snprintf(szBuffer, sizeof szBuffer, "%0*lld%02lld.%04lld", nDegreeDigits,
                  nTenThousandths / 600000, nTenThousandths % 600000 / 10000,
                  nTenThousandths % 10000);
    return szBuffer;
}

// A course that would print as 360.00 is printed as 0.00.
double PrintableCourse(double dCourse) {
    return std::lround(dCourse * 100.0) >= 36000 ? 0.0 : dCourse;
}

void AppendPosition(CSentenceBuilder& builder, const EpochReport& report) {
    if (!report.m_bFix) {
        builder.Empty(4);
        return;
    }
    builder.Text(FormatLatitude(report.m_dLatitude)).Text(report.m_dLatitude < 0 ? "S" : "N");
    builder.Text(FormatLongitude(report.m_dLongitude)).Text(report.m_dLongitude < 0 ? "W" : "E");
}

int UsedCount(const EpochReport& report) {
    return static_cast<int>(report.m_vecGpsUsed.size() + report.m_vecGlonassUsed.size());
}

void AppendGga(CSentenceBuilder& builder, const EpochReport& report) {
    builder.Begin("GPGGA").Text(report.m_strTime);
    AppendPosition(builder, report);
    builder.Number(report.m_bFix ? 1 : 0, 1).Number(UsedCount(report), 2);
    if (report.m_bFix) {
        builder.Fixed(report.m_dHdop, 1)
            .Fixed(report.m_dAltitude, 1)
            .Text("M")
            .Text("-8.5")
            .Text("M");
    } else {
        builder.Text(kNoFixDop).Empty(4);
    }
    builder.Empty(2).End();
}

void AppendGns(CSentenceBuilder& builder, const EpochReport& report) {
    builder.Begin("GNGNS").Text(report.m_strTime);
    AppendPosition(builder, report);
    std::string strMode = "NN";
    if (report.m_bFix) {
        strMode[0] = report.m_vecGpsUsed.empty() ? 'N' : 'A';
        strMode[1] = report.m_vecGlonassUsed.empty() ? 'N' : 'A';
    }
    builder.Text(strMode).Number(UsedCount(report), 2);
    if (report.m_bFix) {
        builder.Fixed(report.m_dHdop, 1).Fixed(report.m_dAltitude, 1).Text("-8.5");
    } else {
        builder.Text(kNoFixDop).Empty(2);
    }
    builder.Empty(2).End();
}

void AppendGsa(CSentenceBuilder& builder, const char* pszAddress, const EpochReport& report,
               const std::vector<int>& vecUsed) {
    builder.Begin(pszAddress).Text("A").Number(report.m_bFix ? 3 : 1, 1);
    for (int nPrn : vecUsed) {
        builder.Number(nPrn, 2);
    }
    builder.Empty(kPrnFieldsPerGsa - static_cast<int>(vecUsed.size()));
    if (report.m_bFix) {
        builder.Fixed(report.m_dPdop, 1).Fixed(report.m_dHdop, 1).Fixed(report.m_dVdop, 1);
    } else {
        builder.Text(kNoFixDop).Text(kNoFixDop).Text(kNoFixDop);
    }
    builder.End();
}

void AppendGsv(CSentenceBuilder& builder, const char* pszAddress,
               const std::vector<SatelliteView>& vecViews) {
    const int nInView = static_cast<int>(vecViews.size());
    const int nMessages = nInView == 0 ? 1 : (nInView + kSatellitesPerGsv - 1) / kSatellitesPerGsv;
    for (int nMessage = 0; nMessage < nMessages; ++nMessage) {
        builder.Begin(pszAddress).Number(nMessages, 1).Number(nMessage + 1, 1).Number(nInView, 2);
        const int nEnd = std::min(nInView, (nMessage + 1) * kSatellitesPerGsv);
        for (int i = nMessage * kSatellitesPerGsv; i < nEnd; ++i) {
            const SatelliteView& view = vecViews[static_cast<std::size_t>(i)];
            builder.Number(view.m_nPrn, 2).Number(view.m_nElevation, 2).Number(view.m_nAzimuth, 3);
            if (view.m_nSnr < 0) {
                builder.Empty();
            } else {
                builder.Number(view.m_nSnr, 2);
            }
        }
        builder.End();
    }
}

void AppendRmc(CSentenceBuilder& builder, const EpochReport& report) {
    builder.Begin("GPRMC").Text(report.m_strTime).Text(report.m_bFix ? "A" : "V");
    AppendPosition(builder, report);
    if (report.m_bFix) {
        builder.Fixed(report.m_dSpeedKmh * kKnotsPerKmh, 2)
            .Fixed(PrintableCourse(report.m_dCourse), 2);
    } else {
        builder.Empty(2);
    }
    builder.Text(report.m_strDate).Empty(2).Text(report.m_bFix ? "A" : "N").End();
}

void AppendVtg(CSentenceBuilder& builder, const EpochReport& report) {
    builder.Begin("GPVTG");
    if (report.m_bFix) {
        builder.Fixed(PrintableCourse(report.m_dCourse), 2).Text("T").Empty().Text("M");
        builder.Fixed(report.m_dSpeedKmh * kKnotsPerKmh, 2).Text("N");
        builder.Fixed(report.m_dSpeedKmh, 2).Text("K").Text("A");
    } else {
        builder.Empty().Text("T").Empty().Text("M").Empty().Text("N").Empty().Text("K").Text("N");
    }
    builder.End();
}

} // namespace

std::string FormatLatitude(double dDegrees) {
    return FormatAngle(dDegrees, 2);
}

std::string FormatLongitude(double dDegrees) {
    return FormatAngle(dDegrees, 3);
}

void AppendEpochSentences(std::string& strOut, const EpochReport& report, bool bGns,
                          bool bLowercase) {
    CSentenceBuilder builder(strOut, bLowercase);
    if (bGns) {
        AppendGns(builder, report);
    } else {
        AppendGga(builder, report);
    }
    AppendGsa(builder, "GPGSA", report, report.m_vecGpsUsed);
    AppendGsa(builder, "GLGSA", report, report.m_vecGlonassUsed);
    AppendGsv(builder, "GPGSV", report.m_vecGps);
    AppendGsv(builder, "GLGSV", report.m_vecGlonass);
    AppendRmc(builder, report);
    AppendVtg(builder, report);
}

} // namespace sim
