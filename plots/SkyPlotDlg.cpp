#include "plots/SkyPlotDlg.h"

#include "app/ViewerDlg.h"
#include "platform/Colours.h"
#include "plots/MainWindow.h"
#include "resources/ResourceIds.h"

namespace {

// The chart's centre and the reference point of a satellite at the centre (8 pixels up and
// left, so that the marker circle is centred on the satellite).
constexpr int kCentre = 209;
constexpr int kOrigin = kCentre - 8;
constexpr int kRefreshCycle = 300;
constexpr int kTrailRefresh = 10;

struct MarkerColours {
    int nState;
    COLORREF crFill;
    COLORREF crOutline;
};

constexpr MarkerColours kMarkerColours[] = {
    {SAT_GPS_USED, kBlue, kWhite},         {SAT_GLONASS_USED, kRed, kWhite},
    {SAT_STRONG_UNUSED, kMidGrey, kGreen}, {SAT_GPS_UNUSED, kMidGrey, kBlue},
    {SAT_GLONASS_UNUSED, kMidGrey, kRed},
};
// A first marker with an unknown state has no earlier marker to take colours from.
constexpr MarkerColours kFirstMarkerColours = kMarkerColours[3];

struct Segment {
    int x1, y1, x2, y2;
};

// 270-90, 0-180, 300-120, 330-150, 60-240, 30-210 degrees.
constexpr Segment kSpokes[] = {
    {29, 209, 389, 209}, {209, 29, 209, 389}, {54, 118, 363, 299},
    {119, 54, 299, 363}, {363, 118, 54, 299}, {299, 54, 119, 363},
};

struct Label {
    const char* pszText;
    int x, y;
};

constexpr Label kElevationLabels[] = {
    {"0°", 241, 26},   {"15°", 228, 53},  {"30°", 225, 83},
    {"45°", 221, 113}, {"60°", 215, 145}, {"75°", 211, 175},
};

constexpr Label kAzimuthLabels[] = {
    {"0°", 205, 35},    {"30°", 284, 58},   {"60°", 342, 118},  {"90°", 366, 202},
    {"120°", 338, 283}, {"150°", 280, 345}, {"180°", 197, 368}, {"210°", 115, 345},
    {"240°", 57, 283},  {"270°", 32, 202},  {"300°", 57, 117},  {"330°", 116, 57},
};

constexpr Label kCompassLabels[] = {
    {"北", 200, 5},
    {"东", 394, 202},
    {"南", 200, 395},
    {"西", 4, 202},
};

struct Badge {
    int x, y;
    COLORREF crFill;
    COLORREF crOutline;
};

// In the order of the snapshot's counts: GPS in view and used, GLONASS in view and used.
constexpr Badge kBadges[] = {
    {26, 26, kMidGrey, kBlue},
    {26, 360, kBlue, kWhite},
    {360, 26, kMidGrey, kRed},
    {360, 360, kRed, kWhite},
};

CSkySnapshot TakeSnapshot(const CViewerDlg& main) {
    CSkySnapshot snap;
    for (int s = 0; s < kSatSlots; ++s) {
        snap.strSatPrn[s] = main.m_strSatPrn[s];
        snap.nSatState[s] = main.m_nSatState[s];
        snap.nSatElevation[s] = main.m_nSatElevation[s];
        snap.nSatAzimuth[s] = main.m_nSatAzimuth[s];
    }
    snap.nCounts[0] = main.m_nGpsInView;
    snap.nCounts[1] = main.m_nGpsUsed;
    snap.nCounts[2] = main.m_nGlonassInView;
    snap.nCounts[3] = main.m_nGlonassUsed;
    return snap;
}
constexpr int kBadgeDiameter = 45;
constexpr int kBadgeInset = 6;

template <size_t N> void DrawTexts(CDC& dc, const Label (&labels)[N]) {
    for (const Label& label : labels)
        dc.TextOut(label.x, label.y, GBK(label.pszText));
}

} // namespace

CSkyPlotDlg::CSkyPlotDlg(CWnd* pParent) : CPlotDlg(IDD_SKYPLOT, pParent) {}

CSkyPlotDlg::~CSkyPlotDlg() {
    ReleasePictures();
}

void CSkyPlotDlg::ReleasePictures() {
    m_bFramePending = false;
    m_dcFrame.DeleteDC();
    m_dcBackground.DeleteDC();
    m_pFrameBitmap.reset();
    m_bmpBackground.DeleteObject();
}

void CSkyPlotDlg::DoDataExchange(CDataExchange*) {
    ReleasePictures();
    // A fresh background is black, which is the chart's background.
    CreateBackground();
    m_dcFrame.CreateCompatibleDC(&m_dcBackground);
    DrawChart();
    DrawLabels();
    m_nRefreshCount = 0;
    SetIcon(m_hIcon, FALSE);
}

void CSkyPlotDlg::DrawChart() {
    CPen penRing(PS_SOLID, 1, kYellow);
    CPen* pOldPen = m_dcBackground.SelectObject(&penRing);
    m_dcBackground.SelectStockObject(NULL_BRUSH);
    // Elevation 0, 15, ... 75 degrees at radius 2 * (90 - elevation).
    for (int r = 180; r >= 30; r -= 30)
        m_dcBackground.Ellipse(kCentre - r, kCentre - r, kCentre + r, kCentre + r);

    CPen penSpoke(PS_SOLID, 1, kLightGrey);
    m_dcBackground.SelectObject(&penSpoke);
    for (const Segment& spoke : kSpokes) {
        m_dcBackground.MoveTo(spoke.x1, spoke.y1);
        m_dcBackground.LineTo(spoke.x2, spoke.y2);
    }
    m_dcBackground.SelectObject(pOldPen);
}

void CSkyPlotDlg::DrawLabels() {
    CFont fontElevation;
    fontElevation.CreatePointFont(110, "Monotype Corsiva");
    CFont* pOldFont = m_dcBackground.SelectObject(&fontElevation);
    m_dcBackground.SetTextColor(kYellow);
    m_dcBackground.SetBkColor(kBlack);
    DrawTexts(m_dcBackground, kElevationLabels);

    CFont fontAzimuth;
    fontAzimuth.CreatePointFont(90, "Arial");
    m_dcBackground.SelectObject(&fontAzimuth);
    m_dcBackground.SetTextColor(kLightGrey);
    DrawTexts(m_dcBackground, kAzimuthLabels);

    CFont fontCompass;
    fontCompass.CreatePointFont(150, GBK("黑体"));
    m_dcBackground.SelectObject(&fontCompass);
    DrawTexts(m_dcBackground, kCompassLabels);
    m_dcBackground.SelectObject(pOldFont);
}

BOOL CSkyPlotDlg::OnEraseBkgnd(CDC* pDC) {
    CRect rc;
    GetClientRect(&rc);
    ComposeFrame();
    // Painted before its first refresh, the window shows the bare chart.
    CDC* pSource = m_pFrameBitmap ? &m_dcFrame : &m_dcBackground;
    pDC->BitBlt(0, 0, rc.Width(), rc.Height(), pSource, 0, 0, SRCCOPY);
    return TRUE;
}

LRESULT CSkyPlotDlg::OnCopyData(WPARAM, LPARAM) {
    m_snapshot = TakeSnapshot(MainWindow());
    m_bFramePending = true;
    if (m_nRefreshCount == kTrailRefresh) {
        // The frame copies the background before this refresh's dots are drawn into it.
        ComposeFrame();
        DrawTrailDots();
    }
    m_nRefreshCount = m_nRefreshCount == kRefreshCycle ? 0 : m_nRefreshCount + 1;
    Invalidate(TRUE);
    return Default();
}

// Calls draw(prn, reference point, colours) for each occupied slot in slot order, with the
// colours each marker gets: a state outside the table keeps the colours of the marker before.
template <typename Draw> void CSkyPlotDlg::ForEachMarker(Draw draw) const {
    MarkerColours colours = kFirstMarkerColours;
    for (int s = 0; s < kSatSlots; ++s) {
        CPoint pt;
        int nElevation = m_snapshot.nSatElevation[s];
        int nAzimuth = m_snapshot.nSatAzimuth[s];
        // A satellite tracked without a position has no place on the chart.
        if (m_snapshot.strSatPrn[s].IsEmpty() || nElevation == kNoAngle || nAzimuth == kNoAngle ||
            !MarkerPoint(nElevation, nAzimuth, pt))
            continue;
        for (const MarkerColours& c : kMarkerColours)
            if (c.nState == m_snapshot.nSatState[s])
                colours = c;
        draw(m_snapshot.strSatPrn[s], pt, colours);
    }
}

void CSkyPlotDlg::ComposeFrame() {
    if (!m_bFramePending)
        return;
    m_bFramePending = false;
    CClientDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    auto pFrame = std::make_unique<CBitmap>();
    pFrame->CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
    m_dcFrame.SelectObject(pFrame.get());
    m_pFrameBitmap = std::move(pFrame);
    m_dcFrame.BitBlt(0, 0, rc.Width(), rc.Height(), &m_dcBackground, 0, 0, SRCCOPY);
    ForEachMarker([this](const CString& strPrn, const CPoint& pt, const MarkerColours& c) {
        DrawMarker(strPrn, pt, c.crFill, c.crOutline);
    });
    DrawBadges();
}

void CSkyPlotDlg::DrawTrailDots() {
    ForEachMarker([this](const CString&, const CPoint& pt, const MarkerColours& c) {
        CPen pen(PS_SOLID, 1, c.crOutline);
        CBrush brush(c.crOutline);
        CPen* pOldPen = m_dcBackground.SelectObject(&pen);
        CBrush* pOldBrush = m_dcBackground.SelectObject(&brush);
        m_dcBackground.Ellipse(pt.x + 5, pt.y + 5, pt.x + 10, pt.y + 10);
        m_dcBackground.SelectObject(pOldBrush);
        m_dcBackground.SelectObject(pOldPen);
    });
}

bool CSkyPlotDlg::MarkerPoint(int nElevation, int nAzimuth, CPoint& pt) const {
    const int a = nAzimuth;
    if (a < 0 || a > 360)
        return false;
    const double* S = m_dSinTable;
    const int r = 2 * (90 - nElevation);
    double x, y;
    if (a <= 90) {
        x = kOrigin + r * S[a];
        y = kOrigin - r * S[90 - a];
    } else if (a <= 180) {
        x = kOrigin + r * S[180 - a];
        y = kOrigin + r * S[a - 90];
    } else if (a <= 270) {
        x = kOrigin - r * S[a - 180];
        y = kOrigin + r * S[270 - a];
    } else {
        x = kOrigin - r * S[360 - a];
        y = kOrigin - r * S[a - 270];
    }
    pt = CPoint(static_cast<int>(x), static_cast<int>(y));
    return true;
}

void CSkyPlotDlg::DrawMarker(const CString& strPrn, const CPoint& pt, COLORREF crFill,
                             COLORREF crOutline) {
    CPen pen(PS_SOLID, 1, crOutline);
    CBrush brushFill(crFill);
    CPen* pOldPen = m_dcFrame.SelectObject(&pen);
    CBrush* pOldBrush = m_dcFrame.SelectObject(&brushFill);
    m_dcFrame.Ellipse(pt.x - 4, pt.y - 4, pt.x + 20, pt.y + 20);
    m_dcFrame.SetTextColor(crOutline);
    m_dcFrame.SetBkColor(crFill);
    // In the frame's own font: the system font.
    m_dcFrame.TextOut(pt.x, pt.y, strPrn);
    m_dcFrame.SelectObject(pOldBrush);
    m_dcFrame.SelectObject(pOldPen);
}

void CSkyPlotDlg::DrawBadges() {
    for (int i = 0; i < 4; ++i) {
        const Badge& badge = kBadges[i];
        // Count + 100 without its first digit: two digits with a leading zero.
        CString strText;
        strText.Format("%d", m_snapshot.nCounts[i] + 100);
        strText.Delete(0, 1);
        DrawCountBadge(badge.x, badge.y, kBadgeDiameter, kBadgeInset, strText, badge.crFill,
                       badge.crOutline);
    }
}

void CSkyPlotDlg::DrawCountBadge(int x, int y, int nDiameter, int nInset, const CString& strText,
                                 COLORREF crFill, COLORREF crOutline) {
    CPen pen(PS_SOLID, 2, crOutline);
    CBrush brush(crFill);
    CPen* pOldPen = m_dcFrame.SelectObject(&pen);
    CBrush* pOldBrush = m_dcFrame.SelectObject(&brush);
    m_dcFrame.SetTextColor(crOutline);
    m_dcFrame.SetBkColor(crFill);
    m_dcFrame.Ellipse(x - nInset, y - nInset, x - nInset + nDiameter, y - nInset + nDiameter);
    m_dcFrame.SelectObject(pOldBrush);

    CFont font;
    font.CreatePointFont(180, "Arial Black");
    CFont* pOldFont = m_dcFrame.SelectObject(&font);
    m_dcFrame.TextOut(x, y, strText);
    m_dcFrame.SelectObject(pOldFont);
    m_dcFrame.SelectObject(pOldPen);
}
