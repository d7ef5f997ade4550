#include "platform/FileDialog.h"

#include "platform/GuiThread.h"
#include "platform/Wnd.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace {

FileDialogHook g_hook;

// "Text Files(*.txt)|*.txt||" becomes the Qt filter "Text Files(*.txt) (*.txt)".
QString QtFilter(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + parts[i + 1] + ")";
    return filters.join(";;");
}

} // namespace

void SetFileDialogHook(FileDialogHook hook) {
    AssertGuiThread();
    g_hook = std::move(hook);
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt, const char*, DWORD dwFlags,
                         const char* pszFilter, CWnd* pParentWnd)
    : m_bOpen(bOpenFileDialog), m_strDefExt(pszDefExt ? pszDefExt : ""),
      m_strFilter(pszFilter ? pszFilter : ""), m_dwFlags(dwFlags), m_pParentWnd(pParentWnd) {}

int CFileDialog::DoModal() {
    AssertGuiThread();
    std::string title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : "";
    std::optional<std::string> choice;
    if (g_hook) {
        choice = g_hook(FileDialogCall{m_bOpen != 0, title, m_strFilter, m_strDefExt, m_dwFlags});
    } else {
        QFileDialog dlg(m_pParentWnd ? m_pParentWnd->Widget() : nullptr,
                        QString::fromStdString(title), QString(), QtFilter(m_strFilter));
        dlg.setAcceptMode(m_bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dlg.setFileMode(m_bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dlg.setDefaultSuffix(QString::fromStdString(m_strDefExt));
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !(m_dwFlags & OFN_OVERWRITEPROMPT));
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            choice = dlg.selectedFiles().first().toStdString();
    }
    if (!choice)
        return IDCANCEL;
    QString path = QFileInfo(QString::fromStdString(*choice)).absoluteFilePath();
    m_strPath = CString::FromUnicode(path);
    return IDOK;
}

CString CFileDialog::GetFileName() const {
    int nSlash = -1;
    for (int i = 0; i < m_strPath.GetLength(); ++i)
        if (m_strPath[i] == '/')
            nSlash = i;
    return m_strPath.Mid(nSlash + 1);
}
