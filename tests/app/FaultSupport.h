// Helpers of the fault tests: streams that go wrong, resource counts and a hang check.
#pragma once

#include "app/ViewerDlg.h"
#include "core/LineEndings.h"
#include "tests/common/HangGuard.h"
#include "tests/common/PseudoTerminal.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

// Under a sanitizer the allocator keeps freed memory in quarantine and shadow memory grows
// with use: resident memory says nothing about leaks there (the leak checker does).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kResidentMemoryMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kResidentMemoryMeaningful = false;
#else
constexpr bool kResidentMemoryMeaningful = true;
#endif
#else
constexpr bool kResidentMemoryMeaningful = true;
#endif

// Resident memory of this process, in bytes (/proc/self/statm).
long ResidentBytes();
// Threads and descriptors of the program, leaving out Qt's painting thread pool: its threads
// come when a paint has work for them and go after half a minute idle, each holding the
// descriptor of its own event dispatcher.
int OwnThreadCount();
int OwnFdCount();
// True while a descriptor of this process refers to the file.
bool IsOpenHere(const std::string& path);
// How many times longer the long faults run: VELMORA_FAULT_SCALE (1 unless the soak sets it).
int FaultScale();
// Whether this run measures resident memory: only the soak's long runs do (make test checks
// behaviour, never figures), and never under a sanitizer.
bool MeasuresMemory();
// How long a fault runs: briefly in make test, where it checks what happens, and nSoakMs times
// the scale in the soak, which measures memory over it.
int FaultRunMs(int nSoakMs);

// True when the GUI thread runs a queued call within the (generous) bound.
bool AnswersEvents(int nMilliseconds = 20000);

// The bytes a receiver sends for n epochs of the simulator's scenario.
std::string ScenarioStream(int nEpochs, std::uint64_t nSeed = 1, int nGps = 14);
// What a receiver at another line speed leaves of the stream: no sentence ever passes.
std::string WrongSpeedStream(int nEpochs);
// A 57600-baud line full of noise: random bytes rich in '$', '*', ',', line feeds and NULs,
// with sentences of every decoded type carrying random fields and a correct checksum.
std::string NoiseStream(std::size_t nBytes, std::uint64_t nSeed);

// The main window, counting the bytes its serial handler took into a counter that outlives it.
class CCountingViewerDlg : public CViewerDlg {
public:
    explicit CCountingViewerDlg(std::atomic<long>& nHandled) : m_nHandled(nHandled) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::atomic<long>& m_nHandled;
};

// Writes the bytes into the pseudo-terminal from a thread of its own (the GUI thread must go
// on handling them), then, when asked, hangs the line up from that same thread.
class CStreamWriter {
public:
    CStreamWriter(CPseudoTerminal& pty, std::string bytes, bool bHangUpAfter);
    ~CStreamWriter();
    bool Done() const { return m_bDone; }
    void Join();

private:
    std::atomic<bool> m_bDone{false};
    std::thread m_thread;
};
