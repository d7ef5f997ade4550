#include "app/ViewerDlg.h"

void CViewerDlg::OnOK() {}

void CViewerDlg::EnterAcquiringState() {
    SetDlgItemText(1, GBK("请稍候..."));
    m_bAcquiring = 1;
    m_bStopped = 0;
    m_bGotValidSentence = 0;
    m_bBaudCheckPending = 1;
    m_bInChecksum = 0;
    m_byChecksum = 0;
    ResetReceiverState();
    RenewSkyPlot();
    DiscardTrackPlot();
}

void CViewerDlg::OnTimer(UINT nIDEvent) {
    if (nIDEvent == TIMER_BAUD_WATCHDOG)
        ExpireBaudWatchdog();
    else if (nIDEvent == TIMER_REPLAY)
        RunReplayTick();
}

void CViewerDlg::ExpireBaudWatchdog() {
    KillTimer(TIMER_BAUD_WATCHDOG);
    if (!m_bAcquiring)
        return;
    if (m_bGotValidSentence == 0)
        SetDlgItemText(1, GBK("波特率错!"));
}
