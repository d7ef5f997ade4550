// The fixture of the tests on a live port: a main window whose COM field names a receiver's
// pseudo-terminal, linked as COM7 in a HOME of the test's own, with its message boxes recorded.
#pragma once

#include "tests/common/PseudoTerminal.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

class CLivePortTest : public ::testing::Test {
public:
    static constexpr int kPort = 7;
    // A wrong-speed watchdog period for the tests that wait for it to act, so that none waits
    // the program's 3 s.
    static constexpr UINT kShortWatchdogPeriod = 200;

protected:
    void SetUp() override;
    CViewerDlg& Dlg() { return m_harness.Dlg(); }
    // The Start/Stop button's caption.
    std::string Caption() { return m_harness.Utf8(IDC_STARTSTOP); }
    bool CaptionBecomes(const char* pszCaption, int nMilliseconds = 5000);
    void SelectBaud(const char* pszBaud);
    // Switches recording on, the file dialog answered with the path.
    void StartRecording(const std::string& path) { ::StartRecording(Dlg(), path); }
    // Start with the receiver sending: the caption waits for a sentence, then reads Stop.
    void StartAndReceive();
    std::vector<std::string> BoxTexts() const;

    CPortHome m_home;
    CPseudoTerminal m_pty;
    CTempDir m_dir;
    CBoxRecorder m_boxes;
    CViewerHarness m_harness;
};
