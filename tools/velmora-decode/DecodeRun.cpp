#include "DecodeRun.h"

#include "StateChanges.h"
#include "plots/TrackPlotDlg.h"
#include "tools/common/DecodeSession.h"
#include "tools/common/InputFile.h"

#include <QJsonDocument>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Prints each state as one JSON line, whole or as its changes since the line before.
class CLinePrinter {
public:
    CLinePrinter(bool bChanges, std::FILE* out) : m_bChanges(bChanges), m_out(out) {}

    void Print(const QJsonObject& state) {
        QByteArray line = QJsonDocument(m_bChanges ? m_changes.Next(state) : state)
                              .toJson(QJsonDocument::Compact);
        line += '\n';
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), m_out);
    }

private:
    bool m_bChanges;
    std::FILE* m_out;
    CStateChanges m_changes;
};

// Live: every byte through the serial byte handler; a line per dispatched sentence, or per
// refresh of the track window (painted after each, as a shown window is).
void RunLive(CDecodeSession& session, const DecodeOptions& opt, const std::string& bytes,
             CLinePrinter& out) {
    session.Prepare(opt.nFilters, opt.bPaused);
    CViewerDlg& dlg = session.Dlg();
    if (opt.bTrack) {
        dlg.OnTrackPlot();
        dlg.m_pTrackPlot->RedrawNow();
    }
    size_t nSteps = 0;
    CString strLast;
    session.Feed(bytes, [&](const CString& strSentence) {
        strLast = strSentence;
        if (!opt.bTrack) {
            if (!opt.bFinal)
                out.Print(session.SentenceState(strSentence));
            return;
        }
        if (!dlg.m_pTrackPlot || dlg.m_pTrackPlot->m_points.size() == nSteps)
            return;
        nSteps = dlg.m_pTrackPlot->m_points.size();
        dlg.m_pTrackPlot->RedrawNow();
        if (!opt.bFinal)
            out.Print(session.TrackState());
    });
    if (opt.bFinal)
        out.Print(opt.bTrack ? session.TrackState() : session.SentenceState(strLast));
}

// Replay opens its file by name, so standard input is put in a file in memory first; the
// descriptor (-1 when not needed) is the caller's to close.
std::string ReplayPath(const DecodeOptions& opt, const std::string& bytes, int& hMemory) {
    hMemory = -1;
    if (opt.strFile != "-")
        return opt.strFile;
    hMemory = memfd_create("velmora-decode-stdin", MFD_CLOEXEC);
    if (hMemory < 0 ||
        write(hMemory, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        return opt.strFile;
    return "/proc/self/fd/" + std::to_string(hMemory);
}

bool RunReplay(CDecodeSession& session, const DecodeOptions& opt, const std::string& bytes,
               CLinePrinter& out) {
    session.ApplyMonitorSettings(opt.nFilters, opt.bPaused);
    int hMemory;
    std::string strPath = ReplayPath(opt, bytes, hMemory);
    int nLastTick = 0;
    bool bStarted = session.Replay(strPath, [&](int nTick) {
        nLastTick = nTick;
        if (!opt.bFinal)
            out.Print(session.TickState(nTick));
    });
    if (bStarted && opt.bFinal)
        out.Print(session.TickState(nLastTick));
    if (hMemory >= 0)
        close(hMemory);
    return bStarted;
}

} // namespace

int RunDecode(const DecodeOptions& opt, std::FILE* out, std::FILE* err) {
    std::string bytes;
    std::string strError;
    if (!ReadInputFile(opt.strFile, bytes, strError)) {
        std::fprintf(err, "velmora-decode: cannot read %s: %s\n", opt.strFile.c_str(),
                     strError.c_str());
        return 1;
    }
    CDecodeSession session;
    CLinePrinter printer(opt.bChanges, out);
    int nResult = 0;
    if (opt.bReplay)
        nResult = RunReplay(session, opt, bytes, printer) ? 0 : 1;
    else
        RunLive(session, opt, bytes, printer);
    for (const MessageBoxCall& box : session.Boxes())
        std::fprintf(err, "velmora-decode: message box \"%s\": %s\n", box.caption.c_str(),
                     box.text.c_str());
    if (std::fflush(out) != 0) {
        std::fprintf(err, "velmora-decode: cannot write the output: %s\n", std::strerror(errno));
        return 1;
    }
    return nResult;
}
