#include "plots/TrackPlotDlg.h"

#include "platform/Colours.h"
#include "plots/MainWindow.h"
#include "resources/ResourceIds.h"

namespace {

// The step grid: 1 metre per pixel around its centre.
constexpr int kStepCentreX = 570;
constexpr int kStepCentreY = 260;

// Replay periods in milliseconds of the speed levels 0-4.
constexpr int kReplayPeriods[] = {1000, 800, 600, 400, 10};
constexpr int kTopSpeedLevel = 4;

struct Label {
    const char* pszText;
    int x, y;
};

// The track grid's axes, then the step grid's metres either side of its centre.
constexpr Label kAxisLabels[] = {
    {"0", 4, 0},       {"100", 103, 0},   {"200", 203, 0},  {"300", 303, 0},  {"400", 403, 0},
    {"100", 0, 104},   {"200", 0, 204},   {"300", 0, 304},  {"400", 0, 410},  {"150", 414, 100},
    {"100", 464, 100}, {"50", 516, 100},  {"0", 567, 100},  {"50", 616, 100}, {"100", 664, 100},
    {"150", 713, 100}, {"100", 414, 154}, {"50", 414, 204}, {"0", 414, 254},  {"50", 414, 304},
    {"100", 414, 354}, {"150", 414, 410},
};

struct PositionText {
    CString CViewerDlg::*pstrText;
    int x, y;
};

constexpr PositionText kPositionTexts[] = {
    {&CViewerDlg::m_strLatitude, 430, 15}, {&CViewerDlg::m_strLongitude, 430, 40},
    {&CViewerDlg::m_strAltitude, 430, 70}, {&CViewerDlg::m_strSpeedKmh, 600, 15},
    {&CViewerDlg::m_strSpeedMs, 600, 40},  {&CViewerDlg::m_strCourse, 600, 70},
};

void DrawLine(CDC& dc, int x1, int y1, int x2, int y2) {
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
}

} // namespace

CTrackPlotDlg::CTrackPlotDlg(CWnd* pParent) : CPlotDlg(IDD_TRACKPLOT, pParent) {}

void CTrackPlotDlg::DoDataExchange(CDataExchange*) {
    const CRect rc = CreateBackground();
    DrawBackground(rc.Width(), rc.Height());
    ResetView();
    m_path.Forget();
    SetIcon(m_hIcon, FALSE);
}

void CTrackPlotDlg::DrawBackground(int nWidth, int nHeight) {
    CDC& dc = m_dcBackground;
    dc.FillSolidRect(0, 0, nWidth, nHeight, kWhite);
    CPen penGrid(PS_SOLID, 1, kGridGrey);
    CPen* pOldPen = dc.SelectObject(&penGrid);
    CFont fontLabel;
    fontLabel.CreatePointFont(65, "Arial Black");
    CFont* pOldFont = dc.SelectObject(&fontLabel);
    for (const Label& label : kAxisLabels)
        dc.TextOut(label.x, label.y, label.pszText);
    dc.SelectObject(pOldFont);

    for (int v = kSquareMin; v <= kSquareMax; v += 10) {
        DrawLine(dc, kSquareMin, v, kSquareMax, v);
        DrawLine(dc, v, kSquareMin, v, kSquareMax);
    }
    for (int u = 420; u <= 720; u += 10) {
        DrawLine(dc, 420, u - 310, 720, u - 310);
        DrawLine(dc, u, 110, u, 410);
    }

    // The origin's first position and the step grid's centre.
    CBrush brushDot(kBlack);
    CBrush* pOldBrush = dc.SelectObject(&brushDot);
    dc.Ellipse(208, 208, 212, 212);
    dc.Ellipse(565, 255, 576, 266);
    dc.SelectObject(pOldBrush);
    dc.SelectObject(pOldPen);
}

void CTrackPlotDlg::ResetView() {
    m_bFirstFix = 1;
    m_nScale = 1;
    m_nOffsetY = 0;
    m_nAnchorY = kTrackOrigin;
    m_nAnchorX = kTrackOrigin;
    m_nOffsetX = 0;
    m_nStepNorth = 0;
    m_nStepEast = 0;
    m_nSpeedLevel = 0;
}

LRESULT CTrackPlotDlg::OnCopyData(WPARAM, LPARAM) {
    const CViewerDlg& main = MainWindow();
    if (main.m_bFixValid == 1)
        UpdateTrack(main);
    Invalidate(TRUE);
    return Default();
}

BOOL CTrackPlotDlg::OnEraseBkgnd(CDC* pDC) {
    const CViewerDlg& main = MainWindow();
    CRect rc;
    GetClientRect(&rc);
    CBitmap bmpFrame;
    bmpFrame.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height());
    CDC dcFrame;
    dcFrame.CreateCompatibleDC(pDC);
    CBitmap* pOldBitmap = dcFrame.SelectObject(&bmpFrame);
    dcFrame.BitBlt(0, 0, rc.Width(), rc.Height(), &m_dcBackground, 0, 0, SRCCOPY);
    DrawPositionTexts(dcFrame, main);
    DrawScaleLabels(dcFrame);
    DrawStepVector(dcFrame);
    m_path.Draw(dcFrame, rc.Width(), rc.Height(), *this, m_points);
    pDC->BitBlt(0, 0, rc.Width(), rc.Height(), &dcFrame, 0, 0, SRCCOPY);
    DrawExtentReadout();
    dcFrame.SelectObject(pOldBitmap);
    return TRUE;
}

void CTrackPlotDlg::DrawPositionTexts(CDC& dc, const CViewerDlg& main) {
    CFont font;
    font.CreatePointFont(120, "Arial Black");
    CFont* pOldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(main.m_bFixValid == 1 ? kBrickRed : kPaleGrey);
    for (const PositionText& text : kPositionTexts)
        dc.TextOut(text.x, text.y, main.*text.pstrText);
    dc.SelectObject(pOldFont);
}

void CTrackPlotDlg::DrawScaleLabels(CDC& dc) {
    CFont font;
    font.CreatePointFont(100, "Arial Black");
    CFont* pOldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kBlack);
    CString strScale;
    strScale.Format("1:%lld M", m_nScale);
    dc.TextOut(320, 390, strScale);
    dc.TextOut(670, 390, "1:1 M");
    dc.SelectObject(pOldFont);
}

void CTrackPlotDlg::DrawStepVector(CDC& dc) {
    CPen pen(PS_SOLID, 6, kRed);
    CPen* pOldPen = dc.SelectObject(&pen);
    DrawLine(dc, kStepCentreX, kStepCentreY, kStepCentreX + m_nStepEast,
             kStepCentreY - m_nStepNorth);
    dc.SelectObject(pOldPen);
}

void CTrackPlotDlg::DrawExtentReadout() {
    // Drawn on the window itself, over the frame, in the window's default font and colours.
    CClientDC dc(this);
    CString str;
    str.Format("%lld", m_nMinX - kSquareMin);
    dc.TextOut(100, 200, str);
    str.Format("%lld", m_nMaxX - kSquareMin);
    dc.TextOut(300, 200, str);
    str.Format("%lld", m_nMinY - kSquareMin);
    dc.TextOut(200, 100, str);
    str.Format("%lld", m_nMaxY - kSquareMin);
    dc.TextOut(200, 300, str);
}

void CTrackPlotDlg::OnClose() {
    MainWindow().m_pTrackPlot = nullptr;
    DestroyWindow();
    Default();
    // Nobody holds this window any more: it goes with its steps once this handler returned.
    DeleteLater();
}

void CTrackPlotDlg::OnLButtonDblClk(UINT nFlags, CPoint point) {
    CViewerDlg& main = MainWindow();
    if (main.m_bAcquiring == 0)
        main.KillTimer(TIMER_REPLAY);
    CPlotDlg::OnLButtonDblClk(nFlags, point);
}

void CTrackPlotDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    CViewerDlg& main = MainWindow();
    if (main.m_bAcquiring == 0) {
        if (m_nSpeedLevel < kTopSpeedLevel)
            ++m_nSpeedLevel;
        SetReplayPeriod(main);
    }
    CPlotDlg::OnLButtonDown(nFlags, point);
}

void CTrackPlotDlg::OnRButtonDown(UINT nFlags, CPoint point) {
    CViewerDlg& main = MainWindow();
    if (main.m_bAcquiring == 0 && m_nSpeedLevel > 0) {
        --m_nSpeedLevel;
        SetReplayPeriod(main);
    }
    CPlotDlg::OnRButtonDown(nFlags, point);
}

void CTrackPlotDlg::SetReplayPeriod(CViewerDlg& main) {
    main.m_nReplayPeriod = kReplayPeriods[m_nSpeedLevel];
    main.SetTimer(TIMER_REPLAY, static_cast<UINT>(main.m_nReplayPeriod), nullptr);
}
