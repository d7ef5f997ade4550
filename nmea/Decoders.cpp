#include "app/ViewerDlg.h"

void CViewerDlg::DecodeGGA() {
    EchoSentence(m_bShowGGA);
}

void CViewerDlg::UpdateFixStatus() {}

void CViewerDlg::DecodeRMC() {
    EchoSentence(m_bShowRMC);
}

void CViewerDlg::DecodeVTG() {
    EchoSentence(m_bShowVTG);
}

void CViewerDlg::DecodeGSA() {
    EchoSentence(m_bShowGSA);
}

void CViewerDlg::DecodeGSV() {
    EchoSentence(m_bShowGSV);
}
