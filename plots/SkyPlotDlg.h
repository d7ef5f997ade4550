// The sky plot: a polar azimuth/elevation chart of the receiver's 24 satellite slots with four
// count badges and a slowly growing trail, redrawn from the main window's state on every refresh.
#pragma once

#include "plots/PlotDlg.h"

#include <memory>

class CViewerDlg;

// What a refresh reads of the receiver state. The frame is drawn from it when the window is
// painted, so refreshes of a hidden or not yet repainted window cost no drawing, and the frame
// shows the state of its refresh even when the decoders have changed it since.
struct CSkySnapshot {
    CString strSatPrn[24];
    int nSatState[24] = {};
    int nSatElevation[24] = {};
    int nSatAzimuth[24] = {};
    int nCounts[4] = {};
};

class CSkyPlotDlg : public CPlotDlg {
public:
    explicit CSkyPlotDlg(CWnd* pParent = nullptr);
    ~CSkyPlotDlg() override;

    // Builds the background picture: rings, spokes and labels, without trail dots.
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnEraseBkgnd(CDC* pDC) override;
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam) override;
    void DrawCountBadge(int x, int y, int nDiameter, int nInset, const CString& strText,
                        COLORREF crFill, COLORREF crOutline);

    CDC m_dcFrame;
    int m_nRefreshCount = 0;
    // The picture selected into m_dcFrame; each refresh replaces it.
    std::unique_ptr<CBitmap> m_pFrameBitmap;

private:
    // Draws the frame of the last refresh if it is not drawn yet.
    void ComposeFrame();
    void DrawTrailDots();
    template <typename Draw> void ForEachMarker(Draw draw) const;
    void ReleasePictures();
    void DrawChart();
    void DrawLabels();
    // The marker's reference point: the top-left of its label, 8 pixels up and left of the
    // satellite. False for an azimuth outside 0-360, which the sine table does not cover.
    bool MarkerPoint(int nElevation, int nAzimuth, CPoint& pt) const;
    void DrawMarker(const CString& strPrn, const CPoint& pt, COLORREF crFill, COLORREF crOutline);
    void DrawBadges();

    CSkySnapshot m_snapshot;
    bool m_bFramePending = false;
};
