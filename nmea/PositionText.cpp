#include "nmea/PositionText.h"
#include "resources/ControlIds.h"

#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"

namespace {

constexpr int kUtcOffsetHours = 8;
constexpr int kTimeLength = 6;
constexpr double kMsPerKmh = 0.2777777777777778;

// Degrees and minutes of an angle field: the point stands right after the minutes.
struct AngleLayout {
    int nDegreeDigits;
    const char* pszGap; // between the hemisphere and the degrees
};

constexpr AngleLayout kLatitude = {2, "   "};
constexpr AngleLayout kLongitude = {3, " "};

bool FormatAngle(const AngleLayout& layout, const CString& strField, const CString& strHemisphere,
                 CString& strText) {
    int nPoint = layout.nDegreeDigits + 2;
    if (strField.GetLength() < nPoint + 2 || strField[nPoint] != '.' ||
        strHemisphere.GetLength() != 1)
        return false;
    strText = strHemisphere + layout.pszGap + strField.Left(layout.nDegreeDigits) + kDegreeSign +
              " " + strField.Mid(layout.nDegreeDigits, 2) + "' " +
              FormatSeconds(strField.Mid(nPoint + 1)) + "\"";
    return true;
}

} // namespace

bool FormatLocalTime(const CString& strField, CString& strText) {
    if (strField.GetLength() < kTimeLength)
        return false;
    int nHour = ReadWhole(strField.Left(2));
    strText.Format("%d", (nHour + kUtcOffsetHours) % 24);
    strText += " :" + strField.Mid(2, 2) + " :" + strField.Mid(4, 2);
    return true;
}

CString FormatSeconds(const CString& strFraction) {
    float fMinutes = 0;
    ReadReal("0." + strFraction, fMinutes);
    // Adding 100 gives the leading zero of seconds below 10; the 1 is cut off again.
    float fSeconds = fMinutes * 60 + 100;
    CString strSeconds;
    strSeconds.Format("%2.2f", fSeconds);
    strSeconds.Delete(0);
    return strSeconds;
}

bool FormatLatitude(const CString& strField, const CString& strHemisphere, CString& strText) {
    return FormatAngle(kLatitude, strField, strHemisphere, strText);
}

bool FormatLongitude(const CString& strField, const CString& strHemisphere, CString& strText) {
    return FormatAngle(kLongitude, strField, strHemisphere, strText);
}

void ShowLocalTime(CViewerDlg& dlg, const CString& strField) {
    CString strTime;
    if (FormatLocalTime(strField, strTime))
        dlg.SetDlgItemText(IDC_TIME, strTime);
}

void ShowPosition(CViewerDlg& dlg, CFieldWalker& walker) {
    CString strLatitude = walker.TakeField();
    CString strNorthSouth = walker.TakeField();
    CString strLongitude = walker.TakeField();
    CString strEastWest = walker.TakeField();
    if (FormatLatitude(strLatitude, strNorthSouth, dlg.m_strLatitude))
        dlg.SetDlgItemText(IDC_LATITUDE, dlg.m_strLatitude);
    if (FormatLongitude(strLongitude, strEastWest, dlg.m_strLongitude))
        dlg.SetDlgItemText(IDC_LONGITUDE, dlg.m_strLongitude);
}

void ShowCourse(CViewerDlg& dlg, float fCourse) {
    dlg.m_strCourse.Format("%.1f", fCourse);
    dlg.m_strCourse += kDegreeSign;
    dlg.SetDlgItemText(IDC_COURSE, dlg.m_strCourse);
}

void ShowSpeedMs(CViewerDlg& dlg, double dKmh) {
    dlg.m_strSpeedMs.Format("%.1f m/s", dKmh * kMsPerKmh);
    dlg.SetDlgItemText(IDC_SPEED_MS, dlg.m_strSpeedMs);
}
