// The plot windows' per-epoch work: one sky refresh, one track paint.
#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ResourceIds.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

namespace {

// The program's main window, created as the program creates it.
class CMainWindow {
public:
    CMainWindow() {
        m_app.m_pMainWnd = &m_dlg;
        m_dlg.Create(IDD_VIEWER_DIALOG);
    }
    ~CMainWindow() { m_app.m_pMainWnd = nullptr; }
    CViewerDlg& Dlg() { return m_dlg; }

private:
    CViewerApp m_app;
    CViewerDlg m_dlg;
};

void FillAllSlots(CViewerDlg& dlg) {
    for (int s = 0; s < kSatSlots; ++s) {
        dlg.m_strSatPrn[s].Format("%02d", s + 1);
        dlg.m_nSatState[s] = SAT_GPS_USED + s % 5;
        dlg.m_nSatElevation[s] = 5 + (s * 37) % 85;
        dlg.m_nSatAzimuth[s] = (s * 53) % 360;
    }
    dlg.m_nGpsInView = 12;
    dlg.m_nGpsUsed = 9;
    dlg.m_nGlonassInView = 12;
    dlg.m_nGlonassUsed = 7;
}

// A refresh and the paint that shows it: the frame is drawn when the window paints.
void BM_SkyRefresh24Satellites(benchmark::State& state) {
    CMainWindow main;
    FillAllSlots(main.Dlg());
    main.Dlg().OnSkyPlot();
    CSkyPlotDlg* pSky = main.Dlg().m_pSkyPlot;
    for (auto _ : state) {
        pSky->SendMessage(WM_COPYDATA, 0, 0);
        pSky->RedrawNow();
    }
}
BENCHMARK(BM_SkyRefresh24Satellites)->Unit(benchmark::kMicrosecond);

// A day of driving at one fix a second: about 15 m/s on a slowly turning heading.
void AddDrivingSteps(CTrackPlotDlg& track, int nSteps) {
    std::mt19937 rng(7);
    std::normal_distribution<double> turn(0, 0.05);
    double heading = 0;
    for (int i = 0; i < nSteps; ++i) {
        heading += turn(rng);
        track.AddStep(i == 0 ? 0 : static_cast<int>(15 * std::sin(heading)),
                      i == 0 ? 0 : static_cast<int>(15 * std::cos(heading)));
    }
}

// A receiver standing still: a few metres of noise at every fix, all drawn at scale 1.
void AddStandingSteps(CTrackPlotDlg& track, int nSteps) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> noise(-3, 3);
    int x = 0, y = 0;
    for (int i = 0; i < nSteps; ++i) {
        int nx = i == 0 ? 0 : noise(rng), ny = i == 0 ? 0 : noise(rng);
        track.AddStep(nx - x, ny - y);
        x = nx;
        y = ny;
    }
}

template <void (*AddSteps)(CTrackPlotDlg&, int)> void BM_TrackPaint(benchmark::State& state) {
    CMainWindow main;
    CViewerDlg& dlg = main.Dlg();
    dlg.m_strLatitude = GBK("N   39° 54' 23.52\"");
    dlg.m_strLongitude = GBK("E 116° 23' 45.54\"");
    dlg.m_strAltitude = "52.3 M";
    dlg.m_strSpeedKmh = "54.0 km/hr";
    dlg.m_strSpeedMs = "15.0 m/s";
    dlg.m_strCourse = GBK("87.0°");
    dlg.m_bFixValid = 1;
    dlg.OnTrackPlot();
    CTrackPlotDlg* pTrack = dlg.m_pTrackPlot;
    AddSteps(*pTrack, static_cast<int>(state.range(0)));
    for (auto _ : state)
        pTrack->RedrawNow();
    state.counters["scale"] = pTrack->m_nScale;
}
BENCHMARK_TEMPLATE(BM_TrackPaint, AddDrivingSteps)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_TrackPaint, AddStandingSteps)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

} // namespace
