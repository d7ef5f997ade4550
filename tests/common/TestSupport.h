// Helpers shared by the test programs.
#pragma once

#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "resources/Captions.h"
#include "resources/ControlIds.h"

#include <QImage>
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

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

#include "tests/common/TestSupport.inl"
