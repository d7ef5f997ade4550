#include "app/ViewerDlg.h"
#include "resources/ControlIds.h"

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
    DDX_Control(pDX, IDC_REPLAY_SPEED, m_sliderSpeed);
    DDX_Control(pDX, IDC_MONITOR, m_editMonitor);
    DDX_Check(pDX, IDC_FILTER_GGA, m_bShowGGA);
    DDX_Check(pDX, IDC_FILTER_GSA, m_bShowGSA);
    DDX_Check(pDX, IDC_FILTER_GSV, m_bShowGSV);
    DDX_Check(pDX, IDC_FILTER_RMC, m_bShowRMC);
    DDX_Check(pDX, IDC_FILTER_VTG, m_bShowVTG);
    DDX_CBString(pDX, IDC_BAUDRATE, m_strBaud);
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
    GetDlgItem(IDC_SEPARATOR)->GetWindowRect(&rcSeparator);
    m_rcCollapsed = m_rcFull;
    m_rcCollapsed.bottom = rcSeparator.bottom;
    SetWindowPos(nullptr, 0, 0, m_rcFull.right - m_rcFull.left,
                 m_rcCollapsed.bottom - m_rcCollapsed.top, SWP_NOMOVE | SWP_NOZORDER);

    SetDlgItemText(IDC_PORT, "1");
    InstallPortTooltip(GetDlgItem(IDC_PORT));
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
    for (int nID : {IDC_STARTSTOP, IDC_PANEL, IDC_PAUSE, IDC_RECORD, IDC_CLEAR, IDC_SKYPLOT,
                    IDC_TRACKPLOT, IDC_REPLAY})
        SetControlFont(nID, m_fontButton);
    for (int nID : {IDC_FILTER_GGA, IDC_FILTER_GSA, IDC_FILTER_RMC, IDC_FILTER_VTG, IDC_FILTER_GSV})
        SetControlFont(nID, m_fontCheck);
    for (int nID : {IDC_GPS_TABLE, IDC_GLONASS_TABLE})
        SetControlFont(nID, m_fontLarge);
    for (int nID = IDC_FIRST_CELL; nID <= IDC_LAST_CELL; ++nID)
        SetControlFont(nID, m_fontTable);
    for (int nID = IDC_FIRST_HEADER; nID <= IDC_LAST_HEADER; ++nID)
        SetControlFont(nID, m_fontHeader);
    for (int nID = IDC_LATITUDE; nID <= IDC_HDOP; ++nID)
        SetControlFont(nID, m_fontLarge);
    SetControlFont(IDC_GPS_USED, m_fontLarge);
    SetControlFont(IDC_GLONASS_USED, m_fontLarge);
    SetControlFont(IDC_MONITOR, m_fontTable);
}

BOOL CViewerDlg::OnCommand(UINT nID) {
    switch (nID) {
    case IDC_PANEL:
        OnTogglePanel();
        return TRUE;
    case IDC_SKYPLOT:
        OnSkyPlot();
        return TRUE;
    case IDC_RECORD:
        OnRecord();
        return TRUE;
    case IDC_PAUSE:
        OnPause();
        return TRUE;
    case IDC_CLEAR:
        OnClear();
        return TRUE;
    case IDC_FILTER_GGA:
        OnToggleGGA();
        return TRUE;
    case IDC_FILTER_RMC:
        OnToggleRMC();
        return TRUE;
    case IDC_FILTER_VTG:
        OnToggleVTG();
        return TRUE;
    case IDC_FILTER_GSA:
        OnToggleGSA();
        return TRUE;
    case IDC_FILTER_GSV:
        OnToggleGSV();
        return TRUE;
    case IDC_TRACKPLOT:
        OnTrackPlot();
        return TRUE;
    case IDC_REPLAY:
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
    if (nID == IDC_GPS_USED || nID == IDC_GLONASS_USED) {
        pDC->SetTextColor(kBrickRed);
    } else if (nID >= IDC_LATITUDE && nID <= IDC_HDOP) {
        pDC->SetTextColor(m_bFixValid == 1 ? kBrickRed : kPaleGrey);
    } else if (nID >= IDC_FIRST_CELL && nID <= IDC_TTFF) {
        int nState = m_nCellState[nID - IDC_FIRST_CELL];
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
