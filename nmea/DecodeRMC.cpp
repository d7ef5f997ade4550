#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"
#include "nmea/PositionText.h"
#include "resources/ControlIds.h"

namespace {

constexpr double kKmhPerKnot = 1.852;
constexpr double kMsPerKmh = 0.2777777777777778;
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
        m_strSpeedMs.Format("%.1f m/s", dKmh * kMsPerKmh);
        SetDlgItemText(IDC_SPEED_MS, m_strSpeedMs);
    }
    float fCourse = 0;
    if (ReadReal(walker.TakeField(), fCourse)) {
        m_strCourse.Format("%.1f", fCourse);
        m_strCourse += kDegreeSign;
        SetDlgItemText(IDC_COURSE, m_strCourse);
    }
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
