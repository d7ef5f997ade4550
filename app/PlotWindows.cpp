#include "app/ViewerDlg.h"

#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ResourceIds.h"

namespace {

// A plot window on its template, modeless and top-level, created hidden.
template <typename Plot> Plot* CreatePlot(int nIDTemplate) {
    auto* pPlot = new Plot;
    pPlot->Create(nIDTemplate, CDialog::GetDesktopWindow());
    return pPlot;
}

void ShowWithoutActivating(CDialog* pPlot) {
    pPlot->ShowWindow(SW_SHOWNA);
    pPlot->ShowWindow(SW_SHOWNOACTIVATE);
}

} // namespace

void CViewerDlg::OnSkyPlot() {
    if (!m_pSkyPlot)
        m_pSkyPlot = CreatePlot<CSkyPlotDlg>(IDD_SKYPLOT);
    ShowWithoutActivating(m_pSkyPlot);
    m_pSkyPlot->SendMessage(WM_COPYDATA, 0, 0);
}

void CViewerDlg::RenewSkyPlot() {
    delete m_pSkyPlot;
    m_pSkyPlot = CreatePlot<CSkyPlotDlg>(IDD_SKYPLOT);
}

void CViewerDlg::OnTrackPlot() {
    if (!m_pTrackPlot)
        m_pTrackPlot = CreatePlot<CTrackPlotDlg>(IDD_TRACKPLOT);
    ShowWithoutActivating(m_pTrackPlot);
}

void CViewerDlg::DiscardTrackPlot() {
    delete m_pTrackPlot;
    m_pTrackPlot = nullptr;
}
