// velmora-soak-replay: replays a long record file through the real main window, offscreen,
// tick after tick as fast as they complete, inside the window's own modal loop, with the
// monitor panel shown, echo on and both plot windows open. Samples resident memory,
// descriptors and threads along the way into a CSV file and judges their growth.
#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "platform/Environment.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "plots/TrackPlotDlg.h"
#include "tests/soak/SoakSample.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

struct Options {
    std::string replayFile;
    std::string csvFile;
    int nSampleSeconds = 10;
    int nWarmUpTicks = 3600;
    int nStallSeconds = 120;
};

const char kUsage[] =
    "usage: velmora-soak-replay --replay FILE --csv OUT [--sample-seconds S] [--warm-up TICKS]\n"
    "                           [--stall-seconds S]\n"
    "Replays FILE through the main window (monitor shown, echo on, sky and track plots open)\n"
    "with its ticks back to back, samples resident memory, descriptors and threads every S\n"
    "seconds (default 10) into OUT, and judges the growth after the first TICKS ticks (default\n"
    "3600, one simulated hour). Exits 1 when memory or descriptors grow, 2 on a bad command\n"
    "line; aborts when no tick completes for --stall-seconds (default 120).\n";

bool ParseOptions(int argc, char** argv, Options& opt) {
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string arg = argv[i];
        const char* v = argv[i + 1];
        if (arg == "--replay")
            opt.replayFile = v;
        else if (arg == "--csv")
            opt.csvFile = v;
        else if (arg == "--sample-seconds")
            opt.nSampleSeconds = std::atoi(v);
        else if (arg == "--warm-up")
            opt.nWarmUpTicks = std::atoi(v);
        else if (arg == "--stall-seconds")
            opt.nStallSeconds = std::atoi(v);
        else
            return false;
    }
    return argc % 2 == 1 && !opt.replayFile.empty() && !opt.csvFile.empty() &&
           opt.nSampleSeconds > 0 && opt.nWarmUpTicks >= 0 && opt.nStallSeconds > 0;
}

// Aborts the process when the tick count stands still for the bound: a freeze.
class CStallWatch {
public:
    CStallWatch(const std::atomic<long>& nTicks, int nSeconds)
        : m_thread([this, &nTicks, nSeconds] { Watch(nTicks, nSeconds); }) {}
    ~CStallWatch() {
        m_bDone = true;
        m_thread.join();
    }

private:
    void Watch(const std::atomic<long>& nTicks, int nSeconds) {
        long nLast = -1;
        auto lastChange = std::chrono::steady_clock::now();
        while (!m_bDone) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            auto now = std::chrono::steady_clock::now();
            if (nTicks != nLast) {
                nLast = nTicks;
                lastChange = now;
            } else if (now - lastChange > std::chrono::seconds(nSeconds)) {
                std::fprintf(stderr, "velmora-soak-replay: no tick for %d s at tick %ld\n",
                             nSeconds, nLast);
                std::abort();
            }
        }
    }
    std::atomic<bool> m_bDone{false};
    std::thread m_thread;
};

// Starts the replay as a user would (fastest speed, plots opened after the start that renews
// them), then takes the ticks over from the window's own 10 ms timer.
bool StartReplay(CViewerDlg& dlg, const std::string& path) {
    dlg.OnTogglePanel();
    dlg.m_sliderSpeed.SetPos(5);
    SetFileDialogHook([path](const FileDialogCall&) { return std::optional<std::string>(path); });
    dlg.OnReplay();
    SetFileDialogHook(nullptr);
    if (!dlg.IsReplaying())
        return false;
    dlg.OnSkyPlot();
    dlg.OnTrackPlot();
    dlg.KillTimer(TIMER_REPLAY);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!ParseOptions(argc, argv, opt)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    PrepareFontEnvironment();
    PrepareRuntimeDirectory();
    QApplication qapp(argc, argv);
    ApplyApplicationStyle();
    CSoakLog log(opt.csvFile);
    if (!log.IsOpen()) {
        std::fprintf(stderr, "velmora-soak-replay: cannot write %s\n", opt.csvFile.c_str());
        return 2;
    }
    int nBoxes = 0;
    SetMessageBoxHook([&nBoxes](const MessageBoxCall& call) {
        std::fprintf(stderr, "message box: %s\n", call.text.c_str());
        ++nBoxes;
        return IDOK;
    });

    CViewerApp app;
    CViewerDlg dlg;
    app.m_pMainWnd = &dlg;
    std::atomic<long> nTicks{0};
    QElapsedTimer clock;
    auto sample = [&] {
        size_t nSteps = dlg.m_pTrackPlot ? dlg.m_pTrackPlot->m_points.size() : 0;
        // The step list grows by blocks and keeps no spare room beyond its last one.
        size_t nCapacity = nSteps;
        log.Add(TakeSample(nTicks, clock.elapsed() / 1000.0, dlg.m_nReplayPos,
                           dlg.m_editMonitor.GetLineCount(), nSteps, nCapacity));
    };
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (!dlg.IsReplaying()) {
            ticker.stop();
            sample();
            dlg.EndDialog(IDOK);
            return;
        }
        dlg.RunReplayTick();
        ++nTicks;
    });
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, sample);
    bool bStarted = false;
    QTimer::singleShot(0, [&] {
        bStarted = StartReplay(dlg, opt.replayFile);
        if (!bStarted) {
            dlg.EndDialog(IDCANCEL);
            return;
        }
        clock.start();
        sample();
        ticker.start(0);
        sampler.start(opt.nSampleSeconds * 1000);
    });
    {
        CStallWatch watch(nTicks, opt.nStallSeconds);
        dlg.DoModal();
    }
    app.m_pMainWnd = nullptr;
    SetMessageBoxHook(nullptr);
    if (!bStarted) {
        std::fprintf(stderr, "velmora-soak-replay: cannot replay %s\n", opt.replayFile.c_str());
        return 2;
    }
    bool bPassed = log.Judge(opt.nWarmUpTicks, stdout) && nBoxes == 0;
    return bPassed ? 0 : 1;
}
