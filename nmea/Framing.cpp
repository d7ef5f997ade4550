#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"
#include "resources/Captions.h"
#include "resources/ControlIds.h"

#include <cstdio>

LRESULT CViewerDlg::OnSerialRxChar(WPARAM wParam, LPARAM) {
    char b = static_cast<char>(wParam & 0xFF);
    // A NUL (what a wrong line speed mostly produces) only tells the watchdog a byte came.
    if (b == '\0') {
        ArmBaudWatchdog();
        return 0;
    }
    m_strSentence += b;
    if (m_bRecording == 1)
        RecordByte(static_cast<BYTE>(b));
    if (b == '$') {
        // A "$" starts a new sentence: a cut-off one before it is dropped, never summed in.
        m_strSentence = "$";
        m_byChecksum = 0;
        m_bInChecksum = 1;
    } else {
        if (b == '*')
            m_bInChecksum = 0;
        if (m_bInChecksum == 1)
            m_byChecksum ^= static_cast<unsigned char>(b);
        if (b == '\n') {
            CheckAndDispatchLine();
            return 0;
        }
    }
    if (m_strSentence.GetLength() > kMaxSentenceLength)
        m_strSentence.Empty();
    ArmBaudWatchdog();
    return 0;
}

void CViewerDlg::ArmBaudWatchdog() {
    if (m_bBaudCheckPending == 1) {
        SetTimer(TIMER_BAUD_WATCHDOG, m_nBaudWatchdogPeriod, nullptr);
        m_bBaudCheckPending = 0;
    }
}

// The checksum is the two characters after the line's last "*", whether the line ends in
// CR LF or in LF alone; a line without "*" has none and is dropped.
void CViewerDlg::CheckAndDispatchLine() {
    int nStar = m_strSentence.ReverseFind('*');
    unsigned int nChecksum = 0;
    if (nStar < 0 || std::sscanf(m_strSentence.Mid(nStar + 1, 2), "%x", &nChecksum) != 1 ||
        nChecksum != m_byChecksum) {
        m_strSentence.Empty();
        m_byChecksum = 0;
        return;
    }
    // Converted once: this runs for every sentence.
    static const CString strStopCaption = GBK(kCaptionStop);
    SetDlgItemText(IDC_STARTSTOP, strStopCaption);
    DispatchSentence();
    m_strSentence.Empty();
    m_bGotValidSentence = 1;
    m_byChecksum = 0;
}

void CViewerDlg::DispatchSentence() {
    // By the formatter alone: the letters of a type inside another sentence are not its type.
    CString strType = SentenceFormatter(m_strSentence);
    bool bSentence = m_strSentence.Find('$') >= 0;
    if (strType == "GGA" || strType == "GNS")
        DecodeGGA();
    else if (strType == "RMC")
        DecodeRMC();
    else if (strType == "GSA")
        DecodeGSA();
    else if (strType == "VTG")
        DecodeVTG();
    else if (strType == "GSV")
        DecodeGSV();
    // A run of GSAs is one epoch's list of used satellites; any other sentence ends the run.
    if (bSentence)
        m_bAfterGsa = strType == "GSA" ? 1 : 0;
}

void CViewerDlg::EchoSentence(BOOL bShow) {
    if (bShow == 1 && m_bEchoOn == 1)
        m_editMonitor.ReplaceSel(m_strSentence, FALSE);
}
