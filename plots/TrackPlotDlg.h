// The track plot: the valid fixes as a path of steps in whole metres, drawn on a grid at a scale
// that pans and zooms out to keep the newest fix in view, beside the newest step as a vector.
// Its mouse buttons step the main window's replay speed.
#pragma once

#include "platform/Dialog.h"
#include "plots/SinTable.h"
#include "plots/TrackStep.h"

#include <memory>
#include <vector>

class CViewerDlg;

// Track coordinates of the origin, and the plotting square in client pixels (bounds included).
constexpr int kTrackOrigin = 210;
constexpr int kSquareMin = 10;
constexpr int kSquareMax = 410;

class CTrackPlotDlg : public CDialog {
public:
    explicit CTrackPlotDlg(CWnd* pParent = nullptr);
    ~CTrackPlotDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Initialisation: a new background picture and the view reset; stored steps stay.
    void DoDataExchange(CDataExchange* pDX) override;
    // The paint: texts, step vector and path over the background, then the extent readout.
    BOOL OnEraseBkgnd(CDC* pDC) override;
    // The refresh notification: a valid fix adds a step, then the window repaints.
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    void OnLButtonDblClk(UINT nFlags, CPoint point) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    void OnClose() override;

    // The track update: the change since the previous fix as a step in metres.
    void UpdateTrack(const CViewerDlg& main);
    // Adds a step to the path after fitting the view to its end point.
    void AddStep(int nStepEast, int nStepNorth);
    // Pans or zooms out until the track point (x, y) lies inside the plotting square.
    void FitView(int x, int y);
    int ScreenX(int x) const { return x / m_nScale + m_nOffsetX; }
    int ScreenY(int y) const { return y / m_nScale + m_nOffsetY; }

    HICON m_hIcon = nullptr;
    int m_nLastX = kTrackOrigin;
    int m_nLastY = kTrackOrigin;
    int m_nNewX = kTrackOrigin;
    int m_nNewY = kTrackOrigin;
    int m_nScale = 1;
    int m_bFirstFix = 1;
    int m_nStepEast = 0;
    int m_nStepNorth = 0;
    // As a paint of an empty path leaves them.
    int m_nMinY = kSquareMax;
    int m_nMaxY = kSquareMin;
    int m_nMinX = kSquareMax;
    int m_nMaxX = kSquareMin;
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
    int m_nAnchorX = kTrackOrigin;
    int m_nAnchorY = kTrackOrigin;
    int m_nSpeedLevel = 0;
    int m_nLatDeg = 0;
    int m_nLatMin = 0;
    float m_fLatSec = 0;
    int m_nLonDeg = 0;
    int m_nLonMin = 0;
    float m_fLonSec = 0;
    const double* const m_dSinTable = kSinTable;
    std::vector<std::unique_ptr<CTrackStep>> m_points;
    CDC m_dcBackground;
    CBitmap m_bmpBackground;

private:
    struct FixValues;

    void DrawBackground(int nWidth, int nHeight);
    void ResetView();
    void DrawPositionTexts(CDC& dc, const CViewerDlg& main);
    void DrawScaleLabels(CDC& dc);
    void DrawStepVector(CDC& dc);
    void DrawPath(CDC& dc);
    void DrawExtentReadout();
    void SetReplayPeriod(CViewerDlg& main);

    void TakePreviousFix(const FixValues& fix);
    bool ExtentsBracketAnchor() const;
    void MeasurePathExtents();
    void Extend(int sx, int sy);
    void FitLeft();
    void FitRight();
    void FitTop();
    void FitBottom();
    void ZoomOut();
    int Pull(int v, int c) const { return v + (c - v) / m_nScale; }
    int Push(int v, int c) const { return v - (c - v) / m_nScale; }

    // Calls visit(i, x1, y1, x2, y2) with the screen segment of each stored step, oldest first.
    template <typename Visit> void WalkPath(Visit visit) const {
        int x = kTrackOrigin;
        int y = kTrackOrigin;
        for (size_t i = 0; i < m_points.size(); ++i) {
            int x2 = x + m_points[i]->m_nDx;
            int y2 = y - m_points[i]->m_nDy;
            visit(i, ScreenX(x), ScreenY(y), ScreenX(x2), ScreenY(y2));
            x = x2;
            y = y2;
        }
    }
};
