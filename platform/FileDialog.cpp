#include "platform/FileDialog.h"

#include "platform/GuiThread.h"
#include "platform/Wnd.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <filesystem>

namespace {

FileDialogHook g_hook;
// Every file dialog opens where the last one left off.
std::string g_strLastFolder;

// "Text Files(*.txt)|*.txt|All Files(*)|*||" becomes the Qt filters "Text Files(*.txt)" and
// "All Files(*)": a description that already ends in its pattern is not given it twice.
QString QtFilter(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = "(" + parts[i + 1] + ")";
        filters << (parts[i].endsWith(pattern) ? parts[i] : parts[i] + " " + pattern);
    }
    return filters.join(";;");
}

// The full path, without "." and ".." steps, in the file system's bytes.
std::string AbsolutePath(const std::string& path) {
    std::filesystem::path full(path);
    if (full.is_relative()) {
        std::error_code error;
        full = std::filesystem::current_path(error) / full;
    }
    return full.lexically_normal().string();
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
        choice = g_hook(FileDialogCall{m_bOpen != 0, title, m_strFilter, m_strDefExt, m_dwFlags,
                                       g_strLastFolder});
    } else {
        QFileDialog dlg(m_pParentWnd ? m_pParentWnd->Widget() : nullptr,
                        QString::fromStdString(title), QFile::decodeName(g_strLastFolder.c_str()),
                        QtFilter(m_strFilter));
        dlg.setAcceptMode(m_bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dlg.setFileMode(m_bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dlg.setDefaultSuffix(QString::fromStdString(m_strDefExt));
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !(m_dwFlags & OFN_OVERWRITEPROMPT));
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            choice = QFile::encodeName(dlg.selectedFiles().first()).toStdString();
    }
    if (!choice)
        return IDCANCEL;
    std::string path = AbsolutePath(*choice);
    g_strLastFolder = std::filesystem::path(path).parent_path().string();
    m_strPath = CString(path);
    return IDOK;
}

CString CFileDialog::GetFileName() const {
    int nSlash = -1;
    for (int i = 0; i < m_strPath.GetLength(); ++i)
        if (m_strPath[i] == '/')
            nSlash = i;
    return m_strPath.Mid(nSlash + 1);
}
