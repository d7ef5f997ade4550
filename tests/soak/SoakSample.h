// Samples of a long run's resources, logged as CSV and judged for growth.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

struct CSoakSample {
    double dSeconds = 0;
    long nTicks = 0;
    long nReplayPos = 0;
    long nResidentKiB = 0;
    int nFds = 0;
    int nThreads = 0;
    // Qt's painting thread pool: its threads come and go, each with a descriptor of its own.
    int nPooledThreads = 0;
    int nMonitorLines = 0;
    size_t nTrackSteps = 0;
    // What the track path itself holds: each step a small heap object, plus the pointer array.
    long nTrackBytes = 0;
};

// The process's resident memory (VmRSS), descriptors and threads now, with the run's figures.
CSoakSample TakeSample(long nTicks, double dSeconds, long nReplayPos, int nMonitorLines,
                       size_t nTrackSteps, size_t nTrackCapacity);

class CSoakLog {
public:
    explicit CSoakLog(const std::string& path);
    ~CSoakLog();
    bool IsOpen() const { return m_pFile != nullptr; }
    void Add(const CSoakSample& sample);
    // Judges the samples from the first at or after the warm-up on: memory beyond the track
    // path's own growth under 1 MiB per simulated hour (a tick is one epoch, one second), and no
    // more descriptors at the end than after the warm-up (those of Qt's pooled threads left
    // out). Prints the figures; true on a pass.
    bool Judge(long nWarmUpTicks, FILE* pOut) const;

private:
    FILE* m_pFile = nullptr;
    std::vector<CSoakSample> m_samples;
};
