#pragma once

#include "Constellation.h"
#include "Random.h"
#include "Route.h"
#include "Sentences.h"
#include "UtcClock.h"

#include <cstdint>
#include <string>

namespace sim {

constexpr int kMaxGpsInView = 16;

struct ScenarioOptions {
    std::uint64_t m_nSeed = 1;
    int m_nGps = 10; // GPS satellites in view outside the crowded stretches, 0..16
    bool m_bLowercase = false;
    bool m_bGns = false;
};

// The deterministic receiver: a cold start without a fix, then a car driving through town,
// with the fix lost and regained now and then. The same options give the same stream.
class CScenario {
public:
    explicit CScenario(const ScenarioOptions& options);

    std::string NextEpoch();
    void AppendNextEpoch(std::string& strOut);
    int EpochCount() const { return m_nEpoch; }

private:
    void AddGpsCrowd();
    void AddGlonassVisitors();
    bool IsSignalBlocked(int nEpoch);
    EpochReport ObserveEpoch();
    void FillDop(EpochReport& report) const;

    ScenarioOptions m_options;
    CRandom m_random;
    CUtcClock m_clock;
    CRoute m_route;
    CConstellation m_gps;
    CConstellation m_glonass;
    int m_nEpoch;
    int m_nColdStart;
    int m_nOutageStart;
    int m_nOutageEnd;
};

// The first nEpochs epochs of a scenario, as the receiver sends them.
std::string ScenarioStream(const ScenarioOptions& options, int nEpochs);

} // namespace sim
