#include "app/ViewerDlg.h"

#include "app/AboutDlg.h"
#include "app/PortTooltip.h"
#include "platform/Colours.h"
#include "platform/Resources.h"
#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ResourceIds.h"

namespace {

// Text and background colours of a table cell by its state code.
struct CellColours {
    int nState;
    COLORREF crText;
    COLORREF crBk;
};

constexpr CellColours kCellColours[] = {
    {SAT_GPS_USED, kWhite, RGB(0, 0, 255)},       {SAT_GLONASS_USED, kWhite, RGB(255, 0, 0)},
    {SAT_STRONG_UNUSED, RGB(0, 255, 0), kWhite},  {SAT_GPS_UNUSED, RGB(0, 0, 255), kWhite},
    {SAT_GLONASS_UNUSED, RGB(255, 0, 0), kWhite},
};

} // namespace

CViewerDlg::CViewerDlg(CWnd* pParent) : CDialog(IDD_VIEWER_DIALOG, pParent) {
    m_strBaud = "38400";
    m_hIcon = LoadIconResource(IDR_MAINFRAME);
}

CViewerDlg::~CViewerDlg() {
    delete m_pSkyPlot;
    delete m_pTrackPlot;
    if (m_pReplayFile)
        std::fclose(m_pReplayFile);
}

void CViewerDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1140, m_sliderSpeed);
    DDX_Control(pDX, 1130, m_editMonitor);
    DDX_Check(pDX, 1121, m_bShowGGA);
    DDX_Check(pDX, 1124, m_bShowGSA);
    DDX_Check(pDX, 1125, m_bShowGSV);
    DDX_Check(pDX, 1122, m_bShowRMC);
    DDX_Check(pDX, 1123, m_bShowVTG);
    DDX_CBString(pDX, 1000, m_strBaud);
}

BOOL CViewerDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        CString strAboutMenu = LoadStringResource(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // The window opens collapsed: everything below the separator is cut off.
    GetWindowRect(&m_rcFull);
    RECT rcSeparator;
    GetDlgItem(1120)->GetWindowRect(&rcSeparator);
    m_rcCollapsed = m_rcFull;
    m_rcCollapsed.bottom = rcSeparator.bottom;
    SetWindowPos(nullptr, 0, 0, m_rcFull.right - m_rcFull.left,
                 m_rcCollapsed.bottom - m_rcCollapsed.top, SWP_NOMOVE | SWP_NOZORDER);

    SetDlgItemText(1119, "1");
    InstallPortTooltip(GetDlgItem(1119));
    m_bEchoOn = 1;
    m_bRecording = 0;
    m_pSkyPlot = nullptr;
    m_pTrackPlot = nullptr;
    m_bStopped = 1;
    m_bGgaSeen = 0;
    m_bAcquiring = 0;
    m_brushWhite.CreateSolidBrush(RGB(255, 255, 255));
    CreateFonts();
    AssignFonts();

    for (int& state : m_nCellState)
        state = SAT_EMPTY;
    m_nGpsInView = 0;
    m_nGpsUsed = 0;
    m_nGlonassInView = 0;
    m_nGlonassUsed = 0;

    m_sliderSpeed.SetRange(1, 5, TRUE);
    m_sliderSpeed.SetTicFreq(1);
    m_sliderSpeed.SetLineSize(1);
    m_sliderSpeed.SetPageSize(1);
    m_editMonitor.SetLineLimit(kMonitorLineLimit);
    m_nReplayPeriod = 1000;
    return TRUE;
}

void CViewerDlg::CreateFonts() {
    struct {
        CFont& font;
        int nTenths;
        const char* pszFace;
    } fonts[] = {
        {m_fontLarge, 140, "Arial Black"}, {m_fontTable, 110, "Verdana"},
        {m_fontCheck, 110, "Arial Black"}, {m_fontHeader, 100, "宋体"},
        {m_fontButton, 120, "黑体"},
    };
    for (auto& f : fonts) {
        f.font.DeleteObject();
        f.font.CreatePointFont(f.nTenths, CString::FromUtf8(f.pszFace));
    }
}

void CViewerDlg::SetControlFont(int nID, CFont& font) {
    if (CWnd* pControl = GetDlgItem(nID))
        pControl->SetFont(&font, TRUE);
}

void CViewerDlg::AssignFonts() {
    for (int nID : {1, 1131, 1126, 1127, 1128, 1129, 1138, 1139})
        SetControlFont(nID, m_fontButton);
    for (int nID : {1121, 1124, 1122, 1123, 1125})
        SetControlFont(nID, m_fontCheck);
    for (int nID : {1100, 1101})
        SetControlFont(nID, m_fontLarge);
    for (int nID = 1001; nID <= 1096; ++nID)
        SetControlFont(nID, m_fontTable);
    for (int nID = 1102; nID <= 1109; ++nID)
        SetControlFont(nID, m_fontHeader);
    for (int nID = 1110; nID <= 1118; ++nID)
        SetControlFont(nID, m_fontLarge);
    SetControlFont(1135, m_fontLarge);
    SetControlFont(1136, m_fontLarge);
    SetControlFont(1130, m_fontTable);
}

BOOL CViewerDlg::OnCommand(UINT nID) {
    switch (nID) {
    case 1131:
        OnTogglePanel();
        return TRUE;
    case 1129:
        OnSkyPlot();
        return TRUE;
    case 1127:
        OnRecord();
        return TRUE;
    case 1126:
        OnPause();
        return TRUE;
    case 1128:
        OnClear();
        return TRUE;
    case 1121:
        OnToggleGGA();
        return TRUE;
    case 1122:
        OnToggleRMC();
        return TRUE;
    case 1123:
        OnToggleVTG();
        return TRUE;
    case 1124:
        OnToggleGSA();
        return TRUE;
    case 1125:
        OnToggleGSV();
        return TRUE;
    case 1138:
        OnTrackPlot();
        return TRUE;
    case 1139:
        OnReplay();
        return TRUE;
    default:
        return CDialog::OnCommand(nID);
    }
}

LRESULT CViewerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SERIAL_RXCHAR)
        return OnSerialRxChar(wParam, lParam);
    if (message == WM_SERIAL_RXSKIPPED) {
        OnSerialRxSkipped();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CViewerDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CViewerDlg::OnPaint() {
    // A minimised window is drawn by the window manager, so only the normal case paints.
    if (!IsIconic())
        CDialog::OnPaint();
}

HICON CViewerDlg::OnQueryDragIcon() {
    return m_hIcon;
}

HBRUSH CViewerDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    int nID = pWnd->GetDlgCtrlID();
    if (nID == 1135 || nID == 1136) {
        pDC->SetTextColor(kBrickRed);
    } else if (nID >= 1110 && nID <= 1118) {
        pDC->SetTextColor(m_bFixValid == 1 ? kBrickRed : kPaleGrey);
    } else if (nID >= 1001 && nID <= 1099) {
        int nState = m_nCellState[nID - 1001];
        for (const CellColours& c : kCellColours) {
            if (c.nState == nState) {
                pDC->SetTextColor(c.crText);
                pDC->SetBkColor(c.crBk);
                return hbr;
            }
        }
        pDC->SetBkMode(TRANSPARENT);
        return m_brushWhite;
    }
    return hbr;
}
