#include "app/ViewerDlg.h"

void CViewerDlg::OnReplay() {}

void CViewerDlg::RunReplayTick() {}

void CViewerDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) {
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}
