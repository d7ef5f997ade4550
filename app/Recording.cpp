#include "app/ViewerDlg.h"
#include "resources/Captions.h"
#include "resources/ControlIds.h"

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

void CViewerDlg::OnRecord() {
    if (m_bRecording != 0) {
        SetDlgItemText(IDC_RECORD, GBK(kCaptionRecord));
        m_bRecording = 0;
        m_fileRecord.Close();
        return;
    }
    CFileDialog dlg(FALSE, "txt", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Text Files(*.txt)|*.txt|All Files(*)|*||", this);
    dlg.m_ofn.lpstrTitle = "保存记录语句文件为";
    if (dlg.DoModal() != IDOK)
        return;
    // Kept by its full path as the file system spells it: a later file dialog elsewhere must
    // not redirect the recording, and no name may lose letters GBK does not have.
    m_strRecordFile = dlg.GetPathName();
    std::string strReason;
    if (!m_fileRecord.Create(m_strRecordFile.Bytes(), strReason)) {
        AfxMessageBox(GBK("记录文件无法写入!"), MB_OK, m_strRecordFile.Bytes() + "\n" + strReason);
        return;
    }
    m_strRecordRun.Empty();
    SetDlgItemText(IDC_RECORD, GBK(kCaptionStopRecord));
    m_bRecording = 1;
}

void CViewerDlg::RecordByte(BYTE byte) {
    // The record file stores each received line feed as CR LF.
    if (byte == '\n')
        m_strRecordRun += '\r';
    m_strRecordRun += static_cast<char>(byte);
    if (!InMessageRun())
        WriteRecordRun();
}

void CViewerDlg::OnMessageRunEnd() {
    WriteRecordRun();
}

// One write per run of received bytes keeps a slow disk from holding up the window and the
// line; the file holds the run once the reader's send returns.
void CViewerDlg::WriteRecordRun() {
    if (m_bRecording != 1 || m_strRecordRun.IsEmpty())
        return;
    std::string strReason;
    bool bOk = m_fileRecord.Write(m_strRecordRun.GetString(),
                                  static_cast<size_t>(m_strRecordRun.GetLength()), strReason) &&
               m_fileRecord.IsStillAtPath(strReason);
    m_strRecordRun.Empty();
    if (!bOk)
        StopRecording(strReason);
}

void CViewerDlg::StopRecording(const std::string& strReason) {
    m_bRecording = 0;
    m_fileRecord.Close();
    SetDlgItemText(IDC_RECORD, GBK(kCaptionRecord));
    AfxMessageBox(GBK("记录文件无法写入!"), MB_OK, m_strRecordFile.Bytes() + "\n" + strReason);
}
