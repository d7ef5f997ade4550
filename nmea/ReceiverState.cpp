#include "app/ViewerDlg.h"

void CViewerDlg::ResetReceiverState() {
    m_nGpsInView = 0;
    m_nGpsUsed = 0;
    m_nGlonassInView = 0;
    m_nGlonassUsed = 0;
    m_nGpsInViewLast = 0;
    m_nGlonassInViewLast = 0;
    m_bNoFixEpoch = 0;
    m_bTtffCounting = 0;
    m_nTtffHours = 0;
    m_nTtffMinutes = 0;
    m_nTtffSeconds = 0;
    m_strSentence.Empty();
    m_strUsedPrns.Empty();
    m_bAfterGsa = 0;
    m_bEpochOpen = 0;
    for (int& state : m_nCellState)
        state = SAT_EMPTY;
    for (int nID = 1001; nID <= 1096; ++nID)
        SetDlgItemText(nID, "");
    for (int nID = 1110; nID <= 1118; ++nID)
        SetDlgItemText(nID, "");
    for (int nID = 1132; nID <= 1136; ++nID)
        SetDlgItemText(nID, "");
    for (CString& prn : m_strSatPrn)
        prn.Empty();
    SetDlgItemText(1130, "");
}
