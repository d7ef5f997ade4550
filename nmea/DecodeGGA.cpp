#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"
#include "nmea/PositionText.h"
#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ControlIds.h"

namespace {

// GGA quality digit or GNS mode letters (one per system): empty, "0" and letters all "N" mean
// no fix, and so does a sentence that ends before the field.
int FixIndicatorValid(bool bPresent, const CString& strField) {
    if (!bPresent || strField == "0")
        return 0;
    for (int i = 0; i < strField.GetLength(); ++i)
        if (strField[i] != 'N')
            return 1;
    return 0;
}

// "%d" of the value + 100 without its first character: two digits with a leading zero.
CString TwoDigits(int nValue) {
    CString str;
    str.Format("%d", nValue + 100);
    str.Delete(0);
    return str;
}

void SetCount(CViewerDlg& dlg, int nID, int nCount) {
    CString str;
    str.Format("%d", nCount);
    dlg.SetDlgItemText(nID, str);
}

} // namespace

void CViewerDlg::DecodeGGA() {
    EchoSentence(m_bShowGGA);
    CString strSender = SentenceTalker(m_strSentence) + SentenceFormatter(m_strSentence);
    CFieldWalker walker(m_strSentence);
    CString strTime = walker.TakeField();
    ShowLocalTime(*this, strTime);
    ShowPosition(*this, walker);
    bool bFixPresent = walker.HasField();
    m_bFixValid = FixIndicatorValid(bFixPresent, walker.TakeField());
    if (int nUsed = ReadWhole(walker.TakeField()))
        SetCount(*this, IDC_USED_TOTAL, nUsed);
    SetDlgItemText(IDC_HDOP, walker.TakeField());
    float fAltitude = 0;
    if (ReadReal(walker.TakeField(), fAltitude)) {
        m_strAltitude.Format("%.1f", fAltitude);
        m_strAltitude += " M";
        SetDlgItemText(IDC_ALTITUDE, m_strAltitude);
    }
    // Receivers that send GNS and GGA, or a GGA per system, for one second show it once.
    if (OpensEpoch(strSender, strTime)) {
        UpdateFixStatus();
        m_bEpochOpen = 1;
        m_strEpochTime = strTime;
        m_strEpochSender = strSender;
        m_bEpochJoined = 0;
    } else {
        m_bEpochJoined = 1;
    }
    m_bGgaSeen = 1;
}

// A sentence joins the epoch by its time, or, with no time of its own, when it is the first
// to follow the opener and another talker or type sent it (GNS then a timeless no-fix GGA).
bool CViewerDlg::OpensEpoch(const CString& strSender, const CString& strTime) const {
    if (m_bEpochOpen == 0)
        return true;
    if (!strTime.IsEmpty())
        return strTime != m_strEpochTime;
    return m_bEpochJoined == 1 || strSender == m_strEpochSender;
}

void CViewerDlg::UpdateFixStatus() {
    if (m_bFixValid == 1) {
        if (m_pTrackPlot)
            m_pTrackPlot->SendMessage(WM_COPYDATA, 0, 0);
        m_bNoFixEpoch = 0;
        m_bTtffCounting = 0;
        m_nGlonassUsed = 0;
        m_nGpsUsed = 0;
        for (int s = 0; s < kSatSlots; ++s) {
            if (m_nCellState[4 * s] == SAT_GPS_USED)
                ++m_nGpsUsed;
            else if (m_nCellState[4 * s] == SAT_GLONASS_USED)
                ++m_nGlonassUsed;
        }
        if (m_nGpsUsed != 0)
            SetCount(*this, IDC_GPS_USED, m_nGpsUsed);
        if (m_nGlonassUsed != 0)
            SetCount(*this, IDC_GLONASS_USED, m_nGlonassUsed);
    } else {
        m_bNoFixEpoch = 1;
        m_bFixValid = 0;
        ++m_nTtffSeconds;
        for (int nID : {IDC_FIX_DIMENSION, IDC_GPS_USED, IDC_GLONASS_USED, IDC_USED_TOTAL})
            SetDlgItemText(nID, "");
    }
    if (m_bTtffCounting == 0 && m_bNoFixEpoch == 1) {
        // The first epoch without a fix starts a new count.
        m_bNoFixEpoch = 0;
        m_nTtffHours = 0;
        m_nTtffMinutes = 0;
        m_nTtffSeconds = 0;
        m_bTtffCounting = 1;
    } else {
        if (m_nTtffSeconds == 60) {
            m_nTtffSeconds = 0;
            if (++m_nTtffMinutes == 60) {
                m_nTtffMinutes = 0;
                ++m_nTtffHours;
            }
        }
        SetDlgItemText(IDC_TTFF, TwoDigits(m_nTtffHours) + ":" + TwoDigits(m_nTtffMinutes) + ":" +
                                     TwoDigits(m_nTtffSeconds));
    }
    if (m_pSkyPlot)
        m_pSkyPlot->SendMessage(WM_COPYDATA, 0, 0);
    m_strUsedPrns.Empty();
    m_bGgaSeen = 0;
}
