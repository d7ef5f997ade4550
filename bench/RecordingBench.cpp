// Recording a receiver at the full 921,600-baud line rate (92,160 bytes a second) through the
// real byte path: a pseudo-terminal, the serial link, the hand-off, framing, decoders and the
// record file. Figures: the window's longest stall (the widest gap between the ticks of a 1 ms
// timer on the GUI thread) and every byte in the file; once on the disk as it is, once with
// every file call taking 2 ms (a busy network share).
#include "Scenario.h"
#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "platform/File.h"
#include "platform/FileDialog.h"
#include "resources/ResourceIds.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPort = 9;
constexpr int kBytesPerSecond = 92160;
constexpr int kSeconds = 10;

// A receiver's side of the line: the master of a raw pseudo-terminal linked as comN.
class CReceiverLine {
public:
    explicit CReceiverLine(const std::string& home) {
        m_nMaster = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(m_nMaster);
        unlockpt(m_nMaster);
        std::string slave = ptsname(m_nMaster);
        m_nSlave = open(slave.c_str(), O_RDWR | O_NOCTTY);
        termios tio;
        tcgetattr(m_nSlave, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_nSlave, TCSANOW, &tio);
        std::filesystem::create_directories(home + "/.velmora/ports");
        std::filesystem::create_symlink(slave,
                                        home + "/.velmora/ports/com" + std::to_string(kPort));
    }
    ~CReceiverLine() {
        close(m_nSlave);
        close(m_nMaster);
    }
    // Writes the stream at the line's pace, a hundredth of a second's worth at a time.
    void Stream(const std::string& bytes) const {
        constexpr size_t kChunk = kBytesPerSecond / 100;
        auto next = std::chrono::steady_clock::now();
        for (size_t i = 0; i < bytes.size(); i += kChunk) {
            std::this_thread::sleep_until(next);
            next += std::chrono::milliseconds(10);
            size_t n = std::min(kChunk, bytes.size() - i);
            for (size_t done = 0; done < n;) {
                ssize_t w = write(m_nMaster, bytes.data() + i + done, n - done);
                if (w > 0)
                    done += static_cast<size_t>(w);
            }
        }
    }

private:
    int m_nMaster = -1;
    int m_nSlave = -1;
};

std::string LineRateStream() {
    sim::ScenarioOptions options;
    options.m_nGps = 16;
    sim::CScenario scenario(options);
    std::string bytes;
    while (bytes.size() < static_cast<size_t>(kBytesPerSecond) * kSeconds)
        scenario.AppendNextEpoch(bytes);
    bytes.resize(static_cast<size_t>(kBytesPerSecond) * kSeconds);
    return bytes;
}

std::string RecordFormat(const std::string& wire) {
    std::string record;
    for (char c : wire) {
        if (c == '\n')
            record += '\r';
        if (c != '\0')
            record += c;
    }
    return record;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

enum class Disk { None, Local, Slow };

// Everything sent is in the file (when recording).
bool AllArrived(const std::string& record, Disk disk, size_t nExpected) {
    if (disk == Disk::None)
        return true;
    std::error_code error;
    return std::filesystem::file_size(record, error) >= nExpected;
}

// Disk::None runs the same stream without recording: the stalls the window has anyway.
void RunAtLineRate(benchmark::State& state, Disk disk) {
    std::string home = "/tmp/velmora-bench-home-" + std::to_string(getpid());
    std::string record = home + "/rec.txt";
    setenv("HOME", home.c_str(), 1);
    CReceiverLine line(home);
    std::string stream = LineRateStream();
    std::string expected = RecordFormat(stream);
    // Counts the writes; on the slow disk every call also takes 2 ms.
    int nWrites = 0;
    SetFileCallHook([disk, &nWrites](const char* pszCall) {
        nWrites += std::string(pszCall) == "write" ? 1 : 0;
        if (disk == Disk::Slow)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return 0;
    });
    CViewerApp app;
    CViewerDlg dlg;
    app.m_pMainWnd = &dlg;
    dlg.Create(IDD_VIEWER_DIALOG);
    dlg.ShowWindow(SW_SHOW);
    dlg.OnTogglePanel();
    qobject_cast<QComboBox*>(dlg.GetDlgItem(1000)->Widget())->setCurrentText("921600");
    dlg.SetDlgItemText(1119, std::to_string(kPort).c_str());
    if (disk != Disk::None) {
        SetFileDialogHook(
            [record](const FileDialogCall&) { return std::optional<std::string>(record); });
        dlg.OnRecord();
        SetFileDialogHook(nullptr);
    }
    dlg.OnOK();

    std::vector<double> gapsMs;
    for (auto _ : state) {
        std::atomic<bool> bDone{false};
        std::thread writer([&] {
            line.Stream(stream);
            bDone = true;
        });
        QElapsedTimer sinceTick;
        sinceTick.start();
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            gapsMs.push_back(static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
        });
        ticker.start(1);
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, [&] {
            if (bDone && AllArrived(record, disk, expected.size()))
                loop.quit();
        });
        check.start(20);
        QTimer::singleShot((kSeconds + 20) * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        writer.join();
    }
    dlg.OnOK();
    if (disk != Disk::None) {
        dlg.OnRecord();
        std::string recorded = ReadFile(record);
        state.counters["bytes_recorded"] = static_cast<double>(recorded.size());
        state.counters["file_exact"] = recorded == expected ? 1 : 0;
        state.counters["writes"] = nWrites;
    }
    SetFileCallHook(nullptr);
    state.counters["bytes_sent"] = static_cast<double>(stream.size());
    std::sort(gapsMs.begin(), gapsMs.end());
    state.counters["longest_stall_ms"] = gapsMs.empty() ? 0 : gapsMs.back();
    state.counters["p99_gap_ms"] = gapsMs.empty() ? 0 : gapsMs[gapsMs.size() * 99 / 100];
    app.m_pMainWnd = nullptr;
    std::filesystem::remove_all(home);
}

void BM_LineRateNotRecording(benchmark::State& state) {
    RunAtLineRate(state, Disk::None);
}
BENCHMARK(BM_LineRateNotRecording)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RecordAtLineRate(benchmark::State& state) {
    RunAtLineRate(state, Disk::Local);
}
BENCHMARK(BM_RecordAtLineRate)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RecordAtLineRateOnASlowDisk(benchmark::State& state) {
    RunAtLineRate(state, Disk::Slow);
}
BENCHMARK(BM_RecordAtLineRateOnASlowDisk)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
