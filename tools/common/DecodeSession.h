// A main window driven without a receiver: created offscreen and never shown, prepared as a
// successful Start prepares it, and fed a byte stream as the serial link feeds it.
#pragma once

#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "platform/MessageBox.h"

#include <QJsonObject>
#include <functional>
#include <string>
#include <vector>

// The echo filters of the monitor, one bit per sentence type.
enum SentenceFilter : unsigned {
    FILTER_GGA = 1,
    FILTER_RMC = 2,
    FILTER_VTG = 4,
    FILTER_GSA = 8,
    FILTER_GSV = 16,
    FILTER_ALL = 31,
};

// Parses a comma-separated list of GGA, RMC, VTG, GSA and GSV (any case; an empty list ticks
// none). On an unknown name returns false and names it in strError.
bool ParseFilterList(const std::string& strList, unsigned& nFilters, std::string& strError);

class CDecodeSession {
public:
    // Called after each sentence the window dispatched, with its text without the line end.
    using DispatchHandler = std::function<void(const CString& strSentence)>;

    // Message boxes are recorded from here on, never shown.
    CDecodeSession();
    ~CDecodeSession();
    CDecodeSession(const CDecodeSession&) = delete;
    CDecodeSession& operator=(const CDecodeSession&) = delete;

    CViewerDlg& Dlg() { return m_dlg; }
    // The state of a successful Start (without a port), then the monitor settings.
    void Prepare(unsigned nFilters, bool bPaused);
    // The filters and the pause, applied through the window's own handlers.
    void ApplyMonitorSettings(unsigned nFilters, bool bPaused);
    // Starts a replay of the file through the replay button (its dialog answered with the
    // path) and runs the ticks back to back until it ends; false when it did not start.
    bool Replay(const std::string& strPath, const std::function<void(int nTick)>& onTick);
    // Feeds the bytes one by one through OnSerialRxChar, line endings as a receiver sends them.
    void Feed(const std::string& bytes, const DispatchHandler& onDispatch);
    // The window's state after a dispatched sentence, as one JSON object.
    QJsonObject SentenceState(const CString& strSentence);
    // The window's state after a replay tick: as after a sentence, with the tick's number and
    // the button captions.
    QJsonObject TickState(int nTick);
    // The track window's view after a refresh (null when there is none).
    QJsonObject TrackState();
    std::vector<MessageBoxCall> Boxes() const { return m_boxes; }

private:
    bool FeedByte(unsigned char byte);

    CViewerApp m_app;
    CViewerDlg m_dlg;
    std::vector<MessageBoxCall> m_boxes;
};
