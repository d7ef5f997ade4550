#include "plots/SkyPlotDlg.h"

#include "resources/ResourceIds.h"

CSkyPlotDlg::CSkyPlotDlg(CWnd* pParent) : CDialog(IDD_SKYPLOT, pParent) {}
