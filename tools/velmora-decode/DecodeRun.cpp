#include "DecodeRun.h"

#include "StateChanges.h"
#include "plots/TrackPlotDlg.h"
#include "tools/common/DecodeSession.h"

#include <QJsonDocument>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ReadInputFile(const std::string& strPath, std::string& bytes, std::string& strError) {
    int fd = open(strPath.c_str(), O_RDONLY);
    struct stat st = {};
    if (fd < 0 || fstat(fd, &st) != 0) {
        strError = std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        close(fd);
        strError = std::strerror(EISDIR);
        return false;
    }
    bytes.clear();
    char buffer[65536];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<size_t>(n));
    int nError = errno;
    close(fd);
    if (n < 0) {
        strError = std::strerror(nError);
        return false;
    }
    return true;
}

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

bool RunReplay(CDecodeSession& session, const DecodeOptions& opt, CLinePrinter& out) {
    session.ApplyMonitorSettings(opt.nFilters, opt.bPaused);
    int nLastTick = 0;
    bool bStarted = session.Replay(opt.strFile, [&](int nTick) {
        nLastTick = nTick;
        if (!opt.bFinal)
            out.Print(session.TickState(nTick));
    });
    if (bStarted && opt.bFinal)
        out.Print(session.TickState(nLastTick));
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
        nResult = RunReplay(session, opt, printer) ? 0 : 1;
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
