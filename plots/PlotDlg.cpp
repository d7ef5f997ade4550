#include "plots/PlotDlg.h"

#include "platform/Resources.h"
#include "resources/ResourceIds.h"

CPlotDlg::CPlotDlg(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent) {
    m_hIcon = LoadIconResource(IDR_MAINFRAME);
}

CPlotDlg::~CPlotDlg() {
    m_dcBackground.DeleteDC();
    m_bmpBackground.DeleteObject();
}

LRESULT CPlotDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA)
        return OnCopyData(wParam, lParam);
    return CDialog::WindowProc(message, wParam, lParam);
}

CRect CPlotDlg::CreateBackground() {
    CRect rc;
    GetClientRect(&rc);
    CClientDC dc(this);
    m_dcBackground.CreateCompatibleDC(&dc);
    m_bmpBackground.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
    m_dcBackground.SelectObject(&m_bmpBackground);
    return rc;
}
