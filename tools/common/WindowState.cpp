#include "tools/common/WindowState.h"

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
    for (int nID = 1001; nID <= 1136; ++nID) {
        if (!dlg.GetDlgItem(nID) || nID == 1130)
            continue;
        QString text = Utf8Text(dlg, nID);
        if (!text.isEmpty())
            items.insert(QString::number(nID), text);
    }
    return items;
}

QJsonObject ButtonCaptions(CViewerDlg& dlg) {
    QJsonObject captions;
    for (int nID : {1, 1126, 1127, 1131, 1139})
        captions.insert(QString::number(nID), Utf8Text(dlg, nID));
    return captions;
}

QJsonObject WindowState(CViewerDlg& dlg) {
    QJsonObject state;
    state.insert("caption", Utf8Text(dlg, 1));
    state.insert("captions", ButtonCaptions(dlg));
    state.insert("items", ItemTexts(dlg));
    return state;
}

QJsonArray CheckFontCells(CViewerDlg& dlg) {
    QJsonArray ids;
    for (int s = 0; s < kSatSlots; ++s) {
        CWnd* pCell = dlg.GetDlgItem(1004 + 4 * s);
        if (pCell && pCell->GetFont() == &dlg.m_fontCheck)
            ids.append(1004 + 4 * s);
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
    CWnd* pMonitor = dlg.GetDlgItem(1130);
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
