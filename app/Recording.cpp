#include "app/ViewerDlg.h"

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

// Opens, writes and closes the file for every byte, so that everything received is on disk
// once handled and a vanished folder or a full disk shows at the next byte.
bool AppendBytes(const CString& strPath, const char* pBytes, size_t nLength) {
    int fd = open(strPath.ToUtf8().c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool bOk = write(fd, pBytes, nLength) == static_cast<ssize_t>(nLength);
    return close(fd) == 0 && bOk;
}

bool CreateEmptyFile(const CString& strPath) {
    int fd = open(strPath.ToUtf8().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd >= 0 && close(fd) == 0;
}

} // namespace

void CViewerDlg::OnRecord() {
    if (m_bRecording != 0) {
        SetDlgItemText(1127, GBK("记录语句"));
        m_bRecording = 0;
        return;
    }
    CFileDialog dlg(FALSE, "txt", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Text Files(*.txt)|*.txt||", this);
    dlg.m_ofn.lpstrTitle = "保存记录语句文件为";
    if (dlg.DoModal() != IDOK)
        return;
    // Kept by its full path: a later file dialog elsewhere must not redirect the recording.
    m_strRecordFile = dlg.GetPathName();
    if (!CreateEmptyFile(m_strRecordFile)) {
        AfxMessageBox(GBK("记录文件无法写入!"));
        return;
    }
    SetDlgItemText(1127, GBK("停止记录"));
    m_bRecording = 1;
}

void CViewerDlg::RecordByte(BYTE byte) {
    // The record file stores each received line feed as CR LF.
    bool bOk = byte == '\n' ? AppendBytes(m_strRecordFile, "\r\n", 2)
                            : AppendBytes(m_strRecordFile, reinterpret_cast<const char*>(&byte), 1);
    if (bOk)
        return;
    m_bRecording = 0;
    SetDlgItemText(1127, GBK("记录语句"));
    AfxMessageBox(GBK("记录文件无法写入!"));
}
