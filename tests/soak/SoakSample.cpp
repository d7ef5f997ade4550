#include "tests/soak/SoakSample.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

constexpr long kAllowedKiBPerHour = 1024;
constexpr double kTicksPerHour = 3600;
// A step is a 16-byte object (its table pointer and two ints) in a 32-byte heap chunk.
constexpr long kStepChunkBytes = 32;

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long nValue = 0;
    while (status >> key) {
        if (key == "VmRSS:" && status >> nValue)
            return nValue;
        status.ignore(4096, '\n');
    }
    return 0;
}

int CountEntries(const char* pszDir) {
    std::error_code ec;
    int n = 0;
    for (auto it = std::filesystem::directory_iterator(pszDir, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        ++n;
    return n;
}

int PooledThreadCount() {
    std::error_code ec;
    int n = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        n += name == "Thread (pooled)" ? 1 : 0;
    }
    return n;
}

int OwnFds(const CSoakSample& s) {
    return s.nFds - s.nPooledThreads;
}

} // namespace

CSoakSample TakeSample(long nTicks, double dSeconds, long nReplayPos, int nMonitorLines,
                       size_t nTrackSteps, size_t nTrackCapacity) {
    CSoakSample s;
    s.dSeconds = dSeconds;
    s.nTicks = nTicks;
    s.nReplayPos = nReplayPos;
    s.nResidentKiB = ResidentKiB();
    s.nFds = CountEntries("/proc/self/fd");
    s.nThreads = CountEntries("/proc/self/task");
    s.nPooledThreads = PooledThreadCount();
    s.nMonitorLines = nMonitorLines;
    s.nTrackSteps = nTrackSteps;
    s.nTrackBytes = static_cast<long>(nTrackSteps) * kStepChunkBytes +
                    static_cast<long>(nTrackCapacity * sizeof(void*));
    return s;
}

CSoakLog::CSoakLog(const std::string& path) {
    m_pFile = std::fopen(path.c_str(), "w");
    if (m_pFile)
        std::fputs("seconds,ticks,replay_pos,rss_kib,fds,threads,pooled_threads,monitor_lines,"
                   "track_steps,track_bytes\n",
                   m_pFile);
}

CSoakLog::~CSoakLog() {
    if (m_pFile)
        std::fclose(m_pFile);
}

void CSoakLog::Add(const CSoakSample& s) {
    m_samples.push_back(s);
    if (!m_pFile)
        return;
    std::fprintf(m_pFile, "%.1f,%ld,%ld,%ld,%d,%d,%d,%d,%zu,%ld\n", s.dSeconds, s.nTicks,
                 s.nReplayPos, s.nResidentKiB, s.nFds, s.nThreads, s.nPooledThreads,
                 s.nMonitorLines, s.nTrackSteps, s.nTrackBytes);
    std::fflush(m_pFile);
}

bool CSoakLog::Judge(long nWarmUpTicks, FILE* pOut) const {
    auto warm = std::find_if(m_samples.begin(), m_samples.end(),
                             [&](const CSoakSample& s) { return s.nTicks >= nWarmUpTicks; });
    if (warm == m_samples.end() || warm + 1 >= m_samples.end()) {
        std::fprintf(pOut, "FAIL: the run is too short to judge (no samples after %ld ticks)\n",
                     nWarmUpTicks);
        return false;
    }
    const CSoakSample& w = *warm;
    const CSoakSample& e = m_samples.back();
    long nPeakKiB = 0;
    int nPeakFds = 0;
    int nMinThreads = e.nThreads;
    int nMaxThreads = e.nThreads;
    for (auto it = warm; it != m_samples.end(); ++it) {
        nPeakKiB = std::max(nPeakKiB, it->nResidentKiB);
        nPeakFds = std::max(nPeakFds, OwnFds(*it));
        nMinThreads = std::min(nMinThreads, it->nThreads);
        nMaxThreads = std::max(nMaxThreads, it->nThreads);
    }
    double dHours = (e.nTicks - w.nTicks) / kTicksPerHour;
    long nGrowthKiB = e.nResidentKiB - w.nResidentKiB;
    long nTrackKiB = (e.nTrackBytes - w.nTrackBytes) / 1024;
    double dExcessPerHour = (nGrowthKiB - nTrackKiB) / std::max(dHours, 1.0 / kTicksPerHour);
    bool bMemory = dExcessPerHour < kAllowedKiBPerHour;
    bool bFds = OwnFds(e) <= OwnFds(w);
    std::fprintf(
        pOut,
        "ticks %ld (%.2f simulated hours, %.0f s), judged after tick %ld (%.2f hours)\n"
        "resident memory: %ld KiB after warm-up, %ld KiB at the end, peak %ld KiB\n"
        "growth %+ld KiB, of which the track path's own %ld steps: %+ld KiB\n"
        "growth beyond the track path: %+.0f KiB per simulated hour (limit %ld): %s\n"
        "descriptors (besides those of Qt's pooled threads): %d after warm-up, %d at the end, "
        "peak %d: %s\n"
        "threads: %d to %d; monitor lines at the end: %d\n",
        e.nTicks, e.nTicks / kTicksPerHour, e.dSeconds, w.nTicks, dHours, w.nResidentKiB,
        e.nResidentKiB, nPeakKiB, nGrowthKiB, static_cast<long>(e.nTrackSteps - w.nTrackSteps),
        nTrackKiB, dExcessPerHour, kAllowedKiBPerHour, bMemory ? "pass" : "FAIL", OwnFds(w),
        OwnFds(e), nPeakFds, bFds ? "pass" : "FAIL", nMinThreads, nMaxThreads, e.nMonitorLines);
    return bMemory && bFds;
}
