#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"
#include "nmea/PositionText.h"
#include "resources/ControlIds.h"

namespace {

// Fields of VTG: 1 course true, 2 "T", 3 course magnetic, 4 "M", 5 knots, 6 "N", 7 km/h.
constexpr int kFieldsCourseToKmh = 5;

} // namespace

void CViewerDlg::DecodeVTG() {
    EchoSentence(m_bShowVTG);
    CFieldWalker walker(m_strSentence);
    float fValue = 0;
    ReadReal(walker.TakeField(), fValue);
    ShowCourse(*this, fValue);

    walker.SkipFields(kFieldsCourseToKmh);
    CString strKmh = walker.TakeField();
    m_strSpeedKmh = strKmh + " km/hr";
    SetDlgItemText(IDC_SPEED_KMH, m_strSpeedKmh);
    if (ReadReal(strKmh, fValue)) {
        ShowSpeedMs(*this, fValue);
    } else {
        m_strSpeedMs = " m/s";
        SetDlgItemText(IDC_SPEED_MS, m_strSpeedMs);
    }
}
