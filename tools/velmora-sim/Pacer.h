#pragma once

#include <cstddef>

namespace sim {

// Token bucket for the line rate. The bucket holds at most 10 ms worth of bytes, so after
// an idle spell the sender never bursts above the rate of the line.
class CPacer {
public:
    CPacer(double dBytesPerSecond, double dNow);

    // Bytes that may go out at time dNow (seconds, monotonic), at most nWanted; the
    // granted bytes are counted as sent.
    std::size_t Grant(double dNow, std::size_t nWanted);
    // How long to sleep before a worthwhile chunk (about 4 ms of the line) is due.
    double WaitSeconds() const;

private:
    double m_dRate;
    double m_dCapacity;
    double m_dTokens;
    double m_dLast;
};

} // namespace sim
