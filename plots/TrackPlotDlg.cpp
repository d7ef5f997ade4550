#include "plots/TrackPlotDlg.h"

#include "resources/ResourceIds.h"

CTrackPlotDlg::CTrackPlotDlg(CWnd* pParent) : CDialog(IDD_TRACKPLOT, pParent) {}
