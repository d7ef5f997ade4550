#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"
#include "nmea/PositionText.h"

namespace {

constexpr double kMsPerKmh = 0.2777777777777778;
// Fields of VTG: 1 course true, 2 "T", 3 course magnetic, 4 "M", 5 knots, 6 "N", 7 km/h.
constexpr int kFieldsCourseToKmh = 5;

} // namespace

void CViewerDlg::DecodeVTG() {
    EchoSentence(m_bShowVTG);
    CFieldWalker walker(m_strSentence);
    float fValue = 0;
    ReadReal(walker.TakeField(), fValue);
    m_strCourse.Format("%.1f", fValue);
    m_strCourse += kDegreeSign;
    SetDlgItemText(1117, m_strCourse);

    walker.SkipFields(kFieldsCourseToKmh);
    CString strKmh = walker.TakeField();
    m_strSpeedKmh = strKmh + " km/hr";
    SetDlgItemText(1115, m_strSpeedKmh);
    if (ReadReal(strKmh, fValue))
        m_strSpeedMs.Format("%.1f m/s", fValue * kMsPerKmh);
    else
        m_strSpeedMs = " m/s";
    SetDlgItemText(1116, m_strSpeedMs);
}
