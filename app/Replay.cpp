#include "app/ViewerDlg.h"
#include "nmea/FieldWalker.h"
#include "resources/Captions.h"
#include "resources/ControlIds.h"

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

// A sentence whose "$" stands before this index of a tick never ends it: the first tick of a
// file that starts with its epoch sentence plays that sentence.
constexpr int kFirstBoundary = 8;

bool IsEpochSentence(const CString& strType) {
    return strType == "GGA" || strType == "GNS";
}

} // namespace

void CViewerDlg::OnReplay() {
    if (IsReplaying()) {
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
    m_bReplayedGga = 0;
    RenewSkyPlot();
    DiscardTrackPlot();
    std::fseek(m_pReplayFile, 0, SEEK_END);
    m_nReplayLength = std::ftell(m_pReplayFile);
    std::rewind(m_pReplayFile);
    SetDlgItemText(IDC_REPLAY, GBK(kCaptionStopReplay));
    SetTimer(TIMER_REPLAY, static_cast<UINT>(m_nReplayPeriod), nullptr);
}

bool CViewerDlg::IsReplaying() {
    GetDlgItemText(IDC_REPLAY, m_strWork);
    return m_strWork == GBK(kCaptionStopReplay);
}

void CViewerDlg::StopReplay() {
    KillTimer(TIMER_REPLAY);
    if (m_pReplayFile)
        std::fclose(m_pReplayFile);
    m_pReplayFile = nullptr;
    SetDlgItemText(IDC_REPLAY, GBK(kCaptionReplay));
}

// One epoch: every line up to the GGA or GNS that opens the next epoch, whose start up to its
// time field waits in m_strSentence for the next tick. The file plays to its end, a last line
// without a line feed excepted, as live.
void CViewerDlg::RunReplayTick() {
    if (!IsReplaying() || !m_pReplayFile) {
        // The track window can start this timer with no replay running: nothing to read.
        KillTimer(TIMER_REPLAY);
        return;
    }
    CString strTick;
    bool bEndOfFile = false;
    int nLineStart = -1; // where the line's "$" stands in the tick
    int nCommas = 0;
    while (strTick.GetLength() < kMaxBytesPerTick) {
        int c = ReadTextByte(m_pReplayFile);
        if (c == EOF) {
            bEndOfFile = true;
            break;
        }
        strTick += static_cast<char>(c);
        if (c == '$') {
            // As live: a "$" starts a new sentence.
            m_strSentence = "$";
            nLineStart = strTick.GetLength() - 1;
            nCommas = 0;
            continue;
        }
        m_strSentence += static_cast<char>(c);
        if (c == '\n') {
            DispatchReplayedLine();
            nLineStart = -1;
        } else if (m_strSentence.GetLength() > kMaxSentenceLength) {
            // As live framing drops it: a line this long is no sentence, and gathering it
            // whole would hold the window up and the memory with it.
            m_strSentence.Empty();
            nLineStart = -1;
        } else if (c == ',' && ++nCommas == 2 && nLineStart >= kFirstBoundary &&
                   StartsNextEpoch()) {
            break;
        }
    }
    m_nReplayPos = std::ftell(m_pReplayFile);
    if (bEndOfFile)
        StopReplay();
}

void CViewerDlg::DispatchReplayedLine() {
    if (IsEpochSentence(SentenceFormatter(m_strSentence)))
        m_bReplayedGga = 1;
    DispatchSentence();
    m_strSentence.Empty();
}

// Whether the sentence gathered up to its time field ends the tick: a GGA or GNS that would
// open a new epoch, or, while the replay has had none, an RMC (receivers without GGA take the
// epoch from RMC).
bool CViewerDlg::StartsNextEpoch() const {
    CString strType = SentenceFormatter(m_strSentence);
    if (strType == "RMC")
        return m_bReplayedGga == 0;
    if (!IsEpochSentence(strType))
        return false;
    int nComma = m_strSentence.Find(',');
    CString strTime = m_strSentence.Mid(nComma + 1, m_strSentence.GetLength() - nComma - 2);
    return OpensEpoch(SentenceTalker(m_strSentence) + strType, strTime);
}

void CViewerDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) {
    if (nSBCode == SB_ENDSCROLL)
        return;
    if (pScrollBar && pScrollBar->GetDlgCtrlID() == IDC_REPLAY_SPEED) {
        int nPosition = m_sliderSpeed.GetPos();
        if (nPosition >= 1 && nPosition <= 5)
            m_nReplayPeriod = kPeriodBySliderPosition[nPosition - 1];
        if (IsReplaying())
            SetTimer(TIMER_REPLAY, static_cast<UINT>(m_nReplayPeriod), nullptr);
    }
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}
