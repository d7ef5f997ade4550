#include "app/ViewerDlg.h"

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

#include <string>
#include <sys/stat.h>

namespace {

// A tick reads at most this much, so a file without epochs never holds the window up.
constexpr long kMaxBytesPerTick = 65536;

constexpr int kPeriodBySliderPosition[] = {1000, 800, 600, 400, 10};

// One byte of the file as text mode reads it: CR LF comes back as LF.
int ReadTextByte(FILE* pFile) {
    int c = std::getc(pFile);
    if (c != '\r')
        return c;
    int next = std::getc(pFile);
    if (next == '\n')
        return '\n';
    if (next != EOF)
        std::ungetc(next, pFile);
    return c;
}

// Only a plain file can be replayed: opening a pipe or a device would wait for a writer and
// hold the window up.
FILE* OpenRegularFile(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    return std::fopen(path.c_str(), "rb");
}

bool EndsWithGgaAtEight(const CString& strTick) {
    int n = strTick.GetLength();
    return n >= 11 && strTick[n - 3] == 'G' && strTick[n - 2] == 'G' && strTick[n - 1] == 'A';
}

} // namespace

void CViewerDlg::OnReplay() {
    GetDlgItemText(1139, m_strWork);
    if (m_strWork == GBK("停止回放")) {
        StopReplay();
        return;
    }
    if (m_bAcquiring != 0)
        return;
    m_nReplayPos = 0;
    CFileDialog dlg(TRUE, "txt", nullptr, 0, "Text Files(*.txt)|*.txt|All Files(*)|*||", this);
    dlg.m_ofn.lpstrTitle = "打开回放语句文件";
    if (dlg.DoModal() != IDOK)
        return;
    m_strReplayFile = dlg.GetPathName();
    m_pReplayFile = OpenRegularFile(m_strReplayFile.Bytes());
    if (!m_pReplayFile) {
        AfxMessageBox(GBK("文件不存在或打不开!"));
        return;
    }
    ResetReceiverState();
    RenewSkyPlot();
    DiscardTrackPlot();
    std::fseek(m_pReplayFile, 0, SEEK_END);
    m_nReplayLength = std::ftell(m_pReplayFile);
    std::rewind(m_pReplayFile);
    SetDlgItemText(1139, GBK("停止回放"));
    SetTimer(TIMER_REPLAY, static_cast<UINT>(m_nReplayPeriod), nullptr);
}

void CViewerDlg::StopReplay() {
    KillTimer(TIMER_REPLAY);
    if (m_pReplayFile)
        std::fclose(m_pReplayFile);
    m_pReplayFile = nullptr;
    SetDlgItemText(1139, GBK("回放语句"));
}

// One epoch: from just after one "GGA" to just after the next, dispatching every line between.
// The file plays to its end, a last line without a line feed excepted, as live.
void CViewerDlg::RunReplayTick() {
    GetDlgItemText(1139, m_strWork);
    if (m_strWork != GBK("停止回放") || !m_pReplayFile) {
        // The track window can start this timer with no replay running: nothing to read.
        KillTimer(TIMER_REPLAY);
        return;
    }
    CString strTick;
    bool bEndOfFile = false;
    while (!EndsWithGgaAtEight(strTick) && strTick.GetLength() < kMaxBytesPerTick) {
        int c = ReadTextByte(m_pReplayFile);
        if (c == EOF) {
            bEndOfFile = true;
            break;
        }
        strTick += static_cast<char>(c);
        m_strSentence += static_cast<char>(c);
        if (c == '\n') {
            DispatchSentence();
            m_strSentence.Empty();
        } else if (m_strSentence.GetLength() > kMaxSentenceLength) {
            // As live framing drops it: a line this long is no sentence, and gathering it
            // whole would hold the window up and the memory with it.
            m_strSentence.Empty();
        }
    }
    m_nReplayPos = std::ftell(m_pReplayFile);
    if (bEndOfFile)
        StopReplay();
}

void CViewerDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) {
    if (nSBCode == SB_ENDSCROLL)
        return;
    if (pScrollBar && pScrollBar->GetDlgCtrlID() == 1140) {
        int nPosition = m_sliderSpeed.GetPos();
        if (nPosition >= 1 && nPosition <= 5)
            m_nReplayPeriod = kPeriodBySliderPosition[nPosition - 1];
        GetDlgItemText(1139, m_strWork);
        if (m_strWork == GBK("停止回放"))
            SetTimer(TIMER_REPLAY, static_cast<UINT>(m_nReplayPeriod), nullptr);
    }
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}
