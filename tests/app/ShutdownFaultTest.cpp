// Escape at the worst moments, in the program as it runs: the modal main window ends at once,
// the window goes with its reader or its replay file, and nothing handled is lost.
#include "tests/app/FaultSupport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr int kPort = 7;

void PressEscape(CDialog& dlg) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.Widget(), &key);
}

// Runs the main window modally as the program does: prepare runs once the window is up, and
// Escape is pressed at the first check that holds; the window is destroyed on return.
void RunUntilEscape(CViewerApp& app, CViewerDlg* pDlg, const std::function<void()>& prepare,
                    const std::function<bool()>& ready) {
    app.m_pMainWnd = pDlg;
    QTimer::singleShot(0, prepare);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!ready())
            return;
        poll.stop();
        PressEscape(*pDlg);
    });
    poll.start(10);
    pDlg->DoModal();
    delete pDlg;
    app.m_pMainWnd = nullptr;
}

// The first n bytes of a pattern sent over and over.
std::string CyclicPrefix(const std::string& pattern, size_t n) {
    std::string bytes;
    while (bytes.size() < n)
        bytes += pattern;
    bytes.resize(n);
    return bytes;
}

} // namespace

TEST(ShutdownFault, EscapeWhileAcquiringAndRecordingAt57600KeepsEveryHandledByte) {
    CPortHome home;
    CPseudoTerminal pty;
    ASSERT_TRUE(pty.LinkAs(kPort));
    CTempDir dir;
    std::string path = dir.File("escape.txt");
    CBoxRecorder boxes;
    std::string pattern = ScenarioStream(30);
    std::unique_ptr<CLineStreamer> pStreamer;
    std::atomic<long> nHandled{0};
    CViewerApp app;
    auto* pDlg = new CCountingViewerDlg(nHandled);
    CHangGuard guard("Escape while acquiring and recording", 60);
    RunUntilEscape(
        app, pDlg,
        [&] {
            pDlg->SetDlgItemText(IDC_PORT, "7");
            qobject_cast<QComboBox*>(pDlg->GetDlgItem(IDC_BAUDRATE)->Widget())
                ->setCurrentText("57600");
            CFileChooser chooser(path);
            pDlg->OnRecord();
            pDlg->OnOK();
            pStreamer = std::make_unique<CLineStreamer>(pty, pattern, 57600);
        },
        [&] { return nHandled > 3000 && ThreadsNamed(kReaderThreadName) == 1; });
    guard.Disarm();
    EXPECT_EQ(ThreadsNamed(kReaderThreadName), 0) << "the reader outlived the window";
    ASSERT_TRUE(pStreamer);
    pStreamer->Stop();
    EXPECT_GE(pStreamer->Written(), static_cast<size_t>(nHandled));
    EXPECT_EQ(ReadFileBytes(path), vbase::RecordFormat(CyclicPrefix(pattern, nHandled)))
        << nHandled << " bytes handled";
    EXPECT_EQ(pty.SlaveBaud(), 57600);
    EXPECT_TRUE(boxes.Calls().empty());
}

TEST(ShutdownFault, EscapeWhileAReplayRunsAtTheFastestSpeedClosesItsFile) {
    CTempDir dir;
    std::string path = dir.File("replay.txt");
    WriteFileBytes(path, vbase::RecordFormat(ScenarioStream(3000)));
    CBoxRecorder boxes;
    long nReplayPos = 0;
    CViewerApp app;
    auto* pDlg = new CViewerDlg;
    CHangGuard guard("Escape while a replay runs", 60);
    RunUntilEscape(
        app, pDlg,
        [&] {
            pDlg->OnTogglePanel();
            pDlg->m_sliderSpeed.SetPos(5);
            CFileChooser chooser(path);
            pDlg->OnReplay();
            pDlg->OnSkyPlot();
            pDlg->OnTrackPlot();
        },
        [&] {
            nReplayPos = pDlg->m_nReplayPos;
            return nReplayPos > 20000 && IsOpenHere(path);
        });
    guard.Disarm();
    EXPECT_LT(nReplayPos, static_cast<long>(ReadFileBytes(path).size())) << "it had ended";
    EXPECT_FALSE(IsOpenHere(path)) << "the replay file stayed open";
    EXPECT_TRUE(boxes.Calls().empty());
}
