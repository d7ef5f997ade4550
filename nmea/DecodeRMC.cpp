#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"
#include "nmea/PositionText.h"
#include "resources/ControlIds.h"

namespace {

constexpr double kKmhPerKnot = 1.852;
// Two-digit years up to this one are 20yy, later ones 19yy.
constexpr int kYearPivot = 40;
constexpr int kDateLength = 6;

} // namespace

void CViewerDlg::DecodeRMC() {
    EchoSentence(m_bShowRMC);
    CFieldWalker walker(m_strSentence);
    ShowLocalTime(*this, walker.TakeField());
    m_bFixValid = walker.TakeField() == "A" ? 1 : 0;
    ShowPosition(*this, walker);

    float fKnots = 0;
    if (ReadReal(walker.TakeField(), fKnots)) {
        double dKmh = fKnots * kKmhPerKnot;
        m_strSpeedKmh.Format("%.1f km/hr", dKmh);
        SetDlgItemText(IDC_SPEED_KMH, m_strSpeedKmh);
        ShowSpeedMs(*this, dKmh);
    }
    float fCourse = 0;
    if (ReadReal(walker.TakeField(), fCourse))
        ShowCourse(*this, fCourse);
    CString strDate = walker.TakeField();
    if (strDate.GetLength() >= kDateLength) {
        int nYear = ReadWhole(strDate.Mid(4, 2));
        nYear += nYear <= kYearPivot ? 2000 : 1900;
        CString strShown;
        strShown.Format("%d", nYear);
        SetDlgItemText(IDC_DATE, strShown + "-" + strDate.Mid(2, 2) + "-" + strDate.Left(2));
    }
    if (m_bGgaSeen == 0)
        UpdateFixStatus();
}
