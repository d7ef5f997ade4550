// One replay tick (one receiver epoch) with the echo on and both plot windows open, over an
// hour of generated recording, ticks back to back: the 10 ms speed is real only if a tick takes
// well under 10 ms.
#include "RecordFile.h"
#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "platform/FileDialog.h"
#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ResourceIds.h"

#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <optional>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr long long kHourOfEpochs = 3600;

const std::string& HourRecording() {
    static const std::string path = [] {
        std::string p = "/tmp/velmora-bench-hour-" + std::to_string(getpid()) + ".txt";
        sim::ScenarioOptions options;
        options.m_nGps = 14;
        std::string error;
        sim::WriteRecording(p, options, kHourOfEpochs, error);
        return p;
    }();
    return path;
}

// The GUI thread's own time: what a tick costs, whatever else the machine is doing.
double ThreadCpuMs() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1));
    return values[index];
}

void BM_ReplayTickOfAnHour(benchmark::State& state) {
    CViewerApp app;
    CViewerDlg dlg;
    app.m_pMainWnd = &dlg;
    dlg.Create(IDD_VIEWER_DIALOG);
    dlg.OnTogglePanel();
    std::vector<double> ticksMs;
    std::vector<double> ticksCpuMs;
    for (auto _ : state) {
        std::string path = HourRecording();
        SetFileDialogHook(
            [path](const FileDialogCall&) { return std::optional<std::string>(path); });
        dlg.OnReplay();
        SetFileDialogHook(nullptr);
        dlg.OnSkyPlot();
        dlg.OnTrackPlot();
        QElapsedTimer timer;
        while (dlg.m_pReplayFile) {
            timer.start();
            double cpuStart = ThreadCpuMs();
            dlg.RunReplayTick();
            // A shown window paints after each tick; hidden ones are painted here the same way.
            dlg.m_pSkyPlot->RedrawNow();
            if (dlg.m_pTrackPlot)
                dlg.m_pTrackPlot->RedrawNow();
            ticksMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            ticksCpuMs.push_back(ThreadCpuMs() - cpuStart);
        }
    }
    state.counters["ticks"] = static_cast<double>(ticksMs.size());
    state.counters["p50_ms"] = Percentile(ticksMs, 0.50);
    state.counters["p99_ms"] = Percentile(ticksMs, 0.99);
    state.counters["max_ms"] = Percentile(ticksMs, 1.0);
    state.counters["cpu_p50_ms"] = Percentile(ticksCpuMs, 0.50);
    state.counters["cpu_p99_ms"] = Percentile(ticksCpuMs, 0.99);
    app.m_pMainWnd = nullptr;
}
BENCHMARK(BM_ReplayTickOfAnHour)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
