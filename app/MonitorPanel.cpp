#include "app/ViewerDlg.h"
#include "resources/Captions.h"
#include "resources/ControlIds.h"

bool CViewerDlg::IsPanelOpen() {
    GetDlgItemText(IDC_PANEL, m_strWork);
    return m_strWork == GBK(kCaptionClosePanel);
}

void CViewerDlg::OnTogglePanel() {
    bool bOpen = IsPanelOpen();
    const RECT& rc = bOpen ? m_rcCollapsed : m_rcFull;
    SetDlgItemText(IDC_PANEL, GBK(bOpen ? kCaptionOpenPanel : kCaptionClosePanel));
    SetWindowPos(nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
}

void CViewerDlg::OnPause() {
    if (m_bEchoOn == 1) {
        SetDlgItemText(IDC_PAUSE, GBK(kCaptionResume));
        m_bEchoOn = 0;
    } else {
        SetDlgItemText(IDC_PAUSE, GBK(kCaptionPause));
        m_bEchoOn = 1;
    }
}

void CViewerDlg::OnClear() {
    SetDlgItemText(IDC_MONITOR, "");
}

void CViewerDlg::OnToggleGGA() {
    m_bShowGGA = m_bShowGGA ? 0 : 1;
}

void CViewerDlg::OnToggleRMC() {
    m_bShowRMC = m_bShowRMC ? 0 : 1;
}

void CViewerDlg::OnToggleVTG() {
    m_bShowVTG = m_bShowVTG ? 0 : 1;
}

void CViewerDlg::OnToggleGSA() {
    m_bShowGSA = m_bShowGSA ? 0 : 1;
}

void CViewerDlg::OnToggleGSV() {
    m_bShowGSV = m_bShowGSV ? 0 : 1;
}
