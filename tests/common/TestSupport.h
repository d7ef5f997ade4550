// Helpers shared by the test programs.
#pragma once

#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "resources/Captions.h"
#include "resources/ControlIds.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Records every message box raised while it lives, from any thread; each box is answered OK.
class CBoxRecorder {
public:
    CBoxRecorder();
    ~CBoxRecorder();
    std::vector<MessageBoxCall> Calls() const;
    size_t Count() const;

private:
    mutable std::mutex m_lock;
    std::vector<MessageBoxCall> m_calls;
};

// Answers every file dialog with the given path (or a cancel when empty) while it lives.
class CFileChooser {
public:
    explicit CFileChooser(std::optional<std::string> path);
    ~CFileChooser();
    std::vector<FileDialogCall> Calls() const { return m_calls; }

private:
    std::vector<FileDialogCall> m_calls;
};

// A main window created as the program creates it (modeless here, so tests can drive it),
// registered as the application's main window.
class CViewerHarness {
public:
    CViewerHarness();
    ~CViewerHarness();
    CViewerDlg& Dlg() { return *m_pDlg; }
    CString Text(int nID);
    std::string Utf8(int nID);

private:
    CViewerApp m_app;
    std::unique_ptr<CViewerDlg> m_pDlg;
};

// Switches recording on, or starts a replay, as a user does: the file dialog answered with the
// path.
void StartRecording(CViewerDlg& dlg, const std::string& path);
void StartReplay(CViewerDlg& dlg, const std::string& path);

// The text of the sentence monitor, everything echoed so far included.
QString MonitorText(CViewerDlg& dlg);

// Runs the event loop for a while (timers, queued sends, paints).
void PumpEvents(int nMilliseconds);
// Runs the event loop until the condition holds or the time is up; true if it held.
template <typename Condition> bool WaitFor(Condition condition, int nMilliseconds = 5000);

// Renders a widget as the screen would show it.
QImage Render(QWidget* pWidget);
// The pixels of an image that have exactly the given colour.
int CountPixels(const QImage& img, const QColor& c);

// A private temporary folder, removed with everything in it.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// The fixture of tests on one main window, with a private folder for the files it writes and
// reads.
class CWindowTest : public testing::Test {
protected:
    CViewerDlg& Dlg() { return m_harness.Dlg(); }

    CViewerHarness m_harness;
    CTempDir m_dir;
    const std::string m_path = m_dir.File("file.txt");
};

// Whether the text holds the part; a failure shows both.
testing::AssertionResult Contains(const std::string& text, const std::string& part);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

#include "tests/common/TestSupport.inl"
