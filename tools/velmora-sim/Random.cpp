#include "Random.h"

namespace sim {

namespace {

std::uint64_t SplitMix(std::uint64_t nValue) {
    nValue += 0x9E3779B97F4A7C15ULL;
    nValue = (nValue ^ (nValue >> 30)) * 0xBF58476D1CE4E5B9ULL;
    nValue = (nValue ^ (nValue >> 27)) * 0x94D049BB133111EBULL;
    return nValue ^ (nValue >> 31);
}

} // namespace

CRandom::CRandom(std::uint64_t nSeed) : m_nState(SplitMix(nSeed)) {}

std::uint64_t CRandom::NextBits() {
    m_nState += 0x9E3779B97F4A7C15ULL;
    return SplitMix(m_nState);
}

int CRandom::NextInt(int nLow, int nHigh) {
    const std::uint64_t nSpan = static_cast<std::uint64_t>(nHigh - nLow) + 1;
    return nLow + static_cast<int>(NextBits() % nSpan);
}

double CRandom::NextReal(double dLow, double dHigh) {
    const double dUnit = static_cast<double>(NextBits() >> 11) / 9007199254740992.0;
    return dLow + (dHigh - dLow) * dUnit;
}

bool CRandom::NextChance(double dProbability) {
    return NextReal(0.0, 1.0) < dProbability;
}

std::uint32_t MixBits(std::uint64_t nA, std::uint64_t nB) {
    return static_cast<std::uint32_t>(SplitMix(nA * 0x100000001B3ULL ^ SplitMix(nB)) >> 32);
}

} // namespace sim
