// velmora-shot: runs the program offscreen on a port, a decoded file or a replay file for a
// while and writes PNG images of its windows and its final state as JSON.
#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "core/CommandLine.h"
#include "core/LineEndings.h"
#include "platform/Environment.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ControlIds.h"
#include "resources/ResourceIds.h"
#include "tools/common/DecodeSession.h"
#include "tools/common/InputFile.h"
#include "tools/common/WindowState.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

struct Options {
    std::string outDir;
    double seconds = 0;
    bool panel = false;
    int port = -1;
    int baud = 38400;
    std::string replayFile;
    int speed = 1;
    std::string recordFile;
    std::string decodeFile;
    bool sky = false;
    bool track = false;
};

bool TakeSeconds(const std::string& strValue, double& dSeconds, std::string& strError) {
    char* pEnd = nullptr;
    dSeconds = std::strtod(strValue.c_str(), &pEnd);
    if (strValue.empty() || *pEnd || !(dSeconds >= 0)) {
        strError = "needs a number of seconds, not '" + strValue + "'";
        return false;
    }
    return true;
}

// The command line, its options taking their values into opt.
vbase::CommandSpec ShotCommand(Options& opt) {
    return {
        "velmora-shot",
        "usage: velmora-shot --out DIR [--seconds S] [--panel] [--port N [--baud B]]\n"
        "                    [--record FILE] [--replay FILE [--speed 1-5]] [--decode FILE]\n"
        "                    [--sky] [--track]\n",
        "Runs Velmora offscreen and writes DIR/main.png, DIR/about.png, DIR/state.json and,\n"
        "when asked, DIR/sky.png and DIR/track.png.\n",
        {
            {"out", "DIR", "folder for the images and state.json (created when missing)",
             vbase::StoreText(opt.outDir)},
            {"seconds", "S",
             "how long the program runs before the images are taken (default 0;\n"
             "a replay ends earlier when its file ends)",
             vbase::StoreParsed(opt.seconds, TakeSeconds)},
            {"panel", nullptr, "show the sentence monitor panel", vbase::StoreFlag(opt.panel)},
            {"port", "N", "put N in the COM field and press Start",
             vbase::StoreWholeNumber(opt.port, 0, 255)},
            {"baud", "B", "the baud rate chosen before Start (default 38400)",
             vbase::StoreWholeNumber(opt.baud, 1, 4000000)},
            {"record", "FILE", "switch recording on to FILE before Start",
             vbase::StoreText(opt.recordFile)},
            {"replay", "FILE", "replay FILE (the speed slider at --speed, 1 slowest .. 5 fastest)",
             vbase::StoreText(opt.replayFile)},
            {"speed", "1-5", "the replay speed", vbase::StoreWholeNumber(opt.speed, 1, 5)},
            {"decode", "FILE", "prepare the window as Start does and feed it FILE's bytes at once",
             vbase::StoreText(opt.decodeFile)},
            {"sky", nullptr, "open the sky plot after Start or replay start",
             vbase::StoreFlag(opt.sky)},
            {"track", nullptr, "open the track plot after Start or replay start",
             vbase::StoreFlag(opt.track)},
        }};
}

vbase::ECommand ParseOptions(int argc, char** argv, Options& opt, std::string& strError) {
    const vbase::ECommand eResult =
        vbase::ParseCommandLine(ShotCommand(opt), {argv + 1, argv + argc}, strError);
    if (eResult == vbase::ECommand::Run && opt.outDir.empty()) {
        strError = "--out DIR is required";
        return vbase::ECommand::Error;
    }
    return eResult;
}

// Runs the event loop for the given time, or until the condition holds (checked every 50 ms).
template <typename Done> void RunFor(double seconds, Done done) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    check.start(50);
    loop.exec();
}

bool SaveWidget(QWidget* pWidget, const QString& path) {
    return pWidget && pWidget->grab().save(path, "PNG");
}

// Presses a button of the main window with a file dialog answered by path.
void PressWithFile(CViewerDlg& dlg, UINT nID, const std::string& path) {
    SetFileDialogHook([path](const FileDialogCall&) { return std::optional<std::string>(path); });
    dlg.OnCommand(nID);
    SetFileDialogHook(nullptr);
}

void StartAcquisition(CViewerDlg& dlg, const Options& opt) {
    dlg.SetDlgItemText(IDC_PORT, CString(std::to_string(opt.port).c_str()));
    auto* combo = qobject_cast<QComboBox*>(dlg.GetDlgItem(IDC_BAUDRATE)->Widget());
    int index = combo->findText(QString::number(opt.baud));
    if (index < 0) {
        combo->addItem(QString::number(opt.baud));
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
    dlg.OnOK();
}

// The main window, counting the bytes its serial handler took, so that a run can show that
// nothing was lost between the receiver and the decoders.
class CCountingViewerDlg : public CViewerDlg {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SERIAL_RXCHAR)
            ++m_nBytesHandled;
        return CViewerDlg::WindowProc(message, wParam, lParam);
    }
    long long m_nBytesHandled = 0;
};

void FeedBytes(CViewerDlg& dlg, const std::string& bytes) {
    for (unsigned char c : vbase::ReceiverLineEndings(bytes))
        dlg.SendMessage(WM_SERIAL_RXCHAR, c, 0);
}

bool WriteState(CCountingViewerDlg& dlg, const QJsonArray& boxes, const QString& path) {
    QJsonObject state = WindowState(dlg);
    state.insert("boxes", boxes);
    state.insert("bytesHandled", dlg.m_nBytesHandled);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(QJsonDocument(state).toJson()) > 0;
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    std::string strError;
    const vbase::ECommand eResult = ParseOptions(argc, argv, opt, strError);
    const int nExit =
        vbase::FinishCommandLine(ShotCommand(opt), eResult, strError, std::cout, std::cerr);
    if (nExit >= 0) {
        return nExit;
    }
    // Offscreen unless the caller chose a platform (to watch the windows, say).
    PrepareOffscreenEnvironment(true);
    QApplication qapp(argc, argv);
    ApplyApplicationStyle();
    QString out = QString::fromStdString(opt.outDir) + "/";
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "velmora-shot: cannot create %s\n", opt.outDir.c_str());
        return 1;
    }

    QJsonArray boxes;
    SetMessageBoxHook([&boxes](const MessageBoxCall& call) {
        boxes.append(QJsonObject{{"caption", QString::fromStdString(call.caption)},
                                 {"text", QString::fromStdString(call.text)}});
        return IDOK;
    });

    std::string decodeBytes;
    if (!opt.decodeFile.empty() && !ReadInputFile(opt.decodeFile, decodeBytes, strError)) {
        std::fprintf(stderr, "velmora-shot: cannot read %s: %s\n", opt.decodeFile.c_str(),
                     strError.c_str());
        return 1;
    }
    CViewerApp app;
    CCountingViewerDlg dlg;
    app.m_pMainWnd = &dlg;
    dlg.Create(IDD_VIEWER_DIALOG);
    if (opt.panel)
        dlg.OnTogglePanel();
    if (!opt.recordFile.empty())
        PressWithFile(dlg, IDC_RECORD, opt.recordFile);
    if (opt.port >= 0)
        StartAcquisition(dlg, opt);
    if (!opt.replayFile.empty()) {
        dlg.m_sliderSpeed.SetPos(opt.speed);
        PressWithFile(dlg, IDC_REPLAY, opt.replayFile);
    }
    if (!opt.decodeFile.empty())
        dlg.EnterAcquiringState();
    // Opened after the start, which would renew them, and before any data arrives.
    if (opt.sky)
        dlg.OnSkyPlot();
    if (opt.track)
        dlg.OnTrackPlot();
    FeedBytes(dlg, decodeBytes);
    bool replaying = !opt.replayFile.empty();
    RunFor(opt.seconds, [&] { return replaying && !dlg.IsReplaying(); });
    // The monitor shows what was echoed within a tenth of a second, as on a screen: let it.
    RunFor(0.1, [] { return false; });

    bool ok = SaveWidget(dlg.Widget(), out + "main.png");
    if (opt.sky && dlg.m_pSkyPlot)
        ok = SaveWidget(dlg.m_pSkyPlot->Widget(), out + "sky.png") && ok;
    if (opt.track && dlg.m_pTrackPlot)
        ok = SaveWidget(dlg.m_pTrackPlot->Widget(), out + "track.png") && ok;
    SetModalHook([&](CDialog& about) {
        ok = SaveWidget(about.Widget(), out + "about.png") && ok;
        return IDOK;
    });
    dlg.OnSysCommand(IDM_ABOUTBOX, 0);
    SetModalHook(nullptr);
    ok = WriteState(dlg, boxes, out + "state.json") && ok;
    SetMessageBoxHook(nullptr);
    app.m_pMainWnd = nullptr;
    if (!ok)
        std::fprintf(stderr, "velmora-shot: could not write into %s\n", opt.outDir.c_str());
    return ok ? 0 : 1;
}
