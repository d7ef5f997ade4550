#include "tools/common/WindowState.h"

#include "app/ViewerDlg.h"

#include <QString>

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
