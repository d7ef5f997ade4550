#include "app/ViewerDlg.h"
#include "resources/Captions.h"
#include "resources/ControlIds.h"

#include "platform/MessageBox.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

constexpr int kDataBits = 8;
constexpr int kStopBits = 1;
constexpr char kParity = 'N';
constexpr DWORD kEventMask = EV_RXCHAR | EV_CTS;

// A text read as a signed decimal number as the C library reads it (an empty or non-numeric
// text gives 0), except that a number beyond the range of int stays at its end instead of
// wrapping round to some other port.
int SignedValueOf(const CString& str) {
    long nValue = std::strtol(str, nullptr, 10);
    return static_cast<int>(std::clamp<long>(nValue, INT_MIN, INT_MAX));
}

} // namespace

void CViewerDlg::OnOK() {
    if (IsReplaying()) {
        AfxMessageBox(GBK("请首先停止回放！"));
        return;
    }
    CString strText;
    if (m_bStopped == 1) {
        GetDlgItemText(IDC_PORT, strText);
        m_nPort = SignedValueOf(strText);
        GetDlgItemText(IDC_BAUDRATE, strText);
        m_nBaud = SignedValueOf(strText);
        if (!m_serialLink.Open(this, m_nPort, m_nBaud, kDataBits, kStopBits, kParity, kEventMask)) {
            strText.Format(GBK("无法打开串口%d！"), m_nPort);
            // The message says which number; the detail which device, and why.
            AfxMessageBox(strText, MB_OK, m_serialLink.LastOpenError());
            return;
        }
        m_serialLink.StartReader();
        EnterAcquiringState();
    } else {
        m_serialLink.SuspendReader();
        m_bStopped = 1;
        m_bAcquiring = 0;
        // The device of this Start is opened again (and purged) and stays claimed while stopped;
        // not after a hang-up, and a network source is not reconnected.
        m_serialLink.Reopen();
        SetDlgItemText(IDC_STARTSTOP, GBK(kCaptionStart));
    }
}

void CViewerDlg::EnterAcquiringState() {
    SetDlgItemText(IDC_STARTSTOP, GBK(kCaptionWait));
    m_bAcquiring = 1;
    m_bStopped = 0;
    m_bGotValidSentence = 0;
    m_bBaudCheckPending = 1;
    m_bInChecksum = 0;
    m_byChecksum = 0;
    // A watchdog left running by a quick Stop belongs to the previous acquisition: this one's
    // starts with its own first byte.
    KillTimer(TIMER_BAUD_WATCHDOG);
    ResetReceiverState();
    RenewSkyPlot();
    DiscardTrackPlot();
}

// The two timers are told apart by their id: the watchdog acts only while acquiring, a replay
// tick only while a replay runs.
void CViewerDlg::OnTimer(UINT nIDEvent) {
    if (nIDEvent == TIMER_BAUD_WATCHDOG)
        ExpireBaudWatchdog();
    else if (nIDEvent == TIMER_REPLAY)
        RunReplayTick();
}

// gpsd's own lines were skipped: the line lives, so the watchdog starts as on a first byte.
void CViewerDlg::OnSerialRxSkipped() {
    if (m_bBaudCheckPending == 1) {
        SetTimer(TIMER_BAUD_WATCHDOG, kBaudWatchdogPeriod, nullptr);
        m_bBaudCheckPending = 0;
    }
}

void CViewerDlg::ExpireBaudWatchdog() {
    KillTimer(TIMER_BAUD_WATCHDOG);
    if (m_bAcquiring == 1 && m_bGotValidSentence == 0)
        SetDlgItemText(IDC_STARTSTOP, GBK(kCaptionBaudError));
}
