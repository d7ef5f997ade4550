// The time and position texts shared by the GGA, GNS and RMC decoders, and the course and speed
// texts shared by RMC and VTG.
#pragma once

#include "platform/String.h"

class CViewerDlg;
class CFieldWalker;

// The degree sign in GBK.
inline constexpr char kDegreeSign[] = "\xA1\xE3";

// The local time (UTC + 8 hours) of an hhmmss field, as "7 :59 :59"; false when the field is
// too short to hold one.
bool FormatLocalTime(const CString& strField, CString& strText);
// Seconds of a fraction of minutes, two integer digits and two decimals: "3920" gives "23.52".
CString FormatSeconds(const CString& strFraction);
// "N   39° 54' 23.52\"" from ddmm.mmmm and its hemisphere; false when the fields are not of
// that form (the text is then left as it was).
bool FormatLatitude(const CString& strField, const CString& strHemisphere, CString& strText);
// "E 116° 23' 45.54\"" from dddmm.mmmm and its hemisphere; false as above.
bool FormatLongitude(const CString& strField, const CString& strHemisphere, CString& strText);

// Shows the local time of a time field in the time edit (kept when the field is too short).
void ShowLocalTime(CViewerDlg& dlg, const CString& strField);
// Takes latitude, N/S, longitude and E/W and shows them in the latitude and longitude edits.
void ShowPosition(CViewerDlg& dlg, CFieldWalker& walker);
// Shows a course in degrees ("87.0°") in the course edit.
void ShowCourse(CViewerDlg& dlg, float fCourse);
// Shows a speed given in km/h in metres a second ("15.0 m/s") in its edit.
void ShowSpeedMs(CViewerDlg& dlg, double dKmh);
