#include "tools/common/WindowState.h"
#include "resources/ControlIds.h"

#include "app/ViewerDlg.h"

#include <QString>
#include <initializer_list>

namespace {

QString Utf8Text(CViewerDlg& dlg, int nID) {
    CString str;
    dlg.GetDlgItemText(nID, str);
    return QString::fromStdString(str.ToUtf8());
}

} // namespace

QJsonObject ItemTexts(CViewerDlg& dlg) {
    QJsonObject items;
    for (int nID = IDC_FIRST_CELL; nID <= IDC_GLONASS_USED; ++nID) {
        if (!dlg.GetDlgItem(nID) || nID == IDC_MONITOR)
            continue;
        QString text = Utf8Text(dlg, nID);
        if (!text.isEmpty())
            items.insert(QString::number(nID), text);
    }
    return items;
}

QJsonObject ButtonCaptions(CViewerDlg& dlg) {
    QJsonObject captions;
    for (int nID : {IDC_STARTSTOP, IDC_PAUSE, IDC_RECORD, IDC_PANEL, IDC_REPLAY})
        captions.insert(QString::number(nID), Utf8Text(dlg, nID));
    return captions;
}

QJsonObject WindowState(CViewerDlg& dlg) {
    QJsonObject state;
    state.insert("caption", Utf8Text(dlg, IDC_STARTSTOP));
    state.insert("captions", ButtonCaptions(dlg));
    state.insert("items", ItemTexts(dlg));
    return state;
}

QJsonArray CheckFontCells(CViewerDlg& dlg) {
    QJsonArray ids;
    for (int s = 0; s < kSatSlots; ++s) {
        CWnd* pCell = dlg.GetDlgItem(CellId(s, 3));
        if (pCell && pCell->GetFont() == &dlg.m_fontCheck)
            ids.append(CellId(s, 3));
    }
    return ids;
}

namespace {

QJsonArray SatelliteSlots(CViewerDlg& dlg) {
    QJsonArray array;
    for (int s = 0; s < kSatSlots; ++s)
        array.append(QJsonArray{QString::fromStdString(dlg.m_strSatPrn[s].ToUtf8()),
                                dlg.m_nSatState[s], dlg.m_nSatElevation[s], dlg.m_nSatAzimuth[s]});
    return array;
}

QJsonArray Ints(std::initializer_list<int> values) {
    QJsonArray array;
    for (int n : values)
        array.append(n);
    return array;
}

} // namespace

QJsonObject ReceiverState(CViewerDlg& dlg) {
    QJsonArray cells;
    for (int nState : dlg.m_nCellState)
        cells.append(nState);
    CWnd* pMonitor = dlg.GetDlgItem(IDC_MONITOR);
    QJsonObject state;
    state.insert("cells", cells);
    state.insert("checkFont", CheckFontCells(dlg));
    state.insert("sats", SatelliteSlots(dlg));
    state.insert("fix", dlg.m_bFixValid);
    state.insert("ggaSeen", dlg.m_bGgaSeen);
    state.insert("counts",
                 Ints({dlg.m_nGpsInView, dlg.m_nGpsUsed, dlg.m_nGlonassInView, dlg.m_nGlonassUsed,
                       dlg.m_nGpsInViewLast, dlg.m_nGlonassInViewLast}));
    state.insert("ttff", Ints({dlg.m_bNoFixEpoch, dlg.m_bTtffCounting, dlg.m_nTtffHours,
                               dlg.m_nTtffMinutes, dlg.m_nTtffSeconds}));
    state.insert("used", QString::fromStdString(dlg.m_strUsedPrns.ToUtf8()));
    state.insert("monitorLength", pMonitor ? pMonitor->GetWindowTextLength() : 0);
    return state;
}
