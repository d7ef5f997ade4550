// Sentences with correct checksums, fed byte by byte to a main window prepared as a successful
// Start leaves it.
#pragma once

#include "tests/common/Nmea.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

// The two upper-case hex digits of the XOR of a sentence body (the text between "$" and "*").
std::string Checksum(const std::string& body);

// Stands in for a plot window and counts the refresh notifications it receives.
template <typename Plot> class CPlotSpy : public Plot {
public:
    explicit CPlotSpy(Plot*& rpSlot) : m_rpSlot(rpSlot), m_pSaved(rpSlot) { rpSlot = this; }
    ~CPlotSpy() override { m_rpSlot = m_pSaved; }
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        if (message == WM_COPYDATA)
            ++m_nRefreshes;
        return 0;
    }
    int m_nRefreshes = 0;

private:
    Plot*& m_rpSlot;
    Plot* m_pSaved;
};

class CNmeaTest : public testing::Test {
protected:
    CNmeaTest();
    CViewerDlg& Dlg() { return m_harness.Dlg(); }
    void Feed(const std::string& bytes);
    void Send(const std::string& body) { Feed(Sentence(body)); }
    // Whether the bytes ended in a line that passed its checksum.
    bool Dispatched(const std::string& bytes);
    // A control's text as GBK bytes.
    std::string Text(int nID) { return m_harness.Text(nID).Bytes(); }
    int MonitorLength() { return Dlg().GetDlgItem(IDC_MONITOR)->GetWindowTextLength(); }

    CViewerHarness m_harness;
};

// The GBK degree sign.
constexpr const char* kDeg = "\xA1\xE3";

// The fix flag of a decoder case that leaves it unchecked.
constexpr int kAnyFix = -1;

// A row of a decoder table: the sentences fed in order to a window as a successful Start left
// it, and what the window shows after the last. A sentence is a body, its checksum added, or a
// whole line from "$" on as a receiver sent it.
struct DecodeCase {
    const char* pszWhat;
    std::vector<std::string> sentences;
    std::vector<std::pair<int, std::string>> texts; // control id, GBK text
    int bFixValid = kAnyFix;
};

// Decodes each row in a window of its own: every sentence must pass its checksum and the
// controls show the row's texts.
void ExpectDecodedTexts(const std::vector<DecodeCase>& cases);
