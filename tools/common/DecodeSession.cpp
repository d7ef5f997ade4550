#include "tools/common/DecodeSession.h"
#include "resources/ControlIds.h"

#include "core/LineEndings.h"
#include "platform/FileDialog.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ResourceIds.h"
#include "tools/common/WindowState.h"

#include <QJsonArray>
#include <cctype>
#include <optional>
#include <sstream>

namespace {

// The serial link names its port in lParam; nothing reads it.
constexpr LPARAM kPort = 1;

struct FilterBox {
    const char* pszName;
    SentenceFilter filter;
    int nCheckBox;
    void (CViewerDlg::*pToggle)();
};

constexpr FilterBox kFilterBoxes[] = {
    {"GGA", FILTER_GGA, IDC_FILTER_GGA, &CViewerDlg::OnToggleGGA},
    {"RMC", FILTER_RMC, IDC_FILTER_RMC, &CViewerDlg::OnToggleRMC},
    {"VTG", FILTER_VTG, IDC_FILTER_VTG, &CViewerDlg::OnToggleVTG},
    {"GSA", FILTER_GSA, IDC_FILTER_GSA, &CViewerDlg::OnToggleGSA},
    {"GSV", FILTER_GSV, IDC_FILTER_GSV, &CViewerDlg::OnToggleGSV},
};

std::string Upper(std::string str) {
    for (char& ch : str)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return str;
}

} // namespace

bool ParseFilterList(const std::string& strList, unsigned& nFilters, std::string& strError) {
    nFilters = 0;
    std::istringstream in(strList);
    std::string strName;
    while (std::getline(in, strName, ',')) {
        bool bKnown = false;
        for (const FilterBox& box : kFilterBoxes) {
            if (Upper(strName) == box.pszName) {
                nFilters |= box.filter;
                bKnown = true;
            }
        }
        if (!bKnown) {
            strError = "unknown sentence type \"" + strName + "\" (use GGA, RMC, VTG, GSA, GSV)";
            return false;
        }
    }
    return true;
}

CDecodeSession::CDecodeSession() {
    SetMessageBoxHook([this](const MessageBoxCall& call) {
        m_boxes.push_back(call);
        return IDOK;
    });
    m_app.m_pMainWnd = &m_dlg;
    m_dlg.Create(IDD_VIEWER_DIALOG);
    // Nobody sees a decode's window: hidden, its controls are not marked for painting at
    // every change of their texts.
    m_dlg.ShowWindow(SW_HIDE);
}

CDecodeSession::~CDecodeSession() {
    m_app.m_pMainWnd = nullptr;
    SetMessageBoxHook(nullptr);
}

void CDecodeSession::Prepare(unsigned nFilters, bool bPaused) {
    m_dlg.EnterAcquiringState();
    ApplyMonitorSettings(nFilters, bPaused);
}

void CDecodeSession::ApplyMonitorSettings(unsigned nFilters, bool bPaused) {
    for (const FilterBox& box : kFilterBoxes) {
        if (nFilters & box.filter)
            continue;
        // As a click does: the box changes its own mark, the handler the flag.
        m_dlg.GetDlgItem(box.nCheckBox)->SetCheck(0);
        (m_dlg.*box.pToggle)();
    }
    if (bPaused)
        m_dlg.OnPause();
}

bool CDecodeSession::FeedByte(unsigned char byte) {
    if (byte != '\n') {
        m_dlg.SendMessage(WM_SERIAL_RXCHAR, byte, kPort);
        return false;
    }
    // A line passed its checksum when the window marks a valid sentence at its line feed.
    int bGotValidSentence = m_dlg.m_bGotValidSentence;
    m_dlg.m_bGotValidSentence = 0;
    m_dlg.SendMessage(WM_SERIAL_RXCHAR, byte, kPort);
    bool bDispatched = m_dlg.m_bGotValidSentence == 1;
    m_dlg.m_bGotValidSentence = bDispatched ? 1 : bGotValidSentence;
    return bDispatched;
}

void CDecodeSession::Feed(const std::string& bytes, const DispatchHandler& onDispatch) {
    for (char ch : vbase::ReceiverLineEndings(bytes)) {
        if (ch != '\n' || !onDispatch) {
            FeedByte(static_cast<unsigned char>(ch));
            continue;
        }
        CString strLine = m_dlg.m_strSentence;
        if (FeedByte('\n')) {
            if (strLine.GetLength() > 0 && strLine[strLine.GetLength() - 1] == '\r')
                strLine.Delete(strLine.GetLength() - 1);
            onDispatch(strLine);
        }
    }
}

QJsonObject CDecodeSession::SentenceState(const CString& strSentence) {
    QJsonObject state = ReceiverState(m_dlg);
    state.insert("sentence", QString::fromStdString(strSentence.ToUtf8()));
    CString strCaption;
    m_dlg.GetDlgItemText(IDC_STARTSTOP, strCaption);
    state.insert("caption", QString::fromStdString(strCaption.ToUtf8()));
    state.insert("items", ItemTexts(m_dlg));
    return state;
}

bool CDecodeSession::Replay(const std::string& strPath,
                            const std::function<void(int nTick)>& onTick) {
    SetFileDialogHook(
        [strPath](const FileDialogCall&) { return std::optional<std::string>(strPath); });
    m_dlg.OnReplay();
    SetFileDialogHook(nullptr);
    if (!m_dlg.IsReplaying())
        return false;
    for (int nTick = 1; m_dlg.IsReplaying(); ++nTick) {
        m_dlg.RunReplayTick();
        if (onTick)
            onTick(nTick);
    }
    return true;
}

QJsonObject CDecodeSession::TickState(int nTick) {
    QJsonObject state = SentenceState(CString());
    state.insert("tick", nTick);
    state.insert("captions", ButtonCaptions(m_dlg));
    return state;
}

QJsonObject CDecodeSession::TrackState() {
    CTrackPlotDlg* pTrack = m_dlg.m_pTrackPlot;
    if (!pTrack)
        return QJsonObject();
    QJsonArray lastStep;
    if (!pTrack->m_points.empty())
        lastStep = {pTrack->m_points.back()->m_nDx, pTrack->m_points.back()->m_nDy};
    return QJsonObject{
        {"steps", static_cast<int>(pTrack->m_points.size())},
        {"lastStep", lastStep},
        {"scale", pTrack->m_nScale},
        {"offset", QJsonArray{pTrack->m_nOffsetX, pTrack->m_nOffsetY}},
        {"anchor", QJsonArray{pTrack->m_nAnchorX, pTrack->m_nAnchorY}},
        {"extents", QJsonArray{pTrack->m_nMinX, pTrack->m_nMaxX, pTrack->m_nMinY, pTrack->m_nMaxY}},
    };
}
