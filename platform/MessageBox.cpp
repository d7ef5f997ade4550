#include "platform/MessageBox.h"

#include "platform/App.h"
#include "platform/GuiThread.h"
#include "platform/Wnd.h"

#include <QMessageBox>
#include <mutex>

namespace {

std::mutex g_hookLock;
MessageBoxHook g_hook;

QMessageBox::Icon IconOf(UINT nType) {
    switch (nType & 0xF0) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

MessageBoxHook CurrentHook() {
    std::lock_guard<std::mutex> guard(g_hookLock);
    return g_hook;
}

int ShowBox(CWnd* pOwner, const CString& strText, const CString& strCaption, UINT nType,
            const std::string& strDetail) {
    AssertGuiThread();
    // Called outside the lock: a hook may take its time, or raise or set hooks itself.
    if (const MessageBoxHook hook = CurrentHook())
        return hook(MessageBoxCall{strText.ToUtf8(), strCaption.ToUtf8(), nType, strDetail});
    QMessageBox box(IconOf(nType), strCaption.ToUnicode(), strText.ToUnicode(),
                    (nType & 0x0F) == MB_YESNO ? QMessageBox::Yes | QMessageBox::No
                                               : QMessageBox::Ok,
                    pOwner ? pOwner->Widget() : nullptr);
    // Shown at once under the text, never behind a button: it is why the box came up.
    if (!strDetail.empty())
        box.setInformativeText(QString::fromStdString(strDetail));
    int result = box.exec();
    if (result == QMessageBox::Yes)
        return IDYES;
    if (result == QMessageBox::No)
        return IDNO;
    return IDOK;
}

} // namespace

int AfxMessageBox(const CString& strText, UINT nType, const std::string& strDetail) {
    CWinApp* pApp = AfxGetApp();
    UINT nIcon = (nType & 0xF0) ? 0 : MB_ICONEXCLAMATION;
    return ShowBox(AfxGetMainWnd(), strText, pApp ? pApp->AppName() : CString("Velmora"),
                   nType | nIcon, strDetail);
}

int MessageBox(CWnd* pOwner, const CString& strText, const CString& strCaption, UINT nType,
               const std::string& strDetail) {
    return ShowBox(pOwner, strText, strCaption, nType, strDetail);
}

void SetMessageBoxHook(MessageBoxHook hook) {
    AssertGuiThread();
    std::lock_guard<std::mutex> guard(g_hookLock);
    g_hook = std::move(hook);
}

bool HasMessageBoxHook() {
    std::lock_guard<std::mutex> guard(g_hookLock);
    return static_cast<bool>(g_hook);
}
