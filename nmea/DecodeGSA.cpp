#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"

#include <cctype>

namespace {

constexpr int kMaxUsedPrns = 12;

// Whether a GSA's PRNs are GPS or GLONASS numbers: its talker is GP, GN or GL and its system
// ID, where it carries one (a single hexadecimal digit after VDOP), is 1 or 2. Anything else
// after VDOP, such as a DOP, is no system ID.
bool NamesGpsOrGlonass(const CString& strTalker, const CString& strSystemId) {
    if (strTalker != "GP" && strTalker != "GN" && strTalker != "GL")
        return false;
    if (strSystemId.GetLength() != 1 || !std::isxdigit(static_cast<unsigned char>(strSystemId[0])))
        return true;
    return strSystemId == "1" || strSystemId == "2";
}

} // namespace

void CViewerDlg::DecodeGSA() {
    EchoSentence(m_bShowGSA);
    CFieldWalker walker(m_strSentence);
    walker.TakeField();
    CString strFixType = walker.TakeField();
    if (ReadWhole(strFixType) != 1)
        SetDlgItemText(1113, strFixType + "D");

    // The PRN fields end at the PDOP, the first field with a decimal point.
    CString strPrns;
    bool bAtPdop = false;
    for (int i = 0; i < kMaxUsedPrns && walker.HasField() && !bAtPdop; ++i) {
        CString strField = walker.TakeField();
        bAtPdop = strField.Find('.') >= 0;
        if (!bAtPdop)
            strPrns += strField + ",";
    }
    walker.SkipFields(bAtPdop ? 2 : 3); // to the field after VDOP
    if (NamesGpsOrGlonass(walker.Talker(), walker.TakeField()))
        m_strUsedPrns += strPrns;
}
