// The plot windows' per-epoch work: one sky refresh, one track paint.
#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "plots/SkyPlotDlg.h"
#include "plots/TrackPlotDlg.h"
#include "resources/ResourceIds.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <ctime>
#include <random>
#include <vector>

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

// Back and forth between two fixes 370 m apart: long segments drawn over each other.
void AddZigZagSteps(CTrackPlotDlg& track, int nSteps) {
    for (int i = 0; i < nSteps; ++i)
        track.AddStep(i == 0 ? 0 : (i % 2 ? 370 : -370), 0);
}

// Fixes wandering at random, up to 50 m each way per fix.
void AddRandomWalkSteps(CTrackPlotDlg& track, int nSteps) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> step(-50, 50);
    for (int i = 0; i < nSteps; ++i)
        track.AddStep(i == 0 ? 0 : step(rng), i == 0 ? 0 : step(rng));
}

void ShowValidFix(CViewerDlg& dlg) {
    dlg.m_strLatitude = GBK("N   39° 54' 23.52\"");
    dlg.m_strLongitude = GBK("E 116° 23' 45.54\"");
    dlg.m_strAltitude = "52.3 M";
    dlg.m_strSpeedKmh = "54.0 km/hr";
    dlg.m_strSpeedMs = "15.0 m/s";
    dlg.m_strCourse = GBK("87.0°");
    dlg.m_bFixValid = 1;
}

// The track window, opened on a valid fix.
CTrackPlotDlg& OpenTrackPlot(CViewerDlg& dlg) {
    ShowValidFix(dlg);
    dlg.OnTrackPlot();
    return *dlg.m_pTrackPlot;
}

// A paint of the window as it follows the fixes: the view unchanged since the paint before.
template <void (*AddSteps)(CTrackPlotDlg&, int)> void BM_TrackPaint(benchmark::State& state) {
    CMainWindow main;
    CTrackPlotDlg& track = OpenTrackPlot(main.Dlg());
    AddSteps(track, static_cast<int>(state.range(0)));
    track.RedrawNow();
    for (auto _ : state)
        track.RedrawNow();
    state.counters["scale"] = static_cast<double>(track.m_nScale);
}

// The paint after the view changed (a pan or a zoom), which draws the whole path again.
template <void (*AddSteps)(CTrackPlotDlg&, int)> void BM_TrackRedraw(benchmark::State& state) {
    CMainWindow main;
    CTrackPlotDlg& track = OpenTrackPlot(main.Dlg());
    AddSteps(track, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        track.m_path.Forget();
        track.RedrawNow();
    }
}

#define TRACK_SHAPE(Bench, Shape)                                                                  \
    BENCHMARK_TEMPLATE(Bench, Shape)                                                               \
        ->Arg(1000)                                                                                \
        ->Arg(10000)                                                                               \
        ->Arg(100000)                                                                              \
        ->Unit(benchmark::kMillisecond)
TRACK_SHAPE(BM_TrackPaint, AddDrivingSteps);
TRACK_SHAPE(BM_TrackPaint, AddStandingSteps);
TRACK_SHAPE(BM_TrackPaint, AddZigZagSteps);
TRACK_SHAPE(BM_TrackPaint, AddRandomWalkSteps);
TRACK_SHAPE(BM_TrackRedraw, AddDrivingSteps);
TRACK_SHAPE(BM_TrackRedraw, AddStandingSteps);
TRACK_SHAPE(BM_TrackRedraw, AddZigZagSteps);
TRACK_SHAPE(BM_TrackRedraw, AddRandomWalkSteps);

double ThreadMicroseconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

// The track window opened hidden, so that no paint recomputes the extents.
CTrackPlotDlg& OpenHiddenTrackPlot(CViewerDlg& dlg) {
    CTrackPlotDlg& track = OpenTrackPlot(dlg);
    track.ShowWindow(SW_HIDE);
    return track;
}

// A refresh, timed on its own so that the slowest one shows beside the mean: in this thread's
// processor time, as the machine is shared and a wall clock also counts the other programs.
void TimedRefresh(CTrackPlotDlg& track, double& dSlowestUs) {
    double dStart = ThreadMicroseconds();
    track.SendMessage(WM_COPYDATA, 0, 0);
    dSlowestUs = std::max(dSlowestUs, ThreadMicroseconds() - dStart);
}

void ReportRefreshes(benchmark::State& state, const CTrackPlotDlg& track, double dSlowestUs) {
    state.counters["scale"] = static_cast<double>(track.m_nScale);
    state.counters["slowest_cpu_us"] = dSlowestUs;
}

// Refreshes the track window by the fixes in turn, round and round, for as long as the
// benchmark runs; returns how many it made.
size_t RefreshInTurn(benchmark::State& state, CViewerDlg& dlg, CTrackPlotDlg& track,
                     const std::vector<CString>& vecLat, const std::vector<CString>& vecLon) {
    size_t i = 0;
    double dSlowestUs = 0;
    for (auto _ : state) {
        dlg.m_strLatitude = vecLat[i % vecLat.size()];
        dlg.m_strLongitude = vecLon[i % vecLon.size()];
        TimedRefresh(track, dSlowestUs);
        ++i;
    }
    ReportRefreshes(state, track, dSlowestUs);
    return i;
}

// Refreshes of a hidden track window by valid fixes that alternate between two far-apart
// places: the path runs around the world again and again.
void FarFixRefreshes(benchmark::State& state, const char* pszLatA, const char* pszLonA,
                     const char* pszLatB, const char* pszLonB) {
    CMainWindow main;
    CViewerDlg& dlg = main.Dlg();
    CTrackPlotDlg& track = OpenHiddenTrackPlot(dlg);
    const size_t nFixes = RefreshInTurn(state, dlg, track, {GBK(pszLatA), GBK(pszLatB)},
                                        {GBK(pszLonA), GBK(pszLonB)});
    state.counters["fixes"] = static_cast<double>(nFixes);
}
BENCHMARK_CAPTURE(FarFixRefreshes, equator_and_pole, "N   00° 00' 00.00\"", "E 000° 00' 00.00\"",
                  "N   89° 00' 00.00\"", "E 180° 00' 00.00\"")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FarFixRefreshes, across_the_date_line, "N   00° 00' 00.00\"",
                  "E 000° 00' 00.00\"", "S   89° 59' 59.99\"", "W 179° 59' 59.99\"")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FarFixRefreshes, one_degree_apart, "N   39° 00' 00.00\"", "E 116° 00' 00.00\"",
                  "N   40° 00' 00.00\"", "E 117° 00' 00.00\"")
    ->Unit(benchmark::kMicrosecond);

// Valid fixes anywhere on earth, each far from the one before, to a hidden window.
void BM_RandomFixRefreshes(benchmark::State& state) {
    CMainWindow main;
    CViewerDlg& dlg = main.Dlg();
    CTrackPlotDlg& track = OpenHiddenTrackPlot(dlg);
    std::mt19937 rng(11);
    std::vector<CString> strLat(4096), strLon(4096);
    for (size_t i = 0; i < strLat.size(); ++i) {
        CString strMinSec;
        strMinSec.Format(" %02d' %02d.%02d\"", static_cast<int>(rng() % 60),
                         static_cast<int>(rng() % 60), static_cast<int>(rng() % 100));
        strLat[i].Format("N   %02d", static_cast<int>(rng() % 90));
        strLat[i] += GBK("°") + strMinSec;
        strLon[i].Format("E %03d", static_cast<int>(rng() % 180));
        strLon[i] += GBK("°") + strMinSec;
    }
    RefreshInTurn(state, dlg, track, strLat, strLon);
}
BENCHMARK(BM_RandomFixRefreshes)->Unit(benchmark::kMicrosecond);

// The same far fixes, each after Enter was pressed in the window: the view starts again at
// scale 1 while the path stays, so the fit first measures the whole path, which lies up to
// hundreds of millions of pixels away, and steers by those extents.
void BM_FarFixAfterEnter(benchmark::State& state) {
    CMainWindow main;
    CViewerDlg& dlg = main.Dlg();
    CTrackPlotDlg& track = OpenHiddenTrackPlot(dlg);
    const CString strLat[] = {GBK("N   00° 00' 00.00\""), GBK("N   89° 00' 00.00\"")};
    const CString strLon[] = {GBK("E 000° 00' 00.00\""), GBK("E 180° 00' 00.00\"")};
    double dSlowestUs = 0;
    auto fix = [&](int i) {
        dlg.m_strLatitude = strLat[i];
        dlg.m_strLongitude = strLon[i];
        TimedRefresh(track, dSlowestUs);
    };
    for (int i = 0; i < state.range(0); ++i)
        fix(i % 2);
    dSlowestUs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        track.DoDataExchange(nullptr);
        fix(0);
        state.ResumeTiming();
        fix(1);
    }
    ReportRefreshes(state, track, dSlowestUs);
}
BENCHMARK(BM_FarFixAfterEnter)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace
