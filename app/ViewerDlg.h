// The main window: every control of the receiver display, the serial link, the decoded
// receiver state and the two plot windows.
#pragma once

#include "platform/Dialog.h"
#include "platform/File.h"
#include "serial/SerialLink.h"

#include <cstdio>

class CSkyPlotDlg;
class CTrackPlotDlg;

// Satellite state codes of the slots and the table cells.
constexpr int SAT_EMPTY = 0;
constexpr int SAT_GPS_USED = 11;
constexpr int SAT_GLONASS_USED = 12;
constexpr int SAT_STRONG_UNUSED = 13;
constexpr int SAT_GPS_UNUSED = 14;
constexpr int SAT_GLONASS_UNUSED = 15;

// The elevation or azimuth of a satellite the receiver tracks without a position.
constexpr int kNoAngle = -1;

constexpr int kSatSlots = 24;
constexpr int kCellStates = 100;

// Window timers of the main window.
constexpr UINT TIMER_REPLAY = 1;
constexpr UINT TIMER_BAUD_WATCHDOG = 2;
constexpr UINT kBaudWatchdogPeriod = 3000;

// The monitor keeps this many lines; the oldest go first.
constexpr int kMonitorLineLimit = 5000;

// Framing, live and replayed, drops a line that grows past this many characters.
constexpr int kMaxSentenceLength = 120;

class CViewerDlg : public CDialog {
public:
    explicit CViewerDlg(CWnd* pParent = nullptr);
    ~CViewerDlg() override;

    // Window handlers (app/).
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnCommand(UINT nID) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    HICON OnQueryDragIcon();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
    void OnTimer(UINT nIDEvent) override;
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnTogglePanel();
    void OnPause();
    void OnClear();
    void OnToggleGGA();
    void OnToggleRMC();
    void OnToggleVTG();
    void OnToggleGSA();
    void OnToggleGSV();
    void OnRecord();
    void OnReplay();
    void OnSkyPlot();
    void OnTrackPlot();
    void RenewSkyPlot();
    void DiscardTrackPlot();
    // The state a successful Start leaves, but for the port: captions, flags, cleared display
    // and renewed plot windows. Tools that decode without a port prepare the window with it.
    void EnterAcquiringState();
    void ExpireBaudWatchdog();
    void OnSerialRxSkipped();
    void RunReplayTick();
    void StopReplay();
    // Whether a replay runs: its button reads "停止回放".
    bool IsReplaying();
    // Whether the monitor panel is open: its button reads "关闭<<".
    bool IsPanelOpen();
    // Appends one received byte to the record file (while recording): at once for a byte
    // sent alone, at the end of its run for a byte of a run the reader handed over.
    void RecordByte(BYTE byte);
    void OnMessageRunEnd() override;

    // Framing, dispatch and decoders (nmea/).
    LRESULT OnSerialRxChar(WPARAM wParam, LPARAM lParam);
    void DispatchSentence();
    void EchoSentence(BOOL bShow);
    void DecodeGGA();
    // Whether a GGA or GNS of this talker and type ("GNGNS") with this UTC time field would
    // open a new epoch rather than join the current one.
    bool OpensEpoch(const CString& strSender, const CString& strTime) const;
    void UpdateFixStatus();
    void DecodeRMC();
    void DecodeVTG();
    void DecodeGSA();
    void DecodeGSV();
    void ResetReceiverState();

    // User-interface state.
    int m_nReplayPeriod = 1000;
    int m_bAcquiring = 0;
    CTrackPlotDlg* m_pTrackPlot = nullptr;
    CSliderCtrl m_sliderSpeed;
    CRichEditCtrl m_editMonitor;
    int m_bShowGGA = 1;
    int m_bShowGSA = 1;
    int m_bShowGSV = 1;
    int m_bShowRMC = 1;
    int m_bShowVTG = 1;
    CString m_strBaud;
    HICON m_hIcon = nullptr;
    CString m_strRecordFile;
    CAppendFile m_fileRecord;
    CString m_strRecordRun;
    CString m_strReplayFile;
    FILE* m_pReplayFile = nullptr;
    CSkyPlotDlg* m_pSkyPlot = nullptr;
    RECT m_rcFull;
    RECT m_rcCollapsed;
    CSerialLink m_serialLink;
    int m_nPort = 0;
    int m_nBaud = 0;
    CString m_strWork;
    int m_bStopped = 1;
    int m_bGotValidSentence = 0;
    int m_bBaudCheckPending = 0;
    // How long the first byte may go without a valid sentence; tests shorten it.
    UINT m_nBaudWatchdogPeriod = kBaudWatchdogPeriod;
    int m_bEchoOn = 1;
    int m_bRecording = 0;
    long m_nReplayPos = 0;
    long m_nReplayLength = 0;
    // Whether the running replay has dispatched a GGA or GNS yet.
    int m_bReplayedGga = 0;
    CFont m_fontTable;
    CFont m_fontCheck;
    CFont m_fontHeader;
    CFont m_fontButton;
    CFont m_fontLarge;
    CBrush m_brushWhite;

    // Receiver state: satellite slots 0-11 GPS, 12-23 GLONASS.
    CString m_strSatPrn[kSatSlots];
    int m_nSatState[kSatSlots] = {};
    int m_nSatElevation[kSatSlots] = {};
    int m_nSatAzimuth[kSatSlots] = {};
    int m_nCellState[kCellStates] = {};
    CString m_strLatitude;
    CString m_strLongitude;
    CString m_strAltitude;
    CString m_strSpeedKmh;
    CString m_strSpeedMs;
    CString m_strCourse;
    int m_nGpsInView = 0;
    int m_nGpsUsed = 0;
    int m_nGlonassInView = 0;
    int m_nGlonassUsed = 0;
    int m_bFixValid = 0;
    int m_nGpsInViewLast = 0;
    int m_nGlonassInViewLast = 0;
    int m_bNoFixEpoch = 0;
    int m_bTtffCounting = 0;
    int m_nTtffHours = 0;
    int m_nTtffMinutes = 0;
    int m_nTtffSeconds = 0;
    CString m_strSentence;
    CString m_strUsedPrns;
    int m_bGgaSeen = 0;
    // The epoch of the GGA or GNS that last ran the fix epoch output: its time field, its
    // talker and type, and whether another GGA or GNS has joined it since.
    int m_bEpochOpen = 0;
    CString m_strEpochTime;
    CString m_strEpochSender;
    int m_bEpochJoined = 0;
    // Whether the last sentence dispatched was a GSA.
    int m_bAfterGsa = 0;
    int m_bInChecksum = 0;
    unsigned char m_byChecksum = 0;

private:
    void WriteRecordRun();
    void StopRecording(const std::string& strReason);
    void ArmBaudWatchdog();
    void CheckAndDispatchLine();
    void DispatchReplayedLine();
    bool StartsNextEpoch() const;
    void CreateFonts();
    void AssignFonts();
    void SetControlFont(int nID, CFont& font);
};
