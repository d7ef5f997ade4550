#include "Pacer.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr double kBucketSeconds = 0.010;
constexpr double kChunkSeconds = 0.004;
constexpr double kMinWait = 0.001;
constexpr double kMaxWait = 0.020;

} // namespace

CPacer::CPacer(double dBytesPerSecond, double dNow)
    : m_dRate(dBytesPerSecond), m_dCapacity(std::max(1.0, dBytesPerSecond * kBucketSeconds)),
      m_dTokens(0.0), m_dLast(dNow) {}

std::size_t CPacer::Grant(double dNow, std::size_t nWanted) {
    if (dNow > m_dLast) {
        m_dTokens = std::min(m_dCapacity, m_dTokens + m_dRate * (dNow - m_dLast));
        m_dLast = dNow;
    }
    const std::size_t nGranted = std::min(nWanted, static_cast<std::size_t>(std::floor(m_dTokens)));
    m_dTokens -= static_cast<double>(nGranted);
    return nGranted;
}

double CPacer::WaitSeconds() const {
    const double dChunk = std::min(m_dCapacity, std::max(1.0, m_dRate * kChunkSeconds));
    return std::clamp((dChunk - m_dTokens) / m_dRate, kMinWait, kMaxWait);
}

} // namespace sim
