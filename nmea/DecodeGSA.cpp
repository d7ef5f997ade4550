#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"
#include "resources/ControlIds.h"

#include <algorithm>
#include <cctype>
#include <vector>

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

bool Names(const std::vector<CString>& vecPrns, const CString& strPrn) {
    return !strPrn.IsEmpty() && std::find(vecPrns.begin(), vecPrns.end(), strPrn) != vecPrns.end();
}

// Receivers that send the GSV group before the GSA would otherwise never show a satellite
// used: the slots the GSA names become used now. Slots a count drop emptied stay empty.
void MarkUsed(CViewerDlg& dlg, const std::vector<CString>& vecPrns) {
    for (int s = 0; s < kSatSlots; ++s) {
        int nCode = dlg.m_nCellState[4 * s];
        if ((nCode != SAT_GPS_UNUSED && nCode != SAT_GLONASS_UNUSED) ||
            !Names(vecPrns, dlg.m_strSatPrn[s]))
            continue;
        int nUsed = nCode == SAT_GPS_UNUSED ? SAT_GPS_USED : SAT_GLONASS_USED;
        std::fill(dlg.m_nCellState + 4 * s, dlg.m_nCellState + 4 * s + 4, nUsed);
        dlg.m_nSatState[s] = nUsed;
        if (CWnd* pSnr = dlg.GetDlgItem(CellId(s, 3)))
            pSnr->SetFont(&dlg.m_fontTable, TRUE);
        // The texts stay: the cells repaint in the colour of their new code.
        for (int nID = CellId(s, 0); nID <= CellId(s, 3); ++nID)
            if (CWnd* pCell = dlg.GetDlgItem(nID))
                pCell->Invalidate();
    }
}

} // namespace

void CViewerDlg::DecodeGSA() {
    EchoSentence(m_bShowGSA);
    // A GSA after any other sentence starts a new epoch's list.
    if (m_bAfterGsa == 0)
        m_strUsedPrns.Empty();
    CFieldWalker walker(m_strSentence);
    walker.TakeField();
    CString strFixType = walker.TakeField();
    if (ReadWhole(strFixType) != 1)
        SetDlgItemText(IDC_FIX_DIMENSION, strFixType + "D");

    // The PRN fields end at the PDOP, the first field with a decimal point.
    CString strPrns;
    std::vector<CString> vecPrns;
    bool bAtPdop = false;
    for (int i = 0; i < kMaxUsedPrns && walker.HasField() && !bAtPdop; ++i) {
        CString strField = walker.TakeField();
        bAtPdop = strField.Find('.') >= 0;
        if (!bAtPdop) {
            strPrns += strField + ",";
            vecPrns.push_back(strField);
        }
    }
    walker.SkipFields(bAtPdop ? 2 : 3); // to the field after VDOP
    if (NamesGpsOrGlonass(walker.Talker(), walker.TakeField())) {
        m_strUsedPrns += strPrns;
        MarkUsed(*this, vecPrns);
    }
}
