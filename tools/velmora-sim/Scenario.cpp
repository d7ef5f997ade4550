#include "Scenario.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr double kStartLatitude = 39.0 + 54.3920 / 60.0;
constexpr double kStartLongitude = 116.0 + 23.7590 / 60.0;
constexpr int kGlonassPermanent = 6;
constexpr int kGlonassVisitors = 3;
constexpr int kGpsCrowd = 3;
constexpr int kUsedMask = 10; // degrees: lower satellites are tracked but not used
constexpr int kMaxUsedPerSystem = 12;
constexpr int kMinUsedForFix = 4;
constexpr int kOutageSpacing = 600;

std::vector<int> SelectUsed(std::vector<SatelliteView> vecViews) {
    vecViews.erase(std::remove_if(vecViews.begin(), vecViews.end(),
                                  [](const SatelliteView& view) {
                                      return view.m_nSnr < 0 || view.m_nElevation < kUsedMask;
                                  }),
                   vecViews.end());
    std::stable_sort(vecViews.begin(), vecViews.end(),
                     [](const SatelliteView& a, const SatelliteView& b) {
                         return a.m_nElevation > b.m_nElevation;
                     });
    std::vector<int> vecUsed;
    for (std::size_t i = 0; i < vecViews.size() && i < kMaxUsedPerSystem; ++i) {
        vecUsed.push_back(vecViews[i].m_nPrn);
    }
    std::sort(vecUsed.begin(), vecUsed.end());
    return vecUsed;
}

} // namespace

CScenario::CScenario(const ScenarioOptions& options)
    : m_options(options), m_random(options.m_nSeed), m_clock(2026, 12, 8, 8, 0, 0),
      m_route(kStartLatitude, kStartLongitude, MixBits(options.m_nSeed, 1)),
      m_gps(1, 32, MixBits(options.m_nSeed, 2)), m_glonass(65, 88, MixBits(options.m_nSeed, 3)),
      m_nEpoch(0), m_nColdStart(0), m_nOutageStart(0), m_nOutageEnd(0) {
    m_options.m_nGps = std::clamp(m_options.m_nGps, 0, kMaxGpsInView);
    m_gps.AddPermanentSlots(m_options.m_nGps);
    AddGpsCrowd();
    m_glonass.AddPermanentSlots(kGlonassPermanent);
    AddGlonassVisitors();
    m_nColdStart = m_random.NextInt(28, 34);
    m_nOutageStart = kOutageSpacing + m_random.NextInt(-90, 90);
    m_nOutageEnd = m_nOutageStart + m_random.NextInt(10, 40);
}

std::string CScenario::NextEpoch() {
    std::string strEpoch;
    AppendNextEpoch(strEpoch);
    return strEpoch;
}

std::string ScenarioStream(const ScenarioOptions& options, int nEpochs) {
    CScenario scenario(options);
    std::string strStream;
    for (int i = 0; i < nEpochs; ++i)
        scenario.AppendNextEpoch(strStream);
    return strStream;
}

void CScenario::AppendNextEpoch(std::string& strOut) {
    const EpochReport report = ObserveEpoch();
    AppendEpochSentences(strOut, report, m_options.m_bGns, m_options.m_bLowercase);
    m_clock.Advance();
    m_route.Advance();
    ++m_nEpoch;
}

// Every 900 epochs, low satellites rise one after another and set again, so the GPS
// count climbs by up to three (beyond 12 with the default count) and falls back.
void CScenario::AddGpsCrowd() {
    if (m_options.m_nGps == 0) {
        return;
    }
    for (int i = 0; i < kGpsCrowd && m_options.m_nGps + i < kMaxGpsInView; ++i) {
        m_gps.AddOptionalSlot(PeriodicWindow{300 + 20 * i, 900, 150 - 40 * i});
    }
}

// GLONASS shows 6 to 9 satellites: three visitors come and go on their own periods.
void CScenario::AddGlonassVisitors() {
    for (int i = 0; i < kGlonassVisitors; ++i) {
        const int nPeriod = m_random.NextInt(500, 1300);
        const int nLength = m_random.NextInt(nPeriod * 35 / 100, nPeriod * 60 / 100);
        m_glonass.AddOptionalSlot(
            PeriodicWindow{-m_random.NextInt(0, nPeriod - 1), nPeriod, nLength});
    }
}

// Tunnels and underpasses: every ~600 epochs the signals vanish for 10 to 40 epochs.
bool CScenario::IsSignalBlocked(int nEpoch) {
    if (nEpoch >= m_nOutageEnd) {
        m_nOutageStart += kOutageSpacing + m_random.NextInt(-90, 90);
        m_nOutageEnd = m_nOutageStart + m_random.NextInt(10, 40);
    }
    return nEpoch >= m_nOutageStart && nEpoch < m_nOutageEnd;
}

EpochReport CScenario::ObserveEpoch() {
    m_gps.Advance(m_nEpoch);
    m_glonass.Advance(m_nEpoch);
    const bool bBlocked = IsSignalBlocked(m_nEpoch);
    EpochReport report{};
    report.m_strTime = m_clock.FormatTime();
    report.m_strDate = m_clock.FormatDate();
    report.m_vecGps = m_gps.View(m_nEpoch, bBlocked);
    report.m_vecGlonass = m_glonass.View(m_nEpoch, bBlocked);
    report.m_vecGpsUsed = SelectUsed(report.m_vecGps);
    report.m_vecGlonassUsed = SelectUsed(report.m_vecGlonass);
    const std::size_t nUsed = report.m_vecGpsUsed.size() + report.m_vecGlonassUsed.size();
    report.m_bFix = m_nEpoch >= m_nColdStart && nUsed >= kMinUsedForFix;
    if (!report.m_bFix) {
        report.m_vecGpsUsed.clear();
        report.m_vecGlonassUsed.clear();
    }
    report.m_dLatitude = m_route.Latitude();
    report.m_dLongitude = m_route.Longitude();
    report.m_dAltitude = m_route.Altitude();
    report.m_dSpeedKmh = m_route.SpeedKmh();
    report.m_dCourse = m_route.Course();
    FillDop(report);
    return report;
}

// More satellites in use give a better geometry; a slow wave keeps the values alive.
void CScenario::FillDop(EpochReport& report) const {
    const std::size_t nUsed = report.m_vecGpsUsed.size() + report.m_vecGlonassUsed.size();
    const double dUsed = std::max(1.0, static_cast<double>(nUsed));
    const double dWave = 0.15 * std::sin(m_nEpoch / 97.0);
    report.m_dPdop = 1.0 + 8.0 / dUsed + dWave;
    report.m_dHdop = report.m_dPdop * 0.55;
    report.m_dVdop = report.m_dPdop * 0.8;
}

} // namespace sim
