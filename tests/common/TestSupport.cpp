#include "tests/common/TestSupport.h"

#include "resources/ResourceIds.h"

#include <QWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

CBoxRecorder::CBoxRecorder() {
    SetMessageBoxHook([this](const MessageBoxCall& call) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_calls.push_back(call);
        return IDOK;
    });
}

CBoxRecorder::~CBoxRecorder() {
    SetMessageBoxHook(nullptr);
}

std::vector<MessageBoxCall> CBoxRecorder::Calls() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_calls;
}

size_t CBoxRecorder::Count() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_calls.size();
}

CFileChooser::CFileChooser(std::optional<std::string> path) {
    SetFileDialogHook([this, path](const FileDialogCall& call) {
        m_calls.push_back(call);
        return path;
    });
}

CFileChooser::~CFileChooser() {
    SetFileDialogHook(nullptr);
}

CViewerHarness::CViewerHarness() : m_pDlg(std::make_unique<CViewerDlg>()) {
    m_app.m_pMainWnd = m_pDlg.get();
    m_pDlg->Create(IDD_VIEWER_DIALOG);
}

CViewerHarness::~CViewerHarness() {
    m_pDlg.reset();
    m_app.m_pMainWnd = nullptr;
}

CString CViewerHarness::Text(int nID) {
    CString str;
    m_pDlg->GetDlgItemText(nID, str);
    return str;
}

std::string CViewerHarness::Utf8(int nID) {
    return Text(nID).ToUtf8();
}

void StartRecording(CViewerDlg& dlg, const std::string& path) {
    CFileChooser chooser(path);
    dlg.OnRecord();
}

void StartReplay(CViewerDlg& dlg, const std::string& path) {
    CFileChooser chooser(path);
    dlg.OnReplay();
}

QString MonitorText(CViewerDlg& dlg) {
    CString str;
    dlg.GetDlgItemText(IDC_MONITOR, str);
    return str.ToUnicode();
}

void PumpEvents(int nMilliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < nMilliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

QImage Render(QWidget* pWidget) {
    return pWidget->grab().toImage();
}

int CountPixels(const QImage& img, const QColor& c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c ? 1 : 0;
    return n;
}

CTempDir::CTempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (mkdtemp(tmpl.data()))
        m_path = tmpl;
}

CTempDir::~CTempDir() {
    std::error_code ec;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ec);
}

testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}
