// The track update and the view fit of the track plot window.
#include "app/ViewerDlg.h"
#include "plots/TrackPlotDlg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Kilometres per degree, minute and second of longitude and latitude.
constexpr double kLonKmPerDegree = 111.2;
constexpr double kLonKmPerMinute = 1.853;
constexpr double kLonKmPerSecond = 0.0309;
constexpr double kLatKmPerDegree = 110.94;
constexpr double kLatKmPerMinute = 1.849;
constexpr double kLatKmPerSecond = 0.0308;
constexpr double kMetresPerKm = 1000;

// Five digits of seconds hold no more; a number beyond (written with an exponent) is no reading
// of seconds, and would make a step of more metres than an int holds.
constexpr float kMaxSeconds = 99999;

// A seconds field that does not read as a number of seconds counts as 0.
float ReadSeconds(const CString& strText, int nFirst, const char* pszFormat) {
    float f = 0;
    if (std::sscanf(strText.Mid(nFirst, 5), pszFormat, &f) < 1 || !(std::fabs(f) <= kMaxSeconds))
        return 0;
    return f;
}

} // namespace

// A fix as read at the fixed byte positions of the latitude and longitude texts.
struct CTrackPlotDlg::FixValues {
    int nLatDeg;
    int nLatMin;
    float fLatSec;
    int nLonDeg;
    int nLonMin;
    float fLonSec;

    FixValues(const CViewerDlg& main, const char* pszSecondsFormat)
        : nLatDeg(std::atoi(main.m_strLatitude.Mid(4, 2))),
          nLatMin(std::atoi(main.m_strLatitude.Mid(9, 2))),
          fLatSec(ReadSeconds(main.m_strLatitude, 13, pszSecondsFormat)),
          nLonDeg(std::atoi(main.m_strLongitude.Mid(2, 3))),
          nLonMin(std::atoi(main.m_strLongitude.Mid(8, 2))),
          fLonSec(ReadSeconds(main.m_strLongitude, 12, pszSecondsFormat)) {}
};

void CTrackPlotDlg::UpdateTrack(const CViewerDlg& main) {
    const FixValues fix(main, "%f");
    // The sine table has no cosine for such a latitude: the fix is left out.
    if (fix.nLatDeg < 0 || fix.nLatDeg > 90)
        return;
    if (m_bFirstFix == 1) {
        TakePreviousFix(FixValues(main, "%f.4"));
        m_bFirstFix = 0;
        m_nLastX = kTrackOrigin;
        m_nLastY = kTrackOrigin;
    }
    // Each step is truncated on its own; east-west distances shrink with the previous latitude.
    double east =
        ((fix.fLonSec - m_fLonSec) * kLonKmPerSecond + (fix.nLonDeg - m_nLonDeg) * kLonKmPerDegree +
         (fix.nLonMin - m_nLonMin) * kLonKmPerMinute) *
        m_dSinTable[90 - m_nLatDeg] * kMetresPerKm;
    double north =
        ((fix.fLatSec - m_fLatSec) * kLatKmPerSecond + (fix.nLatDeg - m_nLatDeg) * kLatKmPerDegree +
         (fix.nLatMin - m_nLatMin) * kLatKmPerMinute) *
        kMetresPerKm;
    TakePreviousFix(fix);
    AddStep(static_cast<int>(east), static_cast<int>(north));
}

void CTrackPlotDlg::TakePreviousFix(const FixValues& fix) {
    m_nLatDeg = fix.nLatDeg;
    m_nLatMin = fix.nLatMin;
    m_fLatSec = fix.fLatSec;
    m_nLonDeg = fix.nLonDeg;
    m_nLonMin = fix.nLonMin;
    m_fLonSec = fix.fLonSec;
}

void CTrackPlotDlg::AddStep(int nStepEast, int nStepNorth) {
    m_nStepEast = nStepEast;
    m_nStepNorth = nStepNorth;
    m_nNewX = m_nLastX + nStepEast;
    m_nNewY = m_nLastY - nStepNorth;
    FitView(m_nNewX, m_nNewY);
    m_points.push_back(std::make_unique<CTrackStep>(nStepEast, nStepNorth));
    m_nPathEndX += nStepEast;
    m_nPathEndY -= nStepNorth;
    m_pathBox.Include(m_nPathEndX, m_nPathEndY);
    m_nLastX = m_nNewX;
    m_nLastY = m_nNewY;
}

void CTrackPlotDlg::FitView(long long x, long long y) {
    if (Contains(x, y))
        return;
    // The fit steers by extents that bracket the origin's pixel; before the first paint of the
    // path they do not yet.
    if (!ExtentsBracketAnchor())
        MeasurePathExtents();
    Fit(x, y);
}

void CTrackPlotDlg::MeasurePathExtents() {
    // The origin's pixel is the anchor, and the first step ends on it. Screen coordinates grow
    // with track coordinates, so the path's box gives its extents.
    CBoundingBox extents = CBoundingBox::Around(m_nAnchorX, m_nAnchorY);
    if (!m_points.empty()) {
        extents.Include(ScreenX(m_pathBox.nMinX), ScreenY(m_pathBox.nMinY));
        extents.Include(ScreenX(m_pathBox.nMaxX), ScreenY(m_pathBox.nMaxY));
    }
    SetExtents(extents);
}
