#pragma once

#include <cstdint>

namespace sim {

// Small deterministic generator: the standard distributions differ between library
// implementations, and a given seed must give the same stream everywhere.
class CRandom {
public:
    explicit CRandom(std::uint64_t nSeed);

    std::uint64_t NextBits();
    // Uniform whole number in [nLow, nHigh].
    int NextInt(int nLow, int nHigh);
    // Uniform real number in [dLow, dHigh).
    double NextReal(double dLow, double dHigh);
    bool NextChance(double dProbability);

private:
    std::uint64_t m_nState;
};

// Stateless hash of two numbers, for jitter that must not disturb a CRandom sequence.
std::uint32_t MixBits(std::uint64_t nA, std::uint64_t nB);

} // namespace sim
