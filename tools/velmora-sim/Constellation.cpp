#include "Constellation.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Rising and setting satellites are still below the mask: no signal yet.
constexpr int kTrackingMask = 5;
constexpr double kNeverTrackedShare = 0.1;

bool IsInWindow(const PeriodicWindow& window, int nEpoch, int& nWindowStart) {
    if (nEpoch < window.m_nFirst) {
        return false;
    }
    const int nInto = (nEpoch - window.m_nFirst) % window.m_nPeriod;
    nWindowStart = nEpoch - nInto;
    return nInto < window.m_nLength;
}

int ComputeSnr(int nElevation, int nBias, int nPrn, int nEpoch) {
    const double dBase = 22.0 + 26.0 * std::sin(nElevation * kPi / 180.0);
    const int nJitter = static_cast<int>(MixBits(nPrn, nEpoch) % 3) - 1;
    return std::clamp(static_cast<int>(std::lround(dBase)) + nBias + nJitter, 20, 50);
}

} // namespace

CConstellation::CConstellation(int nFirstPrn, int nLastPrn, std::uint64_t nSeed)
    : m_random(nSeed), m_nFirstPrn(nFirstPrn), m_nLastPrn(nLastPrn) {}

void CConstellation::AddPermanentSlots(int nCount) {
    for (int i = 0; i < nCount; ++i) {
        const double dDuration = m_random.NextReal(3600.0, 10800.0);
        const double dStart = -m_random.NextReal(0.05, 0.95) * dDuration;
        const double dPeak = m_random.NextReal(15.0, 88.0);
        Slot slot{true, true, PeriodicWindow{0, 1, 1}, CreatePass(dStart, dDuration, dPeak, 0)};
        m_vecSlots.push_back(slot);
    }
}

void CConstellation::AddOptionalSlot(const PeriodicWindow& window) {
    m_vecSlots.push_back(Slot{false, false, window, SatellitePass{}});
}

void CConstellation::Advance(int nEpoch) {
    for (Slot& slot : m_vecSlots) {
        if (!slot.m_bPermanent) {
            AdvanceOptional(slot, nEpoch);
        } else if (nEpoch >= slot.m_pass.m_dStart + slot.m_pass.m_dDuration) {
            // The set satellite still holds its PRN here, so the rising one gets another.
            const double dDuration = m_random.NextReal(3600.0, 10800.0);
            slot.m_pass = CreatePass(nEpoch, dDuration, m_random.NextReal(15.0, 88.0), nEpoch);
        }
    }
}

std::vector<SatelliteView> CConstellation::View(int nEpoch, bool bBlocked) const {
    std::vector<SatelliteView> vecViews;
    for (const Slot& slot : m_vecSlots) {
        if (slot.m_bVisible) {
            vecViews.push_back(Observe(slot.m_pass, nEpoch, bBlocked));
        }
    }
    std::sort(vecViews.begin(), vecViews.end(),
              [](const SatelliteView& a, const SatelliteView& b) { return a.m_nPrn < b.m_nPrn; });
    return vecViews;
}

void CConstellation::AdvanceOptional(Slot& slot, int nEpoch) {
    int nWindowStart = 0;
    const bool bInWindow = IsInWindow(slot.m_window, nEpoch, nWindowStart);
    if (bInWindow && !slot.m_bVisible) {
        // Short low passes: these are the satellites that skim the horizon.
        const double dPeak = m_random.NextReal(8.0, 30.0);
        slot.m_pass = CreatePass(nWindowStart, slot.m_window.m_nLength, dPeak, nEpoch);
        slot.m_bVisible = true;
    } else if (!bInWindow) {
        slot.m_bVisible = false;
    }
}

CConstellation::SatellitePass CConstellation::CreatePass(double dStart, double dDuration,
                                                         double dPeak, int nEpoch) {
    SatellitePass pass{};
    pass.m_nPrn = PickFreePrn();
    const bool bNeverTracked = m_random.NextChance(kNeverTrackedShare);
    pass.m_nAcquired = bNeverTracked ? INT_MAX : nEpoch + m_random.NextInt(3, 26);
    pass.m_nSnrBias = m_random.NextInt(-3, 3);
    pass.m_dStart = dStart;
    pass.m_dDuration = dDuration;
    pass.m_dPeak = dPeak;
    pass.m_dAzimuth = m_random.NextReal(0.0, 360.0);
    const double dSweep = m_random.NextReal(40.0, 160.0);
    pass.m_dSweep = m_random.NextChance(0.5) ? dSweep : -dSweep;
    return pass;
}

int CConstellation::PickFreePrn() {
    std::vector<int> vecFree;
    for (int nPrn = m_nFirstPrn; nPrn <= m_nLastPrn; ++nPrn) {
        const bool bTaken =
            std::any_of(m_vecSlots.begin(), m_vecSlots.end(),
                        [nPrn](const Slot& s) { return s.m_bVisible && s.m_pass.m_nPrn == nPrn; });
        if (!bTaken) {
            vecFree.push_back(nPrn);
        }
    }
    return vecFree[static_cast<std::size_t>(
        m_random.NextInt(0, static_cast<int>(vecFree.size()) - 1))];
}

SatelliteView CConstellation::Observe(const SatellitePass& pass, int nEpoch, bool bBlocked) {
    const double dPhase = std::clamp((nEpoch - pass.m_dStart) / pass.m_dDuration, 0.0, 1.0);
    SatelliteView view{};
    view.m_nPrn = pass.m_nPrn;
    view.m_nElevation =
        std::clamp(static_cast<int>(std::lround(pass.m_dPeak * std::sin(kPi * dPhase))), 0, 90);
    const double dAzimuth = std::fmod(pass.m_dAzimuth + pass.m_dSweep * dPhase + 720.0, 360.0);
    view.m_nAzimuth = static_cast<int>(std::lround(dAzimuth)) % 360;
    const bool bTracked =
        !bBlocked && nEpoch >= pass.m_nAcquired && view.m_nElevation >= kTrackingMask;
    view.m_nSnr =
        bTracked ? ComputeSnr(view.m_nElevation, pass.m_nSnrBias, pass.m_nPrn, nEpoch) : -1;
    return view;
}

} // namespace sim
