#include "app/ViewerDlg.h"

#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"

void CViewerDlg::OnSkyPlot() {}

void CViewerDlg::RenewSkyPlot() {}

void CViewerDlg::OnTrackPlot() {}

void CViewerDlg::DiscardTrackPlot() {}
