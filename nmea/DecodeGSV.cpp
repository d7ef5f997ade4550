#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"
#include "resources/ControlIds.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

constexpr int kSatsPerMessage = 4;
constexpr int kFieldsPerSatellite = 4;
constexpr int kRowsPerSystem = 12;
constexpr int kStrongSnr = 37;
constexpr int GPS = 0;
constexpr int GLONASS = 1;

// The system whose table a GSV fills, by its talker; -1 for the systems the window has no
// table for (Galileo, BeiDou, QZSS, NavIC, proprietary sentences).
int TableSystem(const CString& strTalker) {
    if (strTalker == "GP" || strTalker == "GN")
        return GPS;
    if (strTalker == "GL")
        return GLONASS;
    return -1;
}

// Receivers of NMEA 4.10 and later send each system's GSV group once per signal, its signal
// ID in one field after the last complete satellite block: 3 + 4k + 1 fields for k
// satellites, of the nFields left. Returns the ID, or an empty text when the message carries
// none.
CString SignalId(const CFieldWalker& walker, int nFields) {
    CString strLast = walker.LastField();
    if (nFields < 4 || (nFields - 3) % kFieldsPerSatellite != 1 || strLast.GetLength() != 1 ||
        !std::isxdigit(static_cast<unsigned char>(strLast[0])))
        return CString();
    return strLast;
}

void SetNumber(CViewerDlg& dlg, int nID, int nValue) {
    dlg.SetDlgItemText(nID, CString(std::to_string(nValue)));
}

void EmptyCells(CViewerDlg& dlg, int nFirstID, int nLastID) {
    for (int nID = nFirstID; nID <= nLastID; ++nID)
        dlg.SetDlgItemText(nID, "");
}

// Takes the new in-view count of a system and returns the previous one.
int UpdateInViewCount(CViewerDlg& dlg, int nSystem, int nInView) {
    int& nLast = nSystem == GLONASS ? dlg.m_nGlonassInViewLast : dlg.m_nGpsInViewLast;
    int& nCurrent = nSystem == GLONASS ? dlg.m_nGlonassInView : dlg.m_nGpsInView;
    int nPrevious = nLast;
    nLast = nInView;
    nCurrent = nInView;
    SetNumber(dlg, nSystem == GLONASS ? IDC_GLONASS_IN_VIEW : IDC_GPS_IN_VIEW, nInView);
    SetNumber(dlg, IDC_TOTAL_IN_VIEW, dlg.m_nGpsInViewLast + dlg.m_nGlonassInViewLast);
    return nPrevious;
}

// A drop of the in-view count clears every slot and the rows the new count no longer
// reaches; the messages that follow refill the rest.
void ClearAfterCountDrop(CViewerDlg& dlg, int nSystem, int nInView, int nPrevious) {
    std::fill(std::begin(dlg.m_nCellState), std::end(dlg.m_nCellState), SAT_EMPTY);
    for (CString& strPrn : dlg.m_strSatPrn)
        strPrn.Empty();
    if (nPrevious > kRowsPerSystem) {
        // Rows of messages 4 and above fill the GLONASS table from its bottom row up.
        int nCells = (kSatSlots - nInView) * 4;
        EmptyCells(dlg, IDC_FIRST_GLONASS_CELL,
                   std::min(IDC_FIRST_GLONASS_CELL + nCells - 1, IDC_LAST_CELL));
    }
    if (nInView < kRowsPerSystem) {
        int nFirstCell = CellId(kRowsPerSystem * nSystem, 0);
        EmptyCells(dlg, nFirstCell + 4 * std::max(nInView, 0), nFirstCell + 47);
    }
}

// The slot of satellite i of a message, or -1 where the message has no place.
int SlotOf(int nSystem, int nMessage, int i) {
    int nSlot = -1;
    if (nMessage >= 1 && nMessage <= 3)
        nSlot = kRowsPerSystem * nSystem + kSatsPerMessage * (nMessage - 1) + i;
    else if (nMessage >= 4)
        nSlot = 39 - kSatsPerMessage * nMessage - i;
    return nSlot < kSatSlots ? nSlot : -1;
}

// Fills one slot from PRN, elevation, azimuth and SNR fields.
void DecodeSatellite(CViewerDlg& dlg, CFieldWalker& walker, int nSlot, int nCodeSystem) {
    int nCell = 4 * nSlot;
    CString strPrn = walker.TakeField().Left(2);
    bool bUsed = !strPrn.IsEmpty() && dlg.m_strUsedPrns.Find(strPrn) >= 0;
    int nCode = (bUsed ? SAT_GPS_USED : SAT_GPS_UNUSED) + nCodeSystem;
    std::fill(dlg.m_nCellState + nCell, dlg.m_nCellState + nCell + 4, nCode);
    dlg.m_nSatState[nSlot] = nCode;
    dlg.SetDlgItemText(CellId(nSlot, 0), strPrn);
    dlg.m_strSatPrn[nSlot] = strPrn;

    // A satellite tracked without a position has no place in the sky.
    CString strElevation = walker.TakeField().Left(2);
    dlg.SetDlgItemText(CellId(nSlot, 1), strElevation);
    dlg.m_nSatElevation[nSlot] = strElevation.IsEmpty() ? kNoAngle : ReadWhole(strElevation);
    CString strAzimuth = walker.TakeField().Left(3);
    dlg.SetDlgItemText(CellId(nSlot, 2), strAzimuth);
    dlg.m_nSatAzimuth[nSlot] = strAzimuth.IsEmpty() ? kNoAngle : ReadWhole(strAzimuth);

    // An empty or one-digit SNR shows nothing and keeps the cell's font.
    CString strSnr = walker.TakeField().Left(2);
    if (strSnr.GetLength() == 2) {
        bool bStrong = ReadWhole(strSnr) > kStrongSnr && !bUsed;
        if (bStrong) {
            dlg.m_nCellState[nCell + 3] = SAT_STRONG_UNUSED;
            dlg.m_nSatState[nSlot] = SAT_STRONG_UNUSED;
        }
        if (CWnd* pCell = dlg.GetDlgItem(CellId(nSlot, 3)))
            pCell->SetFont(bStrong ? &dlg.m_fontCheck : &dlg.m_fontTable, TRUE);
        dlg.SetDlgItemText(CellId(nSlot, 3), strSnr);
    } else {
        dlg.SetDlgItemText(CellId(nSlot, 3), "");
    }
}

} // namespace

void CViewerDlg::DecodeGSV() {
    EchoSentence(m_bShowGSV);
    CFieldWalker walker(m_strSentence);
    int nSystem = TableSystem(walker.Talker());
    // Only the primary signal's group (1, or 0 for all signals) fills the table: another
    // band's group would overwrite the SNRs and trip the count-drop rule.
    int nFields = walker.FieldsLeft();
    CString strSignal = SignalId(walker, nFields);
    if (nSystem < 0 || (!strSignal.IsEmpty() && strSignal != "0" && strSignal != "1"))
        return;
    // A signal ID is no satellite: only the blocks before it are.
    int nBlocks = strSignal.IsEmpty() ? kSatsPerMessage : (nFields - 4) / kFieldsPerSatellite;
    // Only the first digit of the message total and number is read.
    int nTotal = ReadWhole(walker.TakeField().Left(1));
    int nMessage = ReadWhole(walker.TakeField().Left(1));
    int nInView = ReadWhole(walker.TakeField().Left(2));
    int nPrevious = UpdateInViewCount(*this, nSystem, nInView);
    if (nInView < nPrevious)
        ClearAfterCountDrop(*this, nSystem, nInView, nPrevious);

    int nCount = nMessage == nTotal ? nInView - kSatsPerMessage * (nTotal - 1) : kSatsPerMessage;
    nCount = std::min({nCount, kSatsPerMessage, nBlocks});
    // Messages 4 and above always get the GPS codes, whatever the system.
    int nCodeSystem = nMessage <= 3 ? nSystem : GPS;
    for (int i = 0; i < nCount && walker.HasField(); ++i) {
        int nSlot = SlotOf(nSystem, nMessage, i);
        if (nSlot < 0)
            break;
        DecodeSatellite(*this, walker, nSlot, nCodeSystem);
    }
}
