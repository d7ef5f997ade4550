#include "app/ViewerApp.h"

#include "app/ViewerDlg.h"

CViewerApp::CViewerApp() : CWinApp(nullptr) {}

BOOL CViewerApp::InitInstance() {
    auto* pDlg = new CViewerDlg;
    m_pMainWnd = pDlg;
    pDlg->DoModal();
    // Destroying the window ends the serial reader too.
    delete pDlg;
    m_pMainWnd = nullptr;
    return FALSE;
}
