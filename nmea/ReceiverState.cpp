#include "app/ViewerDlg.h"
#include "resources/ControlIds.h"

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
    for (int nID = IDC_FIRST_CELL; nID <= IDC_LAST_CELL; ++nID)
        SetDlgItemText(nID, "");
    for (int nID = IDC_LATITUDE; nID <= IDC_HDOP; ++nID)
        SetDlgItemText(nID, "");
    for (int nID = IDC_GPS_IN_VIEW; nID <= IDC_GLONASS_USED; ++nID)
        SetDlgItemText(nID, "");
    for (CString& prn : m_strSatPrn)
        prn.Empty();
    SetDlgItemText(IDC_MONITOR, "");
}
