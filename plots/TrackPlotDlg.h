// The track plot: the valid fixes as a path of steps in whole metres, drawn on a grid at a scale
// that pans and zooms out to keep the newest fix in view, beside the newest step as a vector.
// Its mouse buttons step the main window's replay speed.
#pragma once

#include "plots/PlotDlg.h"
#include "plots/TrackFit.h"
#include "plots/TrackPath.h"
#include "plots/TrackStep.h"

class CViewerDlg;

class CTrackPlotDlg : public CPlotDlg, public CTrackView {
public:
    explicit CTrackPlotDlg(CWnd* pParent = nullptr);

    // Initialisation: a new background picture and the view reset; stored steps stay.
    void DoDataExchange(CDataExchange* pDX) override;
    // The paint: texts, step vector and path over the background, then the extent readout.
    BOOL OnEraseBkgnd(CDC* pDC) override;
    // The refresh notification: a valid fix adds a step, then the window repaints.
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDblClk(UINT nFlags, CPoint point) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    void OnClose() override;

    // The track update: the change since the previous fix as a step in metres.
    void UpdateTrack(const CViewerDlg& main);
    // Adds a step to the path after fitting the view to its end point.
    void AddStep(int nStepEast, int nStepNorth);
    // Pans or zooms out until the track point (x, y) lies inside the plotting square.
    void FitView(long long x, long long y);

    long long m_nLastX = kTrackOrigin;
    long long m_nLastY = kTrackOrigin;
    long long m_nNewX = kTrackOrigin;
    long long m_nNewY = kTrackOrigin;
    int m_bFirstFix = 1;
    int m_nStepEast = 0;
    int m_nStepNorth = 0;
    int m_nSpeedLevel = 0;
    int m_nLatDeg = 0;
    int m_nLatMin = 0;
    float m_fLatSec = 0;
    int m_nLonDeg = 0;
    int m_nLonMin = 0;
    float m_fLonSec = 0;
    TrackSteps m_points;
    // Where the stored steps end, walked from the origin as the paint walks them, and the box
    // of their end points.
    long long m_nPathEndX = kTrackOrigin;
    long long m_nPathEndY = kTrackOrigin;
    CBoundingBox m_pathBox = CBoundingBox::Around(kTrackOrigin, kTrackOrigin);
    CTrackPath m_path;

private:
    struct FixValues;

    void DrawBackground(int nWidth, int nHeight);
    void ResetView();
    void DrawPositionTexts(CDC& dc, const CViewerDlg& main);
    void DrawScaleLabels(CDC& dc);
    void DrawStepVector(CDC& dc);
    void DrawExtentReadout();
    void SetReplayPeriod(CViewerDlg& main);

    void TakePreviousFix(const FixValues& fix);
    void MeasurePathExtents();
};
