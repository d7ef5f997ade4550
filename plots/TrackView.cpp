// The track update and the view fit of the track plot window.
#include "app/ViewerDlg.h"
#include "plots/TrackPlotDlg.h"

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

// Far above what a real fit needs (tens of thousands of passes for a jump of tens of kilometres).
constexpr long kMaxFitPasses = 10000000;

// A seconds field that does not read as a number counts as 0.
float ReadSeconds(const CString& strText, int nFirst, const char* pszFormat) {
    float f = 0;
    if (std::sscanf(strText.Mid(nFirst, 5), pszFormat, &f) < 1 || !std::isfinite(f))
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
    m_nLastX = m_nNewX;
    m_nLastY = m_nNewY;
}

void CTrackPlotDlg::FitView(int x, int y) {
    auto inside = [&] {
        return ScreenX(x) >= kSquareMin && ScreenX(x) <= kSquareMax && ScreenY(y) >= kSquareMin &&
               ScreenY(y) <= kSquareMax;
    };
    if (inside())
        return;
    // The fit steers by extents that bracket the origin's pixel; before the first paint of the
    // path they do not yet.
    if (!ExtentsBracketAnchor())
        MeasurePathExtents();
    for (long nPass = 0; nPass < kMaxFitPasses && !inside(); ++nPass) {
        if (ScreenX(x) < kSquareMin)
            FitLeft();
        if (ScreenX(x) > kSquareMax)
            FitRight();
        if (ScreenY(y) < kSquareMin)
            FitTop();
        if (ScreenY(y) > kSquareMax)
            FitBottom();
    }
}

bool CTrackPlotDlg::ExtentsBracketAnchor() const {
    return m_nMinX <= m_nAnchorX && m_nAnchorX <= m_nMaxX && m_nMinY <= m_nAnchorY &&
           m_nAnchorY <= m_nMaxY;
}

void CTrackPlotDlg::MeasurePathExtents() {
    // The origin's pixel is the anchor, and the first step ends on it.
    m_nMinX = m_nMaxX = m_nAnchorX;
    m_nMinY = m_nMaxY = m_nAnchorY;
    WalkPath([this](size_t, int, int, int x2, int y2) { Extend(x2, y2); });
}

void CTrackPlotDlg::ZoomOut() {
    // The origin stays on the anchor's pixel and the picture draws toward it.
    ++m_nScale;
    m_nOffsetX = m_nAnchorX - kTrackOrigin / m_nScale;
    m_nOffsetY = m_nAnchorY - kTrackOrigin / m_nScale;
}

// Each check pans when the extent on the opposite side leaves room, so that extent lands on the
// opposite edge, and zooms out otherwise.
void CTrackPlotDlg::FitLeft() {
    if (m_nMaxX < kSquareMax) {
        m_nAnchorX += kSquareMax - m_nMaxX;
        m_nOffsetX = m_nAnchorX - kTrackOrigin / m_nScale;
        m_nMaxX = kSquareMax;
    } else {
        ZoomOut();
    }
    m_nMinX = Pull(m_nMinX, m_nAnchorX);
    m_nMaxY = Pull(m_nMaxY, m_nAnchorY);
    m_nMinY = Pull(m_nMinY, m_nAnchorY);
}

void CTrackPlotDlg::FitRight() {
    if (m_nMinX > kSquareMin) {
        m_nAnchorX += kSquareMin - m_nMinX;
        m_nOffsetX = m_nAnchorX - kTrackOrigin / m_nScale;
        m_nMinX = kSquareMin;
    } else {
        ZoomOut();
    }
    m_nMaxX = Pull(m_nMaxX, m_nAnchorX);
    m_nMaxY = Pull(m_nMaxY, m_nAnchorY);
    m_nMinY = Pull(m_nMinY, m_nAnchorY);
}

void CTrackPlotDlg::FitTop() {
    bool bPan = m_nMaxY < kSquareMax;
    if (bPan) {
        m_nAnchorY += kSquareMax - m_nMaxY;
        m_nOffsetY = m_nAnchorY - kTrackOrigin / m_nScale;
        m_nMaxY = kSquareMax;
    } else {
        ZoomOut();
    }
    m_nMinX = Pull(m_nMinX, m_nAnchorX);
    m_nMinY = Pull(m_nMinY, m_nAnchorY);
    m_nMaxX = bPan ? Push(m_nMaxX, m_nAnchorX) : Pull(m_nMaxX, m_nAnchorX);
}

void CTrackPlotDlg::FitBottom() {
    if (m_nMinY > kSquareMin) {
        m_nAnchorY += kSquareMin - m_nMinY;
        m_nOffsetY = m_nAnchorY - kTrackOrigin / m_nScale;
        m_nMinY = kSquareMin;
    } else {
        ZoomOut();
    }
    m_nMinX = Pull(m_nMinX, m_nAnchorX);
    m_nMaxY = Pull(m_nMaxY, m_nAnchorY);
    m_nMaxX = Push(m_nMaxX, m_nAnchorX);
}
